#include "engine/interact/edit_commands.h"

#include <algorithm>
#include <cstring>

#include "engine/core/drawing_pass.h"
#include "engine/core/frame_tick.h"
#include "engine/core/geometry.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/picture_objects.h"
#include "engine/core/alerts.h"
#include "engine/core/services/clipboard.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/clipboard_availability.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/object_commands.h"
#include "engine/interact/paste.h"
#include "engine/interact/picture_commands.h"
#include "engine/text/layout_edit_session.h"
#include "engine/text/object_text.h"
#include "engine/text/text_style.h"

namespace {

constexpr int32_t kSelectionMargin = 10;
constexpr uint32_t kMarkFading = 0x08;  // drawn at the current dim level
constexpr int32_t kMostDim = 20;

// Every page of every open document learns where the next paste of this copy lands.
void NotePasteSourceEverywhere(Sketch* copiedFrom) {
    EngineDocument* documents[64];
    const int32_t count = std::min<int32_t>(OpenEngineDocuments(documents, 64), 64);
    bool sourceSeen = false;
    for (int32_t i = 0; i < count; ++i) {
        NotePasteSource(documents[i], copiedFrom && copiedFrom->document == documents[i] ? copiedFrom : nullptr);
        sourceSeen = sourceSeen || (copiedFrom && copiedFrom->document == documents[i]);
    }
    if (!sourceSeen && copiedFrom) NotePasteSource(nullptr, copiedFrom);
}

bool SingleSelectedPicture(const Sketch* sketch) {
    const SketchObject* head = sketch->selectionHead;
    return head && !head->nextSelected && head->objectClass == kClassPicture;
}

void PutEditorTextOnClipboard(LayoutEditSession* session, bool cut) {
    char* layout = nullptr;
    char* plain = nullptr;
    int32_t layoutLength = 0, plainLength = 0;
    const bool taken = cut ? CutSelectionAsText(session, &layout, &layoutLength, &plain, &plainLength)
                           : CopySelectionAsText(session, &layout, &layoutLength, &plain, &plainLength);
    if (!taken || (!layout && !plain)) {
        FreeMemory(layout);
        FreeMemory(plain);
        return;
    }
    PutTextOnClipboard(layout, layout ? uint32_t(layoutLength) : 0, plain, plain ? uint32_t(plainLength) : 0);
}

}  // namespace

ResultCode CopyOrCut(bool cut) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    if (sketch->editSession) {
        PutEditorTextOnClipboard(sketch->editSession, cut);
        return kResultOK;
    }
    if (!sketch->selectionHead) return kResultOK;

    ScreenRect rect{};
    GetSelectionExtent(&rect, false, false);
    ScreenRectInset(&rect, -kSelectionMargin, -kSelectionMargin);
    if (!ScreenRectIntersect(sketch->windowRect, &rect)) ScreenRectSetEmpty(&rect);

    SketchObject* picture = nullptr;
    CustomToolPayload payload{};
    payload.cut = cut;
    ResultCode rc = kResultOK;
    if (SingleSelectedPicture(sketch)) {
        picture = sketch->selectionHead;
        NotePasteSourceEverywhere(sketch);
    } else {
        rc = MakeCustomTool(&payload);
        if (rc == kResultOK) NotePasteSourceEverywhere(sketch);
    }
    // The header is the selection's rectangle as a paste finds it again: four i16.
    const ScreenRect header = payload.extent;
    static_assert(sizeof header == kSketchDataHeaderBytes);
    const bool render = !picture && !ScreenRectIsEmpty(rect);
    const bool placed = PutSelectionOnClipboard(render, &rect, picture, nullptr, 0, nullptr, 0, payload.bytes,
                                                rc == kResultOK ? payload.size : 0, &header,
                                                kSketchDataHeaderBytes);
    if (rc != kResultOK) {
        ShowAlertByCode(rc, 0);
        return rc;
    }
    // A lone picture reaches the clipboard as its image only; anything else counts as
    // copied when its objects got there, and only then may Cut delete them.
    if (cut && (picture || placed)) return DeleteSelectionWithDependents();
    return kResultOK;
}

ResultCode CutCommand(int32_t) { return CopyOrCut(true); }
ResultCode CopyCommand(int32_t) { return CopyOrCut(false); }

ResultCode PasteCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    const ClipboardAvailability available = CurrentClipboardAvailability();
    if (sketch->editSession) {
        const bool layout = available.formattedText != 0;
        if (!layout && !available.plainText) return kResultOK;
        uint8_t* block = nullptr;
        uint32_t size = 0;
        if (ReadClipboardData(layout ? kClipboardLayoutText : kClipboardPlainText, &block, &size) != kResultOK) {
            RefusalBeep();
            UpdateClipboardAvailability(available.sketchObjects != 0, layout ? available.plainText != 0 : false,
                                        layout ? false : available.formattedText != 0, available.picture != 0);
            CmdStateInvalidate(kCommandGroupPaste);
            return kResultOK;
        }
        // The block ends in a NUL the clipboard's own text may not have had.
        const auto length = int32_t(strnlen(reinterpret_cast<const char*>(block), size));
        PasteIntoEditor(sketch->editSession, reinterpret_cast<const char*>(block), length, layout ? 1 : 0);
        FreeMemory(block);
        return kResultOK;
    }
    if (!available.sketchObjects) {
        if (available.picture) PastePicture();
        return kResultOK;
    }
    ScreenRect header{};
    uint32_t size = 0;
    uint8_t* data = PasteSketchDataFromClipboard(&size, &header, kSketchDataHeaderBytes);
    if (!data) {
        RefusalBeep();
        return kResultOK;
    }
    const ResultCode rc = PasteSketchData(data, size, &header);
    FreeMemory(data);
    if (rc != kResultOK) ShowAlertByCode(rc, 0);
    return rc;
}

