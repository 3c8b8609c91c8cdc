#include "release2/text/layout_revisions.h"

#include <algorithm>
#include <iterator>

#include "engine/core/services/text_port.h"
#include "engine/text/layout_kinds.h"
#include "release2/text/wrap_width.h"

namespace {

void DropParts(LayoutSplit* split) {
    FreeLayoutNode(split->first);
    FreeLayoutNode(split->second);
    split->first = split->second = nullptr;
}

bool OutOfMemory(LayoutSplit* split) {
    DropParts(split);
    split->outOfMemory = 1;
    return false;
}

// A text run of bytes [from, from + n), or an empty slot when n is 0.
LayoutNode* RunOrEmptySlot(const char* text, int32_t from, int32_t n) {
    if (n <= 0) return CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
    LayoutNode* run = CreateLayoutNode(kLayoutTextRun, nullptr, 0);
    if (run && !SetTextRunBytes(run, text + from, n)) {
        FreeLayoutNode(run);
        return nullptr;
    }
    return run;
}

// A row holding `part` after clones of the children [from, to) (before it when
// `partFirst`): the halves of a split row.
LayoutNode* RowAround(LayoutNode* from, LayoutNode* to, LayoutNode* part, bool partFirst) {
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return nullptr;
    if (partFirst) AppendLayoutChild(row, part);
    for (LayoutNode* c = from; c != to; c = c->nextSibling) {
        LayoutNode* copy = CloneLayoutTree(c);
        if (!copy) {
            if (partFirst) UnlinkLayoutChild(row, part, nullptr);
            FreeLayoutNode(row);
            return nullptr;
        }
        AppendLayoutChild(row, copy);
    }
    if (!partFirst) AppendLayoutChild(row, part);
    return row;
}

// Asks one child of a row, with the width left for it.
bool SplitChild(LayoutNode* child, int32_t width, LayoutSplit* split) {
    LayoutSplit inner = *split;
    inner.width = width;
    inner.first = inner.second = nullptr;
    const bool ok = SplitLayoutNode(child, &inner);
    split->outOfMemory = inner.outOfMemory;
    if (!ok) return false;
    split->first = inner.first;
    split->second = inner.second;
    split->breakChar = inner.breakChar;
    return true;
}

int32_t SumOfChildren(LayoutNode* node, int32_t extra) {
    int64_t sum = extra;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) sum += c->caretCount;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, 0, kMaxLayoutExtent));
}

int32_t RowStops(LayoutNode* node) { return SumOfChildren(node, 0); }
int32_t BlockStops(LayoutNode* node) {
    // One stop between two rows: the rows' own and (count - 1) breaks.
    return SumOfChildren(node, std::max(0, LayoutChildCount(node) - 1));
}
int32_t DelimiterStops(LayoutNode* node) { return SumOfChildren(node, 2); }
int32_t TextRunStops(LayoutNode* node) {
    const auto* run = static_cast<const TextRunNode*>(node);
    return run->text ? run->length : 0;
}
int32_t FractionStops(LayoutNode* node) { return SumOfChildren(node, 3); }
int32_t ScriptStops(LayoutNode* node) { return SumOfChildren(node, 2); }
int32_t OneStop(LayoutNode*) { return 1; }
int32_t NoStop(LayoutNode*) { return 0; }

}  // namespace

// The three later entries of each layout kind: split, caret stops, measures its children.
const LaterLayoutKindRecord LaterLayoutKindTable[kLayoutKindCount] = {
    { SplitRow,     RowStops,       0 },  // H row
    { nullptr,      BlockStops,     1 },  // V text block
    { nullptr,      DelimiterStops, 0 },  // (
    { nullptr,      DelimiterStops, 0 },  // [
    { nullptr,      DelimiterStops, 0 },  // {
    { nullptr,      DelimiterStops, 0 },  // |
    { nullptr,      DelimiterStops, 0 },  // R radical
    { SplitTextRun, TextRunStops,   0 },  // T text run
    { nullptr,      FractionStops,  0 },  // / fraction
    { SplitStyled,  RowStops,       0 },  // S style
    { nullptr,      ScriptStops,    0 },  // + superscript
    { nullptr,      OneStop,        0 },  // ! glyph
    { nullptr,      ScriptStops,    0 },  // - subscript
    { nullptr,      NoStop,         0 },  // 0 empty slot
    { nullptr,      nullptr,        0 },  // % placeholder: never a node
    { nullptr,      OneStop,        0 },  // ? alternatives
    { nullptr,      NoStop,         0 },  // F wrap element
};
static_assert(std::size(LaterLayoutKindTable) == kLayoutKindCount);

