#include "playback/TZRRunForm.h"

#include "playback/ClipPrefetcher.h"
#include "playback/CopyClaims.h"
#include "playback/DownloadFeed.h"
#include "playback/ErrorReportText.h"
#include "playback/ExitPolicy.h"
#include "playback/FadeThroughBlack.h"
#include "playback/FeedList.h"
#include "playback/FeedRetry.h"
#include "playback/MpvPlayer.h"
#include "playback/OverlayText.h"
#include "playback/PlaybackFlags.h"
#include "playback/QtInputMessage.h"
#include "playback/ScreenCoverage.h"
#include "playback/StandardErrorReport.h"

#include "feed/StreamText.h"
#include "platform/CursorDisplay.h"
#include "platform/DisplayPower.h"
#include "platform/SoundFunctions.h"
#include "platform/WindowFunctions.h"
#include "settings/SaverSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScopedValueRollback>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace zavrio {

namespace {

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(0, 0);
}

ScreenArea areaOf(QScreen* screen) {
    return {screen->name().toStdString(), screen->geometry(), screen};
}

std::vector<ScreenArea> otherScreens() {
    std::vector<ScreenArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.push_back(areaOf(screen));
    return areas;
}

RunFormServices withDefaults(RunFormServices s, QWidget* owner) {
    if (!s.CreatePlayer)
        s.CreatePlayer = CachedMpvPlayer;
    if (!s.Prefetch)
        s.Prefetch = [](const std::string& address) { ProcessClipPrefetcher().Prefetch(address); };
    if (!s.Now)
        s.Now = LocalNow;
    if (!s.ReportError)
        s.ReportError = StandardErrorReport(owner);
    if (!s.ScreenSize)
        s.ScreenSize = primaryScreenSize;
    if (!s.OtherScreens)
        s.OtherScreens = otherScreens;
    if (!s.HoldMute)
        s.HoldMute = [](bool muted) { muted ? HoldSessionMute() : ReleaseSessionMute(); };
    if (!s.OtherCopies.Plays && !s.OtherCopies.Claim)
        s.OtherCopies = ClipClaimsOfOtherCopies();
    if (!s.Cached)
        s.Cached = [](const std::string& address) { return ProcessClipStore()->Has(address); };
    if (!s.Feeds)
        s.Feeds = std::make_shared<const FeedArchive>(FeedArchive::DefaultDirectory());
    if (!s.DisplayOn)
        s.DisplayOn = [] { return DisplayPoweredOn().value_or(true); };
    return s;
}

} // namespace

TZRRunForm::TZRRunForm(RunFormServices services, QWidget* parent)
    : PlaybackView(services.CreatePlayer ? services.CreatePlayer : CachedMpvPlayer, parent),
      FServices(withDefaults(std::move(services), this)),
      FSequence(true, FServices.Prefetch, FServices.OtherCopies) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        Cover(areaOf(screen));

    Timer1 = new QTimer(this); // owned by the window, like every part below
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });

    MouseTimer = new QTimer(this);
    MouseTimer->setInterval(3000);
    connect(MouseTimer, &QTimer::timeout, this, [this] { MouseTimerTimer(); });
    MouseTimer->start();

    RetryTimer = new QTimer(this);
    RetryTimer->setSingleShot(true);
    connect(RetryTimer, &QTimer::timeout, this, [this] { Guarded([this] { RetryTimerTimer(); }); });
    StallTimer = new QTimer(this);
    StallTimer->setSingleShot(true);
    StallTimer->setInterval(std::chrono::milliseconds(FeedStallLimit));
    connect(StallTimer, &QTimer::timeout, this, [this] { Guarded([this] { StallTimerTimer(); }); });
    PowerTimer = new QTimer(this);
    PowerTimer->setInterval(PowerPollMs);
    connect(PowerTimer, &QTimer::timeout, this, [this] { Guarded([this] { PowerTimerTimer(); }); });
    FadeTimer = new QTimer(this);
    FadeTimer->setInterval(FadeTickMs);
    connect(FadeTimer, &QTimer::timeout, this, [this] { Guarded([this] { FadeTimerTimer(); }); });

    http.OnStatus = [this](ClientStatus status, const std::string& text) {
        httpStatus(status, text);
    };
    http.OnWorkBegin = [this](WorkMode mode, std::int64_t n) { httpWorkBegin(mode, n); };
    http.OnWork = [this](WorkMode mode, std::int64_t n) { httpWork(mode, n); };
    http.OnPump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };

    connect(qApp, &QGuiApplication::screenAdded, this, [this] { ScreensChanged(); });
    // The screen is still listed while its removal is announced.
    connect(qApp, &QGuiApplication::screenRemoved, this,
            [this] { QTimer::singleShot(0, this, [this] { ScreensChanged(); }); });

    CreatePlayer();
    qApp->installEventFilter(this);
}

