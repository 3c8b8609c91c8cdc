// Copying objects from one sketch into the current one: a map from each source object
// (by its givenIndex) to its copy or match, and the cloning of one object with its
// parents, construction data and label taken through the map.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/core/result_codes.h"

struct ObjectLabel;
struct Sketch;
struct SketchObject;

// Flags of an entry as cloning sets them; a tool run adds its own above them.
constexpr uint16_t kCopyReused   = 0x1;  // an equal object took the copy's place
constexpr uint16_t kCopyShown    = 0x2;  // that object had been hidden and was shown
constexpr uint16_t kCopyReversed = 0x4;  // its parents matched in reverse order

constexpr uint16_t kCopyChainEnd = 0xFFFF;

// The result of a step whose parents are not distinct as its construction needs.
constexpr ResultCode kResultParentsNotDistinct = 202;

struct CopyMapEntry {
    SketchObject* copy;
    uint16_t      flags;
    uint16_t      next;  // index of the next entry of a chain the user keeps, or kCopyChainEnd
};

// Clone modes of the target sketch: what a copy carries over.
enum CloneMode : int32_t {
    kCloneToolFromSelection = 3,
    kCloneToolScript        = 4,
    kClonePlayback          = 5,
    kClonePaste             = 6,
    kCloneNone              = 7,
};

struct CopyMap {
    Sketch*        source;
    int32_t        givenCount;   // the first entries
    int32_t        objectCount;  // entries of source objects; the rest are extra
    int32_t        capacity;
    CopyMapEntry*  entries;
    // Objects made along the way (rebuilt derivatives), in the target's arena, or 0.
    PtrList        extra;
    // The source's objects by index: its givens in given order, then the others in
    // sketch order. Each one's givenIndex is its index while the map lives.
    SketchObject** sources;
};

// A zero-filled map of givens + objects + extra entries; false without memory.
bool InitCopyMap(CopyMap* map, int32_t givens, int32_t objects, int32_t extra);
// Sizes the map for cloning from a source sketch and numbers the source's objects. With
// room for matching, each given that can be built from two points (match groups 0 to 3)
// gets two extra entries.
bool SetupCopyMap(CopyMap* map, Sketch* source, bool roomForMatching);
// Frees the map and forgets the source's numbering; with destroyExtras the extra objects
// are destroyed too.
void FreeCopyMap(CopyMap* map, bool destroyExtras);
// The kind a given of the source is matched by: its given-table kind, else its own.
int32_t CopyMapGivenKind(const CopyMap* map, int32_t index);

// The indexes of a source object's parents (at most `room`); answers their count.
int32_t CopyMapParentIndexes(const CopyMap* map, int32_t index, int32_t* parents, int32_t room);

// Stand-in: the label service has no text setter yet. Puts text into a label block
// (inline up to four characters, else a heap copy) without freeing what it held; false
// without memory, the block unchanged.
bool SetLabelBlockText(ObjectLabel* label, const char* text);

// Clones one source object into the current sketch with its parents taken from their
// entries, and fills its entry. 0, 100 (memory) or 202 (parents not distinct).
ResultCode CloneObjectIntoSketch(CopyMap* map, SketchObject* source, SketchObject** copy);
