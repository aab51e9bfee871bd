#include "http/TIdHTTP.h"
#include "HttpText.h"

#include "http/HeaderFolding.h"
#include "http/TIdURI.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zavrio {

// ---- errors ---------------------------------------------------------------

EIdSocketError::EIdSocketError(int errorCode, const std::string& systemText)
    : EIdException("Socket Error # " + std::to_string(errorCode) + "\r\n" + systemText),
      FLastError(errorCode) {}

EIdConnectTimeout::EIdConnectTimeout() : EIdException("Connect timed out.") {}

EIdConnClosedGracefully::EIdConnClosedGracefully()
    : EIdException("Connection Closed Gracefully.") {}

EIdReadLineMaxLineLengthExceeded::EIdReadLineMaxLineLengthExceeded()
    : EIdException("Max line length exceeded.") {}

EIdHTTPProtocolException::EIdHTTPProtocolException(int errorCode, const std::string& statusLine)
    : EIdException(statusLine), FErrorCode(errorCode) {}

EIdBodyTooLarge::EIdBodyTooLarge(std::uint64_t size, std::uint64_t limit, bool atLeast)
    : EIdException("Response body of " + std::string(atLeast ? "at least " : "") +
                   std::to_string(size) + " bytes exceeds the limit of " + std::to_string(limit) +
                   " bytes.") {}

EIdAbortedByDisconnect::EIdAbortedByDisconnect()
    : EIdException("Download aborted: the connection was closed while waiting for it.") {}

// ---- connection -------------------------------------------------------------

struct TIdHTTP::TConnection {
    int fd = -1;
    std::string host;
    int port = 0;
    bool reusable = true;
    // Set by Disconnect: whoever still waits on this connection must stop.
    bool aborted = false;
    // A request is under way; a nested Get must not share the connection.
    bool busy = false;
    int exchanges = 0;          // answers read on this connection
    std::uint64_t received = 0; // bytes
    std::vector<char> buf = std::vector<char>(256 * 1024);
    std::size_t start = 0; // unread data is buf[start, end)
    std::size_t end = 0;

    std::size_t Available() const { return end - start; }

    void Close() {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~TConnection() { Close(); }
};

namespace {

using Clock = std::chrono::steady_clock;

int MsSince(Clock::time_point t) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

[[noreturn]] void ThrowErrno(int err) {
    throw EIdSocketError(err, std::strerror(err));
}

struct THeaders {
    std::vector<std::pair<std::string, std::string>> items; // name lower-cased

    const std::string* Find(const std::string& lowerName) const {
        for (const auto& [name, value] : items) {
            if (name == lowerName) {
                return &value;
            }
        }
        return nullptr;
    }
    std::string Value(const std::string& lowerName) const {
        const std::string* v = Find(lowerName);
        return v ? *v : std::string();
    }
};

// -1 when absent or not a plain non-negative number.
std::int64_t ContentLength(const THeaders& headers) {
    const std::string* v = headers.Find("content-length");
    if (!v) {
        return -1;
    }
    const std::string t = HttpTrim(*v);
    if (t.empty() || t.size() > 18 ||
        !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return -1;
    }
    return std::stoll(t);
}

int ParseStatusCode(const std::string& line) {
    const auto sp = line.find(' ');
    if (line.rfind("HTTP/", 0) != 0 || sp == std::string::npos) {
        return -1;
    }
    const std::string code = line.substr(sp + 1, 3);
    if (code.size() != 3 ||
        !std::all_of(code.begin(), code.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return -1;
    }
    return std::stoi(code);
}

// One getaddrinfo call on a thread of its own. The waiting client may give up
// (Disconnect from the pump); the shared state then outlives it until the
// thread finishes, and frees the answer nobody took.
struct TResolution {
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    int rc = 0;
    int err = 0;
    addrinfo* list = nullptr;

    ~TResolution() {
        if (list) {
            ::freeaddrinfo(list);
        }
    }

    static std::shared_ptr<TResolution> Start(const std::string& host, int port) {
        auto state = std::make_shared<TResolution>();
        std::thread([state, host, port] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_flags = AI_NUMERICSERV;
            addrinfo* found = nullptr;
            const int rc =
                ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
            const int err = errno;
            std::lock_guard lock(state->mutex);
            state->rc = rc;
            state->err = err;
            state->list = found;
            state->done = true;
            state->doneChanged.notify_all();
        }).detach();
        return state;
    }

    bool Wait(int ms) {
        std::unique_lock lock(mutex);
        return doneChanged.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done; });
    }

