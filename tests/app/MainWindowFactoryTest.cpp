// The window of each mode where window ids of other programs cannot be used:
// on the offscreen platform, told that the display server is Wayland or X11.

#include "app/MainWindowFactory.h"
#include "app/ScreensaverMode.h"

#include "platform/WindowDisplayServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace zavrio {
namespace {

struct Outcome {
    bool made;
    std::string error;
};

Outcome create(int mode, const std::vector<std::string>& args) {
    testing::internal::CaptureStderr();
    const std::unique_ptr<QWidget> window = CreateMainWindow(mode, args);
    return {window != nullptr, testing::internal::GetCapturedStderr()};
}

class MainWindowFactoryTest : public testing::Test {
protected:
    void TearDown() override {
        ::unsetenv("XSCREENSAVER_WINDOW");
        ParentWindowHandle = 0;
    }
};

TEST_F(MainWindowFactoryTest, WindowIdsEndTheProgramWithALineSayingTheyNeedX11) {
    const FakeWindowDisplayServer wayland(DisplayServer::Wayland);
    Outcome o = create(3, {"--window-id", "0x400001"});
    EXPECT_FALSE(o.made);
    EXPECT_EQ(o.error, "zavrio-screensaver: the window id given by --window-id needs X11, and "
                       "this display is Wayland\n");

    ::setenv("XSCREENSAVER_WINDOW", "0x400001", 1);
    o = create(3, {"/s"});
    EXPECT_FALSE(o.made);
    EXPECT_EQ(o.error, "zavrio-screensaver: the window id given by XSCREENSAVER_WINDOW needs "
                       "X11, and this display is Wayland\n");

    ParentWindowHandle = 1234;
    o = create(4, {"/p", "1234"});
    EXPECT_FALSE(o.made);
    EXPECT_EQ(
        o.error,
        "zavrio-screensaver: the preview pane /p ID needs X11, and this display is Wayland\n");
}

TEST_F(MainWindowFactoryTest, APreviewWithoutAPaneIsAWindowOfItsOwnEverywhere) {
    const FakeWindowDisplayServer wayland(DisplayServer::Wayland);
    ParentWindowHandle = 0; // "/p abc"
    const Outcome o = create(4, {"/p", "abc"});
    EXPECT_TRUE(o.made);
    EXPECT_EQ(o.error, "");
}

TEST_F(MainWindowFactoryTest, OnX11AWindowIdIsLookedFor) {
    // Said to be X11 but without an X server: the id is taken, and the
    // window it names is not found.
    const FakeWindowDisplayServer x11(DisplayServer::X11);
    Outcome o = create(3, {"--window-id", "0x400001"});
    EXPECT_FALSE(o.made);
    // (The playback window is made before the id is looked for; Qt may say
    // something about its player first.)
    EXPECT_TRUE(o.error.ends_with(
        "zavrio-screensaver: the window 0x400001 given by --window-id does not exist\n"))
        << o.error;
    ParentWindowHandle = 0x1234;
    o = create(4, {"/p", "0x1234"});
    EXPECT_FALSE(o.made);
    EXPECT_EQ(o.error, "zavrio-screensaver: the preview pane 0x1234 does not exist\n");
}

} // namespace
} // namespace zavrio
