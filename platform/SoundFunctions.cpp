#include "SoundFunctions.h"

#include <chrono>
#include <memory>
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

} // namespace

void ToggleMute(std::uint64_t /*window*/) {
    const auto deadline = Clock::now() + kTimeLimit;
    std::unique_ptr<pa_mainloop, MainloopDeleter> loop(pa_mainloop_new());
    if (!loop)
        return;
    std::unique_ptr<pa_context, ContextDeleter> context(
        pa_context_new(pa_mainloop_get_api(loop.get()), "Zavrio Video Screensaver"));
    if (!context)
        return;
    // Never start a server as a side effect of a screensaver's mute toggle.
    if (pa_context_connect(context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return;
    if (!runUntil(loop.get(), context.get(), deadline,
                  [&] { return pa_context_get_state(context.get()) == PA_CONTEXT_READY; }))
        return;

    Toggle toggle;
    Operation query(
        pa_context_get_sink_info_by_name(context.get(), "@DEFAULT_SINK@", onSinkInfo, &toggle));
    if (!query || !runUntil(loop.get(), context.get(), deadline, [&] {
            return toggle.failed || pa_operation_get_state(query.get()) != PA_OPERATION_RUNNING;
        }))
        return;
    if (toggle.failed || !toggle.haveSink)
        return;

    Operation change(pa_context_set_sink_mute_by_name(context.get(), "@DEFAULT_SINK@",
                                                      toggle.muted ? 0 : 1, onSuccess, &toggle));
    if (change)
        runUntil(loop.get(), context.get(), deadline, [&] { return toggle.done; });
}

} // namespace zavrio