TZRRunForm::~TZRRunForm() {
    qApp->removeEventFilter(this);
    FOtherViews.clear();
    DestroyPlayer();
}

void TZRRunForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void TZRRunForm::ReportError(const std::string& text) {
    // Inside another program's window a box would open behind it, where
    // nobody can see or answer it.
    if (Embedded()) {
        ShowError(text);
        return;
    }
    QWidget* focused = QApplication::activeWindow();
    {
        // The exit policy stays out of the way while the box is up, so the
        // key or click that dismisses it does not also end the screensaver.
        const QScopedValueRollback reporting(FReportingError, true);
        FServices.ReportError(text);
    }
    // However the box went (a key, a click, the window manager), the keys
    // must reach a view again, or only a click could end the show.
    if (!FShown || !isVisible())
        return;
    const std::vector<PlaybackView*> views = Views();
    auto* view = std::find(views.begin(), views.end(), focused) != views.end()
                     ? static_cast<PlaybackView*>(focused)
                     : this;
    view->activateWindow();
    view->FocusPlayer();
}

void TZRRunForm::ShowError(const std::string& text) {
    const QString line = QString::fromStdString(ErrorReportText(text));
    for (PlaybackView* view : Views())
        view->ShowError(line);
}

void TZRRunForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!FShown)
        Guarded([this] { FormShow(); });
}

void TZRRunForm::closeEvent(QCloseEvent* event) {
    // Only the first close of a show undoes what the show did.
    if (FShown)
        Guarded([this] { FormClose(); });
    QWidget::closeEvent(event);
}

void TZRRunForm::resizeEvent(QResizeEvent* event) {
    PlaybackView::resizeEvent(event);
    if (Embedded() && FShown)
        LayOutPlayer(Settings.VideoSize, size());
}

bool TZRRunForm::EmbedIn(WId foreignWindow) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowState(Qt::WindowNoState);
    if (!EmbedInForeignWindow(*this, foreignWindow))
        return false;
    FParentWatch = std::make_unique<ForeignWindowWatch>(
        foreignWindow, [this](QSize size) { resize(size); },
        [this] {
            // Its owner is gone: so is the show. A window inside another
            // program's is not one whose closing ends the program by itself.
            close();
            QCoreApplication::exit(0);
        });
    return true;
}

std::vector<PlaybackView*> TZRRunForm::Views() const {
    std::vector<PlaybackView*> views{const_cast<TZRRunForm*>(this)};
    for (const OtherView& other : FOtherViews)
        views.push_back(other.View.get());
    return views;
}

int TZRRunForm::CurrentIndexOf(const PlaybackView& view) const {
    if (&view == this)
        return FSequence.CurrentIndex();
    for (const OtherView& other : FOtherViews)
        if (other.View.get() == &view)
            return FSequence.CurrentIndex(other.Lane);
    return -1;
}

bool TZRRunForm::eventFilter(QObject* watched, QEvent* event) {
    // Input reaches the top-level window first and is then passed on to the
    // widgets; looking only at the window sees each event once.
    if (!watched->isWindowType())
        return false;
    const std::optional<InputMessage> message = InputMessageFromEvent(*event);
    if (!message)
        return false;
    bool handled = false;
    ApplicationEvents1Message(message->Message, message->WParam, handled);
    return handled;
}

