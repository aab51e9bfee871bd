// The clip store's bookkeeping on a temporary directory, filled by the
// prefetcher from a scripted loopback server. Two stores over one directory
// stand for two copies of the program (one per monitor) sharing the cache.
// The clips are a real one made by ffmpeg at build time, padded to 100 kB.

#include "playback/ClipStore.h"
#include "playback/ClipPrefetcher.h"

#include "ScriptedServer.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace zavrio {
namespace {

using test::ScriptedServer;
using test::ServerConn;

// The build's tiny clip grown to bytes with an MP4 "free" box at its end,
// which players skip.
std::string bareClip() {
    return test::ReadFixture(std::string(ZAVRIO_TEST_MEDIA) + "/front-index.mp4");
}

std::string paddedClip(std::size_t bytes) {
    std::string clip = bareClip();
    const std::size_t box = bytes - clip.size();
    for (int shift = 24; shift >= 0; shift -= 8)
        clip += static_cast<char>((box >> shift) & 0xff);
    clip += "free";
    clip.resize(bytes, '\0');
    return clip;
}

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class ClipStoreTest : public testing::Test {
protected:
    ClipStoreTest()
        : server([this](ServerConn& conn) {
              for (std::string request; !(request = conn.ReadRequest()).empty();) {
                  const std::string target = test::RequestTarget(request);
                  if (target == "/cut") {
                      conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nonly a part");
                      conn.Close();
                      return;
                  }
                  // No length: the end of the connection ends the body, so
                  // only the file can tell that half of it is missing.
                  if (target == "/cut-without-length") {
                      conn.Send("HTTP/1.1 200 OK\r\nContent-Type: video/mp4\r\n"
                                "Connection: close\r\n\r\n" +
                                bareClip.substr(0, bareClip.size() / 2));
                      conn.Close();
                      return;
                  }
                  if (target == "/moved") {
                      conn.Send("HTTP/1.1 302 Found\r\nLocation: /a\r\nContent-Length: 0\r\n\r\n");
                      continue;
                  }
                  // A captive portal's sign-in page, answered with success.
                  if (target == "/portal" || (portal && clips.count(target))) {
                      conn.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                std::to_string(signIn.size()) + "\r\n\r\n" + signIn);
                      continue;
                  }
                  if (target == "/untyped-page") {
                      conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " +
                                std::to_string(signIn.size()) + "\r\n\r\n" + signIn);
                      continue;
                  }
                  if (target == "/error-with-video") {
                      conn.Send("HTTP/1.1 503 Service Unavailable\r\nContent-Type: video/mp4\r\n"
                                "Content-Length: " +
                                std::to_string(clip100k.size()) + "\r\n\r\n" + clip100k);
                      continue;
                  }
                  const auto clip = clips.find(target);
                  if (clip == clips.end()) {
                      conn.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
                      continue;
                  }
                  conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " +
                            std::to_string(clip->second.size()) + "\r\n\r\n" + clip->second);
              }
          }) {}

    std::string address(const std::string& clip) { return server.Address("/" + clip); }

    // Downloads clip ahead and waits until the prefetcher is done with it.
    // The pause keeps the files' times apart: the system's file clock is
    // coarse.
    void fetch(const ClipStore& cache, const std::string& clip) {
        ClipPrefetcher prefetcher(std::shared_ptr<const ClipStore>(&cache, [](auto*) {}));
        prefetcher.Prefetch(address(clip));
        prefetcher.WaitIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Whether the clip's complete file is there (without playing it, which
    // would change the order of eviction).
    bool cached(const ClipStore&, const std::string& clip) {
        return std::filesystem::exists(dir.file(ClipStore::FileNameFor(address(clip))));
    }
    ClipLease play(const ClipStore& cache, const std::string& clip) {
        ClipLease lease = cache.Acquire(address(clip));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return lease;
    }

    const std::string bareClip = zavrio::bareClip();
    const std::string clip100k = paddedClip(100000);
    const std::string signIn = "<html><body><a href=/login>Sign in</a> to go on</body></html>";
    std::atomic<bool> portal{false};
    std::map<std::string, std::string> clips{
        {"/a", clip100k}, {"/b", clip100k}, {"/c", clip100k}, {"/d", clip100k}};
    test::TempDirectory dir;
    ScriptedServer server;
};

