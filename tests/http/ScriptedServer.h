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

class TScriptedServer;

// One accepted connection, seen from the server's side.
class TServerConn {
public:
    TServerConn(TScriptedServer& server, int fd) : FServer(server), FFd(fd) {}
    ~TServerConn();
    // The next request head up to and including the empty line; "" when the
    // client closed the connection (or the server is stopping).
    std::string ReadRequest();
    void Send(const std::string& bytes);
    void Close();

private:
    TScriptedServer& FServer;
    int FFd;
    std::string FPending;
};

class TScriptedServer {
public:
    using Handler = std::function<void(TServerConn& conn)>;

    explicit TScriptedServer(Handler handler);
    ~TScriptedServer();

    int Port() const { return FPort; }
    std::string Address(const std::string& target) const;

    // Request heads received so far, over all connections, in order.
    std::vector<std::string> Requests() const;
    int Connections() const { return FConnections; }
    bool Stopping() const { return FStop; }

    // Answers each request of each connection with the same bytes.
    static Handler Always(std::string response);

private:
    friend class TServerConn;
    void Record(const std::string& request);
    void Run();

    Handler FHandler;
    int FListenFd = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<int> FConnections{0};
    mutable std::mutex FMutex;
    std::vector<std::string> FRequests;
    std::thread FThread;
};

// A port on which nothing listens: bound once, then released.
int UnusedPort();

} // namespace zavrio::test
