// The leaves of layout trees (text runs, glyphs, empty slots), the placeholders of
// template text, the alternatives node and the overmarks drawn over text.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"
#include "engine/text/string_groups.h"

// ---- Text runs ----

int32_t InitTextRun(LayoutNode* node) {
    auto* run = static_cast<TextRunNode*>(node);
    run->text = nullptr;
    run->length = 0;
    run->capacity = 0;
    return 1;
}

void DestroyTextRun(LayoutNode* node) {
    auto* run = static_cast<TextRunNode*>(node);
    FreeMemory(run->text);
    run->text = nullptr;
}

int32_t SetTextRunBytes(LayoutNode* node, const char* bytes, int32_t n) {
    auto* run = static_cast<TextRunNode*>(node);
    if (n < 0 || !bytes) n = 0;
    // A new text gets 17 spare bytes so that typing appends without reallocating.
    auto* block = static_cast<char*>(AllocMemory(static_cast<size_t>(n) + 17, 0));
    if (!block) return 0;
    if (n > 0) std::memcpy(block, bytes, static_cast<size_t>(n));
    block[n] = 0;
    FreeMemory(run->text);
    run->text = block;
    run->length = n;
    run->capacity = n + 17;
    MarkLayoutDirty(node);
    return 1;
}

int32_t SetTextRunString(LayoutNode* node, const char* string) {
    return SetTextRunBytes(node, string, string ? static_cast<int32_t>(std::strlen(string)) : 0);
}

int32_t AppendTextRunBytes(LayoutNode* node, const char* bytes, int32_t n) {
    auto* run = static_cast<TextRunNode*>(node);
    if (n < 0 || !bytes) n = 0;
    if (run->capacity < run->length + 1 + n) {
        const int32_t capacity = run->length + 1 + n + 16;
        if (!run->text) {
            auto* block = static_cast<char*>(AllocMemory(static_cast<size_t>(capacity), 0));
            if (!block) return 0;
            run->text = block;
        } else if (!ReallocMemoryOf(&run->text, static_cast<size_t>(capacity), true)) {
            return 0;
        }
        run->capacity = capacity;
    }
    if (n > 0) std::memcpy(run->text + run->length, bytes, static_cast<size_t>(n));
    run->length += n;
    run->text[run->length] = 0;
    MarkLayoutDirty(node);
    return 1;
}

const char* GetTextRun(const LayoutNode* node, int32_t* length) {
    const auto* run = static_cast<const TextRunNode*>(node);
    *length = run->length;
    return run->length ? run->text : nullptr;
}

int32_t MeasureTextSpan(LayoutDrawState* state, const char* text, int32_t first, int32_t n) {
    if (n <= 0) return 0;
    int32_t width = 0, height = 0;
    PortTextWidth(state, text + first, n, &width, &height);
    return width;
}

int32_t MeasureTextRun(LayoutNode* node, LayoutDrawState* state) {
    const auto* run = static_cast<const TextRunNode*>(node);
    int32_t a = 0, d = 0, leading = 0;
    PortFontMetrics(state, &a, &d, &leading);
    LayoutNode m{};
    if (run->text) {
        m.width = MeasureTextSpan(state, run->text, 0, run->length);
        m.caretCount = run->length;
        m.overhang = state->style.field[kStyleSlant] >= 2 ? a / 8 + 1 : 0;
    }
    m.caretAscent = a;
    m.ascent = a;
    m.descent = d;
    if (state->style.field[kStyleOvermark] >= 2 && run->text && run->length > 0)
        m.ascent += OverMarkHeight(m.width, &state->style);
    return StoreLayoutMetrics(node, m);
}

void DrawTextRun(LayoutNode* node, LayoutDrawState* state) {
    const auto* run = static_cast<const TextRunNode*>(node);
    if (!run->text || run->length == 0) return;
    PortDrawTextRun(state, run->text, run->length, node->caretAscent, node->descent);
    if (state->style.field[kStyleOvermark] >= 2) DrawOverMark(node, state);
}

int32_t TextRunCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                              int32_t* side) {
    const auto* run = static_cast<const TextRunNode*>(*holder);
    *side = 0;
    if (!run->text || run->length == 0) return 0;
    PortApplyTextStyle(state);
    int32_t count = 0;
    PortFitTextToWidth(run->text, run->length, state, point.x, &count, side);
    return std::clamp(count, 0, run->length);
}