ResultCode ClearCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    if (sketch->editSession) {
        DeleteEditorSelection();
        return kResultOK;
    }
    return DeleteSelectionWithDependents();
}

void ColorSelectedObjects(uint32_t color, bool keepDefaults) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    TextStyle style{};
    FillTextStyle(&style, 0);
    ColorRefToStyle(color, &style);
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        o->color = color;
        const ObjectClassRecord& record = ObjectClassTable[o->objectClass];
        if (record.textFamily == 1 || record.textFamily == 2) ApplyTextStyleToObject(o, &style, 0);
        AddObjectToDirtyRect(o);
        if (!keepDefaults && sketch->settings.autoUpdateColors) {
            const int32_t slot = EffectiveKind(o) == kKindFunctionPlot ? kColorSlotPlots
                                                                                   : record.colorSlot;
            if (slot >= 0 && slot < kColorSlotCount) sketch->settings.palette[slot] = color;
        }
    }
    CmdStateInvalidate(kCommandGroupSelection);
    FlushPendingRedraw(1);
}

ResultCode OtherColorCommand(int32_t argument) {
    Sketch* front = gEngine.frontSketch;
    if (!front) return kResultOK;
    uint32_t color = 0;
    if (front->editSession) {
        TextStyle style{};
        if (GetCurrentTextStyle(&style)) StyleToColorRef(&style, &color);
        if (color > 0xFFFFFF) color = 0;
    } else if (front->selectionHead) {
        color = front->selectionHead->color;
    }
    if (OpenColorPicker(&color)) ApplyTextColor(color, argument ? 1 : 0);
    return kResultOK;
}

void FlashObjects(SketchObject* chain, int32_t mode, bool running) {
    int32_t count = 0;
    for (SketchObject* o = chain; o; o = o->tempLink) ++count;
    if (!count) return;
    // The redraws may use the temporary links; the chain is kept aside.
    auto** objects = static_cast<SketchObject**>(AllocMemory(size_t(count) * sizeof(SketchObject*), 0));
    if (!objects) return;
    int32_t n = 0;
    for (SketchObject* o = chain; o; o = o->tempLink) objects[n++] = o;
    for (int32_t i = 0; i < count; ++i) objects[i]->markFlags |= kMarkFading;

    static constexpr int32_t kStart[4] = { 1, 10, 10, kMostDim };
    const int32_t m = std::clamp(mode, 0, 3);
    int32_t level = kStart[m];
    int32_t step = m < 2 ? 1 : -1;
    const uint32_t stepMs = running ? 12 : 25;
    while (level >= 1 && level <= kMostDim) {
        uint32_t deadline = 0;
        SetDeadline(&deadline, stepMs);
        SetDimLevel(level);
        if (running) RestartFrameTicks(true);
        else RunIdleTasks();
        for (int32_t i = 0; i < count; ++i) AddObjectToDirtyRect(objects[i]);
        FlushPendingRedraw(1);
        const int32_t sign = step > 0 ? 1 : -1;
        if (DeadlinePassed(deadline)) {
            step += sign;
        } else {
            WaitForDeadline(deadline);
            if (step != sign) step -= sign;
        }
        level += step;
    }
    SetDimLevel(0);
    for (int32_t i = 0; i < count; ++i) {
        objects[i]->tempLink = i + 1 < count ? objects[i + 1] : nullptr;
        AddObjectToDirtyRect(objects[i]);
        objects[i]->markFlags &= ~kMarkFading;
    }
    FreeMemory(objects);
}

void RestartTraceTicks() {
    EngineDocument* documents[64];
    const int32_t count = std::min<int32_t>(OpenEngineDocuments(documents, 64), 64);
    for (int32_t i = 0; i < count; ++i) {
        Sketch* page = DocumentPageAt(documents[i], CurrentPageIndex(documents[i]));
        if (page && !ScreenRectIsEmpty(page->tracedArea)) StartFrameTicks(page);
    }
}

PointerArray* CopyPointerArray(const PointerArray* source) {
    if (!source || source->count < 0) return nullptr;
    const size_t bytes = sizeof(PointerArray) + size_t(source->count) * sizeof(void*);
    auto* copy = static_cast<PointerArray*>(AllocMemory(bytes, 0));
    if (!copy) return nullptr;
    copy->count = source->count;
    copy->items = reinterpret_cast<void**>(copy + 1);
    if (source->count) std::memcpy(copy->items, source->items, size_t(source->count) * sizeof(void*));
    return copy;
}
