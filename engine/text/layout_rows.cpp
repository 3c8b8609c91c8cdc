// Rows set their children side by side on one baseline; stacked rows put rows one
// under the other.
#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"

static int32_t ClampExtent(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, -kMaxLayoutExtent, kMaxLayoutExtent));
}

int32_t MeasureRow(LayoutNode* node, LayoutDrawState*) {
    // Sums over any number of children: kept wide, and bounded when stored.
    int64_t x = 0, shift = 0, ascent = 0, descent = 0, stops = 0;
    int32_t half = 0, overhang = 0;
    int32_t previousIsText = 1;
    for (LayoutNode* child = node->firstChild; child; child = child->nextSibling) {
        const LayoutKindRecord& row = LayoutKindTable[child->kind];
        int32_t a = child->caretAscent, ignoredShift = 0, isText = 0;
        if (row.edgeAxis) isText = row.edgeAxis(child, 1, &ignoredShift, &a);
        // A structure after text is lifted so that its axis meets the middle of the text;
        // text after a structure comes back down.
        if (previousIsText && !isText) shift += half;
        if (isText && !previousIsText) shift -= a / 2;
        previousIsText = isText;
        if (isText) half = a / 2;
        child->x = static_cast<int16_t>(x);
        child->y = static_cast<int16_t>(-shift);
        x += child->width;
        ascent = std::max<int64_t>(ascent, child->ascent + shift);
        descent = std::max<int64_t>(descent, child->descent - shift);
        stops += child->caretCount;
        overhang = child->overhang;
    }
    LayoutNode m{};
    m.width = ClampExtent(x);
    m.overhang = overhang;
    m.caretAscent = m.ascent = ClampExtent(ascent);
    m.descent = ClampExtent(descent);
    m.caretCount = ClampExtent(stops);
    return StoreLayoutMetrics(node, m);
}

static int32_t DelegateCaret(LayoutNode* child, LayoutNode** holder, LayoutDrawState* state,
                             ScreenPoint point, int32_t* side, bool rowClamp) {
    ScreenPoint rel{ static_cast<int16_t>(point.x - child->x),
                     static_cast<int16_t>(point.y - child->y) };
    if (rowClamp) {
        rel.x = static_cast<int16_t>(std::clamp<int32_t>(rel.x, 0, std::max(0, child->width)));
        rel.y = static_cast<int16_t>(
            std::clamp<int32_t>(rel.y, -child->ascent, std::max(-child->ascent, child->descent)));
    } else {
        rel = ClampPointToNode(child, rel);
    }
    const LayoutKindRecord& row = LayoutKindTable[child->kind];
    *holder = child;
    return row.caretFromPoint ? row.caretFromPoint(holder, state, rel, side) : 0;
}

int32_t RowCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                          int32_t* side) {
    LayoutNode* node = *holder;
    int32_t stops = 0;
    for (LayoutNode* child = node->firstChild; child; child = child->nextSibling) {
        if (child->x + child->width >= point.x)
            return DelegateCaret(child, holder, state, point, side, false);
        stops += child->caretCount;
    }
    return stops;
}

void MoveLayoutChildren(LayoutNode* from, LayoutNode* to) {
    LayoutNode* tail = LastLayoutChild(to);
    while (LayoutNode* c = from->firstChild) {
        from->firstChild = c->nextSibling;
        c->nextSibling = nullptr;
        c->parent = to;
        if (tail)
            tail->nextSibling = c;
        else
            to->firstChild = c;
        tail = c;
        MarkLayoutDirty(c);
    }
    MarkLayoutDirty(from);
    MarkLayoutDirty(to);
}

