// Expressions as layouts: the postfix code read backwards into fractions, powers,
// radicals, function calls and rows, with parentheses only where the operators need them.
#include "engine/calc/expression_layout.h"

#include <cstdio>
#include <cstring>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/value_display.h"
#include "engine/text/layout.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"

namespace {

constexpr double kRoundedPi = 3.1415926535898;
constexpr double kRoundedE = 2.7182818284591;
constexpr int32_t kItemFunctionNames = 13;  // group 14: layouts of the function names
constexpr int32_t kItemFormHeads = 47;      // group 14: "(x) = ", ...
constexpr int32_t kGlyphPi = 0x70;
constexpr int32_t kGlyphTimes = 0xD7;
// Deeper expressions than the compiler makes are refused rather than recursed into.
constexpr int32_t kMaxExpressionDepth = 200;
constexpr int32_t kUngroupedNameTypes[] = { 40, 41, 45, 47, 51 };

struct Build {
    const CompiledExpression* code;
    int32_t form;
    SketchObject* const* parents;
    uint32_t parentCount;
    int32_t depth;
};

int32_t Arity(ExpressionToken t) {
    switch (TokenClass(t)) {
        case kClassOperator: return TokenIndex(t) == kOpNegate ? 1 : 2;
        case kClassFunction:
        case kClassFunctionCall: return 1;
        default: return 0;
    }
}

// Index of the first token of the sub-expression that ends at `last`, or -1.
int32_t SubexpressionStart(const CompiledExpression* code, int32_t last) {
    int32_t need = 1;
    int32_t i = last;
    while (i >= 0 && need > 0) {
        need += Arity(code->tokens[i]) - 1;
        --i;
    }
    return need == 0 ? i + 1 : -1;
}

LayoutNode* Text(const char* text) { return CreateTextRunWith(text, nullptr); }


// A node of `kind` holding the first `count` children given, which must all have been
// made; on any failure everything given is freed.
LayoutNode* Holding(int32_t kind, int32_t count, LayoutNode* a, LayoutNode* b = nullptr, LayoutNode* c = nullptr) {
    LayoutNode* parts[3] = { a, b, c };
    bool made = true;
    for (int32_t i = 0; i < count; ++i) made = made && parts[i];
    LayoutNode* node = made ? CreateLayoutNode(kind, nullptr, 0) : nullptr;
    if (!node) {
        for (LayoutNode* p : parts)
            if (p) FreeLayoutNode(p);
        return nullptr;
    }
    for (int32_t i = 0; i < count; ++i) AppendLayoutChild(node, parts[i]);
    return node;
}

LayoutNode* Number(double value) {
    if (value == kRoundedPi) {
        LayoutNode* glyph = CreateLayoutNode(kLayoutGlyph, nullptr, 0);
        if (glyph) SetGlyphCode(glyph, kGlyphPi);
        return glyph;
    }
    if (value == kRoundedE) return Text("e");
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return Text(text);
}

LayoutNode* OperatorNode(ExpressionToken t, int32_t form) {
    if (DescriptionDepth > 2 && t == (kClassOperator | kOpMultiply)) {
        LayoutNode* glyph = CreateLayoutNode(kLayoutGlyph, nullptr, 0);
        if (glyph) SetGlyphCode(glyph, kGlyphTimes);
        return glyph;
    }
    char text[32];
    TokenText(t, form, text, sizeof text, false);
    return Text(text);
}

LayoutNode* Tokens(Build& b, int32_t last, ExpressionToken enclosing);

LayoutNode* ParentName(Build& b, uint32_t index) {
    if (index >= b.parentCount) return nullptr;
    SketchObject* p = b.parents[index];
    LayoutNode* name = BuildObjectLabelLayout(p, nullptr, false, DescriptionDepth > 0);
    if (!name) return nullptr;
    bool ungrouped = false;
    if (KindIsA(p->objectKind, kKindCalculation) && ValueDisplayModeOf(p) == 0)
        for (int32_t type : kUngroupedNameTypes) ungrouped = ungrouped || p->constructionType == type;
    return !ungrouped && NodeNeedsGrouping(name) ? WrapInParentheses(name) : name;
}

LayoutNode* Operator(Build& b, int32_t last, ExpressionToken t, ExpressionToken enclosing) {
    const uint32_t op = TokenIndex(t);
    const bool description = DescriptionDepth > 0;
    const bool fraction = op == kOpDivide && !description;
    const bool power = op == kOpPower;
    const bool grouped = OperatorBindsTighter(t, enclosing);
    const int32_t rightStart = SubexpressionStart(b.code, last - 1);
    if (rightStart <= 0) return nullptr;
    const ExpressionToken inner = grouped || fraction || power ? 0 : t;
    if (power && description) ++DescriptionDepth;
    LayoutNode* left = Tokens(b, rightStart - 1, inner);
    if (left && power && NodeNeedsGrouping(left)) left = WrapInParentheses(left);
    LayoutNode* right = left ? Tokens(b, last - 1, inner) : nullptr;
    if (power && description) --DescriptionDepth;
    // a - (b - c) and a / (b * c) keep their parentheses: the right operand of a
    // subtraction or a division written in a row does not associate with it.
    if (right && !fraction && !power && (op == kOpSubtract || op == kOpDivide)) {
        const ExpressionToken r = b.code->tokens[last - 1];
        if (TokenClass(r) == kClassOperator && TokenIndex(r) != kOpNegate && OperatorClass(r) == OperatorClass(t))
            right = WrapInParentheses(right);
    }
    if (!left || !right) {
        if (left) FreeLayoutNode(left);
        if (right) FreeLayoutNode(right);
        return nullptr;
    }
    LayoutNode* node;
    if (fraction) node = Holding(kLayoutFraction, 2, left, right);
    else if (power) node = Holding(kLayoutSuperscript, 2, left, right);
    else node = Holding(kLayoutRow, 3, left, OperatorNode(t, b.form), right);
    return node && grouped ? WrapInParentheses(node) : node;
}

LayoutNode* Tokens(Build& b, int32_t last, ExpressionToken enclosing) {
    if (last < 0 || static_cast<uint32_t>(last) >= b.code->tokenCount || ++b.depth > kMaxExpressionDepth) return nullptr;
    LayoutNode* node = nullptr;
    const ExpressionToken t = b.code->tokens[last];
    const uint32_t i = TokenIndex(t);
    switch (TokenClass(t)) {
        case kClassConstant:
            if (i < b.code->constantCount && (i > 0 || !IsFunctionForm(b.form))) node = Number(b.code->pool[i]);
            else if (i == 0 && IsFunctionForm(b.form)) node = BuildVariableNameLayout(b.form, false, nullptr);
            break;
        case kClassAngleConst:
        case kClassDistanceConst: {
            if (i >= b.code->constantCount) break;
            double v = b.code->pool[i];
            const bool angle = TokenClass(t) == kClassAngleConst;
            if (angle) RadiansToAngleUnits(&v, false);
            else ToDistanceUnits(&v);
            node = Holding(kLayoutRow, 2, Number(v), BuildUnitLayout(angle ? 1 : 0, angle ? 0 : 1, false, nullptr));
            break;
        }
        case kClassParentValue:
            node = ParentName(b, i);
            break;
        case kClassFunctionCall:
        case kClassFunction: {
            if (TokenClass(t) == kClassFunction && i == kFnSqrt) {
                const bool spelled = DescriptionDepth > 2;
                if (DescriptionDepth > 0) ++DescriptionDepth;
                LayoutNode* operand = Tokens(b, last - 1, 0);
                if (DescriptionDepth > 0) --DescriptionDepth;
                node = spelled ? Holding(kLayoutRow, 2, Text("sqrt"), Holding(kLayoutParens, 1, operand))
                               : Holding(kLayoutRadical, 1, operand);
                break;
            }
            if (TokenClass(t) == kClassFunction && i == kFnAbs) {
                node = Holding(kLayoutAbsBars, 1, Tokens(b, last - 1, 0));
                break;
            }
            LayoutNode* name = nullptr;
            if (TokenClass(t) == kClassFunction) {
                name = i < kFunctionCount ? ParsedLayout(GroupText(kGroupCalculator, kItemFunctionNames + int32_t(i))) : nullptr;
            } else if (i < b.parentCount) {
                name = BuildObjectLabelLayout(b.parents[i], nullptr, false, DescriptionDepth > 0);
            }
            if (!name) break;
            node = Holding(kLayoutRow, 2, name, Holding(kLayoutParens, 1, Tokens(b, last - 1, 0)));
            break;
        }
        case kClassOperator:
            if (i == kOpNegate) {
                node = Holding(kLayoutRow, 2, OperatorNode(t, b.form), Tokens(b, last - 1, t));
                if (node && OperatorBindsTighter(t, enclosing)) node = WrapInParentheses(node);
            } else if (i <= kOpPower) {
                node = Operator(b, last, t, enclosing);
            }
            break;
        default:
            break;
    }
    --b.depth;
    return node;
}

}  // namespace

