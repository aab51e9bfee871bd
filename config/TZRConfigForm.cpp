#include "config/TZRConfigForm.h"

#include "config/DescriptionHint.h"
#include "config/FeedsDialog.h"
#include "config/InstallAsScreensaver.h"
#include "config/SkinControls.h"
#include "config/Skins.h"
#include "platform/WindowFunctions.h"
#include "playback/ClipPrefetcher.h"
#include "playback/DownloadFeed.h"
#include "playback/ErrorReportText.h"
#include "playback/MpvPlayer.h"
#include "playback/PanelPlayer.h"
#include "playback/PlaybackFlags.h"
#include "playback/TZRRunForm.h"
#include "settings/SaverSettings.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace zavrio {

namespace {

constexpr int ToolBarHeight = 20;
constexpr int HintDisplayMs = 8000;
// Tight enough that the unrolled options fit the 405-pixel window in every
// skin: squeezed, their rows overlapped (the Preview button ran into the
// group's frame and the Mute box sat above its middle).
constexpr int OptionRowSpacing = 2;

// Hints come 200 ms after the pointer stops over a control.
class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 200;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// Ends a modal show when the window hides (its close hides it).
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            loop_.quit();
        return false;
    }

private:
    QEventLoop& loop_;
};

void showModally(QWidget& window) {
    QEventLoop loop;
    HideWatcher watcher(loop);
    window.installEventFilter(&watcher);
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    if (window.isVisible())
        loop.exec();
    window.removeEventFilter(&watcher);
}

ConfigFormServices withDefaults(ConfigFormServices s, QWidget* owner) {
    if (!s.CreatePlayer)
        s.CreatePlayer = CachedMpvPlayer;
    if (!s.Prefetch)
        s.Prefetch = [](const std::string& address) { ProcessClipPrefetcher().Prefetch(address); };
    if (!s.Now)
        s.Now = LocalNow;
    if (!s.ReportError)
        s.ReportError = StandardErrorReport(owner);
    if (!s.SetTopmost)
        s.SetTopmost = zavrio::SetTopmost;
    if (!s.OpenUrl)
        s.OpenUrl = [](const QUrl& address) { QDesktopServices::openUrl(address); };
    if (!s.InstallAsScreensaver)
        s.InstallAsScreensaver = [] { zavrio::InstallAsScreensaver(); };
    if (!s.CreateRunForm)
        s.CreateRunForm = [] { return std::make_unique<TZRRunForm>(); };
    if (!s.ShowModal)
        s.ShowModal = showModally;
    return s;
}

} // namespace

TZRConfigForm::TZRConfigForm(ConfigFormServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), FServices(withDefaults(std::move(services), this)),
      FClipList(false, FServices.Prefetch) {
    setObjectName("ZRConfigForm");
    setWindowTitle(Caption);
    setWindowIcon(ProgramIcon());
    if (!dynamic_cast<HintTimingStyle*>(QApplication::style()))
        QApplication::setStyle(new HintTimingStyle(QApplication::style()->name()));

    BuildToolBar();
    StatusLine = new QLabel(this); // owned by the window, like every part below
    StatusLine->setObjectName("StatusLine");
    StatusLine->hide();
    Panel1 = new QWidget(this); // owned by the window, like every part below
    Panel1->setObjectName("Panel1");
    PaintBlack(*Panel1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    players_ = std::make_unique<PlayerSwap>(*Panel1, FServices.CreatePlayer);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    BuildOptions();
    BuildMenu();
    BuildTrayMenu();

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });

    http.OnPump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    FClipList.List().Open();
    FClipList.SetCurrentIndex(-1);

    if (FServices.TrayIcon && QSystemTrayIcon::isSystemTrayAvailable()) {
        bsTrayIcon1 = new QSystemTrayIcon(ProgramIcon(), this);
        bsTrayIcon1->setToolTip(Caption);
        connect(bsTrayIcon1, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger)
                        Guarded([this] { bsTrayIcon1Click(); });
                });
        bsTrayIcon1->setContextMenu(bsTrayMenu);
        bsTrayIcon1->show();
    }

    // FormCreate.
    if (FServices.SettingsPath.empty())
        LoadSettings();
    else
        LoadSettings(FServices.SettingsPath);
    ApplySkin(IsSkinIndex(Settings.Skin) ? Settings.Skin : 0);
    CreatePlayer();

    resize(640, 405);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TZRConfigForm::~TZRConfigForm() {
    players_.reset();
}

