// Coordinates, polar coordinates and the equations of lines and circles measured against
// a coordinate system: up to four numbers written into one of the layout templates of
// the equation form table. All forms of a group are built at once as alternatives, so a
// change of form within the group (a line turning vertical) only selects another one.
#include <cmath>
#include <cstdint>

#include "engine/calc/standin_engine.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/measurements.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"
#include "engine/text/value_slots.h"
#include "engine/text/value_text.h"

namespace {

constexpr int32_t kNotShown = 4;   // format flag of a number the form does not show
constexpr int32_t kAngleSlot = 7;  // polar coordinates: the angle unit the layout shows
constexpr double kRoundedPi = 3.1415926535898;

// One row per form: template item (string group 6), the format flag of each number,
// the form's 1-based place in its group, and the slot letter of each number.
struct EquationFormRow {
    uint16_t templateItem;
    uint16_t spare;
    int32_t  flags[4];
    int32_t  alternative;
    char     letters[4];
};

const EquationFormRow EquationFormTable[10] = {
    //  item     flags                   alt  letters
    { 17, 0, { 0, 0, 4, 4 },             1, { 'a', 'b', 0, 0 } },      // 0 (x, y)
    { 18, 0, { 0, 0, 4, 4 },             1, { 'a', 'b', 0, 0 } },      // 1 (r, theta)
    { 19, 0, { 2, 1, 4, 4 },             1, { 'a', 'b', 0, 0 } },      // 2 y = m x + b
    { 20, 0, { 0, 4, 4, 4 },             2, { 'c', 0, 0, 0 } },        // 3 x = c
    { 21, 0, { 0, 4, 4, 4 },             3, { 'd', 0, 0, 0 } },        // 4 y = d
    { 22, 0, { 1, 1, 0, 4 },             1, { 'a', 'b', 'c', 0 } },    // 5 circle
    { 23, 0, { 1, 0, 4, 4 },             2, { 'd', 'e', 0, 0 } },      // 6 h = 0
    { 24, 0, { 1, 0, 4, 4 },             3, { 'f', 'g', 0, 0 } },      // 7 k = 0
    { 25, 0, { 0, 4, 4, 4 },             4, { 'h', 0, 0, 0 } },        // 8 at the origin
    { 26, 0, { 1, 1, 0, 0 },             5, { 'i', 'j', 'k', 'l' } },  // 9 unequal units
};
constexpr int32_t kFormCount = 10;

// What one update measured: the form, and its numbers in letter order.
struct EquationWork {
    SketchObject* object;
    SketchObject* system;
    int32_t       form;
    double        numbers[4];
    int32_t       precision[4];
};

// Guards the object whose layout is being built against updates from inside the build.
SketchObject* gBuilding = nullptr;

// One build in progress: the guard as it was before it (builds of other measurements
// nest), and labels made meanwhile kept from recomputing their dependents until the
// build is over, so that nothing rebuilds this layout under its slots. Members end in
// reverse: the guard is restored before the held changes are followed.
class BuildScope {
public:
    explicit BuildScope(SketchObject* object) : previous_(gBuilding) { gBuilding = object; }
    ~BuildScope() { gBuilding = previous_; }
    BuildScope(const BuildScope&) = delete;
    BuildScope& operator=(const BuildScope&) = delete;

private:
    LabelPropagationHold hold_;
    SketchObject* previous_;
};

int32_t SlotOfLetter(char letter) { return 3 * letter - 290; }

PtrList SlotsOf(SketchObject* object) { return CaptionDataOf(object)->valueSlots; }

LayoutNode* SlotNode(SketchObject* object, int32_t slot) { return ValueSlotNode(SlotsOf(object), slot); }

void SetSlotItem(SketchObject* object, int32_t slot, void* item) {
    int32_t count = 0;
    void** items = PtrListItems(SlotsOf(object), &count);
    if (slot < count) items[slot] = item;
}

// Slot 7 of polar coordinates holds the sketch's angle unit plus one, not a node.
int32_t RecordedAngleUnit(SketchObject* object) {
    int32_t count = 0;
    void** items = PtrListItems(SlotsOf(object), &count);
    return kAngleSlot < count ? int32_t(reinterpret_cast<intptr_t>(items[kAngleSlot])) - 1 : -1;
}

RealPoint ToGridCoordinates(RealPoint p, const CoordSystemData& c) {
    return { (p.x - c.origin.x) / c.unitX, -(p.y - c.origin.y) / c.unitY };
}

// The group of a form: the rows around it whose alternative numbers rise.
void GroupOf(int32_t form, int32_t* first, int32_t* last) {
    *first = form - (EquationFormTable[form].alternative - 1);
    *last = form;
    while (*last + 1 < kFormCount && EquationFormTable[*last + 1].alternative > EquationFormTable[*last].alternative)
        ++*last;
}

ResultCode ExpandEquationPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                     LayoutParseContext* context) {
    auto* w = static_cast<EquationWork*>(context->user);
    *out = nullptr;
    if (length != 1) return kLayoutParseSyntax;
    const char c = content[0];
    if (c >= 'a' && c <= 'l') {
        return CreateValueSlotText(SlotsOf(w->object), SlotOfLetter(c), parent, out) ? kLayoutParseOK
                                                                                      : kLayoutParseNoMemory;
    }
    switch (c) {
        case 'A':
            *out = BuildObjectLabelLayout(w->object, parent, false, false);
            break;
        case 'U': {
            const int32_t unit = CurrentSketchAngleUnit();
            *out = BuildUnitLayout(1, 0, unit == kAngleRadians, parent);
            SetSlotItem(w->object, kAngleSlot, reinterpret_cast<void*>(intptr_t(unit) + 1));
            break;
        }
        case 'X':
        case 'Y':
            *out = BuildAxisNameLayout(w->system, c == 'X', parent);
            break;
        default:
            return kLayoutParseSyntax;
    }
    return *out ? kLayoutParseOK : kLayoutParseNoMemory;
}

