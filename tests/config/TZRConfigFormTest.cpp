// The configuration window on the offscreen platform, with fake players, a
// settable clock, recorded services and a scripted loopback feed server.

#include "config/TZRConfigForm.h"

#include "FakePlayer.h"
#include "QtWait.h"
#include "ScriptedServer.h"
#include "TempDirectory.h"
#include "config/FeedsDialog.h"
#include "config/SkinControls.h"
#include "playback/PlaybackFlags.h"
#include "playback/TZRRunForm.h"
#include "settings/CatalogueEditor.h"
#include "settings/SaverSettings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>

namespace zavrio {
namespace {

using test::FakePlayer;
using test::ScriptedServer;
using test::ServerConn;
using test::WaitFor;

std::string Feed(const std::vector<std::pair<std::string, std::string>>& items) {
    std::string xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>t</title>"
                      "<link>http://x/</link><description>d</description>";
    for (const auto& [title, link] : items)
        xml += "<item><title>" + title + "</title><link>" + link +
               "</link><description>&lt;b&gt;About " + title +
               "&lt;/b&gt;\nFrom: uploader</description></item>";
    return xml + "</channel></rss>";
}

const std::string ThreeClips = Feed({{"First", "http://x/watch?v=aaa"},
                                     {"Second", "http://x/watch?v=bbb"},
                                     {"Third", "no-equals-link"}});

std::string Answer(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

class ConfigFormTest : public testing::Test {
protected:
    ConfigFormTest()
        : server([this](ServerConn& conn) {
              for (std::string request; !(request = conn.ReadRequest()).empty();) {
                  const std::string target = test::RequestTarget(request);
                  const auto route = routes.find(target);
                  conn.Send(route == routes.end() ? Answer("404 Not Found", "")
                                                  : Answer("200 OK", route->second));
              }
          }) {}

    void SetUp() override { PreviewFromConfig = false; }

    void TearDown() override {
        form.reset();
        SettingsFile.reset();
    }

    // The settings file, with a catalogue of the given feed paths on the
    // scripted server and the demo player base address.
    void WriteSettings(const std::string& set, const std::vector<std::string>& feeds) {
        std::string text = "[set]\n" + set + "\n[feeds]\n";
        for (const std::string& feed : feeds)
            text += feed + "=" + server.Address("/" + feed) + "\n";
        text += "[player]\nBaseAddress=http://127.0.0.1:9\n";
        dir.write("zavriofeeds.ini", text);
    }

    ConfigFormServices Services() {
        ConfigFormServices services;
        services.SettingsPath = dir.file("zavriofeeds.ini");
        services.CreatePlayer = [this](QWidget* parent) {
            auto player = std::make_unique<FakePlayer>(parent);
            players.push_back(player.get());
            return player;
        };
        services.Now = [this] { return now; };
        services.ReportError = [this](const std::string& text) { errors.push_back(text); };
        services.SetTopmost = [this](WId, bool on) { topmost.push_back(on); };
        services.OpenUrl = [this](const QUrl& url) {
            opened.push_back(url.toString().toStdString());
        };
        services.InstallAsScreensaver = [this] { ++installs; };
        services.Prefetch = [this](const std::string& address) { prefetched.push_back(address); };
        services.CreateRunForm = [this] {
            ++runFormsMade;
            RunFormServices run;
            run.CreatePlayer = [](QWidget* parent) { return std::make_unique<FakePlayer>(parent); };
            run.ReportError = [this](const std::string& text) { errors.push_back(text); };
            run.HoldMute = [](bool) {};
            run.OtherCopies.Plays = [](const std::string&) { return false; };
            return std::make_unique<TZRRunForm>(std::move(run));
        };
        services.TrayIcon = false;
        return services;
    }

    // Creates and shows the window and lets its first tick fetch the feed.
    void Open(bool waitForClip = true) {
        form = std::make_unique<TZRConfigForm>(Services());
        form->show();
        if (waitForClip) {
            ASSERT_TRUE(WaitFor([&] { return !player()->Movie.empty(); })) << "no clip played";
        }
    }

    FakePlayer* player() { return static_cast<FakePlayer*>(form->CurrentPlayer()); }
    std::string saved() { return test::ReadFile(dir.file("zavriofeeds.ini")); }
    int requestsFor(const std::string& target) {
        int n = 0;
        for (const std::string& r : server.Requests())
            n += r.rfind("GET " + target + " ", 0) == 0;
        return n;
    }

    test::TempDirectory dir;
    std::map<std::string, std::string> routes{{"/one", ThreeClips}};
    ScriptedServer server;
    std::unique_ptr<TZRConfigForm> form;
    std::vector<FakePlayer*> players;
    std::vector<std::string> errors, opened, prefetched;
    std::vector<bool> topmost;
    int installs = 0, runFormsMade = 0;
    double now = 46000.5;
};

TEST_F(ConfigFormTest, OpensWithTheStoredOptionsAndPlaysTheFirstClipOfTheStoredFeed) {
    routes["/two"] = Feed({{"Other", "http://x/watch?v=zzz"}});
    WriteSettings("Channel=1\nHD=1\nLoop=0\nVideoSize=1", {"one", "two"});
    Open();
    EXPECT_EQ(form->windowTitle().toStdString(), "Zavrio Today Screensaver");
    EXPECT_EQ(form->cb1->count(), 2);
    EXPECT_EQ(form->cb1->currentText(), "two");
    ASSERT_EQ(form->cb2->count(), 1);
    EXPECT_EQ(form->cb2->currentText(), "1. Other");
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/zzz&autoplay=1&fmt=18");
    EXPECT_EQ(player()->parentWidget(), form->Panel1);
    EXPECT_EQ(form->cb2->toolTip(), "About Other"); // the description hint
    EXPECT_TRUE(form->HDCheck->isChecked());
    EXPECT_FALSE(form->LoopCheck->isChecked());
    EXPECT_EQ(form->sizeCb->currentText(), "Double");
    EXPECT_TRUE(form->OptionsRolledUp());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    EXPECT_EQ(requestsFor("/one"), 0);
    EXPECT_TRUE(errors.empty());
}

// Rows of the catalogue's edge cases: which feed the first tick picks and
// what Channel is saved when the window closes.
TEST_F(ConfigFormTest, ChannelPicksTheFeedAndIsSavedOnClose) {
    struct Case {
        const char* channel;
        std::vector<std::string> feeds;
        int requested; // index into feeds, -1 for none
        const char* savedChannel;
    };
    const Case cases[] = {
        {"1", {"one", "two", "three"}, 1, "Channel=1"},
        {"5", {"one", "two", "three"}, 0, "Channel=0"}, // beyond the catalogue: the first
        {"-2", {"one", "two"}, -1, "Channel=-2"},       // selects nothing, downloads nothing
        {"0", {}, -1, "Channel=0"},                     // an empty catalogue
    };
    for (const Case& c : cases) {
        const auto before = server.Requests().size();
        WriteSettings(std::string("Channel=") + c.channel, c.feeds);
        Open(false);
        QTest::qWait(300);
        const auto requests = server.Requests();
        if (c.requested < 0) {
            EXPECT_EQ(requests.size(), before) << c.channel;
            EXPECT_EQ(form->cb2->count(), 0);
        } else {
            ASSERT_EQ(requests.size(), before + 1) << c.channel;
            EXPECT_EQ(requests.back().rfind("GET /" + c.feeds[c.requested] + " ", 0), 0u);
        }
        EXPECT_EQ(form->cb1->count(), static_cast<int>(c.feeds.size()));
        form->close();
        EXPECT_NE(saved().find(c.savedChannel), std::string::npos) << c.channel << "\n" << saved();
        form.reset();
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigFormTest, ClipSourceEnclosurePlaysTheEntrysOwnVideo) {
    routes["/one"] = R"(<?xml version="1.0"?><rss version="2.0"><channel><title>t</title>
<item><title>Sound only</title><link>http://x/watch?v=aaa</link>
<enclosure url="http://media.test/a.mp3" length="1" type="audio/mpeg"/></item>
<item><title>Own video</title><link>http://x/watch?v=bbb</link>
<media:content xmlns:media="http://search.yahoo.com/mrss/" url="http://media.test/b.webm"
 type="video/webm"/></item></channel></rss>)";
    dir.write("zavriofeeds.ini", "[set]\nHD=1\nLoop=0\n[feeds]\none=" + server.Address("/one") +
                                     "\n[player]\nBaseAddress=http://127.0.0.1:9\n"
                                     "ClipSource=enclosure\n");
    Open();
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/aaa&autoplay=1&fmt=18");
    EXPECT_EQ(prefetched.back(), "http://media.test/b.webm");
    form->cb2->SetItemIndex(1);
    EXPECT_EQ(player()->Movie, "http://media.test/b.webm");
    EXPECT_EQ(player()->Flags, (MovieFlags{.AutoPlay = true, .Loop = false}));
}

TEST_F(ConfigFormTest, NextClipButtonAndAutomaticAdvanceWithoutWrapAround) {
    WriteSettings("AutoNext=1", {"one"});
    Open();
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/aaa&autoplay=1&fmt=18");
    form->Timer1->stop();
    auto ready = [&] {
        player()->Frame = 0;
        player()->Report(4);
    };

    // Advance 15 s after the clip became ready, crossing midnight.
    now = 46000.0 + (24 * 3600 - 5) / 86400.0;
    ready();
    now += 15.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->cb2->ItemIndex(), 0) << "exactly 15 s is not more than 15 s";
    now += 1.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->cb2->ItemIndex(), 1);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/bbb&autoplay=1&fmt=18");

