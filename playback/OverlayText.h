#pragma once
// What the title and clock overlay says ([overlay] Title and Clock): the
// local time in hours and minutes the whole time, and the entry's title
// for the first TitleSeconds of its clip, counted from its first frame.

#include "platform/LocalClock.h"
#include "settings/SaverSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace zavrio {

inline constexpr double TitleSeconds = 6;

// "HH:MM", 24-hour, of a local date-time.
std::string HoursAndMinutes(TDateTime when);

// The overlay's lines, top first: the clock, then the title; none when the
// extras ask for neither or the title's time is over. sinceFirstFrame: how
// long the clip has shown a frame, nothing while it has none.
std::vector<std::string> OverlayLines(const ShowExtras& extras, const std::string& title,
                                      std::optional<double> sinceFirstFrame, TDateTime now);

} // namespace zavrio
