#include "ScriptedServer.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/time.h>
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
        if (!ssl_ || SSL_pending(ssl_) == 0) {
            pollfd p{fd_, POLLIN, 0};
            const int r = ::poll(&p, 1, 50);
            if (server_.Stopping()) {
                return {};
            }
            if (r <= 0) {
                continue;
            }
        }
        char buf[4096];
        if (ssl_) {
            const int n = SSL_read(ssl_, buf, sizeof buf);
            if (n <= 0) {
                if (SSL_get_error(ssl_, n) == SSL_ERROR_WANT_READ) {
                    continue; // only TLS's own messages came
                }
                return {};
            }
            pending_.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) {
            return {};
        }
        pending_.append(buf, static_cast<std::size_t>(n));
    }
}

void ServerConn::Send(const std::string& bytes) {
    if (ssl_) {
        if (!bytes.empty() && fd_ >= 0) {
            SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()));
        }
        return; // a client that went away shows on its side
    }
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
    if (ssl_) {
        SSL_shutdown(ssl_);
        SSL_free(ssl_);
        ssl_ = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void ServerConn::Drop() {
    if (ssl_) {
        SSL_free(ssl_);
        ssl_ = nullptr;
    }
    Close();
}

void ScriptedServer::ContextDeleter::operator()(ssl_ctx_st* ctx) const {
    SSL_CTX_free(ctx);
}

ScriptedServer::ScriptedServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = ListenLoopback(port_);
    thread_ = std::thread([this] { Run(); });
}

ScriptedServer::ScriptedServer(Handler handler, const TlsIdentity& identity)
    : handler_(std::move(handler)), tls_(SSL_CTX_new(TLS_server_method())) {
    if (!tls_ || SSL_CTX_set_min_proto_version(tls_.get(), TLS1_2_VERSION) != 1 ||
        SSL_CTX_use_certificate_chain_file(tls_.get(), identity.CertificateFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(tls_.get(), identity.KeyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        ERR_clear_error();
        throw std::runtime_error("scripted server: cannot use the TLS identity " +
                                 identity.CertificateFile);
    }
    listenFd_ = ListenLoopback(port_);
    thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    thread_.join();
    ::close(listenFd_);
}

std::string ScriptedServer::Address(const std::string& target) const {
    return (tls_ ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(port_) +
           target;
}

std::vector<std::string> ScriptedServer::ServerNames() const {
    std::lock_guard lock(mutex_);
    return serverNames_;
}

ssl_st* ScriptedServer::Handshake(int fd) {
    // A client that connects and says nothing must not hold the server
    // forever; the limit is lifted once the handshake is done.
    timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    SSL* ssl = SSL_new(tls_.get());
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) != 1) {
        SSL_free(ssl);
        ERR_clear_error();
        ++failedHandshakes_;
        return nullptr;
    }
    limit = {0, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
    std::lock_guard lock(mutex_);
    serverNames_.push_back(name ? name : "");
    return ssl;
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
    if (tls_) {
        // OpenSSL writes to the socket with write(2): a client that has gone
        // would raise SIGPIPE in this thread, which keeps it blocked instead.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    }
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
        ssl_st* ssl = nullptr;
        if (tls_ && !(ssl = Handshake(fd))) {
            ::close(fd);
            continue;
        }
        ServerConn conn(*this, fd, ssl);
        handler_(conn);
    }
}

std::string RequestTarget(const std::string& request) {
    const auto first = request.find(' ');
    return request.substr(first + 1, request.find(' ', first + 1) - first - 1);
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
