// The texts of a value shown in the sketch: the mantissa, the alternative of the
// number's selector (plain, times ten to a power, infinity) and the exponent. Value
// slots of layout trees take these texts; computing them needs no tree.
#pragma once
#include <cstdint>

// How a value reads inside its layout.
enum ValueForm : int32_t {
    kValueFormPlain             = 0,  // a plain value
    kValueFormSignedConstant    = 1,  // constant term of an equation: "+" before positives, 0 shows nothing
    kValueFormLeadingCoefficient = 2, // magnitude 1 shows only its sign ("" or "-")
    kValueFormSignedCoefficient = 3,  // both: "+", "-", "+2.5"
};

// Alternatives of the selector node around a mantissa.
enum ValueSelector : int32_t {
    kSelectPlain    = 0,
    kSelectPowerTen = 1,
    kSelectInfinity = 2,
};

constexpr int32_t kGeneralPrecision = -1;  // "%g"
constexpr int32_t kMaxValuePrecision = 8;  // one format digit

struct ValueTexts {
    char    mantissa[48];
    char    exponent[8];
    bool    exponentSet;  // false: the exponent slot keeps what it holds
    bool    scientific;   // the selector and exponent slots must exist
    int32_t selector;     // ValueSelector
};

// precision: -1 general form, 0 no decimals, N >= 1 exactly N decimals (at most 8; larger
// values are taken as 8, smaller than -1 as -1). A value that would print as minus zero in
// the plain form shows as zero; NaN shows "undefined" in the plain alternative.
void FormatValueTexts(double value, int32_t precision, int32_t form, ValueTexts* out);
