#include <gtest/gtest.h>

#include <set>

#include "engine/core/services/preferences.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/construction_commands.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/object_commands.h"
#include "engine/interact/undo.h"
#include "tests/engine/core/sketch_fixture.h"
#include "tests/support/views_double.h"

namespace {

class CommandsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        gEngine.frontSketch = sketch;
        ResetMouseState();
        SetCurrentTool(kToolTranslateArrow);
    }
    void TearDown() override {
        gEngine.frontSketch = nullptr;
        SketchTest::TearDown();
    }

    void SelectAllOf(std::initializer_list<SketchObject*> objects) {
        for (SketchObject* o : objects) SelectSketchObject(o);
    }
    std::vector<SketchObject*> Selection() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) out.push_back(o);
        return out;
    }
    std::vector<SketchObject*> OfType(int32_t type) const {
        std::vector<SketchObject*> out;
        for (SketchObject* o : SketchOrder()) {
            if (o->constructionType == type) out.push_back(o);
        }
        return out;
    }
    SketchObject* Segment(SketchObject* a, SketchObject* b) { return Build(kTypeSegment, { a, b }); }
};

TEST(ConstructionProgramBlock, EveryNamedOffsetStartsAnOperation) {
    const uint32_t starts[] = { 0, 5, 10, 13, 15, 20, 25, 30, 35, 37, 39, 41, 44, 47, 51, 54,
                                57, 59, 62, 65, 69, 72, 76, 79, 82, 84, 90, 96, 98, 102, 105,
                                108, 112, 116, 120, 122, 124, 127, 130, 133, 137, 140 };
    for (uint32_t s : starts) EXPECT_LE(ConstructionProgram[s], 4) << s;
    // Rule arguments one byte early land on a type number above 4, which is skipped.
    const uint32_t early[] = { 89, 95, 97, 101, 104, 107, 115, 119, 121, 123, 126, 129, 132, 136, 139 };
    for (uint32_t s : early) EXPECT_GT(ConstructionProgram[s], 4) << s;
    EXPECT_EQ(ConstructionProgram[89], 69);
    EXPECT_EQ(ConstructionProgram[141], 91);
}

TEST_F(CommandsTest, MidpointsOfThreeSegmentsAreOneUndoStep) {
    SketchObject* s1 = Segment(PointAt(0, 0), PointAt(10, 0));
    SketchObject* s2 = Segment(PointAt(0, 20), PointAt(10, 20));
    SketchObject* s3 = Segment(PointAt(0, 40), PointAt(10, 40));
    SelectAllOf({ s1, s2, s3 });
    const int32_t depth = UndoDepth();
    ASSERT_EQ(ConstructByProgramCommand(10), kResultOK);
    const std::vector<SketchObject*> mids = OfType(kTypeMidpoint);
    ASSERT_EQ(mids.size(), 3u);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(Parents(mids[0]), std::vector<SketchObject*>{ s1 });
    EXPECT_EQ(Parents(mids[2]), std::vector<SketchObject*>{ s3 });
    EXPECT_DOUBLE_EQ(PointPosition(mids[1]).y, 20);
    EXPECT_EQ(Selection().size(), 3u);  // the new objects replace the selection

    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(OfType(kTypeMidpoint).empty());
    const std::vector<SketchObject*> selected = Selection();
    EXPECT_EQ(std::set<SketchObject*>(selected.begin(), selected.end()),
              (std::set<SketchObject*>{ s1, s2, s3 }));
}

TEST_F(CommandsTest, ProgramsMoveAClassToTheFrontAndFallBackBelowTwoMatches) {
    SketchObject* line = Segment(PointAt(0, 0), PointAt(100, 0));
    SketchObject* p = PointAt(30, 50);
    SketchObject* q = PointAt(60, 70);
    // Perpendicular to one straight object through each point: the point list leaves
    // the straight object first.
    SelectAllOf({ p, line, q });
    ASSERT_EQ(ConstructByProgramCommand(5), kResultOK);
    std::vector<SketchObject*> perps = OfType(kTypePerpendicular);
    ASSERT_EQ(perps.size(), 2u);
    EXPECT_EQ(Parents(perps[0]), (std::vector<SketchObject*>{ p, line }));
    EXPECT_EQ(Parents(perps[1]), (std::vector<SketchObject*>{ q, line }));

    // One point: op 2 acts as op 0 on the whole list; bits 30 and 31 are ignored.
    SketchObject* r = PointAt(80, 20);
    DeselectAll();
    SelectAllOf({ line, r });
    ASSERT_EQ(ConstructByProgramCommand(5 | (3 << 30)), kResultOK);
    perps = OfType(kTypePerpendicular);
    ASSERT_EQ(perps.size(), 3u);
    EXPECT_EQ(Parents(perps[2]), (std::vector<SketchObject*>{ r, line }));
}

