#include "feed/FeedModel.h"
#include "feed/SimpleRSS.h"
#include "tests/feed/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zavrio {
namespace {

using namespace parsertest;

const std::string DataDir = ZAVRIO_ITUNES_DATA;

const std::string NullString = "Could not convert variant of type (Null) into type (String)";
const std::string NullInteger = "Could not convert variant of type (Null) into type (Integer)";

// A podcast whose channel has the four texts the loader's pre-read looks for,
// so that only what a test adds can fail.
std::string podcast(const std::string& channelBody) {
    return R"(<rss version="2.0" itunes="1" xmlns:itunes="http://www.itunes.com/dtds/podcast-1.0.dtd">)"
           "<channel><title>P</title><link>http://p.example/</link><description>D</description>"
           "<pubDate>Mon, 02 Feb 2009 10:00:00 GMT</pubDate>" +
           channelBody + "</channel></rss>";
}

std::vector<std::string> keywords(const TiTunesKeywords& list) {
    std::vector<std::string> values;
    for (int i = 0; i < list.Count(); ++i)
        values.push_back(list.Items(i).Value());
    return values;
}

TEST(ITunesParserTest, PodcastWithEpisodesAndEnclosures) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/podcast.xml")), "");
    EXPECT_EQ(rss.XMLType(), xtiTunes);
    const TRSSChannel& channel = rss.Channel();
    EXPECT_EQ(channel.Required().Title(), "Workshop Hour");
    EXPECT_EQ(channel.Required().Link(), "http://podcast.example.org/workshop");
    EXPECT_EQ(channel.Optional().Language(), langEN_US);
    EXPECT_EQ(channel.Optional().Copyright(), "\xC2\xA9 2009 Workshop Hour");
    EXPECT_EQ(channel.Optional().TTL(), 120);
    EXPECT_EQ(channel.Optional().Image().Optional().Width(), 144);
    EXPECT_EQ(channel.iTunes().Subtitle(), "Make things out of wood, slowly.");
    EXPECT_EQ(keywords(channel.iTunes().KeyWords()),
              (std::vector<std::string>{"woodworking", "tools", "joinery"}));
    EXPECT_FALSE(channel.iTunes().Explict());
    EXPECT_FALSE(channel.iTunes().Block());
    EXPECT_EQ(channel.iTunes().Owner().Name(), "Pat Carver");
    EXPECT_EQ(channel.iTunes().Owner().EmailAddress(), "pat@podcast.example.org");
    EXPECT_EQ(channel.iTunes().Category().Category(), "Leisure");
    EXPECT_EQ(channel.iTunes().Category().SubCategory(), "Hobbies");

    ASSERT_EQ(rss.Items().Count(), 2);
    const TRSSItem& box = rss.Items().Items(0);
    EXPECT_EQ(box.Title(), "Episode 12: A dovetailed box");
    EXPECT_EQ(box.Link(), "http://podcast.example.org/watch?v=Dovetail12");
    EXPECT_EQ(box.Description(), "<p>Hand-cut dovetails for a <b>small box</b>.</p>");
    EXPECT_EQ(box.Author().Name(), "pat@podcast.example.org (Pat Carver)");
    EXPECT_EQ(Fields(box.Enclosure()),
              (EnclosureFields{true, "http://media.example.org/workshop/ep12.m4v", 48213776,
                               "video/x-m4v"}));
    EXPECT_EQ(box.GUID().GUID(), "http://podcast.example.org/workshop/ep12");
    EXPECT_TRUE(box.GUID().IsPermaLink()); // no isPermaLink attribute
    EXPECT_EQ(DateText(box.PubDate().DateTime()), "2009-03-06 19:00:00");
    ASSERT_EQ(box.Categories().Count(), 1);
    EXPECT_EQ(box.Categories().Items(0).Title(), "Joinery");
    EXPECT_EQ(box.iTunes().Author(), "Pat Carver");
    EXPECT_EQ(box.iTunes().Subtitle(), "Dovetails by hand");
    EXPECT_EQ(box.iTunes().Summary(), "We saw, chop and pare a box with four corners.");
    EXPECT_EQ(keywords(box.iTunes().KeyWords()), (std::vector<std::string>{"dovetail", "box"}));
    EXPECT_FALSE(box.iTunes().Explict());
    EXPECT_FALSE(box.iTunes().Block());
    EXPECT_EQ(box.iTunes().Duration().Duration(), "0:0:00"); // duration is not read

