#include "ScreensaverMode.h"

#include "platform/IntConvert.h"
#include "platform/TextToolkit.h"

#include <cerrno>
#include <cstdlib>

namespace zavrio {

std::int32_t ScreensaverMode = 1;
std::uint32_t ParentWindowHandle = 0;

namespace {

const char* const kUsage =
    "usage: zavrio-screensaver [SWITCH [ID]]\n"
    "Plays the video clips of a web feed full screen, as a screensaver.\n"
    "\n"
    "  (no switch)      open the configuration window\n"
    "  /c               open the configuration window (\"/c:ID\" too)\n"
    "  /s               run the screensaver full screen (so does any switch\n"
    "                   letter other than a, c and p)\n"
    "  /p ID            show the preview picture inside the X11 window ID\n"
    "  /a ID            end at once (there is no password to change)\n"
    "  --root           run the screensaver full screen (the screensaver\n"
    "                   daemon's way of saying /s)\n"
    "  --window-id ID   run the screensaver inside the X11 window ID; the\n"
    "                   XSCREENSAVER_WINDOW environment variable does the same\n"
    "  -h, --help       print this text and exit\n"
    "  --version        print the version and exit\n"
    "\n"
    "A switch may begin with \"/\" or \"-\", in either letter case; an ID is\n"
    "decimal or hexadecimal after \"0x\". The settings are zavriofeeds.ini beside\n"
    "the program when its folder is writable, else\n"
    "$XDG_CONFIG_HOME/zavrio-screensaver/zavriofeeds.ini (~/.config/...).\n"
    "See zavrio-screensaver(1).\n";

} // namespace

std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& args) {
    if (args.empty())
        return std::nullopt;
    if (args[0] == "--help" || args[0] == "-h")
        return kUsage;
    if (args[0] == "--version")
        return std::string("zavrio-screensaver ") + ZAVRIO_VERSION + "\n";
    return std::nullopt;
}

void ReadParentHandle(const std::vector<std::string>& args) {
    auto handle = args.size() > 1 ? TryStrToInt(args[1]) : std::nullopt;
    ParentWindowHandle = static_cast<std::uint32_t>(handle.value_or(0));
}

void ParseCommandLine(const std::vector<std::string>& args) {
    ScreensaverMode = 1;
    if (args.empty())
        return;
    // A switch with nothing after its first character names no mode; opening
    // the configuration window is the one choice that can never start a
    // full-screen run by accident.
    if (args[0].size() < 2)
        return;
    const char letter = AsciiUpper(args[0][1]);
    const bool hasSecond = args.size() > 1;
    switch (letter) {
    case 'A':
        if (hasSecond) {
            ScreensaverMode = 5;
            ReadParentHandle(args);
        }
        break;
    case 'C':
        ScreensaverMode = 2;
        break;
    case 'P':
        if (hasSecond) {
            ScreensaverMode = 4;
            ReadParentHandle(args);
        }
        break;
    default:
        ScreensaverMode = 3;
        break;
    }
}

namespace {

// A whole decimal or "0x" hexadecimal number above 0.
std::uint64_t windowNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                              std::string::npos)
        return 0;
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    return errno == 0 && value <= 0xFFFFFFFFull ? value : 0;
}

EmbeddingWindow fromText(const std::string& text, std::string source) {
    EmbeddingWindow found;
    found.Id = windowNumber(text);
    found.Source = std::move(source);
    if (found.Id == 0)
        found.Error =
            "the window id \"" + text + "\" given by " + found.Source + " is not a number";
    return found;
}

} // namespace

EmbeddingWindow FindEmbeddingWindow(const std::vector<std::string>& args,
                                    const char* daemonWindow) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "-window-id" && args[i] != "--window-id")
            continue;
        if (i + 1 == args.size()) {
            EmbeddingWindow missing;
            missing.Source = args[i];
            missing.Error = args[i] + " needs a window id after it";
            return missing;
        }
        return fromText(args[i + 1], "--window-id");
    }
    if (daemonWindow && *daemonWindow)
        return fromText(daemonWindow, "XSCREENSAVER_WINDOW");
    return {};
}

} // namespace zavrio