void TZRConfigForm::BuildToolBar() {
    toolBar_ = new QWidget(this);
    toolBar_->setObjectName("ToolBar");
    toolBar_->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(toolBar_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    bsSkinMenuSpeedButton1 = new QToolButton(toolBar_);
    bsSkinMenuSpeedButton1->setObjectName("bsSkinMenuSpeedButton1");
    bsSkinMenuSpeedButton1->setText(QString::fromUtf8("\u2630"));
    connect(bsSkinMenuSpeedButton1, &QToolButton::clicked, this, [this] {
        bsSkinPopupMenu1->popup(
            bsSkinMenuSpeedButton1->mapToGlobal(bsSkinMenuSpeedButton1->rect().bottomLeft()));
    });

    cb1 = new SkinComboBox(toolBar_);
    cb1->setObjectName("cb1");
    cb1->setMaxVisibleItems(20);
    cb1->setMinimumWidth(150);
    cb1->OnChange = [this] { Guarded([this] { cb1Change(); }); };

    bsSkinSpeedButton1 = new QToolButton(toolBar_);
    bsSkinSpeedButton1->setObjectName("bsSkinSpeedButton1");
    bsSkinSpeedButton1->setText(QString::fromUtf8("\u00bb"));
    bsSkinSpeedButton1->setToolTip("Select clip, click to play next:");
    bsSkinSpeedButton1->setToolTipDuration(HintDisplayMs);
    connect(bsSkinSpeedButton1, &QToolButton::clicked, this,
            [this] { Guarded([this] { bsSkinSpeedButton1Click(); }); });

    cb2 = new SkinComboBox(toolBar_);
    cb2->setObjectName("cb2");
    cb2->setMaxVisibleItems(30);
    cb2->setToolTipDuration(HintDisplayMs);
    cb2->OnChange = [this] { Guarded([this] { cb2Change(); }); };
    auto* rows = new ClipRowDelegate(cb2);
    rows->OnDraw = [this] { cb2ListBoxDrawItem(); };
    cb2->setItemDelegate(rows);

    for (QWidget* control :
         std::initializer_list<QWidget*>{bsSkinMenuSpeedButton1, cb1, bsSkinSpeedButton1, cb2})
        control->setFixedHeight(ToolBarHeight);
    row->addWidget(bsSkinMenuSpeedButton1);
    row->addWidget(cb1);
    row->addWidget(bsSkinSpeedButton1);
    row->addWidget(cb2, 1);
}

void TZRConfigForm::BuildOptions() {
    skingroup = new QGroupBox("Screensaver options", this);
    skingroup->setObjectName("skingroup");
    auto* groupLayout = new QVBoxLayout(skingroup);
    groupLayout->setContentsMargins(4, 4, 4, 4);
    options_ = new QWidget(skingroup);
    groupLayout->addWidget(options_);
    auto* column = new QVBoxLayout(options_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);

    auto check = [](const char* name, const char* caption, QWidget* parent, QBoxLayout* layout) {
        auto* box = new SkinCheckBox(caption, parent);
        box->setObjectName(name);
        layout->addWidget(box);
        return box;
    };

    auto* play = new QGroupBox("Video Play", options_);
    play->setObjectName("VideoPlayGroup");
    auto* playLayout = new QVBoxLayout(play);
    playLayout->setSpacing(OptionRowSpacing);
    // Two columns where the captions are short, so the panel still fits the
    // window in every skin.
    auto* checks = new QGridLayout();
    checks->setContentsMargins(0, 0, 0, 0);
    checks->setVerticalSpacing(OptionRowSpacing);
    const auto gridCheck = [&](const char* name, const char* caption, int row, int column,
                               int columns = 1) {
        auto* box = new SkinCheckBox(caption, play);
        box->setObjectName(name);
        checks->addWidget(box, row, column, 1, columns);
        return box;
    };
    // Made in reading order, which is the order Tab follows.
    LoopCheck = gridCheck("LoopCheck", "Loop", 0, 0);
    TitleCheck = gridCheck("TitleCheck", "Show title", 0, 1);
    NextCheck = gridCheck("NextCheck", "Play next video automatically", 1, 0, 2);
    NextCheck->OnClick = [this] { Guarded([this] { NextCheckClick(); }); };
    HDCheck = gridCheck("HDCheck", "Play HD video", 2, 0);
    ClockCheck = gridCheck("ClockCheck", "Show clock", 2, 1);
    TopCheck = gridCheck("TopCheck", "Stay On Top", 3, 0);
    TopCheck->OnClick = [this] { Guarded([this] { TopCheckClick(); }); };
    playLayout->addLayout(checks);
    auto* lists = new QGridLayout();
    lists->setContentsMargins(0, 0, 0, 0);
    lists->setVerticalSpacing(OptionRowSpacing);
    lists->addWidget(new QLabel("Video size:", play), 0, 0);
    sizeCb = new SkinComboBox(play);
    sizeCb->setObjectName("sizeCb");
    for (const char* size : {"Original", "Double", "Full screen"})
        sizeCb->AddItem(size);
    lists->addWidget(sizeCb, 0, 1);
    lists->addWidget(new QLabel("Fade:", play), 1, 0);
    FadeCb = new SkinComboBox(play);
    FadeCb->setObjectName("FadeCb");
    for (const std::int32_t offered : FadeOffered)
        AddFadeChoice(offered);
    lists->addWidget(FadeCb, 1, 1);
    lists->setColumnStretch(1, 1);
    playLayout->addLayout(lists);
    auto* previewRow = new QHBoxLayout();
    bsSkinXFormButton1 = new QPushButton("Preview", play);
    bsSkinXFormButton1->setObjectName("bsSkinXFormButton1");
    connect(bsSkinXFormButton1, &QPushButton::clicked, this,
            [this] { Guarded([this] { bsSkinXFormButton1Click(); }); });
    previewRow->addWidget(bsSkinXFormButton1);
    MuteCheck = new SkinCheckBox("Mute", play);
    MuteCheck->setObjectName("MuteCheck");
    // Centred on the button's middle, not its top: the button is the taller.
    previewRow->addWidget(MuteCheck, 0, Qt::AlignVCenter);
    playLayout->addLayout(previewRow);
    column->addWidget(play);

    auto* exit = new QGroupBox("Screensaver Exit ", options_);
    exit->setObjectName("ExitGroup");
    auto* exitLayout = new QVBoxLayout(exit);
    exitLayout->setSpacing(OptionRowSpacing);
    ShowCursorCheck =
        check("ShowCursorCheck", "Show cursor && Ignore mouse events", exit, exitLayout);
    KeyboardExitCheck = check("KeyboardExitCheck", "Keyboard Button Press", exit, exitLayout);
    MousePressExitCheck = check("MousePressExitCheck", "Mouse Button Press", exit, exitLayout);
    MouseMoveExitCheck = check("MouseMoveExitCheck", "Mouse Move", exit, exitLayout);
    OnlyEscCheck = check("OnlyEscCheck", "Exit only when press ESC key", exit, exitLayout);
    ShowCursorCheck->OnClick = [this] { Guarded([this] { ShowCursorCheckClick(); }); };
    OnlyEscCheck->OnClick = ShowCursorCheck->OnClick;
    column->addWidget(exit);

    column->addWidget(new QLabel("Version 1.1 - more screensavers at:", options_));
    bsSkinLinkLabel1 = new LinkLabel("www.zavrio.com", options_);
    bsSkinLinkLabel1->setObjectName("bsSkinLinkLabel1");
    bsSkinLinkLabel1->setToolTip("Visit our web site...");
    bsSkinLinkLabel1->OnClick = [this] { FServices.OpenUrl(QUrl(WebAddress)); };
    bsSkinLinkLabel2 = new LinkLabel("Email", options_);
    bsSkinLinkLabel2->setObjectName("bsSkinLinkLabel2");
    bsSkinLinkLabel2->setToolTip("Contact us...");
    bsSkinLinkLabel2->OnClick = [this] { FServices.OpenUrl(QUrl(MailAddress)); };
    auto* links = new QHBoxLayout();
    for (LinkLabel* link : {bsSkinLinkLabel1, bsSkinLinkLabel2}) {
        link->setToolTipDuration(HintDisplayMs);
        links->addWidget(link);
    }
    links->addStretch(1);
    column->addLayout(links);
    bsSkinButton21 = new QPushButton("Save as defalt screensaver && E&xit", options_);
    bsSkinButton21->setObjectName("bsSkinButton21");
    connect(bsSkinButton21, &QPushButton::clicked, this,
            [this] { Guarded([this] { bsSkinButton21Click(); }); });
    column->addWidget(bsSkinButton21);
}

void TZRConfigForm::BuildMenu() {
    bsSkinPopupMenu1 = new QMenu(this);
    bsSkinPopupMenu1->setObjectName("bsSkinPopupMenu1");
    auto item = [this](QMenu* menu, const char* name, const char* caption, int tag,
                       std::function<void()> handler) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setData(tag);
        connect(action, &QAction::triggered, this,
                [this, handler = std::move(handler)] { Guarded(handler); });
        return action;
    };
    item(bsSkinPopupMenu1, "ScreensaverOptions1", "Screensaver options", 0,
         [this] { ScreensaverOptions1Click(); });
    item(bsSkinPopupMenu1, "Feeds1", "Feeds\u2026", 0, [this] { Feeds1Click(); });
    bsSkinPopupMenu1->addSeparator();
    QMenu* skins = bsSkinPopupMenu1->addMenu("More player skins");
    skins->menuAction()->setObjectName("Moreplayerskin1");
    auto* oneSkin = new QActionGroup(skins);
    const char* names[] = {"Skin11", "Skin21", "Skin31", "Skin41"};
    for (int tag = 0; tag < SkinCount; ++tag) {
        const std::string caption = "Skin " + std::to_string(tag + 1);
        QAction* action =
            item(skins, names[tag], caption.c_str(), tag, [this, tag] { Skin31Click(tag); });
        action->setCheckable(true);
        oneSkin->addAction(action);
    }
    bsSkinPopupMenu1->addSeparator();
    item(bsSkinPopupMenu1, "Save1", "Save as default screensaver && Exit", 0,
         [this] { bsSkinButton21Click(); });
    item(bsSkinPopupMenu1, "Exit1", "Exit", 0, [this] { Exit1Click(); });
}

