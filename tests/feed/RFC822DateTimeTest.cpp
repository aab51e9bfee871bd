#include <gtest/gtest.h>

#include <string>

#include "feed/DateTimeFunctions.h"
#include "feed/IntegerText.h"
#include "feed/RFC822DateTime.h"

namespace zavrio {
namespace {

// Day numbers counted from 30 Dec 1899, worked out independently.
constexpr double Nov6th1994 = 34644;
constexpr double Nov27th2008 = 39779;

constexpr double timeOfDay(int hour, int minute, int second) {
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

// A fixed "now" for everything that falls back to the local clock.
constexpr double FixedNow = 46366 + timeOfDay(4, 5, 6); // 10 Dec 2026 04:05:06

class FeedDates : public ::testing::Test {
protected:
    void SetUp() override {
        SetNowSource([] { return FixedNow; });
    }
    void TearDown() override { SetNowSource({}); }
};

TEST_F(FeedDates, NewDateIsNowInGmtAndUnmodified) {
    TRFC822DateTime date;
    EXPECT_EQ(date.DateTime(), FixedNow);
    EXPECT_EQ(date.TimeZone(), "GMT");
    EXPECT_FALSE(date.Modified());
    EXPECT_EQ(date.SourceText(), "");
}

TEST_F(FeedDates, SettersMarkOnlyRealChanges) {
    TRFC822DateTime date;
    date.SetDateTime(FixedNow);
    date.SetTimeZone("GMT");
    EXPECT_FALSE(date.Modified());
    date.SetTimeZone("gmt"); // case counts
    EXPECT_TRUE(date.Modified());

    TRFC822DateTime other;
    other.SetDateTime(1.5);
    EXPECT_TRUE(other.Modified());
    EXPECT_EQ(other.DateTime(), 1.5);
}

TEST_F(FeedDates, Rfc822TextsOfTheUsualShapes) {
    struct Case {
        const char* text;
        double value;
    };
    const double morning = Nov6th1994 + timeOfDay(8, 49, 37);
    const Case cases[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", morning},
        {"06-Nov-94 08:49:37", morning},
        {"Sun Nov 6 08:49:37 1994", morning}, // asctime order
        {"Nov 6 08:49:37 1994", morning},
        {"Sunday, 06-Nov-94 08:49:37 GMT", morning},
        {"  sun,   06 nov 1994 08:49:37 +0100 ", morning}, // names in any case, zone ignored
        {"Sun, 06 Nov 1994", Nov6th1994},
        {"6 Nov 1994 8:49", Nov6th1994 + timeOfDay(8, 49, 0)},
        {"Thu, 27 Nov 08 10:20:30 EST", Nov27th2008 + timeOfDay(10, 20, 30)},
        {"27 Nov 2008 23:59:59 Z", Nov27th2008 + timeOfDay(23, 59, 59)},
        {"01 Jan 1850 06:00:00", -18260 - 0.25}, // before 1899 the time still runs forward
        {"Tue, 06 Nov 1900 08:49:37 GMT", 311 + timeOfDay(8, 49, 37)}, // a real year 1900
        {"Tue Nov 6 08:49:37", 311 + timeOfDay(8, 49, 37)},            // asctime without a year
        {"garbage", 0},
        {"", 0},
        {"   ", 0},
        {"Sun, 31 Nov 1994 08:49:37 GMT", 0}, // no 31st of November
        {"Sun, 06 Nov 1994 24:00:00 GMT", 0},
        {"Sun, 06 November 1994 08:49:37", 0}, // full month names are not read
        {"Sun, 06 Nov 1994 08:60:00", 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(RFC822ToDateTime(c.text), c.value) << c.text;
    }
}

TEST_F(FeedDates, LoadFromRfc822KeepsTheZoneAndRecordsTheSource) {
    TRFC822DateTime date;
    date.LoadFromRFC822("Sun, 06 Nov 1994 08:49:37 EST");
    EXPECT_DOUBLE_EQ(date.DateTime(), Nov6th1994 + timeOfDay(8, 49, 37));
    EXPECT_EQ(date.TimeZone(), "GMT");
    EXPECT_EQ(date.SourceText(), "Sun, 06 Nov 1994 08:49:37 EST");
    EXPECT_TRUE(date.Modified());

    date.LoadFromRFC822("garbage");
    EXPECT_EQ(date.DateTime(), 0);
}

TEST_F(FeedDates, LoadFromIso8601) {
    struct Case {
        const char* text;
        double value;
        const char* zone;
    };
    const Case cases[] = {
        {"2008-11-27T10:20:30Z", Nov27th2008 + timeOfDay(10, 20, 30), "Z"},
        {"2008-11-27T10:20:30+01:00", Nov27th2008 + timeOfDay(10, 20, 30), "+01:00"},
        {"2008-11-27T10:20:30.5Z", Nov27th2008 + timeOfDay(10, 20, 30), ".5Z"},
        {"2008-11-27", Nov27th2008, "GMT"},
        {"2008-11-27T10:20", Nov27th2008 + timeOfDay(10, 20, 0), "GMT"},
        {"2008-13-01", FixedNow, "GMT"},
        {"2008-02-30T00:00:00Z", FixedNow, "Z"},
        {"2008-11-27T24:00:00Z", FixedNow, "Z"},
        {"0000-01-01", FixedNow, "GMT"},
        {"garbage", FixedNow, "GMT"},
        {"", FixedNow, "GMT"},
    };
    for (const Case& c : cases) {
        TRFC822DateTime date;
        date.LoadFromISO8601(c.text);
        EXPECT_DOUBLE_EQ(date.DateTime(), c.value) << c.text;
        EXPECT_EQ(date.TimeZone(), c.zone) << c.text;
        EXPECT_EQ(date.SourceText(), c.text);
    }
}

TEST_F(FeedDates, IsoZoneAloneDoesNotCountAsAChange) {
    TRFC822DateTime date;
    date.SetDateTime(Nov27th2008 + timeOfDay(10, 20, 30));
    date.SetModified(false);
    date.LoadFromISO8601("2008-11-27T10:20:30+05:00");
    EXPECT_EQ(date.TimeZone(), "+05:00");
    EXPECT_FALSE(date.Modified());
}

TEST_F(FeedDates, Rfc822TextUsesEnglishNamesAndTheZone) {
    TRFC822DateTime date;
    date.SetDateTime(Nov6th1994 + timeOfDay(8, 49, 37));
    EXPECT_EQ(date.RFC822Text(), "Sun, 06 Nov 1994 08:49:37 GMT");
    date.SetTimeZone("+0100");
    date.SetDateTime(0);
    EXPECT_EQ(date.RFC822Text(), "Sat, 30 Dec 1899 00:00:00 +0100");
    date.SetDateTime(-1.25);
    EXPECT_EQ(date.RFC822Text(), "Fri, 29 Dec 1899 06:00:00 +0100");
}

TEST(FeedDateFunctions, EncodeAndDecodeCalendarDays) {
    struct Case {
        int year, month, day;
        double value;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},    {1900, 3, 1, 61},   {1994, 11, 6, Nov6th1994},
        {2000, 2, 29, 36585}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const Case& c : cases) {
        auto encoded = TryEncodeDate(c.year, c.month, c.day);
        ASSERT_TRUE(encoded) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(*encoded, c.value);
        DateTimeParts parts = DecodeDateTime(c.value);
        EXPECT_EQ(parts.Year, c.year);
        EXPECT_EQ(parts.Month, c.month);
        EXPECT_EQ(parts.Day, c.day);
    }
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1));
    EXPECT_FALSE(TryEncodeDate(2000, 0, 1));
    EXPECT_FALSE(TryEncodeTime(23, 59, 60));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0));
}

TEST(FeedDateFunctions, LocalClockIsUsedWithoutASource) {
    SetNowSource({});
    double before = Now();
    EXPECT_GT(before, 40000); // some day after 2009
    SetNowSource([] { return 12.5; });
    EXPECT_EQ(Now(), 12.5);
    SetNowSource({});
    EXPECT_GT(Now(), 40000);
}

TEST(FeedIntegerText, OptionallySignedDecimalWithSurroundingBlanks) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {" \t 42\r\n", 42},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-", std::nullopt},
        {"4 2", std::nullopt},
        {"1,000", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"$10", std::nullopt},
        {"true", std::nullopt},
        {"12abc", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TryFeedStrToInt(c.text), c.value) << "'" << c.text << "'";
        EXPECT_EQ(FeedStrToIntDef(c.text, -7), c.value.value_or(-7)) << "'" << c.text << "'";
    }
}

TEST(FeedIntegerText, FailureNamesTheText) {
    EXPECT_EQ(FeedStrToInt(" 12 "), 12);
    try {
        FeedStrToInt("12px");
        ADD_FAILURE() << "accepted 12px";
    } catch (const ConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'12px' is not a valid integer value");
    }
}

} // namespace
} // namespace zavrio
