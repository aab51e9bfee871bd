#include "playback/ExitPolicy.h"

namespace zavrio {

std::int32_t MouseMoveAllowance = 0;

TExitDecision DecideExit(std::uint32_t message, std::uintptr_t wParam,
                         const TSaverSettings& options, std::int32_t& allowance) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Key messages are delivered even when they close the window.
        if (options.OnlyEscKeyExit)
            return {wParam == VK_ESCAPE, false};
        return {options.ShowCursor || options.KeyboardPressExit || NoExitConditionSelected(options), false};
    case WM_SYSCOMMAND:
        // The whole wParam is compared: the low four bits are not masked.
        return {false, wParam == SC_SCREENSAVE};
    case WM_MOUSEMOVE:
        if (options.ShowCursor || options.OnlyEscKeyExit || !options.MouseMoveExit)
            return {};
        if (allowance > 0) {
            --allowance;
            return {};
        }
        return {true, false};
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (options.ShowCursor || options.OnlyEscKeyExit || !options.MousePressExit)
            return {};
        return {true, true};
    default:
        return {};
    }
}

} // namespace zavrio
