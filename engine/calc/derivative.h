// Symbolic differentiation: an expression tree rewritten by a fixed table of rules
// (inline calls, differentiate, simplify, order terms and factors) until none applies,
// and written back as infix tokens. Bounded in passes, rule applications, nodes, depth
// and constants; whatever exceeds a bound is too complex.
#pragma once
#include <cstdint>

#include "engine/calc/expression_compiler.h"
#include "engine/core/result_codes.h"

constexpr ResultCode kDeriveTooComplex = 132;
constexpr ResultCode kDeriveInterrupted = 134;

// Polled at every node visit; true cancels the rewrite.
using DeriveCancelFn = bool (*)(void* user);
struct DeriveBusy {
    DeriveCancelFn cancelled;
    void* user;
};

// Kinds of derived functions.
constexpr int32_t kKindDerivedFunction = 57;
constexpr int32_t kKindExactDerivative = 58;
constexpr int32_t kKindApproximateDerivative = 59;

// The infix tokens of the derivative of `source` (a function object) in its form: exact
// by rewriting, or the central difference (f(x+0.005)-f(x-0.005))/0.01. The parents the
// tokens name start with the source; both outputs are the caller's (FreeMemory,
// FreeParentArray) on success and untouched otherwise. 0, 100, 132 or 134.
ResultCode BuildDerivativeExpression(InfixExpression* out, ParentArray* parents, SketchObject* source, bool exact,
                                     const DeriveBusy* busy);

// Gives a derived function (parent 0 its source) the exact or approximate definition
// and the kind that says which. A failure leaves it as it was.
ResultCode RederiveFunction(SketchObject* derived, bool exact, const DeriveBusy* busy);

// One step of the rewrite, to check the rule lists: the function's own definition
// after the first rule that applies at its top node on the visit after its operands (as
// it was when none applies), as infix tokens (the caller's, FreeMemory).
ResultCode RewriteFirstRule(SketchObject* function, InfixExpression* out);

// The token count of the postfix sub-expression ending at `last` (the index of its last
// token), or 0 when the code before it is too short.
uint32_t SubexpressionLength(const ExpressionToken* code, uint32_t last);

// Bounds of one rewrite.
constexpr uint32_t kMaxRewritePasses = 20000;
constexpr uint32_t kMaxApplicationsPerVisit = 300;
constexpr uint32_t kMaxRewriteApplications = 200000;
constexpr uint32_t kMaxRewriteVisits = 1000000;      // node visits of a whole rewrite
constexpr uint32_t kMaxSymbolicNodes = 1u << 16;   // nodes allocated, garbage included
constexpr uint32_t kMaxLiveNodes = 4000;           // nodes of the expression after a pass
constexpr uint32_t kMaxSymbolicDepth = 200;
constexpr uint32_t kMaxWrittenTokens = 8000;
constexpr uint32_t kMaxSymbolicConstants = 4095;
