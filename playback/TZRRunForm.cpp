#include "playback/TZRRunForm.h"

#include "playback/DownloadFeed.h"
#include "playback/EntryClip.h"
#include "playback/ExitPolicy.h"
#include "playback/MpvPlayer.h"
#include "playback/PanelPlayer.h"
#include "playback/PlaybackFlags.h"
#include "playback/PlayerLayout.h"
#include "playback/QtInputMessage.h"
#include "playback/StandardErrorReport.h"

#include "platform/CursorDisplay.h"
#include "platform/SoundFunctions.h"
#include "platform/WindowFunctions.h"
#include "settings/SaverSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QVBoxLayout>

#include <atomic>
#include <cstdlib>

#include <stdexcept>

namespace zavrio {

namespace {

void paintBlack(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(0, 0);
}

// A mute toggled by a show and not yet toggled back. When the program is
// ended by anything but its own close (the X connection cut by the
// screensaver daemon makes the X library call exit), the toggle is given back
// on the way out.
// Only the real toggle is owed this way (tests bring their own).
std::atomic<bool> muteOwed{false};

void giveBackOwedMute() {
    if (muteOwed.exchange(false))
        ToggleMute(0);
}

RunFormServices withDefaults(RunFormServices s, QWidget* owner) {
    if (!s.CreatePlayer)
        s.CreatePlayer = CachedMpvPlayer;
    if (!s.Prefetch)
        s.Prefetch = [](const std::string& address) { ProcessClipCache()->Prefetch(address); };
    if (!s.Now)
        s.Now = LocalNow;
    if (!s.ReportError)
        s.ReportError = StandardErrorReport(owner);
    if (!s.ScreenSize)
        s.ScreenSize = primaryScreenSize;
    if (!s.ToggleMute)
        s.ToggleMute = zavrio::ToggleMute;
    return s;
}

} // namespace

TZRRunForm::TZRRunForm(RunFormServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      FRealMute(!services.ToggleMute), FServices(withDefaults(std::move(services), this)) {
    setWindowTitle("ZRRunForm");
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    setFont(font);
    paintBlack(*this);
    // A maximised popup covers the whole monitor, task bar included; on X11
    // that is the full-screen state.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);

    Panel1 = new QWidget(this); // owned by the window, like every part below
    paintBlack(*Panel1);
    Panel1->setGeometry(0, 0, 21, 17);
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);

    Panel2 = new QLabel(QString::fromUtf8(WelcomeCaption), this);
    paintBlack(*Panel2);
    Panel2->setAlignment(Qt::AlignCenter);
    QPalette aqua = Panel2->palette();
    aqua.setColor(QPalette::WindowText, QColor(0, 255, 255));
    Panel2->setPalette(aqua);
    Panel2->setGeometry(rect());
    Panel2->raise();

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });

    MouseTimer = new QTimer(this);
    MouseTimer->setInterval(3000);
    connect(MouseTimer, &QTimer::timeout, this, [this] { MouseTimerTimer(); });
    MouseTimer->start();

    http.OnStatus = [this](ClientStatus status, const std::string& text) {
        httpStatus(status, text);
    };
    http.OnWorkBegin = [this](WorkMode mode, std::int64_t n) { httpWorkBegin(mode, n); };
    http.OnWork = [this](WorkMode mode, std::int64_t n) { httpWork(mode, n); };
    http.OnPump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };

    CreatePlayer();
    qApp->installEventFilter(this);
}

TZRRunForm::~TZRRunForm() {
    qApp->removeEventFilter(this);
    flash.reset();
}

void TZRRunForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void TZRRunForm::ReportError(const std::string& text) {
    // The exit policy stays out of the way while the box is up, so the key
    // or click that dismisses it does not also end the screensaver.
    const QScopedValueRollback reporting(FReportingError, true);
    FServices.ReportError(text);
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
    QWidget::resizeEvent(event);
    Panel2->setGeometry(rect());
    if (Embedded() && FShown)
        LayOutPlayer(size());
    else if (FPanel1Fills)
        Panel1->setGeometry(rect());
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

void TZRRunForm::LayOutPlayer(QSize area) {
    if (const auto layout = PlayerPanelLayout(Settings.VideoSize, area.width(), area.height())) {
        FPanel1Fills = layout->FillClient;
        if (FPanel1Fills)
            Panel1->setGeometry(rect());
        else
            Panel1->setGeometry(layout->Left, layout->Top, layout->Width, layout->Height);
    }
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
    if (!SettingsFile)
        LoadSettings();
    if (Settings.Mute) {
        FServices.ToggleMute(winId());
        if (FRealMute) {
            static const bool netSet = [] { return std::atexit(giveBackOwedMute) == 0; }();
            muteOwed = netSet;
        }
    }
    MouseMoveAllowance = MouseMoveAllowanceStart;
    if (Embedded()) {
        Panel2->raise();
        LayOutPlayer(size());
    } else {
        if (!Settings.ShowCursor && !PreviewFromConfig)
            ShowCursor(false);
        SetTopmost(winId(), true);
        Panel2->raise();
        LayOutPlayer(FServices.ScreenSize());
        // A shown form is the active one, so keys reach it (and the exit
        // policy) without a click first.
        activateWindow();
    }
    FocusPlayer();
    Timer1->start();
}

void TZRRunForm::Timer1Timer() {
    Timer1->setInterval(1000);
    if (!FPlaylist.IsOpen()) {
        FPlaylist.Open();
        if (!FFeedNames)
            FFeedNames = std::make_unique<std::vector<std::string>>(FeedNames());
        if (!FFeedNames->empty())
            DownloadChannel();
    }

    if (!Settings.AutoNext || !flash || FPlaylist.Empty())
        return;
    if (FPlaylist.AdvanceDue(Settings.AutoNext, flash->FrameNum(), FServices.Now()))
        PlayEntry(*FPlaylist.NextIndex(true));
}

void TZRRunForm::DownloadChannel() {
    const int count = static_cast<int>(FFeedNames->size());
    const int position = Settings.Channel < count ? Settings.Channel : 0;
    if (position < 0)
        throw std::out_of_range("List index out of bounds (" + std::to_string(position) + ")");

    // Input handled while the download pumps events may close the window;
    // whatever the download brings after that belongs to a finished show.
    const std::uint64_t show = FShowNumber;
    const QScopedValueRollback downloading(FDownloading, true);
    try {
        DownloadFeed(http, (*FFeedNames)[position], DownloadVariant::Playback,
                     [this, show](std::istream& document) {
                         if (show == FShowNumber)
                             FillPlaylist(document);
                     });
    } catch (...) {
        if (show == FShowNumber)
            throw;
    }
}

void TZRRunForm::FillPlaylist(std::istream& document) {
    RSS.LoadFromStream(document);
    if (!FPlaylist.IsOpen())
        FPlaylist.Open();
    FPlaylist.Clear();
    const auto& items = RSS.Items();
    for (int i = 0; i < items.Count(); ++i)
        FPlaylist.Add(items.Items(i).Title(), items.Items(i).Link(),
                      EntryVideoAddress(items.Items(i)));
    if (!FPlaylist.Empty())
        PlayEntry(0);
}

void TZRRunForm::PlayEntry(int index) {
    FPlaylist.SetCurrentIndex(index);
    if (!FPlaylist.IsOpen())
        return;
    const PlayerClip clip = FPlaylist.ClipOf(index, Settings.HD, Settings.Loop);
    CreatePlayer();
    flash->SetMovie(clip);
    if (const std::optional<int> next = FPlaylist.NextIndex(true); next && *next != index)
        FServices.Prefetch(FPlaylist.ClipOf(*next, Settings.HD, Settings.Loop).Address);
}

void TZRRunForm::CreatePlayer() {
    flash.reset();
    flash = MakePanelPlayer(FServices.CreatePlayer, *Panel1, [this](std::int32_t state) {
        Guarded([this, state] { flashReadyStateChange(state); });
    });
    FocusPlayer();
}

void TZRRunForm::FocusPlayer() {
    FocusPanelPlayer(*this, *Panel1, flash.get());
}

void TZRRunForm::flashReadyStateChange(std::int32_t newState) {
    FPlaylist.ReadyStateChanged(newState, FServices.Now());
    Panel2->hide();
}

void TZRRunForm::httpStatus(ClientStatus, const std::string& text) {
    Panel2->setText(QString::fromStdString(text));
}

void TZRRunForm::httpWorkBegin(WorkMode, std::int64_t expected) {
    FPanel2Tag = expected;
}

void TZRRunForm::httpWork(WorkMode, std::int64_t count) {
    Panel2->setText(QString("Progress: %1 of %2").arg(count).arg(FPanel2Tag));
}

void TZRRunForm::FormClose() {
    FShown = false;
    ++FShowNumber;
    Timer1->stop();
    Timer1->setInterval(50);
    if (FDownloading)
        http.Disconnect(); // the waiting download fails and is abandoned
    flash.reset();
    // The system's toggle goes back once, by whichever comes first: this
    // close or the exit.
    const bool owed = muteOwed.exchange(false);
    if (Settings.Mute && (owed || !FRealMute))
        FServices.ToggleMute(winId());
    ShowCursor(true);
    FPlaylist.Release();
}

} // namespace zavrio
