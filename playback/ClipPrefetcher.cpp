#include "playback/ClipPrefetcher.h"

#include "http/TrustStore.h"
#include "playback/ClipAdmission.h"
#include "playback/PlayerLimits.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <pthread.h>
#include <unistd.h>

namespace zavrio {

namespace {

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
        return 0; // larger than the whole store: not worth keeping
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

// Whether the finished transfer on c brought a clip worth keeping.
bool Admitted(CURL* c, bool endedCleanly, std::uint64_t received, const std::string& file) {
    DownloadOutcome outcome;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &outcome.Status);
    const char* type = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        outcome.ContentType = type;
    curl_off_t declared = -1;
    if (curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared) == CURLE_OK &&
        declared >= 0)
        outcome.DeclaredBytes = static_cast<std::uint64_t>(declared);
    outcome.ReceivedBytes = received;
    outcome.EndedCleanly = endedCleanly;
    return AdmitDownload(outcome, file) == ClipVerdict::Keep;
}

} // namespace

ClipPrefetcher::ClipPrefetcher(std::shared_ptr<const ClipStore> store)
    : store_(std::move(store)), trust_(ConfiguredTrustStore()) {
    if (!store_->Enabled())
        return;
    initCurl();
    worker_ = std::thread([this] { Run(); });
}

ClipPrefetcher::~ClipPrefetcher() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void ClipPrefetcher::Prefetch(const std::string& address) {
    if (!store_->Enabled() || store_->Has(address))
        return;
    {
        const std::lock_guard lock(mutex_);
        if (address == active_ || std::find(queue_.begin(), queue_.end(), address) != queue_.end())
            return;
        queue_.push_back(address);
        if (queue_.size() > QueueLimit)
            queue_.pop_front();
    }
    changed_.notify_all();
}

void ClipPrefetcher::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stop_ || (queue_.empty() && active_.empty()); });
}

void ClipPrefetcher::Run() {
    pthread_setname_np(pthread_self(), "clip-cache");
    // Files other processes left half written go at the start.
    store_->SweepLeftovers();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        active_ = std::move(queue_.front());
        queue_.pop_front();
        const std::string address = active_;
        lock.unlock();
        if (Download(address))
            store_->Evict();
        lock.lock();
        active_.clear();
        changed_.notify_all();
    }
}

bool ClipPrefetcher::Download(const std::string& address) {
    std::optional<ClipStore::Reservation> reservation = store_->Reserve(address);
    if (!reservation)
        return false; // complete already, or another copy fetches it
    Transfer transfer{&stop_, &mutex_, reservation->Fd(), 0, store_->Settings().MaxBytes};
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return false;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 15L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // The feed client's trust, not libcurl's own idea of it.
    curl_easy_setopt(c, CURLOPT_CAINFO, trust_.File.c_str());
    curl_easy_setopt(c, CURLOPT_CAPATH, trust_.Directory.c_str());
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(NetworkTimeout.count()));
    // No byte for the stall limit: the download is given up.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(DownloadStallLimit.count()));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeChunk);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    const CURLcode result = curl_easy_perform(c);
    return Admitted(c, result == CURLE_OK && !transfer.failed, transfer.written,
                    reservation->Path()) &&
           reservation->Commit();
}

std::shared_ptr<const ClipStore> ProcessClipStore() {
    static const std::shared_ptr<const ClipStore> store =
        std::make_shared<const ClipStore>(ClipStore::OptionsFromSettings());
    return store;
}

ClipPrefetcher& ProcessClipPrefetcher() {
    static ClipPrefetcher prefetcher(ProcessClipStore());
    return prefetcher;
}

} // namespace zavrio
