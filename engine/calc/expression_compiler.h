// Compiling infix expressions to postfix code, unit inference, the kinds of
// calculations, and the plain-text form of expressions.
#pragma once
#include <cstdint>

#include "engine/calc/expression_tokens.h"
#include "engine/core/result_codes.h"

enum CompileResult : int32_t {
    kCompileOK = 0,
    kCompileUnclosed = 1,       // an opening, function or call left open
    kCompileUnmatchedClose = 2,
    kCompileIncomplete = 3,     // the expression ends where an operand is expected
    kCompileSyntax = 4,
    kCompileNoMemory = 5,
    kCompileEmpty = 6,
    kCompileTooDeep = 7,        // the operator stack reached its 25 entries
    // A stored expression that points outside what it carries (a parent beyond the
    // list, more constants than an index can address, a variable in a calculation, an
    // unknown form): refused like any other damaged record.
    kCompileDamaged = 35,
};

// Operator classes of the precedence table.
enum OperatorClassCode : int32_t {
    kOpClassOpen = 7,   // "(", functions and calls
    kOpClassClose = 8,  // ")"
};

// A list of parent objects owned by the caller once handed back (AllocMemory'd items).
struct ParentArray {
    SketchObject** items;
    uint32_t count;
};
void FreeParentArray(ParentArray* list);

// Compiles `infix` against the owner's current parents. With `out` and `newParents` both
// null it only checks the syntax. On success with output, `newParents` holds the parents
// used, in order of first use (the pinned first parent, when given, at index 0), and the
// value and call tokens of `infix` are renumbered to it; on failure nothing is changed.
int32_t CompileExpression(InfixExpression* infix, SketchObject* const* parents, uint32_t parentCount,
                          SketchObject* pinnedFirst, CompiledExpression* out, ParentArray* newParents,
                          uint32_t* errorPosition);

// Reads `count` little-endian tokens of a stored expression from the `length` bytes that
// follow its header into a new array. A count beyond the bytes present is a damaged
// record (35) and nothing is allocated; 100 when memory runs out.
ResultCode ReadStoredExpressionTokens(const uint8_t* bytes, uint32_t length, uint32_t count,
                                      ExpressionToken** tokens);

bool ScanNumberLiteral(const ExpressionToken* tokens, uint32_t remaining, uint32_t* length,
                       ExpressionToken* tokenClass, double* value, bool* symbolic);
// Writes the implicit products into the list; false (list untouched) when memory fails.
bool InsertImplicitProducts(InfixExpression* infix);
bool IsOperandStart(ExpressionToken t);
bool IsOperatorOrClose(ExpressionToken t);
// Class 0..8 of the precedence table, or -1 for a token that has none.
int32_t OperatorClass(ExpressionToken t);
bool OperatorBindsTighter(ExpressionToken a, ExpressionToken b);

struct ExpressionUnitsInfo {
    int32_t distanceExponent;
    int32_t angleExponent;
    uint32_t mismatch;
};
void InferExpressionUnits(CompiledExpression* code, SketchObject* const* parents, uint32_t parentCount,
                          const ExpressionUnitsInfo* variableUnits);
ExpressionUnitsInfo ExpressionUnits(const SketchObject* calculation);
void SetCalculationKind(SketchObject* calculation);

// Text form. Each writes at most `size` bytes including the terminating zero.
void TokenText(ExpressionToken t, int32_t form, char* buffer, uint32_t size, bool addParenthesis);
void FunctionHeadText(const SketchObject* function, int32_t mode, char* buffer, uint32_t size);
bool NeedsParentheses(const char* label);
// Length of the whole text including its zero; with a null buffer only measures.
uint32_t ExpressionToText(const SketchObject* object, uint32_t size, char* buffer, bool bareExpression);
