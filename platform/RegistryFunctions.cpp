#include "RegistryFunctions.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "platform/RegistryFile.h"
#include "platform/TextFunctions.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace {

std::string& configuredRoot() {
    static std::string root;
    return root;
}

std::string defaultRoot() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/zavrio-screensaver/registry";
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && env[0] != '\0')
        home = env;
    else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr)
        home = entry->pw_dir;
    return home + "/.local/share/zavrio-screensaver/registry";
}

const char* rootName(HKEY root) {
    switch (root) {
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    }
    return nullptr;
}

// One root's file, opened for all access. Holding it means the file may be
// rewritten; it is written back only by Save.
struct OpenRoot {
    std::string path;
    std::string name;
    RegistryFile content;

    // Throws std::runtime_error when the file cannot be written.
    void Save() const { WriteFileAtomically(path, content.Serialize(name)); }
};

bool mayWrite(const std::string& path, const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

// nullopt when the root cannot be opened with all access (see the header).
// With create, a missing store directory and file are made (the file only by
// the first Save).
std::optional<OpenRoot> openRoot(HKEY root, bool create) {
    const char* name = rootName(root);
    if (name == nullptr)
        return std::nullopt;
    const std::string directory = RegistryRoot();
    OpenRoot open{directory + "/" + name + ".reg", name, {}};

    struct stat info {};
    if (::stat(open.path.c_str(), &info) != 0) {
        if (!create)
            return std::nullopt;
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (error || !std::filesystem::is_directory(directory))
            return std::nullopt;
        return open;
    }
    if (!S_ISREG(info.st_mode) || !mayWrite(open.path, info))
        return std::nullopt;
    try {
        const std::optional<std::string> text = ReadWholeFile(open.path);
        if (!text)
            return std::nullopt;
        open.content = RegistryFile::Parse(*text, open.path);
    } catch (const FileReadError&) {
        return std::nullopt;
    } catch (const RegistryFileError&) {
        return std::nullopt;
    }
    return open;
}

bool isStringType(RegistryFile::ValueType type) {
    return type == RegistryFile::ValueType::String || type == RegistryFile::ValueType::ExpandString;
}

struct FolderEntry {
    HKEY root;
    const char* key;
    const char* valueName;
};

const char kShellFolders[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kCurrentVersion[] = "\\Software\\Microsoft\\Windows\\CurrentVersion";

const FolderEntry kFolders[] = {
    {HKEY_CURRENT_USER, kShellFolders, "AppData"},     // 0
    {HKEY_CURRENT_USER, kShellFolders, "Cache"},       // 1
    {HKEY_CURRENT_USER, kShellFolders, "Cookies"},     // 2
    {HKEY_CURRENT_USER, kShellFolders, "Desktop"},     // 3
    {HKEY_CURRENT_USER, kShellFolders, "Favorites"},   // 4
    {HKEY_CURRENT_USER, kShellFolders, "Favorites"},   // 5, then the links folder
    {HKEY_CURRENT_USER, kShellFolders, "History"},     // 6
    {HKEY_CURRENT_USER, kShellFolders, "My Pictures"}, // 7
    {HKEY_CURRENT_USER, kShellFolders, "NetHood"},     // 8
    {HKEY_CURRENT_USER, kShellFolders, "Personal"},    // 9
    {HKEY_CURRENT_USER, kShellFolders, "PrintHood"},   // 10
    {HKEY_CURRENT_USER, kShellFolders, "Fonts"},       // 11
    {HKEY_CURRENT_USER, kShellFolders, "Programs"},    // 12
    {HKEY_CURRENT_USER, kShellFolders, "Recent"},      // 13
    {HKEY_CURRENT_USER, kShellFolders, "SentTo"},      // 14
    {HKEY_CURRENT_USER, kShellFolders, "Start Menu"},  // 15
    {HKEY_CURRENT_USER, kShellFolders, "Startup"},     // 16
    {HKEY_CURRENT_USER, kShellFolders, "Templates"},   // 17
    {HKEY_CURRENT_USER,
     "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
     "Personal"},                                             // 18
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir"}, // 19
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "CommonFilesDir"},  // 20
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "ConfigPath"},      // 21
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "DevicePath"},      // 22
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "MediaPath"},       // 23
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "SystemRoot"},      // 24
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "WallPaperDir"},    // 25
};

} // namespace

void SetRegistryRoot(const std::string& directory) {
    std::string root = directory;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    configuredRoot() = root;
}

std::string RegistryRoot() {
    return configuredRoot().empty() ? defaultRoot() : configuredRoot();
}

std::string RegReadString(HKEY root, const std::string& key, const std::string& valueName) {
    std::string result;
    std::optional<OpenRoot> open = openRoot(root, false);
    const RegistryFile::KeyPath path = RegistryFile::SplitKeyPath(key);
    if (!open || !open->content.HasKey(path))
        return result;
    // Missing values, the default value included, read as "".
    if (const RegistryFile::Value* value = open->content.FindValue(path, valueName)) {
        if (!isStringType(value->type))
            throw RegistryError("Invalid data type for '" + valueName + "'");
        result = value->data;
    }
    return result;
}

void RegWriteString(HKEY root, const std::string& key, const std::string& valueName,
                    const std::string& value) {
    std::optional<OpenRoot> open = openRoot(root, true);
    if (!open)
        return;
    open->content.SetValue(RegistryFile::SplitKeyPath(key),
                           {valueName, RegistryFile::ValueType::String, value});
    try {
        open->Save();
    } catch (const std::runtime_error&) {
        throw RegistryError("Failed to set data for '" + valueName + "'");
    }
}

std::string ShellFolder(std::uint8_t kind) {
    std::string result;
    try {
        const FolderEntry entry = kind < std::size(kFolders)
                                      ? kFolders[kind]
                                      : FolderEntry{HKEY_CURRENT_USER, kShellFolders, ""};
        result = RegReadString(entry.root, entry.key, entry.valueName);
        if (kind == 5)
            result = result + "\\" +
                     RegReadString(entry.root, "\\Software\\Microsoft\\Internet Explorer\\Toolbar",
                                   "LinksFolderName");
        if (!result.empty() && result.back() != '\\')
            result += '\\';
    } catch (...) {
        // Deliberately swallowed: the caller gets what was read so far.
    }
    return result;
}

bool IsX86ProgramFiles() {
    return PosNoCase("(x86)", ShellFolder(19)) > 0;
}

} // namespace zavrio
