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

struct GraphicsPort;
struct SketchObject;

// The size of the text (`length` bytes; several lines allowed) in the style's font, on
// the device that text is measured on now (a printed page, the current sketch's view,
// else the screen).
void MeasureStyledText(const char* text, int32_t length, int32_t unused, const TextStyle* style,
                       int32_t fontWord, int16_t* width, int16_t* height);

// One line of text drawn transparently at (x, y) in the style's font and colour, dimmed
// with its object. The port's first field is the device context it draws on.
struct StyledTextLine {
    GraphicsPort*       port;
    const char*         text;
    int32_t             length;
    const TextStyle*    style;
    int32_t             fontWord;
    int16_t             x;
    int16_t             y;
    const SketchObject* object;
};
void DrawStyledTextLine(const StyledTextLine* line);
