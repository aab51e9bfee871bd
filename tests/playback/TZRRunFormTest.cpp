// The playback window on the offscreen platform, with a fake player, a
// settable clock and a recorded error report.

#include "playback/TZRRunForm.h"
#include "playback/ExitPolicy.h"
#include "playback/PlaybackFlags.h"

#include "FakePlayer.h"
#include "QtWait.h"
#include "ScriptedServer.h"
#include "platform/CursorDisplay.h"
#include "settings/SaverSettings.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

namespace zavrio {
namespace {

using test::FakePlayer;
using test::WaitFor;

const char* const ThreeItemFeed = R"(<?xml version="1.0"?>
<rss version="2.0"><channel><title>t</title><link>http://x/</link><description>d</description>
<item><title>First</title><link>http://x/watch?v=aaa</link></item>
<item><title>Second</title><link>http://x/watch?v=bbb&amp;feature=rss</link></item>
<item><title>Third</title><link>no-equals</link></item>
</channel></rss>)";

std::string httpAnswer(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nContent-Type: application/rss+xml\r\n\r\n" + body;
}

// Counts the mouse presses that reach a widget.
class PressCounter : public QObject {
public:
    int Presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            ++Presses;
        return false;
    }
};

int cursorCount() {
    const int count = ShowCursor(true) - 1;
    ShowCursor(false);
    return count;
}

class RunFormTest : public testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zavrio-runform-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        feeds = std::make_shared<const FeedArchive>((dir / "feeds").string());
        WriteSettings("[feeds]\n");
        PreviewFromConfig = false;
    }

    void TearDown() override {
        form.reset();
        SettingsFile.reset();
        std::filesystem::remove_all(dir);
    }

    // Loads settingsText as the settings file, then sets the options the
    // tests rely on to known values.
    void WriteSettings(const std::string& settingsText) {
        const auto path = (dir / "zavriofeeds.ini").string();
        std::ofstream(path) << settingsText;
        LoadSettings(path);
    }

    void Create() {
        RunFormServices services;
        services.CreatePlayer = [this](QWidget* parent) {
            auto player = std::make_unique<FakePlayer>(parent);
            players.push_back(player.get());
            return player;
        };
        services.Now = [this] { return now; };
        services.ReportError = [this](const std::string& text) { errors.push_back(text); };
        services.ScreenSize = [] { return QSize(1024, 768); };
        services.HoldMute = [this](bool muted) { muteHolds.push_back(muted); };
        services.OtherCopies.Plays = [](const std::string&) { return false; };
        services.Prefetch = [this](const std::string& address) { prefetched.push_back(address); };
        services.Cached = [this](const std::string& address) { return cached.count(address) > 0; };
        services.Feeds = feeds;
        if (ServicesHook)
            ServicesHook(services);
        form = std::make_unique<TZRRunForm>(std::move(services));
    }

    FakePlayer* player() { return static_cast<FakePlayer*>(form->CurrentPlayer()); }
    QWindow* window() { return form->windowHandle(); }

    void ShowWithFeed(const char* feed) {
        Create();
        form->show();
        form->Timer1->stop(); // no download: the test feeds the document itself
        std::istringstream document(feed);
        form->FillPlaylist(document);
    }

    std::filesystem::path dir;
    std::unique_ptr<TZRRunForm> form;
    std::vector<FakePlayer*> players;
    std::vector<std::string> errors;
    double now = 46000.5;
    std::vector<bool> muteHolds;
    std::vector<std::string> prefetched;
    std::set<std::string> cached; // clips complete in the clip cache
    std::function<void(RunFormServices&)> ServicesHook;
    std::shared_ptr<const FeedArchive> feeds;
};

TEST_F(RunFormTest, CreatedWithWelcomeCaptionAndAnEmptyPlayer) {
    Create();
    EXPECT_EQ(form->windowTitle(), "ZRRunForm");
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->Panel2->text().toStdString(), TZRRunForm::WelcomeCaption);
    EXPECT_EQ(form->Panel2->palette().color(QPalette::WindowText), QColor(0, 255, 255));
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 0, 21, 17));
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0]->Movie, "");
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 50);
    EXPECT_TRUE(form->MouseTimer->isActive());
    EXPECT_EQ(form->MouseTimer->interval(), 3000);
}

TEST_F(RunFormTest, ShowAndCloseRestoreMuteAndCursor) {
    WriteSettings("[set]\nMute=1\n[feeds]\n");
    const int before = cursorCount();
    Create();
    form->show();
    EXPECT_EQ(muteHolds, std::vector<bool>{true});
    EXPECT_EQ(cursorCount(), before - 1);
    EXPECT_EQ(MouseMoveAllowance, 20);
    EXPECT_TRUE(form->Timer1->isActive());
    form->close();
    form->close(); // a second close request changes nothing
    EXPECT_EQ(muteHolds, (std::vector<bool>{true, false}));
    EXPECT_EQ(cursorCount(), before);
    EXPECT_EQ(form->CurrentPlayer(), nullptr);
    EXPECT_EQ(form->PlaylistEntries(), nullptr);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 50);
}

TEST_F(RunFormTest, CursorStaysVisibleWithShowCursorOrAPreview) {
    for (const bool preview : {false, true}) {
        WriteSettings(preview ? "[set]\nShowCursor=0\n" : "[set]\nShowCursor=1\n");
        PreviewFromConfig = preview;
        const int before = cursorCount();
        Create();
        form->show();
        EXPECT_EQ(cursorCount(), before) << preview;
        form->close();
        // The close shows the cursor once whatever the show did.
        EXPECT_EQ(cursorCount(), before + 1) << preview;
        ShowCursor(false);
        form.reset();
    }
}

TEST_F(RunFormTest, PlayerPanelFollowsVideoSize) {
    struct Case {
        int videoSize;
        QRect expected;
    } cases[] = {
        {0, QRect(192, 191, 640, 385)},
        {1, QRect(-128, -1, 1280, 770)},
        {5, QRect(0, 0, 21, 17)},
    };
    for (const auto& c : cases) {
        WriteSettings("[set]\nVideoSize=" + std::to_string(c.videoSize) + "\n");
        Create();
        form->show();
        EXPECT_EQ(form->Panel1->geometry(), c.expected) << c.videoSize;
        form->close();
        form.reset();
    }
    WriteSettings("[set]\nVideoSize=2\n");
    Create();
    form->show();
    EXPECT_EQ(form->Panel1->geometry(), form->rect());
    form->resize(300, 200);
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 0, 300, 200));
}

