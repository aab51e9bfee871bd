#pragma once
// Whether the windowing system can be reached, asked before the application
// object is made: Qt ends a process that finds no display with abort() and a
// core dump, where a user deserves a line saying what is missing.

#include <string>

namespace zavrio {

// Empty when a window can be opened: an X server answers on $DISPLAY, or a
// Wayland compositor accepts on its socket ($WAYLAND_DISPLAY, else
// "wayland-0", under $XDG_RUNTIME_DIR unless the name is a path), or
// QT_QPA_PLATFORM names a platform that needs neither (offscreen, vnc, ...).
// When only one of the two answers and QT_QPA_PLATFORM is unset, Qt is
// pointed at that one, since it would otherwise pick by session type and
// may pick the one that is not there.
// Otherwise one line naming the display that is missing, such as
// "no display to open a window on: DISPLAY is not set, and no Wayland
// socket at /run/user/1000/wayland-0".
std::string PrepareDisplay();

} // namespace zavrio
