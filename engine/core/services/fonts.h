// The installed-font list, as the document records see it.
#pragma once
#include <cstdint>

// A stored font description is {u16 font traits, the face name NUL-terminated}.
// Bytes it needs (face name length + 5) for a font number (numbers below 1 are taken
// as 1), 0 when the number lies beyond the font list; written when `out` is given.
uint32_t GetFontSpec(uint8_t* out, int16_t font);
// The installed font with that face name (compared without case), else the first with
// equal traits, else the best substitute; with a null description the default font.
void FindFontNumber(int16_t* font, const uint8_t* description);
