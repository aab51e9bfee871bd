#pragma once
// The HTTP/1.1 client the clip-listing windows download their feeds with.
//
// One TIdHTTP serves one window for the window's whole life: it keeps at most
// one open connection (reused when the next request goes to the same host and
// port) and the cookies of every answer it has seen. It speaks plain HTTP over
// POSIX sockets and sends exactly the request line and the five headers below,
// because servers and tests rely on the bytes on the wire.
//
// Get blocks the calling (GUI) thread, but every wait is cut into slices and
// OnPump runs between them: at least every PumpInterval ms and after each
// successful wait while reading, every ConnectPumpInterval ms while resolving
// the host name and connecting.
// Handlers run inside OnPump may call Disconnect or start another Get on this
// same client; the interrupted Get then fails with EIdAbortedByDisconnect and
// the client stays usable.
//
// Failures are exceptions derived from EIdException whose what() is the text
// the windows show (for instance "Connect timed out." or an answer's status
// line). Exceptions thrown by the callbacks pass through Get unchanged; the
// connection is closed then, as after any failure.

#include "http/IdCookieManager.h"
#include "http/TIdURI.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace zavrio {

// Base of every failure of the client; what() is the text shown to the user.
class EIdException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A socket or resolver failure: "Socket Error # <number>" CR LF <system text>.
// For a connection failure the number is the errno value and the text
// strerror's; for a host name that cannot be resolved it is getaddrinfo's
// return code (negative with glibc, so it never collides with an errno value)
// and gai_strerror's text.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int errorCode, const std::string& systemText);
    int LastError() const { return FLastError; }

private:
    int FLastError;
};

// No connection within ConnectTimeout: "Connect timed out.".
class EIdConnectTimeout : public EIdException {
public:
    EIdConnectTimeout();
};

// The server closed the connection before a complete status line and header
// block arrived: "Connection Closed Gracefully.".
class EIdConnClosedGracefully : public EIdException {
public:
    EIdConnClosedGracefully();
};

// A status, header, chunk-size or trailer line longer than MaxLineLength:
// "Max line length exceeded.".
class EIdReadLineMaxLineLengthExceeded : public EIdException {
public:
    EIdReadLineMaxLineLengthExceeded();
};

// An answer whose status is not 200-299 (and not a redirect); what() is the
// answer's status line, for instance "HTTP/1.1 404 Not Found".
class EIdHTTPProtocolException : public EIdException {
public:
    EIdHTTPProtocolException(int errorCode, const std::string& statusLine);
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

// An "https" address ("IOHandler value is not valid": no secure transport is
// configured), or another scheme without a port (empty text).
class EIdUnsupportedAddress : public EIdException {
public:
    using EIdException::EIdException;
};

// The answer is not well-formed HTTP in a way the client cannot read past
// (a chunk size that is not hexadecimal). The text names the offending line.
class EIdProtocolError : public EIdException {
public:
    using EIdException::EIdException;
};

// A body larger than MaxBodySize: a server must not make the client hold an
// unbounded amount of memory. The text names the size and the limit.
class EIdBodyTooLarge : public EIdException {
public:
    EIdBodyTooLarge(std::uint64_t size, std::uint64_t limit, bool atLeast);
};

// The waiting Get was ended from inside OnPump, by Disconnect or by another
// Get on the same client.
class EIdAbortedByDisconnect : public EIdException {
public:
    EIdAbortedByDisconnect();
};

// Occasions reported through OnStatus, each with its fixed text.
enum TIdStatus {
    hsResolving,     // "Resolving hostname %s."
    hsConnecting,    // "Connecting to %s."
    hsConnected,     // "Connected."
    hsDisconnecting, // "Disconnecting."
    hsDisconnected,  // "Disconnected."
    hsChunkStarted,  // "Chunk Started"
};

enum TWorkMode { wmRead, wmWrite };

class TIdHTTP {
public:
    TIdHTTP();
    ~TIdHTTP();
    TIdHTTP(const TIdHTTP&) = delete;
    TIdHTTP& operator=(const TIdHTTP&) = delete;

