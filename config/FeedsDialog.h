#pragma once
// FeedsDialog: the configuration window's editor of the feed catalogue, so
// that nobody has to open the settings file to add, rename, reorder or remove
// a feed.
//
// The list page shows the catalogue with Add, Rename, Remove, Up and Down;
// every change goes through CatalogueEditor (its rules, Channel kept on the
// same feed, the file written at once) and a refusal is shown under the list.
// Add opens the add page: a name and an address, which may be a web page's;
// "Look up" loads it once (FeedDiscovery.h, over TLS for https whatever the
// settings say, so the dialog can tell what the feed needs) and says what it
// found or why it failed; a page's feeds are offered to pick from. Only then
// can the feed be saved. When the feed is https and SecureTransport is off,
// or its entries carry video files while ClipSource is not "enclosure", a
// ticked check box offers to turn the setting on, with a line saying why.
//
// Lookups block while pumping the event loop, like the window's downloads;
// closing the dialog meanwhile abandons the lookup. Requires SettingsFile.

#include "config/FeedDiscovery.h"
#include "http/TIdHTTP.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace zavrio {

struct FeedsDialogServices {
    // Asks for a line of text; nullopt when the user cancels. Defaults to
    // QInputDialog; tests answer it themselves.
    std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                         const QString& label, const QString& text)>
        AskText;
    // Asks a yes/no question; defaults to QMessageBox.
    std::function<bool(QWidget* parent, const QString& question)> Confirm;
};

class FeedsDialog : public QDialog {
public:
    explicit FeedsDialog(QWidget* parent, FeedsDialogServices services = {});
    ~FeedsDialog() override;

    // True once the catalogue (or a setting) was changed through the dialog.
    bool Changed() const { return changed_; }

    // Actions of the buttons; tests may call them too.
    void AddClick();
    void RenameClick();
    void RemoveClick();
    void MoveClick(int step); // -1 Up, +1 Down
    void LookUpClick();
    void ChoiceChange();
    void SaveClick();
    void CancelAddClick();

    // Controls, for tests.
    QListWidget* feedList = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* renameButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* upButton = nullptr;
    QPushButton* downButton = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* listMessage = nullptr;
    QStackedWidget* pages = nullptr;
    QLineEdit* nameEdit = nullptr;
    QLineEdit* addressEdit = nullptr;
    QPushButton* lookUpButton = nullptr;
    QComboBox* choiceBox = nullptr;
    QLabel* foundLabel = nullptr;
    QCheckBox* secureCheck = nullptr;
    QLabel* secureReason = nullptr;
    QCheckBox* enclosureCheck = nullptr;
    QLabel* enclosureReason = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* cancelAddButton = nullptr;

protected:
    void done(int result) override;

private:
    QWidget* BuildListPage();
    QWidget* BuildAddPage();
    void ShowCatalogue(int selected);
    void UpdateButtons();
    // Runs a change of the catalogue; a refusal or a failed write is shown.
    void Edit(const std::function<void()>& change, int selectAfter);
    void Summarize(const std::string& address);
    void ShowOffers();
    void ResetAddPage();

    FeedsDialogServices services_;
    TIdHTTP http_;
    bool busy_ = false;
    bool changed_ = false;
    std::vector<DiscoveredFeed> choices_;
    std::string chosenAddress_; // set once the chosen feed has loaded
    std::optional<FeedSummary> summary_;
};

} // namespace zavrio
