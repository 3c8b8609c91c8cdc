// New and edited calculations, functions and parameter definitions through the
// calculator, Plot Function, and the parameters made from the calculator's Values menu.
// All objects one command makes belong to one undo step.
#include "engine/interact/calculation_commands.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/calc/calc_editor.h"
#include "engine/calc/expression_compiler.h"
#include "engine/calc/derivative.h"
#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/alerts.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/calculator.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/expression_edit.h"
#include "engine/interact/pick_session.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_labels.h"
#include "engine/text/status_prompt.h"

namespace {

constexpr int32_t kAlertDerivatives = 135;
constexpr int32_t kQuestionTrigUnits = 143;
constexpr int32_t kFunctionSequence = 11;
constexpr int32_t kPromptGroup = 16;
constexpr int32_t kPromptPickAnything = 27;
constexpr int32_t kPromptPickValue = 28;
constexpr int32_t kPromptPickFunction = 29;
constexpr uint32_t kNewBufferTokens = 256;
constexpr uint32_t kBufferSpare = 20;
constexpr uint32_t kNameRoom = 41;  // names are at most 40 characters
constexpr int32_t kPlotProgram = 111;

constexpr int32_t kFlagFunction = 1;
constexpr int32_t kFlagEdit = 2;
constexpr int32_t kFlagPlot = 4;
constexpr int32_t kFlagParameter = 8;

// Asked once per program run at most, once the user says No.
bool gTrigQuestionDeclined = false;

// The command running the calculator, reached by the pick callbacks and New Parameter.
struct CalculatorRun {
    ParentArray parents;
    bool askForPicks;
};
CalculatorRun* gRun = nullptr;

bool AppendParent(ParentArray* list, SketchObject* object, uint32_t* index) {
    for (uint32_t i = 0; i < list->count; ++i) {
        if (list->items[i] != object) continue;
        *index = i;
        return true;
    }
    if (list->count >= kMaxExpressionIndex) return false;
    if (!ReallocMemoryOf(&list->items, (list->count + 1) * sizeof(SketchObject*), false)) return false;
    list->items[list->count] = object;
    *index = list->count++;
    return true;
}

bool IsOfferable(const SketchObject* o) {
    return KindIsA(o->objectKind, kKindCalculation) || KindIsA(o->objectKind, kKindFunction);
}

// Marks the values and functions the user may pick (never the edited object nor what
// depends on it) and lists the edited object's parents, then the selected offerable
// objects, each once.
bool PrepareCalculatorParents(SketchObject* edited, ParentArray* list) {
    Sketch* sketch = CurrentSketch();
    std::vector<SketchObject*> dependants;
    if (edited) {
        SketchObject* head = edited;
        edited->tempLink = nullptr;
        CollectDependents(&head, false);
        for (SketchObject* o = head; o; o = o->tempLink) dependants.push_back(o);
        dependants.push_back(edited);
    }
    for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch) {
        if (!IsOfferable(o)) continue;
        bool excluded = false;
        for (SketchObject* d : dependants) excluded = excluded || d == o;
        if (!excluded) MarkObject(kMarkCategoryCalculator, o, false);
    }
    *list = ParentArray{};
    uint32_t index = 0;
    for (uint32_t i = 0; edited && i < ParentCountOf(edited); ++i)
        if (!AppendParent(list, ParentItemsOf(edited)[i], &index)) return false;
    std::vector<SketchObject*> selected;
    for (SketchObject* o = sketch->selectionHead; o && o != kNotLinked; o = o->nextSelected)
        if (HasMarkCategory(kMarkCategoryCalculator, o)) selected.push_back(o);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        if (!AppendParent(list, *it, &index)) return false;
    return true;
}

// The subject of a merged text counts as the text.
SketchObject* PickSubject(SketchObject* o) {
    SketchObject* subject = nullptr;
    if (o && !HasMarkCategory(kMarkCategoryCalculator, o) && FindMergedTextSubject(o, &subject)) return subject;
    return o;
}

SketchObject* gPicked = nullptr;

int32_t CalcPickApply(void*) {
    SketchObject* o = gPicked;
    gPicked = nullptr;
    if (!o || !gRun) return 0;
    uint32_t index = 0;
    const uint32_t before = gRun->parents.count;
    if (!AppendParent(&gRun->parents, o, &index)) return 0;
    if (gRun->parents.count > before && o->exists == 1 && o->hidden == kShown && !IsSelected(o))
        SelectSketchObject(o);
    const ExpressionToken cls = KindIsA(o->objectKind, kKindFunction) ? kClassFunctionCall : kClassParentValue;
    CalcEditorInsertAndDraw(ExpressionToken(cls | index), nullptr);
    return 1;
}