void TZRRunForm::ApplicationEvents1Message(std::uint32_t message, std::uintptr_t wParam,
                                           bool& handled) {
    // Inside the daemon's window the daemon watches the input and ends us.
    if (!isVisible() || FReportingError || Embedded())
        return;
    const ExitDecision decision = DecideExit(message, wParam, Settings, MouseMoveAllowance);
    handled = decision.Handled;
    if (decision.Close)
        close();
}

void TZRRunForm::MouseTimerTimer() {
    MouseMoveAllowance = MouseMoveAllowanceStart;
}

void TZRRunForm::FormShow() {
    FShown = true;
    FFailures = 0;
    FOffline = false;
    FFresh.reset();
    if (!SettingsFile)
        LoadSettings();
    if (Settings.Mute) {
        FServices.HoldMute(true);
        FMuteHeld = true;
    }
    MouseMoveAllowance = MouseMoveAllowanceStart;
    // The allowance counts motion as the pointer reports it; Qt would merge
    // a burst of reported positions into one event.
    FCompressedMotion = QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents);
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    if (Embedded()) {
        Panel2->raise();
        LayOutPlayer(Settings.VideoSize, size());
    } else {
        if (!Settings.ShowCursor && !PreviewFromConfig)
            ShowCursor(false);
        SetTopmost(winId(), true);
        Panel2->raise();
        LayOutPlayer(Settings.VideoSize, FServices.ScreenSize());
        // A shown form is the active one, so keys reach it (and the exit
        // policy) without a click first.
        activateWindow();
        ScreensChanged();
        PowerTimer->start();
    }
    SetShade(0);
    FExtras = ReadShowExtras();
    if (FExtras.Fade > 0) {
        FLastFadeStep = FServices.Now();
        FadeTimer->start();
    }
    FocusPlayer();
    Timer1->start();
}

void TZRRunForm::ScreensChanged() {
    if (!FShown || Embedded())
        return;
    std::vector<ScreenArea> screens;
    if (ConfiguredScreenCoverage() == ScreenCoverage::All)
        screens = FServices.OtherScreens();
    const auto gone = [&](const OtherView& view) {
        return std::none_of(screens.begin(), screens.end(),
                            [&](const ScreenArea& s) { return s.Name == view.Screen; });
    };
    for (auto at = FOtherViews.begin(); at != FOtherViews.end();) {
        if (gone(*at)) {
            DisposeOf(*at);
            at = FOtherViews.erase(at);
        } else {
            ++at;
        }
    }
    for (const ScreenArea& screen : screens)
        if (std::none_of(FOtherViews.begin(), FOtherViews.end(),
                         [&](const OtherView& view) { return view.Screen == screen.Name; }))
            OpenOtherView(screen);
}

void TZRRunForm::OpenOtherView(const ScreenArea& screen) {
    // A child window: never blocked by this one while a preview shows it
    // modally, and gone with it.
    auto view = std::make_unique<PlaybackView>(FServices.CreatePlayer, this);
    view->Cover(screen);
    view->SetCaption(Panel2->text());
    view->LayOutPlayer(Settings.VideoSize, screen.Geometry.size());
    view->show();
    SetTopmost(view->winId(), true);
    OtherView& added =
        FOtherViews.emplace_back(OtherView{screen.Name, FSequence.AddLane(), std::move(view)});
    if (FSequence.List().IsOpen() && !FSequence.List().Empty())
        PlayOn(added, FSequence.FirstIndex(added.Lane));
}

void TZRRunForm::CloseOtherViews() {
    for (OtherView& view : FOtherViews)
        DisposeOf(view);
    FOtherViews.clear();
}

void TZRRunForm::DisposeOf(OtherView& view) {
    FSequence.RemoveLane(view.Lane);
    FEndSeen.erase(view.View.get());
    view.View->DestroyPlayer();
    view.View->hide();
    // The input that ends a show may be on its way through this very view's
    // window: it goes once that is over.
    view.View.release()->deleteLater();
}

