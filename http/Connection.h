#pragma once
// One TCP connection of the HTTP client: the host name resolved on a helper
// thread, a non-blocking connect with a time-out, the transport's set-up (a
// TLS handshake, within the same time-out), and reads and writes that wait in
// slices so the GUI keeps running between them (hooks.Pump). The bytes go
// through the transport the factory makes once the socket is connected
// (plain by default).
//
// Every wait ends with hooks.Pump; when the pump has aborted the connection
// (Abort, from a handler the pump ran) the waiting call throws
// DownloadAborted. A socket failure throws SocketError; the transport's own
// failures (TlsError, CertificateError) pass through.

#include "http/ByteSource.h"
#include "http/HttpEvents.h"
#include "http/Transport.h"
#include "platform/UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
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
    Connection(std::string host, int port, ConnectionHooks hooks, ConnectionTimes times,
               TransportFactory makeTransport = MakePlainTransport);

    const std::string& Host() const { return host_; }
    int Port() const { return port_; }
    bool IsOpen() const { return static_cast<bool>(fd_); }

    // Resolves the host (reporting "Resolving hostname %s." unless it is an
    // address literal), then tries each address ("Connecting to %s.") until
    // one answers, and sets up the transport on it ("Connected." once that is
    // done). Throws ConnectTimedOut, SocketError or the transport's failure.
    void Open();

    FillResult Fill(int limitMs) override;
    void SendAll(const std::string& data);

    // Looks, without waiting, whether the server has closed the connection
    // (then closes it: ClosedByServer) or sent bytes nobody asked for (then
    // it is no longer reusable).
    void CheckAlive();

    void Close() {
        transport_.reset();
        fd_.reset();
    }
    // Makes every wait on this connection throw DownloadAborted.
    void Abort() { aborted_ = true; }
    bool Aborted() const { return aborted_; }
    void ThrowIfAborted() const;

    // Bookkeeping of the client.
    bool reusable = true;
    bool secure = false;        // its transport is TLS: only https requests may share it
    bool busy = false;          // a request is under way; a nested Get must not share it
    int exchanges = 0;          // answers read on this connection
    std::uint64_t received = 0; // bytes

private:
    void Pump();
    void Status(ClientStatus status, const std::string& text);
    void CloseByServer();
    // Makes the transport on the connected socket and runs its set-up to the
    // end, within the connect time-out counted from started.
    void StartTransport(std::chrono::steady_clock::time_point started);

    std::string host_;
    int port_;
    ConnectionHooks hooks_;
    ConnectionTimes times_;
    TransportFactory makeTransport_;
    UniqueFd fd_;
    std::unique_ptr<Transport> transport_; // while fd_ is open
    bool aborted_ = false;
};

} // namespace zavrio
