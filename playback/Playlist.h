#pragma once
// The numbered clip list that both clip-listing windows play from: the
// playback window (after the last clip the first plays again) and the
// configuration window's clip list (no wrap-around, a next-clip button).
//
// It holds the entries (display text "N. title" counted from 1, and each
// entry's own copy of the link), the index of the entry now playing, and the
// last ready state a player of the window reported with its time. The ready
// state belongs to the window, not to one clip: it survives new clips, a
// closed list and new feeds. The list itself is open between Open and
// Release (the playback window keeps one per show).

#include "platform/LocalClock.h"
#include "playback/PlayerAddress.h"
#include "playback/PlaylistEntry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zavrio {

class Playlist {
public:
    // Seconds a clip plays after its last ready-state report before
    // automatic advance moves on: more than this many.
    static constexpr double AdvanceAfterSeconds = 15;

    // An open, empty list; Release closes it and drops its entries.
    void Open();
    void Release();
    bool IsOpen() const { return open_; }

    void Clear();
    // Appends "N. title" (N the new entry's position counted from 1) with
    // the entry's link and own video address ("" when it has none).
    void Add(const std::string& title, std::string link, std::string video = {});
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    // Throws std::out_of_range for an index outside 0..Count()-1.
    const PlaylistEntry& Entry(int index) const;
    const std::vector<PlaylistEntry>& Entries() const { return entries_; }

    // -1 while nothing was chosen.
    int CurrentIndex() const { return current_; }
    void SetCurrentIndex(int index) { current_ = index; }

    // The address the player gets for entry index: the settings' player base
    // address, "/v/", the clip id of its link, "&autoplay=1", then "&fmt=18"
    // for hd and "&loop=1" for loop.
    std::string PlayerAddressOf(int index, bool hd, bool loop) const;
    // What the player gets for entry index, by the settings' ClipSource
    // (EntryClip.h): with "enclosure", the entry's own video when it has one,
    // played at once and looped for loop (hd means nothing for it);
    // otherwise PlayerAddressOf, whose address carries the same flags.
    PlayerClip ClipOf(int index, bool hd, bool loop) const;

    void ReadyStateChanged(std::int32_t state, TDateTime when);
    std::int32_t ReadyState() const { return readyState_; }
    TDateTime ReadyTime() const { return readyTime_; }

    // Automatic advance is due: autoNext is set, the player shows a frame
    // (frameNum >= 0), the last ready state was 4, and more than
    // AdvanceAfterSeconds passed since it came.
    bool AdvanceDue(bool autoNext, std::int32_t frameNum, TDateTime now) const;

    // The entry after the current one. After the last entry (or with no
    // current entry): the first one when wrap is set, else nothing. Nothing
    // for an empty list.
    std::optional<int> NextIndex(bool wrap) const;

private:
    std::vector<PlaylistEntry> entries_;
    bool open_ = false;
    int current_ = 0;
    std::int32_t readyState_ = 0;
    TDateTime readyTime_ = 0;
};

} // namespace zavrio
