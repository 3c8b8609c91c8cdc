#include "engine/core/drawing_pass.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/services/drawing_metrics.h"
#include "sketch_fixture.h"
#include "support/drawing_metrics_double.h"
#include "support/scoped_preferences.h"
#include "support/object_drawing_double.h"
#include "support/views_double.h"

namespace {

GraphicsPort* const kPort = reinterpret_cast<GraphicsPort*>(0x1000);

RecordedDraw Draw(SketchObject* o) { return { DrawCall::kDraw, o, -1 }; }
RecordedDraw Highlight(SketchObject* o) { return { DrawCall::kSelection, o, -1 }; }
RecordedDraw PenOn(int32_t layer) { return { DrawCall::kPenOn, nullptr, layer }; }
RecordedDraw PenOff(int32_t layer) { return { DrawCall::kPenOff, nullptr, layer }; }

class DrawingPassTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetRecordedDraws();
        ResetViewRequests();
        sketch->windowRect = { 0, 0, 1000, 800 };
    }

    SketchObject* Point(int16_t x, int16_t y) {
        SketchObject* p = FreePoint();
        p->bounds = { static_cast<int16_t>(x - 2), static_cast<int16_t>(y - 2),
                      static_cast<int16_t>(x + 3), static_cast<int16_t>(y + 3) };
        return p;
    }

    SketchObject* OfClass(int32_t objectClass, int32_t kind, ScreenRect bounds) {
        const ObjectTemplate t = { kTypeFree, 0, 0, objectClass, 0, kind, 0 };
        SketchObject* o = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        o->exists = 1;
        o->bounds = bounds;
        return o;
    }

    void DrawAll(int32_t mode = kDrawScreen) {
        const ScreenRect all = { 0, 0, 1000, 800 };
        ResetRecordedDraws();
        DrawSketchObjects(kPort, &all, mode, nullptr);
    }
};

TEST_F(DrawingPassTest, LayersInOrderWithEachLayersHighlightMode) {
    SketchObject* picture = OfClass(kClassPicture, kKindPicture, { 10, 10, 50, 50 });
    SketchObject* circle = OfClass(kClassCircle, kKindCircle, { 100, 100, 200, 200 });
    SketchObject* p = Point(20, 20);
    SketchObject* q = Point(30, 30);
    ASSERT_TRUE(picture && circle && p && q);
    SelectSketchObject(picture);
    SelectSketchObject(circle);
    SelectSketchObject(p);
    DrawAll();
    const std::vector<RecordedDraw> layer10 = LayerOrder(10).front() == p
        ? std::vector<RecordedDraw>{ Draw(p), Draw(q) }
        : std::vector<RecordedDraw>{ Draw(q), Draw(p) };
    std::vector<RecordedDraw> expected = {
        // Layer 1 (mode 2): the selected picture only as its highlight, after the layer.
        PenOn(1), Highlight(picture), PenOff(1),
        // Layer 6 (mode 0): the highlight, then the circle.
        PenOn(6), Highlight(circle), PenOff(6), Draw(circle),
        // Layer 10 (mode 0): the highlights under the points.
        PenOn(10), Highlight(p), PenOff(10),
    };
    expected.insert(expected.end(), layer10.begin(), layer10.end());
    EXPECT_EQ(RecordedDraws(), expected);
}

TEST_F(DrawingPassTest, TwoHotObjectsPerLayerAreDrawnLastInReverse) {
    std::vector<SketchObject*> points;
    for (int16_t i = 0; i < 5; ++i) points.push_back(Point(static_cast<int16_t>(20 + 10 * i), 20));
    const std::vector<SketchObject*> ring = LayerOrder(10);
    ASSERT_EQ(ring.size(), 5u);
    // The first, third and fourth in ring order are hot.
    ring[0]->stateFlags |= kObjectHot;
    ring[2]->stateFlags |= kObjectHot;
    ring[3]->stateFlags |= kObjectHot;
    DrawAll();
    const std::vector<RecordedDraw> expected = {
        Draw(ring[1]), Draw(ring[3]), Draw(ring[4]),  // the third hot one in ring order
        Draw(ring[2]), Draw(ring[0]),                 // the second put aside first
    };
    EXPECT_EQ(RecordedDraws(), expected);
}

