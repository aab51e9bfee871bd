#pragma once
// The local date and time as the playback window measures it: days since
// 30 December 1899, the time of day as the fraction, millisecond resolution.
// The window takes its clock as a function so tests can set the time.

#include <functional>

namespace zavrio {

using TNowFunction = std::function<double()>;

double LocalNow();

// Seconds between two such values.
inline double SecondsBetween(double earlier, double later) {
    return (later - earlier) * 24 * 60 * 60;
}

} // namespace zavrio
