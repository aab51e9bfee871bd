#pragma once
// The player control of the playback and configuration windows: a child
// widget that loads one clip address, reports ready states and tells its
// current frame number. MpvPlayer is the real one; window tests use a fake.
//
// The control never takes input for itself: keys, clicks and movement over
// it reach the application's event filter like any other input.

#include "playback/PlayerAddress.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

namespace zavrio {

class TShockwaveFlash : public QWidget {
public:
    using QWidget::QWidget;

    // Starts loading address (UTF-8), replacing any clip; flags say whether
    // it plays at once and whether it loops.
    virtual void SetMovie(const std::string& address, MovieFlags flags) = 0;
    void SetMovie(const PlayerClip& clip) { SetMovie(clip.Address, clip.Flags); }

    // From now on the control plays without sound (a view beside the one
    // that is heard). Controls without sound of their own ignore it.
    virtual void SetSilent() {}

    // The control is on its way out but stays on screen a little longer:
    // it keeps the picture it shows, stops playing (sound included) and
    // fails no more.
    virtual void Hold() {}

    // resting: the clip pauses where it is (the monitors are off); else it
    // goes on as it was before it rested.
    virtual void Rest(bool resting) { (void)resting; }

    // Darkens the clip's picture toward black: shade 0 shows it as it is, 1
    // black (a fade through black). Controls that draw nothing ignore it.
    virtual void SetShade(double shade) { (void)shade; }
    // The clip failed and the control shows its error line in its place.
    virtual bool ShowsLoadError() const { return false; }

    // The clip has played to its natural end and holds its last frame.
    virtual bool AtEnd() const { return false; }
    // Plays a clip that is at its end again from its beginning.
    virtual void Rewind() {}

    // The current frame number, negative while there is none.
    virtual std::int32_t FrameNum() const = 0;

    // Ready states: 0 when loading starts, 4 once the clip is loaded and its
    // first frame is on screen (or a load failure is shown). Called on the
    // GUI thread, never from inside SetMovie.
    std::function<void(std::int32_t newState)> OnReadyStateChange;

protected:
    void ReportReadyState(std::int32_t state) {
        if (OnReadyStateChange)
            OnReadyStateChange(state);
    }
};

} // namespace zavrio