TEST_F(RunFormTest, FillPlaylistNumbersEntriesAndPlaysTheFirst) {
    WriteSettings("[set]\nHD=1\nLoop=1\n[player]\nBaseAddress=http://127.0.0.1:9\n");
    ShowWithFeed(ThreeItemFeed);
    const auto& playlist = *form->PlaylistEntries();
    ASSERT_EQ(playlist.size(), 3u);
    EXPECT_EQ(playlist[0].Text, "1. First");
    EXPECT_EQ(playlist[1].Text, "2. Second");
    EXPECT_EQ(playlist[1].Link, "http://x/watch?v=bbb&feature=rss");
    EXPECT_EQ(form->CurrentIndex(), 0);
    // The initial player was replaced by a fresh one for the clip.
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/aaa&autoplay=1&fmt=18&loop=1");
    EXPECT_EQ(player()->Flags, (MovieFlags{.AutoPlay = true, .Loop = true}));
    EXPECT_EQ(player()->parentWidget(), form->Panel1);

    form->PlayEntry(1);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/bbb&feature=rss&autoplay=1&fmt=18&loop=1");
    form->PlayEntry(2);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/no-equals&autoplay=1&fmt=18&loop=1");
}

TEST_F(RunFormTest, TheNextClipIsFetchedAheadWrappingAfterTheLast) {
    WriteSettings("[set]\nHD=0\nLoop=0\n[player]\nBaseAddress=http://127.0.0.1:9\n");
    ShowWithFeed(ThreeItemFeed);
    EXPECT_EQ(prefetched,
              std::vector<std::string>{"http://127.0.0.1:9/v/bbb&feature=rss&autoplay=1"});
    form->PlayEntry(2);
    EXPECT_EQ(prefetched.back(), "http://127.0.0.1:9/v/aaa&autoplay=1");
}

TEST_F(RunFormTest, ClipSourceEnclosurePlaysAndFetchesAheadTheEntrysOwnVideo) {
    const char* feed = R"(<?xml version="1.0"?>
<rss version="2.0"><channel><title>t</title><link>http://x/</link><description>d</description>
<item><title>Own video</title><link>http://x/watch?v=aaa</link>
<enclosure url="http://media.test/a.mp4" length="1" type="video/mp4"/></item>
<item><title>Sound only</title><link>http://x/watch?v=bbb</link>
<enclosure url="http://media.test/b.mp3" length="1" type="audio/mpeg"/></item>
</channel></rss>)";
    WriteSettings("[set]\nHD=1\nLoop=1\n[player]\nBaseAddress=http://127.0.0.1:9\n"
                  "ClipSource=enclosure\n");
    ShowWithFeed(feed);
    EXPECT_EQ(player()->Movie, "http://media.test/a.mp4");
    EXPECT_EQ(player()->Flags, (MovieFlags{.AutoPlay = true, .Loop = true}));
    EXPECT_EQ(prefetched,
              std::vector<std::string>{"http://127.0.0.1:9/v/bbb&autoplay=1&fmt=18&loop=1"});
    form->PlayEntry(1);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/bbb&autoplay=1&fmt=18&loop=1");
    EXPECT_EQ(player()->Flags, (MovieFlags{.AutoPlay = true, .Loop = true}));
    EXPECT_EQ(prefetched.back(), "http://media.test/a.mp4");
}

TEST_F(RunFormTest, DefaultBaseAddressWithoutPlayerSection) {
    WriteSettings("[set]\nHD=0\nLoop=0\n");
    ShowWithFeed(ThreeItemFeed);
    EXPECT_EQ(player()->Movie, "http://www.zavrio.com/v/aaa&autoplay=1");
}

TEST_F(RunFormTest, ReadyStateHidesWelcomePanelAndIsKeptAcrossClips) {
    ShowWithFeed(ThreeItemFeed);
    EXPECT_TRUE(form->Panel2->isVisible());
    player()->Report(0);
    EXPECT_FALSE(form->Panel2->isVisible());
    now += 1;
    player()->Report(4);
    EXPECT_EQ(form->ReadyState(), 4);
    EXPECT_EQ(form->ReadyTime(), now);
    form->PlayEntry(1);
    EXPECT_EQ(form->ReadyState(), 4);
}

TEST_F(RunFormTest, AutoNextAdvancesMoreThanFifteenSecondsAfterReadyAndWraps) {
    WriteSettings("[set]\nAutoNext=1\n");
    ShowWithFeed(ThreeItemFeed);
    auto readyAt = [&](double when) {
        now = when;
        player()->Frame = 0;
        player()->Report(4);
    };
    readyAt(46000.5);
    now += 15.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->CurrentIndex(), 0) << "exactly 15 s is not more than 15 s";
    now += 0.5 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->CurrentIndex(), 1);
    EXPECT_EQ(form->Timer1->interval(), 1000);

    // The new player has no frame yet: no advance, however old the report is.
    now += 60.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->CurrentIndex(), 1);

    form->PlayEntry(2);
    readyAt(46001.0 - 5.0 / 86400); // five seconds before midnight
    now = 46001.0 + 11.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->CurrentIndex(), 0) << "after the last entry the first plays again";
}

TEST_F(RunFormTest, NoAdvanceWithoutAutoNextOrWithoutStateFour) {
    for (const bool autoNext : {false, true}) {
        WriteSettings(autoNext ? "[set]\nAutoNext=1\n" : "[set]\nAutoNext=0\n");
        ShowWithFeed(ThreeItemFeed);
        player()->Frame = 10;
        player()->Report(autoNext ? 3 : 4);
        now += 60.0 / 86400;
        form->Timer1Timer();
        EXPECT_EQ(form->CurrentIndex(), 0) << autoNext;
        form.reset();
    }
}