// A StackedRows child turns the row inside out: what comes before it joins its first
// row, what comes after it joins its last row, and the stack takes the row's place.
static LayoutNode* TurnRowInsideOut(LayoutNode* row, LayoutNode* stack) {
    LayoutNode* firstRow = stack->firstChild;
    if (!firstRow) return nullptr;
    const bool before = row->firstChild != stack;
    const bool after = stack->nextSibling != nullptr;
    LayoutNode* headRow = before ? CreateLayoutNode(kLayoutRow, nullptr, 0) : nullptr;
    LayoutNode* tailRow = after ? CreateLayoutNode(kLayoutRow, nullptr, 0) : nullptr;
    if ((before && !headRow) || (after && !tailRow)) {
        FreeLayoutNode(headRow);
        FreeLayoutNode(tailRow);
        return nullptr;
    }
    if (before) {
        // The new head row takes the first row's place, holding the children that came
        // before the stack and then the first row.
        WrapLayoutNode(firstRow, headRow);
        LayoutNode* chain = row->firstChild;
        LayoutNode* lastBefore = chain;
        while (lastBefore->nextSibling != stack) lastBefore = lastBefore->nextSibling;
        row->firstChild = stack;
        lastBefore->nextSibling = firstRow;
        headRow->firstChild = chain;
        for (LayoutNode* c = chain; c; c = c->nextSibling) {
            c->parent = headRow;
            MarkLayoutDirty(c);
        }
    }
    if (after) {
        LayoutNode* lastRow = LastLayoutChild(stack);
        WrapLayoutNode(lastRow, tailRow);
        while (LayoutNode* c = stack->nextSibling) {
            stack->nextSibling = c->nextSibling;
            AppendLayoutChild(tailRow, c);
        }
        MarkLayoutDirty(tailRow);
    }
    UnwrapLayoutNode(row);
    MarkNeedsNormalize(stack);
    return stack;
}

LayoutNode* NormalizeRow(LayoutNode* node, const TextStyle* inherited) {
    LayoutNode* hoisted = HoistCommonStyle(node, inherited);
    if (hoisted != node) return hoisted;
    if (node->firstChild && !node->firstChild->nextSibling) {
        LayoutNode* child = node->firstChild;
        UnwrapLayoutNode(node);
        MarkNeedsNormalize(child);
        return child;
    }
    // One walk makes every local simplification; a change marks the row so that the pass
    // runs again (and unwraps a row that is left with one child).
    bool changed = false;
    LayoutNode* previous = nullptr;
    LayoutNode* child = node->firstChild;
    while (child) {
        LayoutNode* next = child->nextSibling;
        // An empty slot goes unless it is all that is left: then the next pass puts it in
        // the row's place, as taking the changes one at a time would.
        if (child->kind == kLayoutEmptySlot && (previous || next)) {
            FreeChildAt(node, previous, child);
            changed = true;
            child = next;
            continue;
        }
        if (child->kind == kLayoutRow) {
            // Its children take its place and are walked in turn.
            LayoutNode* first = child->firstChild;
            UnwrapChildAt(node, previous, child);
            changed = true;
            child = first ? first : next;
            continue;
        }
        if (child->kind == kLayoutStackedRows && child->firstChild) {
            if (LayoutNode* stack = TurnRowInsideOut(node, child)) return stack;
        }
        if (child->kind == kLayoutStyle && previous && previous->kind == kLayoutStyle &&
            TextStylesEqual(&static_cast<StyleNode*>(previous)->style,
                            &static_cast<StyleNode*>(child)->style)) {
            // A run of equal styles joins into one row, in one go: merging them pair by
            // pair would nest rows or walk the growing row again for every member.
            LayoutNode* content = previous->firstChild;
            LayoutNode* joined = content && !content->nextSibling && content->kind == kLayoutRow
                                     ? content
                                     : CreateLayoutNode(kLayoutRow, nullptr, 0);
            if (joined) {
                if (joined != content) {
                    MoveLayoutChildren(previous, joined);
                    AppendLayoutChild(previous, joined);
                }
                LayoutNode* tail = LastLayoutChild(joined);
                const TextStyle* style = &static_cast<StyleNode*>(previous)->style;
                while (child && child->kind == kLayoutStyle &&
                       TextStylesEqual(style, &static_cast<StyleNode*>(child)->style)) {
                    next = child->nextSibling;
                    while (LayoutNode* c = child->firstChild) {
                        child->firstChild = c->nextSibling;
                        c->nextSibling = nullptr;
                        c->parent = joined;
                        if (tail)
                            tail->nextSibling = c;
                        else
                            joined->firstChild = c;
                        tail = c;
                        MarkLayoutDirty(c);
                    }
                    FreeChildAt(node, previous, child);
                    child = next;
                }
                MarkLayoutDirty(joined);
                MarkNeedsNormalize(joined);
                changed = true;
                continue;
            }
        }
        if (child->kind == kLayoutTextRun && previous && previous->kind == kLayoutTextRun) {
            const auto* run = static_cast<TextRunNode*>(child);
            const int32_t n = run->text ? static_cast<int32_t>(strnlen(run->text, run->length)) : 0;
            if (AppendTextRunBytes(previous, run->text, n)) {
                FreeChildAt(node, previous, child);
                changed = true;
                child = next;
                continue;
            }
        }
        previous = child;
        child = next;
    }
    if (changed) MarkNeedsNormalize(node);
    return node;
}

