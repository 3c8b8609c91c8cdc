#include "release2/text/wrap_width.h"

#include <algorithm>

#include "engine/core/services/text_port.h"
#include "engine/text/layout_kinds.h"
#include "release2/text/layout_revisions.h"

namespace {

StackedRowsNode* Block(LayoutNode* node) { return static_cast<StackedRowsNode*>(node); }

// Times a block starts over after growing to fit a row that could not be broken. The
// last start takes the widest row's width at once, so that hostile text of many such
// rows of growing widths is not wrapped once for each.
constexpr int32_t kMaxWrapRestarts = 16;

// One row of the block measured when it is dirty.
void MeasureDirtyRow(LayoutNode* row, LayoutDrawState* state) {
    if (row->dirty != 0) MeasureLayoutNode(row, state);
}

// The break characters once more in step with the rows (one byte a row): an edit that
// did not keep them so loses only where rows were broken, never the rows.
void KeepOneBytePerRow(LayoutNode* block) {
    auto* b = Block(block);
    const int32_t rows = LayoutChildCount(block);
    if (b->breakCount > rows) RemoveRowBreakChars(block, rows, b->breakCount - rows);
    if (b->breakCount < rows) SetRowBreakChar(block, rows - 1, 0);
}

// Puts `replacement` in the place of the block's row and frees the row.
void ReplaceRow(LayoutNode* block, LayoutNode* row, LayoutNode* replacement) {
    UnlinkLayoutChild(block, row, replacement);
    FreeLayoutNode(row);
    MarkLayoutDirty(replacement);
}

void InsertRowAfter(LayoutNode* block, LayoutNode* row, LayoutNode* added) {
    added->parent = block;
    added->nextSibling = row->nextSibling;
    row->nextSibling = added;
    MarkLayoutDirty(added);
    MarkLayoutDirty(block);
}

// Moves the content of `from` (its children when it is an 'H' row, else itself) to the
// end of the 'H' row `to`.
void MoveContent(LayoutNode* to, LayoutNode* from) {
    if (from->parent) UnlinkLayoutChild(from->parent, from, nullptr);
    if (from->kind != kLayoutRow) {
        AppendLayoutChild(to, from);
        MarkLayoutDirty(from);
        return;
    }
    MoveLayoutChildren(from, to);
    FreeLayoutNode(from);
}

// prev + character + content: the break character put back as text between them.
bool JoinAfter(LayoutNode** prev, int32_t character, LayoutNode* content) {
    if (!AppendBreakCharRun(prev, character)) return false;
    MoveContent(*prev, content);
    MarkNeedsNormalize(*prev);
    return true;
}

bool Split(LayoutNode* row, LayoutDrawState* state, int32_t width, int32_t mode, LayoutSplit* split) {
    *split = LayoutSplit{};
    split->state = state;
    split->width = width;
    split->mode = mode;
    return SplitLayoutNode(row, split);
}

}  // namespace

LayoutNode* FindRowsNode(LayoutNode* tree) {
    LayoutNode* node = tree;
    while (node && node->kind == kLayoutStyle) node = node->firstChild;
    return node && node->kind == kLayoutStackedRows ? node : nullptr;
}

int32_t GetLayoutWrapWidth(LayoutNode* tree, int32_t* alignment) {
    LayoutNode* block = FindRowsNode(tree);
    if (alignment) *alignment = block ? Block(block)->alignment : 0;
    return block ? Block(block)->wrapWidth : 0;
}

bool SetLayoutWrapWidth(LayoutNode** tree, int32_t width, int32_t growToFit) {
    LayoutNode* block = FindRowsNode(*tree);
    if (!block) {
        if (!*tree) return false;
        block = CreateLayoutNode(kLayoutStackedRows, nullptr, 0);
        if (!block) return false;
        Block(block)->alignment = 0;
        // The block goes where the tree's content was: under its style nodes.
        LayoutNode* content = *tree;
        while (content->kind == kLayoutStyle && content->firstChild) content = content->firstChild;
        if (content == *tree) {
            AppendLayoutChild(block, content);
            *tree = block;
        } else {
            WrapLayoutNode(content, block);
        }
    }
    auto* b = Block(block);
    if (width != 0 && b->wrapWidth == 0 && !GiveRowBreakChars(block)) return false;
    if (width == 0) FreeRowBreakChars(block);
    b->wrapWidth = width;
    b->growToFit = growToFit;
    for (LayoutNode* r = block->firstChild; r; r = r->nextSibling) MarkLayoutDirty(r);
    MarkLayoutDirty(block);
    return true;
}

