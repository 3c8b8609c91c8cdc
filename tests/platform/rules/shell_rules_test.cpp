#include <gtest/gtest.h>

#include <string>

#include "engine/core/services/bars.h"
#include "platform/rules/shell_rules.h"

namespace {

TEST(SpecialKeys, EngineCodesByModifier) {
    struct Case { uint32_t key; bool alt, ctrl; uint16_t code; };
    const Case cases[] = {
        { 8, false, false, 6 },  { 13, false, false, 8 }, { 27, false, false, 1 },
        { 35, false, false, 11 }, { 36, false, false, 10 }, { 46, false, false, 7 },
        { 37, false, false, 2 }, { 38, false, false, 4 },  { 39, false, false, 3 }, { 40, false, false, 5 },
        { 37, true, false, 12 }, { 38, true, false, 14 },  { 39, true, false, 13 }, { 40, true, false, 15 },
        { 13, true, false, 0 },  // Alt+Enter
        { 37, false, true, 0 },  { 27, false, true, 0 },   { 37, true, true, 0 },  // Ctrl refuses all
        { 65, false, false, 0 }, { 9, false, false, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EngineKeyCodeFor(c.key, c.alt, c.ctrl), c.code) << c.key << " alt " << c.alt << " ctrl " << c.ctrl;
}

TEST(SpeedRange, TextWithTheDecimalsOfEachEnd) {
    struct Case { double low, high; const char* text; };
    const Case cases[] = {
        { 0, 0, "" },          { 0.5, 0.5, "0.50" },        { 1, 2, "1.0...2.0" },
        { 0.05, 0.05, "0.050" }, { 0.001, 0.001, "0.0010" }, { -1, -1, "-1.0000" },
        { 0, 0.00005, "" },    { 0.5, 20, "0.50...20.0" },  { 2, 1, "2.0" },
    };
    char text[64];
    for (const Case& c : cases) {
        SpeedRangeText(c.low, c.high, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.low << " " << c.high;
    }
    FormatSpeedRangeText(1, 2);
    EXPECT_STREQ(CurrentSpeedRangeText(), "1.0...2.0");
}

TEST(BusyTimeline, StagesByElapsedTimeAlsoAcrossTheWrap) {
    for (uint32_t start : { 1000u, 0xFFFFFF00u }) {
        SCOPED_TRACE(start);
        EXPECT_EQ(BusyStageFor(start, start + 499, false), BusyStage::kNothing);
        EXPECT_EQ(BusyStageFor(start, start + 500, false), BusyStage::kShowStatus);
        EXPECT_EQ(BusyStageFor(start, start + 999, false), BusyStage::kShowStatus);
        EXPECT_EQ(BusyStageFor(start, start + 1000, false), BusyStage::kOpenWindow);
        EXPECT_EQ(BusyStageFor(start, start + 5000, true), BusyStage::kShowStatus);
    }
}

TEST(Deadlines, NoneHasPassedAndTheWrapIsCrossed) {
    EXPECT_EQ(DeadlineAfter(5000, 0), 0u);
    EXPECT_TRUE(DeadlineReached(0, 0));
    EXPECT_TRUE(DeadlineReached(0xFFFFFFFFu, 0));

    // Set 100 ms before the count wraps, due 100 ms after it.
    const uint32_t deadline = DeadlineAfter(0xFFFFFF9Cu, 200);
    EXPECT_EQ(deadline, 100u);
    EXPECT_FALSE(DeadlineReached(0xFFFFFF9Cu, deadline));
    EXPECT_FALSE(DeadlineReached(0xFFFFFFFFu, deadline));
    EXPECT_FALSE(DeadlineReached(99, deadline));
    EXPECT_TRUE(DeadlineReached(100, deadline));
    EXPECT_TRUE(DeadlineReached(5000, deadline));

    // A real deadline never lands on 0, which would mean none.
    EXPECT_EQ(DeadlineAfter(0xFFFFFFFFu, 1), 1u);
    EXPECT_FALSE(DeadlineReached(0xFFFFFFFFu, DeadlineAfter(0xFFFFFFFFu, 1)));
}

}  // namespace
