#include "MemIniFile.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "platform/IntConvert.h"
#include "platform/TextToolkit.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>

namespace zavrio {

namespace {

std::string trim(std::string_view s) {
    return std::string(TrimBlanks(s));
}

std::string keyOf(const std::string& line) {
    auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(std::move(current));
    return lines;
}

bool isBlankLine(std::string_view line) {
    return TrimBlanks(line).empty();
}

} // namespace

namespace {

// The whole file, or nullopt when it does not exist. Anything else that stops
// the read is an error naming the file.
std::optional<std::string> readSettingsFile(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const FileReadError& e) {
        throw FileOpenError("Cannot open file \"" + path + "\". " + e.Reason());
    }
}

} // namespace

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    if (std::optional<std::string> content = readSettingsFile(fileName_))
        parseText(*content);
}

TMemIniFile TMemIniFile::FromText(std::string fileName, const std::string& text) {
    TMemIniFile ini;
    ini.fileName_ = std::move(fileName);
    ini.parseText(text);
    return ini;
}

void TMemIniFile::parseText(const std::string& text) {
    Section* current = nullptr;
    for (std::string& raw : splitLines(text)) {
        std::string line = trim(raw);
        const bool header = line.size() >= 2 && line.front() == '[' && line.back() == ']';
        if (header) {
            sections_.push_back({trim(line.substr(1, line.size() - 2)), {}});
            current = &sections_.back();
        } else if (!current) {
            leadingLines_.push_back(std::move(raw));
        } else if (line.empty() || line[0] == ';') {
            current->lines.push_back({std::move(raw), false});
        } else {
            auto eq = line.find('=');
            if (eq != std::string::npos)
                line = trim(line.substr(0, eq)) + "=" + trim(line.substr(eq + 1));
            current->lines.push_back({std::move(line), true});
        }
    }
}

const TMemIniFile::Section* TMemIniFile::findSection(const std::string& name) const {
    for (std::size_t i = sections_.size(); i-- > 0;)
        if (SameTextNoCase(sections_[i].name, name))
            return &sections_[i];
    return nullptr;
}

TMemIniFile::Section* TMemIniFile::findSection(const std::string& name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

namespace {

// Index of the last stored line whose key matches, or -1.
template <typename LineT> long findKey(const std::vector<LineT>& lines, const std::string& key) {
    for (std::size_t i = lines.size(); i-- > 0;)
        if (lines[i].stored && SameTextNoCase(keyOf(lines[i].text), key))
            return static_cast<long>(i);
    return -1;
}

} // namespace

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
    const Section* s = findSection(section);
    if (!s)
        return defaultValue;
    long i = findKey(s->lines, key);
    if (i < 0)
        return defaultValue;
    const std::string& line = s->lines[static_cast<std::size_t>(i)].text;
    auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::int32_t TMemIniFile::ReadInteger(const std::string& section, const std::string& key,
                                      std::int32_t defaultValue) const {
    std::string text = ReadString(section, key, "");
    if (text.empty())
        return defaultValue;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    return TryStrToInt(text).value_or(defaultValue);
}

bool TMemIniFile::ReadBool(const std::string& section, const std::string& key,
                           bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys) const {
    keys.clear();
    if (const Section* s = findSection(section))
        for (const Line& line : s->lines)
            if (line.stored)
                keys.push_back(keyOf(line.text));
}

std::vector<std::pair<std::string, std::string>>
TMemIniFile::ReadSectionPairs(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> pairs;
    const Section* s = findSection(section);
    if (!s)
        return pairs;
    // The last line of a key (any letter case) gives its value.
    std::unordered_map<std::string, std::string> last;
    for (const Line& line : s->lines) {
        if (!line.stored)
            continue;
        const auto eq = line.text.find('=');
        last[AsciiUpperCopy(keyOf(line.text))] =
            eq == std::string::npos ? std::string() : line.text.substr(eq + 1);
    }
    pairs.reserve(s->lines.size());
    for (const Line& line : s->lines) {
        if (!line.stored)
            continue;
        std::string key = keyOf(line.text);
        const std::string& value = last[AsciiUpperCopy(key)];
        pairs.emplace_back(std::move(key), value);
    }
    return pairs;
}

TMemIniFile::Section& TMemIniFile::sectionForWriting(const std::string& name) {
    if (Section* s = findSection(name))
        return *s;
    sections_.push_back({name, {}});
    return sections_.back();
}

std::size_t TMemIniFile::lineIndex(const Section& s, std::size_t position) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < s.lines.size(); ++i)
        if (s.lines[i].stored && seen++ == position)
            return i;
    throw std::out_of_range("section \"" + s.name + "\" has no line " + std::to_string(position));
}

std::size_t TMemIniFile::appendIndex(const Section& s) {
    for (std::size_t i = s.lines.size(); i-- > 0;)
        if (s.lines[i].stored)
            return i + 1;
    // No stored line yet: below the comment lines right under the header.
    std::size_t i = 0;
    while (i < s.lines.size() && !isBlankLine(s.lines[i].text))
        ++i;
    return i;
}

std::size_t TMemIniFile::storedCount(const Section& s) {
    std::size_t count = 0;
    for (const Line& line : s.lines)
        count += line.stored ? 1 : 0;
    return count;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    Section& s = sectionForWriting(section);
    long i = findKey(s.lines, key);
    if (i >= 0)
        s.lines[static_cast<std::size_t>(i)].text = key + "=" + value;
    else
        s.lines.insert(s.lines.begin() + static_cast<long>(appendIndex(s)),
                       {key + "=" + value, true});
}

void TMemIniFile::InsertLine(const std::string& section, std::size_t position,
                             const std::string& key, const std::string& value) {
    Section& s = sectionForWriting(section);
    const std::size_t count = storedCount(s);
    if (position > count)
        throw std::out_of_range("section \"" + s.name + "\" has " + std::to_string(count) +
                                " lines, no place " + std::to_string(position));
    const std::size_t at = position == count ? appendIndex(s) : lineIndex(s, position);
    s.lines.insert(s.lines.begin() + static_cast<long>(at), {key + "=" + value, true});
}

void TMemIniFile::ReplaceLine(const std::string& section, std::size_t position,
                              const std::string& key, const std::string& value) {
    Section* s = findSection(section);
    if (!s)
        throw std::out_of_range("no section \"" + section + "\"");
    s->lines[lineIndex(*s, position)].text = key + "=" + value;
}

void TMemIniFile::RemoveLine(const std::string& section, std::size_t position) {
    Section* s = findSection(section);
    if (!s)
        throw std::out_of_range("no section \"" + section + "\"");
    s->lines.erase(s->lines.begin() + static_cast<long>(lineIndex(*s, position)));
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& key,
                               std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TMemIniFile::Serialize() const {
    std::string out;
    for (const std::string& line : leadingLines_)
        out += line + "\r\n";
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const Line& line : s.lines)
            out += line.text + "\r\n";
        // The separator this class writes reads back as a kept line; adding
        // another after a kept line would grow the file at every save, or
        // part a comment from the header it was written above.
        if (s.lines.empty() || s.lines.back().stored)
            out += "\r\n";
    }
    return out;
}

void TMemIniFile::UpdateFile() const {
    // Written beside the target and renamed over it: a crash or a full disk
    // must never leave the user's catalogue half written.
    try {
        WriteFileAtomically(fileName_, Serialize());
    } catch (const AtomicWriteError& e) {
        throw FileCreateError("Cannot create file \"" + fileName_ + "\". " + e.Reason());
    }
}

} // namespace zavrio
