// The layout kind table: one row per LayoutKind, in kind order.
#include <iterator>

#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"
#include "engine/text/layout_range.h"

namespace {
constexpr uint32_t kRowFlags   = kCaretEndDescends | kWordContinues | kLastLeafDescends;
constexpr uint32_t kStackFlags = kCaretEndDescends;
constexpr uint32_t kStyleFlags = kCaretEndDescends | kWordContinues | kLastLeafDescends;
constexpr uint32_t kLeafFlags  = kWordContinues;
}  // namespace

const LayoutKindRecord LayoutKindTable[kLayoutKindCount] = {
    // size, flags,
    // edgeAxis, measure, draw, init, destroy, visitRange, caretFromPoint, childCaretOffset,
    // childStyle, normalize, makeInsertTemplate, parse, writeArgs, writePlainText, copyData,
    // needsGrouping, allowsStackedChild, letter
    { sizeof(LayoutNode), kRowFlags,  // Row
      EdgeAxisOfEdgeChild, MeasureRow, DrawChildren, nullptr, nullptr, RowVisitRange,
      RowCaretFromPoint, RowChildCaretOffset,
      nullptr, NormalizeRow, nullptr, ParseLayoutChildren, nullptr, ChildrenPlainText, nullptr,
      ChildrenNeedGrouping, nullptr, 'H' },
    { sizeof(StackedRowsNode), kStackFlags,  // StackedRows
      EdgeAxisOfStructure, MeasureStackedRows, DrawChildren, InitStackedRows, DestroyStackedRows,
      StackedRowsVisitRange,
      StackedRowsCaretFromPoint, StackedRowsChildCaretOffset,
      nullptr, NormalizeStackedRows, nullptr, ParseStackedRows, WriteStackedRowsArgs,
      StackedRowsPlainText, CopyStackedRows,
      AnswerTrue, nullptr, 'V' },
    { sizeof(DelimiterNode), 0,  // Parens
      EdgeAxisOfEdgeChild, MeasureDelimiter, DrawDelimiter, nullptr, nullptr, DelimiterVisitRange,
      DelimiterCaretFromPoint, DelimiterChildCaretOffset,
      nullptr, HoistCommonStyle, ParensTemplate, ParseLayoutChildren, nullptr, DelimiterPlainText,
      CopyDelimiter, AnswerFalse, AllowStackedChild, '(' },
    { sizeof(DelimiterNode), 0,  // Brackets
      EdgeAxisOfEdgeChild, MeasureDelimiter, DrawDelimiter, nullptr, nullptr, DelimiterVisitRange,
      DelimiterCaretFromPoint, DelimiterChildCaretOffset,
      nullptr, HoistCommonStyle, BracketsTemplate, ParseLayoutChildren, nullptr,
      DelimiterPlainText, CopyDelimiter, AnswerFalse, AllowStackedChild, '[' },
    { sizeof(DelimiterNode), 0,  // Braces
      EdgeAxisOfEdgeChild, MeasureDelimiter, DrawDelimiter, nullptr, nullptr, DelimiterVisitRange,
      DelimiterCaretFromPoint, DelimiterChildCaretOffset,
      nullptr, HoistCommonStyle, BracesTemplate, ParseLayoutChildren, nullptr, DelimiterPlainText,
      CopyDelimiter, AnswerFalse, AllowStackedChild, '{' },
    { sizeof(DelimiterNode), 0,  // AbsBars
      EdgeAxisOfEdgeChild, MeasureDelimiter, DrawDelimiter, nullptr, nullptr, DelimiterVisitRange,
      DelimiterCaretFromPoint, DelimiterChildCaretOffset,
      nullptr, HoistCommonStyle, AbsBarsTemplate, ParseLayoutChildren, nullptr,
      DelimiterPlainText, CopyDelimiter, AnswerFalse, AllowStackedChild, '|' },
    { sizeof(DelimiterNode), 0,  // Radical
      EdgeAxisOfEdgeChild, MeasureDelimiter, DrawDelimiter, nullptr, nullptr, DelimiterVisitRange,
      DelimiterCaretFromPoint, DelimiterChildCaretOffset,
      nullptr, HoistCommonStyle, RadicalTemplate, ParseLayoutChildren, nullptr,
      DelimiterPlainText, CopyDelimiter, AnswerFalse, AllowStackedChild, 'R' },
    { sizeof(TextRunNode), kLeafFlags,  // TextRun
      EdgeAxisOfLeaf, MeasureTextRun, DrawTextRun, InitTextRun, DestroyTextRun, TextRunVisitRange,
      TextRunCaretFromPoint, nullptr,
      nullptr, nullptr, nullptr, ParseTextRun, WriteTextRunArgs, TextRunPlainText, CopyTextRun,
      TextRunNeedsGrouping, nullptr, 'T' },
    { sizeof(FractionNode), 0,  // Fraction
      EdgeAxisOfStructure, MeasureFraction, DrawFraction, nullptr, nullptr, FractionVisitRange,
      FractionCaretFromPoint, FractionChildCaretOffset,
      nullptr, HoistCommonStyle, FractionTemplate, ParseLayoutChildren, nullptr,
      FractionPlainText, nullptr, AnswerFalse, AllowStackedChild, '/' },
    { sizeof(StyleNode), kStyleFlags,  // Style
      EdgeAxisOfEdgeChild, MeasureAsFirstChild, DrawStyleNode, InitStyleNode, nullptr,
      StyleVisitRange,
      StyleCaretFromPoint, RowChildCaretOffset,
      StyleChildStyle, NormalizeStyleNode, nullptr, ParseStyleNode, WriteStyleArgs,
      ChildrenPlainText, CopyStyleNode, ChildrenNeedGrouping, nullptr, 'S' },
    { sizeof(LayoutNode), 0,  // Superscript
      ScriptEdgeAxis, MeasureScript, DrawScript, nullptr, nullptr, ScriptVisitRange,
      ScriptCaretFromPoint, ScriptChildCaretOffset,
      ScriptChildStyle, NormalizeScript, SuperscriptTemplate, ParseLayoutChildren, nullptr,
      SuperscriptPlainText, nullptr, ScriptNeedsGrouping, AllowStackedChild, '+' },
    { sizeof(GlyphNode), kLeafFlags,  // Glyph
      EdgeAxisOfLeaf, MeasureGlyph, DrawGlyph, nullptr, nullptr, AtomVisitRange,
      AtomCaretFromPoint, nullptr,
      nullptr, nullptr, nullptr, ParseGlyph, WriteGlyphArgs, GlyphPlainText, CopyGlyph,
      GlyphNeedsGrouping, nullptr, '!' },
    { sizeof(LayoutNode), 0,  // Subscript
      ScriptEdgeAxis, MeasureScript, DrawScript, nullptr, nullptr, ScriptVisitRange,
      ScriptCaretFromPoint, ScriptChildCaretOffset,
      ScriptChildStyle, NormalizeScript, SubscriptTemplate, ParseLayoutChildren, nullptr,
      SubscriptPlainText, nullptr, ScriptNeedsGrouping, AllowStackedChild, '-' },
    { sizeof(TextRunNode), 0,  // EmptySlot
      EdgeAxisOfLeaf, MeasureTextRun, DrawTextRun, InitTextRun, DestroyTextRun, TextRunVisitRange,
      TextRunCaretFromPoint, nullptr,
      nullptr, nullptr, nullptr, ParseEmptySlot, nullptr, ChildrenPlainText, nullptr,
      AnswerFalse, nullptr, '0' },
    { 0, 0,  // Placeholder: template text only, never a node
      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr,
      nullptr, nullptr, nullptr, ParsePlaceholder, nullptr, nullptr, nullptr,
      nullptr, nullptr, '%' },
    { sizeof(AlternativesNode), kLeafFlags,  // Alternatives
      AlternativesEdgeAxis, MeasureAlternatives, DrawAlternatives, InitAlternatives,
      DestroyAlternatives, AtomVisitRange,
      AtomCaretFromPoint, nullptr,
      nullptr, nullptr, nullptr, ParseAlternatives, WriteAlternativesArgs, AlternativesPlainText,
      CopyAlternatives, AlternativesNeedsGrouping, nullptr, '?' },
    { sizeof(TextRunNode), 0,  // Obsolete: read as an EmptySlot
      EdgeAxisOfLeaf, MeasureTextRun, DrawTextRun, InitTextRun, DestroyTextRun, TextRunVisitRange,
      TextRunCaretFromPoint, nullptr,
      nullptr, nullptr, nullptr, ParseObsolete, nullptr, ChildrenPlainText, nullptr,
      AnswerFalse, nullptr, 'F' },
};
static_assert(std::size(LayoutKindTable) == kLayoutKindCount);