TEST_F(DrawingPassTest, ObjectsOutsideTheGrownRectangleAreSkipped) {
    SketchObject* inside = Point(100, 100);
    SketchObject* near = OfClass(kClassCircle, kKindCircle, { 306, 100, 320, 120 });  // 7 px grace
    SketchObject* far = OfClass(kClassCircle, kKindCircle, { 308, 100, 320, 120 });
    SketchObject* hidden = Point(110, 110);
    hidden->hidden = kHiddenByUser;
    SketchObject* gone = Point(120, 120);
    gone->exists = 0;
    ASSERT_TRUE(inside && near && far);
    const ScreenRect rect = { 0, 0, 300, 300 };
    DrawSketchObjects(kPort, &rect, kDrawScreen, nullptr);
    EXPECT_EQ(RecordedDraws(), (std::vector<RecordedDraw>{ Draw(near), Draw(inside) }));

    // An empty rectangle draws nothing on screen.
    ResetRecordedDraws();
    const ScreenRect empty = { 10, 10, 10, 10 };
    DrawSketchObjects(kPort, &empty, kDrawScreen, nullptr);
    EXPECT_TRUE(RecordedDraws().empty());
}

TEST_F(DrawingPassTest, PictureModeBracketsEachSelectedObject) {
    SketchObject* a = Point(10, 10);
    SketchObject* b = Point(20, 20);
    SketchObject* circle = OfClass(kClassCircle, kKindCircle, { 100, 100, 200, 200 });
    SelectSketchObject(circle);
    SelectSketchObject(b);
    ASSERT_TRUE(a);
    DrawAll(kDrawPicture);
    // Each scaled drawing goes through the class's draw slot, inside its group.
    const std::vector<RecordedDraw> expected = {
        { DrawCall::kGroupBegin, circle, -1 }, Draw(circle), { DrawCall::kGroupEnd, circle, -1 },
        { DrawCall::kGroupBegin, b, -1 },      Draw(b),      { DrawCall::kGroupEnd, b, -1 },
    };
    EXPECT_EQ(RecordedDraws(), expected);
}

TEST_F(DrawingPassTest, ScreenPassKeepsTheExtentAndTracesOfMovingObjects) {
    SketchObject* p = Point(100, 100);
    SketchObject* q = Point(300, 50);
    q->traced = 1;
    q->motionRole = 1;
    ScreenRectSetEmpty(&sketch->tracedArea);
    DrawAll();
    EXPECT_EQ(sketch->extent.left, p->bounds.left);
    EXPECT_EQ(sketch->extent.top, q->bounds.top);
    EXPECT_EQ(sketch->extent.right, q->bounds.right);
    EXPECT_EQ(sketch->extent.bottom, p->bounds.bottom);
    EXPECT_EQ(RecordedViewRequests().scrollRangeUpdates, 1);
    int32_t traces = 0;
    for (const RecordedDraw& d : RecordedDraws()) traces += d.call == DrawCall::kTrace ? 1 : 0;
    EXPECT_EQ(traces, 1);
    EXPECT_FALSE(ScreenRectIsEmpty(sketch->tracedArea));

    // The same extent again schedules nothing.
    DrawAll();
    EXPECT_EQ(RecordedViewRequests().scrollRangeUpdates, 1);

    InvalidateSketchViews(sketch);
    EXPECT_TRUE(ScreenRectIsEmpty(sketch->tracedArea));
    EXPECT_EQ(RecordedViewRequests().traceClears, 1);
}

