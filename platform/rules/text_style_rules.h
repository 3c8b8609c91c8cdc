// Rules of the text style controls that need no Windows call: the size texts of the Text
// Palette (twentieths of a point) and of the Text Style dialog, what their size fields
// let the user type, which colour a swatch item stands for, the notation commands'
// editor codes and symbols, where the notation bar first appears beside the palette, and
// how a floating bar's frame follows the mouse while it is resized.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- Sizes ---------------------------------------------------------------------------

// Sizes are twentieths of a point. The smallest and largest sizes a text can be given
// (1 and 1638 points); the style keeps whole points in a 16-bit field.
constexpr int32_t kSmallestSize = 20;
constexpr int32_t kLargestSize = 32760;
// What ParseSizeText answers besides a size.
constexpr int32_t kSizeEmpty = -1;
constexpr int32_t kSizeNotANumber = -2;
// Any size above kLargestSize, including numbers too large for an integer.
constexpr int32_t kSizeTooLarge = kLargestSize + 1;

// The shown text of a size: empty for a negative size; whole points as "%ld", a half
// point as "%.1f" (to the nearest half point).
void FormatSizeText(int32_t twentieths, char* out, size_t capacity);
// Blanks and tabs around the number are skipped; empty: kSizeEmpty; anything but one
// real number: kSizeNotANumber; a negative number 0; otherwise the number in twentieths,
// truncated, and kSizeTooLarge for anything above the largest size (never converted).
int32_t ParseSizeText(const char* text);
// Whether a parsed size may be applied (1 to 1638 points).
bool IsAcceptableSize(int32_t twentieths);
// The string resource that refuses a parsed size: 214 not a number, 215 out of range,
// 0 when the size is acceptable or empty.
uint32_t SizeRefusalMessage(int32_t twentieths);

// The sizes both lists offer, in points.
constexpr int32_t kOfferedSizes[9] = { 9, 10, 12, 14, 16, 18, 24, 36, 48 };
// Where the dialog's list puts a size it does not offer: the index of the first larger
// size (9 when none is larger); -1 when the size is offered (or not positive).
int32_t OfferedSizeInsertIndex(int32_t points);

// The size fields take digits only: the palette's box drops any other character, the
// dialog's field cuts its text at the first one. Answers the kept length.
bool IsSizeCharacter(uint32_t character);
size_t DigitPrefixLength(const char* text);

// ---- Text style commands ----------------------------------------------------------------

struct TextStyle;
// Commands 32881 to 32893: plain, bold, underline, italic, overbar, the sizes 9, 10, 12,
// 14, 18 and 24, larger and smaller.
constexpr uint32_t kFirstTextStyleCommand = 32881;
constexpr uint32_t kLastTextStyleCommand = 32893;
// Changes the current style as the command asks and gives the size step (the steps leave
// the size field empty, so each object moves from its own size); false for other commands.
bool StyleForTextCommand(uint32_t command, TextStyle* style, int32_t* step);
// Whether the command's item is checked for the current style.
bool TextCommandChecked(uint32_t command, const TextStyle& style);

// ---- Colour swatches and notation commands --------------------------------------------

// Swatch items 32859 to 32874: item 32859 + i is colour i of the colour menu's sixteen;
// -1 for any other item.
constexpr uint32_t kFirstSwatchItem = 32859;
int32_t SwatchColorIndex(uint32_t item);

// The caption editor's code for a notation command 32804 to 32814; -1 for other commands.
int32_t NotationEditorCode(uint32_t command);
// The overbar value (2 segment, 3 ray, 4 line, 5 arc) of commands 32800 to 32803; 0 else.
int16_t OverbarValue(uint32_t command);

// The symbol menu: its characters in order (codes 256 to 258 are the port's own glyphs),
// eight to a column; items carry kFirstSymbolItem + the code.
constexpr int32_t kSymbolCount = 31;
extern const uint16_t kSymbolCodes[kSymbolCount];
constexpr uint32_t kFirstSymbolItem = 2000;
constexpr int32_t kSymbolsPerColumn = 8;
// The editor code of a chosen symbol item (the Symbol-font insert bit with the code).
int32_t SymbolEditorCode(uint32_t item);

// ---- Bars ----------------------------------------------------------------------------

struct BarRect {
    int32_t left, top, right, bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const BarRect&) const = default;
};
struct BarSize {
    int32_t cx, cy;
};

// Where the notation bar goes when shown beside the palette. A floating palette: the
// bar floats two borders left of the palette's left edge and two borders below it (only
// the top-left counts). A docked one: the bar docks on the palette's row right of it, as
// tall as the palette, or at the start of the next row when it would pass the dock
// bar's right edge.
struct NotationPlacement {
    bool floating;
    BarRect rect;
};
NotationPlacement PlaceNotationBar(bool paletteFloats, const BarRect& palette, const BarRect& dockBar,
                                   BarSize bar, int32_t borderWidth, int32_t borderHeight);

// Hit-test codes of the frame's edges and corners, as the system numbers them.
enum FrameHit : int32_t {
    kHitLeft = 10, kHitRight = 11, kHitTop = 12, kHitTopLeft = 13, kHitTopRight = 14,
    kHitBottom = 15, kHitBottomLeft = 16, kHitBottomRight = 17,
};
// The bar's layout for a proposed length: a width, or a height when byHeight.
using BarLayoutQuery = BarSize (*)(void* context, int32_t length, bool byHeight);
// One step of resizing a floating frame by the edge or corner `hit` with the mouse moved
// by (dx, dy): the edges that follow the mouse propose a size, the bar's layout decides
// it (asked by width when the width changed, by height when the height changed or the
// width did not), and each moved edge is set from it with the opposite edge fixed, kept
// only when the frame still meets the desktop. `extra` is the frame's size less the bar's.
BarRect StretchFloatingFrame(int32_t hit, const BarRect& frame, BarSize extra, int32_t dx, int32_t dy,
                             BarLayoutQuery layout, void* context, const BarRect& desktop);
