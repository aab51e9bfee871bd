#include "http/TlsTransport.h"

#include "http/HttpErrors.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <sys/socket.h>

namespace zavrio {

namespace {

bool wouldBlock(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

// OpenSSL's reason for the oldest error of this thread's queue.
std::string errorQueueText() {
    const unsigned long code = ERR_peek_error();
    if (code == 0)
        return "unknown error";
    if (const char* reason = ERR_reason_error_string(code))
        return reason;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

bool isAddressLiteral(const std::string& host) {
    unsigned char address[16];
    return ::inet_pton(AF_INET, host.c_str(), address) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), address) == 1;
}

} // namespace

// OpenSSL's own socket BIO writes with write(2), which raises SIGPIPE once the
// peer has gone; this one sends with MSG_NOSIGNAL, as the plain transport
// does, and never blocks.
struct TlsTransport::SocketBio {
    static SocketIo& Of(BIO* bio) { return *static_cast<SocketIo*>(BIO_get_data(bio)); }

    static int Write(BIO* bio, const char* data, int size) {
        BIO_clear_retry_flags(bio);
        const ssize_t n =
            ::send(Of(bio).fd, data, static_cast<std::size_t>(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && wouldBlock(errno))
            BIO_set_retry_write(bio);
        return static_cast<int>(n);
    }

    static int Read(BIO* bio, char* to, int size) {
        BIO_clear_retry_flags(bio);
        const ssize_t n = ::recv(Of(bio).fd, to, static_cast<std::size_t>(size), MSG_DONTWAIT);
        if (n < 0 && wouldBlock(errno))
            BIO_set_retry_read(bio);
        if (n == 0)
            Of(bio).eof = true;
        return static_cast<int>(n);
    }

    // OpenSSL asks for the end of input to tell a peer that simply closed.
    static long Control(BIO* bio, int command, long, void*) {
        switch (command) {
        case BIO_CTRL_FLUSH:
            return 1;
        case BIO_CTRL_EOF:
            return Of(bio).eof ? 1 : 0;
        default:
            return 0;
        }
    }

    // Made once, for the process's life.
    static BIO_METHOD* Method() {
        static BIO_METHOD* method = [] {
            BIO_METHOD* m =
                BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "zavrio socket");
            if (m) {
                BIO_meth_set_write(m, Write);
                BIO_meth_set_read(m, Read);
                BIO_meth_set_ctrl(m, Control);
            }
            return m;
        }();
        return method;
    }
};

void TlsClientContext::Deleter::operator()(ssl_ctx_st* ctx) const {
    SSL_CTX_free(ctx);
}

TlsClientContext::TlsClientContext() : ctx_(SSL_CTX_new(TLS_client_method())) {
    if (!ctx_)
        throw HttpError("Cannot set up TLS: " + errorQueueText());
    SSL_CTX* ctx = ctx_.get();
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(ctx);
    // Many servers end a body that runs until the close without TLS's
    // closing message; the answer's framing decides whether a body is
    // complete, as it does for plain HTTP.
    SSL_CTX_set_options(ctx, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    ERR_clear_error();
}

TlsClientContext::~TlsClientContext() = default;

void TlsTransport::Deleter::operator()(ssl_st* ssl) const {
    SSL_free(ssl);
}

TlsTransport::TlsTransport(const TlsClientContext& context, int fd, const std::string& host)
    : host_(host), ssl_(SSL_new(context.ctx_.get())) {
    BIO_METHOD* method = SocketBio::Method();
    BIO* bio = method && ssl_ ? BIO_new(method) : nullptr;
    if (!bio)
        throw TlsError(host_, errorQueueText());
    io_.fd = fd;
    BIO_set_data(bio, &io_);
    BIO_set_init(bio, 1);
    SSL_set_bio(ssl_.get(), bio, bio);
    if (isAddressLiteral(host_)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), host_.c_str());
    } else {
        SSL_set_tlsext_host_name(ssl_.get(), host_.c_str());
        SSL_set1_host(ssl_.get(), host_.c_str());
    }
    SSL_set_connect_state(ssl_.get());
}

TlsTransport::~TlsTransport() {
    // One try at the closing message, without waiting for the server's.
    if (!failed_ && SSL_is_init_finished(ssl_.get())) {
        ERR_clear_error();
        SSL_shutdown(ssl_.get());
    }
    ERR_clear_error();
}

Need TlsTransport::Outcome(int rc, int savedErrno, bool handshake) {
    switch (SSL_get_error(ssl_.get(), rc)) {
    case SSL_ERROR_WANT_READ:
        return Need::Readable;
    case SSL_ERROR_WANT_WRITE:
        return Need::Writable;
    case SSL_ERROR_ZERO_RETURN:
        if (handshake)
            break;
        return Need::Nothing;
    case SSL_ERROR_SYSCALL:
        failed_ = true;
        if (ERR_peek_error() != 0)
            throw TlsError(host_, errorQueueText());
        if (savedErrno != 0 && rc < 0)
            throw SocketError(savedErrno, std::strerror(savedErrno));
        if (handshake)
            break;
        return Need::Nothing;
    case SSL_ERROR_SSL:
        failed_ = true;
        if (handshake) {
            const long verified = SSL_get_verify_result(ssl_.get());
            if (verified != X509_V_OK)
                throw CertificateError(host_, X509_verify_cert_error_string(verified), verified);
        }
        throw TlsError(host_, errorQueueText());
    default:
        failed_ = true;
        throw TlsError(host_, errorQueueText());
    }
    failed_ = true;
    throw TlsError(host_, "the server closed the connection during the handshake");
}

Need TlsTransport::Start() {
    ERR_clear_error();
    errno = 0;
    const int rc = SSL_do_handshake(ssl_.get());
    const int savedErrno = errno;
    if (rc == 1)
        return Need::Nothing;
    return Outcome(rc, savedErrno, true);
}

Transfer TlsTransport::Receive(char* to, std::size_t room) {
    ERR_clear_error();
    errno = 0;
    const int rc = SSL_read(ssl_.get(), to, static_cast<int>(std::min<std::size_t>(room, INT_MAX)));
    const int savedErrno = errno;
    if (rc > 0)
        return {static_cast<std::size_t>(rc), Need::Nothing};
    return {0, Outcome(rc, savedErrno, false)};
}

Transfer TlsTransport::Send(const char* data, std::size_t size) {
    ERR_clear_error();
    errno = 0;
    const int rc =
        SSL_write(ssl_.get(), data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
    const int savedErrno = errno;
    if (rc > 0)
        return {static_cast<std::size_t>(rc), Need::Nothing};
    const Need need = Outcome(rc, savedErrno, false);
    if (need == Need::Nothing) // the server said goodbye while we still talk
        throw SocketError(EPIPE, std::strerror(EPIPE));
    return {0, need};
}

bool TlsTransport::Buffered() const {
    // Only decrypted bytes: a partial record would not make SSL_read give
    // anything, and the socket must be waited on for the rest.
    return SSL_pending(ssl_.get()) > 0;
}

PeerState TlsTransport::Peek() {
    ERR_clear_error();
    char c;
    const int rc = SSL_peek(ssl_.get(), &c, 1);
    if (rc > 0)
        return PeerState::Unbidden;
    switch (SSL_get_error(ssl_.get(), rc)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        // Only TLS's own messages came (such as session tickets).
        return PeerState::Quiet;
    case SSL_ERROR_ZERO_RETURN:
        return PeerState::Closed;
    default:
        failed_ = true;
        ERR_clear_error();
        return PeerState::Closed;
    }
}

} // namespace zavrio
