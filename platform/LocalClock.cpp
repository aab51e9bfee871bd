#include "platform/LocalClock.h"

#include <chrono>
#include <ctime>

namespace zavrio {

TDateTime LocalNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    // A feed load asks for "now" for each of thousands of entries within the
    // same second; the local time of that second is kept, not computed again.
    thread_local std::time_t lastSecs = -1;
    thread_local std::tm local{};
    if (secs != lastSecs) {
        localtime_r(&secs, &local);
        lastSecs = secs;
    }
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    constexpr double UnixEpochDays = 25569; // 1970-01-01 counted from 1899-12-30
    const double localSeconds = static_cast<double>(secs) + static_cast<double>(local.tm_gmtoff);
    return UnixEpochDays + (localSeconds + static_cast<double>(ms) / 1000.0) / 86400.0;
}

} // namespace zavrio
