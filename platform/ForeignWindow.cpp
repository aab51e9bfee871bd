#include "platform/ForeignWindow.h"

#include "platform/X11Connection.h"

namespace zavrio {

std::optional<QSize> ForeignWindowSize(WId window) {
    xcb_connection_t* connection = X11Connection();
    if (!connection || window == 0)
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    const XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(
        connection, xcb_get_geometry(connection, static_cast<xcb_window_t>(window)), &error));
    std::free(error);
    if (!geometry)
        return std::nullopt;
    return QSize(geometry->width, geometry->height);
}

bool EmbedInForeignWindow(QWidget& widget, WId foreign) {
    const std::optional<QSize> size = ForeignWindowSize(foreign);
    if (!size)
        return false;
    // The foreign window's stand-in lives as long as the program.
    QWindow* parent = QWindow::fromWinId(foreign);
    // Sized first, so its native window is made at the size it keeps.
    widget.setGeometry(0, 0, size->width(), size->height());
    widget.winId(); // the widget's own native window, to be reparented
    widget.windowHandle()->setParent(parent);
    return true;
}

ForeignWindowWatch::ForeignWindowWatch(WId window, std::function<void(QSize)> resized,
                                       std::function<void()> gone, int intervalMs)
    : window_(window), resized_(std::move(resized)), gone_(std::move(gone)) {
    last_ = ForeignWindowSize(window_).value_or(QSize());
    timer_.setInterval(intervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start();
}

void ForeignWindowWatch::Look() {
    const std::optional<QSize> size = ForeignWindowSize(window_);
    if (!size) {
        timer_.stop();
        if (gone_)
            gone_();
        return;
    }
    if (*size != last_) {
        last_ = *size;
        if (resized_)
            resized_(*size);
    }
}

} // namespace zavrio
