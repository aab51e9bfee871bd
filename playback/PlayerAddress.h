#pragma once
// How a playlist entry becomes the address handed to the player.

#include <string>

namespace zavrio {

// The service's embeddable-player base address when the settings file names
// none in section "player", key "BaseAddress".
inline constexpr const char* DefaultPlayerBaseAddress = "http://www.zavrio.com";

// BaseAddress of section "player" of SettingsFile, or the default when the
// key is missing or empty or nothing is loaded.
std::string PlayerBaseAddress();

// The text after the first "=" of link (all of it, further query parameters
// included), or the whole link when it has no "="; cut to 100 characters at a
// character boundary.
std::string ClipIdFromLink(const std::string& link);

// base + "/v/" + id + "&autoplay=1", then "&fmt=18" for hd, "&loop=1" for loop.
std::string PlayerAddress(const std::string& base, const std::string& clipId, bool hd, bool loop);

} // namespace zavrio
