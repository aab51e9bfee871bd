#pragma once
// The small text rules every layer shares. Texts are 8-bit (UTF-8) strings:
// case rules touch the ASCII letters only, a "blank" is any byte with a code
// of 32 or less (space, tab, line ends and the other control characters), and
// lengths count bytes except where a function says characters.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

constexpr bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// text without its leading / trailing / leading and trailing blanks.
std::string_view TrimLeftBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);
std::string_view TrimBlanks(std::string_view text);

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string AsciiLowerCopy(std::string_view text);
std::string AsciiUpperCopy(std::string_view text);

// Equal but for the case of ASCII letters.
bool SameTextNoCase(std::string_view a, std::string_view b);

// Byte position of the first occurrence of pattern in text, ASCII letters
// compared without regard to case; npos when absent. An empty pattern is
// found at 0.
std::size_t FindNoCase(std::string_view text, std::string_view pattern);

// True for the second and later bytes of a multi-byte UTF-8 sequence.
constexpr bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first limit characters of text (all of it when shorter), never cut
// inside a multi-byte sequence. A character starts at every byte that does
// not continue a sequence, so stray continuation bytes count with the
// character before them.
std::string_view CutToCharacters(std::string_view text, std::size_t limit);

// The text as physical lines, each with its "\n" (the last may lack one), for
// edits that keep every other byte; JoinLines puts them back together.
std::vector<std::string> SplitLinesKeepingEnds(std::string_view text);
std::string JoinLines(const std::vector<std::string>& lines);
// A line without its "\n", if it has one.
std::string_view WithoutLineEnd(std::string_view line);

} // namespace zavrio
