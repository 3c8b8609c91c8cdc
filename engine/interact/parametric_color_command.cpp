#include "engine/interact/parametric_color_command.h"

#include <climits>

#include "engine/core/services/later_release.h"
#include "engine/core/construction_data.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/parametric_color.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"

namespace {

constexpr int32_t kHelpParamColor    = 38;
constexpr int32_t kHelpParamColorRgb = 39;
// Kind categories of what the command colours: points and other plain objects, and
// path objects (straights, curves, interiors).
constexpr int32_t kKindColorablePlain = 3;
constexpr int32_t kKindColorablePath  = 6;

using ParametricColorRecord = DialogField[kParamColorFieldCount];

constexpr int32_t kFieldShown = 0x3;  // enabled and visible

// The dialogs' choices, kept for the life of the program: colour model, repeat both
// ways, and the range last accepted (shared by both records).
ParametricColorRecord gOneValueRecord = {
    { kFieldChoice, kFieldShown, { .integer = 0 }, 1, 0 },
    { kFieldChoice, kFieldShown, { .integer = 2 }, 2, 0 },
    { kFieldNumber, kFieldShown, { .real = 0 }, INT_MAX, INT_MIN },
    { kFieldNumber, kFieldShown, { .real = 1 }, INT_MAX, INT_MIN },
};
ParametricColorRecord gThreeValueRecord = {
    { kFieldChoice, kFieldShown, { .integer = 0 }, 1, 0 },
    { kFieldChoice, kFieldShown, { .integer = 2 }, 2, 0 },
    { kFieldNumber, kFieldShown, { .real = 0 }, INT_MAX, INT_MIN },
    { kFieldNumber, kFieldShown, { .real = 1 }, INT_MAX, INT_MIN },
};
double gLastFrom = 0.0;
double gLastTo = 1.0;

struct ColorBuild {
    ParametricColorValues values;
    PtrList targets;
    uint8_t data[kParametricColorDataBytes];
};

// Builds the image of the index-th target: parents [target, values newest first].
SketchObject* ConstructParametricColorImage(int32_t index, void* userData, uint16_t* outFlags) {
    auto* build = static_cast<ColorBuild*>(userData);
    auto* target = static_cast<SketchObject*>(PtrListItem(build->targets, index));
    if (!target) return nullptr;
    PtrList parents = 0;
    if (!PtrListAppend(&parents, target)) return nullptr;
    for (int32_t i = 0; i < build->values.count; ++i) {
        if (!PtrListAppend(&parents, build->values.items[i])) {
            FreePtrList(&parents);
            return nullptr;
        }
    }
    PtrList data = 0;
    if (!MakeConstructionData(build->data, sizeof build->data, &data)) {
        FreePtrList(&parents);
        return nullptr;
    }
    SketchObject* image = ConstructObject(kTypeParametricColor, nullptr, parents, data, true, false, outFlags);
    if (image) {
        image->traced = target->traced;
        if (auto form = LaterForms().engine.labelColorImage) form(image);
    }
    return image;
}

int32_t ChoiceOf(const DialogField& field, int32_t last) {
    const int32_t v = field.value.integer;
    if (v < 0) return 0;
    return v >= last ? last : v;
}

}  // namespace

int32_t ClassifyParametricColorSelection(ParametricColorValues* values, bool deselect) {
    values->count = 0;
    Sketch* sketch = CurrentSketch();
    if (!sketch) return 0;
    int32_t targets = 0;
    SketchObject* next = nullptr;
    for (SketchObject* o = sketch->selectionHead; o && o != kNotLinked; o = next) {
        next = o->nextSelected;
        const int32_t kind = EffectiveKind(o);
        if (KindIsA(kind, kKindCalculation)) {
            if (values->count < 3) values->items[values->count++] = o;
        } else if (KindIsA(kind, kKindColorablePath) || KindIsA(kind, kKindColorablePlain)) {
            ++targets;
            continue;
        }
        if (deselect) DeselectSketchObject(o);
    }
    return targets;
}

ResultCode ParametricColorCommand(int32_t) {
    ParametricColorValues values;
    if (ClassifyParametricColorSelection(&values, false) == 0) return kResultOK;
    if (values.count != 1 && values.count != 3) return kResultOK;
    const bool one = values.count == 1;
    DialogField* kept = one ? gOneValueRecord : gThreeValueRecord;
    kept[kParamColorFieldFrom].value.real = gLastFrom;
    kept[kParamColorFieldTo].value.real = gLastTo;
    ParametricColorRecord edited;
    for (int32_t i = 0; i < kParamColorFieldCount; ++i) edited[i] = kept[i];
    if (!RunCommandDialog(one ? kDialogParamColor : kDialogParamColorRgb, edited, nullptr,
                          one ? kHelpParamColor : kHelpParamColorRgb, 0))
        return kResultOK;
    const double from = edited[kParamColorFieldFrom].value.real, to = edited[kParamColorFieldTo].value.real;
    // A range of no width has no colours: the choices are not kept either.
    if (from == to) return kResultOK;
    for (int32_t i = 0; i < kParamColorFieldCount; ++i) kept[i] = edited[i];
    gLastFrom = from;
    gLastTo = to;

    ColorBuild build{};
    if (ClassifyParametricColorSelection(&build.values, true) == 0) return kResultOK;
    if (build.values.count != values.count) return kResultOK;
    int32_t count = 0;
    if (!CollectSelection(&count, &build.targets, 0)) return kResultOutOfMemory;
    const bool second = ChoiceOf(edited[kParamColorFieldModel], 1) == 1;
    const uint32_t model = one ? (second ? kColorModelGrey : kColorModelSpectrum)
                               : (second ? kColorModelHsv : kColorModelRgb);
    const uint32_t mode = static_cast<uint32_t>(ChoiceOf(edited[kParamColorFieldRepeat], 2));
    PackParametricColorData({ model | mode, from, to }, build.data);
    const ObjectBatch batch = { 1, 0, static_cast<uint16_t>(count), ConstructParametricColorImage,
                                StandardBatchUnwind, &build, -1 };
    const bool built = count > 0 && BuildObjectsWithUndo(&batch) != nullptr;
    FreePtrList(&build.targets);
    return built || count == 0 ? kResultOK : kResultOutOfMemory;
}