void CreatedParametersGone(bool destroy) {
    std::vector<SketchObject*> made;
    ForEachMarked(
        kMarkCategoryCalculator2,
        [](SketchObject* o, void* user) {
            static_cast<std::vector<SketchObject*>*>(user)->push_back(o);
            return 1;
        },
        &made);
    ClearMark(kMarkCategoryCalculator2);
    if (!destroy) return;
    for (SketchObject* p : made) {
        if (IsSelected(p)) DeselectSketchObject(p);
        DestroyObject(p, true, true);
    }
}

// ---- Building the new object

struct NewObjectPlan {
    std::vector<SketchObject*> parameters;  // made in the calculator, taken over as they are
    CalculationEditRecord* record;
    ParentArray* used;
    bool function;
    const char* name;
    SketchObject* system;  // for the plot, else null
    SketchObject* made;
};

SketchObject* BuildStep(int32_t index, void* user, uint16_t* outFlags) {
    auto* plan = static_cast<NewObjectPlan*>(user);
    *outFlags = kConstructedNew;
    const size_t k = size_t(index);
    if (k < plan->parameters.size()) return plan->parameters[k];
    if (k == plan->parameters.size()) {
        PtrList list = 0;
        if (plan->used->count) {
            if (!AllocPtrList(int32_t(plan->used->count), int32_t(plan->used->count), &list)) return nullptr;
            std::memcpy(PtrListData(list), plan->used->items, plan->used->count * sizeof(SketchObject*));
        }
        const int32_t type = !list ? kTypeFree : plan->function ? kTypeFunction : kTypeCalculation;
        const ObjectTemplate t = {type, 0, 0, kClassCalculation, 1,
                                  plan->function ? kKindFunction : kKindCalculation, 0};
        SketchObject* o = ConstructObjectEx(&t, plan->record, list, 0, nullptr, outFlags, false);
        if (!o) return nullptr;
        if (plan->name) SetObjectLabel(o, plan->name, false);
        if (!plan->function && IsParameterExpression(o)) ReKindParameter(o, true, false);
        plan->made = o;
        return o;
    }
    PtrList list = 0;
    if (!AllocPtrList(2, 2, &list)) return nullptr;
    PtrListData(list)[0] = plan->made;
    PtrListData(list)[1] = plan->system;
    return ConstructObject(kTypeFunctionPlot, nullptr, list, 0, true, false, outFlags);
}

void UnwindStep(int32_t index, void* user, SketchObject* object, uint16_t flags) {
    auto* plan = static_cast<NewObjectPlan*>(user);
    // The calculator's parameters go with the command's failure, not here.
    if (size_t(index) < plan->parameters.size()) return;
    StandardBatchUnwind(index, user, object, flags);
}

bool UsesTrigFunction(const InfixExpression* record) {
    for (uint32_t i = 0; i < record->count; ++i) {
        const ExpressionToken t = record->tokens[i];
        if (TokenClass(t) == kClassFunction && TokenIndex(t) <= kFnArctan) return true;
    }
    return false;
}

// New functions are proposed as r = f(theta) while the current coordinate system has a
// polar grid.
bool CurrentSystemIsPolar() {
    const SketchObject* system = MarkedObject(kMarkCoordSystem);
    return system && system->exists == 1 && CoordSystemOf(system)->gridForm == kGridPolar;
}

struct CommandModes {
    int32_t mode;
    int32_t titleItem;
};

bool ModesOf(int32_t flags, CommandModes* out) {
    switch (flags & (kFlagFunction | kFlagEdit | kFlagParameter)) {
    case 0: *out = {kCalcModeNewCalculation, 35}; return true;
    case kFlagFunction: *out = {kCalcModeNewFunction, 36}; return true;
    case kFlagEdit: *out = {kCalcModeEditCalculation, 37}; return true;
    case kFlagEdit | kFlagFunction: *out = {kCalcModeEditFunction, 38}; return true;
    case kFlagEdit | kFlagParameter: *out = {kCalcModeEditParameter, 39}; return true;
    default: return false;
    }
}

