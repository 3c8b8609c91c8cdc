// The tree core: creating, linking and freeing nodes, dirty marking, measuring, drawing,
// normalising and copying, and the slot routines several kinds share.
#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"

LayoutNode* LayoutChildAt(const LayoutNode* node, int32_t index) {
    LayoutNode* child = node ? node->firstChild : nullptr;
    while (child && index-- > 0) child = child->nextSibling;
    return child;
}

LayoutNode* LastLayoutChild(const LayoutNode* node) {
    LayoutNode* child = node ? node->firstChild : nullptr;
    while (child && child->nextSibling) child = child->nextSibling;
    return child;
}

int32_t LayoutChildCount(const LayoutNode* node) {
    int32_t n = 0;
    for (LayoutNode* c = node ? node->firstChild : nullptr; c; c = c->nextSibling) ++n;
    return n;
}

LayoutNode* CreateLayoutNode(int32_t kind, LayoutNode* parent, int32_t value) {
    if (kind < 0 || kind >= kLayoutKindCount) return nullptr;
    const LayoutKindRecord& row = LayoutKindTable[kind];
    if (row.nodeSize == 0) return nullptr;  // placeholders never become nodes
    auto* node = static_cast<LayoutNode*>(AllocMemory(row.nodeSize, kAllocZero));
    if (!node) return nullptr;
    node->kind = kind;
    node->value = value;
    node->needsNormalize = 1;
    if (row.init && row.init(node) == 0) {
        FreeMemory(node);
        return nullptr;
    }
    if (parent) AppendLayoutChild(parent, node);
    MarkLayoutDirty(node);
    return node;
}

static void DestroyDetachedNode(LayoutNode* node) {
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    if (row.destroy) row.destroy(node);
    FreeMemory(node);
}

void FreeLayoutNode(LayoutNode* node) {
    if (!node) return;
    MarkLayoutDirty(node);
    if (node->parent) UnlinkLayoutChild(node->parent, node, nullptr);
    // Children before their parent, without recursion: trees from outside text can be
    // deep, and freeing must never be what overflows the stack.
    LayoutNode* cur = node;
    while (cur) {
        if (cur->firstChild) {
            cur = cur->firstChild;
            continue;
        }
        LayoutNode* up = cur == node ? nullptr : cur->parent;
        if (up) up->firstChild = cur->nextSibling;
        DestroyDetachedNode(cur);
        cur = up;
    }
}

LayoutNode* AppendLayoutChild(LayoutNode* parent, LayoutNode* child) {
    if (!parent) return child;
    child->parent = parent;
    child->nextSibling = nullptr;
    LayoutNode* last = LastLayoutChild(parent);
    if (last)
        last->nextSibling = child;
    else
        parent->firstChild = child;
    return parent;
}

// Puts `replacement` where `old` is in its parent's list (or takes `old` out when the
// replacement is null); the replacement then continues with `next`.
static void ReplaceInList(LayoutNode* parent, LayoutNode* old, LayoutNode* replacement,
                          LayoutNode* next) {
    LayoutNode** link = &parent->firstChild;
    while (*link && *link != old) link = &(*link)->nextSibling;
    if (!*link) return;
    if (replacement) {
        *link = replacement;
        replacement->nextSibling = next;
    } else {
        *link = next;
    }
}

void WrapLayoutNode(LayoutNode* node, LayoutNode* wrapper) {
    LayoutNode* parent = node->parent;
    wrapper->parent = parent;
    if (parent) ReplaceInList(parent, node, wrapper, node->nextSibling);
    else wrapper->nextSibling = node->nextSibling;
    node->nextSibling = nullptr;
    node->parent = wrapper;
    wrapper->firstChild = node;
    if (parent) MarkLayoutDirty(parent);
    MarkLayoutDirty(wrapper);
    MarkLayoutDirty(node);
}

void UnlinkLayoutChild(LayoutNode* parent, LayoutNode* child, LayoutNode* replacement) {
    if (replacement) replacement->parent = parent;
    ReplaceInList(parent, child, replacement, child->nextSibling);
    child->parent = nullptr;
    child->nextSibling = nullptr;
    MarkNeedsNormalize(parent);
    MarkLayoutDirty(parent);
}

