#include "settings/MemIniFile.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using zavrio::TMemIniFile;

namespace {

TMemIniFile load(const zavrio::test::TempDirectory& dir, const std::string& text) {
    return TMemIniFile(dir.write("test.ini", text));
}

} // namespace

TEST(MemIniFile, ParsesTrimsAndDropsCommentsAndLinesBeforeTheFirstSection) {
    zavrio::test::TempDirectory dir;
    auto ini = load(dir, "orphan=1\n; note\r\n  [ Set ]  \r"
                         "  Loop  =  1  \n\n\tKey = a = b \r\n;Key=zzz\n");
    EXPECT_EQ(ini.ReadString("set", "loop", "?"), "1");
    EXPECT_EQ(ini.ReadString("SET", "key", "?"), "a = b"); // value keeps later "="
    EXPECT_EQ(ini.ReadString("set", "orphan", "?"), "?");
    EXPECT_EQ(ini.ReadString("none", "loop", "dflt"), "dflt");
    // Comment, blank and leading lines hold no keys but are written back.
    EXPECT_EQ(ini.Serialize(),
              "orphan=1\r\n; note\r\n[Set]\r\nLoop=1\r\n\r\nKey=a = b\r\n;Key=zzz\r\n");
}

TEST(MemIniFile, LastOccurrenceOfSectionAndKeyWins) {
    zavrio::test::TempDirectory dir;
    auto ini = load(dir, "[feeds]\nA=first\nB=b\nA=second\n[x]\n[FEEDS]\nC=c\n");
    // The second "feeds" section hides the first one entirely.
    std::vector<std::string> keys{"stale"};
    ini.ReadSection("feeds", keys);
    EXPECT_EQ(keys, std::vector<std::string>{"C"});
    EXPECT_EQ(ini.ReadString("feeds", "A", ""), "");

    auto one = load(dir, "[feeds]\nA=first\nnoequals\nA=second\n");
    one.ReadSection("Feeds", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"A", "", "A"}));
    EXPECT_EQ(one.ReadString("feeds", "a", ""), "second");
    EXPECT_EQ(one.ReadString("feeds", "", "?"), ""); // the line without "=" has no value

    // The pairs agree with ReadSection and ReadString key by key.
    const auto pairs = one.ReadSectionPairs("FEEDS");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"A", "second"}, {"", ""}, {"A", "second"}};
    EXPECT_EQ(pairs, expected);
    auto cased = load(dir, "[feeds]\nNews=old\nnews=new\nX=1=2\n");
    const std::vector<std::pair<std::string, std::string>> casedExpected = {
        {"News", "new"}, {"news", "new"}, {"X", "1=2"}};
    EXPECT_EQ(cased.ReadSectionPairs("feeds"), casedExpected);
    EXPECT_TRUE(cased.ReadSectionPairs("missing").empty());

    one.WriteString("feeds", "A", "third");
    EXPECT_EQ(one.Serialize(), "[feeds]\r\nA=first\r\nnoequals\r\nA=third\r\n\r\n");
    ini.ReadSection("missing", keys);
    EXPECT_TRUE(keys.empty());
}

TEST(MemIniFile, ReadsIntegersAndBooleans) {
    struct Row {
        const char* stored;
        int asInteger;  // default 7
        bool asBoolean; // default true
    };
    const Row rows[] = {
        {"12", 12, true},        {"-1", -1, true},         {"2", 2, true},     {"0", 0, false},
        {"0x0", 0, false},       {"0X1f", 31, true},       {"$ff", 255, true}, {"0x", 7, true},
        {"yes", 7, true},        {"true", 7, true},        {"", 7, true},      {"1.5", 7, true},
        {"2147483648", 7, true}, {"0xFFFFFFFF", -1, true},
    };
    for (const Row& row : rows) {
        zavrio::test::TempDirectory dir;
        auto ini = load(dir, std::string("[s]\nk=") + row.stored + "\n");
        EXPECT_EQ(ini.ReadInteger("s", "k", 7), row.asInteger) << row.stored;
        EXPECT_EQ(ini.ReadBool("s", "k", true), row.asBoolean) << row.stored;
        EXPECT_FALSE(ini.ReadBool("s", "missing", false));
    }
}

TEST(MemIniFile, WritesNewSectionsAndKeysAtTheEnd) {
    zavrio::test::TempDirectory dir;
    auto ini = load(dir, "[a]\nx=1\n");
    ini.WriteInteger("b", "n", -5);
    ini.WriteBool("A", "y", true);
    ini.WriteString("a", "X", "2");
    EXPECT_EQ(ini.Serialize(), "[a]\r\nX=2\r\ny=1\r\n\r\n[b]\r\nn=-5\r\n\r\n");
}

TEST(MemIniFile, MissingFileIsEmptyAndUpdateCreatesIt) {
    zavrio::test::TempDirectory dir;
    TMemIniFile ini(dir.file("new.ini"));
    EXPECT_EQ(ini.Serialize(), "");
    ini.WriteString("set", "Loop", "1");
    ini.UpdateFile();
    EXPECT_EQ(zavrio::test::ReadFile(dir.file("new.ini")), "[set]\r\nLoop=1\r\n\r\n");
}

TEST(MemIniFile, UnreadableFileFailsWithItsPath) {
    zavrio::test::TempDirectory dir;
    // A directory where the file should be cannot be read as a file.
    std::filesystem::create_directory(dir.file("dir.ini"));
    try {
        TMemIniFile ini(dir.file("dir.ini"));
        FAIL() << "no error for a directory";
    } catch (const zavrio::FileOpenError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + dir.file("dir.ini") + "\". Is a directory");
    }
}

