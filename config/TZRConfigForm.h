#pragma once
// The configuration window, the program's front door: in one skinned window
// the user picks a feed of the catalogue (cb1), sees its clips as a numbered
// list (cb2), watches the chosen clip in an embedded player (Panel1), sets
// every option (the roll-up panel skingroup), previews the screensaver full
// screen, changes the skin and installs the program as the screensaver.
//
// It owns its HTTP client, feed component, player control, clip list, the
// playback window it previews with (made at the first preview) and the
// notification-area icon (where the desktop has a notification area). It
// loads the settings when created; every way of closing it stores and saves
// the options, and it is the only window that saves them.
//
// A feed that fails to download or parse opens no box: a line under the
// lists names the feed and the error, the clip list is emptied (it never
// shows another feed's clips under the chosen feed's name), and the next
// feed that loads clears the line. Other failures inside its handlers (a
// player that cannot start, a settings file that cannot be written) go to
// the standard error report. Closing the window during a download abandons
// the download.

#include "feed/SimpleRSS.h"
#include "http/TIdHTTP.h"
#include "platform/LocalClock.h"
#include "playback/ClipSequence.h"
#include "playback/PanelPlayer.h"
#include "playback/StandardErrorReport.h"
#include "playback/TShockwaveFlash.h"

#include <QGroupBox>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QSystemTrayIcon;

namespace zavrio {

class FeedsDialog;
class LinkLabel;
class SkinCheckBox;
class SkinComboBox;
class TZRRunForm;

// What the window asks of the world; each one defaults to the real thing and
// tests replace the ones they need to watch or control.
struct ConfigFormServices {
    PlayerFactory CreatePlayer;
    // Asks for address to be downloaded ahead (the clip cache), while the
    // clip before it plays.
    std::function<void(const std::string& address)> Prefetch;
    NowFunction Now;
    ErrorReporter ReportError;
    std::function<void(WId window, bool on)> SetTopmost;
    std::function<void(const QUrl& address)> OpenUrl;
    std::function<void()> InstallAsScreensaver;
    // The playback window the previews show (made once, at the first).
    std::function<std::unique_ptr<TZRRunForm>()> CreateRunForm;
    // Shows window modally and returns once it has closed.
    std::function<void(QWidget& window)> ShowModal;
    // False: no notification-area icon (the desktop has no notification area).
    bool TrayIcon = true;
    // The settings file FormCreate loads; empty: the one beside the program.
    std::string SettingsPath;
};

class TZRConfigForm : public QWidget {
public:
    static constexpr const char* Caption = "Zavrio Today Screensaver";
    // The fade lengths the options panel offers, in ms (0: none).
    static constexpr std::int32_t FadeOffered[] = {0, 500, 1000, 2000};
    static constexpr const char* WebAddress = "http://www.zavrio.com/";
    static constexpr const char* MailAddress =
        "mailto:screensaver@zavrio.com?subject=About Zavrio screensaver";

    // FormCreate: loads the settings and applies the stored skin.
    explicit TZRConfigForm(ConfigFormServices services = {}, QWidget* parent = nullptr);
    ~TZRConfigForm() override;

    // Handlers; Qt events and the controls call them, tests may call them too.
    void FormShow();
    void FormClose();
    void FormResize();
    void Timer1Timer();
    void cb1Change();
    void cb2Change();
    void cb2ListBoxDrawItem();
    void flashReadyStateChange(std::int32_t newState);
    void bsSkinSpeedButton1Click();
    void NextCheckClick();
    void TopCheckClick();
    void ShowCursorCheckClick();
    void bsSkinXFormButton1Click();
    void bsSkinButton21Click();
    void Exit1Click();
    void ScreensaverOptions1Click();
    void Skin31Click(int tag);
    void bsTrayIcon1Click();
    // The "Feeds…" menu item: opens the catalogue's editor (FeedsDialog.h)
    // over the window; when it closes having changed the catalogue, the feed
    // list is read again.
    void Feeds1Click();

    // Window operations.
    void SettingsToControls();
    void ControlsToSettings();
    void FillClipList(std::istream& document);
    // The chosen feed (name) did not load: text says why.
    void FeedFailed(const std::string& name, const std::string& text);
    void CreatePlayer();
    void FocusPlayer();
    // cb1 := the catalogue's names, then the stored feed chosen as at the
    // first tick; an empty catalogue shows how to add a feed in the clip list.
    void ShowFeedNames();

