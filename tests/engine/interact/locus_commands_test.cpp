// Constructing loci from the selection through the background search, the range
// handles and their drag with undo.
#include "engine/interact/locus_commands.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/locus.h"
#include "engine/core/services/command_states.h"
#include "engine/interact/command_state.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/merge_split.h"
#include "engine/interact/undo.h"
#include "tests/engine/core/sketch_fixture.h"
#include "tests/support/alerts_double.h"

namespace {

constexpr uint32_t kLocusRow = 19;

class LocusCommandsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->windowRect = { 0, 0, 640, 480 };
        gEngine.frontSketch = sketch;
        ResetAlertDoubles();
        CmdStateFreeItems();
        ASSERT_TRUE(CmdStateReserveItems(4));
        item = CmdStateAddItem(CommandStateOwner{ kOwnerMenuItem, 0x1234, 0 }, kLocusRow);
        Settle();
    }
    void TearDown() override {
        ScheduleLocusCandidateSearch(0, 0);
        EndLocusRangeDrag();
        CmdStateFreeItems();
        while (RunIdleTaskPass()) {}
        gEngine.frontSketch = nullptr;
        SketchTest::TearDown();
    }

    // Selects the objects, then lets the menu refresh (which starts searches of its own)
    // and every search finish, so that a test's own search runs alone.
    void SelectOnly(std::initializer_list<SketchObject*> objects) {
        DeselectAll();
        for (SketchObject* o : objects) SelectSketchObject(o);
        Settle();
    }
    void Settle() {
        for (int32_t i = 0; i < 50 && RunIdleTaskPass(); ++i) {}
        CmdStateSetItem(item, 1, 44, 0, 9, 0);
    }
    // Idle passes until the search leaves the queue.
    int32_t RunSearch() {
        int32_t passes = 0;
        while (TheLocusCandidateTask().task.queued && passes < 10) {
            RunIdleTaskPass();
            ++passes;
        }
        return passes;
    }
    bool ItemEnabled() {
        int32_t enabled = 0;
        CmdStateGetItem(item, nullptr, nullptr, &enabled, nullptr);
        return enabled != 0;
    }

    // A point running along a ray or a line from (100, 100) through (200, 100), and the
    // midpoint between it and (100, 300). The driver sits at parameter t; on paths with
    // fewer than two ends the locus's range always takes it in.
    struct RayParts {
        SketchObject *path, *driver, *traced;
    };
    RayParts Ray(int32_t type, double t = 0.5) {
        RayParts r{};
        r.path = Build(type, { PointAt(100, 100), PointAt(200, 100) });
        r.driver = Build(kTypePointOnPath, { r.path }, nullptr, Reals(t, 0));
        r.traced = Build(kTypeMidpoint, { Build(kTypeSegment, { PointAt(100, 300), r.driver }) });
        return r;
    }

    uint32_t item = 0;
};

TEST_F(LocusCommandsTest, TheSearchTriesOneDriverPerIdlePass) {
    const MidpointLocusParts m = MidpointLocus(200, 200, 100, false);
    SelectOnly({ m.driver, m.traced });
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    // Set-up, the traced point as driver (nothing depends on it), then the real driver.
    EXPECT_EQ(RunSearch(), 3);
    const LocusCandidateTask& s = TheLocusCandidateTask();
    EXPECT_EQ(s.valid, 1);
    EXPECT_EQ(s.drivers[0], m.driver);
    EXPECT_EQ(s.traced[0], m.traced);
    EXPECT_EQ(s.paths[0], m.circle);
    EXPECT_TRUE(ItemEnabled());

    // A selection change while the search is queued ends it with the entry disabled.
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    DeselectAll();
    SelectSketchObject(m.traced);
    EXPECT_EQ(LocusCandidateStep(&TheLocusCandidateTask().task, 0), 0);
    EXPECT_EQ(s.valid, 0);
    EXPECT_FALSE(ItemEnabled());
}

TEST_F(LocusCommandsTest, SelectionsThatDefineNoLocus) {
    const MidpointLocusParts m = MidpointLocus();
    SketchObject* loose = PointAt(10, 10);
    // A point on a circle and a free point that does not depend on it.
    SelectOnly({ m.driver, loose });
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    RunSearch();
    EXPECT_EQ(TheLocusCandidateTask().valid, 0);
    EXPECT_FALSE(ItemEnabled());
    // Two free points: the command run anyway says so.
    SelectOnly({ loose, m.centre });
    const SketchObject* last = sketch->lastObject;
    EXPECT_EQ(ConstructLocusCommand(0), kResultOK);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, 109);
    EXPECT_EQ(ShownAlerts()[0].text, "That selection does not define a locus.");
    EXPECT_EQ(sketch->lastObject, last);
}

