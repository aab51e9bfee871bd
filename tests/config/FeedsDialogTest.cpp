// The feeds dialog on the offscreen platform, against scripted loopback
// servers, with the settings file in a scratch directory.

#include "config/FeedsDialog.h"

#include "ScriptedServer.h"
#include "TempDirectory.h"
#include "TestCertificates.h"
#include "settings/SaverSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

#include <gtest/gtest.h>

#include <map>

namespace zavrio {
namespace {

using test::ScriptedServer;
using test::ServerConn;

std::string Answer(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

ScriptedServer::Handler Routes(const std::map<std::string, std::string>& routes) {
    return [routes](ServerConn& conn) {
        for (std::string request; !(request = conn.ReadRequest()).empty();) {
            const std::string target = test::RequestTarget(request);
            const auto route = routes.find(target);
            conn.Send(route == routes.end() ? Answer("404 Not Found", "")
                                            : Answer("200 OK", route->second));
        }
    };
}

// Two entries, one with a video file of its own.
const std::string VideoFeed =
    "<rss version=\"2.0\"><channel><title>Clip  Channel</title>"
    "<item><title>a</title><link>http://x/watch?v=a</link>"
    "<enclosure url=\"http://media.test/a.mp4\" type=\"video/mp4\"/></item>"
    "<item><title>b</title><link>http://x/watch?v=b</link></item></channel></rss>";
const std::string PlainFeed = "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Words</title>"
                              "<entry><title>e</title><link href=\"http://x/e\"/></entry></feed>";
const std::string Page =
    "<html><head><link rel=alternate type=application/rss+xml title=Videos href=/videos.xml>"
    "<link rel=alternate type=application/atom+xml title=Articles href=/words.xml></head></html>";

class FeedsDialogTest : public testing::Test {
protected:
    FeedsDialogTest()
        : server(Routes({{"/videos.xml", VideoFeed}, {"/words.xml", PlainFeed}, {"/page", Page}})) {
    }

    void TearDown() override { SettingsFile.reset(); }

    void Load(const std::string& text) {
        LoadSettings(dir.write("zavriofeeds.ini", text));
        dialog = std::make_unique<FeedsDialog>(nullptr, services);
    }
    std::string file() { return test::ReadFile(dir.file("zavriofeeds.ini")); }
    std::vector<std::string> listed() {
        std::vector<std::string> names;
        for (int i = 0; i < dialog->feedList->count(); ++i)
            names.push_back(dialog->feedList->item(i)->text().toStdString());
        return names;
    }
    void LookUp(const std::string& address, const std::string& name = "") {
        dialog->addButton->click();
        dialog->nameEdit->setText(QString::fromStdString(name));
        dialog->addressEdit->setText(QString::fromStdString(address));
        dialog->lookUpButton->click();
    }

    test::TempDirectory dir;
    ScriptedServer server;
    FeedsDialogServices services;
    std::unique_ptr<FeedsDialog> dialog;
};

using Names = std::vector<std::string>;

TEST_F(FeedsDialogTest, AddLoadsTheFeedSaysWhatItFoundAndOffersTheSettingItNeeds) {
    Load("; mine\r\n[feeds]\r\nOld=http://old.test/\r\n");
    LookUp(server.Address("/videos.xml"), "  Clips ");
    EXPECT_EQ(dialog->pages->currentIndex(), 1);
    EXPECT_EQ(dialog->foundLabel->text(), "RSS, 2 entries, 1 with a video file");
    EXPECT_TRUE(dialog->choiceBox->isHidden()) << "a feed address offers no choice";
    EXPECT_FALSE(dialog->enclosureCheck->isHidden());
    EXPECT_TRUE(dialog->enclosureCheck->isChecked());
    EXPECT_TRUE(dialog->secureCheck->isHidden()) << "an http feed needs no TLS";
    EXPECT_EQ(file(), "; mine\r\n[feeds]\r\nOld=http://old.test/\r\n") << "nothing saved yet";

    dialog->saveButton->click();
    EXPECT_EQ(dialog->pages->currentIndex(), 0);
    EXPECT_EQ(listed(), (Names{"Old", "Clips"}));
    EXPECT_TRUE(dialog->Changed());
    EXPECT_EQ(file(), "; mine\r\n[feeds]\r\nOld=http://old.test/\r\nClips=" +
                          server.Address("/videos.xml") +
                          "\r\n\r\n[player]\r\nClipSource=enclosure\r\n\r\n");
}

TEST_F(FeedsDialogTest, AnUntickedOfferIsNotWrittenAndAFeedWithoutVideoOffersNothing) {
    Load("");
    LookUp(server.Address("/videos.xml"), "Clips");
    dialog->enclosureCheck->setChecked(false);
    dialog->saveButton->click();
    EXPECT_EQ(file().find("ClipSource"), std::string::npos);

    LookUp(server.Address("/words.xml"), "Words");
    EXPECT_EQ(dialog->foundLabel->text(), "Atom, 1 entry, 0 with a video file");
    EXPECT_TRUE(dialog->enclosureCheck->isHidden());
    EXPECT_TRUE(dialog->secureCheck->isHidden());
}

TEST_F(FeedsDialogTest, AFailedLookUpSaysWhyAndSavesNothing) {
    Load("[feeds]\r\nOld=http://old.test/\r\n");
    const struct {
        std::string address;
        std::string shown;
    } rows[] = {
        {server.Address("/gone"),
         "cannot fetch \"" + server.Address("/gone") + "\": HTTP/1.1 404 Not Found"},
        {"ftp://files.test/feed",
         "\"ftp://files.test/feed\" is not a feed address: it must begin with http:// or "
         "https://, name a host and hold no blanks"},
    };
    for (const auto& row : rows) {
        LookUp(row.address, "New");
        EXPECT_EQ(dialog->foundLabel->text().toStdString(), row.shown);
        EXPECT_FALSE(dialog->saveButton->isEnabled());
        dialog->saveButton->click();
        EXPECT_EQ(dialog->pages->currentIndex(), 1);
        dialog->cancelAddButton->click();
        EXPECT_EQ(listed(), (Names{"Old"}));
    }
    EXPECT_EQ(file(), "[feeds]\r\nOld=http://old.test/\r\n");
    EXPECT_FALSE(dialog->Changed());
}

TEST_F(FeedsDialogTest, APageOffersItsFeedsToPickFrom) {
    Load("[player]\r\nClipSource=enclosure\r\n");
    LookUp(server.Address("/page"));
    ASSERT_FALSE(dialog->choiceBox->isHidden());
    ASSERT_EQ(dialog->choiceBox->count(), 2);
    EXPECT_EQ(dialog->choiceBox->itemText(0).toStdString(),
              "Videos — " + server.Address("/videos.xml"));
    EXPECT_EQ(dialog->foundLabel->text(), "RSS, 2 entries, 1 with a video file");
    EXPECT_EQ(dialog->nameEdit->text(), "Videos");
    EXPECT_TRUE(dialog->enclosureCheck->isHidden()) << "ClipSource is enclosure already";

    dialog->choiceBox->setCurrentIndex(1);
    dialog->ChoiceChange();
    EXPECT_EQ(dialog->foundLabel->text(), "Atom, 1 entry, 0 with a video file");
    EXPECT_EQ(dialog->nameEdit->text(), "Articles");
    dialog->saveButton->click();
    EXPECT_EQ(listed(), (Names{"Articles"}));
    EXPECT_NE(file().find("Articles=" + server.Address("/words.xml") + "\r\n"), std::string::npos);
}

TEST_F(FeedsDialogTest, AnHttpsFeedOffersSecureTransport) {
    const test::TestCertificates& certificates = test::TestCertificates::Get();
    certificates.TrustOnlyTheAuthority();
    ScriptedServer secure(Routes({{"/videos.xml", VideoFeed}}), certificates.Server);
    Load("[player]\r\nClipSource=enclosure\r\n");
    LookUp(secure.Address("/videos.xml"), "Safe");
    EXPECT_EQ(dialog->foundLabel->text(), "RSS, 2 entries, 1 with a video file");
    EXPECT_FALSE(dialog->secureCheck->isHidden());
    EXPECT_TRUE(dialog->secureCheck->isChecked());
    dialog->saveButton->click();
    EXPECT_EQ(file(), "[player]\r\nClipSource=enclosure\r\n\r\n[http]\r\nSecureTransport=1\r\n\r\n"
                      "[feeds]\r\nSafe=" +
                          secure.Address("/videos.xml") + "\r\n\r\n");

    // Once it is on, the next https feed needs nothing more.
    LookUp(secure.Address("/videos.xml"), "Again");
    EXPECT_TRUE(dialog->secureCheck->isHidden());
}

TEST_F(FeedsDialogTest, RenameRemoveAndReorderKeepChannelOnTheSameFeed) {
    std::optional<QString> answer;
    bool confirm = true;
    services.AskText = [&](QWidget*, const QString&, const QString&, const QString&) {
        return answer;
    };
    services.Confirm = [&](QWidget*, const QString&) { return confirm; };
    Load("[set]\r\nChannel=1\r\n\r\n[feeds]\r\nA=http://a/\r\nB=http://b/\r\nC=http://c/\r\n");
    EXPECT_EQ(dialog->feedList->currentRow(), 1) << "the current feed is selected";

    dialog->downButton->click(); // B below C
    EXPECT_EQ(listed(), (Names{"A", "C", "B"}));
    EXPECT_EQ(dialog->feedList->currentRow(), 2);
    EXPECT_FALSE(dialog->downButton->isEnabled());
    EXPECT_EQ(Settings.Channel, 2);
    dialog->feedList->setCurrentRow(0);
    EXPECT_FALSE(dialog->upButton->isEnabled());
    dialog->feedList->setCurrentRow(1);
    dialog->upButton->click(); // C to the top
    EXPECT_EQ(listed(), (Names{"C", "A", "B"}));

    answer = "b"; // another letter case of a name that is there: refused
    dialog->feedList->setCurrentRow(1);
    dialog->renameButton->click();
    EXPECT_EQ(dialog->listMessage->text(), "the catalogue already has a feed named \"B\"");
    EXPECT_EQ(listed(), (Names{"C", "A", "B"}));
    answer = "Alpha";
    dialog->renameButton->click();
    EXPECT_EQ(listed(), (Names{"C", "Alpha", "B"}));
    EXPECT_EQ(dialog->listMessage->text(), "");
    answer.reset(); // cancelled
    dialog->renameButton->click();
    EXPECT_EQ(listed(), (Names{"C", "Alpha", "B"}));

    confirm = false;
    dialog->removeButton->click();
    EXPECT_EQ(listed(), (Names{"C", "Alpha", "B"}));
    confirm = true;
    dialog->feedList->setCurrentRow(2);
    dialog->removeButton->click(); // the current feed
    EXPECT_EQ(listed(), (Names{"C", "Alpha"}));
    EXPECT_EQ(Settings.Channel, 0);
    EXPECT_EQ(file(),
              "[set]\r\nChannel=0\r\n\r\n[feeds]\r\nC=http://c/\r\nAlpha=http://a/\r\n\r\n");
}

} // namespace
} // namespace zavrio
