#include "playback/ClipStore.h"

#include "playback/CacheFolder.h"
#include "playback/FeedArchive.h"
#include "settings/SaverSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavrio {

namespace fs = std::filesystem;

namespace {

constexpr const char* CompleteSuffix = ".clip";
// ".<name>.part-<pid>": whose download it is, so a later process can tell a
// file left behind by one that ended from one a neighbour still writes.
constexpr const char* PartInfix = ".part-";
// One lock file for every clip's download: a one-byte range per clip (at its
// hash), locked per open file, so copies and threads exclude each other
// without a lock file per clip left behind.
constexpr const char* DownloadLocks = ".downloads.lock";
// ".<name>.failed" beside a clip that failed to play while another copy
// held it.
constexpr const char* FailedSuffix = ".failed";

std::string markerOf(const std::string& clipPath) {
    const auto slash = clipPath.rfind('/');
    return clipPath.substr(0, slash + 1) + "." + clipPath.substr(slash + 1) + FailedSuffix;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
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

bool sameFile(int fd, const std::string& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Removes the clip file (and its failure mark) unless a lease (in any copy)
// holds it.
bool removeUnheld(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    if (!sameFile(fd.get(), path) || ::unlink(path.c_str()) != 0)
        return false;
    ::unlink(markerOf(path).c_str());
    return true;
}

bool olderThan(const fs::directory_entry& entry, std::chrono::seconds age) {
    struct stat info {};
    return ::stat(entry.path().c_str(), &info) == 0 &&
           std::chrono::system_clock::now() -
                   std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) >
               age;
}

std::uint64_t bytesIn(const std::string& folder) {
    std::uint64_t total = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file(error))
            if (const std::uintmax_t size = entry.file_size(error); !error)
                total += size;
    return total;
}

} // namespace

ClipStore::Reservation::Reservation(UniqueFd lock, UniqueFd file, std::string part,
                                    std::string final)
    : lock_(std::move(lock)), file_(std::move(file)), part_(std::move(part)),
      final_(std::move(final)) {}

ClipStore::Reservation::~Reservation() {
    if (!committed_ && !part_.empty())
        ::unlink(part_.c_str());
}

bool ClipStore::Reservation::Commit() {
    const bool flushed = ::fsync(file_.get()) == 0;
    const bool closed = ::close(file_.release()) == 0;
    committed_ = flushed && closed && ::rename(part_.c_str(), final_.c_str()) == 0;
    // The fresh file replaced a forgotten one (still held by some lease).
    if (committed_)
        ::unlink(markerOf(final_).c_str());
    return committed_;
}

void ForgetFailedClip(ClipLease& lease) {
    if (lease.Forget) {
        const auto forget = lease.Forget; // the call empties the lease
        forget(lease);
    }
}

std::string ClipStore::FileNameFor(const std::string& address) {
    return HashedFileName(address, CompleteSuffix);
}

std::string ClipStore::DefaultDirectory() {
    return CacheRoot() + "/clips";
}

ClipStore::Options ClipStore::OptionsFromSettings() {
    Options options;
    options.Directory = DefaultDirectory();
    options.AlsoCounted = {FeedArchive::DefaultDirectory()};
    if (SettingsFile) {
        const std::int32_t mb = SettingsFile->ReadInteger("cache", "MaxMB", 2048);
        options.MaxBytes = mb > 0 ? static_cast<std::uint64_t>(mb) << 20 : 0;
    }
    return options;
}

ClipStore::ClipStore(Options options) : options_(std::move(options)) {
    if (!Enabled())
        return;
    std::error_code error;
    fs::create_directories(options_.Directory, error);
}

std::string ClipStore::PathOf(const std::string& address) const {
    return options_.Directory + "/" + FileNameFor(address);
}

ClipLease ClipStore::Acquire(const std::string& address) const {
    if (!Enabled())
        return {};
    const std::string path = PathOf(address);
    if (exists(markerOf(path))) {
        removeUnheld(path);
        return {};
    }
    // Marked as played now; a file that is gone simply streams.
    if (::utimensat(AT_FDCWD, path.c_str(), nullptr, 0) != 0)
        return {};
    auto held = std::make_shared<UniqueFd>(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!*held || ::flock(held->get(), LOCK_SH) != 0)
        return {};
    // Evicted between the open and the lock: the name is gone or another file's.
    if (!sameFile(held->get(), path))
        return {};
    return {path, std::move(held), [this](ClipLease& lease) { Forget(lease); }};
}