ResultCode ParseTextRun(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                        LayoutNode* parent, LayoutParseContext*) {
    *out = nullptr;
    const char* text;
    int32_t n;
    const int32_t quote = PeekLayoutChar(cursor);
    if (quote == '\'' || quote == '"') {
        text = cursor->next + 1;
        const void* close = std::memchr(text, quote, static_cast<size_t>(cursor->end - text));
        if (!close) return kLayoutParseSyntax;
        n = static_cast<int32_t>(static_cast<const char*>(close) - text);
        cursor->next = text + n + 1;
    } else {
        if (!ReadHexNumber(cursor, &n) || TakeLayoutChar(cursor) != 'x') return kLayoutParseSyntax;
        if (n > cursor->end - cursor->next) return kLayoutParseSyntax;
        text = cursor->next;
        cursor->next += n;
    }
    LayoutNode* node = CreateLayoutNode(kind, parent, 0);
    if (!node) return kLayoutParseNoMemory;
    if (!SetTextRunBytes(node, text, n)) {
        FreeLayoutNode(node);
        return kLayoutParseNoMemory;
    }
    *out = node;
    return kLayoutParseOK;
}

int32_t WriteTextRunArgs(LayoutNode* node, char** cursor, LayoutWriteContext*) {
    // Always the counted form, so quotes and angle brackets in the text survive.
    const auto* run = static_cast<const TextRunNode*>(node);
    int32_t n = WriteHexNumber(cursor, run->length);
    n += PutLayoutChar(cursor, 'x');
    if (run->text) n += PutLayoutText(cursor, run->text, run->length);
    return n;
}

int32_t TextRunPlainText(LayoutNode* node, char** cursor, LayoutWriteContext*) {
    const auto* run = static_cast<const TextRunNode*>(node);
    return run->text ? PutLayoutText(cursor, run->text, run->length) : 0;
}

int32_t CopyTextRun(LayoutNode* copy, const LayoutNode* source) {
    const auto* from = static_cast<const TextRunNode*>(source);
    if (from->text && from->length) return SetTextRunBytes(copy, from->text, from->length);
    return 1;
}

int32_t TextRunNeedsGrouping(LayoutNode* node) {
    static const char kOperatorChars[] = " +-/*<>!";
    const auto* run = static_cast<const TextRunNode*>(node);
    for (int32_t i = 0; run->text && i < run->length; ++i)
        if (run->text[i] != 0 && std::strchr(kOperatorChars, run->text[i])) return 1;
    return 0;
}

LayoutNode* CreateTextRunWith(const char* text, LayoutNode* parent) {
    LayoutNode* run = CreateLayoutNode(kLayoutTextRun, parent, 0);
    if (!run) return nullptr;
    if (!SetTextRunString(run, text)) {
        FreeLayoutNode(run);
        return nullptr;
    }
    return run;
}

LayoutNode* CreateQuestionMarkRun(LayoutNode* parent) { return CreateTextRunWith("?", parent); }

int32_t WriteRunReplacing(LayoutNode* node, const char* search, LayoutNode* replacement,
                          char** cursor, LayoutWriteContext* context) {
    const auto* run = static_cast<const TextRunNode*>(node);
    const int32_t searchLength = search ? static_cast<int32_t>(std::strlen(search)) : 0;
    int32_t at = -1;
    if (run->text && searchLength > 0) {
        for (int32_t i = 0; i + searchLength <= run->length; ++i) {
            if (std::memcmp(run->text + i, search, static_cast<size_t>(searchLength)) == 0) {
                at = i;
                break;
            }
        }
    }
    auto emit = [&](LayoutNode* tree, LayoutWriteContext* ctx) {
        const int32_t k = SerializeLayout(tree, cursor ? *cursor : nullptr, ctx);
        if (cursor) *cursor += k;
        return k;
    };
    if (at >= 0 && replacement) {
        if (at == 0 && searchLength == run->length) return emit(replacement, context);
        LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
        bool ok = row != nullptr;
        if (ok && at > 0) {
            LayoutNode* before = CreateLayoutNode(kLayoutTextRun, row, 0);
            ok = before && SetTextRunBytes(before, run->text, at);
        }
        LayoutNode* savedParent = replacement->parent;
        LayoutNode* savedNext = replacement->nextSibling;
        if (ok) AppendLayoutChild(row, replacement);
        const int32_t afterStart = at + searchLength;
        if (ok && afterStart < run->length) {
            LayoutNode* after = CreateLayoutNode(kLayoutTextRun, row, 0);
            ok = after && SetTextRunBytes(after, run->text + afterStart, run->length - afterStart);
        }
        int32_t n = 0;
        if (ok) n = emit(row, context);
        if (row) {
            // Take the replacement out again before the temporary row goes.
            LayoutNode** link = &row->firstChild;
            while (*link && *link != replacement) link = &(*link)->nextSibling;
            if (*link) *link = replacement->nextSibling;
            replacement->parent = savedParent;
            replacement->nextSibling = savedNext;
            FreeLayoutNode(row);
        }
        if (ok) return n;
    }
    LayoutWriteContext plain = context ? *context : LayoutWriteContext{};
    plain.writeNode = nullptr;
    return emit(node, &plain);
}

