// Expressions as layout trees, from their postfix code.
#pragma once
#include <cstdint>

#include "engine/calc/expression_tokens.h"

struct LayoutNode;

// The sub-expression ending at token `last`; `enclosing` is the operator around it (0
// none), which decides its parentheses. Null on failure.
LayoutNode* ExpressionTokensToLayout(const CompiledExpression* code, int32_t last, int32_t form,
                                     SketchObject* const* parents, uint32_t parentCount, ExpressionToken enclosing);
// The whole expression, with a name: "f(x) = ..." for functions, "name = ..." otherwise.
LayoutNode* BuildExpressionLayout(int32_t form, SketchObject* const* parents, uint32_t parentCount,
                                  const CompiledExpression* code, const char* name, LayoutNode* parent);
// A layout from layout-language text without placeholders; null when it cannot be
// read or memory runs out.
LayoutNode* ParsedLayout(const char* layout);
