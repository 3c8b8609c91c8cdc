// Class 11: calculations, parameters, functions and derived functions.
#include "engine/calc/calculation_objects.h"

#include <cstring>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/text/layout.h"

namespace {

constexpr uint32_t kFunctionTemplateRow = 15;    // measurement-function row of functions
constexpr uint32_t kCalculationTemplateRow = 12;
// The function's head, its variable in parentheses, " = " and the expression.
constexpr char kFunctionLayoutTemplate[] = "<%[R<H<%0><(<%2xd0>><T' = '><%2x+0>>]>";
// The first value slot of a function holds this while its layout is current.
void* const kLayoutCurrent = reinterpret_cast<void*>(intptr_t(-1));

bool IsFunctionObject(const SketchObject* o) { return CalculationDataOf(o) && IsFunctionForm(CalculationDataOf(o)->form); }

void ClearCallMemo(CalculationData* c) {
    c->callMemoResult = 0;
    c->callMemoArgument = 0;
    c->callMemoDefined = 0;
    c->callMemoValid = 0;
}

// Installs `items` as the object's parents, unlinking the old ones. False (old list
// kept) when memory runs out.
bool ReplaceParents(SketchObject* object, SketchObject* const* items, uint32_t count) {
    PtrList list = 0;
    if (count && !AllocPtrList(int32_t(count), int32_t(count), &list)) return false;
    if (count) std::memcpy(PtrListData(list), items, count * sizeof(SketchObject*));
    PtrList old = object->parents;
    UnlinkFromParents(object);
    object->parents = 0;
    if (!SetObjectParents(object, list)) {
        // The children lists gave the entries back a moment ago: relinking finds room.
        SetObjectParents(object, old);
        return false;
    }
    FreePtrList(&old);
    return true;
}

// Compiles against the object's own parents (copied: the install replaces the list they
// live in), a derived function's source pinned first.
int32_t InstallAgainstOwnParents(SketchObject* object, int32_t form, ExpressionToken* tokens, uint32_t count) {
    const uint32_t n = ParentCountOf(object);
    SketchObject** copy = n ? static_cast<SketchObject**>(AllocMemory(n * sizeof(SketchObject*), 0)) : nullptr;
    if (n && !copy) return kCompileNoMemory;
    if (n) std::memcpy(copy, ParentItemsOf(object), n * sizeof(SketchObject*));
    SketchObject* pinned = object->constructionType == kTypeDerivative && n ? copy[0] : nullptr;
    const int32_t result = InstallCalculationExpression(object, form, tokens, count, copy, n, pinned);
    if (copy) FreeMemory(copy);
    return result;
}

// A calculation's kind from its units (unless kept), and a parameter's settings when it
// has none yet.
void SettleCalculationKind(SketchObject* object, bool keepKind) {
    CalculationData* c = CalculationDataOf(object);
    if (c->form != kFormCalculation) return;
    if (!keepKind) SetCalculationKind(object);
    if (IsParameter(object) && c->change.step == 0) SetDefaultParameterMotion(object);
}

}  // namespace

bool InitFunctionEditRecord(CalculationEditRecord* record, int32_t form) {
    *record = CalculationEditRecord{};
    if (!InitValueDisplay(&record->display, form == kFormCalculation ? kCalculationTemplateRow : kFunctionTemplateRow))
        return false;
    record->display.displayMode = kDisplayCurrentLabel;
    record->display.form = form;
    record->form = form;
    record->tokens = static_cast<ExpressionToken*>(AllocMemory(sizeof(ExpressionToken), 0));
    if (!record->tokens) {
        InitMeasurementData(nullptr, &record->display);
        return false;
    }
    record->tokens[0] = 0;  // the digit 0
    record->count = 1;
    return true;
}

void ReleaseCalculationEditRecord(CalculationEditRecord* record) {
    if (!record) return;
    if (record->tokens) FreeMemory(record->tokens);
    record->tokens = nullptr;
    record->count = 0;
    InitMeasurementData(nullptr, &record->display);
}

int32_t InstallCalculationExpression(SketchObject* object, int32_t form, ExpressionToken* tokens, uint32_t count,
                                     SketchObject* const* parents, uint32_t parentCount, SketchObject* pinned) {
    CalculationData* c = CalculationDataOf(object);
    InfixExpression infix{form, count, tokens};
    CompiledExpression code{};
    ParentArray used{};
    const int32_t result = CompileExpression(&infix, parents, parentCount, pinned, &code, &used, nullptr);
    if (result != kCompileOK) return result;
    if (!ReplaceParents(object, used.items, used.count)) {
        FreeCompiledExpression(&code);
        FreeParentArray(&used);
        return kCompileNoMemory;
    }
    FreeParentArray(&used);
    if (c->infixTokens && c->infixTokens != tokens) FreeMemory(c->infixTokens);
    c->infixTokens = tokens;
    c->infixCount = count;
    c->form = form;
    FreeCompiledExpression(&c->compiled);
    c->compiled = code;
    ClearCallMemo(c);
    return kCompileOK;
}

