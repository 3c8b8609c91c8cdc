// Creation records of class-11 objects for the tests: a form and its infix tokens.
#pragma once
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "engine/calc/calculation_objects.h"
#include "engine/core/memory.h"

inline CalculationEditRecord EditRecord(int32_t form, const std::vector<ExpressionToken>& tokens) {
    CalculationEditRecord r;
    EXPECT_TRUE(InitFunctionEditRecord(&r, form));
    FreeMemory(r.tokens);
    r.tokens = static_cast<ExpressionToken*>(AllocMemory(tokens.size() * sizeof(ExpressionToken), 0));
    std::copy(tokens.begin(), tokens.end(), r.tokens);
    r.count = uint32_t(tokens.size());
    return r;
}
