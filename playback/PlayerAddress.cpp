#include "playback/PlayerAddress.h"

#include "platform/TextToolkit.h"
#include "settings/SaverSettings.h"

namespace zavrio {

namespace {

constexpr std::size_t MaxClipIdChars = 100;

} // namespace

std::string PlayerBaseAddress() {
    if (!SettingsFile)
        return DefaultPlayerBaseAddress;
    std::string base = SettingsFile->ReadString("player", "BaseAddress", "");
    return base.empty() ? std::string(DefaultPlayerBaseAddress) : base;
}

std::string ClipIdFromLink(const std::string& link) {
    const auto eq = link.find('=');
    const std::string_view id =
        eq == std::string::npos ? std::string_view(link) : std::string_view(link).substr(eq + 1);
    return std::string(CutToCharacters(id, MaxClipIdChars));
}

std::string PlayerAddress(const std::string& base, const std::string& clipId, bool hd, bool loop) {
    std::string address = base + "/v/" + clipId + "&autoplay=1";
    if (hd)
        address += "&fmt=18";
    if (loop)
        address += "&loop=1";
    return address;
}

} // namespace zavrio
