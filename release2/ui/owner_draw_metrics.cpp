#include "release2/ui/owner_draw_metrics.h"

namespace owner_draw {

ItemSize ItemSizeFor(int32_t checkWidth, int32_t layoutWidth, int32_t ascent, int32_t descent) {
    return { checkWidth + layoutWidth + 4, ascent + descent + 6 };
}

}  // namespace owner_draw
