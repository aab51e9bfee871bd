#include "platform/TextToolkit.h"

#include <algorithm>

namespace zavrio {

std::string_view TrimLeftBlanks(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return text.substr(static_cast<std::size_t>(first - text.begin()));
}

std::string_view TrimRightBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimRightBlanks(TrimLeftBlanks(text));
}

std::string AsciiLowerCopy(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
    return out;
}

std::string AsciiUpperCopy(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
    return out;
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
    const auto at = std::search(text.begin(), text.end(), pattern.begin(), pattern.end(),
                                [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
    return at == text.end() && !pattern.empty() ? std::string_view::npos
                                                : static_cast<std::size_t>(at - text.begin());
}

std::string_view CutToCharacters(std::string_view text, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!IsUtf8Continuation(text[i]) && characters++ == limit)
            return text.substr(0, i);
    return text;
}

std::vector<std::string> SplitLinesKeepingEnds(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        end = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

} // namespace zavrio
