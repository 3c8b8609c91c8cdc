// Range visits: the shared child walk, each kind's VisitRange slot and the entry points
// the caption editor calls. A visit that has its answer (or must give up) sets the
// visit's escape flag; every walk checks it after each child and returns at once.
//
// During a walk the caret indices are those of the tree as it was measured when the
// visit began: the walks take each child's caretCount and successor before visiting it,
// so a child replaced or regrouped on the way does not disturb the count.
#include "engine/text/layout_range.h"

#include <algorithm>
#include <cstring>

#include "engine/core/services/text_port.h"
#include "engine/text/layout_kinds.h"

const int32_t kRangeStyleNeed[kRangeOpCount] = { 2, 0, 1, 0, 1, 0, 1, 0, 0 };

namespace {

int32_t EndStop(const LayoutRangeVisit* v) { return v->start == v->end ? v->end + 1 : v->end; }

bool PartReached(int32_t first, int32_t count, const LayoutRangeVisit* v) {
    return first < EndStop(v) && v->start < first + count;
}

bool StopReached(int32_t stop, const LayoutRangeVisit* v) {
    return stop >= v->start && stop < EndStop(v);
}

void Escape(LayoutRangeVisit* v) { v->escaped = 1; }

void Fail(LayoutRangeVisit* v) {
    v->failed = 1;
    v->escaped = 1;
}

// Nodes from the root down to this one (the root counts 1).
int32_t NodeDepth(const LayoutNode* node) {
    int32_t d = 0;
    for (; node; node = node->parent) ++d;
    return d;
}

// Nodes on the longest path down from this one (the node counts 1).
int32_t SubtreeDepth(const LayoutNode* node) {
    int32_t best = 0;
    for (const LayoutNode* c = node->firstChild; c; c = c->nextSibling)
        best = std::max(best, SubtreeDepth(c));
    return best + 1;
}

// Whether a subtree placed where `place` stands would nest deeper than the reader
// accepts: such a tree could be written but never read back.
bool TooDeepAt(const LayoutNode* place, const LayoutNode* subtree) {
    return NodeDepth(place) - 1 + SubtreeDepth(subtree) > kMaxLayoutDepth;
}

// Visits one part of a structure (or one child of a row) that begins at caret index
// `first`, with the pen moved to it and the parent's child style when the op needs it.
void VisitPart(LayoutNode* parent, LayoutNode* child, int32_t first, LayoutRangeVisit* v) {
    const int32_t need = kRangeStyleNeed[v->op];
    const LayoutDrawState saved = v->state;
    const LayoutKindRecord& row = LayoutKindTable[parent->kind];
    const bool styled = need != 0 && row.childStyle != nullptr;
    if (styled) {
        TextStyle increment;
        row.childStyle(parent, child, &saved.style, &increment);
        MergeTextStyle(&v->state.style, &increment, &saved.style);
        if (need == 2) PortApplyTextStyle(&v->state);
    }
    v->state.x = static_cast<int16_t>(v->state.x + child->x);
    v->state.y = static_cast<int16_t>(v->state.y + child->y);
    v->offset = first;
    v->visitor(child, v);
    v->state = saved;
    if (styled && need == 2) PortApplyTextStyle(&v->state);
}

ScreenPoint Pt(int32_t x, int32_t y) {
    return ScreenPoint{ static_cast<int16_t>(x), static_cast<int16_t>(y) };
}

void InvertBox(LayoutRangeVisit* v, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) return;
    ScreenRect r{};
    r.left = static_cast<int16_t>(left);
    r.top = static_cast<int16_t>(top);
    r.right = static_cast<int16_t>(right);
    r.bottom = static_cast<int16_t>(bottom);
    PortInvertRect(&v->state, &r);
}


// A structure's own stop `stop`, which follows `part` (null for an opening stop), for the
// ops that treat every own stop alike.
void OwnStop(LayoutNode* node, LayoutNode* part, int32_t first, LayoutRangeVisit* v) {
    switch (v->op) {
    case kWordBounds:
        v->wordStart = first;
        v->wordEnd = first + node->caretCount;
        v->wordLeaf = nullptr;
        Escape(v);
        break;
    case kCaretRect:
        if (part) {
            const int32_t x = v->state.x + part->x + part->width;
            v->caretTop = Pt(x, v->state.y + part->y - part->ascent);
            v->caretBottom = Pt(x, v->state.y + part->y + part->descent);
        } else {
            v->caretTop = Pt(v->state.x, v->state.y - node->ascent);
            v->caretBottom = Pt(v->state.x, v->state.y + node->descent);
        }
        Escape(v);
        break;
    case kFindLeaf:
        v->start = v->end = v->end + 1;
        break;
    case kFindRow:
        if (v->callback) v->callback(node, v);
        break;
    case kInsertAtCaret:
        if (part)
            GroupWithNode(v->node, LastLeaf(part), 0);
        else
            InsertNodeAtEdge(v->node, node, 1);
        Escape(v);
        break;
    default:
        break;
    }
}

// Puts a new StackedRows node of the visit's two parts in the place of `part`.
void StackSplitParts(LayoutNode* part, int32_t alignment, LayoutRangeVisit* v) {
    if (!v->before || !v->after) return Fail(v);
    LayoutNode* stack = CreateLayoutNode(kLayoutStackedRows, nullptr, 0);
    if (!stack) return Fail(v);
    SetRowAlignment(stack, alignment);
    AppendLayoutChild(stack, v->before);
    AppendLayoutChild(stack, v->after);
    v->before = v->after = nullptr;
    if (TooDeepAt(part, stack)) {
        FreeLayoutNode(stack);
        return Fail(v);
    }
    MarkNeedsNormalize(stack);
    UnlinkLayoutChild(part->parent, part, stack);
    FreeLayoutNode(part);
    Escape(v);
}

