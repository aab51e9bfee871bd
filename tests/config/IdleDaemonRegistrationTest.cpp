// Our entries in the Wayland idle daemons' configuration: the edits, byte for
// byte, and what is read back.

#include "config/IdleDaemonRegistration.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zavrio {

void PrintTo(const IdleEntry& entry, std::ostream* out) {
    *out << "{line " << entry.Line << ", \"" << entry.Text << "\", timeout " << entry.Timeout
         << "}";
}

namespace {

const std::string Program = "/usr/bin/zavrio-screensaver";

struct Case {
    const char* what;
    std::optional<std::string> before;
    std::string after;
    std::vector<IdleEntry> entries; // what the result holds of ours
};

const Case SwayidleCases[] = {
    {"no file yet",
     std::nullopt,
     "timeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     {{1, "timeout 600 '/usr/bin/zavrio-screensaver /s'", 600}}},
    {"an empty file",
     "",
     "timeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     {{1, "timeout 600 '/usr/bin/zavrio-screensaver /s'", 600}}},
    {"other events and comments: ours added at the end, the rest kept",
     "# idle\n"
     "timeout 300 'swaylock -f -c 000000'\n"
     "\n"
     "timeout 900 'swaymsg \"output * power off\"' resume 'swaymsg \"output * power on\"'\n"
     "before-sleep 'swaylock -f'\n",
     "# idle\n"
     "timeout 300 'swaylock -f -c 000000'\n"
     "\n"
     "timeout 900 'swaymsg \"output * power off\"' resume 'swaymsg \"output * power on\"'\n"
     "before-sleep 'swaylock -f'\n"
     "timeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     {{6, "timeout 600 '/usr/bin/zavrio-screensaver /s'", 600}}},
    {"no line break at the end",
     "timeout 300 'swaylock -f'",
     "timeout 300 'swaylock -f'\ntimeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     {{2, "timeout 600 '/usr/bin/zavrio-screensaver /s'", 600}}},
    {"ours with an old path and its own timeout and resume: only the command changes",
     "timeout 300 'swaylock -f'\n"
     "timeout   120 \"/opt/old/zavrio-screensaver /s\" resume 'notify-send back'\n"
     "lock 'swaylock'",
     "timeout 300 'swaylock -f'\n"
     "timeout   120 '/usr/bin/zavrio-screensaver /s' resume 'notify-send back'\n"
     "lock 'swaylock'",
     {{2, "timeout   120 '/usr/bin/zavrio-screensaver /s' resume 'notify-send back'", 120}}},
    {"ours already right, quoted otherwise: left as the user wrote it",
     "timeout 45 \"/usr/bin/zavrio-screensaver /s\"\n",
     "timeout 45 \"/usr/bin/zavrio-screensaver /s\"\n",
     {{1, "timeout 45 \"/usr/bin/zavrio-screensaver /s\"", 45}}},
    {"ours commented out is a comment: a live line is added",
     "# timeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     "# timeout 600 '/usr/bin/zavrio-screensaver /s'\n"
     "timeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     {{2, "timeout 600 '/usr/bin/zavrio-screensaver /s'", 600}}},
    {"another program mentioning ours in its arguments is not ours",
     "timeout 60 'notify-send zavrio-screensaver'\n",
     "timeout 60 'notify-send zavrio-screensaver'\n"
     "timeout 600 '/usr/bin/zavrio-screensaver /s'\n",
     {{2, "timeout 600 '/usr/bin/zavrio-screensaver /s'", 600}}},
};

TEST(SwayidleRegistration, EditsTheConfiguration) {
    for (const Case& c : SwayidleCases) {
        const std::string after = RegisterWithSwayidle(c.before, Program);
        EXPECT_EQ(after, c.after) << c.what;
        EXPECT_EQ(FindSwayidleEntries(after, Program), c.entries) << c.what;
        EXPECT_EQ(RegisterWithSwayidle(after, Program), after) << c.what << ": not idempotent";
    }
}

TEST(SwayidleRegistration, QuotesAPathWithBlanksAndQuotes) {
    // The command goes through the shell after swayidle has split the line.
    EXPECT_EQ(RegisterWithSwayidle(std::nullopt, "/home/a b/zavrio-screensaver"),
              "timeout 600 \"'/home/a b/zavrio-screensaver' /s\"\n");
    const std::string quote = "/home/it's $HOME/zavrio-screensaver";
    const std::string after = RegisterWithSwayidle(std::nullopt, quote);
    EXPECT_EQ(after, "timeout 600 \"'/home/it'\\\\''s \\$HOME/zavrio-screensaver' /s\"\n");
    // Read back through the same word rules, the entry is found as ours and
    // a second registration finds it right.
    EXPECT_EQ(FindSwayidleEntries(after, quote).size(), 1u);
    EXPECT_EQ(RegisterWithSwayidle(after, quote), after);
    // Moved from a plain path to a quoted one: rewritten in place.
    EXPECT_EQ(RegisterWithSwayidle("timeout 30 '/usr/bin/zavrio-screensaver /s'\n",
                                   "/home/a b/zavrio-screensaver"),
              "timeout 30 \"'/home/a b/zavrio-screensaver' /s\"\n");
}

TEST(SwayidleRegistration, AnOddTimeoutIsReadAsUnknown) {
    EXPECT_EQ(FindSwayidleEntries("timeout soon '/x/zavrio-screensaver /s'\n", Program),
              (std::vector<IdleEntry>{{1, "timeout soon '/x/zavrio-screensaver /s'", -1}}));
}

const std::string OurBlock = "listener {\n"
                             "    timeout = 600\n"
                             "    on-timeout = /usr/bin/zavrio-screensaver /s\n"
                             "}\n";

const Case HypridleCases[] = {
    {"no file yet",
     std::nullopt,
     OurBlock,
     {{3, "    on-timeout = /usr/bin/zavrio-screensaver /s", 600}}},
    {"other blocks and comments: ours added after a blank line",
     "general {\n"
     "    lock_cmd = pidof hyprlock || hyprlock # one at a time\n"
     "}\n"
     "\n"
     "# dim first\n"
     "listener {\n"
     "    timeout = 150\n"
     "    on-timeout = brightnessctl -s set 10\n"
     "    on-resume = brightnessctl -r\n"
     "}\n",
     "general {\n"
     "    lock_cmd = pidof hyprlock || hyprlock # one at a time\n"
     "}\n"
     "\n"
     "# dim first\n"
     "listener {\n"
     "    timeout = 150\n"
     "    on-timeout = brightnessctl -s set 10\n"
     "    on-resume = brightnessctl -r\n"
     "}\n"
     "\n" +
         OurBlock,
     {{14, "    on-timeout = /usr/bin/zavrio-screensaver /s", 600}}},
    {"no line break at the end",
     "general {\n}",
     "general {\n}\n\n" + OurBlock,
     {{6, "    on-timeout = /usr/bin/zavrio-screensaver /s", 600}}},
    {"ours with an old path, its timeout, a comment and on-resume: only the command changes",
     "listener{\n"
     "  on-resume = notify-send back\n"
     "  on-timeout=/opt/old/zavrio-screensaver /s   # ours\n"
     "  timeout = 90\n"
     "}",
     "listener{\n"
     "  on-resume = notify-send back\n"
     "  on-timeout=/usr/bin/zavrio-screensaver /s   # ours\n"
     "  timeout = 90\n"
     "}",
     {{3, "  on-timeout=/usr/bin/zavrio-screensaver /s   # ours", 90}}},
    {"an on-timeout outside a listener block is not ours",
     "general {\n    on-timeout = /usr/bin/zavrio-screensaver /s\n}\n",
     "general {\n    on-timeout = /usr/bin/zavrio-screensaver /s\n}\n\n" + OurBlock,
     {{7, "    on-timeout = /usr/bin/zavrio-screensaver /s", 600}}},
};

TEST(HypridleRegistration, EditsTheConfiguration) {
    for (const Case& c : HypridleCases) {
        const std::string after = RegisterWithHypridle(c.before, Program);
        EXPECT_EQ(after, c.after) << c.what;
        EXPECT_EQ(FindHypridleEntries(after, Program), c.entries) << c.what;
        EXPECT_EQ(RegisterWithHypridle(after, Program), after) << c.what << ": not idempotent";
    }
}

TEST(HypridleRegistration, QuotesAPathWithBlanksQuotesAndHashes) {
    // "#" begins a comment in the file unless doubled; the shell sees one.
    const std::string program = "/home/a b/#1's/zavrio-screensaver";
    const std::string after = RegisterWithHypridle(std::nullopt, program);
    EXPECT_EQ(after, "listener {\n"
                     "    timeout = 600\n"
                     "    on-timeout = '/home/a b/##1'\\''s/zavrio-screensaver' /s\n"
                     "}\n");
    EXPECT_EQ(FindHypridleEntries(after, program).size(), 1u);
    EXPECT_EQ(RegisterWithHypridle(after, program), after);
}

} // namespace
} // namespace zavrio