TEST_F(ClipStoreTest, FileNamesComeFromTheAddress) {
    // FNV-1a of the address, 64 bits.
    EXPECT_EQ(ClipStore::FileNameFor(""), "cbf29ce484222325.clip");
    EXPECT_EQ(ClipStore::FileNameFor("a"), "af63dc4c8601ec8c.clip");
    EXPECT_NE(ClipStore::FileNameFor("http://x/v/1&autoplay=1"),
              ClipStore::FileNameFor("http://x/v/1&autoplay=1&fmt=18"));
}

TEST_F(ClipStoreTest, ACompleteDownloadIsFoundAndPlayedFromTheFile) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    EXPECT_TRUE(cache.Acquire(address("a")).Path.empty()) << "nothing before the download";
    fetch(cache, "a");
    const ClipLease lease = cache.Acquire(address("a"));
    ASSERT_FALSE(lease.Path.empty());
    EXPECT_EQ(test::ReadFile(lease.Path), clip100k);
    EXPECT_EQ(lease.Path, dir.path() + "/" + ClipStore::FileNameFor(address("a")));
    ASSERT_EQ(cache.Files().size(), 1u);
    EXPECT_EQ(cache.Files()[0].Bytes, 100000u);
    // A complete file is not fetched again.
    const auto requests = server.Requests().size();
    fetch(cache, "a");
    EXPECT_EQ(server.Requests().size(), requests);
}

TEST_F(ClipStoreTest, FailedDownloadsLeaveNothing) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    for (const char* clip :
         {"missing", "cut", "cut-without-length", "portal", "untyped-page", "error-with-video"}) {
        fetch(cache, clip);
        EXPECT_FALSE(cached(cache, clip)) << clip;
    }
    // Only the downloads' lock file, which the store keeps for good.
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{".downloads.lock"})
        << "no clip file, whole or partial, is left";
}

TEST_F(ClipStoreTest, AClipBehindARedirectIsKept) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    fetch(cache, "moved");
    EXPECT_EQ(test::ReadFile(cache.Acquire(address("moved")).Path), clip100k);
}

TEST_F(ClipStoreTest, AfterACaptivePortalRecoversTheClipsAreFetchedAndKept) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    portal = true;
    fetch(cache, "a");
    fetch(cache, "b");
    EXPECT_TRUE(cache.Files().empty()) << "no sign-in page is kept as a clip";
    EXPECT_FALSE(cache.Has(address("a")));

    portal = false;
    const auto requests = server.Requests().size();
    fetch(cache, "a");
    fetch(cache, "b");
    EXPECT_EQ(server.Requests().size(), requests + 2) << "both asked for again";
    EXPECT_EQ(test::ReadFile(cache.Acquire(address("a")).Path), clip100k);
    EXPECT_EQ(test::ReadFile(cache.Acquire(address("b")).Path), clip100k);
}

TEST_F(ClipStoreTest, LeastRecentlyPlayedGoesFirstAndTheClipOnScreenNever) {
    // Room for two and a half clips.
    ClipStore cache({dir.path(), 250000, {}});
    fetch(cache, "a");
    fetch(cache, "b");
    ClipLease onScreen = play(cache, "a"); // played after b came
    fetch(cache, "c");
    EXPECT_TRUE(cached(cache, "a"));
    EXPECT_FALSE(cached(cache, "b")) << "the least recently played went";
    EXPECT_TRUE(cached(cache, "c"));
    onScreen = {};

    // a was played before c arrived: now a goes.
    fetch(cache, "d");
    EXPECT_FALSE(cached(cache, "a"));
    EXPECT_TRUE(cached(cache, "c"));
    EXPECT_TRUE(cached(cache, "d"));

    // A clip on screen stays even when the cache is over its cap without it.
    ClipStore tiny({dir.path(), 150000, {}});
    ClipLease c = play(tiny, "c");
    ClipLease d = play(tiny, "d");
    fetch(tiny, "a");
    EXPECT_TRUE(cached(tiny, "c"));
    EXPECT_TRUE(cached(tiny, "d"));
    EXPECT_FALSE(cached(tiny, "a")) << "the new clip goes when nothing else may";
}