int32_t FitLayoutWrapWidth(LayoutNode* tree, const LayoutDrawState* state) {
    if (!tree) return 0;
    if (tree->dirty != 0) MeasureLayout(tree, state);
    LayoutNode* block = FindRowsNode(tree);
    if (!block || Block(block)->wrapWidth == 0) return 0;
    const int32_t before = Block(block)->wrapWidth;
    const int32_t alignment = Block(block)->alignment;
    LayoutNode* root = tree;
    SetLayoutWrapWidth(&root, -1, 1);
    MeasureLayout(tree, state);
    const int32_t change = before - Block(block)->wrapWidth;
    return alignment == 2 ? change : alignment == 1 ? change / 2 : 0;
}

bool AppendBreakCharRun(LayoutNode** row, int32_t character) {
    LayoutNode* r = *row;
    LayoutNode* run = CreateLayoutNode(kLayoutTextRun, nullptr, 0);
    const char c = static_cast<char>(character);
    if (!run || !SetTextRunBytes(run, &c, 1)) {
        FreeLayoutNode(run);
        return false;
    }
    if (r->kind != kLayoutRow) {
        LayoutNode* wrapper = CreateLayoutNode(kLayoutRow, nullptr, 0);
        if (!wrapper) {
            FreeLayoutNode(run);
            return false;
        }
        WrapLayoutNode(r, wrapper);
        r = wrapper;
        *row = r;
    }
    AppendLayoutChild(r, run);
    MarkLayoutDirty(run);
    MarkNeedsNormalize(r);
    return true;
}

int32_t MeasureBreakChar(LayoutDrawState* state, LayoutNode* row, int32_t character) {
    LayoutDrawState at = *state;
    for (LayoutNode* node = row; node && node->firstChild;) {
        LayoutNode* last = LastLayoutChild(node);
        if (auto childStyle = LayoutKindTable[node->kind].childStyle) {
            const TextStyle outer = at.style;
            TextStyle increment;
            childStyle(node, last, &outer, &increment);
            MergeTextStyle(&at.style, &increment, &outer);
        }
        node = last;
    }
    PortApplyTextStyle(&at);
    const char c = static_cast<char>(character);
    const int32_t width = MeasureTextSpan(&at, &c, 0, 1);
    PortApplyTextStyle(state);
    return width;
}

