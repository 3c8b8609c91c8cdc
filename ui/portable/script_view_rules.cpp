#include "ui/portable/script_view_rules.h"

#include <algorithm>

int32_t ScriptRowHeight(bool separator, int32_t ascent, int32_t descent) {
    if (separator) return kScriptSeparatorHeight;
    return std::max(ascent + descent, kScriptRowMinHeight);
}

namespace {

int32_t HeightOf(const std::vector<int32_t>& heights, int32_t item) {
    return item >= 0 && item < static_cast<int32_t>(heights.size()) ? heights[static_cast<size_t>(item)] : 0;
}

// The top that puts the item and the one after it in the middle of the list.
int32_t CentredTop(const std::vector<int32_t>& heights, int32_t clientHeight, int32_t item) {
    const int32_t pair = HeightOf(heights, item) + HeightOf(heights, item + 1);
    int32_t above = (clientHeight - pair) / 2;
    int32_t top = item;
    while (top > 0 && HeightOf(heights, top - 1) <= above) {
        above -= HeightOf(heights, top - 1);
        --top;
    }
    return top;
}

}  // namespace

int32_t StepListTopFor(const std::vector<int32_t>& heights, int32_t top, int32_t clientHeight, int32_t item,
                       bool inProgress) {
    const auto count = static_cast<int32_t>(heights.size());
    if (item < 0 || item >= count) return top;
    if (item < top) {
        int32_t upTo = 0;
        for (int32_t i = 0; i <= item; ++i) upTo += HeightOf(heights, i);
        return upTo <= clientHeight ? 0 : CentredTop(heights, clientHeight, item);
    }
    int32_t bottom = 0;
    for (int32_t i = top; i <= item; ++i) bottom += HeightOf(heights, i);
    if (bottom <= clientHeight) return top;
    if (inProgress) return CentredTop(heights, clientHeight, item);
    // Just far enough: the item and the one after it end at the bottom, the item itself
    // staying in view when the two do not fit together.
    int32_t used = HeightOf(heights, item) + HeightOf(heights, item + 1);
    int32_t newTop = item;
    while (newTop > top && used + HeightOf(heights, newTop - 1) <= clientHeight) {
        used += HeightOf(heights, newTop - 1);
        --newTop;
    }
    return newTop;
}

int32_t ClampSplitterDelta(int32_t commentHeight, int32_t listHeight, int32_t delta) {
    const int32_t most = listHeight - kScriptListMinHeight;
    const int32_t least = kScriptCommentMinHeight - commentHeight;
    if (delta > most) delta = most;
    if (delta < least) delta = least;
    return delta;
}

int32_t GivenInsertionRow(const std::vector<bool>& givenRows, int32_t pointerRow) {
    const auto rows = static_cast<int32_t>(givenRows.size());
    int32_t first = 0, last = 0;
    for (int32_t row = 1; row <= rows; ++row) {
        if (!givenRows[static_cast<size_t>(row - 1)]) continue;
        if (!first) first = row;
        last = row;
    }
    if (!first) return 0;
    if (pointerRow <= 0 || pointerRow > last) return last + 1;
    if (pointerRow < first) return first;
    // Within the givens: the nearest given row, the upper one on a tie.
    for (int32_t distance = 0;; ++distance) {
        const int32_t up = pointerRow - distance, down = pointerRow + distance;
        if (up >= 1 && givenRows[static_cast<size_t>(up - 1)]) return up;
        if (down <= rows && givenRows[static_cast<size_t>(down - 1)]) return down;
    }
}

bool MayDropGivenAt(const std::vector<bool>& draggableRows, int32_t insertion) {
    const auto rows = static_cast<int32_t>(draggableRows.size());
    auto draggable = [&](int32_t row) { return row >= 1 && row <= rows && draggableRows[static_cast<size_t>(row - 1)]; };
    return draggable(insertion) || draggable(insertion - 1);
}

GivenDrop GivenDropMoves(const std::vector<bool>& givenRows, int32_t source, int32_t insertion) {
    GivenDrop drop{ 0, 0 };
    const auto rows = static_cast<int32_t>(givenRows.size());
    auto given = [&](int32_t row) { return row >= 1 && row <= rows && givenRows[static_cast<size_t>(row - 1)]; };
    if (!given(source) || insertion <= 0) return drop;
    if (insertion < source) {
        for (int32_t row = source - 1; row >= insertion; --row) {
            if (!given(row)) continue;
            ++drop.moves;
            drop.towardRow = row;
        }
    } else {
        // Dropped below: it goes before the insertion row, so the givens passed are those
        // after it and above the insertion.
        for (int32_t row = source + 1; row < insertion; ++row) {
            if (!given(row)) continue;
            ++drop.moves;
            drop.towardRow = row;
        }
    }
    return drop;
}
