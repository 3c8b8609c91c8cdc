// The ends of a caret line, which need no drawing call: the program's text port and the
// tests' double both take them from here.
#include "engine/core/services/text_port.h"
#include "engine/core/services/text_style.h"

void PortAdjustRunEnds(ScreenPoint* top, ScreenPoint* bottom, const TextStyle* style) {
    if (style->field[kStyleSlant] == 2) {
        // Along the slant: a fifth of the height over the whole caret.
        const int32_t d = (bottom->y - top->y) / 5;
        bottom->x = static_cast<int16_t>(bottom->x - d / 2);
        top->x = static_cast<int16_t>(bottom->x + d);
    } else {
        --top->x;
        --bottom->x;
    }
}
