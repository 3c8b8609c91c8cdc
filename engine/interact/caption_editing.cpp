// Editing a caption in place (see the header).
#include "engine/interact/caption_editing.h"

#include <algorithm>

#include "engine/core/drawing_pass.h"
#include "engine/core/frame_tick.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/bars.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/text_port.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/edit_commands.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/motion.h"
#include "engine/interact/object_commands.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/sketch_keys.h"
#include "engine/text/captions.h"
#include "engine/text/layout_edit_session.h"
#include "engine/text/layout_range.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_text.h"
#include "engine/text/text_style.h"

namespace {

constexpr int32_t  kCaptionFamily  = 1;
constexpr int16_t  kNounCaption    = 54;

// The session being edited, its object and whether the object was made for this edit.
struct CaptionEditing {
    LayoutEditSession* session;
    Sketch*            sketch;
    SketchObject*      object;
    bool               isNew;
    DrawHook           hook;
};
CaptionEditing gEditing;

bool ShowsCaptionText(const SketchObject* object) {
    return ObjectClassTable[object->objectClass].textFamily == kCaptionFamily;
}

void AddToDirty(const ScreenRect& rect) { UnionDirtyRect(&rect); }

void EditorDrawHook(DrawHook*, const ScreenRect* rect, GraphicsPort* port) {
    LayoutEditSession* s = gEditing.session;
    if (!s) return;
    GraphicsPort* own = s->drawState.port;
    s->drawState.port = port;
    if (auto form = LaterForms().caption.drawEditor) {
        form(port, rect, s);
    } else {
        const ScreenRect area = EditorFrameArea(s);
        PortEraseRect(&s->drawState, &area);
        PortBeginOutline(&s->drawState);
        PortFrameRect(&s->drawState, &area);
        PortEndOutline(&s->drawState);
        RedrawEditor(s);
    }
    s->drawState.port = own;
}

void EditorStyleChanged(LayoutEditSession*, const TextStyle* style) {
    CmdStateInvalidate(kCommandGroupTextEditing);
    if (style && style->field[kStyleRed] != 0) {
        uint32_t color = 0;
        StyleToColorRef(style, &color);
        SetColorMenuMark(true, color);
    } else {
        SetColorMenuMark(false, 0);
    }
}

void EditorTrackStep() {
    if (RunIdleTasks()) FlushPendingRedraw(1);
}

void EditorTextChanged(LayoutEditSession* s, void*) {
    Sketch* front = gEngine.frontSketch;
    if (!front || front->editSession != s) return;
    AddToDirty(EditorFrameArea(s));
    s->frame.bottom = static_cast<int16_t>(s->frame.top + s->tree->ascent + s->tree->descent);
    s->frame.right = static_cast<int16_t>(s->frame.left + s->tree->width + s->tree->overhang + 1);
    AddToDirty(EditorFrameArea(s));
    FlushPendingRedraw(1);
}

// The edited tree takes the object's place; the object's label style and colour follow
// the style common to the whole text, and the object ends selected.
void AdoptEditedText(SketchObject* object, LayoutEditSession* s) {
    CaptionData* data = CaptionDataOf(object);
    UpdateCaptionBounds(object);
    TextStyle common{};
    LayoutDrawState state = s->drawState;
    state.style = data->style;
    GetRangeStyle(&data->layout, &state, 0, data->layout->caretCount, &common);
    object->textStyle = common;
    OverrideTextStyle(&data->style, &common);
    if (common.field[kStyleRed] != 0) StyleToColorRef(&common, &object->color);
    SelectSketchObject(object);
}

bool RecordNewCaption(SketchObject* object) {
    const UndoDescriptor name = { kUndoNameConstruct, kNounCaption, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, 1, UndoObjectListBytes(1), &cursor);
    if (!record) return false;
    object->tempLink = nullptr;
    UndoPutObjectList(&cursor, 1, object, kUndoEntryCreated);
    UndoRecordCommit(record, false);
    return true;
}

// The session's end: what the edit leaves behind is settled here. Answers whether the
// object is still in the sketch.
bool SettleEditedText(SketchObject* object, bool isNew, LayoutNode* tree,
                      LayoutEditSession* s) {
    const bool empty = tree->caretCount == 0;
    CaptionData* data = CaptionDataOf(object);
    if (!isNew && !empty) {
        RecordCaptionEditUndo(object, tree);
        AdoptEditedText(object, s);
        return true;
    }
    if (!isNew) {
        FreeLayoutNode(tree);
        ChangeObjectHidden(object, kShown, false);
        SelectSketchObject(object);
        TakeSelectionCensus();
        DeleteSelectionWithDependents();
        return false;
    }
    if (!empty && RecordNewCaption(object)) {
        FreeLayoutNode(data->layout);
        data->layout = tree;
        AdoptEditedText(object, s);
        return true;
    }
    FreeLayoutNode(tree);
    DestroyObject(object, true, true);
    CmdStateInvalidate(kCommandGroupUndo);
    return false;
}

void EndCaptionEditingSession(LayoutEditSession* s, int32_t record) {
    Sketch* sketch = gEditing.sketch;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    SketchObject* object = gEditing.object;
    const bool isNew = gEditing.isNew;
    LayoutNode* tree = s->tree;
    s->tree = nullptr;
    RemoveDrawHook(&gEditing.hook);
    CmdStateInvalidate(kCommandGroupPaste);
    ShowNotationBar(false);
    ActivityWord() &= static_cast<uint16_t>(~kActivityCaptionEditing);
    AddToDirty(s->frame);
    bool survives = object != nullptr;
    if (object) AddToDirty(object->bounds);
    if (object && CaptionDataOf(object)) CaptionDataOf(object)->editing = 0;
    if (record && object && ShowsCaptionText(object)) {
        survives = SettleEditedText(object, isNew, tree, s);
        CmdStateInvalidate(kCommandGroupTextEditing);
    } else if (object && isNew) {
        // A new caption that is not kept (editing abandoned) goes again.
        FreeLayoutNode(tree);
        DestroyObject(object, true, true);
        survives = false;
    } else {
        FreeLayoutNode(tree);
    }
    AddToDirty(EditorFrameArea(s));
    if (sketch && sketch->editSession == s) sketch->editSession = nullptr;
    if (survives && object->hidden == kHiddenAsConsumed) ChangeObjectHidden(object, kShown, false);
    gEditing = CaptionEditing{};
    PortEndCaptionEdit(s);
    SetCurrentSketch(previous, nullptr);
}

}  // namespace

