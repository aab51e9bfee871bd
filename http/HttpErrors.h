#pragma once
// The failures of the HTTP client. Each what() is the text the windows show.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zavrio {

// Base of every failure of the client.
class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A socket or resolver failure: "Socket Error # <number>" CR LF <system text>.
// For a connection failure the number is the errno value and the text
// strerror's; for a host name that cannot be resolved it is getaddrinfo's
// return code (negative with glibc, so it never collides with an errno value)
// and gai_strerror's text.
class SocketError : public HttpError {
public:
    SocketError(int errorCode, const std::string& systemText);
    int LastError() const { return lastError_; }

private:
    int lastError_;
};

// No connection within the connect time-out: "Connect timed out.".
class ConnectTimedOut : public HttpError {
public:
    ConnectTimedOut();
};

// The server closed the connection before a complete status line and header
// block arrived: "Connection Closed Gracefully.".
class ConnectionClosed : public HttpError {
public:
    ConnectionClosed();
};

// A status, header, chunk-size or trailer line longer than the line limit:
// "Max line length exceeded.".
class LineTooLong : public HttpError {
public:
    LineTooLong();
};

// An answer whose status is not 200-299 (and not a redirect); what() is the
// answer's status line, for instance "HTTP/1.1 404 Not Found".
class HttpStatusError : public HttpError {
public:
    HttpStatusError(int errorCode, const std::string& statusLine);
    int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

// An address the client cannot fetch: another scheme than http and https
// without a port (empty text), or a port that is no number.
class UnsupportedAddress : public HttpError {
public:
    using HttpError::HttpError;
};

// An "https" address while the client has no secure transport:
// "IOHandler value is not valid".
class NoSecureTransport : public UnsupportedAddress {
public:
    NoSecureTransport();
};

// The TLS connection to host could not be set up or broke down:
// "TLS connection to <host> failed: <OpenSSL's reason>".
class TlsError : public HttpError {
public:
    TlsError(const std::string& host, const std::string& reason);

protected:
    using HttpError::HttpError;
};

// The server's certificate did not pass verification:
// "The certificate of <host> could not be verified: <reason>", the reason
// being OpenSSL's text for the verification result ("certificate has
// expired", "unable to get local issuer certificate", "IP address mismatch").
class CertificateError : public TlsError {
public:
    CertificateError(const std::string& host, const std::string& reason, long verifyResult);
    // The X509_V_ERR_* code.
    long VerifyResult() const { return verifyResult_; }

private:
    long verifyResult_;
};

// The answer is not well-formed HTTP in a way the client cannot read past:
// a chunk size that is not hexadecimal, a Content-Length that is no number
// or contradicts another. The text names the offending line or values.
class ProtocolError : public HttpError {
public:
    using HttpError::HttpError;
};

// An answer's status line and header block (or a chunked body's trailer)
// beyond the size or line limits: a server must not make the client hold an
// unbounded amount of memory. The text names the limit.
class HeaderTooLarge : public HttpError {
public:
    using HttpError::HttpError;
};

// A body larger than the body limit: a server must not make the client hold
// an unbounded amount of memory. The text names the size and the limit.
class BodyTooLarge : public HttpError {
public:
    BodyTooLarge(std::uint64_t size, std::uint64_t limit, bool atLeast);
};

// The waiting download was ended from inside the pump, by Disconnect or by
// another Get on the same client.
class DownloadAborted : public HttpError {
public:
    DownloadAborted();
};

} // namespace zavrio
