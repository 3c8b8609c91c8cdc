// The kinds' own slot routines, shared between the kind table and the kinds' files.
// Not for callers outside the layout code: they go through LayoutKindTable.
#pragma once
#include "engine/text/layout.h"

// Rows and stacked rows.
int32_t     MeasureRow(LayoutNode* node, LayoutDrawState* state);
int32_t     RowCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                              int32_t* side);
LayoutNode* NormalizeRow(LayoutNode* node, const TextStyle* inherited);
int32_t     InitStackedRows(LayoutNode* node);
void        DestroyStackedRows(LayoutNode* node);
int32_t     MeasureStackedRows(LayoutNode* node, LayoutDrawState* state);
int32_t     StackedRowsCaretFromPoint(LayoutNode** holder, LayoutDrawState* state,
                                      ScreenPoint point, int32_t* side);
int32_t     StackedRowsChildCaretOffset(LayoutNode* node, LayoutNode* child);
LayoutNode* NormalizeStackedRows(LayoutNode* node, const TextStyle* inherited);
ResultCode  ParseStackedRows(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                             LayoutNode* parent, LayoutParseContext* context);
int32_t     WriteStackedRowsArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     StackedRowsPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     CopyStackedRows(LayoutNode* copy, const LayoutNode* source);

// Delimiters and radicals.
int32_t     MeasureDelimiter(LayoutNode* node, LayoutDrawState* state);
void        DrawDelimiter(LayoutNode* node, LayoutDrawState* state);
int32_t     DelimiterCaretFromPoint(LayoutNode** holder, LayoutDrawState* state,
                                    ScreenPoint point, int32_t* side);
int32_t     DelimiterChildCaretOffset(LayoutNode* node, LayoutNode* child);
LayoutNode* ParensTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
LayoutNode* BracketsTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
LayoutNode* BracesTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
LayoutNode* AbsBarsTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
LayoutNode* RadicalTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
int32_t     DelimiterPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     CopyDelimiter(LayoutNode* copy, const LayoutNode* source);

// Scripts and fractions.
int32_t     ScriptEdgeAxis(LayoutNode* node, int32_t side, int32_t* shift, int32_t* textAscent);
int32_t     MeasureScript(LayoutNode* node, LayoutDrawState* state);
void        DrawScript(LayoutNode* node, LayoutDrawState* state);
int32_t     ScriptCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                                 int32_t* side);
int32_t     ScriptChildCaretOffset(LayoutNode* node, LayoutNode* child);
void        ScriptChildStyle(LayoutNode* node, LayoutNode* child, const TextStyle* nodeStyle,
                             TextStyle* out);
LayoutNode* NormalizeScript(LayoutNode* node, const TextStyle* inherited);
LayoutNode* SuperscriptTemplate(LayoutNode** caret, LayoutNode** selStart,
                                LayoutNode** selEnd);
LayoutNode* SubscriptTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
int32_t     SuperscriptPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     SubscriptPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     ScriptNeedsGrouping(LayoutNode* node);
LayoutNode* MakeTwoSlotTemplate(int32_t kind, LayoutNode** first, LayoutNode** second,
                                LayoutNode** third);
int32_t     MeasureFraction(LayoutNode* node, LayoutDrawState* state);
void        DrawFraction(LayoutNode* node, LayoutDrawState* state);
int32_t     FractionCaretFromPoint(LayoutNode** holder, LayoutDrawState* state,
                                   ScreenPoint point, int32_t* side);
int32_t     FractionChildCaretOffset(LayoutNode* node, LayoutNode* child);
LayoutNode* FractionTemplate(LayoutNode** caret, LayoutNode** selStart, LayoutNode** selEnd);
int32_t     FractionPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);

// Style nodes.
int32_t     InitStyleNode(LayoutNode* node);
void        DrawStyleNode(LayoutNode* node, LayoutDrawState* state);
int32_t     StyleCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                                int32_t* side);
void        StyleChildStyle(LayoutNode* node, LayoutNode* child, const TextStyle* nodeStyle,
                            TextStyle* out);
