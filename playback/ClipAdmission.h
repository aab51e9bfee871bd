#pragma once
// Which finished downloads may become a clip of the store. A download is
// kept only when everything it saw says it is the whole clip: a success after
// redirects, a video (or generic binary) type, every byte its length
// promised (or a clean end when it promised none), and a file in which a
// probe finds a picture. Anything else (a sign-in page a captive portal
// answered with, a body cut short, an error page) would fail at every turn
// from the cache, so the clip streams instead.

#include <cstdint>
#include <optional>
#include <string>

namespace zavrio {

// What the transfer of one download saw, after its last redirect.
struct DownloadOutcome {
    long Status = 0;
    // The Content-Type header as sent, parameters included; "" when none.
    std::string ContentType;
    // The Content-Length header, when sent.
    std::optional<std::uint64_t> DeclaredBytes;
    std::uint64_t ReceivedBytes = 0;
    // The transfer finished without an error of the client (no partial file,
    // no broken connection, not stopped).
    bool EndedCleanly = false;
};

enum class ClipVerdict {
    Keep,
    NotSuccess,   // the final answer was not 2xx
    NotVideoType, // a text, document or other non-video type
    Incomplete,   // fewer (or more) bytes than promised, or an unclean end
    Empty,
    NoVideo, // the probe found no video stream
};

// The decision on what the transfer saw, before the file is looked at.
ClipVerdict JudgeDownload(const DownloadOutcome& outcome);

// Whether a Content-Type names a video or a generic binary type (video/*,
// application/octet-stream, application/mp4, binary/*), case-insensitive,
// parameters ignored.
bool IsClipContentType(const std::string& contentType);

// The whole decision: JudgeDownload, then, when that keeps it, the probe of
// the downloaded file (HasVideoStream).
ClipVerdict AdmitDownload(const DownloadOutcome& outcome, const std::string& file);

// For logs and test messages: "kept", "not a success", ...
const char* VerdictText(ClipVerdict verdict);

} // namespace zavrio
