#include "config/DaemonRegistration.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "platform/IntConvert.h"
#include "platform/ShellWords.h"
#include "platform/TextToolkit.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace zavrio {

namespace {

// A line whose value goes on over the next line.
bool continues(std::string_view line) {
    line = WithoutLineEnd(line);
    return !line.empty() && line.back() == '\\';
}

// One "name: value" resource: its physical lines [first, last] and where its
// value starts on the first of them.
struct Resource {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t valueColumn = 0;
};

// The resource's name without any "program." or "*" qualifier.
std::string_view bareName(std::string_view name) {
    const std::size_t cut = name.find_last_of(".*");
    return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::optional<Resource> findResource(const std::vector<std::string>& lines, std::string_view name) {
    std::optional<Resource> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t first = i;
        while (i + 1 < lines.size() && continues(lines[i]))
            ++i;
        const std::string_view line = WithoutLineEnd(lines[first]);
        const std::string_view head = TrimLeftBlanks(line);
        if (head.empty() || head[0] == '!' || head[0] == '#')
            continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos ||
            !SameTextNoCase(bareName(TrimBlanks(line.substr(0, colon))), name))
            continue;
        // The last one wins, as for the daemon's own reader.
        found = Resource{first, i, colon + 1};
    }
    return found;
}

// The "programs:" value: the text of its lines joined (continuation marks
// dropped), with where each line's part starts in the joined text.
struct ProgramList {
    std::string text;
    struct Part {
        std::size_t line;
        std::size_t column; // in the line
        std::size_t start;  // in text
        std::size_t length;
    };
    std::vector<Part> parts;
};

ProgramList readProgramList(const std::vector<std::string>& lines, const Resource& r) {
    ProgramList list;
    for (std::size_t i = r.first; i <= r.last; ++i) {
        std::string_view line = WithoutLineEnd(lines[i]);
        if (continues(lines[i]))
            line.remove_suffix(1);
        const std::size_t column = i == r.first ? r.valueColumn : 0;
        const std::string_view part = line.substr(column);
        list.parts.push_back({i, column, list.text.size(), part.size()});
        list.text += part;
    }
    return list;
}

struct Entry {
    std::size_t start; // in the joined text, blanks trimmed
    std::size_t end;
};

// The entries of the list, separated by the two characters "\n"; blank ones
// are not entries.
std::vector<Entry> entriesOf(const std::string& text) {
    std::vector<Entry> entries;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find("\\n", pos);
        if (end == std::string::npos)
            end = text.size();
        std::size_t a = pos;
        std::size_t b = end;
        while (a < b && IsBlank(text[a]))
            ++a;
        while (b > a && IsBlank(text[b - 1]))
            --b;
        if (a < b)
            entries.push_back({a, b});
        pos = end + 2;
    }
    return entries;
}

// The program an entry runs and the name it shows: "[-] [visual:] ["Name"] command".
struct EntryParts {
    std::string name;
    std::string program;
};