LayoutNode* NormalizeStyleNode(LayoutNode* node, const TextStyle* inherited);
ResultCode  ParseStyleNode(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                           LayoutNode* parent, LayoutParseContext* context);
int32_t     WriteStyleArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     CopyStyleNode(LayoutNode* copy, const LayoutNode* source);

// Leaves: text runs, glyphs, empty slots, placeholders, alternatives, obsolete text.
int32_t     InitTextRun(LayoutNode* node);
void        DestroyTextRun(LayoutNode* node);
int32_t     MeasureTextRun(LayoutNode* node, LayoutDrawState* state);
void        DrawTextRun(LayoutNode* node, LayoutDrawState* state);
int32_t     TextRunCaretFromPoint(LayoutNode** holder, LayoutDrawState* state,
                                  ScreenPoint point, int32_t* side);
ResultCode  ParseTextRun(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                         LayoutNode* parent, LayoutParseContext* context);
int32_t     WriteTextRunArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     TextRunPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     CopyTextRun(LayoutNode* copy, const LayoutNode* source);
int32_t     TextRunNeedsGrouping(LayoutNode* node);
int32_t     MeasureGlyph(LayoutNode* node, LayoutDrawState* state);
void        DrawGlyph(LayoutNode* node, LayoutDrawState* state);
ResultCode  ParseGlyph(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                       LayoutNode* parent, LayoutParseContext* context);
int32_t     WriteGlyphArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     GlyphPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     CopyGlyph(LayoutNode* copy, const LayoutNode* source);
int32_t     GlyphNeedsGrouping(LayoutNode* node);
int32_t     AtomCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                               int32_t* side);
ResultCode  ParseEmptySlot(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                           LayoutNode* parent, LayoutParseContext* context);
ResultCode  ParsePlaceholder(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                             LayoutNode* parent, LayoutParseContext* context);
ResultCode  ParseObsolete(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                          LayoutNode* parent, LayoutParseContext* context);
int32_t     AlternativesEdgeAxis(LayoutNode* node, int32_t side, int32_t* shift,
                                 int32_t* textAscent);
int32_t     InitAlternatives(LayoutNode* node);
void        DestroyAlternatives(LayoutNode* node);
int32_t     MeasureAlternatives(LayoutNode* node, LayoutDrawState* state);
void        DrawAlternatives(LayoutNode* node, LayoutDrawState* state);
ResultCode  ParseAlternatives(int32_t kind, LayoutNode** out, LayoutTextCursor* cursor,
                              LayoutNode* parent, LayoutParseContext* context);
int32_t     WriteAlternativesArgs(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     AlternativesPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context);
int32_t     CopyAlternatives(LayoutNode* copy, const LayoutNode* source);
int32_t     AlternativesNeedsGrouping(LayoutNode* node);

// Overmarks drawn over text runs and glyphs (the style's "O" field).
int32_t     OverMarkHeight(int32_t baseWidth, const TextStyle* style);
void        DrawOverMark(LayoutNode* node, LayoutDrawState* state);

// UnwrapLayoutNode and FreeLayoutNode for a child whose predecessor is known (null for
// the first child), in time independent of its place: normalising a long row calls them
// for many children. UnwrapChildAt answers the node now standing last in the child's place
// (the predecessor when the child had no children).
LayoutNode* UnwrapChildAt(LayoutNode* parent, LayoutNode* previous, LayoutNode* child);
void        FreeChildAt(LayoutNode* parent, LayoutNode* previous, LayoutNode* child);

// Slots that always answer the same.
int32_t     AnswerTrue(LayoutNode* node);
int32_t     AnswerFalse(LayoutNode* node);
int32_t     AllowStackedChild(LayoutNode* node, LayoutNode* child);

// Writing helpers shared by the writers: append bytes at *cursor (when there is one)
// and answer how many were appended.
int32_t     PutLayoutText(char** cursor, const char* text, int32_t n);
int32_t     PutLayoutChar(char** cursor, char c);
// Reading helpers: the character at the cursor, or -1 at the end of the text.
int32_t     PeekLayoutChar(const LayoutTextCursor* cursor);
int32_t     TakeLayoutChar(LayoutTextCursor* cursor);
