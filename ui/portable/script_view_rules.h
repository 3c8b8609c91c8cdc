// Rules of the script view that need no window: how tall a row is, how far the step list
// scrolls to show a row, where the splitter between the comment and the list stops, and
// where a dragged given lands.
#pragma once
#include <cstdint>
#include <vector>

constexpr int32_t kScriptSeparatorHeight = 4;
constexpr int32_t kScriptRowMinHeight = 22;
constexpr int32_t kScriptRowIndent = 10;
// Room to the right of the widest row, so its last letter is never under the border.
constexpr int32_t kScriptExtentMargin = 20;
constexpr int32_t kScriptCommentMinHeight = 18;
constexpr int32_t kScriptListMinHeight = 36;

// A row's height: separators are thin, a text row is at least tall enough for a button-
// sized hit target whatever its text measures.
int32_t ScriptRowHeight(bool separator, int32_t ascent, int32_t descent);

// The list's first visible item (0-based) that shows `item` given the items' heights, the
// current top item and the list's client height. An item above the top brings the list
// to its start when everything up to it fits, else centres it with the one after it; a
// visible item moves nothing; an item below is centred while a tool is in progress, else
// the list scrolls just far enough for it and the one after it to show at the bottom.
int32_t StepListTopFor(const std::vector<int32_t>& heights, int32_t top, int32_t clientHeight, int32_t item,
                       bool inProgress);

// The splitter's movement kept within what leaves both the comment and the list their
// least heights; the comment's limit wins when the two cannot both hold.
int32_t ClampSplitterDelta(int32_t commentHeight, int32_t listHeight, int32_t delta);

// Rows are 1-based; givenRows[row - 1] tells whether a row is a given's.
//
// Where a drag over `pointerRow` would insert (0 = below the last row): the given row
// nearest the pointer, or the row after the last given for a pointer past it. 0 when the
// script has no given.
int32_t GivenInsertionRow(const std::vector<bool>& givenRows, int32_t pointerRow);
// Whether a drop may happen there: the insertion row or the one above it is a given that
// may be dragged.
bool MayDropGivenAt(const std::vector<bool>& draggableRows, int32_t insertion);

// A drop of the given at `source` before `insertion`: how many givens it passes, and the
// row of the farthest one (toward which it moves one place per given passed).
struct GivenDrop {
    int32_t moves;
    int32_t towardRow;
};
GivenDrop GivenDropMoves(const std::vector<bool>& givenRows, int32_t source, int32_t insertion);
