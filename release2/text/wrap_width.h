// Wrap widths of text blocks (figlate): a block's rows are broken to fit a width and are
// re-broken whenever its text or its width changes, in its measure. Where rows were broken
// is kept per row as a break character (StackedRowsNode) and written in the layout
// language as the block's wrap element, after its rows:
//
//     "<F1" length "x" "x" width "x" character "x" masks "x" [next level] ">"
//
// all numbers upper-case hexadecimal without digits for 0; the length counts from the
// second 'x' to the 'x' after the masks; one mask digit per four rows, the first row in
// bit 3; each level holds one break character, the outermost the smallest, each nested
// one the next higher.
//
// A caption's width handle re-breaks a caption like this:
//
//     SetLayoutWrapWidth(&layout, width, 1);   // rows marked dirty
//     MeasureLayout(layout, &state);          // re-breaks them
//     ...
//     shift = FitLayoutWrapWidth(layout, &state);  // on release: shrink to the text
#pragma once
#include <cstdint>

#include "engine/text/layout.h"

// The text block of a tree: the root when it is one, else the first child of each style
// node down to one; null when there is none.
LayoutNode* FindRowsNode(LayoutNode* tree);
// The block's wrap width (0 when none) and its alignment (0 left, 1 centre, 2 right).
int32_t GetLayoutWrapWidth(LayoutNode* tree, int32_t* alignment);
// Sets the width (0 unwraps) and growToFit, putting a left-aligned block around a tree
// that has none; every row is marked for re-breaking. False when memory fails (the tree
// as it was).
bool SetLayoutWrapWidth(LayoutNode** tree, int32_t width, int32_t growToFit);
// Shrinks the width to what the rows need as they are broken now, measuring with the
// state; answers how far the text's box must move right to keep its alignment (old
// width - new width for right, half of it for centred, 0 for left or no width).
int32_t FitLayoutWrapWidth(LayoutNode* tree, const LayoutDrawState* state);

// Appends a text run of the character to the row, making the row an 'H' row first when
// it is not one (the row is then the new 'H' node). False when memory fails.
bool AppendBreakCharRun(LayoutNode** row, int32_t character);
// The width of the character in the style in force at the end of the row.
int32_t MeasureBreakChar(LayoutDrawState* state, LayoutNode* row, int32_t character);
// Re-breaks the rows of a wrapped block to its width (measuring them as needed).
void WrapRows(LayoutNode* block, LayoutDrawState* state);
// figlate's measure of a text block: its rows (re-broken when wrapped), then the block.
int32_t MeasureTextBlock(LayoutNode* block, LayoutDrawState* state);
// Replaces the tree's text block by one 'H' row of copies of its rows, the break
// characters put back between them. False when memory fails (the tree as it was).
bool UnwrapRowsNode(LayoutNode** tree);

// The element of a block (nothing when it does not qualify); with a null cursor only
// counted. A level is the element from one character up.
int32_t WriteWrapElement(LayoutNode* block, char** cursor, LayoutWriteContext* context);
int32_t WriteWrapLevel(LayoutNode* block, int32_t character, char** cursor);
// Takes one level read by the layout reader (see LaterLayoutForms::readWrapLevel).
void    TakeWrapLevel(LayoutNode* block, int32_t nested, int32_t width, int32_t character,
                      const char* masks, int32_t digits, uint32_t options);
// A new block's fields in figlate: left-aligned, unwrapped, growing to fit.
void    InitTextBlock(LayoutNode* block);

// A caption of an older document: plain text with its line breaks, wrapped to the stored
// box width when that is above 10.
LayoutNode* LayoutFromPlainTextWithWidth(const char* text, int32_t length, int32_t boxWidth);
// Whether the tree's wrap width is written with it: a width, several rows and a break
// character (else it is not kept when the tree is saved).
bool WrapWidthIsWritten(LayoutNode* tree);
