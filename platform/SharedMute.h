#pragma once
// The sound's mute held for as long as any copy of the program that the user
// runs wants it (one copy per monitor under the screensaver daemon, or a
// preview), and given back as it was found when the last one lets go.
//
// The copies keep one record in a shared folder (RuntimeRecord.h), changed
// only under its lock: the mute state found by the first copy and the copies
// holding it. A copy that died without letting go (killed) is dropped from
// the record by the next one that looks, so the last live copy still gives
// the state back; when every holder died, the state found before them is
// still on record and the next run gives that back at its end.
//
// The sink is a seam: the default sink of the sound server in the program,
// a fake in tests. A sink that cannot be read (no sound server) is left alone.

#include "platform/RuntimeRecord.h"

#include <functional>
#include <optional>
#include <string>

namespace zavrio {

struct SinkMute {
    // Whether the sink is muted now; nothing when it cannot be told.
    std::function<std::optional<bool>()> Get;
    std::function<void(bool muted)> Set;
};

class SharedMute {
public:
    SharedMute(std::string directory, SinkMute sink, CopyId self = CopyId::Self(),
               CopyLiveness alive = IsRunning);

    // This copy wants the sink muted from now on: the first holder records
    // the state it finds, and the sink is muted. Holding twice is holding once.
    void Hold();
    // This copy no longer does; when no live copy holds the mute any more,
    // the state on record is given back. Does nothing when not holding.
    void Release();
    bool Holding() const { return holding_; }

private:
    std::string record_;
    std::string directory_;
    SinkMute sink_;
    CopyId self_;
    CopyLiveness alive_;
    bool holding_ = false;
    std::optional<bool> found_; // the state on record when this copy began holding
};

} // namespace zavrio