    addrinfo* Take() {
        std::lock_guard lock(mutex);
        return std::exchange(list, nullptr);
    }
};

} // namespace

struct TIdHTTP::TResponse {
    std::string statusLine;
    int code = -1;
    bool http10 = false;
    THeaders headers;
};

// ---- client -------------------------------------------------------------------

TIdHTTP::TIdHTTP() : FCookieManager(std::make_unique<TIdCookieManager>()) {}

TIdHTTP::~TIdHTTP() = default;

void TIdHTTP::DoStatus(TIdStatus status, const std::string& text) {
    if (OnStatus) {
        OnStatus(status, text);
    }
}

void TIdHTTP::DoWorkBegin(std::int64_t expected) {
    if (OnWorkBegin) {
        OnWorkBegin(wmRead, expected);
    }
}

void TIdHTTP::DoWork(std::int64_t count) {
    if (OnWork) {
        OnWork(wmRead, count);
    }
}

void TIdHTTP::Pump() {
    if (OnPump) {
        OnPump();
    }
}

void TIdHTTP::CheckOwned(const std::shared_ptr<TConnection>& conn) {
    if (conn->aborted) {
        throw EIdAbortedByDisconnect();
    }
}

bool TIdHTTP::Connected() {
    if (!FConnection || FConnection->fd < 0) {
        return false;
    }
    if (FConnection->Available() > 0 || FConnection->busy) {
        return true;
    }
    CheckAlive(FConnection);
    return FConnection && FConnection->fd >= 0;
}

void TIdHTTP::CheckAlive(const std::shared_ptr<TConnection>& conn) {
    pollfd p{conn->fd, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) {
        return;
    }
    char c;
    const ssize_t n = ::recv(conn->fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        CloseByServer(conn);
    } else if (n > 0) {
        // Bytes nobody asked for: the connection is out of step; never reuse it.
        conn->reusable = false;
    }
}

void TIdHTTP::CloseByServer(const std::shared_ptr<TConnection>& conn) {
    conn->Close();
    conn->reusable = false;
    if (FConnection == conn) {
        FConnection.reset();
    }
    DoStatus(hsDisconnected, "Disconnected.");
}

void TIdHTTP::Disconnect() {
    if (!FConnection) {
        return;
    }
    // Detach first: a status handler may start another download.
    const std::shared_ptr<TConnection> conn = std::move(FConnection);
    FConnection.reset();
    conn->aborted = true;
    if (conn->fd < 0) {
        return;
    }
    DoStatus(hsDisconnecting, "Disconnecting.");
    conn->Close();
    DoStatus(hsDisconnected, "Disconnected.");
}

std::shared_ptr<TIdHTTP::TConnection> TIdHTTP::OpenConnection(const std::string& host, int port) {
    if (FConnection) {
        const bool same = FConnection->host == host && FConnection->port == port;
        if (same && !FConnection->busy && FConnection->reusable && FConnection->fd >= 0) {
            CheckAlive(FConnection);
            if (FConnection && FConnection->reusable) {
                FConnection->busy = true;
                return FConnection;
            }
        }
        Disconnect();
    }
    auto conn = std::make_shared<TConnection>();
    conn->host = host;
    conn->port = port;
    conn->busy = true;
    FConnection = conn;
    try {
        ConnectTo(conn, host, port);
    } catch (...) {
        // Never connected: nothing to report as a disconnection.
        conn->Close();
        if (FConnection == conn) {
            FConnection.reset();
        }
        throw;
    }
    return conn;
}

