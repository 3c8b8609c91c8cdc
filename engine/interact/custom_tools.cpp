#include "engine/core/services/custom_tools.h"

#include "engine/core/copy_map.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/interact/custom_tools.h"

// Stand-in: no library, no tool folder, no tool list view and no script view exist yet.
bool InitCustomToolLibrary() { return true; }
void FreeToolFolderList() {}
void DetachToolSketch(Sketch*) {}
void UpdateToolSketchName(Sketch*) {}
void ShowToolStatus(Sketch*, void*) {}

// Stand-in: no current custom tool exists, so there is nothing to keep valid or drop.
bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value) {
    return ToolListAdd(list, entry, value);
}
void CustomToolCancelDelete(ToolList*) {}

// Stand-in: the numbered-object table belongs to custom-tool making and playback; until
// it is kept no sketch's objects are numbered.
int32_t NumberedObjectCount() { return 0; }

// Stand-in: making a tool from the selection ("Create New Tool...", its question about
// objects that do not exist, the given kinds and the naming prompt) is not built yet.

namespace {

void** Items(PtrList list, int32_t* count) {
    *count = 0;
    return list ? PtrListItems(list, count) : nullptr;
}

// Selects the dependants a copy takes along: for Cut every one (Cut deletes them too),
// for Copy only those that do not exist, which a paste could not otherwise rebuild.
void ExtendSelection(Sketch* sketch, bool cut) {
    // Sketch order is dependency order, so one forward pass reaches grandchildren too.
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (!IsSelected(o)) continue;
        int32_t count = 0;
        void** children = Items(o->children, &count);
        for (int32_t i = 0; i < count; ++i) {
            auto* child = static_cast<SketchObject*>(children[i]);
            if (!IsSelected(child) && (cut || child->exists != 1)) SelectSketchObject(child);
        }
    }
}

// The breadth-first walk that sorts the selection and what it needs into givens (s2)
// and steps (s3); s1 marks the selection's descendants that are merely visited. Stamps
// only ever rise, so no object enters the queue more than three times.
struct CopyWalk {
    uint32_t s1, s2, s3;
    SketchObject** queue;
    int32_t capacity, head, tail;

    void Push(SketchObject* o, uint32_t stamp) {
        o->traversalStamp = stamp;
        if (tail < capacity) queue[tail++] = o;
    }
    bool Visited(const SketchObject* o) const { return o->traversalStamp >= s1 && o->traversalStamp <= s3; }

    void Visit(SketchObject* o) {
        int32_t count = 0;
        void** children = Items(o->children, &count);
        for (int32_t i = 0; i < count; ++i) {
            auto* child = static_cast<SketchObject*>(children[i]);
            if (!Visited(child)) Push(child, s1);
            else if (child->traversalStamp == s2) Push(child, s3);
        }
        void** parents = Items(o->parents, &count);
        if (o->traversalStamp == s2) {
            const bool plain = o->constructionType == 0 || o->objectClass == kClassPoint ||
                               o->objectClass == kClassPicture;
            bool parentVisited = false;
            for (int32_t i = 0; i < count; ++i)
                parentVisited = parentVisited || Visited(static_cast<SketchObject*>(parents[i]));
            if (!plain || parentVisited) Push(o, s3);
        } else if (o->traversalStamp == s3) {
            for (int32_t i = 0; i < count; ++i) {
                auto* parent = static_cast<SketchObject*>(parents[i]);
                if (parent->traversalStamp == s1) Push(parent, s3);
                else if (!Visited(parent)) Push(parent, s2);
            }
        }
    }
};

}  // namespace

ResultCode MakeCustomTool(CustomToolPayload* payload) {
    payload->bytes = nullptr;
    payload->size = 0;
    payload->extent = {};
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    ExtendSelection(sketch, payload->cut);

    int32_t objectCount = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        o->tempLink = nullptr;
        ++objectCount;
    }
    CopyWalk walk{};
    walk.s1 = sketch->traversalGeneration + 1;
    walk.s2 = walk.s1 + 1;
    walk.s3 = walk.s2 + 1;
    sketch->traversalGeneration = walk.s3;
    walk.capacity = 3 * objectCount + 1;
    walk.queue = static_cast<SketchObject**>(AllocMemory(size_t(walk.capacity) * sizeof(SketchObject*), 0));
    if (!walk.queue) return kResultOutOfMemory;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) walk.Push(o, walk.s2);
    while (walk.head < walk.tail) walk.Visit(walk.queue[walk.head++]);
    FreeMemory(walk.queue);

    int32_t givens = 0, total = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->traversalStamp == walk.s2) ++givens;
        if (o->traversalStamp == walk.s2 || o->traversalStamp == walk.s3) ++total;
    }
    auto* items = static_cast<CopyItem*>(AllocMemory(size_t(total + 1) * sizeof(CopyItem), kAllocZero));
    if (!items) return kResultOutOfMemory;
    int32_t n = 0;
    auto add = [&](SketchObject* o) { items[n++] = { o, o->objectKind, o->hidden }; };
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->traversalStamp == walk.s2 && !IsSelected(o)) add(o);
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected)
        if (o->traversalStamp == walk.s2) add(o);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->traversalStamp == walk.s3) add(o);

    GetSelectionExtent(&payload->extent, false, false);
    Sketch* copy = nullptr;
    ResultCode rc = BuildSketchFromObjects(items, true, givens, total, nullptr, &copy);
    FreeMemory(items);
    if (rc != kResultOK) return rc;
    StreamHandle stream = 0;
    rc = OpenMemoryStream(0, &stream);
    if (rc == kResultOK) {
        rc = WriteToolSketch(stream, copy);
        const ResultCode closed = CloseStream(stream);
        if (rc == kResultOK) rc = closed;
        uint32_t size = 0;
        auto* bytes = static_cast<uint8_t*>(TakeStreamBytes(stream, &size));
        if (rc == kResultOK && !bytes) rc = kResultOutOfMemory;
        if (rc == kResultOK) {
            payload->bytes = bytes;
            payload->size = size;
        } else {
            FreeMemory(bytes);
        }
    }
    FreeSketch(copy);
    return rc;
}
