#include "platform/LocalClock.h"

#include <chrono>
#include <ctime>

namespace zavrio {

TDateTime LocalNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&secs, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    constexpr double UnixEpochDays = 25569; // 1970-01-01 counted from 1899-12-30
    const double localSeconds = static_cast<double>(secs) + static_cast<double>(local.tm_gmtoff);
    return UnixEpochDays + (localSeconds + static_cast<double>(ms) / 1000.0) / 86400.0;
}

} // namespace zavrio