TEST(MemIniFile, FailedWriteBackKeepsTheOldFileAndNamesIt) {
    zavrio::test::TempDirectory dir;
    std::string path = dir.write("z.ini", "[feeds]\nKeep=http://x/\n");
    TMemIniFile ini(path);
    ini.WriteString("set", "Loop", "1");
    // The directory refuses new files: the temporary copy cannot be created.
    // (Mode bits do not stop root, so a missing directory stands in.)
    TMemIniFile elsewhere(dir.file("gone/z.ini"));
    try {
        elsewhere.UpdateFile();
        FAIL() << "no error for an unwritable place";
    } catch (const zavrio::FileCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir.file("gone/z.ini") +
                                             "\". No such file or directory");
    }
    ini.UpdateFile();
    EXPECT_EQ(zavrio::test::ReadFile(path),
              "[feeds]\r\nKeep=http://x/\r\n\r\n[set]\r\nLoop=1\r\n\r\n");
    // Nothing but the file itself is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(MemIniFile, WriteBackKeepsTheFileMode) {
    zavrio::test::TempDirectory dir;
    std::string path = dir.write("z.ini", "[s]\n");
    ::chmod(path.c_str(), 0600);
    TMemIniFile ini(path);
    ini.UpdateFile();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(MemIniFile, KeepsCommentsBlankLinesAndLeadingLinesWhereTheyWere) {
    const std::string text = "# written by hand\n\n[set]\n  ; indented note \nLoop = 1\n\n"
                             "\n; the catalogue\n[feeds]\n;A=old\nA=http://a/\n\t\n; end\n";
    auto ini = TMemIniFile::FromText("z.ini", text);
    std::vector<std::string> keys;
    ini.ReadSection("feeds", keys);
    EXPECT_EQ(keys, std::vector<std::string>{"A"}); // a comment is never a key
    EXPECT_EQ(ini.ReadString("feeds", ";A", "?"), "?");

    ini.WriteString("set", "Loop", "0"); // changed in place
    ini.WriteString("set", "HD", "1");   // after the last stored line, before the blanks
    ini.WriteString("feeds", "B", "x");  // the same in a section that ends with a comment
    ini.WriteString("other", "k", "v");  // a new section at the end
    EXPECT_EQ(ini.Serialize(), "# written by hand\r\n\r\n[set]\r\n  ; indented note \r\n"
                               "Loop=0\r\nHD=1\r\n\r\n\r\n; the catalogue\r\n"
                               "[feeds]\r\n;A=old\r\nA=http://a/\r\nB=x\r\n\t\r\n; end\r\n"
                               "[other]\r\nk=v\r\n\r\n");
}

TEST(MemIniFile, AFileItWroteReadsAndWritesBackByteForByte) {
    const char* const texts[] = {
        "[a]\r\nx=1\r\n\r\n[b]\r\n\r\n",
        "; top\r\n\r\n[a]\r\n; note\r\nx=1\r\n\r\n\r\n[b]\r\ny=2\r\n  \r\n",
        "lead\r\n",
    };
    for (const char* text : texts) {
        const auto ini = TMemIniFile::FromText("z.ini", text);
        EXPECT_EQ(ini.Serialize(), text);
    }
    // A file written elsewhere settles after one write: the second is the same.
    const auto once = TMemIniFile::FromText("z.ini", "[a]\nx = 1\n[b]\n;c\n[c]").Serialize();
    EXPECT_EQ(once, "[a]\r\nx=1\r\n\r\n[b]\r\n;c\r\n[c]\r\n\r\n");
    EXPECT_EQ(TMemIniFile::FromText("z.ini", once).Serialize(), once);
}

TEST(MemIniFile, EditsLinesByPositionAroundKeptLines) {
    auto ini = TMemIniFile::FromText("z.ini", "[feeds]\n; news\nA=1\n; sport\nB=2\nA=3\n\n");
    ini.InsertLine("feeds", 3, "C", "4"); // at the end: after the last stored line
    ini.InsertLine("feeds", 1, "D", "5"); // before B, after the "sport" comment
    ini.ReplaceLine("feeds", 0, "a", "6");
    ini.RemoveLine("feeds", 3); // the second A
    EXPECT_EQ(ini.Serialize(), "[feeds]\r\n; news\r\na=6\r\n; sport\r\nD=5\r\nB=2\r\nC=4\r\n\r\n");
    EXPECT_THROW(ini.RemoveLine("feeds", 4), std::out_of_range);
    EXPECT_THROW(ini.InsertLine("feeds", 6, "E", "7"), std::out_of_range);
    EXPECT_THROW(ini.ReplaceLine("missing", 0, "E", "7"), std::out_of_range);

    // A section with only comments takes its first line below the comments
    // under its header; a missing section is made at the end.
    auto empty = TMemIniFile::FromText("z.ini", "[feeds]\n; add feeds here\n\n; set\n[set]\n");
    empty.InsertLine("feeds", 0, "A", "1");
    empty.InsertLine("new", 0, "B", "2");
    EXPECT_EQ(empty.Serialize(), "[feeds]\r\n; add feeds here\r\nA=1\r\n\r\n; set\r\n"
                                 "[set]\r\n\r\n[new]\r\nB=2\r\n\r\n");
}
