// INI writes with the private-profile rules, and the Windows directory.

#include "TempDirectory.h"
#include "platform/ProfileFunctions.h"
#include "platform/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace zavrio {
namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryRoot(store.path()); }
    void TearDown() override { SetRegistryRoot(""); }

    test::TempDirectory store;
};

TEST_F(Profile, WindowsDirectoryIsAFolderOfTheStoreAndExists) {
    EXPECT_EQ(WindowsDirectory(), store.path() + "/windows/");
    EXPECT_TRUE(std::filesystem::is_directory(store.path() + "/windows"));
}

TEST_F(Profile, BareFileNameLandsInTheWindowsDirectory) {
    IniWriteString("system.INI", "boot", "SCRNSAVE.EXE", "/opt/zavrio/zavrio.scr");
    EXPECT_EQ(test::ReadFile(WindowsDirectory() + "system.INI"),
              "[boot]\r\nSCRNSAVE.EXE=/opt/zavrio/zavrio.scr\r\n");
}

// Each row starts from the same file and writes one key; the whole result is
// spelled out so that every kept byte is checked.
TEST_F(Profile, WritesFollowThePrivateProfileRules) {
    const std::string original = "; system settings\r\n"
                                 "[boot]\r\n"
                                 "shell=explorer.exe\r\n"
                                 "  ScrnSave.exe =  old.scr\r\n"
                                 "\r\n"
                                 "[drivers]\r\n"
                                 "wave=mmdrv.dll\r\n"
                                 "; trailing comment\r\n"
                                 "\r\n";
    struct Case {
        const char* what;
        const char* section;
        const char* key;
        const char* value;
        std::string expected;
    };
    const Case cases[] = {
        {"existing key, other case: value replaced, spacing up to it kept", "BOOT", "SCRNSAVE.EXE",
         "new.scr",
         "; system settings\r\n[boot]\r\nshell=explorer.exe\r\n  ScrnSave.exe =  new.scr\r\n\r\n"
         "[drivers]\r\nwave=mmdrv.dll\r\n; trailing comment\r\n\r\n"},
        {"missing key: after the section's last non-blank line", "boot", "oemfonts.fon", "vga.fon",
         "; system settings\r\n[boot]\r\nshell=explorer.exe\r\n  ScrnSave.exe =  old.scr\r\n"
         "oemfonts.fon=vga.fon\r\n\r\n[drivers]\r\nwave=mmdrv.dll\r\n; trailing comment\r\n\r\n"},
        {"missing key in the last section: after its comment", "Drivers", "midi", "x.drv",
         "; system settings\r\n[boot]\r\nshell=explorer.exe\r\n  ScrnSave.exe =  old.scr\r\n\r\n"
         "[drivers]\r\nwave=mmdrv.dll\r\n; trailing comment\r\nmidi=x.drv\r\n\r\n"},
        {"missing section: at the end of the file", "386Enh", "woafont", "dosapp.fon",
         original + "[386Enh]\r\nwoafont=dosapp.fon\r\n"},
        {"empty value", "boot", "shell", "",
         "; system settings\r\n[boot]\r\nshell=\r\n  ScrnSave.exe =  old.scr\r\n\r\n"
         "[drivers]\r\nwave=mmdrv.dll\r\n; trailing comment\r\n\r\n"},
    };
    for (const Case& c : cases) {
        const std::string file = store / "system.ini";
        test::WriteFile(file, original);
        IniWriteString(file, c.section, c.key, c.value);
        EXPECT_EQ(test::ReadFile(file), c.expected) << c.what;
    }
}

TEST_F(Profile, FirstMatchWinsAndLineEndingsFollowTheFile) {
    const std::string file = store / "dup.ini";
    // LF endings, a commented-out key, the last line unterminated.
    test::WriteFile(file, "[a]\n;k=0\nk=1\nk=2\n[A]\nk=3");
    IniWriteString(file, "A", "K", "x");
    EXPECT_EQ(test::ReadFile(file), "[a]\n;k=0\nk=x\nk=2\n[A]\nk=3");
    IniWriteString(file, "A", "new", "y");
    EXPECT_EQ(test::ReadFile(file), "[a]\n;k=0\nk=x\nk=2\nnew=y\n[A]\nk=3");
    IniWriteString(file, "b", "z", "1");
    EXPECT_EQ(test::ReadFile(file), "[a]\n;k=0\nk=x\nk=2\nnew=y\n[A]\nk=3\n[b]\nz=1\n");
}

TEST_F(Profile, EveryErrorIsSwallowedAndLeavesTheFileAlone) {
    const std::string file = store / "keep.ini";
    const std::string original = "[boot]\r\nshell=explorer.exe\r\n";
    test::WriteFile(file, original);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    // Each of these would write a line that reads back as something else.
    const Case unsafe[] = {
        {"boot", "shell", "a\r\n[evil]\r\nx=1"},
        {"boot", "a\nb", "1"},
        {"bo]ot", "k", "1"},
        {"boot\n", "k", "1"},
        {"boot", "a=b", "1"},
        {"boot", "", "1"},
        {"boot", " ", "1"},
        {"boot", ";k", "1"},
        {"boot", "[k", "1"},
    };
    for (const Case& c : unsafe) {
        EXPECT_NO_THROW(IniWriteString(file, c.section, c.key, c.value));
        EXPECT_EQ(test::ReadFile(file), original) << c.section << " / " << c.key;
    }
    // Read-only file, even for the superuser.
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    IniWriteString(file, "boot", "shell", "other.exe");
    EXPECT_EQ(test::ReadFile(file), original);
    // No such directory; a directory in place of the file.
    EXPECT_NO_THROW(IniWriteString(store / "no/such/dir.ini", "s", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(store / "no"));
    std::filesystem::create_directory(store / "adir.ini");
    EXPECT_NO_THROW(IniWriteString(store / "adir.ini", "s", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(store / "adir.ini"));
}

TEST_F(Profile, LinkedFileIsWrittenThroughTheLink) {
    const std::string real = store / "real.ini";
    const std::string link = store / "link.ini";
    test::WriteFile(real, "[boot]\n");
    std::filesystem::create_symlink(real, link);
    IniWriteString(link, "boot", "k", "v");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::ReadFile(real), "[boot]\nk=v\n");
}

} // namespace
} // namespace zavrio
