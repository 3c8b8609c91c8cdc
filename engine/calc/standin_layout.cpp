// Stand-in: plain-text versions of the layout builders from engine data (object names,
// units, expressions) and of the caption's slot routines, until the text subsystem's
// real ones land; each goes with its arrival.
#include "engine/calc/standin_engine.h"

#include "engine/calc/expression_compiler.h"
#include "engine/calc/measurements.h"
#include "engine/calc/value_display.h"
#include "engine/text/layout.h"
#include "engine/text/string_groups.h"


int32_t ExpandObjectPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                SketchObject* object) {
    char text[256] = {0};
    if (length >= 1 && content[0] == '+') {
        ExpressionToText(object, sizeof text, text, true);
    } else {
        SketchObject* const* parents = ParentItemsOf(object);
        uint32_t count = ParentCountOf(object);
        for (int32_t i = 0; i < length; ++i) {
            uint32_t n = uint32_t(content[i] - '1');
            if (content[i] < '1' || content[i] > '9' || n >= count) continue;
            char label[64];
            GetObjectLabelText(parents[n], label, sizeof label);
            AppendToFixedBuffer(text, sizeof text, label, 0);
        }
    }
    *out = CreateTextRunWith(text, parent);
    return *out ? 0 : 2;
}

LayoutNode* BuildObjectLabelLayout(SketchObject* object, LayoutNode* parent) {
    char label[64];
    GetObjectLabelText(object, label, sizeof label);
    return CreateTextRunWith(label, parent);
}

LayoutNode* BuildUnitLayout(int32_t angleExponent, int32_t distanceExponent, bool piForm, LayoutNode* parent) {
    char text[64] = {0};
    if (distanceExponent != 0) GetGroupString(kGroupUnits, 8 + CurrentSketchDistanceUnit(), text, sizeof text);
    else if (angleExponent != 0) GetGroupString(kGroupUnits, 11 + CurrentSketchAngleUnit(), text, sizeof text);
    if (distanceExponent > 1) AppendToFixedBuffer(text, sizeof text, "^2", 0);
    LayoutNode* row = CreateLayoutNode(kLayoutRow, parent, 0);
    if (!row) return nullptr;
    if (piForm) {
        LayoutNode* pi = CreateLayoutNode(kLayoutGlyph, row, 0);
        if (!pi) {
            FreeLayoutNode(row);
            return nullptr;
        }
        SetGlyphCode(pi, 0x70);  // the Symbol font's pi
    }
    if (!CreateTextRunWith(text, row)) {
        FreeLayoutNode(row);
        return nullptr;
    }
    return row;
}

bool CanSkipValueText(const SketchObject*) { return false; }

void RelayoutObjectText(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (d->caption.layout) MarkLayoutSubtreeDirty(d->caption.layout);
}

bool AllocCaptionSlots(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (d->caption.valueSlots) return true;
    if (!AllocPtrList(kValueSlotCount, kValueSlotCount, &d->caption.valueSlots)) return false;
    ClearValueSlots(object);
    return true;
}

void ClearValueSlots(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    int32_t count = 0;
    void** items = PtrListItems(d->caption.valueSlots, &count);
    for (int32_t i = 0; i < count; ++i) items[i] = nullptr;
}

bool InitCaptionData(CaptionInit* init) {
    *init = CaptionInit{};
    init->layout = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
    return init->layout != nullptr;
}

bool SetObjectTextLayout(SketchObject* object, CaptionInit* init) {
    if (!object) {
        if (init && init->layout) FreeLayoutNode(init->layout);
        if (init) init->layout = nullptr;
        return true;
    }
    ValueDisplay* d = ValueDisplayOf(object);
    CaptionInit made{};
    if (!init) {
        if (!InitCaptionData(&made)) return false;
        made.style = d->caption.style;  // a new empty text keeps the object's style
        init = &made;
    }
    d->caption.editing = 0;
    if (!AllocCaptionSlots(object)) {
        if (init == &made) FreeLayoutNode(made.layout);
        return false;
    }
    if (d->caption.layout) FreeLayoutNode(d->caption.layout);
    d->caption.layout = init->layout;
    d->caption.style = init->style;
    init->layout = nullptr;
    return true;
}

void FreeCaptionData(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    FreePtrList(&d->caption.valueSlots);
    if (d->caption.layout) FreeLayoutNode(d->caption.layout);
    d->caption.layout = nullptr;
}

// Stand-in: no label is made from another one yet.
void PropagateLabelChange(SketchObject*) {}
