#pragma once
// One clip of a window's list: its display text, its own copy of the link,
// the address of the entry's own video and the entry's title.

#include <string>

namespace zavrio {

struct PlaylistEntry {
    std::string Text; // (index + 1) in decimal, ". ", the item's Title
    std::string Link;
    std::string Video; // EntryVideoAddress of the item, "" when it names none
    std::string Title; // the item's Title
};

} // namespace zavrio
