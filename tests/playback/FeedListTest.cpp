// A feed document made into the playback's list, and the saved part of a
// list, as the playback makes them off the GUI thread.

#include "playback/FeedList.h"

#include "feed/SimpleRSSException.h"
#include "feed/XMLErrors.h"
#include "playback/PlayerAddress.h"

#include <gtest/gtest.h>

#include <set>

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
    EXPECT_EQ(list.Title(0), "Dr. No. Part 1");
    EXPECT_EQ(list.Title(1), "");
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
