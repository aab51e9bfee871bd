#pragma once
// The rules that turn a clip that shows nothing, or stops showing, into a
// failed clip. The player reports what happens to the clip and asks Check
// now and then; times come from a steady clock, so tests give their own.
//
//   - no first frame within FirstFrameLimit of Start: failed;
//   - the file ends (for any reason) before its first frame: failed;
//   - frames stop for FrameGapLimit while the clip is neither paused nor at
//     its natural end: failed. Waiting for the network counts as stopped.
//   - a clip that reached its natural end keeps its last frame: not failed.
// While the player is not on screen (its window hidden or minimised) nothing
// can be drawn, so neither limit runs; both count afresh once it is back.

#include <chrono>
#include <optional>
#include <string>

namespace zavrio {

class ClipWatch {
public:
    using Clock = std::chrono::steady_clock;

    // A new clip starts loading; everything known of the last one goes.
    void Start(Clock::time_point now);
    // A frame of the clip reached the screen.
    void Frame(Clock::time_point now);
    // The clip was paused or resumed; a paused clip is never stalled.
    void Paused(bool paused, Clock::time_point now);
    // The player went off screen or came back.
    void OnScreen(bool onScreen, Clock::time_point now);
    // The file ended; natural: it played to its end (a clip cut short or
    // failing to read is no natural end).
    void Ended(bool natural, Clock::time_point now);

    // Why the clip has failed by now, or nothing. Once failed it stays
    // failed until the next Start.
    std::optional<std::string> Check(Clock::time_point now);

    bool Started() const { return started_; }
    bool HasFrame() const { return frames_ > 0; }

private:
    bool started_ = false;
    long frames_ = 0;
    bool paused_ = false;
    bool offScreen_ = false;
    bool atEnd_ = false;
    Clock::time_point start_{};
    Clock::time_point lastFrame_{};
    std::optional<std::string> failure_;
};

} // namespace zavrio