void FillEquationSlots(const EquationWork& w) {
    LayoutNode* alternatives = SlotNode(w.object, 0);
    if (!alternatives) return;
    const EquationFormRow& row = EquationFormTable[w.form];
    SelectAlternative(alternatives, row.alternative);
    for (int32_t i = 0; i < 4; ++i) {
        if (!row.letters[i] || row.flags[i] == kNotShown) continue;
        FormatValueIntoSlots(SlotsOf(w.object), SlotOfLetter(row.letters[i]), w.numbers[i], w.precision[i],
                             row.flags[i]);
    }
    RefreshAlternative(alternatives, row.alternative);
}

// On failure the old layout stays.
bool BuildEquationLayout(EquationWork& w) {
    SketchObject* object = w.object;
    CaptionData* d = CaptionDataOf(object);
    LayoutNode* alternatives = CreateLayoutNode(kLayoutAlternatives, nullptr, 0);
    if (!alternatives) return false;
    BuildScope scope(object);
    int32_t first = 0, last = 0;
    GroupOf(w.form, &first, &last);
    bool ok = AllocCaptionSlots(object);
    LayoutParseContext context{ nullptr, ExpandEquationPlaceholder, &w, 0 };
    // The trees stay as parsed (normalizing the root does not reach into alternatives):
    // normalizing a row would join the number slots' text runs with the texts beside them.
    for (int32_t f = first; ok && f <= last; ++f) {
        char text[512];
        GetGroupString(kGroupMeasureTemplates, EquationFormTable[f].templateItem, text, sizeof text);
        LayoutNode* tree = nullptr;
        const ResultCode rc = ParseLayoutString(&tree, text, &context);
        if (rc >= kLayoutParseNoMemory || !tree) {
            if (tree) FreeLayoutNode(tree);
            ok = false;
        } else if (!AddAlternative(alternatives, tree)) {
            FreeLayoutNode(tree);
            ok = false;
        }
    }
    if (!ok) {
        FreeLayoutNode(alternatives);
        ClearValueSlots(object);
        return false;
    }
    if (d->layout) FreeLayoutNode(d->layout);
    d->layout = NormalizeLayout(alternatives, &d->style);
    SetSlotItem(object, 0, alternatives);
    FillEquationSlots(w);
    return true;
}

}  // namespace

