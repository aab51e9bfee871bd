#pragma once
// zavrio-feeds install-status: where the screensaver is registered, as JSON,
// so a user can see why the desktop does not start it: the values of the
// screensaver store, our entry in the X screensaver daemon's preferences
// (~/.xscreensaver) and whether it is the selected one, whether the daemon
// is installed and running; the session's display server; and for each
// Wayland idle daemon (swayidle, hypridle) its configuration file, our
// entries in it (line, text, timeout) and whether it is installed and
// running.

#include <string>
#include <vector>

namespace zavrio {

int runInstallStatusCommand(const std::vector<std::string>& args);

// The screensaver program, installed beside this tool.
std::string SaverProgramPath();

} // namespace zavrio
