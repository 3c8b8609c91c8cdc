// The plain-text form of expressions, as the calculator, descriptions and the web-page
// export show them.
#include <cstring>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/value_objects.h"

namespace {

constexpr int32_t kGroupFormula = 14;
constexpr int32_t kGroupUnitTexts = 7;
constexpr int32_t kItemKeys = 26;       // "0123456789.()pe"
constexpr int32_t kItemPi = 27;
constexpr int32_t kItemOperators = 29;  // "+-*/^-"
constexpr int32_t kItemVariables = 34;  // + form
constexpr int32_t kItemDerivativeOf = 46;  // "= d/dx "
constexpr int32_t kKindApproximateDerivative = 59;
constexpr uint32_t kTextRoom = 256;

// Appends into a fixed buffer while counting the full length, so that one pass can both
// measure and write; the buffer is never written past its size.
struct TextSink {
    char* buffer;
    uint32_t size;
    uint32_t length = 0;

    void Add(const char* text) {
        for (; *text; ++text) {
            if (buffer && length + 1 < size) buffer[length] = *text;
            ++length;
        }
        if (buffer && size) buffer[length < size ? length : size - 1] = 0;
    }
};

void CharOf(int32_t group, int32_t item, uint32_t index, char* out) {
    char text[kTextRoom];
    GetGroupString(group, item, text, sizeof text);
    out[0] = index < std::strlen(text) ? text[index] : 0;
    out[1] = 0;
}

SketchObject* ParentOf(const SketchObject* o, uint32_t i) {
    SketchObject* const* items = ParentItemsOf(o);
    return items && i < ParentCountOf(o) ? items[i] : nullptr;
}

}  // namespace

void TokenText(ExpressionToken t, int32_t form, char* buffer, uint32_t size, bool addParenthesis) {
    if (!buffer || size == 0) return;
    char text[kTextRoom] = {0};
    if (TokenClass(t) == kClassOperator) {
        if (TokenIndex(t) <= kOpNegate) CharOf(kGroupFormula, kItemOperators, TokenIndex(t), text);
    } else if (TokenClass(t) == kClassFunction) {
        if (TokenIndex(t) < kFunctionCount) {
            GetGroupString(kGroupFormula, int32_t(TokenIndex(t)), text, sizeof text - 1);
            if (addParenthesis) std::strcat(text, "(");
        }
    } else if (t == kTokenPi) {
        GetGroupString(kGroupFormula, kItemPi, text, sizeof text);
    } else if (t == kTokenVariable) {
        if (IsFunctionForm(form)) GetGroupString(kGroupFormula, kItemVariables + form, text, sizeof text);
    } else if (t == kTokenDecimalPoint) {
        text[0] = DecimalSeparator();
    } else if (t <= kTokenE) {
        CharOf(kGroupFormula, kItemKeys, t, text);
    } else if (t >= kTokenDistanceUnit && t <= kTokenDistanceUnit + 2) {
        GetGroupString(kGroupUnitTexts, 8 + (t - kTokenDistanceUnit), text, sizeof text);
    } else if (t >= kTokenAngleUnit && t <= kTokenAngleUnit + 2) {
        GetGroupString(kGroupUnitTexts, 11 + (t - kTokenAngleUnit), text, sizeof text);
    }
    std::strncpy(buffer, text, size - 1);
    buffer[size - 1] = 0;
}

void FunctionHeadText(const SketchObject* function, int32_t mode, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return;
    TextSink out{buffer, size};
    buffer[0] = 0;
    char text[kTextRoom];
    GetObjectLabelText(function, text, sizeof text);
    out.Add(text);
    if (mode == 1 || mode == 2) out.Add("(");
    if (mode == 2) {
        const CalculationData* c = CalculationDataOf(function);
        TokenText(kTokenVariable, c ? c->form : kFormYofX, text, sizeof text, false);
        out.Add(text);
        out.Add(")");
    }
}

bool NeedsParentheses(const char* label) { return label && std::strpbrk(label, "+-^*/ ") != nullptr; }

uint32_t ExpressionToText(const SketchObject* object, uint32_t size, char* buffer, bool bareExpression) {
    TextSink out{buffer, size};
    if (buffer && size) buffer[0] = 0;
    const CalculationData* c = CalculationDataOf(object);
    if (!c) return 1;
    char text[kTextRoom];
    if (IsFunctionForm(c->form) && !bareExpression) {
        FunctionHeadText(object, 2, text, sizeof text);
        out.Add(text);
        if (object->objectKind != kKindApproximateDerivative) {
            out.Add("=");
        } else {
            GetGroupString(kGroupFormula, kItemDerivativeOf, text, sizeof text);
            out.Add(text);
            FunctionHeadText(ParentOf(object, 0), 2, text, sizeof text);
            out.Add(text);
            return out.length + 1;
        }
    }
    for (uint32_t n = 0; n < c->infixCount && c->infixTokens; ++n) {
        ExpressionToken t = c->infixTokens[n];
        if (TokenClass(t) == kClassFunctionCall) {
            FunctionHeadText(ParentOf(object, TokenIndex(t)), 1, text, sizeof text);
            out.Add(text);
        } else if (TokenClass(t) == kClassParentValue) {
            GetObjectLabelText(ParentOf(object, TokenIndex(t)), text, sizeof text);
            bool wrap = NeedsParentheses(text);
            if (wrap) out.Add("(");
            out.Add(text);
            if (wrap) out.Add(")");
        } else {
            TokenText(t, c->form, text, sizeof text, true);
            out.Add(text);
        }
    }
    return out.length + 1;
}
