// The display server of a session and of a Qt platform plugin.

#include "platform/DisplayServer.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zavrio {
namespace {

using test::ScopedEnvironment;

TEST(DisplayServer, SessionFromTheEnvironment) {
    struct Row {
        std::optional<std::string> wayland, display;
        DisplayServer expected;
    };
    const Row rows[] = {
        {std::nullopt, std::nullopt, DisplayServer::None},
        {std::nullopt, ":0", DisplayServer::X11},
        {"wayland-1", std::nullopt, DisplayServer::Wayland},
        // A Wayland session with an X server for older programs.
        {"wayland-1", ":0", DisplayServer::Wayland},
        // Emptied rather than unset, as some session scripts do.
        {"", ":0", DisplayServer::X11},
        {"", "", DisplayServer::None},
    };
    for (const Row& row : rows) {
        const ScopedEnvironment wayland("WAYLAND_DISPLAY", row.wayland);
        const ScopedEnvironment display("DISPLAY", row.display);
        EXPECT_EQ(SessionDisplayServer(), row.expected)
            << row.wayland.value_or("(unset)") << " / " << row.display.value_or("(unset)");
    }
}

TEST(DisplayServer, QtPlatformNames) {
    EXPECT_EQ(DisplayServerOfPlatform("xcb"), DisplayServer::X11);
    EXPECT_EQ(DisplayServerOfPlatform("wayland"), DisplayServer::Wayland);
    EXPECT_EQ(DisplayServerOfPlatform("wayland-egl"), DisplayServer::Wayland);
    EXPECT_EQ(DisplayServerOfPlatform("offscreen"), DisplayServer::Other);
    EXPECT_EQ(DisplayServerOfPlatform("waylandish"), DisplayServer::Other);
    EXPECT_EQ(DisplayServerOfPlatform(""), DisplayServer::None);
    EXPECT_STREQ(DisplayServerName(DisplayServer::Wayland), "Wayland");
    EXPECT_STREQ(DisplayServerName(DisplayServer::X11), "X11");
}

} // namespace
} // namespace zavrio
