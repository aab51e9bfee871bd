#include "feed/DateTimeFunctions.h"
#include "feed/SimpleRSS.h"
#include "feed/SimpleRSSException.h"
#include "feed/XMLErrors.h"
#include "tests/feed/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <string>

namespace zavrio {
namespace {

using namespace parsertest;

std::string rssWithChannel(const std::string& channelBody) {
    return R"(<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/")"
           R"( xmlns:content="http://purl.org/rss/1.0/modules/content/")"
           R"( xmlns:media="http://search.yahoo.com/mrss/" xmlns:atom="http://www.w3.org/2005/Atom">)"
           "<channel>" +
           channelBody + "</channel></rss>";
}

std::string rssWithItem(const std::string& itemBody) {
    return rssWithChannel("<item>" + itemBody + "</item>");
}

TDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return ComposeDateTime(*TryEncodeDate(y, mo, d), *TryEncodeTime(h, mi, s));
}

struct ItemCase {
    const char* label;
    std::string body;
    std::function<void(const TRSSItem&)> check;
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const ItemCase& row, std::ostream* out) {
    *out << row.label;
}

class RSSItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(RSSItemTest, ReadsTheItem) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rssWithItem(GetParam().body)), "");
    ASSERT_EQ(rss.Items().Count(), 1);
    GetParam().check(rss.Items().Items(0));
}