void TZRRunForm::Timer1Timer() {
    Timer1->setInterval(1000);
    if (!FSequence.List().IsOpen()) {
        FSequence.List().Open();
        if (!FFeedNames)
            FFeedNames = std::make_unique<std::vector<std::string>>(FeedNames());
        if (!FFeedNames->empty())
            DownloadChannel();
        else
            // Nothing will ever connect: say so, and how to mend it.
            SetCaptions(QString::fromUtf8(NoFeedCaption));
    }

    if (FResting)
        return;
    UpdateOverlays();
    if (!Settings.AutoNext && !Settings.Loop)
        for (PlaybackView* view : Views())
            RestartAtEnd(*view);
    AdvanceWhereDue();
}

void TZRRunForm::AdvanceWhereDue() {
    if (!Settings.AutoNext || FSequence.List().Empty())
        return;
    const TShockwaveFlash* current = CurrentPlayer();
    if (current && FSequence.AdvanceDue(Settings.AutoNext, current->FrameNum(), FServices.Now())) {
        if (FFresh)
            TakeOverFresh();
        else
            PlayEntry(*FSequence.NextIndex());
    }
    for (OtherView& other : FOtherViews) {
        const TShockwaveFlash* player = other.View->CurrentPlayer();
        if (player && FSequence.AdvanceDue(Settings.AutoNext, player->FrameNum(), FServices.Now(),
                                           other.Lane))
            PlayOn(other, *FSequence.NextIndex(other.Lane));
    }
}

void TZRRunForm::PowerTimerTimer() {
    const bool off = !FServices.DisplayOn();
    if (off == FResting)
        return;
    FResting = off;
    if (off)
        FRestingSince = FServices.Now();
    else
        FSequence.Postpone(SecondsBetween(FRestingSince, FServices.Now()));
    for (PlaybackView* view : Views())
        if (TShockwaveFlash* player = view->CurrentPlayer())
            player->Rest(off);
}

void TZRRunForm::FadeTimerTimer() {
    if (FResting)
        return;
    const TDateTime now = FServices.Now();
    bool reachedBlack = false;
    const auto step = [&](PlaybackView& view, int lane) {
        const std::optional<double> left = FSequence.SecondsToAdvance(Settings.AutoNext, now, lane);
        view.SetShade(FadeShade(FExtras.Fade, FSequence.SecondsSinceFirstFrame(now, lane), left));
        // Only as the advance falls due: asking every player for its frame
        // at every step would cost mpv a synchronous call each time.
        const std::optional<double> before =
            FSequence.SecondsToAdvance(Settings.AutoNext, FLastFadeStep, lane);
        reachedBlack = reachedBlack || (left && *left < 0 && before && *before >= 0);
    };
    step(*this, ClipSequence::Primary);
    for (OtherView& other : FOtherViews)
        step(*other.View, other.Lane);
    FLastFadeStep = now;
    if (reachedBlack)
        AdvanceWhereDue();
}

void TZRRunForm::UpdateOverlays() {
    UpdateOverlay(*this, ClipSequence::Primary);
    for (OtherView& other : FOtherViews)
        UpdateOverlay(*other.View, other.Lane);
}

void TZRRunForm::UpdateOverlay(PlaybackView& view, int lane) {
    if (InPreviewPane()) {
        view.SetOverlay({});
        return;
    }
    const int index = FSequence.CurrentIndex(lane);
    const Playlist& list = FSequence.List();
    const std::string title =
        index >= 0 && index < list.Count() ? list.Entry(index).Title : std::string();
    QStringList lines;
    for (const std::string& line :
         OverlayLines(FExtras, title, FSequence.SecondsSinceFirstFrame(FServices.Now(), lane),
                      FServices.Now()))
        lines.push_back(QString::fromStdString(line));
    view.SetOverlay(lines);
}

bool TZRRunForm::InPreviewPane() const {
    const QScreen* shown = screen();
    return Embedded() && shown &&
           (2 * width() < shown->size().width() || 2 * height() < shown->size().height());
}

void TZRRunForm::RestartAtEnd(PlaybackView& view) {
    TShockwaveFlash* player = view.CurrentPlayer();
    if (!player || !player->AtEnd()) {
        FEndSeen.erase(&view);
        return;
    }
    const TDateTime now = FServices.Now();
    const auto seen = FEndSeen.try_emplace(&view, now).first;
    if (SecondsBetween(seen->second, now) >= RestartAtEndSeconds) {
        FEndSeen.erase(seen);
        player->Rewind();
    }
}

