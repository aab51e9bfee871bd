#pragma once
// The X server connection of the running Qt application, and replies that
// free themselves; for the platform's X11 helpers only.

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace zavrio {

struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

// Null on a platform other than X11 (such as offscreen) or before the
// application exists.
inline xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace zavrio
