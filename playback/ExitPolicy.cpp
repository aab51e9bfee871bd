#include "playback/ExitPolicy.h"

namespace zavrio {

std::int32_t MouseMoveAllowance = 0;

ExitDecision DecideExit(std::uint32_t message, std::uintptr_t wParam, const TSaverSettings& options,
                        std::int32_t& allowance) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Key messages are delivered even when they close the window.
        if (options.OnlyEscKeyExit)
            return {.Close = wParam == VK_ESCAPE};
        return {.Close = options.ShowCursor || options.KeyboardPressExit ||
                         NoExitConditionSelected(options)};
    case WM_SYSCOMMAND:
        // The whole wParam is compared: the low four bits are not masked.
        return {.Handled = wParam == SC_SCREENSAVE};
    case WM_MOUSEMOVE:
        if (options.ShowCursor || options.OnlyEscKeyExit || !options.MouseMoveExit)
            return {};
        if (allowance > 0) {
            --allowance;
            return {};
        }
        return {.Close = true};
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (options.ShowCursor || options.OnlyEscKeyExit || !options.MousePressExit)
            return {};
        return {.Close = true, .Handled = true};
    default:
        return {};
    }
}

} // namespace zavrio
