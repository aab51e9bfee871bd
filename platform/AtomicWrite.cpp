#include "AtomicWrite.h"

#include "platform/TemporaryFile.h"
#include "platform/UniqueFd.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace {

[[noreturn]] void fail(const std::string& path, const char* step, const std::string& reason) {
    throw AtomicWriteError("Unable to write to " + path + ": " + step + ": " + reason, reason);
}

[[noreturn]] void failErrno(const std::string& path, const char* step, int error) {
    fail(path, step, std::strerror(error));
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a symbolic link points to, or path itself; "" when the link
// cannot be resolved (error says why).
std::string replacedFile(const std::string& path, std::error_code& error) {
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        std::string resolved = std::filesystem::weakly_canonical(path, error).string();
        return error ? std::string() : resolved;
    }
    error.clear();
    return path;
}

// "<name>." and six characters of mkstemp's alphabet.
bool isTemporaryOf(const std::string& name, const std::string& target) {
    if (name.size() != target.size() + 7 || !name.starts_with(target + "."))
        return false;
    for (std::size_t i = target.size() + 1; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

bool abandoned(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const auto age = std::chrono::system_clock::now() -
                     std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec);
    if (age < AbandonedAfter)
        return false;
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    return fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(fd.get(), &opened) == 0 &&
           opened.st_ino == info.st_ino && opened.st_dev == info.st_dev;
}

} // namespace

int SweepAbandonedWrites(const std::string& target) {
    std::error_code error;
    const std::string path = replacedFile(target, error);
    if (path.empty())
        return 0;
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    int removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directoryOf(path), error)) {
        const std::string candidate = entry.path().string();
        if (isTemporaryOf(entry.path().filename().string(), name) && abandoned(candidate) &&
            ::unlink(candidate.c_str()) == 0)
            ++removed;
    }
    return removed;
}

void WriteFileAtomically(const std::string& target, const std::string& content) {
    // Replace the file a symbolic link points to, not the link.
    std::error_code error;
    const std::string path = replacedFile(target, error);
    if (error)
        fail(target, "resolve", error.message());
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            failErrno(path, "open", EISDIR);
        if (!S_ISREG(existing.st_mode))
            fail(path, "open", "Not a regular file");
        mode = existing.st_mode & 07777;
    }

    std::string pattern = path + ".XXXXXX";
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!fd)
        failErrno(pattern, "open", errno);
    TemporaryFile temp(pattern);
    // Tells a later sweep that this file has a writer (the lock goes with the
    // process when it is killed).
    ::flock(fd.get(), LOCK_EX);

    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failErrno(temp.path(), "write", n < 0 ? errno : EIO);
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    // fchmod after creation so the umask cannot narrow the target's old bits.
    if (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0)
        failErrno(temp.path(), "flush", errno);
    if (!fd.close())
        failErrno(temp.path(), "close", errno);
    if (::rename(temp.path().c_str(), path.c_str()) != 0)
        failErrno(path, "rename", errno);
    temp.Commit();
    // The new directory entry reaches the disk too; a directory that cannot
    // be opened or flushed (some file systems) leaves the rename in the
    // kernel's hands, as before.
    if (const UniqueFd dir(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        dir)
        ::fsync(dir.get());
}

} // namespace zavrio
