#include "playback/ClipAdmission.h"

#include "playback/ClipProbe.h"

#include <algorithm>
#include <cctype>

namespace zavrio {

namespace {

// "Video/MP4; codecs=x" -> "video/mp4"
std::string mediaType(const std::string& contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    const auto first = type.find_first_not_of(" \t");
    const auto last = type.find_last_not_of(" \t");
    type = first == std::string::npos ? std::string() : type.substr(first, last - first + 1);
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type;
}

} // namespace

bool IsClipContentType(const std::string& contentType) {
    const std::string type = mediaType(contentType);
    return (type.starts_with("video/") && type.size() > 6) ||
           (type.starts_with("binary/") && type.size() > 7) || type == "application/octet-stream" ||
           type == "application/mp4";
}

ClipVerdict JudgeDownload(const DownloadOutcome& outcome) {
    if (outcome.Status < 200 || outcome.Status > 299)
        return ClipVerdict::NotSuccess;
    if (!outcome.ContentType.empty() && !IsClipContentType(outcome.ContentType))
        return ClipVerdict::NotVideoType;
    if (!outcome.EndedCleanly ||
        (outcome.DeclaredBytes && *outcome.DeclaredBytes != outcome.ReceivedBytes))
        return ClipVerdict::Incomplete;
    if (outcome.ReceivedBytes == 0)
        return ClipVerdict::Empty;
    return ClipVerdict::Keep;
}

ClipVerdict AdmitDownload(const DownloadOutcome& outcome, const std::string& file) {
    const ClipVerdict verdict = JudgeDownload(outcome);
    if (verdict != ClipVerdict::Keep)
        return verdict;
    return HasVideoStream(file) ? ClipVerdict::Keep : ClipVerdict::NoVideo;
}

const char* VerdictText(ClipVerdict verdict) {
    switch (verdict) {
    case ClipVerdict::Keep:
        return "kept";
    case ClipVerdict::NotSuccess:
        return "not a success";
    case ClipVerdict::NotVideoType:
        return "not a video type";
    case ClipVerdict::Incomplete:
        return "incomplete";
    case ClipVerdict::Empty:
        return "empty";
    case ClipVerdict::NoVideo:
        return "no video stream";
    }
    return "unknown";
}

} // namespace zavrio