TEST_F(RunFormTest, TheOutgoingClipStaysOnScreenUntilTheNextOnesFirstFrameOrErrorLine) {
    const struct {
        const char* name;
        std::function<void(FakePlayer&)> firstPicture;
    } cases[] = {
        {"first frame",
         [](FakePlayer& p) {
             p.Frame = 0;
             p.Report(4);
         }},
        {"load failure", [](FakePlayer& p) { p.FailLoad(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShowWithFeed(ThreeItemFeed);
        EXPECT_EQ(form->HeldPlayer(), nullptr) << "an empty first player is not held";
        QPointer<FakePlayer> first = player();
        first->Frame = 0;
        first->Report(4);
        const double readyAt = now;

        form->PlayEntry(1);
        FakePlayer* second = player();
        ASSERT_NE(second, first.data());
        ASSERT_EQ(form->HeldPlayer(), first.data());
        EXPECT_TRUE(first->Held) << "stopped on its last picture, silent";
        EXPECT_TRUE(test::Covers(first, second));
        form->Panel1->resize(500, 300);
        EXPECT_TRUE(test::Covers(first, second)) << "after the panel's size changed";

        // The outgoing player speaks no more for the window.
        now += 5.0 / 86400;
        first->Report(4);
        EXPECT_EQ(form->ReadyTime(), readyAt);
        second->Report(0);
        EXPECT_EQ(form->ReadyState(), 0) << "the new player's states are the window's";
        EXPECT_EQ(form->HeldPlayer(), first.data()) << "loading is no picture yet";

        c.firstPicture(*second);
        EXPECT_TRUE(first.isNull()) << "gone at the new player's first picture";
        EXPECT_EQ(form->HeldPlayer(), nullptr);
        EXPECT_EQ(form->ReadyState(), 4);
        EXPECT_EQ(form->ReadyTime(), now);
        EXPECT_EQ(second->geometry(), form->Panel1->rect());
        form.reset();
    }
}

TEST_F(RunFormTest, APlayerReplacedBeforeItsFirstFrameGoesAndTheHeldOneStays) {
    ShowWithFeed(ThreeItemFeed);
    QPointer<FakePlayer> first = player();
    first->Frame = 0;
    first->Report(4);
    form->PlayEntry(1);
    QPointer<FakePlayer> second = player();
    form->PlayEntry(2);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(form->HeldPlayer(), first.data());
    EXPECT_TRUE(test::Covers(first, player()));

    // Closing the show takes every player away, the held one too.
    form->close();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(form->CurrentPlayer(), nullptr);
}

TEST_F(RunFormTest, AClipAtItsEndStartsAgainOnceItsLastFrameHasShownThreeSeconds) {
    const struct {
        const char* settings;
        bool restarts;
    } cases[] = {
        {"[set]\nAutoNext=0\nLoop=0\n", true},
        {"[set]\nAutoNext=1\nLoop=0\n", false}, // the next clip comes instead
        {"[set]\nAutoNext=0\nLoop=1\n", false}, // the player loops by itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        WriteSettings(c.settings);
        ShowWithFeed(ThreeItemFeed);
        FakePlayer* clip = player();
        clip->Frame = 0;
        clip->Report(4);
        form->Timer1Timer();
        clip->Ended = true;
        for (const double seconds : {0.0, 1.0, 1.9}) {
            now += seconds / 86400;
            form->Timer1Timer();
        }
        EXPECT_EQ(clip->Rewinds, 0) << "the last frame has shown less than 3 s";
        now += 0.2 / 86400;
        form->Timer1Timer();
        EXPECT_EQ(clip->Rewinds, c.restarts ? 1 : 0);
        EXPECT_EQ(player(), clip) << "the same clip, not another";

        // Playing again, it is at its end anew: 3 s counted afresh.
        clip->Ended = true;
        form->Timer1Timer();
        now += 2.0 / 86400;
        form->Timer1Timer();
        EXPECT_EQ(clip->Rewinds, c.restarts ? 1 : 0);
        now += 1.0 / 86400;
        form->Timer1Timer();
        EXPECT_EQ(clip->Rewinds, c.restarts ? 2 : 0);
        form.reset();
    }
}

// The fade through black, stepped by hand with the clock set: how dark each
// player is drawn (FakePlayer::Shade, 0 as it is, 1 black) as the clips change.
class FadeTest : public RunFormTest {
protected:
    static constexpr double second = 1.0 / 86400;

    void ShowFading(const std::string& fade = "1000") {
        WriteSettings("[set]\nAutoNext=1\n[player]\nFade=" + fade + "\n");
        ShowWithFeed(ThreeItemFeed);
        // Stepped by the test alone.
        FadeTimer = form->FadeTimer->isActive();
        form->FadeTimer->stop();
    }
    // The time at which the player at hand draws its first frame.
    double FirstFrame(FakePlayer* p) {
        p->Frame = 0;
        p->Report(4);
        return now;
    }
    void StepAt(double when) {
        now = when;
        form->FadeTimerTimer();
    }

    bool FadeTimer = false;
};

TEST_F(FadeTest, DarkensOverTheLastMillisecondsBeforeTheAdvanceAndBrightensAfterTheNextFirstFrame) {
    ShowFading();
    EXPECT_TRUE(FadeTimer);
    EXPECT_EQ(form->FadeTimer->interval(), TZRRunForm::FadeTickMs);
    QPointer<FakePlayer> first = player();
    first->Report(0);
    StepAt(now);
    EXPECT_EQ(first->Shade, 1) << "black until the first frame";

    const double t0 = FirstFrame(first);
    const struct {
        double at; // seconds after the first frame
        double shade;
    } outgoing[] = {
        {0.0, 1.0},  {0.25, 0.75}, {1.0, 0.0},  {8.0, 0.0}, {14.0, 0.0},
        {14.5, 0.5}, {14.9, 0.9},  {15.0, 1.0}, // black, but exactly 15 s is not yet the advance
    };
    for (const auto& row : outgoing) {
        StepAt(t0 + row.at * second);
        EXPECT_NEAR(first->Shade, row.shade, 1e-6) << row.at << " s";
        EXPECT_EQ(form->CurrentIndex(), 0) << row.at << " s";
    }

    // The step after the fade reached black brings the next clip, without
    // waiting for Timer1.
    StepAt(t0 + 15.04 * second);
    EXPECT_EQ(form->CurrentIndex(), 1);
    QPointer<FakePlayer> next = player();
    ASSERT_EQ(form->HeldPlayer(), first.data());
    EXPECT_EQ(first->Shade, 1) << "the held last frame stays black";
    EXPECT_EQ(next->Shade, 1) << "a new player starts black";
    next->Report(0);
    StepAt(now + 0.5 * second);
    EXPECT_EQ(next->Shade, 1) << "still loading";
    form->Timer1Timer();
    EXPECT_EQ(form->CurrentIndex(), 1) << "one advance only";

    const double t1 = FirstFrame(next);
    EXPECT_TRUE(first.isNull());
    const struct {
        double at; // seconds after the next clip's first frame
        double shade;
    } incoming[] = {{0.0, 1.0}, {0.5, 0.5}, {0.96, 0.04}, {1.0, 0.0}, {3.0, 0.0}};
    for (const auto& row : incoming) {
        StepAt(t1 + row.at * second);
        EXPECT_NEAR(next->Shade, row.shade, 1e-6) << row.at << " s";
    }
}

TEST_F(FadeTest, AClipThatFailsMidFadeShowsItsErrorLineAtFullBrightness) {
    // A real player that fails after its first frame reports nothing new: it
    // shows its error line and counts as at frame 0.
    const auto failSilently = [](FakePlayer& p) {
        p.ShowsError = true;
        p.Frame = 0;
    };

    // The outgoing clip fails while it darkens; it is still left at the advance.
    ShowFading();
    const double t0 = FirstFrame(player());
    QPointer<FakePlayer> first = player();
    StepAt(t0 + 14.5 * second);
    ASSERT_NEAR(first->Shade, 0.5, 1e-6);
    failSilently(*first);
    StepAt(t0 + 14.6 * second);
    EXPECT_EQ(first->Shade, 0);
    StepAt(t0 + 15.04 * second);
    EXPECT_EQ(form->CurrentIndex(), 1);
    EXPECT_EQ(first->Shade, 0) << "held, its error line stays bright";
    EXPECT_EQ(player()->Shade, 1);

    // The next clip fails before its first frame: its error line is the
    // first thing it shows, at once bright.
    player()->FailLoad();
    EXPECT_TRUE(first.isNull());
    StepAt(now);
    EXPECT_EQ(player()->Shade, 0);

    // A clip that fails while it brightens.
    form->PlayEntry(2);
    const double t2 = FirstFrame(player());
    StepAt(t2 + 0.3 * second);
    ASSERT_NEAR(player()->Shade, 0.7, 1e-6);
    failSilently(*player());
    StepAt(t2 + 0.31 * second);
    EXPECT_EQ(player()->Shade, 0);
}

TEST_F(FadeTest, NoFadeLeavesEveryPictureAsItIs) {
    for (const char* fade : {"0", "-500"}) {
        SCOPED_TRACE(fade);
        ShowFading(fade);
        EXPECT_FALSE(FadeTimer);
        FakePlayer* first = player();
        first->Report(0);
        const double t0 = FirstFrame(first);
        now = t0 + 14.9 * second;
        form->Timer1Timer();
        now = t0 + 15.5 * second;
        form->Timer1Timer();
        ASSERT_EQ(form->CurrentIndex(), 1);
        EXPECT_EQ(first->Shade, 0);
        EXPECT_EQ(player()->Shade, 0);
        form.reset();
    }
}

TEST_F(FadeTest, ANewShowStartsBrightWhenItNoLongerFades) {
    ShowFading();
    const double t0 = FirstFrame(player());
    StepAt(t0 + 14.5 * second);
    form->close();
    WriteSettings("[set]\nAutoNext=1\n[player]\nFade=0\n");
    form->show();
    form->Timer1->stop();
    std::istringstream document(ThreeItemFeed);
    form->FillPlaylist(document);
    EXPECT_FALSE(form->FadeTimer->isActive());
    EXPECT_EQ(player()->Shade, 0);
}

// The title and clock overlay, with the clock set by the test.
class OverlayTest : public RunFormTest {
protected:
    static constexpr double second = 1.0 / 86400;
    static QStringList lines(const PlaybackView& view) {
        return view.Overlay->isVisible() ? view.Overlay->Lines() : QStringList();
    }
};

TEST_F(OverlayTest, TheClockShowsThroughoutAndTheTitleForTheFirstSixSecondsOfEachClip) {
    WriteSettings("[set]\nAutoNext=0\n[overlay]\nTitle=1\nClock=1\n");
    now = 46000 + (21 * 60 + 5) / 1440.0 + 30 * second; // 21:05:30
    ShowWithFeed(ThreeItemFeed);
    form->Timer1Timer();
    EXPECT_EQ(lines(*form), QStringList{"21:05"}) << "no frame yet: no title";

    player()->Frame = 0;
    player()->Report(4);
    const double t0 = now;
    EXPECT_EQ(lines(*form), (QStringList{"21:05", "First"})) << "with the first frame";
    now = t0 + 5.9 * second;
    form->Timer1Timer();
    EXPECT_EQ(lines(*form), (QStringList{"21:05", "First"}));
    now = t0 + 6 * second;
    form->Timer1Timer();
    EXPECT_EQ(lines(*form), QStringList{"21:05"}) << "the title is gone after 6 s";
    now = t0 + 30 * second;
    form->Timer1Timer();
    EXPECT_EQ(lines(*form), QStringList{"21:06"});
    now = 46001 - 0.0004 * second; // a hair before midnight
    form->Timer1Timer();
    EXPECT_EQ(lines(*form), QStringList{"00:00"});

    // The next clip's title with its own first frame.
    form->PlayEntry(1);
    player()->Frame = 0;
    player()->Report(4);
    EXPECT_EQ(lines(*form), (QStringList{"00:00", "Second"}));
}

TEST_F(OverlayTest, EachExtraAloneOrNone) {
    const struct {
        const char* overlay;
        QStringList shown; // at the first frame of the first clip, 12:00
    } cases[] = {
        {"Title=1\nClock=0", {"First"}},
        {"Title=0\nClock=1", {"12:00"}},
        {"Title=0\nClock=0", {}},
        {"", {}}, // off by default
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overlay);
        WriteSettings(std::string("[overlay]\n") + c.overlay + "\n");
        ShowWithFeed(ThreeItemFeed);
        player()->Frame = 0;
        player()->Report(4);
        form->Timer1Timer();
        EXPECT_EQ(lines(*form), c.shown);
        form.reset();
    }
}

TEST_F(OverlayTest, MovesToAnotherCornerAtEveryClipAndKeepsClearOfTheNotice) {
    WriteSettings("[overlay]\nClock=1\n");
    ShowWithFeed(ThreeItemFeed);
    form->Timer1Timer();
    ASSERT_TRUE(form->Overlay->isVisible());
    const QRect screen = form->rect();
    std::set<std::pair<bool, bool>> corners; // {right half, bottom half}
    QPoint before = form->Overlay->pos();
    for (int clip = 0; clip < 4; ++clip) {
        form->PlayEntry(clip % 3);
        const QRect at = form->Overlay->geometry();
        EXPECT_NE(at.topLeft(), before) << "clip " << clip;
        EXPECT_TRUE(screen.contains(at)) << "clip " << clip;
        corners.insert(
            {at.center().x() > screen.center().x(), at.center().y() > screen.center().y()});
        before = at.topLeft();
    }
    EXPECT_EQ(corners.size(), 4u) << "every corner in four clips";

    form->ShowNotice("Offline: playing saved clips", 5000);
    EXPECT_FALSE(form->Notice->geometry().intersects(form->Overlay->geometry()));
}

TEST_F(RunFormTest, StatusAndProgressTextsOnTheWelcomePanel) {
    Create();
    form->httpStatus(hsConnected, "Connected.");
    EXPECT_EQ(form->Panel2->text(), "Connected.");
    form->httpWorkBegin(wmRead, 1746);
    form->httpWork(wmRead, 0);
    EXPECT_EQ(form->Panel2->text(), "Progress: 0 of 1746");
    form->httpWork(wmWrite, 512);
    EXPECT_EQ(form->Panel2->text(), "Progress: 512 of 1746");
}

TEST_F(RunFormTest, DownloadsTheFeedAtChannelOrTheFirstWhenChannelIsTooLarge) {
    test::ScriptedServer server(test::ScriptedServer::Always(httpAnswer("200 OK", ThreeItemFeed)));
    for (const int channel : {1, 7}) {
        WriteSettings("[set]\nChannel=" + std::to_string(channel) +
                      "\n[feeds]\na=" + server.Address("/a.xml") +
                      "\nb=" + server.Address("/b.xml") + "\nc=" + server.Address("/c.xml") + "\n");
        Create();
        form->show();
        ASSERT_TRUE(
            WaitFor([&] { return form->PlaylistEntries() && !form->PlaylistEntries()->empty(); }));
        EXPECT_EQ(form->PlaylistEntries()->size(), 3u);
        EXPECT_EQ(player()->Movie, "http://www.zavrio.com/v/aaa&autoplay=1&fmt=18");
        EXPECT_EQ(errors, std::vector<std::string>{});
        form.reset();
    }
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 19), "GET /b.xml HTTP/1.1");
    EXPECT_EQ(requests[1].substr(0, 19), "GET /a.xml HTTP/1.1");
}

