#include "platform/LocalClock.h"
#include "playback/ClipSequence.h"
#include "playback/ClipWatch.h"
#include "playback/ErrorReportText.h"
#include "playback/PlayerAddress.h"
#include "playback/PlayerLayout.h"
#include "playback/Playlist.h"

#include "settings/SaverSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zavrio {
namespace {

TEST(ClipIdFromLink, TakesEverythingAfterTheFirstEquals) {
    struct Case {
        const char* link;
        const char* id;
    } cases[] = {
        {"http://www.zavrio.com/watch?v=abc123", "abc123"},
        {"http://x/watch?v=abc&feature=rss", "abc&feature=rss"},
        {"http://x/watch?v=a=b", "a=b"},
        {"no-equals-here", "no-equals-here"},
        {"", ""},
        {"x=", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClipIdFromLink(c.link), c.id) << c.link;
}

TEST(ClipIdFromLink, CutsToHundredCharactersAtACharacterBoundary) {
    EXPECT_EQ(ClipIdFromLink("v=" + std::string(150, 'x')), std::string(100, 'x'));
    EXPECT_EQ(ClipIdFromLink(std::string(130, 'y')), std::string(100, 'y'));
    // 99 ASCII characters then a two-byte "é": the 100th character is whole.
    const std::string accented = std::string(99, 'a') + "\xC3\xA9" + "zz";
    EXPECT_EQ(ClipIdFromLink("v=" + accented), std::string(99, 'a') + "\xC3\xA9");
}

TEST(PlayerAddress, AppendsOptionsInOrder) {
    EXPECT_EQ(PlayerAddress("http://b", "id", false, false), "http://b/v/id&autoplay=1");
    EXPECT_EQ(PlayerAddress("http://b", "id", true, false), "http://b/v/id&autoplay=1&fmt=18");
    EXPECT_EQ(PlayerAddress("http://b", "id", false, true), "http://b/v/id&autoplay=1&loop=1");
    EXPECT_EQ(PlayerAddress("http://b", "id", true, true),
              "http://b/v/id&autoplay=1&fmt=18&loop=1");
}

TEST(PlayerBaseAddress, ComesFromTheSettingsFileOrTheDefault) {
    const auto dir = std::filesystem::temp_directory_path() / "zavrio-playback-base";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "zavriofeeds.ini").string();

    SettingsFile.reset();
    EXPECT_EQ(PlayerBaseAddress(), "http://www.zavrio.com");

    std::ofstream(path) << "[player]\nBaseAddress=http://127.0.0.1:8123\n";
    LoadSettings(path);
    EXPECT_EQ(PlayerBaseAddress(), "http://127.0.0.1:8123");

    std::ofstream(path) << "[player]\nBaseAddress=\n[feeds]\na=http://x\n";
    LoadSettings(path);
    EXPECT_EQ(PlayerBaseAddress(), "http://www.zavrio.com");

    SettingsFile.reset();
    std::filesystem::remove_all(dir);
}

TEST(ErrorReportText, AppendsAPeriodAfterCharactersSortingAfterIt) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"HTTP/1.1 404 Not Found", "HTTP/1.1 404 Not Found."},
        {"Connect timed out.", "Connect timed out."},
        {"List index out of bounds (-1)", "List index out of bounds (-1)"}, // ")" sorts before "."
        {"Really?", "Really?."},                                            // "?" sorts after "."
        {"x-", "x-"},
        {"ends in 7", "ends in 7."},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorReportText(c.in), c.out) << c.in;
}

TEST(PlayerPanelLayout, CentresFixedSizesAndTruncatesTowardZero) {
    EXPECT_EQ(PlayerPanelLayout(0, 1024, 768), (PanelLayout{false, 192, 191, 640, 385}));
    EXPECT_EQ(PlayerPanelLayout(1, 1024, 768), (PanelLayout{false, -128, -1, 1280, 770}));
    EXPECT_EQ(PlayerPanelLayout(0, 1280, 720), (PanelLayout{false, 320, 167, 640, 385}));
    EXPECT_EQ(PlayerPanelLayout(2, 1024, 768), (PanelLayout{true, 0, 0, 0, 0}));
    EXPECT_EQ(PlayerPanelLayout(5, 1024, 768), std::nullopt);
    EXPECT_EQ(PlayerPanelLayout(-1, 1024, 768), std::nullopt);
}

