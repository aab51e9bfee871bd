#include "playback/ScreenCoverage.h"

#include "platform/TextToolkit.h"
#include "settings/SaverSettings.h"

namespace zavrio {

ScreenCoverage ConfiguredScreenCoverage() {
    if (SettingsFile &&
        SameTextNoCase(TrimBlanks(SettingsFile->ReadString("screens", "Mode", "all")), "primary"))
        return ScreenCoverage::Primary;
    return ScreenCoverage::All;
}

} // namespace zavrio
