// figlate's revisions of the layout engine: the kinds' split operations (used when a
// wrapped text block re-breaks its rows), their caret-stop counts, the measure that lets
// a text block measure its own rows, and the deep settling of caret stops.
#pragma once
#include <cstdint>

#include "engine/core/services/later_release.h"
#include "engine/text/layout.h"

// What a split is asked and answers. The parts are new trees (the node itself is left
// as it was); on failure both are null.
struct LayoutSplit {
    LayoutDrawState* state;      // measuring, with the style in force at the node applied
    int32_t          width;      // room for the first part; -1: any
    int32_t          mode;       // 1: the first part must fit; 0: the first opportunity
                                 // at or beyond the width
    LayoutNode*      first;
    LayoutNode*      second;
    int32_t          breakChar;  // the character the node was split at
    int32_t          outOfMemory;  // set when an allocation failed: the split is abandoned
};

extern const LaterLayoutKindRecord LaterLayoutKindTable[kLayoutKindCount];

// Splits any node through its kind's entry; false when the kind cannot or memory ran out
// (then nothing is left of the parts). The state's style is the node's.
bool SplitLayoutNode(LayoutNode* node, LayoutSplit* split);
bool SplitRow(LayoutNode* node, LayoutSplit* split);
bool SplitTextRun(LayoutNode* node, LayoutSplit* split);
bool SplitStyled(LayoutNode* node, LayoutSplit* split);

// The kinds' caret-stop counts from their children's present counts.
int32_t CaretStopCount(LayoutNode* node);

// The recursive measure of figlate: only dirty children are measured, and a kind that
// measures its own children (the text block) is handed them untouched.
int32_t LaterMeasureLayoutNode(LayoutNode* node, LayoutDrawState* state);
// A block's rows that are a style node over a block of their own give way to that block's
// rows, each under a copy of the style node, with its break characters; true when any did.
// Left as they were when memory runs out.
bool TakeOverInnerBlocks(LayoutNode* block);
// Brings the caret stops of every dirty node up to date without a port: children first.
// Widths stay as they were (the nodes stay marked for measuring).
void SettleDirtyLayoutNodes(LayoutNode* node);
