#include "engine/interact/transform_commands.h"

#include <cstring>
#include <initializer_list>

#include "engine/calc/standin_engine.h"
#include "engine/calc/value_display.h"
#include "engine/calc/value_objects.h"
#include "engine/core/alerts.h"
#include "engine/core/marks.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/undo.h"
#include "engine/text/layout.h"
#include "engine/text/status_prompt.h"
#include "engine/text/string_groups.h"

namespace {

constexpr int32_t kPromptGroup  = 16;
constexpr int32_t kCaptionGroup = 17;

TransformPreview* gPreview = nullptr;
SketchObject*     gPicked = nullptr;

TransformSettings* SettingsOf(void* record) { return static_cast<TransformSettings*>(record); }
int32_t IntField(const TransformSettings* s, int32_t f) { return s->field[f].value.integer; }

void SelectList(PtrList list, int32_t count) {
    for (int32_t i = 0; i < count; ++i) SelectSketchObject(static_cast<SketchObject*>(PtrListItem(list, i)));
}

// Prepares the current choices and builds their images; the selection is the current one.
bool PrepareAndBuild(TransformSettings* settings, bool silent) {
    TransformWork work = {};
    work.type = ChooseTransformType(settings);
    if (work.type == kNoTransformType) return false;
    if (!CollectSelection(&work.selectionCount, &work.selection, 0)) return false;
    if (!PrepareTransformation(settings, &work, silent)) {
        FreeTransformWork(&work);
        return false;
    }
    return BuildTransformedImages(&work);
}

}  // namespace

// ---- Commands

ResultCode TransformCommand(int32_t argument) {
    if (argument >= kDialogTranslate && argument <= kDialogDilate)
        return TransformDialogCommand(argument, argument);
    if (argument != 3 || !CurrentSketch()) return kResultOK;
    if (!DefaultMirror()) {
        ShowAlertByCode(105, 0);
        return kResultOK;
    }
    TransformWork work = {};
    work.type = kTypeReflection;
    if (CollectSelection(&work.selectionCount, &work.selection, 0)) {
        if (PrepareTransformation(&CurrentSketch()->transformSettings, &work, false))
            BuildTransformedImages(&work);
        else
            FreeTransformWork(&work);
    }
    return kResultOK;
}

int32_t TransformDialogCommand(int32_t dialog, int32_t kind) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return 0;
    TransformPreview preview = {};
    if (!CollectSelection(&preview.selectionCount, &preview.selection, 0) || preview.selectionCount == 0) {
        FreePtrList(&preview.selection);
        return 0;
    }
    TransformSettings* settings = &sketch->transformSettings;
    settings->field[kTfDialog].value.integer = kind;
    if (kind != kDialogTranslate && !GetTransformCenter(kind)) {
        FreePtrList(&preview.selection);
        return 0;
    }
    gPreview = &preview;
    ConvertTransformSettings(kind, settings, true);
    const int32_t helpTopic = 2 + kind;
    settings->field[kTfPreview].value.integer = 1;
    RefreshTransformPreview(settings);
    PickSessionBegin(TransformPickFilter, TransformPickAccept, nullptr, settings);
    const bool ok = RunCommandDialog(dialog, settings, RefreshTransformPreview, helpTopic, 1);
    PickSessionEnd();
    settings->field[kTfPreview].value.integer = 0;
    RefreshTransformPreview(settings);
    FreePtrList(&preview.selection);
    gPreview = nullptr;
    if (ok) PrepareAndBuild(settings, false);
    ConvertTransformSettings(kind, settings, false);
    return 0;
}

int32_t RefreshTransformPreview(void* record) {
    TransformSettings* settings = SettingsOf(record);
    Sketch* sketch = CurrentSketch();
    TransformPreview* preview = gPreview;
    if (!sketch || !preview) return 0;
    if (preview->active) {
        preview->active = 0;
        // Undo back to where the preview started; a step that fails or a history that
        // runs out ends it there.
        while (sketch->undoPosition && sketch->undoPosition != preview->undoPosition) {
            if (UndoRedoCommand(0) != kResultOK) break;
        }
        // What was undone is the preview's: it is not there to be redone.
        UndoDropRedo(nullptr);
        DeselectAll();
        SelectList(preview->selection, preview->selectionCount);
    }
    if (IntField(settings, kTfPreview) == 1) {
        preview->undoPosition = sketch->undoPosition;
        preview->active = PrepareAndBuild(settings, true) && sketch->undoPosition != preview->undoPosition ? 1 : 0;
    }
    return 0;
}

// ---- Picking