// Stacks `part` over an empty row in its own place (a break at the end of the part).
void StackWithEmptyRow(LayoutNode* part, int32_t alignment, LayoutRangeVisit* v) {
    if (NodeDepth(part) + SubtreeDepth(part) > kMaxLayoutDepth) return Fail(v);
    LayoutNode* stack = CreateLayoutNode(kLayoutStackedRows, nullptr, 0);
    LayoutNode* empty = stack ? CreateLayoutNode(kLayoutEmptySlot, nullptr, 0) : nullptr;
    if (!empty) {
        FreeLayoutNode(stack);
        return Fail(v);
    }
    SetRowAlignment(stack, alignment);
    UnlinkLayoutChild(part->parent, part, stack);
    AppendLayoutChild(stack, part);
    AppendLayoutChild(stack, empty);
    MarkNeedsNormalize(stack);
    MarkLayoutDirty(part);
    Escape(v);
}

// The bounds of the word around byte j of a run, as byte positions.
void RunWord(const char* text, int32_t len, int32_t j, int32_t stepBack, int32_t* ws,
             int32_t* we) {
    auto blank = [&](int32_t k) { return text[k] == ' '; };
    int32_t a = j, b = j;
    if (j < len && blank(j)) {
        if (stepBack) {
            a = j + 1;
            b = a;
            while (b < len && !blank(b)) ++b;
        } else {
            while (a > 0 && !blank(a - 1)) --a;
            b = j;
        }
    } else {
        while (a > 0 && !blank(a - 1)) --a;
        while (b < len && !blank(b)) ++b;
    }
    *ws = a;
    *we = b;
}

// Splits a run at byte j (0 < j < length): a new Row takes its place, holding the run cut
// to j bytes and a new run with the rest. Answers the new run, or null (run left whole).
LayoutNode* SplitRun(LayoutNode* node, int32_t j) {
    auto* run = static_cast<TextRunNode*>(node);
    LayoutNode* rest = CreateLayoutNode(kLayoutTextRun, nullptr, 0);
    if (!rest) return nullptr;
    if (!SetTextRunBytes(rest, run->text + j, run->length - j)) {
        FreeLayoutNode(rest);
        return nullptr;
    }
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) {
        FreeLayoutNode(rest);
        return nullptr;
    }
    WrapLayoutNode(node, row);
    AppendLayoutChild(row, rest);
    run->length = j;
    run->text[j] = '\0';
    MarkLayoutDirty(node);
    MarkNeedsNormalize(node);
    MarkNeedsNormalize(rest);
    return rest;
}

LayoutNode* PreviousSibling(LayoutNode* node) {
    if (!node->parent) return nullptr;
    LayoutNode* p = nullptr;
    for (LayoutNode* c = node->parent->firstChild; c && c != node; c = c->nextSibling) p = c;
    return p;
}

bool Continues(const LayoutNode* node) {
    return (LayoutKindTable[node->kind].flags & kWordContinues) != 0;
}

// The leaf next to `leaf` (backwards or forwards) when a word may run into it: every node
// passed on the way has to let words through.
LayoutNode* WordNeighbour(LayoutNode* leaf, bool back) {
    LayoutNode* n = leaf;
    for (;;) {
        LayoutNode* sib = back ? PreviousSibling(n) : n->nextSibling;
        if (sib) {
            n = sib;
            break;
        }
        n = n->parent;
        if (!n || !Continues(n)) return nullptr;
    }
    while (Continues(n) && n->firstChild) n = back ? LastLayoutChild(n) : n->firstChild;
    return Continues(n) && !n->firstChild ? n : nullptr;
}

// Continues a word that reached an end of its run through the neighbouring leaves.
void ContinueWord(LayoutNode* leaf, bool back, int32_t* bound) {
    for (LayoutNode* n = WordNeighbour(leaf, back); n; n = WordNeighbour(n, back)) {
        const int32_t at = CaretOffsetOfNode(n);
        if (n->kind != kLayoutTextRun) {
            *bound = back ? at : at + n->caretCount;
            continue;
        }
        int32_t len = 0;
        const char* text = GetTextRun(n, &len);
        int32_t ws = 0, we = 0;
        if (back) {
            RunWord(text, len, len, 0, &ws, &we);
            *bound = at + ws;
            if (ws > 0) return;
        } else {
            if (len > 0 && text[0] == ' ') return;
            RunWord(text, len, 0, 0, &ws, &we);
            *bound = at + we;
            if (we < len) return;
        }
    }
}

void ClimbToRoot(LayoutNode** root) {
    while ((*root)->parent) *root = (*root)->parent;
}

void Finish(LayoutNode** root, const LayoutDrawState* state) {
    ClimbToRoot(root);
    MeasureLayout(*root, state);
    *root = NormalizeLayout(*root, &state->style);
    MeasureLayout(*root, state);
}

}  // namespace

// ---- The walk ----

void InitRangeVisit(LayoutNode* root, const LayoutDrawState* state, int32_t start, int32_t end,
                    LayoutRangeVisit* visit, void* user) {
    *visit = LayoutRangeVisit{};
    visit->state = *state;
    if (root && root->dirty != 0) MeasureLayout(root, state);
    visit->offset = 0;
    visit->start = start;
    visit->end = end;
    visit->user = user;
    visit->visitor = VisitLayoutRange;
}

void VisitLayoutRange(LayoutNode* node, LayoutRangeVisit* visit) {
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    if (row.visitRange) row.visitRange(node, visit);
}

void VisitChildrenInRange(LayoutNode* node, LayoutRangeVisit* v) {
    int32_t at = v->offset;
    LayoutNode* c = node->firstChild;
    while (c && !v->escaped) {
        LayoutNode* next = c->nextSibling;
        const int32_t count = c->caretCount;
        if (at >= EndStop(v)) break;
        if (v->start < at + count) VisitPart(node, c, at, v);
        at += count;
        c = next;
    }
}

// ---- Rows ----

void RowVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    const int32_t first = v->offset;
    VisitChildrenInRange(node, v);
    if (v->op != kBreakRow || v->escaped) return;
    LayoutNode* holder = ChildAtCaretOffset(node, first, v->start);
    if (!holder) {
        if (!CloneRangePart(node, v, 1)) Fail(v);
        return;
    }
    if (!v->before || !v->after) return Fail(v);
    LayoutNode* before = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!before) return Fail(v);
    for (LayoutNode* c = node->firstChild; c != holder; c = c->nextSibling) {
        LayoutNode* copy = CloneLayoutTree(c);
        if (!copy) {
            FreeLayoutNode(before);
            return Fail(v);
        }
        AppendLayoutChild(before, copy);
    }
    AppendLayoutChild(before, v->before);
    v->before = before;
    if (!holder->nextSibling) return;
    LayoutNode* after = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!after) return Fail(v);
    AppendLayoutChild(after, v->after);
    v->after = after;
    for (LayoutNode* c = holder->nextSibling; c; c = c->nextSibling) {
        LayoutNode* copy = CloneLayoutTree(c);
        if (!copy) return Fail(v);
        AppendLayoutChild(after, copy);
    }
}

void StackedRowsVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    const int32_t first = v->offset;
    LayoutNode* collecting = nullptr;
    if (v->op == kCutRange) {
        collecting = CreateLayoutNode(kLayoutStackedRows, nullptr, 0);
        if (!collecting) return;  // left as it was
        SetRowAlignment(collecting, static_cast<StackedRowsNode*>(node)->alignment);
    }
    LayoutNode* kept = nullptr;    // the node standing in the previous row's place
    LayoutNode* joined = nullptr;  // a Row this walk made by joining rows
    bool joinPrevious = false;
    // A wrapped block keeps one break character per row: a row the user breaks ends in a
    // hard break, rows joined keep the byte of the later one.
    const bool breaks = static_cast<StackedRowsNode*>(node)->breakChars != nullptr;
    int32_t index = 0;      // of `row`
    int32_t keptIndex = -1;  // of `kept`
    int32_t at = first;
    LayoutNode* row = node->firstChild;
    while (row && !v->escaped) {
        LayoutNode* next = row->nextSibling;
        const int32_t count = row->caretCount;
        const bool inRange = at < EndStop(v);
        if (!inRange && !joinPrevious) break;
        const int32_t stop = at + count;
        if (inRange && v->start < stop) {
            LayoutNode* saved = v->collection;
            if (collecting) {
                LayoutNode* cr = CreateEmptySlotRow(collecting);
                if (cr) v->collection = cr;
            }
            VisitPart(node, row, at, v);
            v->collection = saved;
            if (v->escaped) break;
            if (v->op == kBreakRow) {
                LayoutNode* before = v->before;
                LayoutNode* after = v->after;
                if (!before || !after) return Fail(v);
                const int32_t deep = NodeDepth(row) - 1 +
                                     std::max(SubtreeDepth(before), SubtreeDepth(after));
                if (deep > kMaxLayoutDepth) return Fail(v);
                v->before = v->after = nullptr;
                UnlinkLayoutChild(node, row, before);
                after->parent = node;
                after->nextSibling = before->nextSibling;
                before->nextSibling = after;
                MarkNeedsNormalize(after);
                MarkLayoutDirty(after);
                FreeLayoutNode(row);
                if (breaks) InsertRowBreakChar(node, index, 0);
                return Escape(v);
            }
        }
        LayoutNode* slot = kept ? kept->nextSibling : node->firstChild;
        int32_t slotIndex = keptIndex + 1;
        if (joinPrevious && slot && kept) {
            if (kept != joined) {
                LayoutNode* j = CreateLayoutNode(kLayoutRow, nullptr, 0);
                if (j) {
                    UnlinkLayoutChild(node, kept, j);
                    AppendLayoutChild(j, kept);
                    kept = joined = j;
                }
            }
            if (kept == joined) {
                UnlinkLayoutChild(node, slot, nullptr);
                AppendLayoutChild(joined, slot);
                MarkNeedsNormalize(slot);
                slot = joined;
                if (breaks) RemoveRowBreakChars(node, keptIndex, 1);
                slotIndex = keptIndex;
            }
        }
        if (slot != joined) joined = nullptr;
        if (v->op != kCutRange && StopReached(stop, v)) {
            if (v->op == kBreakRow) {
                LayoutNode* empty = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
                if (!empty) return Fail(v);
                empty->parent = node;
                empty->nextSibling = row->nextSibling;
                row->nextSibling = empty;
                MarkNeedsNormalize(node);
                MarkLayoutDirty(node);
                if (breaks) InsertRowBreakChar(node, index, 0);
                return Escape(v);
            }
            if (v->op == kInvertRange) {
                // The break stop has no area of its own.
            } else {
                OwnStop(node, row, first, v);
            }
        }
        joinPrevious = v->op == kCutRange && stop >= v->start && stop < v->end;
        kept = slot;
        keptIndex = slotIndex;
        at = stop + 1;
        row = next;
        ++index;
    }
    if (collecting) {
        if (collecting->firstChild)
            AppendLayoutChild(v->collection, collecting);
        else
            FreeLayoutNode(collecting);
    }
}

// ---- Delimiters and radicals ----

void DelimiterVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    const int32_t first = v->offset;
    LayoutNode* content = node->firstChild;
    const int32_t count = content ? content->caretCount : 0;
    const int32_t close = first + count + 1;
    const bool atOpen = StopReached(first, v), atClose = StopReached(close, v);
    switch (v->op) {
    case kInvertRange: {
        if ((atOpen || atClose) && content) {
            const int32_t top = v->state.y - node->ascent, bottom = v->state.y + node->descent;
            const int32_t left = v->state.x + content->x;
            const int32_t right = left + content->width;
            if (node->kind == kLayoutRadical) {
                if (atOpen) {
                    InvertBox(v, v->state.x, top, left, bottom);
                    InvertBox(v, left, top, v->state.x + node->width,
                              v->state.y + content->y - content->ascent);
                }
            } else {
                InvertBox(v, v->state.x, top, left, bottom);
                InvertBox(v, right, top, v->state.x + node->width, bottom);
            }
        }
        if (content && PartReached(first + 1, count, v)) VisitPart(node, content, first + 1, v);
        return;
    }
    case kCutRange: {
        if (!content) return;
        const bool dissolve = (atOpen && !atClose) ||
                              (atClose && !atOpen && node->kind != kLayoutRadical);
        if (!dissolve) {
            if (PartReached(first + 1, count, v)) VisitPart(node, content, first + 1, v);
            return;
        }
        LayoutNode* slot = CreateEmptySlotRow(nullptr);
        if (!slot) return;  // left as it was
        UnlinkLayoutChild(node, content, slot);
        if (node->parent)
            UnlinkLayoutChild(node->parent, node, content);
        else
            v->newRoot = content;
        MarkNeedsNormalize(content);
        MarkLayoutDirty(content);
        MarkNeedsNormalize(node);
        AppendLayoutChild(v->collection, node);
        if (atClose) ++v->dissolved;
        LayoutNode* saved = v->collection;
        v->collection = slot;
        if (PartReached(first + 1, count, v)) VisitPart(node, content, first + 1, v);
        v->collection = saved;
        return;
    }
    case kBreakRow:
        if (v->start == first) {
            if (!CloneRangePart(node, v, 0)) Fail(v);
            return;
        }
        if (!v->allowInside || !content) return Fail(v);
        if (v->start == close) return StackWithEmptyRow(content, 1, v);
        VisitPart(node, content, first + 1, v);
        if (!v->escaped) StackSplitParts(content, 1, v);
        return;
    default:
        if (atOpen) {
            OwnStop(node, nullptr, first, v);
            if (v->escaped) return;
        }
        if (content && PartReached(first + 1, count, v)) VisitPart(node, content, first + 1, v);
        if (v->escaped) return;
        if (StopReached(close, v)) OwnStop(node, content, first, v);
    }
}

// ---- Fractions ----

void FractionVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    const int32_t first = v->offset;
    LayoutNode* num = node->firstChild;
    LayoutNode* den = num ? num->nextSibling : nullptr;
    if (!den) return;
    const int32_t n = num->caretCount, d = den->caretCount;
    const int32_t numAt = first + 1, bar = first + n + 1, denAt = first + n + 2;
    const int32_t last = first + n + d + 2;
    switch (v->op) {
    case kInvertRange:
        if (StopReached(bar, v) && v->start != v->end) {
            const int32_t top = v->state.y + num->y + num->descent;
            const int32_t bottom = v->state.y + den->y - den->ascent;
            InvertBox(v, v->state.x, top, v->state.x + node->width, bottom);
        }
        if (PartReached(numAt, n, v)) VisitPart(node, num, numAt, v);
        if (PartReached(denAt, d, v)) VisitPart(node, den, denAt, v);
        return;
    case kCutRange: {
        if (!StopReached(bar, v)) {
            if (StopReached(first, v) && PartReached(numAt, n, v)) --v->dissolved;
            if (PartReached(numAt, n, v)) VisitPart(node, num, numAt, v);
            if (PartReached(denAt, d, v)) VisitPart(node, den, denAt, v);
            return;
        }
        const bool numCut = PartReached(numAt, n, v), denCut = PartReached(denAt, d, v);
        LayoutNode* frac = CreateLayoutNode(kLayoutFraction, nullptr, 0);
        LayoutNode* s1 = nullptr;
        LayoutNode* s2 = nullptr;
        LayoutNode* row = nullptr;
        if (frac) {
            s1 = numCut ? CreateEmptySlotRow(frac) : CreateQuestionMarkRun(frac);
            s2 = s1 ? (denCut ? CreateEmptySlotRow(frac) : CreateQuestionMarkRun(frac)) : nullptr;
            row = s2 ? CreateLayoutNode(kLayoutRow, nullptr, 0) : nullptr;
        }
        if (!row) {
            FreeLayoutNode(frac);
            return;  // left as it was
        }
        UnlinkLayoutChild(node, num, nullptr);
        UnlinkLayoutChild(node, den, nullptr);
        AppendLayoutChild(row, num);
        AppendLayoutChild(row, den);
        MarkNeedsNormalize(num);
        MarkNeedsNormalize(den);
        if (node->parent)
            UnlinkLayoutChild(node->parent, node, row);
        else
            v->newRoot = row;
        FreeLayoutNode(node);
        if (v->start > first) ++v->dissolved;
        AppendLayoutChild(v->collection, frac);
        LayoutNode* saved = v->collection;
        if (numCut) {
            v->collection = s1;
            VisitPart(row, num, numAt, v);
        }
        if (denCut) {
            v->collection = s2;
            VisitPart(row, den, denAt, v);
        }
        v->collection = saved;
        return;
    }
    case kBreakRow: {
        const int32_t k = v->start;
        if (k == first) {
            if (!CloneRangePart(node, v, 0)) Fail(v);
            return;
        }
        if (!v->allowInside) return Fail(v);
        if (k == bar) return StackWithEmptyRow(num, 1, v);
        if (k == last) return StackWithEmptyRow(den, 1, v);
        LayoutNode* part = k < bar ? num : den;
        VisitPart(node, part, k < bar ? numAt : denAt, v);
        if (!v->escaped) StackSplitParts(part, 1, v);
        return;
    }
    default: {
        const int32_t stops[3] = { first, bar, last };
        LayoutNode* follows[3] = { nullptr, num, den };
        LayoutNode* parts[2] = { num, den };
        const int32_t partAt[2] = { numAt, denAt };
        for (int32_t i = 0; i < 3 && !v->escaped; ++i) {
            if (i > 0 && PartReached(partAt[i - 1], parts[i - 1]->caretCount, v))
                VisitPart(node, parts[i - 1], partAt[i - 1], v);
            if (v->escaped || !StopReached(stops[i], v)) continue;
            OwnStop(node, follows[i], first, v);
        }
    }
    }
}

