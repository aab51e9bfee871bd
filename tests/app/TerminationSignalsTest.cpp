// The fallback of a termination signal whose loop never comes round: the
// process still ends, after running what must be given back, instead of
// dying of SIGALRM with the mute held.

#include "app/TerminationSignals.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace zavrio {
namespace {

TEST(TerminationSignalsDeathTest, ABusyGuiThreadIsEndedAfterTheLastWords) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int number : {SIGTERM, SIGHUP})
        EXPECT_EXIT(
            {
                EndOnTerminationSignals([] { std::fputs("mute given back\n", stderr); },
                                        std::chrono::milliseconds(100));
                ::raise(number);
                // The GUI thread is busy with work of its own for ever.
                for (;;)
                    ::pause();
            },
            testing::ExitedWithCode(1),
            "still running after the termination signal; ending now\nmute given back")
            << strsignal(number);
}

} // namespace
} // namespace zavrio