// ---- Glyphs ----

void SetGlyphCode(LayoutNode* node, int32_t code) {
    static_cast<GlyphNode*>(node)->code = code;
    MarkLayoutDirty(node);
}

int32_t MeasureGlyph(LayoutNode* node, LayoutDrawState* state) {
    const auto* g = static_cast<const GlyphNode*>(node);
    int32_t a = 0, d = 0, leading = 0;
    PortFontMetrics(state, &a, &d, &leading);
    LayoutNode m{};
    m.width = PortGlyphWidth(state, g->code, a);
    m.overhang = state->style.field[kStyleSlant] >= 2 ? a / 8 + 1 : 0;
    m.caretAscent = m.ascent = a;
    if (state->style.field[kStyleOvermark] >= 2) m.ascent += OverMarkHeight(m.width, &state->style);
    m.descent = d;
    m.caretCount = 1;
    return StoreLayoutMetrics(node, m);
}

void DrawGlyph(LayoutNode* node, LayoutDrawState* state) {
    PortDrawGlyph(state, static_cast<const GlyphNode*>(node)->code, node->caretAscent);
    if (state->style.field[kStyleOvermark] >= 2) DrawOverMark(node, state);
}

ResultCode ParseGlyph(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                      LayoutNode* parent, LayoutParseContext*) {
    *out = nullptr;
    int32_t code = 0;
    if (!ReadHexNumber(cursor, &code)) return kLayoutParseSyntax;
    LayoutNode* node = CreateLayoutNode(kind, parent, 0);
    if (!node) return kLayoutParseNoMemory;
    SetGlyphCode(node, code);
    *out = node;
    return kLayoutParseOK;
}

int32_t WriteGlyphArgs(LayoutNode* node, char** cursor, LayoutWriteContext*) {
    return WriteHexNumber(cursor, static_cast<const GlyphNode*>(node)->code);
}

int32_t GlyphPlainText(LayoutNode* node, char** cursor, LayoutWriteContext*) {
    return SymbolGlyphName(static_cast<const GlyphNode*>(node)->code, cursor);
}

int32_t CopyGlyph(LayoutNode* copy, const LayoutNode* source) {
    static_cast<GlyphNode*>(copy)->code = static_cast<const GlyphNode*>(source)->code;
    return 1;
}

int32_t GlyphNeedsGrouping(LayoutNode* node) {
    const int32_t code = static_cast<const GlyphNode*>(node)->code;
    return code == 0x3F || code == 0xB0 || code == 0xD0 ? 0 : 1;
}

// The group holds pairs of a decimal code and its name up to an empty item; the item
// after that is the name of every other code. The code must equal the pair's whole code
// text: matching only its first characters would name 1120 "pi".
int32_t SymbolGlyphName(int32_t code, char** cursor) {
    char decimal[16];
    std::snprintf(decimal, sizeof decimal, "%i", static_cast<int>(code));
    const int32_t count = StringGroupItemCount(kGroupSymbolNames);
    int32_t i = 0;
    while (i < count && GroupText(kGroupSymbolNames, i)[0] != 0 &&
           std::strcmp(GroupText(kGroupSymbolNames, i), decimal) != 0)
        i += 2;
    const char* name = GroupText(kGroupSymbolNames, i + 1);
    return PutLayoutText(cursor, name, static_cast<int32_t>(std::strlen(name)));
}

int32_t AtomCaretFromPoint(LayoutNode** holder, LayoutDrawState*, ScreenPoint point,
                           int32_t* side) {
    *side = point.x > (*holder)->width / 2 ? 1 : 0;
    return *side;
}

// ---- Empty slots, placeholders and obsolete text ----

