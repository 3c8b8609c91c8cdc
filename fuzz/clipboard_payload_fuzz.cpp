// Feeds outside bytes to Paste as each clipboard format: the first byte chooses the
// format (sketch objects, framed as the clipboard holds them; plain text; formatted
// text) and whether a caption is being edited. A paste either changes the page by one
// undoable step or leaves it as it was; an edit session survives any text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/clipboard_availability.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/motion.h"
#include "engine/interact/undo.h"
#include "engine/text/captions.h"
#include "engine/text/layout_edit_session.h"
#include "tests/support/caption_edit_port_double.h"
#include "tests/support/clipboard_double.h"
#include "tests/support/text_port_double.h"

namespace {

int32_t CountObjects(const Sketch* sketch) {
    int32_t n = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const uint8_t choice = data[0];
    const std::vector<uint8_t> bytes(data + 1, data + size);
    InitStreamTable();
    ResetCaptionEditPort();
    ResetTextPort();
    ResetTestClipboard();
    Sketch* page = CreateSketch(0, nullptr);
    if (!page) return 0;
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);
    gEngine.frontSketch = page;
    ActivityWord() = 0;
    page->windowRect = { 0, 0, 640, 480 };
    const ObjectTemplate point = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    if (SketchObject* a = ConstructObjectEx(&point, nullptr, 0, 0, nullptr, nullptr, false))
        SetPointPosition(a, 30, 40, 1, nullptr, false);

    ClipboardStore& clip = TestClipboard();
    switch (choice % 3) {
    case 0: clip.objectBlock = bytes; break;
    case 1: clip.text.assign(bytes.begin(), bytes.end()), clip.hasText = true; break;
    default: clip.layoutText.assign(bytes.begin(), bytes.end()), clip.hasLayoutText = true; break;
    }
    UpdateClipboardAvailability(!clip.objectBlock.empty(), clip.hasText, clip.hasLayoutText, false);

    if (choice & 4) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* caption = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        if (caption && BeginCaptionEditing(caption, true) == kResultOK) {
            PasteCommand(0);
            if (!page->editSession) __builtin_trap();
            EndCaptionEditing();
        }
    } else {
        const int32_t before = CountObjects(page);
        UndoRecord* undoBefore = page->undoPosition;
        const ResultCode rc = PasteCommand(0);
        if (rc != kResultOK) {
            if (CountObjects(page) != before || page->undoPosition != undoBefore) __builtin_trap();
        } else if (page->undoPosition != undoBefore) {
            UndoReplay(kUndoDirectionUndo);
            if (CountObjects(page) != before) __builtin_trap();
        }
    }
    gEngine.frontSketch = nullptr;
    FreeSketch(page);
    SetCurrentSketch(previous, nullptr);
    ResetTestClipboard();
    return 0;
}