bool TextOriginOfObject(const SketchObject* object, ScreenPoint* origin) {
    if (!object || !ShowsCaptionText(object)) return false;
    origin->x = object->bounds.left;
    origin->y = object->bounds.top;
    return true;
}

LayoutEditSession* ActiveEditSession() {
    const Sketch* front = gEngine.frontSketch;
    return front ? front->editSession : nullptr;
}

SketchObject* EditedObject() { return gEditing.session ? gEditing.object : nullptr; }

ResultCode BeginCaptionEditing(SketchObject* object, bool isNew) {
    Sketch* sketch = CurrentSketch();
    CaptionData* data = object ? CaptionDataOf(object) : nullptr;
    if (!sketch || !data || !data->layout) return kCaptionEditNoSession;
    if (sketch->editSession && gEditing.object == object) return kResultOK;
    if (gEditing.session) FreeLayoutEditSession(gEditing.session, 1);
    LayoutNode* copy = nullptr;
    if (CloneLayoutTreeCode(data->layout, &copy) != kLayoutParseOK || !copy) {
        FreeLayoutNode(copy);
        return kCaptionEditNoMemory;
    }
    LayoutDrawState state{};
    state.style = data->style;
    const ResultCode opened = PortBeginCaptionEdit(&state.port);
    if (opened != kResultOK) {
        FreeLayoutNode(copy);
        return opened;
    }
    MeasureLayout(copy, &state);
    const bool caption = object->objectClass == kClassCaption;
    const int32_t mx = DrawingMetrics.intMetricsB[caption ? kMetricCaptionMarginX : kMetricValueMarginX];
    const int32_t my = DrawingMetrics.intMetricsB[caption ? kMetricCaptionMarginY : kMetricValueMarginY];
    ScreenPoint origin{ object->bounds.left, object->bounds.top };
    TextOriginOfObject(object, &origin);
    ScreenRect frame;
    frame.left = static_cast<int16_t>(origin.x + mx);
    frame.top = static_cast<int16_t>(origin.y + my);
    frame.right = static_cast<int16_t>(frame.left + copy->width + copy->overhang);
    frame.bottom = static_cast<int16_t>(frame.top + copy->ascent + copy->descent);
    LayoutEditSession* s = CreateLayoutEditSession(copy, &state, &frame, kEditCaretAtStart,
                                                   EditorTrackStep, EditorTextChanged, nullptr,
                                                   EditorStyleChanged, EndCaptionEditingSession);
    if (!s) {
        FreeLayoutNode(copy);
        PortEndCaptionEdit(nullptr);
        return kCaptionEditNoSession;
    }
    DeselectAll();
    ActivityWord() |= static_cast<uint16_t>(kActivityCaptionEditing);
    sketch->editSession = s;
    gEditing.session = s;
    gEditing.sketch = sketch;
    gEditing.object = object;
    gEditing.isNew = isNew;
    data->editing = 1;
    AddDrawHook(&gEditing.hook, EditorDrawHook, sketch);
    AddToDirty(EditorFrameArea(s));
    ChangeObjectHidden(object, kHiddenAsConsumed, false);
    StartFrameTicks(sketch);
    CmdStateInvalidate(kCommandGroupUndo);
    CmdStateInvalidate(kCommandGroupPaste);
    if (sketch->settings.captionTextPalette) ShowTextPaletteCommand(1);
    return kResultOK;
}

