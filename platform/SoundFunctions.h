#pragma once
// The system mute toggle, through the sound server's client library.

#include <cstdint>

namespace zavrio {

// Toggles the mute of the sound server's default sink and waits (at most about
// two seconds) until the server has done it, so that two calls restore the
// previous state. The server is the one the client library finds by itself
// (PULSE_SERVER, the user's runtime directory); none is ever started. Without
// a reachable server, or when the server fails or stalls, nothing happens and
// nothing is thrown. The window stands for the window the command comes from;
// the sound server does not need it.
void ToggleMute(std::uint64_t window);

} // namespace zavrio