int32_t InitStackedRows(LayoutNode* node) {
    auto* block = static_cast<StackedRowsNode*>(node);
    block->alignment = 1;
    block->growToFit = 1;
    if (auto form = LaterForms().layout.initRows) form(node);
    return 1;
}

void DestroyStackedRows(LayoutNode* node) { FreeRowBreakChars(node); }

// ---- Break characters ----

namespace {
constexpr int32_t kBreakCharStep = 32;

StackedRowsNode* BlockOf(LayoutNode* node) {
    return node && node->kind == kLayoutStackedRows ? static_cast<StackedRowsNode*>(node) : nullptr;
}

// Room for `count` bytes, in whole steps; the new bytes are 0.
bool ReserveBreakChars(StackedRowsNode* block, int32_t count) {
    if (count <= block->breakCapacity && block->breakChars) return true;
    const int32_t capacity = std::max(kBreakCharStep, (count + kBreakCharStep - 1) / kBreakCharStep * kBreakCharStep);
    auto* bytes = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(capacity), kAllocZero));
    if (!bytes) return false;
    if (block->breakChars && block->breakCount > 0)
        std::memcpy(bytes, block->breakChars, static_cast<size_t>(block->breakCount));
    FreeMemory(block->breakChars);
    block->breakChars = bytes;
    block->breakCapacity = capacity;
    return true;
}
}  // namespace

uint8_t GetRowBreakChar(const LayoutNode* node, int32_t row) {
    const auto* block = node && node->kind == kLayoutStackedRows ? static_cast<const StackedRowsNode*>(node) : nullptr;
    if (!block || !block->breakChars || row < 0 || row >= block->breakCount) return 0;
    return block->breakChars[row];
}

bool SetRowBreakChar(LayoutNode* node, int32_t row, int32_t character) {
    StackedRowsNode* block = BlockOf(node);
    if (!block || row < 0) return false;
    if (row >= block->breakCount) {
        if (!ReserveBreakChars(block, row + 1)) return false;
        std::memset(block->breakChars + block->breakCount, 0, static_cast<size_t>(row + 1 - block->breakCount));
        block->breakCount = row + 1;
    }
    block->breakChars[row] = static_cast<uint8_t>(character);
    return true;
}

bool InsertRowBreakChar(LayoutNode* node, int32_t row, int32_t character) {
    StackedRowsNode* block = BlockOf(node);
    if (!block || row < 0) return false;
    if (row > block->breakCount) return SetRowBreakChar(node, row, character);
    if (!ReserveBreakChars(block, block->breakCount + 1)) return false;
    std::memmove(block->breakChars + row + 1, block->breakChars + row, static_cast<size_t>(block->breakCount - row));
    block->breakChars[row] = static_cast<uint8_t>(character);
    ++block->breakCount;
    return true;
}

void RemoveRowBreakChars(LayoutNode* node, int32_t row, int32_t count) {
    StackedRowsNode* block = BlockOf(node);
    if (!block || !block->breakChars || row < 0 || row >= block->breakCount || count <= 0) return;
    count = std::min(count, block->breakCount - row);
    std::memmove(block->breakChars + row, block->breakChars + row + count,
                 static_cast<size_t>(block->breakCount - row - count));
    block->breakCount -= count;
}

