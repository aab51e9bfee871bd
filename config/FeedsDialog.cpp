#include "config/FeedsDialog.h"

#include "http/Uri.h"
#include "playback/DownloadFeed.h"
#include "playback/EntryClip.h"
#include "settings/CatalogueEditor.h"
#include "settings/SaverSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zavrio {

namespace {

FeedsDialogServices withDefaults(FeedsDialogServices s) {
    if (!s.AskText)
        s.AskText = [](QWidget* parent, const QString& title, const QString& label,
                       const QString& text) -> std::optional<QString> {
            bool ok = false;
            QString answer =
                QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
            return ok ? std::optional<QString>(answer) : std::nullopt;
        };
    if (!s.Confirm)
        s.Confirm = [](QWidget* parent, const QString& question) {
            return QMessageBox::question(parent, "Feeds", question) == QMessageBox::Yes;
        };
    return s;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

FeedsDialog::FeedsDialog(QWidget* parent, FeedsDialogServices services)
    : QDialog(parent), services_(withDefaults(std::move(services))) {
    setObjectName("FeedsDialog");
    setWindowTitle("Feeds");
    http_.OnPump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };

    pages = new QStackedWidget(this);
    pages->addWidget(BuildListPage());
    pages->addWidget(BuildAddPage());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    ShowCatalogue(std::max(0, static_cast<int>(Settings.Channel)));
    resize(460, 300);
}

FeedsDialog::~FeedsDialog() = default;

QWidget* FeedsDialog::BuildListPage() {
    auto* page = new QWidget(this);
    auto* row = new QHBoxLayout(page);
    auto* left = new QVBoxLayout();
    feedList = new QListWidget(page);
    feedList->setObjectName("feedList");
    connect(feedList, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    listMessage = new QLabel(page);
    listMessage->setObjectName("listMessage");
    listMessage->setWordWrap(true);
    left->addWidget(feedList, 1);
    left->addWidget(listMessage);
    row->addLayout(left, 1);

    auto* buttons = new QVBoxLayout();
    addButton = button("addButton", "&Add…", page);
    renameButton = button("renameButton", "&Rename…", page);
    removeButton = button("removeButton", "Re&move", page);
    upButton = button("upButton", "&Up", page);
    downButton = button("downButton", "&Down", page);
    closeButton = button("closeButton", "&Close", page);
    connect(addButton, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(renameButton, &QPushButton::clicked, this, [this] { RenameClick(); });
    connect(removeButton, &QPushButton::clicked, this, [this] { RemoveClick(); });
    connect(upButton, &QPushButton::clicked, this, [this] { MoveClick(-1); });
    connect(downButton, &QPushButton::clicked, this, [this] { MoveClick(+1); });
    connect(closeButton, &QPushButton::clicked, this, [this] { accept(); });
    for (QPushButton* b : {addButton, renameButton, removeButton, upButton, downButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    row->addLayout(buttons);
    return page;
}

QWidget* FeedsDialog::BuildAddPage() {
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    auto* form = new QFormLayout();
    nameEdit = new QLineEdit(page);
    nameEdit->setObjectName("nameEdit");
    nameEdit->setPlaceholderText("filled in from the feed's title");
    addressEdit = new QLineEdit(page);
    addressEdit->setObjectName("addressEdit");
    addressEdit->setPlaceholderText("a feed's or a web page's address");
    form->addRow("&Name:", nameEdit);
    form->addRow("A&ddress:", addressEdit);
    column->addLayout(form);

    lookUpButton = button("lookUpButton", "&Look up", page);
    connect(lookUpButton, &QPushButton::clicked, this, [this] { LookUpClick(); });
    choiceBox = new QComboBox(page);
    choiceBox->setObjectName("choiceBox");
    connect(choiceBox, &QComboBox::activated, this, [this] { ChoiceChange(); });
    auto* lookUpRow = new QHBoxLayout();
    lookUpRow->addWidget(lookUpButton);
    lookUpRow->addWidget(choiceBox, 1);
    column->addLayout(lookUpRow);

    foundLabel = new QLabel(page);
    foundLabel->setObjectName("foundLabel");
    foundLabel->setWordWrap(true);
    column->addWidget(foundLabel);

    secureCheck = new QCheckBox("Turn on SecureTransport", page);
    secureCheck->setObjectName("secureCheck");
    secureReason = new QLabel("This feed is https: the screensaver fetches https feeds only with "
                              "SecureTransport on.",
                              page);
    enclosureCheck = new QCheckBox("Play the entries' own video files", page);
    enclosureCheck->setObjectName("enclosureCheck");
    enclosureReason = new QLabel("Its entries carry video files: they play only with ClipSource "
                                 "set to enclosure.",
                                 page);
    for (QLabel* reason : {secureReason, enclosureReason})
        reason->setWordWrap(true);
    for (QWidget* w : std::initializer_list<QWidget*>{secureCheck, secureReason, enclosureCheck,
                                                      enclosureReason})
        column->addWidget(w);
    column->addStretch(1);

    auto* endRow = new QHBoxLayout();
    saveButton = button("saveButton", "&Save", page);
    cancelAddButton = button("cancelAddButton", "Cancel", page);
    connect(saveButton, &QPushButton::clicked, this, [this] { SaveClick(); });
    connect(cancelAddButton, &QPushButton::clicked, this, [this] { CancelAddClick(); });
    endRow->addStretch(1);
    endRow->addWidget(saveButton);
    endRow->addWidget(cancelAddButton);
    column->addLayout(endRow);
    ResetAddPage();
    return page;
}

void FeedsDialog::ShowCatalogue(int selected) {
    feedList->clear();
    std::int32_t channel = Settings.Channel;
    for (const FeedEntry& feed : CatalogueEditor(*SettingsFile, channel).List()) {
        auto* item = new QListWidgetItem(text(feed.Name), feedList);
        item->setToolTip(text(feed.Address));
    }
    if (feedList->count() > 0)
        feedList->setCurrentRow(std::clamp(selected, 0, feedList->count() - 1));
    UpdateButtons();
}

void FeedsDialog::UpdateButtons() {
    const int row = feedList->currentRow();
    renameButton->setEnabled(row >= 0);
    removeButton->setEnabled(row >= 0);
    upButton->setEnabled(row > 0);
    downButton->setEnabled(row >= 0 && row + 1 < feedList->count());
}

void FeedsDialog::Edit(const std::function<void()>& change, int selectAfter) {
    try {
        change();
        changed_ = true;
        listMessage->clear();
        ShowCatalogue(selectAfter);
    } catch (const std::exception& e) {
        // A refusal (CatalogueError) or a file that could not be written
        // (FileCreateError): the catalogue is as it was.
        listMessage->setText(QString::fromStdString(e.what()));
    }
}

void FeedsDialog::AddClick() {
    ResetAddPage();
    pages->setCurrentIndex(1);
    addressEdit->setFocus();
}

void FeedsDialog::RenameClick() {
    const int row = feedList->currentRow();
    if (row < 0)
        return;
    const std::optional<QString> name =
        services_.AskText(this, "Rename feed", "New name:", feedList->item(row)->text());
    if (!name)
        return;
    Edit(
        [&] {
            CatalogueEditor(*SettingsFile, Settings.Channel)
                .RenameAt(static_cast<std::size_t>(row), name->trimmed().toStdString());
        },
        row);
}

void FeedsDialog::RemoveClick() {
    const int row = feedList->currentRow();
    if (row < 0 ||
        !services_.Confirm(this, "Remove \"" + feedList->item(row)->text() + "\" from the feeds?"))
        return;
    Edit(
        [&] {
            CatalogueEditor(*SettingsFile, Settings.Channel)
                .RemoveAt(static_cast<std::size_t>(row));
        },
        row);
}

void FeedsDialog::MoveClick(int step) {
    const int row = feedList->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= feedList->count())
        return;
    Edit(
        [&] {
            CatalogueEditor(*SettingsFile, Settings.Channel)
                .MoveAt(static_cast<std::size_t>(row), static_cast<std::size_t>(target));
        },
        target);
}

void FeedsDialog::ResetAddPage() {
    nameEdit->clear();
    addressEdit->clear();
    choiceBox->clear();
    choiceBox->hide();
    foundLabel->clear();
    choices_.clear();
    chosenAddress_.clear();
    summary_.reset();
    ShowOffers();
}

void FeedsDialog::LookUpClick() {
    if (busy_)
        return;
    const std::string address = addressEdit->text().trimmed().toStdString();
    choiceBox->clear();
    choiceBox->hide();
    choices_.clear();
    chosenAddress_.clear();
    summary_.reset();
    try {
        CatalogueEditor::CheckAddress(address);
        busy_ = true;
        lookUpButton->setEnabled(false);
        foundLabel->setText("Looking up " + text(address) + "…");
        // Over TLS whatever the settings say: the dialog tells what an https
        // feed holds and then offers the setting it needs.
        const Discovery found = DiscoverFeeds(http_, address, true);
        choices_ = found.Feeds;
        if (found.Summary) {
            chosenAddress_ = address;
            summary_ = found.Summary;
            foundLabel->setText(text(SummaryText(*summary_)));
        } else {
            for (const DiscoveredFeed& feed : choices_)
                choiceBox->addItem(feed.Title.empty() ? text(feed.Address)
                                                      : text(feed.Title + " — " + feed.Address));
            choiceBox->show();
            choiceBox->setCurrentIndex(0);
            Summarize(choices_.front().Address);
        }
        if (nameEdit->text().trimmed().isEmpty() && !choices_.front().Title.empty())
            nameEdit->setText(text(choices_.front().Title).simplified());
    } catch (const std::exception& e) {
        foundLabel->setText(QString::fromStdString(e.what()));
    }
    busy_ = false;
    lookUpButton->setEnabled(true);
    ShowOffers();
}

void FeedsDialog::ChoiceChange() {
    const int i = choiceBox->currentIndex();
    if (busy_ || i < 0 || i >= static_cast<int>(choices_.size()))
        return;
    busy_ = true;
    Summarize(choices_[static_cast<std::size_t>(i)].Address);
    busy_ = false;
    if (!choices_[static_cast<std::size_t>(i)].Title.empty())
        nameEdit->setText(text(choices_[static_cast<std::size_t>(i)].Title).simplified());
    ShowOffers();
}

void FeedsDialog::Summarize(const std::string& address) {
    summary_.reset();
    chosenAddress_.clear();
    try {
        summary_ = SummarizeFeed(http_, address, true);
        chosenAddress_ = address;
        foundLabel->setText(text(SummaryText(*summary_)));
    } catch (const DiscoveryError& e) {
        foundLabel->setText(QString::fromStdString(e.what()));
    }
}

void FeedsDialog::ShowOffers() {
    const bool secure =
        summary_ && Uri(chosenAddress_).Protocol == "https" && !SecureTransportConfigured();
    const bool enclosure =
        summary_ && summary_->WithVideo > 0 && ConfiguredClipSource() != ClipSource::Enclosure;
    secureCheck->setVisible(secure);
    secureReason->setVisible(secure);
    secureCheck->setChecked(secure);
    enclosureCheck->setVisible(enclosure);
    enclosureReason->setVisible(enclosure);
    enclosureCheck->setChecked(enclosure);
    saveButton->setEnabled(summary_.has_value());
}

void FeedsDialog::SaveClick() {
    if (!summary_ || busy_)
        return;
    const std::string name = nameEdit->text().trimmed().toStdString();
    try {
        CatalogueEditor editor(*SettingsFile, Settings.Channel);
        editor.CheckNewName(name);
        CatalogueEditor::CheckAddress(chosenAddress_);
        // Written together with the new feed, by its Add.
        if (!secureCheck->isHidden() && secureCheck->isChecked())
            SettingsFile->WriteString("http", "SecureTransport", "1");
        if (!enclosureCheck->isHidden() && enclosureCheck->isChecked())
            SettingsFile->WriteString("player", "ClipSource", "enclosure");
        editor.Add(name, chosenAddress_);
    } catch (const std::exception& e) {
        foundLabel->setText(QString::fromStdString(e.what()));
        return;
    }
    changed_ = true;
    ShowCatalogue(feedList->count());
    ResetAddPage();
    pages->setCurrentIndex(0);
    listMessage->clear();
}

void FeedsDialog::CancelAddClick() {
    ResetAddPage();
    pages->setCurrentIndex(0);
}

void FeedsDialog::done(int result) {
    if (busy_)
        http_.Disconnect(); // the waiting lookup fails and is dropped
    QDialog::done(result);
}

} // namespace zavrio
