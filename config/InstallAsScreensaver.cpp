#include "config/InstallAsScreensaver.h"

#include "config/DaemonRegistration.h"
#include "config/IdleDaemonRegistration.h"

#include "platform/DisplayServer.h"
#include "platform/PathFunctions.h"
#include "platform/ProfileFunctions.h"
#include "platform/RegistryFunctions.h"

#include <exception>

namespace zavrio {

void InstallAsScreensaver(const std::string& programPath) {
    try {
        IniWriteString(WindowsDirectory() + "system.INI", "boot", "SCRNSAVE.EXE", programPath);
        RegWriteString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", programPath);
        if (RegReadString(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive").empty())
            RegWriteString(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive", "1");
    } catch (const std::exception&) {
        // The installation reports nothing; its caller closes the window anyway.
    }
    // The screensaver daemon that starts screensavers on this desktop reads
    // its own preferences; a failure there is as silent as the rest.
    try {
        RegisterWithDaemon(programPath);
    } catch (const std::exception&) {
    }
    // On Wayland that daemon starts nothing; the idle daemons do, each one
    // on its own.
    if (SessionDisplayServer() != DisplayServer::Wayland)
        return;
    try {
        RegisterWithSwayidle(programPath);
    } catch (const std::exception&) {
    }
    try {
        RegisterWithHypridle(programPath);
    } catch (const std::exception&) {
    }
}

void InstallAsScreensaver() {
    try {
        InstallAsScreensaver(ProgramFile());
    } catch (const std::exception&) {
        // No path of our own: nothing to register.
    }
}

} // namespace zavrio