TEST_F(RunFormTest, FailuresGoToTheErrorReportOnce) {
    test::ScriptedServer server(
        test::ScriptedServer::Always(httpAnswer("404 Not Found", "<html>gone</html>")));
    const std::string cases[][2] = {
        {"[feeds]\nf=" + server.Address("/missing.xml") + "\n", "HTTP/1.1 404 Not Found"},
        {"[set]\nChannel=-1\n[feeds]\nf=" + server.Address("/x") + "\n",
         "List index out of bounds (-1)"},
    };
    for (const auto& [settings, message] : cases) {
        WriteSettings(settings);
        errors.clear();
        Create();
        form->show();
        ASSERT_TRUE(WaitFor([&] { return !errors.empty(); })) << message;
        EXPECT_EQ(errors, std::vector<std::string>{message});
        EXPECT_TRUE(form->isVisible());
        ASSERT_NE(form->PlaylistEntries(), nullptr);
        EXPECT_TRUE(form->PlaylistEntries()->empty());
        form->Timer1Timer(); // later ticks only check for advance
        EXPECT_EQ(errors.size(), 1u);
        form.reset();
    }
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(RunFormTest, UnreadableFeedIsReported) {
    test::ScriptedServer server(test::ScriptedServer::Always(httpAnswer("200 OK", "not xml")));
    WriteSettings("[feeds]\nf=" + server.Address("/f") + "\n");
    Create();
    form->show();
    ASSERT_TRUE(WaitFor([&] { return !errors.empty(); }));
    EXPECT_EQ(form->PlaylistEntries()->size(), 0u);
    EXPECT_EQ(players.size(), 1u);
}

TEST_F(RunFormTest, EmptyCatalogueOrEmptyAddressMakesNoRequestAndNoError) {
    const struct {
        const char* settings;
        const char* caption;
    } cases[] = {
        // Instead of "Connecting" for good: what is missing and how to add it.
        {"[feeds]\n", TZRRunForm::NoFeedCaption},
        {"[feeds]\nempty=\n", TZRRunForm::WelcomeCaption},
    };
    for (const auto& c : cases) {
        WriteSettings(c.settings);
        Create();
        form->show();
        QTest::qWait(120);
        EXPECT_TRUE(errors.empty()) << c.settings;
        ASSERT_NE(form->PlaylistEntries(), nullptr);
        EXPECT_TRUE(form->PlaylistEntries()->empty());
        EXPECT_EQ(form->Panel2->text().toStdString(), c.caption) << c.settings;
        form.reset();
    }
}

TEST_F(RunFormTest, ClosingDuringTheDownloadAbandonsIt) {
    // Answers nothing: the download waits until the window gives it up.
    test::ScriptedServer server([](test::ServerConn& conn) {
        conn.ReadRequest();
        while (conn.ReadRequest() != "") {
        }
    });
    WriteSettings("[feeds]\nf=" + server.Address("/never") + "\n");
    Create();
    // The download blocks inside a timer tick and only pumps events, so the
    // key press has to come from the event loop too.
    QTimer pressWhenWaiting;
    QObject::connect(&pressWhenWaiting, &QTimer::timeout, [&] {
        if (server.Requests().size() == 1 && form->isVisible())
            QTest::keyClick(window(), Qt::Key_Space); // default options: any key ends it
    });
    pressWhenWaiting.start(20);
    form->show();
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
    pressWhenWaiting.stop();
    QTest::qWait(50);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(form->PlaylistEntries(), nullptr);
    EXPECT_EQ(form->CurrentPlayer(), nullptr);
    EXPECT_TRUE(errors.empty());
}

// A feed of count items titled "Clip N" whose links end in "v=N".
std::string feedOf(int count) {
    std::string feed = R"(<?xml version="1.0"?><rss version="2.0"><channel><title>t</title>)"
                       R"(<link>http://x/</link><description>d</description>)";
    for (int i = 0; i < count; ++i)
        feed += "<item><title>Clip " + std::to_string(i) +
                "</title><link>http://x/watch?v=" + std::to_string(i) + "</link></item>";
    return feed + "</channel></rss>";
}

TEST_F(RunFormTest, AKeyWhileTheFeedIsReadEndsTheShowAndNothingFollows) {
    // Big enough that reading it takes a good part of a second.
    const std::string feed = feedOf(200000);
    test::ScriptedServer server([&](test::ServerConn& conn) {
        for (std::string request; !(request = conn.ReadRequest()).empty();)
            conn.Send(httpAnswer("200 OK", feed));
    });
    WriteSettings("[feeds]\nf=" + server.Address("/f") + "\n");
    Create();
    // The whole document has come once the client has disconnected after
    // the one request; the key comes from the event loop, as a user's would.
    const QString received = "Disconnected.";
    QTimer pressWhenRead;
    std::size_t playersAtTheKey = 0;
    std::optional<std::string> movieAtTheKey;
    QObject::connect(&pressWhenRead, &QTimer::timeout, [&] {
        if (form->isVisible() && server.Requests().size() == 1 &&
            form->Panel2->text() == received) {
            playersAtTheKey = players.size();
            movieAtTheKey = player() ? player()->Movie : "";
            QTest::keyClick(window(), Qt::Key_Space); // default options: any key ends it
        }
    });
    pressWhenRead.start(20);
    form->show();
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
    pressWhenRead.stop();
    EXPECT_EQ(form->Panel2->text(), received) << "the key came at another time";
    // Heard while the list was still being made.
    EXPECT_EQ(movieAtTheKey, "");
    EXPECT_EQ(form->PlaylistEntries(), nullptr);
    // The reading goes on unseen, and its list is dropped.
    form.reset();
    EXPECT_EQ(players.size(), playersAtTheKey);
    EXPECT_TRUE(errors.empty());
}

// The network failing under a show: saved clips, retries, the error box.
class NetworkFailureTest : public RunFormTest {
protected:
    // A feed server that fails with 404 until up is set, then serves feed.
    NetworkFailureTest()
        : server([this](test::ServerConn& conn) {
              for (std::string request; !(request = conn.ReadRequest()).empty();)
                  conn.Send(up ? httpAnswer("200 OK", feed)
                               : httpAnswer("404 Not Found", "<html>gone</html>"));
          }) {}

    void SetUp() override {
        RunFormTest::SetUp();
        WriteSettings("[set]\nAutoNext=1\nHD=0\nLoop=0\n[feeds]\nf=" + server.Address("/f") +
                      "\n[player]\nBaseAddress=http://127.0.0.1:9\n");
    }
    static std::string clip(const std::string& id) {
        return "http://127.0.0.1:9/v/" + id + "&autoplay=1";
    }
    void ShowAndWaitForTheFailure() {
        Create();
        form->show();
        ASSERT_TRUE(WaitFor([&] { return !errors.empty(); }));
    }

    std::atomic<bool> up{false};
    std::string feed = ThreeItemFeed;
    test::ScriptedServer server;
};

TEST_F(NetworkFailureTest, AFailedDownloadPlaysTheSavedClipsOfTheKeptFeed) {
    feeds->Keep(server.Address("/f"), ThreeItemFeed);
    cached = {clip("aaa"), clip("no-equals")}; // the second entry's clip is not saved
    ShowAndWaitForTheFailure();
    EXPECT_EQ(errors, std::vector<std::string>{"HTTP/1.1 404 Not Found"}) << "the box as before";
    // The kept document is read off the GUI thread.
    ASSERT_TRUE(WaitFor([&] { return form->Offline(); }));
    ASSERT_EQ(form->PlaylistEntries()->size(), 2u);
    EXPECT_EQ((*form->PlaylistEntries())[1].Link, "no-equals");
    EXPECT_EQ(player()->Movie, clip("aaa"));
    EXPECT_TRUE(form->Notice->isVisible());
    EXPECT_EQ(form->Notice->text(), "Offline: playing saved clips");
    // Saved clips advance and wrap as usual.
    player()->Frame = 0;
    player()->Report(4);
    now += 16.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(player()->Movie, clip("no-equals"));
}

TEST_F(NetworkFailureTest, WithNothingSavedTheErrorReplacesTheConnectingCaption) {
    for (const bool kept : {false, true}) {
        if (kept)
            feeds->Keep(server.Address("/f"), ThreeItemFeed); // but no clip of it is saved
        errors.clear();
        ShowAndWaitForTheFailure();
        EXPECT_TRUE(WaitFor([&] { return form->Panel2->text() == "HTTP/1.1 404 Not Found."; }))
            << kept << ": " << form->Panel2->text().toStdString();
        EXPECT_FALSE(form->Offline()) << kept;
        form.reset();
    }
}

TEST_F(NetworkFailureTest, TheFeedIsFetchedAgainAtDoublingIntervalsAndTakesOverAtTheNextAdvance) {
    feeds->Keep(server.Address("/f"), ThreeItemFeed);
    cached = {clip("aaa")};
    ShowAndWaitForTheFailure();
    ASSERT_TRUE(WaitFor([&] { return form->Offline(); }));
    EXPECT_EQ(form->RetryTimer->interval(), 30000);
    const std::chrono::milliseconds expected[] = {
        std::chrono::seconds(60), std::chrono::seconds(120), std::chrono::seconds(240),
        std::chrono::seconds(300), std::chrono::seconds(300)};
    for (const auto delay : expected) {
        ASSERT_TRUE(form->RetryTimer->isActive());
        form->RetryTimerTimer();
        EXPECT_EQ(form->RetryTimer->intervalAsDuration(), delay);
    }
    EXPECT_EQ(errors.size(), 1u) << "only the first failure opens the box";
    EXPECT_EQ(server.Requests().size(), 6u);

    // Back online with a feed of five: fetched, kept, and it waits for the
    // saved clip on screen to reach its advance.
    feed = feedOf(5);
    up = true;
    form->RetryTimerTimer();
    // Read off the GUI thread, then kept.
    ASSERT_TRUE(WaitFor([&] { return !form->RetryTimer->isActive(); }));
    EXPECT_EQ(feeds->Kept(server.Address("/f")), feed);
    EXPECT_EQ(form->PlaylistEntries()->size(), 1u);
    EXPECT_EQ(player()->Movie, clip("aaa"));
    player()->Frame = 0;
    player()->Report(4);
    now += 16.0 / 86400;
    form->Timer1Timer();
    EXPECT_FALSE(form->Offline());
    EXPECT_EQ(form->PlaylistEntries()->size(), 5u);
    EXPECT_EQ(player()->Movie, clip("0"));
}

TEST_F(NetworkFailureTest, ADownloadThatBringsNothingStartsTheSavedClipsWhileItWaits) {
    // Takes the connection and never answers.
    test::ScriptedServer silent([](test::ServerConn& conn) {
        while (!conn.ReadRequest().empty()) {
        }
    });
    WriteSettings("[feeds]\nf=" + silent.Address("/f") +
                  "\n[player]\nBaseAddress=http://127.0.0.1:9\n");
    feeds->Keep(silent.Address("/f"), ThreeItemFeed);
    const std::string second = "http://127.0.0.1:9/v/bbb&feature=rss&autoplay=1&fmt=18";
    cached = {second};
    Create();
    form->StallTimer->setInterval(100);
    // The download blocks inside a timer tick and only pumps events, so what
    // the show does meanwhile is seen from the event loop too; closing the
    // window then ends the wait.
    std::string playedWhileWaiting;
    QTimer look;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (form->isVisible() && (form->Offline() || std::chrono::steady_clock::now() > giveUp)) {
            playedWhileWaiting = player()->Movie;
            form->close();
        }
    });
    look.start(20);
    form->show();
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
    EXPECT_EQ(playedWhileWaiting, second);
    EXPECT_TRUE(errors.empty()) << "nothing failed: the download was still waiting";
}

