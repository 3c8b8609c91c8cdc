#include <cstring>

#include "command_fixture.h"
#include "engine/interact/menu_texts.h"

using SelectionCensusTest = CommandFixture;

TEST_F(SelectionCensusTest, EmptySelection) {
    TakeSelectionCensus();
    const SelectionCensus& c = CurrentSelectionCensus();
    for (uint16_t n : c.counts) EXPECT_EQ(n, 0);
    EXPECT_STREQ(c.noun, "");
    EXPECT_EQ(c.commonKind, 0);
    EXPECT_EQ(c.flags[kFlagAllShowText], 0);
    EXPECT_EQ(c.flags[kFlagAllMovingFast], 1);
    EXPECT_EQ(c.flags[kFlagAllFreePointsOrParameters], 0);
    EXPECT_EQ(c.noSketch, 0);
    const RowState hide = Eval(20);  // "Hide" shows "&Hide Objects", disabled
    EXPECT_EQ(hide.text, menu_text::kTextHideObjects);
    EXPECT_FALSE(hide.enabled);
}

TEST_F(SelectionCensusTest, CountsSumUpTheKindLatticeAndNameTheCommonKind) {
    SketchObject& a = Point(0, 0);
    SketchObject& mid = Make(1, 11, 1);  // a midpoint
    SketchObject& s = Segment({0, 0}, {10, 0});
    Select(a, mid);
    TakeSelectionCensus();
    const SelectionCensus& c = CurrentSelectionCensus();
    EXPECT_EQ(c.counts[4], 2);
    EXPECT_EQ(c.counts[11], 1);
    EXPECT_EQ(c.counts[1], 2);
    EXPECT_EQ(c.commonKind, 4);
    EXPECT_STREQ(c.noun, "Points");

    Select(s);
    TakeSelectionCensus();
    EXPECT_EQ(c.counts[14], 1);
    EXPECT_EQ(c.counts[7], 1);
    EXPECT_EQ(c.counts[5], 1);
    EXPECT_EQ(c.counts[2], 3);
    EXPECT_EQ(c.counts[1], 3);
    EXPECT_EQ(c.commonKind, 2);
    EXPECT_EQ(c.flags[kFlagTransformable], 1);
    EXPECT_EQ(c.flags[kFlagHasParents], 1);
    EXPECT_EQ(c.flags[kFlagGeometricOrParameter], 1);

    DeselectAll();
    Select(s);
    TakeSelectionCensus();
    EXPECT_STREQ(c.noun, "Segment");
}

TEST_F(SelectionCensusTest, TextStyleFlagsAndLineStyles) {
    SketchObject& caption = Make(0, 19, 0);
    caption.textStyle.field[0] = 3;
    caption.textStyle.field[1] = 12;
    SketchObject& point = Point(1, 1);
    point.label.shown = 1;
    point.textStyle.field[0] = 3;
    point.textStyle.field[1] = 14;
    Select(caption, point);
    TakeSelectionCensus();
    const SelectionCensus& c = CurrentSelectionCensus();
    EXPECT_EQ(c.flags[kFlagAllShowText], 1);
    EXPECT_EQ(c.flags[kFlagSomeLabelFollows], 1);
    EXPECT_EQ(c.flags[kFlagAllLabelsShown], 1);
    TextStyle style{};
    ASSERT_TRUE(GetSelectionTextStyle(&style));
    EXPECT_EQ(style.field[0], 3);
    EXPECT_EQ(style.field[1], 0);  // differing fields inherit

    point.label.shown = 0;
    TakeSelectionCensus();
    EXPECT_EQ(c.flags[kFlagAllShowText], 0);
    EXPECT_EQ(c.flags[kFlagAllLabelsShown], 0);

    SketchObject& thick = Segment({0, 0}, {5, 5});
    thick.lineStyle = 2;
    Select(thick);
    TakeSelectionCensus();
    EXPECT_EQ(c.lineStylePresent[2], 1);
    EXPECT_EQ(c.lineStylePresent[1], 0);
    EXPECT_EQ(c.gridsOnly, 0);
}

TEST_F(SelectionCensusTest, ShiftStateDirtiesItsGroupsOnlyWhenItChanges) {
    while (RunIdleTasks()) {}
    ASSERT_EQ(CmdStateDirtyMask(), 0);
    SetShiftState(1);
    EXPECT_EQ(CmdStateDirtyMask(), (1u << 3) | (1u << 6) | (1u << 7) | (1u << 12));
    while (RunIdleTasks()) {}
    SetShiftState(1);
    EXPECT_EQ(CmdStateDirtyMask(), 0);
    TakeSelectionCensus();
    EXPECT_EQ(CensusShiftState(), 1);
}

TEST_F(SelectionCensusTest, StatusTextOfTheSelection) {
    char* text = nullptr;
    TakeSelectionCensus();
    EXPECT_FALSE(SelectionStatusText(&text));  // nothing selected
    EXPECT_EQ(text, nullptr);

    SketchObject& a = Point(0, 0);
    SketchObject& b = Point(1, 0);
    Select(a, b);
    EXPECT_FALSE(SelectionStatusText(&text));  // the census is stale
    TakeSelectionCensus();
    ASSERT_TRUE(SelectionStatusText(&text));
    EXPECT_STREQ(text, "Selected: 2 Points");
    FreeMemory(text);

    DeselectAll();
    a.label.level = 3;
    std::memcpy(a.label.text.inlineText, "ABCD", 4);  // four characters, no NUL
    Select(a);
    TakeSelectionCensus();
    ASSERT_TRUE(SelectionStatusText(&text));
    EXPECT_STREQ(text, "Selected: Point ABCD");
    FreeMemory(text);

    // Installed as the status line's provider, keyed by the census.
    InstallSelectionStatus();
    const char* shown = nullptr;
    ASSERT_TRUE(FetchStatusText(&shown));
    EXPECT_STREQ(shown, "Selected: Point ABCD");
    FreeStatusText();

    SetAllocFailureAfter(1);
    EXPECT_FALSE(SelectionStatusText(&text));
    EXPECT_EQ(text, nullptr);
}

