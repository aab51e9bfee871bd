#pragma once
// A size-capped rolling cache of clips on disk, filled ahead of playback.
//
// While a clip plays, the window asks for the next one (Prefetch); a worker
// thread downloads it, one clip at a time, with libcurl (redirects, HTTPS),
// never on the GUI thread. When that clip's turn comes and its file is
// complete, the player plays the file instead of streaming the address; the
// player address itself never changes, only where the bytes come from.
//
// Files: one per player address in Directory, named from a hash of the
// address, written to a temporary name and renamed when complete, so a
// half-downloaded clip is never played as whole. Several processes (one per
// monitor) may share the directory. The least recently played files go first
// when the cache grows past MaxBytes; a file a player holds (Acquire) is
// never evicted. A download that fails, or brings no byte for
// DownloadStallLimit, is dropped and the clip streams.
//
// MaxBytes 0 turns the cache off: nothing is downloaded or found.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zavrio {

// A clip's local file for one player; the file stays safe from eviction
// while the lease lives. An empty Path: stream the address.
struct ClipLease {
    std::string Path;
    std::shared_ptr<void> Pin;
};

class ClipCache {
public:
    struct Options {
        std::string Directory;
        std::uint64_t MaxBytes = 0;
    };

    explicit ClipCache(Options options);
    // Stops the download under way at once (its temporary file goes).
    ~ClipCache();
    ClipCache(const ClipCache&) = delete;
    ClipCache& operator=(const ClipCache&) = delete;

    bool Enabled() const { return options_.MaxBytes > 0; }
    const Options& Settings() const { return options_; }

    // The complete file of address, marked as played now and pinned while the
    // lease lives; an empty lease when it is not cached (or the cache is off).
    ClipLease Acquire(const std::string& address);

    // Downloads address in the background unless its file is complete
    // already. A newer request replaces one still waiting; the download under
    // way runs on.
    void Prefetch(const std::string& address);

    // Waits until no download runs or waits (for tests and the tool).
    void WaitIdle();

    struct File {
        std::string Name;
        std::uint64_t Bytes = 0;
        std::chrono::system_clock::time_point LastPlayed;
    };
    // The complete files, least recently played first.
    std::vector<File> Files() const;
    // Removes every complete file that no lease holds, and stale temporary
    // files; gives how many complete files went.
    int Clear();

    // The file name of address in the cache: 16 hexadecimal digits of its
    // 64-bit FNV-1a hash and ".clip".
    static std::string FileNameFor(const std::string& address);
    // $XDG_CACHE_HOME/zavrio-screensaver/clips, else ~/.cache/...
    static std::string DefaultDirectory();
    // Default directory; MaxBytes from [cache] MaxMB of the settings file
    // (2048 when absent), or 0 when nothing is loaded.
    static Options OptionsFromSettings();

private:
    void Run();
    bool Download(const std::string& address);
    void Evict();
    std::string PathOf(const std::string& address) const;

    Options options_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::string> pending_;
    std::string active_;
    bool stop_ = false;
    std::map<std::string, int> pins_; // file name -> leases held
    std::thread worker_;
};

// The process's one cache, made at the first call from the loaded settings.
std::shared_ptr<ClipCache> ProcessClipCache();

} // namespace zavrio
