#include "tests/support/number_locale_double.h"

#include "engine/core/services/number_locale.h"

namespace {
char g_separator = '.';
}

char DecimalSeparator() { return g_separator; }

void SetDecimalSeparatorForTest(char separator) { g_separator = separator ? separator : '.'; }
