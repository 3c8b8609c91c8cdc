// The document format's own number and text forms: the 32-bit packed real, 8-byte
// reals in file order (little-endian IEEE 754) and counted strings. Record readers
// and writers use these so that no field depends on the processor's layout.
#pragma once
#include <cstddef>
#include <cstdint>

// Bit 31 sign, bits 24-30 exponent with bias 64, bits 0-23 mantissa with an explicit
// leading bit: value = m * 2^(e - 87).
using PackedReal32 = uint32_t;

PackedReal32 PackReal32(double x);
double       UnpackReal32(PackedReal32 packed);

// Copy `count` doubles into / out of file order; both answer count * 8.
uint32_t RealsToFileOrder(void* destination, const double* source, uint16_t count);
uint32_t RealsFromFileOrder(double* destination, const void* source, uint16_t count);

// A counted string: u16 length n, the n characters, a NUL, and one pad byte when n is
// even, so that its packed size (n + 3 rounded up to even) is even.
constexpr uint32_t CountedStringSize(uint32_t n) { return (n + 3 + 1) & ~1u; }

// Stores the length, the characters and the NUL when `out` is given (the pad byte is
// the caller's; record writers zero their buffers). A length of 0 means the text's own.
// Answers the packed size. Texts longer than 65,535 characters are cut there.
uint32_t PackCountedString(uint8_t* out, const char* text, uint32_t length);
// Copies the characters and a NUL into `buffer` when given; answers length + 1.
uint32_t UnpackCountedString(char* buffer, const uint8_t* counted);

// Bounded form for bytes from outside: the string at `counted` must lie within
// `available` bytes, its NUL included. Answers false (and touches nothing) otherwise;
// on success *length is the character count and *packedSize what it occupies, the pad
// byte counted only when it lies within `available`.
bool CheckCountedString(const uint8_t* counted, uint32_t available, uint32_t* length, uint32_t* packedSize);

uint32_t StringLength(const char* text);
char*    ClearString(char* buffer);
// Copy at most 255 characters and terminate (the buffer holds 256 bytes).
char*    CopyString255(char* buffer, const char* text);
char*    CopyText255(char* buffer, const char* text);
