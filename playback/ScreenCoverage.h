#pragma once
// Which screens a full-screen show covers: section "screens", key "Mode" of
// the settings file. "primary" (in any case) gives the primary screen alone;
// anything else, a missing key or nothing loaded, every screen.

namespace zavrio {

enum class ScreenCoverage {
    All,     // a view on every screen
    Primary, // the primary screen's view only
};

ScreenCoverage ConfiguredScreenCoverage();

} // namespace zavrio
