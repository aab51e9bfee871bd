#include "playback/Playlist.h"

#include "feed/RSSItem.h"
#include "playback/EntryClip.h"
#include "playback/PlayerAddress.h"

#include <stdexcept>

namespace zavrio {

void Playlist::Open() {
    entries_.clear();
    open_ = true;
}

void Playlist::Release() {
    entries_.clear();
    open_ = false;
}

void Playlist::Clear() {
    entries_.clear();
}

void Playlist::Add(const std::string& title, std::string link, std::string video) {
    entries_.push_back({std::to_string(entries_.size() + 1) + ". " + title, std::move(link),
                        std::move(video), title});
}

void Playlist::Add(const TRSSItem& item) {
    Add(item.Title(), item.Link(), EntryVideoAddress(item));
}

void Playlist::Fill(const TRSSItems& items) {
    Clear();
    entries_.reserve(static_cast<std::size_t>(items.Count()));
    for (int i = 0; i < items.Count(); ++i)
        Add(items.Items(i));
}

const PlaylistEntry& Playlist::Entry(int index) const {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return entries_[static_cast<std::size_t>(index)];
}

std::string Playlist::PlayerAddressOf(int index, bool hd, bool loop) const {
    return PlayerAddress(PlayerBaseAddress(), ClipIdFromLink(Entry(index).Link), hd, loop);
}

PlayerClip Playlist::ClipOf(int index, bool hd, bool loop) const {
    const PlaylistEntry& entry = Entry(index);
    const MovieFlags flags{.AutoPlay = true, .Loop = loop};
    if (!entry.Video.empty() && ConfiguredClipSource() == ClipSource::Enclosure)
        return {entry.Video, flags};
    return {PlayerAddressOf(index, hd, loop), flags};
}

} // namespace zavrio
