// Layout trees: the formatted text of labels, captions, values, expressions and table
// cells. A node's kind selects one row of LayoutKindTable; everything that differs
// between kinds is reached through that row's operation slots.
//
// Coordinates are device pixels, y downwards. A node's origin is the left end of its
// baseline; its box spans x 0..width and y -ascent..descent around that origin.
#pragma once
#include <cstddef>
#include <cstdint>
#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/text/text_style.h"

struct GraphicsPort;     // the platform's drawing port; opaque to the engine
struct LayoutRangeVisit; // the record of a range operation (caret and editing code)

enum LayoutKind : int32_t {
    kLayoutRow          = 0,   // H
    kLayoutStackedRows  = 1,   // V
    kLayoutParens       = 2,   // (
    kLayoutBrackets     = 3,   // [
    kLayoutBraces       = 4,   // {
    kLayoutAbsBars      = 5,   // |
    kLayoutRadical      = 6,   // R
    kLayoutTextRun      = 7,   // T
    kLayoutFraction     = 8,   // /
    kLayoutStyle        = 9,   // S
    kLayoutSuperscript  = 10,  // +
    kLayoutGlyph        = 11,  // !
    kLayoutSubscript    = 12,  // -
    kLayoutEmptySlot    = 13,  // 0
    kLayoutPlaceholder  = 14,  // %  (text form only; never a node)
    kLayoutAlternatives = 15,  // ?
    kLayoutObsolete     = 16,  // F  (read as an EmptySlot)
    kLayoutKindCount    = 17,
};

// Header of every node; the kind's own fields follow it (the derived records below).
struct LayoutNode {
    int32_t     kind;
    LayoutNode* firstChild;
    LayoutNode* nextSibling;
    int32_t     value;              // the creator's tag; copied, written only by '?'
    int32_t     dirty;              // 0 clean, 1 measure this node, 2 a descendant
    int32_t     measuredChildCount;
    LayoutNode* parent;
    int32_t     needsNormalize;
    int16_t     x, y;               // origin relative to the parent's origin
    // The metrics, computed as one block by the kind's Measure.
    int32_t     width;
    int32_t     overhang;           // extra room the next item must leave (slanted text)
    int32_t     caretAscent;
    int32_t     ascent;
    int32_t     descent;
    int32_t     caretCount;
};

// A text block. Its rows may be broken to a wrap width: then each row but the last has a
// break character, the one it was broken at (0 where the row ends in a hard line break),
// which belongs between it and the next row. The array holds one byte per row.
struct StackedRowsNode : LayoutNode {
    int32_t  alignment;     // 0 left, 1 centred, 2 right
    int32_t  wrapWidth;     // 0 not wrapped; above 0 pixels; -1 refit to the rows
    int32_t  growToFit;     // 1: a row that cannot be broken widens the width
    uint8_t* breakChars;    // null when not wrapped
    int32_t  breakCount;
    int32_t  breakCapacity;
};

// Parens, Brackets, Braces, AbsBars, Radical. The meaning of the fields follows the mode;
// they are recomputed by every Measure and never stored.
struct DelimiterNode : LayoutNode {
    int32_t mode;        // 0 lines and rectangles, 1 current font, 2 Symbol font
    int32_t sideWidth;
    int32_t height;      // mode 0: bars or sign; mode 2: Symbol ascent
    int32_t thickness;   // mode 0: line thickness; mode 2: Symbol descent
    int32_t innerGap;
    int32_t outerGap;
    int32_t barWidth;
    int32_t overbarGap;
};

// TextRun, EmptySlot and Obsolete. The block holds the bytes and a NUL.
struct TextRunNode : LayoutNode {
    char*   text;
    int32_t length;
    int32_t capacity;
};

struct FractionNode : LayoutNode {
    int32_t barThickness;
    int32_t sideExtension;
};

struct StyleNode : LayoutNode {
    TextStyle style;  // relative to what the node inherits
};

