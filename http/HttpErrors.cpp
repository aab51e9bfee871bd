#include "http/HttpErrors.h"

namespace zavrio {

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

} // namespace zavrio
