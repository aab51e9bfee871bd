#include "playback/MpvPlayer.h"

#include "http/TrustStore.h"
#include "platform/WindowDisplayServer.h"
#include "playback/ClipPrefetcher.h"
#include "playback/PlayerLimits.h"

#include <QMetaObject>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

namespace zavrio {

namespace {

// Tags the answer to the asynchronous question which video track plays.
constexpr std::uint64_t VideoTrackReply = 1;

void check(int status, const std::string& what) {
    if (status < 0)
        throw std::runtime_error("mpv: " + what + " failed: " + mpv_error_string(status));
}

void* getProcAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

// The display connection Qt draws on, which mpv's hardware decoders need to
// hand their pictures to OpenGL without a copy: {parameter, handle}, or
// {MPV_RENDER_PARAM_INVALID, null} where there is none to give (mpv then
// decodes in software, or copies a hardware decoder's pictures back).
mpv_render_param displayParam() {
    [[maybe_unused]] const DisplayServer server = WindowDisplayServer();
#if QT_CONFIG(xcb)
    if (server == DisplayServer::X11)
        if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
            return {MPV_RENDER_PARAM_X11_DISPLAY, x11->display()};
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
#if QT_CONFIG(wayland)
    // Qt names its Wayland connection from 6.5 on.
    if (server == DisplayServer::Wayland)
        if (auto* wayland = qApp->nativeInterface<QNativeInterface::QWaylandApplication>())
            return {MPV_RENDER_PARAM_WL_DISPLAY, wayland->display()};
#endif
#endif
    return {MPV_RENDER_PARAM_INVALID, nullptr};
}

struct RenderContextDeleter {
    void operator()(mpv_render_context* ctx) const { mpv_render_context_free(ctx); }
};

} // namespace

// The drawing surface. It lives inside the player so the player can stay a
// plain QWidget like any other control.
class MpvPlayer::View : public QOpenGLWidget {
public:
    explicit View(MpvPlayer& owner) : QOpenGLWidget(&owner), owner_(owner) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
            if (!framePainted_)
                return;
            owner_.FrameSwapped(std::exchange(newVideoFrame_, false));
        });
    }

    ~View() override {
        if (!render_)
            return;
        // The render context holds GL objects of this widget's context.
        makeCurrent();
        mpv_render_context_set_update_callback(render_.get(), nullptr, nullptr);
        StopDrawing();
        render_.reset();
        doneCurrent();
    }

    // Draws mpv from now on; the render context is made now when the GL
    // context exists already, else when it is initialised.
    void Attach(mpv_handle* mpv) {
        mpvHandle_ = mpv;
        if (!context())
            return;
        makeCurrent();
        CreateRenderContext();
        doneCurrent();
        update();
    }

    void ShowText(const QString& text) {
        text_ = text;
        update();
    }

    void SetShade(double shade) {
        if (shade == shade_)
            return;
        shade_ = shade;
        update();
    }

