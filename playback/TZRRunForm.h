#pragma once
// The playback window: a borderless black stay-on-top window over the
// primary screen that downloads the feed at Channel, turns its items into a
// playlist and plays the clips one by one, advancing 15 seconds after a clip
// is ready when AutoNext is set. Until a player first reports a ready state it
// shows the welcome caption, replaced by the HTTP client's status and
// progress while the feed downloads.
//
// It owns its HTTP client, feed component, timers, panels and player
// control, and while it exists an application-wide event filter that closes
// it on the input the exit options name (ExitPolicy.h). It is the main window
// in full-screen mode; the configuration window shows it again for previews.
//
// Failures inside its handlers (a failed download, an unreadable feed, a bad
// Channel) go to the standard error report: a modal critical box titled
// "Zavrio Video Screensaver". While that box is up the exit policy rests, so
// the key or click that dismisses it does not also end the screensaver.
// Closing the window while its download runs abandons the download: no
// playlist, no player and no error box follow.

#include "feed/SimpleRSS.h"
#include "http/TIdHTTP.h"
#include "platform/ForeignWindow.h"
#include "platform/LocalClock.h"
#include "playback/PanelPlayer.h"
#include "playback/Playlist.h"
#include "playback/StandardErrorReport.h"
#include "playback/TShockwaveFlash.h"

#include <QLabel>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zavrio {

// What the window asks of the world; each one defaults to the real thing and
// tests replace the ones they need to watch or control.
struct RunFormServices {
    PlayerFactory CreatePlayer;
    // Asks for address to be downloaded ahead (the clip cache), while the
    // clip before it plays.
    std::function<void(const std::string& address)> Prefetch;
    NowFunction Now;
    ErrorReporter ReportError; // the standard error report

    std::function<QSize()> ScreenSize; // the primary screen's size
    std::function<void(std::uint64_t window)> ToggleMute;
};

class TZRRunForm : public QWidget {
public:
    static constexpr const char* WelcomeCaption =
        "Welcome to Zavrio Today Screensaver, Connecting to zavrio video server.......";

    explicit TZRRunForm(RunFormServices services = {}, QWidget* parent = nullptr);
    ~TZRRunForm() override;

    // Puts the window inside a window of another program (the screensaver
    // daemon's) instead of over the screen, before it is shown: it fills that
    // window and follows its size, and closes when that window goes. The
    // owner has the screen and the input, so the window then stays out of the
    // stacking order and the cursor, and input does not end it. False when
    // the foreign window does not exist.
    bool EmbedIn(WId foreignWindow);
    bool Embedded() const { return FParentWatch != nullptr; }

    // Handlers; Qt events call them, tests may call them directly.
    void FormShow();
    void FormClose();
    void Timer1Timer();
    void MouseTimerTimer();
    void flashReadyStateChange(std::int32_t newState);
    void httpStatus(ClientStatus status, const std::string& text);
    void httpWorkBegin(WorkMode mode, std::int64_t expected);
    void httpWork(WorkMode mode, std::int64_t count);
    void ApplicationEvents1Message(std::uint32_t message, std::uintptr_t wParam, bool& handled);

    // Window operations.
    void FillPlaylist(std::istream& document);
    void PlayEntry(int index);
    void CreatePlayer();
    void FocusPlayer();

    // Parts and state, for the configuration window and for tests.
    QWidget* Panel1 = nullptr;
    QLabel* Panel2 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* MouseTimer = nullptr;
    TShockwaveFlash* CurrentPlayer() const { return flash.get(); }
    // The entries while a show's list is open, else null.
    const std::vector<PlaylistEntry>* PlaylistEntries() const {
        return FPlaylist.IsOpen() ? &FPlaylist.Entries() : nullptr;
    }
    const std::vector<std::string>* FeedNamesList() const { return FFeedNames.get(); }
    int CurrentIndex() const { return FPlaylist.CurrentIndex(); }
    std::int32_t ReadyState() const { return FPlaylist.ReadyState(); }
    TDateTime ReadyTime() const { return FPlaylist.ReadyTime(); }
    std::int64_t Panel2Tag() const { return FPanel2Tag; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs a handler; what it throws goes to the error report.
    void Guarded(const std::function<void()>& handler);
    void ReportError(const std::string& text);
    void DownloadChannel();
    // Places Panel1 for the video size in an area of the given size.
    void LayOutPlayer(QSize area);

    bool FRealMute; // the system's toggle, not one a test brought
    RunFormServices FServices;
    TIdHTTP http;
    TSimpleRSS RSS;
    std::unique_ptr<TShockwaveFlash> flash;
    std::unique_ptr<ForeignWindowWatch> FParentWatch; // set when embedded
    std::unique_ptr<std::vector<std::string>> FFeedNames;
    // Open during a show; its ready state lasts for the window's life.
    Playlist FPlaylist;
    std::int64_t FPanel2Tag = 0;
    bool FPanel1Fills = false;
    bool FShown = false;          // between FormShow and FormClose
    bool FReportingError = false; // the modal error box is up
    bool FDownloading = false;
    // Counts closes, so a download can tell that its show has ended.
    std::uint64_t FShowNumber = 0;
};

} // namespace zavrio
