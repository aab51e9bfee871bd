#pragma once
// Sole owner of a POSIX file descriptor: closed when the owner goes, moved
// but never copied.

#include <unistd.h>
#include <utility>

namespace zavrio {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    // Gives the descriptor up without closing it.
    int release() { return std::exchange(fd_, -1); }

    // Closes the descriptor held (if any) and holds fd instead.
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

    // Closes now and tells whether close succeeded (errno says why not), for
    // writers that must know the data reached the file.
    bool close() { return fd_ < 0 || ::close(release()) == 0; }

private:
    int fd_ = -1;
};

} // namespace zavrio
