#pragma once
// The playback session and its window: TZRRunForm is the borderless black
// stay-on-top window over the primary screen that downloads the feed at
// Channel, turns its items into a playlist and plays the clips one by one,
// advancing 15 seconds after a clip is ready when AutoNext is set. Until a
// player first reports a ready state it shows the welcome caption, replaced
// by the HTTP client's status and progress while the feed downloads.
//
// It is also the session of every screen: what there is once per run (the
// settings, the download, the playlist, the exit policy with its mouse
// allowance, the mute and the cursor) is its; with [screens] Mode=all (the
// default) every other screen gets a view of its own (PlaybackView.h) that
// plays another entry of the same playlist, advancing by the same rule, and
// screens plugged in or taken away during a show gain or lose theirs. Only
// the primary view plays sound. Any input the exit options name, on any
// screen, ends the whole session.
//
// It owns its HTTP client, feed component, timers, the views and their
// player controls, and while it exists an application-wide event filter that
// closes it on the input the exit options name (ExitPolicy.h). It is the main
// window in full-screen mode; the configuration window shows it again for
// previews.
//
// With Mute set the sound is muted for the show and given back as it was
// found, once for all copies of the program the user runs at the same time
// (platform/SharedMute.h).
//
// Failures inside its handlers (a failed download, an unreadable feed, a bad
// Channel) go to the standard error report: a modal critical box titled
// "Zavrio Video Screensaver". While that box is up the exit policy rests, so
// the key or click that dismisses it does not also end the screensaver;
// once it is gone the view that had the keyboard focus takes it back. Inside
// another program's window no box could be seen: the error shows in the
// window itself instead.
//
// When the network fails the show goes on: every feed fetched whole is kept
// (FeedArchive.h); a failed download (or one that brings no byte for 30 s)
// plays the entries of the kept document whose clips are in the clip cache,
// with a short "Offline: playing saved clips" line, or shows the error in
// place of the welcome caption when there are none. Only the first failure
// of a show opens the box. The feed is fetched again 30 s later, then at
// doubling intervals up to every 5 minutes (FeedRetry.h); a fresh feed takes
// over at the next advance, never cutting a clip.
//
// A feed document is read and listed off the GUI thread (FeedLoader.h), the
// kept one too, so input, timers and painting go on however large it is.
// Closing the window while its download runs, or while a document is being
// read, abandons that work: no playlist, no player and no error box follow.
//
// A screensaver shows no still picture for good: with neither AutoNext nor
// Loop set, a clip that has played to its end starts again from its
// beginning once its last frame has shown for RestartAtEndSeconds (checked
// at every tick of Timer1).
//
// Nothing is decoded while the monitors are off: in full-screen mode (not
// inside the daemon's window, whose owner stops its savers itself) the
// monitors' power state is asked every PowerPollMs; while they are not on,
// every view's player rests and the show's timing with it (no advance, the
// time off does not count towards the 15 s), and all goes on once they are
// back. Without an answer (no DPMS) the monitors count as on.
//
// On request ([player] Fade=MS) clips change through black: every
// FadeTickMs each view's picture is darkened by the fade rule
// (FadeThroughBlack.h), and an advance comes the moment its fade has reached
// black rather than at Timer1's next tick.
//
// On request ([overlay] Title, Clock) each view shows the local time and,
// over the first seconds of each clip, its entry's title (OverlayText.h),
// as outlined text in a corner that moves at every clip; never inside a
// settings dialog's preview pane, where it would hide the small picture.

#include "http/TIdHTTP.h"
#include "platform/ForeignWindow.h"
#include "platform/LocalClock.h"
#include "playback/ClipSequence.h"
#include "playback/FeedArchive.h"
#include "playback/FeedLoader.h"
#include "playback/PanelPlayer.h"
#include "playback/PlaybackView.h"
#include "playback/StandardErrorReport.h"
#include "playback/TShockwaveFlash.h"
#include "settings/SaverSettings.h"

#include <QLabel>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
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
    // The screens besides the primary one, each of which gets a view.
    std::function<std::vector<ScreenArea>()> OtherScreens;
    // true: this show wants the sound muted from now on; false: it no longer
    // does (the state found is given back once no copy of the program wants
    // it muted).
    std::function<void(bool muted)> HoldMute;
    // Copies of the program on other monitors, so they show other clips.
    Neighbours OtherCopies;
    // Whether the clip at address is complete in the clip cache (offline
    // shows play only those).
    std::function<bool(const std::string& address)> Cached;
    // Where fetched feeds are kept for offline shows.
    std::shared_ptr<const FeedArchive> Feeds;
    // Whether the monitors are on (platform/DisplayPower.h; true without an
    // answer).
    std::function<bool()> DisplayOn;
};

class TZRRunForm : public PlaybackView {
public:
    static constexpr const char* NoFeedCaption =
        "No feed is configured yet: add one in the configuration window (\u2630 \u2192 "
        "Feeds\u2026) or with \"zavrio-feeds feeds add NAME ADDRESS\"";

    static constexpr double RestartAtEndSeconds = 3;
    static constexpr int PowerPollMs = 5000;
    static constexpr int FadeTickMs = 40;

    explicit TZRRunForm(RunFormServices services = {}, QWidget* parent = nullptr);
    ~TZRRunForm() override;

