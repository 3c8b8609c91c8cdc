// Operator-precedence compiler from the edited (infix) tokens to postfix code.
#include "engine/calc/expression_compiler.h"

#include <cstring>

#include "engine/core/memory.h"

namespace {

constexpr ExpressionToken kTokenMinus    = kClassOperator | kOpSubtract;
constexpr ExpressionToken kTokenTimes    = kClassOperator | kOpMultiply;
constexpr ExpressionToken kTokenNegation = kClassOperator | kOpNegate;
constexpr ExpressionToken kTokenEnd      = kClassOperator | kOpEnd;

constexpr double kLiteralPi = 3.1415926535898;
constexpr double kLiteralE  = 2.7182818284591;

enum Action : uint8_t { R, S, M, D, E1, E2 };

// Rows: class of the incoming token; columns: class of the operator-stack top.
const uint8_t kPrecedence[9][8] = {
    //  +   -   *   /   ^  neg bottom (
    {   R,  R,  R,  R,  R,  R,  S,  S  },  // +
    {   R,  R,  R,  R,  R,  R,  S,  S  },  // -
    {   S,  S,  R,  R,  R,  R,  S,  S  },  // *
    {   S,  S,  R,  R,  R,  R,  S,  S  },  // /
    {   S,  S,  S,  S,  S,  S,  S,  S  },  // ^
    {   S,  S,  S,  S,  R,  R,  S,  S  },  // neg
    {   R,  R,  R,  R,  R,  R,  D,  E1 },  // end
    {   R,  R,  R,  R,  R,  R,  S,  M  },  // (
    {   R,  R,  R,  R,  R,  R,  E2, M  },  // )
};

struct Compiler {
    InfixExpression* infix;
    SketchObject* const* parents;
    uint32_t parentCount;
    bool output;
    bool renumber;

    ExpressionToken* code = nullptr;
    uint32_t codeCount = 0;
    double* pool = nullptr;
    uint32_t poolCount = 0;
    uint32_t poolFirst = 0;  // first entry a literal may share (1 in a function's pool)

    ExpressionToken stack[kExpressionStackDepth];
    uint32_t depth = 0;

    SketchObject** newItems = nullptr;
    uint32_t newCount = 0;
    int32_t* remap = nullptr;  // old parent index -> new index, -1 until first use

    void Release() {
        if (code) FreeMemory(code);
        if (pool) FreeMemory(pool);
        if (newItems) FreeMemory(newItems);
        if (remap) FreeMemory(remap);
        code = nullptr;
        pool = nullptr;
        newItems = nullptr;
        remap = nullptr;
    }

    void Emit(ExpressionToken t) {
        if (output) code[codeCount++] = t;
    }

    // Checks a value or call token and, with output, maps it to the new numbering.
    int32_t Renumber(ExpressionToken t, ExpressionToken* mapped) {
        uint32_t old = TokenIndex(t);
        *mapped = t;
        if (parents == nullptr && !output) return kCompileOK;  // a bare syntax check
        if (old >= parentCount || parents[old] == nullptr) return kCompileDamaged;
        if (!renumber) return kCompileOK;
        if (remap[old] < 0) {
            SketchObject* o = parents[old];
            uint32_t n = 0;
            while (n < newCount && newItems[n] != o) ++n;
            if (n == newCount) {
                if (newCount >= kMaxExpressionIndex) return kCompileDamaged;
                newItems[newCount++] = o;
            }
            remap[old] = static_cast<int32_t>(n);
        }
        *mapped = TokenClass(t) | static_cast<ExpressionToken>(remap[old]);
        return kCompileOK;
    }

