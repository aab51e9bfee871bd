#include "playback/ClipCache.h"

#include "platform/UniqueFd.h"
#include "playback/PlayerLimits.h"
#include "settings/SaverSettings.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace fs = std::filesystem;

namespace {

constexpr const char* CompleteSuffix = ".clip";
// ".<name>.part-<pid>": whose download it is, so a later process can tell a
// file left behind by one that ended from one a neighbour still writes.
constexpr const char* PartInfix = ".part-";

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct Transfer {
    const bool* stop;
    std::mutex* mutex;
    int fd;
    std::uint64_t written = 0;
    std::uint64_t limit;
    bool failed = false;
};

std::size_t writeChunk(char* data, std::size_t, std::size_t size, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->written + size > transfer->limit)
        return 0; // larger than the whole cache: not worth keeping
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(transfer->fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            transfer->failed = true;
            return 0;
        }
        done += static_cast<std::size_t>(n);
    }
    transfer->written += size;
    return size;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::lock_guard lock(*transfer->mutex);
    return *transfer->stop ? 1 : 0;
}

bool isPart(const std::string& name) {
    return name.size() > 1 && name[0] == '.' && name.find(PartInfix) != std::string::npos;
}

// A temporary file whose writer is gone.
bool isStalePart(const std::string& name) {
    const auto at = name.rfind(PartInfix);
    const long pid = std::strtol(name.c_str() + at + std::string(PartInfix).size(), nullptr, 10);
    return pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

} // namespace

std::string ClipCache::FileNameFor(const std::string& address) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : address) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(name) + CompleteSuffix;
}

std::string ClipCache::DefaultDirectory() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = ::getpwuid(::getuid());
            home = user ? user->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.cache";
    }
    return base + "/zavrio-screensaver/clips";
}

ClipCache::Options ClipCache::OptionsFromSettings() {
    Options options;
    options.Directory = DefaultDirectory();
    if (SettingsFile) {
        const std::int32_t mb = SettingsFile->ReadInteger("cache", "MaxMB", 2048);
        options.MaxBytes = mb > 0 ? static_cast<std::uint64_t>(mb) << 20 : 0;
    }
    return options;
}

ClipCache::ClipCache(Options options) : options_(std::move(options)) {
    if (!Enabled())
        return;
    std::error_code error;
    fs::create_directories(options_.Directory, error);
    initCurl();
    worker_ = std::thread([this] { Run(); });
}

ClipCache::~ClipCache() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

std::string ClipCache::PathOf(const std::string& address) const {
    return options_.Directory + "/" + FileNameFor(address);
}

ClipLease ClipCache::Acquire(const std::string& address) {
    if (!Enabled())
        return {};
    const std::string name = FileNameFor(address);
    const std::string path = PathOf(address);
    const std::lock_guard lock(mutex_);
    // Marked as played now; a file that is gone (evicted by a neighbour)
    // simply streams.
    if (::utimensat(AT_FDCWD, path.c_str(), nullptr, 0) != 0)
        return {};
    ++pins_[name];
    std::shared_ptr<void> pin(nullptr, [this, name](void*) {
        const std::lock_guard lock(mutex_);
        if (--pins_[name] <= 0)
            pins_.erase(name);
    });
    return {path, std::move(pin)};
}

void ClipCache::Prefetch(const std::string& address) {
    if (!Enabled())
        return;
    {
        const std::lock_guard lock(mutex_);
        if (address == active_ || fs::exists(PathOf(address)))
            return;
        pending_ = address;
    }
    changed_.notify_all();
}

void ClipCache::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stop_ || (!pending_ && active_.empty()); });
}

void ClipCache::Run() {
    pthread_setname_np(pthread_self(), "clip-cache");
    // Files other processes left half written go at the start.
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(options_.Directory, error)) {
        const std::string name = entry.path().filename().string();
        if (isPart(name) && isStalePart(name))
            fs::remove(entry.path(), error);
    }
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || pending_; });
        if (stop_)
            return;
        active_ = std::move(*pending_);
        pending_.reset();
        const std::string address = active_;
        lock.unlock();
        if (Download(address))
            Evict();
        lock.lock();
        active_.clear();
        changed_.notify_all();
    }
}

bool ClipCache::Download(const std::string& address) {
    const std::string final = PathOf(address);
    const std::string part =
        options_.Directory + "/." + FileNameFor(address) + PartInfix + std::to_string(::getpid());
    UniqueFd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd)
        return false;
    Transfer transfer{&stop_, &mutex_, fd.get(), 0, options_.MaxBytes};
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    bool complete = false;
    if (curl) {
        CURL* c = curl.get();
        curl_easy_setopt(c, CURLOPT_URL, address.c_str());
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(c, CURLOPT_MAXREDIRS, 15L);
        curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(NetworkTimeout.count()));
        // No byte for the stall limit: the download is given up.
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(DownloadStallLimit.count()));
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeChunk);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progress);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
        complete = curl_easy_perform(c) == CURLE_OK && !transfer.failed && transfer.written > 0;
    }
    complete = complete && ::fsync(fd.get()) == 0 && fd.close();
    if (!complete || ::rename(part.c_str(), final.c_str()) != 0) {
        ::unlink(part.c_str());
        return false;
    }
    return true;
}

std::vector<ClipCache::File> ClipCache::Files() const {
    std::vector<File> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(options_.Directory, error)) {
        const std::string name = entry.path().filename().string();
        if (isPart(name) || !name.ends_with(CompleteSuffix))
            continue;
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        files.push_back({name, static_cast<std::uint64_t>(info.st_size),
                         std::chrono::system_clock::time_point(
                             std::chrono::seconds(info.st_mtim.tv_sec) +
                             std::chrono::nanoseconds(info.st_mtim.tv_nsec))});
    }
    std::sort(files.begin(), files.end(),
              [](const File& a, const File& b) { return a.LastPlayed < b.LastPlayed; });
    return files;
}

void ClipCache::Evict() {
    std::vector<File> files = Files();
    std::uint64_t total = 0;
    for (const File& file : files)
        total += file.Bytes;
    const std::lock_guard lock(mutex_);
    for (const File& file : files) {
        if (total <= options_.MaxBytes)
            return;
        if (pins_.count(file.Name))
            continue; // on screen
        if (::unlink((options_.Directory + "/" + file.Name).c_str()) == 0)
            total -= file.Bytes;
    }
}

int ClipCache::Clear() {
    int removed = 0;
    std::error_code error;
    const std::lock_guard lock(mutex_);
    for (const auto& entry : fs::directory_iterator(options_.Directory, error)) {
        const std::string name = entry.path().filename().string();
        if (isPart(name)) {
            if (isStalePart(name))
                fs::remove(entry.path(), error);
        } else if (name.ends_with(CompleteSuffix) && !pins_.count(name)) {
            removed += fs::remove(entry.path(), error) ? 1 : 0;
        }
    }
    return removed;
}

std::shared_ptr<ClipCache> ProcessClipCache() {
    static const std::shared_ptr<ClipCache> cache =
        std::make_shared<ClipCache>(ClipCache::OptionsFromSettings());
    return cache;
}

} // namespace zavrio
