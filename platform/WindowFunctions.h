#pragma once
// Window z-order through the window manager (Qt, X11).

#include <QWindow>

namespace zavrio {

// Asks the window manager to keep window above all normal windows (on) or to
// stop doing so (off), with the _NET_WM_STATE_ABOVE state of the window
// manager conventions; position, size and focus are left alone. A window not
// yet mapped also gets the state written into its _NET_WM_STATE property, for
// the window manager to read when it maps it. Does nothing for window 0, when
// the windows are not on X11 (WindowDisplayServer.h: on Wayland a full-screen
// window is above the others anyway; offscreen has no stacking) and when the
// X server refuses the request; nothing is thrown.
void SetTopmost(WId window, bool on);

} // namespace zavrio