TEST(LocalClock, SecondsBetweenCrossesMidnight) {
    const double beforeMidnight = 46000.0 + (24 * 3600 - 5) / 86400.0;
    const double after = 46001.0 + 11 / 86400.0;
    EXPECT_NEAR(SecondsBetween(beforeMidnight, after), 16.0, 1e-6);
    const double now = LocalNow();
    EXPECT_GT(now, 45000.0); // after 2023
    EXPECT_LT(now, 80000.0);
}

TEST(Playlist, NumbersEntriesAndComposesAddresses) {
    Playlist list;
    list.Open();
    list.Add("First", "http://x/watch?v=aaa");
    list.Add("Second", "no-equals");
    EXPECT_EQ(list.Entry(0).Text, "1. First");
    EXPECT_EQ(list.Entry(1).Text, "2. Second");
    EXPECT_EQ(list.PlayerAddressOf(0, true, true),
              std::string(DefaultPlayerBaseAddress) + "/v/aaa&autoplay=1&fmt=18&loop=1");
    EXPECT_EQ(list.PlayerAddressOf(1, false, false),
              std::string(DefaultPlayerBaseAddress) + "/v/no-equals&autoplay=1");
    EXPECT_THROW(list.Entry(2), std::out_of_range);
    list.Release();
    EXPECT_FALSE(list.IsOpen());
    EXPECT_TRUE(list.Empty());
}

// A sequence of count entries whose links are "http://x/?v=<index>".
ClipSequence sequenceOf(int count, bool wrap, ClipSequence::Prefetcher prefetch = {},
                        Neighbours neighbours = {}) {
    ClipSequence sequence(wrap, std::move(prefetch), std::move(neighbours));
    sequence.List().Open();
    for (int i = 0; i < count; ++i)
        sequence.List().Add("t", "http://x/?v=" + std::to_string(i));
    return sequence;
}

std::string addressOf(int index) {
    return std::string(DefaultPlayerBaseAddress) + "/v/" + std::to_string(index) + "&autoplay=1";
}

