// Derivative: one derived function of each selected function, built in one undoable
// step with the approximate definition, then made exact when the rewrite succeeds.
#include "engine/interact/derivative_command.h"

#include <vector>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/derivative.h"
#include "engine/core/alerts.h"
#include "engine/core/copy_map.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/busy.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/construction_commands.h"

namespace {

constexpr int32_t kBusyDifferentiating = 0;  // "Differentiating..."

bool CancelledByUser(void* task) { return !UpdateBusyTask(static_cast<BusyTask*>(task), 0); }

struct DerivativePlan {
    std::vector<SketchObject*> sources;
    std::vector<SketchObject*> made;
};

SketchObject* BuildDerivative(int32_t index, void* userData, uint16_t* outFlags) {
    auto* plan = static_cast<DerivativePlan*>(userData);
    SketchObject* source = plan->sources[size_t(index)];
    CalculationEditRecord record;
    if (!InitFunctionEditRecord(&record, CalculationDataOf(source)->form)) return nullptr;
    InfixExpression approximate{};
    ParentArray parents{};
    if (BuildDerivativeExpression(&approximate, &parents, source, false, nullptr) != kResultOK) {
        ReleaseCalculationEditRecord(&record);
        return nullptr;
    }
    FreeMemory(record.tokens);
    record.tokens = approximate.tokens;
    record.count = approximate.count;
    PtrList list = 0;
    bool listed = AllocPtrList(int32_t(parents.count), int32_t(parents.count), &list);
    if (listed)
        for (uint32_t k = 0; k < parents.count; ++k) PtrListData(list)[k] = parents.items[k];
    FreeParentArray(&parents);
    if (!listed) {
        ReleaseCalculationEditRecord(&record);
        return nullptr;
    }
    SketchObject* derived = ConstructObject(kTypeDerivative, &record, list, 0, true, false, outFlags);
    ReleaseCalculationEditRecord(&record);
    if (derived && *outFlags == kConstructedNew) {
        derived->objectKind = kKindApproximateDerivative;
        RecomputeObject(derived, nullptr, true);
        ApplyAutomaticLabels(derived);
        plan->made.push_back(derived);
    }
    return derived;
}

}  // namespace

ResultCode RebuildDerivatives(SketchObject** derived, uint32_t count, bool show) {
    BusyTask* task = show ? BeginBusyTask(kBusyDifferentiating, 0, true) : nullptr;
    const DeriveBusy busy{CancelledByUser, task};
    ResultCode rc = kResultOK;
    for (uint32_t k = 0; k < count && rc == kResultOK; ++k) {
        if (!derived[k]) continue;
        rc = RederiveFunction(derived[k], show, task ? &busy : nullptr);
        if (rc != kResultOK) break;
        RecomputeAndRedrawObject(derived[k]);
        derived[k] = nullptr;
    }
    EndBusyTask(task);
    if (rc != kResultOK && show) ShowAlertByCode(rc == kResultOutOfMemory ? kDeriveTooComplex : rc, 0);
    return rc;
}

ResultCode RebuildCopiedDerivatives(const CopyMap* map) {
    int32_t count = 0;
    if (map->extra) PtrListSize(map->extra, &count);
    if (count <= 0) return kResultOK;
    auto* derived = static_cast<SketchObject**>(AllocMemory(uint32_t(count) * sizeof(SketchObject*), 0));
    if (!derived) return kResultOutOfMemory;  // they keep their approximate definitions
    for (int32_t k = 0; k < count; ++k) derived[k] = static_cast<SketchObject*>(PtrListItem(map->extra, k));
    const ResultCode rc = RebuildDerivatives(derived, uint32_t(count), true);
    FreeMemory(derived);
    return rc;
}

ResultCode DerivativeCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    DerivativePlan plan;
    for (SketchObject* o = sketch->selectionHead; o && o != kNotLinked; o = o->nextSelected) {
        const CalculationData* c = CalculationDataOf(o);
        if (c && IsFunctionForm(c->form) && KindIsA(o->objectKind, kKindFunction)) plan.sources.push_back(o);
    }
    if (plan.sources.empty()) return kResultOK;
    // The selection chain runs newest first: derive in the order the user picked.
    std::vector<SketchObject*>(plan.sources.rbegin(), plan.sources.rend()).swap(plan.sources);
    const ObjectBatch batch = { 1, 0, static_cast<uint16_t>(plan.sources.size()), BuildDerivative,
                                StandardBatchUnwind, &plan, -1 };
    if (!BuildObjectsWithUndo(&batch)) return kResultOutOfMemory;
    RebuildDerivatives(plan.made.data(), uint32_t(plan.made.size()), true);
    return kResultOK;
}
