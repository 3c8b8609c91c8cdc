// The formatted text of a value display: its name, " = ", the value and its units,
// built from layout templates with value slots that each recompute rewrites.
#include <cstring>

#include "engine/calc/measurements.h"
#include "engine/calc/value_display.h"
#include "engine/core/object_creation.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"
#include "engine/text/value_slots.h"
#include "engine/text/value_text.h"

namespace {

constexpr char kValueTemplate[] = "<H<%N><%1xC>>";
constexpr char kGroupWithUnits[] = "<?1<H<%=><%V><%u>>>";
constexpr char kGroupWithoutUnits[] = "<?1<H<%=><%V>>>";
constexpr char kUnitsTemplate[] = "<?1<%U>>";
constexpr int32_t kItemEquals = 0;     // " = " of the unit texts
constexpr int32_t kItemUndefined = 1;  // "undefined"
constexpr ResultCode kLayoutError = kLayoutParseSyntax;
constexpr double kRoundedPi = 3.1415926535898;
constexpr uint32_t kTextRoom = 256;

SketchObject* ObjectOf(LayoutParseContext* context) { return static_cast<SketchObject*>(context->user); }

void SetSlot(SketchObject* object, int32_t slot, LayoutNode* node) {
    int32_t count = 0;
    void** items = PtrListItems(ValueDisplayOf(object)->caption.valueSlots, &count);
    if (slot < count) items[slot] = node;
}

LayoutNode* Slot(const SketchObject* object, int32_t slot) {
    return ValueSlotNode(ValueDisplayOf(object)->caption.valueSlots, slot);
}

// Units are shown only for a consistent, non-plain unit.
bool ShowsUnits(const ExpressionUnitsInfo& u) {
    return !u.mismatch && (u.distanceExponent != 0 || u.angleExponent != 0);
}


ResultCode ParseNested(LayoutNode** out, const char* text, LayoutNode* parent, LayoutParseContext* context) {
    LayoutTextCursor cursor{text, text + std::strlen(text), 0};
    return ParseLayoutElement(out, &cursor, parent, context);
}

ResultCode ExpandName(LayoutNode** out, LayoutNode* parent, LayoutParseContext* context) {
    SketchObject* object = ObjectOf(context);
    const ValueDisplay* d = ValueDisplayOf(object);
    // A given of a custom tool always shows its label.
    int32_t mode = object->givenIndex >= 0 ? kDisplayCurrentLabel : d->displayMode;
    switch (mode) {
    case kDisplayNoName:
        *out = CreateLayoutNode(kLayoutRow, parent, 0);
        break;
    case kDisplayCustomName:
        *out = d->customLayout ? CloneLayoutTree(d->customLayout) : CreateLayoutNode(kLayoutRow, parent, 0);
        if (*out && d->customLayout) AppendLayoutChild(parent, *out);
        break;
    case kDisplayCurrentLabel:
        *out = BuildObjectLabelLayout(object, parent, false, false);
        break;
    case kDisplayOriginalName: {
        char text[kTextRoom];
        GetGroupString(kGroupMeasureTemplates, d->captionTemplate, text, sizeof text);
        ResultCode r = ParseNested(out, text, parent, context);
        if (r >= kLayoutParseNoMemory) return r;
        break;
    }
    default:
        return kLayoutError;
    }
    if (!*out) return kLayoutParseNoMemory;
    SetSlot(object, kSlotName, *out);
    return kLayoutParseOK;
}

}  // namespace

