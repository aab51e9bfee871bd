#include "AtomicWrite.h"

#include "platform/TemporaryFile.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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

} // namespace

void WriteFileAtomically(const std::string& target, const std::string& content) {
    // Replace the file a symbolic link points to, not the link.
    std::string path = target;
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
        path = std::filesystem::weakly_canonical(target, error).string();
        if (error)
            fail(target, "resolve", error.message());
    }
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
