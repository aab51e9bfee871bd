#include "feed/FeedModel.h"
#include "feed/SimpleRSS.h"
#include "tests/feed/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zavrio {
namespace {

using namespace parsertest;

const std::string DataDir = ZAVRIO_RDF_DATA;

std::string rdf(const std::string& body) {
    return R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#")"
           R"( xmlns:dc="http://purl.org/dc/elements/1.1/">)" +
           body + "</rdf:RDF>";
}

std::vector<std::string> categoryTitles(const TRSSItem& item) {
    std::vector<std::string> titles;
    for (int i = 0; i < item.Categories().Count(); ++i)
        titles.push_back(item.Categories().Items(i).Title());
    return titles;
}

// A news feed as such feeds are written: RSS 1.0 as the default namespace,
// Dublin Core for dates and subjects.
TEST(RDFParserTest, NewsFeedGivesTheEntriesTheWindowsShow) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/news-rss10.xml")), "");
    EXPECT_EQ(rss.XMLType(), xtRDF);
    EXPECT_EQ(rss.Channel().Required().Title(), "Example Valley Evening News");
    EXPECT_EQ(rss.Channel().Required().Link(), "http://news.example.org/");
    EXPECT_EQ(rss.Channel().Required().Desc(),
              "Local news, weather and video reports from the valley.");

    ASSERT_EQ(rss.Items().Count(), 3);
    const TRSSItem& flood = rss.Items().Items(0);
    EXPECT_EQ(flood.Title(), "River rises past the old mill");
    EXPECT_EQ(flood.Link(), "http://news.example.org/watch?v=RiverFlood01");
    EXPECT_EQ(flood.Description(), "Footage of the <b>flooded</b> mill road, filmed at noon.");
    EXPECT_EQ(categoryTitles(flood), (std::vector<std::string>{"Weather", "Floods"}));
    // The items are in the RSS 1.0 namespace and "dc:date" is not, so the
    // child lookup does not see it.
    EXPECT_EQ(flood.PubDate().SourceText(), "");

    EXPECT_EQ(rss.Items().Items(1).Description(), "<p>The council met late into the night.</p>");
    EXPECT_EQ(categoryTitles(rss.Items().Items(1)), std::vector<std::string>{"Politics"});
    EXPECT_EQ(rss.Items().Items(2).Title(), "Harvest fair: the pumpkin contest");
    EXPECT_EQ(rss.Items().Items(2).Link(), "http://news.example.org/watch?v=HarvestFair3");

    const TRSSImage& image = rss.Channel().Optional().Image();
    EXPECT_TRUE(image.Include());
    EXPECT_EQ(image.Required().URL(), "http://news.example.org/images/logo.png");
    EXPECT_EQ(image.Required().Title(), "Example Valley Evening News");
    EXPECT_EQ(image.Required().Link(), "http://news.example.org/");
    // RSS 1.0 spells it "textinput"; only "textInput" is read.
    EXPECT_FALSE(rss.Channel().Optional().TextInput().Include());
    // "dc:language" is not "language".
    EXPECT_EQ(rss.Channel().Optional().Language(), langEN);
}

TEST(RDFParserTest, RootLevelChannelVocabulary) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/channel-vocabulary.xml")), "");
    const TRSSChannel& channel = rss.Channel();
    EXPECT_EQ(channel.Required().Title(), "Night Radio Clips");
    EXPECT_EQ(channel.Required().Desc(), "Clips from the night shift");

    const TRSSChannelOpt& opt = channel.Optional();
    ASSERT_EQ(opt.Categories().Count(), 2); // the one inside "channel" is not read
    EXPECT_EQ(opt.Categories().Items(0).Category(), "Music");
    EXPECT_EQ(opt.Categories().Items(0).Domain(), "http://radio.example.com/topics");
    EXPECT_EQ(opt.Categories().Items(1).Category(), "Talk");
    EXPECT_EQ(opt.Categories().Items(1).Domain(), "");

    EXPECT_EQ(opt.Language(), langX);
    EXPECT_EQ(opt.XLang(), "tlh");
    EXPECT_EQ(opt.Copyright(), "Copyright 2007 Night Radio");
    EXPECT_EQ(opt.ManagingEditor(), "editor@radio.example.com");
    EXPECT_EQ(opt.WebMaster(), "web@radio.example.com");
    EXPECT_EQ(DateText(opt.PubDate().DateTime()), "2007-07-03 22:00:00");
    EXPECT_EQ(DateText(opt.LastBuildDate().DateTime()), "2007-07-04 01:30:15");
    EXPECT_EQ(opt.Generator(), "Radio Publisher 1.0");
    EXPECT_EQ(opt.Docs(), "http://radio.example.com/docs");

    EXPECT_TRUE(opt.Cloud().Include());
    EXPECT_EQ(opt.Cloud().Domain(), "rpc.radio.example.com");
    EXPECT_EQ(opt.Cloud().Port(), 8080);
    EXPECT_EQ(opt.Cloud().Path(), "/RPC2");
    EXPECT_EQ(opt.Cloud().RegisterProcedure(), "ping");
    EXPECT_EQ(opt.Cloud().Protocol(), "xml-rpc");
    EXPECT_EQ(opt.TTL(), 30);

    // Width 200, clamped by the model.
    EXPECT_EQ(Fields(opt.Image()),
              (ImageFields{true, "http://radio.example.com/logo.gif", "Night Radio",
                           "http://radio.example.com/", "The station logo", 144, 31}));
    EXPECT_EQ(opt.Rating(), R"((PICS-1.1 "http://www.example.com/ratings" l r (SS~~000 1)))");

    EXPECT_EQ(Fields(opt.TextInput()), (TextInputFields{true, "Search", "Search the clips", "q",
                                                        "http://radio.example.com/search"}));

    for (int hour = 0; hour < 24; ++hour)
        EXPECT_EQ(opt.SkipHours().Hour(hour), hour == 0 || hour == 7) << hour;
    EXPECT_TRUE(opt.SkipDays().Monday());
    EXPECT_FALSE(opt.SkipDays().Sunday());

    ASSERT_EQ(rss.Items().Count(), 1);
    EXPECT_EQ(rss.Items().Items(0).Title(), "Last call");
}