TEST_F(NetworkFailureTest, AfterTheBoxTheViewThatHadTheFocusHasItAgain) {
    // The box takes the focus with it, as a window manager may keep it after
    // a click dismissed the box.
    QWidget elsewhere;
    ServicesHook = [&](RunFormServices& services) {
        services.ReportError = [&](const std::string& text) {
            errors.push_back(text);
            elsewhere.show();
            elsewhere.activateWindow();
            QApplication::processEvents();
        };
    };
    ShowAndWaitForTheFailure();
    ASSERT_TRUE(WaitFor([&] { return QGuiApplication::focusWindow() == window(); }));
    // Keys go where the focus is.
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_A);
    EXPECT_FALSE(form->isVisible()) << "a key ends the show again";
}

// Every screen of a desktop with two more screens beside the primary one
// (1024 x 768), given to the window through its screen seam.
class ScreensTest : public RunFormTest {
protected:
    void CreateWithScreens() {
        ServicesHook = [this](RunFormServices& services) {
            services.OtherScreens = [this] { return screens; };
        };
        Create();
    }

    void ShowWithEntries(int count) {
        CreateWithScreens();
        form->show();
        form->Timer1->stop();
        std::istringstream document(feedOf(count));
        form->FillPlaylist(document);
    }

    static FakePlayer* playerOf(const PlaybackView* view) {
        return static_cast<FakePlayer*>(view->CurrentPlayer());
    }
    // The clip id each view plays, primary first.
    std::vector<std::string> shownIds() {
        std::vector<std::string> ids;
        for (const PlaybackView* view : form->Views()) {
            const std::string& movie = playerOf(view)->Movie;
            const auto at = movie.find("/v/");
            ids.push_back(movie.substr(at + 3, movie.find('&') - at - 3));
        }
        return ids;
    }
    void ReadyAndShowing(PlaybackView* view) {
        playerOf(view)->Frame = 0;
        playerOf(view)->Report(4);
    }

