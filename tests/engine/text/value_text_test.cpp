#include "engine/text/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/number_locale_double.h"

namespace {

struct Case {
    double      value;
    int32_t     precision;
    int32_t     form;
    const char* mantissa;
    int32_t     selector;
    const char* exponent;  // null: the exponent slot is left alone
};

void Check(const Case& c) {
    SCOPED_TRACE(testing::Message() << c.value << " precision " << c.precision << " form " << c.form);
    ValueTexts t;
    FormatValueTexts(c.value, c.precision, c.form, &t);
    EXPECT_STREQ(t.mantissa, c.mantissa);
    EXPECT_EQ(t.selector, c.selector);
    if (c.exponent) {
        EXPECT_TRUE(t.exponentSet);
        EXPECT_STREQ(t.exponent, c.exponent);
    } else {
        EXPECT_FALSE(t.exponentSet);
    }
    EXPECT_EQ(t.scientific, c.selector != kSelectPlain || std::fabs(c.value) > 1e6);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(FormatValueTexts, EveryPrecisionFromGeneralToEightDecimals) {
    const Case cases[] = {
        { 2.71828, -1, 0, "2.71828", 0, nullptr }, { 2.71828, 0, 0, "3", 0, nullptr },
        { 2.71828, 1, 0, "2.7", 0, nullptr },      { 2.71828, 2, 0, "2.72", 0, nullptr },
        { 2.71828, 3, 0, "2.718", 0, nullptr },    { 2.71828, 4, 0, "2.7183", 0, nullptr },
        { 2.71828, 5, 0, "2.71828", 0, nullptr },  { 2.0, 3, 0, "2.000", 0, nullptr },
        { 0.5, -1, 0, "0.5", 0, nullptr },         { 1000000.0, 1, 0, "1000000.0", 0, nullptr },
        { 2.5, 12, 0, "2.50000000", 0, nullptr },  // precision past one digit is taken as 8
    };
    for (const Case& c : cases) Check(c);
}

TEST(FormatValueTexts, MinusZeroShowsAsZeroInThePlainFormOnly) {
    const Case cases[] = {
        { -0.0, 2, 0, "0.00", 0, nullptr },       { -0.004, 2, 0, "0.00", 0, nullptr },
        { -0.004, 2, 1, "-0.00", 0, nullptr },    { -0.005, 2, 0, "-0.01", 0, nullptr },
        { -0.4, 0, 0, "0", 0, nullptr },          { -4e-6, 5, 0, "0.00000", 0, nullptr },
        { -4e-9, 8, 0, "0.00000000", 0, nullptr }, { -0.004, -1, 0, "-0.004", 0, nullptr },
        // Just inside -0.5 x 10^-N as doubles: they print as zero, so no sign either.
        { -5e-07, 6, 0, "0.000000", 0, nullptr }, { -5e-08, 7, 0, "0.0000000", 0, nullptr },
        { -6e-08, 7, 0, "-0.0000001", 0, nullptr },
    };
    for (const Case& c : cases) Check(c);
}

TEST(FormatValueTexts, EquationForms) {
    const Case cases[] = {
        { 0.0, 2, 1, "", 0, nullptr },       { -0.0, 2, 1, "", 0, nullptr },
        { 0.0, 2, 3, "0.00", 0, nullptr },   { 1.0, 2, 3, "+", 0, nullptr },
        { 1.0, 2, 2, "", 0, nullptr },       { -1.0, 2, 2, "-", 0, nullptr },
        { -1.0, 2, 3, "-", 0, nullptr },     { 2.5, 1, 3, "+2.5", 0, nullptr },
        { 2.5, 1, 1, "+2.5", 0, nullptr },   { -2.5, 1, 1, "-2.5", 0, nullptr },
        { 1.0, 2, 0, "1.00", 0, nullptr },   { 1.0, 2, 1, "+1.00", 0, nullptr },
    };
    for (const Case& c : cases) Check(c);
}

TEST(FormatValueTexts, LargeValuesTakeThePowerOfTenForm) {
    const Case cases[] = {
        { 1234567.0, 2, 0, "1.23", 1, "6" },     { 1234567.0, -1, 0, "1.23457", 1, "6" },
        { 2e6, -1, 0, "2", 1, "6" },             { 1.5e7, 0, 1, "+2", 1, "7" },
        { -1.5e7, 1, 3, "-1.5", 1, "7" },        { 1.5e7, 1, 3, "+1.5", 1, "7" },
        { -1e300, 3, 0, "-1.000", 1, "300" },
        { 1234567.0, 8, 0, "1234567.00", 0, nullptr },  // nine digits show it whole
    };
    for (const Case& c : cases) Check(c);
}

TEST(FormatValueTexts, InfinityAndUndefined) {
    const Case cases[] = {
        { kInf, 2, 0, "", 2, nullptr },   { kInf, 2, 2, "", 2, nullptr },
        { kInf, 2, 1, "+", 2, nullptr },  { kInf, 2, 3, "+", 2, nullptr },
        { -kInf, 2, 0, "-", 2, nullptr }, { -kInf, -1, 3, "-", 2, nullptr },
    };
    for (const Case& c : cases) Check(c);

    ValueTexts t;
    FormatValueTexts(std::nan(""), 2, 0, &t);
    EXPECT_STREQ(t.mantissa, "undefined");
    EXPECT_EQ(t.selector, kSelectPlain);
    EXPECT_FALSE(t.exponentSet);
}

TEST(FormatValueTexts, ShowsThePlatformDecimalSeparator) {
    ScopedDecimalSeparator comma(',');
    const Case cases[] = {
        { 1.5, 1, 0, "1,5", 0, nullptr }, { 1234567.0, 2, 0, "1,23", 1, "6" },
    };
    for (const Case& c : cases) Check(c);
}
