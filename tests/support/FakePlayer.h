#pragma once
// A player control for window tests: records the address and flags it was given, tells
// the frame number the test sets, and reports the ready states the test asks
// for, as a real player would.

#include "playback/TShockwaveFlash.h"

#include <QMouseEvent>

#include <cstdint>
#include <string>

namespace zavrio::test {

class FakePlayer : public TShockwaveFlash {
public:
    using TShockwaveFlash::SetMovie;
    using TShockwaveFlash::TShockwaveFlash;
    void SetMovie(const std::string& address, MovieFlags flags) override {
        Movie = address;
        Flags = flags;
    }
    std::int32_t FrameNum() const override { return Frame; }
    void SetSilent() override { Silent = true; }
    void SetPaused(bool paused) override { Paused = paused; }
    void Report(std::int32_t state) { ReportReadyState(state); }

    std::string Movie;
    MovieFlags Flags;
    std::int32_t Frame = -1;
    int Presses = 0;
    bool Silent = false;
    bool Paused = false;

protected:
    void mousePressEvent(QMouseEvent*) override { ++Presses; }
};

} // namespace zavrio::test
