// Stored function definitions come from documents: any token list that compiles as a
// function is differentiated exactly, and every rewrite must end with a definition or a
// result code, within the rewriter's bounds of memory and depth.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/derivative.h"
#include "engine/calc/measurements.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"

namespace {

struct Made {
    Sketch* sketch = nullptr;
    SketchObject* parameter = nullptr;
    SketchObject* helper = nullptr;  // g(x) = x^2 * parameter
};

SketchObject* Construct(int32_t type, int32_t form, const ExpressionToken* tokens, uint32_t count, PtrList parents) {
    CalculationEditRecord r;
    if (!InitFunctionEditRecord(&r, form)) return nullptr;
    FreeMemory(r.tokens);
    r.tokens = static_cast<ExpressionToken*>(AllocMemory(count * sizeof(ExpressionToken), 0));
    if (!r.tokens) {
        ReleaseCalculationEditRecord(&r);
        return nullptr;
    }
    std::memcpy(r.tokens, tokens, count * sizeof(ExpressionToken));
    r.count = count;
    SketchObject* o = nullptr;
    if (type == kTypeFree) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0 };
        o = ConstructObjectEx(&t, &r, parents, 0, nullptr, nullptr, false);
    } else {
        o = ConstructObject(type, &r, parents, 0, false, false, nullptr);
    }
    ReleaseCalculationEditRecord(&r);
    if (o) RecomputeObject(o, nullptr, true);
    return o;
}

Made& Objects() {
    static Made m;
    if (m.sketch) return m;
    m.sketch = CreateSketch(0, nullptr);
    if (!m.sketch) __builtin_trap();
    SetCurrentSketch(m.sketch, nullptr);
    const ExpressionToken three[] = {3};
    m.parameter = Construct(kTypeFree, kFormCalculation, three, 1, 0);
    PtrList list = 0;
    if (!m.parameter || !PtrListAppend(&list, m.parameter)) __builtin_trap();
    const ExpressionToken g[] = {kTokenVariable, kClassOperator | kOpPower, 2, kClassOperator | kOpMultiply,
                                 kClassParentValue | 0};
    m.helper = Construct(kTypeFunction, kFormYofX, g, 5, list);
    if (!m.helper) __builtin_trap();
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > 2 * 4096) return 0;
    Made& m = Objects();
    const int32_t form = data[0] % 4;
    const uint32_t count = uint32_t((size - 1) / 2);
    ExpressionToken tokens[4096];
    for (uint32_t k = 0; k < count; ++k) tokens[k] = ExpressionToken(data[1 + 2 * k] | data[2 + 2 * k] << 8);
    // Its parents: the parameter and the helper function, as value 0 and call 1.
    PtrList list = 0;
    if (!PtrListAppend(&list, m.parameter) || !PtrListAppend(&list, m.helper)) __builtin_trap();
    SketchObject* f = Construct(kTypeFunction, form, tokens, count, list);
    if (!f) return 0;
    InfixExpression out{};
    ParentArray parents{};
    const ResultCode rc = BuildDerivativeExpression(&out, &parents, f, true, nullptr);
    if (rc == kResultOK) {
        if (out.count == 0 || out.count > kMaxWrittenTokens || parents.count == 0 || parents.items[0] != f)
            __builtin_trap();
        FreeMemory(out.tokens);
        FreeParentArray(&parents);
    } else if (rc != kDeriveTooComplex && rc != kResultOutOfMemory) {
        __builtin_trap();
    }
    DestroyObject(f, false, true);
    return 0;
}