void TIdHTTP::ConnectTo(const std::shared_ptr<TConnection>& conn, const std::string& host,
                        int port) {
    const bool literal =
        TIdURI("http://" + host).HostIsAddress() || TIdURI("http://[" + host + "]").HostIsAddress();
    if (!literal) {
        DoStatus(hsResolving, "Resolving hostname " + host + ".");
        CheckOwned(conn);
    }
    const std::shared_ptr<TResolution> resolution = TResolution::Start(host, port);
    // A name server can take seconds to answer: keep the GUI running meanwhile.
    while (!resolution->Wait(ConnectPumpInterval)) {
        Pump();
        CheckOwned(conn);
    }
    addrinfo* found = resolution->Take();
    if (resolution->rc != 0) {
        if (resolution->rc == EAI_SYSTEM) {
            ThrowErrno(resolution->err);
        }
        throw EIdSocketError(resolution->rc, ::gai_strerror(resolution->rc));
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);

    const auto started = Clock::now();
    int lastError = ECONNREFUSED;
    for (const addrinfo* ai = list.get(); ai; ai = ai->ai_next) {
        char ip[INET6_ADDRSTRLEN] = "";
        const void* raw = ai->ai_family == AF_INET6
                              ? static_cast<const void*>(
                                    &reinterpret_cast<const sockaddr_in6*>(ai->ai_addr)->sin6_addr)
                              : static_cast<const void*>(
                                    &reinterpret_cast<const sockaddr_in*>(ai->ai_addr)->sin_addr);
        ::inet_ntop(ai->ai_family, raw, ip, sizeof ip);
        DoStatus(hsConnecting, std::string("Connecting to ") + ip + ".");
        CheckOwned(conn);

        conn->Close();
        conn->fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            ai->ai_protocol);
        if (conn->fd < 0) {
            ThrowErrno(errno);
        }
        int err = 0;
        if (::connect(conn->fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            err = errno;
        }
        while (err == EINPROGRESS || err == EINTR) {
            const int left = ConnectTimeout - MsSince(started);
            if (left <= 0) {
                conn->Close();
                throw EIdConnectTimeout();
            }
            pollfd p{conn->fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, std::min(left, ConnectPumpInterval));
            Pump();
            CheckOwned(conn);
            if (r < 0) {
                if (errno == EINTR) {
                    continue;
                }
                ThrowErrno(errno);
            }
            if (r > 0) {
                socklen_t len = sizeof err;
                ::getsockopt(conn->fd, SOL_SOCKET, SO_ERROR, &err, &len);
            }
        }
        if (err == 0) {
            const int one = 1;
            ::setsockopt(conn->fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            DoStatus(hsConnected, "Connected.");
            CheckOwned(conn);
            return;
        }
        lastError = err;
        conn->Close();
    }
    ThrowErrno(lastError);
}

TIdHTTP::TFill TIdHTTP::Fill(const std::shared_ptr<TConnection>& conn, int limitMs) {
    if (conn->start == conn->end) {
        conn->start = conn->end = 0;
    } else if (conn->end == conn->buf.size()) {
        std::memmove(conn->buf.data(), conn->buf.data() + conn->start, conn->Available());
        conn->end -= conn->start;
        conn->start = 0;
    }
    if (conn->end == conn->buf.size()) {
        conn->buf.resize(conn->buf.size() * 2);
    }
    const int limit = limitMs > 0 ? limitMs : ReadTimeout;
    const auto started = Clock::now();
    for (;;) {
        if (conn->fd < 0) {
            return TFill::Closed;
        }
        int slice = PumpInterval;
        if (limit > 0) {
            const int left = limit - MsSince(started);
            if (left <= 0) {
                return TFill::TimedOut;
            }
            slice = std::min(slice, left);
        }
        pollfd p{conn->fd, POLLIN, 0};
        const int r = ::poll(&p, 1, slice);
        if (r < 0 && errno != EINTR) {
            ThrowErrno(errno);
        }
        Pump();
        CheckOwned(conn);
        if (r <= 0 || conn->fd < 0) {
            continue;
        }
        const ssize_t n = ::recv(conn->fd, conn->buf.data() + conn->end,
                                 conn->buf.size() - conn->end, MSG_DONTWAIT);
        if (n > 0) {
            conn->end += static_cast<std::size_t>(n);
            conn->received += static_cast<std::uint64_t>(n);
            return TFill::Data;
        }
        if (n == 0) {
            CloseByServer(conn);
            return TFill::Closed;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            const int err = errno;
            conn->Close();
            ThrowErrno(err);
        }
    }
}

std::string TIdHTTP::ReadLine(const std::shared_ptr<TConnection>& conn, int limitMs) {
    std::size_t scanned = 0;
    for (;;) {
        const char* data = conn->buf.data() + conn->start;
        const void* lf = std::memchr(data + scanned, '\n', conn->Available() - scanned);
        if (lf) {
            std::size_t len = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
            conn->start += len + 1;
            if (len > 0 && data[len - 1] == '\r') {
                --len;
            }
            if (len > MaxLineLength) {
                throw EIdReadLineMaxLineLengthExceeded();
            }
            return std::string(data, len);
        }
        scanned = conn->Available();
        // One more byte may be the CR of a line of exactly the maximum length.
        if (scanned > MaxLineLength + 1) {
            throw EIdReadLineMaxLineLengthExceeded();
        }
        switch (Fill(conn, limitMs)) {
        case TFill::Data:
            break;
        case TFill::Closed:
            throw EIdConnClosedGracefully();
        case TFill::TimedOut:
            throw EIdException("Read timed out.");
        }
    }
}

void TIdHTTP::SendAll(const std::shared_ptr<TConnection>& conn, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n =
            ::send(conn->fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            ThrowErrno(errno);
        }
        pollfd p{conn->fd, POLLOUT, 0};
        ::poll(&p, 1, PumpInterval);
        Pump();
        CheckOwned(conn);
    }
}

