#include "release2/engine/text_stacking.h"

#include <cmath>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/document_io.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/transform_maps.h"
#include "engine/interact/drag.h"

namespace {

constexpr int32_t kDragCodeMeasurement = 5;
constexpr int32_t kDragCodeButton = 7;
constexpr int32_t kLaterParentsColumn = kDragPositionCount - 1;

bool IsStackable(const SketchObject* o) {
    const int32_t c = o->objectClass;
    if (c != kClassCaption && c != kClassMeasurement && c != kClassActionButton && c != kClassCalculation)
        return false;
    if (o->constructionType == 0) return true;
    if (o->constructionType < 0 || o->constructionType >= kConstructionTypeCount) return false;
    const uint8_t code = ConstructionTypeTable[o->constructionType].dragCodes[0][kLaterParentsColumn];
    return code == kDragCodeMeasurement || code == kDragCodeButton;
}

struct StackEntry {
    SketchObject* object;
    int32_t oldLeft, oldTop, newTop;
};

void MoveTo(SketchObject* o, int32_t left, int32_t top) {
    TransformMap map{};
    map.dx = left - o->bounds.left;
    map.dy = top - o->bounds.top;
    if (map.dx == 0 && map.dy == 0) return;
    AddObjectToDirtyRect(o);
    ObjectClassTable[o->objectClass].transform(o, o, &map, TranslatePoints);
    AddObjectToDirtyRect(o);
}

// One record of the objects' places before the move: the list (20), their state blocks
// (21) and the objects to select again (26).
bool RecordPlaces(SketchObject* chain, int32_t count) {
    uint32_t blockBytes = 0;
    for (SketchObject* o = chain; o; o = o->tempLink) blockBytes += ObjectClassTable[o->objectClass].objectSize;
    const UndoDescriptor name = { kUndoNameTranslate, kUndoNounWorkedOut, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record =
        UndoRecordCreate(&name, 3, UndoObjectListBytes(count) * 2 + blockBytes, &cursor);
    if (!record) return false;
    UndoPutObjectList(&cursor, count, chain, kUndoEntryMovedObjects);
    UndoPutEntryHead(&cursor, kUndoEntryGeometry, blockBytes);
    for (SketchObject* o = chain; o; o = o->tempLink) {
        const uint32_t size = ObjectClassTable[o->objectClass].objectSize;
        const auto* bytes = reinterpret_cast<const uint8_t*>(o);
        for (uint32_t i = 0; i < size; ++i) *cursor++ = bytes[i];
    }
    UndoPutObjectList(&cursor, count, chain, kUndoEntrySelection);
    UndoRecordCommit(record, false);
    return true;
}

}  // namespace

bool StackSelectedTextObjects() {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return false;
    // The selection chain runs from the latest; the column starts with the earliest.
    SketchObject* chain = nullptr;
    int32_t count = 0;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        if (!IsStackable(o)) continue;
        o->tempLink = chain;
        chain = o;
        ++count;
    }
    if (count < 2) return false;

    const SketchObject* first = chain;
    const int32_t gap = chain->tempLink->bounds.top - first->bounds.bottom;
    bool column = true;
    for (const SketchObject* o = first; o->tempLink; o = o->tempLink) {
        const SketchObject* next = o->tempLink;
        if (next->bounds.left != first->bounds.left || next->bounds.top != o->bounds.bottom + gap) column = false;
    }
    const bool widen = column && gap < kStackWidestGap;
    const int32_t spacing = widen ? gap + 1 : kStackSpacing;
    const int32_t steps = widen ? 1 : kStackSteps;

    // Taken before anything is recorded, so that a failure leaves no step behind.
    auto* entries = static_cast<StackEntry*>(AllocMemory(sizeof(StackEntry) * uint32_t(count), 0));
    if (!entries) return false;
    if (!RecordPlaces(chain, count)) {
        FreeMemory(entries);
        return false;
    }
    // Targets: under the one before, at its new place.
    int32_t i = 0, bottom = first->bounds.bottom;
    for (SketchObject* o = chain; o; o = o->tempLink, ++i) {
        const int32_t top = i == 0 ? o->bounds.top : bottom + spacing;
        entries[i] = { o, o->bounds.left, o->bounds.top, top };
        bottom = top + (o->bounds.bottom - o->bounds.top);
    }
    const int32_t left = first->bounds.left;
    for (int32_t step = 1; step <= steps; ++step) {
        uint32_t deadline = 0;
        SetDeadline(&deadline, kStackStepMs);
        for (int32_t k = 0; k < count; ++k) {
            const StackEntry& e = entries[k];
            const double t = double(step) / steps;
            MoveTo(e.object, int32_t(std::lround(e.oldLeft + (left - e.oldLeft) * t)),
                   int32_t(std::lround(e.oldTop + (e.newTop - e.oldTop) * t)));
        }
        FlushPendingRedraw(0);
        if (step < steps) WaitForDeadline(deadline);
    }
    FreeMemory(entries);
    SetCurrentDocumentModified();
    return true;
}
