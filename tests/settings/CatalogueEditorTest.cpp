#include "settings/CatalogueEditor.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zavrio;

namespace {

const char* const kStart = "; my list\r\n[set]\r\nChannel=1\r\n\r\n"
                           "[feeds]\r\n; news first\r\nNews=http://a.example/rss\r\n"
                           "Sport=https://b.example:8443/feed?x=1=2\r\n\r\n; music below\r\n"
                           "Music=http://c.example/\r\n";

struct Fixture {
    test::TempDirectory dir;
    std::string path = dir.write("zavriofeeds.ini", kStart);
    TMemIniFile file{path};
    std::int32_t channel = file.ReadInteger("set", "Channel", 0);
    CatalogueEditor editor{file, channel};

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const FeedEntry& entry : editor.List())
            result.push_back(entry.Name);
        return result;
    }
};

using Names = std::vector<std::string>;

} // namespace

TEST(CatalogueEditor, ListsTheCatalogueInFileOrder) {
    Fixture f;
    const std::vector<FeedEntry> expected = {{"News", "http://a.example/rss"},
                                             {"Sport", "https://b.example:8443/feed?x=1=2"},
                                             {"Music", "http://c.example/"}};
    EXPECT_EQ(f.editor.List(), expected);
}

TEST(CatalogueEditor, ChangesKeepChannelOnTheSameFeedAndAreWrittenAtOnce) {
    struct Row {
        const char* what;
        std::function<void(CatalogueEditor&)> change;
        Names names;
        std::int32_t channelBefore; // Channel is 1 (Sport) in the file
        std::int32_t channelAfter;
    };
    const Row rows[] = {
        {"add appends",
         [](CatalogueEditor& e) { e.Add("Art", "https://d.example/a&b"); },
         {"News", "Sport", "Music", "Art"},
         1,
         1},
        {"rename",
         [](CatalogueEditor& e) { e.Rename("sport", "Football"); },
         {"News", "Football", "Music"},
         1,
         1},
        {"rename to another letter case",
         [](CatalogueEditor& e) { e.Rename("News", "NEWS"); },
         {"NEWS", "Sport", "Music"},
         1,
         1},
        {"move the current feed",
         [](CatalogueEditor& e) { e.Move("Sport", 3); },
         {"News", "Music", "Sport"},
         1,
         2},
        {"move one from before it past it",
         [](CatalogueEditor& e) { e.Move("News", 3); },
         {"Sport", "Music", "News"},
         1,
         0},
        {"move one from after it before it",
         [](CatalogueEditor& e) { e.Move("Music", 1); },
         {"Music", "News", "Sport"},
         1,
         2},
        {"move one after it further down",
         [](CatalogueEditor& e) { e.MoveAt(2, 2); },
         {"News", "Sport", "Music"},
         1,
         1},
        {"remove one before it",
         [](CatalogueEditor& e) { e.Remove("News"); },
         {"Sport", "Music"},
         1,
         0},
        {"remove one after it",
         [](CatalogueEditor& e) { e.Remove("Music"); },
         {"News", "Sport"},
         1,
         1},
        {"remove the current feed",
         [](CatalogueEditor& e) { e.Remove("Sport"); },
         {"News", "Music"},
         1,
         0},
        // A Channel outside the catalogue already means "the first feed" or
        // "none" to its readers; the editor does not turn it into a feed.
        {"Channel beyond the end stays",
         [](CatalogueEditor& e) { e.Remove("News"); },
         {"Sport", "Music"},
         5,
         5},
        {"negative Channel stays",
         [](CatalogueEditor& e) { e.Move("Music", 1); },
         {"Music", "News", "Sport"},
         -1,
         -1},
    };
    for (const Row& row : rows) {
        Fixture f;
        f.channel = row.channelBefore;
        row.change(f.editor);
        EXPECT_EQ(f.names(), row.names) << row.what;
        EXPECT_EQ(f.channel, row.channelAfter) << row.what;
        // What is on disk is what is in memory, Channel included.
        const TMemIniFile reread(f.path);
        EXPECT_EQ(reread.Serialize(), f.file.Serialize()) << row.what;
        if (row.channelAfter != row.channelBefore)
            EXPECT_EQ(reread.ReadInteger("set", "Channel", -99), row.channelAfter) << row.what;
        else
            EXPECT_EQ(reread.ReadInteger("set", "Channel", -99), 1) << row.what;
    }
}

TEST(CatalogueEditor, EditsLeaveCommentsAndOtherLinesAlone) {
    Fixture f;
    f.editor.Add("Art", "http://d.example/");
    f.editor.Remove("Music");
    f.editor.Rename("Sport", "Football");
    EXPECT_EQ(test::ReadFile(f.path),
              "; my list\r\n[set]\r\nChannel=1\r\n\r\n"
              "[feeds]\r\n; news first\r\nNews=http://a.example/rss\r\n"
              "Football=https://b.example:8443/feed?x=1=2\r\n\r\n; music below\r\n"
              "Art=http://d.example/\r\n\r\n");
}

