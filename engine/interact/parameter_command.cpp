// New Parameter: the parameter dialog instead of the calculator, and on OK one free
// calculation built as one undoable step.
#include <cstring>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/interact/calculation_commands.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/interaction_services.h"
#include "engine/text/object_labels.h"

namespace {

constexpr int32_t kPointSequence = 0;  // parameters are proposed the next point letter

struct NewParameter {
    CalculationEditRecord* record;
    const char* name;  // typed, or null
};

SketchObject* BuildParameter(int32_t, void* userData, uint16_t* outFlags) {
    auto* plan = static_cast<NewParameter*>(userData);
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0 };
    SketchObject* p = ConstructObjectEx(&t, plan->record, 0, 0, nullptr, outFlags, false);
    if (!p) return nullptr;
    if (plan->name) SetObjectLabel(p, plan->name, false);
    ReKindParameter(p, true, false);
    RecomputeObject(p, nullptr, true);
    return p;
}

}  // namespace

bool AskForNewParameter(CalculationEditRecord* record, char* name, bool* renamed) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !InitFunctionEditRecord(record, kFormCalculation)) return false;
    if (!NumberToExpressionTokens(record, 40, 1, kKindPlainParameter)) {
        ReleaseCalculationEditRecord(record);
        return false;
    }
    // The proposed name takes the next letter without using it up.
    const LabelSequence saved = sketch->labelSequences[kPointSequence];
    char proposed[kLabelBufferSize];
    NextAutoLabel(kPointSequence, proposed);
    sketch->labelSequences[kPointSequence] = saved;
    // Names are at most 40 characters.
    proposed[kParameterNameRoom - 1] = 0;
    std::memcpy(name, proposed, kParameterNameRoom);
    if (!RunParameterDialog(nullptr, record, name, kParameterNameRoom)) {
        ReleaseCalculationEditRecord(record);
        return false;
    }
    *renamed = std::strcmp(name, proposed) != 0;
    return true;
}

ResultCode NewParameterCommand(int32_t) {
    if (!CurrentSketch()) return kResultOK;
    CalculationEditRecord record;
    char name[kParameterNameRoom];
    bool renamed = false;
    if (!AskForNewParameter(&record, name, &renamed)) return kResultOK;
    ResultCode rc = kResultOK;
    NewParameter plan{&record, renamed ? name : nullptr};
    const ObjectBatch batch = { 1, 0, 1, BuildParameter, StandardBatchUnwind, &plan, -1 };
    if (!BuildObjectsWithUndo(&batch)) rc = kResultOutOfMemory;
    ReleaseCalculationEditRecord(&record);
    return rc;
}

// A double click on a parameter: its value and name in the parameter dialog, the new
// value one undoable edit.
void RunParameterDialog(SketchObject* parameter) {
    if (!parameter) return;
    CalculationEditRecord unused{};
    RunParameterDialog(parameter, &unused, nullptr, 0);
}
