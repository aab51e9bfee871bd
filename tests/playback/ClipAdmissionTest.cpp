// Which downloads the clip cache keeps: the decision on what the transfer
// saw, as a table, and the probe of the file on real clips made by ffmpeg
// at build time and on damaged copies of them.

#include "playback/ClipAdmission.h"
#include "playback/ClipProbe.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <optional>

namespace zavrio {
namespace {

constexpr std::optional<std::uint64_t> NoLength = std::nullopt;

TEST(ClipAdmissionTest, TheTransferMustBeASuccessOfAVideoTypeAndWhole) {
    struct Row {
        long status;
        const char* type;
        std::optional<std::uint64_t> declared;
        std::uint64_t received;
        bool clean;
        ClipVerdict expected;
    };
    const Row rows[] = {
        {200, "video/mp4", 1000, 1000, true, ClipVerdict::Keep},
        {206, "video/webm", 1000, 1000, true, ClipVerdict::Keep},
        {200, "", 1000, 1000, true, ClipVerdict::Keep}, // no type: the probe decides
        {200, "application/octet-stream", NoLength, 1000, true, ClipVerdict::Keep},
        {200, "application/mp4", 1000, 1000, true, ClipVerdict::Keep},
        {200, "binary/octet-stream", 1000, 1000, true, ClipVerdict::Keep}, // object stores
        {200, " Video/MP4 ; codecs=\"avc1\"", 1000, 1000, true, ClipVerdict::Keep},
        // A captive portal's sign-in page, answered with 200.
        {200, "text/html; charset=utf-8", 60, 60, true, ClipVerdict::NotVideoType},
        {200, "text/plain", 1000, 1000, true, ClipVerdict::NotVideoType},
        {200, "application/json", 1000, 1000, true, ClipVerdict::NotVideoType},
        {200, "application/xml", 1000, 1000, true, ClipVerdict::NotVideoType},
        {200, "application/xhtml+xml", 1000, 1000, true, ClipVerdict::NotVideoType},
        {200, "video/", 1000, 1000, true, ClipVerdict::NotVideoType},
        {200, "audio/mpeg", 1000, 1000, true, ClipVerdict::NotVideoType},
        {404, "video/mp4", 1000, 1000, true, ClipVerdict::NotSuccess},
        {302, "video/mp4", 0, 0, true, ClipVerdict::NotSuccess}, // a redirect not followed
        {500, "", NoLength, 0, false, ClipVerdict::NotSuccess},
        {0, "", NoLength, 0, false, ClipVerdict::NotSuccess}, // no answer at all
        {200, "video/mp4", 1000, 500, true, ClipVerdict::Incomplete},
        {200, "video/mp4", 1000, 1200, true, ClipVerdict::Incomplete},
        {200, "video/mp4", 1000, 1000, false, ClipVerdict::Incomplete}, // stopped at the end
        {200, "video/mp4", NoLength, 500, false, ClipVerdict::Incomplete},
        {200, "video/mp4", 0, 0, true, ClipVerdict::Empty},
        {200, "video/mp4", NoLength, 0, true, ClipVerdict::Empty},
    };
    for (const Row& row : rows) {
        const DownloadOutcome outcome{row.status, row.type, row.declared, row.received, row.clean};
        EXPECT_EQ(JudgeDownload(outcome), row.expected)
            << row.status << " '" << row.type << "' " << row.received << " of "
            << (row.declared ? std::to_string(*row.declared) : "?") << (row.clean ? "" : " unclean")
            << ": " << VerdictText(JudgeDownload(outcome));
    }
}

TEST(ClipAdmissionTest, TheProbeFindsAPictureInAWholeClipOnly) {
    test::TempDirectory dir;
    const std::string media = ZAVRIO_TEST_MEDIA;
    const std::string front = test::ReadFixture(media + "/front-index.mp4");
    const std::string end = test::ReadFixture(media + "/end-index.mp4");
    struct Row {
        const char* name;
        std::string bytes;
        bool expected;
    };
    const Row rows[] = {
        {"front-index.mp4", front, true},
        {"end-index.mp4", end, true},
        {"front-index.mp4 with trailing bytes", front + std::string(5000, '\0'), true},
        {"sound only", test::ReadFixture(media + "/sound.m4a"), false},
        {"a sign-in page", "<html><body>Please sign in</body></html>\n", false},
        {"garbage", std::string(20000, '\x5a'), false},
        {"empty", "", false},
        // The index survives the cut but names samples past the end.
        {"front-index.mp4 cut in half", front.substr(0, front.size() / 2), false},
        {"front-index.mp4 missing its last byte", front.substr(0, front.size() - 1), false},
        // The index itself is lost.
        {"end-index.mp4 cut in half", end.substr(0, end.size() / 2), false},
    };
    for (const Row& row : rows) {
        const std::string path = dir.write("probed", row.bytes);
        EXPECT_EQ(HasVideoStream(path), row.expected) << row.name;
        const DownloadOutcome whole{200, "video/mp4", row.bytes.size(), row.bytes.size(), true};
        EXPECT_EQ(AdmitDownload(whole, path) == ClipVerdict::Keep, row.expected) << row.name;
    }
    EXPECT_FALSE(HasVideoStream(dir.file("absent"))) << "a file that is not there";
}

} // namespace
} // namespace zavrio
