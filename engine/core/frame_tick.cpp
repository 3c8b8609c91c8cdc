#include "engine/core/frame_tick.h"

#include "engine/core/geometry.h"
#include "engine/core/services/caption_editor.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"

namespace {

int32_t gBackgroundDelay = 0;
bool    gFrameOverran = false;

int32_t FrameTickTask(IdleTask* task, int32_t finish) { return FrameTick(task, finish); }

}  // namespace

int32_t BackgroundFrameDelay() { return gBackgroundDelay; }
void ResetBackgroundFrameDelay() {
    gBackgroundDelay = 0;
    gFrameOverran = false;
}

void StartFrameTicks(Sketch* sketch) {
    if (sketch->ticker.task.queued) return;
    sketch->ticker.owner = sketch;
    AddIdleTask(&sketch->ticker.task, FrameTickTask, kIdleEveryPass);
    SetDeadline(&sketch->frameDeadline, 0);
    SetDeadline(&sketch->watchdogDeadline, kFrameWatchdogMs);
}

void StopFrameTicks(Sketch* sketch) {
    if (!sketch->ticker.task.queued) return;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    StopMotions(0);
    if (sketch == gEngine.frontSketch) RebuildSketchViews(0);
    RemoveIdleTask(&sketch->ticker.task);
    SetCurrentSketch(previous, nullptr);
}

void RestartFrameTicks(bool reset) {
    Sketch* sketch = CurrentSketch();
    if (sketch == nullptr || !sketch->ticker.task.queued || !reset) return;
    sketch->frameDeadline = 0;
    if (FrameTick(&sketch->ticker.task, 0) == 0) RemoveIdleTask(&sketch->ticker.task);
}

int32_t FrameTick(IdleTask* task, int32_t) {
    if (task == nullptr) {
        if (CurrentSketch() == nullptr) return 0;
        task = &CurrentSketch()->ticker.task;
    }
    // The task is the first member of its sketch's ticker.
    Sketch* sketch = reinterpret_cast<decltype(Sketch::ticker)*>(task)->owner;
    if (!DeadlinePassed(sketch->frameDeadline)) return 1;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    ++sketch->frameCounter;
    if (DeadlinePassed(sketch->watchdogDeadline)) gFrameOverran = true;
    uint32_t next = kFrameMs;
    if (ThePreferences().slowBackgroundMotion && !gEngine.currentIsFront) {
        next += static_cast<uint32_t>(gBackgroundDelay);
    }
    SetDeadline(&sketch->frameDeadline, next);
    SetDeadline(&sketch->watchdogDeadline, kFrameWatchdogMs);

    int32_t result = AnimationStep();

    const int32_t fade = sketch->settings.traceFade;
    if (fade > 0 && !ScreenRectIsEmpty(sketch->tracedArea)) {
        // Ticking on for ever after the traces have faded would keep the idle loop busy:
        // once enough fading steps followed the last trace, the traces are gone.
        if (sketch->fadeCountdown-- <= 0) {
            UpdateSketchViews();
            const auto ticks = LaterForms().platform.traceFadeTicks;
            sketch->fadeCountdown = ticks ? ticks(sketch) : (17 - fade) * 2;
            if (sketch->fadeStepsLeft > 0) --sketch->fadeStepsLeft;
        }
        if (sketch->fadeStepsLeft > 0 || result != 0) {
            result = 1;
        } else {
            ScreenRectSetEmpty(&sketch->tracedArea);
        }
    }
    if (sketch->editSession != nullptr) {
        BlinkEditorCaret(sketch->editSession);
        result = 1;
    }
    if (sketch->pendingPresentations != 0) {
        ResumePendingPresentations();
        result = 1;
    }
    FlushPendingRedraw(gEngine.currentIsFront ? 0 : 1);
    SetCurrentSketch(previous, nullptr);
    return result;
}

bool RunIdleTasks() {
    gFrameOverran = false;
    const bool remain = RunIdleTaskPass();
    if (gFrameOverran) {
        if (gBackgroundDelay < 250) gBackgroundDelay += kBackgroundDelayUp;
    } else if (gBackgroundDelay > 0) {
        gBackgroundDelay -= kBackgroundDelayDown;
        if (gBackgroundDelay < 0) gBackgroundDelay = 0;
    }
    return remain;
}
