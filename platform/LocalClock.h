#pragma once
// The program's one clock. A date-time is a day count as a double: 0 is
// 30 December 1899 00:00 and the fraction is the time of day. LocalNow reads
// the local wall clock at millisecond resolution; code that needs "now" takes
// a NowFunction (or, in the feed model, a replaceable source) so tests can
// set the time.

#include <functional>

namespace zavrio {

using TDateTime = double;
using NowFunction = std::function<TDateTime()>;

TDateTime LocalNow();

// Seconds from earlier to later.
inline double SecondsBetween(TDateTime earlier, TDateTime later) {
    return (later - earlier) * 24 * 60 * 60;
}

} // namespace zavrio
