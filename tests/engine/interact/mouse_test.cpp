#include <gtest/gtest.h>

#include "engine/core/marks.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "tests/engine/core/sketch_fixture.h"
#include "tests/support/alerts_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/document_services_double.h"
#include "tests/support/shell_double.h"
#include "tests/support/views_double.h"

namespace {

class MouseTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        gEngine.frontSketch = sketch;
        ResetMouseState();
        SetCurrentTool(kToolTranslateArrow);
        SetTestTickCount(1000);
        ResetAlertDoubles();
        ResetDocumentServices();
    }
    void TearDown() override {
        ResetMouseState();
        gEngine.frontSketch = nullptr;
        SketchTest::TearDown();
    }
    SketchObject* Selectable(SketchObject* o) {
        o->selectable = 1;
        return o;
    }
    SketchObject* P(double x, double y) { return Selectable(PointAt(x, y)); }
    SketchObject* Segment(SketchObject* a, SketchObject* b) {
        return Selectable(Build(kTypeSegment, { a, b }));
    }
    std::vector<SketchObject*> Selection() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) out.push_back(o);
        return out;
    }
    static ScreenPoint At(int x, int y) { return { static_cast<int16_t>(x), static_cast<int16_t>(y) }; }
    void Click(ScreenPoint p, uint32_t flags = 0) {
        SketchMouseDown(flags, p);
        SketchMouseUp(flags, p);
    }
};

TEST_F(MouseTest, HitTestFindsPointsAboveSegmentsAndTheSelectedObjectUnder) {
    SketchObject* a = P(100, 100);
    SketchObject* b = P(200, 100);
    SketchObject* s = Segment(a, b);
    uint32_t parts = 0;
    SketchObject* under = nullptr;
    EXPECT_EQ(HitTestSketch(At(100, 100), &under, false, &parts), a);  // layer 10 first
    EXPECT_EQ(under, nullptr);
    EXPECT_EQ(HitTestSketch(At(150, 101), nullptr, false, &parts), s);
    EXPECT_EQ(parts, kHitOutline);
    EXPECT_EQ(HitTestSketch(At(150, 140), nullptr, false, &parts), nullptr);
    EXPECT_EQ(parts, 0u);
    SelectSketchObject(s);
    EXPECT_EQ(HitTestSketch(At(100, 100), &under, false, nullptr), a);
    EXPECT_EQ(under, s);
    a->selectable = 0;
    EXPECT_EQ(HitTestSketch(At(100, 100), nullptr, false, nullptr), s);
    EXPECT_EQ(HitTestSketch(At(100, 100), nullptr, true, nullptr), a);
}

TEST_F(MouseTest, ClicksSelectDeselectAndClearTheSelection) {
    SketchObject* a = P(100, 100);
    SketchObject* b = P(200, 100);
    Click(At(100, 100));
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    Click(At(200, 100));  // a click adds to the selection
    EXPECT_EQ(Selection().size(), 2u);
    Click(At(200, 100));  // a click on a selected object deselects it
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    Click(At(10, 10), kMouseShift);  // empty space with Shift keeps the selection
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    Click(At(10, 10));
    EXPECT_TRUE(Selection().empty());
    EXPECT_EQ(GetMouseState(), kMouseIdle);
    (void)b;
}

TEST_F(MouseTest, ClickingAnUnselectedObjectOverASelectedOneSelectsNext) {
    SketchObject* a = P(100, 100);
    SketchObject* s = Segment(a, P(200, 100));
    SelectSketchObject(s);
    Click(At(100, 100));
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    DeselectAll();
    SelectSketchObject(s);
    Click(At(100, 100), kMouseShift);  // with Shift both stay selected
    EXPECT_EQ(Selection().size(), 2u);
}

