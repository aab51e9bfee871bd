// A feed document made into the playback's list, and the saved part of a
// list, as the playback makes them off the GUI thread.

#include "playback/FeedList.h"

#include "feed/SimpleRSSException.h"
#include "feed/XMLErrors.h"
#include "playback/PlayerAddress.h"

#include "feed/SimpleRSS.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace zavrio {
namespace {

const char* const Feed = R"(<?xml version="1.0"?>
<rss version="2.0"><channel><title>t</title><link>http://x/</link><description>d</description>
<item><title>Dr. No. Part 1</title><link>http://x/watch?v=aaa</link></item>
<item><title></title><link>http://x/watch?v=bbb</link>
  <enclosure url="http://media/b.mp4" length="1" type="video/mp4"/></item>
<item><title>Third</title><link>http://x/watch?v=ccc</link></item>
</channel></rss>)";

TEST(ListOfFeed, ListsTheItemsInFeedOrderAsTheWindowsDo) {
    const Playlist list = ListOfFeed(Feed);
    ASSERT_TRUE(list.IsOpen());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Entry(0).Text, "1. Dr. No. Part 1");
    EXPECT_EQ(list.Entry(1).Text, "2. ");
    EXPECT_EQ(list.Entry(1).Video, "http://media/b.mp4");
    EXPECT_EQ(list.Entry(2).Link, "http://x/watch?v=ccc");
    // The title an entry was added with, whatever dots it holds.
    EXPECT_EQ(list.Entry(0).Title, "Dr. No. Part 1");
    EXPECT_EQ(list.Entry(1).Title, "");
}

TEST(ListOfFeed, FailsAsTheFeedComponentDoes) {
    EXPECT_THROW(ListOfFeed("<rss><channel>"), EDOMParseError);
    try {
        ListOfFeed("<html><body/></html>");
        ADD_FAILURE() << "an unknown format was listed";
    } catch (const ESimpleRSSException& e) {
        EXPECT_STREQ(e.what(), "unkown format: html");
    }
}

// The list or the failure text the feed component gives for document when
// it keeps its whole tree and model, then fills the list from the model.
std::string listedTheLongWay(const std::string& document) {
    TSimpleRSS feed;
    try {
        feed.LoadFromBytes(document);
    } catch (const std::exception& e) {
        return std::string("failed: ") + e.what();
    }
    Playlist list;
    list.Open();
    list.Fill(feed.Items());
    std::string text;
    for (const PlaylistEntry& entry : list.Entries())
        text += entry.Text + "|" + entry.Link + "|" + entry.Video + "\n";
    return text;
}

std::string listed(const std::string& document) {
    try {
        std::string text;
        const Playlist list = ListOfFeed(document);
        for (const PlaylistEntry& entry : list.Entries())
            text += entry.Text + "|" + entry.Link + "|" + entry.Video + "\n";
        return text;
    } catch (const std::exception& e) {
        return std::string("failed: ") + e.what();
    }
}

