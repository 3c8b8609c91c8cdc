// Making and pressing action buttons.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/frame_tick.h"
#include "engine/core/points.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/clock.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/undo.h"
#include "tests/engine/core/sketch_fixture.h"
#include "support/clock_double.h"

namespace {

class ActionButtonsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        MakeCurrentSketchFront();
        ActivityWord() = 0;
        ResetMouseState();
    }
    void TearDown() override {
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        gEngine.frontSketch = nullptr;
        SketchTest::TearDown();
        ActivityWord() = 0;
    }
    bool Frame() {
        AdvanceTestTickCount(kFrameMs);
        return FrameTick(&sketch->ticker.task, 0) != 0;
    }
    static double Gap(const SketchObject* a, const SketchObject* b) {
        const RealPoint p = PointPosition(a), q = PointPosition(b);
        return std::hypot(p.x - q.x, p.y - q.y);
    }
    SketchObject* Make(int32_t type, std::initializer_list<SketchObject*> targets) {
        SketchObject* first = nullptr;
        SketchObject* last = nullptr;
        for (SketchObject* o : targets) {
            o->tempLink = nullptr;
            if (last) last->tempLink = o;
            else first = o;
            last = o;
        }
        ResultCode rc = 0;
        SketchObject* b = MakeActionButton(type, first, false, &rc);
        EXPECT_EQ(rc, kResultOK);
        return b;
    }
    size_t Selected() const {
        size_t n = 0;
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) ++n;
        return n;
    }
};

TEST_F(ActionButtonsTest, NewButtonsTakeTheirTypesDefaults) {
    SketchObject* p = PointAt(0, 0);
    EXPECT_EQ(ActionButtonOf(Make(kButtonHide, { p }))->buttonOptions, 7);
    EXPECT_EQ(ActionButtonOf(Make(kButtonShow, { p }))->buttonOptions, 7);
    EXPECT_EQ(ActionButtonOf(Make(kButtonMove, { p, PointAt(5, 5) }))->buttonOptions, 1);
    // Without a document of several pages a link to page becomes a link to an address.
    EXPECT_EQ(ActionButtonOf(Make(kButtonLinkToPage, {}))->buttonType, kButtonLinkToTarget);
    SketchObject* hide = Make(kButtonHide, { p });
    const ActionButtonData* together = ActionButtonOf(Make(kButtonPresentation, { hide }));
    EXPECT_EQ(together->buttonOptions, 0);
    EXPECT_EQ(together->buttonParam, 600);
    ActionButtonOf(hide)->buttonType = kButtonLinkToPage;
    const ActionButtonData* sequence = ActionButtonOf(Make(kButtonPresentation, { hide }));
    EXPECT_EQ(sequence->buttonOptions, 1);
    EXPECT_EQ(sequence->buttonParam, 0);
    EXPECT_EQ(sequence->runningCount, 0);
}

TEST_F(ActionButtonsTest, HideThenShowWithOneUndoRecordEachSelectingTheShownTargets) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* hide = Make(kButtonHide, { a, b });
    SketchObject* show = Make(kButtonShow, { a, b });
    ASSERT_EQ(PressActionButton(hide), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_EQ(Selected(), 0u);
    ASSERT_EQ(PressActionButton(show), kResultOK);
    EXPECT_EQ(a->hidden, kShown);
    EXPECT_EQ(Selected(), 2u);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(a->hidden, kShown);

    // Without bit 0 the shown targets are not selected.
    ActionButtonOf(show)->buttonOptions = kButtonFade;
    ASSERT_EQ(PressActionButton(hide), kResultOK);
    ASSERT_EQ(PressActionButton(show), kResultOK);
    EXPECT_EQ(b->hidden, kShown);
    EXPECT_EQ(Selected(), 0u);
}

TEST_F(ActionButtonsTest, LinksAnswerTheirCodes) {
    SketchObject* page = Make(kButtonLinkToTarget, {});
    SketchObject* presentation = Make(kButtonPresentation, { page });
    struct Case { int32_t type; SketchObject* presentation; int32_t sequence; ResultCode rc; };
    const Case cases[] = {
        { kButtonLinkToTarget, nullptr, 0, 403 },        // no address
        { kButtonLinkToTarget, presentation, 1, 149 },   // never from a presentation
        { kButtonLinkToPage, presentation, 0, 148 },     // only ending a sequence
        { kButtonLinkToPage, nullptr, 0, 400 },          // no such page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rc);
        ActionButtonOf(page)->buttonType = c.type;
        ActionButtonOf(page)->buttonOptions = 77;
        ActionButtonOf(presentation)->buttonOptions = static_cast<int16_t>(c.sequence);
        EXPECT_EQ(RunActionButton(page, c.presentation), c.rc);
    }
}

// Points 10 and 40 away arrive in the same frame; pressed again the button answers 107;
// instant moves need no frames; a running button pressed stops.
TEST_F(ActionButtonsTest, MoveButtonsBringTheirPointsHomeTogether) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* homeA = PointAt(10, 0);
    SketchObject* b = PointAt(0, 50);
    SketchObject* homeB = PointAt(40, 50);
    SketchObject* move = Make(kButtonMove, { a, homeA, b, homeB, PointAt(7, 7) });  // the last is unpaired
    ASSERT_EQ(PressActionButton(move), kResultOK);
    int32_t frames = 0;
    while (Gap(b, homeB) > 1e-6 && frames < 1000) {
        Frame();
        ++frames;
        if (Gap(b, homeB) > 1e-6) {
            EXPECT_GT(Gap(a, homeA), 1e-6) << "frame " << frames;
        }
    }
    EXPECT_GT(frames, 2);
    EXPECT_LT(Gap(a, homeA), 1e-6);
    for (int32_t i = 0; i < 3; ++i) Frame();
    EXPECT_EQ(PressActionButton(move), kAlertAtDestination);

    // Instant.
    ActionButtonOf(move)->buttonOptions = 3;
    ChangeObjectHidden(a, kShown, false);
    ClassData<PointData>(a)->position = RealPoint{ -30, 0 };
    RecomputeObject(a, nullptr, true);
    ASSERT_EQ(PressActionButton(move), kResultOK);
    Frame();
    Frame();
    EXPECT_LT(Gap(a, homeA), 1e-6);

    // Pressed while running, it stops its motions.
    ActionButtonOf(move)->buttonOptions = 0;
    ClassData<PointData>(a)->position = RealPoint{ -300, 0 };
    RecomputeObject(a, nullptr, true);
    ASSERT_EQ(PressActionButton(move), kResultOK);
    Frame();
    ASSERT_EQ(PressActionButton(move), kResultOK);
    const double stopped = Gap(a, homeA);
    Frame();
    Frame();
    EXPECT_GT(stopped, 1);
    EXPECT_DOUBLE_EQ(Gap(a, homeA), stopped);
}

}  // namespace
