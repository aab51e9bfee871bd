// The cursor display counter and SetTopmost on the offscreen platform.

#include "platform/CursorDisplay.h"
#include "platform/WindowFunctions.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>

namespace zavrio {
namespace {

Qt::CursorShape overrideShape() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::CustomCursor; // CustomCursor: none installed
}

TEST(CursorDisplay, CounterRulesAndBlankCursorBelowZero) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ShowCursor(true), 1);
    EXPECT_EQ(ShowCursor(false), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // 0 still shows the cursor

    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(overrideShape(), Qt::BlankCursor);
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_EQ(overrideShape(), Qt::BlankCursor);
    EXPECT_EQ(ShowCursor(true), 0);
    // One blank cursor was installed and exactly that one was removed.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    EXPECT_EQ(ShowCursor(true), 1);
    EXPECT_EQ(ShowCursor(true), 2);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ShowCursor(false), 1);
    EXPECT_EQ(ShowCursor(false), 0);
}

TEST(CursorDisplay, AnotherOverrideCursorComesBackAfterShowing) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(overrideShape(), Qt::BlankCursor);
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_EQ(overrideShape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(SetTopmostOffscreen, DoesNothingWithoutAWindowManagerConnection) {
    QWindow window;
    window.setGeometry(10, 20, 300, 200);
    window.show();
    const QRect before = window.geometry();
    SetTopmost(window.winId(), true);
    SetTopmost(window.winId(), false);
    SetTopmost(0, true);
    SetTopmost(0xDEADBEEF, true); // no such window
    EXPECT_EQ(window.geometry(), before);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.flags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
} // namespace zavrio

int main(int argc, char** argv) {
    // Also set for test discovery, which runs this program without the
    // test's environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