bool GiveRowBreakChars(LayoutNode* node) {
    StackedRowsNode* block = BlockOf(node);
    if (!block) return false;
    if (block->breakChars) return true;
    const int32_t rows = LayoutChildCount(node);
    if (!ReserveBreakChars(block, rows)) return false;
    block->breakCount = rows;
    return true;
}

void TakeInnerRowBreakChars(LayoutNode* node, int32_t row, const LayoutNode* inner) {
    if (!BlockOf(node) || !BlockOf(node)->breakChars) return;
    // The inner rows take the inner block's breaks; the last keeps the byte of the row
    // they replace.
    const int32_t rows = LayoutChildCount(inner);
    const uint8_t last = GetRowBreakChar(node, row);
    for (int32_t i = 0; i + 1 < rows; ++i) InsertRowBreakChar(node, row + i, GetRowBreakChar(inner, i));
    if (rows > 0)
        SetRowBreakChar(node, row + rows - 1, last);
    else
        RemoveRowBreakChars(node, row, 1);
}

void FreeRowBreakChars(LayoutNode* node) {
    StackedRowsNode* block = BlockOf(node);
    if (!block) return;
    FreeMemory(block->breakChars);
    block->breakChars = nullptr;
    block->breakCount = block->breakCapacity = 0;
}

int32_t MeasureStackedRows(LayoutNode* node, LayoutDrawState*) {
    auto* stack = static_cast<StackedRowsNode*>(node);
    int64_t stops = 0, height = 0;
    int32_t width = 0, overhang = 0;
    bool any = false;
    for (LayoutNode* r = node->firstChild; r; r = r->nextSibling) {
        stops += r->caretCount + 1;
        if (!any || r->width > width) {
            width = r->width;
            overhang = r->overhang;
        }
        any = true;
        height += r->ascent + r->descent;
    }
    // A wrapped block is as wide as its width, its rows aligned within it.
    width = std::max(width, stack->wrapWidth);
    LayoutNode* first = node->firstChild;
    const int32_t firstAscent = first ? first->ascent : 0;
    LayoutNode m{};
    m.width = width;
    m.overhang = overhang;
    m.caretAscent = firstAscent;
    m.ascent = firstAscent;
    m.descent = ClampExtent(height - firstAscent);
    m.caretCount = ClampExtent(stops);
    int64_t baseline = 0;
    LayoutNode* previous = nullptr;
    for (LayoutNode* r = node->firstChild; r; previous = r, r = r->nextSibling) {
        if (previous) baseline += previous->descent + r->ascent;
        r->y = static_cast<int16_t>(baseline);
        int32_t x = 0;
        if (stack->alignment == 1) x = (width - r->width) / 2;
        else if (stack->alignment == 2) x = width - r->width;
        r->x = static_cast<int16_t>(x);
    }
    return StoreLayoutMetrics(node, m);
}

int32_t StackedRowsCaretFromPoint(LayoutNode** holder, LayoutDrawState* state,
                                  ScreenPoint point, int32_t* side) {
    LayoutNode* node = *holder;
    int32_t stops = 0;
    for (LayoutNode* r = node->firstChild; r; r = r->nextSibling) {
        if (r->y + r->descent >= point.y) return DelegateCaret(r, holder, state, point, side, true);
        stops += r->caretCount + 1;
    }
    return stops;
}

int32_t StackedRowsChildCaretOffset(LayoutNode* node, LayoutNode* child) {
    int32_t sum = 0;
    for (LayoutNode* r = node->firstChild; r && r != child; r = r->nextSibling)
        sum += r->caretCount + 1;
    return sum + CaretOffsetOfNode(node);
}

