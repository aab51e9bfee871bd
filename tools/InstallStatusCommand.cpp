#include "tools/InstallStatusCommand.h"

#include "config/DaemonRegistration.h"
#include "config/IdleDaemonRegistration.h"
#include "config/InstallAsScreensaver.h"
#include "platform/DisplayServer.h"
#include "platform/FileRead.h"
#include "platform/PathFunctions.h"
#include "platform/ProfileFunctions.h"
#include "platform/RegistryFunctions.h"
#include "settings/MemIniFile.h"
#include "tools/ToolOptions.h"

#include <nlohmann/json.hpp>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string_view>

namespace zavrio {

namespace {

using Json = nlohmann::ordered_json;

// A value of the store; null when it is not set.
Json storeValue(const std::string& value) {
    return value.empty() ? Json(nullptr) : Json(value);
}

Json storeValues() {
    Json store;
    try {
        const std::string ini = WindowsDirectory() + "system.INI";
        store["systemIni"] = {
            {"path", ini},
            {"SCRNSAVE.EXE", storeValue(TMemIniFile(ini).ReadString("boot", "SCRNSAVE.EXE", ""))}};
        store["desktop"] = {
            {"SCRNSAVE.EXE",
             storeValue(RegReadString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE"))},
            {"ScreenSaveActive",
             storeValue(RegReadString(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive"))}};
    } catch (const std::exception& e) {
        store["error"] = e.what();
    }
    return store;
}

Json daemonPreferences(const std::string& program) {
    Json out;
    try {
        const std::string path = DaemonPreferencesPath();
        out["path"] = path;
        const std::optional<std::string> text = ReadWholeFile(path);
        out["exists"] = text.has_value();
        const DaemonRegistration found = ReadDaemonRegistration(text.value_or(""), program);
        out["entry"] = found.entryIndex >= 0 ? Json(found.entry) : Json(nullptr);
        out["position"] = found.entryIndex >= 0 ? Json(found.entryIndex) : Json(nullptr);
        out["mode"] = found.mode;
        out["selected"] = found.selected;
        out["isSelected"] = found.IsSelected();
    } catch (const std::exception& e) {
        out["error"] = e.what();
    }
    return out;
}

std::optional<std::string> onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        const std::size_t cut = dirs.find(':');
        const std::string dir(dirs.substr(0, cut));
        dirs = cut == std::string_view::npos ? std::string_view() : dirs.substr(cut + 1);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

// Whether any process of this machine runs the daemon (its command name).
bool daemonRunning(const std::string& name) {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    bool running = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        try {
            const std::optional<std::string> comm =
                ReadWholeFile(std::string("/proc/") + entry->d_name + "/comm");
            if (comm && *comm == name + "\n") {
                running = true;
                break;
            }
        } catch (const std::exception&) {
            // The process ended meanwhile.
        }
    }
    ::closedir(proc);
    return running;
}

Json daemonProgram(const std::string& name) {
    const std::optional<std::string> found = onPath(name);
    return {{"installed", found.has_value()},
            {"path", found ? Json(*found) : Json(nullptr)},
            {"running", daemonRunning(name)}};
}

using EntryFinder = std::vector<IdleEntry> (*)(const std::string&, const std::string&);

// An idle daemon: its configuration file, our entries in it, its program.
Json idleDaemon(const std::string& name, std::string (*configPath)(), EntryFinder find,
                const std::string& program) {
    Json out;
    try {
        const std::string path = configPath();
        out["config"] = path;
        const std::optional<std::string> text = ReadWholeFile(path);
        out["exists"] = text.has_value();
        Json entries = Json::array();
        for (const IdleEntry& entry : find(text.value_or(""), program))
            entries.push_back(
                {{"line", entry.Line},
                 {"text", entry.Text},
                 {"timeout", entry.Timeout >= 0 ? Json(entry.Timeout) : Json(nullptr)}});
        out["entries"] = entries;
    } catch (const std::exception& e) {
        out["error"] = e.what();
    }
    out.update(daemonProgram(name));
    return out;
}

} // namespace

std::string SaverProgramPath() {
    return ProgramDirectory() + "zavrio-screensaver";
}

int runInstallStatusCommand(const std::vector<std::string>& args) {
    if (!args.empty())
        throw UsageError("unexpected argument '" + args.front() + "'");
    const std::string program = SaverProgramPath();
    Json out;
    out["program"] = program;
    out["session"] = DisplayServerName(SessionDisplayServer());
    out["store"] = storeValues();
    out["daemonPreferences"] = daemonPreferences(program);
    out["daemon"] = daemonProgram("xscreensaver");
    out["idleDaemons"] = {
        {"swayidle", idleDaemon("swayidle", SwayidleConfigPath, FindSwayidleEntries, program)},
        {"hypridle", idleDaemon("hypridle", HypridleConfigPath, FindHypridleEntries, program)}};
    std::cout << out.dump(2) << '\n';
    return 0;
}

} // namespace zavrio
