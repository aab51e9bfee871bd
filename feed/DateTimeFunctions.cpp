#include "DateTimeFunctions.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace zavrio {

namespace {

using namespace std::chrono;

constexpr double MillisecondsPerDay = 86400000.0;
constexpr sys_days Epoch = sys_days{year{1899} / December / 30};

std::function<TDateTime()>& nowSource() {
    static std::function<TDateTime()> source;
    return source;
}

TDateTime localClock() {
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    auto millisecond =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    auto date = TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    // A leap second (tm_sec 60) is folded into the last regular second.
    auto time = TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                              millisecond < 0 ? 0 : millisecond);
    return ComposeDateTime(date.value_or(0), time.value_or(0));
}

} // namespace

TDateTime Now() {
    if (auto& source = nowSource())
        return source();
    return localClock();
}

void SetNowSource(std::function<TDateTime()> source) {
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