    EXPECT_EQ(prefetched.back(), "http://127.0.0.1:9/v/no-equals-link&autoplay=1&fmt=18")
        << "the next clip is fetched ahead";
    const std::size_t fetchedAhead = prefetched.size();
    form->cb2->SetItemIndex(2);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/no-equals-link&autoplay=1&fmt=18");
    EXPECT_EQ(prefetched.size(), fetchedAhead) << "nothing after the last clip";
    ready();
    const std::size_t madeAtLast = players.size();
    now += 60.0 / 86400;
    form->Timer1Timer();
    EXPECT_EQ(form->cb2->ItemIndex(), 2) << "no wrap-around at the last clip";
    EXPECT_EQ(players.size(), madeAtLast);

    // The button goes from the last clip to the first, else to the next.
    form->bsSkinSpeedButton1Click();
    EXPECT_EQ(form->cb2->ItemIndex(), 0);
    form->bsSkinSpeedButton1Click();
    EXPECT_EQ(form->cb2->ItemIndex(), 1);
}

TEST_F(ConfigFormTest, TheEmbeddedPlayerHoldsTheOutgoingClipUntilTheNextOnesFirstPicture) {
    WriteSettings("", {"one", "missing"});
    Open();
    QPointer<FakePlayer> first = player();
    first->Frame = 0;
    first->Report(4);
    form->cb2->SetItemIndex(1);
    ASSERT_NE(player(), first.data());
    EXPECT_EQ(form->HeldPlayer(), first.data());
    EXPECT_TRUE(first->Held);
    EXPECT_TRUE(test::Covers(first, player()));
    // A clip that fails: its error line replaces the held picture at once.
    player()->FailLoad();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(form->ReadyState(), 4);

    // A feed that fails leaves nothing of the one before on screen.
    QPointer<FakePlayer> failedClip = player();
    form->cb1->SetItemIndex(1);
    ASSERT_TRUE(WaitFor([&] { return form->StatusLine->isVisible(); }));
    EXPECT_TRUE(failedClip.isNull());
    EXPECT_EQ(form->HeldPlayer(), nullptr);
}

TEST_F(ConfigFormTest, OneClipFeedNextButtonChangesNothing) {
    routes["/one"] = Feed({{"Only", "http://x/watch?v=only"}});
    WriteSettings("", {"one"});
    Open();
    const std::size_t made = players.size();
    form->bsSkinSpeedButton1Click();
    EXPECT_EQ(players.size(), made) << "the shown text did not change: no new player";
    EXPECT_EQ(form->cb2->ItemIndex(), 0);
}

TEST_F(ConfigFormTest, AFeedThatFailsIsNamedInTheStatusLineAndShowsNoOtherFeedsClips) {
    routes["/bad"] = "<rss version=\"2.0\"><channel><title>broken";
    WriteSettings("", {"one", "missing", "bad"});
    Open();
    EXPECT_FALSE(form->StatusLine->isVisible());
    const struct {
        int feed;
        const char* line;
    } cases[] = {
        {1, "missing: HTTP/1.1 404 Not Found."},
        // The parser's own words, whatever they are, after the feed's name.
        {2, "bad: "},
    };
    for (const auto& c : cases) {
        const std::size_t playersBefore = players.size();
        form->cb1->SetItemIndex(c.feed);
        ASSERT_TRUE(WaitFor([&] { return form->StatusLine->isVisible(); })) << c.feed;
        EXPECT_TRUE(form->StatusLine->text().startsWith(c.line))
            << form->StatusLine->text().toStdString();
        EXPECT_EQ(form->cb2->count(), 0) << "no clip of the feed chosen before";
        EXPECT_GT(players.size(), playersBefore);
        EXPECT_EQ(player()->Movie, "") << "and none plays on";
    }
    EXPECT_TRUE(errors.empty()) << "no box";
    // The next feed that loads takes the line away.
    form->cb1->SetItemIndex(0);
    ASSERT_TRUE(WaitFor([&] { return form->cb2->count() == 3; }));
    EXPECT_FALSE(form->StatusLine->isVisible());
    form->close();
    EXPECT_NE(saved().find("Channel=0"), std::string::npos);
}

TEST_F(ConfigFormTest, RulesOfTheControls) {
    WriteSettings("", {"one"});
    Open();
    int changes = 0;
    form->cb2->OnChange = [&] { ++changes; };
    form->cb2->SetItemIndex(0); // already shown
    EXPECT_EQ(changes, 0);
    form->cb2->SetItemIndex(2);
    EXPECT_EQ(changes, 1);
    form->cb2->ClearItems(); // emptying the list runs nothing
    form->cb2->AddItem("x");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(form->cb2->ItemIndex(), -1) << "adding to an empty list selects nothing";
    form->cb2->SetItemIndex(0);
    EXPECT_EQ(changes, 2);

    // A choice by hand: the keyboard moves the selection of the focused list.
    form->cb2->AddItem("y");
    form->cb2->setFocus();
    QTest::keyClick(form->cb2, Qt::Key_Down);
    EXPECT_EQ(form->cb2->currentText(), "y");
    EXPECT_EQ(changes, 3);

    // A check box set from code runs its click handler.
    const std::size_t calls = topmost.size();
    form->TopCheck->setChecked(!form->TopCheck->isChecked());
    ASSERT_EQ(topmost.size(), calls + 1);
    EXPECT_EQ(topmost.back(), form->TopCheck->isChecked());
    form->NextCheck->setChecked(true);
    EXPECT_TRUE(Settings.AutoNext);
    form->NextCheck->setChecked(false);
    EXPECT_FALSE(Settings.AutoNext) << "NextCheck takes effect at once";
}

TEST_F(ConfigFormTest, ExitBoxRuleKeepsTheCheckedStates) {
    WriteSettings("MouseMoveExit=1\nMousePressExit=1\nKeyboardPressExit=0", {});
    Open(false);
    auto enabled = [&] {
        return std::vector<bool>{form->MouseMoveExitCheck->isEnabled(),
                                 form->MousePressExitCheck->isEnabled(),
                                 form->KeyboardExitCheck->isEnabled()};
    };
    EXPECT_EQ(enabled(), std::vector<bool>(3, true));
    form->ShowCursorCheck->setChecked(true);
    EXPECT_EQ(enabled(), std::vector<bool>(3, false));
    form->OnlyEscCheck->setChecked(true);
    form->ShowCursorCheck->setChecked(false);
    EXPECT_EQ(enabled(), std::vector<bool>(3, false)) << "Escape only still rules them out";
    form->OnlyEscCheck->setChecked(false);
    EXPECT_EQ(enabled(), std::vector<bool>(3, true));
    form->OnlyEscCheck->setChecked(true);
    form->close();
    const std::string file = saved();
    for (const char* line : {"MouseMoveExit=1", "MousePressExit=1", "KeyboardPressExit=0",
                             "OnlyEscKeyExit=1", "ShowCursor=0"})
        EXPECT_NE(file.find(line), std::string::npos) << line << "\n" << file;
}

TEST_F(ConfigFormTest, HdChangesTheAddressOnlyOnceTheOptionsAreStored) {
    WriteSettings("HD=0\nLoop=1", {"one"});
    Open();
    form->HDCheck->setChecked(true);
    form->cb2->SetItemIndex(1);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/bbb&autoplay=1&loop=1");
    form->ControlsToSettings();
    form->cb2->SetItemIndex(0);
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/aaa&autoplay=1&fmt=18&loop=1");
}

TEST_F(ConfigFormTest, SkinsFromTheMenuAreStoredAndShownAtTheNextStart) {
    WriteSettings("Skin=7", {});
    Open(false);
    EXPECT_EQ(form->SkinIndex(), 0) << "an index outside 0-3 keeps skin 0";
    const QString skin0 = form->styleSheet();
    QAction* skin3 = form->findChild<QAction*>("Skin31");
    ASSERT_NE(skin3, nullptr);
    EXPECT_EQ(skin3->text(), "Skin 3");
    skin3->trigger();
    EXPECT_EQ(form->SkinIndex(), 2);
    EXPECT_EQ(Settings.Skin, 2);
    EXPECT_NE(form->styleSheet(), skin0);
    EXPECT_TRUE(skin3->isChecked());
    form->close();
    EXPECT_NE(saved().find("Skin=2"), std::string::npos);
    form.reset();
    Open(false);
    EXPECT_EQ(form->SkinIndex(), 2);
}

TEST_F(ConfigFormTest, MenuItemsCaptionsAndTags) {
    WriteSettings("", {});
    Open(false);
    const std::vector<std::pair<const char*, const char*>> items = {
        {"ScreensaverOptions1", "Screensaver options"},
        {"Skin11", "Skin 1"},
        {"Skin41", "Skin 4"},
        {"Save1", "Save as default screensaver && Exit"},
        {"Exit1", "Exit"}};
    for (const auto& [name, caption] : items) {
        const QAction* action = form->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), caption);
    }
    EXPECT_EQ(form->findChild<QAction*>("Skin41")->data().toInt(), 3);
    EXPECT_EQ(form->bsSkinButton21->text(), "Save as defalt screensaver && E&xit");
    EXPECT_EQ(form->ShowCursorCheck->text(), "Show cursor && Ignore mouse events");

    // The options panel rolls out and up again.
    const int rolled = form->skingroup->height();
    form->findChild<QAction*>("ScreensaverOptions1")->trigger();
    EXPECT_FALSE(form->OptionsRolledUp());
    EXPECT_GT(form->skingroup->height(), rolled + 100);
    EXPECT_TRUE(form->LoopCheck->isVisible());
    form->ScreensaverOptions1Click();
    EXPECT_TRUE(form->OptionsRolledUp());
    EXPECT_EQ(form->skingroup->height(), rolled);

    // The link labels open the web site and a mail to the makers.
    QTest::mouseClick(form->bsSkinLinkLabel1, Qt::LeftButton);
    QTest::mouseClick(form->bsSkinLinkLabel2, Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<std::string>{
                          "http://www.zavrio.com/",
                          "mailto:screensaver@zavrio.com?subject=About Zavrio screensaver"}));
}

