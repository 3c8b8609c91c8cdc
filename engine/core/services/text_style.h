// The text style record that sketch objects and the preferences carry: eleven signed
// 16-bit fields, 0 meaning "inherit". How styles merge, compare and size is the text
// code's (engine/text/text_style.h).
#pragma once
#include <cstdint>

enum TextStyleField : int32_t {
    kStyleFont        = 0,   // P  FontNumber, 1-based index into the installed-font list
    kStyleSize        = 1,   // #  pixel height at screen scale
    kStyleWeight      = 2,   // W  1 normal, 2 bold
    kStyleSlant       = 3,   // S  1 upright, 2 italic
    kStyleUnderline   = 4,   // U  1 off, 2 underlined
    kStyleOvermark    = 5,   // O  1 none, 2 bar, 3 arrow, 4 double arrow, 5 arc
    kStyleWidth       = 6,   // T  1 normal, 2 condensed, more expanded
    kStyleRed         = 7,   // R  colour component + 1
    kStyleGreen       = 8,   // G
    kStyleBlue        = 9,   // L
    kStyleScriptLevel = 10,  // +  0 normal; each level smaller
    kStyleFieldCount  = 11,
};

struct TextStyle {
    int16_t field[kStyleFieldCount];
};
