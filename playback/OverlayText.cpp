#include "playback/OverlayText.h"

#include <cmath>

namespace zavrio {

std::string HoursAndMinutes(TDateTime when) {
    // Whole milliseconds first, so 12:00 held as 11:59:59.9999 reads 12:00.
    const double dayMs = 24.0 * 60 * 60 * 1000;
    const auto ms = static_cast<long long>(std::llround((when - std::floor(when)) * dayMs));
    const int minutes = static_cast<int>(ms / 60000 % (24 * 60));
    const auto twoDigits = [](int n) {
        return std::string{char('0' + n / 10), char('0' + n % 10)};
    };
    return twoDigits(minutes / 60) + ":" + twoDigits(minutes % 60);
}

std::vector<std::string> OverlayLines(const ShowExtras& extras, const std::string& title,
                                      std::optional<double> sinceFirstFrame, TDateTime now) {
    std::vector<std::string> lines;
    if (extras.Clock)
        lines.push_back(HoursAndMinutes(now));
    if (extras.Title && !title.empty() && sinceFirstFrame && *sinceFirstFrame < TitleSeconds)
        lines.push_back(title);
    return lines;
}

} // namespace zavrio
