// SetTopmost under a real X server and window manager (started by
// run-with-window-manager.sh): the window gets and loses _NET_WM_STATE_ABOVE
// without being moved, resized or activated. With the display server said to
// be another one, every X11 step is skipped although the X server is there.

#include "platform/ForeignWindow.h"
#include "platform/WindowDisplayServer.h"
#include "platform/WindowFunctions.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QRasterWindow>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace zavrio {
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* connection() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection(),
        xcb_intern_atom(connection(), 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint32_t> property32(xcb_window_t window, const char* name, xcb_atom_t type) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection(), xcb_get_property(connection(), 0, window, atom(name), type, 0, 64), nullptr));
    if (!reply || reply->format != 32)
        return {};
    auto* first = static_cast<std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

bool hasAbove(xcb_window_t window) {
    auto states = property32(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    return std::find(states.begin(), states.end(), atom("_NET_WM_STATE_ABOVE")) != states.end();
}

xcb_window_t rootWindow() {
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

xcb_window_t activeWindow() {
    auto active = property32(rootWindow(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return active.empty() ? 0 : active.front();
}

// The window's outer position and size on the screen, as the X server has them.
QRect screenGeometry(xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection(), xcb_translate_coordinates(connection(), window, rootWindow(), 0, 0),
        nullptr));
    if (!geometry || !origin)
        return {};
    return {origin->dst_x, origin->dst_y, geometry->width, geometry->height};
}

// Waits for the window manager, which answers asynchronously.
bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 100; ++i) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

std::unique_ptr<QRasterWindow> shownWindow(QRect geometry) {
    auto window = std::make_unique<QRasterWindow>();
    window->setGeometry(geometry);
    window->show();
    return window;
}

TEST(SetTopmostX11, WindowManagerIsRunning) {
    ASSERT_FALSE(property32(rootWindow(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty());
}

TEST(SetTopmostX11, AboveStateOnAndOffWithoutMovingResizingOrActivating) {
    auto target = shownWindow({40, 50, 220, 160});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(target.get()));
    auto other = shownWindow({300, 200, 200, 150});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(other.get()));
    const auto targetId = static_cast<xcb_window_t>(target->winId());
    const auto otherId = static_cast<xcb_window_t>(other->winId());
    other->requestActivate();
    ASSERT_TRUE(eventually([&] { return activeWindow() == otherId; }));
    ASSERT_FALSE(hasAbove(targetId));
    const QRect before = screenGeometry(targetId);

    SetTopmost(target->winId(), true);
    EXPECT_TRUE(eventually([&] { return hasAbove(targetId); }));
    EXPECT_EQ(screenGeometry(targetId), before);
    EXPECT_EQ(activeWindow(), otherId);
    EXPECT_FALSE(hasAbove(otherId));

    SetTopmost(target->winId(), false);
    EXPECT_TRUE(eventually([&] { return !hasAbove(targetId); }));
    EXPECT_EQ(screenGeometry(targetId), before);
    EXPECT_EQ(activeWindow(), otherId);
}

TEST(SetTopmostX11, WindowNotYetShownIsAboveOnceMapped) {
    QRasterWindow window;
    window.setGeometry(60, 60, 200, 120);
    const auto id = static_cast<xcb_window_t>(window.winId()); // creates the X window, unmapped
    SetTopmost(window.winId(), true);
    EXPECT_TRUE(hasAbove(id));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(eventually([&] { return hasAbove(id); }));
}

TEST(SetTopmostX11, UnknownWindowIsIgnored) {
    SetTopmost(0x7FFFFFF, true);
    SetTopmost(0, false);
    // The refused request costs nothing but an error event: the connection
    // still works.
    EXPECT_EQ(xcb_connection_has_error(connection()), 0);
    EXPECT_FALSE(property32(rootWindow(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty());
}

TEST(DisplayServerSeam, WindowsOnXAreSeenAsX11) {
    EXPECT_EQ(WindowDisplayServer(), DisplayServer::X11);
    auto window = shownWindow({10, 10, 120, 90});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(ForeignWindowSize(window->winId()), QSize(120, 90));
}

// What the program does on Wayland, shown where the skipped steps would be
// seen: the stay-on-top state and other programs' windows.
TEST(DisplayServerSeam, X11StepsAreSkippedOnAnotherDisplayServer) {
    auto target = shownWindow({40, 50, 220, 160});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(target.get()));
    const auto targetId = static_cast<xcb_window_t>(target->winId());
    for (const DisplayServer other : {DisplayServer::Wayland, DisplayServer::Other}) {
        const FakeWindowDisplayServer fake(other);
        SetTopmost(target->winId(), true);
        EXPECT_EQ(ForeignWindowSize(target->winId()), std::nullopt);
        QWidget child;
        EXPECT_FALSE(EmbedInForeignWindow(child, target->winId()));
        EXPECT_EQ(child.windowHandle(), nullptr) << "no native window made for nothing";
    }
    EXPECT_EQ(WindowDisplayServer(), DisplayServer::X11) << "the real answer is back";
    // The window manager handles requests in order: once a later one shows,
    // a request sent under the fake answer would have shown too.
    auto marker = shownWindow({300, 200, 100, 100});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(marker.get()));
    SetTopmost(marker->winId(), true);
    ASSERT_TRUE(eventually([&] { return hasAbove(static_cast<xcb_window_t>(marker->winId())); }));
    EXPECT_FALSE(hasAbove(targetId));
}

} // namespace
} // namespace zavrio

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != "xcb") {
        std::fprintf(stderr, "needs the xcb platform, got %s\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