void TZRConfigForm::BuildTrayMenu() {
    bsTrayMenu = new QMenu(this);
    bsTrayMenu->setObjectName("bsTrayMenu");
    const std::pair<const char*, std::function<void()>> items[] = {
        {"Show/Hide", [this] { bsTrayIcon1Click(); }},
        {"Preview", [this] { bsSkinXFormButton1Click(); }},
        {"Exit", [this] { Exit1Click(); }},
    };
    for (const auto& [caption, handler] : items)
        connect(bsTrayMenu->addAction(caption), &QAction::triggered, this,
                [this, handler] { Guarded(handler); });
}

void TZRConfigForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        FServices.ReportError(e.what());
    }
}

void TZRConfigForm::ApplySkin(int index) {
    skinIndex_ = index;
    setStyleSheet(SkinStyleSheet(index));
    // The menu pops up as a window of its own: it takes the sheet itself.
    bsSkinPopupMenu1->setStyleSheet(styleSheet());
    for (QAction* action : bsSkinPopupMenu1->findChildren<QAction*>())
        if (action->isCheckable())
            action->setChecked(action->data().toInt() == index);
    PlaceOptions();
}

void TZRConfigForm::SetRolledUp(bool rolledUp) {
    rolledUp_ = rolledUp;
    PlaceOptions();
}

