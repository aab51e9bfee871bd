#pragma once
// TLS for the HTTP client's https addresses, through OpenSSL.
//
// TlsClientContext holds what every connection of one client shares: TLS 1.2
// or later, and the trust store, which is OpenSSL's default verify paths:
// the system's certificates, or the file and directory SSL_CERT_FILE and
// SSL_CERT_DIR name when they are set. Making one reads the trust store.
//
// A TlsTransport is the client side of one connection: it sends the host name
// as server name indication (not for an address literal, which SNI cannot
// carry), and the handshake succeeds only when the server's certificate chains
// to a trusted one, is within its dates and names the host (a DNS name, or
// an IP address for an address literal). Everything it does is non-blocking
// (Transport.h); it reads and writes the socket itself, so a peer that has
// gone never raises SIGPIPE.
//
// Failures: CertificateError when the certificate does not pass, TlsError
// for any other TLS failure, SocketError for a failure of the socket.

#include "http/Transport.h"

#include <memory>
#include <string>

struct ssl_st;
struct ssl_ctx_st;

namespace zavrio {

class TlsClientContext {
public:
    // Throws TlsError when OpenSSL cannot make the context.
    TlsClientContext();
    ~TlsClientContext();
    TlsClientContext(const TlsClientContext&) = delete;
    TlsClientContext& operator=(const TlsClientContext&) = delete;

private:
    friend class TlsTransport;
    struct Deleter {
        void operator()(ssl_ctx_st* ctx) const;
    };
    std::unique_ptr<ssl_ctx_st, Deleter> ctx_;
};

class TlsTransport : public Transport {
public:
    // The client side for host (as written in the address) over the connected
    // socket fd. context must outlive the transport.
    TlsTransport(const TlsClientContext& context, int fd, const std::string& host);
    ~TlsTransport() override;
    // OpenSSL keeps a pointer to io_: the transport stays where it was made.
    TlsTransport(const TlsTransport&) = delete;
    TlsTransport& operator=(const TlsTransport&) = delete;

    Need Start() override;
    Transfer Receive(char* to, std::size_t room) override;
    Transfer Send(const char* data, std::size_t size) override;
    bool Buffered() const override;
    PeerState Peek() override;

private:
    struct Deleter {
        void operator()(ssl_st* ssl) const;
    };
    struct SocketBio;
    // The socket as OpenSSL's reads and writes see it.
    struct SocketIo {
        int fd = -1;
        bool eof = false; // a read found the peer closed
    };
    // What OpenSSL's result rc of an operation (errno as it left it) asks
    // for: Need::Nothing when the peer has closed; throws for a failure.
    Need Outcome(int rc, int savedErrno, bool handshake);

    std::string host_;
    SocketIo io_;
    std::unique_ptr<ssl_st, Deleter> ssl_;
    // After a fatal error the connection may not even be shut down politely.
    bool failed_ = false;
};

} // namespace zavrio
