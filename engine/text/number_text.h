// Plain number text: multiples of pi/12 as fractions of pi ("Pi/2", "-2Pi/3"), other
// values with three significant decimals ("12.25", "0.0005", "5.0").
#pragma once
#include <cstdint>

// Writes the text of value into buffer (size bytes, always NUL-terminated; cut to fit).
// piGlyph selects the Symbol-font pi mark "p" instead of "Pi". NaN shows "undefined",
// infinities "infinity" / "-infinity"; a value that prints as zero shows no minus sign.
void FormatNumberText(char* buffer, uint32_t size, double value, bool piGlyph);

// A printed number whose digits are all zero ("-0.00", "-0") loses its minus sign. The
// printed text decides, not a threshold on the value: only the text knows how the
// C library rounded the last digit.
void DropMinusOfZero(char* text);