ResultCode ParseEmptySlot(int32_t, LayoutNode** out, LayoutTextCursor*, LayoutNode* parent,
                          LayoutParseContext*) {
    *out = CreateLayoutNode(kLayoutEmptySlot, parent, 0);
    return *out ? kLayoutParseOK : kLayoutParseNoMemory;
}

ResultCode ParsePlaceholder(int32_t, LayoutNode** out, LayoutTextCursor* cursor,
                            LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    const char* content = cursor->next;
    int32_t length = 0;
    const int32_t c = PeekLayoutChar(cursor);
    if (c == '\'' || c == '"' || c == '[') {
        const char close = c == '[' ? ']' : static_cast<char>(c);
        content = cursor->next + 1;
        const void* end = std::memchr(content, close, static_cast<size_t>(cursor->end - content));
        if (!end) return kLayoutParseSyntax;
        length = static_cast<int32_t>(static_cast<const char*>(end) - content);
        cursor->next = content + length + 1;
    } else if (c == '>') {
        length = 0;
    } else if (c >= 0 && cursor->next + 1 < cursor->end && cursor->next[1] == '>') {
        length = 1;
        ++cursor->next;
    } else {
        if (!ReadHexNumber(cursor, &length) || TakeLayoutChar(cursor) != 'x')
            return kLayoutParseSyntax;
        if (length > cursor->end - cursor->next) return kLayoutParseSyntax;
        content = cursor->next;
        cursor->next += length;
    }
    if (context && context->placeholder) {
        const ResultCode r = context->placeholder(out, content, length, parent, context);
        if (r >= kLayoutParseNoMemory) *out = nullptr;
        return r;
    }
    *out = CreateLayoutNode(kLayoutEmptySlot, parent, 0);
    return *out ? kLayoutParseWarning : kLayoutParseNoMemory;
}

ResultCode ParseObsolete(int32_t, LayoutNode** out, LayoutTextCursor* cursor,
                         LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    if (TakeLayoutChar(cursor) < 0) return kLayoutParseSyntax;
    int32_t n = 0;
    if (!ReadHexNumber(cursor, &n)) return kLayoutParseSyntax;
    if (n != 0 && TakeLayoutChar(cursor) < 0) return kLayoutParseSyntax;
    if (n > cursor->end - cursor->next) return kLayoutParseSyntax;
    cursor->next += n;
    ResultCode worst = kLayoutParseOK;
    while (PeekLayoutChar(cursor) == '<') {
        LayoutNode* thrownAway = nullptr;
        const ResultCode r = ParseLayoutElement(&thrownAway, cursor, nullptr, context);
        if (r >= kLayoutParseNoMemory) return r;
        FreeLayoutNode(thrownAway);
        worst = KeepWorstError(worst, r);
    }
    *out = CreateLayoutNode(kLayoutEmptySlot, parent, 0);
    return *out ? worst : kLayoutParseNoMemory;
}

// ---- Alternatives ----

int32_t InitAlternatives(LayoutNode* node) {
    auto* alt = static_cast<AlternativesNode*>(node);
    alt->entries = static_cast<AlternativeEntry*>(AllocMemory(5 * sizeof(AlternativeEntry), kAllocZero));
    if (!alt->entries) return 0;
    alt->capacity = 5;
    alt->count = 0;
    alt->shown = 0;
    return 1;
}

void DestroyAlternatives(LayoutNode* node) {
    auto* alt = static_cast<AlternativesNode*>(node);
    for (int32_t i = alt->count - 1; i >= 0; --i) FreeLayoutNode(alt->entries[i].tree);
    FreeMemory(alt->entries);
    alt->entries = nullptr;
    alt->count = 0;
}

int32_t AddAlternative(LayoutNode* node, LayoutNode* tree) {
    auto* alt = static_cast<AlternativesNode*>(node);
    if (alt->count >= alt->capacity) {
        // At least 5 more, and half as many again for long lists, so that a text with
        // very many alternatives is not read in quadratic time.
        const int32_t capacity = alt->capacity + std::max(5, alt->capacity / 2);
        if (!ReallocMemoryOf(&alt->entries, static_cast<size_t>(capacity) * sizeof(AlternativeEntry),
                             true))
            return 0;
        alt->capacity = capacity;
    }
    alt->entries[alt->count].tree = tree;
    alt->entries[alt->count].stale = 1;
    return ++alt->count;
}

