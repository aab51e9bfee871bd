#pragma once
// Finding the feeds behind an address a user pasted, for the command-line
// tool and the configuration window's feed dialog.
//
// DiscoverFeeds GETs the address with the feed client (its request settings,
// redirects and TLS rules; TLS only when secureTransport is set). When the
// body loads as a feed of a known format, the answer is that one address with
// a summary of what the feed holds. Otherwise the body is read as a web page
// (HtmlFeedLinks.h) and its feed links are resolved against its <base href>
// (itself resolved against the final address after redirects) or else that
// final address, deduplicated and kept in document order. The client is
// disconnected afterwards on every path.
//
// Failures throw DiscoveryError naming the address: the download failed (the
// client's text; for an https address without secureTransport, also the
// setting that allows it), or the page names no feed.

#include "http/TIdHTTP.h"

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zavrio {

class DiscoveryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DiscoveredFeed {
    std::string Title;   // the feed's own title, or the link's; may be ""
    std::string Address; // absolute
    std::string Type;    // "application/rss+xml", "application/atom+xml" or "application/rdf+xml"
    bool operator==(const DiscoveredFeed&) const = default;
};

// What a feed that loaded holds.
struct FeedSummary {
    std::string Format; // "RSS", "RDF", "Atom" or "iTunes"
    std::size_t Entries = 0;
    std::size_t WithVideo = 0; // entries with a video file of their own (EntryClip.h)
};

// "RSS, 24 entries, 24 with a video file" (singular "entry" for one).
std::string SummaryText(const FeedSummary& summary);

struct Discovery {
    std::vector<DiscoveredFeed> Feeds;
    // Set when the address itself is a feed: Feeds then holds just it.
    std::optional<FeedSummary> Summary;
};

Discovery DiscoverFeeds(TIdHTTP& http, const std::string& address, bool secureTransport);

// Loads the feed at address and summarises it; throws DiscoveryError when it
// cannot be fetched or is no feed (the loader's reason).
FeedSummary SummarizeFeed(TIdHTTP& http, const std::string& address, bool secureTransport);

} // namespace zavrio