    std::vector<ScreenArea> screens{{"B", QRect(1024, 0, 800, 600)},
                                    {"C", QRect(1824, 0, 1280, 1024)}};
};

TEST_F(ScreensTest, EveryScreenGetsAViewOfItsOwnPlayingAnotherEntry) {
    WriteSettings("[set]\nVideoSize=0\n");
    ShowWithEntries(5);
    const std::vector<PlaybackView*> views = form->Views();
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0], form.get());
    EXPECT_EQ(views[1]->geometry(), QRect(1024, 0, 800, 600));
    EXPECT_EQ(views[2]->geometry(), QRect(1824, 0, 1280, 1024));
    // Laid out by VideoSize on each view's own screen.
    EXPECT_EQ(views[0]->Panel1->geometry(), QRect(192, 191, 640, 385));
    EXPECT_EQ(views[1]->Panel1->geometry(), QRect(80, 107, 640, 385));
    EXPECT_EQ(views[2]->Panel1->geometry(), QRect(320, 319, 640, 385));
    for (const PlaybackView* view : views) {
        EXPECT_TRUE(view->isVisible());
        EXPECT_TRUE(view->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(view->CurrentPlayer()->parentWidget(), view->Panel1);
    }
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_FALSE(playerOf(views[0])->Silent) << "the primary screen is heard";
    EXPECT_TRUE(playerOf(views[1])->Silent);
    EXPECT_TRUE(playerOf(views[2])->Silent);

    // Each view's welcome caption goes with its own first ready state.
    ReadyAndShowing(views[1]);
    EXPECT_FALSE(views[1]->Panel2->isVisible());
    EXPECT_TRUE(views[0]->Panel2->isVisible());
}

