// The text, path and integer-conversion helpers, as tables of cases.

#include "platform/IntConvert.h"
#include "platform/PathFunctions.h"
#include "platform/Rect.h"
#include "platform/TextFunctions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zavrio {
namespace {

TEST(TextFunctions, PosNoCase) {
    struct Case {
        const char* pattern;
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"(X86)", "C:\\Program Files (x86)", 18},
        {"", "any text", 0},
        {"", "", 0},
        {"abc", "", 0},
        {"FILES", "C:\\Program Files", 12},
        {"x", "xyx", 1}, // first occurrence
        {"missing", "C:\\Program Files", 0},
        {"program files (x86)x", "Program Files (x86)", 0}, // longer than the text
        {"\xC3\x84", "a\xC3\xA4\xC3\x84", 4}, // only A-Z fold: UTF-8 letters match as bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(PosNoCase(c.pattern, c.text), c.expected) << c.pattern << " in " << c.text;
}

TEST(TextFunctions, DeleteChars) {
    EXPECT_EQ(DeleteChars("a b  c", " "), "abc");
    EXPECT_EQ(DeleteChars("a-b_c-", "-_"), "abc");
    EXPECT_EQ(DeleteChars("abc", ""), "abc");
    EXPECT_EQ(DeleteChars("   ", " "), "");
    EXPECT_EQ(DeleteChars("ABC", "abc"), "ABC"); // case-sensitive
}

TEST(TextFunctions, RectSize) {
    EXPECT_EQ(RectWidth(Rect{10, 20, 110, 70}), 100);
    EXPECT_EQ(RectHeight(Rect{10, 20, 110, 70}), 50);
    EXPECT_EQ(RectWidth(Rect{5, 0, 2, 0}), -3);
}

TEST(TextFunctions, HexToInt) {
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"80000", 524288}, {"200EB0", 2100912},      {"200eb0", 2100912},
        {"FFFFFFFF", -1},  {"7FFFFFFF", 2147483647}, {"80000000", -2147483647 - 1},
        {"0", 0},          {"00000000001", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexToInt(c.text), c.expected) << c.text;
}

TEST(TextFunctions, HexToIntRejectsWhatIsNoHexNumber) {
    const char* bad[] = {"xyz", "", "100000000", " 1", "-1", "+1", "0x10", "1 "};
    for (const char* text : bad) {
        try {
            HexToInt(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'$" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(IntConvert, TryStrToInt) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"  42", 42}, // leading blanks allowed
        {"\t\n42", 42},
        {"42 ", std::nullopt}, // trailing blanks are not
        {"+7", 7},
        {"-7", -7},
        {"- 7", std::nullopt},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"$FFFFFFFF", -1}, // hexadecimal uses all 32 bits
        {"$100000000", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TryStrToInt(c.text), c.expected) << "'" << c.text << "'";
}

TEST(IntConvert, StrToIntNamesTheText) {
    EXPECT_EQ(StrToInt(" -12"), -12);
    try {
        StrToInt("12a");
        ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
}

TEST(PathFunctions, FileNameWithoutExt) {
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\dir\\clip.scr", "clip"},
        {"C:\\dir\\a.scr.scr", "a"}, // cut at the first occurrence of the extension
        {"C:\\dir\\noext", "noext"},
        {"/opt/zavrio/zavrio.scr", "zavrio"},
        {"C:clip.scr", "clip"},
        {"a.b.c", "a.b"},
        {"dir.d\\file", "file"}, // a dot in a directory is no extension
        {"C:\\dir\\", ""},
        {".hidden", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileNameWithoutExt(c.path), c.expected) << c.path;
}

TEST(PathFunctions, ShortFileName) {
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\x\\My Saver.scr", "MySaver~1.scr"},
        {"C:\\x\\Best Video Saver.scr", "BestVi~1.scr"},
        {"C:\\x\\LongSaverName.scr", "LongSa~1.scr"},
        {"C:\\x\\saver.scr", "saver.scr"},
        {"C:\\x\\abcdefgh.scr", "abcdefgh.scr"},
        {"C:\\x\\abcdefghi.scr", "abcdef~1.scr"},
        {"C:\\x\\a b.config", "ab~1.config"},  // the extension is never shortened
        {"/usr/bin/Zavrio Saver", "Zavrio~1"}, // blanks removed, nine characters left
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortFileName(c.path), c.expected) << c.path;
}

TEST(PathFunctions, ProgramDirectoryIsThisTestsFolder) {
    std::string directory = ProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_EQ(directory.front(), '/');
    EXPECT_EQ(directory, std::string(ZAVRIO_TEST_BINARY_DIR) + "/");
}

} // namespace
} // namespace zavrio
