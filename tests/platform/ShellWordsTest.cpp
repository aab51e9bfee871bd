// Shell words: quoting a path, and splitting a line with where each word lies.

#include "platform/ShellWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zavrio {
namespace {

TEST(ShellWords, QuotesOnlyWhatTheShellWouldChange) {
    EXPECT_EQ(ShellWord("/usr/bin/zavrio-screensaver"), "/usr/bin/zavrio-screensaver");
    EXPECT_EQ(ShellWord("/opt/a b/x"), "'/opt/a b/x'");
    EXPECT_EQ(ShellWord("/opt/it's/x"), "'/opt/it'\\''s/x'");
    EXPECT_EQ(ShellWord("/opt/$HOME;x"), "'/opt/$HOME;x'");
    EXPECT_EQ(ShellWord(""), "''");
}

// A line, its words' values, and the text each word covers in the line.
struct Case {
    const char* line;
    std::vector<std::string> values;
    std::vector<std::string> spans;
};

const Case Cases[] = {
    {"timeout 600 'a b /s'", {"timeout", "600", "a b /s"}, {"timeout", "600", "'a b /s'"}},
    {"  x\t\"y \\\"z\\\" \\$w \\n\"  ", {"x", "y \"z\" $w \\n"}, {"x", "\"y \\\"z\\\" \\$w \\n\""}},
    {"a\\ b c'd'\"e\"", {"a b", "cde"}, {"a\\ b", "c'd'\"e\""}},
    // A comment starts only at the start of a word.
    {"x#y # rest 'of' it", {"x#y"}, {"x#y"}},
    {"# all of it", {}, {}},
    // An open quote runs to the end.
    {"say 'unclosed words", {"say", "unclosed words"}, {"say", "'unclosed words"}},
    {"'it'\\''s'", {"it's"}, {"'it'\\''s'"}},
    {"", {}, {}},
};

TEST(ShellWords, SplitsAsTheShellDoes) {
    for (const Case& c : Cases) {
        const std::string line = c.line;
        std::vector<std::string> values, spans;
        for (const ShellWordSpan& word : SplitShellWords(line)) {
            values.push_back(word.Value);
            spans.push_back(line.substr(word.Start, word.End - word.Start));
        }
        EXPECT_EQ(values, c.values) << c.line;
        EXPECT_EQ(spans, c.spans) << c.line;
    }
}

TEST(ShellWords, AQuotedWordSplitsBackToItself) {
    for (const std::string text : {"/a b/c", "it's", "$x `y` \"z\"", "tab\there"}) {
        const std::vector<ShellWordSpan> words = SplitShellWords(ShellWord(text) + " /s");
        ASSERT_EQ(words.size(), 2u) << text;
        EXPECT_EQ(words[0].Value, text);
    }
}

} // namespace
} // namespace zavrio
