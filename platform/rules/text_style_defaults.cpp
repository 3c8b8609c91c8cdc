// The default text styles of a new preferences record.
#include "engine/core/services/fonts.h"
#include "engine/core/services/text_style.h"
#include "engine/text/text_style.h"

void InitDefaultTextStyle(int32_t slot, TextStyle* style) {
    FillTextStyle(style, 1);  // plain, black, inheriting nothing; font number 1
    style->field[kStyleSize] = slot == 4 ? 10 : 12;
    style->field[kStyleScriptLevel] = 0;
}
