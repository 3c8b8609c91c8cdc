// The text style of objects and layout nodes.
#pragma once
#include <cstdint>

// Eleven fields in the order of the style letters "P#WSUOTRGL+". 0 means inherit in every
// field; script levels add up relative to the enclosing style.
struct TextStyle {
    int16_t font;         // P: 1-based index into the installed-font list
    int16_t size;         // #
    int16_t weight;       // W: 1 normal, 2 bold
    int16_t slant;        // S: 1 upright, 2 italic
    int16_t underline;    // U: 1 off, 2 underlined
    int16_t overmark;     // O
    int16_t width;        // T
    int16_t red;          // R: stored as value plus one
    int16_t green;        // G
    int16_t blue;         // L
    int16_t scriptLevel;  // +
};
static_assert(sizeof(TextStyle) == 22);
