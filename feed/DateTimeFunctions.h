#pragma once
// Date-times of the feed model (TDateTime, the program's day count). For days
// before 30 December 1899 the integer part counts back and the fraction still
// reads forwards as the time of day (-1.25 is 29 December 1899 06:00).
//
// The local clock sits behind a replaceable source so that the model's
// defaults of "now" can be tested with a fixed time.

#include "platform/LocalClock.h"

#include <functional>
#include <optional>
#include <string>

namespace zavrio {

// LocalNow() unless a source was installed.
TDateTime Now();

// Installs the source Now() asks; an empty function restores the local clock.
void SetNowSource(NowFunction source);

// The day of year-month-day, or nothing when that is no calendar date in
// years 1 to 9999.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);

// The fraction of a day, or nothing when hour < 24, minute < 60, second < 60
// and millisecond < 1000 do not all hold (or a part is negative).
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond = 0);

// date plus time of day, also for days before the epoch.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

struct DateTimeParts {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
    int DayOfWeek = 0; // 0 = Sunday ... 6 = Saturday
};

// The calendar parts of a value, rounded to the millisecond.
DateTimeParts DecodeDateTime(TDateTime value);

} // namespace zavrio