// ---- Styles ----

void StyleVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    if (v->op != kBreakRow) return VisitChildrenInRange(node, v);
    const int32_t first = v->offset;
    const bool hasBefore = v->start != first;
    const bool hasAfter = v->start - first != node->caretCount;
    VisitChildrenInRange(node, v);
    if (v->escaped) return;
    // At the very end of the tree no child holds the index: the whole node goes before.
    if (!hasAfter && !v->before && !v->after) {
        if (!CloneRangePart(node, v, 1)) Fail(v);
        return;
    }
    if (!v->before || !v->after) return Fail(v);
    for (LayoutNode** part : { hasBefore ? &v->before : nullptr, hasAfter ? &v->after : nullptr }) {
        if (!part) continue;
        LayoutNode* copy = CopyLayoutNode(node);
        if (!copy) return Fail(v);
        AppendLayoutChild(copy, *part);
        *part = copy;
    }
}

// ---- Scripts ----

void ScriptVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    const int32_t first = v->offset;
    LayoutNode* base = node->firstChild;
    LayoutNode* script = base ? base->nextSibling : nullptr;
    if (!script) return;
    const int32_t b = base->caretCount, s = script->caretCount;
    const int32_t afterBase = first + b, scriptAt = first + b + 1, afterScript = first + b + s + 1;
    switch (v->op) {
    case kCutRange: {
        const bool across = v->start >= first && v->start < afterBase && v->end > scriptAt &&
                            PartReached(scriptAt, s, v);
        if (!across) {
            if (PartReached(first, b, v)) VisitPart(node, base, first, v);
            if (PartReached(scriptAt, s, v)) VisitPart(node, script, scriptAt, v);
            return;
        }
        LayoutNode* copy = CreateLayoutNode(node->kind, nullptr, 0);
        LayoutNode* r1 = copy ? CreateEmptySlotRow(copy) : nullptr;
        LayoutNode* r2 = r1 ? CreateEmptySlotRow(copy) : nullptr;
        if (!r2) {
            FreeLayoutNode(copy);
            return;  // left as it was
        }
        AppendLayoutChild(v->collection, copy);
        LayoutNode* saved = v->collection;
        v->collection = r1;
        VisitPart(node, base, first, v);
        v->collection = r2;
        VisitPart(node, script, scriptAt, v);
        v->collection = saved;
        return;
    }
    case kBreakRow: {
        if (!v->allowInside) return Fail(v);
        const int32_t k = v->start;
        if (k == afterBase) return StackWithEmptyRow(base, 2, v);
        if (k == afterScript) return StackWithEmptyRow(script, 0, v);
        LayoutNode* part = k < afterBase ? base : script;
        VisitPart(node, part, k < afterBase ? first : scriptAt, v);
        if (!v->escaped) StackSplitParts(part, k < afterBase ? 2 : 0, v);
        return;
    }
    default:
        if (PartReached(first, b, v)) VisitPart(node, base, first, v);
        if (v->escaped) return;
        if (StopReached(afterBase, v) && v->op != kInvertRange) {
            OwnStop(node, base, first, v);
            if (v->escaped) return;
        }
        if (PartReached(scriptAt, s, v)) VisitPart(node, script, scriptAt, v);
        if (v->escaped) return;
        if (StopReached(afterScript, v) && v->op != kInvertRange) {
            OwnStop(node, script, first, v);
        }
    }
}

// ---- Leaves ----

void TextRunVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    auto* run = static_cast<TextRunNode*>(node);
    const int32_t len = run->length;
    const char* text = run->text ? run->text : "";
    const int32_t j = std::clamp(v->start - v->offset, 0, len);
    const int32_t i = std::clamp(v->end - v->offset, 0, len);
    switch (v->op) {
    case kInvertRange:
        if (j < i) {
            const int32_t left = v->state.x + MeasureTextSpan(&v->state, text, 0, j);
            const int32_t right = left + MeasureTextSpan(&v->state, text, j, i - j);
            InvertBox(v, left, v->state.y - node->ascent, right, v->state.y + node->descent);
        }
        break;
    case kWordBounds: {
        int32_t ws = 0, we = 0;
        RunWord(text, len, j, v->stepBack, &ws, &we);
        v->wordStart = v->offset + ws;
        v->wordEnd = v->offset + we;
        v->wordLeaf = node;
        Escape(v);
        break;
    }
    case kCaretRect: {
        const int32_t x = v->state.x + (j > 0 ? MeasureTextSpan(&v->state, text, 0, j) : 0);
        ScreenPoint top = Pt(x, v->state.y - node->caretAscent);
        ScreenPoint bottom = Pt(x, v->state.y + node->descent);
        PortAdjustRunEnds(&top, &bottom, &v->state.style);
        v->caretTop = top;
        v->caretBottom = bottom;
        Escape(v);
        break;
    }
    case kFindLeaf:
    case kInsertAtCaret: {
        v->leaf = node;
        v->atStart = v->start - v->offset < 1 || len == 0;
        if (v->op == kFindLeaf) {
            if (!v->atStart && j < len) SplitRun(node, j);
            break;
        }
        if (v->atStart) {
            InsertNodeAtEdge(v->node, node, 1);
        } else if (j >= len) {
            GroupWithNode(v->node, node, 0);
        } else {
            if (LayoutNode* rest = SplitRun(node, j)) {
                v->node->parent = rest->parent;
                v->node->nextSibling = rest;
                node->nextSibling = v->node;
                MarkNeedsNormalize(v->node);
                MarkLayoutDirty(v->node);
            }
        }
        Escape(v);
        break;
    }
    case kEachLeaf:
    case kFindRow:
        if (v->callback) v->callback(node, v);
        break;
    case kBreakRow: {
        const int32_t k = v->start - v->offset;
        if (k > 0 && k < len) {
            LayoutNode* a = CreateLayoutNode(kLayoutTextRun, nullptr, 0);
            LayoutNode* b = a ? CreateLayoutNode(kLayoutTextRun, nullptr, 0) : nullptr;
            if (!b || !SetTextRunBytes(a, text, k) || !SetTextRunBytes(b, text + k, len - k)) {
                FreeLayoutNode(a);
                FreeLayoutNode(b);
                return Fail(v);
            }
            v->before = a;
            v->after = b;
        } else if (!CloneRangePart(node, v, k <= 0 ? 0 : 1)) {
            Fail(v);
        }
        break;
    }
    default:
        break;
    }
}