namespace {

std::string BuildRequest(const TIdHTTP& http, const TIdURI& uri, int port,
                         const std::string& cookies) {
    std::string host = uri.Host.find(':') != std::string::npos ? "[" + uri.Host + "]" : uri.Host;
    if (port != 80) {
        host += ":" + std::to_string(port);
    }
    std::string request = "GET " + uri.Target() + " HTTP/1.1\r\n";
    const std::pair<const char*, std::string> headers[] = {
        {"Content-Type", http.ContentType}, {"Host", host},      {"Accept", http.Accept},
        {"User-Agent", http.UserAgent},     {"Cookie", cookies},
    };
    for (const auto& [name, value] : headers) {
        if (value.empty()) {
            continue;
        }
        for (const std::string& piece : FoldHeaderLine(std::string(name) + ": " + value)) {
            request += piece + "\r\n";
        }
    }
    request += "\r\n";
    return request;
}

} // namespace

TIdHTTP::TResponse TIdHTTP::ReadResponse(const std::shared_ptr<TConnection>& conn) {
    for (;;) {
        TResponse response;
        do {
            // Tolerates the stray line end some servers send after a body.
            response.statusLine = ReadLine(conn, 0);
        } while (response.statusLine.empty());
        response.code = ParseStatusCode(response.statusLine);
        response.http10 = response.statusLine.rfind("HTTP/1.0", 0) == 0;
        for (;;) {
            const std::string line = ReadLine(conn, 0);
            if (line.empty()) {
                break;
            }
            if ((line[0] == ' ' || line[0] == '\t') && !response.headers.items.empty()) {
                response.headers.items.back().second += " " + HttpTrim(line);
                continue;
            }
            const auto colon = line.find(':');
            if (colon == std::string::npos) {
                continue;
            }
            response.headers.items.emplace_back(HttpLower(HttpTrim(line.substr(0, colon))),
                                                HttpTrim(line.substr(colon + 1)));
        }
        if (response.code != 100) {
            return response;
        }
    }
}

std::uint64_t TIdHTTP::ReadCounted(const std::shared_ptr<TConnection>& conn, std::uint64_t want,
                                   std::string* sink, int limitMs) {
    std::uint64_t got = 0;
    while (got < want) {
        if (conn->Available() == 0) {
            const TFill fill = Fill(conn, limitMs);
            if (fill == TFill::TimedOut) {
                conn->reusable = false;
            }
            if (fill != TFill::Data) {
                break;
            }
        }
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(conn->Available(), want - got));
        if (sink) {
            sink->append(conn->buf.data() + conn->start, take);
        }
        conn->start += take;
        got += take;
        DoWork(static_cast<std::int64_t>(got));
        CheckOwned(conn);
    }
    return got;
}

