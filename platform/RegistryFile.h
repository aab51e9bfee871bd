#pragma once
// RegistryFile: the keys and typed values of one registry root, as kept in one
// text file of the registry store (see RegistryFunctions.h for where).
//
// File format, one item per line (LF or CR LF; blank lines and lines starting
// with ";" are ignored):
//
//   [Control Panel\Desktop]                 a key: its path from the root
//   "ScreenSaveActive"=string:"1"           a named value
//   @=string:"default text"                 the key's unnamed default value
//   "Count"=dword:0000002a                  32-bit number, 8 hex digits
//   "Path"=expand:"%HOME%\\bin"             string with variables (a string type)
//   "Blob"=binary:00ff10                    bytes as hex digits
//
// Key paths: components separated by "\", each non-empty; in the header the
// bytes below 32, 127, "%", "[" and "]" are written as %XX. Names and string
// data are in double quotes with the escapes \\ \" \n \r \t and \xXX for any
// other byte below 32 or 127, so any byte sequence survives a round trip.
// Key paths and value names are compared without regard to ASCII letter case;
// the spelling first stored is kept. The root key ("[]") always exists; any
// other key exists when it has a header or when
// it lies on the path of a key that has one.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

// A store file that does not follow the format above; names file and line.
class RegistryFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RegistryFile {
public:
    enum class ValueType { String, ExpandString, DWord, Binary };

    struct Value {
        std::string name; // "" = the key's default value
        ValueType type = ValueType::String;
        std::string data; // DWord: 4 bytes, little-endian
    };

    using KeyPath = std::vector<std::string>;

    // "\Control Panel\Desktop" -> {"Control Panel", "Desktop"}; empty
    // components (leading, doubled or trailing "\") are dropped.
    static KeyPath SplitKeyPath(std::string_view key);

    // Throws RegistryFileError naming origin and the line that is wrong.
    static RegistryFile Parse(std::string_view text, const std::string& origin);
    std::string Serialize(const std::string& rootName) const;

    bool HasKey(const KeyPath& path) const;
    // Creates the key and every key on its way; an existing key is kept.
    void CreateKey(const KeyPath& path);

    // nullptr when the key or the value does not exist.
    const Value* FindValue(const KeyPath& path, const std::string& name) const;
    // Creates the key when missing; replaces a value of the same name
    // (keeping the stored spelling of the name).
    void SetValue(const KeyPath& path, const Value& value);

private:
    struct Key {
        KeyPath path;
        std::vector<Value> values;
    };

    const Key* findKey(const KeyPath& path) const;
    Key& ensureKey(const KeyPath& path);

    std::vector<Key> keys_;
};

} // namespace zavrio