void UpdateCoordinateMeasurement(SketchObject* object, SketchObject* const* parents) {
    if (gBuilding == object || CanSkipValueText(object)) return;
    SketchObject* system = parents ? parents[1] : nullptr;
    const SketchObject* measured = parents ? parents[0] : nullptr;
    if (!system || !measured || system->objectClass != kClassCoordinateSystem) {
        object->exists = 0;
        return;
    }
    const CoordSystemData& c = *CoordSystemOf(system);
    const Sketch* sketch = CurrentSketch();
    const int32_t precision = sketch ? sketch->settings.precision[2] : 2;
    EquationWork w{ object, system, 0, { 0, 0, 0, 0 }, { precision, precision, precision, precision } };
    bool rebuild = false;
    switch (object->constructionType) {
        case 53:
        case 78: {
            const RealPoint p = ToGridCoordinates(PointPosition(measured), c);
            if (object->constructionType == 53) {
                w.numbers[0] = p.x;
                w.numbers[1] = p.y;
                break;
            }
            w.form = 1;
            const double r = std::sqrt(p.x * p.x + p.y * p.y);
            double theta = 0;
            if (r != 0) {
                theta = std::atan2(p.y, p.x);
                RadiansToAngleUnits(&theta, true);
                if (CurrentSketchAngleUnit() == kAngleRadians) theta /= kRoundedPi;  // shown with pi
            }
            w.numbers[0] = r;
            w.numbers[1] = theta;
            if (sketch) w.precision[1] = sketch->settings.precision[1];
            rebuild = SlotNode(object, 0) && RecordedAngleUnit(object) != CurrentSketchAngleUnit();
            break;
        }
        case 54: {
            const LineForm& f = ClassData<StraightData>(measured)->form;
            const RealPoint a = ToGridCoordinates(f.first, c), b = ToGridCoordinates(f.second, c);
            if (b.x - a.x != 0) {
                const double m = (b.y - a.y) / (b.x - a.x);
                const double intercept = b.y - m * b.x;
                w.form = m != 0 ? 2 : 4;
                w.numbers[0] = m != 0 ? m : intercept;
                w.numbers[1] = intercept;
            } else {
                w.form = 3;
                w.numbers[0] = a.x;
            }
            break;
        }
        case 55: {
            const CircleData& circle = *ClassData<CircleData>(measured);
            const RealPoint centre = ToGridCoordinates(circle.centre, c);
            const double h = -centre.x, k = -centre.y;
            const double r = circle.radius / c.unitX;
            if (c.unitX != c.unitY) {
                w.form = 9;
                w.numbers[0] = h;
                w.numbers[1] = k;
                w.numbers[2] = r;
                w.numbers[3] = circle.radius / c.unitY;
            } else if (h != 0 && k != 0) {
                w.form = 5;
                w.numbers[0] = h;
                w.numbers[1] = k;
                w.numbers[2] = r;
            } else if (h == 0 && k == 0) {
                w.form = 8;
                w.numbers[0] = r;
            } else {
                w.form = h == 0 ? 6 : 7;
                w.numbers[0] = h == 0 ? k : h;
                w.numbers[1] = r;
            }
            break;
        }
        default:
            return;
    }
    if (SlotNode(object, 0) && !rebuild) FillEquationSlots(w);
    else if (!BuildEquationLayout(w)) return;
    RelayoutObjectText(object, false);
}
