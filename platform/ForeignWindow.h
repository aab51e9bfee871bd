#pragma once
// Windows of other programs that one of ours is put inside: the screensaver
// daemon's window, a settings dialog's preview pane (Qt, X11).

#include <QSize>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <optional>

namespace zavrio {

// Window ids are X11's: when the windows are not on X11
// (WindowDisplayServer.h) no foreign window exists.

// The inside size of the window, or nullopt when it does not exist.
std::optional<QSize> ForeignWindowSize(WId window);

// Makes the top-level widget a child window of the foreign window, at (0, 0)
// of it; Qt still counts the widget as a window of its own. False when the
// foreign window does not exist.
bool EmbedInForeignWindow(QWidget& widget, WId foreign);

// Follows a foreign window: resized with its new size whenever that changes,
// gone once when the window no longer exists. It looks every intervalMs.
class ForeignWindowWatch {
public:
    ForeignWindowWatch(WId window, std::function<void(QSize)> resized, std::function<void()> gone,
                       int intervalMs = 100);

private:
    void Look();

    WId window_;
    std::function<void(QSize)> resized_;
    std::function<void()> gone_;
    QSize last_;
    QTimer timer_;
};

} // namespace zavrio
