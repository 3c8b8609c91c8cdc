// Motion parameters: an Animate button's record per target (MotionParams, declared with
// the motion services), its defaults, the motions made from a button's records, the
// sentence that describes one target's motion and the model of the Animate page.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/core/result_codes.h"
#include "engine/core/services/motions.h"

struct Motion;
struct SketchObject;

// The speed presets of a record, in units of the speed unit.
constexpr double kMotionSpeedSlow   = 1;
constexpr double kMotionSpeedMedium = 3;
constexpr double kMotionSpeedFast   = 5;

// Unit kinds of a number's record (its flag bits 25-26).
constexpr int32_t kMotionUnitPlain    = 0;
constexpr int32_t kMotionUnitDistance = 1;
constexpr int32_t kMotionUnitAngle    = 2;

// motionFlags 0, speed 3, seconds 0, range 0..100.
void MotionParamsDefaults(MotionParams* record);
// From a parameter's own change settings: range, rate, seconds (in pixels or radians by
// its kind), discrete, unit kind and direction.
void MotionParamsFromParameter(MotionParams* record, const SketchObject* parameter);

// The number of records a construction-data list holds, and one of them (defaults when
// the list holds fewer).
int32_t      MotionParamsCount(PtrList records);
MotionParams MotionParamsAt(PtrList records, int32_t index);
// Stores one record; false (the list as it was) when memory runs out.
bool         StoreMotionParams(PtrList* records, int32_t index, const MotionParams& record);

// Before a press or when the page opens: a parameter target whose unit kind differs
// from its record's is refilled from the parameter; bidirectional numbers lose the
// once-only bit. The button's targets are its parents, its records its construction data.
void RefreshNumberTargets(SketchObject* button);
// When an Animate button is made: the targets Animate would move for the tempLink chain
// `linked` and a record for each. The lists are new (freed by the caller); 100 when
// memory runs out (nothing is made then).
ResultCode ButtonTargetsFromSelection(SketchObject* linked, PtrList* targets, PtrList* records);
// When the button runs: each motion of the listLink chain takes the record of its target
// (the one at its own index first, else found by search) and is made again from it.
void ApplyMotionParams(Motion* motions, PtrList targets, PtrList records);

// The controls of the Animate page.
enum MotionControl : int32_t {
    kMotionControlDirection = 0,
    kMotionControlSpeedChoice,
    kMotionControlCustomSpeed,
    kMotionControlOnceOnly,
    kMotionControlLow,
    kMotionControlHigh,
    kMotionControlRate,
    kMotionControlSeconds,
    kMotionControlDiscrete,
    kMotionControlCount,
};
// Visibility states of a control: shown, hidden; the once-only box is 2, plus 1 when
// enabled.
constexpr int32_t kControlShown  = 3;
constexpr int32_t kControlHidden = 0;

// What one target is, as the page and the sentence tell it.
enum MotionTargetKind : int32_t {
    kTargetNone = 0,
    kTargetPointOnPath,
    kTargetFreePoint,
    kTargetAxisUnit,
    kTargetOtherPoint,
    kTargetNumber,
};

// The model of the Animate page: the button's targets and records, the target shown and
// the controls' values (numbers in the sketch's units) and states.
struct MotionParamsPage {
    PtrList  targets;
    PtrList* records;
    int32_t  current;     // 1-based; 0 = none
    int32_t  shown;       // the index the controls were last loaded from
    uint32_t controlMask; // bit per MotionControl
    int32_t  direction;   // 0 forward / increasing, 1 backward / decreasing, 2 both ways, 3 random
    int32_t  speedChoice; // 0 slow, 1 medium, 2 fast, 3 "other..."
    double   customSpeed; // in medium speeds (the stored speed / 3)
    int32_t  onceOnly;
    int32_t  discrete;
    double   rate, seconds, low, high;
    int32_t  circularWording;  // the direction reads counter-clockwise / clockwise
    int32_t  states[kMotionControlCount];
};

MotionTargetKind MotionTargetKindOf(const SketchObject* target);
// The controls shown for the current target and the page's values.
uint32_t MotionParamsControlMask(const MotionParamsPage* page);
void     MotionParamsControlStates(MotionParamsPage* page);
// Keeps the controls and the current target's record in step: a new current target
// loads the controls; otherwise the edited controls are stored (put in order first).
// Answers 1 when the set of controls changed (the page must lay out again).
int32_t MotionParamsSync(MotionParamsPage* page);
// The sentence for one target (0-based index) into buffer (size bytes, NUL-terminated);
// answers its length.
uint32_t DescribeMotionTarget(const MotionParamsPage* page, int32_t index, char* buffer, uint32_t size);
