#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the way closing its window
// does: the screensaver daemon ends screensavers with SIGTERM, and a
// screensaver stopped that way must still give back the mute and the cursor
// and stop its player.
//
// The handler only writes a byte into a pipe that the Qt event loop watches
// (and passes the signal on to the GUI thread, so a wait there ends at once
// even while a download runs). From the loop, the modal windows are closed
// first, then every window, and the loop ends. A program that is still
// running two seconds later is ended by SIGALRM.

namespace zavrio {

// Call once, after the application object exists.
void EndOnTerminationSignals();

} // namespace zavrio
