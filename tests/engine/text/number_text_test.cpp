#include "engine/text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/number_locale_double.h"

namespace {

constexpr double kPi = 3.1415926535898;

std::string Format(double value, uint32_t size = 64, bool glyph = false) {
    std::string buffer(size, 'x');
    FormatNumberText(buffer.data(), size, value, glyph);
    return std::string(buffer.c_str());
}

}  // namespace

TEST(FormatNumberText, MultiplesOfPiOverTwelveAreFractionsOfPi) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        { kPi / 2, "Pi/2" },        { -2 * kPi / 3, "-2Pi/3" }, { 3 * kPi, "3Pi" },
        { kPi / 4, "Pi/4" },        { 2 * kPi, "2Pi" },         { kPi / 12, "Pi/12" },
        { 5 * kPi / 12, "5Pi/12" }, { kPi, "Pi" },             { -kPi / 6, "-Pi/6" },
        { 7 * kPi / 6, "7Pi/6" },   { 3 * kPi / 4, "3Pi/4" },   { 1000 * kPi, "1000Pi" },
        { kPi / 2 + 0.0002, "Pi/2" },  // within a thousandth of a twelfth
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Format(c.value), c.text);
    }
    EXPECT_EQ(Format(kPi / 4, 64, true), "p/4");
}

TEST(FormatNumberText, OtherValuesShowThreeSignificantDecimals) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        { 12.25, "12.25" },   { 0, "0.0" },         { 5, "5.0" },        { 1.5, "1.5" },
        { 0.005, "0.005" },   { 0.0005, "0.0005" }, { 0.00012, "0.00012" },
        { 1.23456, "1.235" }, { 2.0004, "2.0" },    { 2.0005, "2.001" }, { -7.1, "-7.1" },
        { 0.0123, "0.012" }, { 0.01, "0.01" },     { 100, "100.0" },    { 123456.789, "123456.789" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Format(c.value), c.text);
    }
}

TEST(FormatNumberText, ZeroAndTinyNegativesShowNoMinusSign) {
    EXPECT_EQ(Format(-0.0), "0.0");
    EXPECT_EQ(Format(-0.000001), "0.0");
    EXPECT_EQ(Format(-0.00001), "-0.00001");
}

TEST(FormatNumberText, LongValuesSwitchToTheGeneralForm) {
    EXPECT_EQ(Format(1000000, 8), "1.00e+0");  // "1.00e+06" cut to the buffer
    EXPECT_EQ(Format(1000000, 11), "1.00e+06");
    EXPECT_EQ(Format(1000000, 64), "1000000.0");
    EXPECT_EQ(Format(100, 6), "100");           // the 'g' form's "100." loses its point
    // Zeros of an exponent are significant.
    EXPECT_EQ(Format(1.2e20, 16), "1.20e+20");
}

TEST(FormatNumberText, HugeInfiniteAndUndefinedValues) {
    // Beyond about 2.4e15 every double is within 0.001 of a whole number of twelfths
    // of pi; such values are numbers, not fractions of pi.
    EXPECT_EQ(Format(3e15, 16), "3.00e+15");
    EXPECT_EQ(Format(-1e300, 16), "-1.00e+300");
    EXPECT_EQ(Format(1e300, 64).substr(0, 5), "1.00e");
    EXPECT_EQ(Format(std::numeric_limits<double>::infinity()), "infinity");
    EXPECT_EQ(Format(-std::numeric_limits<double>::infinity()), "-infinity");
    EXPECT_EQ(Format(std::nan("")), "undefined");
    EXPECT_EQ(Format(std::nan(""), 4), "und");
}

TEST(FormatNumberText, ShowsThePlatformDecimalSeparator) {
    ScopedDecimalSeparator comma(',');
    EXPECT_EQ(Format(12.25), "12,25");
    EXPECT_EQ(Format(5), "5,0");
    EXPECT_EQ(Format(100, 6), "100");
}

TEST(FormatNumberText, TinyBuffers) {
    EXPECT_EQ(Format(12.25, 1), "");
    EXPECT_EQ(Format(kPi / 2, 3), "Pi");
    EXPECT_EQ(Format(-2 * kPi / 3, 4), "-2P");
}