TEST_F(LocusCommandsTest, AnOldResultDoesNotOutliveItsSelection) {
    const MidpointLocusParts m = MidpointLocus();
    SelectOnly({ m.driver, m.traced });
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    RunSearch();
    ASSERT_EQ(TheLocusCandidateTask().valid, 1);
    // The selection changes without the menu asking again: the found objects may be gone.
    SelectOnly({ m.centre });
    const SketchObject* last = sketch->lastObject;
    ConstructLocusCommand(0);
    EXPECT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(sketch->lastObject, last);
}

TEST_F(LocusCommandsTest, ConstructLocusBuildsTheChainAndIsOneUndoStep) {
    const MidpointLocusParts m = MidpointLocus(200, 200, 100, false);
    // The midpoint's segment lies between driver and traced point; the circle's
    // definers do not.
    SelectOnly({ m.driver, m.traced });
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    ASSERT_EQ(ConstructLocusCommand(0), kResultOK);
    SketchObject* locus = sketch->lastObject;
    ASSERT_EQ(locus->constructionType, kTypeLocus);
    EXPECT_EQ(Parents(locus), (std::vector<SketchObject*>{ m.traced, m.circle, m.driver, m.segment, m.traced }));
    EXPECT_EQ(locus->exists, 1);
    EXPECT_EQ(sketch->selectionHead, locus);
    EXPECT_EQ(locus->nextSelected, nullptr);
    EXPECT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_NE(sketch->lastObject, locus);
    EXPECT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(sketch->lastObject, locus);
}

TEST_F(LocusCommandsTest, AThirdSelectedObjectCanBeThePath) {
    SketchObject* driver = PointAt(50, 50);
    SketchObject* traced = Build(kTypeMidpoint, { Build(kTypeSegment, { driver, PointAt(250, 50) }) });
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 200), PointAt(300, 200) });
    SelectOnly({ segment, driver, traced });
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    ASSERT_EQ(ConstructLocusCommand(0), kResultOK);
    SketchObject* locus = sketch->lastObject;
    ASSERT_EQ(locus->constructionType, kTypeLocus);
    EXPECT_EQ(Parents(locus)[1], segment);
    EXPECT_EQ(Parents(locus)[2], driver);
    // The driver is put back after sampling.
    EXPECT_EQ(PointPosition(driver).x, 50);
    EXPECT_EQ(LocusSamplePoint(locus, 0).y, 125);
}