LayoutNode* NormalizeStackedRows(LayoutNode* node, const TextStyle* inherited) {
    // A wrapped block keeps its width even while its text is one row.
    const bool wrapped = static_cast<StackedRowsNode*>(node)->wrapWidth != 0;
    if (!wrapped && node->firstChild && !node->firstChild->nextSibling) {
        LayoutNode* row = node->firstChild;
        UnwrapLayoutNode(node);
        MarkNeedsNormalize(row);
        return row;
    }
    LayoutNode* hoisted = HoistCommonStyle(node, inherited);
    if (hoisted != node) return hoisted;
    const int32_t alignment = static_cast<StackedRowsNode*>(node)->alignment;
    bool changed = false;
    LayoutNode* previous = nullptr;
    LayoutNode* r = node->firstChild;
    int32_t index = 0;
    while (r) {
        LayoutNode* next = r->nextSibling;
        if (r->kind == kLayoutStackedRows &&
            static_cast<StackedRowsNode*>(r)->alignment == alignment) {
            const int32_t rows = LayoutChildCount(r);
            TakeInnerRowBreakChars(node, index, r);
            index += rows;
            previous = UnwrapChildAt(node, previous, r);
            changed = true;
        } else {
            previous = r;
            ++index;
        }
        r = next;
    }
    if (auto form = LaterForms().layout.takeInnerBlocks) changed = form(node) || changed;
    if (changed) MarkNeedsNormalize(node);
    return node;
}

// Whether the wrap element "<F1" starts at the cursor. Only the rows of a block carry one;
// anywhere else "<F" is the obsolete element.
static bool WrapElementAhead(const LayoutTextCursor* cursor) {
    return cursor->end - cursor->next >= 3 && std::memcmp(cursor->next, "<F1", 3) == 0;
}

static ResultCode ParseWrapElement(LayoutTextCursor* cursor, LayoutNode* block, int32_t nested,
                                   uint32_t options);

// One level of a wrap element and the levels nested in it.
static ResultCode ReadWrapLevel(LayoutTextCursor* cursor, LayoutNode* block, int32_t nested,
                                uint32_t options) {
    cursor->next += 3;  // "<F1"
    int32_t length = 0;
    if (!ReadHexNumber(cursor, &length) || TakeLayoutChar(cursor) != 'x') return kLayoutParseSyntax;
    // The length reaches to the 'x' that ends the masks; what follows it opens the next
    // level or closes this one.
    if (length >= cursor->end - cursor->next) return kLayoutParseSyntax;
    const char after = cursor->next[length];
    if (after != '<' && after != '>') return kLayoutParseSyntax;
    while (PeekLayoutChar(cursor) >= 0 && PeekLayoutChar(cursor) != 'x') ++cursor->next;
    int32_t width = 0;
    int32_t breakChar = 0;
    if (TakeLayoutChar(cursor) != 'x' || !ReadHexNumber(cursor, &width) || width == 0 ||
        TakeLayoutChar(cursor) != 'x' || !ReadHexNumber(cursor, &breakChar) || breakChar > 0xFF ||
        TakeLayoutChar(cursor) != 'x')
        return kLayoutParseSyntax;
    // One digit per four rows, first row in the high bit. A reader that wraps takes the
    // outermost level's width and gives each marked row this level's break character
    // (rows past the block's last one have none); the shared reader keeps the rows as
    // stored, so the masks are only checked.
    const char* masks = cursor->next;
    for (;;) {
        const int32_t c = TakeLayoutChar(cursor);
        if (c == 'x') break;
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return kLayoutParseSyntax;
    }
    if (auto form = LaterForms().layout.readWrapLevel)
        form(block, nested, width, breakChar, masks, static_cast<int32_t>(cursor->next - 1 - masks), options);
    if (WrapElementAhead(cursor)) {
        const ResultCode r = ParseWrapElement(cursor, block, nested + 1, options);
        if (r != kLayoutParseOK) return r;
    }
    return TakeLayoutChar(cursor) == '>' ? kLayoutParseOK : kLayoutParseSyntax;
}

static ResultCode ParseWrapElement(LayoutTextCursor* cursor, LayoutNode* block, int32_t nested,
                                   uint32_t options) {
    // Each level counts as an element toward the nesting limit, so a text of endless
    // levels is refused like any other deep text.
    if (cursor->depth >= kMaxLayoutDepth || !WrapElementAhead(cursor)) return kLayoutParseSyntax;
    ++cursor->depth;
    const ResultCode r = ReadWrapLevel(cursor, block, nested, options);
    --cursor->depth;
    return r;
}

