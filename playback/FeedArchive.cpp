#include "playback/FeedArchive.h"

#include "platform/AtomicWrite.h"
#include "platform/FileRead.h"
#include "playback/CacheFolder.h"

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace zavrio {

namespace fs = std::filesystem;

namespace {

constexpr const char* Suffix = ".feed";

} // namespace

FeedArchive::FeedArchive(std::string directory) : directory_(std::move(directory)) {}

std::string FeedArchive::FileNameFor(const std::string& address) {
    return HashedFileName(address, Suffix);
}

std::string FeedArchive::DefaultDirectory() {
    return CacheRoot() + "/feeds";
}

void FeedArchive::Keep(const std::string& address, const std::string& document) const {
    std::error_code error;
    fs::create_directories(directory_, error);
    try {
        WriteFileAtomically(directory_ + "/" + FileNameFor(address), document);
    } catch (const AtomicWriteError&) {
    }
}

std::optional<std::string> FeedArchive::Kept(const std::string& address) const {
    try {
        return ReadWholeFile(directory_ + "/" + FileNameFor(address));
    } catch (const std::exception&) {
        return std::nullopt; // unreadable: as good as none
    }
}

std::vector<FeedArchive::File> FeedArchive::Files() const {
    std::vector<File> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory_, error)) {
        const std::string name = entry.path().filename().string();
        struct stat info {};
        if (!name.ends_with(Suffix) || ::stat(entry.path().c_str(), &info) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        files.push_back({name, static_cast<std::uint64_t>(info.st_size),
                         std::chrono::system_clock::time_point(
                             std::chrono::seconds(info.st_mtim.tv_sec) +
                             std::chrono::nanoseconds(info.st_mtim.tv_nsec))});
    }
    return files;
}

void FeedArchive::Clear() const {
    std::error_code error;
    for (const File& file : Files())
        fs::remove(directory_ + "/" + file.Name, error);
}

} // namespace zavrio
