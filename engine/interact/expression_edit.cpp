// Expression edits and their undo entry.
#include "engine/interact/expression_edit.h"

#include <cstring>
#include <vector>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/derivative.h"
#include "engine/calc/measurements.h"
#include "engine/core/alerts.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/derivative_command.h"
#include "engine/text/captions.h"
#include "engine/text/object_labels.h"
#include "engine/text/string_groups.h"

namespace {

constexpr uint16_t kUndoNameEdit = 16;
constexpr int32_t kAlertUnitsWarning = 126;

// Set only while ApplyEditedExpression carries its record out: a units change is told
// then, not again on undo and redo.
bool gFirstApplication = false;

using ExpressionItem = ExpressionEditItem;

uint32_t ItemCount(const UndoEntry& e) {
    uint32_t n = 0;
    if (e.length >= sizeof n) std::memcpy(&n, e.payload, sizeof n);
    const uint32_t room = (e.length - sizeof n) / sizeof(ExpressionItem);
    return n < room ? n : room;
}
// The payload need not be aligned for the items: they are copied out and back.
std::vector<ExpressionItem> LoadItems(const UndoEntry& e) {
    std::vector<ExpressionItem> items(ItemCount(e));
    if (!items.empty()) std::memcpy(items.data(), e.payload + sizeof(uint32_t), items.size() * sizeof(ExpressionItem));
    return items;
}
void StoreItems(const UndoEntry& e, const std::vector<ExpressionItem>& items) {
    if (!items.empty()) std::memcpy(e.payload + sizeof(uint32_t), items.data(), items.size() * sizeof(ExpressionItem));
}

void ExchangeFields(ExpressionItem* item) {
    SketchObject* o = item->object;
    CalculationData* c = CalculationDataOf(o);
    std::swap(o->parents, item->parents);
    std::swap(c->form, item->form);
    std::swap(c->infixCount, item->count);
    std::swap(c->infixTokens, item->tokens);
    std::swap(c->compiled, item->compiled);
    std::swap(o->objectKind, item->kind);
}

// Exchanges one item; false (nothing exchanged) when its new parents cannot be linked.
bool SwapItem(ExpressionItem* item) {
    SketchObject* o = item->object;
    AddObjectToDirtyRect(o);
    UnlinkFromParents(o);
    const PtrList old = o->parents;
    ExchangeFields(item);
    // SetObjectParents takes the list over: it stays the item's until linked.
    if (!SetObjectParents(o, o->parents)) {
        o->parents = 0;
        ExchangeFields(item);
        item->parents = 0;  // freed by the failed link
        SetObjectParents(o, old);
        return false;
    }
    if (o->constructionType != kTypeDerivative) {
        const bool function = IsFunctionForm(CalculationDataOf(o)->form);
        o->constructionType = o->parents ? (function ? kTypeFunction : kTypeCalculation) : kTypeFree;
    }
    CalculationDataOf(o)->callMemoValid = 0;
    ++o->generation;
    ClearValueSlots(o);
    return true;
}

bool UnitsDiffer(const CompiledExpression& a, const CompiledExpression& b) {
    if (a.unitsMismatch && b.unitsMismatch) return false;
    return a.angleExponent != b.angleExponent || a.distanceExponent != b.distanceExponent ||
           (a.unitsMismatch != 0) != (b.unitsMismatch != 0);
}

// Whether dependants that consume the value may act differently; the items hold the
// code the objects had before the swap.
bool UpdateEditedUnits(ExpressionItem* items, uint32_t n) {
    bool affected = false;
    for (uint32_t k = 0; k < n; ++k) {
        SketchObject* o = items[k].object;
        const CalculationData* c = CalculationDataOf(o);
        if (IsFunctionForm(c->form) || UnitsDiffer(c->compiled, items[k].compiled))
            affected = UpdateUnitsOfDependents(o) || affected;
        else
            SetCalculationKind(o);
    }
    return affected;
}

void RecomputeEdited(ExpressionItem* items, uint32_t n) {
    SketchObject* head = nullptr;
    for (uint32_t k = n; k-- > 0;) {
        items[k].object->tempLink = head;
        head = items[k].object;
    }
    CollectDependents(&head, false);
    for (SketchObject* o = head; o; o = o->tempLink) RecomputeAndRedrawObject(o);
}

void ReleaseItem(ExpressionItem* item) {
    FreePtrList(&item->parents);
    if (item->tokens) FreeMemory(item->tokens);
    item->tokens = nullptr;
    FreeCompiledExpression(&item->compiled);
}

bool ListOf(SketchObject* const* items, uint32_t count, PtrList* out) {
    *out = 0;
    if (count == 0) return true;
    if (!AllocPtrList(int32_t(count), int32_t(count), out)) return false;
    std::memcpy(PtrListData(*out), items, count * sizeof(SketchObject*));
    return true;
}

}  // namespace