TEST_F(LocusCommandsTest, DraggingTheFarHandleBackwardsPastTheStart) {
    // The drivers sit at the start of the visible range.
    struct Case { int32_t type; double start; bool collapses; };
    const Case cases[] = { { kTypeRay, 0, true }, { kTypeLine, -1, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const RayParts r = Ray(c.type, c.start);
        SketchObject* locus = BuildLocus(r.traced, r.driver, r.path, nullptr);
        ASSERT_NE(locus, nullptr);
        LocusData* L = LocusDataOf(locus);
        const double lo = L->lo, hi = L->hi;
        ASSERT_EQ(lo, c.start);
        ASSERT_EQ(L->endKind, kLocusEndGoesOn);
        const ScreenPoint end = LocusSamplePoint(locus, L->sampleCount - 1);
        ASSERT_EQ(FindLocusHandle(locus, { int16_t(end.x + 3), int16_t(end.y - 2) }, nullptr), 2);
        ASSERT_TRUE(BeginLocusRangeDrag(locus, end));
        UndoEntry entry{};
        ASSERT_TRUE(UndoRecordEntry(sketch->undoPosition, 0, &entry));
        EXPECT_EQ(entry.type, kUndoEntryLocusRange);
        // The midpoint moves 50 pixels per unit of the driver's parameter.
        const double back = (hi - lo) + 4;
        DragLocusRange({ int16_t(end.x - 50 * back), end.y });
        EndLocusRangeDrag();
        if (c.collapses) {
            EXPECT_EQ(L->lo, lo);
            EXPECT_EQ(L->hi, lo);
        } else {
            EXPECT_NEAR(L->lo, lo - 4, 1e-6);
            EXPECT_EQ(L->hi, lo);
        }
        EXPECT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
        EXPECT_EQ(L->lo, lo);
        EXPECT_EQ(L->hi, hi);
        EXPECT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
        EXPECT_EQ(L->hi, lo);
    }
}

TEST_F(LocusCommandsTest, ACollapsedRangeRefusesTheDrag) {
    const RayParts r = Ray(kTypeRay);
    SketchObject* locus = BuildLocus(r.traced, r.driver, r.path, nullptr);
    ASSERT_NE(locus, nullptr);
    LocusData* L = LocusDataOf(locus);
    L->lo = L->hi = 0.5;  // the driver's own parameter
    RecomputeObject(locus, nullptr, true);
    ASSERT_EQ(L->endKind, kLocusEndGoesOn);
    const UndoRecord* before = sketch->undoPosition;
    const ScreenPoint end = LocusSamplePoint(locus, L->sampleCount - 1);
    // Every sample sits at the one parameter: the change per pixel would be 0 / 0.
    EXPECT_FALSE(BeginLocusRangeDrag(locus, end));
    DragLocusRange({ int16_t(end.x + 40), end.y });
    EXPECT_EQ(L->lo, 0.5);
    EXPECT_EQ(L->hi, 0.5);
    EXPECT_EQ(sketch->undoPosition, before);
}

TEST_F(LocusCommandsTest, OutOfMemoryEndsWithoutALocusOrADrag) {
    const MidpointLocusParts m = MidpointLocus();
    SketchObject* driver = PointAt(50, 50);
    SketchObject* traced = Build(kTypeMidpoint, { Build(kTypeSegment, { driver, m.centre }) });
    SketchObject* locus = nullptr;
    for (uint32_t n = 1; n <= 12 && !locus; ++n) {
        SketchObject* last = sketch->lastObject;
        SetAllocFailureAfter(n);
        locus = BuildLocus(traced, driver, m.circle, nullptr);
        SetAllocFailureAfter(0);
        if (!locus) {
            EXPECT_EQ(sketch->lastObject, last);
        }
    }
    ASSERT_NE(locus, nullptr);
    const RayParts r = Ray(kTypeRay);
    SketchObject* rayLocus = BuildLocus(r.traced, r.driver, r.path, nullptr);
    ASSERT_NE(rayLocus, nullptr);
    const ScreenPoint end = LocusSamplePoint(rayLocus, LocusDataOf(rayLocus)->sampleCount - 1);
    SetAllocFailureAfter(1);
    EXPECT_FALSE(BeginLocusRangeDrag(rayLocus, end));
    SetAllocFailureAfter(0);
}

}  // namespace

namespace {

TEST_F(LocusCommandsTest, SplittingATracedPointFromItsParentsDeletesItsLocus) {
    const MidpointLocusParts m = MidpointLocus();
    SketchObject* on = Build(kTypePointOnPath, { m.locus }, nullptr, Reals(0.25, 0));
    ASSERT_TRUE(on);
    // A locus driven by the point stays: only one that traces it goes.
    SketchObject* driven = TraceLocus(m.segment, m.circle, m.driver);
    ASSERT_TRUE(driven);
    SelectOnly({ m.traced });
    ASSERT_EQ(SplitCommand(1), kResultOK);
    EXPECT_EQ(m.traced->constructionType, kTypeFree);
    EXPECT_FALSE(IsLinkedIntoSketch(m.locus));
    EXPECT_FALSE(IsLinkedIntoSketch(on));
    EXPECT_TRUE(IsLinkedIntoSketch(driven));
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(m.traced->constructionType, kTypeMidpoint);
    EXPECT_TRUE(IsLinkedIntoSketch(m.locus));
    EXPECT_TRUE(IsLinkedIntoSketch(on));
    EXPECT_EQ(m.locus->exists, 1);
}

}  // namespace

namespace {

TEST_F(LocusCommandsTest, MergingAPathsPointOntoTheDriverDeletesTheSelfDrivenLocus) {
    // A free driver running along the segment from `end` to (300, 200).
    SketchObject* end = PointAt(0, 200);
    SketchObject* path = Build(kTypeSegment, { end, PointAt(300, 200) });
    SketchObject* driver = PointAt(50, 50);
    SketchObject* traced = Build(kTypeMidpoint, { Build(kTypeSegment, { driver, PointAt(250, 50) }) });
    SketchObject* locus = BuildLocus(traced, driver, path, nullptr);
    ASSERT_NE(locus, nullptr);
    // The segment's end merged onto the driver: the path would move with its driver.
    SelectOnly({ end, driver });
    ASSERT_EQ(MergeCommand(0), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(end));
    EXPECT_EQ(Parents(path)[0], driver);
    EXPECT_FALSE(IsLinkedIntoSketch(locus));
    EXPECT_EQ(NestedEvaluationDepth, 0);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(IsLinkedIntoSketch(locus));
    EXPECT_EQ(Parents(path)[0], end);
    EXPECT_EQ(Parents(locus)[2], driver);
}

}  // namespace
