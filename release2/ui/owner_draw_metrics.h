// Where figlate's owner-drawn pop-up menu items put their parts: each item shows a
// layout after the check-mark column. Plain numbers, so that they are tested natively.
#pragma once
#include <cstdint>

namespace owner_draw {

struct ItemSize {
    int32_t width;
    int32_t height;
};

// An item: the check-mark column, the layout and 4 pixels across; the layout's height
// and 6 pixels of air.
ItemSize ItemSizeFor(int32_t checkWidth, int32_t layoutWidth, int32_t ascent, int32_t descent);

// The check mark's corner from the item's top-left corner.
constexpr int32_t kCheckLeft = 2;
constexpr int32_t kCheckTop = 4;
// The layout starts this far right of the check-mark column.
constexpr int32_t kLayoutGap = 3;
// The layout's baseline, a pixel below its ascent.
inline int32_t BaselineOf(int32_t itemTop, int32_t ascent) { return itemTop + ascent + 1; }

}  // namespace owner_draw
