// The registry store: reads, writes, typed values, refused access, the file
// format and the system-folder look-ups, each against a temporary store root.

#include "TempDirectory.h"
#include "platform/RegistryFile.h"
#include "platform/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace zavrio {
namespace {

const char kDesktop[] = "\\Control Panel\\Desktop";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryRoot(store.path()); }
    void TearDown() override { SetRegistryRoot(""); }

    std::string userFile() const { return store / "HKEY_CURRENT_USER.reg"; }
    std::string machineFile() const { return store / "HKEY_LOCAL_MACHINE.reg"; }

    test::TempDirectory store;
};

TEST_F(Registry, WrittenStringsReadBackUnderEitherRoot) {
    RegWriteString(HKEY_CURRENT_USER, kDesktop, "SCRNSAVE.EXE", "/opt/zavrio/zavrio.scr");
    RegWriteString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\Windows\\CurrentVersion",
                   "ProgramFilesDir", "C:\\Program Files");

    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "SCRNSAVE.EXE"), "/opt/zavrio/zavrio.scr");
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\Windows\\CurrentVersion",
                            "ProgramFilesDir"),
              "C:\\Program Files");
    // The roots are separate files and do not see each other's keys.
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, kDesktop, "SCRNSAVE.EXE"), "");
    EXPECT_TRUE(std::filesystem::exists(userFile()));
    EXPECT_TRUE(std::filesystem::exists(machineFile()));
}

TEST_F(Registry, KeysAndValueNamesIgnoreLetterCaseAndKeepFirstSpelling) {
    RegWriteString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive", "1");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "\\CONTROL PANEL\\desktop", "SCREENSAVEACTIVE"),
              "1");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "control panel\\Desktop\\", "screensaveactive"),
              "1");

    RegWriteString(HKEY_CURRENT_USER, "\\control panel\\DESKTOP", "screensaveactive", "0");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive"), "0");
    const std::string text = test::ReadFile(userFile());
    EXPECT_NE(text.find("[Control Panel\\Desktop]"), std::string::npos) << text;
    EXPECT_NE(text.find("\"ScreenSaveActive\"=string:\"0\""), std::string::npos) << text;
    EXPECT_EQ(text.find("DESKTOP"), std::string::npos) << text;
}

TEST_F(Registry, MissingThingsReadAsEmpty) {
    // No file at all.
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "SCRNSAVE.EXE"), "");
    RegWriteString(HKEY_CURRENT_USER, kDesktop, "SCRNSAVE.EXE", "x");
    // Missing value, missing key, missing default value.
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive"), "");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "\\Control Panel\\Mouse", "SCRNSAVE.EXE"), "");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, ""), "");
    // A key on the way to a written one exists, with nothing in it.
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "\\Control Panel", "SCRNSAVE.EXE"), "");
    // An unknown root opens nothing and writes nothing.
    RegWriteString(static_cast<HKEY>(0x80000003u), kDesktop, "a", "b");
    EXPECT_EQ(RegReadString(static_cast<HKEY>(0x80000003u), kDesktop, "a"), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Registry, EmptyValueNameIsTheDefaultValue) {
    RegWriteString(HKEY_CURRENT_USER, "\\Software\\Zavrio", "", "default text");
    RegWriteString(HKEY_CURRENT_USER, "\\Software\\Zavrio", "Named", "named text");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "\\Software\\Zavrio", ""), "default text");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "\\Software\\Zavrio", "Named"), "named text");
    EXPECT_NE(test::ReadFile(userFile()).find("@=string:\"default text\""), std::string::npos);
}

TEST_F(Registry, NonStringValueRaisesInvalidDataType) {
    test::WriteFile(userFile(), "[Control Panel\\Desktop]\n"
                                "\"Count\"=dword:0000002a\n"
                                "\"Blob\"=binary:00ff\n"
                                "@=dword:00000001\n"
                                "\"Path\"=expand:\"%HOME%\\\\bin\"\n");
    struct Case {
        const char* name;
        const char* message;
    };
    const Case cases[] = {
        {"Count", "Invalid data type for 'Count'"},
        {"blob", "Invalid data type for 'blob'"},
        {"", "Invalid data type for ''"},
    };
    for (const Case& c : cases) {
        try {
            RegReadString(HKEY_CURRENT_USER, kDesktop, c.name);
            ADD_FAILURE() << "no error for " << c.name;
        } catch (const RegistryError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    // An expandable string is a string type.
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "Path"), "%HOME%\\bin");

    // Writing a string over a number replaces the value and its type; the
    // other values of the file survive the rewrite.
    RegWriteString(HKEY_CURRENT_USER, kDesktop, "Count", "42");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "Count"), "42");
    const std::string text = test::ReadFile(userFile());
    EXPECT_NE(text.find("\"Blob\"=binary:00ff"), std::string::npos) << text;
    EXPECT_NE(text.find("@=dword:00000001"), std::string::npos) << text;
}

