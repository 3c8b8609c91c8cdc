// Construction tools driven through the mouse handling, as the sketch view drives them.
#include "engine/interact/current_tool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/paths.h"
#include "engine/core/points.h"
#include "engine/core/random.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/mouse.h"
#include "engine/interact/toolbox.h"
#include "engine/interact/undo.h"
#include "tests/support/clock_double.h"
#include "tool_run_fixture.h"

namespace {

constexpr int32_t kSegmentItem = 4;
constexpr int32_t kPointItem = 2;

}  // namespace

TEST_F(ToolRun, SegmentFromEmptySpaceToAnExistingPoint) {
    SketchObject* e = PointAt(100, 100);
    SelectToolboxItem(kSegmentItem, kToolboxNone);
    ASSERT_EQ(CurrentToolId(), kToolSegment);
    EXPECT_EQ(GetMouseState(), kMouseToolTracking);
    Hover(10, 10);
    EXPECT_EQ(Prompt(), "Construct Segment...");
    Down(10, 10);
    Up(10, 10);
    Hover(100, 100);
    EXPECT_EQ(Prompt(), "...to Point.");
    EXPECT_TRUE(e->stateFlags & kObjectHot);  // the target is highlighted
    Down(100, 100);
    Up(100, 100);

    const std::vector<SketchObject*> points = OfClass(kClassPoint);
    const std::vector<SketchObject*> segments = OfClass(kClassStraight);
    ASSERT_EQ(points.size(), 2u);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(Parents(segments[0]), (std::vector<SketchObject*>{ points[1], e }));
    EXPECT_EQ(PointPosition(points[1]).x, 10);
    EXPECT_FALSE(e->stateFlags & kObjectHot);
    EXPECT_EQ(UndoDepth(), 1);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameConstruct);
    EXPECT_EQ(UndoText(), "&Undo Construct Segment");
    EXPECT_TRUE(IsSelected(segments[0]));
    EXPECT_FALSE(ToolRunActive());
    EXPECT_EQ(CurrentToolId(), kToolSegment);  // the tool stays
    for (SketchObject* o : SketchOrder()) EXPECT_FALSE(IsExcludedFromHits(o));

    // Undo takes back the new point and the segment, not the existing point.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ e }));
}

TEST_F(ToolRun, SamePointTwiceGives202AndBuildsNothing) {
    SketchObject* e = PointAt(100, 100);
    SelectToolboxItem(kSegmentItem, kToolboxNone);
    Click(100, 100);
    EXPECT_TRUE(ToolRunActive());
    Hover(150, 150);
    Click(100, 100);
    EXPECT_FALSE(ToolRunActive());
    EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ e }));
    EXPECT_EQ(UndoDepth(), 0);
    EXPECT_EQ(CurrentToolId(), kToolSegment);  // 202 keeps the tool
    int32_t item = 0, member = 0;
    GetToolboxSelection(&item, &member);
    EXPECT_EQ(item, kSegmentItem);
    // The next move of 7 pixels starts a new run once the button is up.
    Hover(160, 160);
    EXPECT_TRUE(ToolRunActive());
}

TEST_F(ToolRun, PressDragReleasePlacesBothPoints) {
    SelectToolboxItem(kSegmentItem, kToolboxNone);
    Hover(10, 10);
    Down(10, 10);
    Hover(13, 12);  // the rest after a click
    Hover(60, 40);
    Up(60, 40);
    const std::vector<SketchObject*> points = OfClass(kClassPoint);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(PointPosition(points[0]).x, 10);
    EXPECT_EQ(PointPosition(points[1]).x, 60);
    EXPECT_EQ(PointPosition(points[1]).y, 40);
    EXPECT_EQ(OfClass(kClassStraight).size(), 1u);
    EXPECT_EQ(UndoDepth(), 1);
}

