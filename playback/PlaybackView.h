#pragma once
// One screen's part of a playback session: a borderless black window over
// that screen with the player panel (Panel1), its player control (flash) and
// the welcome caption (Panel2) over the whole window until a player first
// reports a ready state. The session (TZRRunForm) decides what each view
// plays; the view only holds the parts and lays them out.
//
// A view owns its parts; the player is made by the factory it is given,
// replaced for every clip (the outgoing one held on screen until the new one
// has drawn its first frame, PlayerSwap) and gone after DestroyPlayer.

#include "playback/OutlinedText.h"
#include "playback/PanelPlayer.h"
#include "playback/TShockwaveFlash.h"

#include <QLabel>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zavrio {

// A screen a view can cover: its name (stable while it is plugged in), where
// it lies on the desktop and Qt's screen object (null in tests that make up
// screens).
struct ScreenArea {
    std::string Name;
    QRect Geometry;
    QScreen* Screen = nullptr;

    bool operator==(const ScreenArea&) const = default;
};

class PlaybackView : public QWidget {
public:
    static constexpr const char* WelcomeCaption =
        "Welcome to Zavrio Today Screensaver, Connecting to zavrio video server.......";

    // A window of its own; with a parent it stays one, but goes with the
    // parent and is never blocked by it when the parent is shown modally.
    explicit PlaybackView(PlayerFactory createPlayer, QWidget* parent = nullptr);
    ~PlaybackView() override;

    // Puts the window over the screen, in the full-screen state. The window
    // belongs to that screen from then on: where windows cannot place
    // themselves (Wayland), full screen is asked for on the output of the
    // window's screen.
    void Cover(const ScreenArea& screen);
    // Places Panel1 for videoSize in an area of the given size
    // (PlayerLayout.h); an unknown size leaves it where it is.
    void LayOutPlayer(int videoSize, QSize area);
    // Replaces the player control by a fresh one filling Panel1, whose ready
    // states go to onReadyState; silent players play without sound. The
    // outgoing control stays on screen until the new one's first frame.
    void ReplacePlayer(std::function<void(std::int32_t)> onReadyState, bool silent = false);
    // Every player control goes, a held one included.
    void DestroyPlayer();
    // Only while visible: the keyboard focus to Panel1, then to the player.
    void FocusPlayer();
    void SetCaption(const QString& text);
    // Shows an error the view must show itself (no box can be seen, or the
    // feed is out of reach): as the caption while the welcome caption is up,
    // else as a line over the player area in the style of the player's own
    // error line. The next clip's player takes the line away.
    void ShowError(const QString& text);
    // A short line over the picture for msec.
    void ShowNotice(const QString& text, int msec);
    // Lines of outlined text over the picture until the next call; none
    // hides them.
    void SetOverlay(const QStringList& lines);
    // What is drawn over the picture never stays in one place: the overlay
    // sits in a corner of the window that moves on, clockwise, at every new
    // player control and every notice, and a notice sits in the corner
    // across from it.
    int Corner() const { return corner_ % 4; } // 0 top left, 1 top right, ...

    // Darkens the picture of the player controls, the held one included,
    // toward black: 0 shows it as it is, 1 black (a fade through black). A
    // new control starts as dark as the one before it; a control that shows
    // its error line stays at full brightness.
    void SetShade(double shade);
    double Shade() const { return shade_; }

    TShockwaveFlash* CurrentPlayer() const { return players_->Current(); }
    // The outgoing control still on screen while the current one starts.
    TShockwaveFlash* HeldPlayer() const { return players_->Held(); }

    QWidget* Panel1 = nullptr;
    QLabel* Panel2 = nullptr;
    QLabel* ErrorLine = nullptr;
    QLabel* Notice = nullptr;
    OutlinedText* Overlay = nullptr;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceLines();
    // The corner rule, for the overlay and the notice alike.
    void PlaceInCorner(QWidget& widget, int corner);

    std::unique_ptr<PlayerSwap> players_;
    bool panel1Fills_ = false;
    double shade_ = 0;
    int corner_ = 0;
    QTimer* noticeTimer_ = nullptr;
};

} // namespace zavrio
