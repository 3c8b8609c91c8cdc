#include "release2/text/key_names.h"

#include <cstring>

#include "engine/core/services/string_groups.h"
#include "release2/text/string_resources.h"

namespace {

// Appends text at *at, never past size - 1.
void Put(char* buffer, size_t size, size_t* at, const char* text) {
    while (*text && *at + 1 < size) buffer[(*at)++] = *text++;
    buffer[*at] = '\0';
}

}  // namespace

size_t FormatAcceleratorName(uint32_t row, bool shiftHeld, char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    const char* keys = GroupText(kGroupMiscellany, 0);
    if (row >= std::strlen(keys)) return 0;
    const char key = keys[row];

    const bool letter = (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
    const bool altKey = key != '\0' && std::strchr("+-/=?[]`", key) != nullptr;
    if (!letter && !altKey && key != '8') return 0;
    size_t at = 0;
    Put(buffer, size, &at, "\t");
    if (letter) {
        const bool lower = key >= 'a';
        if (lower || shiftHeld) Put(buffer, size, &at, ResourceString(kStringShiftKey));
        Put(buffer, size, &at, ResourceString(kStringCtrlKey));
        const char upper[2] = { lower ? char(key - 'a' + 'A') : key, '\0' };
        Put(buffer, size, &at, upper);
    } else if (altKey) {
        const char character[2] = { key, '\0' };
        Put(buffer, size, &at, ResourceString(kStringAltKey));
        Put(buffer, size, &at, character);
    } else {
        Put(buffer, size, &at, ResourceString(kStringDelKey));
    }
    return at;
}
