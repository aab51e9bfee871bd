#pragma once
// The player control inside a window's player panel, as both clip-listing
// windows keep it: a fresh control per clip, filling the panel, reporting its
// ready states to the window, focused after the panel.

#include "playback/TShockwaveFlash.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

namespace zavrio {

using PlayerFactory = std::function<std::unique_ptr<TShockwaveFlash>(QWidget* parent)>;

// A new control from create, a visible child of panel filling it (panel has a
// layout), whose ready states go to onReadyState.
std::unique_ptr<TShockwaveFlash> MakePanelPlayer(const PlayerFactory& create, QWidget& panel,
                                                 std::function<void(std::int32_t)> onReadyState);

// A window's player control, replaced for every clip without the empty black
// panel showing in between: the outgoing control stays over the panel, held
// on its last picture and silent, until the incoming one reports its first
// frame drawn (ready state 4, which a failed clip's error line reports too);
// then it goes, before the window hears of that state. A control replaced
// before it drew anything goes at once and the one held before it stays, so
// at most one control is ever held.
class PlayerSwap : public QObject {
public:
    // panel has a layout and outlives the swap.
    PlayerSwap(QWidget& panel, PlayerFactory create);
    ~PlayerSwap() override;

    // A new control (MakePanelPlayer) becomes the current one.
    TShockwaveFlash& Replace(std::function<void(std::int32_t)> onReadyState);
    // Every control goes, the held one included: the panel is empty.
    void Clear();

    TShockwaveFlash* Current() const { return current_.get(); }
    // The outgoing control still on screen, or null.
    TShockwaveFlash* Held() const { return held_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& panel_;
    PlayerFactory create_;
    std::unique_ptr<TShockwaveFlash> current_;
    std::unique_ptr<TShockwaveFlash> held_;
    bool currentDrawn_ = false; // the current control reported state 4
};

// Only while window is visible: the keyboard focus to panel, then to player
// when there is one.
void FocusPanelPlayer(const QWidget& window, QWidget& panel, TShockwaveFlash* player);

// Fills widget's background black: a player panel, and what is around it.
void PaintBlack(QWidget& widget);

} // namespace zavrio
