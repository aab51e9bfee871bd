// Whole-file replacement and whole-file reading under contention and on
// files that are not regular files.

#include "platform/AtomicWrite.h"
#include "TempDirectory.h"
#include "platform/FileRead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
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

} // namespace
} // namespace zavrio
