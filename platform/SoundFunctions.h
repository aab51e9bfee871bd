#pragma once
// The sound server's default sink: its mute read, set and toggled through the
// server's client library, and the mute a screensaver holds for the user's
// whole session of copies.
//
// The server is the one the client library finds by itself (PULSE_SERVER,
// the user's runtime directory); none is ever started. Every call waits at
// most about two seconds; without a reachable server, or when the server
// fails or stalls, nothing happens and nothing is thrown.

#include <cstdint>
#include <optional>

namespace zavrio {

// Toggles the mute of the default sink and waits until the server has done
// it, so that two calls restore the previous state. The window stands for the
// window the command comes from; the sound server does not need it.
void ToggleMute(std::uint64_t window);

// Whether the default sink is muted; nothing when it cannot be told.
std::optional<bool> DefaultSinkMuted();
// Mutes or unmutes the default sink and waits until the server has done it.
void SetDefaultSinkMute(bool muted);

// The mute of a show with Mute set, shared by every copy of the program the
// user runs at the same time (SharedMute.h, records in
// RuntimeRecordDirectory()): Hold mutes the default sink, remembering its
// state when no other copy holds it yet; Release gives the state back once no
// live copy holds it any more. A held mute is also released when the process
// exits through exit() (the X library does so when the display connection
// is cut).
void HoldSessionMute();
void ReleaseSessionMute();

} // namespace zavrio