INSTANTIATE_TEST_SUITE_P(
    Items, RSSItemTest,
    ::testing::Values(
        ItemCase{"texts",
                 "<title>Clip one</title><link>http://www.zavrio.com/watch?v=abc</link>"
                 "<description>About it</description><author>me@example.com (Me)</author>"
                 "<comments>http://c/1</comments>",
                 [](const TRSSItem& item) {
                     EXPECT_EQ(item.Title(), "Clip one");
                     EXPECT_EQ(item.Link(), "http://www.zavrio.com/watch?v=abc");
                     EXPECT_EQ(item.Description(), "About it");
                     EXPECT_EQ(item.Author().Name(), "me@example.com (Me)");
                     EXPECT_EQ(item.Comments(), "http://c/1");
                     EXPECT_EQ(item.ContentType(), ctText);
                     EXPECT_FALSE(item.Enclosure().Include());
                     EXPECT_FALSE(item.GUID().Include());
                     EXPECT_EQ(item.GUID().GUID().size(), 38u); // the generated one stays
                 }},
        ItemCase{"descriptionOnly", "<description>d</description>",
                 [](const TRSSItem& item) {
                     EXPECT_EQ(item.Title(), "");
                     EXPECT_EQ(item.Description(), "d");
                 }},
        ItemCase{"emptyTextsWriteNothing", "<title/><link></link><description>  </description>",
                 [](const TRSSItem& item) {
                     EXPECT_EQ(item.Title(), "");
                     EXPECT_FALSE(item.TitlePresent());
                     EXPECT_FALSE(item.DescriptionPresent());
                 }},
        // The RFC 822 "pubDate" wins over "dc:date" whatever their order.
        ItemCase{"pubDateOverDcDate",
                 "<title>t</title><pubDate>Sun, 06 Nov 1994 08:49:37 GMT</pubDate>"
                 "<dc:date>2008-11-27T10:20:30Z</dc:date>",
                 [](const TRSSItem& item) {
                     EXPECT_EQ(item.PubDate().DateTime(), at(1994, 11, 6, 8, 49, 37));
                     EXPECT_EQ(item.PubDate().SourceText(), "Sun, 06 Nov 1994 08:49:37 GMT");
                     EXPECT_EQ(item.PubDate().TimeZone(), "Z"); // from the ISO date read first
                 }},
        ItemCase{"dcDateAlone", "<title>t</title><dc:date>2008-11-27T10:20:30+01:00</dc:date>",
                 [](const TRSSItem& item) {
                     EXPECT_EQ(item.PubDate().DateTime(), at(2008, 11, 27, 10, 20, 30));
                     EXPECT_EQ(item.PubDate().TimeZone(), "+01:00");
                 }},
        ItemCase{"descriptionOverEncoded",
                 "<title>t</title><description>plain</description>"
                 "<content:encoded><![CDATA[<p>rich</p>]]></content:encoded>",
                 [](const TRSSItem& item) { EXPECT_EQ(item.Description(), "plain"); }},
        ItemCase{"encodedWhenDescriptionEmpty",
                 "<title>t</title><content:encoded><![CDATA[<p>rich</p>]]></content:encoded>"
                 "<description></description>",
                 [](const TRSSItem& item) { EXPECT_EQ(item.Description(), "<p>rich</p>"); }},
        ItemCase{"descriptionCDATA",
                 "<title>t</title><description><![CDATA[<b>x</b> & y]]></description>",
                 [](const TRSSItem& item) { EXPECT_EQ(item.Description(), "<b>x</b> & y"); }},
        ItemCase{"descriptionEscapedHTML",
                 "<title>t</title><description>&lt;b&gt;x&lt;/b&gt; &amp;amp;</description>",
                 [](const TRSSItem& item) { EXPECT_EQ(item.Description(), "<b>x</b> &amp;"); }},
        // The description rule reads only the first child node.
        ItemCase{"descriptionFirstChildOnly",
                 "<title>t</title><description>x<b>y</b>z</description>",
                 [](const TRSSItem& item) { EXPECT_EQ(item.Description(), "x"); }},
        ItemCase{
            "enclosure",
            R"(<title>t</title><enclosure url="http://e/v.flv" length="12345" type="video/x-flv"/>)",
            [](const TRSSItem& item) {
                EXPECT_EQ(Fields(item.Enclosure()),
                          (EnclosureFields{true, "http://e/v.flv", 12345, "video/x-flv"}));
            }},
        ItemCase{"enclosureWithoutAttributes", "<title>t</title><enclosure length=''/>",
                 [](const TRSSItem& item) {
                     EXPECT_TRUE(item.Enclosure().Include());
                     EXPECT_EQ(item.Enclosure().Length(), 0);
                 }},
        ItemCase{"guidPermaLink", R"(<title>t</title><guid isPermaLink="true">http://g/1</guid>)",
                 [](const TRSSItem& item) {
                     EXPECT_TRUE(item.GUID().Include());
                     EXPECT_EQ(item.GUID().GUID(), "http://g/1");
                     EXPECT_TRUE(item.GUID().IsPermaLink());
                 }},
        ItemCase{"guidPermaLinkCapitalT", R"(<title>t</title><guid isPermaLink="True">g</guid>)",
                 [](const TRSSItem& item) { EXPECT_FALSE(item.GUID().IsPermaLink()); }},
        ItemCase{"guidEmpty", "<title>t</title><guid/>",
                 [](const TRSSItem& item) {
                     EXPECT_TRUE(item.GUID().Include());
                     EXPECT_EQ(item.GUID().GUID().front(), '{');
                 }},
        ItemCase{"source", R"(<title>t</title><source url="http://s/feed">Elsewhere</source>)",
                 [](const TRSSItem& item) {
                     EXPECT_EQ(Fields(item.Source()),
                               (SourceFields{true, "Elsewhere", "http://s/feed"}));
                 }},
        // Categories count by local name, so a media:category counts too.
        ItemCase{"categories",
                 R"(<category domain="d1">Music</category><title>t</title>)"
                 R"(<media:category scheme="s">Film</media:category><category/>)",
                 [](const TRSSItem& item) {
                     ASSERT_EQ(item.Categories().Count(), 3);
                     EXPECT_EQ(item.Categories().Items(0).Title(), "Music");
                     EXPECT_EQ(item.Categories().Items(0).Domain(), "d1");
                     EXPECT_EQ(item.Categories().Items(1).Title(), "Film");
                     EXPECT_EQ(item.Categories().Items(1).Domain(), "");
                     EXPECT_EQ(item.Categories().Items(2).Title(), "");
                 }},
        ItemCase{"prefixedTitleFirstWins", "<media:title>Media</media:title><title>Plain</title>",
                 [](const TRSSItem& item) { EXPECT_EQ(item.Title(), "Media"); }},
        ItemCase{
            "utf8Text", "<title>Caf\xc3\xa9 &#x263A;</title>",
            [](const TRSSItem& item) { EXPECT_EQ(item.Title(), "Caf\xc3\xa9 \xe2\x98\xba"); }}),
    [](const auto& info) { return std::string(info.param.label); });

struct ChannelCase {
    const char* label;
    std::string body; // an item is added after it so that the channel is read
    std::function<void(const TRSSChannel&)> check;
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const ChannelCase& row, std::ostream* out) {
    *out << row.label;
}

