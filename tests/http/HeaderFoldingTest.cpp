#include "http/HeaderFolding.h"

#include <gtest/gtest.h>

namespace zavrio {
namespace {

using Lines = std::vector<std::string>;

TEST(FoldHeaderLine, ShortLinesStayWhole) {
    EXPECT_EQ(FoldHeaderLine("Host: example.test"), Lines{"Host: example.test"});
    const std::string exactly78 = "Cookie: " + std::string(70, 'x');
    EXPECT_EQ(FoldHeaderLine(exactly78), Lines{exactly78});
}

TEST(FoldHeaderLine, BreaksAtLastPlaceWithinWidth) {
    struct Case {
        const char* why;
        std::string line;
        Lines expected;
    };
    const std::string a60(60, 'a');
    const std::string b30(30, 'b');
    const std::string c70(70, 'c');
    const Case cases[] = {
        {"after the space; the blank is dropped from the piece",
         "Cookie: " + a60 + " " + b30,
         {"Cookie: " + a60, " " + b30}},
        {"after a comma, which stays on the piece",
         "Cookie: " + a60 + "," + b30,
         {"Cookie: " + a60 + ",", " " + b30}},
        {"the last break within 78 wins over earlier ones",
         "Cookie: x=1; " + a60 + "; " + b30,
         {"Cookie: x=1; " + a60 + ";", " " + b30}},
        {"separators inside double quotes are not break places",
         "Cookie: q=\"" + std::string(30, 'q') + " " + std::string(40, 'q') + "\" " + b30,
         {"Cookie:", " q=\"" + std::string(30, 'q') + " " + std::string(40, 'q') + "\"",
          " " + b30}},
        {"no break within 78: the first one after it; continuations fold again",
         "Cookie: " + c70 + "ccccc " + c70 + " " + b30,
         {"Cookie:", " " + c70 + "ccccc", " " + c70, " " + b30}},
        {"nothing fits: the piece runs to the first break place",
         "Cookie:" + std::string(80, 'z') + " " + b30,
         {"Cookie:" + std::string(80, 'z'), " " + b30}},
        {"runs of blanks are dropped at both sides of the break",
         "Cookie: " + a60 + "   \t  " + b30,
         {"Cookie: " + a60, " " + b30}},
        {"a tab is a break place too",
         "Cookie: " + a60 + "\t" + b30,
         {"Cookie: " + a60, " " + b30}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FoldHeaderLine(c.line), c.expected) << c.why;
    }
}

TEST(FoldHeaderLine, LineWithoutBreakPlaceIsSentWhole) {
    const std::string line = "Cookie:" + std::string(100, 'z');
    EXPECT_EQ(FoldHeaderLine(line), Lines{line});
}

} // namespace
} // namespace zavrio
