// What the frame tick and the drawing pass need of motions, presentations and the
// preferences that steer them.
#pragma once
#include <cstdint>

// One animation frame of the current sketch; nonzero while anything moves.
int32_t AnimationStep();
// Runs the next member of each presentation whose pause has elapsed.
void ResumePendingPresentations();

// The preference that slows the animation of sketches in the background.
bool PreferencesSlowBackgroundAnimation();
// The screen resolution in dots per inch.
int32_t PreferencesScreenResolution();

// Stand-in: settings of the stand-ins above, for tests, until motions and the
// preferences record are built.
void StandInSetMovingFrames(int32_t frames);  // AnimationStep answers 1 this many times
int32_t StandInAnimationSteps();              // calls of AnimationStep so far
int32_t StandInPresentationResumes();
void StandInSetSlowBackgroundAnimation(bool slow);
void StandInSetScreenResolution(int32_t dotsPerInch);
