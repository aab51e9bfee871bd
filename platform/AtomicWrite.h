#pragma once
// Whole-file replacement that never leaves a half-written file behind: the
// content goes to a temporary file of a unique name beside the target
// ("<name>.XXXXXX", made by mkstemp, so two writers never share one), is
// flushed to disk, renamed over the target, and the directory is flushed so
// the rename itself survives a crash. The temporary file is removed on every
// failure. A reader therefore always finds either the old or the new file,
// whole, however many writers run at once (the last rename wins).
//
// An existing target keeps its permission bits; when the path is a symbolic
// link, the file it points to is replaced. A target that exists but is not a
// regular file (a directory, FIFO or device) is refused before anything is
// written.
//
// A writer that is killed cannot remove its temporary file; the writer holds
// an exclusive lock (flock) on it while it writes, so a later
// SweepAbandonedWrites can tell such a file from one being written now.

#include <chrono>
#include <stdexcept>
#include <string>

namespace zavrio {

// The target could not be replaced; it is unchanged. The message names the
// path, the step and the reason; Reason() is the reason alone (the system's
// text, or "Not a regular file"), for callers with messages of their own.
class AtomicWriteError : public std::runtime_error {
public:
    AtomicWriteError(const std::string& message, std::string reason)
        : std::runtime_error(message), reason_(std::move(reason)) {}
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

void WriteFileAtomically(const std::string& path, const std::string& content);

// Removes the temporary files that writers of path left when they were
// killed: "<name>.XXXXXX" beside it, regular files nobody holds a lock on and
// unchanged for AbandonedAfter (a writer that has not opened it yet still
// finds nothing missing: its own name is its own). Best effort; gives how
// many went.
int SweepAbandonedWrites(const std::string& path);
inline constexpr std::chrono::minutes AbandonedAfter{1};

} // namespace zavrio
