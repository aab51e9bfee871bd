#include "ScreensaverMode.h"

#include "platform/IntConvert.h"
#include "platform/TextToolkit.h"

#include <cerrno>
#include <cstdlib>

namespace zavrio {

std::int32_t ScreensaverMode = 1;
std::uint32_t ParentWindowHandle = 0;

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
