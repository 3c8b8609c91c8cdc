#include "ui/portable/script_page_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Steps of the given heights (-1: no text); records where each is placed.
struct Script {
    std::vector<int32_t> heights;
    std::vector<std::pair<int32_t, int32_t>> placed;  // step, top

    static int32_t Height(void* c, int32_t step) { return static_cast<Script*>(c)->heights[step - 1]; }
    static void Place(void* c, int32_t step, int32_t y) { static_cast<Script*>(c)->placed.push_back({ step, y }); }
    int32_t Page(int32_t y, int32_t first) {
        placed.clear();
        return PlaceScriptSteps(kSpace, y, first, int32_t(heights.size()), Height, Place, this);
    }
    static constexpr ScriptPageSpace kSpace = { 1000, 10, 20 };
};

TEST(ScriptPageLayout, StepsFillAPageAndTheOverflowingOneBeginsTheNext) {
    Script s{ { 300, 300, -1, 300, 300 }, {} };
    // 100 + 310 + 310 = 720, the empty step 740, then 1050 passes 1000.
    EXPECT_EQ(s.Page(100, 1), 4);
    const std::vector<std::pair<int32_t, int32_t>> first = { { 1, 100 }, { 2, 410 } };
    EXPECT_EQ(s.placed, first);
    // The next page starts with step 4 below its own heading.
    EXPECT_EQ(s.Page(50, 4), 6);
    const std::vector<std::pair<int32_t, int32_t>> second = { { 4, 50 }, { 5, 360 } };
    EXPECT_EQ(s.placed, second);
    // Laying out without drawing gives the same break.
    EXPECT_EQ(PlaceScriptSteps(Script::kSpace, 100, 1, 5, Script::Height, nullptr, &s), 4);
}

TEST(ScriptPageLayout, AStepTallerThanThePageTakesAPageOfItsOwn) {
    Script s{ { 100, 5000, 100 }, {} };
    EXPECT_EQ(s.Page(100, 1), 2);  // the tall step does not fit after the first
    EXPECT_EQ(s.Page(100, 2), 3);  // alone on its page, so printing goes on
    ASSERT_EQ(s.placed.size(), 1u);
    EXPECT_EQ(s.placed[0].first, 2);
    EXPECT_EQ(s.Page(100, 3), 4);
    // Also when it is the very first step, after the title.
    Script tall{ { 5000 }, {} };
    EXPECT_EQ(tall.Page(900, 1), 2);
}

TEST(ScriptPageLayout, EmptyStepsOnlyAddRoomAndAnEmptyScriptEnds) {
    Script s{ { -1, -1, -1 }, {} };
    EXPECT_EQ(s.Page(100, 1), 4);
    EXPECT_TRUE(s.placed.empty());
    Script none{ {}, {} };
    EXPECT_EQ(none.Page(100, 1), 1);
}

}  // namespace
