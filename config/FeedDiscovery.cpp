#include "config/FeedDiscovery.h"

#include "feed/HtmlFeedLinks.h"
#include "feed/SimpleRSS.h"
#include "http/Uri.h"
#include "playback/EntryClip.h"

#include <set>

namespace zavrio {

namespace {

const char* formatName(TXMLType type) {
    switch (type) {
    case xtRDF:
        return "RDF";
    case xtRSS:
        return "RSS";
    case xtAtom:
        return "Atom";
    case xtiTunes:
        return "iTunes";
    }
    return "";
}

const char* formatMediaType(TXMLType type) {
    switch (type) {
    case xtRDF:
        return "application/rdf+xml";
    case xtAtom:
        return "application/atom+xml";
    case xtRSS:
    case xtiTunes:
        break;
    }
    return "application/rss+xml";
}

FeedSummary summarize(const TSimpleRSS& rss) {
    FeedSummary summary{formatName(rss.XMLType()), 0, 0};
    const TRSSItems& items = rss.Items();
    summary.Entries = static_cast<std::size_t>(items.Count());
    for (int i = 0; i < items.Count(); ++i)
        if (!EntryVideoAddress(items.Items(i)).empty())
            ++summary.WithVideo;
    return summary;
}

// The body of address and the address it finally came from.
std::pair<std::string, std::string> fetch(TIdHTTP& http, const std::string& address,
                                          bool secureTransport) {
    if (http.Connected())
        http.Disconnect();
    http.SecureTransport = secureTransport;
    std::string body;
    try {
        http.Get(address, body);
    } catch (const NoSecureTransport& e) {
        throw DiscoveryError("cannot fetch \"" + address + "\": " + e.what() +
                             "\nSet SecureTransport=1 in the [http] section of the settings "
                             "file to fetch https addresses.");
    } catch (const std::exception& e) {
        throw DiscoveryError("cannot fetch \"" + address + "\": " + e.what());
    }
    http.Disconnect();
    return {std::move(body), http.LastAddress()};
}

} // namespace

std::string SummaryText(const FeedSummary& summary) {
    return summary.Format + ", " + std::to_string(summary.Entries) +
           (summary.Entries == 1 ? " entry, " : " entries, ") + std::to_string(summary.WithVideo) +
           " with a video file";
}

Discovery DiscoverFeeds(TIdHTTP& http, const std::string& address, bool secureTransport) {
    const auto [body, finalAddress] = fetch(http, address, secureTransport);
    Discovery discovery;
    TSimpleRSS rss;
    try {
        rss.LoadFromBytes(body);
        discovery.Summary = summarize(rss);
        discovery.Feeds.push_back(
            {rss.Channel().Required().Title(), address, formatMediaType(rss.XMLType())});
        return discovery;
    } catch (const std::exception&) {
        // Not a feed: perhaps a page that links to some.
    }
    const HtmlFeedLinks page = ReadHtmlFeedLinks(body);
    const std::string base =
        page.BaseHref.empty() ? finalAddress : Uri::Resolve(finalAddress, page.BaseHref);
    std::set<std::string> seen;
    for (const HtmlFeedLink& link : page.Links) {
        if (link.Href.empty())
            continue;
        std::string resolved = Uri::Resolve(base, link.Href);
        if (seen.insert(resolved).second)
            discovery.Feeds.push_back({link.Title, std::move(resolved), link.Type});
    }
    if (discovery.Feeds.empty())
        throw DiscoveryError("\"" + address +
                             "\" names no feed: it is not a feed of a known format and links to "
                             "no RSS, Atom or RDF feed");
    return discovery;
}

FeedSummary SummarizeFeed(TIdHTTP& http, const std::string& address, bool secureTransport) {
    const auto [body, finalAddress] = fetch(http, address, secureTransport);
    TSimpleRSS rss;
    try {
        rss.LoadFromBytes(body);
    } catch (const std::exception& e) {
        throw DiscoveryError("\"" + address +
                             "\" is not a feed the screensaver can read: " + e.what());
    }
    return summarize(rss);
}

} // namespace zavrio