TEST_F(Registry, ReadOnlyRootFileRefusesAllAccessOpening) {
    RegWriteString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\Windows\\CurrentVersion",
                   "ProgramFilesDir", "C:\\Program Files (x86)");
    ASSERT_TRUE(IsX86ProgramFiles());
    ASSERT_EQ(::chmod(machineFile().c_str(), 0444), 0);
    const std::string before = test::ReadFile(machineFile());

    // The read gives "" and the system-folder look-up gives up, as where a
    // user may not write that key.
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\Windows\\CurrentVersion",
                            "ProgramFilesDir"),
              "");
    EXPECT_FALSE(IsX86ProgramFiles());
    // Writing does nothing and raises nothing.
    EXPECT_NO_THROW(RegWriteString(HKEY_LOCAL_MACHINE, "\\Software", "x", "y"));
    EXPECT_EQ(test::ReadFile(machineFile()), before);
}

TEST_F(Registry, StoreThatCannotBeCreatedWritesNothingAndRaisesNothing) {
    test::WriteFile(store / "plain-file", "not a directory");
    SetRegistryRoot(store / "plain-file/registry");
    EXPECT_NO_THROW(RegWriteString(HKEY_CURRENT_USER, kDesktop, "SCRNSAVE.EXE", "x"));
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "SCRNSAVE.EXE"), "");
}

TEST_F(Registry, MissingStoreDirectoryIsCreatedOnFirstWrite) {
    SetRegistryRoot(store / "deep/er/registry/");
    RegWriteString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive", "1");
    EXPECT_EQ(RegistryRoot(), store / "deep/er/registry");
    EXPECT_TRUE(std::filesystem::exists(store / "deep/er/registry/HKEY_CURRENT_USER.reg"));
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive"), "1");
}

TEST_F(Registry, FailedStoreRaisesFailedToSetDataAndKeepsTheFile) {
    RegWriteString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive", "1");
    const std::string before = test::ReadFile(userFile());
    // A file-size limit below the store's size makes the write fail after
    // the key was opened (and fails for the superuser too, unlike
    // permissions).
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{8, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    try {
        RegWriteString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive", "0");
        ADD_FAILURE() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'ScreenSaveActive'");
    }
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(test::ReadFile(userFile()), before);
    // Nothing of the failed write is left beside the store.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Registry, DamagedFileIsNeitherReadNorOverwritten) {
    const std::string damaged = "[Control Panel\\Desktop]\n\"ScreenSaveActive\"=string:\"1\n";
    test::WriteFile(userFile(), damaged);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive"), "");
    EXPECT_NO_THROW(RegWriteString(HKEY_CURRENT_USER, kDesktop, "ScreenSaveActive", "0"));
    EXPECT_EQ(test::ReadFile(userFile()), damaged);
}

TEST_F(Registry, AnyBytesSurviveTheFileRoundTrip) {
    const std::string awkward[] = {
        "line\nbreak\r\nand \"quotes\" and \\back\\slashes\\",
        std::string("nul\0inside", 10),
        "\x01\x1f\x7f tab\t",
        "\xC3\xA4 UTF-8 \xE2\x82\xAC",
        "",
    };
    for (const std::string& text : awkward) {
        RegWriteString(HKEY_CURRENT_USER, "\\Odd [key] 100%\\\x01name", text, text);
        EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "\\Odd [key] 100%\\\x01name", text), text);
    }
    // Every line of the file stays one line, whatever the names held.
    RegistryFile reread = RegistryFile::Parse(test::ReadFile(userFile()), userFile());
    EXPECT_NE(reread.FindValue({"Odd [key] 100%", "\x01name"}, "line\nbreak\r\nand \"quotes\" and "
                                                               "\\back\\slashes\\"),
              nullptr);
}

TEST(RegistryFile, ParseRejectsMalformedLinesNamingThem) {
    const char* bad[] = {
        "\"a\"=string:\"b\"\n",                          // value before any key
        "[k]\n\"a\"=string:\"b\n",                       // unterminated text
        "[k]\n\"a\"=number:1\n",                         // unknown type
        "[k]\n\"a\"=dword:12\n",                         // short dword
        "[k]\n\"a\"=binary:0g\n",                        // bad hex
        "[k]\n\"a\"=string:\"b\" x\n",                   // trailing text
        "[k\n",                                          // header not closed
        "[a\\\\b]\n",                                    // empty component
        "[k]\n\"a\"=string:\"1\"\n\"A\"=string:\"2\"\n", // same name twice
        "[k]\n\"a\"=string:\"\\q\"\n",                   // unknown escape
    };
    for (const char* text : bad) {
        try {
            RegistryFile::Parse(text, "store.reg");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RegistryFileError& e) {
            EXPECT_NE(std::string(e.what()).find("store.reg, line "), std::string::npos)
                << e.what();
        }
    }
}