    const TRSSItem& sharpen = rss.Items().Items(1);
    EXPECT_EQ(sharpen.Title(), "Episode 11: Sharpening a plane iron");
    EXPECT_EQ(sharpen.Description(), "Stones, a guide and twenty minutes.");
    EXPECT_FALSE(sharpen.GUID().IsPermaLink());
    EXPECT_TRUE(sharpen.iTunes().Explict());
    EXPECT_TRUE(sharpen.iTunes().Block());
    EXPECT_EQ(sharpen.iTunes().Category().Category(), "Education");
    // The item's "itunes:category" is its iTunes category, not an RSS one.
    EXPECT_EQ(sharpen.Categories().Count(), 0);
}

TEST(ITunesParserTest, ChannelRows) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/channel-rows.xml")), "");
    const TRSSChannelOpt& opt = rss.Channel().Optional();
    EXPECT_EQ(rss.Channel().Required().Desc(), "All the channel words");
    ASSERT_EQ(opt.Categories().Count(), 1);
    EXPECT_EQ(opt.Categories().Items(0).Category(), "Arts");
    EXPECT_EQ(opt.Categories().Items(0).Domain(), "http://pod.example.com/cats");
    EXPECT_EQ(opt.Language(), langX);
    EXPECT_EQ(opt.XLang(), "zz-top");
    EXPECT_EQ(opt.Copyright(), "2009 Pod");
    EXPECT_EQ(opt.ManagingEditor(), "ed@pod.example.com");
    EXPECT_EQ(opt.WebMaster(), "web@pod.example.com");
    EXPECT_EQ(DateText(opt.PubDate().DateTime()), "2009-02-02 10:00:00");
    EXPECT_EQ(DateText(opt.LastBuildDate().DateTime()), "2009-02-03 11:12:13");
    EXPECT_EQ(opt.Generator(), "Pod Generator");
    EXPECT_EQ(opt.Docs(), "http://pod.example.com/docs");
    EXPECT_TRUE(opt.Cloud().Include());
    EXPECT_EQ(opt.Cloud().Domain(), "rpc.pod.example.com");
    EXPECT_EQ(opt.Cloud().Port(), 1); // 0, raised by the model
    EXPECT_EQ(opt.Cloud().Path(), "/RPC2");
    EXPECT_EQ(opt.Cloud().RegisterProcedure(), "notify");
    EXPECT_EQ(opt.Cloud().Protocol(), "soap");
    EXPECT_EQ(opt.TTL(), 0); // -5, raised by the model
    EXPECT_TRUE(opt.Image().Include());
    EXPECT_EQ(opt.Image().Required().URL(), "http://pod.example.com/logo.jpg");
    EXPECT_EQ(opt.Image().Optional().Description(), "Logo");
    EXPECT_EQ(opt.Image().Optional().Width(), 100);
    EXPECT_EQ(opt.Image().Optional().Height(), 100);
    EXPECT_EQ(opt.Rating(), "G");
    EXPECT_TRUE(opt.TextInput().Include());
    EXPECT_EQ(opt.TextInput().TextInputName(), "q");
    EXPECT_EQ(opt.TextInput().Link(), "http://pod.example.com/search");
    EXPECT_TRUE(opt.SkipHours().h12());
    EXPECT_TRUE(opt.SkipDays().Friday());

    const TiTunesChannelExtra& it = rss.Channel().iTunes();
    EXPECT_TRUE(it.Block()); // whatever the element holds
    EXPECT_EQ(it.Category().Category(), "Arts");
    EXPECT_EQ(it.Category().SubCategory(), "Design");
    EXPECT_TRUE(it.Explict());
    EXPECT_EQ(keywords(it.KeyWords()), (std::vector<std::string>{"art", "", "design"}));
    EXPECT_EQ(it.Owner().Name(), "Owner Name");
    EXPECT_EQ(it.Owner().EmailAddress(), "owner@pod.example.com");
    EXPECT_EQ(it.Subtitle(), "Sub");
    EXPECT_EQ(it.Summary(), "Summary text");
    EXPECT_EQ(it.Image(), "http://pod.example.com/itunes.jpg");
    ASSERT_EQ(rss.Items().Count(), 1);
}

