#include "playback/DownloadFeed.h"

#include "ScriptedServer.h"
#include "TestCertificates.h"
#include "settings/SaverSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zavrio {
namespace {

using test::ScriptedServer;
using test::ServerConn;

const std::string kFeed = "<rss version=\"2.0\"><channel><title>t</title></channel></rss>";

std::string Ok(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// A catalogue in a scratch settings file, loaded as the process-wide one.
class DownloadFeedTest : public ::testing::Test {
protected:
    void LoadCatalogue(const std::string& feeds) {
        path_ = ::testing::TempDir() + "download_feed_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::ofstream(path_) << "[feeds]\r\n" << feeds;
        LoadSettings(path_);
    }
    void TearDown() override {
        SettingsFile.reset();
        std::remove(path_.c_str());
    }

    TIdHTTP http;
    std::vector<std::string> statuses;
    int builds = 0;
    std::string built;

    void RecordStatuses() {
        http.OnStatus = [this](ClientStatus, const std::string& text) { statuses.push_back(text); };
    }
    ListBuilder Builder() {
        return [this](std::istream& buffer) {
            ++builds;
            built.assign(std::istreambuf_iterator<char>(buffer), {});
        };
    }

private:
    std::string path_;
};

TEST_F(DownloadFeedTest, FetchesTheCatalogueAddressAndDisconnects) {
    ScriptedServer server(ScriptedServer::Always(Ok(kFeed)));
    LoadCatalogue("Mine=" + server.Address("/feed.xml") + "\r\n");
    RecordStatuses();
    for (DownloadVariant variant : {DownloadVariant::Playback, DownloadVariant::Config}) {
        builds = 0;
        statuses.clear();
        DownloadFeed(http, "Mine", variant, Builder());
        EXPECT_EQ(builds, 1);
        EXPECT_EQ(built, kFeed);
        const std::vector<std::string> expected = {"Connecting to 127.0.0.1.", "Connected.",
                                                   "Disconnecting.", "Disconnected."};
        EXPECT_EQ(statuses, expected);
        EXPECT_FALSE(http.Connected());
    }
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(DownloadFeedTest, PlaybackSkipsAnEmptyOrMissingAddress) {
    LoadCatalogue("Empty=\r\n");
    RecordStatuses();
    for (const char* name : {"Empty", "NotInTheCatalogue"}) {
        EXPECT_NO_THROW(DownloadFeed(http, name, DownloadVariant::Playback, Builder()));
    }
    EXPECT_EQ(builds, 0);
    EXPECT_TRUE(statuses.empty());
}

TEST_F(DownloadFeedTest, PlaybackPassesFailuresOnConfigDropsThem) {
    ScriptedServer server(
        ScriptedServer::Always("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"));
    LoadCatalogue("Gone=" + server.Address("/missing") + "\r\nEmpty=\r\nHttps=https://h.test/\r\n");
    try {
        DownloadFeed(http, "Gone", DownloadVariant::Playback, Builder());
        ADD_FAILURE() << "a 404 did not fail the playback download";
    } catch (const HttpStatusError& e) {
        EXPECT_EQ(std::string(e.what()), "HTTP/1.1 404 Not Found");
    }
    EXPECT_THROW(DownloadFeed(http, "Https", DownloadVariant::Playback, Builder()),
                 UnsupportedAddress);
    for (const char* name : {"Gone", "Empty", "Https"}) {
        EXPECT_NO_THROW(DownloadFeed(http, name, DownloadVariant::Config, Builder())) << name;
    }
    EXPECT_EQ(builds, 0);
    // A failed download leaves no connection behind.
    EXPECT_FALSE(http.Connected());
}

TEST_F(DownloadFeedTest, ListBuilderFailureSkipsTheFinalDisconnectInPlayback) {
    ScriptedServer server(ScriptedServer::Always(Ok("not a feed")));
    LoadCatalogue("Bad=" + server.Address("/") + "\r\n");
    RecordStatuses();
    const ListBuilder rejecting = [](std::istream&) {
        throw std::runtime_error("not a feed document");
    };
    EXPECT_THROW(DownloadFeed(http, "Bad", DownloadVariant::Playback, rejecting),
                 std::runtime_error);
    EXPECT_EQ(statuses.back(), "Connected.");
    EXPECT_TRUE(http.Connected());
    // The next download's first step closes what the failed one left open.
    statuses.clear();
    EXPECT_NO_THROW(DownloadFeed(http, "Bad", DownloadVariant::Config, rejecting));
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[0], "Disconnecting.");
    EXPECT_EQ(statuses[1], "Disconnected.");
}

// A new feed choice in the configuration window during a download: the inner
// download takes over and the outer one's failure is dropped.
TEST_F(DownloadFeedTest, NestedConfigDownloadWins) {
    std::atomic<int> served{0};
    ScriptedServer server([&served](ServerConn& conn) {
        if (served++ == 0) {
            conn.ReadRequest(); // never answered; waits for the client to close
            conn.ReadRequest();
            return;
        }
        for (std::string r; !(r = conn.ReadRequest()).empty();) {
            conn.Send(Ok(kFeed));
        }
    });
    LoadCatalogue("Slow=" + server.Address("/slow") + "\r\nFast=" + server.Address("/fast") +
                  "\r\n");
    bool nested = false;
    std::vector<std::string> builtFrom;
    http.OnPump = [&] {
        if (!nested) {
            nested = true;
            DownloadFeed(http, "Fast", DownloadVariant::Config,
                         [&](std::istream&) { builtFrom.push_back("Fast"); });
        }
    };
    DownloadFeed(http, "Slow", DownloadVariant::Config,
                 [&](std::istream&) { builtFrom.push_back("Slow"); });
    EXPECT_EQ(builtFrom, std::vector<std::string>{"Fast"});
    EXPECT_FALSE(http.Connected());
}

// Both windows and the command-line tool download through here, so the
// setting of section "http" reaches every one of them.
TEST_F(DownloadFeedTest, HttpsNeedsTheSecureTransportSetting) {
    const test::TestCertificates& certificates = test::TestCertificates::Get();
    certificates.TrustOnlyTheAuthority();
    ScriptedServer server(ScriptedServer::Always(Ok(kFeed)), certificates.Server);
    const std::string catalogue = "Secure=" + server.Address("/feed.xml") + "\r\n";
    for (const char* setting : {"", "[http]\r\nSecureTransport=0\r\n"}) {
        LoadCatalogue(catalogue + setting);
        EXPECT_THROW(DownloadFeed(http, "Secure", DownloadVariant::Playback, Builder()),
                     NoSecureTransport)
            << setting;
    }
    EXPECT_EQ(server.Connections(), 0);
    LoadCatalogue(catalogue + "[http]\r\nSecureTransport=1\r\n");
    DownloadFeed(http, "Secure", DownloadVariant::Playback, Builder());
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(built, kFeed);
}

} // namespace
} // namespace zavrio