namespace {

bool OnlySelected(const SketchObject* object) {
    return gPreview && gPreview->selectionCount == 1 && PtrListItem(gPreview->selection, 0) == object;
}

int32_t PickPrompt(const SketchObject* o, const TransformSettings* s) {
    const int32_t kind = EffectiveKind(o);
    const bool point = KindIsA(kind, kKindPoint);
    switch (IntField(s, kTfDialog)) {
    case kDialogTranslate:
        if (point) return o == MarkedObject(kMarkVectorHead) ? 0 : 30;
        if (KindIsA(kind, kKindDistanceMeasure))
            return o == MarkedObject(kMarkDistance) && IntField(s, kTfTranslateForm) == kTranslatePolar ? 0 : 32;
        if (KindIsA(kind, kKindAngleMeasure)) return o == MarkedObject(kMarkAngleValue) ? 0 : 31;
        return 0;
    case kDialogRotate:
        if (point) return o == MarkedObject(kMarkCentre) || OnlySelected(o) ? 0 : 33;
        if (KindIsA(kind, kKindAngleMeasure)) return o == MarkedObject(kMarkAngleValue) ? 0 : 34;
        return 0;
    case kDialogDilate:
        if (point) return o == MarkedObject(kMarkCentre) || OnlySelected(o) ? 0 : 35;
        if (KindIsA(kind, MarkSlotTable[kMarkScaleFactor].requiredKind))
            return o == MarkedObject(kMarkScaleFactor) ? 0 : 37;
        if (KindIsA(kind, kKindStraight)) return o == MarkedObject(kMarkRatioDenominator) ? 0 : 36;
        return 0;
    default:
        return 0;
    }
}

}  // namespace

bool TransformPickFilter(SketchObject* object, void* record) {
    int32_t prompt = 0;
    if (object && (!(object->stateFlags & kObjectPreview) || HasMarkCategory(kMarkCategoryToolPlayback, object)))
        prompt = PickPrompt(object, SettingsOf(record));
    if (prompt) SetStatusPrompt(kPromptGroup, prompt);
    else ClearStatusTextProvider(0);
    return prompt != 0;
}

void TransformPickAccept(SketchObject* object, void*, int32_t (**apply)(void*)) {
    gPicked = object;
    *apply = TransformPickApply;
}

int32_t TransformPickApply(void* record) {
    TransformSettings* s = SettingsOf(record);
    SketchObject* o = gPicked;
    gPicked = nullptr;
    if (!o) return 1;
    const int32_t kind = EffectiveKind(o);
    const bool point = KindIsA(kind, kKindPoint);
    switch (IntField(s, kTfDialog)) {
    case kDialogTranslate:
        if (point) {
            // The head so far becomes the tail; a vector then exists.
            SketchObject* head = MarkedObject(kMarkVectorHead);
            MarkObject(kMarkVectorHead, o, false);
            if (head && head != o) MarkObject(kMarkVectorTail, head, true);
            if (MarkedObject(kMarkVectorTail)) SetTranslateForm(kTranslateVector);
        } else if (KindIsA(kind, kKindDistanceMeasure)) {
            if (GetTranslateForm() == kTranslateVector) SetTranslateForm(kTranslatePolar);
            MarkObject(GetTranslateForm() == kTranslateRectangular ? kMarkVertical : kMarkDistance, o, true);
        } else {
            MarkObject(kMarkAngleValue, o, true);
            SetTranslateForm(kTranslatePolar);
        }
        break;
    case kDialogRotate:
        if (point) {
            MarkObject(kMarkCentre, o, true);
        } else if (MarkObject(kMarkAngleValue, o, true)) {
            s->field[kTfRotationSource].value.integer = 1;
        }
        break;
    case kDialogDilate:
        if (point) {
            MarkObject(kMarkCentre, o, true);
        } else if (KindIsA(kind, kKindStraight)) {
            SketchObject* before = MarkedObject(kMarkRatioDenominator);
            MarkObject(kMarkRatioDenominator, o, false);
            if (before && before != o) MarkObject(kMarkRatioNumerator, before, true);
            if (MarkedObject(kMarkRatioNumerator)) s->field[kTfRatioSource].value.integer = 1;
        } else if (MarkObject(kMarkScaleFactor, o, true)) {
            s->field[kTfRatioSource].value.integer = 1;
        }
        break;
    default:
        break;
    }
    RefreshTransformPreview(record);
    return 1;
}

// ---- Mark commands

