// The undoable replacement of an expression: one undo entry holds the edited object and
// every derived function below it, each with the parents, form, tokens, code and kind
// it exchanges with the object on undo and redo.
#pragma once
#include <cstdint>

#include "engine/calc/expression_compiler.h"
#include "engine/core/ptr_list.h"
#include "engine/interact/undo.h"

// Commits the edit as one undoable step: `parents` (the items of the new parent list),
// the record's tokens and the compiled code pass to the undo record, which carries the
// edit out at once; derived functions below an edited function take the approximate
// definition in the same step and are made exact after it. 100 when memory runs out
// (nothing changed; the tokens and code are then the caller's again).
ResultCode ApplyEditedExpression(SketchObject* object, const ParentArray* parents, InfixExpression* record,
                                 CompiledExpression* compiled);

// The derived functions below a function, derivatives of derivatives after their
// sources; the caller frees the array.
SketchObject** CollectDerivedFunctions(SketchObject* function, uint32_t* count);

// One item of entry 16, after its u32 count: what the object has while the item is not
// in effect.
struct ExpressionEditItem {
    SketchObject* object;
    PtrList parents;
    int32_t form;
    uint32_t count;
    ExpressionToken* tokens;
    CompiledExpression compiled;
    int32_t kind;
};

// After a calculation's units changed: its kind and value display again, and every
// calculation and function that depends on it through others. True when an object that
// consumes a value (a translation by it, say) depends on it.
bool UpdateUnitsOfDependents(SketchObject* object);

// Handlers of undo entry 16: all or nothing; 100 when the parents cannot be linked.
ResultCode SwapExpressionUndo(const UndoEntry& entry, int32_t direction);
void FreeExpressionUndoRecord(const UndoEntry& entry);
