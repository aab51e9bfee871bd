// Which clip each entry of the fixtures plays under both ClipSource values,
// through the same steps as the windows: parse, EntryVideoAddress into the
// playlist, ClipOf.
#include "playback/EntryClip.h"

#include "TempDirectory.h"
#include "feed/SimpleRSS.h"
#include "playback/Playlist.h"
#include "settings/SaverSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zavrio {
namespace {

const std::string kBase = "http://clips.test";

struct Row {
    const char* fixture;
    int entry;
    // What ClipSource=enclosure plays; nullptr: the composed address, as
    // with ClipSource=link.
    const char* video;
    const char* why;
};

const Row Rows[] = {
    {"itunes/video-podcast.xml", 0, "http://media.example.org/harbour/night-boats.mp4",
     "a video enclosure"},
    {"itunes/video-podcast.xml", 1, nullptr, "an audio enclosure only"},
    {"itunes/video-podcast.xml", 2, "http://media.example.org/harbour/net-mender-small.m4v",
     "the first video of several enclosures"},
    {"rss/media-rss.xml", 0, "http://walks.example.net/loue/walk.mp4",
     "the first video in media:group, after a picture"},
    {"rss/media-rss.xml", 1, "http://walks.example.net/weir/dusk",
     "media:content outside a group, medium=\"video\" without a type"},
    {"rss/media-rss.xml", 2, "http://walks.example.net/ferry/crossing.WEBM?download=1",
     "an untyped enclosure whose path ends in a video extension"},
    {"rss/media-rss.xml", 3, "http://walks.example.net/lock/film.mov",
     "an audio enclosure, then a video media:content"},
    {"rss/media-rss.xml", 4, "http://walks.example.net/meander/enclosure.mp4",
     "an enclosure wins over an earlier media:group"},
    {"rss/media-rss.xml", 5, nullptr, "an untyped .mp3 enclosure and a picture"},
    {"rss/media-rss.xml", 6, "https://walks.example.net/canal/night.mp4",
     "a local file's address is passed over"},
    {"rss/media-rss.xml", 7, nullptr, "no media files"},
    {"atom/enclosure-links.xml", 0, "http://kites.example.com/films/dunes.mp4",
     "an Atom enclosure link of a video type"},
    {"atom/enclosure-links.xml", 1, nullptr, "an Atom enclosure link of an audio type"},
    {"atom/enclosure-links.xml", 2, nullptr, "an Atom enclosure link without a type"},
    {"atom/enclosure-links.xml", 3, nullptr, "a video link that is not rel=\"enclosure\""},
};

class EntryClipTest : public ::testing::Test {
protected:
    void TearDown() override { SettingsFile.reset(); }

    // The playlist the windows build from a fixture.
    Playlist& ListOf(const std::string& fixture) {
        auto [at, added] = lists_.try_emplace(fixture);
        if (added) {
            TSimpleRSS rss;
            rss.LoadFromBytes(test::ReadFixture(std::string(ZAVRIO_TEST_DATA) + "/" + fixture));
            at->second.Open();
            for (int i = 0; i < rss.Items().Count(); ++i) {
                const TRSSItem& item = rss.Items().Items(i);
                at->second.Add(item.Title(), item.Link(), EntryVideoAddress(item));
            }
        }
        return at->second;
    }

    void Configure(const std::string& clipSource) {
        SettingsFile = std::make_unique<TMemIniFile>(dir_ / "zavriofeeds.ini");
        SettingsFile->WriteString("player", "BaseAddress", kBase);
        if (!clipSource.empty())
            SettingsFile->WriteString("player", "ClipSource", clipSource);
    }

private:
    test::TempDirectory dir_;
    std::map<std::string, Playlist> lists_;
};

TEST_F(EntryClipTest, EachEntryPlaysItsVideoOnlyWithClipSourceEnclosure) {
    for (const char* linkSetting : {"", "link", "anything else"}) {
        Configure(linkSetting);
        for (const Row& row : Rows) {
            const Playlist& list = ListOf(row.fixture);
            const std::string composed = list.PlayerAddressOf(row.entry, true, false);
            EXPECT_EQ(composed.rfind(kBase + "/v/", 0), 0u);
            const PlayerClip clip = list.ClipOf(row.entry, true, false);
            EXPECT_EQ(clip.Address, composed) << linkSetting << ": " << row.why;
            EXPECT_EQ(clip.Flags, (MovieFlags{.AutoPlay = true, .Loop = false}));
        }
    }
    for (const char* enclosureSetting : {"enclosure", "Enclosure"}) {
        Configure(enclosureSetting);
        for (const Row& row : Rows) {
            const Playlist& list = ListOf(row.fixture);
            const std::string expected =
                row.video ? row.video : list.PlayerAddressOf(row.entry, true, true);
            const PlayerClip clip = list.ClipOf(row.entry, true, true);
            EXPECT_EQ(clip.Address, expected) << row.why;
            // Loop still loops the entry's own video; HD means nothing to it.
            EXPECT_EQ(clip.Flags, (MovieFlags{.AutoPlay = true, .Loop = true})) << row.why;
        }
    }
}

TEST_F(EntryClipTest, NothingLoadedPlaysTheComposedAddress) {
    Playlist& list = ListOf("itunes/video-podcast.xml");
    SettingsFile.reset();
    EXPECT_EQ(ConfiguredClipSource(), ClipSource::Link);
    EXPECT_EQ(list.ClipOf(0, false, false).Address, list.PlayerAddressOf(0, false, false));
}

} // namespace
} // namespace zavrio
