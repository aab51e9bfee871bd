#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the way closing its window
// does: the screensaver daemon ends screensavers with SIGTERM, and a
// screensaver stopped that way must still give back the mute and the cursor
// and stop its player.
//
// The handler only writes a byte into a pipe that the Qt event loop watches
// (and passes the signal on to the GUI thread, so a wait there ends at once
// even while a download runs). From the loop, the modal windows are closed
// first, then every window, and the loop ends.
//
// A program that is still running two seconds later (its GUI thread busy
// elsewhere) is ended by a fallback that first gives back what the windows
// would have (the sound's mute), then ends the process with status 1 and a
// line on standard error.

#include <chrono>
#include <functional>

namespace zavrio {

// Call once, after the application object exists. lastWords runs in the
// fallback before the process ends (on a thread of its own, not in a signal
// handler); grace is how long the loop has to end first.
void EndOnTerminationSignals(std::function<void()> lastWords = {},
                             std::chrono::milliseconds grace = std::chrono::seconds(2));

} // namespace zavrio