void RunIdleWhileTracking() {
    if (RunIdleTasks()) FlushPendingRedraw(0);
}

}  // namespace

bool CalcPickFilter(SketchObject* object, void* user) {
    auto* run = static_cast<CalculatorRun*>(user);
    SketchObject* o = PickSubject(object);
    if (o && HasMarkCategory(kMarkCategoryCalculator, o)) {
        SetStatusPrompt(kPromptGroup, KindIsA(o->objectKind, kKindFunction) ? kPromptPickFunction : kPromptPickValue);
        return true;
    }
    if (run && run->askForPicks) SetStatusPrompt(kPromptGroup, kPromptPickAnything);
    else ClearStatusTextProvider(0);
    return false;
}

void CalcPickAccept(SketchObject* object, void*, PickApplyFn* apply) {
    gPicked = PickSubject(object);
    *apply = CalcPickApply;
}

void CheckTrigAngleUnits(const InfixExpression* record) {
    Sketch* sketch = CurrentSketch();
    if (gTrigQuestionDeclined || !sketch || sketch->settings.angleUnit == kAngleRadians || !UsesTrigFunction(record))
        return;
    FlushPendingRedraw(0);
    if (AskQuestionByCode(kQuestionTrigUnits, false, 0)) {
        sketch->settings.angleUnit = kAngleRadians;
        RecomputeSketch(false);
    } else {
        gTrigQuestionDeclined = true;
    }
}

uint16_t NewParameterForCalculator(ParentArray* parents) {
    if (!CurrentSketch() || !parents) return 0;
    CalculationEditRecord record;
    char name[kParameterNameRoom];
    bool renamed = false;
    if (!AskForNewParameter(&record, name, &renamed)) return 0;
    uint16_t token = 0;
    const ObjectTemplate t = {kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0};
    SketchObject* p = ConstructObjectEx(&t, &record, 0, 0, nullptr, nullptr, false);
    uint32_t index = 0;
    if (p && AppendParent(parents, p, &index)) {
        if (renamed) SetObjectLabel(p, name, false);
        ReKindParameter(p, true, false);
        RecomputeObject(p, nullptr, true);
        SelectSketchObject(p);
        MarkObject(kMarkCategoryCalculator, p, false);
        MarkObject(kMarkCategoryCalculator2, p, false);
        token = ExpressionToken(kClassParentValue | index);
    } else if (p) {
        DestroyObject(p, true, true);
    }
    ReleaseCalculationEditRecord(&record);
    return token;
}

