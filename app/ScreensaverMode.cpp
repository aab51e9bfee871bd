#include "ScreensaverMode.h"

#include "platform/IntConvert.h"
#include "platform/TextToolkit.h"

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

} // namespace zavrio