TEST(ITunesParserTest, ItemRows) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, podcast(R"(
        <item><title>T</title><link>L</link>
          <content>from content</content>
          <content:encoded xmlns:content="http://purl.org/rss/1.0/modules/content/">encoded</content:encoded>
          <description>from description</description>
          <comments>http://p.example/c</comments>
          <dc:date xmlns:dc="http://purl.org/dc/elements/1.1/">2008-11-27T10:20:30Z</dc:date>
          <guid isPermaLink="True">g</guid>
          <source url="http://s.example/rss">Elsewhere</source>
          <category domain="dom">First</category>
          <media:category xmlns:media="http://search.yahoo.com/mrss/">Second</media:category>
        </item>
        <item><description>no title</description><guid isPermaLink="">g2</guid>
          <itunes:explicit/></item>)")),
              "");
    ASSERT_EQ(rss.Items().Count(), 2);
    const TRSSItem& item = rss.Items().Items(0);
    EXPECT_EQ(item.Description(), "from description");
    EXPECT_EQ(item.Comments(), "http://p.example/c");
    EXPECT_EQ(DateText(item.PubDate().DateTime()), "2008-11-27 10:20:30");
    EXPECT_TRUE(item.GUID().Include());
    EXPECT_FALSE(item.GUID().IsPermaLink()); // "True" is not "true"
    EXPECT_EQ(Fields(item.Source()), (SourceFields{true, "Elsewhere", "http://s.example/rss"}));
    ASSERT_EQ(item.Categories().Count(), 2);
    EXPECT_EQ(item.Categories().Items(0).Domain(), "dom");
    EXPECT_EQ(item.Categories().Items(1).Title(), "Second");

    const TRSSItem& second = rss.Items().Items(1);
    EXPECT_EQ(second.Title(), "");
    EXPECT_EQ(second.Description(), "no title");
    EXPECT_FALSE(second.GUID().IsPermaLink()); // an empty value is not "true"
    EXPECT_FALSE(second.iTunes().Explict());   // an empty element reads as not "yes"
}

TEST(ITunesParserTest, CategoryRule) {
    struct Row {
        const char* comment;
        const char* element;
        const char* category;
        const char* subCategory;
    };
    const Row rows[] = {
        {"name only", R"(<itunes:category text="News"/>)", "News", ""},
        {"name and one subcategory",
         R"(<itunes:category text="Arts"><itunes:category text="Food"/></itunes:category>)", "Arts",
         "Food"},
        {"two subcategories: neither is taken",
         R"(<itunes:category text="Arts"><itunes:category text="Food"/>)"
         R"(<itunes:category text="Design"/></itunes:category>)",
         "Arts", ""},
        {"a single child that is no category",
         R"(<itunes:category text="Arts"><other text="x"/></itunes:category>)", "Arts", ""},
        {"no attributes at all", R"(<itunes:category><itunes:category/></itunes:category>)", "",
         ""},
    };
    for (const Row& row : rows) {
        TSimpleRSS rss;
        ASSERT_EQ(LoadError(rss, podcast(std::string(row.element) + "<item><title>i</title>" +
                                         row.element + "</item>")),
                  "")
            << row.comment;
        EXPECT_EQ(rss.Channel().iTunes().Category().Category(), row.category) << row.comment;
        EXPECT_EQ(rss.Channel().iTunes().Category().SubCategory(), row.subCategory) << row.comment;
        ASSERT_EQ(rss.Items().Count(), 1);
        EXPECT_EQ(rss.Items().Items(0).iTunes().Category().Category(), row.category) << row.comment;
        EXPECT_EQ(rss.Items().Items(0).iTunes().Category().SubCategory(), row.subCategory)
            << row.comment;
    }
}

TEST(ITunesParserTest, BlockFlagsStartFalse) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, podcast(R"(<item><title>a</title><itunes:block>no</itunes:block></item>
        <item><title>b</title></item>)")),
              "");
    EXPECT_FALSE(rss.Channel().iTunes().Block());
    ASSERT_EQ(rss.Items().Count(), 2);
    EXPECT_TRUE(rss.Items().Items(0).iTunes().Block());
    EXPECT_FALSE(rss.Items().Items(1).iTunes().Block());
}

TEST(ITunesParserTest, ChannelWithoutItemsOrCategoriesIsNotRead) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, podcast("<itunes:block/><ttl></ttl>")), "");
    EXPECT_EQ(rss.Channel().Required().Title(), "");
    EXPECT_FALSE(rss.Channel().iTunes().Block());
}

