#pragma once
// Our entry in the X screensaver daemon's preferences (~/.xscreensaver), so
// that the daemon starts this program after the idle time.
//
// The file is X resource syntax: "name:<blanks>value" lines, a value going on
// over the next line while its line ends in "\". The "programs:" value lists
// the screensavers, each ended by the two characters "\n". The edit touches
// three resources and leaves every other byte as it was:
//   - programs: our entry, "Zavrio Video Screensaver" <program> --root, is
//     added at the end of the list, or an entry of ours already there (the
//     same name, or the same program) is rewritten in place: never two;
//   - mode: set to "one" (play the selected screensaver only);
//   - selected: set to the position of our entry in the list (from 0).
// A resource that is missing is added before "programs:", or at the end.
// Without a file a minimal one holding just these three is made.

#include <optional>
#include <string>

namespace zavrio {

inline constexpr const char* DaemonEntryName = "Zavrio Video Screensaver";

// The preferences with our entry for programPath, from their current text
// (nullopt: no file yet).
std::string RegisterWithDaemon(const std::optional<std::string>& current,
                               const std::string& programPath);

// What the preferences say about us, for diagnostics.
struct DaemonRegistration {
    int entryIndex = -1; // our entry's position in "programs:", -1 when absent
    std::string entry;   // its text
    std::string mode;    // the value of "mode:", "" when absent
    int selected = -1;   // the value of "selected:", -1 when absent or not a number
    bool IsSelected() const { return entryIndex >= 0 && mode == "one" && selected == entryIndex; }
};
DaemonRegistration ReadDaemonRegistration(const std::string& text, const std::string& programPath);

// ~/.xscreensaver of the user ($HOME).
std::string DaemonPreferencesPath();

// Rewrites the user's preferences file atomically; throws on failure.
void RegisterWithDaemon(const std::string& programPath);

} // namespace zavrio
