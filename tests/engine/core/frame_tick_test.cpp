#include "engine/core/frame_tick.h"

#include <gtest/gtest.h>

#include "engine/core/geometry.h"
#include "engine/interact/motion.h"
#include "sketch_fixture.h"
#include "support/clock_double.h"
#include "support/scoped_preferences.h"
#include "support/views_double.h"
#include "tests/engine/text/edit_session_util.h"

namespace {

class FrameTickTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(5000);
        ResetBackgroundFrameDelay();
        ResetViewRequests();
        ThePreferences().slowBackgroundMotion = 0;
        ScreenRectSetEmpty(&sketch->tracedArea);
    }
    void TearDown() override {
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        while (RunIdleTasks()) {}
        ResetBackgroundFrameDelay();
        SketchTest::TearDown();
    }

    bool Ticking() const { return sketch->ticker.task.queued != 0; }

    // The sketch animates while a motion runs.
    void Animate(bool on) {
        if (!on) {
            StopMotions(0);
            return;
        }
        if (!animated) animated = FreePoint();
        ASSERT_EQ(StartMotion(CreateMotion(animated, nullptr, kMotionRandomFree, 0, 1, 1), nullptr, nullptr), 0);
    }
    bool Animating() const { return sketch->motion.motionsHead != nullptr; }
    SketchObject* animated = nullptr;

    // One frame later, one idle pass.
    bool NextFrame(uint32_t ms = 16) {
        AdvanceTestTickCount(ms);
        RunIdleTasks();
        return Ticking();
    }

    ScopedPreferences preferences;
};

TEST_F(FrameTickTest, TicksWhileSomethingMovesThenStops) {
    Animate(true);
    StartFrameTicks(sketch);
    ASSERT_TRUE(Ticking());
    StartFrameTicks(sketch);  // no second queueing
    EXPECT_TRUE(NextFrame(0));  // the first frame is due at once
    EXPECT_EQ(sketch->frameCounter, 1u);
    // Before the frame deadline nothing happens.
    EXPECT_TRUE(NextFrame(5));
    EXPECT_EQ(sketch->frameCounter, 1u);
    EXPECT_EQ(FrameTick(nullptr, 0), 1);
    EXPECT_TRUE(NextFrame(11));
    EXPECT_TRUE(NextFrame());
    Animate(false);
    EXPECT_FALSE(NextFrame());  // nothing moves any more
    EXPECT_EQ(sketch->frameCounter, 4u);
    EXPECT_FALSE(RecordedViewRequests().redrawFlushes.empty());
}

TEST_F(FrameTickTest, CaretAndPresentationsKeepTheSketchTicking) {
    EditSessionPtr session = BareEditSession("<T'ab'>");
    sketch->editSession = session.get();
    StartFrameTicks(sketch);
    EXPECT_TRUE(NextFrame(0));
    EXPECT_TRUE(NextFrame());
    sketch->editSession = nullptr;
    sketch->pendingPresentations = 1;
    EXPECT_TRUE(NextFrame());
    sketch->pendingPresentations = 0;
    EXPECT_FALSE(NextFrame());
}

TEST_F(FrameTickTest, BackgroundDelayGrowsOnOverrunsAndShrinksWhenQuiet) {
    Animate(true);
    StartFrameTicks(sketch);
    // Every pass comes after the watchdog: the frame overran.
    for (int pass = 1; pass <= 9; ++pass) {
        NextFrame(kFrameWatchdogMs + 300);
        if (pass == 5) {
            EXPECT_EQ(BackgroundFrameDelay(), 150);
        }
    }
    EXPECT_EQ(BackgroundFrameDelay(), 270);
    NextFrame(kFrameWatchdogMs + 300);
    EXPECT_EQ(BackgroundFrameDelay(), 270);
    NextFrame(16);
    EXPECT_EQ(BackgroundFrameDelay(), 255);

    // A background sketch waits the delay on top of its frame when the preference asks.
    ThePreferences().slowBackgroundMotion = 1;
    gEngine.frontSketch = nullptr;
    NextFrame(16);
    const uint32_t frames = sketch->frameCounter;
    NextFrame(16);
    EXPECT_EQ(sketch->frameCounter, frames);
    NextFrame(300);
    EXPECT_EQ(sketch->frameCounter, frames + 1);
}

TEST_F(FrameTickTest, TracesFadeOnTheirCountdownAndThenLetTheTickerStop) {
    struct Case { int32_t fade; int32_t framesPerStep; };
    for (const Case c : { Case{ 16, 3 }, Case{ 1, 33 } }) {
        SCOPED_TRACE(c.fade);
        sketch->settings.traceFade = c.fade;
        sketch->tracedArea = { 0, 0, 10, 10 };
        sketch->fadeCountdown = 0;
        sketch->fadeStepsLeft = kFadeStepsToClear;
        ResetViewRequests();
        StartFrameTicks(sketch);
        // The first frame fades at once (countdown 0), then every framesPerStep frames.
        int32_t frames = 0;
        while (NextFrame(frames == 0 ? 0 : 16)) {
            ++frames;
            ASSERT_LT(frames, 2000);
        }
        ++frames;
        EXPECT_EQ(RecordedViewRequests().fadingSteps, kFadeStepsToClear);
        EXPECT_EQ(frames, 1 + (kFadeStepsToClear - 1) * c.framesPerStep);
        // Nothing left to fade: the traces are gone and the ticker stopped.
        EXPECT_TRUE(ScreenRectIsEmpty(sketch->tracedArea));
        EXPECT_FALSE(Ticking());
    }
}

TEST_F(FrameTickTest, StoppingStopsTheMotionsAndRedrawsTheFrontSketch) {
    Animate(true);
    RemoveIdleTask(&sketch->ticker.task);
    StopFrameTicks(sketch);  // not ticking: nothing
    EXPECT_TRUE(Animating());
    EXPECT_EQ(RecordedViewRequests().viewRebuilds, 0);
    StartFrameTicks(sketch);
    gEngine.frontSketch = sketch;
    StopFrameTicks(sketch);
    EXPECT_FALSE(Ticking());
    EXPECT_FALSE(Animating());
    EXPECT_EQ(RecordedViewRequests().viewRebuilds, 1);
    gEngine.frontSketch = nullptr;

    // A restart runs a frame at once.
    Animate(true);
    StartFrameTicks(sketch);
    NextFrame(0);
    const uint32_t frames = sketch->frameCounter;
    RestartFrameTicks(true);
    EXPECT_EQ(sketch->frameCounter, frames + 1);
}

}  // namespace