TEST_F(ScreensTest, EachViewAdvancesOnItsOwnClipToAnEntryNoOtherShows) {
    WriteSettings("[set]\nAutoNext=1\n");
    ShowWithEntries(5);
    std::vector<PlaybackView*> views = form->Views();
    ReadyAndShowing(views[2]);
    now += 16.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"0", "1", "3"})) << "only the ready view moved";
    ReadyAndShowing(views[0]);
    ReadyAndShowing(views[1]);
    now += 16.0 / 86400;
    form->Timer1Timer();
    // The primary screen moves past the entries the others show.
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"2", "4", "3"}));
    for (int round = 0; round < 6; ++round) {
        for (PlaybackView* view : form->Views())
            ReadyAndShowing(view);
        now += 16.0 / 86400;
        form->Timer1Timer();
        std::vector<std::string> ids = shownIds();
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end()) << "round " << round;
    }
}

TEST_F(ScreensTest, EveryViewHoldsItsOutgoingClipUntilItsNextFirstFrame) {
    WriteSettings("[set]\nAutoNext=1\n");
    ShowWithEntries(5);
    PlaybackView* view = form->Views()[1];
    QPointer<TShockwaveFlash> first = view->CurrentPlayer();
    ReadyAndShowing(view);
    now += 16.0 / 86400;
    form->Timer1Timer();
    ASSERT_NE(view->CurrentPlayer(), first.data());
    EXPECT_EQ(view->HeldPlayer(), first.data());
    EXPECT_TRUE(test::Covers(first, view->CurrentPlayer()));
    EXPECT_EQ(form->HeldPlayer(), nullptr) << "the primary view has not moved";
    ReadyAndShowing(view);
    EXPECT_TRUE(first.isNull());
}

TEST_F(ScreensTest, EveryViewFadesByItsOwnClip) {
    WriteSettings("[set]\nAutoNext=1\n[player]\nFade=2000\n");
    ShowWithEntries(5);
    form->FadeTimer->stop();
    const std::vector<PlaybackView*> views = form->Views();
    const double t0 = now;
    ReadyAndShowing(views[1]);
    now = t0 + 1.0 / 86400;
    form->FadeTimerTimer();
    EXPECT_EQ(playerOf(views[0])->Shade, 1) << "no first frame yet";
    EXPECT_NEAR(playerOf(views[1])->Shade, 0.5, 1e-6);
    EXPECT_EQ(playerOf(views[2])->Shade, 1);

    now = t0 + 15.04 / 86400;
    form->FadeTimerTimer();
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"0", "3", "2"})) << "only its view moved";
    EXPECT_EQ(views[1]->HeldPlayer()->parentWidget(), views[1]->Panel1);
    EXPECT_EQ(playerOf(views[1])->Shade, 1);
}

