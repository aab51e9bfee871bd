#include "playback/ClipWatch.h"

#include "playback/PlayerLimits.h"

namespace zavrio {

void ClipWatch::Start(Clock::time_point now) {
    *this = ClipWatch();
    started_ = true;
    start_ = now;
}

void ClipWatch::Frame(Clock::time_point now) {
    ++frames_;
    lastFrame_ = now;
    atEnd_ = false;
}

void ClipWatch::Paused(bool paused, Clock::time_point now) {
    // The gap is counted from the resume, not from the last frame before
    // the pause.
    if (paused_ && !paused)
        lastFrame_ = now;
    paused_ = paused;
}

void ClipWatch::OnScreen(bool onScreen, Clock::time_point now) {
    if (offScreen_ && onScreen) {
        start_ = now;
        lastFrame_ = now;
    }
    offScreen_ = !onScreen;
}

void ClipWatch::Ended(bool natural, Clock::time_point) {
    if (!started_)
        return;
    if (frames_ == 0)
        failure_ = "the clip ended before its first frame";
    else if (natural)
        atEnd_ = true;
    // A clip cut short shows no more frames: the gap rule fails it.
}

std::optional<std::string> ClipWatch::Check(Clock::time_point now) {
    if (failure_ || !started_ || offScreen_)
        return failure_;
    if (frames_ == 0) {
        if (now - start_ >= FirstFrameLimit)
            failure_ = "no picture within " + std::to_string(FirstFrameLimit.count() / 1000) + " s";
    } else if (!paused_ && !atEnd_ && now - lastFrame_ >= FrameGapLimit) {
        failure_ = "the picture stopped for " + std::to_string(FrameGapLimit.count() / 1000) + " s";
    }
    return failure_;
}

} // namespace zavrio
