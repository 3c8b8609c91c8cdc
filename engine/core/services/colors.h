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

struct TextStyle;

// Colours are COLORREF values: red in the low byte, then green, then blue. A text style
// keeps each component + 1, so that 0 means the style sets no colour; such a style
// gives 0x10000, which is no colour.
void ColorRefToStyle(uint32_t color, TextStyle* style);
void StyleToColorRef(const TextStyle* style, uint32_t* color);
void PackRgb(uint32_t* color, uint8_t red, uint8_t green, uint8_t blue);
void UnpackRgb(uint8_t* rgb, uint32_t color);
// Whether two colours agree in red, green and blue.
bool SameRgb(uint32_t a, uint32_t b);

// The colour the colour menu and the text palette mark as current; none when
// `hasColor` is false.
void SetColorMenuMark(bool hasColor, uint32_t color);
// After change kind 6 or 7 (the sketch's colours changed): the current sketch's
// highlight colour is chosen again and its views redrawn.
void RefreshSelectionColor(int32_t changeKind);
