#include "tests/ui/calc_model_support.h"

#include "engine/calc/calc_editor.h"
#include "engine/calc/expression_compiler.h"

namespace {
ParentArray gParents{};
}  // namespace

bool BeginCalcModelForTest(int32_t form) {
    InfixExpression record{ form, 0, nullptr };
    return CalcEditorBegin(&record, &gParents, form == 4 ? nullptr : "f", nullptr);
}

void EndCalcModelForTest() {
    CalcEditorEnd(nullptr);
    FreeParentArray(&gParents);
}
