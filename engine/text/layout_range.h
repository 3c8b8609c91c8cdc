// Caret stops and range operations on layout trees. A caret index runs from 0 to the
// root's caretCount; every editing action is a walk over the part of the tree that a
// range of caret indices covers, through the kinds' VisitRange slots.
#pragma once
#include <cstdint>

#include "engine/text/layout.h"

enum LayoutRangeOp : int32_t {
    kInvertRange   = 0,
    kWordBounds    = 1,
    kCaretRect     = 2,
    kFindLeaf      = 3,
    kEachLeaf      = 4,
    kFindRow       = 5,
    kCutRange      = 6,
    kInsertAtCaret = 7,
    kBreakRow      = 8,
    kRangeOpCount  = 9,
};

using RangeVisitorFn = void (*)(LayoutNode* node, LayoutRangeVisit* visit);

// What a Style node (and a script, for its script) does with its style while a visit of
// each op passes through it: 0 leave it, 1 merge it into the state, 2 merge and select it.
extern const int32_t kRangeStyleNeed[kRangeOpCount];

struct LayoutRangeVisit {
    LayoutDrawState state;   // pen at the current node's origin, style in force there
    int32_t         offset;  // caret index at which the visited node begins
    int32_t         start, end;
    int32_t         op;
    RangeVisitorFn  visitor;  // called for each child to visit
    void*           user;
    // The escape point: once set, every walk returns at once to the entry function.
    int32_t         escaped;
    // Word bounds.
    int32_t         wordStart, wordEnd, stepBack;
    LayoutNode*     wordLeaf;  // the text leaf whose bounds were taken (null: not a run)
    // Caret line.
    ScreenPoint     caretTop, caretBottom;
    // Leaf found; the node to insert, or to put in the place of the first node cut.
    LayoutNode*     leaf;
    int32_t         atStart;
    LayoutNode*     node;
    // Cutting.
    LayoutNode*     collection;
    LayoutNode*     newRoot;
    int32_t         dissolved;
    // Row breaks.
    LayoutNode*     before;
    LayoutNode*     after;
    int32_t         allowInside;
    int32_t         failed;
    // Leaf callback (ops 4 and 5) and the innermost StackedRows node found (op 5).
    RangeVisitorFn  callback;
    LayoutNode*     rows;
    int32_t         found;
};

void    InitRangeVisit(LayoutNode* root, const LayoutDrawState* state, int32_t start,
                       int32_t end, LayoutRangeVisit* visit, void* user);
void    VisitLayoutRange(LayoutNode* node, LayoutRangeVisit* visit);
void    VisitChildrenInRange(LayoutNode* node, LayoutRangeVisit* visit);

void    LayoutCaretRect(LayoutNode* root, const LayoutDrawState* state, int32_t caretIndex,
                        ScreenPoint* top, ScreenPoint* bottom);
void    LayoutWordBounds(LayoutNode* root, const LayoutDrawState* state, int32_t caretIndex,
                         int32_t* wordStart, int32_t* wordEnd, int32_t stepBack);
void    InvertLayoutRange(LayoutNode* root, const LayoutDrawState* state, int32_t start,
                          int32_t end);
int32_t LeafBoundaryOffset(LayoutNode** root, int32_t caretIndex, const LayoutDrawState* state,
                           LayoutNode** leaf, int32_t* atStart);
// Moves [start, end) into a cut collection (a Row), putting `replacement` (when given) in
// its place. Both ends come back set to where the caret now stands.
int32_t CutLayoutRange(LayoutNode** root, int32_t* start, int32_t* end,
                       const LayoutDrawState* state, LayoutNode* replacement,
                       LayoutNode** collection);
// Takes the node: on 0 it has been freed.
int32_t InsertNodeAtCaret(LayoutNode** root, int32_t caretIndex, const LayoutDrawState* state,
                          LayoutNode* node);
int32_t InsertNodeAtEdge(LayoutNode* node, LayoutNode* leaf, int32_t before);
int32_t BreakRowAtCaret(LayoutNode** root, int32_t caretIndex, const LayoutDrawState* state,
                        int32_t allowInside);
int32_t CloneRangePart(LayoutNode* node, LayoutRangeVisit* visit, int32_t side);
int32_t ComposeRangeParts(const LayoutRangeVisit* visit);
void    ApplyStyleToRange(LayoutNode** root, const LayoutDrawState* state, int32_t start,
                          int32_t end, const TextStyle* style);
void    GetRangeStyle(LayoutNode** root, const LayoutDrawState* state, int32_t start,
                      int32_t end, TextStyle* style);
int32_t SetRangeRowAlignment(LayoutNode* root, const LayoutDrawState* state, int32_t start,
                             int32_t end, int32_t alignment);
LayoutNode* CaretEndLeaf(LayoutNode* node, ScreenPoint* pen);
LayoutNode* LastLeaf(LayoutNode* node);
LayoutNode* DeepestLastNode(LayoutNode* node);

// The kinds' VisitRange slots.
void RowVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void StackedRowsVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void DelimiterVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void FractionVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void StyleVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void ScriptVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void TextRunVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
void AtomVisitRange(LayoutNode* node, LayoutRangeVisit* visit);
