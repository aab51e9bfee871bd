#include "AtomicWrite.h"

#include "platform/TemporaryFile.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace {

[[noreturn]] void fail(const std::string& path, const char* step, int error) {
    throw AtomicWriteError("Unable to write to " + path + ": " + step + ": " + std::strerror(error),
                           error);
}

} // namespace

void WriteFileAtomically(const std::string& target, const std::string& content) {
    // Replace the file a symbolic link points to, not the link.
    std::string path = target;
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
        path = std::filesystem::weakly_canonical(target, error).string();
        if (error)
            throw AtomicWriteError("Unable to write to " + target + ": " + error.message(),
                                   error.value());
    }
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    TemporaryFile temp(path + ".tmp");
    UniqueFd fd(::open(temp.path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!fd)
        fail(temp.path(), "open", errno);

    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(temp.path(), "write", n < 0 ? errno : EIO);
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    // fchmod after creation so the umask cannot narrow the target's old bits.
    if (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0)
        fail(temp.path(), "flush", errno);
    if (!fd.close())
        fail(temp.path(), "close", errno);
    if (::rename(temp.path().c_str(), path.c_str()) != 0)
        fail(path, "rename", errno);
    temp.Commit();
}

} // namespace zavrio
