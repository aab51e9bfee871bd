#include "DateTimeFunctions.h"

#include <chrono>
#include <cmath>

namespace zavrio {

namespace {

using namespace std::chrono;

constexpr double MillisecondsPerDay = 86400000.0;
constexpr sys_days Epoch = sys_days{year{1899} / December / 30};

NowFunction& nowSource() {
    static NowFunction source;
    return source;
}

} // namespace

TDateTime Now() {
    if (auto& source = nowSource())
        return source();
    return LocalNow();
}

void SetNowSource(NowFunction source) {
    nowSource() = std::move(source);
}

std::optional<TDateTime> TryEncodeDate(int yearValue, int monthValue, int dayValue) {
    if (yearValue < 1 || yearValue > 9999 || monthValue < 1 || monthValue > 12 || dayValue < 1)
        return std::nullopt;
    year_month_day date{year{yearValue}, month{static_cast<unsigned>(monthValue)},
                        day{static_cast<unsigned>(dayValue)}};
    if (!date.ok())
        return std::nullopt;
    return static_cast<TDateTime>((sys_days{date} - Epoch).count());
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
        millisecond < 0 || millisecond >= 1000)
        return std::nullopt;
    double total = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond;
    return total / MillisecondsPerDay;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    // Before the epoch the day counts down while the time of day still counts
    // up, so a plain sum would move the clock time backwards.
    return date >= 0 ? date + time : date - time;
}

DateTimeParts DecodeDateTime(TDateTime value) {
    double whole = std::trunc(value);
    auto dayNumber = static_cast<long long>(whole);
    auto millis = std::llround(std::fabs(value - whole) * MillisecondsPerDay);
    if (millis >= static_cast<long long>(MillisecondsPerDay)) {
        ++dayNumber;
        millis = 0;
    }
    sys_days date = Epoch + days{dayNumber};
    year_month_day ymd{date};

    DateTimeParts parts;
    parts.Year = static_cast<int>(ymd.year());
    parts.Month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    parts.Day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    parts.DayOfWeek = static_cast<int>(weekday{date}.c_encoding());
    parts.Hour = static_cast<int>(millis / 3600000);
    parts.Minute = static_cast<int>(millis / 60000 % 60);
    parts.Second = static_cast<int>(millis / 1000 % 60);
    parts.Millisecond = static_cast<int>(millis % 1000);
    return parts;
}

} // namespace zavrio
