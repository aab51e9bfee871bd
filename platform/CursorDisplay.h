#pragma once
// The process-wide cursor display counter (Qt).

namespace zavrio {

// show raises the counter by one, hide lowers it; returns the new count. The
// counter starts at 0, and while it is below 0 the mouse cursor is blank over
// every window of the application (an application override cursor). Calls
// made before the application object exists only count; the cursor follows
// at the next call once it exists. GUI thread only.
int ShowCursor(bool show);

} // namespace zavrio
