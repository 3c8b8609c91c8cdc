#include "engine/docio/packed_values.h"

#include <cstring>

PackedReal32 PackReal32(double x) {
    uint32_t sign = 0;
    // Written as x >= c tests throughout, all false for a NaN: a NaN packs as -0.
    if (!(x >= 0)) {
        sign = 0x80000000u;
        x = -x;
    }
    uint32_t e = 64;
    while (x >= 2) {
        if (e == 127) return sign | 0x7FFFFFFFu;
        x /= 2;
        ++e;
    }
    while (!(x >= 1) && e > 0) {
        x *= 2;
        --e;
    }
    uint32_t m = 0;
    for (int bit = 23; bit >= 0; --bit) {
        if (x >= 1) {
            m |= 1u << bit;
            x -= 1;
        }
        x *= 2;
    }
    uint32_t word = e << 24 | m;
    if (x >= 1 && word != 0x7FFFFFFFu) {
        ++word;
        // A carry out of the mantissa has already raised the exponent; restore the
        // leading bit.
        if ((word & 0x00FFFFFFu) == 0) word |= 0x00800000u;
    }
    return sign | word;
}

double UnpackReal32(PackedReal32 packed) {
    int e = static_cast<int>((packed >> 24) & 0x7F);
    double m = static_cast<double>(packed & 0x00FFFFFFu);
    double v = m;
    int shift = e - 87;
    // Scale by powers of two exactly (no ldexp dependency on the C library's rounding).
    while (shift > 0) { v *= 2; --shift; }
    while (shift < 0) { v /= 2; ++shift; }
    return (packed & 0x80000000u) ? -v : v;
}

uint32_t RealsToFileOrder(void* destination, const double* source, uint16_t count) {
    uint8_t* out = static_cast<uint8_t*>(destination);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t bits;
        std::memcpy(&bits, &source[i], 8);
        for (int b = 0; b < 8; ++b) out[i * 8 + b] = static_cast<uint8_t>(bits >> (8 * b));
    }
    return static_cast<uint32_t>(count) * 8;
}

uint32_t RealsFromFileOrder(double* destination, const void* source, uint16_t count) {
    const uint8_t* in = static_cast<const uint8_t*>(source);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t bits = 0;
        for (int b = 0; b < 8; ++b) bits |= static_cast<uint64_t>(in[i * 8 + b]) << (8 * b);
        std::memcpy(&destination[i], &bits, 8);
    }
    return static_cast<uint32_t>(count) * 8;
}

uint32_t PackCountedString(uint8_t* out, const char* text, uint32_t length) {
    if (length == 0) length = StringLength(text);
    if (length > 0xFFFF) length = 0xFFFF;
    if (out) {
        out[0] = static_cast<uint8_t>(length);
        out[1] = static_cast<uint8_t>(length >> 8);
        if (length) std::memcpy(out + 2, text, length);
        out[2 + length] = 0;
    }
    return CountedStringSize(length);
}

uint32_t UnpackCountedString(char* buffer, const uint8_t* counted) {
    uint32_t length = uint32_t(counted[0]) | uint32_t(counted[1]) << 8;
    if (buffer) {
        if (length) std::memcpy(buffer, counted + 2, length);
        buffer[length] = 0;
    }
    return length + 1;
}

bool CheckCountedString(const uint8_t* counted, uint32_t available, uint32_t* length, uint32_t* packedSize) {
    if (available < 3) return false;
    uint32_t n = uint32_t(counted[0]) | uint32_t(counted[1]) << 8;
    if (n + 3 > available || counted[2 + n] != 0) return false;
    if (length) *length = n;
    if (packedSize) {
        uint32_t size = CountedStringSize(n);
        *packedSize = size <= available ? size : n + 3;
    }
    return true;
}

uint32_t StringLength(const char* text) { return static_cast<uint32_t>(std::strlen(text)); }

char* ClearString(char* buffer) {
    buffer[0] = 0;
    return buffer;
}

char* CopyString255(char* buffer, const char* text) {
    uint32_t n = 0;
    while (n < 255 && text[n]) {
        buffer[n] = text[n];
        ++n;
    }
    buffer[n] = 0;
    return buffer;
}

char* CopyText255(char* buffer, const char* text) { return CopyString255(buffer, text); }
