// The description hint and its text cleaning, as tables of cases.

#include "config/DescriptionHint.h"

#include <gtest/gtest.h>

#include <string>

namespace zavrio {
namespace {

TEST(DescriptionHint, HtmlToPlainText) {
    struct Case {
        std::string html, plain;
    };
    const Case cases[] = {
        {"a<b>c</b>d", "acd"},
        {"x > y", "y"}, // the text through a stray ">" goes, the rest is trimmed
        {"x < y", "x"}, // an unclosed "<" takes the rest
        {"1 &nbsp;2", "1 ;2"},
        {"a&NBSP;b&Gt;c", "a;b;c"},       // any letter case of the two deleted words
        {"&QUOT; &AMP;", "&QUOT; &AMP;"}, // the decoded entities compare exactly
        {"&quot;hi&quot; it&#39;s &amp; more", "\"hi\" it's & more"},
        {"&amp;#39; &amp;quot;", "&#39; &quot;"}, // each replacement runs once, in order
        {"&n&nbspbsp;", ";"},                     // joined occurrences are deleted too
        {"  a \r\n\r\n b", "a\r\nb"},
        {"a\rb\nc", "a\r\nb\r\nc"},
        {"a\n\n", "a\r\n"}, // the split's last line is blank: the break before it stays
        {"<p>one</p>\n<p>two</p>", "one\r\ntwo"},
        {"ab> cd<e>f", "cdf"},                // a stray ">" first: the text up to it goes
        {"<a href='x'>link</a> >< b <c", ""}, // ... also what earlier passes kept
        {"<<x>>y", "y"},
        {"", ""},
        {"<br/>", ""},
        {"\xC3\xA9t\xC3\xA9 <i>\xE2\x82\xAC</i>", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlToPlainText(c.html), c.plain) << c.html;
}

TEST(DescriptionHint, DeleteAllNoCase) {
    struct Case {
        std::string pattern, text, result;
    };
    const Case cases[] = {
        {"ab", "xAbyaBz", "xyz"}, {"ab", "aabb", ""}, // "a" + "b" joined after the first removal
        {"aa", "aaa", "a"},                           // overlapping occurrences: leftmost first
        {"aba", "ababa", "ba"},   {"x", "", ""},      {"q", "none", "none"},
    };
    for (const Case& c : cases) {
        std::string s = c.text;
        DeleteAllNoCase(c.pattern, s);
        EXPECT_EQ(s, c.result) << c.pattern << " in " << c.text;
    }
}

TEST(DescriptionHint, CutsAtFromOrAfter150Characters) {
    const std::string long200(200, 'x');
    struct Case {
        std::string description, hint;
    };
    const Case cases[] = {
        {"<b>Nice clip</b>From: someone", "Nice cl"}, // "From:" and two characters before it go
        {long200, std::string(150, 'x') + "..."},
        {"short", "short..."},
        {"", "..."},
        {"From: x", ""},
        {"aFrom: x", ""},
        {"abFrom: x", ""},
        {"abcFrom: x", "a"},
        {"from: lower case", "from: lower case..."},
        {"caf\xC3\xA9\xC3\xA9"
         "From: x",
         "caf"}, // two whole characters, not two bytes
        {std::string(149, 'a') + "\xC3\xA9z", std::string(149, 'a') + "\xC3\xA9..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescriptionHint(c.description), c.hint) << c.description;
}

} // namespace
} // namespace zavrio