void WrapRows(LayoutNode* block, LayoutDrawState* state) {
    auto* b = Block(block);
    if (b->wrapWidth == 0) return;
    if (!GiveRowBreakChars(block)) {
        // Without memory for the breaks the rows stay as they are.
        for (LayoutNode* r = block->firstChild; r; r = r->nextSibling) MeasureDirtyRow(r, state);
        return;
    }
    KeepOneBytePerRow(block);
    for (int32_t restart = 0; restart < kMaxWrapRestarts; ++restart) {
        int32_t widest = 0;
        for (LayoutNode* r = block->firstChild; r; r = r->nextSibling) {
            MeasureDirtyRow(r, state);
            widest = std::max(widest, r->width);
        }
        // -1 takes the width the rows need as they are broken now.
        if (b->wrapWidth < 0 || restart == kMaxWrapRestarts - 1) b->wrapWidth = std::max(b->wrapWidth, widest + 1);
        bool again = false;
        LayoutNode* prev = nullptr;
        int32_t index = 0;  // of `row`
        LayoutNode* row = block->firstChild;
        while (row) {
            if (prev && GetRowBreakChar(block, index - 1) != 0) {
                // A row after a soft break joins the previous one while both fit.
                int32_t c = GetRowBreakChar(block, index - 1);
                while (row && c != 0 &&
                       prev->width + MeasureBreakChar(state, prev, c) + row->width < b->wrapWidth) {
                    LayoutNode* next = row->nextSibling;
                    if (!JoinAfter(&prev, c, row)) break;
                    RemoveRowBreakChars(block, index - 1, 1);  // prev ends where row ended
                    MeasureDirtyRow(prev, state);
                    row = next;
                    c = GetRowBreakChar(block, index - 1);
                }
                if (!row) break;
                // Else the first part of it that fits may move up.
                LayoutSplit split;
                const int32_t room = c != 0 ? b->wrapWidth - prev->width - MeasureBreakChar(state, prev, c) : 0;
                if (room > 0 && Split(row, state, room, 1, &split)) {
                    LayoutNode* rest = split.second;
                    if (JoinAfter(&prev, c, split.first)) {
                        SetRowBreakChar(block, index - 1, split.breakChar);
                        ReplaceRow(block, row, rest);
                        row = rest;
                        MeasureDirtyRow(prev, state);
                        MeasureDirtyRow(row, state);
                    } else {
                        FreeLayoutNode(split.first);
                        FreeLayoutNode(rest);
                    }
                }
            }
            if (row->width >= b->wrapWidth) {
                // Too wide: broken at a break character that fits, else at the first one.
                LayoutSplit split;
                if (Split(row, state, b->wrapWidth, 1, &split) || Split(row, state, b->wrapWidth, 0, &split)) {
                    if (InsertRowBreakChar(block, index, split.breakChar)) {
                        LayoutNode* first = split.first;
                        ReplaceRow(block, row, first);
                        InsertRowAfter(block, first, split.second);
                        row = first;
                        MeasureDirtyRow(row, state);
                        MeasureDirtyRow(row->nextSibling, state);
                    } else {
                        FreeLayoutNode(split.first);
                        FreeLayoutNode(split.second);
                    }
                }
                if (row->width >= b->wrapWidth && b->growToFit) {
                    b->wrapWidth = row->width + 1;
                    for (LayoutNode* r = block->firstChild; r; r = r->nextSibling) MarkLayoutDirty(r);
                    again = true;
                    break;
                }
            }
            prev = row;
            row = row->nextSibling;
            ++index;
        }
        if (!again) break;
    }
}

int32_t MeasureTextBlock(LayoutNode* block, LayoutDrawState* state) {
    if (Block(block)->wrapWidth != 0) {
        WrapRows(block, state);
    } else {
        for (LayoutNode* r = block->firstChild; r; r = r->nextSibling) MeasureDirtyRow(r, state);
    }
    return MeasureStackedRows(block, state);
}

bool UnwrapRowsNode(LayoutNode** tree) {
    LayoutNode* block = FindRowsNode(*tree);
    if (!block) return true;
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return false;
    const bool wrapped = Block(block)->wrapWidth != 0;
    int32_t index = 0;
    for (LayoutNode* r = block->firstChild; r; r = r->nextSibling, ++index) {
        LayoutNode* copy = CloneLayoutTree(r);
        LayoutNode* holder = copy;
        const int32_t c = wrapped && r->nextSibling ? GetRowBreakChar(block, index) : 0;
        if (!copy || (c != 0 && !AppendBreakCharRun(&holder, c))) {
            FreeLayoutNode(holder);
            FreeLayoutNode(row);
            return false;
        }
        AppendLayoutChild(row, holder);
    }
    if (block == *tree) {
        FreeLayoutNode(block);
        *tree = row;
    } else {
        UnlinkLayoutChild(block->parent, block, row);
        FreeLayoutNode(block);
    }
    MarkNeedsNormalize(row);
    MarkLayoutDirty(row);
    return true;
}

// ---- The wrap element ----