TEST_F(MouseTest, ADragStartsBeyondSixPixelsOrAfterHalfASecond) {
    SketchObject* a = P(100, 100);
    SketchMouseDown(0, At(100, 100));
    SketchMouseHover(0, At(106, 94), 0);  // within 6 pixels: still a click
    EXPECT_EQ(GetMouseState(), kMouseDragPending);
    AdvanceTestTickCount(499);
    SketchMouseHover(0, At(105, 95), 0);
    EXPECT_EQ(GetMouseState(), kMouseDragPending);
    SketchMouseUp(0, At(105, 95));
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    EXPECT_EQ(GetMouseState(), kMouseIdle);

    DeselectAll();
    SketchMouseDown(0, At(100, 100));
    SketchMouseHover(0, At(107, 100), 0);
    EXPECT_EQ(GetMouseState(), kMouseDragging);
    SketchMouseUp(0, At(107, 100));
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });  // the dragged object is selected

    // Holding still for 500 ms starts it too (the point now stands where it was dropped).
    SketchMouseDown(0, At(107, 100));
    AdvanceTestTickCount(500);
    SketchMouseHover(0, At(108, 100), 0);
    EXPECT_EQ(GetMouseState(), kMouseDragging);
    SketchMouseUp(0, At(108, 100));
    EXPECT_EQ(GetMouseState(), kMouseIdle);
}

TEST_F(MouseTest, AClickOnAnIntersectionBuildsItWithUndo) {
    SketchObject* h = Segment(P(0, 100), P(200, 100));
    SketchObject* v = Segment(P(100, 0), P(100, 200));
    const int32_t depth = UndoDepth();
    uint32_t parts = 0;
    ASSERT_NE(HitTestSketch(At(101, 101), nullptr, false, &parts), nullptr);
    EXPECT_EQ(parts, kHitOutline | kHitIntersection);
    SketchObject* first = nullptr;
    SketchObject* second = nullptr;
    int32_t type = 0;
    RealPoint where{};
    ASSERT_TRUE(GetIntersectionHit(&first, &second, &type, &where));
    EXPECT_EQ(type, kTypeIntersectStraights);
    EXPECT_DOUBLE_EQ(where.x, 100);

    Click(At(101, 101));
    SketchObject* made = sketch->lastObject;
    ASSERT_EQ(made->constructionType, kTypeIntersectStraights);
    EXPECT_EQ(Parents(made).size(), 2u);
    EXPECT_EQ(made->exists, 1);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ made });
    (void)h;
    (void)v;
}

TEST_F(MouseTest, MarqueeSelectsWhatItMeetsAndASmallOneKeepsTheSnapshot) {
    SketchObject* a = P(100, 100);
    SketchObject* b = P(200, 200);
    SelectSketchObject(a);
    SketchMouseDown(kMouseShift, At(150, 150));
    ASSERT_EQ(GetMouseState(), kMouseMarquee);
    SketchMouseHover(kMouseShift, At(156, 154), 0);  // under 8 x 8: nothing new
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    SketchMouseHover(kMouseShift, At(250, 250), 0);
    EXPECT_EQ(Selection().size(), 2u);
    SketchMouseHover(kMouseShift, At(160, 160), 0);  // shrinking gives b back up
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ a });
    SketchMouseUp(kMouseShift, At(160, 160));
    EXPECT_EQ(GetMouseState(), kMouseIdle);
    (void)b;
}

TEST_F(MouseTest, RightClicksSelectForTheContextMenu) {
    SketchObject* a = P(100, 100);
    SketchObject* b = P(200, 100);
    SelectSketchObject(a);
    SketchMouseDown(kMouseRight, At(200, 100));  // without Shift: b alone
    EXPECT_EQ(Selection(), std::vector<SketchObject*>{ b });
    SketchMouseDown(kMouseRight | kMouseShift, At(100, 100));  // with Shift: added
    EXPECT_EQ(Selection().size(), 2u);
    SketchMouseDown(kMouseRight, At(10, 10));  // empty space keeps the selection
    EXPECT_EQ(Selection().size(), 2u);
    ASSERT_EQ(RecordedDocumentServices().contextMenus.size(), 3u);
    EXPECT_EQ(RecordedDocumentServices().contextMenus[2], std::make_pair(true, false));
    int32_t tracked = 1;
    GetMouseState(&tracked);
    EXPECT_EQ(tracked, 0);
}

