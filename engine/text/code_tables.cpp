#include "engine/text/code_tables.h"

#include <cstring>

#include "engine/core/memory.h"

const uint8_t kMacToWindowsHigh[128] = {
    0xc4, 0xc5, 0xc7, 0xc9, 0xd1, 0xd6, 0xdc, 0xe1, 0xe0, 0xe2, 0xe4, 0xe3, 0xe5, 0xe7, 0xe9, 0xe8,
    0xea, 0xeb, 0xed, 0xec, 0xee, 0xef, 0xf1, 0xf3, 0xf2, 0xf4, 0xf6, 0xf5, 0xfa, 0xf9, 0xfb, 0xfc,
    0x86, 0xb0, 0xa2, 0xa3, 0xa7, 0x95, 0xb6, 0xdf, 0xae, 0xa9, 0x99, 0xb4, 0xa8, 0x00, 0xc6, 0xd8,
    0x00, 0xb1, 0x00, 0x00, 0xa5, 0xb5, 0x00, 0x00, 0x00, 0x00, 0x00, 0xaa, 0xba, 0x00, 0xe6, 0xf8,
    0xbf, 0xa1, 0xac, 0x00, 0x83, 0x00, 0x00, 0xab, 0xbb, 0x85, 0xa0, 0xc0, 0xc3, 0xd5, 0x8c, 0x9c,
    0x96, 0x97, 0x93, 0x94, 0x91, 0x92, 0xf7, 0x00, 0xff, 0x9f, 0x00, 0xa4, 0x8b, 0x9b, 0x00, 0x00,
    0x87, 0xb7, 0x82, 0x84, 0x89, 0xc2, 0xca, 0xc1, 0xcb, 0xc8, 0xcd, 0xce, 0xcf, 0xcc, 0xd3, 0xd4,
    0x00, 0xd2, 0xda, 0xdb, 0xd9, 0x00, 0x88, 0x98, 0x00, 0x00, 0x00, 0xb0, 0xb8, 0x00, 0x00, 0x00,
};

namespace {

// Two Mac characters share a Windows one (the degree sign also stands for the ring
// above); going back, the lower Mac code, the character itself, wins.
constexpr CodeTable ReverseOf(const uint8_t (&forward)[128]) {
    CodeTable t{};
    for (int32_t i = 127; i >= 0; --i) {
        if (forward[i] >= 0x80) t.highMap[forward[i] - 0x80] = static_cast<uint8_t>(0x80 + i);
    }
    t.sequences[0] = { "\r\n", "\r" };
    return t;
}

constexpr CodeTable CopyOf(const uint8_t (&forward)[128]) {
    CodeTable t{};
    for (int32_t i = 0; i < 128; ++i) t.highMap[i] = forward[i];
    t.sequences[0] = { "\r", "\r\n" };
    t.sequences[1] = { "\xB9", "pi" };
    return t;
}

// Built on first use: the Mac table is defined above in this file, but a constant
// expression cannot read an extern array.
const CodeTable& MacToWindows() {
    static const CodeTable table = CopyOf(kMacToWindowsHigh);
    return table;
}
const CodeTable& WindowsToMac() {
    static const CodeTable table = ReverseOf(kMacToWindowsHigh);
    return table;
}

}  // namespace

const CodeTable* FindCodeTable(int32_t source, int32_t target) {
    if (source == kCharsetMac && target == kCharsetWindows) return &MacToWindows();
    if (source == kCharsetWindows && target == kCharsetMac) return &WindowsToMac();
    return nullptr;
}

bool HasCodeTable(int32_t source, int32_t target) { return FindCodeTable(source, target) != nullptr; }

uint32_t MapTextWithCodeTable(char* out, int32_t target, const char* text, uint32_t length, int32_t source,
                              bool* changed) {
    *changed = false;
    const CodeTable* table = FindCodeTable(source, target);
    uint32_t written = 0;
    // Appends converted bytes once something has changed; before that only counts.
    auto put = [&](const char* bytes, uint32_t n) {
        if (out && *changed) std::memcpy(out + written, bytes, n);
        written += n;
    };
    auto markChanged = [&](uint32_t at) {
        if (*changed) return;
        *changed = true;
        if (out) std::memcpy(out, text, at);
    };
    for (uint32_t i = 0; table && i < length;) {
        bool replaced = false;
        for (const CodeSequence* s = table->sequences; s->from; ++s) {
            const uint32_t n = static_cast<uint32_t>(std::strlen(s->from));
            if (text[i] != s->from[0] || n > length - i || std::memcmp(text + i, s->from, n) != 0) continue;
            const uint32_t m = static_cast<uint32_t>(std::strlen(s->to));
            if (n != m || std::memcmp(s->from, s->to, n) != 0) markChanged(written);
            put(s->to, m);
            i += n;
            replaced = true;
            break;
        }
        if (replaced) continue;
        char c = text[i];
        const uint8_t byte = static_cast<uint8_t>(c);
        if (byte >= 0x80 && table->highMap[byte - 0x80] != 0 && table->highMap[byte - 0x80] != byte) {
            markChanged(written);
            c = static_cast<char>(table->highMap[byte - 0x80]);
        }
        put(&c, 1);
        ++i;
    }
    if (!*changed) {
        if (out && length) std::memcpy(out, text, length);
        return length;
    }
    return written;
}

int32_t ConvertTextCharset(char** text, uint32_t length, bool addNul, uint32_t* newLength, int32_t source,
                           int32_t target, uint32_t allocFlags) {
    bool changed = false;
    const uint32_t counted = MapTextWithCodeTable(nullptr, target, *text, length, source, &changed);
    *newLength = length;
    if (!changed) return 1;
    auto* block = static_cast<char*>(AllocMemory(counted + (addNul ? 1 : 0), allocFlags));
    if (!block) return 0;
    MapTextWithCodeTable(block, target, *text, length, source, &changed);
    if (addNul) block[counted] = '\0';
    FreeMemory(*text);
    *text = block;
    *newLength = counted;
    return 1;
}
