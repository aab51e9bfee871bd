#include "playback/PlayerAddress.h"

#include "settings/SaverSettings.h"

namespace zavrio {

namespace {

constexpr std::size_t MaxClipIdChars = 100;

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first n characters of UTF-8 text, never ending inside a multi-byte sequence.
std::string leftChars(const std::string& text, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < text.size() && count < n; ++count) {
        ++pos;
        while (pos < text.size() && isContinuationByte(text[pos]))
            ++pos;
    }
    return text.substr(0, pos);
}

} // namespace

std::string PlayerBaseAddress() {
    if (!SettingsFile)
        return DefaultPlayerBaseAddress;
    std::string base = SettingsFile->ReadString("player", "BaseAddress", "");
    return base.empty() ? std::string(DefaultPlayerBaseAddress) : base;
}

std::string ClipIdFromLink(const std::string& link) {
    const auto eq = link.find('=');
    return leftChars(eq == std::string::npos ? link : link.substr(eq + 1), MaxClipIdChars);
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