EntryParts partsOf(std::string_view entry) {
    EntryParts parts;
    entry = TrimLeftBlanks(entry);
    if (!entry.empty() && entry[0] == '-')
        entry = TrimLeftBlanks(entry.substr(1));
    const std::size_t firstBlank = entry.find_first_of(" \t");
    const std::string_view firstWord = entry.substr(0, firstBlank);
    if (!firstWord.empty() && firstWord.back() == ':' &&
        firstWord.find('"') == std::string_view::npos)
        entry = TrimLeftBlanks(entry.substr(firstWord.size()));
    if (!entry.empty() && entry[0] == '"') {
        const std::size_t close = entry.find('"', 1);
        if (close != std::string_view::npos) {
            parts.name = std::string(entry.substr(1, close - 1));
            entry = TrimLeftBlanks(entry.substr(close + 1));
        }
    }
    if (!entry.empty() && entry[0] == '\'') {
        const std::size_t close = entry.find('\'', 1);
        parts.program = std::string(
            entry.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else {
        parts.program = std::string(entry.substr(0, entry.find_first_of(" \t")));
    }
    return parts;
}

bool isOurs(std::string_view entry, const std::string& programPath) {
    const EntryParts parts = partsOf(entry);
    return parts.name == DaemonEntryName || parts.program == programPath;
}

std::string_view textOf(const ProgramList& list, Entry entry) {
    return std::string_view(list.text).substr(entry.start, entry.end - entry.start);
}

// The position of our entry among entries, or -1.
int findOurs(const ProgramList& list, const std::vector<Entry>& entries,
             const std::string& programPath) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (isOurs(textOf(list, entries[i]), programPath))
            return static_cast<int>(i);
    return -1;
}

// The daemon runs entries through the shell.
std::string entryFor(const std::string& programPath) {
    return std::string("\"") + DaemonEntryName + "\" " + ShellWord(programPath) + " --root";
}

// Replaces [start, end) of the joined list text with text, in the lines
// (each line holds one part, so editing one moves nothing on another).
void replaceInList(std::vector<std::string>& lines, const ProgramList& list, Entry range,
                   const std::string& text) {
    bool placed = false;
    for (const ProgramList::Part& part : list.parts) {
        const std::size_t a = std::max(range.start, part.start);
        const std::size_t b = std::min(range.end, part.start + part.length);
        if (a >= b)
            continue;
        lines[part.line].replace(part.column + (a - part.start), b - a, placed ? "" : text);
        placed = true;
    }
}

// Our entry in the list: rewritten where it is, or added at the end. Gives
// its position.
int placeEntry(std::vector<std::string>& lines, const std::string& programPath) {
    const std::string ours = entryFor(programPath);
    const std::optional<Resource> programs = findResource(lines, "programs");
    if (!programs) {
        if (!lines.empty() && lines.back().back() != '\n')
            lines.back() += '\n';
        lines.push_back("programs:\t\t\\\n");
        lines.push_back("\t\t" + ours + " \\n\n");
        return 0;
    }
    const ProgramList list = readProgramList(lines, *programs);
    const std::vector<Entry> entries = entriesOf(list.text);
    if (const int i = findOurs(list, entries, programPath); i >= 0) {
        if (textOf(list, entries[i]) != ours)
            replaceInList(lines, list, entries[i], ours);
        return i;
    }

    // Continue the list's last line (after a "\n" that ends its last entry)
    // onto a new line holding ours.
    std::string& last = lines[programs->last];
    std::string content(WithoutLineEnd(last));
    if (continues(last))
        content.pop_back();
    const std::string_view trimmedList = TrimRightBlanks(list.text);
    if (!trimmedList.empty() && !trimmedList.ends_with("\\n"))
        content = std::string(TrimRightBlanks(content)) + " \\n";
    last = content + "\\\n";
    lines.insert(lines.begin() + static_cast<long>(programs->last) + 1, "\t\t" + ours + " \\n\n");
    return static_cast<int>(entries.size());
}

// Sets a one-line resource, keeping its name and the blanks after it; a
// missing one goes before "programs:".
void setValue(std::vector<std::string>& lines, std::string_view name, const std::string& value) {
    if (const std::optional<Resource> r = findResource(lines, name)) {
        std::string& line = lines[r->first];
        std::size_t at = r->valueColumn;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at == r->valueColumn) {
            line.insert(at, "\t");
            ++at;
        }
        const bool hadEnd = !line.empty() && line.back() == '\n';
        line = line.substr(0, at) + value + (hadEnd ? "\n" : "");
        // A value that went on over more lines ends on this one now.
        lines.erase(lines.begin() + static_cast<long>(r->first) + 1,
                    lines.begin() + static_cast<long>(r->last) + 1);
        return;
    }
    const std::optional<Resource> programs = findResource(lines, "programs");
    const std::size_t at = programs ? programs->first : lines.size();
    const std::string tabs = name.size() + 1 < 8 ? "\t\t" : "\t";
    lines.insert(lines.begin() + static_cast<long>(at),
                 std::string(name) + ":" + tabs + value + "\n");
}

} // namespace

std::string RegisterWithDaemon(const std::optional<std::string>& current,
                               const std::string& programPath) {
    std::vector<std::string> lines = SplitLinesKeepingEnds(current.value_or(""));
    const int index = placeEntry(lines, programPath);
    setValue(lines, "mode", "one");
    setValue(lines, "selected", std::to_string(index));
    return JoinLines(lines);
}

DaemonRegistration ReadDaemonRegistration(const std::string& text, const std::string& programPath) {
    DaemonRegistration found;
    const std::vector<std::string> lines = SplitLinesKeepingEnds(text);
    auto valueOf = [&lines](std::string_view name) -> std::optional<std::string> {
        const std::optional<Resource> r = findResource(lines, name);
        if (!r)
            return std::nullopt;
        return std::string(TrimBlanks(WithoutLineEnd(lines[r->first]).substr(r->valueColumn)));
    };
    if (const std::optional<Resource> programs = findResource(lines, "programs")) {
        const ProgramList list = readProgramList(lines, *programs);
        const std::vector<Entry> entries = entriesOf(list.text);
        found.entryIndex = findOurs(list, entries, programPath);
        if (found.entryIndex >= 0)
            found.entry = std::string(textOf(list, entries[found.entryIndex]));
    }
    found.mode = valueOf("mode").value_or("");
    if (const std::optional<std::string> selected = valueOf("selected"))
        found.selected = TryStrToInt(*selected).value_or(-1);
    return found;
}

std::string DaemonPreferencesPath() {
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        throw std::runtime_error("HOME is not set, so ~/.xscreensaver has no place");
    return std::string(home) + "/.xscreensaver";
}

void RegisterWithDaemon(const std::string& programPath) {
    const std::string path = DaemonPreferencesPath();
    WriteFileAtomically(path, RegisterWithDaemon(ReadWholeFile(path), programPath));
}

} // namespace zavrio
