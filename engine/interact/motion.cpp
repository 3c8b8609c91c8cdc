// Stand-in: motions, presentations and their preferences are not built yet. Animation
// answers "moving" for a number of frames a test sets, presentations only count.
#include "engine/interact/motion.h"

namespace {
int32_t gMovingFrames = 0;
int32_t gSteps = 0;
int32_t gResumes = 0;
bool    gSlowBackground = false;
int32_t gResolution = 72;
}  // namespace

int32_t AnimationStep() {
    ++gSteps;
    if (gMovingFrames <= 0) return 0;
    --gMovingFrames;
    return 1;
}

void ResumePendingPresentations() { ++gResumes; }
bool PreferencesSlowBackgroundAnimation() { return gSlowBackground; }
int32_t PreferencesScreenResolution() { return gResolution; }

void StandInSetMovingFrames(int32_t frames) { gMovingFrames = frames; }
int32_t StandInAnimationSteps() { return gSteps; }
int32_t StandInPresentationResumes() { return gResumes; }
void StandInSetSlowBackgroundAnimation(bool slow) { gSlowBackground = slow; }
void StandInSetScreenResolution(int32_t dotsPerInch) { gResolution = dotsPerInch; }
