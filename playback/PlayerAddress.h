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

// How the player plays a clip, beside its address.
struct MovieFlags {
    bool AutoPlay = false; // plays at once instead of waiting paused
    bool Loop = false;     // starts again at its end
    bool operator==(const MovieFlags&) const = default;
};

// What the player is given for one playlist entry: the address it loads
// (and the clip cache keeps it by) and how it plays.
struct PlayerClip {
    std::string Address;
    MovieFlags Flags;
};

} // namespace zavrio
