// Unit inference over postfix code, the kinds of calculations that follow from their
// units, and the recognition of parameters.
#include "engine/calc/expression_compiler.h"
#include "engine/calc/measurements.h"
#include "engine/core/object_tables.h"

namespace {

constexpr int kMaxInferDepth = 64;

struct UnitEntry {
    int32_t angle;
    int32_t distance;
    uint32_t mismatch;
};

bool HasUnits(const UnitEntry& e) { return e.angle != 0 || e.distance != 0 || e.mismatch != 0; }

// Exponents are small in any sensible expression; one that would leave this range (a
// length to the power 10^9, twice) is taken as a units mismatch rather than overflowing.
constexpr int64_t kExponentLimit = int64_t(1) << 30;

UnitEntry Exponents(int64_t angle, int64_t distance, uint32_t mismatch, const UnitEntry& fallback) {
    if (angle > kExponentLimit || angle < -kExponentLimit || distance > kExponentLimit || distance < -kExponentLimit)
        return {fallback.angle, fallback.distance, 1};
    return {int32_t(angle), int32_t(distance), mismatch};
}

UnitEntry Infer(CompiledExpression* code, SketchObject* const* parents, uint32_t parentCount,
                const UnitEntry* variable, int depth);

UnitEntry InferCall(SketchObject* target, const UnitEntry& argument, int depth) {
    CalculationData* f = CalculationDataOf(target);
    if (!f || depth > kMaxInferDepth) return {0, 0, 1};
    UnitEntry r = Infer(&f->compiled, ParentItemsOf(target), ParentCountOf(target), &argument, depth + 1);
    f->compiled.angleExponent = r.angle;
    f->compiled.distanceExponent = r.distance;
    f->compiled.unitsMismatch = r.mismatch;
    return r;
}

UnitEntry Infer(CompiledExpression* code, SketchObject* const* parents, uint32_t parentCount,
                const UnitEntry* variable, int depth) {
    UnitEntry stack[kExpressionStackDepth];
    uint32_t sp = 0;
    const UnitEntry kBroken = {0, 0, 1};
    // Index of the token that pushed an integer constant, usable as an exponent by the
    // "^" right after it.
    uint32_t integerAt = UINT32_MAX;
    double integerValue = 0;
    for (uint32_t n = 0; n < code->tokenCount; ++n) {
        ExpressionToken t = code->tokens[n];
        uint32_t k = TokenIndex(t);
        switch (TokenClass(t)) {
        case kClassConstant:
            if (sp >= kExpressionStackDepth) return kBroken;
            if (k == 0 && variable) {
                stack[sp++] = *variable;
            } else {
                stack[sp++] = {0, 0, 0};
                if (k < code->constantCount) {
                    double v = code->pool[k];
                    if (v > -1073741823.0 && v < 1073741823.0 && v == static_cast<double>(static_cast<int32_t>(v))) {
                        integerAt = n;
                        integerValue = v;
                    }
                }
            }
            break;
        case kClassAngleConst:
            if (sp >= kExpressionStackDepth) return kBroken;
            stack[sp++] = {1, 0, 0};
            break;
        case kClassDistanceConst:
            if (sp >= kExpressionStackDepth) return kBroken;
            stack[sp++] = {0, 1, 0};
            break;
        case kClassParentValue: {
            if (sp >= kExpressionStackDepth) return kBroken;
            if (k >= parentCount) {
                stack[sp++] = kBroken;
                break;
            }
            ExpressionUnitsInfo u = MeasurementUnits(parents[k]);
            stack[sp++] = {u.angleExponent, u.distanceExponent, u.mismatch};
            break;
        }
        case kClassFunctionCall:
            if (sp < 1) return kBroken;
            stack[sp - 1] = k < parentCount ? InferCall(parents[k], stack[sp - 1], depth) : kBroken;
            break;
        case kClassOperator: {
            if (k >= kOpNegate) break;  // negation keeps its operand; the end marker is skipped
            if (sp < 2) return kBroken;
            UnitEntry l = stack[sp - 2], r = stack[sp - 1];
            UnitEntry v = l;
            switch (k) {
            case kOpAdd:
            case kOpSubtract:
                v.mismatch = (l.angle != r.angle || l.distance != r.distance) ? 1 : (l.mismatch | r.mismatch);
                break;
            case kOpMultiply:
                v = Exponents(int64_t(l.angle) + r.angle, int64_t(l.distance) + r.distance, l.mismatch | r.mismatch, l);
                break;
            case kOpDivide:
                v = Exponents(int64_t(l.angle) - r.angle, int64_t(l.distance) - r.distance, l.mismatch | r.mismatch, l);
                break;
            default:  // "^"
                if (integerAt + 1 == n) {
                    int64_t e = static_cast<int64_t>(integerValue);
                    v = Exponents(l.angle * e, l.distance * e, l.mismatch, l);
                } else {
                    v.mismatch = HasUnits(l) || HasUnits(r) ? 1 : 0;
                }
                break;
            }
            --sp;
            stack[sp - 1] = v;
            break;
        }
        case kClassFunction: {
            if (sp < 1) return kBroken;
            UnitEntry& e = stack[sp - 1];
            switch (k) {
            case kFnSin: case kFnCos: case kFnTan: case kFnSgn:
                e = {0, 0, 0};
                break;
            case kFnArcsin: case kFnArccos: case kFnArctan:
                e = {1, 0, 0};
                break;
            case kFnSqrt:
                if (e.angle % 2 == 0 && e.distance % 2 == 0) {
                    e.angle /= 2;
                    e.distance /= 2;
                } else {
                    e.mismatch = 1;
                }
                break;
            case kFnLn: case kFnLog:
                if (e.angle != 0 || e.distance != 0) e.mismatch = 1;
                break;
            default:  // abs, round, trunc
                break;
            }
            break;
        }
        default:
            return kBroken;
        }
    }
    return sp >= 1 ? stack[sp - 1] : kBroken;
}

}  // namespace

