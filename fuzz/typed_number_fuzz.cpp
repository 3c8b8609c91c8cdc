// What the user types or pastes into a dialog's number and integer fields: any bytes go
// through the field's filter, its character replacement, the Enter rule, the integer
// reading and the expression parser, which must stay in bounds and keep their promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/calc/typed_number.h"
#include "platform/rules/dialog_rules.h"
#include "support/number_locale_double.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size < 1) return 0;
    const uint8_t options = bytes[0];
    const char separator = (options & 1) ? ',' : '.';
    const bool symbolFont = (options & 2) != 0;
    const bool integerField = (options & 4) != 0;
    SetDecimalSeparatorForTest(separator);

    // The text as pasted (a field holds at most 256 characters and stops at a NUL).
    std::vector<char> text(bytes + 1, bytes + size);
    if (text.size() > 256) text.resize(256);
    text.push_back(0);
    text.resize(std::strlen(text.data()) + 1);

    // Typed one character at a time, the field replaces "." and "^".
    std::vector<char> typed(text);
    for (size_t i = 0; typed[i]; ++i) typed[i] = NumberFieldTypedCharacter(typed[i], separator, symbolFont);

    char allowed[32];
    if (integerField) std::strcpy(allowed, "0123456789");
    else DefaultNumberFieldCharacters(separator, symbolFont, allowed, sizeof allowed);
    const size_t before = std::strlen(typed.data());
    const bool removed = FilterTypedCharacters(typed.data(), allowed);
    const size_t after = std::strlen(typed.data());
    if (removed != (after < before)) std::abort();
    for (size_t i = 0; i < after; ++i)
        if (!std::strchr(allowed, typed[i])) std::abort();
    if (FilterTypedCharacters(typed.data(), allowed)) std::abort();   // a filtered text stays as it is

    // The value reads back from the symbol font's caret as "^".
    for (size_t i = 0; i < after; ++i)
        if (typed[i] == kSymbolCaret) typed[i] = '^';
    double value = 0;
    if (ParseTypedNumber(typed.data(), &value)) {
        if (!std::isfinite(value)) std::abort();
        char shown[256];
        NumberFieldValueText(value, !integerField, separator, shown, sizeof shown);
        if (std::strlen(shown) >= sizeof shown) std::abort();
        (void)EnterStaysInField(typed.data(), shown, separator);
    }
    double raw = 0;
    if (ParseTypedNumber(text.data(), &raw) && !std::isfinite(raw)) std::abort();

    const int32_t lower = (options & 8) ? 0 : 10, upper = (options & 16) ? 2147483647 : 500;
    const IntegerReading reading = ReadIntegerField(text.data(), lower, upper, 7);
    if (reading.entry == IntegerEntry::kAccepted || reading.entry == IntegerEntry::kOutOfRange) {
        if (reading.value < lower || reading.value > upper) std::abort();
    } else if (reading.value != 7) {
        std::abort();
    }
    return 0;
}
