#pragma once
// The numbered clip list that both clip-listing windows play from: the
// entries (display text "N. title" counted from 1, each entry's own copy of
// the link, and the entry's own video address) and what each entry plays.
// The list is open between Open and Release (the playback window keeps one
// per show). Which entry plays where, and when the next one is due, is the
// clip sequence's (ClipSequence.h).

#include "playback/PlayerAddress.h"
#include "playback/PlaylistEntry.h"

#include <string>
#include <vector>

namespace zavrio {

class TRSSItem;
class TRSSItems;

class Playlist {
public:
    // An open, empty list; Release closes it and drops its entries.
    void Open();
    void Release();
    bool IsOpen() const { return open_; }

    void Clear();
    // Appends "N. title" (N the new entry's position counted from 1) with
    // the entry's link and own video address ("" when it has none).
    void Add(const std::string& title, std::string link, std::string video = {});
    // Appends the item's entry: its title, link and own video address
    // (EntryVideoAddress).
    void Add(const TRSSItem& item);
    // Replaces the entries by the items, in feed order.
    void Fill(const TRSSItems& items);
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    // Throws std::out_of_range for an index outside 0..Count()-1.
    const PlaylistEntry& Entry(int index) const;
    const std::vector<PlaylistEntry>& Entries() const { return entries_; }

    // The address the player gets for entry index: the settings' player base
    // address, "/v/", the clip id of its link, "&autoplay=1", then "&fmt=18"
    // for hd and "&loop=1" for loop.
    std::string PlayerAddressOf(int index, bool hd, bool loop) const;
    // What the player gets for entry index, by the settings' ClipSource
    // (EntryClip.h): with "enclosure", the entry's own video when it has one,
    // played at once and looped for loop (hd means nothing for it);
    // otherwise PlayerAddressOf, whose address carries the same flags.
    PlayerClip ClipOf(int index, bool hd, bool loop) const;

private:
    std::vector<PlaylistEntry> entries_;
    bool open_ = false;
};

} // namespace zavrio