ResultCode EditCaptionAt(SketchObject* object, ScreenPoint point) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kCaptionEditNoSession;
    if (object) return BeginCaptionEditing(object, false);
    TextStyle style{};
    DefaultTextStyle(kClassCaption, &style);
    CaptionInit init{};
    if (!InitCaptionData(&init, &style, point.x, point.y)) return kCaptionEditNoMemory;
    const ObjectTemplate t = { kTypeFree, 0, kShown, kClassCaption, 1, kKindCaption,
                               sketch->settings.palette[ObjectClassTable[kClassCaption].colorSlot] };
    SketchObject* made = ConstructObjectEx(&t, &init, 0, 0, nullptr, nullptr, false);
    if (init.layout) FreeLayoutNode(init.layout);
    if (!made) return kCaptionEditNoMemory;
    made->exists = 1;
    RelayoutObjectText(made, false);
    const ResultCode rc = BeginCaptionEditing(made, true);
    // An edit that never began leaves no empty caption behind.
    if (rc != kResultOK) DestroyObject(made, true, true);
    return rc;
}

// ---- What the mouse, the keys and the commands ask of the editor ----

bool IsCaptionEditing() {
    const Sketch* sketch = CurrentSketch();
    return sketch && sketch->editSession != nullptr;
}

bool CaptionEditorRect(ScreenRect* rect) {
    const Sketch* sketch = CurrentSketch();
    if (!sketch || !sketch->editSession) return false;
    *rect = sketch->editSession->frame;
    return true;
}

void TrackEditorMouse(ScreenPoint point, bool shift) {
    if (LayoutEditSession* s = CurrentSketch() ? CurrentSketch()->editSession : nullptr)
        TrackEditorMouse(s, point, shift ? 1 : 0);
}

void EndCaptionEditing() {
    Sketch* sketch = CurrentSketch();
    if (sketch && sketch->editSession) {
        FreeLayoutEditSession(sketch->editSession, 1);
        sketch->editSession = nullptr;
    }
    ActivityWord() &= static_cast<uint16_t>(~kActivityCaptionEditing);
}

void DeleteEditorSelection() {
    if (LayoutEditSession* s = CurrentSketch() ? CurrentSketch()->editSession : nullptr)
        DeleteEditorSelection(s);
}

void SelectAllEditorText() {
    if (LayoutEditSession* s = CurrentSketch() ? CurrentSketch()->editSession : nullptr)
        SelectAllInEditor(s);
}

