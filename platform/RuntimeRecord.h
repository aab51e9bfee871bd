#pragma once
// Small records shared by the copies of the program that one user runs at the
// same time (the screensaver daemon starts one copy per monitor): a folder in
// the user's runtime directory, one lock that serialises every change to the
// records in it, and the identity of a running copy, so that what a copy that
// died left behind is told from what a live one keeps.

#include "platform/UniqueFd.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

// A running process: its id and its start time, so a process id the system
// has given to another process since does not pass for the copy.
struct CopyId {
    long Pid = 0;
    unsigned long long Start = 0; // clock ticks after boot

    // This process.
    static CopyId Self();
    // "PID START"
    std::string ToString() const;
    // The form ToString writes; nothing for anything else.
    static std::optional<CopyId> Parse(std::string_view text);

    bool operator==(const CopyId&) const = default;
};

// Whether the process the id was taken from still runs.
bool IsRunning(const CopyId& copy);
using CopyLiveness = std::function<bool(const CopyId&)>;

// $XDG_RUNTIME_DIR/zavrio-screensaver, or /tmp/zavrio-screensaver-UID when
// the runtime directory is not set.
std::string RuntimeRecordDirectory();

// Holds the lock of the records in a folder while it lives, waiting for it
// when another copy holds it. The folder is made (mode 0700) when missing.
// Without a folder or a lock file (a read-only place) it holds nothing, and
// the records are read and written unlocked.
class RecordLock {
public:
    explicit RecordLock(const std::string& directory);
    bool Held() const { return static_cast<bool>(fd_); }

private:
    UniqueFd fd_;
};

// The lines of a record file; none when it is missing or unreadable.
std::vector<std::string> ReadRecord(const std::string& path);
// Replaces a record file whole (AtomicWrite.h); no lines remove it. Failures
// are swallowed: a record that cannot be kept only costs the coordination.
void WriteRecord(const std::string& path, const std::vector<std::string>& lines);

} // namespace zavrio
