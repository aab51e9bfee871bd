#pragma once
// Which clip a feed entry plays, the same in both clip-listing windows.
//
// By default (section "player", key "ClipSource" absent or "link") an entry
// plays the service's player address composed from its link (PlayerAddress.h).
// With ClipSource=enclosure it plays its own video instead when it names one,
// and the composed address only when it does not.

#include <string>

namespace zavrio {

class TRSSItem;

enum class ClipSource {
    Link,      // the composed service address
    Enclosure, // the entry's own video, when it has one
};

// ClipSource of section "player" of SettingsFile: "enclosure" (in any case)
// gives Enclosure; anything else, a missing key or nothing loaded, Link.
ClipSource ConfiguredClipSource();

// The address of the item's own video, from its Media (in this order):
// the first enclosure whose type is video/..., or that has no type and an
// address whose path ends in a common video file extension (.mp4 .m4v .mov
// .webm .mkv .ogv .avi .mpg .mpeg .flv .wmv .3gp, in any case); else the
// first media:content whose type is video/... or whose medium is "video";
// else the first Atom enclosure link whose type is video/.... "" when none
// is. Types and media compare without regard to case. Only http and https
// addresses count: the address goes to the player as it stands, and a feed
// must not make it open local files or the player's other protocols.
std::string EntryVideoAddress(const TRSSItem& item);

} // namespace zavrio