int32_t InitCalculationData(SketchObject* object, void* parameter) {
    auto* record = static_cast<CalculationEditRecord*>(parameter);
    if (!object) {
        ReleaseCalculationEditRecord(record);
        return 1;
    }
    CalculationData* c = CalculationDataOf(object);
    if (!c) return 0;
    CalculationEditRecord made;
    if (!record) {
        // Made without a record: a calculation of 0.
        if (!InitFunctionEditRecord(&made, kFormCalculation)) return 0;
        record = &made;
    }
    c->form = record->form;
    c->infixCount = 0;
    c->infixTokens = nullptr;
    c->compiled = CompiledExpression{};
    ClearCallMemo(c);
    c->change = record->change;
    bool compiled = true;
    if (record->tokens) {
        ExpressionToken* tokens = record->tokens;
        record->tokens = nullptr;  // the object's from here, whatever the compile says
        c->infixTokens = tokens;
        c->infixCount = record->count;
        compiled = InstallAgainstOwnParents(object, record->form, tokens, record->count) == kCompileOK;
        if (compiled) SettleCalculationKind(object, false);
    }
    record->display.form = record->form;
    const int32_t measured = InitMeasurementData(object, &record->display);
    if (record == &made) ReleaseCalculationEditRecord(&made);
    return compiled && measured ? 1 : 0;
}

void FreeCalculationData(SketchObject* object) {
    CalculationData* c = CalculationDataOf(object);
    if (!c) return;
    FreeMeasurementData(object);
    if (c->infixTokens) FreeMemory(c->infixTokens);
    c->infixTokens = nullptr;
    c->infixCount = 0;
    FreeCompiledExpression(&c->compiled);
}

void CopyCalculationValue(const SketchObject* source, SketchObject* target) {
    target->exists = source->exists;
    if (!source->exists) return;
    ValueDisplayOf(target)->defined = ValueDisplayOf(source)->defined;
    ValueDisplayOf(target)->value = ValueDisplayOf(source)->value;
}

ResultCode FinishReadCalculation(SketchObject* object, bool keepKind) {
    CalculationData* c = CalculationDataOf(object);
    if (!c) return kCompileDamaged;
    const int32_t result = InstallAgainstOwnParents(object, c->form, c->infixTokens, c->infixCount);
    if (result == kCompileNoMemory) return kResultOutOfMemory;
    if (result != kCompileOK) return kCompileDamaged;
    SettleCalculationKind(object, keepKind);
    return kResultOK;
}

void UpdateFunctionLayout(SketchObject* object, SketchObject* const*) {
    CalculationData* c = CalculationDataOf(object);
    if (!c) return;
    c->callMemoValid = 0;
    ValueDisplay* d = &c->display;
    int32_t count = 0;
    void** slots = PtrListItems(d->caption.valueSlots, &count);
    if (d->busy || (count > 0 && slots[0])) return;
    if (count == 0) {
        if (!AllocCaptionSlots(object)) return;
        slots = PtrListItems(d->caption.valueSlots, &count);
        if (count == 0) return;
    }
    d->busy = 1;
    LayoutNode* layout = ExpandObjectTemplate(object, kFunctionLayoutTemplate);
    d->busy = 0;
    if (!layout) return;
    if (d->caption.layout) FreeLayoutNode(d->caption.layout);
    d->caption.layout = layout;
    slots = PtrListItems(d->caption.valueSlots, &count);
    slots[0] = kLayoutCurrent;
    RelayoutObjectText(object, true);
}

void UpdateFreeCalculation(SketchObject* object) {
    if (!CalculationDataOf(object)) return;
    // A function of no other object is made free, and updates as functions do.
    if (IsFunctionObject(object)) return UpdateFunctionLayout(object, nullptr);
    // Busy while its layout is built: naming it there may come back here.
    if (ValueDisplayOf(object)->busy) return;
    EvaluateCalculation(object, nullptr);
    if (!CanSkipValueText(object)) RelayoutValueDisplay(object);
}

namespace {

bool FunctionHasValue(const SketchObject*) { return true; }
int32_t FunctionPartCount(const SketchObject*) { return 3; }
void FunctionPartInfo(const SketchObject*, int32_t, int32_t* mayChange, int32_t* dropOnClear) {
    *mayChange = 0;
    *dropOnClear = 1;
}
LayoutNode* BuildFunctionPart(SketchObject* object, int32_t part, int32_t* flatten, int32_t* join,
                              int32_t* wrapStyled, TextStyle* style, int32_t* owned) {
    *flatten = part == 0 || part == 2;
    *join = 0;
    *wrapStyled = part == 1;
    *owned = part == 2;
    *style = ValueDisplayOf(object)->caption.style;
    if (part == 2) return BuildObjectLabelLayout(object, nullptr, false, false);
    return ValueDisplayOf(object)->caption.layout;
}

}  // namespace

const DisplayPartsOps* CalculationDisplayPartsOf(const SketchObject* object) {
    static const DisplayPartsOps ops = { FunctionHasValue, FunctionPartCount, FunctionPartInfo, BuildFunctionPart };
    if (IsFunctionObject(object)) return &ops;
    return MeasurementDisplayPartsOf(object);
}