ResultCode ExpandValuePlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                  LayoutParseContext* context) {
    SketchObject* object = ObjectOf(context);
    ValueDisplay* d = ValueDisplayOf(object);
    *out = nullptr;
    if (length == 1) {
        switch (content[0]) {
        case '=': {
            if (d->displayMode == kDisplayNoName) {
                *out = CreateLayoutNode(kLayoutRow, parent, 0);
            } else {
                char text[16];
                GetGroupString(kGroupUnits, kItemEquals, text, sizeof text);
                *out = CreateTextRunWith(text, parent);
            }
            return *out ? kLayoutParseOK : kLayoutParseNoMemory;
        }
        case 'C': {
            ResultCode r = ParseNested(out, ShowsUnits(MeasurementUnits(object)) ? kGroupWithUnits : kGroupWithoutUnits,
                                       parent, context);
            if (r < kLayoutParseNoMemory) SetSlot(object, kSlotValueGroup, *out);
            return r;
        }
        case 'N':
            return ExpandName(out, parent, context);
        case 'V':
            return CreateValueSlotText(d->caption.valueSlots, kSlotValue, parent, out) ? kLayoutParseOK
                                                                                        : kLayoutParseNoMemory;
        case 'u': {
            ResultCode r = ParseNested(out, kUnitsTemplate, parent, context);
            if (r < kLayoutParseNoMemory) SetSlot(object, kSlotUnits, *out);
            return r;
        }
        case 'U': {
            ExpressionUnitsInfo u = MeasurementUnits(object);
            *out = BuildUnitLayout(u.angleExponent, u.distanceExponent, d->piForm != 0, parent);
            return *out ? kLayoutParseOK : kLayoutParseNoMemory;
        }
        default:
            break;
        }
    }
    if (length == 2 && content[0] == 'M' && content[1] >= '1' && content[1] <= '9') {
        uint32_t n = uint32_t(content[1] - '1');
        if (n >= ParentCountOf(object)) return kLayoutError;
        SketchObject* named = ParentItemsOf(object)[n];
        // A name made from the parent's own parents (a bar over AB) reads "m AB".
        if (named->label.level == kLabelFromParents) {
            LayoutNode* row = CreateLayoutNode(kLayoutRow, parent, 0);
            if (!row || !CreateTextRunWith("m ", row) || !BuildObjectLabelLayout(named, row, false, false)) {
                if (row) {
                    UnlinkLayoutChild(parent, row, nullptr);
                    FreeLayoutNode(row);
                }
                return kLayoutParseNoMemory;
            }
            *out = row;
            return kLayoutParseOK;
        }
        *out = BuildObjectLabelLayout(named, parent, false, false);
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    DescriptionContext description{ object, 0, 0, nullptr };
    return ExpandObjectPlaceholder(out, content, length, parent, &description);
}

ResultCode BuildValueLayout(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (!AllocCaptionSlots(object)) return kLayoutParseNoMemory;
    // Names made while the template is expanded reach what shows them after the build.
    LabelPropagationHold hold;
    d->busy = 1;
    // The pi form is decided first: the unit layout built below asks for it.
    ExpressionUnitsInfo u = MeasurementUnits(object);
    int32_t piForm = CurrentSketchAngleUnit() == 0 && u.distanceExponent == 0 && u.angleExponent == 1 && !u.mismatch;
    int32_t oldPiForm = d->piForm;
    d->piForm = piForm;
    ClearValueSlots(object);
    LayoutParseContext context{nullptr, ExpandValuePlaceholder, object, 0};
    LayoutNode* root = nullptr;
    ResultCode r = ParseLayoutString(&root, kValueTemplate, &context);
    if (r >= kLayoutParseNoMemory || !root) {
        if (root) FreeLayoutNode(root);
        ClearValueSlots(object);
        d->piForm = oldPiForm;
        d->busy = 0;
        return r ? r : kLayoutParseNoMemory;
    }
    if (d->caption.layout) FreeLayoutNode(d->caption.layout);
    d->caption.layout = NormalizeLayout(root, &d->caption.style);
    d->cachedDistanceUnit = CurrentSketchDistanceUnit();
    d->cachedAngleUnit = CurrentSketchAngleUnit();
    d->busy = 0;
    return kLayoutParseOK;
}

void RelayoutValueDisplay(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (!Slot(object, kSlotName)) {
        if (BuildValueLayout(object) != kLayoutParseOK) return;
    } else if (d->cachedDistanceUnit != CurrentSketchDistanceUnit() || d->cachedAngleUnit != CurrentSketchAngleUnit()) {
        if (Slot(object, kSlotUnits)) {
            if (BuildValueLayout(object) != kLayoutParseOK) return;
        } else {
            d->cachedDistanceUnit = CurrentSketchDistanceUnit();
            d->cachedAngleUnit = CurrentSketchAngleUnit();
        }
    }
    const PtrList slots = d->caption.valueSlots;
    if (d->defined) {
        FormatValueIntoSlots(slots, kSlotValue, d->piForm ? d->value / kRoundedPi : d->value, d->precision,
                             kValueFormPlain);
    } else {
        char text[32];
        GetGroupString(kGroupUnits, kItemUndefined, text, sizeof text);
        SetValueSlotText(slots, kSlotValue, text);
    }
    // Units only beside a defined value.
    if (LayoutNode* units = Slot(object, kSlotUnits)) SelectAlternative(units, d->defined ? 1 : 0);
    if (LayoutNode* group = Slot(object, kSlotValueGroup)) RefreshAlternative(group, 1);
    RelayoutObjectText(object, false);
}

LayoutNode* BuildMeasurementValuePart(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (!d->defined) {
        char text[32];
        GetGroupString(kGroupUnits, kItemUndefined, text, sizeof text);
        return CreateTextRunWith(text, nullptr);
    }
    ValueTexts texts;
    FormatValueTexts(d->value, d->precision, kValueFormPlain, &texts);
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return nullptr;
    bool ok = CreateTextRunWith(texts.mantissa, row) != nullptr;
    ExpressionUnitsInfo u = MeasurementUnits(object);
    // Inside captions and tables radians show as a plain number with their unit.
    if (ok && ShowsUnits(u)) ok = BuildUnitLayout(u.angleExponent, u.distanceExponent, false, row) != nullptr;
    if (!ok) {
        FreeLayoutNode(row);
        return nullptr;
    }
    return row;
}

LayoutNode* MeasurementNameLayout(SketchObject* object, LayoutNode* parent) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (d->displayMode == kDisplayNoName) {
        char label[kLabelBufferSize];
        uint32_t n = 0;
        GetObjectLabel(object, kLabelSequence, label, &n);
        return BuildLabelWithSubscript(label, n, -1, parent);
    }
    if (!AllocCaptionSlots(object)) return nullptr;
    // Expanding the name records it as the display's name slot; this copy is the
    // caller's, so the slot keeps pointing at the display's own name.
    LayoutNode* ownName = Slot(object, kSlotName);
    LayoutParseContext context{nullptr, ExpandValuePlaceholder, object, 0};
    LayoutNode* name = nullptr;
    ResultCode r = ParseNested(&name, "<%N>", parent, &context);
    SetSlot(object, kSlotName, ownName);
    if (r >= kLayoutParseNoMemory) return nullptr;
    return name;
}

