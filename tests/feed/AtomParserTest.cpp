#include "feed/FeedModel.h"
#include "feed/SimpleRSS.h"
#include "tests/feed/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace zavrio {
namespace {

using namespace parsertest;

const std::string DataDir = ZAVRIO_ATOM_DATA;

std::string atom(const std::string& body) {
    return "<feed version=\"0.3\">" + body + "</feed>";
}

TEST(AtomParserTest, Atom03WeblogWithBase64AndEscapedContent) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/weblog-atom03.xml")), "");
    EXPECT_EQ(rss.XMLType(), xtAtom);
    EXPECT_EQ(rss.Version(), "0.3");
    EXPECT_EQ(rss.Channel().Required().Title(), "Harbour Kite Club video log");
    EXPECT_EQ(rss.Channel().Required().Link(), "http://kites.example.net/");
    EXPECT_EQ(rss.Channel().Required().Desc(),
              "Clips from the harbour kite club, posted after every meeting");
    EXPECT_EQ(rss.Channel().Optional().Generator(), "Example Blog Engine");
    EXPECT_EQ(DateText(rss.Channel().Optional().PubDate().DateTime()), "2005-07-31 12:29:29");

    ASSERT_EQ(rss.Items().Count(), 3);
    const TRSSItem& dawn = rss.Items().Items(0);
    EXPECT_EQ(dawn.Title(), "Dawn session on the north beach");
    EXPECT_EQ(dawn.Link(), "http://kites.example.net/watch?v=DawnKites05");
    EXPECT_EQ(dawn.Description(), "<p>Kites over the <em>north beach</em> at dawn.</p>");
    EXPECT_EQ(dawn.Author().Name(), "Rene Harbour");
    EXPECT_EQ(dawn.Author().EMail(), "rene@kites.example.net");
    EXPECT_EQ(dawn.Author().URL(), "http://kites.example.net/rene");
    EXPECT_EQ(dawn.GUID().GUID(), "tag:kites.example.net,2005:/log/41");
    EXPECT_TRUE(dawn.GUID().Include());
    EXPECT_EQ(DateText(dawn.PubDate().DateTime()), "2005-07-31 10:20:30");
    EXPECT_EQ(dawn.ContentType(), ctText); // "type" is not read

    EXPECT_EQ(rss.Items().Items(1).Description(), "<p>Needle, thread and <b>patience</b>.</p>");
    EXPECT_EQ(rss.Items().Items(1).Link(), "http://kites.example.net/watch?v=SailRepair7");
    EXPECT_EQ(rss.Items().Items(2).Description(), "Sandwiches, a storm and one very lost kite.");
}

// Atom 1.0 is read where its names agree with the tables.
TEST(AtomParserTest, Atom10VideoFeedWithAlternateLinks) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/videos-atom10.xml")), "");
    EXPECT_EQ(rss.XMLType(), xtAtom);
    EXPECT_EQ(rss.Channel().Required().Title(), "Uploads by mountaincam");
    // At feed level the last "link" with an "href" wins, here rel="self".
    EXPECT_EQ(rss.Channel().Required().Link(),
              "http://video.example.com/feeds/base/users/mountaincam/uploads");
    EXPECT_EQ(rss.Channel().Optional().Generator(), "Example Video Service");

    ASSERT_EQ(rss.Items().Count(), 3);
    const TRSSItem& snow = rss.Items().Items(0);
    EXPECT_EQ(snow.Title(), "Snow on the ridge, time lapse");
    EXPECT_EQ(snow.Link(), "http://video.example.com/watch?v=SnowRidge01");
    EXPECT_EQ(snow.Description(), "<div>Six hours of snowfall in <b>two minutes</b>.</div>");
    EXPECT_EQ(snow.Author().Name(), "mountaincam");
    EXPECT_EQ(snow.GUID().GUID(), "http://video.example.com/feeds/videos/SnowRidge01");
    // Atom 1.0 keeps a category's name in "term", which is not read.
    ASSERT_EQ(snow.Categories().Count(), 1);
    EXPECT_EQ(snow.Categories().Items(0).Title(), "");

    EXPECT_EQ(rss.Items().Items(1).Link(), "http://video.example.com/watch?v=LakeSunset2");
    EXPECT_EQ(rss.Items().Items(1).Description(), "Calm water, one boat, no words.");
    EXPECT_EQ(rss.Items().Items(2).Link(), "http://video.example.com/watch?v=ValleyFog33");
    EXPECT_EQ(rss.Items().Items(2).Description(), "Fog lifting from the valley floor.");
}