void UnwrapLayoutNode(LayoutNode* node) {
    LayoutNode* parent = node->parent;
    LayoutNode* first = node->firstChild;
    LayoutNode* last = LastLayoutChild(node);
    if (parent) {
        MarkLayoutDirty(parent);
        LayoutNode** link = &parent->firstChild;
        while (*link && *link != node) link = &(*link)->nextSibling;
        if (*link) {
            if (first) {
                *link = first;
                last->nextSibling = node->nextSibling;
            } else {
                *link = node->nextSibling;
            }
        }
    } else if (last) {
        last->nextSibling = nullptr;
    }
    for (LayoutNode* c = first; c; c = c->nextSibling) {
        c->parent = parent;
        MarkLayoutDirty(c);
        if (c == last) break;
    }
    if (!parent) {
        // Without a parent the children become separate roots.
        LayoutNode* c = first;
        while (c) {
            LayoutNode* next = c->nextSibling;
            c->nextSibling = nullptr;
            c = next;
        }
    }
    node->firstChild = nullptr;
    node->parent = nullptr;
    node->nextSibling = nullptr;
    DestroyDetachedNode(node);
}

LayoutNode* UnwrapChildAt(LayoutNode* parent, LayoutNode* previous, LayoutNode* child) {
    MarkLayoutDirty(parent);
    LayoutNode* next = child->nextSibling;
    LayoutNode* first = child->firstChild;
    LayoutNode* last = previous;
    for (LayoutNode* c = first; c; c = c->nextSibling) {
        c->parent = parent;
        MarkLayoutDirty(c);
        last = c;
    }
    LayoutNode* head = first ? first : next;
    if (previous)
        previous->nextSibling = head;
    else
        parent->firstChild = head;
    if (first) last->nextSibling = next;
    child->firstChild = nullptr;
    child->parent = nullptr;
    child->nextSibling = nullptr;
    DestroyDetachedNode(child);
    return last;
}

void FreeChildAt(LayoutNode* parent, LayoutNode* previous, LayoutNode* child) {
    MarkLayoutDirty(child);
    if (previous)
        previous->nextSibling = child->nextSibling;
    else
        parent->firstChild = child->nextSibling;
    child->parent = nullptr;
    child->nextSibling = nullptr;
    MarkNeedsNormalize(parent);
    MarkLayoutDirty(parent);
    FreeLayoutNode(child);
}

void MarkLayoutDirty(LayoutNode* node) {
    if (!node || node->dirty == 1) return;
    node->dirty = 1;
    for (LayoutNode* up = node->parent; up && up->dirty == 0; up = up->parent) up->dirty = 2;
}

void MarkLayoutSubtreeDirty(LayoutNode* node) {
    if (!node) return;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) MarkLayoutSubtreeDirty(c);
    MarkLayoutDirty(node);
}

void MarkNeedsNormalize(LayoutNode* node) {
    for (; node; node = node->parent) node->needsNormalize = 1;
}

int32_t StoreLayoutMetrics(LayoutNode* node, const LayoutNode& measured) {
    LayoutNode m = measured;
    for (int32_t* f : { &m.width, &m.overhang, &m.caretAscent, &m.ascent, &m.descent, &m.caretCount })
        *f = std::clamp(*f, -kMaxLayoutExtent, kMaxLayoutExtent);
    const bool differ = node->width != m.width || node->overhang != m.overhang ||
                        node->ascent != m.ascent || node->descent != m.descent ||
                        node->caretCount != m.caretCount;
    if (!differ) return 0;
    node->width = m.width;
    node->overhang = m.overhang;
    node->caretAscent = m.caretAscent;
    node->ascent = m.ascent;
    node->descent = m.descent;
    node->caretCount = m.caretCount;
    return 1;
}

void MeasureLayout(LayoutNode* root, const LayoutDrawState* state) {
    if (!root) return;
    LayoutDrawState copy = *state;
    PortBeginMeasure(&copy);
    PortApplyTextStyle(&copy);
    MeasureLayoutNode(root, &copy);
    PortEndMeasure(&copy);
}