// After the first point the segment is drawn to the provisional point and follows it;
// it is never hit, never recorded, and goes with the run.
TEST_F(ToolRun, TheGivenFollowsThePointerFromTheFirstPoint) {
    SelectToolboxItem(kSegmentItem, kToolboxNone);
    Click(10, 10);
    Hover(60, 40);
    auto preview = [&]() -> SketchObject* {
        for (SketchObject* o : SketchOrder())
            if (o->objectClass == kClassStraight && IsExcludedFromHits(o)) return o;
        return nullptr;
    };
    SketchObject* shown = preview();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->exists, 1);
    EXPECT_EQ(Parents(shown), (std::vector<SketchObject*>{ OfClass(kClassPoint)[0], Provisional() }));
    Hover(90, 10);
    EXPECT_GE(shown->bounds.right, 89);
    EXPECT_LE(shown->bounds.bottom, 12);  // recomputed: no longer down to y 40

    EndToolInProgress();
    EXPECT_TRUE(SketchOrder().empty());
    EXPECT_EQ(UndoDepth(), 0);

    // Completed: one segment, one undo step, nothing provisional left.
    Hover(30, 30);
    Click(30, 30);
    Hover(80, 30);
    Click(80, 30);
    EXPECT_EQ(OfClass(kClassStraight).size(), 1u);
    EXPECT_EQ(preview(), nullptr);
    EXPECT_EQ(SketchOrder().size(), 3u);
    EXPECT_EQ(UndoDepth(), 1);
}

// Out of the sketch before its first click a run ends, so that its provisional point
// does not stay; once it has a click it goes on.
TEST_F(ToolRun, LeavingTheSketchEndsARunWithoutAClick) {
    SelectToolboxItem(kPointItem, kToolboxNone);
    Hover(20, 20);
    ASSERT_NE(Provisional(), nullptr);
    SketchMouseLeave();
    EXPECT_FALSE(ToolRunActive());
    EXPECT_TRUE(SketchOrder().empty());
    Hover(21, 21);  // back in, at once
    EXPECT_TRUE(ToolRunActive());
    EXPECT_NE(Provisional(), nullptr);

    SelectToolboxItem(kSegmentItem, kToolboxNone);
    Click(10, 10);
    Hover(60, 40);
    SketchMouseLeave();
    EXPECT_TRUE(ToolRunActive());
    EXPECT_EQ(OfClass(kClassPoint).size(), 1u);
}

TEST_F(ToolRun, ShiftKeepsFifteenDegreeDirections) {
    struct Case { int x, y, wantX, wantY; };
    const Case cases[] = {
        { 100, 20, 100, 27 }, { 100, 50, 100, 58 }, { 100, 90, 100, 100 }, { 100, 13, 100, 0 },
        { -40, 100, -27, 100 }, { -100, -20, -100, -27 },
    };
    SelectToolboxItem(kSegmentItem, kToolboxNone);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        Click(0, 0);
        Hover(c.x, c.y, kMouseShift);
        SketchObject* p = Provisional();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(PointPosition(p).x, c.wantX);
        EXPECT_EQ(PointPosition(p).y, c.wantY);
        EndToolInProgress();  // Escape: the first point goes with the run
        EXPECT_TRUE(SketchOrder().empty());
        Hover(200, 200);
    }
    // Clicking with Shift places the constrained point.
    Click(0, 0);
    Click(100, 20, kMouseShift);
    const std::vector<SketchObject*> points = OfClass(kClassPoint);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(PointPosition(points[1]).y, 27);
}

TEST_F(ToolRun, PointSnapsToTheGridWithin14Pixels) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCoordinateSystem, 1, kKindCoordinateSystem, 0 };
    SketchObject* system = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(system, nullptr);
    system->exists = 1;
    const double frame[4] = { 0, 0, 50, 50 };  // origin and unit lengths
    std::memcpy(ClassData<double>(system), frame, sizeof frame);
    sketch->marks[kMarkCoordSystem].object = system;
    sketch->marks[kMarkCoordSystem].state = kMarkSet;
    sketch->pageFlags |= 1;
    SelectToolboxItem(kPointItem, kToolboxNone);
    ASSERT_EQ(CurrentToolId(), kToolPoint);
    struct Case { int x, y; double wantX, wantY; };
    const Case cases[] = { { 60, 45, 50, 50 }, { 114, 86, 100, 100 }, { 70, 70, 70, 70 }, { 130, 30, 130, 30 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        Click(c.x, c.y);
        Hover(c.x + 300, c.y + 300);  // away, so the next run starts
        SketchObject* p = sketch->lastObject;
        while (p && (p->objectClass != kClassPoint || IsExcludedFromHits(p))) p = p->prevInSketch;
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(PointPosition(p).x, c.wantX);
        EXPECT_EQ(PointPosition(p).y, c.wantY);
    }
    EXPECT_EQ(UndoText(), "&Undo Construct Point");
}

