#pragma once
// The last feed document fetched whole from each address, kept beside the
// clip cache so a show can play its saved clips when the network is gone.
// One file per address in Directory (named from a hash of the address),
// replaced whole at every successful fetch (AtomicWrite.h), so a reader finds
// the old document or the new one, never a mix. Shared by the copies of the
// program the user runs; the clip store counts these files against its size.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zavrio {

class FeedArchive {
public:
    explicit FeedArchive(std::string directory);

    // Keeps document as the one of address; a failure to write is dropped
    // (the show goes on, only without an offline copy).
    void Keep(const std::string& address, const std::string& document) const;
    // The document kept for address, if any.
    std::optional<std::string> Kept(const std::string& address) const;

    struct File {
        std::string Name;
        std::uint64_t Bytes = 0;
        std::chrono::system_clock::time_point Saved;
    };
    std::vector<File> Files() const;
    // Removes every kept document.
    void Clear() const;
    const std::string& Directory() const { return directory_; }

    // The file name of address: 16 hexadecimal digits of its 64-bit FNV-1a
    // hash and ".feed".
    static std::string FileNameFor(const std::string& address);
    // $XDG_CACHE_HOME/zavrio-screensaver/feeds, else ~/.cache/...
    static std::string DefaultDirectory();

private:
    std::string directory_;
};

} // namespace zavrio
