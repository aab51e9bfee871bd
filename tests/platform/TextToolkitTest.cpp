// The shared text rules: blanks, trimming, ASCII case and cutting UTF-8 text.

#include "platform/TextToolkit.h"

#include <gtest/gtest.h>

#include <string>

namespace zavrio {
namespace {

TEST(TextToolkit, BlanksAreEveryCodeUpTo32) {
    EXPECT_TRUE(IsBlank(' '));
    EXPECT_TRUE(IsBlank('\0'));
    EXPECT_TRUE(IsBlank('\x1f'));
    EXPECT_FALSE(IsBlank('!'));
    EXPECT_FALSE(IsBlank('\x7f'));
    EXPECT_FALSE(IsBlank('\xC3')); // a UTF-8 lead byte is no blank

    EXPECT_EQ(TrimBlanks(" \t\r\n a b \x01"), "a b");
    EXPECT_EQ(TrimLeftBlanks("  a  "), "a  ");
    EXPECT_EQ(TrimRightBlanks("  a  "), "  a");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

TEST(TextToolkit, CaseTouchesAsciiLettersOnly) {
    EXPECT_EQ(AsciiLowerCopy("AbZ-09\xC3\x84"), "abz-09\xC3\x84");
    EXPECT_EQ(AsciiUpperCopy("aBz[`{\xC3\xA4"), "ABZ[`{\xC3\xA4");
    EXPECT_TRUE(SameTextNoCase("Content-Length", "content-LENGTH"));
    EXPECT_FALSE(SameTextNoCase("abc", "abcd"));
    EXPECT_FALSE(SameTextNoCase("\xC3\x84", "\xC3\xA4")); // Ä and ä differ

    EXPECT_EQ(FindNoCase("Program Files (X86)", "(x86)"), 14u);
    EXPECT_EQ(FindNoCase("abc", "d"), std::string_view::npos);
    EXPECT_EQ(FindNoCase("abc", ""), 0u);
    EXPECT_EQ(FindNoCase("", "a"), std::string_view::npos);
}

TEST(TextToolkit, CutToCharactersNeverSplitsASequence) {
    struct Case {
        std::string text;
        std::size_t limit;
        std::string expected;
    };
    const std::string e = "\xC3\xA9";         // é, two bytes
    const std::string euro = "\xE2\x82\xAC";  // €, three bytes
    const std::string g = "\xF0\x9D\x84\x9E"; // a four-byte character
    const Case cases[] = {
        {"abc", 2, "ab"},
        {"abc", 3, "abc"},
        {"abc", 10, "abc"},
        {"abc", 0, ""},
        {"a" + e + "b", 2, "a" + e},
        {e + euro + g + "x", 3, e + euro + g},
        {euro + euro, 1, euro},
        {"", 5, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutToCharacters(c.text, c.limit), c.expected) << c.text << " / " << c.limit;
}

} // namespace
} // namespace zavrio