void TZRConfigForm::PlaceOptions() {
    // The width of the unrolled panel also when it is rolled up, so its
    // caption stays where it was.
    options_->setVisible(true);
    skingroup->ensurePolished();
    const QSize unrolled = skingroup->sizeHint();
    options_->setVisible(!rolledUp_);
    const int height = rolledUp_ ? skingroup->sizeHint().height()
                                 : std::min(unrolled.height(), this->height() - ToolBarHeight);
    skingroup->setGeometry(width() - unrolled.width(), ToolBarHeight, unrolled.width(), height);
    skingroup->raise();
}

void TZRConfigForm::SetTopmost(bool on) {
    FServices.SetTopmost(winId(), on);
}

void TZRConfigForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window the window system restores (after minimising) was not shown
    // by the program: only the program's shows run FormShow.
    if (!event->spontaneous()) {
        Guarded([this] { FormShow(); });
        // Hiding unmaps the window and the window manager forgets that it
        // was kept on top; the first show leaves this to the first tick.
        if (FFeedNamesLoaded && TopCheck->isChecked())
            SetTopmost(true);
    }
}

void TZRConfigForm::closeEvent(QCloseEvent* event) {
    if (!FClosing) {
        FClosing = true;
        Guarded([this] { FormClose(); });
    }
    QWidget::closeEvent(event);
}

