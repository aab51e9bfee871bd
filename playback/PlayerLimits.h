#pragma once
// How long the player waits before it calls a clip failed. A screensaver
// that nobody watches must never stay black or frozen: a clip that shows no
// picture, or whose picture stops, counts as failed (its error line shows
// and automatic advance moves on). Ten seconds is long enough for a slow
// server's first bytes and short enough that a stuck clip is noticed well
// before the 15 s advance would replace it.

#include <chrono>

namespace zavrio {

// From the start of a load to its first frame on screen.
inline constexpr std::chrono::milliseconds FirstFrameLimit{10000};
// Between two frames of a clip that plays (neither paused nor at its end).
inline constexpr std::chrono::milliseconds FrameGapLimit{10000};
// The player library's own network time-out; its default is 60 s.
inline constexpr std::chrono::seconds NetworkTimeout{10};
// A clip's download for the cache is dropped after this long without a byte.
inline constexpr std::chrono::seconds DownloadStallLimit{10};

} // namespace zavrio