    // Puts the window inside a window of another program (the screensaver
    // daemon's) instead of over the screen, before it is shown: it fills that
    // window and follows its size, and closes when that window goes. The
    // owner has the screen and the input, so the window then stays out of the
    // stacking order and the cursor, and input does not end it; it is the
    // only view. False when the foreign window does not exist.
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
    // The screens changed (one plugged in or taken away): views follow.
    void ScreensChanged();
    // The feed is due to be fetched again after a failure.
    void RetryTimerTimer();
    // The feed's download has brought no byte for a while.
    void StallTimerTimer();
    // Time to ask whether the monitors are on.
    void PowerTimerTimer();
    // A step of the fade through black.
    void FadeTimerTimer();

    // Window operations.
    // Reads document at once, on the calling thread, and plays its list.
    void FillPlaylist(std::istream& document);
    void PlayEntry(int index);
    void CreatePlayer();
    void FocusPlayer();

    // Parts and state, for the configuration window and for tests.
    QTimer* Timer1 = nullptr;
    QTimer* MouseTimer = nullptr;
    QTimer* RetryTimer = nullptr; // runs after a failed download
    QTimer* StallTimer = nullptr; // runs while the download waits for bytes
    QTimer* PowerTimer = nullptr; // runs during a full-screen show
    QTimer* FadeTimer = nullptr;  // runs during a show that fades
    // The entries while a show's list is open, else null.
    const std::vector<PlaylistEntry>* PlaylistEntries() const {
        return FSequence.List().IsOpen() ? &FSequence.List().Entries() : nullptr;
    }
    const std::vector<std::string>* FeedNamesList() const { return FFeedNames.get(); }
    int CurrentIndex() const { return FSequence.CurrentIndex(); }
    std::int32_t ReadyState() const { return FSequence.ReadyState(); }
    TDateTime ReadyTime() const { return FSequence.ReadyTime(); }
    std::int64_t Panel2Tag() const { return FPanel2Tag; }
    // Every view of the show, this window first, then one per other screen.
    std::vector<PlaybackView*> Views() const;
    // The entry a view plays (-1: none yet).
    int CurrentIndexOf(const PlaybackView& view) const;
    // The show plays saved clips because the feed could not be fetched.
    bool Offline() const { return FOffline; }
    // The show rests because the monitors are off.
    bool Resting() const { return FResting; }
    // Inside another program's window much smaller than the screen: a
    // settings dialog's preview pane, not the daemon's full-screen window.
    bool InPreviewPane() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A view on a screen other than the primary one, with its lane of the
    // clip sequence.
    struct OtherView {
        std::string Screen;
        int Lane;
        std::unique_ptr<PlaybackView> View;
    };

    // Runs a handler; what it throws goes to the error report.
    void Guarded(const std::function<void()>& handler);
    void ReportError(const std::string& text);
    void DownloadChannel();
    // Fetches the show's feed; a failure goes to FeedFailed.
    void FetchFeed();
    // Reads the downloaded document off the GUI thread; its list goes to
    // ListArrived, a failure to read it to FeedFailed.
    void FeedArrived(std::istream& document);
    // The fetched feed's list: played at once when nothing plays, else kept
    // for the next advance.
    void ListArrived(Playlist list);
    void FeedFailed(const std::string& text);
    // The list plays from its first entry, on every view.
    void ShowList(Playlist list);
    // Plays the saved clips of the kept feed, read off the GUI thread, unless
    // something plays by then; none runs instead when there is no kept feed
    // or no saved clip of it (at once when nothing is kept).
    void StartOffline(std::function<void()> none = {});
    // The fresh feed's list replaces the one that plays.
    void TakeOverFresh();
    bool Playing() const;
    void ShowError(const std::string& text);
    void OpenOtherView(const ScreenArea& screen);
    void CloseOtherViews();
    void DisposeOf(OtherView& view);
    // Plays entry index on another screen's view.
    void PlayOn(OtherView& view, int index);
    void OtherReadyStateChange(PlaybackView* view, std::int32_t newState);
    // Starts the view's clip again once it has held its last frame long
    // enough.
    void RestartAtEnd(PlaybackView& view);
    // Every view whose automatic advance is due moves to its next clip.
    void AdvanceWhereDue();
    // Every view's overlay says what it says now.
    void UpdateOverlays();
    void UpdateOverlay(PlaybackView& view, int lane);
    void SetCaptions(const QString& text);

    RunFormServices FServices;
    TIdHTTP http;
    std::unique_ptr<ForeignWindowWatch> FParentWatch; // set when embedded
    std::unique_ptr<std::vector<std::string>> FFeedNames;
    // The playlist (open during a show) and what each view plays; the ready
    // states last for the window's life.
    ClipSequence FSequence;
    std::vector<OtherView> FOtherViews;
    // Since when each view's clip has been at its end.
    std::map<const PlaybackView*, TDateTime> FEndSeen;
    std::string FFeedName;          // the catalogue entry the show plays
    int FFailures = 0;              // failed downloads in a row, this show
    bool FOffline = false;          // playing the kept feed's saved clips
    std::optional<Playlist> FFresh; // a fetched feed waiting for the next advance
    FeedLoader FLoader;             // reads fetched feeds
    FeedLoader FKeptLoader;         // reads kept feeds for their saved clips
    std::int64_t FPanel2Tag = 0;
    bool FShown = false;          // between FormShow and FormClose
    bool FReportingError = false; // the modal error box is up
    bool FDownloading = false;
    bool FMuteHeld = false;
    bool FResting = false; // the monitors are off: the show rests
    TDateTime FRestingSince = 0;
    ShowExtras FExtras;            // this show's fade and overlay
    TDateTime FLastFadeStep = 0;   // when the fade last stepped
    bool FCompressedMotion = true; // Qt's motion compression before the show
    // Counts closes, so a download can tell that its show has ended.
    std::uint64_t FShowNumber = 0;
};

} // namespace zavrio
