#include "platform/FileRead.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace zavrio {

FileReadError::FileReadError(const std::string& path, const std::string& reason)
    : std::runtime_error("Cannot read " + path + ": " + reason), reason_(reason) {}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    // O_NONBLOCK: the open of a FIFO returns at once, so it can be refused.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileReadError(path, std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw FileReadError(path, std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        throw FileReadError(path, std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        throw FileReadError(path, "Not a regular file");
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileReadError(path, std::strerror(errno));
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace zavrio
