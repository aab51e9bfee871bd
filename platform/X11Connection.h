#pragma once
// The X server connection of the running Qt application, and replies that
// free themselves; for the platform's X11 helpers only.

#include "platform/WindowDisplayServer.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace zavrio {

struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

// Null unless the windows are on X11 (WindowDisplayServer.h): on Wayland, on
// the offscreen platform, before the application exists, and while a test
// says the display server is another one. Every X11 step goes through here,
// so that answer is what skips them.
inline xcb_connection_t* X11Connection() {
    if (WindowDisplayServer() != DisplayServer::X11)
        return nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace zavrio
