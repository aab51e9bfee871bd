#pragma once
// zavrio-feeds install-status: where the screensaver is registered, as JSON,
// so a user can see why the desktop does not start it: the values of the
// screensaver store, our entry in the X screensaver daemon's preferences
// (~/.xscreensaver) and whether it is the selected one, and whether the
// daemon is installed and running.

#include <string>
#include <vector>

namespace zavrio {

int runInstallStatusCommand(const std::vector<std::string>& args);

} // namespace zavrio
