#include "playback/FeedList.h"

#include "feed/SimpleRSS.h"

namespace zavrio {

Playlist ListOfFeed(std::string_view document) {
    TSimpleRSS feed;
    feed.LoadFromBytes(document);
    feed.ResetDocument();
    Playlist list;
    list.Open();
    list.Fill(feed.Items());
    return list;
}

Playlist SavedPart(const Playlist& list, bool hd, bool loop,
                   const std::function<bool(const std::string& address)>& saved) {
    Playlist part;
    part.Open();
    for (int i = 0; i < list.Count(); ++i)
        if (saved(list.ClipOf(i, hd, loop).Address))
            part.Add(list.Title(i), list.Entry(i).Link, list.Entry(i).Video);
    return part;
}

} // namespace zavrio