std::vector<std::pair<std::string, std::string>> sampleFeeds() {
    std::vector<std::pair<std::string, std::string>> feeds = {
        {"an item without a title, after a good one",
         R"(<rss version="2.0"><channel><title>t</title><link>l</link><description>d</description>
            <item><title>a</title><link>http://x/?v=1</link></item>
            <item><link>http://x/?v=2</link></item></channel></rss>)"},
        {"a broken document after its items",
         R"(<rss version="2.0"><channel><title>t</title><link>l</link><description>d</description>
            <item><title>a</title><link>http://x/?v=1</link></item></channel>)"},
        {"a bad channel text before a bad item",
         R"(<rss version="2.0"><channel><title>t<b/></title><link>l</link><description>d</description>
            <item><link>x</link></item></channel></rss>)"},
        {"items outside the channel, and a second channel",
         R"(<rss version="2.0"><item><title>out</title><link>o</link></item>
            <channel><title>t</title><link>l</link><description>d</description>
            <item><title>in</title><link>i</link></item></channel>
            <channel><item><title>second</title><link>s</link></item></channel></rss>)"},
        {"a channel of items only, and an item read twice over",
         R"(<rss version="2.0"><channel><item><title>a</title><link>l</link>
            <enclosure url="http://m/a.mp4" length="x" type="video/mp4"/></item></channel></rss>)"},
        {"an item of another namespace, walked only for a category after it",
         R"(<rss version="2.0"><channel xmlns="urn:c"><title>t</title><link>l</link>
            <description>d</description><item xmlns="urn:x"><title>a</title><link>x</link></item>
            <category>c</category></channel></rss>)"},
        {"an item of another namespace in a channel that is never walked",
         R"(<rss version="2.0"><channel xmlns="urn:c"><title>t</title><link>l</link>
            <description>d</description><item xmlns="urn:x"><title>a</title><link>x</link></item>
            </channel></rss>)"},
        {"RDF items beside their channel",
         R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/">
            <channel><title>t</title><link>l</link><description>d</description></channel>
            <item><title>a</title><link>http://x/?v=1</link></item>
            <item><title>b</title><link>http://x/?v=2</link></item></rdf:RDF>)"},
        {"Atom entries with a feed-level text after them",
         R"(<feed xmlns="http://www.w3.org/2005/Atom"><entry><title>a</title>
            <link rel="alternate" href="http://x/?v=1"/><link rel="enclosure" href="http://m/1.mp4"/></entry>
            <title>late</title><entry><title>b</title></entry></feed>)"},
        {"iTunes items",
         R"(<rss version="2.0" xmlns:itunes="http://www.itunes.com/dtds/podcast-1.0.dtd" itunes="1">
            <channel><title>t</title><link>l</link><description>d</description>
            <item><title>a</title><link>http://x/?v=1</link><itunes:duration>1:02</itunes:duration></item>
            </channel></rss>)"},
    };
    for (const std::string folder : {ZAVRIO_TEST_DATA, ZAVRIO_FUZZ_FEED_CORPUS})
        for (const auto& file : std::filesystem::recursive_directory_iterator(folder))
            if (file.is_regular_file()) {
                std::ifstream in(file.path(), std::ios::binary);
                std::ostringstream bytes;
                bytes << in.rdbuf();
                feeds.emplace_back(file.path().string(), bytes.str());
            }
    return feeds;
}

// Items handed on as they are read, with their tree and model dropped, make
// the same list, and the same failure, as the whole model does.
TEST(ListOfFeed, ListsWhatTheWholeModelListsAndFailsAsItFails) {
    for (const auto& [name, document] : sampleFeeds())
        EXPECT_EQ(listed(document), listedTheLongWay(document)) << name;
}

TEST(SavedPart, KeepsTheSavedEntriesInOrderNumberedAfresh) {
    const Playlist list = ListOfFeed(Feed);
    const std::string base = DefaultPlayerBaseAddress;
    const std::set<std::string> saved = {base + "/v/aaa&autoplay=1&fmt=18",
                                         base + "/v/ccc&autoplay=1&fmt=18"};
    const Playlist part = SavedPart(
        list, true, false, [&](const std::string& address) { return saved.count(address) > 0; });
    ASSERT_TRUE(part.IsOpen());
    ASSERT_EQ(part.Count(), 2);
    EXPECT_EQ(part.Entry(0).Text, "1. Dr. No. Part 1");
    EXPECT_EQ(part.Entry(1).Text, "2. Third");
    EXPECT_EQ(part.Entry(1).Link, "http://x/watch?v=ccc");
    // Other flags name other clips: nothing of them is saved.
    EXPECT_TRUE(SavedPart(list, false, true, [&](const std::string& address) {
                    return saved.count(address) > 0;
                }).Empty());
}

} // namespace
} // namespace zavrio
