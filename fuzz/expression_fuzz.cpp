// Stored expressions come from documents: any token list, form and parent count must
// compile to a code or a result code, and compiled code must evaluate, infer units and
// print without reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/measurements.h"
#include "engine/calc/value_objects.h"
#include "engine/core/memory.h"

namespace {

template <typename T>
struct Stored {
    SketchObject header;
    T data;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size < 2) return 0;
    static const bool kArena = [] {
        PtrListArena* arena = nullptr;
        CreatePtrListArena(&arena, 256);
        SetCurrentPtrListArena(arena);
        return true;
    }();
    (void)kArena;
    const int32_t form = bytes[0] % 6;  // 5 is out of range on purpose
    const uint32_t parentCount = bytes[1] % 4;
    bytes += 2;
    size -= 2;

    // Parents: defined values, one undefined, and a function object f(x) = x * 2.
    Stored<ValueDisplay> values[2]{};
    values[0].header.objectClass = kMeasurementClass;
    values[0].header.constructionType = 41;
    values[0].data.defined = 1;
    values[0].data.value = 3;
    values[1].header.objectClass = kMeasurementClass;
    values[1].header.constructionType = 45;
    Stored<CalculationData> function{};
    function.header.objectClass = kCalculationClass;
    function.header.constructionType = 75;
    ExpressionToken fTokens[] = {kTokenVariable, kClassOperator | kOpMultiply, 2};
    InfixExpression fInfix{kFormYofX, 3, fTokens};
    function.data.form = kFormYofX;
    if (CompileExpression(&fInfix, nullptr, 0, nullptr, &function.data.compiled, nullptr, nullptr) != 0) return 0;
    SketchObject* parents[] = {&values[0].header, &function.header, &values[1].header};

    const uint32_t count = uint32_t(size / 2);
    ExpressionToken* tokens = static_cast<ExpressionToken*>(AllocMemory(count * 2 + 2, 0));
    for (uint32_t i = 0; i < count; ++i) tokens[i] = ExpressionToken(bytes[2 * i] | (bytes[2 * i + 1] << 8));

    InfixExpression infix{form, count, tokens};
    CompiledExpression code{};
    ParentArray fresh{};
    uint32_t position = 0;
    int32_t result = CompileExpression(&infix, parents, parentCount, nullptr, &code, &fresh, &position);
    if (result == kCompileOK) {
        Stored<CalculationData> calc{};
        calc.header.objectClass = kCalculationClass;
        calc.header.constructionType = form == kFormCalculation ? 52 : 75;
        for (uint32_t i = 0; i < fresh.count; ++i) PtrListAppend(&calc.header.parents, fresh.items[i]);
        calc.data.form = form;
        calc.data.compiled = code;
        calc.data.infixTokens = tokens;
        calc.data.infixCount = count;
        double v;
        EvaluateExpression(&code, fresh.items, fresh.count, &v);
        InferExpressionUnits(&code, fresh.items, fresh.count, nullptr);
        SetCalculationKind(&calc.header);
        char text[64];
        ExpressionToText(&calc.header, sizeof text, text, false);
        FreeCompiledExpression(&code);
        FreeParentArray(&fresh);
        FreePtrList(&calc.header.parents);
    }
    InsertImplicitProducts(&infix);
    FreeMemory(infix.tokens);
    FreeCompiledExpression(&function.data.compiled);
    return 0;
}
