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
// A clip that cannot be loaded (an HTTP error, a document that is not a
// video) shows LoadErrorText in the player's area and then counts as loaded:
// ready state 4 and a FrameNum of 0, so automatic advance moves on.
//
// The program sets LC_NUMERIC to "C" once the application object exists;
// mpv refuses to start otherwise.
//
// SetMovie throws std::runtime_error when mpv cannot be created, initialised
// or given the address; the text names the failing step and mpv's error.

#include "playback/TShockwaveFlash.h"

#include <memory>

struct mpv_handle;

namespace zavrio {

class MpvPlayer : public TShockwaveFlash {
public:
    static constexpr const char* LoadErrorText = "An error occurred, please try again later.";

    explicit MpvPlayer(QWidget* parent = nullptr);
    ~MpvPlayer() override;

    void SetMovie(const std::string& address) override;
    std::int32_t FrameNum() const override;

    // True once the clip failed to load and the error text is shown.
    bool ShowsLoadError() const { return loadError_; }

private:
    class View;
    struct MpvDeleter {
        void operator()(mpv_handle* h) const;
    };

    void CreateMpv();
    void DrainEvents();
    void FirstFrameSwapped();
    void ShowLoadError();
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
};

} // namespace zavrio
