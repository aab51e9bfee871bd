#include "RFC822DateTime.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "feed/IntegerText.h"
#include "platform/TextToolkit.h"

namespace zavrio {

namespace {

constexpr std::array<std::string_view, 7> DayNames = {"SUN", "MON", "TUE", "WED",
                                                      "THU", "FRI", "SAT"};
constexpr std::array<std::string_view, 12> MonthNames = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::array<const char*, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The readers below work on views into the text they are given: a feed has a
// date or two per entry, and copying and erasing the text token by token cost
// more than the rest of the entry's reading.
void trimLeft(std::string_view& s) {
    s = TrimLeftBlanks(s);
}

// The text before the first delimiter, which s loses together with the
// delimiter; all of s when there is no delimiter.
std::string_view takeUpTo(std::string_view& s, char delimiter) {
    auto at = s.find(delimiter);
    if (at == std::string_view::npos) {
        std::string_view token = s;
        s = {};
        return token;
    }
    std::string_view token = s.substr(0, at);
    s.remove_prefix(at + 1);
    return token;
}

// 1..12, or 0 when the token is no month name.
int monthNumber(std::string_view token) {
    for (std::size_t i = 0; i < MonthNames.size(); ++i)
        if (SameTextNoCase(token, MonthNames[i]))
            return static_cast<int>(i) + 1;
    return 0;
}

bool startsWithDayName(std::string_view s) {
    for (auto name : DayNames)
        if (SameTextNoCase(s.substr(0, 3), name))
            return true;
    return false;
}

} // namespace

TRFC822DateTime::TRFC822DateTime() : FDateTime(Now()) {}

void TRFC822DateTime::SetTimeZone(const std::string& value) {
    if (value == FTimeZone)
        return;
    FTimeZone = value;
    FModified = true;
}

void TRFC822DateTime::SetDateTime(TDateTime value) {
    if (value == FDateTime)
        return;
    FDateTime = value;
    FModified = true;
}

void TRFC822DateTime::LoadFromRFC822(const std::string& text) {
    FSourceText = text;
    SetDateTime(RFC822ToDateTime(text));
}

void TRFC822DateTime::LoadFromISO8601(const std::string& text) {
    FSourceText = text;
    std::string_view s = text;
    int year = FeedStrToIntDef(takeUpTo(s, '-'), 0);
    int month = s.empty() ? 0 : FeedStrToIntDef(takeUpTo(s, '-'), 0);
    int day = s.empty() ? 0 : FeedStrToIntDef(takeUpTo(s, 'T'), 0);
    int hour = s.empty() ? 0 : FeedStrToIntDef(takeUpTo(s, ':'), 0);
    int minute = s.empty() ? 0 : FeedStrToIntDef(takeUpTo(s, ':'), 0);
    int second = 0;
    if (!s.empty()) {
        second = FeedStrToIntDef(s.substr(0, 2), 0);
        s.remove_prefix(std::min<std::size_t>(2, s.size()));
    }
    // Whatever follows the seconds ("Z", "+01:00", ".5Z") is kept as the zone
    // without counting as a change.
    if (!s.empty())
        FTimeZone.assign(s);

    auto date = TryEncodeDate(year, month, day);
    auto time = TryEncodeTime(hour, minute, second);
    SetDateTime(date && time ? ComposeDateTime(*date, *time) : Now());
}

std::string TRFC822DateTime::RFC822Text() const {
    DateTimeParts parts = DecodeDateTime(FDateTime);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d ",
                  ShortDayNames[static_cast<std::size_t>(parts.DayOfWeek)], parts.Day,
                  ShortMonthNames[static_cast<std::size_t>(parts.Month - 1)], parts.Year,
                  parts.Hour, parts.Minute, parts.Second);
    return buffer + FTimeZone;
}

TDateTime RFC822ToDateTime(const std::string& text) {
    std::string_view s = TrimBlanks(text);
    if (s.empty())
        return 0;

    if (startsWithDayName(s)) {
        takeUpTo(s, ' ');
        trimLeft(s);
    }

    // "06-Nov-94" style: a dash after the first character and before any space.
    auto dash = s.find('-');
    auto space = s.find(' ');
    const char separator = dash != std::string_view::npos && dash >= 1 &&
                                   space != std::string_view::npos && dash < space
                               ? '-'
                               : ' ';

    auto readDay = [&] {
        std::string_view token = takeUpTo(s, separator);
        trimLeft(s);
        return FeedStrToIntDef(token, 1);
    };
    auto readMonth = [&] {
        std::string_view token = takeUpTo(s, separator);
        trimLeft(s);
        return monthNumber(token);
    };
    int day = 0;
    int month = 0;
    if (monthNumber(s.substr(0, s.find(separator))) != 0) {
        month = readMonth();
        day = readDay();
    } else {
        day = readDay();
        month = readMonth();
    }

    std::string_view yearToken = takeUpTo(s, ' ');
    int year = 1900;
    if (auto written = TryFeedStrToInt(yearToken)) {
        year = *written;
    } else {
        // asctime order: the year comes last, after the time. Deciding this
        // on "not a number" rather than on the value 1900 keeps the time of
        // a date that really is in 1900.
        year = FeedStrToIntDef(s, 1900);
        s = yearToken;
    }
    if (year < 80)
        year += 2000;
    else if (year <= 99)
        year += 1900;

    auto date = TryEncodeDate(year, month, day);
    if (!date)
        return 0;
    TDateTime result = *date;

    if (s.find(':') != std::string_view::npos) {
        std::string_view t = takeUpTo(s, ' ');
        int hour = FeedStrToIntDef(takeUpTo(t, ':'), 0);
        int minute = FeedStrToIntDef(takeUpTo(t, ':'), 0);
        int second = FeedStrToIntDef(takeUpTo(t, ' '), 0);
        auto time = TryEncodeTime(hour, minute, second);
        if (!time)
            return 0;
        result = ComposeDateTime(result, *time);
    }
    return result;
}

} // namespace zavrio
