// The keys of the front sketch: toolbox steps, the arrow nudge through the key entry
// points, Delete while the mouse is held, and the default locus samples.
#include "engine/interact/sketch_keys.h"

#include <gtest/gtest.h>

#include "engine/core/frame_tick.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/drag.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/toolbox.h"
#include "engine/interact/undo.h"
#include "support/clock_double.h"
#include "support/scoped_preferences.h"
#include "support/shell_double.h"

namespace {

class SketchKeys : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        SetCurrentTool(kToolTranslateArrow);
        MakeCurrentSketchFront();
        SetArrowKeysHeld(true);
    }
    void TearDown() override {
        EndObjectDrag();
        SetMouseState(kMouseIdle);
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        ToolboxEntry* previous = nullptr;
        InstallToolbox(nullptr, &previous);
        FreeMemory(previous);
        SetCurrentTool(kToolTranslateArrow);
        SetArrowKeysHeld(true);
        SketchTest::TearDown();
    }
    void Frame() {
        AdvanceTestTickCount(kFrameMs);
        FrameTick(&sketch->ticker.task, 0);
    }
    static std::pair<int32_t, int32_t> Selection() {
        int32_t item = 0, member = 0;
        GetToolboxSelection(&item, &member);
        return { item, member };
    }
};

TEST_F(SketchKeys, ToolboxStepsWrapAroundAndSkipTheCustomButtonWithoutATool) {
    ToolboxEntry* previous = nullptr;
    ASSERT_EQ(InstallToolbox(CopyDefaultToolboxLayout(), &previous), kResultOK);
    FreeMemory(previous);
    SelectToolboxItem(1, 1);  // the translate arrow, first of the arrows' group
    using P = std::pair<int32_t, int32_t>;
    const uint16_t none = kToolboxNone;
    struct Step { uint16_t key; P after; int32_t tool; };
    const Step steps[] = {
        { kKeyLeft,  { 1, 3 }, kToolDilateArrow },     // within the group, wrapping back
        { kKeyRight, { 1, 1 }, kToolTranslateArrow },  // and forward again
        { kKeyUp,    { 5, none }, kToolText },         // across: item 6 has no custom tool
        { kKeyDown,  { 1, 1 }, kToolTranslateArrow },  // forward past it, wrapping to 1
        { kKeyDown,  { 2, none }, kToolPoint },
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(HandleViewCommand(s.key, kKeyStepsToolbox));
        EXPECT_EQ(Selection(), s.after) << s.key;
        EXPECT_EQ(CurrentToolId(), s.tool) << s.key;
    }
    // Within a group needs a current group: the point tool stands alone.
    EXPECT_FALSE(StepToolboxTool(true, true));
    EXPECT_EQ(Selection(), P(2, none));
}

TEST_F(SketchKeys, AnArrowNudgesUntilTheShellReportsItReleased) {
    SketchObject* a = PointAt(10, 10);
    SelectSketchObject(a);
    EXPECT_TRUE(HandleViewCommand(kKeyDown, 0));
    ASSERT_TRUE(DragInProgress(sketch));
    Frame();
    EXPECT_NEAR(PointPosition(a).y, 11, 1e-9);
    AdvanceTestTickCount(300);
    Frame();
    EXPECT_NEAR(PointPosition(a).y, 12, 1e-9);
    SetArrowKeysHeld(false);
    Frame();
    EXPECT_FALSE(DragInProgress(nullptr));
    EXPECT_NEAR(PointPosition(a).y, 12, 1e-9);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameTranslate);

    DeselectAll();
    EXPECT_FALSE(NudgeSelection(kKeyLeft));  // nothing selected
}

TEST_F(SketchKeys, DeleteWhileTheMouseIsHeldDoesNothing) {
    SketchObject* a = PointAt(10, 10);
    SelectSketchObject(a);
    SetMouseState(kMouseDragPending);
    EXPECT_TRUE(HandleViewCommand(kKeyDelete, 0));
    EXPECT_TRUE(IsLinkedIntoSketch(a));
    EXPECT_FALSE(HandleViewCommand(kKeyLeft, 0));  // nor does an arrow nudge
    EXPECT_FALSE(DragInProgress(nullptr));
}

