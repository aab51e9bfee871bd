#include "playback/QtInputMessage.h"

#include "playback/ExitPolicy.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace zavrio {

namespace {

// Virtual-key codes for the keys whose code differs from Qt's; only Escape
// matters to the policy, the rest keep wParam meaningful for readers.
std::uintptr_t virtualKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    default:
        // Letters and digits share their codes with Qt's; anything else is
        // only told apart from Escape.
        if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) ||
            (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
            return static_cast<std::uintptr_t>(qtKey);
        return 0;
    }
}

} // namespace

std::optional<InputMessage> InputMessageFromEvent(const QEvent& event) {
    switch (event.type()) {
    case QEvent::KeyPress: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        const bool alt = key.modifiers().testFlag(Qt::AltModifier);
        return InputMessage{alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey(key.key())};
    }
    case QEvent::MouseMove:
        return InputMessage{WM_MOUSEMOVE, 0};
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A double click's second press is a press like the first.
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        if (mouse.button() == Qt::LeftButton)
            return InputMessage{WM_LBUTTONDOWN, 1};
        if (mouse.button() == Qt::RightButton)
            return InputMessage{WM_RBUTTONDOWN, 2};
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace zavrio