TEST_F(ConfigFormTest, HintOfTheClipListClearsWhileTheListDrawsItsRows) {
    WriteSettings("", {"one"});
    Open();
    EXPECT_EQ(form->cb2->toolTip(), "About First");
    form->cb2->showPopup();
    ASSERT_TRUE(WaitFor([&] { return form->cb2->toolTip().isEmpty(); }));
    form->cb2->hidePopup();
    form->cb2->SetItemIndex(1);
    EXPECT_EQ(form->cb2->toolTip(), "About Second");
}

TEST_F(ConfigFormTest, EveryWayOfClosingSavesTheOptions) {
    using Close = std::function<void(TZRConfigForm&)>;
    const std::vector<std::pair<const char*, Close>> ways = {
        {"close button", [](TZRConfigForm& f) { f.close(); }},
        {"Exit", [](TZRConfigForm& f) { f.findChild<QAction*>("Exit1")->trigger(); }},
        {"Save menu item", [](TZRConfigForm& f) { f.findChild<QAction*>("Save1")->trigger(); }},
        {"install button", [](TZRConfigForm& f) { f.bsSkinButton21->click(); }},
    };
    int expectedInstalls = 0;
    for (const auto& [name, close] : ways) {
        WriteSettings("Loop=0", {});
        Open(false);
        form->LoopCheck->setChecked(true);
        close(*form);
        EXPECT_FALSE(form->isVisible()) << name;
        EXPECT_NE(saved().find("Loop=1"), std::string::npos) << name;
        if (std::string(name) != "close button" && std::string(name) != "Exit")
            ++expectedInstalls;
        EXPECT_EQ(installs, expectedInstalls) << name;
        form.reset();
    }
}

