#include "engine/text/caret_codes.h"

#include <cstring>

namespace {

// Overwrites the last three bytes of the capacity with the cut mark.
void MarkCut(char* output, uint32_t capacity) {
    if (capacity > 2) memcpy(output + capacity - 3, "...", 3);
}

}  // namespace

uint32_t ExpandCaretCodes(const char* templ, uint32_t templateLength, int32_t cutFlag,
                          uint32_t capacity, char* output, CaretCodeProvider provider,
                          void* context) {
    if (!templ) return 0;
    const bool writing = capacity != 0 && output != nullptr;
    uint32_t produced = 0;
    uint32_t pos = 0;
    bool cut = false;
    // The room kept for the unread template counts characters, not what they expand
    // to: a code that gives fewer than its two characters would make a whole value give
    // way to "..." although everything fits. When the full expansion fits, nothing is
    // cut or replaced, so writing gives exactly what measuring promised.
    const bool fits = writing && ExpandCaretCodes(templ, templateLength, cutFlag, 0, nullptr,
                                                  provider, context) <= capacity;

    while (pos < templateLength) {
        // Literal text up to the next caret.
        uint32_t lit = pos;
        while (lit < templateLength && templ[lit] != '^') ++lit;
        if (lit > pos) {
            uint32_t len = lit - pos;
            if (writing) {
                uint32_t room = capacity - produced;
                if (len > room) { len = room; cut = true; }
                memcpy(output + produced, templ + pos, len);
            }
            produced += len;
            pos = lit;
            if (writing) {
                if (cut) break;
                if (produced >= capacity) return produced;
            }
        }
        if (pos >= templateLength) break;

        // "^" and its code character. A caret as the template's last character has no
        // code: it is consumed and gives nothing (reading on would leave the template).
        ++pos;
        if (pos >= templateLength) break;
        const char code = templ[pos++];
        const uint32_t full = provider ? provider(code, context, 0, nullptr) : 0;
        if (!writing) {
            produced += full;
            continue;
        }

        // Signed arithmetic: with cut flag 0 the unread template may exceed the room.
        int64_t room = static_cast<int64_t>(capacity) - produced;
        int64_t keep = room;
        if (cutFlag == 0 && !fits) keep -= static_cast<int64_t>(templateLength - pos);
        if (static_cast<int64_t>(full) > keep) {
            if (cutFlag == 0) {
                if (produced + 3 <= capacity) {
                    memcpy(output + produced, "...", 3);
                    produced += 3;
                }
            } else {
                uint32_t part = static_cast<uint32_t>(room);
                if (part && provider) provider(code, context, part, output + produced);
                produced += part;
                cut = true;
            }
        } else if (full) {
            provider(code, context, full, output + produced);
            produced += full;
        }
        if (cut) break;
        if (produced >= capacity) return produced;
    }

    if (writing && cut) MarkCut(output, capacity);
    return produced;
}

uint32_t CaretArgsProvider(char code, void* context, uint32_t n, char* destination) {
    const CaretArgs* a = static_cast<const CaretArgs*>(context);
    if (!a || !a->args) return 0;
    const int32_t index = static_cast<int32_t>(static_cast<signed char>(code)) - 'A';
    if (index < 0 || static_cast<uint32_t>(index) >= a->count) return 0;
    const char* text = a->args[index];
    if (!text) return 0;
    const uint32_t len = static_cast<uint32_t>(strlen(text));
    if (destination) memcpy(destination, text, n < len ? n : len);
    return len;
}

namespace {

// A code is "^" followed by a byte >= 'A' compared as signed, so bytes of 0x80 and up
// (accented letters of code page 1252) are no code letter.
bool IsArgCodeAt(const char* p) {
    return p[0] == '^' && static_cast<signed char>(p[1]) >= 'A';
}

}  // namespace

void SubstituteCaretArgs(char* buffer, const char* const* args, uint32_t argCount,
                         uint32_t size, bool rescan) {
    if (!buffer || size < 3) return;
    // A text that fills the buffer without its NUL is taken as ending at the last byte.
    buffer[size - 1] = 0;
    const uint32_t len = static_cast<uint32_t>(strlen(buffer));

    uint32_t first = 0;
    while (first + 1 < len && !IsArgCodeAt(buffer + first)) ++first;
    if (first + 1 >= len) return;

    char letter = buffer[first + 1];
    uint32_t write = first;
    // The unread rest moves to the end of the buffer, ending just before the last byte;
    // arguments grow into the gap between the write position and the rest.
    const uint32_t tail = size - 1;
    uint32_t restLen = len - (first + 2);
    uint32_t rest = tail - restLen;
    memmove(buffer + rest, buffer + first + 2, restLen);

    uint32_t codes = 0;
    for (;;) {
        ++codes;
        const int32_t index = static_cast<int32_t>(static_cast<signed char>(letter)) - 'A';
        const char* arg = nullptr;
        if (codes <= 512 && args && index >= 0 && static_cast<uint32_t>(index) < argCount)
            arg = args[index];
        if (arg) {
            const uint32_t alen = static_cast<uint32_t>(strlen(arg));
            if (alen <= rest - write) {
                if (!rescan) {
                    memmove(buffer + write, arg, alen);
                    write += alen;
                } else {
                    rest -= alen;
                    memmove(buffer + rest, arg, alen);
                }
            }
        }

        // The next code in the unread rest, at positions up to size - 3.
        uint32_t next = rest;
        while (next + 2 <= tail && !IsArgCodeAt(buffer + next)) ++next;
        if (next + 2 > tail) break;
        const uint32_t litLen = next - rest;
        memmove(buffer + write, buffer + rest, litLen);
        write += litLen;
        letter = buffer[next + 1];
        rest = next + 2;
    }

    const uint32_t remain = tail - rest;
    memmove(buffer + write, buffer + rest, remain);
    buffer[write + remain] = 0;
}