    // The skin in effect, 0 to 3.
    int SkinIndex() const { return skinIndex_; }
    bool OptionsRolledUp() const { return rolledUp_; }
    const Playlist& ClipList() const { return FClipList.List(); }
    TShockwaveFlash* CurrentPlayer() const { return players_->Current(); }
    // The outgoing control still on screen while the current one starts.
    TShockwaveFlash* HeldPlayer() const { return players_->Held(); }
    TZRRunForm* RunForm() const { return runForm_.get(); }
    // The open (or last) feeds dialog, null before the first.
    FeedsDialog* FeedsEditor() const { return feedsDialog_; }
    std::int32_t ReadyState() const { return FClipList.ReadyState(); }

    // Controls, for tests.
    QToolButton* bsSkinMenuSpeedButton1 = nullptr;
    SkinComboBox* cb1 = nullptr;
    QToolButton* bsSkinSpeedButton1 = nullptr;
    SkinComboBox* cb2 = nullptr;
    QWidget* Panel1 = nullptr;
    QGroupBox* skingroup = nullptr;
    SkinCheckBox* LoopCheck = nullptr;
    SkinCheckBox* NextCheck = nullptr;
    SkinCheckBox* HDCheck = nullptr;
    SkinCheckBox* TopCheck = nullptr;
    SkinComboBox* sizeCb = nullptr;
    // The fade through black at a change of clip ([player] Fade): "Off",
    // "0.5 s", "1 s", "2 s", and a length set by hand in the file.
    SkinComboBox* FadeCb = nullptr;
    SkinCheckBox* TitleCheck = nullptr; // [overlay] Title
    SkinCheckBox* ClockCheck = nullptr; // [overlay] Clock
    QPushButton* bsSkinXFormButton1 = nullptr;
    SkinCheckBox* MuteCheck = nullptr;
    SkinCheckBox* ShowCursorCheck = nullptr;
    SkinCheckBox* KeyboardExitCheck = nullptr;
    SkinCheckBox* MousePressExitCheck = nullptr;
    SkinCheckBox* MouseMoveExitCheck = nullptr;
    SkinCheckBox* OnlyEscCheck = nullptr;
    LinkLabel* bsSkinLinkLabel1 = nullptr;
    LinkLabel* bsSkinLinkLabel2 = nullptr;
    // Why the chosen feed did not load ("Boats: Socket Error # 111
    // Connection refused."); hidden while there is nothing to say.
    QLabel* StatusLine = nullptr;
    QPushButton* bsSkinButton21 = nullptr;
    QMenu* bsSkinPopupMenu1 = nullptr;
    // The notification-area icon's menu: Show/Hide, Preview, Exit. Made
    // whether or not the desktop has a notification area.
    QMenu* bsTrayMenu = nullptr;
    QTimer* Timer1 = nullptr;
    QSystemTrayIcon* bsTrayIcon1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Return and Enter press the focused button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Guarded(const std::function<void()>& handler);
    void BuildToolBar();
    void BuildOptions();
    void BuildMenu();
    void BuildTrayMenu();
    void ApplySkin(int index);
    void SetRolledUp(bool rolledUp);
    void PlaceOptions();
    void SetTopmost(bool on);
    // FadeCb's entry for a fade length, added when it is none of those offered.
    int FadeChoice(std::int32_t fadeMs);
    void AddFadeChoice(std::int32_t fadeMs);

    ConfigFormServices FServices;
    TIdHTTP http;
    TSimpleRSS RSS;
    std::unique_ptr<PlayerSwap> players_;
    // cb2's entries; the current index is cb2's selection.
    ClipSequence FClipList;
    std::unique_ptr<TZRRunForm> runForm_;
    FeedsDialog* feedsDialog_ = nullptr; // a child of the window
    QWidget* toolBar_ = nullptr;
    QWidget* options_ = nullptr; // skingroup's content, hidden when rolled up
    int skinIndex_ = 0;
    std::vector<std::int32_t> fadeChoices_; // the ms of FadeCb's entries
    bool rolledUp_ = false;
    bool FFeedNamesLoaded = false;
    bool FDownloading = false;
    bool FClosing = false;
    // Counts feed choices, so a download that a later choice cut off does
    // not speak for the feed chosen now.
    std::uint64_t FFeedChoice = 0;
};

} // namespace zavrio