void TZRConfigForm::keyPressEvent(QKeyEvent* event) {
    // Buttons outside a dialog take only Space; the focused one is pressed
    // on Return as well. Check boxes keep Space alone.
    auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button &&
        !button->isCheckable()) {
        button->animateClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TZRConfigForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    toolBar_->setGeometry(0, 0, width(), ToolBarHeight);
    Panel1->setGeometry(0, ToolBarHeight, width(), std::max(0, height() - ToolBarHeight));
    StatusLine->setGeometry(0, ToolBarHeight, width(), StatusLine->sizeHint().height());
    PlaceOptions();
    FormResize();
}

void TZRConfigForm::FormShow() {
    SettingsToControls();
    Timer1->start();
    SetRolledUp(true);
}

void TZRConfigForm::FormResize() {
    FocusPlayer();
}

void TZRConfigForm::FormClose() {
    Timer1->stop();
    if (FDownloading)
        http.Disconnect(); // the waiting download fails, silently
    ControlsToSettings();
}

void TZRConfigForm::SettingsToControls() {
    LoopCheck->setChecked(Settings.Loop);
    NextCheck->setChecked(Settings.AutoNext);
    HDCheck->setChecked(Settings.HD);
    MuteCheck->setChecked(Settings.Mute);
    TopCheck->setChecked(Settings.StayOnTop);
    MouseMoveExitCheck->setChecked(Settings.MouseMoveExit);
    MousePressExitCheck->setChecked(Settings.MousePressExit);
    KeyboardExitCheck->setChecked(Settings.KeyboardPressExit);
    ShowCursorCheck->setChecked(Settings.ShowCursor);
    OnlyEscCheck->setChecked(Settings.OnlyEscKeyExit);
    ShowCursorCheckClick();
    sizeCb->SetItemIndex(Settings.VideoSize);
    const ShowExtras extras = ReadShowExtras();
    FadeCb->SetItemIndex(FadeChoice(extras.Fade));
    TitleCheck->setChecked(extras.Title);
    ClockCheck->setChecked(extras.Clock);
}

int TZRConfigForm::FadeChoice(std::int32_t fadeMs) {
    const auto at = std::find(fadeChoices_.begin(), fadeChoices_.end(), fadeMs);
    if (at != fadeChoices_.end())
        return static_cast<int>(at - fadeChoices_.begin());
    // A length set by hand is shown and kept as it is.
    AddFadeChoice(fadeMs);
    return static_cast<int>(fadeChoices_.size()) - 1;
}

void TZRConfigForm::AddFadeChoice(std::int32_t fadeMs) {
    fadeChoices_.push_back(fadeMs);
    FadeCb->AddItem(fadeMs == 0 ? QString("Off") : QString("%1 s").arg(fadeMs / 1000.0));
}