int32_t MeasureLayoutNode(LayoutNode* node, LayoutDrawState* state) {
    if (auto form = LaterForms().layout.measureNode) return form(node, state);
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    int32_t changed = node->dirty == 1;
    int32_t count = 0;
    const TextStyle remembered = state->style;
    for (LayoutNode* child = node->firstChild; child; child = child->nextSibling) {
        ++count;
        if (row.childStyle) {
            TextStyle increment;
            row.childStyle(node, child, &remembered, &increment);
            MergeTextStyle(&state->style, &increment, &remembered);
            PortApplyTextStyle(state);
        }
        if (child->dirty != 0 && MeasureLayoutNode(child, state)) changed = 1;
        state->style = remembered;
    }
    if (row.childStyle) PortApplyTextStyle(state);
    if (count == node->measuredChildCount && !changed) {
        node->dirty = 0;
        return 0;
    }
    node->measuredChildCount = count;
    const int32_t result = row.measure ? row.measure(node, state) : 0;
    node->dirty = 0;
    return result;
}

void DrawLayout(LayoutNode* root, const LayoutDrawState* state) {
    if (!root) return;
    if (root->dirty != 0) MeasureLayout(root, state);
    LayoutDrawState copy = *state;
    PortBeginDraw(&copy);
    PortApplyTextStyle(&copy);
    const LayoutKindRecord& row = LayoutKindTable[root->kind];
    if (row.draw) row.draw(root, &copy);
    PortEndDraw(&copy);
}

void DrawChildren(LayoutNode* node, LayoutDrawState* state) {
    for (LayoutNode* child = node->firstChild; child; child = child->nextSibling) {
        const int16_t px = state->x, py = state->y;
        state->x = static_cast<int16_t>(px + child->x);
        state->y = static_cast<int16_t>(py + child->y);
        const LayoutKindRecord& row = LayoutKindTable[child->kind];
        if (row.draw) row.draw(child, state);
        state->x = px;
        state->y = py;
    }
}

int32_t MeasureAsFirstChild(LayoutNode* node, LayoutDrawState*) {
    LayoutNode m{};
    if (LayoutNode* child = node->firstChild) {
        child->x = 0;
        child->y = 0;
        m.width = child->width;
        m.overhang = child->overhang;
        m.caretAscent = child->caretAscent;
        m.ascent = child->ascent;
        m.descent = child->descent;
        m.caretCount = child->caretCount;
    }
    return StoreLayoutMetrics(node, m);
}

int32_t EdgeAxisOfEdgeChild(LayoutNode* node, int32_t side, int32_t* shift,
                            int32_t* textAscent) {
    LayoutNode* child = side == 1 ? node->firstChild : LastLayoutChild(node);
    if (!child) {
        *textAscent = node->caretAscent;
        return 0;
    }
    *shift += child->y;
    const LayoutKindRecord& row = LayoutKindTable[child->kind];
    if (!row.edgeAxis) {
        *textAscent = child->caretAscent;
        return 0;
    }
    return row.edgeAxis(child, side, shift, textAscent);
}

int32_t EdgeAxisOfStructure(LayoutNode* node, int32_t, int32_t*, int32_t* textAscent) {
    *textAscent = node->caretAscent;
    return 0;
}

int32_t EdgeAxisOfLeaf(LayoutNode* node, int32_t, int32_t*, int32_t* textAscent) {
    *textAscent = node->caretAscent;
    return 1;
}

int32_t CaretOffsetOfNode(LayoutNode* node) {
    LayoutNode* parent = node->parent;
    if (!parent) return 0;
    const LayoutKindRecord& row = LayoutKindTable[parent->kind];
    return row.childCaretOffset ? row.childCaretOffset(parent, node) : CaretOffsetOfNode(parent);
}

int32_t RowChildCaretOffset(LayoutNode* node, LayoutNode* child) {
    int32_t sum = 0;
    for (LayoutNode* c = node->firstChild; c && c != child; c = c->nextSibling)
        sum += c->caretCount;
    return sum + CaretOffsetOfNode(node);
}

LayoutNode* ChildAtCaretOffset(LayoutNode* node, int32_t caretBase, int32_t caretIndex) {
    int32_t at = caretBase;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) {
        if (caretIndex >= at && caretIndex < at + c->caretCount) return c;
        at += c->caretCount;
    }
    return nullptr;
}

