// Deciding, before a drag starts, which objects move and how: the free objects that
// define the dragged ones move so that every construction stays true, and the objects
// that depend on them are recomputed in dependency order.
#pragma once
#include <cstdint>

#include "engine/core/object_creation.h"
#include "engine/core/sketch_object.h"
#include "engine/core/transform_maps.h"

constexpr int32_t kDragTranslate = 0;
constexpr int32_t kDragRotate    = 1;
constexpr int32_t kDragDilate    = 2;

// Drag codes: what happens to a parent when its child is dragged.
constexpr uint8_t kDragCodeDefining  = 0;  // moves along (segment end points, centres)
constexpr uint8_t kDragCodePreImage  = 1;  // the image moves its pre-image
constexpr uint8_t kDragCodeSecondary = 2;  // moved only as part of a group
constexpr uint8_t kDragCodeCentre    = 3;  // centre of a rotation or dilation
constexpr uint8_t kDragCodeValue     = 4;  // supplies a value
constexpr uint8_t kDragCodeIsValue   = 5;  // the object is a value: parents move on request
constexpr uint8_t kDragCodeFixed     = 6;  // never moves
constexpr uint8_t kDragCodeNone      = 7;  // no effect either way

// Flags of a record, of move-list entries and of plan entries.
constexpr uint16_t kDragProcessed    = 0x1;
constexpr uint16_t kDragMoves        = 0x2;   // possibly carried with a group
constexpr uint16_t kDragIndependent  = 0x4;   // plan entry kept even when nothing hangs on it
constexpr uint16_t kDragNoDriver     = 0x8;
constexpr uint16_t kDragMustMove     = 0x10;
constexpr uint16_t kDragParentsStill = 0x20;  // none of its parents has to move
constexpr uint16_t kDragValueObject  = 0x40;  // a dragged value object
constexpr uint16_t kDragPlannedValue = 0x4c;  // what a dragged value object becomes in the plan

// The work record hung on an object's dragRecord while an analysis runs.
struct DragAnalysis {
    SketchObject* object;
    DragAnalysis* next;       // result list; kDragNotListed while not in it, null ends it
    DragAnalysis* previous;
    DragAnalysis* queueNext;  // work queue; kDragNotListed while not queued
    DragAnalysis* queuePrevious;
    SketchObject* driver;     // whose processing gave this object its group
    int16_t       group;      // rigid group, 0 = none
    int16_t       state;      // 0..5
    uint16_t      flags;
    uint32_t      done;       // 0x1 children propagated, 0x2 written to the move list, 4 grouped
};

inline DragAnalysis* const kDragNotListed = reinterpret_cast<DragAnalysis*>(~uintptr_t{0});

// One entry of the move plan. The drag fills the map each frame.
struct DragPlanEntry {
    SketchObject* object;          // null ends the plan
    int16_t       driverIndex;     // -1 = none
    int16_t       referenceCount;  // entries that name this one as their driver
    uint16_t      flags;           // 4: its geometry is transformed; 8: takes the drag's map
    uint16_t      groupDiffers;    // 1 when the entry's group differs from its driver's
    SketchObject* behind;          // the transformed image it is dragged through, or null
    TransformMap  map;
};
static_assert(sizeof(void*) != 4 || sizeof(DragPlanEntry) == 104);

struct DragRequest {
    SketchObject*     firstDragged;  // the dragged objects, linked through tempLink
    int32_t           mode;          // kDragTranslate, kDragRotate, kDragDilate
    DragPlanEntry**   plan;          // out: AllocMemory block, null-object terminated
    ObjectFlagsEntry** moveList;     // out: AllocMemory block in dependency order, null-terminated
};

// Nonzero on success. 0 only when memory ran out; both outputs are then null. Every
// dragRecord is null again afterwards, whatever happened.
int32_t AnalyzeDragSet(const DragRequest* request);

// The drag code of a construction's parent position in a mode (positions past 4 use 4).
uint8_t DragCodeAt(const SketchObject* object, int32_t mode, int32_t position);
// What dragging `parent` does to `child` in a mode; kDragCodeNone when it is no parent.
uint8_t ChildDragCode(const SketchObject* parent, const SketchObject* child, int32_t mode);

// The objects of the tempLink chain from `first` (flags 0xc, plus 0x1 when one depends on
// another listed object) and every object reached from them through drag codes other
// than 7 (flags 0x1), in sketch order, ended by a null object. False when memory ran out.
bool CollectAffectedObjects(SketchObject* first, ObjectFlagsEntry** list);