// Glyphs and alternatives: one stop each.
void AtomVisitRange(LayoutNode* node, LayoutRangeVisit* v) {
    switch (v->op) {
    case kInvertRange:
        if (v->offset >= v->start && v->offset < v->end)
            InvertBox(v, v->state.x, v->state.y - node->ascent, v->state.x + node->width,
                      v->state.y + node->descent);
        break;
    case kWordBounds:
        v->wordStart = v->offset;
        v->wordEnd = v->offset + node->caretCount;
        v->wordLeaf = node;
        Escape(v);
        break;
    case kCaretRect:
        v->caretTop = Pt(v->state.x, v->state.y - node->caretAscent);
        v->caretBottom = Pt(v->state.x, v->state.y + node->descent);
        Escape(v);
        break;
    case kFindLeaf:
    case kInsertAtCaret:
        v->leaf = node;
        v->atStart = v->start == v->offset;
        if (v->op == kInsertAtCaret) {
            if (v->atStart)
                InsertNodeAtEdge(v->node, node, 1);
            else
                GroupWithNode(v->node, node, 0);
            Escape(v);
        }
        break;
    case kEachLeaf:
    case kFindRow:
        if (v->callback) v->callback(node, v);
        break;
    case kBreakRow:
        if (!CloneRangePart(node, v, v->start == v->offset ? 0 : 1)) Fail(v);
        break;
    default:
        break;
    }
}

// ---- Helpers of the entry points ----

LayoutNode* CaretEndLeaf(LayoutNode* node, ScreenPoint* pen) {
    while (node && (LayoutKindTable[node->kind].flags & kCaretEndDescends) && node->firstChild) {
        LayoutNode* last = LastLayoutChild(node);
        pen->x = static_cast<int16_t>(pen->x + last->x);
        pen->y = static_cast<int16_t>(pen->y + last->y);
        node = last;
    }
    return node;
}

LayoutNode* LastLeaf(LayoutNode* node) {
    while (node && (LayoutKindTable[node->kind].flags & kLastLeafDescends) && node->firstChild)
        node = LastLayoutChild(node);
    return node;
}

LayoutNode* DeepestLastNode(LayoutNode* node) {
    while (node && node->firstChild) node = LastLayoutChild(node);
    return node;
}

int32_t CloneRangePart(LayoutNode* node, LayoutRangeVisit* v, int32_t side) {
    LayoutNode* copy = CloneLayoutTree(node);
    LayoutNode* empty = copy ? CreateLayoutNode(kLayoutEmptySlot, nullptr, 0) : nullptr;
    if (!empty) {
        FreeLayoutNode(copy);
        return 0;
    }
    v->before = side ? copy : empty;
    v->after = side ? empty : copy;
    return 1;
}

int32_t ComposeRangeParts(const LayoutRangeVisit* v) { return v->before && v->after; }

int32_t InsertNodeAtEdge(LayoutNode* node, LayoutNode* leaf, int32_t before) {
    if (!before) return GroupWithNode(node, LastLeaf(leaf), 0);
    LayoutNode* a = leaf;
    while (a->parent && a->parent->firstChild == a) a = a->parent;
    if (a->parent) {
        LayoutNode* prev = PreviousSibling(a);
        LayoutNode* end = prev ? LastLeaf(prev) : nullptr;
        if (end && CaretOffsetOfNode(leaf) == CaretOffsetOfNode(end) + end->caretCount)
            return GroupWithNode(node, end, 0);
    }
    return GroupWithNode(node, leaf, 1);
}

// ---- Entry points ----

void LayoutCaretRect(LayoutNode* root, const LayoutDrawState* state, int32_t caretIndex,
                     ScreenPoint* top, ScreenPoint* bottom) {
    *top = *bottom = Pt(state->x, state->y);
    if (!root) return;
    if (root->dirty != 0) MeasureLayout(root, state);
    if (caretIndex >= root->caretCount) {
        ScreenPoint pen = Pt(state->x, state->y);
        LayoutNode* leaf = CaretEndLeaf(root, &pen);
        *top = Pt(pen.x + leaf->width, pen.y - leaf->caretAscent);
        *bottom = Pt(pen.x + leaf->width, pen.y + leaf->descent);
        return;
    }
    LayoutRangeVisit v;
    InitRangeVisit(root, state, caretIndex, caretIndex, &v, nullptr);
    v.op = kCaretRect;
    v.caretTop = v.caretBottom = *top;
    PortBeginDraw(&v.state);
    PortApplyTextStyle(&v.state);
    VisitLayoutRange(root, &v);
    PortEndDraw(&v.state);
    *top = v.caretTop;
    *bottom = v.caretBottom;
}

void LayoutWordBounds(LayoutNode* root, const LayoutDrawState* state, int32_t caretIndex,
                      int32_t* wordStart, int32_t* wordEnd, int32_t stepBack) {
    if (stepBack && caretIndex > 0)
        --caretIndex;
    else
        stepBack = 0;
    *wordStart = *wordEnd = caretIndex;
    if (!root) return;
    LayoutRangeVisit v;
    InitRangeVisit(root, state, caretIndex, caretIndex, &v, nullptr);
    v.op = kWordBounds;
    v.stepBack = stepBack;
    v.wordStart = v.wordEnd = caretIndex;
    VisitLayoutRange(root, &v);
    if (LayoutNode* leaf = v.wordLeaf) {
        const int32_t at = CaretOffsetOfNode(leaf);
        if (v.wordStart == at) ContinueWord(leaf, true, &v.wordStart);
        if (v.wordEnd == at + leaf->caretCount) ContinueWord(leaf, false, &v.wordEnd);
    }
    // A malformed Style with more than one child counts the stops of its first child
    // only; a word continued into the others must not end past the tree's last stop.
    *wordStart = std::clamp(v.wordStart, 0, root->caretCount);
    *wordEnd = std::clamp(v.wordEnd, *wordStart, root->caretCount);
}

