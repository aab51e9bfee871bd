#include "http/TIdHTTP.h"

#include "http/Connection.h"
#include "http/HeaderFolding.h"
#include "http/HttpText.h"
#include "http/ResponseReader.h"
#include "http/TlsTransport.h"
#include "platform/TextToolkit.h"

#include <cerrno>
#include <utility>

namespace zavrio {

namespace {

bool isSecure(const Uri& uri) {
    return uri.Protocol == "https";
}

int defaultPort(const Uri& uri) {
    return isSecure(uri) ? 443 : 80;
}

// The same bytes whether they go in plain or inside TLS; the Host header
// names the port when it is not the scheme's own.
std::string buildRequest(const TIdHTTP& http, const Uri& uri, int port,
                         const std::string& cookies) {
    std::string host = uri.Host.find(':') != std::string::npos ? "[" + uri.Host + "]" : uri.Host;
    if (port != defaultPort(uri))
        host += ":" + std::to_string(port);
    std::string request = "GET " + uri.Target() + " HTTP/1.1\r\n";
    const std::pair<const char*, std::string> headers[] = {
        {"Content-Type", http.ContentType}, {"Host", host},      {"Accept", http.Accept},
        {"User-Agent", http.UserAgent},     {"Cookie", cookies},
    };
    for (const auto& [name, value] : headers) {
        if (value.empty())
            continue;
        for (const std::string& piece : FoldHeaderLine(std::string(name) + ": " + value))
            request += piece + "\r\n";
    }
    request += "\r\n";
    return request;
}

bool keepAlive(const std::string& connectionHeader, bool http10) {
    const std::string value = AsciiLowerCopy(connectionHeader);
    if (http10)
        return value.find("keep-alive") != std::string::npos;
    return value.find("close") == std::string::npos;
}

} // namespace

TIdHTTP::TIdHTTP() : FCookieManager(std::make_unique<CookieJar>()) {}

TIdHTTP::~TIdHTTP() = default;

void TIdHTTP::DoStatus(ClientStatus status, const std::string& text) {
    if (OnStatus)
        OnStatus(status, text);
}

void TIdHTTP::DoWorkBegin(std::int64_t expected) {
    if (OnWorkBegin)
        OnWorkBegin(wmRead, expected);
}

void TIdHTTP::DoWork(std::int64_t count) {
    if (OnWork)
        OnWork(wmRead, count);
}

bool TIdHTTP::Connected() {
    if (!FConnection || !FConnection->IsOpen())
        return false;
    if (FConnection->Available() > 0 || FConnection->busy)
        return true;
    const std::shared_ptr<Connection> conn = FConnection;
    conn->CheckAlive();
    return FConnection && FConnection->IsOpen();
}

void TIdHTTP::Disconnect() {
    if (!FConnection)
        return;
    // Detach first: a status handler may start another download.
    const std::shared_ptr<Connection> conn = std::move(FConnection);
    FConnection.reset();
    conn->Abort();
    if (!conn->IsOpen())
        return;
    DoStatus(hsDisconnecting, "Disconnecting.");
    conn->Close();
    DoStatus(hsDisconnected, "Disconnected.");
}

std::shared_ptr<Connection> TIdHTTP::OpenConnection(const std::string& host, int port,
                                                    bool secure) {
    if (FConnection) {
        const bool same = FConnection->Host() == host && FConnection->Port() == port &&
                          FConnection->secure == secure;
        if (same && !FConnection->busy && FConnection->reusable && FConnection->IsOpen()) {
            const std::shared_ptr<Connection> kept = FConnection;
            kept->CheckAlive();
            if (FConnection && FConnection->reusable) {
                FConnection->busy = true;
                return FConnection;
            }
        }
        Disconnect();
    }
    ConnectionHooks hooks;
    hooks.Pump = [this] {
        if (OnPump)
            OnPump();
    };
    hooks.Status = [this](ClientStatus status, const std::string& text) { DoStatus(status, text); };
    hooks.ClosedByServer = [this](Connection& closed) {
        if (FConnection.get() == &closed)
            FConnection.reset();
        DoStatus(hsDisconnected, "Disconnected.");
    };
    TransportFactory transport = MakePlainTransport;
    if (secure) {
        if (!FTlsContext)
            FTlsContext = std::make_unique<TlsClientContext>();
        transport = [context = FTlsContext.get(), host](int fd) {
            return std::make_unique<TlsTransport>(*context, fd, host);
        };
    }
    auto conn = std::make_shared<Connection>(
        host, port, std::move(hooks),
        ConnectionTimes{ConnectTimeout, ReadTimeout, PumpInterval, ConnectPumpInterval},
        std::move(transport));
    conn->secure = secure;
    conn->busy = true;
    FConnection = conn;
    try {
        conn->Open();
    } catch (...) {
        // Never connected: nothing to report as a disconnection.
        conn->Close();
        if (FConnection == conn)
            FConnection.reset();
        throw;
    }
    return conn;
}

void TIdHTTP::ReadBody(const std::shared_ptr<Connection>& conn, const ResponseHead& head,
                       std::string* sink, int limitMs) {
    ResponseEvents events;
    events.WorkBegin = [this, &conn](std::int64_t expected) {
        DoWorkBegin(expected);
        conn->ThrowIfAborted();
    };
    events.Work = [this, &conn](std::int64_t count) {
        DoWork(count);
        conn->ThrowIfAborted();
    };
    events.ChunkStarted = [this, &conn] {
        DoStatus(hsChunkStarted, "Chunk Started");
        conn->ThrowIfAborted();
    };
    ResponseReader reader(*conn, {MaxLineLength, MaxBodySize}, std::move(events));
    if (!reader.ReadBody(head, sink, limitMs))
        conn->reusable = false;
}

void TIdHTTP::DropBody(const std::shared_ptr<Connection>& conn, const ResponseHead& head,
                       int limitMs) {
    try {
        ReadBody(conn, head, nullptr, limitMs);
    } catch (const DownloadAborted&) {
        throw;
    } catch (const HttpError&) {
        // The body was going to be dropped anyway; only the connection is spoilt.
        conn->reusable = false;
    }
}

std::string TIdHTTP::RequestHead(const std::string& address, const std::string& cookies) const {
    const Uri uri(address);
    return buildRequest(*this, uri, uri.PortNumber().value_or(defaultPort(uri)), cookies);
}

ResponseHead TIdHTTP::Exchange(std::shared_ptr<Connection>& conn, const Uri& uri, int port) {
    for (int attempt = 1;; ++attempt) {
        conn = OpenConnection(uri.Host, port, isSecure(uri));
        const bool reused = conn->exchanges > 0;
        const std::uint64_t receivedBefore = conn->received;
        // A kept connection can be closed by the server just as the request
        // goes out; that is no answer, so the request is sent once more on a
        // fresh connection.
        auto closedUnderUs = [&] {
            return reused && attempt == 1 && !conn->Aborted() && conn->received == receivedBefore;
        };
        try {
            conn->SendAll(buildRequest(*this, uri, port, FCookieManager->CookieHeader(uri)));
            ResponseReader reader(*conn, {MaxLineLength, MaxBodySize});
            ResponseHead head = reader.ReadHead();
            ++conn->exchanges;
            return head;
        } catch (const ConnectionClosed&) {
            if (!closedUnderUs())
                throw;
        } catch (const SocketError& e) {
            const bool reset = e.LastError() == ECONNRESET || e.LastError() == EPIPE;
            if (!reset || !closedUnderUs())
                throw;
        }
        conn->busy = false;
        conn->Close();
        if (FConnection == conn)
            FConnection.reset();
    }
}

void TIdHTTP::Get(const std::string& address, std::string& buffer) {
    buffer.clear();
    FResponseText.clear();
    FResponseCode = 0;
    std::string current = address;
    for (int request = 1;; ++request) {
        FLastAddress = current;
        const Uri uri(current);
        if (isSecure(uri) && !SecureTransport)
            throw NoSecureTransport();
        const std::optional<int> givenPort = uri.PortNumber();
        if (!givenPort && uri.Protocol != "http" && !isSecure(uri))
            throw UnsupportedAddress("");
        const int port = givenPort.value_or(defaultPort(uri));
        if (port == 0)
            throw UnsupportedAddress("Invalid port \"" + uri.Port + "\" in the address " + current);

        std::shared_ptr<Connection> conn;
        try {
            const ResponseHead head = Exchange(conn, uri, port);
            FResponseText = head.statusLine;
            FResponseCode = head.code;
            for (const auto& [name, value] : head.headers.items)
                if (name == "set-cookie" || name == "set-cookie2")
                    FCookieManager->AddServerCookie(value, uri, name == "set-cookie2");
            if (!keepAlive(head.headers.Value("connection"), head.http10))
                conn->reusable = false;
            const std::string location = HttpTrim(head.headers.Value("location"));
            const int code = head.code;
            // A 3xx without a Location has nowhere to lead: it fails like
            // any other unusable answer instead of repeating the request.
            const bool redirect = !location.empty() || (code >= 300 && code <= 399 && code != 304);
            if (redirect && HandleRedirects && !location.empty()) {
                DropBody(conn, head, RedirectBodyLimit);
                conn->busy = false;
                buffer.clear();
                if (request >= RedirectMaximum)
                    return;
                current = Uri::Resolve(current, location);
                continue;
            }
            if (code >= 200 && code <= 299) {
                ReadBody(conn, head, &buffer, 0);
                conn->busy = false;
                return;
            }
            DropBody(conn, head, ErrorBodyLimit);
            conn->busy = false;
            throw HttpStatusError(code, head.statusLine);
        } catch (...) {
            buffer.clear();
            if (conn) {
                conn->busy = false;
                if (FConnection == conn)
                    Disconnect();
            }
            throw;
        }
    }
}

} // namespace zavrio
