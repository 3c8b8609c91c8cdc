// Stand-in: motions and presentations are not built yet. A sketch animates while its
// activity word says so, presentations have nothing to run, and stopping the motions
// clears the running and paused bits.
#include "engine/core/services/motions.h"

#include "engine/core/sketch.h"
#include "engine/interact/current_tool.h"

int32_t AnimationStep() {
    const Sketch* sketch = CurrentSketch();
    return sketch && (sketch->commandInputs.activityWord & kActivityAnimating) ? 1 : 0;
}

void ResumePendingPresentations() {}

ResultCode StopMotions(int32_t) {
    if (Sketch* sketch = CurrentSketch()) {
        sketch->commandInputs.activityWord &= ~(kActivityAnimating | kActivityPaused);
    }
    return kResultOK;
}

void SyncAnimationState(Sketch*, Sketch*) {}
void EndActivitiesExcept(uint32_t keepMask) {
    if (!(keepMask & kActivityTool)) EndToolInProgress();
}
void NotifyMotionsObjectChanged(SketchObject*, int32_t, int32_t) {}
