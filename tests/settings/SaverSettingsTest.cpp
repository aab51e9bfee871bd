#include "settings/SaverSettings.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace zavrio;

namespace {

class SaverSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = TSaverSettings{};
        SettingsFile.reset();
    }
    zavrio::test::TempDirectory dir;
};

} // namespace

TEST_F(SaverSettingsTest, NothingLoadedMeansAllFalseAndNoCatalogue) {
    EXPECT_EQ(SettingsFile, nullptr);
    EXPECT_FALSE(Settings.HD);
    EXPECT_EQ(Settings.VideoSize, 0);
    EXPECT_TRUE(FeedNames().empty());
    EXPECT_EQ(FeedAddress("x"), "");
    EXPECT_THROW(SaveSettings(), std::logic_error);
}

TEST_F(SaverSettingsTest, MissingFileGivesTheDefaults) {
    LoadSettings(dir.file("zavriofeeds.ini"));
    ASSERT_NE(SettingsFile, nullptr);
    EXPECT_FALSE(Settings.Loop);
    EXPECT_FALSE(Settings.AutoNext);
    EXPECT_TRUE(Settings.HD);
    EXPECT_TRUE(Settings.StayOnTop);
    EXPECT_EQ(Settings.Channel, 0);
    EXPECT_EQ(Settings.VideoSize, 2);
    EXPECT_FALSE(Settings.Mute);
    EXPECT_EQ(Settings.Skin, 0);
    EXPECT_FALSE(Settings.MouseMoveExit);
    EXPECT_TRUE(Settings.MousePressExit);
    EXPECT_TRUE(Settings.KeyboardPressExit);
    EXPECT_FALSE(Settings.ShowCursor);
    EXPECT_FALSE(Settings.OnlyEscKeyExit);
    EXPECT_TRUE(FeedNames().empty());
}

TEST_F(SaverSettingsTest, ReadsOptionsInAnyLetterCaseWithoutRangeChecks) {
    LoadSettings(dir.write("z.ini", "[SET]\nloop=-1\nhd=yes\nstayontop=0\nCHANNEL=$10\n"
                                    "VideoSize=9\nMouseMoveExit=2\n"));
    EXPECT_TRUE(Settings.Loop);
    EXPECT_TRUE(Settings.HD); // not a number: the default
    EXPECT_FALSE(Settings.StayOnTop);
    EXPECT_EQ(Settings.Channel, 16);
    EXPECT_EQ(Settings.VideoSize, 9);
    EXPECT_TRUE(Settings.MouseMoveExit);
}

TEST_F(SaverSettingsTest, CatalogueKeepsFileOrderDuplicatesAndAddressesWithEquals) {
    LoadSettings(
        dir.write("z.ini", "[feeds]\nNews = http://h/f?a=1&b=2\nBare\nNews=http://later/\n"));
    EXPECT_EQ(FeedNames(), (std::vector<std::string>{"News", "", "News"}));
    EXPECT_EQ(FeedAddress("news"), "http://later/");
    EXPECT_EQ(FeedAddress(""), "");
    EXPECT_EQ(FeedAddress("Nope"), "");
}

TEST_F(SaverSettingsTest, SaveRewritesTheFileWithOptionsInTableOrder) {
    std::string path = dir.write("z.ini", "; my feeds\r\n[set]\r\nHD = 0\r\nBogus=1\r\n\r\n"
                                          "[feeds]\r\nA = http://a/?x=1\r\n");
    LoadSettings(path);
    Settings.Loop = true;
    Settings.Channel = 3;
    SaveSettings();
    EXPECT_EQ(zavrio::test::ReadFile(path),
              "; my feeds\r\n[set]\r\nHD=0\r\nBogus=1\r\nLoop=1\r\nAutoNext=0\r\n"
              "StayOnTop=1\r\nChannel=3\r\nVideoSize=2\r\nMute=0\r\nSkin=0\r\n"
              "MouseMoveExit=0\r\nMousePressExit=1\r\nKeyboardPressExit=1\r\n"
              "ShowCursor=0\r\nOnlyEscKeyExit=0\r\n\r\n"
              "[feeds]\r\nA=http://a/?x=1\r\n\r\n");
}

TEST_F(SaverSettingsTest, LoadingSweepsTheTemporaryFilesOfKilledSaves) {
    const std::string path = dir.write("zavriofeeds.ini", "[SET]\nHD=0\n");
    const std::string killed = dir.write("zavriofeeds.ini.k1LLed", "[SET]\nH");
    std::filesystem::last_write_time(killed, std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::minutes(5));
    LoadSettings(path);
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_FALSE(Settings.HD) << "the file itself was read as before";
}

TEST_F(SaverSettingsTest, NoExitConditionIgnoresShowCursor) {
    struct Row {
        bool move, press, key, onlyEsc, showCursor, expected;
    };
    const Row rows[] = {
        {false, false, false, false, false, true}, {false, false, false, false, true, true},
        {true, false, false, false, false, false}, {false, true, false, false, false, false},
        {false, false, true, false, false, false}, {false, false, false, true, false, false},
    };
    for (const Row& r : rows) {
        Settings.MouseMoveExit = r.move;
        Settings.MousePressExit = r.press;
        Settings.KeyboardPressExit = r.key;
        Settings.OnlyEscKeyExit = r.onlyEsc;
        Settings.ShowCursor = r.showCursor;
        EXPECT_EQ(NoExitConditionSelected(), r.expected);
    }
}

TEST_F(SaverSettingsTest, ShowExtrasRoundTripBesideTheCommentsOfTheirSections) {
    EXPECT_EQ(ReadShowExtras(), ShowExtras{}) << "nothing loaded: all off";
    EXPECT_THROW(WriteShowExtras({}), std::logic_error);

    const std::string path =
        dir.write("z.ini", "[player]\r\n; the clip service\r\nBaseAddress=http://b\r\n\r\n"
                           "; on request\r\n[overlay]\r\nclock=1\r\n");
    LoadSettings(path);
    EXPECT_EQ(ReadShowExtras(), (ShowExtras{0, false, true})) << "keys in any letter case";

    WriteShowExtras({1000, true, false});
    SaveSettings();
    EXPECT_EQ(zavrio::test::ReadFile(path),
              "[player]\r\n; the clip service\r\nBaseAddress=http://b\r\nFade=1000\r\n\r\n"
              "; on request\r\n[overlay]\r\nClock=0\r\nTitle=1\r\n\r\n"
              "[set]\r\nLoop=0\r\nAutoNext=0\r\nHD=1\r\nStayOnTop=1\r\nChannel=0\r\n"
              "VideoSize=2\r\nMute=0\r\nSkin=0\r\nMouseMoveExit=0\r\nMousePressExit=1\r\n"
              "KeyboardPressExit=1\r\nShowCursor=0\r\nOnlyEscKeyExit=0\r\n\r\n");
    LoadSettings(path);
    EXPECT_EQ(ReadShowExtras(), (ShowExtras{1000, true, false}));

    // A hand-made negative fade is no fade; one the panel does not offer is kept.
    for (const auto& [text, fade] : {std::pair{"-5", 0}, {"750", 750}, {"x", 0}}) {
        LoadSettings(dir.write("f.ini", std::string("[player]\nFade=") + text + "\n"));
        EXPECT_EQ(ReadShowExtras().Fade, fade) << text;
    }
}
