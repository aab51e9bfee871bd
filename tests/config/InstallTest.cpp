// The screensaver registration, against a temporary store root.

#include "ScopedEnvironment.h"
#include "TempDirectory.h"
#include "config/DaemonRegistration.h"
#include "config/IdleDaemonRegistration.h"
#include "config/InstallAsScreensaver.h"
#include "platform/ProfileFunctions.h"
#include "platform/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

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

TEST_F(Install, AWaylandSessionAlsoRegistersWithTheIdleDaemonsTheUserHas) {
    const test::ScopedEnvironment noConfigHome("XDG_CONFIG_HOME", std::nullopt);
    const std::string swayidle = homeDir.file(".config/swayidle/config");
    const std::string hypridle = homeDir.file(".config/hypr/hypridle.conf");
    {
        // An X11 session: the idle daemons' files are not touched.
        const test::ScopedEnvironment wayland("WAYLAND_DISPLAY", std::nullopt);
        const test::ScopedEnvironment x11("DISPLAY", ":0");
        InstallAsScreensaver("/opt/z/zavrio-screensaver");
        EXPECT_FALSE(std::filesystem::exists(homeDir.file(".config")));
    }
    const test::ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-1");
    InstallAsScreensaver("/opt/z/zavrio-screensaver");
    EXPECT_EQ(test::ReadFile(swayidle), "timeout 600 '/opt/z/zavrio-screensaver /s'\n");
    EXPECT_FALSE(std::filesystem::exists(hypridle)) << "no hypr folder: no hypridle";
    EXPECT_NE(test::ReadFile(homeDir.file(".xscreensaver")).find("/opt/z/zavrio-screensaver"),
              std::string::npos)
        << "the X11 daemon's entry is still made";

    std::filesystem::create_directories(homeDir.file(".config/hypr"));
    InstallAsScreensaver("/opt/y/zavrio-screensaver");
    EXPECT_EQ(test::ReadFile(swayidle), "timeout 600 '/opt/y/zavrio-screensaver /s'\n");
    EXPECT_EQ(FindHypridleEntries(test::ReadFile(hypridle), "/opt/y/zavrio-screensaver"),
              (std::vector<IdleEntry>{{3, "    on-timeout = /opt/y/zavrio-screensaver /s", 600}}));

    // $XDG_CONFIG_HOME, when set, is where the daemons look.
    const test::ScopedEnvironment configHome("XDG_CONFIG_HOME", homeDir.file("xdg"));
    InstallAsScreensaver("/opt/y/zavrio-screensaver");
    EXPECT_EQ(test::ReadFile(homeDir.file("xdg/swayidle/config")),
              "timeout 600 '/opt/y/zavrio-screensaver /s'\n");
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

    // So do the idle daemons' files, each on its own: hypridle's is still
    // written when swayidle's cannot be.
    const test::ScopedEnvironment noConfigHome("XDG_CONFIG_HOME", std::nullopt);
    const test::ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-1");
    std::filesystem::create_directories(homeDir.file(".config/swayidle/config"));
    std::filesystem::create_directories(homeDir.file(".config/hypr"));
    EXPECT_NO_THROW(InstallAsScreensaver("/p/zavrio-screensaver"));
    EXPECT_EQ(FindHypridleEntries(test::ReadFile(homeDir.file(".config/hypr/hypridle.conf")),
                                  "/p/zavrio-screensaver")
                  .size(),
              1u);
}

} // namespace
} // namespace zavrio
