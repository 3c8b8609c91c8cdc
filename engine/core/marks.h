// The marks of a sketch: 21 typed slots (the transformation marks and the marked
// coordinate system) and six counted mark categories (temporary selections of other
// commands). Slots made of several objects form groups; alternative ways of giving the
// same parameter exclude one another. Every routine acts on the current sketch.
#pragma once
#include <cstdint>

#include "engine/core/sketch_object.h"

struct CoordSystemExtents;

// One entry of the sketch's mark array. A category keeps its object count where a slot
// keeps its object.
struct MarkSlot {
    union {
        SketchObject* object;
        intptr_t      count;
    };
    int32_t state;
};

constexpr int32_t kMarkSlotCount     = 21;
constexpr int32_t kMarkEntryCount    = 27;
constexpr int32_t kFirstMarkCategory = 21;

// The slots.
enum MarkSlotId : int32_t {
    kMarkCentre = 0,
    kMarkMirror = 1,
    kMarkVector = 2,            // group header: the head once complete
    kMarkVectorHead = 3,
    kMarkVectorTail = 4,
    kMarkAngle = 5,             // group header: three points
    kMarkAngleLast = 6,
    kMarkAngleVertex = 7,
    kMarkAngleFirst = 8,
    kMarkAngleValue = 9,
    kMarkScaleFactor = 10,
    kMarkSegmentRatio = 11,     // group header: two straight objects
    kMarkRatioDenominator = 12,
    kMarkRatioNumerator = 13,
    kMarkPointRatio = 14,       // group header: three points
    kMarkRatioPoint = 15,
    kMarkUnitPoint = 16,
    kMarkRatioOrigin = 17,
    kMarkDistance = 18,         // polar distance or horizontal
    kMarkVertical = 19,
    kMarkCoordSystem = 20,
};

// The categories and their users.
constexpr int32_t kMarkCategoryMerge        = 21;
constexpr int32_t kMarkCategoryCalculator   = 22;
constexpr int32_t kMarkCategoryLabels       = 23;
constexpr int32_t kMarkCategoryCalculator2  = 24;
constexpr int32_t kMarkCategoryIterate      = 25;
constexpr int32_t kMarkCategoryToolPlayback = 26;

// Slot states: 1 and 2 wait for an object that undo or redo (or undoing or redoing a
// merge) has taken out of the sketch.
constexpr int32_t kMarkEmpty   = 0;
constexpr int32_t kMarkOutUndo = 1;
constexpr int32_t kMarkOutRedo = 2;
constexpr int32_t kMarkSet     = 3;

// Group flags of MarkSlotTable.
constexpr int32_t kMarkGroupStart  = 1;
constexpr int32_t kMarkGroupMember = 2;
constexpr int32_t kMarkGroupEnd    = 4;
constexpr int32_t kMarkAngleAlt    = 8;
constexpr int32_t kMarkRatioAlt    = 16;

struct MarkSlotRow {
    int32_t requiredKind;  // the object's kind must be it or below it; 0 = any object
    int32_t flags;
};
extern const MarkSlotRow MarkSlotTable[kMarkSlotCount];

// Mark word bits of an object: bits 0..5 the categories 21..26, 0x8000 (kMarkedObject)
// in some slot. Bits 6..14 belong to other users.
constexpr uint32_t kMarkCategoryBits = 0x3f;

// Puts an object into a slot (false, nothing changed, when its kind does not fit) or
// adds it to a category (always true).
bool MarkObject(int32_t slot, SketchObject* object, bool flash);
void UnmarkObject(MarkSlot* marks, int32_t slot, SketchObject* object);
void ClearMark(int32_t slot);

using MarkVisitFn = int32_t (*)(SketchObject* object, void* user);
// The slot's object, or every member of a category in sketch order; the last answer,
// 0 when there was nobody.
int32_t ForEachMarked(int32_t slot, MarkVisitFn visit, void* user);
bool    HasMarkCategory(int32_t category, const SketchObject* object);
// A slot: whether it holds an object (in any state). A category: its count.
int32_t MarkSlotState(int32_t slot);
// The object of a slot when its state is kMarkSet, else null.
SketchObject* MarkedObject(int32_t slot);
bool    IsMarkGroupSet(int32_t slot);
bool    IsMarkGroupEnd(int32_t slot);

void RestateMarkGroup(int32_t slot);
void ClearMarkAlternatives(int32_t slot);
void FlashMarkGroup(int32_t slot);
void RefreshInSlotBit(SketchObject* object);

// change: 0 deleted, 1 taken out by undo or redo, 2 taken out by undoing or redoing a
// merge, 3 put back (also every new object linked into the sketch). Answers the
// object's mark word afterwards.
uint32_t UpdateMarksOnObjectChange(SketchObject* object, int32_t change);

// The marked coordinate system, else the first existing one with visible axes, else the
// last existing one; with create, one is shown, made or marked as needed.
SketchObject* GetCoordinateSystemEx(int32_t flags, bool create, bool* created, bool skipMarked,
                                    const CoordSystemExtents* extents = nullptr);
SketchObject* GetCoordinateSystem(int32_t flags, bool create, bool* created);