class RSSChannelTest : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(RSSChannelTest, ReadsTheChannel) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rssWithChannel(GetParam().body + "<item><title>i</title></item>")),
              "");
    GetParam().check(rss.Channel());
}

INSTANTIATE_TEST_SUITE_P(
    Channels, RSSChannelTest,
    ::testing::Values(
        ChannelCase{"required",
                    R"(<title>Feed</title><atom:link href="http://self" rel="self"/>)"
                    "<link>http://site</link><description>All clips</description>",
                    [](const TRSSChannel& c) {
                        EXPECT_EQ(c.Required().Title(), "Feed");
                        EXPECT_EQ(c.Required().Link(), "http://site");
                        EXPECT_EQ(c.Required().Desc(), "All clips");
                    }},
        // Channel elements must be named exactly: atom:link is not the link.
        ChannelCase{"prefixedLinkIgnored", R"(<atom:link href="http://self">x</atom:link>)",
                    [](const TRSSChannel& c) { EXPECT_EQ(c.Required().Link(), ""); }},
        ChannelCase{
            "optionalTexts",
            "<copyright>(c) Us</copyright><managingEditor>ed@x</managingEditor>"
            "<webMaster>wm@x</webMaster><generator>Gen 1</generator><docs>http://docs</docs>"
            "<rating>PICS</rating><pubDate>Sun, 06 Nov 1994 08:49:37 GMT</pubDate>"
            "<lastBuildDate>06-Nov-94 08:49:38</lastBuildDate>",
            [](const TRSSChannel& c) {
                EXPECT_EQ(c.Optional().Copyright(), "(c) Us");
                EXPECT_EQ(c.Optional().ManagingEditor(), "ed@x");
                EXPECT_EQ(c.Optional().WebMaster(), "wm@x");
                EXPECT_EQ(c.Optional().Generator(), "Gen 1");
                EXPECT_EQ(c.Optional().Docs(), "http://docs");
                EXPECT_EQ(c.Optional().Rating(), "PICS");
                EXPECT_EQ(c.Optional().PubDate().DateTime(), at(1994, 11, 6, 8, 49, 37));
                EXPECT_EQ(c.Optional().LastBuildDate().DateTime(), at(1994, 11, 6, 8, 49, 38));
            }},
        ChannelCase{"defaultsStay", "<generator/><docs></docs>",
                    [](const TRSSChannel& c) {
                        EXPECT_EQ(c.Optional().Generator(), "RSS 0.4.1");
                        EXPECT_EQ(c.Optional().Docs(), "Doc");
                        EXPECT_EQ(c.Optional().TTL(), 60);
                        EXPECT_EQ(c.Optional().Language(), langEN);
                    }},
        ChannelCase{"languageKnown", "<language>en-us</language>",
                    [](const TRSSChannel& c) {
                        EXPECT_EQ(c.Optional().Language(), langEN_US);
                        EXPECT_EQ(c.Optional().XLang(), "");
                    }},
        ChannelCase{"languageUnknown", "<language>EN-US</language>",
                    [](const TRSSChannel& c) {
                        EXPECT_EQ(c.Optional().Language(), langX);
                        EXPECT_EQ(c.Optional().XLang(), "EN-US");
                    }},
        ChannelCase{"ttl", "<ttl>30</ttl>",
                    [](const TRSSChannel& c) { EXPECT_EQ(c.Optional().TTL(), 30); }},
        // Inside the guard a bad number only skips the rest of its element.
        ChannelCase{"ttlNotANumber", "<ttl>soon</ttl><copyright>after</copyright>",
                    [](const TRSSChannel& c) {
                        EXPECT_EQ(c.Optional().TTL(), 60);
                        EXPECT_EQ(c.Optional().Copyright(), "after");
                    }},
        ChannelCase{"image",
                    "<image><url>http://i/p.png</url><title>Logo</title><link>http://site</link>"
                    "<description>d</description><width>200</width><height>31</height></image>",
                    [](const TRSSChannel& c) {
                        const TRSSImage& image = c.Optional().Image();
                        EXPECT_TRUE(image.Include());
                        EXPECT_EQ(image.Required().URL(), "http://i/p.png");
                        EXPECT_EQ(image.Required().Title(), "Logo");
                        EXPECT_EQ(image.Required().Link(), "http://site");
                        EXPECT_EQ(image.Optional().Description(), "d");
                        EXPECT_EQ(image.Optional().Width(), 144); // clamped by the model
                        EXPECT_EQ(image.Optional().Height(), 31);
                    }},
        ChannelCase{"imageBadWidth",
                    "<image><height>31</height><width>wide</width><url>u</url><title>t</title>"
                    "<link>l</link><description>d</description></image>",
                    [](const TRSSChannel& c) {
                        const TRSSImage& image = c.Optional().Image();
                        EXPECT_EQ(image.Required().URL(), "u");
                        EXPECT_EQ(image.Optional().Description(), "d");
                        EXPECT_EQ(image.Optional().Width(), 0);
                        EXPECT_EQ(image.Optional().Height(), 0); // read after the width
                    }},
        ChannelCase{"imageEmpty", "<image/>",
                    [](const TRSSChannel& c) { EXPECT_FALSE(c.Optional().Image().Include()); }},
        ChannelCase{"cloud",
                    R"(<cloud domain="rpc.sys.com" port="80" path="/RPC2" )"
                    R"(registerProcedure="pingMe" protocol="soap"/>)",
                    [](const TRSSChannel& c) {
                        const TRSSCloud& cloud = c.Optional().Cloud();
                        EXPECT_TRUE(cloud.Include());
                        EXPECT_EQ(cloud.Domain(), "rpc.sys.com");
                        EXPECT_EQ(cloud.Port(), 80);
                        EXPECT_EQ(cloud.Path(), "/RPC2");
                        EXPECT_EQ(cloud.RegisterProcedure(), "pingMe");
                        EXPECT_EQ(cloud.Protocol(), "soap");
                    }},
        ChannelCase{"cloudPartial", R"(<cloud protocol="xml-rpc"/>)",
                    [](const TRSSChannel& c) {
                        EXPECT_TRUE(c.Optional().Cloud().Include());
                        EXPECT_EQ(c.Optional().Cloud().Port(), 0);
                        EXPECT_EQ(c.Optional().Cloud().Protocol(), "xml-rpc");
                    }},
        ChannelCase{"cloudWithoutAttributes", "<cloud/>",
                    [](const TRSSChannel& c) { EXPECT_FALSE(c.Optional().Cloud().Include()); }},
        ChannelCase{"textInput",
                    "<textInput><title>Search</title><description>Find</description>"
                    "<name>q</name><link>http://s</link></textInput>",
                    [](const TRSSChannel& c) {
                        const TRSSTextInput& input = c.Optional().TextInput();
                        EXPECT_TRUE(input.Include());
                        EXPECT_EQ(input.Title(), "Search");
                        EXPECT_EQ(input.Description(), "Find");
                        EXPECT_EQ(input.Link(), "http://s");
                        EXPECT_EQ(input.TextInputName(), "q");
                    }},
        ChannelCase{"skipHoursAndDays",
                    "<skipHours><hour>0</hour><hour>7</hour><hour>07</hour><hour>24</hour><hour/>"
                    "<h>5</h></skipHours><skipDays><day>Monday</day><day>sunday</day></skipDays>",
                    [](const TRSSChannel& c) {
                        for (int h = 0; h < 24; ++h)
                            EXPECT_EQ(c.Optional().SkipHours().Hour(h), h == 0 || h == 7 || h == 5)
                                << h;
                        EXPECT_TRUE(c.Optional().SkipDays().Monday());
                        EXPECT_FALSE(c.Optional().SkipDays().Sunday());
                    }},
        ChannelCase{"skipHoursMarkupKeepsEarlierHours",
                    "<skipHours><hour>3</hour><hour><b>4</b></hour><hour>5</hour></skipHours>",
                    [](const TRSSChannel& c) {
                        EXPECT_TRUE(c.Optional().SkipHours().h03());
                        EXPECT_FALSE(c.Optional().SkipHours().h05());
                    }},
        ChannelCase{"markupInGuardedElement", "<copyright>a<b/></copyright><rating>r</rating>",
                    [](const TRSSChannel& c) {
                        EXPECT_EQ(c.Optional().Copyright(), "");
                        EXPECT_EQ(c.Optional().Rating(), "r");
                    }},
        ChannelCase{"categories",
                    R"(<category domain="syndic8">1765</category><category>Video</category>)",
                    [](const TRSSChannel& c) {
                        ASSERT_EQ(c.Optional().Categories().Count(), 2);
                        EXPECT_EQ(c.Optional().Categories().Items(0).Category(), "1765");
                        EXPECT_EQ(c.Optional().Categories().Items(0).Domain(), "syndic8");
                        EXPECT_EQ(c.Optional().Categories().Items(1).Category(), "Video");
                    }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RSSParserTest, ChannelWithoutItemsOrCategoriesIsNotRead) {
    TSimpleRSS rss;
    ASSERT_EQ(
        LoadError(rss, rssWithChannel("<title>Feed</title><link>http://site</link><ttl>5</ttl>")),
        "");
    EXPECT_EQ(rss.Items().Count(), 0);
    EXPECT_EQ(rss.Channel().Required().Title(), "");
    EXPECT_EQ(rss.Channel().Required().Link(), "");
    EXPECT_EQ(rss.Channel().Optional().TTL(), 60);

    // A category alone is enough to read the channel.
    ASSERT_EQ(LoadError(rss, rssWithChannel("<title>Feed</title><category>c</category>")), "");
    EXPECT_EQ(rss.Channel().Required().Title(), "Feed");
}

TEST(RSSParserTest, ItemsKeepDocumentOrder) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rssWithChannel(
                                 "<item><title>a</title></item><title>Feed</title>"
                                 "<item><title>b</title></item><item><title>c</title></item>")),
              "");
    ASSERT_EQ(rss.Items().Count(), 3);
    EXPECT_EQ(rss.Items().Items(0).Title(), "a");
    EXPECT_EQ(rss.Items().Items(2).Title(), "c");
    EXPECT_EQ(rss.Channel().Required().Title(), "Feed");
}