TEST_F(SketchKeys, PlusAndMinusOnTablesOfMeasurements) {
    const ObjectTemplate t = { 91, 0, 0, kClassTable, 1, kKindNone, 0 };
    SketchObject* table = AllocObject(kClassTable, &t);
    ASSERT_NE(table, nullptr);
    table->exists = 1;
    LinkObjectIntoSketch(table, kNotLinked);
    ASSERT_EQ(InitTableData(table, nullptr), 1);  // metric and header rows
    SelectSketchObject(table);
    EXPECT_TRUE(HandleSketchChar('+'));  // the first value row
    EXPECT_TRUE(HandleSketchChar('+'));
    EXPECT_EQ(TableDataOf(table)->rowCount, 4);
    EXPECT_TRUE(HandleSketchChar('-'));
    EXPECT_EQ(TableDataOf(table)->rowCount, 3);
    const int32_t beeps = RefusalBeepCount();
    EXPECT_TRUE(HandleSketchChar('-'));  // only the value row is left: refused
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(TableDataOf(table)->rowCount, 3);
    EXPECT_FALSE(HandleSketchChar('x'));
    DeselectAll();
    EXPECT_FALSE(HandleSketchChar('+'));  // nothing selected
}

TEST_F(SketchKeys, TextStyleOfTheSelectionAndItsFamilyDefaults) {
    ScopedPreferences prefs;
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
    SketchObject* first = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    SketchObject* second = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_TRUE(first && second);
    SelectSketchObject(first);
    SelectSketchObject(second);
    const int32_t family = ObjectClassTable[kClassCaption].textFamily;
    TextStyle style{};
    style.field[kStyleSize] = 20;
    style.field[kStyleWeight] = 2;
    ThePreferences().defaultTextStyles[family] = TextStyle{};
    const int16_t weight = first->textStyle.field[kStyleWeight];
    ApplyTextStyleToSelection(style, 1u << kStyleSize, true, 0);  // the size only
    for (SketchObject* o : { first, second }) {
        EXPECT_EQ(o->textStyle.field[kStyleSize], 20);
        EXPECT_EQ(o->textStyle.field[kStyleWeight], weight);  // masked out
    }
    // Only the defaults asked: the common size still becomes the family's default size.
    EXPECT_EQ(ThePreferences().defaultTextStyles[family].field[kStyleSize], 20);
    ApplyTextStyleToSelection(style, (1u << kStyleWeight), false, 0);
    EXPECT_EQ(ThePreferences().defaultTextStyles[family].field[kStyleWeight], 2);

    // A shown label takes the style through the object's text: measured and placed again.
    SketchObject* point = FreePoint();
    ASSERT_NE(point, nullptr);
    SetLabelShown(point, true, nullptr, true);
    const int16_t width = point->labelPlace.width;
    DeselectAll();
    SelectSketchObject(point);
    style.field[kStyleSize] = 40;
    ApplyTextStyleToSelection(style, 1u << kStyleSize, true, 0);
    EXPECT_EQ(point->textStyle.field[kStyleSize], 40);
    EXPECT_GT(point->labelPlace.width, width);
}

TEST_F(SketchKeys, DefaultLocusSamplesFollowTheFamilyWeights) {
    ScopedPreferences prefs;
    ThePreferences().locusSamples = 500;
    ThePreferences().plotSamples = 300;
    struct Case { int32_t family, kind, samples; };
    const Case cases[] = {
        { kFamilyPoint, kKindPoint, 500 },
        { kFamilyPoint, 55, 300 },  // a function plot
        { kFamilyStraight, kKindSegment, 250 },
        { kFamilyCircle, kKindCircle, 250 },
        { kFamilyCircle, kKindCircleInterior, 62 },
        { kFamilyPolygon, kKindPolygonInterior, 125 },
        { kFamilyArc, kKindArc, 250 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultLocusSamples(c.family, c.kind), c.samples) << c.family << " " << c.kind;
    }
}

}  // namespace
