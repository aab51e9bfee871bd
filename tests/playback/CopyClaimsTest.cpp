// What copies of the program on other monitors play, through their shared
// record, for copies simulated in this process.

#include "playback/CopyClaims.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <set>

namespace zavrio {
namespace {

TEST(CopyClaims, ACopySeesWhatLiveOthersPlayAndNotWhatItOrTheDeadPlay) {
    test::TempDirectory dir;
    std::set<long> live{1, 2, 3};
    const auto alive = [&](const CopyId& copy) { return live.count(copy.Pid) > 0; };
    Neighbours one = ClipClaimsOfOtherCopies(dir.path(), {1, 9}, alive);
    Neighbours two = ClipClaimsOfOtherCopies(dir.path(), {2, 9}, alive);
    Neighbours three = ClipClaimsOfOtherCopies(dir.path(), {3, 9}, alive);

    one.Claim({"http://a/v/1", "http://a/v/2"});
    two.Claim({"http://a/v/3"});
    EXPECT_TRUE(two.Plays("http://a/v/2"));
    EXPECT_TRUE(one.Plays("http://a/v/3"));
    EXPECT_FALSE(one.Plays("http://a/v/1")) << "its own clips are not a neighbour's";
    EXPECT_FALSE(three.Plays("http://a/v/4"));

    one.Claim({"http://a/v/4"}); // moved on: its earlier clips are free
    EXPECT_FALSE(three.Plays("http://a/v/1"));
    EXPECT_TRUE(three.Plays("http://a/v/4"));

    live.erase(2); // killed
    EXPECT_FALSE(three.Plays("http://a/v/3"));
    one.Claim({}); // ended
    EXPECT_FALSE(three.Plays("http://a/v/4"));
}

} // namespace
} // namespace zavrio
