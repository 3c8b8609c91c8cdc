// The installed-font list, as the document records see it.
#pragma once
#include <cstdint>

struct TextStyle;

// A stored font description is {u16 font traits, the face name NUL-terminated}.
// Bytes it needs (face name length + 5) for a font number (numbers below 1 are taken
// as 1), 0 when the number lies beyond the font list; written when `out` is given.
uint32_t GetFontSpec(uint8_t* out, int16_t font);
// The installed font with that face name (compared without case), else the first with
// equal traits, else the best substitute; with a null description the default font.
void FindFontNumber(int16_t* font, const uint8_t* description);

// The default text style of text family `slot` (0..4) in a new preferences record:
// every field plain, font number 1, size 12 (10 for family 4), script level 0.
void InitDefaultTextStyle(int32_t slot, TextStyle* style);
