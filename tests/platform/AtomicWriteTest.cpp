// Whole-file replacement and whole-file reading under contention and on
// files that are not regular files.

#include "platform/AtomicWrite.h"
#include "TempDirectory.h"
#include "platform/FileRead.h"
#include "platform/UniqueFd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zavrio {
namespace {

TEST(AtomicWrite, ConcurrentWritersNeverLeaveAReaderAPartialFile) {
    test::TempDirectory dir;
    const std::string path = dir.file("settings.ini");
    // Large enough that a write takes several system calls.
    const std::string a(200000, 'a'), b(150000, 'b');
    WriteFileAtomically(path, a);

    std::atomic<bool> stop{false};
    std::atomic<int> badReads{0}, reads{0}, failedWrites{0};
    std::thread reader([&] {
        while (!stop) {
            const std::string seen = ReadWholeFile(path).value_or("<missing>");
            if (seen != a && seen != b)
                ++badReads;
            ++reads;
        }
    });
    std::vector<std::thread> writers;
    for (const std::string* content : {&a, &b})
        writers.emplace_back([&, content] {
            for (int i = 0; i < 150; ++i) {
                try {
                    WriteFileAtomically(path, *content);
                } catch (const AtomicWriteError&) {
                    ++failedWrites; // one writer's file renamed away under the other
                }
            }
        });
    for (std::thread& writer : writers)
        writer.join();
    stop = true;
    reader.join();

    EXPECT_EQ(badReads, 0) << "of " << reads << " reads";
    EXPECT_EQ(failedWrites, 0);
    EXPECT_GT(reads, 0);
    // Every temporary file was renamed into place: only the target is left.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"settings.ini"});
}

TEST(AtomicWrite, NonRegularFilesAreRefusedWithoutBlocking) {
    test::TempDirectory dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));

    // Opening a FIFO for reading would wait for a writer for ever.
    try {
        ReadWholeFile(fifo);
        ADD_FAILURE() << "a FIFO was read";
    } catch (const FileReadError& e) {
        EXPECT_EQ(e.Reason(), "Not a regular file");
        EXPECT_EQ(std::string(e.what()), "Cannot read " + fifo + ": Not a regular file");
    }
    try {
        ReadWholeFile("/dev/null");
        ADD_FAILURE() << "a device was read";
    } catch (const FileReadError& e) {
        EXPECT_EQ(e.Reason(), "Not a regular file");
    }
    try {
        ReadWholeFile(dir.file("folder"));
        ADD_FAILURE() << "a directory was read";
    } catch (const FileReadError& e) {
        EXPECT_EQ(e.Reason(), "Is a directory");
    }
    EXPECT_EQ(ReadWholeFile(dir.file("absent")), std::nullopt);

    const std::pair<std::string, std::string> targets[] = {{fifo, "Not a regular file"},
                                                           {dir.file("folder"), "Is a directory"}};
    for (const auto& [target, reason] : targets) {
        try {
            WriteFileAtomically(target, "x");
            ADD_FAILURE() << target << " was replaced";
        } catch (const AtomicWriteError& e) {
            EXPECT_EQ(e.Reason(), reason);
        }
    }
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)); // still the FIFO, nothing written beside it
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(AtomicWrite, TheSweepTakesOnlyTemporaryFilesOfWritersThatAreGone) {
    test::TempDirectory dir;
    const std::string target = dir.write("zavriofeeds.ini", "[SET]\n");
    const auto old =
        std::filesystem::file_time_type::clock::now() - AbandonedAfter - std::chrono::seconds(10);
    struct Row {
        const char* name;
        bool old;
        bool removed;
    };
    const Row rows[] = {
        {"zavriofeeds.ini.a1B2c3", true, true}, // a killed save's
        {"zavriofeeds.ini.Zz9Yy8", true, true},
        {"zavriofeeds.ini.d4E5f6", false, false}, // a save that may still run
        {"zavriofeeds.ini.held00", true, false},  // locked: its writer lives
        {"zavriofeeds.ini.a1B2c3d", true, false}, // not mkstemp's six characters
        {"zavriofeeds.ini.a1-2c3", true, false},
        {"zavriofeeds.ini.bak", true, false},
        {"other.ini.a1B2c3", true, false},
    };
    for (const Row& row : rows) {
        dir.write(row.name, "half a save");
        if (row.old)
            std::filesystem::last_write_time(dir.file(row.name), old);
    }
    std::filesystem::create_directory(dir.file("zavriofeeds.ini.dir123"));
    std::filesystem::last_write_time(dir.file("zavriofeeds.ini.dir123"), old);
    const UniqueFd writer(::open(dir.file("zavriofeeds.ini.held00").c_str(), O_RDONLY));
    ASSERT_EQ(::flock(writer.get(), LOCK_EX), 0);

    EXPECT_EQ(SweepAbandonedWrites(target), 2);
    for (const Row& row : rows)
        EXPECT_EQ(std::filesystem::exists(dir.file(row.name)), !row.removed) << row.name;
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("zavriofeeds.ini.dir123")));
    EXPECT_EQ(test::ReadFile(target), "[SET]\n");

    // Through a symbolic link: the files beside the file it points to.
    std::filesystem::create_directory(dir.file("real"));
    const std::string real = dir.write("real/settings.ini", "x");
    std::filesystem::create_symlink(real, dir.file("link.ini"));
    const std::string leftover = dir.write("real/settings.ini.q1W2e3", "y");
    std::filesystem::last_write_time(leftover, old);
    EXPECT_EQ(SweepAbandonedWrites(dir.file("link.ini")), 1);
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_EQ(SweepAbandonedWrites(dir.file("absent/settings.ini")), 0);
}

TEST(AtomicWrite, AWriterKilledHalfWayLeavesAFileTheSweepRemoves) {
    test::TempDirectory dir;
    const std::string target = dir.file("zavriofeeds.ini");
    // The child stops inside its write: it holds its temporary file open
    // and locked, as a save does, until it is killed.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string pattern = target + ".XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        ::flock(fd, LOCK_EX);
        [[maybe_unused]] const ssize_t n = ::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    std::string leftover;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        leftover = entry.path().string();
    ASSERT_FALSE(leftover.empty());
    std::filesystem::last_write_time(leftover, std::filesystem::file_time_type::clock::now() -
                                                   AbandonedAfter - std::chrono::seconds(10));
    EXPECT_EQ(SweepAbandonedWrites(target), 0) << "its writer still runs";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(SweepAbandonedWrites(target), 1);
    EXPECT_FALSE(std::filesystem::exists(leftover));
}

} // namespace
} // namespace zavrio