TEST(AtomParserTest, EntryRows) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/entries.xml")), "");
    ASSERT_EQ(rss.Items().Count(), 5);

    const TRSSItem& full = rss.Items().Items(0);
    EXPECT_EQ(full.Title(), "Full entry");
    EXPECT_EQ(full.Link(), "http://clips.example.com/watch?v=FullEntry01");
    EXPECT_EQ(full.Description(), "Hello, <b>world</b>!");
    EXPECT_EQ(full.Author().Name(), "Ann Example");
    EXPECT_EQ(full.Author().EMail(), "ann@clips.example.com");
    EXPECT_EQ(full.Author().URL(), "http://clips.example.com/ann");
    EXPECT_EQ(full.Comments(), "http://clips.example.com/comments/1");
    EXPECT_EQ(DateText(full.PubDate().DateTime()), "2008-11-27 10:20:30");
    EXPECT_EQ(Fields(full.Enclosure()),
              (EnclosureFields{true, "http://clips.example.com/1.flv", 987654, "video/x-flv"}));
    EXPECT_TRUE(full.GUID().Include());
    EXPECT_EQ(full.GUID().GUID(), "tag:clips.example.com,2008:1");
    EXPECT_EQ(Fields(full.Source()),
              (SourceFields{true, "Other clips", "http://other.example.com/atom"}));
    ASSERT_EQ(full.Categories().Count(), 2);
    EXPECT_EQ(full.Categories().Items(0).Title(), "One");
    EXPECT_EQ(full.Categories().Items(0).Domain(), "http://clips.example.com/cat");
    EXPECT_EQ(full.Categories().Items(1).Title(), "Two"); // prefixed, same local name

    const TRSSItem& dates = rss.Items().Items(1);
    EXPECT_EQ(DateText(dates.PubDate().DateTime()), "1994-11-06 08:49:37"); // pubDate read last
    EXPECT_EQ(dates.Description(), "only a summary");
    EXPECT_EQ(rss.Items().Items(2).Description(), "");         // an empty "content" still wins
    EXPECT_EQ(rss.Items().Items(3).Description(), "SGVsbG8="); // not base64 mode
    EXPECT_EQ(rss.Items().Items(4).Link(), "");                // only the first "link" is looked at
    ASSERT_EQ(rss.Items().Items(4).Categories().Count(), 1);
    EXPECT_EQ(rss.Items().Items(4).Categories().Items(0).Domain(), "");
}

TEST(AtomParserTest, FeedLevelAndChannelVocabulary) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, ReadFixture(DataDir + "/channel-vocabulary.xml")), "");
    const TRSSChannel& channel = rss.Channel();
    EXPECT_EQ(channel.Required().Title(), "Feed rows");
    EXPECT_EQ(channel.Required().Link(), "http://clips.example.com/atom.xml");
    EXPECT_EQ(channel.Required().Desc(), "Short clips, every day");
    EXPECT_EQ(channel.Optional().Generator(), "Clip Generator 2");
    EXPECT_EQ(DateText(channel.Optional().PubDate().DateTime()), "2004-05-06 07:08:09");
    EXPECT_EQ(channel.Optional().PubDate().TimeZone(), "-04:00");

    const TRSSChannelOpt& opt = channel.Optional();
    EXPECT_EQ(opt.Language(), langPT_BR);
    EXPECT_EQ(opt.TTL(), 15);
    // Height 500, clamped by the model.
    EXPECT_EQ(Fields(opt.Image()), (ImageFields{true, "http://clips.example.com/logo.png", "Clips",
                                                "http://clips.example.com/", "Logo", 88, 400}));
    EXPECT_EQ(opt.Rating(), "PG");
    EXPECT_EQ(Fields(opt.TextInput()),
              (TextInputFields{true, "Find", "Find a clip", "s", "http://clips.example.com/find"}));
    EXPECT_TRUE(opt.SkipHours().h23());
    EXPECT_TRUE(opt.SkipHours().h00());
    EXPECT_FALSE(opt.SkipHours().h01());
    EXPECT_TRUE(opt.SkipDays().Saturday());
    EXPECT_TRUE(opt.SkipDays().Sunday());
    EXPECT_FALSE(opt.SkipDays().Monday());
    EXPECT_EQ(opt.Copyright(), "");
    EXPECT_EQ(rss.Items().Count(), 0);
}

TEST(AtomParserTest, HeadIsTheContainerWhenPresent) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, atom(R"(<title>root title</title>
        <head><title>head title</title><entry><title>inside</title></entry></head>
        <entry><title>beside head</title></entry>)")),
              "");
    EXPECT_EQ(rss.Channel().Required().Title(), "head title");
    ASSERT_EQ(rss.Items().Count(), 1);
    EXPECT_EQ(rss.Items().Items(0).Title(), "inside");
}

TEST(AtomParserTest, FeedLinkRows) {
    struct Row {
        const char* comment;
        const char* links;
        const char* link;
    };
    const Row rows[] = {
        {"the second href wins", R"(<link href="a"/><link href="b"/>)", "b"},
        {"a link without href changes nothing", R"(<link href="a"/><link rel="x"/>)", "a"},
        {"an empty href overwrites with empty text", R"(<link href="a"/><link href=""/>)", ""},
    };
    for (const Row& row : rows) {
        TSimpleRSS rss;
        ASSERT_EQ(LoadError(rss, atom(row.links)), "") << row.comment;
        EXPECT_EQ(rss.Channel().Required().Link(), row.link) << row.comment;
    }
}