ResultCode EditCalculationCommand(int32_t flags) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    if ((flags & (kFlagFunction | kFlagEdit | kFlagParameter)) == kFlagParameter) return NewParameterCommand(flags);
    CommandModes modes;
    if (!ModesOf(flags, &modes)) return kResultOK;
    const bool function = flags & kFlagFunction;
    const bool edit = flags & kFlagEdit;
    const bool plot = !edit && function && (flags & kFlagPlot);

    SketchObject* edited = nullptr;
    char name[kNameRoom] = "";
    bool named = false;
    const LabelSequence savedLabels = sketch->labelSequences[kFunctionSequence];
    InfixExpression record{kFormCalculation, 0, nullptr};
    uint32_t room = kNewBufferTokens;
    if (edit) {
        edited = sketch->selectionHead;
        const CalculationData* c = edited && edited != kNotLinked ? CalculationDataOf(edited) : nullptr;
        if (!c) return kResultOK;
        if (KindIsA(edited->objectKind, kKindDerivedFunction)) {
            ShowAlertByCode(kAlertDerivatives, 0);
            return kResultOK;
        }
        record.form = c->form;
        room = c->infixCount + kBufferSpare > kNewBufferTokens ? c->infixCount + kBufferSpare : kNewBufferTokens;
        record.tokens = static_cast<ExpressionToken*>(AllocMemory(room * sizeof(ExpressionToken), 0));
        if (!record.tokens) return kResultOutOfMemory;
        if (c->infixCount) std::memcpy(record.tokens, c->infixTokens, c->infixCount * sizeof(ExpressionToken));
        record.count = c->infixCount;
        if (IsFunctionForm(c->form)) {
            char label[kLabelBufferSize];
            uint32_t length = 0;
            std::snprintf(name, sizeof name, "%s", GetObjectLabel(edited, 0, label, &length));
            named = true;
        }
    } else {
        record.form = !function ? kFormCalculation : CurrentSystemIsPolar() ? kFormRofTheta : kFormYofX;
        record.tokens = static_cast<ExpressionToken*>(AllocMemory(room * sizeof(ExpressionToken), 0));
        if (!record.tokens) return kResultOutOfMemory;
        if (function) {
            char proposed[kLabelBufferSize];
            NextAutoLabel(kFunctionSequence, proposed);
            proposed[sizeof name - 1] = 0;  // names are at most 40 characters
            std::memcpy(name, proposed, sizeof name);
            named = true;
        }
    }

    CalculatorRun run{};
    run.askForPicks = true;
    gRun = &run;
    ResultCode rc = kResultOK;
    bool built = false;
    bool ok = PrepareCalculatorParents(edited, &run.parents);
    if (ok) {
        PickSessionBegin(CalcPickFilter, CalcPickAccept, nullptr, &run);
        ok = CalcEditorBegin(&record, &run.parents, named ? name : nullptr, RunIdleWhileTracking);
        if (ok) {
            ok = RunCalculatorDialog(modes.mode, modes.titleItem);
            CalcEditorEnd(ok ? &record : nullptr);
        } else {
            rc = kResultOutOfMemory;
        }
        PickSessionEnd();
        ClearStatusTextProvider(0);
    } else {
        rc = kResultOutOfMemory;
    }

    CompiledExpression code{};
    ParentArray used{};
    if (ok && !InsertImplicitProducts(&record)) {
        ok = false;
        rc = kResultOutOfMemory;
    }
    if (ok) {
        const int32_t compiled = CompileExpression(&record, run.parents.items, run.parents.count, nullptr, &code,
                                                   &used, nullptr);
        ok = compiled == kCompileOK;
        if (compiled == kCompileNoMemory) rc = kResultOutOfMemory;
    }
    SketchObject* system = nullptr;
    if (ok && plot) {
        system = GetCoordinateSystem(0, true, nullptr);
        ok = system != nullptr;
    }
    if (ok) CheckTrigAngleUnits(&record);
    if (ok && edit) {
        const int32_t oldKind = edited->objectKind;
        rc = ApplyEditedExpression(edited, &used, &record, &code);
        built = rc == kResultOK;
        if (built && IsParameterExpression(edited)) ReKindParameter(edited, false, edited->objectKind != oldKind);
    } else if (ok) {
        CalculationEditRecord creation;
        if (InitFunctionEditRecord(&creation, record.form)) {
            FreeMemory(creation.tokens);
            creation.tokens = record.tokens;
            creation.count = record.count;
            record.tokens = nullptr;
            NewObjectPlan plan{};
            ForEachMarked(
                kMarkCategoryCalculator2,
                [](SketchObject* o, void* user) {
                    static_cast<std::vector<SketchObject*>*>(user)->push_back(o);
                    return 1;
                },
                &plan.parameters);
            plan.record = &creation;
            plan.used = &used;
            plan.function = function;
            plan.name = function ? name : nullptr;
            plan.system = system;
            const uint16_t steps = uint16_t(plan.parameters.size() + 1 + (plot ? 1 : 0));
            const ObjectBatch batch = {1, 0, steps, BuildStep, UnwindStep, &plan, -1};
            built = BuildObjectsWithUndo(&batch) != nullptr;
            if (!built) rc = kResultOutOfMemory;
            ReleaseCalculationEditRecord(&creation);
        } else {
            rc = kResultOutOfMemory;
        }
    }
    FreeCompiledExpression(&code);
    FreeParentArray(&used);
    if (record.tokens) FreeMemory(record.tokens);
    FreeParentArray(&run.parents);
    gRun = nullptr;
    if (!built && function && !edit) sketch->labelSequences[kFunctionSequence] = savedLabels;
    ClearMark(kMarkCategoryCalculator);
    CreatedParametersGone(!built);
    return rc;
}

ResultCode ConstructFromFunctionsCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    for (SketchObject* o = sketch->selectionHead; o && o != kNotLinked; o = o->nextSelected) {
        const CalculationData* c = CalculationDataOf(o);
        if (!c || !IsFunctionForm(c->form)) continue;
        InfixExpression infix{c->form, c->infixCount, c->infixTokens};
        CheckTrigAngleUnits(&infix);
    }
    return ConstructByProgramCommand(kPlotProgram);
}
