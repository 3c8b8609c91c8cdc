// Creation records of class-11 objects for the tests: a form and its infix tokens.
#pragma once
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"

inline CalculationEditRecord EditRecord(int32_t form, const std::vector<ExpressionToken>& tokens) {
    CalculationEditRecord r;
    EXPECT_TRUE(InitFunctionEditRecord(&r, form));
    FreeMemory(r.tokens);
    r.tokens = static_cast<ExpressionToken*>(AllocMemory(tokens.size() * sizeof(ExpressionToken), 0));
    std::copy(tokens.begin(), tokens.end(), r.tokens);
    r.count = uint32_t(tokens.size());
    return r;
}

// A parameter holding the value as a number of the kind, made and recomputed in the
// current sketch: a parameter is a free calculation.
inline SketchObject* NewParameter(double value, int32_t kind = kKindPlainParameter) {
    CalculationEditRecord r;
    EXPECT_TRUE(InitFunctionEditRecord(&r, kFormCalculation));
    EXPECT_TRUE(NumberToExpressionTokens(&r, 40, value, kind));
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0 };
    SketchObject* o = ConstructObjectEx(&t, &r, 0, 0, nullptr, nullptr, false);
    ReleaseCalculationEditRecord(&r);
    if (o) RecomputeObject(o, nullptr, true);
    return o;
}
