#pragma once
// Whether the monitors are lit, as the X server's power management (DPMS)
// tells it (Qt, X11).

#include <optional>

namespace zavrio {

// false while the X server has the monitors in standby, suspend or off;
// true while they are on or power management is disabled; nothing where
// there is no answer (not X11, or a server without DPMS).
std::optional<bool> DisplayPoweredOn();

} // namespace zavrio