ResultCode MarkCommand(int32_t n) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    if (n == kMarkCoordSystem) {
        SketchObject* system = sketch->selectionHead ? OwningCoordSystem(sketch->selectionHead) : nullptr;
        DeselectAll();
        if (system) MarkObject(kMarkCoordSystem, system, true);
        if (gEngine.currentIsFront) {
            CmdStateInvalidate(kCommandGroupGraphForm);
            CmdStateInvalidate(kCommandGroupSelection);
            CmdStateInvalidate(kCommandGroupGridAndHidden);
        }
        return kResultOK;
    }
    if (n < 0 || n >= kMarkSlotCount) return kResultOK;
    // Deselecting changes the chain: the walk follows a copy, newest first.
    int32_t count = 0;
    PtrList oldestFirst = 0;
    if (!CollectSelection(&count, &oldestFirst, 0)) return kResultOutOfMemory;
    for (int32_t i = count - 1; i >= 0; --i) {
        SketchObject* o = static_cast<SketchObject*>(PtrListItem(oldestFirst, i));
        if (!MarkObject(n, o, true)) continue;  // does not fit: stays selected
        DeselectSketchObject(o);
        if (IsMarkGroupEnd(n) && n == kMarkVertical) {
            if (GetTranslateForm() == kTranslateVector) SetTranslateForm(kTranslatePolar);
            if (GetTranslateForm() == kTranslatePolar) MarkObject(kMarkDistance, o, false);
            n = kMarkDistance;
        } else if (IsMarkGroupEnd(n)) {
            if (n == kMarkDistance) SetTranslateForm(kTranslateRectangular);
            break;
        } else {
            ++n;
        }
    }
    FreePtrList(&oldestFirst);
    return kResultOK;
}

// ---- Captions

namespace {

struct CaptionContext {
    SketchObject* slots[4];
    SketchObject* object;
};

ResultCode CaptionPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                              LayoutParseContext* context) {
    CaptionContext* c = static_cast<CaptionContext*>(context->user);
    if (length == 1 && content[0] >= '1' && content[0] <= '4') {
        SketchObject* o = c->slots[content[0] - '1'];
        // A template needs every label it names.
        if (!o) return kLayoutParseSyntax;
        *out = BuildObjectLabelLayout(o, parent, false, false);
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    if (!c->object) return kLayoutParseSyntax;
    DescriptionContext d{ c->object, 0, 0, nullptr };
    return ExpandObjectPlaceholder(out, content, length, parent, &d);
}

LayoutNode* FromTemplate(int32_t item, std::initializer_list<int32_t> slots, SketchObject* object) {
    CaptionContext c = {};
    int32_t n = 0;
    for (int32_t slot : slots) {
        if (!IsMarkGroupSet(slot)) return nullptr;
        c.slots[n++] = MarkedObject(slot);
    }
    c.object = object;
    char text[256];
    GetGroupString(kCaptionGroup, item, text, sizeof text);
    LayoutParseContext context = { nullptr, CaptionPlaceholder, &c, 0 };
    LayoutNode* root = nullptr;
    if (ParseLayoutString(&root, text, &context) != kLayoutParseOK) {
        if (root) FreeLayoutNode(root);
        return nullptr;
    }
    return root;
}

LayoutNode* SlotCaption(int32_t slot) {
    if (!IsMarkGroupSet(slot)) return nullptr;
    SketchObject* o = MarkedObject(slot);
    if (!o) return nullptr;
    return HasValueDisplay(o) ? MeasurementNameLayout(o, nullptr) : BuildObjectLabelLayout(o, nullptr, false, false);
}

}  // namespace

LayoutNode* TransformDialogCaption(int32_t field, void* record) {
    if (!CurrentSketch()) return nullptr;
    switch (field) {
    case 0: return SlotCaption(kMarkVectorHead);
    case 1: return SlotCaption(kMarkVectorTail);
    case 2:
        if (MarkedObject(kMarkAngleValue)) return SlotCaption(kMarkAngleValue);
        return FromTemplate(26, { kMarkAngleFirst, kMarkAngleVertex, kMarkAngleLast }, nullptr);
    case 3:
        if (MarkedObject(kMarkScaleFactor)) return SlotCaption(kMarkScaleFactor);
        if (IsMarkGroupSet(kMarkSegmentRatio))
            return FromTemplate(27, { kMarkRatioNumerator, kMarkRatioDenominator }, nullptr);
        if (IsMarkGroupSet(kMarkPointRatio))
            return FromTemplate(28, { kMarkRatioOrigin, kMarkUnitPoint, kMarkRatioPoint }, nullptr);
        return nullptr;
    case 4: return SlotCaption(kMarkDistance);
    case 5: return SlotCaption(kMarkVertical);
    case 6: return FromTemplate(25, { kMarkCentre }, nullptr);
    case 7: return FromTemplate(29, {}, static_cast<SketchObject*>(record));
    default: return nullptr;
    }
}
