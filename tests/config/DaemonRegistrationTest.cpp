// Our entry in the screensaver daemon's preferences: the edit, byte for byte.

#include "config/DaemonRegistration.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zavrio {
namespace {

const std::string Program = "/opt/z/zavrio-screensaver";
const std::string Ours = "\"Zavrio Video Screensaver\" /opt/z/zavrio-screensaver --root";

struct Case {
    const char* what;
    std::optional<std::string> before;
    std::string after;
};

// The daemon's own layout: values aligned with tabs, entries ended by "\n"
// and continued by "\".
const std::string Typical = "# XScreenSaver Preferences File\n"
                            "timeout:\t0:10:00\n"
                            "mode:\t\trandom\n"
                            "selected:\t-1\n"
                            "\n"
                            "programs:\t\t\t\t\t\t      \\\n"
                            "\t\t\t\tmaze -root\t\t\t    \\n\\\n"
                            "- GL: \t\t\t\tsuperquadrics -root\t\t    \\n\\\n"
                            "\t\t\t\txflame -root\t\t\t    \\n\n"
                            "\n"
                            "pointerHysteresis: 10\n";

const Case Cases[] = {
    {"no file yet: a minimal one", std::nullopt,
     "mode:\t\tone\n"
     "selected:\t0\n"
     "programs:\t\t\\\n"
     "\t\t" +
         Ours + " \\n\n"},
    {"other entries and comments: ours appended, everything else kept", Typical,
     "# XScreenSaver Preferences File\n"
     "timeout:\t0:10:00\n"
     "mode:\t\tone\n"
     "selected:\t3\n"
     "\n"
     "programs:\t\t\t\t\t\t      \\\n"
     "\t\t\t\tmaze -root\t\t\t    \\n\\\n"
     "- GL: \t\t\t\tsuperquadrics -root\t\t    \\n\\\n"
     "\t\t\t\txflame -root\t\t\t    \\n\\\n"
     "\t\t" +
         Ours +
         " \\n\n"
         "\n"
         "pointerHysteresis: 10\n"},
    {"our entry already there, by name, with an old path: rewritten in place",
     "mode: random\n"
     "programs: \\\n"
     "  maze -root \\n\\\n"
     "  - \"Zavrio Video Screensaver\" /old/zavrio-screensaver --root \\n\\\n"
     "  xflame -root \\n\n",
     "mode: one\n"
     "selected:\t1\n"
     "programs: \\\n"
     "  maze -root \\n\\\n"
     "  " +
         Ours +
         " \\n\\\n"
         "  xflame -root \\n\n"},
    {"our entry already there, by program: never a second one",
     "programs: \\\n  " + Program + " -root \\n\n",
     "mode:\t\tone\n"
     "selected:\t0\n"
     "programs: \\\n  " +
         Ours + " \\n\n"},
    {"already registered: nothing changes",
     "mode:\t\tone\nselected:\t0\nprograms:\t\t\\\n\t\t" + Ours + " \\n\n",
     "mode:\t\tone\nselected:\t0\nprograms:\t\t\\\n\t\t" + Ours + " \\n\n"},
    {"a continuation line at the end of the file", "selected: 0\nprograms: \\\n  maze -root \\n\\",
     "selected: 1\n"
     "mode:\t\tone\n"
     "programs: \\\n  maze -root \\n\\\n\t\t" +
         Ours + " \\n\n"},
    {"a last entry without its \\n, no line end", "programs: maze -root",
     "mode:\t\tone\nselected:\t1\nprograms: maze -root \\n\\\n\t\t" + Ours + " \\n\n"},
    {"no programs resource: added at the end", "timeout: 0:05:00",
     "timeout: 0:05:00\n"
     "mode:\t\tone\n"
     "selected:\t0\n"
     "programs:\t\t\\\n"
     "\t\t" +
         Ours + " \\n\n"},
};

TEST(DaemonRegistration, EditsThePreferences) {
    for (const Case& c : Cases) {
        EXPECT_EQ(RegisterWithDaemon(c.before, Program), c.after) << c.what;
        // Reading the result back finds the entry selected, and a second
        // registration changes nothing.
        const DaemonRegistration found = ReadDaemonRegistration(c.after, Program);
        EXPECT_TRUE(found.IsSelected()) << c.what;
        EXPECT_EQ(found.entry, Ours) << c.what;
        EXPECT_EQ(RegisterWithDaemon(c.after, Program), c.after) << c.what;
    }
}

TEST(DaemonRegistration, QuotesAPathTheShellWouldSplit) {
    const std::string after = RegisterWithDaemon(std::nullopt, "/home/a b/it's/saver");
    EXPECT_NE(after.find("\"Zavrio Video Screensaver\" '/home/a b/it'\\''s/saver' --root"),
              std::string::npos)
        << after;
    EXPECT_TRUE(ReadDaemonRegistration(after, "/home/a b/it's/saver").IsSelected());
}

TEST(DaemonRegistration, ReadsWhatIsThere) {
    const DaemonRegistration none = ReadDaemonRegistration(Typical, Program);
    EXPECT_EQ(none.entryIndex, -1);
    EXPECT_EQ(none.mode, "random");
    EXPECT_EQ(none.selected, -1);
    EXPECT_FALSE(none.IsSelected());

    // Registered but another screensaver selected since.
    const DaemonRegistration other = ReadDaemonRegistration(
        "mode: one\nselected: 0\nprograms: maze -root \\n\\\n  " + Ours + " \\n\n", Program);
    EXPECT_EQ(other.entryIndex, 1);
    EXPECT_FALSE(other.IsSelected());
}

} // namespace
} // namespace zavrio