TEST_F(ConfigFormTest, PreviewShowsThePlaybackWindowModallyAndComesBack) {
    WriteSettings("StayOnTop=1\nKeyboardPressExit=1", {"one"});
    Open();
    const std::string embedded = player()->Movie;
    form->LoopCheck->setChecked(true);
    topmost.clear();
    for (int preview = 1; preview <= 2; ++preview) {
        bool shown = false;
        QTimer::singleShot(300, [&] {
            TZRRunForm* run = form->RunForm();
            shown = run && run->isVisible() && run->isFullScreen();
            // A key press ends the preview through the exit policy.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
            QApplication::sendEvent(run->windowHandle(), &press);
        });
        form->bsSkinXFormButton1->click();
        EXPECT_TRUE(shown) << preview;
        EXPECT_FALSE(form->RunForm()->isVisible()) << preview;
    }
    EXPECT_EQ(runFormsMade, 1) << "the playback window is made once and shown again";
    EXPECT_TRUE(PreviewFromConfig);
    EXPECT_NE(saved().find("Loop=1"), std::string::npos) << "stored before the preview";
    EXPECT_EQ(topmost, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(player()->Movie, embedded) << "the embedded player keeps its clip";
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigFormTest, NotificationIconTogglesTheWindowAndShowingAgainRestoresTheOptions) {
    WriteSettings("Loop=0", {"one"});
    Open();
    form->ScreensaverOptions1Click();
    form->LoopCheck->setChecked(true); // not stored yet
    form->bsTrayIcon1Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(player()->Resting) << "put away: neither seen nor heard";
    form->bsTrayIcon1Click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(player()->Resting);
    EXPECT_FALSE(form->LoopCheck->isChecked()) << "the stored value came back";
    EXPECT_TRUE(form->OptionsRolledUp());
    QTest::qWait(200);
    EXPECT_EQ(requestsFor("/one"), 1) << "the feed is not reloaded";
}

TEST_F(ConfigFormTest, ClosingDuringADownloadEndsIt) {
    // The feed never comes: the server answers nothing until the client
    // gives up and closes the connection.
    std::atomic<bool> clientClosed{false};
    ScriptedServer silent([&clientClosed](ServerConn& conn) {
        conn.ReadRequest();
        conn.ReadRequest(); // "" once the client has closed
        clientClosed = true;
    });
    dir.write("zavriofeeds.ini", "[feeds]\nslow=" + silent.Address("/slow") + "\n");
    form = std::make_unique<TZRConfigForm>(Services());
    // Closed from the event loop the download keeps running.
    QTimer::singleShot(600, [&] { form->close(); });
    form->show();
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible() && clientClosed; }));
    EXPECT_EQ(silent.Requests().size(), 1u);
    EXPECT_EQ(form->cb2->count(), 0);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigFormTest, AnEmptyCatalogueSaysHowToAddAFeedAndTheFeedsItemAddsOne) {
    WriteSettings("", {});
    Open(false);
    ASSERT_TRUE(WaitFor([&] { return !form->cb2->placeholderText().isEmpty(); }));
    EXPECT_EQ(form->cb2->placeholderText().toStdString(),
              "No feeds yet: add one with \u2630 \u2192 Feeds\u2026");
    EXPECT_EQ(form->cb2->currentIndex(), -1) << "the hint shows while no clip is chosen";

    QAction* feeds = form->bsSkinPopupMenu1->findChild<QAction*>("Feeds1");
    ASSERT_NE(feeds, nullptr);
    EXPECT_EQ(feeds->text().toStdString(), "Feeds\u2026");
    feeds->trigger();
    FeedsDialog* dialog = form->FeedsEditor();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->parentWidget(), form.get()) << "it takes the window's skin";

    dialog->addButton->click();
    dialog->nameEdit->setText("Mine");
    dialog->addressEdit->setText(QString::fromStdString(server.Address("/one")));
    dialog->lookUpButton->click();
    EXPECT_EQ(dialog->foundLabel->text(), "RSS, 3 entries, 0 with a video file");
    dialog->saveButton->click();
    EXPECT_EQ(form->cb1->count(), 0) << "the window reads the catalogue when the dialog closes";
    dialog->closeButton->click();

    EXPECT_EQ(form->cb1->count(), 1);
    EXPECT_EQ(form->cb1->currentText(), "Mine");
    EXPECT_TRUE(form->cb2->placeholderText().isEmpty());
    ASSERT_TRUE(WaitFor([&] { return !player()->Movie.empty(); })) << "the new feed plays";
    EXPECT_EQ(player()->Movie, "http://127.0.0.1:9/v/aaa&autoplay=1&fmt=18");
    EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigFormTest, RemovingTheLastFeedLeavesNoneOfItsClips) {
    WriteSettings("", {"one"});
    Open();
    ASSERT_EQ(form->cb2->count(), 3);
    CatalogueEditor(*SettingsFile, Settings.Channel).Remove("one");
    form->ShowFeedNames(); // as when the Feeds dialog closes
    EXPECT_EQ(form->cb1->count(), 0);
    EXPECT_EQ(form->cb2->count(), 0);
    EXPECT_EQ(player()->Movie, "") << "nothing of the removed feed plays on";
    EXPECT_FALSE(form->cb2->placeholderText().isEmpty());
}

