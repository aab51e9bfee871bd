#pragma once
// A player control for window tests: records the address and flags it was given, tells
// the frame number the test sets, and reports the ready states the test asks
// for, as a real player would.

#include "playback/TShockwaveFlash.h"

#include <QMouseEvent>

#include <gtest/gtest.h>

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
    void Hold() override { Held = true; }
    void Rest(bool resting) override { Resting = resting; }
    bool AtEnd() const override { return Ended; }
    void SetShade(double shade) override { Shade = shade; }
    bool ShowsLoadError() const override { return ShowsError; }
    void Rewind() override {
        ++Rewinds;
        Ended = false;
    }
    void Report(std::int32_t state) { ReportReadyState(state); }
    // What a real player does for a clip that fails: it shows its error
    // line, counts as loaded and reports it.
    void FailLoad() {
        Frame = 0;
        ShowsError = true;
        ReportReadyState(4);
    }

    std::string Movie;
    MovieFlags Flags;
    std::int32_t Frame = -1;
    int Presses = 0;
    bool Silent = false;
    bool Held = false;
    bool ShowsError = false;
    bool Ended = false;
    bool Resting = false;
    int Rewinds = 0;
    double Shade = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++Presses; }
};

// Whether held, an outgoing player, lies over current on their panel,
// covering it whole.
inline testing::AssertionResult Covers(const QWidget* held, const QWidget* current) {
    if (!held || !current || held->parentWidget() != current->parentWidget() || !held->isVisible())
        return testing::AssertionFailure() << "not shown beside the current player";
    const QObjectList& stack = current->parentWidget()->children(); // bottom first
    if (stack.indexOf(held) < stack.indexOf(current))
        return testing::AssertionFailure() << "under the current player";
    if (!held->geometry().contains(current->geometry()))
        return testing::AssertionFailure() << "does not cover the current player";
    return testing::AssertionSuccess();
}

} // namespace zavrio::test
