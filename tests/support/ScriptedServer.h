#pragma once
// A loopback HTTP server whose every byte a test scripts.
//
// It listens on 127.0.0.1 at a free port and hands each accepted connection,
// one after the other, to the test's handler on its own thread. Everything
// the client sent is recorded, so tests compare request bytes exactly.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zavrio::test {

class ScriptedServer;

// One accepted connection, seen from the server's side.
class ServerConn {
public:
    ServerConn(ScriptedServer& server, int fd) : server_(server), fd_(fd) {}
    ~ServerConn();
    // The next request head up to and including the empty line; "" when the
    // client closed the connection (or the server is stopping).
    std::string ReadRequest();
    void Send(const std::string& bytes);
    void Close();

private:
    ScriptedServer& server_;
    int fd_;
    std::string pending_;
};

class ScriptedServer {
public:
    using Handler = std::function<void(ServerConn& conn)>;

    explicit ScriptedServer(Handler handler);
    ~ScriptedServer();

    int Port() const { return port_; }
    std::string Address(const std::string& target) const;

    // Request heads received so far, over all connections, in order.
    std::vector<std::string> Requests() const;
    int Connections() const { return connections_; }
    bool Stopping() const { return stop_; }

    // Answers each request of each connection with the same bytes.
    static Handler Always(std::string response);

private:
    friend class ServerConn;
    void Record(const std::string& request);
    void Run();

    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A port on which nothing listens: bound once, then released.
int UnusedPort();

} // namespace zavrio::test
