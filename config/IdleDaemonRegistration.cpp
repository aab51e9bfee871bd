#include "config/IdleDaemonRegistration.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "platform/ShellWords.h"
#include "platform/TextToolkit.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace zavrio {

namespace {

std::string_view fileName(std::string_view path) {
    const std::size_t cut = path.rfind('/');
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// Whether a shell command runs a program of our file name.
bool runsOurs(std::string_view command, const std::string& programPath) {
    const std::vector<ShellWordSpan> words = SplitShellWords(command);
    return !words.empty() && fileName(words.front().Value) == fileName(programPath);
}

std::string ourCommand(const std::string& programPath) {
    return ShellWord(programPath) + " /s";
}

int secondsOf(std::string_view text) {
    text = TrimBlanks(text);
    int seconds = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return error == std::errc() && end == text.data() + text.size() && seconds >= 0 ? seconds : -1;
}

void endWithLineBreak(std::vector<std::string>& lines) {
    if (!lines.empty() && !lines.back().ends_with('\n'))
        lines.back() += '\n';
}

// --- swayidle: one event per line, split into words as the shell does.

// The words of a line "timeout SECONDS COMMAND ..." whose command is ours.
std::optional<std::vector<ShellWordSpan>> ourTimeoutLine(std::string_view line,
                                                         const std::string& programPath) {
    std::vector<ShellWordSpan> words = SplitShellWords(line);
    if (words.size() < 3 || words[0].Value != "timeout" || !runsOurs(words[2].Value, programPath))
        return std::nullopt;
    return words;
}

// A command as one word of a swayidle line: in single quotes, or in double
// quotes when it holds single quotes itself.
std::string swayidleWord(const std::string& command) {
    if (command.find('\'') == std::string::npos)
        return "'" + command + "'";
    std::string quoted = "\"";
    for (char c : command) {
        if (std::string_view("$`\"\\").find(c) != std::string_view::npos)
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// --- hypridle: "key = value" lines in "name { ... }" blocks; "#" begins a
// comment, "##" is a "#" of the value.

std::string_view withoutComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '#')
            continue;
        if (i + 1 < line.size() && line[i + 1] == '#')
            ++i;
        else
            return line.substr(0, i);
    }
    return line;
}

std::string hyprValue(std::string_view raw) {
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        value += raw[i];
        if (raw[i] == '#' && i + 1 < raw.size() && raw[i + 1] == '#')
            ++i;
    }
    return value;
}

std::string hyprEscaped(std::string_view value) {
    std::string escaped;
    for (char c : value) {
        escaped += c;
        if (c == '#')
            escaped += '#';
    }
    return escaped;
}

// A "key = value" line: where its value lies in the line, comment and outer
// blanks left out.
struct HyprKey {
    std::size_t line = 0;
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    std::string value;
};

struct Listener {
    std::optional<HyprKey> timeout;
    std::optional<HyprKey> onTimeout;
};

std::optional<std::pair<std::string, HyprKey>> hyprKeyOf(std::string_view line, std::size_t index) {
    const std::string_view content = withoutComment(line);
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    HyprKey key{index, equals + 1, content.size(), {}};
    while (key.valueStart < key.valueEnd && IsBlank(content[key.valueStart]))
        ++key.valueStart;
    while (key.valueEnd > key.valueStart && IsBlank(content[key.valueEnd - 1]))
        --key.valueEnd;
    key.value = hyprValue(content.substr(key.valueStart, key.valueEnd - key.valueStart));
    return std::pair{std::string(TrimBlanks(content.substr(0, equals))), key};
}

// The top-level "listener" blocks, in file order.
std::vector<Listener> listenersOf(const std::vector<std::string>& lines) {
    std::vector<Listener> listeners;
    int depth = 0;
    bool inListener = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = WithoutLineEnd(lines[i]);
        const std::string_view content = TrimBlanks(withoutComment(line));
        if (depth == 0 && content.starts_with("listener") && TrimBlanks(content.substr(8)) == "{") {
            inListener = true;
            listeners.emplace_back();
        } else if (inListener && depth == 1) {
            if (const auto key = hyprKeyOf(line, i)) {
                if (key->first == "timeout")
                    listeners.back().timeout = key->second;
                else if (key->first == "on-timeout")
                    listeners.back().onTimeout = key->second;
            }
        }
        for (char c : content)
            depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        if (depth <= 0) {
            depth = 0;
            inListener = false;
        }
    }
    return listeners;
}

