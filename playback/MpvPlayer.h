#pragma once
// The real player control: libmpv drawing through its OpenGL render API into
// a QOpenGLWidget that fills this widget. mpv gets no window of its own, so
// it cannot take keys, clicks or the cursor away from the application.
//
// Owns one mpv instance, made by the first SetMovie, for the rest of its
// life (the windows create one player per clip). mpv is told never to inhibit the system's
// screensaver or blanking, to show no controls, to bind no keys and to play sound through the
// default output (or none, when there is no output).
//
// A clip fails when it cannot be loaded (an HTTP error, a document that is
// not a video, a clip without a picture) and by the rules of ClipWatch (no
// first frame within 10 s, the file ending before any frame, frames stopping
// for 10 s while neither paused nor at the clip's natural end). A failed clip
// stops, sound included, shows LoadErrorText in the player's area and counts
// as loaded: ready state 4 and a FrameNum of 0, so automatic advance moves on.
// A clip that fails while playing from the cache takes its file out of the
// cache (ForgetFailedClip).
//
// Where the bytes come from is the clip source's choice: given the player
// address, it names a local copy of the clip (the cache's), or nothing, and
// the address is streamed.
//
// The program sets LC_NUMERIC to "C" once the application object exists;
// mpv refuses to start otherwise.
//
// SetMovie throws std::runtime_error when mpv cannot be created, initialised
// or given the address; the text names the failing step and mpv's error.

#include "playback/ClipStore.h"
#include "playback/ClipWatch.h"
#include "playback/TShockwaveFlash.h"

#include <functional>
#include <memory>
#include <string>

struct mpv_handle;
struct mpv_event_property;
class QTimer;

namespace zavrio {

// A player whose clips come from the process's clip cache when it has them.
std::unique_ptr<TShockwaveFlash> CachedMpvPlayer(QWidget* parent);

class MpvPlayer : public TShockwaveFlash {
public:
    static constexpr const char* LoadErrorText = "An error occurred, please try again later.";

    // The local file to play instead of streaming address (an empty lease:
    // stream it); the lease is held while the clip plays.
    using ClipSource = std::function<ClipLease(const std::string& address)>;

    explicit MpvPlayer(QWidget* parent = nullptr, ClipSource source = {});
    ~MpvPlayer() override;

    using TShockwaveFlash::SetMovie;
    void SetMovie(const std::string& address, MovieFlags flags) override;
    std::int32_t FrameNum() const override;
    void SetSilent() override;
    void Hold() override;
    bool AtEnd() const override { return atEnd_ && !loadError_ && !held_; }
    void Rewind() override;
    void Rest(bool resting) override;
    void SetShade(double shade) override;

    // True once the clip failed and the error text is shown; why it failed.
    bool ShowsLoadError() const override { return loadError_; }
    const std::string& FailureReason() const { return failure_; }

private:
    class View;
    struct MpvDeleter {
        void operator()(mpv_handle* h) const;
    };

    void CreateMpv();
    void DrainEvents();
    void FrameSwapped(bool videoFrame);
    void PropertyChanged(const mpv_event_property& property);
    bool AtNaturalEnd() const;
    void CheckClip();
    void Fail(const std::string& reason);
    void MaybeReportComplete();
    void QueueReadyState(std::int32_t state);

    // Declared before view_: the render context inside the view must be
    // freed before the mpv instance it draws.
    std::unique_ptr<mpv_handle, MpvDeleter> mpv_;
    std::unique_ptr<View> view_;
    bool loaded_ = false;     // the current file has been opened
    bool frameShown_ = false; // a frame of it has reached the screen
    bool reported_ = false;   // state 4 has been reported for it
    bool loadError_ = false;
    std::string failure_;
    ClipSource source_;
    ClipLease lease_; // the current clip's file, when it plays from one
    ClipWatch watch_;
    bool onScreen_ = true;
    bool silent_ = false;
    bool held_ = false;         // on its way out: no more playing, no failure
    bool atEnd_ = false;        // played to its natural end, holding the last frame
    bool paused_ = false;       // mpv's pause property, as last observed
    bool pausedByRest_ = false; // Rest paused a clip that was playing
    QTimer* watchTimer_ = nullptr;
};

} // namespace zavrio
