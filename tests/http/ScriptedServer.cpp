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

TServerConn::~TServerConn() {
    Close();
}

std::string TServerConn::ReadRequest() {
    for (;;) {
        const auto end = FPending.find("\r\n\r\n");
        if (end != std::string::npos) {
            std::string request = FPending.substr(0, end + 4);
            FPending.erase(0, end + 4);
            FServer.Record(request);
            return request;
        }
        if (FFd < 0) {
            return {};
        }
        pollfd p{FFd, POLLIN, 0};
        const int r = ::poll(&p, 1, 50);
        if (FServer.Stopping()) {
            return {};
        }
        if (r <= 0) {
            continue;
        }
        char buf[4096];
        const ssize_t n = ::recv(FFd, buf, sizeof buf, 0);
        if (n <= 0) {
            return {};
        }
        FPending.append(buf, static_cast<std::size_t>(n));
    }
}

void TServerConn::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (FFd >= 0 && sent < bytes.size()) {
        const ssize_t n = ::send(FFd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return; // the client went away; the test sees that on its side
        }
        sent += static_cast<std::size_t>(n);
    }
}

void TServerConn::Close() {
    if (FFd >= 0) {
        ::close(FFd);
        FFd = -1;
    }
}

TScriptedServer::TScriptedServer(Handler handler) : FHandler(std::move(handler)) {
    FListenFd = ListenLoopback(FPort);
    FThread = std::thread([this] { Run(); });
}

TScriptedServer::~TScriptedServer() {
    FStop = true;
    FThread.join();
    ::close(FListenFd);
}

std::string TScriptedServer::Address(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + target;
}

std::vector<std::string> TScriptedServer::Requests() const {
    std::lock_guard lock(FMutex);
    return FRequests;
}

void TScriptedServer::Record(const std::string& request) {
    std::lock_guard lock(FMutex);
    FRequests.push_back(request);
}

void TScriptedServer::Run() {
    while (!FStop) {
        pollfd p{FListenFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            continue;
        }
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ++FConnections;
        TServerConn conn(*this, fd);
        FHandler(conn);
    }
}

TScriptedServer::Handler TScriptedServer::Always(std::string response) {
    return [response](TServerConn& conn) {
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