TEST_F(ConfigFormTest, TheNotificationIconsMenuShowsHidesPreviewsAndExits) {
    WriteSettings("Loop=0", {"one"});
    Open();
    ASSERT_NE(form->bsTrayMenu, nullptr);
    std::vector<std::string> captions;
    for (QAction* action : form->bsTrayMenu->actions())
        captions.push_back(action->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"Show/Hide", "Preview", "Exit"}));
    QAction* showHide = form->bsTrayMenu->actions()[0];
    showHide->trigger();
    EXPECT_FALSE(form->isVisible());
    showHide->trigger();
    EXPECT_TRUE(form->isVisible());

    form->LoopCheck->setChecked(true);
    form->bsTrayMenu->actions()[2]->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(saved().find("Loop=1"), std::string::npos) << "Exit saves like every close";
    EXPECT_EQ(installs, 0);
}

TEST_F(ConfigFormTest, StayOnTopIsAppliedAgainWhenTheWindowIsShownAgain) {
    for (const char* stayOnTop : {"1", "0"}) {
        WriteSettings(std::string("StayOnTop=") + stayOnTop, {"one"});
        Open();
        topmost.clear();
        form->bsTrayIcon1Click();
        form->bsTrayIcon1Click();
        EXPECT_EQ(topmost,
                  std::string(stayOnTop) == "1" ? std::vector<bool>{true} : std::vector<bool>{})
            << stayOnTop;
        form.reset();
    }
}