struct GlyphNode : LayoutNode {
    int32_t code;
};

struct AlternativeEntry {
    LayoutNode* tree;
    int32_t     stale;  // 1 when the tree must be measured before it is shown again
};

// The alternatives are separate trees, not children: the node itself has no children.
struct AlternativesNode : LayoutNode {
    int32_t           shown;     // 1-based, 0 for none
    int32_t           capacity;
    int32_t           count;
    AlternativeEntry* entries;
};

// What measuring, drawing and every range visit are handed.
struct LayoutDrawState {
    GraphicsPort* port;
    TextStyle     style;  // the style in force at the current node
    int16_t       x, y;   // the pen; y is the baseline
};

struct LayoutParseContext;
struct LayoutWriteContext;

// Bounded reading position in layout-language text. `depth` counts the elements open
// around the cursor, so hostile nesting is refused before it can exhaust the stack.
struct LayoutTextCursor {
    const char* next;
    const char* end;
    int32_t     depth;
};

// Result codes of the parser.
constexpr ResultCode kLayoutParseOK      = 0;
constexpr ResultCode kLayoutParseWarning = 1;  // read, but a placeholder had no callback
                                               // or an alignment letter was unknown
constexpr ResultCode kLayoutParseNoMemory = 2;
constexpr ResultCode kLayoutParseSyntax   = 3;

// Deepest element nesting the parser accepts; deeper text is a syntax error.
constexpr int32_t kMaxLayoutDepth = 200;

using LayoutFontMapFn     = int32_t (*)(int32_t value, void* context);
using LayoutPlaceholderFn = ResultCode (*)(LayoutNode** out, const char* content,
                                           int32_t length, LayoutNode* parent,
                                           LayoutParseContext* context);
using LayoutWriteNodeFn   = int32_t (*)(LayoutNode* node, char** cursor, int32_t* length,
                                        LayoutWriteContext* context);

// The callbacks get the context itself as their last argument.
struct LayoutParseContext {
    LayoutFontMapFn     fontNumber;   // "P" value -> FontNumber; null: unchanged
    // Builds the subtree a "%" element stands for and answers it through `out` (appending
    // it to `parent` when one is given). The parser reads the children of an element
    // unattached and links them itself, so the parent is null there as it is for a root
    // and for alternatives. Null: every placeholder becomes an EmptySlot (result 1).
    LayoutPlaceholderFn placeholder;
    void*               user;
    uint32_t            options;  // LayoutParseOption bits
};

// How a reader that wraps text blocks takes their wrap elements.
enum LayoutParseOption : uint32_t {
    kParseKeepWrapWidth   = 1,  // keep the width stored (else refit it to the rows)
    kParseIgnoreWrapWidth = 2,  // read the element but leave the block unwrapped
};

enum LayoutWriteOption : uint32_t {
    kWritePlainText           = 1,
    kWriteSkipStyles          = 2,
    kWriteRowsAsOneRow        = 4,
    kWriteShownAlternativeOnly = 8,
};

// The callbacks get the context itself as their last argument.
struct LayoutWriteContext {
    LayoutFontMapFn   fontNumber;  // FontNumber -> value written after "P"
    LayoutWriteNodeFn writeNode;   // non-zero when it wrote the node itself
    uint32_t          options;     // LayoutWriteOption bits
    void*             user;
};

// Slot types, in table order. A null slot means "none".
using EdgeAxisFn         = int32_t (*)(LayoutNode* node, int32_t side, int32_t* shift,
                                       int32_t* textAscent);
using MeasureFn          = int32_t (*)(LayoutNode* node, LayoutDrawState* state);
using LayoutDrawFn       = void (*)(LayoutNode* node, LayoutDrawState* state);
using InitFn             = int32_t (*)(LayoutNode* node);
using DestroyFn          = void (*)(LayoutNode* node);
using VisitRangeFn       = void (*)(LayoutNode* node, LayoutRangeVisit* visit);
using CaretFromPointFn   = int32_t (*)(LayoutNode** holder, LayoutDrawState* state,
                                       ScreenPoint point, int32_t* side);
