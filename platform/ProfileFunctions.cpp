#include "ProfileFunctions.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "platform/RegistryFunctions.h"
#include "platform/TextToolkit.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zavrio {

namespace {

struct Line {
    std::string text;
    std::string end; // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back({text.substr(start), ""});
            break;
        }
        bool crlf = end > start && text[end - 1] == '\r';
        lines.push_back({text.substr(start, end - start - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n"});
        start = end + 1;
    }
    return lines;
}

// The name of a "[name]" line, trimmed; nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    return TrimBlanks(line.substr(0, line.find(']')));
}

bool isKeyLine(std::string_view line, std::string_view key) {
    std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() == ';')
        return false;
    auto eq = t.find('=');
    return eq != std::string_view::npos && SameTextNoCase(TrimBlanks(t.substr(0, eq)), key);
}

void requireWritable(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) {
    auto hasBreak = [](const std::string& s) {
        return s.find_first_of("\r\n") != std::string::npos;
    };
    std::string_view k = TrimBlanks(key);
    if (hasBreak(section) || hasBreak(key) || hasBreak(value) ||
        section.find(']') != std::string::npos || key.find('=') != std::string::npos || k.empty() ||
        k.front() == ';' || k.front() == '[')
        throw std::runtime_error("Unable to write to " + path);
}

std::string readExisting(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    // A read-only file stays as it is, for the superuser too (whom access(2)
    // always lets write), so the permission bits are tested as well.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
        throw std::runtime_error("Unable to write to " + path);
    try {
        return ReadWholeFile(path).value_or("");
    } catch (const FileReadError&) {
        throw std::runtime_error("Unable to write to " + path);
    }
}

std::string applyWrite(const std::string& text, const std::string& section, const std::string& key,
                       const std::string& value) {
    std::vector<Line> lines = splitLines(text);
    std::string newline = "\r\n";
    for (const Line& line : lines) {
        if (!line.end.empty()) {
            newline = line.end;
            break;
        }
    }
    auto endLine = [&](std::size_t i) {
        if (lines[i].end.empty())
            lines[i].end = newline;
    };

    std::size_t header = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i].text); name && SameTextNoCase(*name, section)) {
            header = i;
            break;
        }
    }

    if (header == lines.size()) {
        if (!lines.empty())
            endLine(lines.size() - 1);
        lines.push_back({"[" + section + "]", newline});
        lines.push_back({key + "=" + value, newline});
    } else {
        std::size_t lastFilled = header;
        std::size_t i = header + 1;
        for (; i < lines.size() && !sectionName(lines[i].text); ++i) {
            if (isKeyLine(lines[i].text, key)) {
                std::string& t = lines[i].text;
                std::size_t cut = t.find('=') + 1;
                while (cut < t.size() && (t[cut] == ' ' || t[cut] == '\t'))
                    ++cut;
                t = t.substr(0, cut) + value;
                break;
            }
            if (!TrimBlanks(lines[i].text).empty())
                lastFilled = i;
        }
        if (i == lines.size() || sectionName(lines[i].text)) {
            endLine(lastFilled);
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastFilled) + 1,
                         {key + "=" + value, newline});
        }
    }

    std::string out;
    for (const Line& line : lines)
        out += line.text + line.end;
    return out;
}

} // namespace

std::string WindowsDirectory() {
    std::string directory = RegistryRoot() + "/windows";
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    return directory + "/";
}

void IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
    try {
        const std::string path =
            file.find('/') == std::string::npos ? WindowsDirectory() + file : file;
        requireWritable(section, key, value, path);
        WriteFileAtomically(path, applyWrite(readExisting(path), section, key, value));
    } catch (...) {
        // Deliberately swallowed, as the installer relies on: its registry
        // steps run whatever happens to the INI file.
    }
}

} // namespace zavrio
