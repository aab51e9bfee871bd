#include "playback/EntryClip.h"

#include "feed/RSSItem.h"
#include "platform/TextToolkit.h"
#include "settings/SaverSettings.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zavrio {

namespace {

bool isVideoType(const std::string& type) {
    return AsciiLowerCopy(type).starts_with("video/");
}

// The address's path, without query and fragment, ends in a video file's
// extension.
bool hasVideoExtension(const std::string& address) {
    static constexpr std::array<std::string_view, 12> extensions = {
        ".mp4", ".m4v", ".mov",  ".webm", ".mkv", ".ogv",
        ".avi", ".mpg", ".mpeg", ".flv",  ".wmv", ".3gp"};
    const std::string path = AsciiLowerCopy(address.substr(0, address.find_first_of("?#")));
    return std::any_of(extensions.begin(), extensions.end(),
                       [&path](std::string_view extension) { return path.ends_with(extension); });
}

bool isWebAddress(const std::string& address) {
    const std::string lower = AsciiLowerCopy(address.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

bool isVideo(const TRSSItemMedia& media) {
    if (!isWebAddress(media.URL))
        return false;
    switch (media.Source) {
    case msEnclosure:
        return media.MediaType.empty() ? hasVideoExtension(media.URL)
                                       : isVideoType(media.MediaType);
    case msMediaContent:
        return isVideoType(media.MediaType) || SameTextNoCase(media.Medium, "video");
    case msAtomEnclosure:
        return isVideoType(media.MediaType);
    }
    return false;
}

} // namespace

ClipSource ConfiguredClipSource() {
    if (!SettingsFile)
        return ClipSource::Link;
    const std::string value = SettingsFile->ReadString("player", "ClipSource", "");
    return SameTextNoCase(value, "enclosure") ? ClipSource::Enclosure : ClipSource::Link;
}

std::string EntryVideoAddress(const TRSSItem& item) {
    for (TMediaSource source : {msEnclosure, msMediaContent, msAtomEnclosure})
        for (const TRSSItemMedia& media : item.Media())
            if (media.Source == source && isVideo(media))
                return media.URL;
    return {};
}

} // namespace zavrio