bool ClipStore::Has(const std::string& address) const {
    struct stat info {};
    const std::string path = PathOf(address);
    return Enabled() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           !exists(markerOf(path));
}

void ClipStore::Forget(ClipLease& lease) const {
    const std::string path = lease.Path;
    const auto* leased = static_cast<const UniqueFd*>(lease.Pin.get());
    struct stat failed {};
    const bool known = leased && ::fstat(leased->get(), &failed) == 0;
    lease = {}; // its shared lock would stand in the way of removing the file
    if (!known)
        return;
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat named {};
    if (!file || ::fstat(file.get(), &named) != 0 || named.st_dev != failed.st_dev ||
        named.st_ino != failed.st_ino)
        return; // gone already, or a fresh download took the name
    if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
        ::unlink(path.c_str());
        ::unlink(markerOf(path).c_str());
        return;
    }
    UniqueFd marker(::open(markerOf(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    file.reset();
    // The other lease may have gone between the two looks.
    removeUnheld(path);
}

std::optional<ClipStore::Reservation> ClipStore::Reserve(const std::string& address) const {
    if (!Enabled() || Has(address))
        return std::nullopt;
    UniqueFd lock(::open((options_.Directory + "/" + DownloadLocks).c_str(),
                         O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!lock)
        return std::nullopt;
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(AddressHash(address) & 0x7fffffff);
    range.l_len = 1;
    if (::fcntl(lock.get(), F_OFD_SETLK, &range) != 0)
        return std::nullopt; // another download of it runs
    // It may have been completed while this copy waited to look.
    if (Has(address))
        return std::nullopt;
    const std::string name = FileNameFor(address);
    std::string part = options_.Directory + "/." + name + PartInfix + std::to_string(::getpid());
    UniqueFd file(::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file)
        return std::nullopt;
    return Reservation(std::move(lock), std::move(file), std::move(part), PathOf(address));
}

std::vector<ClipStore::File> ClipStore::Files() const {
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

void ClipStore::Evict() const {
    for (const File& file : Files())
        if (exists(markerOf(options_.Directory + "/" + file.Name)))
            removeUnheld(options_.Directory + "/" + file.Name);
    const std::vector<File> files = Files();
    std::uint64_t total = 0;
    for (const File& file : files)
        total += file.Bytes;
    for (const std::string& folder : options_.AlsoCounted)
        total += bytesIn(folder);
    for (const File& file : files) {
        if (total <= options_.MaxBytes)
            return;
        if (removeUnheld(options_.Directory + "/" + file.Name))
            total -= file.Bytes;
    }
}

int ClipStore::Clear() const {
    SweepLeftovers();
    int removed = 0;
    for (const File& file : Files())
        removed += removeUnheld(options_.Directory + "/" + file.Name) ? 1 : 0;
    return removed;
}

void ClipStore::SweepLeftovers() const {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(options_.Directory, error)) {
        const std::string name = entry.path().filename().string();
        const std::string path = entry.path().string();
        std::error_code ignored;
        if (isPart(name)) {
            // A writer that still lives but wrote nothing for so long is
            // stuck, or a process that took a dead one's id.
            if (isStalePart(name) || olderThan(entry, PartLifetime))
                fs::remove(entry.path(), ignored);
        } else if (name.starts_with(".") && name.ends_with(FailedSuffix)) {
            const std::string clip =
                options_.Directory + "/" +
                name.substr(1, name.size() - 1 - std::string(FailedSuffix).size());
            if (!exists(clip) || removeUnheld(clip))
                ::unlink(path.c_str());
        } else if (name.ends_with(CompleteSuffix) && entry.is_regular_file(ignored) &&
                   entry.file_size(ignored) == 0) {
            removeUnheld(path);
        }
    }
}

} // namespace zavrio
