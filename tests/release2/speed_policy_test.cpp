#include "release2/draw/speed_policy.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tests/support/clock_double.h"

namespace {

constexpr ScreenRect kWindow = { 0, 0, 200, 100 };
constexpr ScreenRect kLarge = { 0, 0, 101, 50 };    // just over a quarter
constexpr ScreenRect kQuarter = { 0, 0, 100, 50 };  // exactly a quarter: small

// Runs redraws given as letters: 'L' fast and large, 's' fast and small, 'S' slow (one
// tick past its budget) and large. Answers one letter per redraw: 'a' anti-aliased, 'p' plain.
std::string Redraw(const std::string& redraws) {
    std::string drawn;
    for (char r : redraws) {
        bool allow = false;
        AllowAntiAliasThisRedraw(&allow);
        drawn += allow ? 'a' : 'p';
        const uint32_t budget = allow ? kAntiAliasedBudgetMs : kPlainBudgetMs;
        AdvanceTestTickCount(r == 'S' ? budget : budget - 1);
        UpdateAntiAliasPolicy(r == 's' ? kQuarter : kLarge, kWindow);
    }
    return drawn;
}

std::string Times(int n, char c) { return std::string(size_t(n), c); }
// Appends in order (joining with + trips a false overlap warning of the cross compiler).
std::string Join(std::initializer_list<std::string> parts) {
    std::string all;
    for (const std::string& p : parts) all.append(p);
    return all;
}

struct SpeedPolicyTest : ::testing::Test {
    void SetUp() override {
        SetTestTickCount(0xFFFFFF00u);  // budgets run across the tick count's wrap
        ResetSpeedPolicy();
    }
};

TEST_F(SpeedPolicyTest, RedrawSequencesMoveTheStatesByTheTable) {
    struct Case { const char* name; std::string redraws, drawn; int32_t state; };
    const Case cases[] = {
        { "first redraw is tried, fast ones keep it", "LLs", "aaa", kSpeedOn },
        { "one slow redraw puts it on probation", "LS", "aa", kSpeedOnProbation },
        { "a slow first redraw turns it off at once", Join({ "S", Times(9, 'L') }), Join({ "a", Times(9, 'p') }),
          kSpeedOff },
        { "10 then 16 fast large plain redraws bring it back", Join({ "S", Times(10, 'L'), Times(16, 'L'), "L" }),
          Join({ "a", Times(26, 'p'), "a" }), kSpeedOn },
        { "15 after the 10 are not enough", Join({ "S", Times(25, 'L') }), Join({ "a", Times(25, 'p') }),
          kSpeedOffProbation },
        { "small redraws earn nothing while off", Join({ "S", Times(40, 's') }), Join({ "a", Times(40, 'p') }),
          kSpeedOff },
        { "a slow one while off owes the penalty again", Join({ "S", Times(9, 'L'), "S", Times(9, 'L') }),
          Join({ "a", Times(19, 'p') }), kSpeedOff },
        { "a fast large one clears the probation", "LSL" "S", "aaaa", kSpeedOnProbation },
        { "the second switch-off owes 20", Join({ "S", Times(26, 'L'), "S", Times(20, 'L') }),
          Join({ "a", Times(26, 'p'), "a", Times(20, 'p') }), kSpeedOffProbation },
        { "slow redraws on probation cost 2 each", Join({ "S", Times(10, 'L'), Times(7, 'S') }),
          Join({ "a", Times(17, 'p') }), kSpeedOffProbation },
        { "and the eighth sends it back off", Join({ "S", Times(10, 'L'), Times(8, 'S') }),
          Join({ "a", Times(18, 'p') }), kSpeedOff },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSpeedPolicy();
        EXPECT_EQ(Redraw(c.redraws), c.drawn);
        EXPECT_EQ(TheSpeedPolicy().state, c.state);
    }
}

TEST_F(SpeedPolicyTest, LargeMeansMoreThanAQuarterInSixtyFourBits) {
    struct Case { ScreenRect redrawn, window; bool large; };
    const Case cases[] = {
        { kQuarter, kWindow, false },
        { kLarge, kWindow, true },
        { { -30000, -30000, 30000, 30000 }, { -30000, -30000, 30000, 30000 }, true },
        { { 0, 0, 15000, 30000 }, { -30000, -30000, 30000, 30000 }, false },
        { { 0, 0, 30001 - 1, 30000 }, { -30000, -30000, 30000, 30000 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.redrawn.right);
        ResetSpeedPolicy();  // on probation: a large fast redraw makes it on
        bool allow = false;
        AllowAntiAliasThisRedraw(&allow);
        UpdateAntiAliasPolicy(c.redrawn, c.window);
        EXPECT_EQ(TheSpeedPolicy().state, c.large ? kSpeedOn : kSpeedOnProbation);
    }
}

TEST_F(SpeedPolicyTest, PenaltyIsPaidBackWhileOnButNeverBelowSixty) {
    TheSpeedPolicy() = { kSpeedOn, 0, 62, 0, 0 };
    Redraw("LLLs");
    EXPECT_EQ(TheSpeedPolicy().penalty, 60u);
    TheSpeedPolicy().penalty = 30;
    Redraw("L");
    EXPECT_EQ(TheSpeedPolicy().penalty, 30u);
    // Off again, the penalty has grown by 10 and is owed whole.
    Redraw("SS");
    EXPECT_EQ(TheSpeedPolicy().state, kSpeedOff);
    EXPECT_EQ(TheSpeedPolicy().penalty, 40u);
    EXPECT_EQ(TheSpeedPolicy().offCount, 40);
    ForceAntiAliasRedraw();
    EXPECT_EQ(Redraw("L"), "a");
}

}  // namespace