// The engine's key codes 2 to 11 are the editor's commands; flag bit 0 is Shift.
void CaptionEditorKey(uint16_t key, uint16_t flags) {
    if (LayoutEditSession* s = CurrentSketch() ? CurrentSketch()->editSession : nullptr) {
        RunLayoutEditCommand(s, key, flags & 1);
        ScrollToEditorCaret();
    }
}

void CaptionEditorChar(uint32_t character) {
    LayoutEditSession* s = CurrentSketch() ? CurrentSketch()->editSession : nullptr;
    if (!s || character > 0xFF) return;
    const char c = static_cast<char>(character);
    if (character == '\r') RunLayoutEditCommand(s, kEditNewRow, 0);
    else if (character >= 0x20) InsertPlainText(s, &c, 1);
    ScrollToEditorCaret();
}

bool GetCurrentTextStyle(TextStyle* style) {
    if (LayoutEditSession* s = ActiveEditSession()) {
        *style = s->caretStyle;
        return true;
    }
    const Sketch* front = gEngine.frontSketch;
    if (front && front->selectionHead) return GetSelectionTextStyle(style);
    return false;
}

bool ToggleStyleField(int32_t field, int16_t value, bool onlyDefaults) {
    if (field < 0 || field >= kStyleFieldCount) return false;
    TextStyle current{};
    if (!GetCurrentTextStyle(&current)) return false;
    TextStyle style{};
    SetOrResetStyleField(&current, &style, field, value);
    ApplyTextStyle(style, 0, onlyDefaults);
    return true;
}

void ApplyTextStyle(const TextStyle& style, int32_t step, bool keepDefaults) {
    Sketch* front = gEngine.frontSketch;
    if (!front) return;
    if (front->editSession) {
        ApplyStyleToSelection(front->editSession, &style);
    } else {
        uint32_t mask = 0;
        for (int32_t f = 0; f < kStyleFieldCount; ++f)
            if (style.field[f] != 0) mask |= 1u << f;
        Sketch* previous = nullptr;
        SetCurrentSketch(front, &previous);
        ApplyTextStyleToSelection(style, mask, keepDefaults, step);
        SetCurrentSketch(previous, nullptr);
    }
    SetDocumentModified(front->document, true);
}

void ApplyTextColor(uint32_t color, uint32_t keepDefaults) {
    Sketch* front = gEngine.frontSketch;
    if (!front) return;
    if (front->editSession) {
        TextStyle style{};
        ColorRefToStyle(color, &style);
        ApplyStyleToSelection(front->editSession, &style);
    } else {
        Sketch* previous = nullptr;
        SetCurrentSketch(front, &previous);
        ColorSelectedObjects(color, keepDefaults != 0);
        SetCurrentSketch(previous, nullptr);
    }
    SetDocumentModified(front->document, true);
}

void ScrollToEditorCaret() {
    Sketch* front = gEngine.frontSketch;
    LayoutEditSession* s = front ? front->editSession : nullptr;
    if (!s || !s->caretShown) return;
    ScreenRect r;
    r.left = static_cast<int16_t>(std::min(s->caretTop.x, s->caretBottom.x) - 5);
    r.right = static_cast<int16_t>(std::max(s->caretTop.x, s->caretBottom.x) + 5);
    r.top = static_cast<int16_t>(std::min(s->caretTop.y, s->caretBottom.y) - 5);
    r.bottom = static_cast<int16_t>(std::max(s->caretTop.y, s->caretBottom.y) + 5);
    const ScreenRect v = front->windowRect;
    auto shift = [](int32_t low, int32_t high, int32_t viewLow, int32_t viewHigh) {
        if (low < viewLow) return low - viewLow;
        if (high > viewHigh) return std::min(high - viewHigh, low - viewLow);
        return 0;
    };
    const int32_t dx = shift(r.left, r.right, v.left, v.right);
    const int32_t dy = shift(r.top, r.bottom, v.top, v.bottom);
    if (dx == 0 && dy == 0) return;
    Sketch* previous = nullptr;
    SetCurrentSketch(front, &previous);
    ScrollSketchTo(ScreenPoint{ static_cast<int16_t>(v.left + dx), static_cast<int16_t>(v.top + dy) });
    SetCurrentSketch(previous, nullptr);
}