struct FailureCase {
    const char* label;
    std::string channelBody;
    std::string message;
    int items;                                    // in Items after the failure
    std::function<void(const TSimpleRSS&)> check; // what was written before it
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const FailureCase& row, std::ostream* out) {
    *out << row.label;
}

class RSSFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RSSFailureTest, EndsTheParseKeepingWhatWasRead) {
    TSimpleRSS rss;
    bool parsedEvent = false;
    rss.OnParseXML = [&](TSimpleRSS&) { parsedEvent = true; };
    EXPECT_EQ(LoadError(rss, rssWithChannel(GetParam().channelBody)), GetParam().message);
    EXPECT_EQ(rss.Items().Count(), GetParam().items);
    EXPECT_FALSE(parsedEvent);
    GetParam().check(rss);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RSSFailureTest,
    ::testing::Values(
        FailureCase{
            "itemWithOnlyALink",
            "<title>Feed</title><item><title>a</title></item><item><link>http://l</link></item>"
            "<item><title>never</title></item>",
            "Required Field Missing. Field: item -> title", 2,
            [](const TSimpleRSS& rss) {
                EXPECT_EQ(rss.Items().Items(0).Title(), "a");
                EXPECT_EQ(rss.Items().Items(1).Link(), ""); // failed before reading it
                EXPECT_EQ(rss.Channel().Required().Title(), "Feed");
            }},
        FailureCase{"markupInItemTitle", "<item><title>a <b>bold</b></title></item>",
                    "Element does not contain a single text node", 1, [](const TSimpleRSS&) {}},
        FailureCase{"enclosureLengthNotANumber",
                    "<item><title>t</title><link>http://l</link>"
                    "<enclosure url='http://e' length='big'/><pubDate>Sun, 06 Nov 1994 08:49:37 "
                    "GMT</pubDate></item>",
                    "'big' is not a valid integer value", 1,
                    [](const TSimpleRSS& rss) {
                        const TRSSItem& item = rss.Items().Items(0);
                        EXPECT_EQ(item.Link(), "http://l");
                        EXPECT_EQ(item.Enclosure().URL(), "http://e");
                        EXPECT_FALSE(item.Enclosure().Include());
                        EXPECT_EQ(item.PubDate().SourceText(), "");
                    }},
        FailureCase{"markupInChannelTitle", "<title>a<br/>b</title><item><title>t</title></item>",
                    "Element does not contain a single text node", 0, [](const TSimpleRSS&) {}},
        FailureCase{"descriptionStartingWithMixedElement",
                    "<item><title>t</title><description><p>x<b>y</b></p></description></item>",
                    "Element does not contain a single text node", 1,
                    [](const TSimpleRSS& rss) { EXPECT_EQ(rss.Items().Items(0).Title(), "t"); }}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace zavrio
