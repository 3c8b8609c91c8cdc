#include "release2/engine/legacy_helpers.h"

#include "engine/calc/calculation_objects.h"
#include "engine/calc/parameters.h"
#include "engine/core/construction_data.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/core/transform_maps.h"

namespace {

static_assert(kHelperParameterKind == kKindPlainParameter);

constexpr int32_t kTypePlottedMeasuredRect = 73;
constexpr int32_t kTypeTranslateFixed = 21;
constexpr uint32_t kParameterTokens = 40;
constexpr double kAcross = 100.0;
constexpr int32_t kPixelUnit = 0;

// A hidden construction of `type` on the parents, never an equal object reused (that
// one the user may see), linked, without undo.
SketchObject* ConstructHidden(int32_t type, SketchObject* const* parents, int32_t count, PtrList data) {
    PtrList list = 0;
    if (!AllocPtrList(count, count, &list)) {
        FreePtrList(&data);
        return nullptr;
    }
    for (int32_t i = 0; i < count; ++i) PtrListData(list)[i] = parents[i];
    ObjectTemplate t{};
    t.constructionType = type;
    t.hidden = kHiddenAsConsumed;
    t.objectClass = ConstructionTypeTable[type].objectClass;
    t.lineStyle = 1;
    t.objectKind = ConstructionTypeTable[type].objectKind;
    const int32_t colorClass = t.objectClass == kClassOfImage ? parents[0]->objectClass : t.objectClass;
    t.color = CurrentSketch()->settings.palette[ObjectClassTable[colorClass].colorSlot];
    const ConstructRequest request = { t, nullptr, list, data, nullptr, true, false, nullptr, false };
    SketchObject* made = ConstructObjectWithTemplate(&request);
    if (made) RecomputeObject(made, nullptr, true);
    return made;
}

FixedDistanceEntry Pixels(double pixels) { return FixedDistanceEntry{ pixels, pixels, kPixelUnit, 0 }; }

SketchObject* MakeParameter(int32_t kind, double value, int32_t hidden) {
    CalculationEditRecord record;
    if (!InitFunctionEditRecord(&record, kFormCalculation)) return nullptr;
    if (!NumberToExpressionTokens(&record, kParameterTokens, value, kind)) {
        ReleaseCalculationEditRecord(&record);
        return nullptr;
    }
    const ObjectTemplate t = { kTypeFree, 0, hidden, kClassCalculation, 1, kind, 0 };
    SketchObject* parameter = ConstructObjectEx(&t, &record, 0, 0, nullptr, nullptr, false);
    ReleaseCalculationEditRecord(&record);
    if (!parameter) return nullptr;
    SetDefaultParameterMotion(parameter);
    RecomputeObject(parameter, nullptr, true);
    return parameter;
}

}  // namespace

SketchObject* CreateHelperParameter(int32_t kind, double value) { return MakeParameter(kind, value, kShown); }

int32_t CreateLegacyHelperObjects(SketchObject* first, SketchObject* second, bool flag, SketchObject** shared,
                                  SketchObject** made) {
    made[0] = made[1] = nullptr;
    SketchObject* parameter = *shared;
    const bool madeHere = parameter == nullptr;
    if (madeHere) {
        // A zero the user never made would be a stranger on the converted page.
        parameter = MakeParameter(kHelperParameterKind, 0, kHiddenAsConsumed);
        if (!parameter) return kResultOutOfMemory;
    }
    SketchObject* const xFirst[3] = { first, parameter, second };
    SketchObject* const yFirst[3] = { parameter, first, second };
    SketchObject* point = ConstructHidden(kTypePlottedMeasuredRect, flag ? xFirst : yFirst, 3, 0);
    // Horizontal and vertical entries: with the flag the value is an x, so the step goes
    // up, across the horizontal axis.
    const FixedDistanceEntry shift[2] = { Pixels(flag ? 0 : kAcross), Pixels(flag ? kAcross : 0) };
    PtrList data = 0;
    SketchObject* image = nullptr;
    if (point && MakeConstructionData(shift, sizeof shift, &data))
        image = ConstructHidden(kTypeTranslateFixed, &point, 1, data);
    if (!image) {
        if (point) DestroyObject(point, true, true);
        if (madeHere) DestroyObject(parameter, true, true);
        return kResultOutOfMemory;
    }
    *shared = parameter;
    made[0] = point;
    made[1] = image;
    return kResultOK;
}
