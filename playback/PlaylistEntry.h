#pragma once
// One clip of a window's list: its display text, its own copy of the link,
// and the address of the entry's own video.

#include <string>

namespace zavrio {

struct PlaylistEntry {
    std::string Text; // (index + 1) in decimal, ". ", the item's Title
    std::string Link;
    std::string Video; // EntryVideoAddress of the item, "" when it names none
};

} // namespace zavrio
