// Motions and activities as the sketch engine reaches them: the frame tick drives the
// animation, page and sketch changes end or carry over what is going on in a sketch,
// and objects that change or go away are reported to the running motions. The motion
// engine (engine/interact) defines these; the activity bits are the sketch record's.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct Sketch;
struct SketchObject;

// One animation frame of the current sketch; nonzero while anything moves.
int32_t AnimationStep();
// Runs the next member of each presentation whose pause has elapsed.
void ResumePendingPresentations();
// Stops every motion of the current sketch (the argument is 0; also a command executor).
ResultCode StopMotions(int32_t argument);

// The running and paused bits of the new front sketch's activity word follow its motions.
void SyncAnimationState(Sketch* oldFront, Sketch* newFront);
// Ends every activity of the front sketch but those in keepMask; answers what goes on.
uint32_t EndActivitiesExcept(uint32_t keepMask);
// Ends one activity of the front sketch (kActivityCaptionEditing ends caption editing).
void EndSketchActivity(uint32_t activity);
// An object changes or goes away; motions that cannot go on without it are finished
// (number motions when forValue is set, the others when forGeometry is set).
void NotifyMotionsObjectChanged(SketchObject* object, int32_t forGeometry, int32_t forValue);