TEST(RDFParserTest, ItemRows) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/items.xml")), "");
    ASSERT_EQ(rss.Items().Count(), 3);

    const TRSSItem& full = rss.Items().Items(0);
    EXPECT_EQ(full.Title(), "Full item");
    EXPECT_EQ(full.Link(), "http://clips.example.com/watch?v=FullItem001");
    EXPECT_EQ(full.Description(), "Everything an item can hold");
    EXPECT_EQ(full.Author().Name(), "ann@clips.example.com (Ann)");
    EXPECT_EQ(full.Comments(), "http://clips.example.com/comments/1");
    EXPECT_EQ(DateText(full.PubDate().DateTime()), "2008-11-27 10:20:30");
    EXPECT_EQ(full.PubDate().TimeZone(), "Z");
    EXPECT_EQ(Fields(full.Enclosure()),
              (EnclosureFields{true, "http://clips.example.com/1.flv", 123456, "video/x-flv"}));
    EXPECT_TRUE(full.GUID().Include());
    EXPECT_EQ(full.GUID().GUID(), "http://clips.example.com/1");
    EXPECT_TRUE(full.GUID().IsPermaLink());
    EXPECT_EQ(Fields(full.Source()),
              (SourceFields{true, "Other clips", "http://other.example.com/rss"}));
    // Subjects and categories together, in document order.
    EXPECT_EQ(categoryTitles(full), (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_EQ(full.Categories().Items(1).Domain(), "http://clips.example.com/cat");

    // "pubDate" is read after "dc:date" and wins.
    EXPECT_EQ(DateText(rss.Items().Items(1).PubDate().DateTime()), "1994-11-06 08:49:37");
    EXPECT_EQ(DateText(rss.Items().Items(2).PubDate().DateTime()), "2008-11-27 10:20:30");
    EXPECT_EQ(rss.Items().Items(2).PubDate().TimeZone(), "+01:00");
}

// A failure inside an item's guarded group (dates, enclosure, guid, source,
// categories) skips the rest of that group for that item only.
TEST(RDFParserTest, GuardedItemGroupStopsAtItsFirstFailure) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rdf(R"(<channel><title>T</title></channel>
        <item><title>Bad length</title>
          <enclosure url="http://x.example/a.flv" length="big" type="video/x-flv"/>
          <guid>http://x.example/a</guid><category>c</category></item>
        <item><title>Next</title><guid>http://x.example/b</guid></item>)")),
              "");
    ASSERT_EQ(rss.Items().Count(), 2);
    const TRSSItem& bad = rss.Items().Items(0);
    EXPECT_EQ(Fields(bad.Enclosure()), (EnclosureFields{false, "http://x.example/a.flv", 0, ""}));
    EXPECT_FALSE(bad.GUID().Include());
    EXPECT_EQ(bad.Categories().Count(), 0);
    EXPECT_EQ(rss.Items().Items(1).GUID().GUID(), "http://x.example/b");
}

TEST(RDFParserTest, GuidRows) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rdf(R"(<channel/>
        <item><title>capital T</title><guid isPermaLink="True">g1</guid></item>
        <item><title>no text</title><guid isPermaLink="true"/></item>
        <item><title>no attribute</title><guid>g3</guid></item>)")),
              "");
    ASSERT_EQ(rss.Items().Count(), 3);
    EXPECT_TRUE(rss.Items().Items(0).GUID().Include());
    EXPECT_FALSE(rss.Items().Items(0).GUID().IsPermaLink());
    // A guid without text leaves the generated one alone.
    const TRSSItemGUID& untouched = rss.Items().Items(1).GUID();
    EXPECT_FALSE(untouched.Include());
    EXPECT_FALSE(untouched.IsPermaLink());
    EXPECT_EQ(untouched.GUID().size(), 38u);
    EXPECT_EQ(untouched.GUID().front(), '{');
    EXPECT_EQ(rss.Items().Items(2).GUID().GUID(), "g3");
    EXPECT_FALSE(rss.Items().Items(2).GUID().IsPermaLink());
}