bool isOurs(const Listener& listener, const std::string& programPath) {
    return listener.onTimeout && runsOurs(listener.onTimeout->value, programPath);
}

std::string configHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        throw std::runtime_error(
            "neither XDG_CONFIG_HOME nor HOME is set, so the idle daemons' settings have no place");
    return std::string(home) + "/.config";
}

void replaceFile(const std::string& path, const std::optional<std::string>& current,
                 const std::string& updated) {
    if (current != updated)
        WriteFileAtomically(path, updated);
}

} // namespace

std::string RegisterWithSwayidle(const std::optional<std::string>& current,
                                 const std::string& programPath) {
    std::vector<std::string> lines = SplitLinesKeepingEnds(current.value_or(""));
    const std::string command = ourCommand(programPath);
    bool found = false;
    for (std::string& line : lines) {
        const auto words = ourTimeoutLine(WithoutLineEnd(line), programPath);
        if (!words)
            continue;
        found = true;
        const ShellWordSpan& old = (*words)[2];
        if (old.Value != command)
            line.replace(old.Start, old.End - old.Start, swayidleWord(command));
    }
    if (!found) {
        endWithLineBreak(lines);
        lines.push_back("timeout " + std::to_string(IdleTimeoutSeconds) + " " +
                        swayidleWord(command) + "\n");
    }
    return JoinLines(lines);
}

std::vector<IdleEntry> FindSwayidleEntries(const std::string& text,
                                           const std::string& programPath) {
    std::vector<IdleEntry> entries;
    const std::vector<std::string> lines = SplitLinesKeepingEnds(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = WithoutLineEnd(lines[i]);
        if (const auto words = ourTimeoutLine(line, programPath))
            entries.push_back(
                {static_cast<int>(i) + 1, std::string(line), secondsOf((*words)[1].Value)});
    }
    return entries;
}

std::string RegisterWithHypridle(const std::optional<std::string>& current,
                                 const std::string& programPath) {
    std::vector<std::string> lines = SplitLinesKeepingEnds(current.value_or(""));
    const std::string command = ourCommand(programPath);
    bool found = false;
    for (const Listener& listener : listenersOf(lines)) {
        if (!isOurs(listener, programPath))
            continue;
        found = true;
        const HyprKey& old = *listener.onTimeout;
        if (old.value != command)
            lines[old.line].replace(old.valueStart, old.valueEnd - old.valueStart,
                                    hyprEscaped(command));
    }
    if (!found) {
        endWithLineBreak(lines);
        if (!lines.empty())
            lines.push_back("\n");
        lines.push_back("listener {\n");
        lines.push_back("    timeout = " + std::to_string(IdleTimeoutSeconds) + "\n");
        lines.push_back("    on-timeout = " + hyprEscaped(command) + "\n");
        lines.push_back("}\n");
    }
    return JoinLines(lines);
}

std::vector<IdleEntry> FindHypridleEntries(const std::string& text,
                                           const std::string& programPath) {
    std::vector<IdleEntry> entries;
    const std::vector<std::string> lines = SplitLinesKeepingEnds(text);
    for (const Listener& listener : listenersOf(lines))
        if (isOurs(listener, programPath))
            entries.push_back({static_cast<int>(listener.onTimeout->line) + 1,
                               std::string(WithoutLineEnd(lines[listener.onTimeout->line])),
                               listener.timeout ? secondsOf(listener.timeout->value) : -1});
    return entries;
}

std::string SwayidleConfigPath() {
    return configHome() + "/swayidle/config";
}

std::string HypridleConfigFolder() {
    return configHome() + "/hypr";
}

std::string HypridleConfigPath() {
    return HypridleConfigFolder() + "/hypridle.conf";
}

void RegisterWithSwayidle(const std::string& programPath) {
    const std::string path = SwayidleConfigPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::optional<std::string> current = ReadWholeFile(path);
    replaceFile(path, current, RegisterWithSwayidle(current, programPath));
}

bool RegisterWithHypridle(const std::string& programPath) {
    if (!std::filesystem::is_directory(HypridleConfigFolder()))
        return false;
    const std::string path = HypridleConfigPath();
    const std::optional<std::string> current = ReadWholeFile(path);
    replaceFile(path, current, RegisterWithHypridle(current, programPath));
    return true;
}

} // namespace zavrio
