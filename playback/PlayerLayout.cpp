#include "playback/PlayerLayout.h"

namespace zavrio {

std::optional<PanelLayout> PlayerPanelLayout(int videoSize, int screenWidth, int screenHeight) {
    auto centred = [&](int w, int h) {
        // C++ division truncates toward zero, as the layout requires for negative offsets.
        return PanelLayout{false, (screenWidth - w) / 2, (screenHeight - h) / 2, w, h};
    };
    switch (videoSize) {
    case 0:
        return centred(640, 385);
    case 1:
        return centred(1280, 770);
    case 2:
        return PanelLayout{true, 0, 0, 0, 0};
    default:
        return std::nullopt;
    }
}

} // namespace zavrio
