#include "release2/engine/engine_revisions.h"

#include <cmath>
#include <cstring>

#include "engine/calc/value_objects.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"

namespace {

constexpr int32_t kTypeColoredImage = 79;
constexpr int32_t kTypePathPoint = 15;
constexpr int32_t kFileStream = 1;
constexpr int32_t kMemoryStream = 2;

// Parents are made before their children, so a walk up first parents never meets an
// object twice; a damaged document's cycle is stopped by this bound all the same.
constexpr int32_t kMaxChainWalk = 1 << 22;

SketchObject* FirstParent(const SketchObject* o) {
    int32_t count = 0;
    void** parents = PtrListItems(o->parents, &count);
    return count > 0 ? static_cast<SketchObject*>(parents[0]) : nullptr;
}

}  // namespace

bool IsSameCalculation(const SketchObject* candidate, const SketchObject* pattern) {
    if (candidate->objectClass != kClassCalculation || pattern->objectClass != kClassCalculation) return false;
    const CalculationData* a = CalculationDataOf(candidate);
    const CalculationData* b = CalculationDataOf(pattern);
    if (a->form != b->form || a->infixCount != b->infixCount) return false;
    if (a->infixCount == 0) return true;
    if (!a->infixTokens || !b->infixTokens) return a->infixTokens == b->infixTokens;
    return std::memcmp(a->infixTokens, b->infixTokens, sizeof(ExpressionToken) * a->infixCount) == 0;
}

SketchObject* FindParentAboveCode79Chain(SketchObject* object) {
    if (!object || object->constructionType != kTypeColoredImage) return nullptr;
    int32_t steps = kMaxChainWalk;
    SketchObject* o = FirstParent(object);
    while (o && o->constructionType == kTypeColoredImage && steps-- > 0) o = FirstParent(o);
    return o && o->constructionType != kTypeColoredImage ? o : nullptr;
}

bool IsType15Source() {
    const Sketch* sketch = CurrentSketch();
    SketchObject* o = sketch ? sketch->selectionHead : nullptr;
    if (!o) return false;
    if (o->constructionType == kTypeColoredImage) o = FindParentAboveCode79Chain(o);
    return o && o->constructionType == kTypePathPoint;
}

bool GetFiniteValue(const SketchObject* object, double* value) {
    if (!object || object->exists != 1) return false;
    if (object->objectClass != kClassMeasurement && object->objectClass != kClassCalculation) return false;
    const ValueDisplay* d = ValueDisplayOf(object);
    if (d->defined != 1 || !std::isfinite(d->value)) return false;
    *value = d->value;
    return true;
}

uint32_t GetPaddedRecordLength(int32_t streamKind, uint32_t length) {
    if ((streamKind == kFileStream || streamKind == kMemoryStream) && (length & 1u) && length < UINT32_MAX) return length + 1;
    return length;
}
