#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/idle_tasks.h"
#include "engine/core/marks.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/traces.h"
#include "tests/platform/win32/render_fixture.h"
#include "tests/support/views_double.h"

namespace {

// Every repaint of a flash frame: the canvas cleared, the draw hooks run over it, and
// the ink they left counted.
class FlashTest : public RenderTest {
protected:
    FlashTest() {
        current_ = this;
        SetRedrawFlushCallback([](int32_t) { current_->Repaint(); });
        // Work an earlier test left queued (a command-state refresh after a clipboard
        // change, say) would take an idle pass of its own and be counted as a lost frame.
        for (int i = 0; i < 8 && RunIdleTasks(); ++i) {
        }
    }
    ~FlashTest() override { SetRedrawFlushCallback(nullptr); }
    void Repaint() {
        canvas_.Fill(kWhite);
        RunDrawHooks(&sketch_->dirtyRect, &port_);
        ink_.push_back(200 * 200 - canvas_.Count(kWhite));
    }
    SketchObject* MarkPoint(int32_t slot, double x, double y) {
        PointData* d;
        SketchObject* p = MakeObject(kClassPoint, kKindPoint, kBlack, &d);
        d->position = { x, y };
        p->bounds = PointBoundsAt(d->position, 2);
        sketch_->marks[slot] = { { p }, kMarkSet };
        return p;
    }
    SketchObject* MarkStraight(int32_t slot, ScreenPoint a, ScreenPoint b) {
        StraightData* d;
        SketchObject* s = MakeObject(kClassStraight, kKindSegment, kBlack, &d);
        d->visiblePiece[0] = a;
        d->visiblePiece[1] = b;
        s->bounds = { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
        sketch_->marks[slot] = { { s }, kMarkSet };
        return s;
    }
    static inline FlashTest* current_ = nullptr;
    std::vector<int> ink_;
};

TEST_F(FlashTest, EveryShapeGrowsToTheHalfWayFrameAndShrinksBack) {
    struct Case { int32_t slot; int frames; };
    const Case cases[] = { { 0, 10 }, { 1, 10 }, { 9, 6 }, { 4, 10 }, { 8, 10 }, { 13, 10 }, { 17, 10 },
                           { 18, 6 }, { 20, 10 } };
    sketch_->windowRect = { 0, 0, 200, 200 };
    sketch_->tracedArea = { 0, 0, 200, 200 };  // the visible rectangle
    MarkPoint(0, 100, 100);
    MarkStraight(1, { 10, 10 }, { 190, 150 });
    MarkPoint(3, 40, 60);
    MarkPoint(4, 160, 90);
    MarkPoint(6, 160, 100);
    MarkPoint(7, 100, 100);
    MarkPoint(8, 100, 40);
    MarkPoint(9, 60, 60);
    MarkStraight(12, { 20, 30 }, { 180, 30 });
    MarkStraight(13, { 20, 170 }, { 120, 130 });
    MarkPoint(15, 30, 150);
    MarkPoint(16, 90, 150);
    MarkPoint(17, 170, 60);
    MarkPoint(18, 140, 140);
    MarkPoint(20, 100, 100);
    static int idleRuns;
    IdleTask task{};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        ink_.clear();
        idleRuns = 0;
        AddIdleTask(&task, [](IdleTask*, int32_t) -> int32_t { return ++idleRuns, 1; }, 1);
        FlashScriptStep(nullptr, c.slot);
        RemoveIdleTask(&task);
        EXPECT_EQ(idleRuns, c.frames);
        ASSERT_EQ(static_cast<int>(ink_.size()), c.frames + 1);  // one repaint per frame and the last
        for (int i = 0; i < c.frames; ++i) EXPECT_GT(ink_[i], 0) << i;
        // Frames i and N + 1 - i draw the same number of rings; the strokes runs only
        // grow until the half-way frame.
        if (c.slot != 4 && c.slot != 8 && c.slot != 13 && c.slot != 17) {
            for (int i = 0; i < c.frames / 2; ++i) EXPECT_EQ(ink_[i], ink_[c.frames - 1 - i]) << i;
        }
        EXPECT_LT(ink_[0], ink_[c.frames / 2 - 1]);
        EXPECT_EQ(ink_.back(), 0);  // the last repaint leaves no frame behind
    }
}

TEST_F(FlashTest, FramesPerSlotAndNothingWithoutMarks) {
    int32_t n, h;
    FlashFrames(9, &n, &h);
    EXPECT_EQ(n, 6);
    EXPECT_EQ(h, 3);
    FlashFrames(0, &n, &h);
    EXPECT_EQ(n, 10);
    EXPECT_EQ(h, 5);
    FlashScriptStep(nullptr, 0);  // no marked object: the frames run, nothing is drawn
    for (int ink : ink_) EXPECT_EQ(ink, 0);
}

}  // namespace
