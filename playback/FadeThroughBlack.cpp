#include "playback/FadeThroughBlack.h"

#include <algorithm>

namespace zavrio {

double FadeShade(int fadeMs, std::optional<double> sinceFirstFrame,
                 std::optional<double> untilAdvance) {
    if (fadeMs <= 0)
        return 0;
    if (!sinceFirstFrame)
        return 1;
    const double length = fadeMs / 1000.0;
    double shade = 1 - *sinceFirstFrame / length;
    if (untilAdvance)
        shade = std::max(shade, 1 - *untilAdvance / length);
    return std::clamp(shade, 0.0, 1.0);
}

} // namespace zavrio
