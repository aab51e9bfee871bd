#pragma once
// One TCP connection of the HTTP client: the host name resolved on a helper
// thread, a non-blocking connect with a time-out, and reads and writes that
// wait in slices so the GUI keeps running between them (hooks.Pump).
//
// Every wait ends with hooks.Pump; when the pump has aborted the connection
// (Abort, from a handler the pump ran) the waiting call throws
// DownloadAborted. A socket failure throws SocketError.

#include "http/ByteSource.h"
#include "http/HttpEvents.h"
#include "platform/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zavrio {

class Connection;

struct ConnectionHooks {
    std::function<void()> Pump;
    std::function<void(ClientStatus status, const std::string& text)> Status;
    // The server closed the connection; its socket is closed already.
    std::function<void(Connection& connection)> ClosedByServer;
};

struct ConnectionTimes {
    int ConnectTimeout = 120000;   // ms
    int ReadTimeout = 0;           // ms; 0 waits for data without limit
    int PumpInterval = 250;        // ms between pumps while reading and writing
    int ConnectPumpInterval = 125; // ms between pumps while resolving and connecting
};

class Connection : public ByteSource {
public:
    Connection(std::string host, int port, ConnectionHooks hooks, ConnectionTimes times);

    const std::string& Host() const { return host_; }
    int Port() const { return port_; }
    bool IsOpen() const { return static_cast<bool>(fd_); }

    // Resolves the host (reporting "Resolving hostname %s." unless it is an
    // address literal), then tries each address ("Connecting to %s.") until
    // one answers ("Connected."). Throws ConnectTimedOut or SocketError.
    void Open();

    FillResult Fill(int limitMs) override;
    void SendAll(const std::string& data);

    // Looks, without waiting, whether the server has closed the connection
    // (then closes it: ClosedByServer) or sent bytes nobody asked for (then
    // it is no longer reusable).
    void CheckAlive();

    void Close() { fd_.reset(); }
    // Makes every wait on this connection throw DownloadAborted.
    void Abort() { aborted_ = true; }
    bool Aborted() const { return aborted_; }
    void ThrowIfAborted() const;

    // Bookkeeping of the client.
    bool reusable = true;
    bool busy = false;          // a request is under way; a nested Get must not share it
    int exchanges = 0;          // answers read on this connection
    std::uint64_t received = 0; // bytes

private:
    void Pump();
    void Status(ClientStatus status, const std::string& text);
    void CloseByServer();

    std::string host_;
    int port_;
    ConnectionHooks hooks_;
    ConnectionTimes times_;
    UniqueFd fd_;
    bool aborted_ = false;
};

} // namespace zavrio
