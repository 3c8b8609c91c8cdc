#include "ui/portable/motion_bar_rules.h"

#include <gtest/gtest.h>

namespace {

int32_t SixPerChar(const std::string& s) { return static_cast<int32_t>(s.size()) * 6; }

const TargetCaptionTexts kTexts{ "Target: ", "Target: All motions", "Target: None" };

}  // namespace

TEST(MotionBarRules, SpinStepDirection) {
    struct Case { int32_t previous, now, command; };
    const Case cases[] = {
        { 100, 99, 3 },    // up arrow: the position falls, faster
        { 100, 101, 4 },   // down arrow: slower
        { 200, 200, 4 },   // down arrow held at the bottom end keeps slowing
        { 0, 0, 3 },       // up arrow held at the top end keeps speeding up
        { 1, 0, 3 },
        { 199, 200, 4 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpinStepCommand(c.previous, c.now), c.command) << c.previous << " -> " << c.now;
}

TEST(MotionBarRules, CaptionByStateAndWidth) {
    // "Target: " is 8 characters (48 pixels); "point A" 7 (42); "2 points" 8 (48).
    struct Case { int32_t state; const char* noun; const char* single; int32_t width; const char* caption; };
    const Case cases[] = {
        { 1, "points", "", 10, "Target: All motions" },
        { 2, "points", "", 500, "Target: None" },
        // One object: its noun and label when the whole caption fits in width - 28.
        { 0, "point", "point A", 28 + 90, "Target: point A" },
        // One pixel short for the whole caption: the named text alone does not fit with
        // its prefix, so only the noun remains.
        { 0, "point", "point A", 28 + 89, "point" },
        // A long name does not fit by itself: the noun with the prefix instead.
        { 0, "point", "point Long-Named", 28 + 95, "Target: point" },
        { 0, "point", "point Long-Named", 28 + 96, "point" },   // fits, but not with the prefix
        { 0, "point", "point Long-Named", 28 + 77, "point" },
        // Several objects: the noun text.
        { 0, "2 points", "", 28 + 96, "Target: 2 points" },
        { 0, "2 points", "", 28 + 95, "2 points" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TargetCaption(c.state, kTexts, c.noun, c.single, c.width, SixPerChar), c.caption)
            << c.noun << " at " << c.width;
}
