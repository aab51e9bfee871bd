#include "playback/FeedList.h"

#include "feed/RSSItem.h"
#include "feed/SimpleRSS.h"

namespace zavrio {

Playlist ListOfFeed(std::string_view document) {
    Playlist list;
    list.Open();
    TSimpleRSS feed;
    feed.OnItemRead = [&list](const TRSSItem& item) { list.Add(item); };
    feed.LoadFromBytes(document);
    return list;
}

Playlist SavedPart(const Playlist& list, bool hd, bool loop,
                   const std::function<bool(const std::string& address)>& saved) {
    Playlist part;
    part.Open();
    for (int i = 0; i < list.Count(); ++i)
        if (saved(list.ClipOf(i, hd, loop).Address))
            part.Add(list.Entry(i).Title, list.Entry(i).Link, list.Entry(i).Video);
    return part;
}

} // namespace zavrio
