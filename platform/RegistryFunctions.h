#pragma once
// Registry string values under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, kept
// in a small file-backed store, and the system-folder look-ups built on them.
//
// Store layout: one file per root, "<store root>/HKEY_CURRENT_USER.reg" and
// "<store root>/HKEY_LOCAL_MACHINE.reg", in the text format described in
// RegistryFile.h. The store root is a process-wide parameter: by default
// "$XDG_DATA_HOME/zavrio-screensaver/registry", or
// "$HOME/.local/share/zavrio-screensaver/registry" when XDG_DATA_HOME is unset,
// empty or not absolute. Writes replace the whole file through a temporary
// file and a rename.
//
// Every key is opened with all access rights. Opening fails, so that a read
// gives "" and a write does nothing, when:
//  - the root is neither HKEY_CURRENT_USER nor HKEY_LOCAL_MACHINE;
//  - the root's file exists but may not be written: it carries no write
//    permission bit at all, or access(2) refuses writing (the permission bits
//    are tested as well because access(2) always allows the superuser);
//  - the root's file cannot be read or does not follow the format (it is then
//    left untouched rather than overwritten);
//  - for a read, the key does not exist; for a write, the store directory or
//    the key cannot be created.
// Key paths are taken from the root; a leading "\" is optional and key paths
// and value names are compared without regard to letter case.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zavrio {

// "Invalid data type for '%s'" and "Failed to set data for '%s'", with the
// value name in place of %s.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The predefined root keys, with their customary numbers.
enum HKEY : std::uint32_t {
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
};

// Sets the store root for the whole process; "" restores the default.
void SetRegistryRoot(const std::string& directory);
// The store root in force, without a trailing "/".
std::string RegistryRoot();

// "" when the key cannot be opened or the value does not exist; an empty
// valueName reads the key's default value. Throws RegistryError
// "Invalid data type for '<valueName>'" when the value is not a string.
std::string RegReadString(HKEY root, const std::string& key, const std::string& valueName);

// Creates the key when missing and writes value as a string value. A key that
// cannot be opened or created writes nothing and raises nothing; a failure to
// store the value throws RegistryError
// "Failed to set data for '<valueName>'".
void RegWriteString(HKEY root, const std::string& key, const std::string& valueName,
                    const std::string& value);

// A system folder from the Explorer "Shell Folders" and "CurrentVersion" keys
// by its number (0-25; any other number reads the default value of
// "Shell Folders"), ending in "\" when not empty. Kind 5 is the favourites
// folder followed by "\" and the links folder name. Never throws: after a
// failed read the result is what was obtained before it, without the "\".
std::string ShellFolder(std::uint8_t kind);

// True when ShellFolder(19), the Program Files directory, contains "(x86)"
// in any letter case.
bool IsX86ProgramFiles();

} // namespace zavrio