TEST(CatalogueEditor, RefusesBadInputNamingItAndWritesNothing) {
    struct Row {
        std::function<void(CatalogueEditor&)> change;
        const char* message;
    };
    const Row rows[] = {
        {[](CatalogueEditor& e) { e.Add("", "http://x/"); }, "a feed needs a name"},
        {[](CatalogueEditor& e) { e.Add("music", "http://x/"); },
         "the catalogue already has a feed named \"Music\""},
        {[](CatalogueEditor& e) { e.Add("a=b", "http://x/"); },
         "the feed name \"a=b\" holds \"=\", \"[\", \"]\" or a line break; the file cannot "
         "hold it as a name"},
        {[](CatalogueEditor& e) { e.Add("[x", "http://x/"); }, "the feed name \"[x\" holds"},
        {[](CatalogueEditor& e) { e.Add("x]", "http://x/"); }, "the feed name \"x]\" holds"},
        {[](CatalogueEditor& e) { e.Add("two\nlines", "http://x/"); }, "the feed name \"two"},
        {[](CatalogueEditor& e) { e.Add(" Pad", "http://x/"); },
         "the feed name \" Pad\" begins or ends with a blank; the file would not keep it"},
        {[](CatalogueEditor& e) { e.Add("Pad\t", "http://x/"); }, "the feed name \"Pad\t\" begins"},
        {[](CatalogueEditor& e) { e.Add("Ftp", "ftp://x/feed"); },
         "\"ftp://x/feed\" is not a feed address: it must begin with http:// or https://, name a "
         "host and hold no blanks"},
        {[](CatalogueEditor& e) { e.Add("NoHost", "http:///feed"); }, "\"http:///feed\" is not"},
        {[](CatalogueEditor& e) { e.Add("Relative", "/feed.xml"); }, "\"/feed.xml\" is not"},
        {[](CatalogueEditor& e) { e.Add("Blank", "http://x/a b"); }, "\"http://x/a b\" is not"},
        {[](CatalogueEditor& e) { e.Rename("Nope", "X"); },
         "the catalogue has no feed named \"Nope\""},
        {[](CatalogueEditor& e) { e.Rename("News", "SPORT"); },
         "the catalogue already has a feed named \"Sport\""},
        {[](CatalogueEditor& e) { e.Rename("News", ""); }, "a feed needs a name"},
        {[](CatalogueEditor& e) { e.Move("News", 0); }, "position 0 is outside 1 to 3"},
        {[](CatalogueEditor& e) { e.Move("News", 4); }, "position 4 is outside 1 to 3"},
        {[](CatalogueEditor& e) { e.Move("Nope", 1); }, "the catalogue has no feed named \"Nope\""},
        {[](CatalogueEditor& e) { e.Remove("Nope"); }, "the catalogue has no feed named \"Nope\""},
        {[](CatalogueEditor& e) { e.RemoveAt(3); },
         "there is no feed number 4 in a catalogue of 3"},
    };
    for (const Row& row : rows) {
        Fixture f;
        try {
            row.change(f.editor);
            ADD_FAILURE() << "accepted; expected: " << row.message;
        } catch (const CatalogueError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(row.message, 0), 0u)
                << e.what() << "\n  expected to begin with: " << row.message;
        }
        EXPECT_EQ(test::ReadFile(f.path), kStart) << row.message;
        EXPECT_EQ(f.file.Serialize(), TMemIniFile(f.path).Serialize()) << row.message;
        EXPECT_EQ(f.channel, 1) << row.message;
    }
}

TEST(CatalogueEditor, RepeatedNamesActOnTheLastOneAsTheFileLooksUp) {
    test::TempDirectory dir;
    TMemIniFile file(dir.write("z.ini", "[feeds]\nA=http://first/\nB=http://b/\na=http://last/\n"));
    std::int32_t channel = 0;
    CatalogueEditor editor(file, channel);
    editor.Remove("A");
    const std::vector<FeedEntry> expected = {{"A", "http://first/"}, {"B", "http://b/"}};
    EXPECT_EQ(editor.List(), expected);
}

TEST(CatalogueEditor, AFailedWriteChangesNothing) {
    test::TempDirectory dir;
    // The file's directory is gone: the write cannot happen.
    TMemIniFile file(dir.file("gone/zavriofeeds.ini"));
    std::int32_t channel = 0;
    CatalogueEditor editor(file, channel);
    EXPECT_THROW(editor.Add("A", "http://a/"), FileCreateError);
    EXPECT_TRUE(editor.List().empty());
    EXPECT_EQ(file.Serialize(), "");
}
