#pragma once
// The fade through black at a change of clip ([player] Fade=MS): how dark a
// view's picture is at a moment, from where its clip stands. Over the last
// MS before the automatic advance is due the picture darkens to black; it
// stays black while the next clip loads and brightens from black over MS
// once that clip's first frame is drawn. The first clip of a show brightens
// the same way.

#include <optional>

namespace zavrio {

// 0: the picture as it is; 1: black. fadeMs 0 (or less) is no fade: always
// 0. sinceFirstFrame: seconds since the clip's first frame was drawn,
// nothing while it has none; untilAdvance: seconds until the automatic
// advance is due (negative once it is), nothing while none is coming.
double FadeShade(int fadeMs, std::optional<double> sinceFirstFrame,
                 std::optional<double> untilAdvance);

} // namespace zavrio
