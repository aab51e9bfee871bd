#pragma once
// Where the player panel goes for each VideoSize.

#include <optional>

namespace zavrio {

struct PanelLayout {
    bool FillClient = false; // aligned to the window's client area
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const PanelLayout&) const = default;
};

// 0: 640 x 385 centred on the primary screen; 1: 1280 x 770 centred (it may
// start left of or above the screen); 2: fill the client area; any other
// value: nullopt, the panel keeps its place.
std::optional<PanelLayout> PlayerPanelLayout(int videoSize, int screenWidth, int screenHeight);

} // namespace zavrio