int32_t ChildrenPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    int32_t n = 0;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) {
        const LayoutKindRecord& row = LayoutKindTable[c->kind];
        if (row.writePlainText) n += row.writePlainText(c, cursor, context);
    }
    return n;
}

int32_t ChildrenNeedGrouping(LayoutNode* node) {
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling)
        if (NodeNeedsGrouping(c)) return 1;
    return 0;
}

int32_t NodeNeedsGrouping(LayoutNode* node) {
    if (!node) return 0;
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    return row.needsGrouping ? row.needsGrouping(node) : 0;
}

LayoutNode* HoistCommonStyle(LayoutNode* node, const TextStyle*) {
    const StyleNode* common = nullptr;
    for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) {
        if (c->kind == kLayoutEmptySlot) continue;
        if (c->kind != kLayoutStyle) return node;
        const auto* s = static_cast<const StyleNode*>(c);
        if (common && !TextStylesEqual(&common->style, &s->style)) return node;
        common = s;
    }
    if (!common) return node;
    LayoutNode* hoisted = CreateLayoutNode(kLayoutStyle, nullptr, 0);
    if (!hoisted) return node;
    MergeIntoStyleNode(hoisted, &common->style);
    LayoutNode* previous = nullptr;
    LayoutNode* c = node->firstChild;
    while (c) {
        LayoutNode* next = c->nextSibling;
        previous = c->kind == kLayoutStyle ? UnwrapChildAt(node, previous, c) : c;
        c = next;
    }
    WrapLayoutNode(node, hoisted);
    MarkNeedsNormalize(node);
    return hoisted;
}

LayoutNode* NormalizeLayout(LayoutNode* node, const TextStyle* inherited) {
    if (!node) return nullptr;
    TextStyle inh;
    if (inherited)
        inh = *inherited;
    else
        FillTextStyle(&inh, 0);
    do {
        const LayoutKindRecord& row = LayoutKindTable[node->kind];
        LayoutNode* child = node->firstChild;
        node->firstChild = nullptr;
        LayoutNode* last = nullptr;
        while (child) {
            LayoutNode* next = child->nextSibling;
            child->nextSibling = nullptr;
            child->parent = nullptr;
            if (child->needsNormalize) {
                TextStyle childInh = inh;
                if (row.childStyle) {
                    TextStyle increment;
                    row.childStyle(node, child, &inh, &increment);
                    MergeTextStyle(&childInh, &increment, &inh);
                }
                child = NormalizeLayout(child, &childInh);
            }
            child->parent = node;
            if (last)
                last->nextSibling = child;
            else
                node->firstChild = child;
            last = child;
            if (child->dirty != 0) MarkLayoutDirty(node);
            child = next;
        }
        node->needsNormalize = 0;
        if (row.normalize) node = row.normalize(node, &inh);
    } while (node->needsNormalize);
    return node;
}

LayoutNode* CopyLayoutNode(const LayoutNode* node) {
    LayoutNode* copy = CreateLayoutNode(node->kind, nullptr, node->value);
    if (!copy) return nullptr;
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    if (row.copyData && row.copyData(copy, node) == 0) {
        FreeLayoutNode(copy);
        return nullptr;
    }
    return copy;
}

LayoutNode* CloneLayoutTree(const LayoutNode* node) {
    if (!node) return nullptr;
    LayoutNode* root = CopyLayoutNode(node);
    if (!root) return nullptr;
    // Walked without recursion, each node copied before its children and appended behind
    // the copy's last child, so the copy's children come in order.
    const LayoutNode* from = node;
    LayoutNode* to = root;
    for (;;) {
        if (from->firstChild) {
            LayoutNode* c = CopyLayoutNode(from->firstChild);
            if (!c) break;
            c->parent = to;
            to->firstChild = c;
            from = from->firstChild;
            to = c;
            continue;
        }
        // Up to the first ancestor (within the subtree) with a next sibling.
        while (from != node && !from->nextSibling) {
            from = from->parent;
            to = to->parent;
        }
        if (from == node) return root;
        LayoutNode* c = CopyLayoutNode(from->nextSibling);
        if (!c) break;
        c->parent = to->parent;
        to->nextSibling = c;
        from = from->nextSibling;
        to = c;
    }
    FreeLayoutNode(root);
    return nullptr;
}

