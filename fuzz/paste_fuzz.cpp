// Feeds outside bytes to the paste of sketch data: the clipboard's partial sketch is
// read and cloned into a page that already holds objects. A paste either succeeds as one
// undoable step or leaves the page as it was.
#include <cstddef>
#include <cstdint>

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch.h"
#include "engine/interact/paste.h"
#include "engine/interact/undo.h"

namespace {

int32_t CountObjects(const Sketch* sketch) {
    int32_t n = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    Sketch* page = CreateSketch(0, nullptr);
    if (!page) return 0;
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);
    page->windowRect = { 0, 0, 640, 480 };
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* a = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (a) SetPointPosition(a, 30, 40, 1, nullptr, false);
    const int32_t before = CountObjects(page);
    const ScreenRect rect = { 0, 0, 100, 100 };
    const ResultCode rc = PasteSketchData(data, static_cast<uint32_t>(size), &rect);
    if (rc != kResultOK) {
        if (CountObjects(page) != before || page->undoPosition) __builtin_trap();
    } else if (page->undoPosition) {
        UndoReplay(kUndoDirectionUndo);
        if (CountObjects(page) != before) __builtin_trap();
        UndoReplay(0);
    }
    FreeSketch(page);
    SetCurrentSketch(previous, nullptr);
    return 0;
}
