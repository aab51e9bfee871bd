// The rows all four parsers share, run against each format: the texts the
// windows show, the language code and the skip hours.
#include "feed/FeedModel.h"
#include "feed/SimpleRSS.h"
#include "tests/feed/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace zavrio {
namespace {

using parsertest::LoadError;

struct Entry {
    std::string title;
    std::string link;
    std::string description;
};

const Entry Entries[] = {
    {"First clip", "http://www.zavrio.com/watch?v=AAAAAAAAAA1", "<p>first &amp; best</p>"},
    {"Second clip", "http://www.zavrio.com/watch?v=BBBBBBBBBB2", "plain second"},
};

// What a format's document needs around the shared parts.
struct Format {
    const char* name;
    TXMLType type;
    // The document with this channel title, channel-level extra elements and
    // the two entries, the first one with entryExtra at its end.
    std::string (*document)(const std::string& extra, const std::string& entryExtra);
};

std::string rssItems(const std::string& entryExtra) {
    std::string items;
    for (const Entry& e : Entries)
        items += "<item><title>" + e.title + "</title><link>" + e.link +
                 "</link><description><![CDATA[" + e.description + "]]></description>" +
                 (&e == Entries ? entryExtra : "") + "</item>";
    return items;
}

const Format Formats[] = {
    {"RSS", xtRSS,
     [](const std::string& extra, const std::string& entryExtra) {
         return "<rss version=\"2.0\"><channel><title>Shared channel</title>" + extra +
                rssItems(entryExtra) + "</channel></rss>";
     }},
    {"iTunes", xtiTunes,
     [](const std::string& extra, const std::string& entryExtra) {
         return R"(<rss version="2.0" itunes="1"><channel><title>Shared channel</title>)"
                "<link>http://c.example/</link><description>d</description>"
                "<pubDate>Mon, 02 Feb 2009 10:00:00 GMT</pubDate>" +
                extra + rssItems(entryExtra) + "</channel></rss>";
     }},
    {"RDF", xtRDF,
     [](const std::string& extra, const std::string& entryExtra) {
         std::string items;
         for (const Entry& e : Entries)
             items += "<item><title>" + e.title + "</title><link>" + e.link +
                      "</link><description><![CDATA[" + e.description + "]]></description>" +
                      (&e == Entries ? entryExtra : "") + "</item>";
         return R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">)"
                "<channel><title>Shared channel</title></channel>" +
                extra + items + "</rdf:RDF>";
     }},
    {"Atom", xtAtom,
     [](const std::string& extra, const std::string& entryExtra) {
         std::string entries;
         for (const Entry& e : Entries)
             entries += "<entry><title>" + e.title + "</title><link rel=\"alternate\" href=\"" +
                        e.link + "\"/><content type=\"html\"><![CDATA[" + e.description +
                        "]]></content>" + (&e == Entries ? entryExtra : "") + "</entry>";
         return "<feed version=\"0.3\"><title>Shared channel</title>" + extra + entries + "</feed>";
     }},
};

void PrintTo(const Format& format, std::ostream* out) {
    *out << format.name;
}

class FeedFormatsTest : public ::testing::TestWithParam<Format> {};

TEST_P(FeedFormatsTest, EntriesTheWindowsShow) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, GetParam().document("", "")), "");
    EXPECT_EQ(rss.XMLType(), GetParam().type);
    EXPECT_EQ(rss.Channel().Required().Title(), "Shared channel");
    ASSERT_EQ(rss.Items().Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(rss.Items().Items(i).Title(), Entries[i].title);
        EXPECT_EQ(rss.Items().Items(i).Link(), Entries[i].link);
        EXPECT_EQ(rss.Items().Items(i).Description(), Entries[i].description);
    }
}

