#pragma once
// When a show tries its feed again after a failed download: 30 s after the
// first failure, then twice as long after each further one, at most every
// five minutes. A download that has brought no byte for FeedStallLimit starts
// the saved clips while it goes on waiting.

#include <algorithm>
#include <chrono>

namespace zavrio {

inline constexpr std::chrono::seconds FirstRetryDelay{30};
inline constexpr std::chrono::seconds LongestRetryDelay{300};
inline constexpr std::chrono::seconds FeedStallLimit{30};

// The wait after the failures-th failure in a row (counted from 1).
constexpr std::chrono::seconds RetryDelay(int failures) {
    std::chrono::seconds delay = FirstRetryDelay;
    for (int i = 1; i < failures && delay < LongestRetryDelay; ++i)
        delay *= 2;
    return std::min(delay, LongestRetryDelay);
}

} // namespace zavrio
