// Text styles: eleven signed 16-bit fields, each named by one letter of "P#WSUOTRGL+".
// 0 means "inherit from the enclosing style" in every field, except the script level,
// which adds up: a style's level counts relative to the enclosing one.
#pragma once
#include <cstdint>

#include "engine/core/services/text_style.h"

// The style letters in field order.
extern const char kStyleLetters[kStyleFieldCount + 1];

void FillTextStyle(TextStyle* style, int16_t value);
// Fields 0-9 from the inner style unless 0 there, else from the outer; the levels add.
// The result may be the same record as either input.
void MergeTextStyle(TextStyle* result, const TextStyle* inner, const TextStyle* outer);
// Copies the non-zero fields 0-9 of the source; the script level is not touched.
void OverrideTextStyle(TextStyle* target, const TextStyle* source);
// Mode non-zero copies everything; mode 0 clears each of fields 0-9 that differs from the
// source (the three colour fields as one group) and leaves the script level.
void IntersectTextStyle(TextStyle* target, const TextStyle* source, int32_t mode);
int32_t TextStylesEqual(const TextStyle* a, const TextStyle* b);
int32_t IsTextStyleEmpty(const TextStyle* style);
// Clears what the style shares with the reference; 1 when nothing but inherit is left.
int32_t ClearMatchingStyleFields(TextStyle* style, const TextStyle* reference);
// The target's field becomes 1 (plain) when the reference already holds the value there,
// else the value: how the style commands toggle bold, italic and the like.
void SetOrResetStyleField(const TextStyle* reference, TextStyle* target, int32_t index,
                          int16_t value);
// 0-10 for a style letter, 11 for any other character.
int32_t StyleLetterIndex(char letter);
char StyleLetterAt(int32_t index);

// Pixel size of the style at its script level (times the output factor while printing).
int32_t ScriptLevelFontSize(const TextStyle* style);
