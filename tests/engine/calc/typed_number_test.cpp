#include "engine/calc/typed_number.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/memory.h"
#include "support/number_locale_double.h"

namespace {
constexpr double kPi = 3.1415926535898;
}

TEST(ParseTypedNumber, NumbersAndSmallExpressions) {
    struct Case { const char* text; double value; };
    const Case cases[] = {
        { "2", 2 },             { "12.5", 12.5 },       { "-3", -3 },         { ".5", 0.5 },
        { "2*Pi/3", 2 * kPi / 3 }, { "p", kPi },        { "pi", kPi },        { "PI/2", kPi / 2 },
        { " 1 + 2 * 3 ", 7 },   { "2^10", 1024 },       { "(1+2)*3", 9 },     { "e", std::exp(1.0) },
        { "-(2-5)", 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -999;
        ASSERT_TRUE(ParseTypedNumber(c.text, &v));
        EXPECT_NEAR(v, c.value, 1e-9 * (1 + std::fabs(c.value)));
    }
}

TEST(ParseTypedNumber, RefusesWhatIsNoFiniteNumber) {
    const char* cases[] = { "", "   ", "x", "2a", "1/0", "sqrt(4)", "1+", "(1", "2,5", "1e5" };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        double v = 42;
        EXPECT_FALSE(ParseTypedNumber(text, &v));
        EXPECT_EQ(v, 42);
    }
    EXPECT_FALSE(ParseTypedNumber(nullptr, nullptr));
}

TEST(ParseTypedNumber, TakesThePlatformDecimalSeparator) {
    ScopedDecimalSeparator comma(',');
    double v = 0;
    ASSERT_TRUE(ParseTypedNumber("2,5", &v));
    EXPECT_EQ(v, 2.5);
    ASSERT_TRUE(ParseTypedNumber("2.5", &v));  // the point still works
    EXPECT_EQ(v, 2.5);
}

TEST(ParseTypedNumber, RunningOutOfMemoryIsARefusal) {
    for (uint32_t n = 1; n < 8; ++n) {
        SCOPED_TRACE(n);
        double v = 0;
        SetAllocFailureAfter(n);
        const bool ok = ParseTypedNumber("2*Pi/3", &v);
        SetAllocFailureAfter(0);
        if (ok) {
            EXPECT_NEAR(v, 2 * kPi / 3, 1e-12);
            return;
        }
    }
    FAIL() << "never parsed";
}