namespace {

// The lowest break character above `above` among the rows (0 when there is none).
int32_t NextBreakChar(LayoutNode* block, int32_t above) {
    const int32_t rows = LayoutChildCount(block);
    int32_t best = 0;
    for (int32_t i = 0; i < rows; ++i) {
        const int32_t c = GetRowBreakChar(block, i);
        if (c > above && (best == 0 || c < best)) best = c;
    }
    return best;
}

bool Qualifies(LayoutNode* block) {
    return Block(block)->wrapWidth > 0 && block->firstChild && block->firstChild->nextSibling &&
           NextBreakChar(block, 0) != 0;
}

}  // namespace

bool WrapWidthIsWritten(LayoutNode* tree) {
    LayoutNode* block = FindRowsNode(tree);
    return block && Qualifies(block);
}

int32_t WriteWrapLevel(LayoutNode* block, int32_t character, char** cursor) {
    const int32_t rows = LayoutChildCount(block);
    const int32_t digits = (rows + 3) / 4;
    const int32_t counted = 1 + WriteHexNumber(nullptr, Block(block)->wrapWidth) + 1 +
                            WriteHexNumber(nullptr, character) + 1 + digits + 1;
    int32_t n = PutLayoutText(cursor, "<F1", 3);
    n += WriteHexNumber(cursor, counted);
    n += PutLayoutText(cursor, "xx", 2);
    n += WriteHexNumber(cursor, Block(block)->wrapWidth);
    n += PutLayoutChar(cursor, 'x');
    n += WriteHexNumber(cursor, character);
    n += PutLayoutChar(cursor, 'x');
    static const char kDigits[] = "0123456789ABCDEF";
    for (int32_t d = 0; d < digits; ++d) {
        int32_t mask = 0;
        for (int32_t bit = 0; bit < 4; ++bit)
            if (GetRowBreakChar(block, 4 * d + bit) == character && 4 * d + bit < rows) mask |= 8 >> bit;
        n += PutLayoutChar(cursor, kDigits[mask]);
    }
    n += PutLayoutChar(cursor, 'x');
    if (const int32_t next = NextBreakChar(block, character)) n += WriteWrapLevel(block, next, cursor);
    return n + PutLayoutChar(cursor, '>');
}

int32_t WriteWrapElement(LayoutNode* block, char** cursor, LayoutWriteContext* context) {
    if (context && (context->options & (kWritePlainText | kWriteRowsAsOneRow))) return 0;
    if (!Qualifies(block)) return 0;
    return WriteWrapLevel(block, NextBreakChar(block, 0), cursor);
}

void TakeWrapLevel(LayoutNode* block, int32_t nested, int32_t width, int32_t character, const char* masks,
                   int32_t digits, uint32_t options) {
    if (!block || (options & kParseIgnoreWrapWidth)) return;
    auto* b = Block(block);
    if (nested == 0) {
        if (!GiveRowBreakChars(block)) return;  // read unwrapped
        b->wrapWidth = (options & kParseKeepWrapWidth) ? width : -1;
    }
    if (!b->breakChars) return;
    // Bits for rows the block does not have are ignored.
    const int32_t rows = LayoutChildCount(block);
    for (int32_t d = 0; d < digits; ++d) {
        const char m = masks[d];
        const int32_t v = m <= '9' ? m - '0' : (m | 0x20) - 'a' + 10;
        for (int32_t bit = 0; bit < 4; ++bit) {
            const int32_t row = 4 * d + bit;
            if ((v & (8 >> bit)) && row < rows) SetRowBreakChar(block, row, character);
        }
    }
}

void InitTextBlock(LayoutNode* block) {
    auto* b = Block(block);
    b->alignment = 0;
    b->wrapWidth = 0;
    b->growToFit = 1;
}

LayoutNode* LayoutFromPlainTextWithWidth(const char* text, int32_t length, int32_t boxWidth) {
    LayoutNode* tree = LayoutFromPlainText(text, length, 1);
    if (tree && boxWidth > 10 && !SetLayoutWrapWidth(&tree, boxWidth, 1)) {
        FreeLayoutNode(tree);
        return nullptr;
    }
    return tree;
}