using ChildCaretOffsetFn = int32_t (*)(LayoutNode* node, LayoutNode* child);
using ChildStyleFn       = void (*)(LayoutNode* node, LayoutNode* child,
                                    const TextStyle* nodeStyle, TextStyle* out);
using NormalizeFn        = LayoutNode* (*)(LayoutNode* node, const TextStyle* inherited);
using MakeInsertTemplateFn = LayoutNode* (*)(LayoutNode** caret, LayoutNode** selStart,
                                             LayoutNode** selEnd);
using ParseFn            = ResultCode (*)(int32_t kind, LayoutNode** out,
                                          LayoutTextCursor* cursor, LayoutNode* parent,
                                          LayoutParseContext* context);
using WriteFn            = int32_t (*)(LayoutNode* node, char** cursor,
                                       LayoutWriteContext* context);
using CopyDataFn         = int32_t (*)(LayoutNode* copy, const LayoutNode* source);
using NeedsGroupingFn    = int32_t (*)(LayoutNode* node);
using AllowsStackedChildFn = int32_t (*)(LayoutNode* node, LayoutNode* child);

enum LayoutKindFlag : uint32_t {
    kCaretEndDescends = 1,  // the caret at the very end lies at the end of the last child
    kWordContinues    = 2,  // a word may run through the node into its neighbours
    kLastLeafDescends = 4,  // transparent when the last leaf of a subtree is looked for
};

struct LayoutKindRecord {
    uint32_t             nodeSize;
    uint32_t             flags;
    EdgeAxisFn           edgeAxis;
    MeasureFn            measure;
    LayoutDrawFn         draw;
    InitFn               init;
    DestroyFn            destroy;
    VisitRangeFn         visitRange;
    CaretFromPointFn     caretFromPoint;
    ChildCaretOffsetFn   childCaretOffset;
    ChildStyleFn         childStyle;
    NormalizeFn          normalize;
    MakeInsertTemplateFn makeInsertTemplate;
    ParseFn              parse;
    WriteFn              writeArgs;
    WriteFn              writePlainText;
    CopyDataFn           copyData;
    NeedsGroupingFn      needsGrouping;
    AllowsStackedChildFn allowsStackedChild;
    uint32_t             letter;
};

extern const LayoutKindRecord LayoutKindTable[kLayoutKindCount];

// ---- Tree core ----
LayoutNode* CreateLayoutNode(int32_t kind, LayoutNode* parent, int32_t value);
void        FreeLayoutNode(LayoutNode* node);
LayoutNode* AppendLayoutChild(LayoutNode* parent, LayoutNode* child);
void        WrapLayoutNode(LayoutNode* node, LayoutNode* wrapper);
void        UnlinkLayoutChild(LayoutNode* parent, LayoutNode* child, LayoutNode* replacement);
void        UnwrapLayoutNode(LayoutNode* node);
// Moves every child of `from` to the end of `to`'s list, marking them for measuring.
void        MoveLayoutChildren(LayoutNode* from, LayoutNode* to);
void        MarkLayoutDirty(LayoutNode* node);
void        MarkLayoutSubtreeDirty(LayoutNode* node);
void        MarkNeedsNormalize(LayoutNode* node);
void        MeasureLayout(LayoutNode* root, const LayoutDrawState* state);
int32_t     MeasureLayoutNode(LayoutNode* node, LayoutDrawState* state);
void        DrawLayout(LayoutNode* root, const LayoutDrawState* state);
// The owner replaces the node by what this answers (a root caller keeps it as the root).
LayoutNode* NormalizeLayout(LayoutNode* node, const TextStyle* inherited);
// The node alone: its kind's own data, no children.
LayoutNode* CopyLayoutNode(const LayoutNode* node);
// A deep copy of a subtree (alternatives included); null when memory runs out, nothing
// of the partial copy left behind.
LayoutNode* CloneLayoutTree(const LayoutNode* node);
// The same as a result code: 0, or kLayoutParseNoMemory with *copy null.
ResultCode  CloneLayoutTreeCode(const LayoutNode* node, LayoutNode** copy);
int32_t     NodeNeedsGrouping(LayoutNode* node);
LayoutNode* CreateEmptySlotRow(LayoutNode* parent);
int32_t     GroupWithNode(LayoutNode* added, LayoutNode* leaf, int32_t before);
LayoutNode* ChildAtCaretOffset(LayoutNode* node, int32_t caretBase, int32_t caretIndex);
int32_t     LayoutChildCount(const LayoutNode* node);
LayoutNode* LayoutChildAt(const LayoutNode* node, int32_t index);  // 0-based, or null
LayoutNode* LastLayoutChild(const LayoutNode* node);
// The caret index under a point relative to the root's origin (measuring a dirty root
// first); answers the node in which the index was found.
LayoutNode* LayoutCaretFromPoint(LayoutNode* root, const LayoutDrawState* state,
                                 ScreenPoint point, int32_t* caretIndex, int32_t* side);

