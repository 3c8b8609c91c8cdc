// Test double of the text port: deterministic metrics and a recorder of draw calls.
//
// At pixel size s (the style's size at its script level; 12 when the style has none):
// ascent 5s/6, descent s/4, internal leading 0, every character and every glyph s/2
// wide (codes 256 and 258 are `size` wide and 257 is size * 7/8, as the real port does).
// The Symbol-font pair at height h measures h/2 per character, ascent 5h/6, descent h/4.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TextStyle;

struct PortCall {
    std::string op;          // "text", "line" (a styled line: x, y, size), "glyph", "fill", "frame", "erase", "invert", "cell" (a layout on the selection colour), "pen",
                             // "lines", "arc", "symbols", "caret", "outline", "endoutline"
    std::vector<int32_t> args;
    std::string text;        // for "text": the bytes drawn; "symbols": the two characters
};

// Records a drawing call of another port double (the styled text lines).
void RecordTextPortCall(const char* op, std::vector<int32_t> args, std::string text);
// Calls recorded since the last reset; only drawing calls are recorded.
const std::vector<PortCall>& TextPortCalls();
void ResetTextPort();
// Nesting of the measure and draw states now (0 outside every pass).
int32_t TextPortDepth();
// Pixel size the double measures with for a style.
int32_t TextPortPixelSize(const TextStyle& style);
// One line per call ("text 'ab' 10 20 10 3"), for readable comparisons.
std::string DescribeTextPortCalls();
