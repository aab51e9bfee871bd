#include "SettingsLocation.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "platform/PathFunctions.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace {

const char* const kFileName = "zavriofeeds.ini";
const char* const kFolderName = "zavrio-screensaver";

std::string userConfigHome() {
    // Relative values are to be ignored, so says the base directory rule.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config";
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
        return std::string(account->pw_dir) + "/.config";
    return "/.config";
}

bool accessWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Creates the folder and any missing parent with mode 0700: the folders of
// the user's configuration are nobody else's business.
bool makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

std::optional<std::string> readSeed(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const FileReadError&) {
        return std::nullopt;
    }
}

void seed(const std::string& target, const std::string& folder, const SettingsPlaces& places) {
    std::optional<std::string> content = readSeed(places.ProgramDirectory + kFileName);
    if (!content && !places.Example.empty())
        content = readSeed(places.Example);
    if (!content || !makeFolders(folder))
        return;
    try {
        // Atomic: the screensaver runs one copy per monitor, and each of
        // them may be seeding at the same moment.
        if (!exists(target))
            WriteFileAtomically(target, *content);
    } catch (const AtomicWriteError&) {
    }
}

} // namespace

SettingsPlaces ThisProgramsSettingsPlaces() {
    SettingsPlaces places;
    places.ProgramDirectory = ProgramDirectory();
    places.ConfigHome = userConfigHome();
    places.Example = places.ProgramDirectory + ZAVRIO_EXAMPLE_FROM_BIN;
    return places;
}

std::string ResolveSettingsPath(const SettingsPlaces& places) {
    const auto writable = places.FolderWritable ? places.FolderWritable : accessWritable;
    if (writable(places.ProgramDirectory))
        return places.ProgramDirectory + kFileName;

    const std::string folder = places.ConfigHome + "/" + kFolderName;
    const std::string path = folder + "/" + kFileName;
    if (!exists(path))
        seed(path, folder, places);
    return path;
}

} // namespace zavrio