    // Request settings; the same in both windows.
    std::string Accept = "text/html, */*";
    std::string ContentType = "text/html";
    std::string UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
    bool HandleRedirects = true;
    int RedirectMaximum = 15;    // requests per download, redirects included
    int ConnectTimeout = 120000; // ms
    int ReadTimeout = 0;         // ms; 0 waits for data without limit
    std::size_t MaxLineLength = 16384;
    std::uint64_t MaxBodySize = std::uint64_t{64} << 20;
    // Bodies read only to be dropped give up after this long without data.
    int RedirectBodyLimit = 4000;  // ms
    int ErrorBodyLimit = 2000;     // ms
    int PumpInterval = 250;        // ms between pumps while reading
    int ConnectPumpInterval = 125; // ms between pumps while connecting

    // Notifications. Any of them may be empty.
    std::function<void(TIdStatus status, const std::string& text)> OnStatus;
    std::function<void(TWorkMode mode, std::int64_t expected)> OnWorkBegin;
    std::function<void(TWorkMode mode, std::int64_t count)> OnWork;
    // Runs the GUI's pending events while the client waits.
    std::function<void()> OnPump;

    // GETs address, following redirects, and replaces buffer with the body of
    // the final answer. buffer is cleared first and holds nothing of a failed
    // download's body. Throws EIdException (see above). Cookies of every
    // answer are kept even when the download fails.
    //
    // A redirect is a 3xx answer other than 304, or any answer with a
    // non-empty Location; the redirect answer to the RedirectMaximum-th
    // request ends the download with an empty buffer and no error. A 3xx
    // without a Location leads nowhere and fails with its status line.
    // A request on a kept connection that the server closed before any
    // byte of an answer is sent once more on a new connection.
    void Get(const std::string& address, std::string& buffer);

    // The exact request head Get sends for address (port as in the address,
    // 80 when absent) with the given Cookie value ("" sends no Cookie line).
    std::string RequestHead(const std::string& address, const std::string& cookies) const;

    // Status line and code of the last answer read (0 / empty before any).
    const std::string& ResponseText() const { return FResponseText; }
    int ResponseCode() const { return FResponseCode; }

    // True while a connection is open and the server has not closed it.
    bool Connected();
    // Closes the open connection, if any, reporting "Disconnecting." and
    // "Disconnected.". A Get waiting inside OnPump fails afterwards.
    void Disconnect();

    TIdCookieManager& CookieManager() { return *FCookieManager; }

private:
    struct TConnection;
    struct TResponse;
    enum class TFill { Data, Closed, TimedOut };

    void DoStatus(TIdStatus status, const std::string& text);
    void DoWorkBegin(std::int64_t expected);
    void DoWork(std::int64_t count);
    void Pump();
    static void CheckOwned(const std::shared_ptr<TConnection>& conn);

    std::shared_ptr<TConnection> OpenConnection(const std::string& host, int port);
    void ConnectTo(const std::shared_ptr<TConnection>& conn, const std::string& host, int port);
    void CheckAlive(const std::shared_ptr<TConnection>& conn);
    void CloseByServer(const std::shared_ptr<TConnection>& conn);

    // Waits for more data, pumping. limitMs > 0 (else ReadTimeout > 0) gives
    // up after that long without data.
    TFill Fill(const std::shared_ptr<TConnection>& conn, int limitMs);
    std::string ReadLine(const std::shared_ptr<TConnection>& conn, int limitMs);
    void SendAll(const std::shared_ptr<TConnection>& conn, const std::string& data);
    TResponse ReadResponse(const std::shared_ptr<TConnection>& conn);
    // Sends the request for uri and reads the answer's head; conn is set to
    // the connection used.
    TResponse Exchange(std::shared_ptr<TConnection>& conn, const TIdURI& uri, int port);
    // sink == nullptr drops the body.
    void ReadBody(const std::shared_ptr<TConnection>& conn, const TResponse& response,
                  std::string* sink, int limitMs);
    void DropBody(const std::shared_ptr<TConnection>& conn, const TResponse& response, int limitMs);
    std::uint64_t ReadCounted(const std::shared_ptr<TConnection>& conn, std::uint64_t want,
                              std::string* sink, int limitMs);
    void ReadUntilClose(const std::shared_ptr<TConnection>& conn, std::string* sink, int limitMs);

    std::unique_ptr<TIdCookieManager> FCookieManager;
    std::shared_ptr<TConnection> FConnection;
    std::string FResponseText;
    int FResponseCode = 0;
};

} // namespace zavrio
