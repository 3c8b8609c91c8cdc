#include "release2/engine/label_multiple.h"

#include <cstring>

#include "engine/calc/value_display.h"
#include "engine/calc/value_objects.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/interact/object_properties.h"
#include "engine/text/layout.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "release2/engine/label_sequence.h"

namespace {

constexpr int32_t kLabelMultipleHelp = 0;

bool IsValueClass(const SketchObject* o) { return o->objectClass == kClassCalculation || o->objectClass == kClassMeasurement; }

// Copies at most `length` characters and a NUL.
void CopyCut(char* to, const char* from, uint32_t length) {
    const uint32_t n = static_cast<uint32_t>(strnlen(from, length));
    std::memcpy(to, from, n);
    to[n] = 0;
}

// Labels one object with the next label of the typed sequence. The sketch's automatic
// sequence of the object's kind moves on only when it would have given the same label.
void LabelOne(SketchObject* o, char* state, bool show) {
    char label[kLabelStateSize];
    NextLabelInSequence(state, label);
    Sketch* sketch = CurrentSketch();
    LabelSequence saved[kLabelSequenceCount];
    CopyAutoLabelState(sketch->labelSequences, saved);
    char automatic[kLabelBufferSize];
    NextAutoLabel(LabelSequenceOfObject(o), automatic);
    if (std::strcmp(automatic, label) != 0) CopyAutoLabelState(saved, sketch->labelSequences);
    SetObjectLabel(o, label, true);
    if (!show) return;
    if (LabelFollowsGeometry(o)) {
        if (!IsLabelShownOrImplied(o)) SetLabelShown(o, true, nullptr, true);
    } else if (IsValueClass(o) && ValueDisplayModeOf(o) != kDisplayCurrentLabel) {
        DisplayWithCurrentLabel(o);
    }
}

}  // namespace

bool ShowsLabelForLabelling(const SketchObject* o) {
    if (LabelFollowsGeometry(o)) return IsLabelShownOrImplied(o);
    if (IsValueClass(o)) return ValueDisplayModeOf(o) == kDisplayCurrentLabel;
    return true;
}

bool LabelTextChanged(LabelMultipleRecord* r) {
    char typed[kLabelTypedLength + 1];
    CopyCut(typed, r->firstLabel ? r->firstLabel : "", kLabelTypedLength);
    if (std::strcmp(typed, r->remembered) == 0) return false;
    std::memcpy(r->remembered, typed, sizeof typed);
    r->enableBits = uint16_t(2 | (IsBlankText(typed) ? 0 : 1));
    return true;
}

int32_t LabelTextChangedRoutine(void* record) {
    return LabelTextChanged(static_cast<LabelMultipleRecord*>(record)) ? 1 : 0;
}

ResultCode FillLabelSamplePlaceholder(LayoutNode** out, const char*, int32_t, LayoutNode* parent,
                                      LayoutParseContext* context) {
    *out = nullptr;
    char state[kLabelStateSize];
    CopyCut(state, static_cast<const char*>(context->user), kLabelTypedLength);
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return kLayoutParseNoMemory;
    const char* separator = GroupText(kGroupMotionTexts, kLabelSampleSeparatorItem);
    for (int32_t i = 0; i < kLabelSampleCount; ++i) {
        if (i > 0) {
            LayoutNode* comma = nullptr;
            LayoutParseContext plain{};
            if (ParseLayoutString(&comma, separator, &plain) == kLayoutParseNoMemory || !comma) {
                if (comma) FreeLayoutNode(comma);
                FreeLayoutNode(row);
                return kLayoutParseNoMemory;
            }
            AppendLayoutChild(row, comma);
        }
        char label[kLabelStateSize];
        NextLabelInSequence(state, label);
        if (!BuildLabelWithSubscript(label, static_cast<uint32_t>(std::strlen(label)), -1, row)) {
            FreeLayoutNode(row);
            return kLayoutParseNoMemory;
        }
    }
    *out = parent ? AppendLayoutChild(parent, row) : row;
    return kLayoutParseOK;
}

LayoutNode* BuildLabelSampleLayout(const char* typed) {
    char cut[kLabelTypedLength + 1];
    CopyCut(cut, typed ? typed : "", kLabelTypedLength);
    const bool blank = IsBlankText(cut);
    const char* layoutTemplate = GroupText(kGroupMotionTexts, blank ? kLabelSampleBlankItem : kLabelSampleTemplateItem);
    LayoutParseContext context{};
    context.placeholder = FillLabelSamplePlaceholder;
    context.user = cut;
    LayoutNode* root = nullptr;
    const ResultCode code = ParseLayoutString(&root, layoutTemplate, &context);
    if (code == kLayoutParseNoMemory || code == kLayoutParseSyntax) {
        if (root) FreeLayoutNode(root);
        return nullptr;
    }
    return root;
}

void LabelMultipleObjects() {
    int32_t count = 0;
    PtrList list = 0;
    if (!CollectSelection(&count, &list, 0)) return;
    int32_t n = 0;
    void** items = PtrListItems(list, &n);
    char firstLabel[kLabelRecordTextSize] = {};
    LabelMultipleRecord record{};
    record.enableBits = 3;
    record.firstLabel = firstLabel;
    record.checkFlags = 2;
    record.showLabels = 1;
    record.buildSample = BuildLabelSampleLayout;
    for (int32_t i = 0; i < n; ++i)
        if (!ShowsLabelForLabelling(static_cast<SketchObject*>(items[i]))) record.checkFlags = 3;
    if (n > 0) {
        char label[kLabelBufferSize];
        GetObjectLabel(static_cast<SketchObject*>(items[0]), kLabelSequence, label, nullptr);
        CopyCut(firstLabel, label, kMaxLabelLength);
        CopyCut(record.remembered, firstLabel, kLabelTypedLength);
    }
    if (RunCommandDialog(kDialogLabelMultiple, &record, LabelTextChangedRoutine, kLabelMultipleHelp, 0)) {
        char state[kLabelStateSize];
        CopyCut(state, firstLabel, kLabelTypedLength);
        for (int32_t i = 0; i < n; ++i) LabelOne(static_cast<SketchObject*>(items[i]), state, record.showLabels == 1);
    }
    FreePtrList(&list);
}

ResultCode LabelCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !sketch->selectionHead) return kResultOK;
    if (sketch->selectionHead->nextSelected) {
        LabelMultipleObjects();
    } else {
        SketchObject* o = sketch->selectionHead;
        if (LabelFollowsGeometry(o) && !IsLabelShownOrImplied(o)) SetLabelShown(o, true, nullptr, true);
        PropertiesOpenForObject(o, kPageLabel, nullptr);
    }
    CmdStateInvalidate(kCommandGroupSelection);
    CmdStateInvalidate(kCommandGroupTextEditing);
    return kResultOK;
}
