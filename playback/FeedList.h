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
// feed component throws for it. Each item goes into the list as soon as it
// is read, and its part of the tree and of the model goes then
// (TSimpleRSS::OnItemRead), so a huge feed never holds its whole tree, its
// whole model and its list together.
Playlist ListOfFeed(std::string_view document);

// The open list of the entries of list whose clip (Playlist::ClipOf with hd
// and loop) saved says is saved, in order and numbered afresh.
Playlist SavedPart(const Playlist& list, bool hd, bool loop,
                   const std::function<bool(const std::string& address)>& saved);

} // namespace zavrio
