// The mute shared by the copies of the program one user runs at once (one per
// monitor), against a fake sink and copies simulated in this process: each
// copy is a SharedMute of its own with its own identity over one record.

#include "platform/SharedMute.h"
#include "TempDirectory.h"
#include "platform/RuntimeRecord.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zavrio {
namespace {

struct FakeSink {
    std::optional<bool> Muted = false; // nothing: no sound server
    int Changes = 0;

    SinkMute Seam() {
        return {[this] { return Muted; },
                [this](bool muted) {
                    if (Muted) {
                        Muted = muted;
                        ++Changes;
                    }
                }};
    }
};

class Copies {
public:
    Copies(const std::string& directory, FakeSink& sink, int count, long firstPid = 1000)
        : firstPid_(firstPid) {
        for (int i = 0; i < count; ++i) {
            const CopyId id{firstPid + i, 77};
            live_.insert(id.Pid);
            copies_.push_back(std::make_unique<SharedMute>(
                directory, sink.Seam(), id,
                [this](const CopyId& copy) { return live_.count(copy.Pid) > 0; }));
        }
    }
    SharedMute& operator[](int i) { return *copies_[static_cast<std::size_t>(i)]; }
    // The copy dies without letting go (killed).
    void Kill(int i) { live_.erase(firstPid_ + i); }

private:
    long firstPid_;
    std::set<long> live_;
    std::vector<std::unique_ptr<SharedMute>> copies_;
};

TEST(SharedMute, TheStateFoundIsGivenBackWhenTheLastCopyEndsInAnyOrder) {
    struct Case {
        bool mutedBefore;
        std::vector<int> endOrder;
    };
    const Case cases[] = {
        {false, {0, 1}}, {false, {1, 0}}, {false, {2, 0, 1}}, {true, {0, 1}}, {true, {1, 2, 0}},
    };
    for (const Case& c : cases) {
        test::TempDirectory dir;
        FakeSink sink;
        sink.Muted = c.mutedBefore;
        Copies copies(dir.path(), sink, static_cast<int>(c.endOrder.size()));
        for (std::size_t i = 0; i < c.endOrder.size(); ++i) {
            copies[static_cast<int>(i)].Hold();
            EXPECT_EQ(sink.Muted, true) << "muted while any copy runs";
        }
        for (std::size_t k = 0; k < c.endOrder.size(); ++k) {
            copies[c.endOrder[k]].Release();
            const bool last = k + 1 == c.endOrder.size();
            EXPECT_EQ(sink.Muted, last ? c.mutedBefore : true)
                << "muted before: " << c.mutedBefore << ", after " << k + 1 << " ended";
        }
        EXPECT_EQ(ReadRecord(dir / "mute"), std::vector<std::string>{}) << "nothing left behind";
    }
}

TEST(SharedMute, HoldingAndReleasingTwiceCountsOnce) {
    test::TempDirectory dir;
    FakeSink sink;
    Copies copies(dir.path(), sink, 2);
    copies[0].Hold();
    copies[0].Hold();
    copies[1].Hold();
    copies[0].Release();
    copies[0].Release();
    EXPECT_EQ(sink.Muted, true) << "the second copy still holds it";
    copies[1].Release();
    EXPECT_EQ(sink.Muted, false);
}

TEST(SharedMute, ACopyThatDiesHoldingDoesNotKeepTheSinkMuted) {
    test::TempDirectory dir;
    FakeSink sink;
    Copies copies(dir.path(), sink, 3);
    for (int i = 0; i < 3; ++i)
        copies[i].Hold();
    copies.Kill(1);
    copies[0].Release();
    EXPECT_EQ(sink.Muted, true);
    copies[2].Release();
    EXPECT_EQ(sink.Muted, false) << "the dead copy no longer counts";

    // Every holder killed: the next run finds the state of before them on
    // record, not the mute they left, and gives that back.
    Copies killed(dir.path(), sink, 1);
    killed[0].Hold();
    killed.Kill(0);
    EXPECT_EQ(sink.Muted, true);
    Copies next(dir.path(), sink, 1, 2000);
    next[0].Hold();
    next[0].Release();
    EXPECT_EQ(sink.Muted, false);
}

TEST(SharedMute, WithoutASoundServerNothingHappens) {
    test::TempDirectory dir;
    FakeSink sink;
    sink.Muted = std::nullopt;
    Copies copies(dir.path(), sink, 1);
    copies[0].Hold();
    EXPECT_FALSE(copies[0].Holding());
    copies[0].Release();
    EXPECT_EQ(sink.Changes, 0);
    EXPECT_EQ(ReadRecord(dir / "mute"), std::vector<std::string>{});
}

TEST(SharedMute, ACopyThatCannotKeepTheRecordStillGivesBackWhatItFound) {
    test::TempDirectory dir;
    FakeSink sink;
    // A "folder" inside a plain file: nothing can be made or written there.
    const std::string nowhere = dir.write("file", "") + "/records";
    Copies copies(nowhere, sink, 1);
    copies[0].Hold();
    EXPECT_EQ(sink.Muted, true);
    copies[0].Release();
    EXPECT_EQ(sink.Muted, false);
}

TEST(RuntimeRecord, CopyIdsRoundTripAndOnlyTheLiveProcessRuns) {
    const CopyId self = CopyId::Self();
    EXPECT_TRUE(IsRunning(self));
    EXPECT_EQ(CopyId::Parse(self.ToString()), self);
    EXPECT_FALSE(IsRunning({self.Pid, self.Start + 1})) << "a reused process id is another process";
    for (const char* bad : {"", "12", "x 3", "0 5", "12 34 56", "-4 2"})
        EXPECT_EQ(CopyId::Parse(bad), std::nullopt) << bad;
}

} // namespace
} // namespace zavrio
