// Stand-ins of what the calculation code offers the layout builders until expressions
// are laid out as formulas and function plots are built.
#include "engine/calc/standin_engine.h"

#include "engine/calc/expression_compiler.h"
#include "engine/calc/value_display.h"
#include "engine/text/layout.h"

// Stand-in: the expression as one text run until expressions are built as layouts.
LayoutNode* BuildExpressionNameLayout(SketchObject* object, LayoutNode* parent) {
    char text[256] = {0};
    ExpressionToText(object, sizeof text, text, true);
    return CreateTextRunWith(text, parent);
}

// Stand-in: function plots keep their form once they are built; until then y = f(x).
int32_t FunctionPlotForm(const SketchObject*) { return 0; }