namespace {
void InvertVisitor(LayoutNode* node, LayoutRangeVisit* v) {
    if (v->offset >= v->start && v->offset + node->caretCount <= v->end) {
        InvertBox(v, v->state.x, v->state.y - node->ascent, v->state.x + node->width,
                  v->state.y + node->descent);
        return;
    }
    VisitLayoutRange(node, v);
}
}  // namespace

void InvertLayoutRange(LayoutNode* root, const LayoutDrawState* state, int32_t start,
                       int32_t end) {
    if (!root || start >= end) return;
    LayoutRangeVisit v;
    InitRangeVisit(root, state, start, end, &v, nullptr);
    v.op = kInvertRange;
    v.visitor = InvertVisitor;
    PortBeginDraw(&v.state);
    PortApplyTextStyle(&v.state);
    InvertVisitor(root, &v);
    PortEndDraw(&v.state);
}

int32_t LeafBoundaryOffset(LayoutNode** root, int32_t caretIndex, const LayoutDrawState* state,
                           LayoutNode** leaf, int32_t* atStart) {
    if ((*root)->dirty != 0) MeasureLayout(*root, state);
    *atStart = 0;
    if (caretIndex >= (*root)->caretCount) {
        *leaf = DeepestLastNode(*root);
        return caretIndex;
    }
    LayoutRangeVisit v;
    InitRangeVisit(*root, state, caretIndex, caretIndex, &v, nullptr);
    v.op = kFindLeaf;
    VisitLayoutRange(*root, &v);
    *leaf = v.leaf ? v.leaf : DeepestLastNode(*root);
    *atStart = v.leaf ? v.atStart : 0;
    if ((*root)->parent) {
        ClimbToRoot(root);
        MeasureLayout(*root, state);
    } else if ((*root)->dirty != 0) {
        MeasureLayout(*root, state);
    }
    return caretIndex;
}

namespace {
void CutVisitor(LayoutNode* node, LayoutRangeVisit* v) {
    if (!(v->offset >= v->start && v->offset + node->caretCount <= v->end)) {
        VisitLayoutRange(node, v);
        return;
    }
    if (v->node) {
        while (node->firstChild && node->firstChild->caretCount == node->caretCount)
            node = node->firstChild;
    }
    MarkNeedsNormalize(node);
    MarkLayoutDirty(node);
    // A replacement that would nest too deep here stays pending for the caret insertion,
    // which refuses it in the same way.
    LayoutNode* put = nullptr;
    if (v->node && !(node->parent && TooDeepAt(node, v->node))) {
        put = v->node;
        v->node = nullptr;
    }
    if (node->parent) {
        if (!put) put = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
        UnlinkLayoutChild(node->parent, node, put);
    } else {
        v->newRoot = put;
    }
    AppendLayoutChild(v->collection, node);
}
}  // namespace

int32_t CutLayoutRange(LayoutNode** root, int32_t* start, int32_t* end,
                       const LayoutDrawState* state, LayoutNode* replacement,
                       LayoutNode** collectionOut) {
    if (collectionOut) *collectionOut = nullptr;
    LayoutNode* leaf = nullptr;
    int32_t atStart = 0;
    *end = LeafBoundaryOffset(root, *end, state, &leaf, &atStart);
    *start = LeafBoundaryOffset(root, *start, state, &leaf, &atStart);
    if (*start >= *end) {
        // Nothing to cut; a replacement goes in at the caret, so that typing over an
        // empty selection types.
        *end = *start;
        if (replacement) return InsertNodeAtCaret(root, *start, state, replacement);
        Finish(root, state);
        return 1;
    }
    if ((*root)->dirty != 0) MeasureLayout(*root, state);
    LayoutNode* collection = CreateEmptySlotRow(nullptr);
    if (!collection) {
        FreeLayoutNode(replacement);
        return 0;
    }
    LayoutRangeVisit v;
    InitRangeVisit(*root, state, *start, *end, &v, nullptr);
    v.op = kCutRange;
    v.visitor = CutVisitor;
    v.node = replacement;
    v.collection = collection;
    v.newRoot = *root;
    CutVisitor(*root, &v);
    *root = v.newRoot;
    if (*root) ClimbToRoot(root);
    if (!*root) {
        *root = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
        if (!*root) {
            *root = collection;
            collection = nullptr;
        }
    }
    if (v.node) {
        if (!InsertNodeAtCaret(root, std::max(0, *start - v.dissolved), state, v.node)) {
            FreeLayoutNode(collection);
            Finish(root, state);
            *start = *end = std::clamp(*start, 0, (*root)->caretCount);
            return 0;
        }
    }
    Finish(root, state);
    *start = *end = std::clamp(*start, 0, (*root)->caretCount);
    if (collectionOut && collection) {
        collection = NormalizeLayout(collection, &state->style);
        *collectionOut = collection;
    } else {
        FreeLayoutNode(collection);
    }
    return 1;
}

