// The layout language: the text form of layout trees (templates, stored captions, the
// private clipboard format). Text arrives from documents and the clipboard, so the reader
// is bounded by the text's end and by a nesting limit, and accepts only values that the
// writer can write back.
#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"

int32_t PutLayoutText(char** cursor, const char* text, int32_t n) {
    if (n <= 0) return 0;
    if (cursor) {
        std::memcpy(*cursor, text, static_cast<size_t>(n));
        *cursor += n;
    }
    return n;
}

int32_t PutLayoutChar(char** cursor, char c) {
    if (cursor) *(*cursor)++ = c;
    return 1;
}

int32_t PeekLayoutChar(const LayoutTextCursor* cursor) {
    return cursor->next < cursor->end ? static_cast<unsigned char>(*cursor->next) : -1;
}

int32_t TakeLayoutChar(LayoutTextCursor* cursor) {
    if (cursor->next >= cursor->end) return -1;
    return static_cast<unsigned char>(*cursor->next++);
}

int32_t WriteHexNumber(char** cursor, int32_t value) {
    // Only 0..0x0FFFFFFF can be written; the reader refuses anything else, so what is
    // outside is written as the nearest value that reads back.
    if (value <= 0) return 0;
    if (value > kMaxLayoutHex) value = kMaxLayoutHex;
    int32_t digits = 1;
    for (int32_t v = value; v >= 16; v >>= 4) ++digits;
    if (cursor) {
        static const char kDigits[] = "0123456789ABCDEF";
        for (int32_t i = digits - 1; i >= 0; --i) *(*cursor)++ = kDigits[(value >> (4 * i)) & 15];
    }
    return digits;
}