// Shared slot implementations.
void        DrawChildren(LayoutNode* node, LayoutDrawState* state);
int32_t     MeasureAsFirstChild(LayoutNode* node, LayoutDrawState* state);
int32_t     EdgeAxisOfEdgeChild(LayoutNode* node, int32_t side, int32_t* shift,
                                int32_t* textAscent);
int32_t     EdgeAxisOfStructure(LayoutNode* node, int32_t side, int32_t* shift,
                                int32_t* textAscent);
int32_t     EdgeAxisOfLeaf(LayoutNode* node, int32_t side, int32_t* shift,
                           int32_t* textAscent);
int32_t     RowChildCaretOffset(LayoutNode* node, LayoutNode* child);
LayoutNode* HoistCommonStyle(LayoutNode* node, const TextStyle* inherited);
int32_t     ChildrenPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     ChildrenNeedGrouping(LayoutNode* node);
// The caret stop a node begins at, counted from the start of its whole tree.
int32_t     CaretOffsetOfNode(LayoutNode* node);
// Metrics are kept within this bound (in pixels or stops) so that the sums of the
// structures above them cannot overflow, however long or large hostile text is.
constexpr int32_t kMaxLayoutExtent = 0x00FFFFFF;

// Stores the metrics (each kept within kMaxLayoutExtent) when width, overhang, ascent,
// descent or caret count differ (the caret ascent alone does not count); answers whether
// they differed.
int32_t     StoreLayoutMetrics(LayoutNode* node, const LayoutNode& metrics);
// Keeps a point inside a node's box (x 0..width, y -caretAscent..descent).
ScreenPoint ClampPointToNode(const LayoutNode* node, ScreenPoint point);

// ---- Layout language ----
ResultCode ParseLayoutString(LayoutNode** root, const char* text, size_t length,
                             LayoutParseContext* context);
ResultCode ParseLayoutString(LayoutNode** root, const char* text,
                             LayoutParseContext* context);  // NUL-terminated
ResultCode ParseLayoutElement(LayoutNode** out, LayoutTextCursor* cursor, LayoutNode* parent,
                              LayoutParseContext* context);
