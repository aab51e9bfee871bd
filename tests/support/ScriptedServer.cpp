#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zavrio::test {

namespace {

int ListenLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

} // namespace

ServerConn::~ServerConn() {
    Close();
}

std::string ServerConn::ReadRequest() {
    for (;;) {
        const auto end = pending_.find("\r\n\r\n");
        if (end != std::string::npos) {
            std::string request = pending_.substr(0, end + 4);
            pending_.erase(0, end + 4);
            server_.Record(request);
            return request;
        }
        if (fd_ < 0) {
            return {};
        }
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, 50);
        if (server_.Stopping()) {
            return {};
        }
        if (r <= 0) {
            continue;
        }
        char buf[4096];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) {
            return {};
        }
        pending_.append(buf, static_cast<std::size_t>(n));
    }
}

void ServerConn::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return; // the client went away; the test sees that on its side
        }
        sent += static_cast<std::size_t>(n);
    }
}

void ServerConn::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

ScriptedServer::ScriptedServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = ListenLoopback(port_);
    thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    thread_.join();
    ::close(listenFd_);
}

std::string ScriptedServer::Address(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

std::vector<std::string> ScriptedServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void ScriptedServer::Record(const std::string& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
}

void ScriptedServer::Run() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            continue;
        }
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ++connections_;
        ServerConn conn(*this, fd);
        handler_(conn);
    }
}

ScriptedServer::Handler ScriptedServer::Always(std::string response) {
    return [response](ServerConn& conn) {
        while (!conn.ReadRequest().empty()) {
            conn.Send(response);
        }
    };
}

int UnusedPort() {
    int port = 0;
    const int fd = ListenLoopback(port);
    ::close(fd);
    return port;
}

} // namespace zavrio::test
