#pragma once
// The exit-on-input decision of the playback window, as a pure function of a
// message, its wParam and the options. The window's application event filter
// turns Qt input events into these message numbers (QtInputMessage.h) and
// then closes the window or drops the event as decided here.

#include "settings/SaverSettings.h"

#include <cstdint>

namespace zavrio {

inline constexpr std::uint32_t WM_KEYDOWN = 256;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 260;
inline constexpr std::uint32_t WM_SYSCOMMAND = 274;
inline constexpr std::uint32_t WM_MOUSEMOVE = 512;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 513;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 516;
inline constexpr std::uintptr_t SC_SCREENSAVE = 61760;
inline constexpr std::uintptr_t VK_ESCAPE = 27;

// Mouse-move messages still tolerated before the playback window closes.
// Reset to MouseMoveAllowanceStart at every show and every 3000 ms.
inline constexpr std::int32_t MouseMoveAllowanceStart = 20;
extern std::int32_t MouseMoveAllowance;

struct ExitDecision {
    bool Close = false;   // ask the playback window to close
    bool Handled = false; // drop the message instead of delivering it

    bool operator==(const ExitDecision&) const = default;
};

// The decision for one message while the playback window is visible (the
// caller lets everything pass while it is hidden). May decrease allowance,
// which is the only state the decision keeps.
ExitDecision DecideExit(std::uint32_t message, std::uintptr_t wParam, const TSaverSettings& options,
                        std::int32_t& allowance);

} // namespace zavrio