    int32_t AddConstant(double v, uint32_t* index) {
        if (!output) {
            *index = 0;
            return kCompileOK;
        }
        for (uint32_t k = poolFirst; k < poolCount; ++k) {
            if (pool[k] == v) {
                *index = k;
                return kCompileOK;
            }
        }
        if (poolCount >= kMaxExpressionIndex) return kCompileDamaged;
        pool[poolCount] = v;
        *index = poolCount++;
        return kCompileOK;
    }
};

bool IsOpening(ExpressionToken t) {
    return t == kTokenOpen || TokenClass(t) == kClassFunction || TokenClass(t) == kClassFunctionCall;
}

int32_t Run(Compiler& c, uint32_t* errorPosition) {
    const uint32_t count = c.infix->count;
    const ExpressionToken* in = c.infix->tokens;
    uint32_t i = 0;
    bool expectOperand = true;
    bool pendingProduct = false;
    c.stack[c.depth++] = kTokenEnd;  // the bottom marker

    for (;;) {
        *errorPosition = i;
        if (c.depth >= kExpressionStackDepth) return kCompileTooDeep;
        const bool atEnd = i >= count;
        const ExpressionToken t = atEnd ? kTokenEnd : in[i];

        if (expectOperand) {
            if (atEnd) return IsOpening(c.stack[c.depth - 1]) ? kCompileUnclosed : kCompileIncomplete;
            if (TokenClass(t) == kClassParentValue) {
                ExpressionToken mapped;
                if (int32_t r = c.Renumber(t, &mapped)) return r;
                c.Emit(mapped);
                ++i;
                expectOperand = false;
                continue;
            }
            if (t == kTokenVariable) {
                // Only a function's pool has the variable's slot.
                if (!IsFunctionForm(c.infix->form)) return kCompileDamaged;
                c.Emit(kClassConstant | 0);
                ++i;
                expectOperand = false;
                continue;
            }
            if (t == kTokenMinus) {
                c.stack[c.depth++] = kTokenNegation;
                ++i;
                continue;
            }
            uint32_t length;
            ExpressionToken cls;
            double value;
            bool symbolic;
            if (ScanNumberLiteral(in + i, count - i, &length, &cls, &value, &symbolic)) {
                uint32_t k;
                if (int32_t r = c.AddConstant(value, &k)) return r;
                c.Emit(cls | static_cast<ExpressionToken>(k));
                i += length;
                expectOperand = false;
                pendingProduct = !symbolic && i < count && IsOperandStart(in[i]);
                continue;
            }
            if (t == kTokenNegation) {
                c.stack[c.depth++] = kTokenNegation;
                ++i;
                continue;
            }
            if (IsOpening(t)) {
                ExpressionToken mapped = t;
                if (TokenClass(t) == kClassFunctionCall) {
                    if (int32_t r = c.Renumber(t, &mapped)) return r;
                }
                c.stack[c.depth++] = mapped;
                ++i;
                continue;
            }
            if (t == kTokenDecimalPoint) return i + 1 == count ? kCompileIncomplete : kCompileSyntax;
            return kCompileSyntax;
        }

        // Expecting an operator.
        ExpressionToken incoming;
        const bool virtualProduct = pendingProduct;
        if (pendingProduct) {
            incoming = kTokenTimes;
            pendingProduct = false;
        } else {
            incoming = t;
            // Binary operators, ")" and the end; a negation here would leave two operands.
            bool binary = TokenClass(t) == kClassOperator && TokenIndex(t) < kOpNegate;
            if (!atEnd && !binary && t != kTokenClose) return kCompileSyntax;
        }
        const int32_t row = OperatorClass(incoming);
        for (;;) {
            const ExpressionToken top = c.stack[c.depth - 1];
            const int32_t col = OperatorClass(top);
            switch (kPrecedence[row][col]) {
            case R:
                --c.depth;
                c.Emit(top);
                continue;
            case S:
                c.stack[c.depth++] = incoming;
                if (!virtualProduct) ++i;
                expectOperand = true;
                break;
            case M:
                --c.depth;
                if (top != kTokenOpen) c.Emit(top);
                ++i;
                break;
            case D:
                --c.depth;
                return kCompileOK;
            case E1:
                return kCompileUnclosed;
            default:
                return kCompileUnmatchedClose;
            }
            break;
        }
    }
}

}  // namespace

int32_t OperatorClass(ExpressionToken t) {
    if (TokenClass(t) == kClassOperator) return TokenIndex(t) <= kOpEnd ? int32_t(TokenIndex(t)) : -1;
    if (IsOpening(t)) return kOpClassOpen;
    if (t == kTokenClose) return kOpClassClose;
    return -1;
}

bool IsOperandStart(ExpressionToken t) {
    if (t == kTokenPi || t == kTokenE || t == kTokenOpen || t == kTokenVariable) return true;
    ExpressionToken c = TokenClass(t);
    return c == kClassFunction || c == kClassParentValue || c == kClassFunctionCall;
}

bool IsOperatorOrClose(ExpressionToken t) {
    return TokenClass(t) == kClassOperator || t == kTokenClose;
}