TEST_P(FeedFormatsTest, LanguageCode) {
    struct Row {
        const char* code;
        TLanguages language;
        const char* xlang;
    };
    // Codes compare exactly: capitals or a blank make an unknown language,
    // whose text is kept.
    for (const Row& row : {Row{"en-us", langEN_US, ""}, Row{"de-ch", langDE_CH, ""},
                           Row{"EN-US", langX, "EN-US"}, Row{"en-us ", langX, "en-us "}}) {
        TSimpleRSS rss;
        ASSERT_EQ(LoadError(rss, GetParam().document(
                                     std::string("<language>") + row.code + "</language>", "")),
                  "")
            << row.code;
        EXPECT_EQ(rss.Channel().Optional().Language(), row.language) << row.code;
        EXPECT_EQ(rss.Channel().Optional().XLang(), row.xlang) << row.code;
    }
}

TEST_P(FeedFormatsTest, SkipHoursAndDays) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, GetParam().document("<skipHours><hour>0</hour><hour>7</hour>"
                                                 "<hour>07</hour><hour>24</hour>"
                                                 "<other>5</other></skipHours>"
                                                 "<skipDays><day>Monday</day><day>sunday</day>"
                                                 "</skipDays>",
                                                 "")),
              "");
    const TRSSChannelOpt& opt = rss.Channel().Optional();
    for (int hour = 0; hour < 24; ++hour)
        EXPECT_EQ(opt.SkipHours().Hour(hour), hour == 0 || hour == 5 || hour == 7) << hour;
    EXPECT_TRUE(opt.SkipDays().Monday());
    EXPECT_FALSE(opt.SkipDays().Sunday());
}

// Every format lists the media files of an entry the same way, beside the
// fields it reads anyway.
TEST_P(FeedFormatsTest, MediaFilesOfAnEntry) {
    const std::string media =
        R"(<enclosure url="http://m.example/a.mp4" length="10" type="video/mp4"/>)"
        R"(<media:group xmlns:media="http://search.yahoo.com/mrss/">)"
        R"(<media:content url="http://m.example/b.webm" type="video/webm"/>)"
        R"(<media:content type="video/mp4"/>)" // no address: nothing to list
        R"(<media:title>a title, no media</media:title></media:group>)"
        // Another prefix, and the namespace without its final slash. (A
        // media:content outside a group is read too, but the podcast format
        // fails on any empty element named content.)
        R"(<m:group xmlns:m="http://search.yahoo.com/mrss">)"
        R"(<m:content url="http://m.example/c" medium="video"/></m:group>)"
        R"(<x:group xmlns:x="http://example.org/not-media">)"
        R"(<x:content url="http://m.example/no.mp4"/></x:group>)"
        R"(<link rel="alternate" type="video/mp4" href="http://m.example/no.mp4"/>)"
        R"(<link rel="enclosure" type="video/mp4" href="http://m.example/d.mp4"/>)";
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, GetParam().document("", media)), "");
    ASSERT_EQ(rss.Items().Count(), 2);
    const TRSSItem& item = rss.Items().Items(0);
    struct Expected {
        TMediaSource source;
        const char* url;
        const char* type;
        const char* medium;
    };
    const Expected expected[] = {
        {msEnclosure, "http://m.example/a.mp4", "video/mp4", ""},
        {msMediaContent, "http://m.example/b.webm", "video/webm", ""},
        {msMediaContent, "http://m.example/c", "", "video"},
        {msAtomEnclosure, "http://m.example/d.mp4", "video/mp4", ""},
    };
    ASSERT_EQ(item.Media().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(item.Media()[i].Source, expected[i].source) << i;
        EXPECT_EQ(item.Media()[i].URL, expected[i].url) << i;
        EXPECT_EQ(item.Media()[i].MediaType, expected[i].type) << i;
        EXPECT_EQ(item.Media()[i].Medium, expected[i].medium) << i;
    }
    EXPECT_EQ(item.Title(), Entries[0].title);
    EXPECT_EQ(item.Link(), Entries[0].link);
    EXPECT_EQ(item.Description(), Entries[0].description);
    EXPECT_EQ(item.Enclosure().URL(), "http://m.example/a.mp4");
    EXPECT_TRUE(rss.Items().Items(1).Media().empty());
}

INSTANTIATE_TEST_SUITE_P(AllFormats, FeedFormatsTest, ::testing::ValuesIn(Formats),
                         [](const ::testing::TestParamInfo<Format>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace zavrio
