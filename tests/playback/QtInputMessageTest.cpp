#include "playback/QtInputMessage.h"
#include "playback/ExitPolicy.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace zavrio {
namespace {

QMouseEvent mouse(QEvent::Type type, Qt::MouseButton button) {
    return QMouseEvent(type, QPointF(5, 5), QPointF(5, 5), button,
                       type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
}

TEST(InputMessageFromEvent, KeysBecomeKeyDownMessages) {
    const QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    const QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    const QKeyEvent altA(QEvent::KeyPress, Qt::Key_A, Qt::AltModifier);
    const QKeyEvent altEsc(QEvent::KeyPress, Qt::Key_Escape, Qt::AltModifier);
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(InputMessageFromEvent(esc), (InputMessage{WM_KEYDOWN, VK_ESCAPE}));
    EXPECT_EQ(InputMessageFromEvent(a), (InputMessage{WM_KEYDOWN, 'A'}));
    EXPECT_EQ(InputMessageFromEvent(altA), (InputMessage{WM_SYSKEYDOWN, 'A'}));
    EXPECT_EQ(InputMessageFromEvent(altEsc), (InputMessage{WM_SYSKEYDOWN, VK_ESCAPE}));
    EXPECT_EQ(InputMessageFromEvent(release), std::nullopt);
}

TEST(InputMessageFromEvent, MouseEventsBecomeMouseMessages) {
    EXPECT_EQ(InputMessageFromEvent(mouse(QEvent::MouseMove, Qt::NoButton))->Message, WM_MOUSEMOVE);
    EXPECT_EQ(InputMessageFromEvent(mouse(QEvent::MouseButtonPress, Qt::LeftButton))->Message,
              WM_LBUTTONDOWN);
    EXPECT_EQ(InputMessageFromEvent(mouse(QEvent::MouseButtonDblClick, Qt::LeftButton))->Message,
              WM_LBUTTONDOWN);
    EXPECT_EQ(InputMessageFromEvent(mouse(QEvent::MouseButtonPress, Qt::RightButton))->Message,
              WM_RBUTTONDOWN);
    EXPECT_EQ(InputMessageFromEvent(mouse(QEvent::MouseButtonPress, Qt::MiddleButton)),
              std::nullopt);
    EXPECT_EQ(InputMessageFromEvent(mouse(QEvent::MouseButtonRelease, Qt::LeftButton)),
              std::nullopt);
    const QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
    EXPECT_EQ(InputMessageFromEvent(wheel), std::nullopt);
}

} // namespace
} // namespace zavrio