protected:
    void initializeGL() override {
        if (mpvHandle_)
            CreateRenderContext();
    }

    void CreateRenderContext() {
        mpv_opengl_init_params gl{getProcAddress, nullptr};
        int advanced = 0;
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
            {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
            {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
            displayParam(),
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        mpv_render_context* ctx = nullptr;
        const int status = mpv_render_context_create(&ctx, mpvHandle_, params);
        if (status < 0) {
            // No exception can leave a paint handler; the clip counts as failed instead.
            text_ = QString::fromUtf8(LoadErrorText);
            QMetaObject::invokeMethod(
                &owner_, [o = &owner_] { o->Fail("the picture cannot be drawn"); },
                Qt::QueuedConnection);
            return;
        }
        render_.reset(ctx);
        // Runs on an mpv thread: only queue a repaint on the GUI thread.
        mpv_render_context_set_update_callback(
            render_.get(),
            [](void* self) {
                QMetaObject::invokeMethod(static_cast<View*>(self), qOverload<>(&View::update),
                                          Qt::QueuedConnection);
            },
            this);
    }

    void paintGL() override {
        if (render_ && text_.isEmpty()) {
            const std::uint64_t flags = mpv_render_context_update(render_.get());
            const qreal ratio = devicePixelRatio();
            mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                               static_cast<int>(width() * ratio),
                               static_cast<int>(height() * ratio), 0};
            int flipY = 1;
            mpv_render_param params[] = {
                {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                {MPV_RENDER_PARAM_INVALID, nullptr},
            };
            mpv_render_context_render(render_.get(), params);
            if (flags & MPV_RENDER_UPDATE_FRAME)
                framePainted_ = newVideoFrame_ = true;
            // One translucent black quad over the frame, and only while a
            // fade runs: without one the picture costs what it did.
            if (shade_ > 0) {
                QPainter painter(this);
                painter.fillRect(rect(), QColor(0, 0, 0, qRound(255 * shade_)));
            }
            return;
        }
        // The error line is drawn here at full brightness whatever the shade:
        // it is no picture to fade.
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        if (!text_.isEmpty()) {
            QPainter painter(this);
            painter.setPen(Qt::white);
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text_);
            framePainted_ = true;
        }
    }

private:
    // mpv's video output waits up to 200 ms for each queued frame to be
    // drawn, and freeing the render context waits for the video output to
    // end. So the clip is stopped first while the frames still queued are
    // drawn (off screen), which keeps replacing a clip or closing the window
    // quick.
    void StopDrawing() {
        int idle = 0;
        mpv_get_property(mpvHandle_, "idle-active", MPV_FORMAT_FLAG, &idle);
        if (idle)
            return;
        const char* stop[] = {"stop", nullptr};
        if (mpv_command_async(mpvHandle_, 0, stop) < 0)
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < deadline) {
            if (mpv_render_context_update(render_.get()) & MPV_RENDER_UPDATE_FRAME) {
                mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), 1, 1, 0};
                mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                             {MPV_RENDER_PARAM_INVALID, nullptr}};
                mpv_render_context_render(render_.get(), params);
            }
            // The wakeup callback is already gone, so these events are ours.
            if (mpv_wait_event(mpvHandle_, 0.005)->event_id == MPV_EVENT_IDLE)
                return;
        }
    }

    MpvPlayer& owner_;
    mpv_handle* mpvHandle_ = nullptr;
    std::unique_ptr<mpv_render_context, RenderContextDeleter> render_;
    QString text_;
    double shade_ = 0;
    bool framePainted_ = false;  // something (a frame or the error text) was drawn
    bool newVideoFrame_ = false; // a new frame of the clip, not yet on screen
};

std::unique_ptr<TShockwaveFlash> CachedMpvPlayer(QWidget* parent) {
    return std::make_unique<MpvPlayer>(
        parent, [](const std::string& address) { return ProcessClipStore()->Acquire(address); });
}

void MpvPlayer::MpvDeleter::operator()(mpv_handle* h) const {
    mpv_terminate_destroy(h);
}

MpvPlayer::MpvPlayer(QWidget* parent, ClipSource source)
    : TShockwaveFlash(parent), source_(std::move(source)) {
    watchTimer_ = new QTimer(this); // owned by this widget
    watchTimer_->setInterval(250);
    connect(watchTimer_, &QTimer::timeout, this, [this] { CheckClip(); });
    // The surface comes at once so the window draws through OpenGL from its
    // first show; mpv itself only with the first clip, since a player
    // without a movie (the window's first) needs none.
    view_ = std::make_unique<View>(*this);
    auto* layout = new QVBoxLayout(this); // owned by this widget
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_.get());
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

MpvPlayer::~MpvPlayer() {
    // No wakeups may be queued for a half-destroyed player.
    if (mpv_)
        mpv_set_wakeup_callback(mpv_.get(), nullptr, nullptr);
    view_.reset();
}

