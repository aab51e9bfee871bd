#pragma once
// Shell words, for configuration files whose values the shell (or a reader
// that splits words as it does) runs: quoting a path as one word, and
// splitting a line into its words with where each lies in the line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

// text as one shell word: unchanged when it holds only characters the shell
// takes literally, else in single quotes (a quote inside written '\'').
std::string ShellWord(const std::string& text);

// One word of a line: its bytes [Start, End) in the line, quotes included,
// and its value once the quotes and backslashes are taken away.
struct ShellWordSpan {
    std::size_t Start = 0;
    std::size_t End = 0;
    std::string Value;
};

// The words of line as the shell splits them: blanks separate words; single
// quotes keep everything; double quotes keep everything but a backslash
// before $, `, ", \ (which it escapes); a backslash outside quotes escapes
// the next character; a word starting with # begins a comment that runs to
// the end. A quote left open runs to the end too. Nothing is expanded.
std::vector<ShellWordSpan> SplitShellWords(std::string_view line);

} // namespace zavrio
