#include "settings/SettingsLocation.h"

#include "TempDirectory.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

using namespace zavrio;
using zavrio::test::ReadFile;

namespace {

const std::string kBeside = "[feeds]\r\nOffice=http://intranet/feed.xml\r\n";
const std::string kExample = "; the installed example\n[set]\n;Loop=0\n";
const std::string kUsers = "[set]\r\nLoop=1\r\n";

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

struct LocationCase {
    const char* name;
    bool programFolderWritable;
    std::optional<std::string> beside;   // zavriofeeds.ini beside the program
    std::optional<std::string> example;  // the installed example
    std::optional<std::string> existing; // the user's file from an earlier run
    bool expectBeside;
    std::optional<std::string> expectUserFile; // nullopt: no user file afterwards
};

// Names the row in listings instead of dumping its bytes.
void PrintTo(const LocationCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsLocationTest : public ::testing::TestWithParam<LocationCase> {};

} // namespace

TEST_P(SettingsLocationTest, ChoosesAndSeeds) {
    const LocationCase& c = GetParam();
    zavrio::test::TempDirectory dir;
    const std::string program = dir / "bin/";
    ::mkdir(program.c_str(), 0755);
    if (c.beside)
        dir.write("bin/zavriofeeds.ini", *c.beside);
    if (c.example)
        dir.write("example.ini", *c.example);
    // Parents of the configuration folder that do not exist yet are made too.
    const std::string configHome = dir / "home/.config";
    const std::string userFile = configHome + "/zavrio-screensaver/zavriofeeds.ini";
    if (c.existing) {
        ::mkdir((dir / "home").c_str(), 0700);
        ::mkdir(configHome.c_str(), 0700);
        ::mkdir((configHome + "/zavrio-screensaver").c_str(), 0700);
        zavrio::test::WriteFile(userFile, *c.existing);
    }

    SettingsPlaces places{program, configHome, dir / "example.ini", [&](const std::string& folder) {
                              EXPECT_EQ(folder, program);
                              return c.programFolderWritable;
                          }};
    const std::string chosen = ResolveSettingsPath(places);

    EXPECT_EQ(chosen, c.expectBeside ? program + "zavriofeeds.ini" : userFile);
    if (c.expectUserFile) {
        EXPECT_EQ(ReadFile(userFile), *c.expectUserFile);
    } else {
        EXPECT_FALSE(fileExists(userFile));
    }
    // Seeding copies; it never takes the file from beside the program.
    if (c.beside) {
        EXPECT_EQ(ReadFile(program + "zavriofeeds.ini"), *c.beside);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rule, SettingsLocationTest,
    ::testing::Values(
        // A portable copy, the build folder, the tests: nothing changes.
        LocationCase{"WritableWithoutFile", true, std::nullopt, kExample, std::nullopt, true,
                     std::nullopt},
        LocationCase{"WritableWithFile", true, kBeside, kExample, std::nullopt, true, std::nullopt},
        // Writable wins even over a user's file from an installed copy.
        LocationCase{"WritableIgnoresUsersFile", true, kBeside, kExample, kUsers, true, kUsers},
        // An installed program: the administrator's catalogue is copied once.
        LocationCase{"ReadOnlySeedsFromFileBeside", false, kBeside, kExample, std::nullopt, false,
                     kBeside},
        LocationCase{"ReadOnlySeedsFromExample", false, std::nullopt, kExample, std::nullopt, false,
                     kExample},
        // Nothing to copy: the defaults, and the first save creates the file.
        LocationCase{"ReadOnlyWithNothingToSeed", false, std::nullopt, std::nullopt, std::nullopt,
                     false, std::nullopt},
        // The user's own options from earlier runs are never replaced.
        LocationCase{"ReadOnlyKeepsUsersFile", false, kBeside, kExample, kUsers, false, kUsers}),
    [](const ::testing::TestParamInfo<LocationCase>& info) { return info.param.name; });

TEST(SettingsLocation, SeededFolderIsTheUsersAlone) {
    zavrio::test::TempDirectory dir;
    dir.write("example.ini", kExample);
    SettingsPlaces places{dir / "bin/", dir / "config", dir / "example.ini",
                          [](const std::string&) { return false; }};
    ResolveSettingsPath(places);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "config/zavrio-screensaver").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(SettingsLocation, UnwritableConfigHomeStillNamesTheUsersFile) {
    // The save that follows reports the failure on this path.
    zavrio::test::TempDirectory dir;
    dir.write("example.ini", kExample);
    dir.write("config", "a file where the folder should be");
    SettingsPlaces places{dir / "bin/", dir / "config", dir / "example.ini",
                          [](const std::string&) { return false; }};
    EXPECT_EQ(ResolveSettingsPath(places), dir / "config/zavrio-screensaver/zavriofeeds.ini");
}

TEST(SettingsLocation, PlacesOfThisProgramFollowTheEnvironment) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    struct Row {
        const char* xdgConfigHome; // nullptr: unset
        const char* home;
        std::string expected;
    };
    const Row rows[] = {
        {"/srv/conf", "/home/u", "/srv/conf"},
        {nullptr, "/home/u", "/home/u/.config"},
        {"", "/home/u", "/home/u/.config"},
        // A relative value is ignored, as the base directory rule says.
        {"relative/conf", "/home/u", "/home/u/.config"},
    };
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";
    for (const Row& row : rows) {
        if (row.xdgConfigHome)
            ::setenv("XDG_CONFIG_HOME", row.xdgConfigHome, 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        ::setenv("HOME", row.home, 1);
        EXPECT_EQ(ThisProgramsSettingsPlaces().ConfigHome, row.expected)
            << "XDG_CONFIG_HOME=" << (row.xdgConfigHome ? row.xdgConfigHome : "(unset)");
    }
    savedXdg ? (void)::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1)
             : (void)::unsetenv("XDG_CONFIG_HOME");
    savedHome ? (void)::setenv("HOME", home.c_str(), 1) : (void)::unsetenv("HOME");

    const SettingsPlaces places = ThisProgramsSettingsPlaces();
    EXPECT_EQ(places.Example,
              places.ProgramDirectory + "../share/zavrio-screensaver/zavriofeeds.ini");
}