TEST_F(DrawingPassTest, LargeLociAndExtents) {
    ScopedPreferences preferences;
    preferences.SetResolution(72);
    const MidpointLocusParts m = MidpointLocus();
    for (SketchObject* o : { m.centre, m.rim, m.circle, m.driver, m.segment, m.traced }) o->hidden = kHiddenByUser;
    SketchObject* locus = m.locus;
    locus->bounds = { -100, 0, 476, 100 };  // 8 inches
    EXPECT_TRUE(IsLargeLocus(locus));
    locus->bounds.right = 404;  // exactly 7 inches
    EXPECT_FALSE(IsLargeLocus(locus));
    locus->bounds = { -2000, -10, 2000, 10 };
    locus->coreBounds = locus->bounds;  // loci count their core bounds in the extent
    SketchObject* p = Point(100, 100);
    SelectSketchObject(p);
    ScreenRect extent;
    GetObjectsExtentEx(false, true, true, &extent);
    EXPECT_EQ(extent.left, 0);
    EXPECT_EQ(extent.right, 1000);
    GetObjectsExtentEx(false, true, false, &extent);
    EXPECT_EQ(extent.left, -2000);
    GetSelectionExtent(&extent, true, true);
    EXPECT_EQ(extent.left, p->bounds.left);
    EXPECT_EQ(extent.right, p->bounds.right);
}

struct HookLog {
    std::vector<int> order;
};
HookLog gHookLog;
DrawHook gHooks[3];

void HookCallback(DrawHook* hook, const ScreenRect*, GraphicsPort*) {
    const int index = static_cast<int>(hook - gHooks);
    gHookLog.order.push_back(index);
    if (index == 1) RemoveDrawHook(hook);
}

TEST_F(DrawingPassTest, DrawHooksRunOldestFirstAndMayRemoveThemselves) {
    gHookLog = {};
    Sketch* other = reinterpret_cast<Sketch*>(0x10);
    AddDrawHook(&gHooks[0], HookCallback, nullptr);
    AddDrawHook(&gHooks[1], HookCallback, sketch);
    AddDrawHook(&gHooks[2], HookCallback, other);
    const ScreenRect rect = { 0, 0, 10, 10 };
    EXPECT_EQ(RunDrawHooks(&rect, kPort), 3);
    EXPECT_EQ(gHookLog.order, (std::vector<int>{ 0, 1 }));
    EXPECT_EQ(RunDrawHooks(&rect, kPort), 2);
    RemoveDrawHook(&gHooks[0]);
    RemoveDrawHook(&gHooks[2]);
    EXPECT_EQ(RunDrawHooks(&rect, kPort), 0);
}

TEST_F(DrawingPassTest, PrintScalingOfTheDrawingMetrics) {
    DrawingMetricsRecord screen{};
    for (int32_t& v : screen.intMetricsA) v = 3;
    for (int32_t& v : screen.intMetricsB) v = 3;
    for (double& v : screen.realMetrics) v = 2.0;
    screen.intMetricsA[8] = 1;
    screen.intMetricsB[0] = 0;
    const DrawingMetricsRecord saved = DrawingMetrics;
    SetScreenDrawingMetrics(&screen);
    ScopedPreferences preferences;
    preferences.SetResolution(72);

    ScaleDrawingMetrics(144, 1.5);  // ratio 2
    const DrawingMetricsRecord& m = DrawingMetrics;
    EXPECT_EQ(m.intMetricsA[0], 5);   // floor(3 x 1.5 + 0.5)
    EXPECT_EQ(m.intMetricsA[4], 6);   // by the ratio
    EXPECT_EQ(m.intMetricsA[8], 2);   // floor(1 x 2 / 2 + 1.5)
    EXPECT_EQ(m.intMetricsA[10], 5);
    EXPECT_EQ(m.intMetricsA[13], 6);
    EXPECT_DOUBLE_EQ(m.realMetrics[0], 3.0);
    EXPECT_DOUBLE_EQ(m.realMetrics[2], 4.5);  // by the square of the scale
    EXPECT_EQ(m.intMetricsB[0], 2);   // below 1 is set to 1, then scaled
    EXPECT_EQ(m.intMetricsB[3], 6);
    EXPECT_EQ(m.intMetricsB[4], 5);

    ScaleDrawingMetrics(18, 1.0);  // ratio 1/4: metric 8 would fall below 2
    EXPECT_EQ(m.intMetricsA[8], 1);   // floor(2 x 0.25 / 2 + 1.5), the formula applied to 2
    EXPECT_EQ(m.intMetricsA[4], 1);
    EXPECT_EQ(m.intMetricsB[0], 0);   // floor(1 x 0.25 + 0.5)

    SetScreenDrawingMetrics(nullptr);
    DrawingMetrics = saved;
}

}  // namespace
