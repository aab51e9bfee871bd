#pragma once
// Registers the running program as the user's screensaver: the "boot"
// section of "system.INI" in WindowsDirectory() and the desktop key of
// HKEY_CURRENT_USER ("SCRNSAVE.EXE"; "ScreenSaveActive" created as "1" only
// when missing or empty, any other value left as it is).
//
// The path registered is the program's full path. (A synthesised 8.3 short
// name, which older systems registered, names no file on this platform, so
// the screensaver could never be started from it.)
//
// It also enters the program in the X screensaver daemon's preferences,
// ~/.xscreensaver, as the selected screensaver (DaemonRegistration.h), which
// is what makes an X11 desktop start it; that step runs whatever became of
// the store's. In a Wayland session (SessionDisplayServer) it also enters the
// program in the idle daemons' configuration (IdleDaemonRegistration.h):
// swayidle's, and hypridle's when the user has its folder; each step runs
// whatever became of the others.
//
// Never raises and reports nothing: the first failing step ends the
// registration silently, and what was written before it stays written.

#include <string>

namespace zavrio {

// The key of HKEY_CURRENT_USER that holds the registration.
inline constexpr const char* DesktopKey = "\\Control Panel\\Desktop";

void InstallAsScreensaver();

// The same registration for a given program path (tests use it).
void InstallAsScreensaver(const std::string& programPath);

} // namespace zavrio