// A failure in an entry's guarded group (dates, enclosure, id, source,
// categories) skips the rest of the group for that entry only.
TEST(AtomParserTest, GuardedEntryGroupStopsAtItsFirstFailure) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, atom(R"(
        <entry><title>Bad length</title>
          <enclosure url="http://x.example/a.flv" length="many" type="video/x-flv"/>
          <id>tag:x</id><pubDate>Sun, 06 Nov 1994 08:49:37 GMT</pubDate>
          <source url="http://s.example/">S</source><category>c</category></entry>
        <entry><title>Next</title><id>tag:y</id></entry>)")),
              "");
    ASSERT_EQ(rss.Items().Count(), 2);
    const TRSSItem& bad = rss.Items().Items(0);
    EXPECT_EQ(Fields(bad.Enclosure()), (EnclosureFields{false, "http://x.example/a.flv", 0, ""}));
    EXPECT_FALSE(bad.GUID().Include());
    EXPECT_EQ(bad.PubDate().SourceText(), "");
    EXPECT_FALSE(bad.Source().Include());
    EXPECT_EQ(bad.Categories().Count(), 0);
    EXPECT_EQ(rss.Items().Items(1).GUID().GUID(), "tag:y");
}

TEST(AtomParserTest, ChannelVocabularyFailuresStayInTheirElement) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, atom(R"(
        <image><url>first</url><title>t</title></image>
        <image/>
        <ttl>15 minutes</ttl>
        <textInput><title>a <b>b</b></title><name>n</name></textInput>
        <language>EN-US</language>
        <entry><title>still read</title></entry>)")),
              "");
    const TRSSChannelOpt& opt = rss.Channel().Optional();
    // The later, empty "image" clears Include; the first one's URL stays.
    EXPECT_FALSE(opt.Image().Include());
    EXPECT_EQ(opt.Image().Required().URL(), "first");
    EXPECT_EQ(opt.TTL(), 60);
    EXPECT_TRUE(opt.TextInput().Include());
    EXPECT_EQ(opt.TextInput().TextInputName(), "");
    EXPECT_EQ(opt.Language(), langX);
    EXPECT_EQ(opt.XLang(), "EN-US");
    EXPECT_EQ(rss.Items().Count(), 1);
}

TEST(AtomParserTest, PrefixedEntryIsNotAnEntry) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, R"(<feed xmlns:atom="http://purl.org/atom/ns#">)"
                             R"(<atom:entry><atom:title>x</atom:title></atom:entry></feed>)"),
              "");
    EXPECT_EQ(rss.Items().Count(), 0);
}

// Outside the guards a text holding markup, or base64 content of the wrong
// length, ends the parse; the entries before it stay.
TEST(AtomParserTest, FailuresThatEndTheParse) {
    const std::string singleText = "Element does not contain a single text node";
    struct Row {
        const char* comment;
        const char* body;
        std::string error;
        int items;
    };
    const Row rows[] = {
        {"feed title with XHTML markup",
         R"(<title type="xhtml"><div>A <b>B</b></div></title><entry><title>e</title></entry>)",
         singleText, 0},
        {"entry content whose first child holds markup",
         R"(<entry><title>ok</title></entry>
            <entry><title>x</title><content type="xhtml"><div>A <b>B</b></div></content></entry>
            <entry><title>never</title></entry>)",
         singleText, 2},
        {"author name with markup",
         R"(<entry><title>x</title><author><name>A <i>B</i></name></author></entry>)", singleText,
         1},
        {"base64 content of uneven length",
         R"(<entry><title>ok</title></entry>
            <entry><title>x</title><content mode="base64">SGVsbG8</content></entry>)",
         "Uneven size in DecodeToStream.", 2},
    };
    for (const Row& row : rows) {
        TSimpleRSS rss;
        EXPECT_EQ(LoadError(rss, atom(row.body)), row.error) << row.comment;
        ASSERT_EQ(rss.Items().Count(), row.items) << row.comment;
        if (row.items > 1) {
            EXPECT_EQ(rss.Items().Items(0).Title(), "ok") << row.comment;
        }
    }
}

// An XHTML content element holding only text has one child, the div, whose
// single text node is the description.
TEST(AtomParserTest, ContentWhoseFirstChildHoldsOnlyText) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, atom(R"(<entry><title>x</title>
        <content type="xhtml"><div>plain words</div></content></entry>)")),
              "");
    ASSERT_EQ(rss.Items().Count(), 1);
    EXPECT_EQ(rss.Items().Items(0).Description(), "plain words");
}

} // namespace
} // namespace zavrio