void InferExpressionUnits(CompiledExpression* code, SketchObject* const* parents, uint32_t parentCount,
                          const ExpressionUnitsInfo* variableUnits) {
    if (!code) return;
    UnitEntry variable{};
    if (variableUnits) variable = {variableUnits->angleExponent, variableUnits->distanceExponent,
                                   variableUnits->mismatch};
    UnitEntry r = Infer(code, parents, parentCount, variableUnits ? &variable : nullptr, 0);
    code->angleExponent = r.angle;
    code->distanceExponent = r.distance;
    code->unitsMismatch = r.mismatch;
}

ExpressionUnitsInfo ExpressionUnits(const SketchObject* calculation) {
    const CalculationData* c = CalculationDataOf(calculation);
    if (!c) return {0, 0, 0};
    return {c->compiled.distanceExponent, c->compiled.angleExponent, c->compiled.unitsMismatch};
}

void SetCalculationKind(SketchObject* calculation) {
    const CalculationData* c = CalculationDataOf(calculation);
    if (!c) return;
    const bool parameter = IsParameterExpression(calculation);
    int32_t kind = parameter ? kKindPlainParameter : kKindPlainCalculation;
    const CompiledExpression& u = c->compiled;
    if (!u.unitsMismatch) {
        if (u.angleExponent == 1 && u.distanceExponent == 0)
            kind = parameter ? kKindAngleParameter : kKindAngleMeasurement;
        else if (u.distanceExponent == 1 && u.angleExponent == 0)
            kind = parameter ? kKindDistanceParameter : kKindDistanceMeasurement;
        else if (u.distanceExponent == 2 && u.angleExponent == 0)
            kind = kKindAreaMeasurement;
    }
    calculation->objectKind = kind;
}

bool IsParameterExpression(const SketchObject* object) {
    const CalculationData* c = CalculationDataOf(object);
    if (!c || c->form != kFormCalculation) return false;
    const ExpressionToken* t = c->compiled.tokens;
    uint32_t n = c->compiled.tokenCount;
    if (!t || n == 0) return false;
    ExpressionToken first = TokenClass(t[0]);
    if (first != kClassConstant && first != kClassAngleConst && first != kClassDistanceConst) return false;
    uint32_t used = 1;
    // The scientific form: mantissa * (ten ^ exponent). It is known by its shape: the
    // pool shares equal constants, so 9e9 or 1e10 reuse slots.
    if (n >= 5 && TokenClass(t[1]) == kClassConstant && TokenClass(t[2]) == kClassConstant &&
        t[3] == (kClassOperator | kOpPower) && t[4] == (kClassOperator | kOpMultiply))
        used = 5;
    if (used < n && t[used] == (kClassOperator | kOpNegate)) ++used;
    return used == n;
}

bool IsParameter(const SketchObject* object) {
    if (!object) return false;
    return KindIsA(object->objectKind, kKindPlainParameter) || KindIsA(object->objectKind, kKindDistanceParameter) ||
           KindIsA(object->objectKind, kKindAngleParameter);
}

double CalculationValue(const SketchObject* calculation) {
    return HasValueDisplay(calculation) ? ValueDisplayOf(calculation)->value : 0;
}
