#pragma once
// What both clip-listing windows do with clips, in one place: the playlist,
// which entry each view plays, the ready state each view's player reported
// last with its time, the automatic-advance rule, the choice of what an entry
// plays (Playlist::ClipOf) and the fetching ahead of the entry that comes
// next.
//
// A sequence plays on one or more lanes, one per view (one per screen in the
// playback session); lane Primary always exists. Each lane has its own
// current entry and ready state. Lanes avoid each other: the entry a lane
// moves to is one no other lane shows, and, where copies of the program on
// other monitors say what they play (Neighbours), one none of them shows
// either, as long as the list has enough entries for that.
//
// The ready state and its time belong to the lane, not to one clip: they
// survive new clips, a closed list and new feeds.

#include "platform/LocalClock.h"
#include "playback/PlayerAddress.h"
#include "playback/Playlist.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zavrio {

// Other copies of the program playing at the same time (one per monitor under
// the screensaver daemon). Both functions may be empty: no neighbours.
struct Neighbours {
    // Whether another live copy plays address now.
    std::function<bool(const std::string& address)> Plays;
    // Tells the others what this copy plays now.
    std::function<void(const std::vector<std::string>& addresses)> Claim;
};

class ClipSequence {
public:
    // Seconds a clip plays after its last ready-state report before
    // automatic advance moves on: more than this many.
    static constexpr double AdvanceAfterSeconds = 15;
    static constexpr int Primary = 0;

    using Prefetcher = std::function<void(const std::string& address)>;

    // wrap: after the last entry the first comes again (the playback window);
    // without it the sequence ends at the last entry (the configuration
    // window's list). prefetch is asked for the clip a lane plays next
    // whenever the lane starts one.
    explicit ClipSequence(bool wrap, Prefetcher prefetch = {}, Neighbours neighbours = {});

    Playlist& List() { return list_; }
    const Playlist& List() const { return list_; }

    // A new lane (a new view), with nothing chosen; its id.
    int AddLane();
    // Forgets a lane; Primary stays.
    void RemoveLane(int lane);
    // Every lane, Primary first, then in the order they were added.
    std::vector<int> Lanes() const;
    // Forgets what every lane shows (a new list), keeping the ready states.
    void ForgetCurrent();

    // The entry a lane plays, -1 while none was chosen. Primary starts at 0.
    int CurrentIndex(int lane = Primary) const;
    void SetCurrentIndex(int index, int lane = Primary);

    void ReadyStateChanged(std::int32_t state, TDateTime when, int lane = Primary);
    std::int32_t ReadyState(int lane = Primary) const;
    TDateTime ReadyTime(int lane = Primary) const;
    // Every lane's ready time moves seconds later: time during which the
    // show rested counts for no automatic advance.
    void Postpone(double seconds);

    // Automatic advance is due on lane: autoNext is set, its player shows a
    // frame (frameNum >= 0), its last ready state was 4, and more than
    // AdvanceAfterSeconds passed since it came.
    bool AdvanceDue(bool autoNext, std::int32_t frameNum, TDateTime now, int lane = Primary) const;
    // Seconds from now until automatic advance becomes due on lane, as far
    // as time decides it (the player's frame aside): negative once it is;
    // nothing while no advance is coming (autoNext off, or no state 4 yet).
    std::optional<double> SecondsToAdvance(bool autoNext, TDateTime now, int lane = Primary) const;
    // Seconds since the lane's clip drew its first frame (its state 4);
    // nothing while the lane's last state is another.
    std::optional<double> SecondsSinceFirstFrame(TDateTime now, int lane = Primary) const;

    // Makes index the lane's entry and gives what its player gets; asks for
    // the lane's next clip to be fetched ahead (when there is one other than
    // this) and tells the neighbours what this copy now plays. Throws
    // std::out_of_range for an index outside the list.
    PlayerClip Play(int index, bool hd, bool loop, int lane = Primary);

    // Tells the neighbours that this copy plays nothing any more (its show
    // has ended).
    void Unclaim();

    // The entry the lane moves to from its current one: the one after it,
    // after the last entry (or with none chosen) the first when wrap is set,
    // else nothing; nothing for an empty list. Entries another lane or a
    // neighbour shows are passed over while another one is free.
    std::optional<int> NextIndex(bool wrap, int lane = Primary) const;
    std::optional<int> NextIndex(int lane = Primary) const { return NextIndex(wrap_, lane); }

    // The entry a lane begins with once the list is filled (or once the lane
    // comes later): the k-th lane begins k entries after Primary's current
    // one (wrapping), Primary with the first entry; passing over what others
    // show as NextIndex does. -1 for an empty list.
    int FirstIndex(int lane) const;

private:
    struct Lane {
        int Current = -1;
        std::int32_t ReadyState = 0;
        TDateTime ReadyTime = 0;
    };
    const Lane& LaneOf(int lane) const;
    Lane& LaneOf(int lane);
    // The first of candidates that neither another lane nor (with
    // neighbours) a neighbour shows; else the first no other lane shows;
    // else the first.
    std::optional<int> FirstFree(const std::vector<int>& candidates, int lane) const;
    bool ShownByAnotherLane(int index, int lane) const;

    Playlist list_;
    bool wrap_;
    Prefetcher prefetch_;
    Neighbours neighbours_;
    std::map<int, Lane> lanes_;
    std::vector<int> order_; // lanes in the order they came
    int nextLane_ = Primary + 1;
    // The flags of the last Play, for the addresses neighbours compare.
    bool hd_ = false;
    bool loop_ = false;
};

} // namespace zavrio
