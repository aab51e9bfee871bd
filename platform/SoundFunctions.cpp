#include "platform/SoundFunctions.h"

#include "platform/SharedMute.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <pulse/pulseaudio.h>

namespace zavrio {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTimeLimit = std::chrono::milliseconds(2000);

struct MainloopDeleter {
    void operator()(pa_mainloop* m) const { pa_mainloop_free(m); }
};
struct ContextDeleter {
    void operator()(pa_context* c) const {
        pa_context_disconnect(c);
        pa_context_unref(c);
    }
};
struct OperationDeleter {
    void operator()(pa_operation* o) const {
        if (pa_operation_get_state(o) == PA_OPERATION_RUNNING)
            pa_operation_cancel(o);
        pa_operation_unref(o);
    }
};
using Operation = std::unique_ptr<pa_operation, OperationDeleter>;

// The steps of one toggle, advanced by the library's callbacks.
struct Toggle {
    bool failed = false;
    bool haveSink = false;
    bool muted = false;
    bool done = false;
};

// Runs the loop until done() holds, the context fails or the time is up.
template <typename Done>
bool runUntil(pa_mainloop* loop, pa_context* context, Clock::time_point deadline, Done done) {
    while (!done()) {
        pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        if (pa_mainloop_prepare(loop, static_cast<int>(left.count())) < 0 ||
            pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
            return false;
    }
    return true;
}

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto* toggle = static_cast<Toggle*>(data);
    if (eol < 0)
        toggle->failed = true;
    else if (info != nullptr) {
        toggle->muted = info->mute != 0;
        toggle->haveSink = true;
    }
}

void onSuccess(pa_context*, int success, void* data) {
    auto* toggle = static_cast<Toggle*>(data);
    toggle->done = true;
    toggle->failed = success == 0;
}

// One connection to the server, ready or not, with its time limit.
class Server {
public:
    Server() : deadline_(Clock::now() + kTimeLimit), loop_(pa_mainloop_new()) {
        if (!loop_)
            return;
        context_.reset(
            pa_context_new(pa_mainloop_get_api(loop_.get()), "Zavrio Video Screensaver"));
        if (!context_)
            return;
        // Never start a server as a side effect of a screensaver's mute.
        if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return;
        ready_ = runUntil(loop_.get(), context_.get(), deadline_,
                          [&] { return pa_context_get_state(context_.get()) == PA_CONTEXT_READY; });
    }

    std::optional<bool> Muted() {
        if (!ready_)
            return std::nullopt;
        Toggle toggle;
        Operation query(pa_context_get_sink_info_by_name(context_.get(), "@DEFAULT_SINK@",
                                                         onSinkInfo, &toggle));
        if (!query || !runUntil(loop_.get(), context_.get(), deadline_, [&] {
                return toggle.failed || pa_operation_get_state(query.get()) != PA_OPERATION_RUNNING;
            }))
            return std::nullopt;
        if (toggle.failed || !toggle.haveSink)
            return std::nullopt;
        return toggle.muted;
    }

    void SetMuted(bool muted) {
        if (!ready_)
            return;
        Toggle toggle;
        Operation change(pa_context_set_sink_mute_by_name(context_.get(), "@DEFAULT_SINK@",
                                                          muted ? 1 : 0, onSuccess, &toggle));
        if (change)
            runUntil(loop_.get(), context_.get(), deadline_, [&] { return toggle.done; });
    }

private:
    Clock::time_point deadline_;
    std::unique_ptr<pa_mainloop, MainloopDeleter> loop_;
    std::unique_ptr<pa_context, ContextDeleter> context_;
    bool ready_ = false;
};

// The termination fallback may give the mute back on a thread of its own
// while the GUI thread does the same.
std::mutex sessionMuteLock;

SharedMute& sessionMute() {
    static SharedMute mute(RuntimeRecordDirectory(),
                           SinkMute{DefaultSinkMuted, SetDefaultSinkMute});
    return mute;
}

} // namespace

void ToggleMute(std::uint64_t /*window*/) {
    Server server;
    if (const std::optional<bool> muted = server.Muted())
        server.SetMuted(!*muted);
}

std::optional<bool> DefaultSinkMuted() {
    return Server().Muted();
}

void SetDefaultSinkMute(bool muted) {
    Server().SetMuted(muted);
}

void HoldSessionMute() {
    SharedMute& mute = sessionMute();
    // Registered after the record keeper exists, so it runs before the
    // keeper is destroyed at exit.
    static const bool releasedAtExit = std::atexit(ReleaseSessionMute) == 0;
    (void)releasedAtExit;
    const std::lock_guard lock(sessionMuteLock);
    mute.Hold();
}

void ReleaseSessionMute() {
    SharedMute& mute = sessionMute();
    const std::lock_guard lock(sessionMuteLock);
    mute.Release();
}

} // namespace zavrio
