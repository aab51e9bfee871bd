#include "playback/ClipSequence.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace zavrio {

ClipSequence::ClipSequence(bool wrap, Prefetcher prefetch, Neighbours neighbours)
    : wrap_(wrap), prefetch_(std::move(prefetch)), neighbours_(std::move(neighbours)) {
    lanes_[Primary].Current = 0;
    order_.push_back(Primary);
}

int ClipSequence::AddLane() {
    const int lane = nextLane_++;
    lanes_[lane] = Lane{};
    order_.push_back(lane);
    return lane;
}

void ClipSequence::RemoveLane(int lane) {
    if (lane == Primary)
        return;
    lanes_.erase(lane);
    std::erase(order_, lane);
}

std::vector<int> ClipSequence::Lanes() const {
    return order_;
}

void ClipSequence::ForgetCurrent() {
    for (auto& [id, lane] : lanes_)
        lane.Current = -1;
}

const ClipSequence::Lane& ClipSequence::LaneOf(int lane) const {
    const auto at = lanes_.find(lane);
    if (at == lanes_.end())
        throw std::out_of_range("No lane " + std::to_string(lane) + " in the clip sequence");
    return at->second;
}

ClipSequence::Lane& ClipSequence::LaneOf(int lane) {
    return const_cast<Lane&>(std::as_const(*this).LaneOf(lane));
}

int ClipSequence::CurrentIndex(int lane) const {
    return LaneOf(lane).Current;
}

void ClipSequence::SetCurrentIndex(int index, int lane) {
    LaneOf(lane).Current = index;
}

void ClipSequence::ReadyStateChanged(std::int32_t state, TDateTime when, int lane) {
    Lane& l = LaneOf(lane);
    l.ReadyState = state;
    l.ReadyTime = when;
}

std::int32_t ClipSequence::ReadyState(int lane) const {
    return LaneOf(lane).ReadyState;
}

void ClipSequence::Postpone(double seconds) {
    for (auto& [id, lane] : lanes_)
        lane.ReadyTime += seconds / (24 * 60 * 60);
}

TDateTime ClipSequence::ReadyTime(int lane) const {
    return LaneOf(lane).ReadyTime;
}

bool ClipSequence::AdvanceDue(bool autoNext, std::int32_t frameNum, TDateTime now, int lane) const {
    if (frameNum < 0)
        return false;
    const std::optional<double> left = SecondsToAdvance(autoNext, now, lane);
    return left && *left < 0;
}

std::optional<double> ClipSequence::SecondsToAdvance(bool autoNext, TDateTime now, int lane) const {
    const std::optional<double> since = SecondsSinceFirstFrame(now, lane);
    if (!autoNext || !since)
        return std::nullopt;
    return AdvanceAfterSeconds - *since;
}

std::optional<double> ClipSequence::SecondsSinceFirstFrame(TDateTime now, int lane) const {
    const Lane& l = LaneOf(lane);
    if (l.ReadyState != 4)
        return std::nullopt;
    return SecondsBetween(l.ReadyTime, now);
}

PlayerClip ClipSequence::Play(int index, bool hd, bool loop, int lane) {
    const PlayerClip clip = list_.ClipOf(index, hd, loop);
    hd_ = hd;
    loop_ = loop;
    LaneOf(lane).Current = index;
    if (neighbours_.Claim) {
        std::vector<std::string> playing;
        for (const int other : order_)
            if (const int current = LaneOf(other).Current; current >= 0 && current < list_.Count())
                playing.push_back(list_.ClipOf(current, hd, loop).Address);
        neighbours_.Claim(playing);
    }
    if (prefetch_)
        if (const std::optional<int> next = NextIndex(lane); next && *next != index)
            prefetch_(list_.ClipOf(*next, hd, loop).Address);
    return clip;
}

void ClipSequence::Unclaim() {
    if (neighbours_.Claim)
        neighbours_.Claim({});
}

bool ClipSequence::ShownByAnotherLane(int index, int lane) const {
    return std::any_of(lanes_.begin(), lanes_.end(), [&](const auto& other) {
        return other.first != lane && other.second.Current == index;
    });
}

std::optional<int> ClipSequence::FirstFree(const std::vector<int>& candidates, int lane) const {
    if (candidates.empty())
        return std::nullopt;
    if (neighbours_.Plays)
        for (const int index : candidates)
            if (!ShownByAnotherLane(index, lane) &&
                !neighbours_.Plays(list_.ClipOf(index, hd_, loop_).Address))
                return index;
    for (const int index : candidates)
        if (!ShownByAnotherLane(index, lane))
            return index;
    return candidates.front();
}

std::optional<int> ClipSequence::NextIndex(bool wrap, int lane) const {
    const int count = list_.Count();
    const int current = LaneOf(lane).Current;
    std::vector<int> candidates;
    if (current >= 0)
        for (int index = current + 1; index < count; ++index)
            candidates.push_back(index);
    // Round to the first entry and on, up to the current one itself (all of
    // them while none was chosen).
    if (wrap)
        for (int index = 0; index < count && (current < 0 || index <= current); ++index)
            candidates.push_back(index);
    return FirstFree(candidates, lane);
}

int ClipSequence::FirstIndex(int lane) const {
    const int count = list_.Count();
    if (count == 0)
        return -1;
    const auto position = std::find(order_.begin(), order_.end(), lane) - order_.begin();
    const int primary = lane == Primary ? 0 : std::max(LaneOf(Primary).Current, 0);
    const int start = static_cast<int>((primary + position) % count);
    std::vector<int> candidates;
    for (int k = 0; k < count; ++k)
        candidates.push_back((start + k) % count);
    return *FirstFree(candidates, lane);
}

} // namespace zavrio
