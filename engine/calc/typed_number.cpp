#include "engine/calc/typed_number.h"

#include <cmath>
#include <cstring>

#include "engine/calc/expression_compiler.h"
#include "engine/core/memory.h"
#include "engine/core/services/number_locale.h"
#include "engine/text/string_groups.h"

namespace {

constexpr int32_t kItemKeyCharacters = 26;  // "0123456789.()pe": key = position
constexpr int32_t kItemOperators     = 29;  // "+-*/^-": operator = position

bool TokenizeTypedNumber(const char* text, ExpressionToken* tokens, uint32_t* count) {
    const char separator = DecimalSeparator();
    uint32_t n = 0;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        int32_t index = 0;
        if (c == ' ') continue;
        if (GroupStringIndexOf(c, kGroupCalculator, kItemOperators, &index)) {
            tokens[n++] = static_cast<ExpressionToken>(kClassOperator + index);
        } else if ((c == 'P' || c == 'p') && (p[1] == 'I' || p[1] == 'i')) {
            tokens[n++] = kTokenPi;
            ++p;
        } else if (GroupStringIndexOf(c, kGroupCalculator, kItemKeyCharacters, &index)) {
            tokens[n++] = static_cast<ExpressionToken>(index);
        } else if (c == separator) {
            tokens[n++] = kTokenDecimalPoint;
        } else {
            return false;
        }
    }
    *count = n;
    return true;
}

}  // namespace

bool ParseTypedNumber(const char* text, double* value) {
    if (!text || !*text) return false;
    const size_t length = strlen(text);
    auto* tokens = static_cast<ExpressionToken*>(AllocMemory(length * sizeof(ExpressionToken), 0));
    if (!tokens) return false;

    bool ok = false;
    uint32_t count = 0;
    if (TokenizeTypedNumber(text, tokens, &count) && count > 0) {
        InfixExpression infix{ kFormCalculation, count, tokens };
        CompiledExpression code{};
        if (CompileExpression(&infix, nullptr, 0, nullptr, &code, nullptr, nullptr) == kCompileOK) {
            double result = 0;
            if (EvaluateExpression(&code, nullptr, 0, &result) == 1 && std::isfinite(result)) {
                if (value) *value = result;
                ok = true;
            }
            FreeCompiledExpression(&code);
        }
    }
    FreeMemory(tokens);
    return ok;
}
