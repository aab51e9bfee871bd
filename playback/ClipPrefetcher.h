#pragma once
// Fills a clip store ahead of playback: while a clip plays, the window asks
// for the next one (Prefetch); a worker thread downloads the clips asked for,
// one at a time in the order asked, with libcurl (redirects, HTTPS), never
// on the GUI thread. A clip already complete, or downloading in another copy
// of the program, is passed over; the queue keeps the newest QueueLimit
// addresses. A download that fails, or brings no byte for DownloadStallLimit,
// is dropped and the clip streams when its turn comes; so is one that
// ClipAdmission refuses (an error or text page, a body cut short, a file
// without a picture). https downloads trust
// what the feed client trusts (TrustStore.h) and nothing else.

#include "http/TrustStore.h"
#include "playback/ClipStore.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace zavrio {

class ClipPrefetcher {
public:
    static constexpr std::size_t QueueLimit = 8;

    // Starts the worker (none when the store is off).
    explicit ClipPrefetcher(std::shared_ptr<const ClipStore> store);
    // Stops the download under way at once (its temporary file goes).
    ~ClipPrefetcher();
    ClipPrefetcher(const ClipPrefetcher&) = delete;
    ClipPrefetcher& operator=(const ClipPrefetcher&) = delete;

    // Downloads address in the background unless it is complete, queued or
    // downloading already.
    void Prefetch(const std::string& address);

    // Waits until no download runs or waits (for tests and the tool).
    void WaitIdle();

private:
    void Run();
    bool Download(const std::string& address);

    std::shared_ptr<const ClipStore> store_;
    TrustStore trust_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queue_;
    std::string active_;
    bool stop_ = false;
    std::thread worker_;
};

// The process's store and prefetcher, made at the first call from the
// loaded settings.
std::shared_ptr<const ClipStore> ProcessClipStore();
ClipPrefetcher& ProcessClipPrefetcher();

} // namespace zavrio