void TZRConfigForm::ControlsToSettings() {
    Settings.Loop = LoopCheck->isChecked();
    Settings.AutoNext = NextCheck->isChecked();
    Settings.HD = HDCheck->isChecked();
    Settings.Mute = MuteCheck->isChecked();
    Settings.StayOnTop = TopCheck->isChecked();
    Settings.MouseMoveExit = MouseMoveExitCheck->isChecked();
    Settings.MousePressExit = MousePressExitCheck->isChecked();
    Settings.KeyboardPressExit = KeyboardExitCheck->isChecked();
    Settings.ShowCursor = ShowCursorCheck->isChecked();
    Settings.OnlyEscKeyExit = OnlyEscCheck->isChecked();
    Settings.VideoSize = sizeCb->ItemIndex();
    const int fade = FadeCb->ItemIndex();
    WriteShowExtras({fade >= 0 ? fadeChoices_[static_cast<std::size_t>(fade)] : 0,
                     TitleCheck->isChecked(), ClockCheck->isChecked()});
    SaveSettings();
}

void TZRConfigForm::Timer1Timer() {
    Timer1->setInterval(1000);
    if (!FFeedNamesLoaded) {
        FFeedNamesLoaded = true;
        ShowFeedNames();
        if (Settings.StayOnTop)
            SetTopmost(true);
    }

    // Nothing moves on while the window is put away (its clip waits).
    const TShockwaveFlash* current = CurrentPlayer();
    if (!isVisible() || !current ||
        !FClipList.AdvanceDue(Settings.AutoNext, current->FrameNum(), FServices.Now()))
        return;
    FClipList.SetCurrentIndex(cb2->ItemIndex());
    if (const std::optional<int> next = FClipList.NextIndex())
        cb2->SetItemIndex(*next);
}

void TZRConfigForm::ShowFeedNames() {
    cb1->ClearItems();
    const std::vector<std::string> names = FeedNames();
    for (const std::string& name : names)
        cb1->AddItem(QString::fromStdString(name));
    if (!names.empty()) {
        const int count = static_cast<int>(names.size());
        cb1->SetItemIndex(Settings.Channel < count ? Settings.Channel : 0);
    }
    // No feed left (the last one removed): none of its clips stays either.
    if (names.empty() && !FClipList.List().Empty()) {
        cb2->ClearItems();
        cb2->setToolTip(QString());
        FClipList.List().Clear();
        FClipList.SetCurrentIndex(-1);
        CreatePlayer();
    }
    // A first run has nothing to play: the clip list says where feeds come from.
    cb2->setPlaceholderText(
        names.empty() ? QString::fromUtf8("No feeds yet: add one with \u2630 \u2192 Feeds\u2026")
                      : QString());
}

void TZRConfigForm::cb1Change() {
    if (http.Connected())
        http.Disconnect();
    Settings.Channel = cb1->ItemIndex();
    const std::string name = cb1->currentText().toStdString();
    const std::uint64_t choice = ++FFeedChoice;
    const QScopedValueRollback downloading(FDownloading, true);
    DownloadFeed(
        http, name, DownloadVariant::Config,
        [this](std::istream& document) {
            if (!FClosing)
                FillClipList(document);
        },
        [this, name, choice](const std::string& text) {
            if (!FClosing && choice == FFeedChoice)
                FeedFailed(name, text);
        });
}

void TZRConfigForm::FeedFailed(const std::string& name, const std::string& text) {
    QString line = QString::fromStdString(name + ": " + ErrorReportText(text));
    line.replace('\n', ' ');
    StatusLine->setText(line);
    StatusLine->show();
    StatusLine->raise();
    skingroup->raise();
    cb2->ClearItems();
    cb2->setToolTip(QString());
    FClipList.List().Clear();
    FClipList.SetCurrentIndex(-1);
    // Nothing of the feed chosen before plays on, nor stays on screen.
    players_->Clear();
    CreatePlayer();
}