void MpvPlayer::CreateMpv() {
    std::unique_ptr<mpv_handle, MpvDeleter> mpv(mpv_create());
    if (!mpv)
        throw std::runtime_error("mpv: creating the player failed");
    mpv_handle* h = mpv.get();
    const std::string networkTimeout = std::to_string(NetworkTimeout.count());
    const std::pair<const char*, const char*> options[] = {
        {"vo", "libmpv"},
        {"terminal", "no"},
        {"config", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"osc", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"input-cursor", "no"},
        {"cursor-autohide", "no"},
        {"stop-screensaver", "no"},
        {"audio-fallback-to-null", "yes"},
        {"keep-open", "yes"},
        // Hardware decoding where a decoder is known to work, else software,
        // without a word.
        {"hwdec", "auto-safe"},
        {"network-timeout", networkTimeout.c_str()},
        // A clip whose index sits at its end (the encoder's default) can be
        // played from a server that ignores Range only when the stream
        // buffer holds the whole clip; the default of 128 KiB cannot.
        {"stream-buffer-size", "16MiB"},
    };
    for (const auto& [name, value] : options)
        check(mpv_set_option_string(h, name, value), std::string("setting option ") + name);
    // https clips are verified against what the feed client trusts; the
    // player's own default would play them unverified.
    const TrustStore trust = ConfiguredTrustStore();
    check(mpv_set_option_string(h, "tls-verify", "yes"), "setting option tls-verify");
    check(mpv_set_option_string(h, "tls-ca-file", trust.File.c_str()),
          "setting option tls-ca-file");
    // The player's own log, to see for instance which decoder it uses.
    if (const char* logFile = std::getenv("ZAVRIO_PLAYER_LOG"); logFile && *logFile)
        check(mpv_set_option_string(h, "log-file", logFile), "setting option log-file");
    // No audio track at all: nothing decoded, nothing heard.
    if (silent_)
        check(mpv_set_option_string(h, "aid", "no"), "setting option aid");
    check(mpv_initialize(h), "initialising the player");
    // What the clip watch needs to know of the clip.
    check(mpv_observe_property(h, 0, "pause", MPV_FORMAT_FLAG), "observing pause");
    check(mpv_observe_property(h, 0, "eof-reached", MPV_FORMAT_FLAG), "observing eof-reached");

    // Runs on an mpv thread: only queue the draining on the GUI thread.
    mpv_set_wakeup_callback(
        h,
        [](void* self) {
            auto* player = static_cast<MpvPlayer*>(self);
            QMetaObject::invokeMethod(
                player, [player] { player->DrainEvents(); }, Qt::QueuedConnection);
        },
        this);
    mpv_ = std::move(mpv);
    view_->Attach(h);
}

void MpvPlayer::SetMovie(const std::string& address, MovieFlags flags) {
    if (!mpv_)
        CreateMpv();
    mpv_handle* h = mpv_.get();
    loaded_ = frameShown_ = reported_ = loadError_ = atEnd_ = false;
    check(mpv_set_property_string(h, "pause", flags.AutoPlay ? "no" : "yes"),
          "setting pause for " + address);
    check(mpv_set_property_string(h, "loop-file", flags.Loop ? "inf" : "no"),
          "setting loop-file for " + address);
    lease_ = source_ ? source_(address) : ClipLease{};
    const std::string& load = lease_.Path.empty() ? address : lease_.Path;
    const char* command[] = {"loadfile", load.c_str(), nullptr};
    check(mpv_command_async(h, 0, command), "loading " + address);
    watch_.Start(ClipWatch::Clock::now());
    watch_.OnScreen(onScreen_, ClipWatch::Clock::now());
    watchTimer_->start();
}

void MpvPlayer::SetSilent() {
    silent_ = true;
    if (mpv_)
        mpv_set_property_string(mpv_.get(), "aid", "no");
}

void MpvPlayer::Hold() {
    held_ = true;
    watchTimer_->stop();
    // Asynchronous: mpv may be waiting for this very thread to draw a frame.
    int pause = 1;
    if (mpv_)
        mpv_set_property_async(mpv_.get(), 0, "pause", MPV_FORMAT_FLAG, &pause);
}

void MpvPlayer::Rewind() {
    if (!atEnd_ || loadError_ || held_)
        return;
    atEnd_ = false;
    mpv_handle* h = mpv_.get();
    const char* seek[] = {"seek", "0", "absolute", nullptr};
    mpv_command_async(h, 0, seek);
    // Held open at its end, the clip was paused there.
    int pause = 0;
    mpv_set_property_async(h, 0, "pause", MPV_FORMAT_FLAG, &pause);
}

void MpvPlayer::Rest(bool resting) {
    if (!mpv_ || held_ || resting == pausedByRest_ || (resting && paused_))
        return;
    pausedByRest_ = resting;
    int pause = resting ? 1 : 0;
    mpv_set_property_async(mpv_.get(), 0, "pause", MPV_FORMAT_FLAG, &pause);
}

void MpvPlayer::SetShade(double shade) {
    view_->SetShade(shade);
}

std::int32_t MpvPlayer::FrameNum() const {
    if (loadError_)
        return 0;
    if (!frameShown_ || !mpv_)
        return -1;
    std::int64_t frame = -1;
    if (mpv_get_property(mpv_.get(), "estimated-frame-number", MPV_FORMAT_INT64, &frame) < 0)
        return 0; // a frame is on screen even when mpv cannot number it (a still image)
    return static_cast<std::int32_t>(frame);
}