TEST_F(ConfigFormTest, TabReachesTheLinksAndReturnPressesTheFocusedControl) {
    WriteSettings("", {"one"});
    Open();
    form->ScreensaverOptions1Click(); // unrolled: the options take the focus too
    form->activateWindow();
    form->OnlyEscCheck->setFocus();
    QTest::keyClick(form->OnlyEscCheck, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->bsSkinLinkLabel1);
    QTest::keyClick(form->bsSkinLinkLabel1, Qt::Key_Return);
    QTest::keyClick(form->bsSkinLinkLabel1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->bsSkinLinkLabel2);
    QTest::keyClick(form->bsSkinLinkLabel2, Qt::Key_Space);
    EXPECT_EQ(opened,
              (std::vector<std::string>{TZRConfigForm::WebAddress, TZRConfigForm::MailAddress}));
    QTest::keyClick(form->bsSkinLinkLabel2, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->bsSkinButton21);

    // Return on a tool button: the next clip.
    form->bsSkinSpeedButton1->setFocus();
    QTest::keyClick(form->bsSkinSpeedButton1, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return form->cb2->ItemIndex() == 1; }));
    // Return on a check box leaves it as it was (Space is its key).
    form->LoopCheck->setFocus();
    const bool loop = form->LoopCheck->isChecked();
    QTest::keyClick(form->LoopCheck, Qt::Key_Return);
    EXPECT_EQ(form->LoopCheck->isChecked(), loop);
    // Return on a push button: install and exit.
    form->bsSkinButton21->setFocus();
    QTest::keyClick(form->bsSkinButton21, Qt::Key_Enter);
    EXPECT_TRUE(WaitFor([&] { return installs == 1 && !form->isVisible(); }));
}

