#pragma once
// One clip of a window's list: its display text and its own copy of the link.

#include <string>

namespace zavrio {

struct PlaylistEntry {
    std::string Text; // (index + 1) in decimal, ". ", the item's Title
    std::string Link;
};

} // namespace zavrio