void TZRConfigForm::FillClipList(std::istream& document) {
    RSS.LoadFromStream(document);
    StatusLine->clear();
    StatusLine->hide();
    cb2->ClearItems();
    FClipList.List().Fill(RSS.Items());
    FClipList.SetCurrentIndex(-1);
    for (const PlaylistEntry& entry : FClipList.List().Entries())
        cb2->AddItem(QString::fromStdString(entry.Text));
    if (!FClipList.List().Empty())
        cb2->SetItemIndex(0);
}

void TZRConfigForm::cb2Change() {
    const int i = cb2->ItemIndex();
    if (i < 0)
        return; // the list was emptied: nothing to play
    const PlayerClip clip = FClipList.Play(i, Settings.HD, Settings.Loop);
    CreatePlayer();
    CurrentPlayer()->SetMovie(clip);
    // After a feed that downloaded but did not parse, the list is the old
    // feed's and the feed component may hold fewer entries: no hint then.
    const auto& items = RSS.Items();
    cb2->setToolTip(i < items.Count()
                        ? QString::fromStdString(DescriptionHint(items.Items(i).Description()))
                        : QString());
    setWindowTitle(Caption);
}

void TZRConfigForm::cb2ListBoxDrawItem() {
    // The open list is not to be covered by the hint of the closed one.
    cb2->setToolTip(QString());
}

void TZRConfigForm::CreatePlayer() {
    players_->Replace(
        [this](std::int32_t state) { Guarded([this, state] { flashReadyStateChange(state); }); });
    skingroup->raise();
    FocusPlayer();
}

void TZRConfigForm::FocusPlayer() {
    FocusPanelPlayer(*this, *Panel1, CurrentPlayer());
}

void TZRConfigForm::flashReadyStateChange(std::int32_t newState) {
    FClipList.ReadyStateChanged(newState, FServices.Now());
}

void TZRConfigForm::bsSkinSpeedButton1Click() {
    if (cb2->count() == 0)
        return;
    FClipList.SetCurrentIndex(cb2->ItemIndex());
    cb2->SetItemIndex(FClipList.NextIndex(true).value_or(0));
}

void TZRConfigForm::NextCheckClick() {
    Settings.AutoNext = NextCheck->isChecked();
}

void TZRConfigForm::TopCheckClick() {
    SetTopmost(TopCheck->isChecked());
}

void TZRConfigForm::ShowCursorCheckClick() {
    const bool free = !ShowCursorCheck->isChecked() && !OnlyEscCheck->isChecked();
    MouseMoveExitCheck->setEnabled(free);
    MousePressExitCheck->setEnabled(free);
    KeyboardExitCheck->setEnabled(free);
}

void TZRConfigForm::bsSkinXFormButton1Click() {
    ControlsToSettings();
    PreviewFromConfig = true;
    if (!runForm_)
        runForm_ = FServices.CreateRunForm();
    SetTopmost(false);
    FServices.ShowModal(*runForm_);
    SetTopmost(Settings.StayOnTop);
}

void TZRConfigForm::bsSkinButton21Click() {
    FServices.InstallAsScreensaver();
    close();
}

void TZRConfigForm::Exit1Click() {
    close();
}

void TZRConfigForm::ScreensaverOptions1Click() {
    SetRolledUp(!rolledUp_);
}

void TZRConfigForm::Skin31Click(int tag) {
    if (IsSkinIndex(tag))
        ApplySkin(tag);
    Settings.Skin = skinIndex_;
}

void TZRConfigForm::Feeds1Click() {
    if (feedsDialog_ && feedsDialog_->isVisible())
        return;
    delete feedsDialog_; // the last one, closed
    feedsDialog_ = new FeedsDialog(this);
    connect(feedsDialog_, &QDialog::finished, this, [this] {
        if (feedsDialog_->Changed())
            Guarded([this] { ShowFeedNames(); });
    });
    feedsDialog_->open();
}

void TZRConfigForm::bsTrayIcon1Click() {
    // On X11 the window's own entry is its task-bar button.
    setVisible(!isVisible());
    // A window put away is neither seen nor heard: its clip waits for it.
    if (TShockwaveFlash* player = CurrentPlayer())
        player->Rest(!isVisible());
}

} // namespace zavrio