TEST_F(ToolRun, HoveringAndEscapeLeaveTheSeed) {
    MakePointOnSideTool();
    SetRandomSeed(77);
    ASSERT_TRUE(SelectCustomToolSketch(toolSketch));
    EXPECT_EQ(CurrentToolId(), kToolCustom);
    // Once A is matched, B is matched provisionally to the point under the pointer: the
    // side and a point placed at random on it follow the pointer.
    Click(10, 10);
    Hover(80, 10);
    Hover(90, 40);
    ASSERT_NE(Provisional(), nullptr);
    EXPECT_EQ(PointPosition(Provisional()).x, 90);
    EndToolInProgress();
    EXPECT_EQ(GetRandomSeed(), 77u);
    // A stays as the tool object it is; the provisional B and its steps are gone.
    EXPECT_EQ(OfClass(kClassPoint).size(), 1u);
    EXPECT_TRUE(OfClass(kClassStraight).empty());
    EXPECT_EQ(UndoDepth(), 1);
}

TEST_F(ToolRun, CustomToolMatchesTheAssumedGivenByLabel) {
    MakeTwoSidesTool();
    SketchObject* decoy = PointAt(300, 300);
    Label(decoy, "A", false);
    decoy->label.shown = 0;
    SketchObject* a = PointAt(200, 200);
    Label(a, "A", false);
    ASSERT_TRUE(SelectCustomToolSketch(toolSketch));
    EXPECT_EQ(GetToolMatch(toolSketch, 0), a);  // shown label and visible wins
    Hover(10, 10);
    // The tool's givens are named by their numbered labels.
    EXPECT_EQ(Prompt(), "1. Match Point #2...");
    Down(10, 10);
    Up(10, 10);
    // B is matched: the side AB stands; Escape keeps what was built.
    ASSERT_EQ(OfClass(kClassStraight).size(), 1u);
    EXPECT_EQ(Parents(OfClass(kClassStraight)[0])[0], a);
    Hover(120, 20);
    EXPECT_EQ(Prompt(), "2. Match Point #3...");
    EndToolInProgress();
    EXPECT_EQ(OfClass(kClassStraight).size(), 1u);
    EXPECT_EQ(OfClass(kClassPoint).size(), 3u);  // decoy, A and the new B
    EXPECT_STREQ(UndoRecordNameText(sketch->undoPosition), "Two Sides");
    EXPECT_EQ(UndoRecordNounIndex(sketch->undoPosition), kUndoNounNone);

    // A whole run: both sides, selected, one record named by the tool.
    Hover(100, 10);
    Click(100, 10);
    Click(150, 60);
    const std::vector<SketchObject*> sides = OfClass(kClassStraight);
    ASSERT_EQ(sides.size(), 3u);
    EXPECT_TRUE(IsSelected(sides[1]));
    EXPECT_TRUE(IsSelected(sides[2]));
    EXPECT_EQ(UndoDepth(), 2);
    EXPECT_STREQ(UndoRecordNameText(sketch->undoPosition), "Two Sides");
    EXPECT_EQ(UndoRecordNounIndex(sketch->undoPosition), kUndoNounNone);
    EXPECT_EQ(GetToolMatch(toolSketch, 0), nullptr);  // no run
    EXPECT_EQ(CurrentToolId(), kToolCustom);
}

// Every allocation of a run may fail: the run ends or carries on, nothing is left
// half-made and nothing leaks.
TEST_F(ToolRun, AllocationFailureAtEachStepOfARun) {
    uint32_t n = 1;
    for (; n < 400; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        const uint64_t before = AllocRequestCount();
        SelectToolboxItem(kSegmentItem, kToolboxNone);
        Click(10, 10);
        Hover(60, 40);
        Click(60, 40);
        const bool failed = AllocRequestCount() - before >= n;
        SetAllocFailureAfter(0);
        EndToolInProgress();
        ResetMouseState();
        for (SketchObject* o : SketchOrder()) {
            EXPECT_FALSE(IsExcludedFromHits(o));
            if (o->objectClass == kClassStraight) {
                EXPECT_EQ(Parents(o).size(), 2u);
            }
        }
        const size_t segments = OfClass(kClassStraight).size();
        EXPECT_LE(segments, 1u);
        if (segments == 1) EXPECT_EQ(OfClass(kClassPoint).size(), 2u);
        else EXPECT_TRUE(OfClass(kClassPoint).empty());
        if (!failed) {
            EXPECT_EQ(segments, 1u);
            EXPECT_EQ(UndoDepth(), 1);
            break;
        }
        FreeSketch(sketch);
        sketch = CreateSketch(0, nullptr);
        ASSERT_NE(sketch, nullptr);
        SetCurrentSketch(sketch, nullptr);
        Front(sketch);
        SelectToolboxEntry(1, 1, false);
    }
    EXPECT_LT(n, 400u);  // a run that fails nowhere was reached
}