TEST_F(ClipStoreTest, ClearKeepsOnlyWhatAPlayerHolds) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    fetch(cache, "a");
    fetch(cache, "b");
    const ClipLease held = cache.Acquire(address("b"));
    EXPECT_EQ(cache.Clear(), 1);
    EXPECT_FALSE(cached(cache, "a"));
    EXPECT_TRUE(cached(cache, "b"));
    EXPECT_TRUE(cache.Acquire(address("a")).Path.empty());
}

TEST_F(ClipStoreTest, ZeroMegabytesTurnTheCacheOff) {
    ClipStore cache({dir.path(), 0, {}});
    EXPECT_FALSE(cache.Enabled());
    fetch(cache, "a");
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(cache.Acquire(address("a")).Path.empty());
}

TEST_F(ClipStoreTest, OneDownloadPerClipAcrossCopiesAndNoPartialFileIsEverAClip) {
    ClipStore mine({dir.path(), 1 << 20, {}});
    ClipStore neighbours({dir.path(), 1 << 20, {}});
    std::optional<ClipStore::Reservation> first = mine.Reserve(address("a"));
    ASSERT_TRUE(first);
    EXPECT_FALSE(neighbours.Reserve(address("a"))) << "the neighbour's download runs";
    EXPECT_FALSE(mine.Reserve(address("a"))) << "this copy's own download runs";
    EXPECT_TRUE(neighbours.Reserve(address("b"))) << "other clips are free";

    ASSERT_EQ(::write(first->Fd(), "half", 4), 4);
    EXPECT_FALSE(neighbours.Has(address("a")));
    EXPECT_TRUE(neighbours.Acquire(address("a")).Path.empty()) << "a partial file is not played";
    EXPECT_TRUE(neighbours.Files().empty());
    ASSERT_TRUE(first->Commit());
    first.reset();
    EXPECT_EQ(test::ReadFile(neighbours.Acquire(address("a")).Path), "half");
    EXPECT_FALSE(neighbours.Reserve(address("a"))) << "complete: nothing to download";

    // A reservation given up leaves no file and frees the clip.
    std::optional<ClipStore::Reservation> dropped = neighbours.Reserve(address("c"));
    ASSERT_TRUE(dropped);
    dropped.reset();
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{".downloads.lock", ClipStore::FileNameFor(address("a"))}));
    EXPECT_TRUE(mine.Reserve(address("c")));
}

TEST_F(ClipStoreTest, AClipAnotherCopyPlaysIsNeverEvictedOrCleared) {
    ClipStore mine({dir.path(), 150000, {}});
    ClipStore neighbours({dir.path(), 150000, {}});
    fetch(mine, "a");
    const ClipLease onTheNeighboursScreen = play(neighbours, "a");
    fetch(mine, "b"); // over the cap: a is the oldest, but held
    EXPECT_TRUE(cached(mine, "a"));
    EXPECT_FALSE(cached(mine, "b"));
    EXPECT_EQ(mine.Clear(), 0);
    EXPECT_EQ(test::ReadFile(onTheNeighboursScreen.Path), clip100k);
}

TEST_F(ClipStoreTest, LeftoversOfDeadDownloadsAreSweptAndLiveOnesKept) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    // A process id no process has (above the kernel's maximum) and this one.
    const std::string dead = dir.write(".0123456789abcdef.clip.part-99999999", "x");
    const std::string live =
        dir.write(".fedcba9876543210.clip.part-" + std::to_string(::getpid()), "y");
    cache.SweepLeftovers();
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(live));
}

TEST_F(ClipStoreTest, AClipThatFailsLeavesTheStoreAndIsFetchedAgain) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    fetch(cache, "a");
    ClipLease failed = cache.Acquire(address("a"));
    ASSERT_FALSE(failed.Path.empty());
    ForgetFailedClip(failed);
    EXPECT_TRUE(failed.Path.empty()) << "the lease is given up";
    EXPECT_FALSE(cached(cache, "a"));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{".downloads.lock"});

    const auto requests = server.Requests().size();
    fetch(cache, "a");
    EXPECT_EQ(server.Requests().size(), requests + 1);
    EXPECT_EQ(test::ReadFile(cache.Acquire(address("a")).Path), clip100k);

    ClipLease streamed; // an empty lease: nothing to forget
    ForgetFailedClip(streamed);
    EXPECT_TRUE(cached(cache, "a"));
}