bool SplitLayoutNode(LayoutNode* node, LayoutSplit* split) {
    split->first = split->second = nullptr;
    if (!node || split->outOfMemory) return false;
    auto fn = LaterLayoutKindTable[node->kind].splitAtWidth;
    return fn && fn(node, split);
}

int32_t CaretStopCount(LayoutNode* node) {
    auto fn = LaterLayoutKindTable[node->kind].caretStopCount;
    return fn ? fn(node) : node->caretCount;
}

bool SplitTextRun(LayoutNode* node, LayoutSplit* split) {
    int32_t length = 0;
    const char* text = GetTextRun(node, &length);
    if (!text) return false;
    int32_t at = -1;
    for (int32_t i = 0; i < length; ++i) {
        if (text[i] != ' ') continue;
        const int32_t before = MeasureTextSpan(split->state, text, 0, i);
        if (split->mode == 1) {
            if (split->width >= 0 && before >= split->width) break;
            at = i;  // the last blank whose text before it is narrower than the width
        } else if (split->width < 0 || before >= split->width) {
            at = i;  // the first blank whose text before it reaches the width
            break;
        }
    }
    if (at < 0) return false;
    split->first = RunOrEmptySlot(text, 0, at);
    split->second = split->first ? RunOrEmptySlot(text, at + 1, length - at - 1) : nullptr;
    if (!split->second) return OutOfMemory(split);
    split->breakChar = ' ';
    return true;
}

bool SplitStyled(LayoutNode* node, LayoutSplit* split) {
    LayoutNode* child = node->firstChild;
    if (!child) return false;
    const TextStyle saved = split->state->style;
    TextStyle increment;
    LayoutKindTable[node->kind].childStyle(node, child, &saved, &increment);
    MergeTextStyle(&split->state->style, &increment, &saved);
    PortApplyTextStyle(split->state);
    const bool ok = SplitLayoutNode(child, split);
    split->state->style = saved;
    PortApplyTextStyle(split->state);
    if (!ok) return false;
    // Each part under a style node of its own, as the child was.
    LayoutNode* firstStyle = CopyLayoutNode(node);
    LayoutNode* secondStyle = firstStyle ? CopyLayoutNode(node) : nullptr;
    if (!secondStyle) {
        FreeLayoutNode(firstStyle);
        return OutOfMemory(split);
    }
    AppendLayoutChild(firstStyle, split->first);
    AppendLayoutChild(secondStyle, split->second);
    split->first = firstStyle;
    split->second = secondStyle;
    return true;
}

bool SplitRow(LayoutNode* node, LayoutSplit* split) {
    // The child where the width runs out: the last one with width -1 in mode 1, the
    // first one in mode 0.
    LayoutNode* at = nullptr;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) {
        if (split->width < 0) {
            at = c;
            if (split->mode == 0) break;
            continue;
        }
        if (c->x + c->width >= split->width) {
            at = c;
            break;
        }
    }
    if (!at) return false;
    auto room = [&](LayoutNode* c) { return split->width < 0 ? -1 : split->width - c->x; };
    LayoutNode* hit = SplitChild(at, room(at), split) ? at : nullptr;
    if (!hit && !split->outOfMemory) {
        if (split->mode == 1) {
            // Earlier children, nearest first: they fit whole, so a break inside one fits.
            for (LayoutNode* c = at; !hit && !split->outOfMemory;) {
                LayoutNode* previous = nullptr;
                for (LayoutNode* p = node->firstChild; p != c; p = p->nextSibling) previous = p;
                if (!previous) break;
                if (SplitChild(previous, room(previous), split)) hit = previous;
                c = previous;
            }
        } else {
            for (LayoutNode* c = at->nextSibling; c && !hit && !split->outOfMemory; c = c->nextSibling)
                if (SplitChild(c, -1, split)) hit = c;
        }
    }
    if (!hit) {
        if (split->outOfMemory) DropParts(split);
        return false;
    }
    LayoutNode* first = RowAround(node->firstChild, hit, split->first, false);
    if (!first) return OutOfMemory(split);
    split->first = first;
    LayoutNode* second = RowAround(hit->nextSibling, nullptr, split->second, true);
    if (!second) return OutOfMemory(split);
    split->second = second;
    return true;
}