TEST(ClipSequence, NextEntryWithAndWithoutWrapAround) {
    struct Case {
        int count;
        int current;
        std::optional<int> wrapping, stopping;
    };
    const Case cases[] = {
        {5, 0, 1, 1},
        {5, 3, 4, 4},
        {5, 4, 0, std::nullopt},  // after the last
        {1, 0, 0, std::nullopt},  // a one-clip list
        {3, -1, 0, std::nullopt}, // nothing chosen yet
        {0, 0, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        ClipSequence sequence = sequenceOf(c.count, true);
        sequence.SetCurrentIndex(c.current);
        EXPECT_EQ(sequence.NextIndex(true), c.wrapping) << c.count << "/" << c.current;
        EXPECT_EQ(sequence.NextIndex(false), c.stopping) << c.count << "/" << c.current;
    }
}

TEST(ClipSequence, AdvanceIsDueMoreThanFifteenSecondsAfterStateFour) {
    const double second = 1.0 / 86400;
    const double ready = 46000.0 + (24 * 3600 - 5) * second; // five seconds before midnight
    struct Case {
        bool autoNext;
        std::int32_t frame, state;
        double after;
        bool due;
    };
    const Case cases[] = {
        {true, 0, 4, 15.01, true}, {true, 0, 4, 14.99, false}, {false, 0, 4, 60, false},
        {true, -1, 4, 60, false},  {true, 0, 3, 60, false},
    };
    for (const Case& c : cases) {
        ClipSequence sequence(true);
        sequence.ReadyStateChanged(c.state, ready);
        EXPECT_EQ(sequence.AdvanceDue(c.autoNext, c.frame, ready + c.after * second), c.due)
            << c.autoNext << c.frame << c.state << c.after;
    }
}

TEST(ClipSequence, ReadyStateOutlivesTheListAndEachLaneHasItsOwn) {
    ClipSequence sequence = sequenceOf(3, true);
    const int other = sequence.AddLane();
    sequence.ReadyStateChanged(4, 100.0);
    sequence.ReadyStateChanged(3, 200.0, other);
    sequence.List().Release();
    sequence.List().Open();
    EXPECT_EQ(sequence.ReadyState(), 4);
    EXPECT_EQ(sequence.ReadyTime(), 100.0);
    EXPECT_EQ(sequence.ReadyState(other), 3);
    EXPECT_FALSE(sequence.AdvanceDue(true, 0, 300.0, other));
}

TEST(ClipSequence, PlayingFetchesTheNextClipAheadOnlyWhenThereIsAnother) {
    std::vector<std::string> fetched;
    const auto record = [&](const std::string& address) { fetched.push_back(address); };
    ClipSequence wrapping = sequenceOf(3, true, record);
    EXPECT_EQ(wrapping.Play(2, false, false).Address, addressOf(2));
    EXPECT_EQ(wrapping.CurrentIndex(), 2);
    EXPECT_EQ(fetched, std::vector<std::string>{addressOf(0)});

    ClipSequence stopping = sequenceOf(3, false, record);
    stopping.Play(2, false, false);
    EXPECT_EQ(fetched.size(), 1u) << "nothing after the last clip";
    ClipSequence single = sequenceOf(1, true, record);
    single.Play(0, false, false);
    EXPECT_EQ(fetched.size(), 1u) << "a one-clip list comes round to the same clip";
    EXPECT_THROW(single.Play(1, false, false), std::out_of_range);
}

// Screens beside the primary one: where each lane begins, and where it goes
// next, for lists longer and shorter than the number of lanes.
TEST(ClipSequence, LanesBeginApartAndNeverMoveOntoAnEntryAnotherLaneShows) {
    struct Case {
        int count, lanes;
        std::vector<int> first;               // FirstIndex of each lane, after Primary plays it
        std::vector<std::optional<int>> next; // NextIndex of each lane from there
    };
    const Case cases[] = {
        {5, 3, {0, 1, 2}, {3, 3, 3}},
        {3, 3, {0, 1, 2}, {0, 1, 2}}, // every other entry is shown: each comes round to its own
        {2, 3, {0, 1, 0}, {1, 1, 1}}, // fewer entries than screens: some show the same
        {1, 2, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        ClipSequence sequence = sequenceOf(c.count, true);
        std::vector<int> lanes{ClipSequence::Primary};
        for (int k = 1; k < c.lanes; ++k)
            lanes.push_back(sequence.AddLane());
        sequence.ForgetCurrent();
        for (std::size_t k = 0; k < lanes.size(); ++k) {
            const int first = sequence.FirstIndex(lanes[k]);
            EXPECT_EQ(first, c.first[k]) << c.count << " entries, lane " << k;
            sequence.Play(first, false, false, lanes[k]);
        }
        for (std::size_t k = 0; k < lanes.size(); ++k)
            EXPECT_EQ(sequence.NextIndex(lanes[k]), c.next[k]) << c.count << " entries, lane " << k;
    }

    // Lanes move on one after the other, always to an entry no other shows.
    ClipSequence sequence = sequenceOf(4, true);
    const int second = sequence.AddLane();
    sequence.Play(0, false, false);
    sequence.Play(sequence.FirstIndex(second), false, false, second);
    for (int step = 0; step < 12; ++step) {
        const int lane = step % 2 ? second : ClipSequence::Primary;
        const int other = step % 2 ? ClipSequence::Primary : second;
        sequence.Play(*sequence.NextIndex(lane), false, false, lane);
        EXPECT_NE(sequence.CurrentIndex(lane), sequence.CurrentIndex(other)) << step;
    }
    sequence.RemoveLane(second);
    EXPECT_EQ(sequence.Lanes(), std::vector<int>{ClipSequence::Primary});
}

TEST(ClipSequence, NeighboursClipsArePassedOverWhileAnotherIsFree) {
    std::vector<std::string> othersPlay{addressOf(0), addressOf(1)};
    std::vector<std::string> claimed;
    Neighbours neighbours{[&](const std::string& address) {
                              return std::find(othersPlay.begin(), othersPlay.end(), address) !=
                                     othersPlay.end();
                          },
                          [&](const std::vector<std::string>& addresses) { claimed = addresses; }};
    ClipSequence sequence = sequenceOf(3, true, {}, neighbours);
    sequence.ForgetCurrent();
    EXPECT_EQ(sequence.FirstIndex(ClipSequence::Primary), 2);
    sequence.Play(2, false, false);
    EXPECT_EQ(claimed, std::vector<std::string>{addressOf(2)});
    // Every other entry is a neighbour's: it comes round to its own again.
    EXPECT_EQ(sequence.NextIndex(), 2);
    othersPlay = {addressOf(0)};
    EXPECT_EQ(sequence.NextIndex(), 1);
}

// What happens to a clip, second by second, and when it must count as failed.
TEST(ClipWatch, FailsAClipThatShowsNothingOrStops) {
    using namespace std::chrono_literals;
    enum Step { Start, Frame, Pause, Resume, NaturalEnd, CutEnd, Hide, Show };
    struct Event {
        int second;
        Step step;
    };
    struct Case {
        const char* name;
        std::vector<Event> events;
        int checkAt; // second
        bool failed;
    };
    const Case cases[] = {
        {"no first frame within the limit", {{0, Start}}, 10, true},
        {"still waiting for the first frame", {{0, Start}}, 9, false},
        {"the first frame in time", {{0, Start}, {9, Frame}}, 12, false},
        {"the end before any frame", {{0, Start}, {1, NaturalEnd}}, 1, true},
        {"frames stopping", {{0, Start}, {1, Frame}, {2, Frame}}, 12, true},
        {"frames going on", {{0, Start}, {1, Frame}, {10, Frame}, {19, Frame}}, 28, false},
        {"a paused clip is not stalled", {{0, Start}, {1, Frame}, {2, Pause}}, 60, false},
        {"the gap counts from the resume",
         {{0, Start}, {1, Frame}, {2, Pause}, {50, Resume}},
         59,
         false},
        {"stalled after the resume", {{0, Start}, {1, Frame}, {2, Pause}, {50, Resume}}, 60, true},
        {"the natural end keeps the last frame",
         {{0, Start}, {1, Frame}, {5, NaturalEnd}},
         60,
         false},
        {"a clip cut short stalls", {{0, Start}, {1, Frame}, {5, CutEnd}}, 11, true},
        {"a new start forgets the old failure", {{0, Start}, {11, Start}}, 15, false},
        {"off screen nothing can be drawn", {{0, Start}, {1, Hide}}, 60, false},
        {"back on screen the limit counts afresh", {{0, Start}, {1, Hide}, {50, Show}}, 59, false},
        {"back on screen and still nothing", {{0, Start}, {1, Hide}, {50, Show}}, 60, true},
        {"frames off screen", {{0, Start}, {1, Frame}, {2, Hide}, {40, Show}}, 49, false},
    };
    for (const Case& c : cases) {
        ClipWatch watch;
        const auto t0 = ClipWatch::Clock::time_point{} + 1000s;
        auto at = [&](int second) { return t0 + std::chrono::seconds(second); };
        for (const Event& e : c.events) {
            watch.Check(at(e.second));
            switch (e.step) {
            case Start:
                watch.Start(at(e.second));
                break;
            case Frame:
                watch.Frame(at(e.second));
                break;
            case Pause:
            case Resume:
                watch.Paused(e.step == Pause, at(e.second));
                break;
            case NaturalEnd:
            case CutEnd:
                watch.Ended(e.step == NaturalEnd, at(e.second));
                break;
            case Hide:
            case Show:
                watch.OnScreen(e.step == Show, at(e.second));
                break;
            }
        }
        EXPECT_EQ(watch.Check(at(c.checkAt)).has_value(), c.failed) << c.name;
    }
}

} // namespace
} // namespace zavrio
