#pragma once
// A downloaded feed document made into the playback's list, and the part of
// a list whose clips are saved. Plain work on values with no window or
// settings of its own (ClipOf reads the settings file), so the playback runs
// it off the GUI thread: a feed of a million entries takes seconds.

#include "playback/Playlist.h"

#include <functional>
#include <string>
#include <string_view>

namespace zavrio {

// The open list of the document's items in feed order, as Playlist::Fill
// makes it from a feed component that loaded the document. Throws what the
// feed component throws for it. Only the list is left when it returns; the
// document's tree goes as soon as the model is read, before the list is made.
Playlist ListOfFeed(std::string_view document);

// The open list of the entries of list whose clip (Playlist::ClipOf with hd
// and loop) saved says is saved, in order and numbered afresh.
Playlist SavedPart(const Playlist& list, bool hd, bool loop,
                   const std::function<bool(const std::string& address)>& saved);

} // namespace zavrio
