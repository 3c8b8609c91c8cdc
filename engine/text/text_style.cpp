#include "engine/text/text_style.h"

#include <cmath>
#include "engine/core/services/drawing_metrics.h"

const char kStyleLetters[kStyleFieldCount + 1] = "P#WSUOTRGL+";

void FillTextStyle(TextStyle* style, int16_t value) {
    for (int16_t& f : style->field) f = value;
}

void MergeTextStyle(TextStyle* result, const TextStyle* inner, const TextStyle* outer) {
    TextStyle merged;
    for (int32_t i = 0; i < kStyleScriptLevel; ++i)
        merged.field[i] = inner->field[i] != 0 ? inner->field[i] : outer->field[i];
    merged.field[kStyleScriptLevel] =
        static_cast<int16_t>(inner->field[kStyleScriptLevel] + outer->field[kStyleScriptLevel]);
    *result = merged;
}

void OverrideTextStyle(TextStyle* target, const TextStyle* source) {
    for (int32_t i = 0; i < kStyleScriptLevel; ++i)
        if (source->field[i] != 0) target->field[i] = source->field[i];
}

void IntersectTextStyle(TextStyle* target, const TextStyle* source, int32_t mode) {
    if (mode != 0) {
        *target = *source;
        return;
    }
    for (int32_t i = 0; i < kStyleRed; ++i)
        if (target->field[i] != source->field[i]) target->field[i] = 0;
    bool colourDiffers = false;
    for (int32_t i = kStyleRed; i <= kStyleBlue; ++i)
        if (target->field[i] != source->field[i]) colourDiffers = true;
    if (colourDiffers)
        for (int32_t i = kStyleRed; i <= kStyleBlue; ++i) target->field[i] = 0;
}

int32_t TextStylesEqual(const TextStyle* a, const TextStyle* b) {
    for (int32_t i = 0; i < kStyleFieldCount; ++i)
        if (a->field[i] != b->field[i]) return 0;
    return 1;
}

int32_t IsTextStyleEmpty(const TextStyle* style) {
    for (int16_t f : style->field)
        if (f != 0) return 0;
    return 1;
}

int32_t ClearMatchingStyleFields(TextStyle* style, const TextStyle* reference) {
    bool somethingLeft = false;
    for (int32_t i = 0; i < kStyleRed; ++i) {
        if (style->field[i] == reference->field[i])
            style->field[i] = 0;
        else if (style->field[i] != 0)
            somethingLeft = true;
    }
    bool colourEqual = true;
    bool colourSet = false;
    for (int32_t i = kStyleRed; i <= kStyleBlue; ++i) {
        if (style->field[i] != reference->field[i]) colourEqual = false;
        if (style->field[i] != 0) colourSet = true;
    }
    if (colourEqual) {
        for (int32_t i = kStyleRed; i <= kStyleBlue; ++i) style->field[i] = 0;
    } else if (colourSet) {
        return 0;
    }
    return !somethingLeft && style->field[kStyleScriptLevel] == 0 ? 1 : 0;
}

void SetOrResetStyleField(const TextStyle* reference, TextStyle* target, int32_t index,
                          int16_t value) {
    if (index < 0 || index >= kStyleFieldCount) return;
    target->field[index] = reference->field[index] == value ? 1 : value;
}

int32_t StyleLetterIndex(char letter) {
    for (int32_t i = 0; i < kStyleFieldCount; ++i)
        if (kStyleLetters[i] == letter) return i;
    return kStyleFieldCount;
}

char StyleLetterAt(int32_t index) {
    return index >= 0 && index < kStyleFieldCount ? kStyleLetters[index] : '?';
}

int32_t ScriptLevelFontSize(const TextStyle* style) {
    // The screen sizes step down this ladder, one rung per level, so that small text
    // stays on sizes the screen fonts draw well.
    static const int32_t kLadder[11] = { 6, 8, 9, 10, 12, 14, 24, 36, 48, 72, 96 };
    int32_t size = style->field[kStyleSize];
    const bool printing = CurrentOutputScale.printing != 0;
    if (printing) size = static_cast<int32_t>(size * CurrentOutputScale.factor);
    const int32_t level = style->field[kStyleScriptLevel];
    if (level < 1) return size;
    if (!printing && level < 10) {
        for (int32_t i = level; i <= 9; ++i)
            if (size < kLadder[i + 1]) return kLadder[i - level];
    }
    if (level > 5) return static_cast<int32_t>(std::lround(size * std::pow(0.8, level)));
    int32_t num = 1, den = 1;
    for (int32_t i = 0; i < level; ++i) {
        num *= 4;
        den *= 5;
    }
    return static_cast<int32_t>(static_cast<int64_t>(size) * num / den);
}
