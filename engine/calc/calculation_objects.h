// Calculations, parameters, functions and derived functions (class 11): their creation
// record, class routines, the reading step that compiles a stored expression, and the
// update of function objects.
#pragma once
#include <cstdint>

#include "engine/calc/value_display.h"
#include "engine/core/result_codes.h"

// What creates a class-11 object: the value display, the expression (its tokens pass to
// the object) and the change settings of parameters, in the object's order.
struct CalculationEditRecord {
    ValueDisplayInit display;
    int32_t form;
    uint32_t count;
    ExpressionToken* tokens;
    ParameterChange change;
};

// The size a creation record is measured at, whatever the host's pointer size.
constexpr uint32_t kCalculationEditRecordBytes = 112;

// The record of a new calculation (form 4) or function: the expression "0". False when
// memory runs out (nothing is left to release then).
bool InitFunctionEditRecord(CalculationEditRecord* record, int32_t form);
// Releases what the record still owns.
void ReleaseCalculationEditRecord(CalculationEditRecord* record);

// Class routines of class 11. InitCalculationData takes a CalculationEditRecord; with a
// null object it only releases the record. A record without tokens (an object being
// read) leaves the expression to FinishReadCalculation.
int32_t InitCalculationData(SketchObject* object, void* record);
void FreeCalculationData(SketchObject* object);
void CopyCalculationValue(const SketchObject* source, SketchObject* target);
const DisplayPartsOps* CalculationDisplayPartsOf(const SketchObject* object);

// Compiles the object's own infix tokens against its parents, merging duplicate parents
// and installing the parents in order of first use. `keepKind` keeps the kind the object
// has (a page of a current-format document). 35 when the expression does not compile,
// 100 when memory runs out; nothing changes then.
ResultCode FinishReadCalculation(SketchObject* object, bool keepKind);

// Replaces the expression: compiles `tokens` (count, form) against `parents`, then on
// success installs the tokens (taken over), the code and the merged parent list. The
// pinned parent stays first (a derived function's source). The compile's result code.
int32_t InstallCalculationExpression(SketchObject* object, int32_t form, ExpressionToken* tokens, uint32_t count,
                                     SketchObject* const* parents, uint32_t parentCount, SketchObject* pinned);

void UpdateFunctionLayout(SketchObject* object, SketchObject* const* parents);
// The update of a free calculation (a parameter): its expression evaluated.
void UpdateFreeCalculation(SketchObject* object);