int32_t InsertNodeAtCaret(LayoutNode** root, int32_t caretIndex, const LayoutDrawState* state,
                          LayoutNode* node) {
    if ((*root)->dirty != 0) MeasureLayout(*root, state);
    // An insertion that could nest deeper than the reader accepts is tried on the tree
    // with a copy kept aside, and undone when the normalised result is too deep: such a
    // tree would be written but lost when read again. The grouping rows an insertion
    // makes often vanish in normalising, so the depth is judged on the result.
    LayoutNode* kept = nullptr;
    if (SubtreeDepth(*root) + SubtreeDepth(node) + 1 > kMaxLayoutDepth) {
        kept = CloneLayoutTree(*root);
        if (!kept) {
            FreeLayoutNode(node);
            return 0;
        }
    }
    if (caretIndex >= (*root)->caretCount) {
        ScreenPoint pen{};
        GroupWithNode(node, CaretEndLeaf(*root, &pen), 0);
    } else {
        LayoutRangeVisit v;
        InitRangeVisit(*root, state, caretIndex, caretIndex, &v, nullptr);
        v.op = kInsertAtCaret;
        v.node = node;
        VisitLayoutRange(*root, &v);
    }
    if (!node->parent) {
        FreeLayoutNode(node);
        FreeLayoutNode(kept);
        return 0;
    }
    ClimbToRoot(root);
    *root = NormalizeLayout(*root, &state->style);
    if (kept && SubtreeDepth(*root) > kMaxLayoutDepth) {
        FreeLayoutNode(*root);
        *root = kept;
        kept = nullptr;
        MeasureLayout(*root, state);
        return 0;
    }
    FreeLayoutNode(kept);
    MeasureLayout(*root, state);
    return 1;
}

int32_t BreakRowAtCaret(LayoutNode** root, int32_t caretIndex, const LayoutDrawState* state,
                        int32_t allowInside) {
    LayoutRangeVisit v;
    InitRangeVisit(*root, state, caretIndex, caretIndex, &v, nullptr);
    v.op = kBreakRow;
    v.allowInside = allowInside;
    VisitLayoutRange(*root, &v);
    if (!v.failed && !v.escaped) {
        LayoutNode* stack = ComposeRangeParts(&v)
                                ? CreateLayoutNode(kLayoutStackedRows, nullptr, 0)
                                : nullptr;
        if (!stack) {
            v.failed = 1;
        } else {
            SetRowAlignment(stack, 0);
            AppendLayoutChild(stack, v.before);
            AppendLayoutChild(stack, v.after);
            v.before = v.after = nullptr;
            if (SubtreeDepth(stack) > kMaxLayoutDepth) {
                FreeLayoutNode(stack);
                v.failed = 1;
            } else {
                FreeLayoutNode(*root);
                *root = stack;
            }
        }
    }
    FreeLayoutNode(v.before);
    FreeLayoutNode(v.after);
    if (v.failed) return 0;
    Finish(root, state);
    return 1;
}

namespace {
void StyleLeaf(LayoutNode* leaf, LayoutRangeVisit* v) {
    TextStyle diff = *static_cast<const TextStyle*>(v->user);
    if (ClearMatchingStyleFields(&diff, &v->state.style)) return;
    LayoutNode* wrapper = CreateLayoutNode(kLayoutStyle, nullptr, 0);
    if (!wrapper) return;
    MergeIntoStyleNode(wrapper, &diff);
    StoreLayoutMetrics(wrapper, *leaf);
    WrapLayoutNode(leaf, wrapper);
    MarkNeedsNormalize(wrapper);
}

struct CommonStyle {
    TextStyle style;
    bool      any;
};

void IntersectLeaf(LayoutNode*, LayoutRangeVisit* v) {
    auto* common = static_cast<CommonStyle*>(v->user);
    if (!common->any)
        common->style = v->state.style;
    else
        IntersectTextStyle(&common->style, &v->state.style, 0);
    common->any = true;
}

void RowsVisitor(LayoutNode* node, LayoutRangeVisit* v) {
    LayoutNode* saved = v->rows;
    if (node->kind == kLayoutStackedRows) v->rows = node;
    VisitLayoutRange(node, v);
    v->rows = saved;
}

void AlignRows(LayoutNode*, LayoutRangeVisit* v) {
    if (!v->rows) return;
    SetRowAlignment(v->rows, *static_cast<const int32_t*>(v->user));
    v->found = 1;
}
}  // namespace

void ApplyStyleToRange(LayoutNode** root, const LayoutDrawState* state, int32_t start,
                       int32_t end, const TextStyle* style) {
    if (start >= end) return;
    LayoutNode* leaf = nullptr;
    int32_t atStart = 0;
    end = LeafBoundaryOffset(root, end, state, &leaf, &atStart);
    start = LeafBoundaryOffset(root, start, state, &leaf, &atStart);
    if (start < end) {
        LayoutRangeVisit v;
        InitRangeVisit(*root, state, start, end, &v, const_cast<TextStyle*>(style));
        v.op = kEachLeaf;
        v.callback = StyleLeaf;
        VisitLayoutRange(*root, &v);
    }
    ClimbToRoot(root);
    *root = NormalizeLayout(*root, &state->style);
    if ((*root)->dirty != 0) MeasureLayout(*root, state);
}

void GetRangeStyle(LayoutNode** root, const LayoutDrawState* state, int32_t start, int32_t end,
                   TextStyle* style) {
    CommonStyle common{};
    common.style = state->style;
    if (start < end) {
        LayoutRangeVisit v;
        InitRangeVisit(*root, state, start, end, &v, &common);
        v.op = kEachLeaf;
        v.callback = IntersectLeaf;
        VisitLayoutRange(*root, &v);
    }
    *style = common.style;
    if (style->field[kStyleRed] == 0 || style->field[kStyleGreen] == 0 ||
        style->field[kStyleBlue] == 0)
        style->field[kStyleRed] = style->field[kStyleGreen] = style->field[kStyleBlue] = 0;
}

int32_t SetRangeRowAlignment(LayoutNode* root, const LayoutDrawState* state, int32_t start,
                             int32_t end, int32_t alignment) {
    if (!root) return 0;
    LayoutRangeVisit v;
    InitRangeVisit(root, state, start, end, &v, &alignment);
    v.op = kFindRow;
    v.visitor = RowsVisitor;
    v.callback = AlignRows;
    RowsVisitor(root, &v);
    return v.found;
}
