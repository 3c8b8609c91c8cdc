// Style nodes: change some style fields for their content.
#include <algorithm>

#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"

int32_t InitStyleNode(LayoutNode* node) {
    FillTextStyle(&static_cast<StyleNode*>(node)->style, 0);
    return 1;
}

void MergeIntoStyleNode(LayoutNode* node, const TextStyle* style) {
    auto* s = static_cast<StyleNode*>(node);
    MergeTextStyle(&s->style, &s->style, style);
}

void DrawStyleNode(LayoutNode* node, LayoutDrawState* state) {
    const TextStyle remembered = state->style;
    MergeTextStyle(&state->style, &static_cast<StyleNode*>(node)->style, &remembered);
    PortApplyTextStyle(state);
    DrawChildren(node, state);
    state->style = remembered;
    PortApplyTextStyle(state);
}

int32_t StyleCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                            int32_t* side) {
    auto* node = static_cast<StyleNode*>(*holder);
    LayoutNode* child = node->firstChild;
    if (!child) return 0;
    ScreenPoint rel{ static_cast<int16_t>(point.x - child->x),
                     static_cast<int16_t>(point.y - child->y) };
    rel = ClampPointToNode(child, rel);
    const TextStyle remembered = state->style;
    MergeTextStyle(&state->style, &node->style, &remembered);
    *holder = child;
    const LayoutKindRecord& row = LayoutKindTable[child->kind];
    const int32_t stop = row.caretFromPoint ? row.caretFromPoint(holder, state, rel, side) : 0;
    state->style = remembered;
    return stop;
}

void StyleChildStyle(LayoutNode* node, LayoutNode*, const TextStyle*, TextStyle* out) {
    *out = static_cast<StyleNode*>(node)->style;
}

LayoutNode* NormalizeStyleNode(LayoutNode* node, const TextStyle* inherited) {
    auto* s = static_cast<StyleNode*>(node);
    LayoutNode* first = node->firstChild;
    // A node is only taken away when its content is one node: the parser accepts more,
    // and unwrapping a detached node with several children would lose all but the first.
    const bool single = first && !first->nextSibling;
    if (single && first->kind == kLayoutStyle) {
        auto* inner = static_cast<StyleNode*>(first);
        MergeTextStyle(&inner->style, &inner->style, &s->style);
        UnwrapLayoutNode(node);
        MarkNeedsNormalize(first);
        return first;
    }
    const bool nothingLeft = ClearMatchingStyleFields(&s->style, inherited) != 0;
    if (single && (first->kind == kLayoutEmptySlot || nothingLeft)) {
        UnwrapLayoutNode(node);
        MarkNeedsNormalize(first);
        return first;
    }
    return node;
}

ResultCode ParseStyleNode(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                          LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    TextStyle collected;
    FillTextStyle(&collected, 0);
    for (;;) {
        const int32_t c = PeekLayoutChar(cursor);
        if (c < 0) return kLayoutParseSyntax;
        if (c == '<' || c == '>') {
            const ResultCode result = ParseLayoutChildren(kind, out, cursor, parent, context);
            if (result < kLayoutParseNoMemory) MergeIntoStyleNode(*out, &collected);
            return result;
        }
        ++cursor->next;
        const int32_t index = StyleLetterIndex(static_cast<char>(c));
        int32_t value = 0;
        // Fields are signed 16-bit and the writer writes only non-negative ones; a value
        // that would come out negative could not be written back.
        if (!ReadHexNumber(cursor, &value) || value > 0x7FFF) return kLayoutParseSyntax;
        if (index == kStyleFont && context && context->fontNumber)
            value = context->fontNumber(value, context);
        if (index < kStyleFieldCount) collected.field[index] = static_cast<int16_t>(value);
    }
}

int32_t WriteStyleArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    const auto* s = static_cast<const StyleNode*>(node);
    int32_t n = 0;
    for (int32_t i = 0; i < kStyleFieldCount; ++i) {
        int32_t value = s->style.field[i];
        if (value == 0) continue;
        if (i == kStyleFont && context && context->fontNumber)
            value = context->fontNumber(value, context);
        if (value <= 0) continue;  // inherit is all a negative value can be read back as
        n += PutLayoutChar(cursor, kStyleLetters[i]);
        n += WriteHexNumber(cursor, value);
    }
    return n;
}

int32_t CopyStyleNode(LayoutNode* copy, const LayoutNode* source) {
    static_cast<StyleNode*>(copy)->style = static_cast<const StyleNode*>(source)->style;
    return 1;
}
