#include "engine/text/value_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/services/number_locale.h"
#include "engine/text/number_text.h"
#include "engine/text/string_groups.h"

namespace {

constexpr double kScientificAbove = 1000000.0;

bool SignedForm(int32_t form) {
    return form == kValueFormSignedConstant || form == kValueFormSignedCoefficient;
}

bool CoefficientForm(int32_t form) {
    return form == kValueFormLeadingCoefficient || form == kValueFormSignedCoefficient;
}

// Copies as much of the text as fits, always terminated.
void SetText(char* dest, size_t size, const char* text) {
    if (size == 0) return;
    size_t n = std::strlen(text);
    if (n >= size) n = size - 1;
    std::memcpy(dest, text, n);
    dest[n] = 0;
}

// The C library prints "." (the engine never switches its locale); the shown separator
// is the platform's.
void UsePlatformSeparator(char* text) {
    char* point = strchr(text, '.');
    if (point) *point = DecimalSeparator();
}

// "e-005" gives "-5", "e+006" gives "6", "e+000" gives "0".
void ExponentText(const char* e, char* out, size_t size) {
    const char* p = e + 1;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    while (*p == '0' && p[1]) ++p;
    snprintf(out, size, "%s%s", negative ? "-" : "", p);
}

}  // namespace

void FormatValueTexts(double value, int32_t precision, int32_t form, ValueTexts* out) {
    if (!out) return;
    out->mantissa[0] = 0;
    out->exponent[0] = 0;
    out->exponentSet = false;
    out->scientific = false;
    out->selector = kSelectPlain;
    if (form < kValueFormPlain || form > kValueFormSignedCoefficient) form = kValueFormPlain;
    if (precision < kGeneralPrecision) precision = kGeneralPrecision;
    if (precision > kMaxValuePrecision) precision = kMaxValuePrecision;

    // NaN has no portable printed form ("nan", "-nan", "-nan(ind)"): it reads as undefined.
    if (std::isnan(value)) {
        SetText(out->mantissa, sizeof out->mantissa, GroupText(kGroupUnits, 1));
        return;
    }

    const char* plus = SignedForm(form) ? "+" : "";
    if (std::isinf(value)) {
        out->scientific = true;
        out->selector = kSelectInfinity;
        SetText(out->mantissa, sizeof out->mantissa,
                value < 0 ? "-" : (SignedForm(form) ? "+" : ""));
        return;
    }

    if (std::fabs(value) > kScientificAbove) {
        out->scientific = true;
        char format[8];
        if (precision == kGeneralPrecision) snprintf(format, sizeof format, "%%%sg", plus);
        else if (precision == 0) snprintf(format, sizeof format, "%%%s.0g", plus);
        else snprintf(format, sizeof format, "%%%s#.%dg", plus, precision + 1);
        char text[64];
        snprintf(text, sizeof text, format, value);
        UsePlatformSeparator(text);
        char* e = strchr(text, 'e');
        if (e) {
            out->selector = kSelectPowerTen;
            ExponentText(e, out->exponent, sizeof out->exponent);
            out->exponentSet = true;
            *e = 0;
        } else {
            out->selector = kSelectPlain;  // enough digits asked for to show it whole
        }
        SetText(out->mantissa, sizeof out->mantissa, text);
        return;
    }

    if (value == 0) value = 0;  // minus zero becomes plus zero
    if (value == 0 && form == kValueFormSignedConstant) return;  // the zero term shows nothing

    if (CoefficientForm(form) && std::fabs(value) == 1.0) {
        SetText(out->mantissa, sizeof out->mantissa, value < 0 ? "-" : plus);
        return;
    }

    char format[8];
    if (precision == kGeneralPrecision) snprintf(format, sizeof format, "%%g");
    else if (precision == 0) snprintf(format, sizeof format, "%%.0f");
    else snprintf(format, sizeof format, "%%#.%df", precision);
    char text[48];
    snprintf(text, sizeof text, format, value);
    // A plain value too small for its decimals shows as zero, at every precision, as in
    // plain number text; an equation's signed term keeps its sign ("-0.00").
    if (form == kValueFormPlain) DropMinusOfZero(text);
    UsePlatformSeparator(text);
    SetText(out->mantissa, sizeof out->mantissa, value > 0 ? plus : "");
    size_t used = std::strlen(out->mantissa);
    SetText(out->mantissa + used, sizeof out->mantissa - used, text);
}