// Nothing is guarded and nothing is tested for presence: the first missing,
// empty or unreadable value ends the parse, leaving the items read so far.
TEST(ITunesParserTest, FailuresEndTheParse) {
    struct Row {
        const char* comment;
        std::string document;
        std::string error;
        int items;
    };
    const auto rss = [](const std::string& channelBody) {
        return R"(<rss itunes="1" xmlns:itunes="http://www.itunes.com/dtds/podcast-1.0.dtd">)"
               "<channel>" +
               channelBody + "</channel></rss>";
    };
    const Row rows[] = {
        // The pre-read appended an empty "pubDate", met after the items.
        {"channel without pubDate",
         rss("<title>P</title><link>l</link><description>d</description>"
             "<item><title>a</title></item><item><title>b</title></item>"),
         NullString, 2},
        {"itunes:image with its address only in an attribute",
         podcast(R"(<itunes:image href="http://p.example/i.jpg"/><item><title>a</title></item>)"),
         NullString, 0},
        {"empty comments",
         podcast("<item><title>a</title><comments/></item><item><title>b</title></item>"),
         NullString, 1},
        {"empty description", podcast("<item><title>a</title><description></description></item>"),
         NullString, 1},
        {"empty ttl", podcast("<ttl/><item><title>a</title></item>"), NullInteger, 0},
        {"ttl that is no number", podcast("<ttl>often</ttl><item><title>a</title></item>"),
         "'often' is not a valid integer value", 0},
        {"empty enclosure length",
         podcast(R"(<item><title>a</title><enclosure url="u" length="" type="t"/></item>)"),
         NullInteger, 1},
        {"enclosure without type",
         podcast(R"(<item><title>a</title><enclosure url="u" length="1"/></item>)"),
         "Required Field Missing. Field: enclosure -> type", 1},
        {"enclosure without url",
         podcast(R"(<item><title>a</title><enclosure length="1" type="t"/></item>)"),
         "Required Field Missing. Field: enclosure -> url", 1},
        {"source without url", podcast("<item><title>a</title><source>S</source></item>"),
         "Required Field Missing. Field: source -> url", 1},
        {"item with only a link",
         podcast("<item><title>a</title></item><item><link>l</link></item>"),
         "Required Field Missing. Field: item -> title", 2},
        {"image without link",
         podcast("<image><url>u</url><title>t</title></image><item><title>a</title></item>"),
         "Required Field Missing. Field: image -> link", 0},
        {"textInput without name",
         podcast("<textInput><title>t</title><description>d</description><link>l</link>"
                 "</textInput><item><title>a</title></item>"),
         "Required Field Missing. Field: textInput -> name", 0},
        {"owner without email",
         podcast("<itunes:owner><itunes:name>n</itunes:name></itunes:owner>"
                 "<item><title>a</title></item>"),
         NullString, 0},
        {"cloud missing an attribute",
         podcast(
             R"(<cloud domain="d" port="80" path="/p" protocol="x"/><item><title>a</title></item>)"),
         NullString, 0},
        {"category holding markup",
         podcast("<item><title>a</title><category>x <b>y</b></category></item>"),
         "Element does not contain a single text node", 1},
        {"skipHours child holding markup",
         podcast("<skipHours><hour>1<b/></hour></skipHours><item><title>a</title></item>"),
         "Element does not contain a single text node", 0},
    };
    for (const Row& row : rows) {
        TSimpleRSS feed;
        EXPECT_EQ(LoadError(feed, row.document), row.error) << row.comment;
        EXPECT_EQ(feed.Items().Count(), row.items) << row.comment;
    }
}

TEST(ITunesParserTest, FailedEnclosureStoresNothingOfItsOwn) {
    TSimpleRSS rss;
    EXPECT_EQ(LoadError(rss, podcast(R"(<item><title>a</title><link>l</link>
        <enclosure url="http://p.example/a.mp4" length="1"/></item>)")),
              "Required Field Missing. Field: enclosure -> type");
    ASSERT_EQ(rss.Items().Count(), 1);
    EXPECT_EQ(rss.Items().Items(0).Link(), "l");
    EXPECT_EQ(rss.Items().Items(0).Enclosure().URL(), "");
}

} // namespace
} // namespace zavrio