void TIdHTTP::ReadUntilClose(const std::shared_ptr<TConnection>& conn, std::string* sink,
                             int limitMs) {
    conn->reusable = false;
    std::uint64_t got = 0;
    for (;;) {
        if (conn->Available() == 0) {
            if (Fill(conn, limitMs) != TFill::Data) {
                return;
            }
        }
        const std::size_t take = conn->Available();
        got += take;
        if (got > MaxBodySize) {
            if (sink) {
                throw EIdBodyTooLarge(got, MaxBodySize, true);
            }
            return; // enough dropped; the connection is not reused anyway
        }
        if (sink) {
            sink->append(conn->buf.data() + conn->start, take);
        }
        conn->start += take;
        DoWork(static_cast<std::int64_t>(got));
        CheckOwned(conn);
    }
}

void TIdHTTP::ReadBody(const std::shared_ptr<TConnection>& conn, const TResponse& response,
                       std::string* sink, int limitMs) {
    if (response.code == 204 || response.code == 304 ||
        (response.code >= 100 && response.code < 200)) {
        return;
    }
    const std::int64_t length = ContentLength(response.headers);
    if (length > 0) {
        const auto size = static_cast<std::uint64_t>(length);
        if (size > MaxBodySize) {
            if (sink) {
                throw EIdBodyTooLarge(size, MaxBodySize, false);
            }
            conn->reusable = false;
            return;
        }
        if (sink) {
            sink->reserve(sink->size() + size);
        }
        DoWorkBegin(length);
        CheckOwned(conn);
        if (ReadCounted(conn, size, sink, limitMs) < size) {
            conn->reusable = false;
        }
        return;
    }
    if (HttpLower(response.headers.Value("transfer-encoding")).find("chunked") != std::string::npos) {
        DoStatus(hsChunkStarted, "Chunk Started");
        CheckOwned(conn);
        std::uint64_t total = 0;
        for (;;) {
            const std::string line = ReadLine(conn, limitMs);
            const std::string digits = line.substr(0, line.find_first_of(" \t;"));
            if (digits.empty() || digits.size() > 15 ||
                !std::all_of(digits.begin(), digits.end(),
                             [](unsigned char c) { return std::isxdigit(c); })) {
                throw EIdProtocolError("Invalid chunk size line \"" + line.substr(0, 100) +
                                       "\" in the answer.");
            }
            const std::uint64_t size = std::stoull(digits, nullptr, 16);
            if (size == 0) {
                break;
            }
            if (total + size > MaxBodySize) {
                if (sink) {
                    throw EIdBodyTooLarge(total + size, MaxBodySize, true);
                }
                conn->reusable = false;
                return;
            }
            DoWorkBegin(static_cast<std::int64_t>(size));
            CheckOwned(conn);
            const std::uint64_t got = ReadCounted(conn, size, sink, limitMs);
            total += got;
            if (got < size) {
                if (conn->fd < 0) {
                    throw EIdConnClosedGracefully();
                }
                throw EIdException("Read timed out.");
            }
            ReadLine(conn, limitMs);
        }
        ReadLine(conn, limitMs); // the (single) trailer line
        return;
    }
    if (length < 0) {
        DoWorkBegin(0);
        CheckOwned(conn);
        ReadUntilClose(conn, sink, limitMs);
    }
}

void TIdHTTP::DropBody(const std::shared_ptr<TConnection>& conn, const TResponse& response,
                       int limitMs) {
    try {
        ReadBody(conn, response, nullptr, limitMs);
    } catch (const EIdAbortedByDisconnect&) {
        throw;
    } catch (const EIdException&) {
        // The body was going to be dropped anyway; only the connection is spoilt.
        conn->reusable = false;
    }
}

namespace {

bool KeepAlive(const std::string& connectionHeader, bool http10) {
    const std::string value = HttpLower(connectionHeader);
    if (http10) {
        return value.find("keep-alive") != std::string::npos;
    }
    return value.find("close") == std::string::npos;
}

} // namespace

