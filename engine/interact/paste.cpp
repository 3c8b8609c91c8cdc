#include "engine/interact/paste.h"

#include "engine/core/copy_map.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"

namespace {

constexpr uint16_t kUndoNamePaste = 26;
constexpr int32_t kPasteStep = 20;

ScreenPoint PasteOffset(Sketch* sketch, const ScreenRect* rect) {
    if (PageWindowPositionKey(sketch) != sketch->pasteWindowKey) sketch->pasteCounter = 0;
    const int32_t c = sketch->pasteCounter;
    if (c < 0) return { int16_t(-kPasteStep * c), int16_t(-kPasteStep * c) };
    const ScreenRect& w = sketch->windowRect;
    const int32_t dx = (w.left + w.right - rect->left - rect->right) / 2 + kPasteStep * c;
    const int32_t dy = (w.top + w.bottom - rect->top - rect->bottom) / 2 + kPasteStep * c;
    return { int16_t(dx), int16_t(dy) };
}

// Moves a copy by the offset; points placed by a value of their own follow their
// parents at the recompute instead.
void MoveCopy(SketchObject* copy, const TransformMap* map) {
    const ObjectClassRecord& row = ObjectClassTable[copy->objectClass];
    if (!row.transform) return;
    if (copy->objectClass == kClassPoint && (ConstructionTypeTable[copy->constructionType].flags & kTypeValuePositioned))
        return;
    row.transform(copy, copy, map, TranslatePoints);
}

// Takes back what a failed paste made, newest first: new copies are destroyed, reused
// ones that were shown for the paste are hidden again.
void TakeBackCopies(const CopyMap& map, int32_t made) {
    for (int32_t i = made - 1; i >= 0; --i) {
        const CopyMapEntry& e = map.entries[i];
        if (!e.copy) continue;
        if (!(e.flags & kCopyReused)) DestroyObject(e.copy, true, true);
        else if (e.flags & kCopyShown) ChangeObjectHidden(e.copy, kHiddenByUser, false);
    }
}

// One undo step listing the new copies as created and the shown ones as shown, newest
// first (undo takes children out before their parents); false without memory.
bool RecordPaste(const CopyMap& map, int32_t made) {
    SketchObject* created = nullptr;
    SketchObject* shown = nullptr;
    int32_t createdCount = 0, shownCount = 0, kind = 0;
    for (int32_t i = 0; i < made; ++i) {
        const CopyMapEntry& e = map.entries[i];
        if (!e.copy) continue;
        if (!(e.flags & kCopyReused)) {
            e.copy->tempLink = created;
            created = e.copy;
            ++createdCount;
        } else if (e.flags & kCopyShown) {
            e.copy->tempLink = shown;
            shown = e.copy;
            ++shownCount;
        } else {
            continue;
        }
        kind = CommonKind(kind, e.copy->objectKind);
    }
    if (createdCount + shownCount == 0) return true;
    const int32_t nounForm = createdCount + shownCount > 1 ? 1 : 0;  // plural
    const UndoDescriptor name = { kUndoNamePaste, int16_t(kind > 0 ? 3 * (kind - 1) + nounForm : kUndoNounNone), 0,
                                  nullptr };
    uint32_t bytes = 0;
    if (createdCount) bytes += UndoObjectListBytes(createdCount);
    if (shownCount) bytes += UndoObjectListBytes(shownCount);
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, (createdCount ? 1 : 0) + (shownCount ? 1 : 0), bytes, &cursor);
    if (!record) return false;
    if (createdCount) UndoPutObjectList(&cursor, createdCount, created, kUndoEntryCreated);
    if (shownCount) UndoPutObjectList(&cursor, shownCount, shown, kUndoEntryShown);
    UndoRecordCommit(record, false);
    return true;
}

ResultCode CloneReadSketch(CopyMap* map, ScreenPoint offset, int32_t* made) {
    const TransformMap move = { double(offset.x), double(offset.y), 0, 1, 1, {}, {}, {} };
    for (*made = 0; *made < map->objectCount; ++*made) {
        SketchObject* source = map->sources[*made];
        SketchObject* copy = nullptr;
        const ResultCode rc = *made < map->givenCount ? CloneObjectAsFree(map, source, &copy)
                                                      : CloneObjectIntoSketch(map, source, &copy);
        if (rc != kResultOK) return rc;
        if (!(map->entries[*made].flags & kCopyReused)) MoveCopy(copy, &move);
    }
    return kResultOK;
}

}  // namespace

int32_t PageWindowPositionKey(const Sketch* sketch) {
    // Coarse on purpose: a scroll of less than 100 units in both directions keeps the key
    // (division truncates toward zero, as the stored keys were made).
    const int32_t x = (sketch->windowRect.left - 50) / 100;
    const int32_t y = (sketch->windowRect.top - 50) / 100;
    return int32_t(int16_t(uint16_t(x ^ y)));
}

void NotePasteSource(EngineDocument* document, Sketch* copiedFrom) {
    const int32_t pages = document ? DocumentPageCount(document) : 0;
    for (int32_t i = 0; i < pages; ++i) {
        Sketch* page = DocumentPageAt(document, i);
        if (!page || page == copiedFrom) continue;
        page->pasteCounter = 0;
        page->pasteWindowKey = PageWindowPositionKey(page);
    }
    if (copiedFrom) {
        copiedFrom->pasteCounter = -1;
        copiedFrom->pasteWindowKey = PageWindowPositionKey(copiedFrom);
    }
}

ResultCode PasteSketchData(const uint8_t* bytes, uint32_t length, const ScreenRect* rect) {
    Sketch* target = CurrentSketch();
    StreamHandle stream = 0;
    ResultCode rc = OpenMemoryStreamCopy(bytes, length, &stream);
    if (rc != kResultOK) return rc;
    Sketch* read = nullptr;
    rc = ReadSketch(stream, &read, nullptr, kCurrentPartialFormat);
    DiscardStream(stream);
    if (!read) return rc != kResultOK ? rc : kResultDamaged;
    SetCurrentSketch(target, nullptr);
    rc = kResultOK;

    const ScreenPoint offset = PasteOffset(target, rect);
    CopyMap map{};
    if (!SetupCopyMap(&map, read, false)) rc = kResultOutOfMemory;
    int32_t made = 0;
    if (rc == kResultOK) {
        target->cloneMode = kClonePaste;
        rc = CloneReadSketch(&map, offset, &made);
        target->cloneMode = kCloneNone;
        if (rc == kResultOK && !RecordPaste(map, made)) rc = kResultOutOfMemory;
        if (rc != kResultOK) TakeBackCopies(map, made);
    }
    if (rc == kResultOK) {
        DeselectAll();
        for (int32_t i = 0; i < made; ++i) {
            SketchObject* copy = map.entries[i].copy;
            if (!copy) continue;
            RecomputeAndRedrawObject(copy);
            if (copy->hidden == kShown && copy->exists == 1 && copy->selectable && !IsSelected(copy))
                SelectSketchObject(copy);
        }
        target->pasteCounter += target->pasteCounter < 0 ? -1 : 1;
        target->pasteWindowKey = PageWindowPositionKey(target);
    }
    FreeCopyMap(&map, rc != kResultOK);
    FreeSketch(read);
    SetCurrentSketch(target, nullptr);
    return rc;
}
