// Making objects exist and keeping them true: construction with reuse of equal objects,
// the undo steps of construction, destruction, hiding, and the dependency update (the
// existence rule, recompute of one object, of lists and of the whole sketch).
// Every operation acts on the current sketch.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"

// Raised while a locus or an iteration moves its driver or evaluates at other parameters
// and lowered afterwards: text displays stop rebuilding their texts at depth 2 and more.
extern int16_t NestedEvaluationDepth;

// Construction out-flags.
constexpr uint16_t kConstructedNew      = 0;
constexpr uint16_t kReusedEqual         = 1;
constexpr uint16_t kReusedReversed      = 5;
constexpr uint16_t kReusedAndShown      = 0x2;  // added to 1 or 5

struct ConstructRequest {
    ObjectTemplate objectTemplate;
    void*          extraData;         // handed to the class's initExtra
    PtrList        parents;           // taken over in every case
    PtrList        constructionData;  // taken over in every case
    ObjectLabel*   label;             // heap block taken over in every case, or null
    bool           link;
    bool           undo;
    uint16_t*      outFlags;
    bool           allowReuse;
};

// Builds the template from the sketch's defaults and constructs with reuse allowed.
SketchObject* ConstructObject(int32_t type, void* extraData, PtrList parents,
                              PtrList constructionData, bool link, bool undo, uint16_t* outFlags);
SketchObject* ConstructObjectWithTemplate(const ConstructRequest* request);
// Linked into the sketch, no undo step.
SketchObject* ConstructObjectEx(const ObjectTemplate* objectTemplate, void* extraData,
                                PtrList parents, PtrList constructionData, ObjectLabel* label,
                                uint16_t* outFlags, bool allowReuse);

SketchObject* AllocObject(int32_t objectClass, const ObjectTemplate* objectTemplate);
bool          SetObjectParents(SketchObject* object, PtrList parents);
// `pattern`, when given, is an object the construction copies (a child re-parented by a
// merge): a calculation found must then compute what it computes.
SketchObject* FindEquivalentObject(int32_t rule, PtrList parents, PtrList constructionData,
                                   int32_t type, bool* reversed, const SketchObject* pattern = nullptr);
bool          ShareDefiningParent(SketchObject* a, SketchObject* b, SketchObject** point);
// The preferences' default style of the class's text family; for captions and value
// displays in the sketch's colour of the class. False for a class without text.
bool          DefaultTextStyle(int32_t objectClass, TextStyle* style);
// Sets that style on the object, and in its text data when it has one.
void          ApplyDefaultTextStyle(SketchObject* object);

// The object, or null when the undo step could not be recorded: a new object is then
// destroyed, a reused one that was shown for this construction is hidden again.
SketchObject* RecordNewObjectUndo(SketchObject* object, bool linked, uint16_t flags);

struct ObjectBatch;
using BatchCreateFn = SketchObject* (*)(int32_t index, void* userData, uint16_t* outFlags);
using BatchUnwindFn = void (*)(int32_t index, void* userData, SketchObject* object, uint16_t flags);

constexpr int32_t kBatchNoUndo = -999;

struct ObjectBatch {
    int32_t       replaceSelection;
    int32_t       hideFirstParents;
    uint16_t      count;
    BatchCreateFn create;
    BatchUnwindFn unwind;
    void*         userData;
    int32_t       undoNoun;  // -1 from the selection; kBatchNoUndo records nothing
};

// The last object made, or null when anything failed (every item taken back).
SketchObject* BuildObjectsWithUndo(const ObjectBatch* batch);
// Destroys a new item, hides a reused one again.
void StandardBatchUnwind(int32_t index, void* userData, SketchObject* object, uint16_t flags);

void DestroyObject(SketchObject* object, bool linked, bool freeLists);
void UnlinkFromParents(SketchObject* object);

// Grows *target to hold source (an empty target's inverted corners give way at once).
inline void UniteRect(ScreenRect* target, const ScreenRect& source) {
    if (source.left < target->left) target->left = source.left;
    if (source.top < target->top) target->top = source.top;
    if (source.right > target->right) target->right = source.right;
    if (source.bottom > target->bottom) target->bottom = source.bottom;
}

// Answers nonzero when the bounds were added to the rectangle, or the object's given
// index when it is a tool given (never recomputed).
int32_t RecomputeObject(SketchObject* object, ScreenRect* rect, bool bump);
void    RecomputeAndRedrawObject(SketchObject* object);
// Recomputes the objects in order, each as RecomputeObject (object, nullptr, false): the
// inner loop of sampling, where every object is recomputed thousands of times.
void    RecomputeObjectRun(SketchObject* const* objects, int32_t count);
// While set, points, straights and circles recompute their geometry but keep their
// screen extents (bounds, visible piece, screen circle) as they were: sampling reads
// only the geometry of the objects between its driver and the traced object, and puts
// them all back, extents included, when it ends.
extern bool gSkipScreenExtents;
// RecomputeObjectRun with gSkipScreenExtents set. Only for runs of points, straights
// and circles: other classes may read what the flag leaves stale.
void    RecomputeGeometryRun(SketchObject* const* objects, int32_t count);
// Replaces the tempLink chain at *head by everything that depends on it, in sketch
// order; answers the number of objects in the new chain.
int32_t CollectDependents(SketchObject** head, bool single);
// A tempLink chain (linked) or a null-terminated array.
void    RecomputeObjects(SketchObject* object, bool linked, SketchObject* const* array);

// An entry of an object list with flags (undo steps, drag lists); a null object ends it.
struct ObjectFlagsEntry {
    SketchObject* object;
    uint16_t      flags;
};
void       RecomputeListedObjects(const ObjectFlagsEntry* items, ScreenRect* rect, bool skipOldBounds);

// A frame that recomputes a list of objects knows the ones to come, which a walk along
// links cannot: asking for the record of the entry this many ahead hides the first touch
// of each record (its header and the geometry behind it), the stall that otherwise
// dominates a frame of many objects. Prefetching never faults, whatever the class's size.
constexpr int32_t kRecomputeLookahead = 8;
inline void PrefetchRecomputedRecord(const SketchObject* object) {
    const char* record = reinterpret_cast<const char*>(object);
    __builtin_prefetch(record, 1);
    __builtin_prefetch(record + 64, 1);
    __builtin_prefetch(record + sizeof(SketchObject), 1);
    __builtin_prefetch(record + sizeof(SketchObject) + 64, 1);
}
// Walks a null-ended list with the records kRecomputeLookahead entries ahead asked for.
template <typename Visit>
void ForEachListedWithLookahead(const ObjectFlagsEntry* list, Visit visit) {
    const ObjectFlagsEntry* ahead = list;
    for (int32_t i = 0; i < kRecomputeLookahead && ahead->object; ++i, ++ahead) {
        PrefetchRecomputedRecord(ahead->object);
    }
    for (const ObjectFlagsEntry* e = list; e->object; ++e) {
        if (ahead->object) PrefetchRecomputedRecord((ahead++)->object);
        visit(*e);
    }
}
ScreenRect RecomputeSketch(bool accumulateOldBounds);
// The same from `first` to the end of the sketch order.
ScreenRect RecomputeSketchFrom(SketchObject* first, bool accumulateOldBounds);

ResultCode SetObjectHidden(SketchObject* object, int32_t state, bool recordUndo);
ResultCode ChangeObjectHidden(SketchObject* object, int32_t state, bool recordUndo);
int32_t    AddObjectBounds(ScreenRect* rect, const SketchObject* object);
