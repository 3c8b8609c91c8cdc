// The stack machine that computes a value from postfix code.
//
// Undefined is an outcome, not an error: a NaN anywhere stays undefined to the end, and
// the few rules that could turn a NaN into a number (x^0, 1^x, sgn) are held to that.
#include <cmath>

#include "engine/calc/expression_tokens.h"
#include "engine/calc/value_objects.h"
#include "engine/core/memory.h"

namespace {

// Function objects call one another through their parents, which a sound sketch keeps
// acyclic; the depth cap only guards against damaged data.
constexpr int kMaxCallDepth = 64;

// Quarter turns in degree sketches give exact sines and cosines (cos 90 is 0, not 6e-17).
bool ExactQuarterTurn(double t, int32_t unit, double* s, double* c) {
    if (unit != 1 && unit != 2) return false;
    if (t == 90)  { *s = 1;  *c = 0;  return true; }
    if (t == -90) { *s = -1; *c = 0;  return true; }
    if (t == 180) { *s = 0;  *c = -1; return true; }
    return false;
}

// Applies function f to t; false when the expression becomes undefined at once.
bool ApplyFunction(uint32_t f, double* t) {
    double v = *t;
    int32_t unit = CurrentSketchAngleUnit();
    switch (f) {
    case kFnSin:
    case kFnCos: {
        double s, c;
        if (!ExactQuarterTurn(v, unit, &s, &c)) {
            double r = AngleToRadians(&v, unit);
            s = std::sin(r);
            c = std::cos(r);
        }
        *t = f == kFnSin ? s : c;
        return true;
    }
    case kFnTan: {
        double r = AngleToRadians(&v, unit);
        *t = std::tan(r);
        return true;
    }
    case kFnArcsin:
    case kFnArccos:
    case kFnArctan: {
        double r = f == kFnArcsin ? std::asin(v) : f == kFnArccos ? std::acos(v) : std::atan(v);
        *t = RadiansToAngleUnits(&r, true);
        return true;
    }
    case kFnAbs: *t = std::fabs(v); return true;
    case kFnSqrt:
        if (!(v >= 0)) return false;
        *t = std::sqrt(v);
        return true;
    case kFnLn:
    case kFnLog:
        if (!(v >= 0)) return false;
        *t = f == kFnLn ? std::log(v) : std::log10(v);  // 0 gives minus infinity, a value
        return true;
    case kFnSgn:
        if (std::isnan(v) || v == 0) return true;  // an undefined sign stays undefined
        *t = v > 0 ? 1 : -1;
        return true;
    case kFnRound: *t = std::floor(v + 0.5); return true;
    case kFnTrunc: *t = v >= 0 ? std::floor(v) : -std::floor(-v); return true;
    default: return true;  // unknown codes are skipped
    }
}

// "^" with the rules for negative bases; false when the power is undefined.
bool Power(double base, double exponent, double* out) {
    if (std::isnan(base) || std::isnan(exponent)) {
        // pow(NaN, 0) and pow(1, NaN) are 1 in C; an undefined operand stays undefined.
        *out = NAN;
        return true;
    }
    if (base >= 0 || std::floor(exponent) == exponent) {
        *out = std::pow(base, exponent);
        return true;
    }
    return OddRootOfNegative(base, exponent, out) != 0;
}

int Evaluate(const CompiledExpression* code, SketchObject* const* parents, uint32_t parentCount,
             double* out, int depth);

bool CallFunction(SketchObject* target, double* top, int depth) {
    CalculationData* f = CalculationDataOf(target);
    // A call needs a function object whose pool holds the variable's slot.
    if (!f || !IsFunctionForm(f->form) || !f->compiled.pool || f->compiled.constantCount == 0)
        return false;
    double a = *top;
    if (std::isnan(a)) return false;  // a function of an undefined argument is undefined
    if (f->callMemoValid && a == f->callMemoArgument) {
        if (!f->callMemoDefined) return false;
        *top = f->callMemoResult;
        return true;
    }
    f->callMemoValid = 1;
    f->callMemoArgument = a;
    f->compiled.pool[0] = a;
    double result;
    if (!Evaluate(&f->compiled, ParentItemsOf(target), ParentCountOf(target), &result, depth + 1)) {
        f->callMemoDefined = 0;
        return false;
    }
    f->callMemoDefined = 1;
    f->callMemoResult = result;
    *top = result;
    return true;
}

int Evaluate(const CompiledExpression* code, SketchObject* const* parents, uint32_t parentCount,
             double* out, int depth) {
    if (!code || depth > kMaxCallDepth) return 0;
    double stack[kExpressionStackDepth];
    uint32_t sp = 0;  // number of entries
    for (uint32_t n = 0; n < code->tokenCount; ++n) {
        ExpressionToken t = code->tokens[n];
        uint32_t k = TokenIndex(t);
        switch (TokenClass(t)) {
        case kClassConstant:
        case kClassAngleConst:
        case kClassDistanceConst: {
            if (k >= code->constantCount || sp >= kExpressionStackDepth) return 0;
            double v = code->pool[k];
            if (TokenClass(t) == kClassAngleConst) v = RadiansToAngleUnits(&v, true);
            else if (TokenClass(t) == kClassDistanceConst) v = ToDistanceUnits(&v);
            stack[sp++] = v;
            break;
        }
        case kClassParentValue: {
            if (k >= parentCount || sp >= kExpressionStackDepth) return 0;
            const SketchObject* p = parents[k];
            if (!HasValueDisplay(p)) return 0;
            const ValueDisplay* d = ValueDisplayOf(p);
            if (!d->defined) return 0;
            stack[sp++] = d->value;
            break;
        }
        case kClassOperator: {
            if (k > kOpNegate) break;  // the end marker and unknown codes are skipped
            if (k == kOpNegate) {
                if (sp < 1) return 0;
                stack[sp - 1] = -stack[sp - 1];
                break;
            }
            if (sp < 2) return 0;
            double l = stack[sp - 2], r = stack[sp - 1];
            double v;
            switch (k) {
            case kOpAdd: v = l + r; break;
            case kOpSubtract: v = l - r; break;
            case kOpMultiply: v = l * r; break;
            case kOpDivide: v = l / r; break;
            default:
                if (!Power(l, r, &v)) return 0;
                break;
            }
            --sp;
            stack[sp - 1] = v;
            break;
        }
        case kClassFunction:
            if (sp < 1) return 0;
            if (!ApplyFunction(k, &stack[sp - 1])) return 0;
            break;
        case kClassFunctionCall:
            if (sp < 1 || k >= parentCount) return 0;
            if (!CallFunction(parents[k], &stack[sp - 1], depth)) return 0;
            break;
        default:
            return 0;
        }
    }
    if (sp < 1 || std::isnan(stack[sp - 1])) return 0;
    *out = stack[sp - 1];
    return 1;
}

}  // namespace

int EvaluateExpression(const CompiledExpression* code, SketchObject* const* parents,
                       uint32_t parentCount, double* out) {
    return Evaluate(code, parents, parentCount, out, 0);
}

int OddRootOfNegative(double base, double exponent, double* result) {
    static const int kOddRoots[] = {3, 5, 7, 9, 11};
    for (int q : kOddRoots) {
        double s = std::fabs(q * exponent) + 1e-13;
        if (s - std::floor(s) <= 2e-13) {
            double n = std::floor(s);
            double m = std::pow(std::fabs(base), exponent);
            *result = std::fmod(n, 2.0) != 0 ? -m : m;
            return 1;
        }
    }
    return 0;
}

void FreeCompiledExpression(CompiledExpression* code) {
    if (!code) return;
    if (code->tokens) FreeMemory(code->tokens);
    if (code->pool) FreeMemory(code->pool);
    code->tokens = nullptr;
    code->pool = nullptr;
    code->tokenCount = 0;
    code->constantCount = 0;
}