LayoutNode* ParsedLayout(const char* layout) {
    LayoutParseContext context{ nullptr, nullptr, nullptr, 0 };
    LayoutNode* tree = nullptr;
    if (ParseLayoutString(&tree, layout, &context) >= kLayoutParseNoMemory) {
        if (tree) FreeLayoutNode(tree);
        return nullptr;
    }
    return tree;
}

LayoutNode* ExpressionTokensToLayout(const CompiledExpression* code, int32_t last, int32_t form,
                                     SketchObject* const* parents, uint32_t parentCount, ExpressionToken enclosing) {
    if (!code || !code->tokens) return nullptr;
    Build b{ code, form, parents, parentCount, 0 };
    return Tokens(b, last, enclosing);
}

LayoutNode* BuildExpressionLayout(int32_t form, SketchObject* const* parents, uint32_t parentCount,
                                  const CompiledExpression* code, const char* name, LayoutNode* parent) {
    if (!code || code->tokenCount == 0) return nullptr;
    LayoutNode* expression =
        ExpressionTokensToLayout(code, static_cast<int32_t>(code->tokenCount) - 1, form, parents, parentCount, 0);
    if (!expression) return nullptr;
    LayoutNode* tree = expression;
    if (name) {
        const uint32_t length = static_cast<uint32_t>(std::strlen(name));
        LayoutNode* head = IsFunctionForm(form) ? ParsedLayout(GroupText(kGroupCalculator, kItemFormHeads + form)) : Text(" = ");
        tree = Holding(kLayoutRow, 3, BuildLabelWithSubscript(name, length, -1, nullptr), head, expression);
        if (!tree) return nullptr;
    }
    tree = NormalizeLayout(tree, nullptr);
    if (parent && tree) AppendLayoutChild(parent, tree);
    return tree;
}

LayoutNode* BuildExpressionNameLayout(SketchObject* object, LayoutNode* parent) {
    const CalculationData* c = CalculationDataOf(object);
    if (!c) return nullptr;
    return BuildExpressionLayout(c->form, ParentItemsOf(object), ParentCountOf(object), &c->compiled, nullptr, parent);
}