TEST_F(CommandsTest, SegmentsCloseAChainFromThreeOrMorePoints) {
    struct Case { int32_t points; size_t segments; };
    for (const Case c : { Case{ 2, 1 }, Case{ 4, 4 }, Case{ 1, 0 } }) {
        SCOPED_TRACE(c.points);
        DeselectAll();
        std::vector<SketchObject*> points;
        for (int32_t i = 0; i < c.points; ++i) points.push_back(PointAt(200 * c.points + 10 * i, i * i));
        for (SketchObject* p : points) SelectSketchObject(p);
        const size_t before = OfType(kTypeSegment).size();
        ASSERT_EQ(ConstructBetweenPointsCommand(kTypeSegment), kResultOK);
        const std::vector<SketchObject*> all = OfType(kTypeSegment);
        ASSERT_EQ(all.size() - before, c.segments);
        if (c.segments == 4) {  // the last one closes the quadrilateral
            EXPECT_EQ(Parents(all.back()), (std::vector<SketchObject*>{ points[3], points[0] }));
        }
    }
}

// The sketch's own settings say whether new points and the parents of measurements
// show their labels.
TEST_F(CommandsTest, AutomaticLabelsFollowTheSketchSettings) {
    for (int32_t on : { 0, 1 }) {
        SCOPED_TRACE(on);
        sketch->settings.labelNewPoints = on;
        sketch->settings.labelMeasuredObjects = on;
        SketchObject* a = PointAt(10, 10);
        SketchObject* b = PointAt(60, 10);
        ApplyAutomaticLabels(a);
        EXPECT_EQ(a->label.shown, on);
        EXPECT_EQ(b->label.shown, 0);
        SketchObject* distance = Build(41, { a, b });
        ASSERT_NE(distance, nullptr);
        ApplyAutomaticLabels(distance);
        EXPECT_EQ(b->label.shown, on);
    }
}

TEST_F(CommandsTest, IntersectionsOfALineAndACircleThatDoNotMeetAreBothBuilt) {
    SketchObject* circle = Build(kTypeCircleByPoint, { PointAt(0, 0), PointAt(10, 0) });
    SketchObject* line = Build(kTypeLine, { PointAt(-50, 30), PointAt(50, 30) });
    SelectAllOf({ line, circle });  // the circle is the most recent; the line is still first
    ASSERT_EQ(ConstructIntersectionsCommand(0), kResultOK);
    std::vector<SketchObject*> made = OfType(11);
    ASSERT_EQ(made.size(), 1u);
    ASSERT_EQ(OfType(12).size(), 1u);
    EXPECT_EQ(made[0]->exists, 0);
    EXPECT_EQ(Parents(made[0]), (std::vector<SketchObject*>{ line, circle }));

    // A tangent-free crossing of two circles builds both; they exist.
    SketchObject* other = Build(kTypeCircleByPoint, { PointAt(12, 0), PointAt(2, 0) });
    DeselectAll();
    SelectAllOf({ circle, other });
    ASSERT_EQ(ConstructIntersectionsCommand(0), kResultOK);
    ASSERT_EQ(OfType(13).size(), 1u);
    ASSERT_EQ(OfType(14).size(), 1u);
    EXPECT_EQ(OfType(13)[0]->exists, 1);
}

TEST_F(CommandsTest, HideIsCarriedOutByItsRecordAndShowAllSparesDerivedImages) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* c = PointAt(20, 0);
    ChangeObjectHidden(c, kHiddenAsConsumed, false);
    SelectAllOf({ a, b });
    ASSERT_EQ(HideObjectsCommand(0), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_TRUE(Selection().empty());
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(a->hidden, kShown);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);

    ASSERT_EQ(ShowAllHiddenCommand(0), kResultOK);
    EXPECT_EQ(a->hidden, kShown);
    EXPECT_EQ(b->hidden, kShown);
    EXPECT_EQ(c->hidden, kHiddenAsConsumed);
    EXPECT_EQ(Selection().size(), 2u);
}

TEST_F(CommandsTest, DeleteTakesDependantsAndUndoBringsThemBack) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* s = Segment(a, b);
    SketchObject* m = Build(kTypeMidpoint, { s });
    SelectAllOf({ a });
    ASSERT_EQ(DeleteCommand(0), kResultOK);
    EXPECT_EQ(SketchOrder(), std::vector<SketchObject*>{ b });
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    const std::vector<SketchObject*> order = SketchOrder();
    EXPECT_EQ(std::set<SketchObject*>(order.begin(), order.end()), (std::set<SketchObject*>{ a, b, s, m }));
    EXPECT_EQ(Parents(m), std::vector<SketchObject*>{ s });
}