ResultCode ParseLayoutChildren(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                               LayoutNode* parent, LayoutParseContext* context);
// Writes no NUL; with a null buffer only counts.
int32_t SerializeLayout(LayoutNode* node, char* buffer, LayoutWriteContext* context);
int32_t WriteHexNumber(char** cursor, int32_t value);
// Reads digits up to the first other character. Answers false (cursor left after the
// digits) when the value exceeds kMaxLayoutHex, which the writer could not write back.
bool    ReadHexNumber(LayoutTextCursor* cursor, int32_t* value);
constexpr int32_t kMaxLayoutHex = 0x0FFFFFFF;
// Visits the nodes of a tree (not the trees of alternatives), each before its children,
// the root first; `visit` answers false to stop.
template <typename Visit>
void ForEachLayoutNode(LayoutNode* root, Visit visit) {
    LayoutNode* node = root;
    while (node) {
        if (!visit(node)) return;
        if (node->firstChild) {
            node = node->firstChild;
            continue;
        }
        while (node != root && !node->nextSibling) node = node->parent;
        node = node == root ? nullptr : node->nextSibling;
    }
}

// A copy in which every alternatives node is replaced by the alternative it shows, with
// `join` stacked rows made one row and with `flatten` the style nodes' font and size
// cleared; null when memory runs out.
LayoutNode* FlattenLayoutCopy(LayoutNode* tree, bool flatten, bool join);
// Plain text as a layout: one TextRun (line ends become blanks), or with keepBreaks a
// left-aligned StackedRows node with one row per line (an EmptySlot for an empty line).
LayoutNode* LayoutFromPlainText(const char* text, int32_t length, int32_t keepBreaks);

// ---- Styles ----
void MergeIntoStyleNode(LayoutNode* node, const TextStyle* style);

// ---- Rows ----
void SetRowAlignment(LayoutNode* node, int32_t alignment);
// A text block's break characters (see StackedRowsNode). Reading past the end answers 0;
// storing grows the array in steps of 32 bytes, new rows 0. False when memory fails,
// the array left as it was.
uint8_t GetRowBreakChar(const LayoutNode* block, int32_t row);
bool    SetRowBreakChar(LayoutNode* block, int32_t row, int32_t character);
bool    InsertRowBreakChar(LayoutNode* block, int32_t row, int32_t character);
void    RemoveRowBreakChars(LayoutNode* block, int32_t row, int32_t count);
// Gives the block an array of one 0 byte per row (true when it had one), or frees it.
bool    GiveRowBreakChars(LayoutNode* block);
void    FreeRowBreakChars(LayoutNode* block);
// The rows of `inner`, a block about to take the place of the block's row `row`, bring
// their break characters (0 where it has none); nothing when the block has none.
void    TakeInnerRowBreakChars(LayoutNode* block, int32_t row, const LayoutNode* inner);

// ---- Leaves and alternatives ----
int32_t     SetTextRunBytes(LayoutNode* node, const char* bytes, int32_t n);
int32_t     SetTextRunString(LayoutNode* node, const char* string);
int32_t     AppendTextRunBytes(LayoutNode* node, const char* bytes, int32_t n);
const char* GetTextRun(const LayoutNode* node, int32_t* length);
int32_t     MeasureTextSpan(LayoutDrawState* state, const char* text, int32_t first,
                            int32_t n);
// A new text run holding `text` (null when memory fails).
LayoutNode* CreateTextRunWith(const char* text, LayoutNode* parent);
LayoutNode* CreateQuestionMarkRun(LayoutNode* parent);
int32_t     WriteRunReplacing(LayoutNode* node, const char* search, LayoutNode* replacement,
                              char** cursor, LayoutWriteContext* context);
void        SetGlyphCode(LayoutNode* node, int32_t code);
void        SelectAlternative(LayoutNode* node, int32_t index);
int32_t     AddAlternative(LayoutNode* node, LayoutNode* tree);
int32_t     AlternativeCount(const LayoutNode* node);
LayoutNode* ShownAlternative(const LayoutNode* node, int32_t* index);
void        RemoveAlternative(LayoutNode* node, int32_t index);
void        RefreshAlternative(LayoutNode* node, int32_t index);
// The plain name of a glyph code ("pi", "Angle ", ...); "?" when it has none.
int32_t     SymbolGlyphName(int32_t code, char** cursor);