TEST_F(ClipStoreTest, AFailedClipAnotherCopyStillPlaysIsHiddenThenRemovedOnRelease) {
    ClipStore mine({dir.path(), 1 << 20, {}});
    ClipStore neighbours({dir.path(), 1 << 20, {}});
    fetch(mine, "a");
    fetch(mine, "b");
    ClipLease onTheNeighboursScreen = neighbours.Acquire(address("a"));
    ClipLease failed = mine.Acquire(address("a"));
    ForgetFailedClip(failed);
    EXPECT_TRUE(cached(mine, "a")) << "the neighbour's file is not pulled away";
    EXPECT_EQ(test::ReadFile(onTheNeighboursScreen.Path), clip100k);
    for (const ClipStore* store : {&mine, &neighbours}) {
        EXPECT_FALSE(store->Has(address("a")));
        EXPECT_TRUE(store->Acquire(address("a")).Path.empty());
    }
    ASSERT_EQ(mine.Files().size(), 2u);

    onTheNeighboursScreen = {};
    mine.Evict();
    EXPECT_FALSE(cached(mine, "a")) << "removed once nobody holds it";
    EXPECT_TRUE(cached(mine, "b"));
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{".downloads.lock", ClipStore::FileNameFor(address("b"))}))
        << "the mark goes with the file";
}

TEST_F(ClipStoreTest, ADownloadReplacesAFailedClipStillHeldAndIsNotForgottenWithIt) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    const std::string name = ClipStore::FileNameFor(address("a"));
    dir.write(name, "damaged");
    ClipLease neighbours = cache.Acquire(address("a"));
    ClipLease failed = cache.Acquire(address("a"));
    ForgetFailedClip(failed);
    fetch(cache, "a"); // asked for again while the damaged file is held
    EXPECT_EQ(test::ReadFile(dir.file(name)), clip100k);
    EXPECT_TRUE(cache.Has(address("a")));
    // The neighbour fails the damaged file too: the fresh one stays.
    ForgetFailedClip(neighbours);
    EXPECT_EQ(test::ReadFile(cache.Acquire(address("a")).Path), clip100k);
}

TEST_F(ClipStoreTest, TheSweepRemovesWhatTheStoreDoesNotRecognise) {
    ClipStore cache({dir.path(), 1 << 20, {}});
    const std::string name = ClipStore::FileNameFor(address("a"));
    fetch(cache, "a");
    const std::string empty = dir.write("0123456789abcdef.clip", "");
    const std::string orphanMark = dir.write(".0123456789abcde0.clip.failed", "");
    const std::string forgotten = dir.write("0123456789abcde1.clip", "bad");
    const std::string itsMark = dir.write(".0123456789abcde1.clip.failed", "");
    const std::string heldForgotten = dir.write("0123456789abcde2.clip", "bad");
    const std::string heldMark = dir.write(".0123456789abcde2.clip.failed", "");
    const std::string mine = ".0123456789abcde3.clip.part-" + std::to_string(::getpid());
    const std::string freshPart = dir.write(mine, "y");
    const std::string stuckPart =
        dir.write(".0123456789abcde4.clip.part-" + std::to_string(::getpid()), "z");
    std::filesystem::last_write_time(stuckPart, std::filesystem::file_time_type::clock::now() -
                                                    ClipStore::PartLifetime -
                                                    std::chrono::minutes(1));
    const std::string foreign = dir.write("notes.txt", "not ours to judge");

    UniqueFd holder(::open(heldForgotten.c_str(), O_RDONLY));
    ASSERT_EQ(::flock(holder.get(), LOCK_SH), 0);
    cache.SweepLeftovers();
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{".downloads.lock", name, "0123456789abcde2.clip",
                                     ".0123456789abcde2.clip.failed", mine, "notes.txt"}));
    holder.reset();
    cache.SweepLeftovers();
    EXPECT_FALSE(std::filesystem::exists(heldForgotten));
    EXPECT_FALSE(std::filesystem::exists(heldMark));
    EXPECT_TRUE(cache.Has(address("a")));
}

} // namespace
} // namespace zavrio
