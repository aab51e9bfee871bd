#pragma once
// zavrio-feeds install: makes the screensaver beside this tool the user's
// screensaver without opening a window, as the configuration window's "Save
// as defalt screensaver && Exit" does (config/InstallAsScreensaver.h: the
// store, ~/.xscreensaver and, in a Wayland session, the idle daemons'
// configuration), then prints where it is registered as install-status does.

#include <string>
#include <vector>

namespace zavrio {

int runInstallCommand(const std::vector<std::string>& args);

} // namespace zavrio
