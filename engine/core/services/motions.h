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

// An Animate button's settings for one target, kept in the button's construction-data
// list, one record per target in target order. Documents store the list as these bytes,
// each field little-endian in this order, so the layout is a file format.
struct MotionParams {
    uint32_t motionFlags;  // kMotionFlag* bits
    uint32_t speed;        // packed 32-bit real: a preset 1, 3, 5 or a custom value; a number's rate
    uint32_t seconds;      // packed: a number's time over which the rate applies, or between jumps
    uint32_t rangeLow;     // packed: a number's range, in pixels or radians for distances and angles
    uint32_t rangeHigh;
    uint32_t reserved[3];
};
static_assert(sizeof(MotionParams) == 32, "the record is a file format");

constexpr uint32_t kMotionFlagOnceOnly     = 0x80000000u;
constexpr uint32_t kMotionFlagDirection    = 0x70000000u;  // 0 forward, 1 backward, 2 both ways, 3 random
constexpr int32_t  kMotionDirectionShift   = 28;
constexpr uint32_t kMotionFlagDiscrete     = 0x08000000u;
constexpr uint32_t kMotionFlagUnit         = 0x06000000u;  // 1 distance, 2 angle, 0 plain
constexpr int32_t  kMotionUnitShift        = 25;
constexpr uint32_t kMotionFlagCustomSpeed  = 0x01000000u;
// Documents of format 3 and older keep one word per target: these top bits, and the
// speed preset index (0 slow, 1 medium, 2 fast) below them.
constexpr uint32_t kMotionWordFlags        = 0xf0000000u;
constexpr int32_t  kMotionFormatOneWord    = 3;

inline int32_t MotionDirectionOf(uint32_t flags) {
    return static_cast<int32_t>((flags & kMotionFlagDirection) >> kMotionDirectionShift);
}
