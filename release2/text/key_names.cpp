#include "release2/text/key_names.h"

#include <cstring>
#include <string>

#include "engine/core/services/string_groups.h"
#include "release2/text/string_resources.h"

size_t FormatAcceleratorName(uint32_t row, bool shiftHeld, char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    const char* keys = GroupText(kGroupMiscellany, 0);
    if (row >= std::strlen(keys)) return 0;
    const char key = keys[row];

    std::string text = "\t";
    if ((key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z')) {
        const bool lower = key >= 'a';
        if (lower || shiftHeld) text += ResourceString(kStringShiftKey);
        text += ResourceString(kStringCtrlKey);
        text += lower ? char(key - 'a' + 'A') : key;
    } else if (key != '\0' && std::strchr("+-/=?[]`", key) != nullptr) {
        text += ResourceString(kStringAltKey);
        text += key;
    } else if (key == '8') {
        text += ResourceString(kStringDelKey);
    } else {
        return 0;
    }
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}