LayoutNode* BuildMeasurementPart(SketchObject* object, int32_t part, int32_t* flatten, int32_t* join,
                                 int32_t* wrapStyled, TextStyle* style, int32_t* owned) {
    ValueDisplay* d = ValueDisplayOf(object);
    *flatten = 0;
    *join = 0;
    *wrapStyled = 0;
    *style = d->caption.style;
    *owned = 1;
    switch (part) {
    case 0:
        return BuildMeasurementValuePart(object);
    case 2: {
        if (!AllocCaptionSlots(object)) return nullptr;
        char text[kTextRoom];
        GetGroupString(kGroupMeasureTemplates, d->captionTemplate, text, sizeof text);
        LayoutParseContext context{nullptr, ExpandValuePlaceholder, object, 0};
        LayoutNode* root = nullptr;
        ResultCode r = ParseLayoutString(&root, text, &context);
        if (r >= kLayoutParseNoMemory) {
            if (root) FreeLayoutNode(root);
            return nullptr;
        }
        return root;
    }
    case 3: {
        char label[kLabelBufferSize];
        uint32_t n = 0;
        GetObjectLabel(object, kLabelSequence, label, &n);
        return BuildLabelWithSubscript(label, n, -1, nullptr);
    }
    default:
        *owned = 0;  // shared, never freed by the caller
        return d->caption.layout;
    }
}

void SetValueDisplayMode(SketchObject* object, int32_t mode, LayoutNode* customLayout) {
    ValueDisplay* d = ValueDisplayOf(object);
    // A custom name belongs to display mode 2 only: any other one goes now.
    if (d->customLayout && d->customLayout != customLayout) FreeLayoutNode(d->customLayout);
    d->customLayout = customLayout;
    if (mode == d->displayMode && mode != kDisplayCustomName) return;
    d->displayMode = mode;
    ClearValueSlots(object);
    if (object->givenIndex < 0) RecomputeAndRedrawObject(object);
    PropagateLabelChange(object);
}

void DisplayWithOriginalName(SketchObject* object) { SetValueDisplayMode(object, kDisplayOriginalName, nullptr); }
void DisplayWithNoName(SketchObject* object) { SetValueDisplayMode(object, kDisplayNoName, nullptr); }
void DisplayWithCurrentLabel(SketchObject* object) { SetValueDisplayMode(object, kDisplayCurrentLabel, nullptr); }
