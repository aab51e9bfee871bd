#include "tools/Opml.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

using namespace zavrio;

namespace {

using Feeds = std::vector<FeedEntry>;

} // namespace

TEST(Opml, ExportThenImportGivesBackNamesAndAddressesThatNeedEscaping) {
    const Feeds feeds = {
        {"Tom & Jerry's \"best\" <clips>", "http://h.example/f?a=1&b=2"},
        {"Ødegård – vidéos 日本", "https://xn--d-eka.example/rss?q=\"x\"&lt=<"},
        {"Tab\there", "http://t.example/"},
    };
    const std::string opml = WriteOpml(feeds);
    EXPECT_NE(opml.find("<opml version=\"2.0\">"), std::string::npos);
    EXPECT_NE(opml.find("<outline type=\"rss\" text=\"Tom &amp; Jerry's &quot;best&quot; "
                        "&lt;clips&gt;\" title=\"Tom &amp; Jerry's &quot;best&quot; "
                        "&lt;clips&gt;\" xmlUrl=\"http://h.example/f?a=1&amp;b=2\"/>"),
              std::string::npos)
        << opml;
    EXPECT_EQ(ReadOpml(opml, "x.opml"), feeds);
}

TEST(Opml, BytesThatAreNoUtf8StillMakeAWellFormedDocument) {
    const std::string opml = WriteOpml({{"Bad\xff\xc3(Name\x01", "http://h/"}});
    EXPECT_EQ(ReadOpml(opml, "x.opml"), (Feeds{{"Bad\xEF\xBF\xBD\xEF\xBF\xBD(Name", "http://h/"}}));
}

TEST(Opml, ReadsNestedOutlinesInDocumentOrderAndSkipsFolders) {
    const std::string opml = R"(<?xml version="1.0"?>
<opml version="1.0"><head><title>mine</title></head><body>
  <outline text="Videos">
    <outline text="First" xmlUrl="http://a/1"/>
    <outline title="Only a title" xmlUrl="http://a/2">
      <outline xmlUrl="http://a/3"/>
    </outline>
  </outline>
  <outline text="Link only" htmlUrl="http://a/page"/>
  <outline text="" title="Empty text" xmlUrl="http://a/4"/>
  <outline text="Empty address" xmlUrl=""/>
</body></opml>)";
    const Feeds expected = {{"First", "http://a/1"},
                            {"Only a title", "http://a/2"},
                            {"http://a/3", "http://a/3"},
                            {"Empty text", "http://a/4"}};
    EXPECT_EQ(ReadOpml(opml, "x.opml"), expected);
}

TEST(Opml, AFileThatIsNotOpmlFailsNamingIt) {
    const struct {
        const char* bytes;
        const char* message;
    } rows[] = {
        {"<rss version=\"2.0\"><channel/></rss>",
         "\"in.xml\" is not an OPML file: its root element is <rss>, not <opml>"},
        {"Name,Address\nA,http://a/\n", "\"in.xml\" is not an OPML file: "},
        {"", "\"in.xml\" is not an OPML file: "},
    };
    for (const auto& row : rows) {
        try {
            ReadOpml(row.bytes, "in.xml");
            ADD_FAILURE() << "accepted: " << row.bytes;
        } catch (const OpmlError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(row.message, 0), 0u) << e.what();
        }
    }
}

TEST(Opml, ImportSkipsKnownAddressesAndMakesNamesUniqueAndHoldable) {
    test::TempDirectory dir;
    const std::string path =
        dir.write("zavriofeeds.ini", "[feeds]\r\nNews=http://a/1\r\nnews (2)=http://other/\r\n");
    TMemIniFile file(path);
    std::int32_t channel = 0;
    CatalogueEditor editor(file, channel);
    const ImportResult result = ImportFeeds(editor, {
                                                        {"Again", "http://a/1"},
                                                        {"NEWS", "http://b/"},
                                                        {"News", "http://c/"},
                                                        {"Sport=[live]", "http://d/"},
                                                        {"Twice", "http://b/"},
                                                        {"Mail", "mailto:x@y"},
                                                    });
    const Feeds added = {
        {"NEWS (3)", "http://b/"}, {"News (4)", "http://c/"}, {"Sport  live", "http://d/"}};
    EXPECT_EQ(result.Added, added);
    ASSERT_EQ(result.Skipped.size(), 3u);
    EXPECT_EQ(result.Skipped[0].second, "already in the catalogue");
    EXPECT_EQ(result.Skipped[1].first.Name, "Twice");
    EXPECT_EQ(result.Skipped[2].second.rfind("\"mailto:x@y\" is not a feed address", 0), 0u);
    EXPECT_EQ(TMemIniFile(path).ReadSectionPairs("feeds").size(), 5u);
}
