#include "app/ScreensaverMode.h"
#include "app/PreviewPlacement.h"

#include <gtest/gtest.h>

using namespace zavrio;

TEST(ScreensaverMode, ChoosesTheModeFromTheFirstTwoArguments) {
    struct Row {
        std::vector<std::string> args;
        int mode;
        std::uint32_t handle;
    };
    const Row rows[] = {
        {{}, 1, 0},
        {{"/s"}, 3, 0},
        {{"/S"}, 3, 0},
        {{"-s"}, 3, 0},
        {{"/x"}, 3, 0},
        {{"xs"}, 3, 0},               // the first character is dropped, whatever it is
        {{"/screensave", "9"}, 3, 0}, // only the second character counts
        {{"/c"}, 2, 0},
        {{"/C:1234"}, 2, 0}, // the handle after the colon is not read
        {{"/c", "77"}, 2, 0},
        {{"c"}, 1, 0}, // a lone letter is taken as the switch character
        {{"/"}, 1, 0}, // nothing after the switch: configuration, never full screen
        {{""}, 1, 0},
        {{"/p"}, 1, 0},
        {{"/p", "1234"}, 4, 1234},
        {{"/P", "$4d2"}, 4, 1234},
        {{"/p", "0x4D2", "extra"}, 4, 1234},
        {{"/p", "abc"}, 4, 0},
        {{"/p", " 12"}, 4, 12},
        {{"/a"}, 1, 0},
        {{"/a", "99"}, 5, 99},
    };
    for (const Row& row : rows) {
        ScreensaverMode = 7;
        ParentWindowHandle = 42;
        if (row.mode < 4)
            ParentWindowHandle = 0; // modes 1-3 leave the handle as it was
        ParseCommandLine(row.args);
        std::string shown = row.args.empty() ? "(none)" : row.args[0];
        EXPECT_EQ(ScreensaverMode, row.mode) << shown;
        EXPECT_EQ(ParentWindowHandle, row.handle) << shown;
    }
}

TEST(ScreensaverMode, TheDaemonsWindowComesFromTheArgumentsOrTheEnvironment) {
    struct Row {
        std::vector<std::string> args;
        const char* environment;
        std::uint64_t id;
        bool error;
    };
    const Row rows[] = {
        {{"/s"}, nullptr, 0, false},
        {{"-root"}, nullptr, 0, false}, // the whole screen, as /s
        {{"--root"}, "0x2a00007", 0x2a00007, false},
        {{"-root"}, "12345", 12345, false},
        {{"--window-id", "0x1C"}, nullptr, 0x1c, false},
        {{"--root", "-window-id", "77"}, "0x99", 77, false}, // the argument wins
        {{"--window-id"}, nullptr, 0, true},
        {{"--window-id", "0xZZ"}, nullptr, 0, true},
        {{"--window-id", "-5"}, nullptr, 0, true},
        {{"--window-id", "0x1ffffffff"}, nullptr, 0, true}, // beyond any X11 id
        {{"-root"}, "", 0, false},
        {{"-root"}, "junk", 0, true},
    };
    for (const Row& row : rows) {
        const EmbeddingWindow found = FindEmbeddingWindow(row.args, row.environment);
        const std::string what = testing::PrintToString(row.args) + " env " +
                                 (row.environment ? row.environment : "(unset)");
        EXPECT_EQ(found.Id, row.id) << what;
        EXPECT_EQ(!found.Error.empty(), row.error) << what << ": " << found.Error;
    }
    EXPECT_EQ(FindEmbeddingWindow({"--window-id", "0xZZ"}, nullptr).Error,
              "the window id \"0xZZ\" given by --window-id is not a number");
}

TEST(PreviewPlacement, PutsTheFrameOutsideThePane) {
    // A frame of 4 on each side and a caption of 19, in a 152 x 112 pane.
    const PreviewGeometry framed = PlacePreview({234, 225, 226, 198}, {300, 200, 452, 312});
    EXPECT_EQ(framed.Left, -8);
    EXPECT_EQ(framed.Top, -27);
    EXPECT_EQ(framed.Width, 170);
    EXPECT_EQ(framed.Height, 149);
    // A child window without a frame starts at the pane's origin.
    const PreviewGeometry bare = PlacePreview({234, 225, 234, 225}, {0, 0, 152, 112});
    EXPECT_EQ(bare.Left, 0);
    EXPECT_EQ(bare.Top, 0);
    EXPECT_EQ(bare.Width, 162);
    EXPECT_EQ(bare.Height, 122);
}

TEST(ScreensaverMode, HelpAndVersionAnswerBeforeTheMode) {
    const std::optional<std::string> help = CommandLineAnswer({"--help"});
    ASSERT_TRUE(help.has_value());
    for (const char* named :
         {"/s", "/c", "/p ID", "/a ID", "--root", "--window-id ID", "-h", "--help", "--version"})
        EXPECT_NE(help->find(named), std::string::npos) << named;
    EXPECT_EQ(CommandLineAnswer({"-h"}), help);
    EXPECT_EQ(CommandLineAnswer({"--version", "x"}),
              std::string("zavrio-screensaver ") + ZAVRIO_TEST_VERSION + "\n");

    // Everything else keeps the mode rules: "-H", "/h" and "-help" are
    // switch letter H (the full-screen screensaver), and only the first
    // argument is looked at.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"-H"}, {"/h"}, {"-help"}, {"--HELP"}, {"/s", "--help"}, {"--root"}})
        EXPECT_EQ(CommandLineAnswer(args), std::nullopt) << (args.empty() ? "(none)" : args[0]);
}
