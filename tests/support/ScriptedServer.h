#pragma once
// A loopback HTTP server whose every byte a test scripts.
//
// It listens on 127.0.0.1 at a free port and hands each accepted connection,
// one after the other, to the test's handler on its own thread. Everything
// the client sent is recorded, so tests compare request bytes exactly.
//
// Given a TLS identity it is an https server: each connection first completes
// a TLS handshake as the server (TLS 1.2 or later), and the handler reads
// and writes inside the tunnel. A connection whose handshake fails (the
// client refused the certificate) never reaches the handler.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ssl_st;
struct ssl_ctx_st;

namespace zavrio::test {

class ScriptedServer;

// The target of a request head's first line: "/a.xml" of
// "GET /a.xml HTTP/1.1".
std::string RequestTarget(const std::string& request);

// The certificate (chain) and private key files a TLS server presents.
struct TlsIdentity {
    std::string CertificateFile;
    std::string KeyFile;
};

// One accepted connection, seen from the server's side.
class ServerConn {
public:
    // ssl, when given, is the connection's TLS session, owned from now on.
    ServerConn(ScriptedServer& server, int fd, ssl_st* ssl = nullptr)
        : server_(server), fd_(fd), ssl_(ssl) {}
    ~ServerConn();
    // The next request head up to and including the empty line; "" when the
    // client closed the connection (or the server is stopping).
    std::string ReadRequest();
    void Send(const std::string& bytes);
    void Close();
    // Closes the socket without TLS's closing message, as many servers do.
    void Drop();

private:
    ScriptedServer& server_;
    int fd_;
    ssl_st* ssl_;
    std::string pending_;
};

class ScriptedServer {
public:
    using Handler = std::function<void(ServerConn& conn)>;

    explicit ScriptedServer(Handler handler);
    // An https server; throws std::runtime_error when the identity's files
    // cannot be used.
    ScriptedServer(Handler handler, const TlsIdentity& identity);
    ~ScriptedServer();

    int Port() const { return port_; }
    // "http://127.0.0.1:PORT" + target, or "https://..." for a TLS server.
    std::string Address(const std::string& target) const;

    // Request heads received so far, over all connections, in order.
    std::vector<std::string> Requests() const;
    int Connections() const { return connections_; }
    bool Stopping() const { return stop_; }
    // TLS: the server name each completed handshake asked for ("" when the
    // client sent none), and the handshakes that failed.
    std::vector<std::string> ServerNames() const;
    int FailedHandshakes() const { return failedHandshakes_; }

    // Answers each request of each connection with the same bytes.
    static Handler Always(std::string response);

private:
    friend class ServerConn;
    void Record(const std::string& request);
    void Run();
    // The TLS session of a freshly accepted connection, or null when its
    // handshake failed.
    ssl_st* Handshake(int fd);

    struct ContextDeleter {
        void operator()(ssl_ctx_st* ctx) const;
    };

    Handler handler_;
    std::unique_ptr<ssl_ctx_st, ContextDeleter> tls_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> failedHandshakes_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::string> serverNames_;
    std::thread thread_;
};

// A port on which nothing listens: bound once, then released.
int UnusedPort();

} // namespace zavrio::test