int32_t LaterMeasureLayoutNode(LayoutNode* node, LayoutDrawState* state) {
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    // Only a wrapped block re-breaks its rows while it is measured; one that is not wrapped
    // is measured as any other node, only when a row of it changed.
    if (LaterLayoutKindTable[node->kind].measuresChildren && static_cast<StackedRowsNode*>(node)->wrapWidth != 0) {
        if (node->dirty == 0) return 0;
        const int32_t result = MeasureTextBlock(node, state);
        node->measuredChildCount = LayoutChildCount(node);
        node->dirty = 0;
        return result;
    }
    int32_t changed = node->dirty == 1;
    int32_t count = 0;
    const TextStyle remembered = state->style;
    for (LayoutNode* child = node->firstChild; child; child = child->nextSibling) {
        ++count;
        if (child->dirty == 0) continue;
        if (row.childStyle) {
            TextStyle increment;
            row.childStyle(node, child, &remembered, &increment);
            MergeTextStyle(&state->style, &increment, &remembered);
            PortApplyTextStyle(state);
        }
        if (LaterMeasureLayoutNode(child, state)) changed = 1;
        if (row.childStyle) {
            state->style = remembered;
            PortApplyTextStyle(state);
        }
    }
    if (count != node->measuredChildCount) {
        node->measuredChildCount = count;
        changed = 1;
    }
    int32_t result = 0;
    if (changed && row.measure) result = row.measure(node, state);
    node->dirty = 0;
    return result;
}

void SettleDirtyLayoutNodes(LayoutNode* node) {
    if (!node || node->dirty == 0) return;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) SettleDirtyLayoutNodes(c);
    node->caretCount = CaretStopCount(node);
}

bool TakeOverInnerBlocks(LayoutNode* block) {
    bool changed = false;
    int32_t index = 0;
    for (LayoutNode* r = block->firstChild; r;) {
        LayoutNode* next = r->nextSibling;
        LayoutNode* inner = r->kind == kLayoutStyle ? r->firstChild : nullptr;
        if (!inner || inner->nextSibling || inner->kind != kLayoutStackedRows || !inner->firstChild) {
            r = next;
            ++index;
            continue;
        }
        // A copy of the style node for each inner row, all made before anything moves.
        const int32_t rows = LayoutChildCount(inner);
        LayoutNode* copies = nullptr;  // chained through nextSibling
        LayoutNode* tail = nullptr;
        bool made = true;
        for (int32_t i = 0; i < rows && made; ++i) {
            LayoutNode* copy = CopyLayoutNode(r);
            made = copy != nullptr;
            if (!made) break;
            if (tail)
                tail->nextSibling = copy;
            else
                copies = copy;
            tail = copy;
        }
        if (!made) {
            while (copies) {
                LayoutNode* n = copies->nextSibling;
                copies->nextSibling = nullptr;
                FreeLayoutNode(copies);
                copies = n;
            }
            r = next;
            ++index;
            continue;
        }
        TakeInnerRowBreakChars(block, index, inner);
        LayoutNode* at = r;
        for (LayoutNode* copy = copies; copy;) {
            LayoutNode* following = copy->nextSibling;
            LayoutNode* row = inner->firstChild;
            UnlinkLayoutChild(inner, row, nullptr);
            AppendLayoutChild(copy, row);
            copy->parent = block;
            copy->nextSibling = at->nextSibling;
            at->nextSibling = copy;
            MarkNeedsNormalize(copy);
            MarkLayoutDirty(copy);
            at = copy;
            copy = following;
        }
        UnlinkLayoutChild(block, r, nullptr);
        FreeLayoutNode(r);
        changed = true;
        index += rows;
        r = next;
    }
    return changed;
}
