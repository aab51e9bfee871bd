#include "http/Connection.h"

#include "http/HttpErrors.h"
#include "http/Uri.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace zavrio {

namespace {

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point t) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

[[noreturn]] void throwErrno(int err) {
    throw SocketError(err, std::strerror(err));
}

// One getaddrinfo call on a thread of its own. The waiting client may give up
// (Disconnect from the pump); the shared state then outlives it until the
// thread finishes, and frees the answer nobody took.
struct Resolution {
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    int rc = 0;
    int err = 0;
    addrinfo* list = nullptr;

    ~Resolution() {
        if (list)
            ::freeaddrinfo(list);
    }

    static std::shared_ptr<Resolution> Start(const std::string& host, int port) {
        auto state = std::make_shared<Resolution>();
        std::thread([state, host, port] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_flags = AI_NUMERICSERV;
            addrinfo* found = nullptr;
            const int rc =
                ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
            const int err = errno;
            std::lock_guard lock(state->mutex);
            state->rc = rc;
            state->err = err;
            state->list = found;
            state->done = true;
            state->doneChanged.notify_all();
        }).detach();
        return state;
    }

    bool Wait(int ms) {
        std::unique_lock lock(mutex);
        return doneChanged.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done; });
    }

    addrinfo* Take() {
        std::lock_guard lock(mutex);
        return std::exchange(list, nullptr);
    }
};

short pollEvents(Need need) {
    return need == Need::Writable ? POLLOUT : POLLIN;
}

std::string addressText(const addrinfo& ai) {
    char ip[INET6_ADDRSTRLEN] = "";
    const void* raw =
        ai.ai_family == AF_INET6
            ? static_cast<const void*>(
                  &reinterpret_cast<const sockaddr_in6*>(ai.ai_addr)->sin6_addr)
            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(ai.ai_addr)->sin_addr);
    ::inet_ntop(ai.ai_family, raw, ip, sizeof ip);
    return ip;
}

} // namespace

Connection::Connection(std::string host, int port, ConnectionHooks hooks, ConnectionTimes times,
                       TransportFactory makeTransport)
    : host_(std::move(host)), port_(port), hooks_(std::move(hooks)), times_(times),
      makeTransport_(std::move(makeTransport)) {}

void Connection::ThrowIfAborted() const {
    if (aborted_)
        throw DownloadAborted();
}

void Connection::Pump() {
    if (hooks_.Pump)
        hooks_.Pump();
    ThrowIfAborted();
}

void Connection::Status(ClientStatus status, const std::string& text) {
    if (hooks_.Status)
        hooks_.Status(status, text);
    ThrowIfAborted();
}

void Connection::CloseByServer() {
    Close();
    reusable = false;
    if (hooks_.ClosedByServer)
        hooks_.ClosedByServer(*this);
}

void Connection::Open() {
    const bool literal =
        Uri("http://" + host_).HostIsAddress() || Uri("http://[" + host_ + "]").HostIsAddress();
    if (!literal)
        Status(hsResolving, "Resolving hostname " + host_ + ".");
    const std::shared_ptr<Resolution> resolution = Resolution::Start(host_, port_);
    // A name server can take seconds to answer: keep the GUI running meanwhile.
    while (!resolution->Wait(times_.ConnectPumpInterval))
        Pump();
    addrinfo* found = resolution->Take();
    if (resolution->rc != 0) {
        if (resolution->rc == EAI_SYSTEM)
            throwErrno(resolution->err);
        throw SocketError(resolution->rc, ::gai_strerror(resolution->rc));
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);

    const auto started = Clock::now();
    int lastError = ECONNREFUSED;
    for (const addrinfo* ai = list.get(); ai; ai = ai->ai_next) {
        Status(hsConnecting, "Connecting to " + addressText(*ai) + ".");
        fd_.reset(::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           ai->ai_protocol));
        if (!fd_)
            throwErrno(errno);
        int err = 0;
        if (::connect(fd_.get(), ai->ai_addr, ai->ai_addrlen) != 0)
            err = errno;
        while (err == EINPROGRESS || err == EINTR) {
            const int left = times_.ConnectTimeout - msSince(started);
            if (left <= 0) {
                Close();
                throw ConnectTimedOut();
            }
            pollfd p{fd_.get(), POLLOUT, 0};
            const int r = ::poll(&p, 1, std::min(left, times_.ConnectPumpInterval));
            const int pollError = errno;
            Pump();
            if (r < 0) {
                if (pollError == EINTR)
                    continue;
                throwErrno(pollError);
            }
            if (r > 0) {
                socklen_t len = sizeof err;
                ::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &err, &len);
            }
        }
        if (err == 0) {
            const int one = 1;
            ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            StartTransport(started);
            Status(hsConnected, "Connected.");
            return;
        }
        lastError = err;
        Close();
    }
    throwErrno(lastError);
}

void Connection::StartTransport(Clock::time_point started) {
    transport_ = makeTransport_(fd_.get());
    for (;;) {
        Need need;
        try {
            need = transport_->Start();
        } catch (...) {
            Close();
            throw;
        }
        if (need == Need::Nothing)
            return;
        const int left = times_.ConnectTimeout - msSince(started);
        if (left <= 0) {
            Close();
            throw ConnectTimedOut();
        }
        pollfd p{fd_.get(), pollEvents(need), 0};
        const int r = ::poll(&p, 1, std::min(left, times_.ConnectPumpInterval));
        const int pollError = errno;
        Pump();
        if (r < 0 && pollError != EINTR)
            throwErrno(pollError);
    }
}

FillResult Connection::Fill(int limitMs) {
    char* to = WritePos();
    const int limit = limitMs > 0 ? limitMs : times_.ReadTimeout;
    const auto started = Clock::now();
    Need need = Need::Readable;
    for (;;) {
        if (!fd_)
            return FillResult::Closed;
        // Bytes the transport holds already would never make the socket
        // readable: they are read without a wait.
        if (!transport_->Buffered()) {
            int slice = times_.PumpInterval;
            if (limit > 0) {
                const int left = limit - msSince(started);
                if (left <= 0)
                    return FillResult::TimedOut;
                slice = std::min(slice, left);
            }
            pollfd p{fd_.get(), pollEvents(need), 0};
            const int r = ::poll(&p, 1, slice);
            if (r < 0 && errno != EINTR)
                throwErrno(errno);
            Pump();
            if (r <= 0 || !fd_)
                continue;
        }
        Transfer got;
        try {
            got = transport_->Receive(to, Room());
        } catch (...) {
            Close();
            throw;
        }
        if (got.bytes > 0) {
            Commit(got.bytes);
            received += got.bytes;
            return FillResult::Data;
        }
        if (got.need == Need::Nothing) {
            CloseByServer();
            return FillResult::Closed;
        }
        need = got.need;
    }
}

void Connection::SendAll(const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const Transfer put = transport_->Send(data.data() + sent, data.size() - sent);
        if (put.bytes > 0) {
            sent += put.bytes;
            continue;
        }
        pollfd p{fd_.get(), pollEvents(put.need), 0};
        ::poll(&p, 1, times_.PumpInterval);
        Pump();
    }
}

void Connection::CheckAlive() {
    if (!transport_->Buffered()) {
        pollfd p{fd_.get(), POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0)
            return;
    }
    switch (transport_->Peek()) {
    case PeerState::Quiet:
        break;
    case PeerState::Closed:
        CloseByServer();
        break;
    case PeerState::Unbidden:
        reusable = false; // out of step: never reuse it
        break;
    }
}

} // namespace zavrio
