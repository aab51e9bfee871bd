#pragma once
// Which display server the program works with. Steps that only X11 can do
// (drawing inside another program's window given by its id, the stay-on-top
// state, watching the X screensaver daemon's window) ask this first and are
// skipped or refused elsewhere; everything else works alike on every display
// server.
//
// Two answers, for two kinds of program: a program with windows asks where
// its windows are (WindowDisplayServer.h: Qt's platform plugin decides); one
// without (the installation, the command-line tool) asks the user's session.

#include <string_view>

namespace zavrio {

// Other: a window system of Qt's own, such as the offscreen one of the tests.
enum class DisplayServer { None, X11, Wayland, Other };

// The display server of the user's session, as its environment names it:
// Wayland while WAYLAND_DISPLAY is set (such a session often runs an X server
// for older programs as well, which sets DISPLAY too), else X11 while DISPLAY
// is set, else None. Empty values count as unset.
DisplayServer SessionDisplayServer();

// What a Qt platform plugin name means: "xcb" is X11, "wayland" and its
// variants ("wayland-egl", "wayland-brcm") are Wayland, "" is None, anything
// else Other.
DisplayServer DisplayServerOfPlatform(std::string_view platformName);

// The name for messages and reports: "X11", "Wayland", "none", "other".
const char* DisplayServerName(DisplayServer server);

} // namespace zavrio
