#pragma once
// The HTTP/1.1 client the clip-listing windows download their feeds with.
//
// One TIdHTTP serves one window for the window's whole life: it keeps at most
// one open connection (reused when the next request goes to the same host and
// port) and the cookies of every answer it has seen. It speaks plain HTTP over
// POSIX sockets and sends exactly the request line and the five headers below,
// because servers and tests rely on the bytes on the wire.
//
// An "https" address needs SecureTransport: the same request then goes
// inside TLS (TlsTransport.h: the system's trust store, server name
// indication, the certificate verified for the host, TLS 1.2 or later),
// port 443 by default. Without it an https address fails with
// NoSecureTransport, "IOHandler value is not valid"; so does a redirect to
// one. Redirects between http and https are followed like any other.
//
// Get blocks the calling (GUI) thread, but every wait is cut into slices and
// OnPump runs between them: at least every PumpInterval ms and after each
// successful wait while reading, every ConnectPumpInterval ms while resolving
// the host name and connecting.
// Handlers run inside OnPump may call Disconnect or start another Get on this
// same client; the interrupted Get then fails with DownloadAborted and
// the client stays usable.
//
// Failures are exceptions derived from HttpError whose what() is the text
// the windows show (for instance "Connect timed out." or an answer's status
// line). Exceptions thrown by the callbacks pass through Get unchanged; the
// connection is closed then, as after any failure.

#include "http/CookieJar.h"
#include "http/HttpErrors.h"
#include "http/HttpEvents.h"
#include "http/Uri.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zavrio {

class Connection;
class TlsClientContext;
struct ResponseHead;

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
    int ConnectPumpInterval = 125; // ms between pumps while connecting, TLS handshake included
    // https addresses are fetched over TLS; without it they fail.
    bool SecureTransport = false;

    // Notifications. Any of them may be empty.
    std::function<void(ClientStatus status, const std::string& text)> OnStatus;
    std::function<void(WorkMode mode, std::int64_t expected)> OnWorkBegin;
    std::function<void(WorkMode mode, std::int64_t count)> OnWork;
    // Runs the GUI's pending events while the client waits.
    std::function<void()> OnPump;

    // GETs address, following redirects, and replaces buffer with the body of
    // the final answer. buffer is cleared first and holds nothing of a failed
    // download's body. Throws HttpError (see above). Cookies of every
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
    // else the scheme's: 443 for https, 80 otherwise) with the given Cookie
    // value ("" sends no Cookie line).
    std::string RequestHead(const std::string& address, const std::string& cookies) const;

    // The address of the last request Get sent: after redirects, the one the
    // body came from ("" before any). A page's relative links resolve
    // against it.
    const std::string& LastAddress() const { return FLastAddress; }

    // Status line and code of the last answer read (0 / empty before any).
    const std::string& ResponseText() const { return FResponseText; }
    int ResponseCode() const { return FResponseCode; }

    // True while a connection is open and the server has not closed it.
    bool Connected();
    // Closes the open connection, if any, reporting "Disconnecting." and
    // "Disconnected.". A Get waiting inside OnPump fails afterwards.
    void Disconnect();

    CookieJar& CookieManager() { return *FCookieManager; }

private:
    void DoStatus(ClientStatus status, const std::string& text);
    void DoWorkBegin(std::int64_t expected);
    void DoWork(std::int64_t count);

    std::shared_ptr<Connection> OpenConnection(const std::string& host, int port, bool secure);
    // Sends the request for uri and reads the answer's head; conn is set to
    // the connection used.
    ResponseHead Exchange(std::shared_ptr<Connection>& conn, const Uri& uri, int port);
    // Reads the body into sink, or drops it (sink null) within limitMs.
    void ReadBody(const std::shared_ptr<Connection>& conn, const ResponseHead& head,
                  std::string* sink, int limitMs);
    void DropBody(const std::shared_ptr<Connection>& conn, const ResponseHead& head, int limitMs);

    std::unique_ptr<CookieJar> FCookieManager;
    // Made at the first https request, for the client's life.
    std::unique_ptr<TlsClientContext> FTlsContext;
    std::shared_ptr<Connection> FConnection;
    std::string FResponseText;
    int FResponseCode = 0;
    std::string FLastAddress;
};

} // namespace zavrio
