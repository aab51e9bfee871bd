#include "config/FeedDiscovery.h"

#include "ScriptedServer.h"

#include <gtest/gtest.h>

#include <map>

namespace zavrio {
namespace {

using test::ScriptedServer;
using test::ServerConn;

std::string answer(const std::string& status, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string ok(const std::string& body) {
    return answer("200 OK", "Content-Type: text/html\r\n", body);
}

// Answers each request by its target; anything else is a 404.
ScriptedServer::Handler routes(std::map<std::string, std::string> byTarget) {
    return [byTarget](ServerConn& conn) {
        for (std::string request = conn.ReadRequest(); !request.empty();
             request = conn.ReadRequest()) {
            const auto start = request.find(' ') + 1;
            const std::string target = request.substr(start, request.find(' ', start) - start);
            const auto it = byTarget.find(target);
            conn.Send(it != byTarget.end() ? it->second
                                           : answer("404 Not Found", "", "no such page"));
        }
    };
}

const std::string kRss = "<rss version=\"2.0\"><channel><title>Clips &amp; more</title>"
                         "<item><title>a</title><enclosure url=\"http://v/a.mp4\" "
                         "type=\"video/mp4\"/></item>"
                         "<item><title>b</title><link>http://v/b</link></item>"
                         "</channel></rss>";

using Feeds = std::vector<DiscoveredFeed>;

} // namespace

TEST(FeedDiscovery, APageListsItsFeedLinksResolvedAndOnce) {
    // Upper-case names, several rel tokens, a repeated link, types in another
    // case or with parameters; the links that do not count are listed after
    // the ones that do.
    const std::string page = R"(<!DOCTYPE html>
<HTML><HEAD><TITLE>Videos</TITLE>
<LINK REL="alternate" TYPE="application/rss+xml" TITLE="All videos" HREF="feeds/all.xml?a=1&amp;b=2">
<link rel="Home Alternate" type="Application/Atom+XML" title="Atom" href="/atom">
<link rel="alternate" type="application/rss+xml; charset=utf-8" href="http://elsewhere.example/rss">
<link rel="alternate" type="application/rdf+xml" href="rdf.xml">
<link rel="alternate" type="application/rss+xml" title="Again" href="./feeds/all.xml?a=1&b=2">
<link rel="alternate" type="application/feed+json" href="feed.json">
<link rel="stylesheet" type="application/rss+xml" href="not-alternate.xml">
<link rel="alternates" type="application/rss+xml" href="not-a-token.xml">
<link rel="alternate" type="text/html" href="other-language.html">
</HEAD><BODY><p>Hello<p>unclosed</BODY></HTML>)";
    ScriptedServer server(routes({{"/videos/index.html", ok(page)}}));
    TIdHTTP http;
    const Discovery found = DiscoverFeeds(http, server.Address("/videos/index.html"), false);
    const Feeds expected = {
        {"All videos", server.Address("/videos/feeds/all.xml?a=1&b=2"), "application/rss+xml"},
        {"Atom", server.Address("/atom"), "application/atom+xml"},
        {"", "http://elsewhere.example/rss", "application/rss+xml"},
        {"", server.Address("/videos/rdf.xml"), "application/rdf+xml"},
    };
    EXPECT_EQ(found.Feeds, expected);
    EXPECT_FALSE(found.Summary);
    EXPECT_FALSE(http.Connected());
}

TEST(FeedDiscovery, LinksResolveAgainstTheBaseAndTheAddressAfterRedirects) {
    const std::string withBase = "<html><head><base href=\"/static/\"><base href=\"/ignored/\">"
                                 "<link rel=alternate type=application/atom+xml href=a.xml>"
                                 "</head></html>";
    const std::string withoutBase = "<html><head><link rel=alternate "
                                    "type=application/rss+xml href=feed.rss></head></html>";
    ScriptedServer server(routes({
        {"/old", answer("301 Moved Permanently", "Location: /new/page\r\n", "")},
        {"/new/page", ok(withoutBase)},
        {"/based/page", ok(withBase)},
    }));
    TIdHTTP http;
    EXPECT_EQ(DiscoverFeeds(http, server.Address("/old"), false).Feeds,
              (Feeds{{"", server.Address("/new/feed.rss"), "application/rss+xml"}}));
    EXPECT_EQ(DiscoverFeeds(http, server.Address("/based/page"), false).Feeds,
              (Feeds{{"", server.Address("/static/a.xml"), "application/atom+xml"}}));
}

TEST(FeedDiscovery, AFeedAddressGivenDirectlyIsTheOneAnswerWithWhatItHolds) {
    ScriptedServer server(
        routes({{"/feed", answer("200 OK", "Content-Type: application/rss+xml\r\n", kRss)},
                {"/moved", answer("302 Found", "Location: /feed\r\n", "")}}));
    TIdHTTP http;
    for (const char* target : {"/feed", "/moved"}) {
        const Discovery found = DiscoverFeeds(http, server.Address(target), false);
        // The address as given: it is what the catalogue will keep.
        EXPECT_EQ(found.Feeds,
                  (Feeds{{"Clips & more", server.Address(target), "application/rss+xml"}}));
        ASSERT_TRUE(found.Summary);
        EXPECT_EQ(SummaryText(*found.Summary), "RSS, 2 entries, 1 with a video file");
    }
}

TEST(FeedDiscovery, FailuresNameTheAddress) {
    ScriptedServer server(routes({
        {"/plain", ok("<html><head><title>No feeds</title></head><body>hi</body></html>")},
        {"/json", ok("{\"version\": \"https://jsonfeed.org/version/1\"}")},
    }));
    TIdHTTP http;
    const struct {
        std::string address;
        std::string message;
    } rows[] = {
        {server.Address("/plain"), "\"" + server.Address("/plain") +
                                       "\" names no feed: it is not a feed of a known format and "
                                       "links to no RSS, Atom or RDF feed"},
        {server.Address("/json"), "\"" + server.Address("/json") + "\" names no feed"},
        {server.Address("/missing"),
         "cannot fetch \"" + server.Address("/missing") + "\": HTTP/1.1 404 Not Found"},
        {"https://127.0.0.1:1/feed",
         "cannot fetch \"https://127.0.0.1:1/feed\": IOHandler value is not valid\nSet "
         "SecureTransport=1 in the [http] section of the settings file to fetch https "
         "addresses."},
    };
    for (const auto& row : rows) {
        try {
            DiscoverFeeds(http, row.address, false);
            ADD_FAILURE() << "found feeds at " << row.address;
        } catch (const DiscoveryError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(row.message, 0), 0u) << e.what();
        }
        EXPECT_FALSE(http.Connected());
    }
}

TEST(FeedDiscovery, SummarizeFeedCountsEntriesOrSaysWhyItIsNoFeed) {
    ScriptedServer server(routes({{"/feed", ok(kRss)}, {"/page", ok("<html></html>")}}));
    TIdHTTP http;
    const FeedSummary summary = SummarizeFeed(http, server.Address("/feed"), false);
    EXPECT_EQ(summary.Format, "RSS");
    EXPECT_EQ(summary.Entries, 2u);
    EXPECT_EQ(summary.WithVideo, 1u);
    EXPECT_EQ(SummaryText({"Atom", 1, 0}), "Atom, 1 entry, 0 with a video file");
    try {
        SummarizeFeed(http, server.Address("/page"), false);
        ADD_FAILURE() << "a page summarised as a feed";
    } catch (const DiscoveryError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("\"" + server.Address("/page") +
                                                  "\" is not a feed the screensaver can read: ",
                                              0),
                  0u)
            << e.what();
    }
}

} // namespace zavrio
