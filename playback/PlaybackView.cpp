#include "playback/PlaybackView.h"

#include "playback/PlayerLayout.h"

#include <QResizeEvent>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace zavrio {

PlaybackView::PlaybackView(PlayerFactory createPlayer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle("ZRRunForm");
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    setFont(font);
    PaintBlack(*this);

    Panel1 = new QWidget(this); // owned by the window, like every part below
    PaintBlack(*Panel1);
    Panel1->setGeometry(0, 0, 21, 17);
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    players_ = std::make_unique<PlayerSwap>(*Panel1, std::move(createPlayer));

    Panel2 = new QLabel(QString::fromUtf8(WelcomeCaption), this);
    PaintBlack(*Panel2);
    Panel2->setAlignment(Qt::AlignCenter);
    QPalette aqua = Panel2->palette();
    aqua.setColor(QPalette::WindowText, QColor(0, 255, 255));
    Panel2->setPalette(aqua);
    Panel2->setGeometry(rect());
    Panel2->raise();

    ErrorLine = new QLabel(this);
    ErrorLine->setObjectName("ErrorLine");
    PaintBlack(*ErrorLine);
    ErrorLine->setAlignment(Qt::AlignCenter);
    ErrorLine->setWordWrap(true);
    QPalette white = ErrorLine->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    ErrorLine->setPalette(white);
    ErrorLine->hide();

    Notice = new QLabel(this);
    Notice->setObjectName("Notice");
    Notice->setPalette(white);
    Notice->setStyleSheet("background: rgba(0, 0, 0, 160); padding: 6px;");
    Notice->hide();
    noticeTimer_ = new QTimer(this);
    noticeTimer_->setSingleShot(true);
    connect(noticeTimer_, &QTimer::timeout, Notice, &QWidget::hide);

    Overlay = new OutlinedText(this);
    Overlay->setObjectName("Overlay");
    Overlay->hide();
}

PlaybackView::~PlaybackView() {
    players_.reset();
}

void PlaybackView::Cover(const ScreenArea& screen) {
    // Chosen before the geometry: a window that is not shown yet takes the
    // screen its geometry lies on, and a Wayland compositor ignores the
    // position anyway and puts a full-screen window on the output it is
    // asked for, which Qt takes from the window's screen.
    if (screen.Screen)
        setScreen(screen.Screen);
    // A maximised popup covers the whole monitor, task bar included; on X11
    // that is the full-screen state.
    setGeometry(screen.Geometry);
    setWindowState(Qt::WindowFullScreen);
}

bool PlaybackView::event(QEvent* event) {
    // Qt replaces a window's native window when a player brings OpenGL into
    // it, and the new one starts in no state at all: the full-screen state is
    // asked for again, or a Wayland compositor would show an ordinary window.
    if (event->type() == QEvent::WinIdChange && windowState().testFlag(Qt::WindowFullScreen))
        if (QWindow* native = windowHandle(); native && native->windowStates() != windowState())
            native->setWindowStates(windowState());
    return QWidget::event(event);
}

void PlaybackView::LayOutPlayer(int videoSize, QSize area) {
    if (const auto layout = PlayerPanelLayout(videoSize, area.width(), area.height())) {
        panel1Fills_ = layout->FillClient;
        if (panel1Fills_)
            Panel1->setGeometry(rect());
        else
            Panel1->setGeometry(layout->Left, layout->Top, layout->Width, layout->Height);
    }
    PlaceLines();
}

void PlaybackView::PlaceLines() {
    ErrorLine->setGeometry(Panel1->geometry());
    QFont large = Overlay->font();
    large.setPixelSize(std::max(14, height() / 24));
    Overlay->setFont(large);
    PlaceInCorner(*Overlay, corner_);
    PlaceInCorner(*Notice, corner_ + 2);
}

void PlaybackView::PlaceInCorner(QWidget& widget, int corner) {
    widget.adjustSize();
    constexpr int margin = 24;
    const QRect area = rect().adjusted(margin, margin, -margin, -margin);
    const QSize size = widget.size();
    const QPoint corners[] = {
        area.topLeft(),
        {area.right() - size.width(), area.top()},
        {area.right() - size.width(), area.bottom() - size.height()},
        {area.left(), area.bottom() - size.height()},
    };
    widget.move(corners[corner % 4]);
}

void PlaybackView::ShowError(const QString& text) {
    if (Panel2->isVisible()) {
        Panel2->setText(text);
        return;
    }
    ErrorLine->setText(text);
    PlaceLines();
    ErrorLine->show();
    ErrorLine->raise();
}

void PlaybackView::ShowNotice(const QString& text, int msec) {
    Notice->setText(text);
    ++corner_;
    PlaceLines();
    Notice->show();
    Notice->raise();
    noticeTimer_->start(msec);
}

void PlaybackView::SetOverlay(const QStringList& lines) {
    Overlay->SetLines(lines);
    Overlay->setVisible(!lines.isEmpty());
    if (lines.isEmpty())
        return;
    PlaceLines();
    Overlay->raise();
}

void PlaybackView::ReplacePlayer(std::function<void(std::int32_t)> onReadyState, bool silent) {
    TShockwaveFlash& player = players_->Replace(std::move(onReadyState));
    if (silent)
        player.SetSilent();
    SetShade(shade_);
    ErrorLine->hide();
    ++corner_;
    PlaceLines();
    if (Notice->isVisible())
        Notice->raise();
    FocusPlayer();
}

void PlaybackView::SetShade(double shade) {
    shade_ = shade;
    for (TShockwaveFlash* player : {players_->Current(), players_->Held()})
        if (player)
            player->SetShade(player->ShowsLoadError() ? 0 : shade);
}

void PlaybackView::DestroyPlayer() {
    players_->Clear();
}

void PlaybackView::FocusPlayer() {
    FocusPanelPlayer(*this, *Panel1, players_->Current());
}

void PlaybackView::SetCaption(const QString& text) {
    Panel2->setText(text);
}

void PlaybackView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Panel2->setGeometry(rect());
    if (panel1Fills_)
        Panel1->setGeometry(rect());
    PlaceLines();
}

} // namespace zavrio
