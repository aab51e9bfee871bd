#pragma once
// The start-up decision: which window the program opens, from its command line.
//
//   1  no argument, "/" alone, or "/a" or "/p" without a second argument:
//      configuration window
//   2  "/c" (anything after the letter, such as ":1234", is ignored):
//      configuration window
//   3  any other switch letter ("/s" in normal use): full-screen playback
//   4  "/p HWND": preview pane inside window HWND
//   5  "/a HWND": change password; the program ends at once
//
// The first character of the first argument is dropped whatever it is, and
// only the next one counts (ASCII letters compared without regard to case).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zavrio {

// Looked at before the mode: a first argument "--help" or "-h" asks for the
// usage text, "--version" for the version line. The program prints the
// answer and ends with status 0, without opening a window. nullopt for every
// other command line, which the mode rules below decide.
std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& args);

extern std::int32_t ScreensaverMode;
// An X11 window id; 0 means none. Set only in modes 4 and 5.
extern std::uint32_t ParentWindowHandle;

// Sets ScreensaverMode and ParentWindowHandle from the arguments that follow
// the program name.
void ParseCommandLine(const std::vector<std::string>& args);

// ParentWindowHandle := args[1] as an integer (decimal, or hexadecimal after
// "$" or "0x"), or 0 when it does not convert.
void ReadParentHandle(const std::vector<std::string>& args);

// Mode 3 inside a window of the X screensaver daemon: the window named by a
// "-window-id ID" or "--window-id ID" argument (anywhere among them), else by
// the XSCREENSAVER_WINDOW environment value (daemonWindow; null when unset).
// IDs are decimal or hexadecimal after "0x". None: the playback window covers
// the screen itself ("-root" alone means the same as "/s").
struct EmbeddingWindow {
    std::uint64_t Id = 0; // 0: none
    std::string Source;   // "--window-id", or "XSCREENSAVER_WINDOW"
    std::string Error;    // non-empty when an id is given but not a number
};
EmbeddingWindow FindEmbeddingWindow(const std::vector<std::string>& args, const char* daemonWindow);

} // namespace zavrio