ResultCode SwapExpressionUndo(const UndoEntry& e, int32_t direction) {
    std::vector<ExpressionItem> items = LoadItems(e);
    const uint32_t n = uint32_t(items.size());
    const bool forward = direction != kUndoDirectionUndo;
    for (uint32_t done = 0; done < n; ++done) {
        const uint32_t k = forward ? done : n - 1 - done;
        if (SwapItem(&items[k])) continue;
        // All or nothing: the items already exchanged go back.
        for (uint32_t back = done; back-- > 0;) SwapItem(&items[forward ? back : n - 1 - back]);
        StoreItems(e, items);
        return kResultOutOfMemory;
    }
    StoreItems(e, items);
    for (uint32_t k = 0; k < n; ++k) RecomputeObject(items[k].object, nullptr, true);
    const bool affected = UpdateEditedUnits(items.data(), n);
    RecomputeEdited(items.data(), n);
    SketchObject* first = items.empty() ? nullptr : items[0].object;
    // A function's head names its variable, and a value shown by its original name
    // shows the expression: what is named after them follows.
    if (first && (items[0].form != CalculationDataOf(first)->form || ValueDisplayOf(first)->displayMode == 0))
        PropagateLabelChange(first);
    if (first && first->exists == 1 && first->hidden == kShown && !IsSelected(first)) SelectSketchObject(first);
    if (affected && gFirstApplication) {
        FlushPendingRedraw(0);
        ShowAlertByCode(kAlertUnitsWarning, 0);
    }
    return kResultOK;
}

bool UpdateUnitsOfDependents(SketchObject* object) {
    CalculationData* c = CalculationDataOf(object);
    if (c && c->form == kFormCalculation) {
        const ExpressionUnitsInfo u = ExpressionUnits(object);
        ValueDisplayOf(object)->precision =
            DefaultPrecision(!u.mismatch && u.distanceExponent != 0, !u.mismatch && u.angleExponent != 0, false);
        SetCalculationKind(object);
        ClearValueSlots(object);
    }
    bool affected = false;
    int32_t n = 0;
    void** children = PtrListItems(object->children, &n);
    std::vector<SketchObject*> list;
    for (int32_t k = 0; k < n; ++k) list.push_back(static_cast<SketchObject*>(children[k]));  // the visit may change the list
    for (SketchObject* child : list) {
        CalculationData* cc = CalculationDataOf(child);
        if (cc && cc->form == kFormCalculation && child->constructionType != kTypeFree) {
            const CompiledExpression before = cc->compiled;
            InferExpressionUnits(&cc->compiled, ParentItemsOf(child), ParentCountOf(child), nullptr);
            if (UnitsDiffer(before, cc->compiled)) affected = UpdateUnitsOfDependents(child) || affected;
            else SetCalculationKind(child);
        } else if (cc && KindIsA(child->objectKind, kKindFunction)) {
            affected = UpdateUnitsOfDependents(child) || affected;
        } else if (ConstructionTypeTable[child->constructionType].flags & kTypeConsumesValue) {
            affected = true;
        }
    }
    return affected;
}

void FreeExpressionUndoRecord(const UndoEntry& e) {
    std::vector<ExpressionItem> items = LoadItems(e);
    for (ExpressionItem& item : items) ReleaseItem(&item);
    StoreItems(e, items);
}

SketchObject** CollectDerivedFunctions(SketchObject* function, uint32_t* count) {
    std::vector<SketchObject*> found;
    std::vector<SketchObject*> sources = {function};
    for (size_t s = 0; s < sources.size(); ++s) {
        int32_t n = 0;
        void** children = PtrListItems(sources[s]->children, &n);
        for (int32_t k = 0; k < n; ++k) {
            auto* child = static_cast<SketchObject*>(children[k]);
            if (!CalculationDataOf(child)) continue;
            const bool derived = KindIsA(child->objectKind, kKindDerivedFunction);
            if (!derived && !KindIsA(child->objectKind, kKindFunction)) continue;
            bool seen = false;
            for (SketchObject* f : sources) seen = seen || f == child;
            if (seen) continue;
            sources.push_back(child);
            if (derived && ParentCountOf(child) && ParentItemsOf(child)[0] == sources[s]) found.push_back(child);
        }
    }
    *count = uint32_t(found.size());
    if (found.empty()) return nullptr;
    auto** out = static_cast<SketchObject**>(AllocMemory(found.size() * sizeof(SketchObject*), 0));
    if (!out) {
        *count = 0;
        return nullptr;
    }
    std::memcpy(out, found.data(), found.size() * sizeof(SketchObject*));
    return out;
}

