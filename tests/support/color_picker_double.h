// Test double of the colour picker: answers as scripted and keeps the colour it was
// opened with.
#pragma once
#include <cstdint>

struct ColorPickerScript {
    bool     accept = false;
    uint32_t answer = 0;
    uint32_t openedWith = 0;
    int32_t  opens = 0;
};
ColorPickerScript& TestColorPicker();
