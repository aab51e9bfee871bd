#pragma once
// Creates and shows the one window of a mode; it becomes the main window, and
// the program ends when it closes.

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace zavrio {

// args: the arguments after the program name (mode 3 looks for the
// screensaver daemon's window among them and in the environment). Null when
// the window cannot be made; the reason is then printed to standard error.
// A window id to draw in (the daemon's, or the preview pane's) is X11's: on
// another display server (WindowDisplayServer.h) it is refused that way.
std::unique_ptr<QWidget> CreateMainWindow(int mode, const std::vector<std::string>& args);

} // namespace zavrio