std::string TIdHTTP::RequestHead(const std::string& address, const std::string& cookies) const {
    const TIdURI uri(address);
    const bool digits = !uri.Port.empty() && uri.Port.size() <= 5 &&
                        std::all_of(uri.Port.begin(), uri.Port.end(),
                                    [](unsigned char c) { return std::isdigit(c); });
    return BuildRequest(*this, uri, digits ? std::stoi(uri.Port) : 80, cookies);
}

TIdHTTP::TResponse TIdHTTP::Exchange(std::shared_ptr<TConnection>& conn, const TIdURI& uri,
                                     int port) {
    for (int attempt = 1;; ++attempt) {
        conn = OpenConnection(uri.Host, port);
        const bool reused = conn->exchanges > 0;
        const std::uint64_t receivedBefore = conn->received;
        try {
            SendAll(conn, BuildRequest(*this, uri, port, FCookieManager->CookieHeader(uri)));
            TResponse response = ReadResponse(conn);
            ++conn->exchanges;
            return response;
        } catch (const EIdException& e) {
            // A kept connection can be closed by the server just as the
            // request goes out; that is no answer, so the request is sent
            // once more on a fresh connection.
            const auto* socketError = dynamic_cast<const EIdSocketError*>(&e);
            const bool closedUnderUs = dynamic_cast<const EIdConnClosedGracefully*>(&e) ||
                                       (socketError && (socketError->LastError() == ECONNRESET ||
                                                        socketError->LastError() == EPIPE));
            if (!reused || attempt > 1 || conn->aborted || conn->received != receivedBefore ||
                !closedUnderUs) {
                throw;
            }
            conn->busy = false;
            conn->Close();
            if (FConnection == conn) {
                FConnection.reset();
            }
        }
    }
}

void TIdHTTP::Get(const std::string& address, std::string& buffer) {
    buffer.clear();
    FResponseText.clear();
    FResponseCode = 0;
    std::string current = address;
    for (int request = 1;; ++request) {
        const TIdURI uri(current);
        if (uri.Protocol == "https") {
            throw EIdUnsupportedAddress("IOHandler value is not valid");
        }
        int port = 80;
        if (uri.Port.empty()) {
            if (uri.Protocol != "http") {
                throw EIdUnsupportedAddress("");
            }
        } else {
            const bool digits = uri.Port.size() <= 5 &&
                                std::all_of(uri.Port.begin(), uri.Port.end(),
                                            [](unsigned char c) { return std::isdigit(c); });
            port = digits ? std::stoi(uri.Port) : 0;
            if (port <= 0 || port > 65535) {
                throw EIdUnsupportedAddress("Invalid port \"" + uri.Port + "\" in the address " +
                                            current);
            }
        }

        std::shared_ptr<TConnection> conn;
        try {
            const TResponse response = Exchange(conn, uri, port);
            FResponseText = response.statusLine;
            FResponseCode = response.code;
            for (const auto& [name, value] : response.headers.items) {
                if (name == "set-cookie" || name == "set-cookie2") {
                    FCookieManager->AddServerCookie(value, uri, name == "set-cookie2");
                }
            }
            if (!KeepAlive(response.headers.Value("connection"), response.http10)) {
                conn->reusable = false;
            }
            const std::string location = HttpTrim(response.headers.Value("location"));
            const int code = response.code;
            // A 3xx without a Location has nowhere to lead: it fails like
            // any other unusable answer instead of repeating the request.
            const bool redirect = !location.empty() || (code >= 300 && code <= 399 && code != 304);
            if (redirect && HandleRedirects && !location.empty()) {
                DropBody(conn, response, RedirectBodyLimit);
                conn->busy = false;
                buffer.clear();
                if (request >= RedirectMaximum) {
                    return;
                }
                current = TIdURI::Resolve(current, location);
                continue;
            }
            if (code >= 200 && code <= 299) {
                ReadBody(conn, response, &buffer, 0);
                conn->busy = false;
                return;
            }
            DropBody(conn, response, ErrorBodyLimit);
            conn->busy = false;
            throw EIdHTTPProtocolException(code, response.statusLine);
        } catch (...) {
            buffer.clear();
            if (conn) {
                conn->busy = false;
                if (FConnection == conn) {
                    Disconnect();
                }
            }
            throw;
        }
    }
}

} // namespace zavrio