TEST(RegistryFile, ParseReadsCommentsCrLfAndAllTypes) {
    RegistryFile file = RegistryFile::Parse("; comment\r\n\r\n[A\\B%5d]\r\n"
                                            "\"n\"=dword:0000002A\r\n"
                                            "\"s\"=string:\"x\\x41\\ty\"\r\n",
                                            "t");
    EXPECT_TRUE(file.HasKey({"a"}));
    EXPECT_TRUE(file.HasKey({"a", "b]"}));
    EXPECT_FALSE(file.HasKey({"a", "b"}));
    const RegistryFile::Value* number = file.FindValue({"A", "B]"}, "N");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->type, RegistryFile::ValueType::DWord);
    EXPECT_EQ(number->data, std::string("\x2a\0\0\0", 4));
    const RegistryFile::Value* text = file.FindValue({"A", "B]"}, "s");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->data, "xA\ty");
    // Written back and read again, nothing changes.
    const std::string once = file.Serialize("HKEY_CURRENT_USER");
    EXPECT_EQ(RegistryFile::Parse(once, "t").Serialize("HKEY_CURRENT_USER"), once);
    EXPECT_NE(once.find("\"n\"=dword:0000002a"), std::string::npos) << once;
}

TEST(RegistryRoot, DefaultFollowsXdgDataHome) {
    SetRegistryRoot("");
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";

    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(RegistryRoot(), "/data/home/zavrio-screensaver/registry");
    ::setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(RegistryRoot(), "/home/someone/.local/share/zavrio-screensaver/registry");
    ::setenv("XDG_DATA_HOME", "relative/path", 1); // not absolute: ignored
    EXPECT_EQ(RegistryRoot(), "/home/someone/.local/share/zavrio-screensaver/registry");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(RegistryRoot(), "/home/someone/.local/share/zavrio-screensaver/registry");
    SetRegistryRoot("/elsewhere/");
    EXPECT_EQ(RegistryRoot(), "/elsewhere");
    SetRegistryRoot("");

    savedXdg ? ::setenv("XDG_DATA_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

class ShellFolders : public Registry {};

TEST_F(ShellFolders, KindsReadTheirValuesAndEndInBackslash) {
    const char shell[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const char version[] = "\\Software\\Microsoft\\Windows\\CurrentVersion";
    RegWriteString(HKEY_CURRENT_USER, shell, "AppData", "C:\\Users\\u\\AppData");
    RegWriteString(HKEY_CURRENT_USER, shell, "Favorites", "C:\\Fav");
    RegWriteString(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Internet Explorer\\Toolbar",
                   "LinksFolderName", "Links");
    RegWriteString(HKEY_CURRENT_USER, shell, "Templates", "C:\\Templates\\");
    RegWriteString(HKEY_CURRENT_USER, shell, "", "C:\\Default");
    RegWriteString(HKEY_CURRENT_USER,
                   "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                   "Personal", "%USERPROFILE%\\Documents");
    RegWriteString(HKEY_LOCAL_MACHINE, version, "ProgramFilesDir", "C:\\Program Files");
    RegWriteString(HKEY_LOCAL_MACHINE, version, "WallPaperDir", "C:\\Wall");

    struct Case {
        int kind;
        const char* expected;
    };
    const Case cases[] = {
        {0, "C:\\Users\\u\\AppData\\"},
        {4, "C:\\Fav\\"},
        {5, "C:\\Fav\\Links\\"},
        {17, "C:\\Templates\\"}, // already ends in "\"
        {9, ""},                 // value missing: stays empty, no "\"
        {18, "%USERPROFILE%\\Documents\\"},
        {19, "C:\\Program Files\\"},
        {25, "C:\\Wall\\"},
        {24, ""},
        {26, "C:\\Default\\"}, // 26-255: the default value of Shell Folders
        {255, "C:\\Default\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellFolder(static_cast<std::uint8_t>(c.kind)), c.expected) << "kind " << c.kind;
    EXPECT_FALSE(IsX86ProgramFiles());
}

TEST_F(ShellFolders, FavouritesWithoutLinksNameStillGetsTheSeparators) {
    RegWriteString(HKEY_CURRENT_USER,
                   "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                   "Favorites", "C:\\Fav");
    EXPECT_EQ(ShellFolder(5), "C:\\Fav\\");
    EXPECT_EQ(ShellFolder(3), "");
}

TEST_F(ShellFolders, ErrorsAreSwallowedKeepingWhatWasRead) {
    test::WriteFile(userFile(),
                    "[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
                    "\"Favorites\"=string:\"C:\\\\Fav\"\n"
                    "\"Desktop\"=dword:00000001\n"
                    "[Software\\Microsoft\\Internet Explorer\\Toolbar]\n"
                    "\"LinksFolderName\"=binary:00\n");
    // The links name is no string: the favourites read so far, without "\".
    EXPECT_EQ(ShellFolder(5), "C:\\Fav");
    EXPECT_EQ(ShellFolder(3), "");
    EXPECT_EQ(ShellFolder(4), "C:\\Fav\\");
}

TEST_F(ShellFolders, X86ProgramFilesAnyCase) {
    const char version[] = "\\Software\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_FALSE(IsX86ProgramFiles()); // nothing stored
    RegWriteString(HKEY_LOCAL_MACHINE, version, "ProgramFilesDir", "C:\\Program Files (X86)");
    EXPECT_TRUE(IsX86ProgramFiles());
    RegWriteString(HKEY_LOCAL_MACHINE, version, "ProgramFilesDir", "C:\\Program Files");
    EXPECT_FALSE(IsX86ProgramFiles());
}

} // namespace
} // namespace zavrio
