// The clip cache's bookkeeping on a temporary directory, filled from a
// scripted loopback server.

#include "playback/ClipCache.h"

#include "ScriptedServer.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <thread>

namespace zavrio {
namespace {

using test::ScriptedServer;
using test::ServerConn;

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class ClipCacheTest : public testing::Test {
protected:
    ClipCacheTest()
        : server([this](ServerConn& conn) {
              for (std::string request; !(request = conn.ReadRequest()).empty();) {
                  const auto first = request.find(' ');
                  const std::string target =
                      request.substr(first + 1, request.find(' ', first + 1) - first - 1);
                  if (target == "/cut") {
                      conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nonly a part");
                      conn.Close();
                      return;
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

    // Downloads clip ahead and waits until the cache is done with it. The
    // pause keeps the files' times apart: the system's file clock is coarse.
    void fetch(ClipCache& cache, const std::string& clip) {
        cache.Prefetch(address(clip));
        cache.WaitIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Whether the clip's complete file is there (without playing it, which
    // would change the order of eviction).
    bool cached(ClipCache&, const std::string& clip) {
        return std::filesystem::exists(dir.file(ClipCache::FileNameFor(address(clip))));
    }
    ClipLease play(ClipCache& cache, const std::string& clip) {
        ClipLease lease = cache.Acquire(address(clip));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return lease;
    }

    const std::string clip100k = std::string(100000, 'c');
    std::map<std::string, std::string> clips{
        {"/a", clip100k}, {"/b", clip100k}, {"/c", clip100k}, {"/d", clip100k}};
    test::TempDirectory dir;
    ScriptedServer server;
};

TEST_F(ClipCacheTest, FileNamesComeFromTheAddress) {
    // FNV-1a of the address, 64 bits.
    EXPECT_EQ(ClipCache::FileNameFor(""), "cbf29ce484222325.clip");
    EXPECT_EQ(ClipCache::FileNameFor("a"), "af63dc4c8601ec8c.clip");
    EXPECT_NE(ClipCache::FileNameFor("http://x/v/1&autoplay=1"),
              ClipCache::FileNameFor("http://x/v/1&autoplay=1&fmt=18"));
}

TEST_F(ClipCacheTest, ACompleteDownloadIsFoundAndPlayedFromTheFile) {
    ClipCache cache({dir.path(), 1 << 20});
    EXPECT_TRUE(cache.Acquire(address("a")).Path.empty()) << "nothing before the download";
    fetch(cache, "a");
    const ClipLease lease = cache.Acquire(address("a"));
    ASSERT_FALSE(lease.Path.empty());
    EXPECT_EQ(test::ReadFile(lease.Path), clip100k);
    EXPECT_EQ(lease.Path, dir.path() + "/" + ClipCache::FileNameFor(address("a")));
    ASSERT_EQ(cache.Files().size(), 1u);
    EXPECT_EQ(cache.Files()[0].Bytes, 100000u);
    // A complete file is not fetched again.
    const auto requests = server.Requests().size();
    fetch(cache, "a");
    EXPECT_EQ(server.Requests().size(), requests);
}

TEST_F(ClipCacheTest, FailedDownloadsLeaveNothing) {
    ClipCache cache({dir.path(), 1 << 20});
    for (const char* clip : {"missing", "cut"}) {
        fetch(cache, clip);
        EXPECT_FALSE(cached(cache, clip)) << clip;
    }
    EXPECT_TRUE(namesIn(dir.path()).empty()) << "no file, whole or partial, is left";
}

TEST_F(ClipCacheTest, LeastRecentlyPlayedGoesFirstAndTheClipOnScreenNever) {
    // Room for two and a half clips.
    ClipCache cache({dir.path(), 250000});
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
    ClipCache tiny({dir.path(), 150000});
    ClipLease c = play(tiny, "c");
    ClipLease d = play(tiny, "d");
    fetch(tiny, "a");
    EXPECT_TRUE(cached(tiny, "c"));
    EXPECT_TRUE(cached(tiny, "d"));
    EXPECT_FALSE(cached(tiny, "a")) << "the new clip goes when nothing else may";
}

TEST_F(ClipCacheTest, ClearKeepsOnlyWhatAPlayerHolds) {
    ClipCache cache({dir.path(), 1 << 20});
    fetch(cache, "a");
    fetch(cache, "b");
    const ClipLease held = cache.Acquire(address("b"));
    EXPECT_EQ(cache.Clear(), 1);
    EXPECT_FALSE(cached(cache, "a"));
    EXPECT_TRUE(cached(cache, "b"));
    EXPECT_TRUE(cache.Acquire(address("a")).Path.empty());
}

TEST_F(ClipCacheTest, ZeroMegabytesTurnTheCacheOff) {
    ClipCache cache({dir.path(), 0});
    EXPECT_FALSE(cache.Enabled());
    cache.Prefetch(address("a"));
    cache.WaitIdle();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(cache.Acquire(address("a")).Path.empty());
}

} // namespace
} // namespace zavrio
