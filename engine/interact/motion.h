// Motions: a sketch animates by keeping a list of motions, each driving one target
// object (a point along its path or at random, an axis's unit point, a point travelling
// to a destination, a parameter's number). Every frame of the sketch's frame tick
// advances them and recomputes the moving set: the objects moved by motions and by the
// drag, and everything that hangs on them, in sketch order. The set is built once and
// kept while the sketch's structure stays the same.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/motions.h"
#include "engine/core/sketch.h"


enum MotionType : int32_t {
    kMotionAlongPath      = 0,  // a point along its path
    kMotionRandomFree     = 1,  // a free point at random on the plane
    kMotionRandomOnPath   = 2,  // a point jumping at random along its path
    kMotionAxisUnit       = 3,  // the unit point of a coordinate axis
    kMotionToDestination  = 4,  // a point travelling to a destination
    kMotionNumber         = 5,  // a parameter's value
};
constexpr int32_t kMotionTypeCount = 6;

// End modes of path and number motions.
constexpr int32_t kEndWrap       = 0;
constexpr int32_t kEndBounce     = 1;
constexpr int32_t kEndOnceAround = 2;
constexpr int32_t kEndOnceAcross = 3;

// Move states of the moving set, kept in SketchObject::motionRole.
constexpr int32_t kMoveNone          = 0;
constexpr int32_t kMoveExistenceOnly = 1;  // redrawn only when its existence changes
constexpr int32_t kMoveDependent     = 2;
constexpr int32_t kMoveAllParents    = 3;  // every parent moves
constexpr int32_t kMoveDraggedWhole  = 4;  // dragged, placed whole (texts, buttons, tables)
constexpr int32_t kMoveOnPath        = 5;  // moved, then put back on its path
constexpr int32_t kMoveMoved         = 6;
constexpr int32_t kMoveValue         = 7;
constexpr int32_t kMoveDraggedValue  = 8;  // a value both dragged and moved by a motion

// Alert codes of motion starts.
constexpr ResultCode kAlertNoPath          = 102;
constexpr ResultCode kAlertBadParameter    = 103;
constexpr ResultCode kAlertNoDestination   = 106;
constexpr ResultCode kAlertAtDestination   = 107;

// Own data of each motion type. Speeds are sketch length units per 16 ms frame.
struct AlongPathData {
    SketchObject*      path;
    const struct PathMethods* row;
    int32_t            storesParameter;  // the target is a point on that very path
    uint32_t           pathStamp;
    double             speed;
    double             t;
    double             velocity;
    double             endT;
    double             low, high;
    int32_t            endMode;
    int32_t            reverse;
};
struct RandomFreeData {
    double  speed;
    double  heading;
    int32_t keepGoing;
};
struct RandomOnPathData {
    SketchObject*             path;
    const struct PathMethods* row;
    int32_t                   storesParameter;
    double                    speed;
    double                    span;
    double                    low;
    uint32_t                  jumpDeadline;
    int32_t                   keepGoing;
};
struct AxisUnitData {
    double velocity;
    double low, high;
};
struct ToDestinationData {
    SketchObject* destination;
    double        destX, destY;
    int32_t       destMode;
    double        speed;  // 0 = instant
    double        progress;
    double        progressStep;
    double        dx, dy;
    uint32_t      destStamp;
    int32_t       replan;
    void*         dragSet;
    int32_t       instantWait;
    int32_t       extraFrame;
    SketchObject* path;
    uint32_t      pathStamp;
    double        t, targetT;
    double        rangeLow, rangeHigh;
    double        tStep;
};
struct NumberData {
    double   speed;
    int32_t  continuous;
    double   step;
    uint32_t jumpDeadline;
    int32_t  intervalMs;
    double   baseStep;
    double   seconds;
    double   endValue;
    double   low, high;
    int32_t  endMode;
    int32_t  reverse;
    int32_t  random;
    int32_t  kind;
    int32_t  unit;
    int32_t  onceOnly;  // a random number stops after one jump
};

inline Motion* const kMotionNotLinked = reinterpret_cast<Motion*>(~uintptr_t{0});

