#include "http/HttpErrors.h"

namespace zavrio {

SocketError::SocketError(int errorCode, const std::string& systemText)
    : HttpError("Socket Error # " + std::to_string(errorCode) + "\r\n" + systemText),
      lastError_(errorCode) {}

ConnectTimedOut::ConnectTimedOut() : HttpError("Connect timed out.") {}

ConnectionClosed::ConnectionClosed() : HttpError("Connection Closed Gracefully.") {}

LineTooLong::LineTooLong() : HttpError("Max line length exceeded.") {}

HttpStatusError::HttpStatusError(int errorCode, const std::string& statusLine)
    : HttpError(statusLine), errorCode_(errorCode) {}

NoSecureTransport::NoSecureTransport() : UnsupportedAddress("IOHandler value is not valid") {}

TlsError::TlsError(const std::string& host, const std::string& reason)
    : HttpError("TLS connection to " + host + " failed: " + reason) {}

CertificateError::CertificateError(const std::string& host, const std::string& reason,
                                   long verifyResult)
    : TlsError("The certificate of " + host + " could not be verified: " + reason),
      verifyResult_(verifyResult) {}

BodyTooLarge::BodyTooLarge(std::uint64_t size, std::uint64_t limit, bool atLeast)
    : HttpError("Response body of " + std::string(atLeast ? "at least " : "") +
                std::to_string(size) + " bytes exceeds the limit of " + std::to_string(limit) +
                " bytes.") {}

DownloadAborted::DownloadAborted()
    : HttpError("Download aborted: the connection was closed while waiting for it.") {}

} // namespace zavrio
