// The token language of expressions: the infix keys the calculator edits, the postfix
// code the compiler produces, and the evaluator that runs it.
#pragma once
#include <cstdint>

#include "engine/calc/standin_engine.h"

using ExpressionToken = uint16_t;

// Infix keys (below 0x1000). Digits are their own value.
constexpr ExpressionToken kTokenDecimalPoint = 10;
constexpr ExpressionToken kTokenOpen         = 11;
constexpr ExpressionToken kTokenClose        = 12;  // also closes a function or a call
constexpr ExpressionToken kTokenPi           = 13;
constexpr ExpressionToken kTokenE            = 14;
constexpr ExpressionToken kTokenVariable     = 15;
constexpr ExpressionToken kTokenAngleUnit    = 256;  // + angle unit of the literal before it
constexpr ExpressionToken kTokenDistanceUnit = 512;  // + distance unit of the literal before it

// Token classes (top four bits); the low twelve bits are a code or an index.
constexpr ExpressionToken kTokenClassMask     = 0xF000;
constexpr ExpressionToken kTokenIndexMask     = 0x0FFF;
constexpr ExpressionToken kClassOperator      = 0x1000;
constexpr ExpressionToken kClassFunction      = 0x2000;
constexpr ExpressionToken kClassConstant      = 0x3000;  // pool entry, plain number
constexpr ExpressionToken kClassAngleConst    = 0x4000;  // pool entry held in radians
constexpr ExpressionToken kClassDistanceConst = 0x5000;  // pool entry held in pixels
constexpr ExpressionToken kClassParentValue   = 0x6000;
constexpr ExpressionToken kClassFunctionCall  = 0x7000;

inline ExpressionToken TokenClass(ExpressionToken t) { return t & kTokenClassMask; }
inline uint32_t TokenIndex(ExpressionToken t) { return t & kTokenIndexMask; }

// A 12-bit index can address this many pool entries or parents.
constexpr uint32_t kMaxExpressionIndex = 0x1000;

enum OperatorCode : uint16_t {
    kOpAdd = 0, kOpSubtract = 1, kOpMultiply = 2, kOpDivide = 3, kOpPower = 4,
    kOpNegate = 5, kOpEnd = 6,  // the end marker lives only inside the compiler
};

enum FunctionCode : uint16_t {
    kFnSin = 0, kFnCos, kFnTan, kFnArcsin, kFnArccos, kFnArctan, kFnAbs, kFnSqrt,
    kFnLn, kFnLog, kFnSgn, kFnRound, kFnTrunc,
};
constexpr uint16_t kFunctionCount = 13;

enum ExpressionForm : int32_t {
    kFormYofX = 0, kFormXofY = 1, kFormRofTheta = 2, kFormThetaOfR = 3, kFormCalculation = 4,
};
inline bool IsFunctionForm(int32_t form) { return form >= 0 && form <= 3; }

// Postfix code with its constant pool. In a function's pool constant 0 is the variable:
// a call stores its argument there before running the code.
struct CompiledExpression {
    ExpressionToken* tokens;   // owned; null when empty
    double* pool;              // owned; null when there are no constants
    uint32_t tokenCount;
    uint32_t constantCount;
    int32_t angleExponent;
    int32_t distanceExponent;
    uint32_t unitsMismatch;
};

// The edited (infix) form of an expression.
struct InfixExpression {
    int32_t form;
    uint32_t count;
    ExpressionToken* tokens;  // owned by whoever holds the record
};

// Room of the evaluator's and the unit inference's stacks; the compiler's nesting limit
// keeps its code within it.
constexpr uint32_t kExpressionStackDepth = 25;

// Runs the code with the owner's parents; 1 defined (value written), 0 undefined.
int EvaluateExpression(const CompiledExpression* code, SketchObject* const* parents,
                       uint32_t parentCount, double* out);
int OddRootOfNegative(double base, double exponent, double* result);
void FreeCompiledExpression(CompiledExpression* code);