struct Motion {
    Motion*       listLink;      // temporary chain of a collection
    SketchObject* owner;         // the action button that started it, or null
    int32_t       pendingCount;  // mark of a Move button's press
    Motion*       next;          // kMotionNotLinked while not in a sketch's list
    int32_t       finished;
    int32_t       type;          // MotionType
    int32_t       suspended;     // a drag moves the target
    int32_t       needsMovingSetUpdate;
    int32_t       hasTimeLimit;
    uint32_t      timeLimit;     // deadline
    SketchObject* target;
    Sketch*       sketch;        // the sketch whose list holds it
    union {
        AlongPathData     alongPath;
        RandomFreeData    randomFree;
        RandomOnPathData  randomOnPath;
        AxisUnitData      axisUnit;
        ToDestinationData toDestination;
        NumberData        number;
        uint8_t           raw[144];
    } data;
};
static_assert(sizeof(void*) != 4 || sizeof(Motion) == 192);

// The longest interval a deadline holds, in ms: longer jump intervals saturate here.
constexpr uint32_t kLongestIntervalMs = 0x7fffffff;

// What a number motion is made from: a parameter's own change settings or an Animate
// button's record, in the sketch's units. direction: 0 increasing, 1 decreasing,
// 2 bidirectional, 3 random.
struct NumberMotionSettings {
    double  low, high;
    double  rate;
    double  seconds;
    int32_t continuous;
    int32_t direction;
    int32_t onceOnly;
};
// Fills a number motion from settings (what the type's init does with the parameter's).
void InitNumberMotion(Motion* motion, const NumberMotionSettings& settings);
// A motion's speed (length or rate units per frame; never negative).
double MotionSpeed(const Motion* motion);

// One row of MotionTypeOps per motion type; a null slot does nothing.
struct MotionTypeOpsRow {
    void (*init)(Motion* motion, SketchObject* pathOrDestination, int32_t mode, int32_t direction,
                 double speed);
    ResultCode (*start)(Motion* motion);
    void (*setSpeed)(Motion* motion, double speed, bool relative);
    void (*reverse)(Motion* motion);
    void (*release)(Motion* motion);
    void (*suspend)(Motion* motion, int32_t flag);
    int32_t (*advance)(Motion* motion);
    // The index-th object moved: 1 while more follow.
    int32_t (*movedObject)(Motion* motion, int32_t index, SketchObject** object, int32_t* isValue);
    int32_t (*dependsOn)(Motion* motion, SketchObject* object);
};
extern const MotionTypeOpsRow MotionTypeOps[kMotionTypeCount];

// The program-wide activity word of the front sketch (kActivity* bits of sketch.h).
uint16_t& ActivityWord();
// Motions running in any sketch, and animation frames run in any sketch.
int32_t  RunningMotionCount();
uint32_t ProgramFrameCount();

// The speed unit (preference, default 0.6) and the clamp of every speed.
double SpeedUnit();
double ClampSpeed(double speed);

Motion*    CreateMotion(SketchObject* target, SketchObject* pathOrDestination, int32_t type,
                        int32_t mode, int32_t direction, double speed);
// 0, or the start slot's code (the motion is then freed). anyUndoNeeded is set when an
// object of the motion was not moved by a running motion already.
ResultCode StartMotion(Motion* motion, SketchObject* owner, bool* anyUndoNeeded);
void       FinishMotion(Motion* motion);

void MarkMovingSetInvalid(Sketch* sketch);
void BuildMotionUpdateList(int32_t onlyNew);
void RecomputeMovedObjects();

// Motions for the tempLink chain of objects that Animate takes, chained through listLink.
Motion* CreateMotionsForSelection(SketchObject* linked);
void    FinishMotionsOfOwner(SketchObject* button);

ResultCode PauseAnimationCommand(int32_t argument);
ResultCode StopAllSketchesMotions(int32_t argument);
ResultCode ShowMotionControllerCommand(int32_t show);
bool       MotionControllerShown();
void       ChangeMotionSpeeds(double value, bool selectedOnly, bool relative);
void       ReverseMotions(bool selectedOnly);
bool       MotionSpeedRange(bool selectedOnly, double* low, double* high, bool* reversible);
// The existing, visible targets of the front sketch's motions, chained through tempLink.
SketchObject* CollectMovingObjects();
ResultCode    RunMotionBarCommand(int32_t code);

constexpr double kFasterFactor = 1.2599210498949;
constexpr double kSlowerFactor = 0.7937005259841;

// Number keys on the selected parameters: direction +1 ('+') or -1 ('-').
ResultCode StepNumberMotions(int32_t direction);
