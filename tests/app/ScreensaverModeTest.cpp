#include "app/ScreensaverMode.h"

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
