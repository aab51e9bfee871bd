#pragma once
// The player control inside a window's player panel, as both clip-listing
// windows keep it: a fresh control per clip, filling the panel, reporting its
// ready states to the window, focused after the panel.

#include "playback/TShockwaveFlash.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace zavrio {

using PlayerFactory = std::function<std::unique_ptr<TShockwaveFlash>(QWidget* parent)>;

// A new control from create, a visible child of panel filling it (panel has a
// layout), whose ready states go to onReadyState.
std::unique_ptr<TShockwaveFlash> MakePanelPlayer(const PlayerFactory& create, QWidget& panel,
                                                 std::function<void(std::int32_t)> onReadyState);

// Only while window is visible: the keyboard focus to panel, then to player
// when there is one.
void FocusPanelPlayer(const QWidget& window, QWidget& panel, TShockwaveFlash* player);

// Fills widget's background black: a player panel, and what is around it.
void PaintBlack(QWidget& widget);

} // namespace zavrio