int32_t AlternativeCount(const LayoutNode* node) {
    return static_cast<const AlternativesNode*>(node)->count;
}

LayoutNode* ShownAlternative(const LayoutNode* node, int32_t* index) {
    const auto* alt = static_cast<const AlternativesNode*>(node);
    if (index) *index = alt->shown;
    if (alt->shown < 1 || alt->shown > alt->count) return nullptr;
    return alt->entries[alt->shown - 1].tree;
}

void SelectAlternative(LayoutNode* node, int32_t index) {
    auto* alt = static_cast<AlternativesNode*>(node);
    if (index < 0 || index > alt->count || index == alt->shown) return;
    alt->shown = index;
    MarkLayoutDirty(node);
}

void RemoveAlternative(LayoutNode* node, int32_t index) {
    auto* alt = static_cast<AlternativesNode*>(node);
    if (index < 1 || index > alt->count) return;
    FreeLayoutNode(alt->entries[index - 1].tree);
    for (int32_t i = index; i < alt->count; ++i) alt->entries[i - 1] = alt->entries[i];
    --alt->count;
    alt->shown = 0;
    MarkLayoutDirty(node);
}

void RefreshAlternative(LayoutNode* node, int32_t index) {
    auto* alt = static_cast<AlternativesNode*>(node);
    if (index < 1 || index > alt->count || index != alt->shown) return;
    if (alt->entries[index - 1].tree && alt->entries[index - 1].tree->dirty != 0)
        MarkLayoutDirty(node);
}

int32_t MeasureAlternatives(LayoutNode* node, LayoutDrawState* state) {
    auto* alt = static_cast<AlternativesNode*>(node);
    for (int32_t i = 0; i < alt->count; ++i) alt->entries[i].stale = 1;
    LayoutNode m{};
    if (LayoutNode* tree = ShownAlternative(node, nullptr)) {
        MarkLayoutSubtreeDirty(tree);
        MeasureLayout(tree, state);
        alt->entries[alt->shown - 1].stale = 0;
        tree->x = 0;
        tree->y = 0;
        m.width = tree->width;
        m.overhang = tree->overhang;
        m.caretAscent = tree->caretAscent;
        m.ascent = tree->ascent;
        m.descent = tree->descent;
        m.caretCount = 1;
    }
    return StoreLayoutMetrics(node, m);
}

void DrawAlternatives(LayoutNode* node, LayoutDrawState* state) {
    auto* alt = static_cast<AlternativesNode*>(node);
    LayoutNode* tree = ShownAlternative(node, nullptr);
    if (!tree) return;
    if (alt->entries[alt->shown - 1].stale || tree->dirty != 0) {
        MeasureLayout(tree, state);
        alt->entries[alt->shown - 1].stale = 0;
    }
    DrawLayout(tree, state);
}

int32_t AlternativesEdgeAxis(LayoutNode* node, int32_t side, int32_t* shift,
                             int32_t* textAscent) {
    LayoutNode* tree = ShownAlternative(node, nullptr);
    const EdgeAxisFn edge = tree ? LayoutKindTable[tree->kind].edgeAxis : nullptr;
    if (!edge) {
        *textAscent = 0;
        return 1;
    }
    return edge(tree, side, shift, textAscent);
}

ResultCode ParseAlternatives(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                             LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    LayoutNode* node = CreateLayoutNode(kind, parent, 0);
    if (!node) return kLayoutParseNoMemory;
    int32_t shown = 0, value = 0;
    ResultCode result = kLayoutParseOK;
    if (!ReadHexNumber(cursor, &shown)) result = kLayoutParseSyntax;
    if (result == kLayoutParseOK && PeekLayoutChar(cursor) == 'x') {
        ++cursor->next;
        if (!ReadHexNumber(cursor, &value)) result = kLayoutParseSyntax;
    }
    node->value = value;
    while (result < kLayoutParseNoMemory && PeekLayoutChar(cursor) != '>') {
        LayoutNode* tree = nullptr;
        const ResultCode r = ParseLayoutElement(&tree, cursor, nullptr, context);
        if (r >= kLayoutParseNoMemory) {
            result = r;
        } else if (!tree) {
            result = kLayoutParseSyntax;  // a placeholder callback that built nothing
        } else if (!AddAlternative(node, tree)) {
            FreeLayoutNode(tree);
            result = kLayoutParseNoMemory;
        } else {
            result = KeepWorstError(result, r);
        }
    }
    if (result < kLayoutParseNoMemory && shown > AlternativeCount(node)) result = kLayoutParseSyntax;
    if (result >= kLayoutParseNoMemory) {
        FreeLayoutNode(node);
        return result;
    }
    SelectAlternative(node, shown);
    *out = node;
    return result;
}

