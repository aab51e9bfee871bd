#include "playback/ExitPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zavrio {
namespace {

TSaverSettings options(bool move, bool press, bool key, bool showCursor, bool onlyEsc) {
    TSaverSettings s;
    s.MouseMoveExit = move;
    s.MousePressExit = press;
    s.KeyboardPressExit = key;
    s.ShowCursor = showCursor;
    s.OnlyEscKeyExit = onlyEsc;
    return s;
}

constexpr std::uintptr_t VK_A = 'A';

const TSaverSettings Defaults = options(false, true, true, false, false);
const TSaverSettings ShowCursorOnly = options(true, true, false, true, false);
const TSaverSettings OnlyEsc = options(true, true, true, false, true);
const TSaverSettings Nothing = options(false, false, false, false, false);
const TSaverSettings MouseOnly = options(true, true, false, false, false);

struct Row {
    const char* name;
    TSaverSettings opts;
    std::uint32_t message;
    std::uintptr_t wParam;
    ExitDecision expected;
};

const Row Rows[] = {
    {"default_key_closes", Defaults, WM_KEYDOWN, VK_A, {true, false}},
    {"default_alt_key_closes", Defaults, WM_SYSKEYDOWN, VK_A, {true, false}},
    {"default_left_click_closes_and_is_dropped", Defaults, WM_LBUTTONDOWN, 1, {true, true}},
    {"default_right_click_closes_and_is_dropped", Defaults, WM_RBUTTONDOWN, 2, {true, true}},
    {"default_move_ignored", Defaults, WM_MOUSEMOVE, 0, {false, false}},
    // ShowCursor makes every key close even without KeyboardPressExit...
    {"showcursor_key_closes", ShowCursorOnly, WM_KEYDOWN, VK_A, {true, false}},
    // ...and silences the mouse although both mouse options are set.
    {"showcursor_click_ignored", ShowCursorOnly, WM_LBUTTONDOWN, 1, {false, false}},
    {"showcursor_move_ignored", ShowCursorOnly, WM_MOUSEMOVE, 0, {false, false}},
    {"onlyesc_escape_closes", OnlyEsc, WM_KEYDOWN, VK_ESCAPE, {true, false}},
    {"onlyesc_alt_escape_closes", OnlyEsc, WM_SYSKEYDOWN, VK_ESCAPE, {true, false}},
    {"onlyesc_other_key_ignored", OnlyEsc, WM_KEYDOWN, VK_A, {false, false}},
    {"onlyesc_alt_key_ignored", OnlyEsc, WM_SYSKEYDOWN, VK_A, {false, false}},
    {"onlyesc_click_ignored", OnlyEsc, WM_RBUTTONDOWN, 2, {false, false}},
    {"onlyesc_move_ignored", OnlyEsc, WM_MOUSEMOVE, 0, {false, false}},
    // With no condition at all the keyboard still ends it.
    {"nothing_key_closes", Nothing, WM_KEYDOWN, VK_A, {true, false}},
    {"nothing_click_ignored", Nothing, WM_LBUTTONDOWN, 1, {false, false}},
    {"mouseonly_key_ignored", MouseOnly, WM_KEYDOWN, VK_A, {false, false}},
    {"screensave_swallowed", Defaults, WM_SYSCOMMAND, SC_SCREENSAVE, {false, true}},
    // The low four bits are not masked.
    {"screensave_with_low_bits_passes", Defaults, WM_SYSCOMMAND, SC_SCREENSAVE + 1, {false, false}},
    {"other_syscommand_passes", Defaults, WM_SYSCOMMAND, 0xF060, {false, false}},
    {"middle_button_ignored", Defaults, 519, 0, {false, false}},
    {"key_up_ignored", Defaults, 257, VK_A, {false, false}},
};

class ExitPolicyTable : public testing::TestWithParam<Row> {};

TEST_P(ExitPolicyTable, Decides) {
    const Row& row = GetParam();
    std::int32_t allowance = MouseMoveAllowanceStart;
    EXPECT_EQ(DecideExit(row.message, row.wParam, row.opts, allowance), row.expected);
    EXPECT_EQ(allowance, MouseMoveAllowanceStart) << "only counted mouse moves spend the allowance";
}

INSTANTIATE_TEST_SUITE_P(Rows, ExitPolicyTable, testing::ValuesIn(Rows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExitPolicy, TwentyMovesPassTheTwentyFirstCloses) {
    std::int32_t allowance = MouseMoveAllowanceStart;
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(DecideExit(WM_MOUSEMOVE, 0, MouseOnly, allowance), ExitDecision{}) << i;
    EXPECT_EQ(allowance, 0);
    // Mouse moves are delivered even when they close the window.
    EXPECT_EQ(DecideExit(WM_MOUSEMOVE, 0, MouseOnly, allowance), (ExitDecision{true, false}));
    EXPECT_EQ(DecideExit(WM_MOUSEMOVE, 0, MouseOnly, allowance), (ExitDecision{true, false}));
}

TEST(ExitPolicy, NegativeAllowanceCloses) {
    std::int32_t allowance = -3;
    EXPECT_TRUE(DecideExit(WM_MOUSEMOVE, 0, MouseOnly, allowance).Close);
    EXPECT_EQ(allowance, -3);
}

TEST(ExitPolicy, MovesWithoutMouseMoveExitLeaveAllowanceAlone) {
    std::int32_t allowance = 0;
    EXPECT_FALSE(DecideExit(WM_MOUSEMOVE, 0, Defaults, allowance).Close);
    EXPECT_EQ(allowance, 0);
}

} // namespace
} // namespace zavrio
