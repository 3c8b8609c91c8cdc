// The record of every sketch object: a common header, followed in the same block by the
// data of the object's class. Three small numbers in the header (construction type,
// object class, object kind) select rows of the engine's constant tables
// (object_tables.h); dispatch goes through those rows, never through virtual functions.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/text_style.h"


struct DragAnalysis;

// The label block of an object.
struct ObjectLabel {
    // First: every recompute reads it, right after the header fields it reads.
    int32_t  shown;        // 1 when the label is shown in the sketch
    int32_t  level;        // how the text was made (LabelLevel)
    // The label inline when it has at most 4 characters (a 4-character label is ended by
    // the zero heapLength that follows), else a heap copy (NUL-terminated).
    union {
        char  inlineText[4];
        char* heapText;
    } text;
    uint16_t heapLength;   // length of the heap copy; 0 = the text is inline
    uint16_t subscriptAt;  // position of the '[' of a trailing subscript; 0 = none
    int16_t  baseWidth;    // measured width of the part before the subscript
    int16_t  offsetX;      // top-left corner relative to the anchor
    int16_t  offsetY;
    int32_t  useInTools;   // the "Use Label In Custom Tools" property
    double   pathParameter;  // anchor on the object's path; kLabelNotPlaced = not placed
};

// Bit pattern 0x41615C51C1126E98.
constexpr double kLabelNotPlaced = 9101966.0335;

// The label's measured place and size, kept after the text style area.
struct LabelPlace {
    int16_t originX;  // label top-left relative to the top-left of the object's bounds
    int16_t originY;
    int16_t width;    // -1 = not measured
    int16_t height;
};

// Values of SketchObject::hidden.
constexpr int32_t kShown             = 0;
constexpr int32_t kHiddenByUser      = 1;
// Hidden because a construction consumed the object as its first parent.
constexpr int32_t kHiddenAsConsumed  = 4;

// Bits of SketchObject::stateFlags.
constexpr uint8_t kObjectHot = 0x1;
// A live preview's image: it cannot be picked.
constexpr uint8_t kObjectPreview = 0x4;

// Bit of SketchObject::markFlags: the object is marked.
constexpr uint32_t kMarkedObject = 0x8000;

struct SketchObject;

// Link value of an object that is not in a list (order list, layer ring, selection).
// Null is a different thing: it ends a chain.
inline SketchObject* const kNotLinked = reinterpret_cast<SketchObject*>(~uintptr_t{0});

struct alignas(8) SketchObject {
    // The first seven words are the ObjectTemplate.
    int32_t  constructionType;  // row of ConstructionTypeTable; 0 = free object
    int32_t  traced;
    int32_t  hidden;            // kShown, kHiddenByUser, kHiddenAsConsumed
    int32_t  objectClass;       // row of ObjectClassTable
    int32_t  lineStyle;         // 0, 1 or 2 (thick)
    int32_t  objectKind;        // row of ObjectKindTable
    uint32_t color;             // 24-bit RGB, red in the low byte

    // What every recompute reads or writes, kept together right behind the template:
    // a drag recomputes thousands of objects per frame, and fields spread over the
    // record cost a cache line each.
    int32_t    givenIndex;      // -1, or inside a custom tool's sketch the given's index
    int32_t    exists;          // 1 when the geometry is defined
    uint32_t   generation;
    PtrList    parents;         // in the order the construction type defines
    ScreenRect bounds;
    PtrList    children;        // here only because it fills the gap before the label
    ObjectLabel label;

    // Below, what a frame of a drag does not touch (labelPlace only for a shown label).
    // The fields are ordered to leave no padding: a frame streams every byte of the
    // records it walks through the cache, touched or not.
    ScreenRect coreBounds;      // sketch extent, for classes with usesCoreExtent
    // The text style area: zeroed at creation, then set from the defaults of the
    // class's text family.
    TextStyle  textStyle;
    int16_t    textStyleSpare;
    LabelPlace labelPlace;

    SketchObject* prevInSketch;  // sketch order list; kNotLinked while not linked
    SketchObject* nextInSketch;
    SketchObject* nextSelected;  // selection chain; kNotLinked = not selected, null ends it
    SketchObject* tempLink;      // scratch chain of one operation
    SketchObject* prevInLayer;   // draw-layer ring; kNotLinked while not linked
    SketchObject* nextInLayer;
    DragAnalysis* dragRecord;    // only while a drag is being analysed
    SketchObject* nextMoved;     // the motion's moved list

    PtrList       constructionData;  // the construction's own extra values
    uint32_t      markFlags;
    uint32_t      traversalStamp;
    int32_t       hitExcluded;  // nonzero: hit tests pass over it (a tool run's provisional objects)
    int32_t       selectable;
    int32_t       motionRole;
    uint8_t       stateFlags;
    // 1 while a running motion of the sketch moves it: a motion that starts looks for the
    // one it takes over only then, so starting many motions stays linear.
    uint8_t       movedByMotion;
};

inline bool IsExcludedFromHits(const SketchObject* object) { return object->hitExcluded != 0; }

// What a creator fills in to make an object: the first seven header words in order.
struct ObjectTemplate {
    int32_t  constructionType;
    int32_t  traced;
    int32_t  hidden;
    int32_t  objectClass;
    int32_t  lineStyle;
    int32_t  objectKind;
    uint32_t color;
};

inline ObjectTemplate ObjectTemplateOf(const SketchObject* object) {
    return { object->constructionType, object->traced, object->hidden, object->objectClass,
             object->lineStyle, object->objectKind, object->color };
}

// The class data of an object starts right after the header, 8-byte aligned.
template <typename T>
inline T* ClassData(SketchObject* object) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(object) + sizeof(SketchObject));
}
template <typename T>
inline const T* ClassData(const SketchObject* object) {
    return reinterpret_cast<const T*>(reinterpret_cast<const char*>(object) + sizeof(SketchObject));
}
