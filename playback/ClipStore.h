#pragma once
// The clips kept on disk for playing without the network: one file per
// player address in Directory, named from a hash of the address, shared by
// every copy of the program the user runs (one per monitor under the
// screensaver daemon).
//
// What the copies agree on, through the file system alone:
//   - a clip is downloaded by one copy at a time (Reserve: a lock per clip,
//     held while its download runs);
//   - a download is written under a temporary name and renamed when
//     complete, so a partial file is never found as a clip;
//   - a clip a player holds (a lease, in any copy) is never evicted: a lease
//     holds a shared lock on the file, and eviction removes only files it can
//     lock for itself;
//   - the least recently played clips go first when the store grows past
//     MaxBytes;
//   - a clip that failed to play (Forget) is gone for every copy at once:
//     removed, or, while another copy's lease holds it, marked by a file
//     beside it (".<name>.failed") so that no copy finds it, and removed as
//     soon as nobody holds it.
//
// MaxBytes 0 turns the store off: nothing is found, reserved or kept.

#include "platform/UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zavrio {

// A clip's local file for one player; the file stays safe from eviction (by
// every copy) while the lease lives. An empty Path: stream the address.
// A lease must not outlive the store that gave it.
struct ClipLease {
    std::string Path;
    std::shared_ptr<void> Pin;
    // Set by the store that gave the lease: see ForgetFailedClip.
    std::function<void(ClipLease&)> Forget;
};

// The player's word that the lease's file failed to play (it could not be
// read, ended before a picture, stalled): the lease is given up and the file
// leaves the store, so the clip is fetched again. Nothing for an empty lease.
void ForgetFailedClip(ClipLease& lease);

class ClipStore {
public:
    struct Options {
        std::string Directory;
        std::uint64_t MaxBytes = 0;
        // Folders whose files count against MaxBytes too (the feed archive);
        // the store never removes them.
        std::vector<std::string> AlsoCounted;
    };

    // The right to download one clip into the store: the temporary file to
    // write, and the clip's lock while it lives. Without Commit the
    // temporary file goes.
    class Reservation {
    public:
        Reservation(Reservation&&) noexcept = default;
        ~Reservation();
        int Fd() const { return file_.get(); }
        // The temporary file, for looking into before Commit.
        const std::string& Path() const { return part_; }
        // Flushes the file and gives it its clip's name; false when that
        // fails (nothing is kept then).
        bool Commit();

    private:
        friend class ClipStore;
        Reservation(UniqueFd lock, UniqueFd file, std::string part, std::string final);
        UniqueFd lock_;
        UniqueFd file_;
        std::string part_;
        std::string final_;
        bool committed_ = false;
    };

    explicit ClipStore(Options options);

    bool Enabled() const { return options_.MaxBytes > 0; }
    const Options& Settings() const { return options_; }

    // The complete file of address, marked as played now and held while the
    // lease lives; an empty lease when it is not there, was forgotten, or
    // the store is off.
    ClipLease Acquire(const std::string& address) const;
    // Whether the complete file of address is there (and not forgotten).
    bool Has(const std::string& address) const;
    // Gives lease up and removes its file, unless another lease holds it:
    // then marks it, and whichever copy next finds it unheld removes it. A
    // file that has been replaced since the lease was taken is left alone.
    void Forget(ClipLease& lease) const;

    // The download of address, unless its file is complete already or
    // another download of it runs (in this copy or another one).
    std::optional<Reservation> Reserve(const std::string& address) const;

    // Removes the least recently played files no lease holds until the
    // store (with the folders it also counts) is within MaxBytes.
    void Evict() const;

    struct File {
        std::string Name;
        std::uint64_t Bytes = 0;
        std::chrono::system_clock::time_point LastPlayed;
    };
    // The complete files, least recently played first.
    std::vector<File> Files() const;
    // Removes every complete file that no lease holds, and temporary files
    // whose writer is gone; gives how many complete files went.
    int Clear() const;
    // Removes what the store does not recognise or no longer wants:
    // temporary files whose writer is gone or that were not written to for
    // PartLifetime, empty clip files, forgotten clips nobody holds, and
    // marks whose clip is gone.
    void SweepLeftovers() const;
    static constexpr std::chrono::hours PartLifetime{1};

    // The file name of address in the store: 16 hexadecimal digits of its
    // 64-bit FNV-1a hash and ".clip".
    static std::string FileNameFor(const std::string& address);
    // $XDG_CACHE_HOME/zavrio-screensaver/clips, else ~/.cache/...
    static std::string DefaultDirectory();
    // Default directory, counting the feed archive's too; MaxBytes from
    // [cache] MaxMB of the settings file (2048 when absent), or 0 when
    // nothing is loaded.
    static Options OptionsFromSettings();

private:
    std::string PathOf(const std::string& address) const;

    Options options_;
};

} // namespace zavrio
