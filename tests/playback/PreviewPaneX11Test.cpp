// The playback window inside another program's window on a real X server
// (started by run-with-window-manager.sh): in a settings dialog's small
// preview pane it shows no title or clock; in the daemon's full-screen window
// it does.

#include "playback/TZRRunForm.h"

#include "FakePlayer.h"
#include "QtWait.h"
#include "TempDirectory.h"
#include "settings/SaverSettings.h"

#include <QApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <sstream>

namespace zavrio {
namespace {

const char* const OneItemFeed = R"(<?xml version="1.0"?>
<rss version="2.0"><channel><title>t</title><link>http://x/</link><description>d</description>
<item><title>Harbour</title><link>http://x/watch?v=aaa</link></item>
</channel></rss>)";

TEST(PreviewPane, NoOverlayInASmallPaneButInAWindowOverTheScreen) {
    test::TempDirectory dir;
    LoadSettings(dir.write("zavriofeeds.ini", "[overlay]\nTitle=1\nClock=1\n[feeds]\n"));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const struct {
        QSize pane;
        bool overlay;
    } cases[] = {
        {{200, 150}, false},
        {screen, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pane.width());
        QWidget pane; // the other program's window
        pane.resize(c.pane);
        pane.show();
        ASSERT_TRUE(test::WaitFor([&] { return pane.windowHandle()->isExposed(); }));

        RunFormServices services;
        services.CreatePlayer = [](QWidget* parent) {
            return std::make_unique<test::FakePlayer>(parent);
        };
        services.Now = [] { return 46000.5; };
        services.ReportError = [](const std::string&) {};
        services.HoldMute = [](bool) {};
        services.OtherCopies.Plays = [](const std::string&) { return false; };
        services.Feeds = std::make_shared<const FeedArchive>(dir.file("feeds"));
        TZRRunForm form(std::move(services));
        ASSERT_TRUE(form.EmbedIn(pane.winId()));
        form.show();
        form.Timer1->stop();
        std::istringstream document(OneItemFeed);
        form.FillPlaylist(document);
        auto* player = static_cast<test::FakePlayer*>(form.CurrentPlayer());
        player->Frame = 0;
        player->Report(4);
        form.Timer1Timer();
        EXPECT_EQ(form.InPreviewPane(), !c.overlay);
        EXPECT_EQ(form.Overlay->isVisible(), c.overlay);
        if (c.overlay) {
            EXPECT_EQ(form.Overlay->Lines(), (QStringList{"12:00", "Harbour"}));
        }
        form.close();
    }
    SettingsFile.reset();
}

} // namespace
} // namespace zavrio

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
