#pragma once
// TMemIniFile: an INI file held in memory, read whole at construction and
// written whole by UpdateFile.
//
// Rules kept exactly, because the settings file and its catalogue depend on them:
//  - lines split at CR, LF or CR LF and trimmed of characters with code <= 32;
//    empty lines, lines starting with ";" and lines before the first section
//    hold no keys: they are kept, untouched, only to be written back where
//    they were (the user's notes must survive a save);
//  - "[name]" starts a section (name trimmed); a repeated name starts a second
//    section of the same name;
//  - other lines are stored as key "=" value, both trimmed, split at the first
//    "="; a line without "=" is stored as it is and has an empty key;
//  - section and key look-up ignores ASCII letter case, and the last
//    occurrence wins for reading and writing.
// Write back emits the kept lines before the first section, then for each
// section "[name]", its lines (stored and kept, in their order), then an empty
// line unless the section ends with a kept line; every line ended by
// CR LF. So a file this class wrote reads and writes back byte for byte, and
// new keys go after a section's last stored line, ahead of the blank and
// comment lines that lead to the next section. It writes a temporary file
// beside the target and renames it over the target, so a failed write leaves
// the old file as it was.

#include <cstddef>
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

    // Edits by position among the section's stored lines (the positions
    // ReadSection counts), for lists such as the catalogue where order and
    // repeated keys matter. They act on the last occurrence of the section.
    // InsertLine creates the section at the end when it is missing and takes
    // any position up to the number of stored lines (then it appends);
    // ReplaceLine and RemoveLine need an existing line. A position outside
    // those bounds throws std::out_of_range. Kept lines stay where they are.
    void InsertLine(const std::string& section, std::size_t position, const std::string& key,
                    const std::string& value);
    void ReplaceLine(const std::string& section, std::size_t position, const std::string& key,
                     const std::string& value);
    void RemoveLine(const std::string& section, std::size_t position);

    // Throws FileCreateError; the content in memory is kept either way.
    void UpdateFile() const;

    // The text UpdateFile writes.
    std::string Serialize() const;

private:
    TMemIniFile() = default;
    void parseText(const std::string& text);

    // A line of a section: a stored one (key "=" value, or a line without
    // "=") or a kept one (blank or comment), which no look-up sees.
    struct Line {
        std::string text;
        bool stored;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    const Section* findSection(const std::string& name) const;
    Section* findSection(const std::string& name);

    Section& sectionForWriting(const std::string& name);
    // Index in lines of the stored line at position (std::out_of_range when
    // there is none), where a new stored line goes, and how many there are.
    static std::size_t lineIndex(const Section& s, std::size_t position);
    static std::size_t appendIndex(const Section& s);
    static std::size_t storedCount(const Section& s);

    std::string fileName_;
    std::vector<std::string> leadingLines_; // kept lines before the first section
    std::vector<Section> sections_;
};

} // namespace zavrio
