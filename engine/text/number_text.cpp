#include "engine/text/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/services/number_locale.h"
#include "engine/text/string_groups.h"

namespace {

constexpr double kTwelveOverPi = 3.8197186342054796;

// Above this many twelfths of pi the 0.001 test says nothing: from about 2.4e15 on
// every double is within 0.001 of a whole number of twelfths (and the count no longer
// fits an int). Below it a double still resolves far finer than 0.001.
constexpr double kLargestPiTwelfths = 1e9;

constexpr const char* kInfinityText      = "infinity";
constexpr const char* kMinusInfinityText = "-infinity";

// Reduces c/12 to lowest terms the way the displayed fraction has always been reduced.
void ReducePiFraction(int64_t& c, int64_t& d) {
    while (c % 2 == 0 && d % 2 == 0) { c /= 2; d /= 2; }
    if (c % d == 0) {
        c /= d;
        d = 1;
    } else if (d % c == 0) {
        d /= c;
        c = 1;
    }
    for (int64_t k = 2; k < d; ++k) {
        if (c % k == 0 && d % k == 0) { c /= k; d /= k; }
    }
}

}  // namespace

void DropMinusOfZero(char* text) {
    if (text[0] != '-') return;
    for (const char* p = text + 1; *p; ++p) {
        if (*p >= '1' && *p <= '9') return;
        if (*p == 'e' || *p == 'E') break;
    }
    memmove(text, text + 1, strlen(text));
}

void FormatNumberText(char* buffer, uint32_t size, double value, bool piGlyph) {
    if (!buffer || size == 0) return;
    buffer[0] = 0;

    if (std::isnan(value)) {
        AppendToFixedBuffer(buffer, size, GroupText(kGroupUnits, 1), 0);  // "undefined"
        return;
    }
    if (std::isinf(value)) {
        AppendToFixedBuffer(buffer, size, value < 0 ? kMinusInfinityText : kInfinityText, 0);
        return;
    }

    if (value != 0) {
        const double v = value * kTwelveOverPi;
        if (std::fabs(v) < kLargestPiTwelfths) {
            const double n = std::floor(v + 0.5);
            if (n != 0 && std::fabs(v - n) < 0.001) {
                int64_t c = static_cast<int64_t>(std::fabs(n));
                int64_t d = 12;
                ReducePiFraction(c, d);
                char digits[24];
                if (n < 0) AppendToFixedBuffer(buffer, size, "-", 0);
                if (c > 1) {
                    snprintf(digits, sizeof digits, "%lld", static_cast<long long>(c));
                    AppendToFixedBuffer(buffer, size, digits, 0);
                }
                AppendToFixedBuffer(buffer, size, GroupText(kGroupCalculator, piGlyph ? 28 : 27), 0);
                if (d >= 2) {
                    snprintf(digits, sizeof digits, "/%lld", static_cast<long long>(d));
                    AppendToFixedBuffer(buffer, size, digits, 0);
                }
                return;
            }
        }
    }

    const double magnitude = std::fabs(value);
    int precision = 3;
    if (magnitude < 0.01) ++precision;
    if (magnitude < 0.001) ++precision;
    char conversion = 'f';
    if (std::trunc(std::log10(magnitude + 0.1) + 2) + precision >= static_cast<double>(size))
        conversion = 'g';
    char format[8];
    snprintf(format, sizeof format, "%%#.%d%c", precision, conversion);
    // Printed into a scratch buffer large enough for any double in 'f' form that the
    // size test lets through, then cut to the caller's size.
    char text[400];
    snprintf(text, sizeof text, format, value);

    // The C library prints "." here (the engine never switches its locale); the shown
    // separator is the platform's.
    const char separator = DecimalSeparator();
    char* point = strchr(text, '.');
    if (point) *point = separator;

    DropMinusOfZero(text);

    // Trailing zeros go, keeping one digit after the separator; never in an exponent,
    // where they are significant ("1.00e+20").
    if (point && !strchr(text, 'e')) {
        size_t len = strlen(text);
        while (len > 3 && text[len - 1] == '0' && text[len - 2] != separator) text[--len] = 0;
        if (len > 0 && text[len - 1] == separator) text[--len] = 0;
    }
    AppendToFixedBuffer(buffer, size, text, 0);
}