ResultCode ApplyEditedExpression(SketchObject* object, const ParentArray* parents, InfixExpression* record,
                                 CompiledExpression* compiled) {
    uint32_t derivedCount = 0;
    SketchObject** derived = nullptr;
    if (IsFunctionForm(record->form)) derived = CollectDerivedFunctions(object, &derivedCount);
    const uint32_t n = 1 + derivedCount;
    std::vector<ExpressionItem> items(n, ExpressionItem{});
    bool ok = ListOf(parents->items, parents->count, &items[0].parents);
    items[0] = {object, items[0].parents, record->form, record->count, record->tokens, *compiled, object->objectKind};
    // Derived functions take the approximate definition now, which needs nothing of
    // their source's new code, and the exact one once the edit is in effect.
    for (uint32_t k = 0; k < derivedCount && ok; ++k) {
        SketchObject* source = ParentItemsOf(derived[k])[0];
        InfixExpression approximate{};
        ParentArray used{};
        ok = BuildDerivativeExpression(&approximate, &used, source, false, nullptr) == kResultOK;
        if (!ok) break;
        ExpressionItem& item = items[1 + k];
        item = {derived[k], 0, approximate.form, approximate.count, approximate.tokens, {}, kKindApproximateDerivative};
        ParentArray pinned{};
        ok = CompileExpression(&approximate, used.items, used.count, source, &item.compiled, &pinned, nullptr) ==
             kCompileOK;
        FreeParentArray(&used);
        if (ok) ok = ListOf(pinned.items, pinned.count, &item.parents);
        FreeParentArray(&pinned);
    }
    UndoRecord* undo = nullptr;
    uint8_t* cursor = nullptr;
    const uint32_t bytes = uint32_t(sizeof(uint32_t) + n * sizeof(ExpressionItem));
    // A function changing form has its plots resampled for the new form in the same step.
    const bool formChanged = CalculationDataOf(object)->form != record->form;
    uint32_t plotBytes = 0;
    const int32_t plots = formChanged ? SampleLociOfObject(object, record->form, nullptr, &plotBytes) : 0;
    if (ok) {
        const UndoDescriptor name = {kUndoNameEdit, int16_t(KindNounItem(object->objectKind, kNounSingular)), 0, nullptr};
        undo = UndoRecordCreate(&name, 1 + plots, bytes + plotBytes, &cursor);
    }
    if (!undo) {
        // The caller keeps its tokens and code; what was made here goes.
        items[0].tokens = nullptr;
        items[0].compiled = CompiledExpression{};
        for (ExpressionItem& item : items) ReleaseItem(&item);
        if (derived) FreeMemory(derived);
        return kResultOutOfMemory;
    }
    UndoPutEntryHead(&cursor, kUndoEntryExpressionEdit, bytes);
    std::memcpy(cursor, &n, sizeof n);
    std::memcpy(cursor + sizeof n, items.data(), n * sizeof(ExpressionItem));
    cursor += bytes;
    if (plots) SampleLociOfObject(object, record->form, &cursor, nullptr);
    record->tokens = nullptr;
    *compiled = CompiledExpression{};
    gFirstApplication = true;
    const ResultCode rc = UndoRecordCommit(undo, true);
    gFirstApplication = false;
    if (rc == kResultOK && derivedCount) RebuildDerivatives(derived, derivedCount, true);
    if (derived) FreeMemory(derived);
    return rc;
}

int32_t ApplyEditedExpressionTokens(SketchObject* object, int32_t form, uint16_t* tokens, uint32_t count) {
    InfixExpression record{form, count, tokens};
    CompiledExpression code{};
    ParentArray used{};
    int32_t rc = CompileExpression(&record, ParentItemsOf(object), ParentCountOf(object), nullptr, &code, &used, nullptr);
    if (rc == kCompileOK) rc = ApplyEditedExpression(object, &used, &record, &code);
    FreeParentArray(&used);
    FreeCompiledExpression(&code);
    if (record.tokens) FreeMemory(record.tokens);
    return rc;
}
