#include <gtest/gtest.h>

#include <string>

#include "feed/ParseHelpers.h"
#include "feed/RSSChannel.h"
#include "feed/XMLDocument.h"
#include "feed/XMLErrors.h"
#include "platform/IntConvert.h"

namespace zavrio {
namespace {

TEST(LanguageFromCode, MatchesCodesExactly) {
    struct Case {
        const char* text;
        TLanguages language;
    };
    const Case cases[] = {
        {"af", langAF},    {"en", langEN},       {"en-us", langEN_US}, {"zh-cn", langZH_CN},
        {"haw", langHAW},  {"es-ve", langES_VE}, {"uk", langUK},       {"in", langIN},
        {"EN-US", langX},  // no case folding
        {"en-us ", langX}, // no trimming
        {"en_us", langX},  {"", langX},          {"x", langX},         {"english", langX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageFromCode(c.text), c.language) << "'" << c.text << "'";
}

TEST(LanguageFromCode, EveryCodeLeadsBackToItsLanguage) {
    for (int i = 0; i < LanguageCodeCount; ++i) {
        auto language = static_cast<TLanguages>(i);
        const std::string& code = LanguageCode(language);
        EXPECT_FALSE(code.empty()) << i;
        EXPECT_EQ(LanguageFromCode(code), language) << code;
    }
    EXPECT_EQ(LanguageCode(langX), "");
    EXPECT_EQ(LanguageCount, 97);
}

class SkipElements : public ::testing::Test {
protected:
    IXMLNode load(const std::string& xml) {
        document.Load(xml);
        return document.DocumentElement();
    }
    TXMLDocument document;
};

TEST_F(SkipElements, HoursFromChildTextsWhateverTheirNames) {
    IXMLNode element = load("<skipHours><hour>0</hour><hour>7</hour><hour>07</hour>"
                            "<hour>24</hour><hour/><hour> 9</hour><other>5</other>"
                            "<!--13--><hour>23</hour></skipHours>");
    TRSSChannelSkipHours hours;
    ReadSkipHours(element, hours);
    for (int hour = 0; hour < 24; ++hour) {
        // The comment child's data counts like any other child's text.
        bool expected = hour == 0 || hour == 7 || hour == 5 || hour == 13 || hour == 23;
        EXPECT_EQ(hours.Hour(hour), expected) << hour;
    }
    EXPECT_TRUE(hours.h00() && hours.h07() && hours.h05() && hours.h23());
}

TEST_F(SkipElements, FlagsAreOnlyEverSet) {
    TRSSChannelSkipHours hours;
    hours.Seth12(true);
    ReadSkipHours(load("<skipHours><hour>3</hour></skipHours>"), hours);
    EXPECT_TRUE(hours.h12());
    EXPECT_TRUE(hours.h03());

    TRSSChannelSkipDays days;
    days.SetFriday(true);
    ReadSkipDays(load("<skipDays><day>Monday</day><day>sunday</day><day>Sunday </day>"
                      "<x>Saturday</x></skipDays>"),
                 days);
    EXPECT_TRUE(days.Monday());
    EXPECT_FALSE(days.Tuesday() || days.Wednesday() || days.Thursday());
    EXPECT_TRUE(days.Friday());
    EXPECT_TRUE(days.Saturday());
    EXPECT_FALSE(days.Sunday());
}

TEST_F(SkipElements, UnreadableChildFailsAfterEarlierFlagsWereSet) {
    IXMLNode element =
        load("<skipDays><day>Tuesday</day><day>Wed<b>nes</b>day</day><day>Friday</day></skipDays>");
    TRSSChannelSkipDays days;
    EXPECT_THROW(ReadSkipDays(element, days), EXMLDocError);
    EXPECT_TRUE(days.Tuesday());
    EXPECT_FALSE(days.Friday());

    TRSSChannelSkipHours hours;
    IXMLNode hoursElement = load("<skipHours><h>4</h><h>1<i/></h><h>6</h></skipHours>");
    EXPECT_THROW(ReadSkipHours(hoursElement, hours), EXMLDocError);
    EXPECT_TRUE(hours.h04());
    EXPECT_FALSE(hours.h06());
}

TEST(DecodeContent, Base64InGroupsOfFour) {
    struct Case {
        std::string text;
        std::string bytes;
    };
    const Case cases[] = {
        {"", ""},
        {"TWFu", "Man"},
        {"TWE=", "Ma"},
        {"TQ==", "M"},
        {"PGI+aGk8L2I+", "<b>hi</b>"},
        {"AP8A", std::string("\x00\xFF\x00", 3)},
        {"w6k=", "\xC3\xA9"},
        {"TQ==TWFu", "MMan"},    // a pad ends only its own group
        {"TW=u", "M"},           // a pad in the third place yields one byte
        {"TWF\nTWFu", "Ma@Man"}, // the line break is a character of its group, not skipped
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeContent(0, c.text), c.bytes) << c.text;
}

TEST(DecodeContent, UnevenLengthFailsAndOtherModesPassThrough) {
    for (const char* text : {"TWFuT", "T", "TWFu\n"}) {
        try {
            DecodeContent(0, text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "Uneven size in DecodeToStream.");
        }
    }
    EXPECT_EQ(DecodeContent(1, "TWFuT"), "TWFuT");
    EXPECT_EQ(DecodeContent(255, "TWFu"), "TWFu");
}

} // namespace
} // namespace zavrio
