#include "platform/LocalClock.h"
#include "playback/ErrorReportText.h"
#include "playback/PlayerAddress.h"
#include "playback/PlayerLayout.h"

#include "settings/SaverSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zavrio {
namespace {

TEST(ClipIdFromLink, TakesEverythingAfterTheFirstEquals) {
    struct Case {
        const char* link;
        const char* id;
    } cases[] = {
        {"http://www.zavrio.com/watch?v=abc123", "abc123"},
        {"http://x/watch?v=abc&feature=rss", "abc&feature=rss"},
        {"http://x/watch?v=a=b", "a=b"},
        {"no-equals-here", "no-equals-here"},
        {"", ""},
        {"x=", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClipIdFromLink(c.link), c.id) << c.link;
}

TEST(ClipIdFromLink, CutsToHundredCharactersAtACharacterBoundary) {
    EXPECT_EQ(ClipIdFromLink("v=" + std::string(150, 'x')), std::string(100, 'x'));
    EXPECT_EQ(ClipIdFromLink(std::string(130, 'y')), std::string(100, 'y'));
    // 99 ASCII characters then a two-byte "é": the 100th character is whole.
    const std::string accented = std::string(99, 'a') + "\xC3\xA9" + "zz";
    EXPECT_EQ(ClipIdFromLink("v=" + accented), std::string(99, 'a') + "\xC3\xA9");
}

TEST(PlayerAddress, AppendsOptionsInOrder) {
    EXPECT_EQ(PlayerAddress("http://b", "id", false, false), "http://b/v/id&autoplay=1");
    EXPECT_EQ(PlayerAddress("http://b", "id", true, false), "http://b/v/id&autoplay=1&fmt=18");
    EXPECT_EQ(PlayerAddress("http://b", "id", false, true), "http://b/v/id&autoplay=1&loop=1");
    EXPECT_EQ(PlayerAddress("http://b", "id", true, true),
              "http://b/v/id&autoplay=1&fmt=18&loop=1");
}

TEST(PlayerBaseAddress, ComesFromTheSettingsFileOrTheDefault) {
    const auto dir = std::filesystem::temp_directory_path() / "zavrio-playback-base";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "zavriofeeds.ini").string();

    SettingsFile.reset();
    EXPECT_EQ(PlayerBaseAddress(), "http://www.zavrio.com");

    std::ofstream(path) << "[player]\nBaseAddress=http://127.0.0.1:8123\n";
    LoadSettings(path);
    EXPECT_EQ(PlayerBaseAddress(), "http://127.0.0.1:8123");

    std::ofstream(path) << "[player]\nBaseAddress=\n[feeds]\na=http://x\n";
    LoadSettings(path);
    EXPECT_EQ(PlayerBaseAddress(), "http://www.zavrio.com");

    SettingsFile.reset();
    std::filesystem::remove_all(dir);
}

TEST(ErrorReportText, AppendsAPeriodAfterCharactersSortingAfterIt) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"HTTP/1.1 404 Not Found", "HTTP/1.1 404 Not Found."},
        {"Connect timed out.", "Connect timed out."},
        {"List index out of bounds (-1)", "List index out of bounds (-1)"}, // ")" sorts before "."
        {"Really?", "Really?."},                                            // "?" sorts after "."
        {"x-", "x-"},
        {"ends in 7", "ends in 7."},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorReportText(c.in), c.out) << c.in;
}

TEST(PlayerPanelLayout, CentresFixedSizesAndTruncatesTowardZero) {
    EXPECT_EQ(PlayerPanelLayout(0, 1024, 768), (PanelLayout{false, 192, 191, 640, 385}));
    EXPECT_EQ(PlayerPanelLayout(1, 1024, 768), (PanelLayout{false, -128, -1, 1280, 770}));
    EXPECT_EQ(PlayerPanelLayout(0, 1280, 720), (PanelLayout{false, 320, 167, 640, 385}));
    EXPECT_EQ(PlayerPanelLayout(2, 1024, 768), (PanelLayout{true, 0, 0, 0, 0}));
    EXPECT_EQ(PlayerPanelLayout(5, 1024, 768), std::nullopt);
    EXPECT_EQ(PlayerPanelLayout(-1, 1024, 768), std::nullopt);
}

TEST(LocalClock, SecondsBetweenCrossesMidnight) {
    const double beforeMidnight = 46000.0 + (24 * 3600 - 5) / 86400.0;
    const double after = 46001.0 + 11 / 86400.0;
    EXPECT_NEAR(SecondsBetween(beforeMidnight, after), 16.0, 1e-6);
    const double now = LocalNow();
    EXPECT_GT(now, 45000.0); // after 2023
    EXPECT_LT(now, 80000.0);
}

} // namespace
} // namespace zavrio
