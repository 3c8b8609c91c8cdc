// The custom colours offered by the colour dialogs, and their stored form in the
// preferences file: {u32 count, count x {red, green, blue, unused byte}}.
#pragma once
#include <cstdint>

constexpr int32_t kMaxCustomColors = 16;

// In memory: colours as COLORREF values (0x00BBGGRR).
struct CustomColorBlock {
    int32_t  count;
    uint32_t colors[kMaxCustomColors];
};

// A new block (AllocMemory) from `size` stored bytes, holding at most 16 colours and
// no more than the bytes hold; null for a count of 0, too few bytes, or no memory.
CustomColorBlock* ReadColorList(const uint8_t* stored, uint32_t size);
// The stored size, 4 + 4 x count; the bytes go to `out` unless it is null.
uint32_t WriteColorList(const CustomColorBlock* list, uint8_t* out);
