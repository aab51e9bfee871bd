#pragma once
// TMemIniFile: an INI file held in memory, read whole at construction and
// written whole by UpdateFile.
//
// Rules kept exactly, because the settings file and its catalogue depend on them:
//  - lines split at CR, LF or CR LF and trimmed of characters with code <= 32;
//    empty lines and lines starting with ";" are dropped, as are lines before
//    the first section;
//  - "[name]" starts a section (name trimmed); a repeated name starts a second
//    section of the same name;
//  - other lines are stored as key "=" value, both trimmed, split at the first
//    "="; a line without "=" is stored as it is and has an empty key;
//  - section and key look-up ignores ASCII letter case, and the last
//    occurrence wins for reading and writing.
// Write back emits "[name]", the section's lines, then an empty line, for each
// section, every line ended by CR LF. It writes a temporary file beside the
// target and renames it over the target, so a failed write leaves the old file
// as it was.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zavrio {

// "Cannot open file "%s". %s": the file exists but cannot be read.
class FileOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot create file "%s". %s": the file cannot be written.
class FileCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMemIniFile {
public:
    // Reads and parses the file; a missing file gives empty content.
    // Throws FileOpenError when the file exists but cannot be read.
    explicit TMemIniFile(std::string fileName);

    // The content parsed from text as if read from a file; nothing is read.
    // UpdateFile writes to fileName.
    static TMemIniFile FromText(std::string fileName, const std::string& text);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // "0x"/"0X" prefix (text longer than two characters): hexadecimal; otherwise
    // the program's integer conversion; a text that does not convert gives the default.
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    // Clears keys, then adds the key of every stored line of the section
    // (last occurrence of the section) in stored order.
    void ReadSection(const std::string& section, std::vector<std::string>& keys) const;
    // For every key ReadSection gives, in the same order, the key and the
    // value ReadString gives for it; in one pass, however long the section.
    std::vector<std::pair<std::string, std::string>>
    ReadSectionPairs(const std::string& section) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Throws FileCreateError; the content in memory is kept either way.
    void UpdateFile() const;

    // The text UpdateFile writes.
    std::string Serialize() const;

private:
    TMemIniFile() = default;
    void parseText(const std::string& text);

    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };

    const Section* findSection(const std::string& name) const;
    Section* findSection(const std::string& name);

    std::string fileName_;
    std::vector<Section> sections_;
};

} // namespace zavrio
