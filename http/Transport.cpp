#include "http/Transport.h"

#include "http/HttpErrors.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace zavrio {

namespace {

bool wouldBlock(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

class PlainTransport : public Transport {
public:
    explicit PlainTransport(int fd) : fd_(fd) {}

    Need Start() override { return Need::Nothing; }

    Transfer Receive(char* to, std::size_t room) override {
        const ssize_t n = ::recv(fd_, to, room, MSG_DONTWAIT);
        if (n >= 0)
            return {static_cast<std::size_t>(n), Need::Nothing};
        if (wouldBlock(errno))
            return {0, Need::Readable};
        const int err = errno;
        throw SocketError(err, std::strerror(err));
    }

    Transfer Send(const char* data, std::size_t size) override {
        const ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            return {static_cast<std::size_t>(n), Need::Nothing};
        if (n < 0 && !wouldBlock(errno)) {
            const int err = errno;
            throw SocketError(err, std::strerror(err));
        }
        return {0, Need::Writable};
    }

    bool Buffered() const override { return false; }

    PeerState Peek() override {
        char c;
        const ssize_t n = ::recv(fd_, &c, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0)
            return PeerState::Unbidden;
        if (n < 0 && wouldBlock(errno))
            return PeerState::Quiet;
        return PeerState::Closed;
    }

private:
    int fd_;
};

} // namespace

std::unique_ptr<Transport> MakePlainTransport(int fd) {
    return std::make_unique<PlainTransport>(fd);
}

} // namespace zavrio
