#pragma once
// Translates Qt input events into the message numbers and wParam values the
// exit-on-input policy decides on: key press -> WM_KEYDOWN, with Alt ->
// WM_SYSKEYDOWN (wParam the virtual-key code, 27 for Escape); mouse move ->
// WM_MOUSEMOVE; left / right press -> WM_LBUTTONDOWN / WM_RBUTTONDOWN.
// Everything else (releases, the middle button, the wheel) has no message.

#include <QEvent>

#include <cstdint>
#include <optional>

namespace zavrio {

struct InputMessage {
    std::uint32_t Message = 0;
    std::uintptr_t WParam = 0;

    bool operator==(const InputMessage&) const = default;
};

std::optional<InputMessage> InputMessageFromEvent(const QEvent& event);

} // namespace zavrio
