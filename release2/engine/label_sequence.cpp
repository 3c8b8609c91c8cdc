#include "release2/engine/label_sequence.h"

#include <cstring>

namespace {

constexpr uint32_t kMarkerLength = sizeof kLabelSequenceMarker - 1;

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Letters and digits whose next character code is still one of their kind.
bool HasNextOfKind(char c) { return (c >= 'A' && c <= 'Y') || (c >= 'a' && c <= 'y') || (c >= '0' && c <= '8'); }

void CopyPart(char* to, const char* from, uint32_t length) {
    std::memcpy(to, from, length);
    to[length] = 0;
}

// Raises the counting part at the end of the prefix by one step.
void Advance(char* prefix, uint32_t* length) {
    uint32_t n = *length;
    if (n == 0) return;
    if (prefix[n - 1] != '9') {
        ++prefix[n - 1];
        return;
    }
    uint32_t first = n;
    while (first > 0 && prefix[first - 1] == '9') --first;
    for (uint32_t i = first; i < n; ++i) prefix[i] = '0';
    if (first > 0 && IsAsciiDigit(prefix[first - 1])) {
        ++prefix[first - 1];
        return;
    }
    // No digit before the nines: one more digit (A9 gives A10, A99 gives A100).
    prefix[first] = '1';
    if (n + 1 < kLabelStateSize) {
        prefix[n] = '0';
        prefix[n + 1] = 0;
        *length = n + 1;
    }
}

}  // namespace

const char* FindLastMarker(const char* text) {
    if (!text) return nullptr;
    const char* last = nullptr;
    for (const char* at = std::strstr(text, kLabelSequenceMarker); at; at = std::strstr(at + 1, kLabelSequenceMarker))
        last = at;
    return last;
}

bool IsBlankText(const char* text) {
    if (!text) return true;
    for (; *text; ++text)
        if (*text != ' ') return false;
    return true;
}

int32_t NextLabelInSequence(char* state, char* label) {
    char prefix[kLabelStateSize + 1];
    char suffix[kLabelStateSize];
    const uint32_t total = static_cast<uint32_t>(strnlen(state, kLabelStateSize - 1));
    state[total] = 0;
    const char* marker = state[0] == '=' ? FindLastMarker(state) : nullptr;
    uint32_t prefixLength = 0, suffixLength = 0;
    if (marker) {
        prefixLength = static_cast<uint32_t>(marker - state - 1);
        CopyPart(prefix, state + 1, prefixLength);
        suffixLength = total - prefixLength - 1 - kMarkerLength;
        CopyPart(suffix, marker + kMarkerLength, suffixLength);
    } else if (total > 1 && state[total - 1] == ']' && std::memchr(state, '[', total - 1)) {
        // A subscript label counts inside its brackets.
        prefixLength = total - 1;
        CopyPart(prefix, state, prefixLength);
        suffixLength = 1;
        CopyPart(suffix, "]", 1);
    } else {
        prefixLength = total;
        CopyPart(prefix, state, prefixLength);
    }

    if (prefixLength == 0 || !HasNextOfKind(prefix[prefixLength - 1])) {
        // Z, z, a sign or nothing starts counting with a digit; a 9 counts on as it is.
        if (prefixLength == 0 || !IsAsciiDigit(prefix[prefixLength - 1])) {
            if (prefixLength + 1 >= kLabelStateSize) --prefixLength;
            prefix[prefixLength++] = '1';
            prefix[prefixLength] = 0;
        }
    }

    // This step's label: the prefix and as much of the suffix as fits.
    const uint32_t labelSuffix = prefixLength + suffixLength < kLabelStateSize ? suffixLength
                                                                                : kLabelStateSize - 1 - prefixLength;
    std::memcpy(label, prefix, prefixLength);
    CopyPart(label + prefixLength, suffix, labelSuffix);

    Advance(prefix, &prefixLength);

    // The next state: "=", prefix, marker, suffix, cut to its room.
    const uint32_t room = kLabelStateSize - 1 - 1 - kMarkerLength;
    if (prefixLength + suffixLength > room) {
        suffixLength = prefixLength < room ? room - prefixLength : 0;
        if (prefixLength > room) prefixLength = room;
    }
    state[0] = '=';
    std::memcpy(state + 1, prefix, prefixLength);
    std::memcpy(state + 1 + prefixLength, kLabelSequenceMarker, kMarkerLength);
    CopyPart(state + 1 + prefixLength + kMarkerLength, suffix, suffixLength);
    return 0;
}