// The rows of a block. A wrap element among them describes where rows were broken to a
// width; the shared reader reads and drops it, so the block holds the rows as stored and
// writes back nothing it did not read. A reader that wraps takes it through its form.
static ResultCode ParseRowsWithWrapElements(LayoutNode** out, LayoutTextCursor* cursor,
                                            LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    LayoutNode* block = CreateLayoutNode(kLayoutStackedRows, parent, 0);
    if (!block) return kLayoutParseNoMemory;
    ResultCode worst = kLayoutParseOK;
    LayoutNode* last = nullptr;
    while (PeekLayoutChar(cursor) == '<') {
        if (WrapElementAhead(cursor)) {
            const ResultCode r = ParseWrapElement(cursor, block, 0, context ? context->options : 0);
            if (r >= kLayoutParseNoMemory) {
                FreeLayoutNode(block);
                return r;
            }
            continue;
        }
        LayoutNode* row = nullptr;
        const ResultCode r = ParseLayoutElement(&row, cursor, nullptr, context);
        if (r >= kLayoutParseNoMemory) {
            FreeLayoutNode(block);
            return r;
        }
        worst = KeepWorstError(worst, r);
        if (!row) continue;
        // Linked behind the last row rather than appended through the block, which would
        // walk the list for every row.
        row->parent = block;
        if (last)
            last->nextSibling = row;
        else
            block->firstChild = row;
        last = row;
    }
    *out = block;
    return worst;
}

ResultCode ParseStackedRows(int32_t, LayoutNode** out, LayoutTextCursor* cursor,
                            LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    const int32_t letter = TakeLayoutChar(cursor);
    if (letter < 0) return kLayoutParseSyntax;
    ResultCode result = ParseRowsWithWrapElements(out, cursor, parent, context);
    if (result >= kLayoutParseNoMemory) return result;
    auto* stack = static_cast<StackedRowsNode*>(*out);
    stack->alignment = letter == 'L' ? 0 : letter == 'R' ? 2 : 1;
    if (letter != 'L' && letter != 'C' && letter != 'R')
        result = KeepWorstError(result, kLayoutParseWarning);
    return result;
}

int32_t WriteStackedRowsArgs(LayoutNode* node, char** cursor, LayoutWriteContext*) {
    const int32_t alignment = static_cast<StackedRowsNode*>(node)->alignment;
    return PutLayoutChar(cursor, alignment == 0 ? 'L' : alignment == 2 ? 'R' : 'C');
}

int32_t StackedRowsPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    const bool oneRow = (context->options & kWriteRowsAsOneRow) != 0;
    int32_t n = 0;
    for (LayoutNode* r = node->firstChild; r; r = r->nextSibling) {
        if (r != node->firstChild) n += oneRow ? PutLayoutChar(cursor, ' ') : PutLayoutText(cursor, "\r\n", 2);
        const LayoutKindRecord& row = LayoutKindTable[r->kind];
        if (row.writePlainText) n += row.writePlainText(r, cursor, context);
    }
    return n;
}

int32_t CopyStackedRows(LayoutNode* copy, const LayoutNode* source) {
    auto* to = static_cast<StackedRowsNode*>(copy);
    const auto* from = static_cast<const StackedRowsNode*>(source);
    to->alignment = from->alignment;
    to->wrapWidth = from->wrapWidth;
    to->growToFit = from->growToFit;
    FreeRowBreakChars(copy);
    if (from->wrapWidth != 0 && from->breakChars) {
        if (!ReserveBreakChars(to, from->breakCount)) return 0;
        if (from->breakCount > 0) std::memcpy(to->breakChars, from->breakChars, static_cast<size_t>(from->breakCount));
        to->breakCount = from->breakCount;
    }
    return 1;
}

void SetRowAlignment(LayoutNode* node, int32_t alignment) {
    if (!node || node->kind != kLayoutStackedRows) return;
    auto* stack = static_cast<StackedRowsNode*>(node);
    if (stack->alignment == alignment) return;
    stack->alignment = alignment;
    MarkLayoutDirty(node);
}
