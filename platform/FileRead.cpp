#include "platform/FileRead.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace zavrio {

FileReadError::FileReadError(const std::string& path, int error)
    : std::runtime_error("Cannot read " + path + ": " + std::strerror(error)), errno_(error) {}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileReadError(path, errno);
    }
    std::string content;
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode))
        content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileReadError(path, errno);
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace zavrio
