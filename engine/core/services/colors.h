// The custom colours the platform's colour dialogs offer.
#pragma once
#include <cstdint>

struct CustomColorBlock;

// A new block (AllocMemory) of the default custom colours, or null without memory.
CustomColorBlock* NewDefaultCustomColors();
// Installs `block`, which the platform then owns, and frees the one installed before;
// null drops the custom colours.
void SetCustomColors(CustomColorBlock* block);
// The block installed now, or null.
const CustomColorBlock* GetCustomColors();

// The twelve default object colours (COLORREF) of a new preferences record: red, navy,
// green, yellow, purple, maroon, magenta, the window colour, silver, then three times
// black or white, whichever contrasts with the window colour.
void InitDefaultPalette(uint32_t palette[12]);
