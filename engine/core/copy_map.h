// Copying objects from one sketch into the current one: a map from each source object
// (by its givenIndex) to its copy or match, and the cloning of one object with its
// parents, construction data, class data and label taken through the map. Custom-tool
// making, clipboard copies, pastes and tool playback all clone through it.
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
    kCloneToolFromSelection = 3,  // no reuse of equal objects
    kCloneToolScript        = 4,  // style, existence, texts and geometry come along
    kClonePlayback          = 5,  // "=" label templates are expanded
    kClonePaste             = 6,  // as 4
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
// Takes an object that is about to be destroyed out of the map's extra list (the
// target sketch current).
void CopyMapForgetExtra(CopyMap* map, const SketchObject* object);
// The kind a given of the source is matched by: its given-table kind, else its own.
int32_t CopyMapGivenKind(const CopyMap* map, int32_t index);

// The indexes of a source object's parents (at most `room`); answers their count.
int32_t CopyMapParentIndexes(const CopyMap* map, int32_t index, int32_t* parents, int32_t room);

// Puts text into a label block that belongs to no object yet (the label service stores
// the texts of objects): inline up to four characters, else a heap copy, without
// freeing what it held; false without memory, the block unchanged.
bool SetLabelBlockText(ObjectLabel* label, const char* text);

// Clones one source object into the current sketch with its parents taken from their
// entries, and fills its entry. 0, 100 (memory) or 202 (parents not distinct).
ResultCode CloneObjectIntoSketch(CopyMap* map, SketchObject* source, SketchObject** copy);

// A "=" label template of a tool object (the text after the "="): every "{n}" becomes
// the label of given n's copy; one that cannot be resolved (0, beyond the givens,
// unclosed, no copy) becomes "?". The result is cut to `size` - 1 characters.
void ExpandLabelTemplate(const CopyMap* map, const char* text, char* out, uint32_t size);

// The same for an object that is to stand free in the target: a given pasted or
// written in script form keeps its class, kind, style and place but not its parents.
ResultCode CloneObjectAsFree(CopyMap* map, SketchObject* source, SketchObject** copy);

// One object of a selection made into a sketch: the kind it is recorded as (a given's
// kind in the tool) and the hidden state its copy gets.
struct CopyItem {
    SketchObject* object;
    int32_t       kind;
    int32_t       hidden;
};

// A new sketch (a custom tool's body or a clipboard copy) from the items of the current
// sketch: `givens` givens first, then the objects built on them in construction order,
// `objects` items in all. In script form the givens are cloned as free objects and the
// copies keep style and geometry; otherwise each given becomes a placeholder (a point,
// or a value for measured and calculated givens) that does not exist. 0 with the sketch
// in *out; 100 or 202 with nothing made.
ResultCode BuildSketchFromObjects(const CopyItem* items, bool scriptForm, int32_t givens, int32_t objects,
                                  const char* title, Sketch** out);