void MpvPlayer::DrainEvents() {
    mpv_handle* h = mpv_.get();
    for (;;) {
        const mpv_event* event = mpv_wait_event(h, 0);
        switch (event->event_id) {
        case MPV_EVENT_NONE:
            return;
        case MPV_EVENT_START_FILE:
            QueueReadyState(0);
            break;
        case MPV_EVENT_PROPERTY_CHANGE:
            PropertyChanged(*static_cast<const mpv_event_property*>(event->data));
            break;
        case MPV_EVENT_FILE_LOADED:
            // Asked for without waiting: at this point mpv may be waiting for
            // this very thread to draw a frame, and a synchronous read would
            // stall the picture until mpv gives up on it.
            mpv_get_property_async(h, VideoTrackReply, "vid", MPV_FORMAT_STRING);
            break;
        case MPV_EVENT_GET_PROPERTY_REPLY: {
            if (event->reply_userdata != VideoTrackReply)
                break;
            // A document that opens but carries no picture is no clip either.
            const auto* track = static_cast<const mpv_event_property*>(event->data);
            const bool noVideo = event->error < 0 || track->format != MPV_FORMAT_STRING ||
                                 std::string(*static_cast<char**>(track->data)) == "no";
            loaded_ = true;
            if (noVideo)
                Fail("the clip has no picture");
            else
                MaybeReportComplete();
            break;
        }
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event->data);
            if (end->reason == MPV_END_FILE_REASON_ERROR)
                Fail(std::string("the clip could not be read: ") + mpv_error_string(end->error));
            else if (end->reason == MPV_END_FILE_REASON_EOF)
                watch_.Ended(AtNaturalEnd(), ClipWatch::Clock::now());
            break;
        }
        default:
            break;
        }
    }
}

void MpvPlayer::FrameSwapped(bool videoFrame) {
    frameShown_ = true;
    if (videoFrame && !loadError_)
        watch_.Frame(ClipWatch::Clock::now());
    MaybeReportComplete();
}

void MpvPlayer::PropertyChanged(const mpv_event_property& property) {
    if (property.format != MPV_FORMAT_FLAG || !watch_.Started())
        return;
    const bool on = *static_cast<const int*>(property.data) != 0;
    const std::string name = property.name;
    if (name == "pause") {
        paused_ = on;
        watch_.Paused(on, ClipWatch::Clock::now());
    } else if (name == "eof-reached") {
        atEnd_ = on && AtNaturalEnd();
        if (on)
            watch_.Ended(atEnd_, ClipWatch::Clock::now());
    }
}

bool MpvPlayer::AtNaturalEnd() const {
    // A clip cut short ends well before the length its container announces;
    // a clip of unknown length ends where it ends.
    double position = 0, duration = 0;
    if (mpv_get_property(mpv_.get(), "duration", MPV_FORMAT_DOUBLE, &duration) < 0 || duration <= 0)
        return true;
    if (mpv_get_property(mpv_.get(), "time-pos", MPV_FORMAT_DOUBLE, &position) < 0)
        return false;
    return position >= duration - 1.0;
}

void MpvPlayer::CheckClip() {
    if (loadError_) {
        watchTimer_->stop();
        return;
    }
    const QWindow* shown = window()->windowHandle();
    const bool onScreen = isVisible() && shown && shown->isExposed();
    if (onScreen != onScreen_) {
        onScreen_ = onScreen;
        watch_.OnScreen(onScreen, ClipWatch::Clock::now());
    }
    if (std::optional<std::string> failure = watch_.Check(ClipWatch::Clock::now()))
        Fail(*failure);
}

void MpvPlayer::Fail(const std::string& reason) {
    if (loadError_ || held_)
        return;
    failure_ = reason;
    loadError_ = true;
    loaded_ = true;
    watchTimer_->stop();
    // A bad file in the cache would fail again at every turn: it goes, and the
    // clip is fetched anew.
    ForgetFailedClip(lease_);
    // Nothing of a failed clip goes on behind its error line, sound included.
    const char* stop[] = {"stop", nullptr};
    if (mpv_)
        mpv_command_async(mpv_.get(), 0, stop);
    view_->ShowText(QString::fromUtf8(LoadErrorText));
}

void MpvPlayer::MaybeReportComplete() {
    if (reported_ || !loaded_ || !frameShown_)
        return;
    reported_ = true;
    QueueReadyState(4);
}

void MpvPlayer::QueueReadyState(std::int32_t state) {
    // Queued so the window's handler may replace this player without
    // pulling it out from under its own event loop.
    QMetaObject::invokeMethod(
        this, [this, state] { ReportReadyState(state); }, Qt::QueuedConnection);
}

} // namespace zavrio