void TZRRunForm::DownloadChannel() {
    const int count = static_cast<int>(FFeedNames->size());
    const int position = Settings.Channel < count ? Settings.Channel : 0;
    if (position < 0)
        throw std::out_of_range("List index out of bounds (" + std::to_string(position) + ")");
    FFeedName = (*FFeedNames)[position];
    FetchFeed();
}

void TZRRunForm::FetchFeed() {
    // Input handled while the download pumps events may close the window;
    // whatever the download brings after that belongs to a finished show.
    const std::uint64_t show = FShowNumber;
    const QScopedValueRollback downloading(FDownloading, true);
    StallTimer->start();
    try {
        DownloadFeed(http, FFeedName, DownloadVariant::Playback,
                     [this, show](std::istream& document) {
                         if (show == FShowNumber)
                             FeedArrived(document);
                     });
    } catch (const std::exception& e) {
        if (show == FShowNumber) {
            StallTimer->stop();
            FeedFailed(e.what());
        }
        return;
    }
    if (show == FShowNumber)
        StallTimer->stop();
}

void TZRRunForm::FeedArrived(std::istream& document) {
    auto bytes = std::make_shared<const std::string>(TakeStreamText(document));
    const std::uint64_t show = FShowNumber;
    FLoader.Run(
        [bytes, feeds = FServices.Feeds, address = FeedAddress(FFeedName)] {
            Playlist list = ListOfFeed(*bytes);
            feeds->Keep(address, *bytes); // only a document that reads is kept
            return list;
        },
        [this, show](Playlist list) {
            if (show == FShowNumber)
                Guarded([&] { ListArrived(std::move(list)); });
        },
        [this, show](const std::string& text) {
            if (show == FShowNumber)
                Guarded([&] { FeedFailed(text); });
        });
}

void TZRRunForm::ListArrived(Playlist list) {
    if (!Playing())
        ShowList(std::move(list));
    else
        // A clip plays (a saved one): the fresh list waits for the next
        // advance rather than cut it.
        FFresh = std::move(list);
    FFailures = 0;
    RetryTimer->stop();
}

void TZRRunForm::FeedFailed(const std::string& text) {
    ++FFailures;
    RetryTimer->start(std::chrono::milliseconds(RetryDelay(FFailures)));
    // The saved clips start as soon as they are known, behind the box.
    if (!Playing())
        StartOffline([this, text] { ShowError(text); });
    if (FFailures == 1)
        ReportError(text);
}

void TZRRunForm::RetryTimerTimer() {
    if (FShown && !FDownloading && !FLoader.Busy())
        FetchFeed();
}

void TZRRunForm::StallTimerTimer() {
    if (FShown && FDownloading)
        StartOffline();
}

bool TZRRunForm::Playing() const {
    return FSequence.List().IsOpen() && !FSequence.List().Empty();
}

void TZRRunForm::StartOffline(std::function<void()> none) {
    if (Playing())
        return;
    std::optional<std::string> kept = FServices.Feeds->Kept(FeedAddress(FFeedName));
    if (!kept) {
        if (none)
            none();
        return;
    }
    const std::uint64_t show = FShowNumber;
    const auto nothingSaved = [this, show, none] {
        if (show == FShowNumber && !Playing() && none)
            Guarded(none);
    };
    FKeptLoader.Run(
        [document = std::move(*kept), hd = Settings.HD, loop = Settings.Loop,
         saved = FServices.Cached] { return SavedPart(ListOfFeed(document), hd, loop, saved); },
        [this, show, nothingSaved](Playlist saved) {
            if (show != FShowNumber || Playing())
                return;
            if (saved.Empty())
                return nothingSaved();
            Guarded([&] {
                FOffline = true;
                ShowList(std::move(saved));
                for (PlaybackView* view : Views())
                    view->ShowNotice("Offline: playing saved clips", 5000);
            });
        },
        // A kept document is one that was read: this is damage.
        [nothingSaved](const std::string&) { nothingSaved(); });
}