ResultCode CloneLayoutTreeCode(const LayoutNode* node, LayoutNode** copy) {
    *copy = CloneLayoutTree(node);
    return node && !*copy ? kLayoutParseNoMemory : kLayoutParseOK;
}

LayoutNode* CreateEmptySlotRow(LayoutNode* parent) {
    LayoutNode* row = CreateLayoutNode(kLayoutRow, parent, 0);
    if (!row) return nullptr;
    if (!CreateLayoutNode(kLayoutEmptySlot, row, 0)) {
        FreeLayoutNode(row);
        return nullptr;
    }
    return row;
}

int32_t GroupWithNode(LayoutNode* added, LayoutNode* leaf, int32_t before) {
    MarkLayoutDirty(leaf);
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return 0;
    WrapLayoutNode(leaf, row);
    added->parent = row;
    if (before) {
        added->nextSibling = leaf;
        row->firstChild = added;
    } else {
        added->nextSibling = nullptr;
        leaf->nextSibling = added;
    }
    MarkNeedsNormalize(leaf);
    MarkNeedsNormalize(added);
    MarkLayoutDirty(added);
    return 1;
}

ScreenPoint ClampPointToNode(const LayoutNode* node, ScreenPoint p) {
    const int32_t x = std::clamp<int32_t>(p.x, 0, std::max(0, node->width));
    const int32_t y = std::clamp<int32_t>(p.y, -node->caretAscent,
                                          std::max(-node->caretAscent, node->descent));
    return ScreenPoint{ static_cast<int16_t>(x), static_cast<int16_t>(y) };
}

LayoutNode* LayoutCaretFromPoint(LayoutNode* root, const LayoutDrawState* stateIn,
                                 ScreenPoint point, int32_t* caretIndex, int32_t* side) {
    *caretIndex = 0;
    *side = 0;
    if (!root) return nullptr;
    if (root->dirty != 0) MeasureLayout(root, stateIn);
    LayoutDrawState state = *stateIn;
    int32_t px = std::clamp<int32_t>(point.x, state.x, std::max<int32_t>(state.x, state.x + root->width - 1));
    int32_t py = std::clamp<int32_t>(point.y, state.y - root->ascent,
                                     std::max<int32_t>(state.y - root->ascent, state.y + root->descent - 1));
    LayoutNode* node = root;
    int32_t penX = state.x, penY = state.y;
    for (;;) {
        LayoutNode* hit = nullptr;
        for (LayoutNode* c = node->firstChild; c; c = c->nextSibling) {
            const int32_t cx = penX + c->x, cy = penY + c->y;
            if (px >= cx && px <= cx + c->width - 1 && py >= cy - c->ascent &&
                py <= cy + c->descent - 1) {
                hit = c;
                break;
            }
        }
        if (!hit) break;
        const LayoutKindRecord& row = LayoutKindTable[node->kind];
        if (row.childStyle) {
            TextStyle increment;
            const TextStyle outer = state.style;
            row.childStyle(node, hit, &outer, &increment);
            MergeTextStyle(&state.style, &increment, &outer);
        }
        penX += hit->x;
        penY += hit->y;
        node = hit;
    }
    state.x = static_cast<int16_t>(penX);
    state.y = static_cast<int16_t>(penY);
    const ScreenPoint rel{ static_cast<int16_t>(px - penX), static_cast<int16_t>(py - penY) };
    LayoutNode* holder = node;
    const LayoutKindRecord& row = LayoutKindTable[node->kind];
    int32_t stop = 0;
    if (row.caretFromPoint) {
        PortBeginMeasure(&state);
        PortApplyTextStyle(&state);
        stop = row.caretFromPoint(&holder, &state, rel, side);
        PortEndMeasure(&state);
    }
    *caretIndex = stop + CaretOffsetOfNode(holder);
    return holder;
}

int32_t AnswerTrue(LayoutNode*) { return 1; }
int32_t AnswerFalse(LayoutNode*) { return 0; }
int32_t AllowStackedChild(LayoutNode*, LayoutNode*) { return 1; }
