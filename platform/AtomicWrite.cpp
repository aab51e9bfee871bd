#include "AtomicWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace {

[[noreturn]] void fail(const std::string& path, const char* step, int error) {
    throw EAtomicWriteError("Unable to write to " + path + ": " + step + ": " +
                                std::strerror(error),
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
            throw EAtomicWriteError("Unable to write to " + target + ": " + error.message(),
                                    error.value());
    }
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    const std::string temp = path + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(temp, "open", errno);

    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int error = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(temp.c_str());
            fail(temp, "write", error);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    // fchmod after creation so the umask cannot narrow the target's old bits.
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        fail(temp, "flush", error);
    }
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        fail(temp, "close", error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        fail(path, "rename", error);
    }
}

} // namespace zavrio