static int32_t HexDigitValue(int32_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadHexNumber(LayoutTextCursor* cursor, int32_t* value) {
    int64_t v = 0;
    bool overflow = false;
    for (;;) {
        const int32_t d = HexDigitValue(PeekLayoutChar(cursor));
        if (d < 0) break;
        ++cursor->next;
        v = v * 16 + d;
        if (v > kMaxLayoutHex) {
            overflow = true;
            v = kMaxLayoutHex;  // keep reading the digits, but never wrap
        }
    }
    *value = static_cast<int32_t>(v);
    return !overflow;
}

ResultCode ParseLayoutElement(LayoutNode** out, LayoutTextCursor* cursor, LayoutNode* parent,
                              LayoutParseContext* context) {
    *out = nullptr;
    if (cursor->depth >= kMaxLayoutDepth) return kLayoutParseSyntax;
    if (TakeLayoutChar(cursor) != '<') return kLayoutParseSyntax;
    const int32_t letter = TakeLayoutChar(cursor);
    int32_t kind = 0;
    while (kind < kLayoutKindCount && static_cast<int32_t>(LayoutKindTable[kind].letter) != letter)
        ++kind;
    if (kind == kLayoutKindCount || !LayoutKindTable[kind].parse) return kLayoutParseSyntax;
    ++cursor->depth;
    LayoutNode* node = nullptr;
    const ResultCode result = LayoutKindTable[kind].parse(kind, &node, cursor, parent, context);
    --cursor->depth;
    if (result >= kLayoutParseNoMemory) return result;
    if (TakeLayoutChar(cursor) != '>') {
        // Read completely but not closed: nobody can use it, so it goes now.
        FreeLayoutNode(node);
        return kLayoutParseSyntax;
    }
    *out = node;
    return result;
}

ResultCode ParseLayoutChildren(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                               LayoutNode* parent, LayoutParseContext* context) {
    *out = nullptr;
    LayoutNode* node = CreateLayoutNode(kind, parent, 0);
    if (!node) return kLayoutParseNoMemory;
    // Children are read unattached and linked here behind the last one: appending through
    // the parent would walk its list for every child, quadratic in a long hostile row.
    ResultCode worst = kLayoutParseOK;
    LayoutNode* last = nullptr;
    while (PeekLayoutChar(cursor) == '<') {
        LayoutNode* child = nullptr;
        const ResultCode r = ParseLayoutElement(&child, cursor, nullptr, context);
        if (r >= kLayoutParseNoMemory) {
            FreeLayoutNode(node);
            return r;
        }
        worst = KeepWorstError(worst, r);
        if (!child) continue;
        child->parent = node;
        if (last)
            last->nextSibling = child;
        else
            node->firstChild = child;
        last = child;
    }
    *out = node;
    return worst;
}

ResultCode ParseLayoutString(LayoutNode** root, const char* text, size_t length,
                             LayoutParseContext* context) {
    *root = nullptr;
    if (!text) return kLayoutParseSyntax;
    LayoutTextCursor cursor{ text, text + length, 0 };
    const ResultCode result = ParseLayoutElement(root, &cursor, nullptr, context);
    // A placeholder callback that built nothing leaves no tree to answer.
    if (result < kLayoutParseNoMemory && !*root) return kLayoutParseSyntax;
    return result;
}

ResultCode ParseLayoutString(LayoutNode** root, const char* text,
                             LayoutParseContext* context) {
    return ParseLayoutString(root, text, text ? std::strlen(text) : 0, context);
}

int32_t SerializeLayout(LayoutNode* root, char* buffer, LayoutWriteContext* context) {
    if (!root) return 0;
    LayoutWriteContext none{};
    if (!context) context = &none;
    char* at = buffer;
    char** cursor = buffer ? &at : nullptr;
    const uint32_t options = context->options;
    if (options & kWritePlainText) {
        const LayoutKindRecord& row = LayoutKindTable[root->kind];
        return row.writePlainText ? row.writePlainText(root, cursor, context) : 0;
    }
    const bool skipStyles = (options & kWriteSkipStyles) != 0;
    const bool oneRow = (options & kWriteRowsAsOneRow) != 0;
    const bool shownOnly = (options & kWriteShownAlternativeOnly) != 0;

    // Only the root's subtree is written: its links are set aside for the walk.
    LayoutNode* savedParent = root->parent;
    LayoutNode* savedNext = root->nextSibling;
    root->parent = nullptr;
    root->nextSibling = nullptr;

    int32_t n = 0;
    LayoutNode* node = root;
    while (node) {
        bool descended = false;
        if (skipStyles && node->kind == kLayoutStyle) {
            if (node->firstChild) {
                node = node->firstChild;
                continue;
            }
        } else if (shownOnly && node->kind == kLayoutAlternatives) {
            if (LayoutNode* shown = ShownAlternative(node, nullptr)) {
                const int32_t k = SerializeLayout(shown, cursor ? at : nullptr, context);
                if (cursor) at += k;
                n += k;
            } else {
                n += PutLayoutText(cursor, "<0>", 3);
            }
        } else {
            int32_t length = 0;
            if (context->writeNode && context->writeNode(node, cursor, &length, context)) {
                n += length;
            } else {
                // An obsolete node (only ever made by hand: the reader turns the element
                // into an empty slot) is written as what it reads back as.
                int32_t kind = node->kind == kLayoutObsolete ? kLayoutEmptySlot : node->kind;
                if (oneRow && kind == kLayoutStackedRows) kind = kLayoutRow;
                const LayoutKindRecord& row = LayoutKindTable[kind];
                n += PutLayoutChar(cursor, '<');
                n += PutLayoutChar(cursor, static_cast<char>(row.letter));
                if (row.writeArgs) n += row.writeArgs(node, cursor, context);
                if (node->firstChild) {
                    node = node->firstChild;
                    descended = true;
                } else {
                    n += PutLayoutChar(cursor, '>');
                }
            }
        }
        if (descended) continue;
        // The node's subtree is done: on to the next sibling, closing what is passed.
        while (node) {
            if (node == root) {
                node = nullptr;
                break;
            }
            if (node->nextSibling) {
                if (oneRow && node->parent && node->parent->kind == kLayoutStackedRows)
                    n += PutLayoutText(cursor, "<T1x >", 6);
                node = node->nextSibling;
                break;
            }
            node = node->parent;
            if (node->kind == kLayoutStackedRows && !oneRow) {
                // A wrapped block's element comes after its rows, before its bracket.
                if (auto form = LaterForms().layout.writeWrapElement) n += form(node, cursor, context);
            }
            if (!(skipStyles && node->kind == kLayoutStyle)) n += PutLayoutChar(cursor, '>');
        }
    }
    root->parent = savedParent;
    root->nextSibling = savedNext;
    return n;
}

LayoutNode* FlattenLayoutCopy(LayoutNode* tree, bool flatten, bool join) {
    if (!tree) return nullptr;
    LayoutWriteContext w{ nullptr, nullptr, kWriteShownAlternativeOnly | (join ? kWriteRowsAsOneRow : 0u), nullptr };
    const int32_t n = SerializeLayout(tree, nullptr, &w);
    auto* text = static_cast<char*>(AllocMemory(static_cast<size_t>(n) + 1, 0));
    if (!text) return nullptr;
    SerializeLayout(tree, text, &w);
    text[n] = 0;
    LayoutNode* copy = nullptr;
    const ResultCode rc = ParseLayoutString(&copy, text, static_cast<size_t>(n), nullptr);
    FreeMemory(text);
    if (rc >= kLayoutParseNoMemory) {
        if (copy) FreeLayoutNode(copy);
        return nullptr;
    }
    if (!flatten || !copy) return copy;
    // The copy takes the font and size of wherever it is shown.
    ForEachLayoutNode(copy, [](LayoutNode* node) {
        if (node->kind == kLayoutStyle) {
            auto* s = static_cast<StyleNode*>(node);
            s->style.field[kStyleFont] = 0;
            s->style.field[kStyleSize] = 0;
        }
        return true;
    });
    return copy;
}

LayoutNode* LayoutFromPlainText(const char* text, int32_t length, int32_t keepBreaks) {
    if (!text || length < 0) length = 0;
    auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    // The length of the line end at i: CR, LF, CR LF or LF CR.
    auto breakLength = [&](int32_t i) {
        if (i + 1 < length && isBreak(text[i + 1]) && text[i + 1] != text[i]) return 2;
        return 1;
    };
    bool hasBreak = false;
    for (int32_t i = 0; i < length; ++i)
        if (isBreak(text[i])) hasBreak = true;

    if (!hasBreak || !keepBreaks) {
        LayoutNode* run = CreateLayoutNode(kLayoutTextRun, nullptr, 0);
        if (!run) return nullptr;
        if (!SetTextRunBytes(run, text, length)) {
            FreeLayoutNode(run);
            return nullptr;
        }
        auto* t = static_cast<TextRunNode*>(run);
        int32_t w = 0;
        for (int32_t i = 0; i < length;) {
            if (isBreak(text[i])) {
                t->text[w++] = ' ';
                i += breakLength(i);
            } else {
                t->text[w++] = text[i++];
            }
        }
        t->text[w] = 0;
        t->length = w;
        return run;
    }

    LayoutNode* rows = CreateLayoutNode(kLayoutStackedRows, nullptr, 0);
    if (!rows) return nullptr;
    static_cast<StackedRowsNode*>(rows)->alignment = 0;
    int32_t start = 0;
    for (int32_t i = 0; i <= length;) {
        if (i < length && !isBreak(text[i])) {
            ++i;
            continue;
        }
        LayoutNode* line = nullptr;
        if (i > start) {
            line = CreateLayoutNode(kLayoutTextRun, rows, 0);
            if (line && !SetTextRunBytes(line, text + start, i - start)) {
                FreeLayoutNode(rows);
                return nullptr;
            }
        } else {
            line = CreateLayoutNode(kLayoutEmptySlot, rows, 0);
        }
        if (!line) {
            FreeLayoutNode(rows);
            return nullptr;
        }
        if (i == length) break;
        i += breakLength(i);
        start = i;
    }
    return rows;
}
