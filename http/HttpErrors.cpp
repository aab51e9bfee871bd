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

BodyTooLarge::BodyTooLarge(std::uint64_t size, std::uint64_t limit, bool atLeast)
    : HttpError("Response body of " + std::string(atLeast ? "at least " : "") +
                std::to_string(size) + " bytes exceeds the limit of " + std::to_string(limit) +
                " bytes.") {}

DownloadAborted::DownloadAborted()
    : HttpError("Download aborted: the connection was closed while waiting for it.") {}

} // namespace zavrio