// Focus must show on every kind of control, in every skin: each control is
// drawn differently with the focus than without it.
TEST_F(ConfigFormTest, KeyboardFocusIsVisibleOnEveryControlInEverySkin) {
    WriteSettings("", {});
    Open(false);
    form->ScreensaverOptions1Click();
    form->activateWindow();
    const std::vector<QWidget*> controls = {form->bsSkinMenuSpeedButton1,
                                            form->cb1,
                                            form->cb2,
                                            form->sizeCb,
                                            form->LoopCheck,
                                            form->bsSkinXFormButton1,
                                            form->bsSkinLinkLabel1,
                                            form->bsSkinButton21};
    for (int skin = 0; skin < 4; ++skin) {
        form->Skin31Click(skin);
        for (QWidget* control : controls) {
            form->Panel1->setFocus();
            QApplication::processEvents();
            const QImage without = control->grab().toImage();
            control->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            ASSERT_TRUE(control->hasFocus()) << control->objectName().toStdString();
            EXPECT_NE(control->grab().toImage(), without)
                << "skin " << skin << ": " << control->objectName().toStdString();
        }
    }
}

// The options that a show adds on request, in every skin: shown inside the
// unrolled panel without squeezing it, read from their sections and stored
// there on close.
TEST_F(ConfigFormTest, FadeAndOverlayOptionsShowAndStoreTheirKeysInEverySkin) {
    const struct {
        const char* fade; // as the file has it
        const char* shown;
        int choose; // FadeCb's entry the user picks, -1 none
        const char* stored;
    } cases[] = {
        {"0", "Off", 3, "Fade=2000"},
        {"500", "0.5 s", 0, "Fade=0"},
        {"750", "0.75 s", -1, "Fade=750"}, // set by hand: shown and kept
        {"1000", "1 s", 1, "Fade=500"},
    };
    for (int skin = 0; skin < 4; ++skin) {
        const auto& c = cases[skin];
        SCOPED_TRACE("skin " + std::to_string(skin));
        WriteSettings("Skin=" + std::to_string(skin), {});
        dir.write("zavriofeeds.ini", saved() + "Fade=" + c.fade + "\n[overlay]\nClock=1\n");
        Open(false);
        form->ScreensaverOptions1Click();
        QApplication::processEvents();
        EXPECT_LE(form->skingroup->sizeHint().height(), form->height() - form->Panel1->y())
            << "the unrolled panel fits the window";
        for (QWidget* control :
             std::initializer_list<QWidget*>{form->FadeCb, form->TitleCheck, form->ClockCheck}) {
            EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
            const QRect at(control->mapTo(form->skingroup, QPoint()), control->size());
            EXPECT_TRUE(form->skingroup->rect().contains(at))
                << control->objectName().toStdString();
        }
        EXPECT_EQ(form->FadeCb->currentText(), c.shown);
        EXPECT_FALSE(form->TitleCheck->isChecked());
        EXPECT_TRUE(form->ClockCheck->isChecked());

        if (c.choose >= 0)
            form->FadeCb->SetItemIndex(c.choose);
        QTest::mouseClick(form->TitleCheck, Qt::LeftButton);
        QTest::mouseClick(form->ClockCheck, Qt::LeftButton);
        form->close();
        const std::string file = saved();
        EXPECT_NE(file.find(std::string("[player]\r\nBaseAddress=http://127.0.0.1:9\r\n") +
                            c.stored + "\r\n"),
                  std::string::npos)
            << file;
        EXPECT_NE(file.find("[overlay]\r\nClock=0\r\nTitle=1\r\n"), std::string::npos) << file;
        form.reset();
    }
}

TEST_F(ConfigFormTest, TheMuteBoxLinesUpWithThePreviewButton) {
    WriteSettings("", {});
    Open(false);
    form->ScreensaverOptions1Click(); // unrolled
    for (int skin = 0; skin < 4; ++skin) {
        form->Skin31Click(skin);
        QApplication::processEvents(); // the layouts settle
        const QRect button = form->bsSkinXFormButton1->geometry();
        const QRect mute = form->MuteCheck->geometry();
        EXPECT_LE(std::abs(mute.center().y() - button.center().y()), 1) << "skin " << skin;
    }
}

} // namespace
} // namespace zavrio