TEST_F(MouseTest, HoversSetCursorKindsAndRepeatedOnesAreSkipped) {
    SketchObject* a = P(100, 100);
    SketchMouseHover(0, At(100, 100), 0);
    EXPECT_EQ(MouseCursorKind(), kCursorOverObject);
    SketchMouseHover(0, At(10, 10), 0);
    EXPECT_EQ(MouseCursorKind(), kCursorArrow);
    SketchMouseHover(kMouseAlt, At(10, 10), 0);
    EXPECT_EQ(MouseCursorKind(), kCursorScrollHand);
    // Nothing changed since the last hover: nothing is worked out again.
    ClassData<PointData>(a)->position = { 10, 10 };
    a->bounds = PointBoundsAt({ 10, 10 }, 2);
    SketchMouseHover(kMouseAlt, At(10, 10), 0);
    EXPECT_EQ(MouseCursorKind(), kCursorScrollHand);
    ResetHoverPosition();
    SketchMouseHover(0, At(10, 10), 0);
    EXPECT_EQ(MouseCursorKind(), kCursorOverObject);
    SetCurrentTool(kToolText);
    SketchMouseHover(0, At(10, 10), 0);
    EXPECT_EQ(MouseCursorKind(), kCursorTextLabelToggle);
}

TEST_F(MouseTest, ADragThatCannotStartGivesAlert136AndEndsThePress) {
    SketchObject* a = P(100, 100);
    SketchMouseDown(0, At(100, 100));
    ASSERT_EQ(GetMouseState(), kMouseDragPending);
    SetAllocFailureAfter(1, true);  // the drag analysis has no memory
    SketchMouseHover(0, At(120, 120), 0);
    SetAllocFailureAfter(0);
    EXPECT_EQ(GetMouseState(), kMouseIdle);
    ASSERT_FALSE(ShownAlerts().empty());
    EXPECT_EQ(ShownAlerts().back().code, 136);
    SketchMouseUp(0, At(120, 120));
    // The object hit was to be dragged alone: the selection had been given up for it.
    EXPECT_TRUE(Selection().empty());
    (void)a;
}

TEST_F(MouseTest, DoubleClicksMarkCentresAndMirrorsAndArmTheButtonUp) {
    SketchObject* a = P(100, 100);
    SketchObject* s = Segment(P(0, 200), P(300, 200));
    struct Case { ScreenPoint at; int32_t slot; SketchObject* object; };
    for (const Case& c : { Case{ At(100, 100), 0, a }, Case{ At(150, 201), 1, s } }) {
        SCOPED_TRACE(c.slot);
        DeselectAll();
        // The view sends down, up, double-click, up for a double click.
        Click(c.at);
        ASSERT_EQ(Selection(), std::vector<SketchObject*>{ c.object });
        SketchDoubleClick(0, c.at);
        EXPECT_EQ(MarkedObject(c.slot), c.object);
        SketchMouseUp(0, c.at);
        // The armed button up deselects the object under the point.
        EXPECT_TRUE(Selection().empty());
    }
}

}  // namespace

TEST_F(MouseTest, AScrollDragMovesTheWindowAgainstThePointer) {
    ResetViewRequests();
    sketch->windowRect = ScreenRect{ 0, 0, 400, 300 };
    SketchMouseDown(kMouseAlt, At(100, 100));
    // The pointer in sketch coordinates: after the first step the window has moved, so
    // the same screen spot is 30 to the left and 10 lower in the sketch.
    SketchMouseHover(kMouseAlt, At(130, 90), 0);
    EXPECT_EQ(sketch->windowRect.left, -30);
    EXPECT_EQ(sketch->windowRect.top, 10);
    SketchMouseHover(kMouseAlt, At(110, 100), 0);
    SketchMouseUp(kMouseAlt, At(100, 100));
    ASSERT_FALSE(RecordedViewRequests().scrollOrigins.empty());
    EXPECT_EQ(RecordedViewRequests().scrollOrigins.back().x, -40);
    EXPECT_EQ(RecordedViewRequests().scrollOrigins.back().y, 10);
    EXPECT_EQ(sketch->windowRect.right - sketch->windowRect.left, 400);
    EXPECT_EQ(sketch->windowRect.bottom - sketch->windowRect.top, 300);
}

