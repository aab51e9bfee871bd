#include "platform/RuntimeRecord.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace {

// Field 22 of /proc/PID/stat: the start time. The second field (the command
// name, in parentheses) may hold blanks and parentheses itself, so the count
// starts after its last ")".
std::optional<unsigned long long> startTimeOf(long pid) {
    const std::optional<std::string> stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat)
        return std::nullopt;
    const auto close = stat->rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(stat->substr(close + 1));
    std::string field;
    // Fields 3 to 21, then the start time.
    for (int i = 3; i <= 21; ++i)
        if (!(fields >> field))
            return std::nullopt;
    unsigned long long start = 0;
    if (!(fields >> start))
        return std::nullopt;
    return start;
}

} // namespace

CopyId CopyId::Self() {
    const long pid = static_cast<long>(::getpid());
    return {pid, startTimeOf(pid).value_or(0)};
}

std::string CopyId::ToString() const {
    return std::to_string(Pid) + " " + std::to_string(Start);
}

std::optional<CopyId> CopyId::Parse(std::string_view text) {
    const std::string copy(text);
    long pid = 0;
    unsigned long long start = 0;
    int used = 0;
    if (std::sscanf(copy.c_str(), "%ld %llu%n", &pid, &start, &used) != 2 || pid <= 0 ||
        static_cast<std::size_t>(used) != copy.size())
        return std::nullopt;
    return CopyId{pid, start};
}

bool IsRunning(const CopyId& copy) {
    const std::optional<unsigned long long> start = startTimeOf(copy.Pid);
    return start && *start == copy.Start;
}

std::string RuntimeRecordDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/zavrio-screensaver";
    return "/tmp/zavrio-screensaver-" + std::to_string(::getuid());
}

RecordLock::RecordLock(const std::string& directory) {
    ::mkdir(directory.c_str(), 0700);
    fd_.reset(::open((directory + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd_)
        return;
    while (::flock(fd_.get(), LOCK_EX) != 0)
        if (errno != EINTR) {
            fd_.reset();
            return;
        }
}

std::vector<std::string> ReadRecord(const std::string& path) {
    std::vector<std::string> lines;
    std::optional<std::string> text;
    try {
        text = ReadWholeFile(path);
    } catch (const std::exception&) {
        // Unreadable counts as missing: a record only helps the copies agree.
    }
    if (!text)
        return lines;
    std::istringstream in(*text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

void WriteRecord(const std::string& path, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        ::unlink(path.c_str());
        return;
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    try {
        WriteFileAtomically(path, text);
    } catch (const AtomicWriteError&) {
    }
}

} // namespace zavrio
