#pragma once
// Process-wide flags shared by the playback and configuration windows.

namespace zavrio {

// Set by the configuration window before its first preview, never cleared.
// While set, the playback window never hides the cursor.
extern bool PreviewFromConfig;

} // namespace zavrio