// Without memory for its record a Delete loses nothing: every collected object comes
// back with its parents and children, and the selection is as it was.
TEST_F(CommandsTest, DeleteWithoutMemoryForItsRecordPutsEverythingBack) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* s = Segment(a, b);
    SketchObject* m = Build(kTypeMidpoint, { s });
    SketchObject* c = Build(kTypeCircleByPoint, { m, b });
    bool sawFailure = false;
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        DeselectAll();
        SelectAllOf({ s, a });
        SetAllocFailureAfter(n);
        const ResultCode result = DeleteCommand(0);
        SetAllocFailureAfter(0);
        if (result == kResultOK) {
            ASSERT_EQ(SketchOrder(), std::vector<SketchObject*>{ b });
            break;
        }
        sawFailure = true;
        EXPECT_EQ(result, kResultOutOfMemory);
        const std::vector<SketchObject*> order = SketchOrder();
        ASSERT_EQ(std::set<SketchObject*>(order.begin(), order.end()),
                  (std::set<SketchObject*>{ a, b, s, m, c }));
        EXPECT_EQ(Parents(c), (std::vector<SketchObject*>{ m, b }));
        EXPECT_EQ(Children(s), std::vector<SketchObject*>{ m });
        EXPECT_EQ(Children(b).size(), 2u);
        const std::vector<SketchObject*> selected = Selection();
        EXPECT_EQ(std::set<SketchObject*>(selected.begin(), selected.end()), (std::set<SketchObject*>{ s, a }));
        EXPECT_EQ(c->exists, 1);
    }
    EXPECT_TRUE(sawFailure);
}

TEST_F(CommandsTest, LineStyleWithShiftKeepsTheDefault) {
    SketchObject* s = Segment(PointAt(0, 0), PointAt(10, 0));
    SelectAllOf({ s });
    const int32_t before = ThePreferences().newLineStyle;
    const int32_t other = before == 2 ? 0 : 2;
    ASSERT_EQ(LineStyleCommand(other | 0x80), kResultOK);
    EXPECT_EQ(s->lineStyle, other);
    EXPECT_EQ(ThePreferences().newLineStyle, before);
    ASSERT_EQ(LineStyleCommand(1), kResultOK);
    EXPECT_EQ(s->lineStyle, 1);
    EXPECT_EQ(ThePreferences().newLineStyle, 1);
    ThePreferences().newLineStyle = before;
}

TEST_F(CommandsTest, TraceTogglesOnlyTraceableObjectsAndSelectRelativesKeepsOrphans) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* s = Segment(a, PointAt(10, 0));
    SelectAllOf({ a, s });
    ASSERT_EQ(TraceCommand(0), kResultOK);
    EXPECT_EQ(a->traced, 1);
    EXPECT_EQ(s->traced, 1);
    ASSERT_EQ(TraceCommand(0), kResultOK);  // all traced: untrace them all
    EXPECT_EQ(a->traced, 0);

    ASSERT_EQ(SelectRelativesCommand(0), kResultOK);  // parents: a has none and stays
    const std::vector<SketchObject*> selected = Selection();
    EXPECT_EQ(selected.size(), 2u);
    EXPECT_EQ(std::set<SketchObject*>(selected.begin(), selected.end()),
              (std::set<SketchObject*>{ a, Parents(s)[1] }));
}

TEST_F(CommandsTest, EscapeDeselectsThenStopsAnimationsThenErasesTraces) {
    SketchObject* a = PointAt(0, 0);
    SetCurrentTool(kToolPoint);
    SelectAllOf({ a });
    EscapeCommand();  // the toolbox takes its default tool: nothing else
    EXPECT_EQ(CurrentToolId(), kToolTranslateArrow);
    EXPECT_EQ(Selection().size(), 1u);
    EscapeCommand();
    EXPECT_TRUE(Selection().empty());
    ASSERT_EQ(StartMotion(CreateMotion(a, nullptr, kMotionRandomFree, 0, 1, 1.8), nullptr, nullptr), 0);
    ASSERT_NE(ActivityWord() & kActivityAnimating, 0u);
    EscapeCommand();
    EXPECT_EQ(ActivityWord() & kActivityAnimating, 0u);
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });  // a stopped motion selects its object
    EscapeCommand();
    EXPECT_TRUE(Selection().empty());
    ResetViewRequests();
    EscapeCommand();
    EXPECT_EQ(RecordedViewRequests().viewRebuilds, 1);
}

}  // namespace
