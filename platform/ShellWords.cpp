#include "platform/ShellWords.h"

#include "platform/TextToolkit.h"

namespace zavrio {

std::string ShellWord(const std::string& text) {
    const bool plain =
        !text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789/._+-,=@%") == std::string::npos;
    if (plain)
        return text;
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::vector<ShellWordSpan> SplitShellWords(std::string_view line) {
    std::vector<ShellWordSpan> words;
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at >= line.size() || line[at] == '#')
            break;
        ShellWordSpan word;
        word.Start = at;
        while (at < line.size() && !IsBlank(line[at])) {
            const char c = line[at++];
            if (c == '\'') {
                const std::size_t close = line.find('\'', at);
                const std::size_t end = close == std::string_view::npos ? line.size() : close;
                word.Value.append(line.substr(at, end - at));
                at = close == std::string_view::npos ? end : end + 1;
            } else if (c == '"') {
                while (at < line.size() && line[at] != '"') {
                    if (line[at] == '\\' && at + 1 < line.size() &&
                        std::string_view("$`\"\\").find(line[at + 1]) != std::string_view::npos)
                        ++at;
                    word.Value += line[at++];
                }
                if (at < line.size())
                    ++at; // the closing quote
            } else if (c == '\\' && at < line.size()) {
                word.Value += line[at++];
            } else {
                word.Value += c;
            }
        }
        word.End = at;
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace zavrio