TEST_F(ScreensTest, WhileTheMonitorsAreOffEveryViewRestsAndTheTimeOffDoesNotCount) {
    WriteSettings("[set]\nAutoNext=1\n");
    bool displayOn = true;
    ServicesHook = [this, &displayOn](RunFormServices& services) {
        services.OtherScreens = [this] { return screens; };
        services.DisplayOn = [&displayOn] { return displayOn; };
    };
    Create();
    form->show();
    form->Timer1->stop();
    std::istringstream document(feedOf(5));
    form->FillPlaylist(document);
    EXPECT_TRUE(form->PowerTimer->isActive());
    for (PlaybackView* view : form->Views())
        ReadyAndShowing(view);
    const auto resting = [&] {
        std::vector<bool> rests;
        for (const PlaybackView* view : form->Views())
            rests.push_back(playerOf(view)->Resting);
        return rests;
    };

    now += 5.0 / 86400;
    form->PowerTimerTimer();
    EXPECT_EQ(resting(), (std::vector<bool>{false, false, false}));
    displayOn = false;
    form->PowerTimerTimer();
    EXPECT_TRUE(form->Resting());
    EXPECT_EQ(resting(), (std::vector<bool>{true, true, true}));
    now += 600.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"0", "1", "2"})) << "no advance while off";

    displayOn = true;
    form->PowerTimerTimer();
    EXPECT_EQ(resting(), (std::vector<bool>{false, false, false}));
    now += 9.0 / 86400; // 14 s with the monitors on
    form->Timer1Timer();
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"0", "1", "2"}));
    now += 2.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(shownIds(), (std::vector<std::string>{"3", "4", "0"}));

    // A clip that comes while the monitors are off rests from the start.
    displayOn = false;
    form->PowerTimerTimer();
    form->PlayEntry(1);
    EXPECT_TRUE(playerOf(form.get())->Resting);
    form->close();
    EXPECT_FALSE(form->PowerTimer->isActive());
}

TEST_F(ScreensTest, OneKeyOnAnyScreenEndsEveryViewAndTheMouseAllowanceCountsOnce) {
    WriteSettings("[set]\nMute=1\n");
    ShowWithEntries(3);
    QTest::keyClick(form->Views()[2]->windowHandle(), Qt::Key_A);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Views().size(), 1u) << "the other screens' views went with the show";
    EXPECT_EQ(muteHolds, (std::vector<bool>{true, false})) << "the mute is held once per show";

    WriteSettings("[set]\nMouseMoveExit=1\n");
    ShowWithEntries(3);
    for (int i = 0; i < 20; ++i)
        QTest::mouseMove(form->Views()[i % 3]->windowHandle(), QPoint(10 + i, 10));
    EXPECT_TRUE(form->isVisible());
    QTest::mouseMove(form->Views()[1]->windowHandle(), QPoint(5, 5));
    EXPECT_FALSE(form->isVisible()) << "the 21st move on any screen ends the show";
}

TEST_F(ScreensTest, ScreensComingAndGoingGainAndLoseViewsWithoutEndingTheShow) {
    ShowWithEntries(5);
    screens.pop_back();
    form->ScreensChanged();
    ASSERT_EQ(form->Views().size(), 2u);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Views()[1]->geometry(), QRect(1024, 0, 800, 600));

    screens.push_back({"D", QRect(0, 768, 640, 480)});
    form->ScreensChanged();
    ASSERT_EQ(form->Views().size(), 3u);
    EXPECT_EQ(form->Views()[2]->geometry(), QRect(0, 768, 640, 480));
    const std::vector<std::string> ids = shownIds();
    EXPECT_EQ(ids[2], "2") << "the new screen shows an entry no other one shows";

    form->close();
    form->show();
    EXPECT_EQ(form->Views().size(), 3u) << "a new show covers every screen again";
}

TEST_F(ScreensTest, ModePrimaryKeepsOneView) {
    WriteSettings("[screens]\nMode=primary\n");
    ShowWithEntries(3);
    EXPECT_EQ(form->Views().size(), 1u);
    form->ScreensChanged();
    EXPECT_EQ(form->Views().size(), 1u);
}

// Real Qt input through the window, as the platform delivers it.
class ExitInputTest : public RunFormTest {
protected:
    void ShowWith(const std::string& set) {
        WriteSettings("[set]\n" + set + "\n[feeds]\n");
        Create();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void Click(Qt::MouseButton button) {
        QTest::mouseClick(window(), button, Qt::NoModifier, QPoint(100, 100));
    }
};

TEST_F(ExitInputTest, DefaultOptionsKeyOrClickCloses) {
    ShowWith("");
    QTest::keyClick(window(), Qt::Key_A);
    EXPECT_FALSE(form->isVisible());

    ShowWith("");
    PressCounter welcomePanel;
    form->Panel2->installEventFilter(&welcomePanel);
    Click(Qt::MiddleButton);
    QTest::mouseMove(window(), QPoint(300, 300));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(welcomePanel.Presses, 1);
    Click(Qt::RightButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(welcomePanel.Presses, 1) << "the closing click is not delivered";
}

TEST_F(ExitInputTest, ClickOverThePlayerReachesItWhenItDoesNotClose) {
    ShowWith("VideoSize=2\nOnlyEscKeyExit=1");
    player()->Report(0); // uncovers the player
    Click(Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(player()->Presses, 1);
}

TEST_F(ExitInputTest, OnlyEscapeClosesWithOnlyEscKeyExit) {
    ShowWith("OnlyEscKeyExit=1");
    QTest::keyClick(window(), Qt::Key_A);
    QTest::keyClick(window(), Qt::Key_A, Qt::AltModifier);
    Click(Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(window(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ExitInputTest, TwentyMovesPassTheTwentyFirstCloses) {
    ShowWith("MouseMoveExit=1");
    for (int i = 0; i < 20; ++i)
        QTest::mouseMove(window(), QPoint(10 + i, 10));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(MouseMoveAllowance, 0);
    form->MouseTimerTimer(); // the 3-second reset
    for (int i = 0; i < 20; ++i)
        QTest::mouseMove(window(), QPoint(100 + i, 10));
    EXPECT_TRUE(form->isVisible());
    QTest::mouseMove(window(), QPoint(5, 5));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ExitInputTest, HiddenWindowLetsEverythingPass) {
    ShowWith("");
    form->hide();
    bool handled = false;
    form->ApplicationEvents1Message(WM_LBUTTONDOWN, 1, handled);
    EXPECT_FALSE(handled);
    form->show();
    form->ApplicationEvents1Message(WM_SYSCOMMAND, SC_SCREENSAVE, handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(form->isVisible());
}

} // namespace
} // namespace zavrio