// Each root-level channel element is guarded on its own: a failure loses the
// rest of that element and nothing else.
TEST(RDFParserTest, ChannelVocabularyFailuresStayInTheirElement) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rdf(R"(<channel><title>T</title></channel>
        <ttl>soon</ttl>
        <image><url>u</url><title>t</title><link>l</link><description>d</description>
               <width>wide</width><height>20</height></image>
        <cloud domain="d" port="eighty" path="/p"/>
        <copyright>a <b>bold</b> claim</copyright>
        <skipHours><hour>5</hour><hour>6 <b/></hour><hour>8</hour></skipHours>
        <rating>after the failures</rating>
        <item><title>still read</title></item>)")),
              "");
    const TRSSChannelOpt& opt = rss.Channel().Optional();
    EXPECT_EQ(opt.TTL(), 60);
    EXPECT_TRUE(opt.Image().Include());
    EXPECT_EQ(opt.Image().Required().URL(), "u");
    EXPECT_EQ(opt.Image().Optional().Description(), "d");
    EXPECT_EQ(opt.Image().Optional().Height(), 0); // read after the bad width
    EXPECT_EQ(opt.Cloud().Domain(), "d");
    EXPECT_EQ(opt.Cloud().Path(), "");
    EXPECT_EQ(opt.Copyright(), "");
    EXPECT_TRUE(opt.SkipHours().h05());
    EXPECT_FALSE(opt.SkipHours().h08());
    EXPECT_EQ(opt.Rating(), "after the failures");
    ASSERT_EQ(rss.Items().Count(), 1);
}

TEST(RDFParserTest, ChannelElementRows) {
    struct Row {
        const char* comment;
        const char* body;
        const char* title;
        const char* link;
    };
    const Row rows[] = {
        {"a later channel overwrites where it has a value",
         "<channel><title>A</title><link>la</link></channel>"
         "<channel><title>B</title><link/></channel>",
         "B", "la"},
        {"root-level title and link count as the channel's",
         "<channel><title>A</title></channel><title>Root</title><link>lr</link>", "Root", "lr"},
        {"a prefixed title is another element", "<channel><dc:title>D</dc:title></channel>", "",
         ""},
        {"a root without children reads nothing", "", "", ""},
    };
    for (const Row& row : rows) {
        TSimpleRSS rss;
        ASSERT_EQ(LoadError(rss, rdf(row.body)), "") << row.comment;
        EXPECT_EQ(rss.Channel().Required().Title(), row.title) << row.comment;
        EXPECT_EQ(rss.Channel().Required().Link(), row.link) << row.comment;
        EXPECT_EQ(rss.Items().Count(), 0) << row.comment;
    }
}

TEST(RDFParserTest, IncludeFlagsFollowTheElementsContent) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, rdf(R"(<channel/><cloud/><image/><textInput/>
        <language>en-us</language>)")),
              "");
    const TRSSChannelOpt& opt = rss.Channel().Optional();
    EXPECT_FALSE(opt.Cloud().Include());
    EXPECT_FALSE(opt.Image().Include());
    EXPECT_FALSE(opt.TextInput().Include());
    EXPECT_EQ(opt.Language(), langEN_US);
    EXPECT_EQ(opt.XLang(), "");
}

// Markup where a text is expected ends the parse outside the guards; what
// was read before stays.
TEST(RDFParserTest, MarkupInUnguardedTextEndsTheParse) {
    const std::string singleText = "Element does not contain a single text node";
    struct Row {
        const char* comment;
        const char* body;
        int items;
        const char* firstTitle;
    };
    const Row rows[] = {
        {"item title with markup",
         "<channel/><item><title>one</title></item>"
         "<item><title>two <b>bold</b></title></item><item><title>three</title></item>",
         2, "one"},
        {"item comments with markup",
         "<channel/><item><title>one</title><comments>a<b/></comments></item>", 1, "one"},
        {"channel description with markup",
         "<channel><description>x <i>y</i></description></channel><item><title>one</title></item>",
         0, nullptr},
    };
    for (const Row& row : rows) {
        TSimpleRSS rss;
        EXPECT_EQ(LoadError(rss, rdf(row.body)), singleText) << row.comment;
        ASSERT_EQ(rss.Items().Count(), row.items) << row.comment;
        if (row.firstTitle) {
            EXPECT_EQ(rss.Items().Items(0).Title(), row.firstTitle) << row.comment;
        }
    }
}

} // namespace
} // namespace zavrio
