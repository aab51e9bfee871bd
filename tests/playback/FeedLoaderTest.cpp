// Lists made off the GUI thread: what comes back, when, and what an
// abandoned or destroyed loader still lets through.

#include "playback/FeedLoader.h"

#include "QtWait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

namespace zavrio {
namespace {

using test::WaitFor;

Playlist listOf(int count) {
    Playlist list;
    list.Open();
    for (int i = 0; i < count; ++i)
        list.Add("t", "http://x/?v=" + std::to_string(i));
    return list;
}

TEST(FeedLoader, TheWorkRunsOnAThreadOfItsOwnAndItsResultComesFromTheEventLoop) {
    FeedLoader loader;
    std::optional<std::thread::id> workThread;
    std::optional<std::thread::id> doneThread;
    std::optional<int> listed;
    std::string failure;
    loader.Run(
        [&] {
            workThread = std::this_thread::get_id();
            return listOf(3);
        },
        [&](Playlist list) {
            doneThread = std::this_thread::get_id();
            listed = list.Count();
        },
        [&](const std::string& text) { failure = text; });
    EXPECT_TRUE(loader.Busy());
    EXPECT_FALSE(listed) << "delivered inside Run";
    ASSERT_TRUE(WaitFor([&] { return listed.has_value(); }));
    EXPECT_EQ(*listed, 3);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(doneThread, std::this_thread::get_id());
    EXPECT_FALSE(loader.Busy());
    EXPECT_EQ(failure, "");

    loader.Run([]() -> Playlist { throw std::runtime_error("unkown format: html"); },
               [&](Playlist) { ADD_FAILURE() << "a failed read listed"; },
               [&](const std::string& text) { failure = text; });
    ASSERT_TRUE(WaitFor([&] { return !failure.empty(); }));
    EXPECT_EQ(failure, "unkown format: html");
}

TEST(FeedLoader, AbandonedRunsReportNothingAndLaterRunsDo) {
    FeedLoader loader;
    std::atomic<bool> release{false};
    std::atomic<int> finished{0};
    int reported = 0;
    const auto slow = [&] {
        while (!release)
            std::this_thread::yield();
        ++finished;
        return listOf(1);
    };
    loader.Run(
        slow, [&](Playlist) { ++reported; }, [&](const std::string&) { ++reported; });
    loader.Abandon();
    EXPECT_FALSE(loader.Busy());
    std::optional<int> later;
    loader.Run([] { return listOf(2); }, [&](Playlist list) { later = list.Count(); },
               [&](const std::string&) { ++reported; });
    release = true;
    ASSERT_TRUE(WaitFor([&] { return later.has_value() && finished == 1; }));
    // The abandoned run's result is in the queue by now or soon: let it come.
    ASSERT_FALSE(WaitFor([&] { return reported > 0; }, std::chrono::milliseconds(300)));
    EXPECT_EQ(*later, 2);
}

TEST(FeedLoader, DestroyingItWaitsForTheWorkAndDropsItsResult) {
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    bool reported = false;
    {
        FeedLoader loader;
        loader.Run(
            [&] {
                started = true;
                // Still at work when the loader goes.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                finished = true;
                return listOf(1);
            },
            [&](Playlist) { reported = true; }, [&](const std::string&) { reported = true; });
        while (!started)
            std::this_thread::yield();
    }
    EXPECT_TRUE(finished) << "the loader went while its thread still worked";
    QCoreApplication::processEvents();
    EXPECT_FALSE(reported);
}

} // namespace
} // namespace zavrio