void TZRRunForm::TakeOverFresh() {
    FSequence.List() = std::move(*FFresh);
    FFresh.reset();
    FOffline = false;
    // The other screens keep their clips until their own advance.
    FSequence.ForgetCurrent();
    PlayEntry(FSequence.FirstIndex(ClipSequence::Primary));
}

void TZRRunForm::FillPlaylist(std::istream& document) {
    ShowList(ListOfFeed(TakeStreamText(document)));
}

void TZRRunForm::ShowList(Playlist list) {
    FSequence.List() = std::move(list);
    FSequence.ForgetCurrent();
    if (FSequence.List().Empty())
        return;
    PlayEntry(FSequence.FirstIndex(ClipSequence::Primary));
    for (OtherView& other : FOtherViews)
        PlayOn(other, FSequence.FirstIndex(other.Lane));
}

void TZRRunForm::PlayEntry(int index) {
    FSequence.SetCurrentIndex(index);
    if (!FSequence.List().IsOpen())
        return;
    const PlayerClip clip = FSequence.Play(index, Settings.HD, Settings.Loop);
    CreatePlayer();
    CurrentPlayer()->SetMovie(clip);
    if (FResting)
        CurrentPlayer()->Rest(true);
}

void TZRRunForm::PlayOn(OtherView& other, int index) {
    const PlayerClip clip = FSequence.Play(index, Settings.HD, Settings.Loop, other.Lane);
    PlaybackView* view = other.View.get();
    view->ReplacePlayer(
        [this, view](std::int32_t state) {
            Guarded([this, view, state] { OtherReadyStateChange(view, state); });
        },
        true);
    view->CurrentPlayer()->SetMovie(clip);
    if (FResting)
        view->CurrentPlayer()->Rest(true);
}

void TZRRunForm::CreatePlayer() {
    ReplacePlayer(
        [this](std::int32_t state) { Guarded([this, state] { flashReadyStateChange(state); }); });
}

void TZRRunForm::FocusPlayer() {
    PlaybackView::FocusPlayer();
}

void TZRRunForm::flashReadyStateChange(std::int32_t newState) {
    FSequence.ReadyStateChanged(newState, FServices.Now());
    Panel2->hide();
    // The title comes with the clip's first frame, not at the next tick.
    UpdateOverlay(*this, ClipSequence::Primary);
}

void TZRRunForm::OtherReadyStateChange(PlaybackView* view, std::int32_t newState) {
    for (const OtherView& other : FOtherViews)
        if (other.View.get() == view) {
            FSequence.ReadyStateChanged(newState, FServices.Now(), other.Lane);
            UpdateOverlay(*view, other.Lane);
        }
    view->Panel2->hide();
}

void TZRRunForm::SetCaptions(const QString& text) {
    for (PlaybackView* view : Views())
        view->SetCaption(text);
}

void TZRRunForm::httpStatus(ClientStatus, const std::string& text) {
    SetCaptions(QString::fromStdString(text));
}

void TZRRunForm::httpWorkBegin(WorkMode, std::int64_t expected) {
    FPanel2Tag = expected;
}

void TZRRunForm::httpWork(WorkMode, std::int64_t count) {
    StallTimer->start(); // bytes came
    SetCaptions(QString("Progress: %1 of %2").arg(count).arg(FPanel2Tag));
}

void TZRRunForm::FormClose() {
    FShown = false;
    ++FShowNumber;
    Timer1->stop();
    Timer1->setInterval(50);
    RetryTimer->stop();
    StallTimer->stop();
    PowerTimer->stop();
    FLoader.Abandon();
    FKeptLoader.Abandon();
    FadeTimer->stop();
    FResting = false;
    if (FDownloading)
        http.Disconnect(); // the waiting download fails and is abandoned
    CloseOtherViews();
    DestroyPlayer();
    FSequence.Unclaim();
    if (FMuteHeld) {
        FMuteHeld = false;
        FServices.HoldMute(false);
    }
    ShowCursor(true);
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, FCompressedMotion);
    FSequence.List().Release();
}

} // namespace zavrio