int32_t WriteAlternativesArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    const auto* alt = static_cast<const AlternativesNode*>(node);
    int32_t n = WriteHexNumber(cursor, alt->shown);
    if (node->value > 0) {
        n += PutLayoutChar(cursor, 'x');
        n += WriteHexNumber(cursor, node->value);
    }
    for (int32_t i = 0; i < alt->count; ++i) {
        const int32_t k = SerializeLayout(alt->entries[i].tree, cursor ? *cursor : nullptr, context);
        if (cursor) *cursor += k;
        n += k;
    }
    return n;
}

int32_t AlternativesPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    LayoutNode* tree = ShownAlternative(node, nullptr);
    if (!tree) return 0;
    const WriteFn write = LayoutKindTable[tree->kind].writePlainText;
    return write ? write(tree, cursor, context) : 0;
}

int32_t CopyAlternatives(LayoutNode* copy, const LayoutNode* source) {
    // Each alternative is a tree of its own: copied whole, in order, with the one shown.
    const auto* from = static_cast<const AlternativesNode*>(source);
    for (int32_t i = 0; i < from->count; ++i) {
        LayoutNode* tree = CloneLayoutTree(from->entries[i].tree);
        if (from->entries[i].tree && !tree) return 0;
        if (!AddAlternative(copy, tree)) {
            FreeLayoutNode(tree);
            return 0;
        }
    }
    static_cast<AlternativesNode*>(copy)->shown = from->shown;
    return 1;
}

int32_t AlternativesNeedsGrouping(LayoutNode* node) {
    return NodeNeedsGrouping(ShownAlternative(node, nullptr));
}

// ---- Overmarks ----

int32_t OverMarkHeight(int32_t baseWidth, const TextStyle* style) {
    const int32_t mark = style->field[kStyleOvermark];
    if (mark < 2) return 0;
    const int32_t size = ScriptLevelFontSize(style);
    if (mark == 2) return size / 13 + 2;
    if (mark == 5) return size / 13 + 1 + static_cast<int32_t>(baseWidth * 0.20710678118655);
    return 5 * (size / 13) + 7;  // arrows, and any value above 5
}

void DrawOverMark(LayoutNode* node, LayoutDrawState* state) {
    const int32_t mark = state->style.field[kStyleOvermark];
    if (mark < 2) return;
    const int32_t size = ScriptLevelFontSize(&state->style);
    const int32_t w = std::max(1, size / 13 + 1);
    PortSelectStylePen(state, 1, size / 13 + 1);
    int32_t x0 = state->x;
    if (state->style.field[kStyleSlant] == 2) x0 += node->ascent / 9;
    const int32_t width = node->width;
    if (mark == 5) {
        const int32_t e = static_cast<int32_t>(width * 1.414213562731);
        const int32_t left = x0 + width / 2 - e / 2;
        const int32_t top = state->y - node->ascent;
        const int16_t square[4] = { static_cast<int16_t>(left), static_cast<int16_t>(top),
                                    static_cast<int16_t>(left + e), static_cast<int16_t>(top + e) };
        PortDrawTopArc(state, square);
    } else {
        const bool arrow = mark != 2;
        const int32_t y = state->y - node->ascent + 1 + (arrow ? 3 * w - w / 2 : 0);
        const int32_t x1 = x0 + width - 1;
        auto line = [&](int32_t ax, int32_t ay, int32_t bx, int32_t by) {
            const ScreenPoint pts[2] = { { static_cast<int16_t>(ax), static_cast<int16_t>(ay) },
                                         { static_cast<int16_t>(bx), static_cast<int16_t>(by) } };
            PortDrawPolyline(state, pts, 2);
        };
        line(x0, y, x1, y);
        if (arrow) {
            line(x1 - 2 * w, y - 2 * w, x1, y);
            line(x1 - 2 * w, y + 2 * w, x1, y);
            if (mark == 4) {
                line(x0 + 2 * w, y - 2 * w, x0, y);
                line(x0 + 2 * w, y + 2 * w, x0, y);
            }
        }
    }
    PortSelectStylePen(state, 1, 1);
}
