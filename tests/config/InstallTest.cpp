// The screensaver registration, against a temporary store root.

#include "TempDirectory.h"
#include "config/DaemonRegistration.h"
#include "config/InstallAsScreensaver.h"
#include "platform/ProfileFunctions.h"
#include "platform/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace zavrio {
namespace {

const char* const Desktop = "\\Control Panel\\Desktop";

class Install : public testing::Test {
protected:
    void SetUp() override {
        SetRegistryRoot(store.path());
        if (const char* home = std::getenv("HOME"))
            savedHome = home;
        ::setenv("HOME", homeDir.path().c_str(), 1);
    }
    void TearDown() override {
        SetRegistryRoot("");
        if (savedHome)
            ::setenv("HOME", savedHome->c_str(), 1);
        else
            ::unsetenv("HOME");
    }
    std::string read(const char* name) { return RegReadString(HKEY_CURRENT_USER, Desktop, name); }
    test::TempDirectory store;
    test::TempDirectory homeDir;
    std::optional<std::string> savedHome;
};

TEST_F(Install, RegistersTheFullPathAndActivatesOnlyWhenUnset) {
    const std::string program = "/opt/My Savers/zavrio-screensaver";
    InstallAsScreensaver(program);
    EXPECT_EQ(read("SCRNSAVE.EXE"), program);
    EXPECT_EQ(read("ScreenSaveActive"), "1");
    EXPECT_NE(test::ReadFile(WindowsDirectory() + "system.INI")
                  .find("[boot]\r\nSCRNSAVE.EXE=" + program + "\r\n"),
              std::string::npos);

    // A user who switched the screensaver off keeps it off; the path is updated.
    RegWriteString(HKEY_CURRENT_USER, Desktop, "ScreenSaveActive", "0");
    InstallAsScreensaver("/usr/bin/other");
    EXPECT_EQ(read("SCRNSAVE.EXE"), "/usr/bin/other");
    EXPECT_EQ(read("ScreenSaveActive"), "0");

    // Twice writes the same values again.
    const std::string before = test::ReadFile(store.file("HKEY_CURRENT_USER.reg"));
    InstallAsScreensaver("/usr/bin/other");
    EXPECT_EQ(test::ReadFile(store.file("HKEY_CURRENT_USER.reg")), before);
}

TEST_F(Install, TheRunningProgramRegistersItself) {
    InstallAsScreensaver();
    const std::string path = read("SCRNSAVE.EXE");
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path << " must name an existing file";
    EXPECT_EQ(path.find("~1"), std::string::npos);
}

TEST_F(Install, SelectsTheProgramInTheDaemonsPreferences) {
    InstallAsScreensaver("/opt/z/zavrio-screensaver");
    InstallAsScreensaver("/opt/z/zavrio-screensaver");
    const DaemonRegistration found = ReadDaemonRegistration(
        test::ReadFile(homeDir.file(".xscreensaver")), "/opt/z/zavrio-screensaver");
    EXPECT_EQ(found.entryIndex, 0);
    EXPECT_TRUE(found.IsSelected());
    EXPECT_EQ(found.entry, "\"Zavrio Video Screensaver\" /opt/z/zavrio-screensaver --root");
}

TEST_F(Install, FailuresStaySilent) {
    // A value of another type makes the read fail: the block ends, nothing raises.
    test::WriteFile(store.file("HKEY_CURRENT_USER.reg"),
                    "[Control Panel\\Desktop]\n\"ScreenSaveActive\"=dword:00000001\n");
    EXPECT_NO_THROW(InstallAsScreensaver("/p"));
    EXPECT_EQ(read("SCRNSAVE.EXE"), "/p"); // written before the failing step

    // Preferences that cannot be replaced stay as they are, silently.
    ::mkdir(homeDir.file(".xscreensaver").c_str(), 0755);
    EXPECT_NO_THROW(InstallAsScreensaver("/p"));
}

} // namespace
} // namespace zavrio