bool OperatorBindsTighter(ExpressionToken a, ExpressionToken b) {
    if (a == b) return false;
    if (a == 0) return true;
    if (b == 0) return false;
    int32_t row = OperatorClass(a), col = OperatorClass(b);
    if (row < 0 || col < 0 || col > kOpClassOpen) return false;
    return kPrecedence[row][col] != S;
}

bool ScanNumberLiteral(const ExpressionToken* tokens, uint32_t remaining, uint32_t* length,
                       ExpressionToken* tokenClass, double* value, bool* symbolic) {
    uint32_t i = 0;
    bool negative = false;
    if (i < remaining && (tokens[i] == kTokenMinus || tokens[i] == kTokenNegation)) {
        negative = true;
        ++i;
    }
    double v = 0;
    double scale = 1;
    bool digit = false, point = false, sym = false;
    while (i < remaining) {
        ExpressionToken t = tokens[i];
        if (t <= 9) {
            digit = true;
            if (point) {
                scale *= 0.1;
                v += t * scale;
            } else {
                v = v * 10 + t;
            }
        } else if (t == kTokenDecimalPoint && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (!digit && !point && i < remaining && (tokens[i] == kTokenPi || tokens[i] == kTokenE)) {
        v = tokens[i] == kTokenPi ? kLiteralPi : kLiteralE;
        sym = true;
        digit = true;
        ++i;
    }
    if (!digit) return false;
    ExpressionToken cls = kClassConstant;
    if (i < remaining) {
        ExpressionToken t = tokens[i];
        if (t >= kTokenDistanceUnit && t <= kTokenDistanceUnit + 2) {
            v = FromDistanceUnits(&v, t - kTokenDistanceUnit);
            cls = kClassDistanceConst;
            ++i;
        } else if (t >= kTokenAngleUnit && t <= kTokenAngleUnit + 2) {
            v = AngleToRadians(&v, t - kTokenAngleUnit);
            cls = kClassAngleConst;
            ++i;
        }
    }
    if (negative && v != 0) v = -v;
    *length = i;
    *tokenClass = cls;
    *value = v;
    *symbolic = sym;
    return true;
}

void FreeParentArray(ParentArray* list) {
    if (!list) return;
    if (list->items) FreeMemory(list->items);
    list->items = nullptr;
    list->count = 0;
}

int32_t CompileExpression(InfixExpression* infix, SketchObject* const* parents, uint32_t parentCount,
                          SketchObject* pinnedFirst, CompiledExpression* out, ParentArray* newParents,
                          uint32_t* errorPosition) {
    uint32_t dummyPosition;
    if (!errorPosition) errorPosition = &dummyPosition;
    *errorPosition = 0;
    if (!infix || infix->count == 0) return kCompileEmpty;
    if (infix->form < kFormYofX || infix->form > kFormCalculation || !infix->tokens) return kCompileDamaged;

    Compiler c;
    c.infix = infix;
    c.parents = parents;
    c.parentCount = parents ? parentCount : 0;
    c.output = out != nullptr;
    c.renumber = c.output && newParents != nullptr;

    const uint32_t count = infix->count;
    if (c.output) {
        // Worst case: every token output once, plus one implicit product per literal.
        c.code = static_cast<ExpressionToken*>(AllocMemory((2 * size_t(count) + 1) * sizeof(ExpressionToken), 0));
        c.pool = static_cast<double*>(AllocMemory((size_t(count) + 1) * sizeof(double), 0));
        if (!c.code || !c.pool) {
            c.Release();
            return kCompileNoMemory;
        }
        if (IsFunctionForm(infix->form)) {
            c.pool[0] = 0;  // the variable's slot
            c.poolCount = c.poolFirst = 1;
        }
    }
    if (c.renumber) {
        uint32_t cap = (c.parentCount < kMaxExpressionIndex ? c.parentCount : kMaxExpressionIndex) + 1;
        c.newItems = static_cast<SketchObject**>(AllocMemory(cap * sizeof(SketchObject*), 0));
        if (c.parentCount) c.remap = static_cast<int32_t*>(AllocMemory(c.parentCount * sizeof(int32_t), 0));
        if (!c.newItems || (c.parentCount && !c.remap)) {
            c.Release();
            return kCompileNoMemory;
        }
        for (uint32_t k = 0; k < c.parentCount; ++k) c.remap[k] = -1;
        if (pinnedFirst) c.newItems[c.newCount++] = pinnedFirst;
    }

    int32_t result = Run(c, errorPosition);
    if (result != kCompileOK) {
        c.Release();
        return result;
    }
    *errorPosition = 0;
    if (!c.output) return kCompileOK;

    // Trim; a failed shrink keeps the larger block, which is harmless.
    if (c.poolCount == 0) {
        FreeMemory(c.pool);
        c.pool = nullptr;
    } else {
        ReallocMemoryOf(&c.pool, c.poolCount * sizeof(double), false);
    }
    if (c.codeCount == 0) {
        FreeMemory(c.code);
        c.code = nullptr;
    } else {
        ReallocMemoryOf(&c.code, c.codeCount * sizeof(ExpressionToken), false);
    }

    SketchObject* const* unitParents = parents;
    uint32_t unitParentCount = c.parentCount;
    if (c.renumber) {
        // Only now, with nothing left to fail, does the edited list take the new numbering.
        for (uint32_t k = 0; k < count; ++k) {
            ExpressionToken t = infix->tokens[k];
            ExpressionToken cls = TokenClass(t);
            if ((cls == kClassParentValue || cls == kClassFunctionCall) && TokenIndex(t) < c.parentCount &&
                c.remap[TokenIndex(t)] >= 0)
                infix->tokens[k] = cls | static_cast<ExpressionToken>(c.remap[TokenIndex(t)]);
        }
        if (c.remap) FreeMemory(c.remap);
        c.remap = nullptr;
        newParents->items = c.newItems;
        newParents->count = c.newCount;
        unitParents = c.newItems;
        unitParentCount = c.newCount;
        c.newItems = nullptr;
    }

    out->tokens = c.code;
    out->pool = c.pool;
    out->tokenCount = c.codeCount;
    out->constantCount = c.poolCount;
    out->angleExponent = 0;
    out->distanceExponent = 0;
    out->unitsMismatch = 0;
    if (infix->form == kFormCalculation) InferExpressionUnits(out, unitParents, unitParentCount, nullptr);
    return kCompileOK;
}

bool InsertImplicitProducts(InfixExpression* infix) {
    if (!infix || !infix->tokens) return true;
    auto forEachProduct = [&](auto&& visit) {
        uint32_t i = 0;
        while (i < infix->count) {
            uint32_t length;
            ExpressionToken cls;
            double value;
            bool symbolic;
            if (ScanNumberLiteral(infix->tokens + i, infix->count - i, &length, &cls, &value, &symbolic)) {
                i += length;
                if (!symbolic && i < infix->count && IsOperandStart(infix->tokens[i])) visit(i);
            } else {
                ++i;
            }
        }
    };
    uint32_t extra = 0;
    forEachProduct([&](uint32_t) { ++extra; });
    if (extra == 0) return true;

    const uint32_t oldCount = infix->count;
    ExpressionToken* grown = static_cast<ExpressionToken*>(
        AllocMemory((size_t(oldCount) + extra) * sizeof(ExpressionToken), 0));
    if (!grown) return false;
    // Copy with the products in place, at the positions found on the unchanged list.
    uint32_t from = 0, to = 0;
    forEachProduct([&](uint32_t at) {
        std::memcpy(grown + to, infix->tokens + from, (at - from) * sizeof(ExpressionToken));
        to += at - from;
        from = at;
        grown[to++] = kTokenTimes;
    });
    std::memcpy(grown + to, infix->tokens + from, (oldCount - from) * sizeof(ExpressionToken));
    FreeMemory(infix->tokens);
    infix->tokens = grown;
    infix->count = oldCount + extra;
    return true;
}

ResultCode ReadStoredExpressionTokens(const uint8_t* bytes, uint32_t length, uint32_t count,
                                      ExpressionToken** tokens) {
    *tokens = nullptr;
    if (count > length / sizeof(ExpressionToken)) return kCompileDamaged;
    if (count == 0) return kResultOK;
    ExpressionToken* read = static_cast<ExpressionToken*>(AllocMemory(count * sizeof(ExpressionToken), 0));
    if (!read) return kResultOutOfMemory;
    for (uint32_t i = 0; i < count; ++i) read[i] = ExpressionToken(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    *tokens = read;
    return kResultOK;
}
