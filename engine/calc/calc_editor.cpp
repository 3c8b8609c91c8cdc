// The calculator's editing model.
#include "engine/calc/calc_editor.h"
#include "engine/calc/expression_compiler.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/calc/measurements.h"
#include "engine/calc/expression_layout.h"
#include "engine/calc/value_objects.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/calculator.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/text_port.h"
#include "engine/core/sketch.h"
#include "engine/text/layout.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"
#include "engine/text/value_text.h"

namespace {

constexpr uint32_t kCellGrowth = 20;
constexpr uint32_t kPrefixRoom = 20;
constexpr int32_t kMinLineHeight = 12;
constexpr int32_t kFrameInset = 2;
constexpr uint32_t kBlinkMs = 500;
constexpr uint32_t kCheckMs = 500;
constexpr uint32_t kDragDelayMs = 250;
constexpr uint32_t kDoubleClickMs = 500;
constexpr int32_t kDoubleClickSlop = 4;
constexpr uint32_t kMaxDisplayClosings = 10;
constexpr int32_t kStatusEmpty = kCompileEmpty;
constexpr uint16_t kMenuAction = 0x8000;

// Group 14 items.
constexpr int32_t kItemKeys = 26;        // "0123456789.()pe"
constexpr int32_t kItemOperators = 29;   // "+-*/^-"
constexpr int32_t kItemVariables = 30;   // "xytr"
constexpr int32_t kItemIncomplete = 31;  // " ...?"
constexpr int32_t kItemUndefined = 32;
constexpr int32_t kItemFormHeads = 47;
constexpr int32_t kItemFormNames = 51;
constexpr int32_t kItemNewParameter = 56;
constexpr int32_t kSymbolPi = 112;
constexpr int32_t kSymbolTheta = 113;
constexpr int16_t kIncompleteRed = 199;

constexpr ExpressionToken kUnitCm = kTokenDistanceUnit + 1;
constexpr ExpressionToken kUnitInches = kTokenDistanceUnit + 2;
constexpr ExpressionToken kUnitRadians = kTokenAngleUnit + 0;
constexpr ExpressionToken kUnitDegrees = kTokenAngleUnit + 1;
constexpr ExpressionToken kTokenPlus = kClassOperator | kOpAdd;
constexpr ExpressionToken kTokenMinusOp = kClassOperator | kOpSubtract;
constexpr ExpressionToken kTokenNegate = kClassOperator | kOpNegate;

struct PopupItem {
    uint32_t key;
    int32_t menu;
    uint16_t code;  // token, or kMenuAction | form
    LayoutNode* layout;
};

struct CalcEditorState {
    bool active;
    int32_t form;
    char heading[kLabelBufferSize];
    bool hasHeading;
    CalcCell* cells;
    uint32_t count;
    uint32_t capacity;
    uint32_t caret;   // the moving end of the selection
    uint32_t anchor;  // the end that stays
    ParentArray* parents;
    ScreenRect frame;
    int32_t lineHeight;
    int32_t baseline;
    int32_t firstLine;
    int32_t visibleLines;
    ScreenPoint caretTop;
    bool caretVisible;
    uint32_t blinkDeadline;
    int32_t status;
    uint32_t errorPosition;
    bool keys[kKeyGroupCount];
    bool operands;
    bool keysChanged;
    bool displayChanged;
    uint32_t generationSum;
    uint32_t checkDeadline;
    bool lastWasMove;
    char prefix[kPrefixRoom + 1];
    uint32_t prefixLength;
    int32_t goalX;  // -1 when the last command was not a vertical move
    CalcIdleFn idle;
    bool clickArmed;
    uint32_t clickDeadline;
    ScreenPoint clickPoint;
    // The parents the last display was built with: their values are watched.
    ParentArray displayParents;
};

CalcEditorState gCalc{};
std::vector<PopupItem> gPopup;

uint32_t ParentCount() { return gCalc.parents ? gCalc.parents->count : 0; }
SketchObject* const* ParentItems() { return gCalc.parents ? gCalc.parents->items : nullptr; }
SketchObject* ParentAt(uint32_t i) { return i < ParentCount() ? ParentItems()[i] : nullptr; }

bool IsOpening(ExpressionToken t) {
    return t == kTokenOpen || TokenClass(t) == kClassFunction || TokenClass(t) == kClassFunctionCall;
}

int32_t Balance() {
    int32_t b = 0;
    for (uint32_t i = 0; i < gCalc.count; ++i) {
        if (IsOpening(gCalc.cells[i].token)) ++b;
        else if (gCalc.cells[i].token == kTokenClose) --b;
    }
    return b;
}

uint32_t SelectionStart() { return gCalc.caret < gCalc.anchor ? gCalc.caret : gCalc.anchor; }
uint32_t SelectionEnd() { return gCalc.caret < gCalc.anchor ? gCalc.anchor : gCalc.caret; }
bool HasSelection() { return gCalc.caret != gCalc.anchor; }

void FreeCellLayout(CalcCell* cell) {
    if (cell->layout) FreeLayoutNode(cell->layout);
    cell->layout = nullptr;
}

bool EnsureRoom(uint32_t extra) {
    if (gCalc.count + extra <= gCalc.capacity) return true;
    uint32_t capacity = gCalc.capacity + kCellGrowth;
    while (capacity < gCalc.count + extra) capacity += kCellGrowth;
    if (!ReallocMemoryOf(&gCalc.cells, capacity * sizeof(CalcCell), false)) return false;
    gCalc.capacity = capacity;
    return true;
}

void RemoveCells(uint32_t first, uint32_t n) {
    for (uint32_t i = first; i < first + n; ++i) FreeCellLayout(&gCalc.cells[i]);
    std::memmove(gCalc.cells + first, gCalc.cells + first + n, (gCalc.count - first - n) * sizeof(CalcCell));
    gCalc.count -= n;
}

// Room must have been made.
void InsertCell(uint32_t at, ExpressionToken t) {
    std::memmove(gCalc.cells + at + 1, gCalc.cells + at, (gCalc.count - at) * sizeof(CalcCell));
    gCalc.cells[at] = CalcCell{nullptr, t, 0, 0, 0};
    ++gCalc.count;
}

// Compiles the first `n` cells followed by `extra` (when not 0) without output.
int32_t CheckTokens(uint32_t n, const ExpressionToken* extra, uint32_t extraCount, uint32_t* errorPosition,
                    bool* noMemory) {
    const uint32_t total = n + extraCount;
    *noMemory = false;
    if (total == 0) return kCompileEmpty;
    auto* tokens = static_cast<ExpressionToken*>(AllocMemory(total * sizeof(ExpressionToken), 0));
    if (!tokens) {
        *noMemory = true;
        return kCompileNoMemory;
    }
    for (uint32_t i = 0; i < n; ++i) tokens[i] = gCalc.cells[i].token;
    for (uint32_t i = 0; i < extraCount; ++i) tokens[n + i] = extra[i];
    InfixExpression infix{gCalc.form, total, tokens};
    const int32_t rc = CompileExpression(&infix, nullptr, 0, nullptr, nullptr, nullptr, errorPosition);
    FreeMemory(tokens);
    return rc;
}

bool ProbeAccepts(ExpressionToken probe, bool* noMemory) {
    const int32_t rc = CheckTokens(gCalc.caret, &probe, 1, nullptr, noMemory);
    return rc == kCompileOK || rc == kCompileUnclosed || rc == kCompileIncomplete;
}

void NoteEdit() {
    if (gCalc.lastWasMove) CmdStateInvalidate(6);
    gCalc.lastWasMove = false;
    gCalc.displayChanged = true;
    gCalc.goalX = -1;
}

void NoteMove() {
    gCalc.lastWasMove = true;
    gCalc.prefixLength = 0;
}

// Inserts one token at the caret, replacing the selection; false when memory runs out
// (nothing changed).
bool InsertCalcToken(ExpressionToken t) {
    gCalc.prefixLength = 0;
    gCalc.displayChanged = true;
    const bool opening = IsOpening(t);
    // Room for the token and the ")" that may follow it; a replaced selection frees
    // cells, but a single replaced cell and two inserted ones still need one more.
    if (!EnsureRoom(opening ? 2 : 1)) return false;
    if (t == kTokenClose && !HasSelection() && gCalc.caret < gCalc.count &&
        gCalc.cells[gCalc.caret].token == kTokenClose && Balance() <= 0) {
        gCalc.anchor = ++gCalc.caret;
    } else {
        if (HasSelection()) {
            const uint32_t first = SelectionStart();
            RemoveCells(first, SelectionEnd() - first);
            gCalc.caret = first;
        }
        InsertCell(gCalc.caret, t);
        gCalc.anchor = ++gCalc.caret;
        if (opening) {
            bool onlyClosings = true;
            for (uint32_t i = gCalc.caret; i < gCalc.count && onlyClosings; ++i)
                onlyClosings = gCalc.cells[i].token == kTokenClose;
            if (gCalc.caret == gCalc.count || (Balance() > 0 && onlyClosings)) InsertCell(gCalc.caret, kTokenClose);
        }
    }
    NoteEdit();
    UpdateCalcKeyStates(true);
    return true;
}

void DeleteAtCaret(bool before) {
    if (HasSelection()) {
        const uint32_t first = SelectionStart();
        RemoveCells(first, SelectionEnd() - first);
        gCalc.caret = gCalc.anchor = first;
        NoteEdit();
        return;
    }
    if (before ? gCalc.caret == 0 : gCalc.caret >= gCalc.count) return;
    const uint32_t at = before ? gCalc.caret - 1 : gCalc.caret;
    uint32_t n = 1;
    if (IsOpening(gCalc.cells[at].token) && at + 1 < gCalc.count && gCalc.cells[at + 1].token == kTokenClose &&
        Balance() <= 0)
        n = 2;
    RemoveCells(at, n);
    gCalc.caret = gCalc.anchor = at;
    NoteEdit();
}

// ---- Layouts of cells and of the display

LayoutNode* TextNode(const char* text) { return CreateTextRunWith(text, nullptr); }

LayoutNode* Glyph(int32_t code) {
    LayoutNode* g = CreateLayoutNode(kLayoutGlyph, nullptr, 0);
    if (g) SetGlyphCode(g, code);
    return g;
}

// A row of the two nodes; both freed when anything fails.
LayoutNode* RowOf(LayoutNode* a, LayoutNode* b) {
    LayoutNode* row = a && b ? CreateLayoutNode(kLayoutRow, nullptr, 0) : nullptr;
    if (!row) {
        if (a) FreeLayoutNode(a);
        if (b) FreeLayoutNode(b);
        return nullptr;
    }
    AppendLayoutChild(row, a);
    AppendLayoutChild(row, b);
    return row;
}

LayoutNode* ParsedItem(int32_t item) {
    char text[256];
    GetGroupString(kGroupCalculator, item, text, sizeof text);
    return ParsedLayout(text);
}

LayoutNode* NameLayout(SketchObject* object) {
    return object ? BuildObjectLabelLayout(object, nullptr, false, false) : nullptr;
}

LayoutNode* TokenLayout(ExpressionToken t, int32_t form) {
    char text[64];
    if (t == kTokenPi) return Glyph(kSymbolPi);
    if (t == kTokenVariable && form == kFormRofTheta) return Glyph(kSymbolTheta);
    switch (TokenClass(t)) {
    case kClassOperator: {
        char op[8];
        TokenText(t, form, op, sizeof op, false);
        std::snprintf(text, sizeof text, " %s ", op);
        return TextNode(text);
    }
    case kClassFunction:
        if (TokenIndex(t) >= kFunctionCount) return nullptr;
        GetGroupString(kGroupCalculator, int32_t(TokenIndex(t)), text, sizeof text);
        return RowOf(TextNode(text), TextNode("("));
    case kClassFunctionCall:
        return RowOf(NameLayout(ParentAt(TokenIndex(t))), TextNode("("));
    case kClassParentValue:
        return NameLayout(ParentAt(TokenIndex(t)));
    case 0:
        TokenText(t, form, text, sizeof text, false);
        return text[0] ? TextNode(text[0] == ' ' ? text + 1 : text) : nullptr;
    default:
        return nullptr;
    }
}

// The tokens of the cells with up to `closings` ")" after the first `n`; compiled with
// output. 0 and the code and parents on success.
int32_t CompileForDisplay(uint32_t n, uint32_t closings, CompiledExpression* code, ParentArray* used) {
    auto* tokens = static_cast<ExpressionToken*>(AllocMemory((n + closings) * sizeof(ExpressionToken), 0));
    if (!tokens) return kCompileNoMemory;
    for (uint32_t i = 0; i < n; ++i) tokens[i] = gCalc.cells[i].token;
    InfixExpression infix{gCalc.form, n, tokens};
    int32_t rc = CompileExpression(&infix, ParentItems(), ParentCount(), nullptr, code, used, nullptr);
    for (uint32_t k = 0; k < closings && rc == kCompileUnclosed; ++k) {
        tokens[infix.count++] = kTokenClose;
        rc = CompileExpression(&infix, ParentItems(), ParentCount(), nullptr, code, used, nullptr);
    }
    FreeMemory(tokens);
    return rc;
}

uint32_t GenerationSum(const ParentArray& parents) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < parents.count; ++i) sum += parents.items[i]->generation;
    return sum;
}

LayoutNode* HeadOnly() {
    LayoutNode* name = TextNode(gCalc.hasHeading ? gCalc.heading : "");
    return RowOf(name, ParsedItem(kItemFormHeads + gCalc.form));
}

LayoutNode* ValueLayout(const CompiledExpression& code, SketchObject* const* parents, uint32_t parentCount) {
    double value = 0;
    if (!EvaluateExpression(&code, parents, parentCount, &value)) return ParsedItem(kItemUndefined);
    const bool distance = code.distanceExponent != 0 && !code.unitsMismatch;
    const bool angle = code.angleExponent != 0 && !code.unitsMismatch;
    ValueTexts texts;
    FormatValueTexts(value, DefaultPrecision(distance, angle, false), kValueFormPlain, &texts);
    LayoutNode* number = TextNode(texts.mantissa);
    if (number && texts.scientific && texts.selector == kSelectPowerTen) {
        LayoutNode* power = CreateLayoutNode(kLayoutSuperscript, nullptr, 0);
        LayoutNode* ten = TextNode("10");
        LayoutNode* exponent = TextNode(texts.exponent);
        if (!power || !ten || !exponent) {
            for (LayoutNode* n : {power, ten, exponent, number})
                if (n) FreeLayoutNode(n);
            return nullptr;
        }
        AppendLayoutChild(power, ten);
        AppendLayoutChild(power, exponent);
        number = RowOf(RowOf(number, TextNode("\xb7")), power);
    }
    LayoutNode* row = RowOf(TextNode(" = "), number);
    if (row && (distance || angle) && !BuildUnitLayout(code.angleExponent, code.distanceExponent, false, row)) {
        FreeLayoutNode(row);
        return nullptr;
    }
    return row;
}

LayoutNode* IncompleteMark() {
    char text[16];
    GetGroupString(kGroupCalculator, kItemIncomplete, text, sizeof text);
    auto* style = static_cast<StyleNode*>(CreateLayoutNode(kLayoutStyle, nullptr, 0));
    LayoutNode* run = TextNode(text);
    if (!style || !run) {
        if (style) FreeLayoutNode(style);
        if (run) FreeLayoutNode(run);
        return nullptr;
    }
    style->style.field[kStyleWeight] = 2;
    style->style.field[kStyleRed] = kIncompleteRed + 1;
    style->style.field[kStyleGreen] = 1;
    style->style.field[kStyleBlue] = 1;
    AppendLayoutChild(style, run);
    return style;
}

// ---- Placing cells

int32_t CellWidth(const CalcCell& c) { return c.layout ? c.layout->width : 0; }

// The caret index for a point: the line from y, on it the first cell whose right edge
// lies beyond x (before it in its left half), past all cells the end.
uint32_t HitTest(ScreenPoint p) {
    const int32_t line = gCalc.firstLine + (p.y - gCalc.frame.top - kFrameInset) / gCalc.lineHeight;
    for (uint32_t i = 0; i < gCalc.count; ++i) {
        const CalcCell& c = gCalc.cells[i];
        if (c.line < line) continue;
        if (c.line > line) return i;
        const int32_t right = c.x + CellWidth(c);
        if (right <= p.x) continue;
        return p.x < c.x + CellWidth(c) / 2 ? i : i + 1;
    }
    return gCalc.count;
}

ScreenPoint CaretPoint() {
    ScreenPoint p{int16_t(gCalc.frame.left + kFrameInset), int16_t(gCalc.frame.top + kFrameInset)};
    if (gCalc.caret < gCalc.count) {
        p.x = gCalc.cells[gCalc.caret].x;
        p.y = gCalc.cells[gCalc.caret].y;
    } else if (gCalc.count) {
        const CalcCell& last = gCalc.cells[gCalc.count - 1];
        p.x = int16_t(last.x + CellWidth(last));
        p.y = last.y;
    }
    return p;
}

void LayOutCells(LayoutDrawState* port) {
    const int32_t height = gCalc.frame.bottom - gCalc.frame.top;
    int32_t x = gCalc.frame.left + kFrameInset, line = 0, lineHeight = kMinLineHeight, ascent = 0;
    bool firstOfLine = true;
    for (uint32_t i = 0; i < gCalc.count; ++i) {
        CalcCell& c = gCalc.cells[i];
        if (!c.layout) c.layout = TokenLayout(c.token, gCalc.form);
        if (c.layout && port) MeasureLayout(c.layout, port);
        const int32_t w = CellWidth(c);
        if (!firstOfLine && x + w >= gCalc.frame.right - kFrameInset) {
            ++line;
            x = gCalc.frame.left + kFrameInset;
        }
        c.x = int16_t(x);
        c.line = int16_t(line);
        x += w;
        firstOfLine = false;
        if (c.layout) {
            if (c.layout->ascent + c.layout->descent + 2 > lineHeight)
                lineHeight = c.layout->ascent + c.layout->descent + 2;
            if (c.layout->ascent > ascent) ascent = c.layout->ascent;
        }
    }
    if (height - 4 > kMinLineHeight && lineHeight > height - 4) lineHeight = height - 4;
    gCalc.lineHeight = lineHeight;
    gCalc.baseline = ascent + 1;
    gCalc.visibleLines = lineHeight > 0 ? (height - 4) / lineHeight : 1;
    if (gCalc.visibleLines < 1) gCalc.visibleLines = 1;
    int32_t caretLine = 0;
    if (gCalc.caret < gCalc.count) caretLine = gCalc.cells[gCalc.caret].line;
    else if (gCalc.count) caretLine = gCalc.cells[gCalc.count - 1].line;
    const int32_t lastLine = gCalc.count ? gCalc.cells[gCalc.count - 1].line : 0;
    if (caretLine < gCalc.firstLine) gCalc.firstLine = caretLine;
    if (caretLine >= gCalc.firstLine + gCalc.visibleLines) gCalc.firstLine = caretLine - gCalc.visibleLines + 1;
    if (gCalc.firstLine > lastLine - gCalc.visibleLines + 1) gCalc.firstLine = lastLine - gCalc.visibleLines + 1;
    if (gCalc.firstLine < 0) gCalc.firstLine = 0;
    for (uint32_t i = 0; i < gCalc.count; ++i) {
        CalcCell& c = gCalc.cells[i];
        c.y = int16_t(gCalc.frame.top + kFrameInset + (c.line - gCalc.firstLine) * gCalc.lineHeight);
    }
}

void Redraw(LayoutDrawState* port) {
    if (port) DrawCalcEditor(port, nullptr);
}

void MoveVertically(bool up) {
    if (gCalc.goalX < 0) gCalc.goalX = CaretPoint().x;
    ScreenPoint p = CaretPoint();
    p.x = int16_t(gCalc.goalX);
    const uint32_t from = gCalc.caret;
    const int32_t step = up ? -2 : 2;
    for (int32_t y = p.y + (up ? 0 : gCalc.lineHeight);; y += step) {
        if (y < gCalc.frame.top + kFrameInset || (!up && y >= gCalc.frame.top + kFrameInset +
                                                             (gCalc.count ? gCalc.cells[gCalc.count - 1].line -
                                                                                gCalc.firstLine + 1
                                                                          : 1) * gCalc.lineHeight)) {
            gCalc.caret = up ? 0 : gCalc.count;
            return;
        }
        p.y = int16_t(y);
        const uint32_t at = HitTest(p);
        if (at != from) {
            gCalc.caret = at;
            return;
        }
    }
}

bool IsNumberToken(ExpressionToken t) { return t <= 9 || t == kTokenDecimalPoint; }

void SelectNumberAtCaret() {
    uint32_t first = gCalc.caret, last = gCalc.caret;
    while (first > 0 && IsNumberToken(gCalc.cells[first - 1].token)) --first;
    while (last < gCalc.count && IsNumberToken(gCalc.cells[last].token)) ++last;
    if (first == last) return;
    if (first > 0) {
        const ExpressionToken minus = gCalc.cells[first - 1].token;
        if (minus == kTokenMinusOp || minus == kTokenNegate) {
            bool takes = first == 1;
            if (!takes) {
                const ExpressionToken before = gCalc.cells[first - 2].token;
                takes = TokenClass(before) == kClassOperator || IsNumberToken(before) || before == kTokenOpen;
            }
            if (takes) --first;
        }
    }
    gCalc.anchor = first;
    gCalc.caret = last;
}

}  // namespace

// ---- Lifetime

bool CalcEditorBegin(const InfixExpression* record, ParentArray* parents, const char* heading, CalcIdleFn idle) {
    CalcEditorEnd(nullptr);
    CalcEditorState s{};
    s.capacity = record->count + kCellGrowth;
    s.cells = static_cast<CalcCell*>(AllocMemory(s.capacity * sizeof(CalcCell), 0));
    if (!s.cells) return false;
    for (uint32_t i = 0; i < record->count; ++i) s.cells[i] = CalcCell{nullptr, record->tokens[i], 0, 0, 0};
    s.count = record->count;
    s.form = record->form;
    s.caret = s.anchor = s.count;
    s.parents = parents;
    s.hasHeading = heading != nullptr;
    if (heading) {
        std::snprintf(s.heading, sizeof s.heading, "%s", heading);
    }
    s.idle = idle;
    s.lineHeight = kMinLineHeight;
    s.frame = ScreenRect{0, 0, 200, 40};
    s.status = kStatusEmpty;
    s.goalX = -1;
    s.lastWasMove = true;
    s.displayChanged = true;
    s.active = true;
    gCalc = s;
    UpdateCalcKeyStates(true);
    return true;
}

bool CalcEditorActive() { return gCalc.active; }

void CalcEditorEnd(InfixExpression* record) {
    if (!gCalc.active) return;
    FreeCalcPopupMenu();
    if (record) {
        // Room for every cell and a ")" for each opening, whatever the caller prepared.
        uint32_t openings = 0;
        for (uint32_t i = 0; i < gCalc.count; ++i) openings += IsOpening(gCalc.cells[i].token) ? 1 : 0;
        const uint32_t room = gCalc.count + openings;
        auto* tokens = room ? static_cast<ExpressionToken*>(AllocMemory(room * sizeof(ExpressionToken), 0)) : nullptr;
        if (record->tokens) FreeMemory(record->tokens);
        record->tokens = tokens;
        record->count = 0;
        record->form = gCalc.form;
        if (tokens) {
            for (uint32_t i = 0; i < gCalc.count; ++i) tokens[i] = gCalc.cells[i].token;
            record->count = gCalc.count;
            while (record->count < room &&
                   CompileExpression(record, nullptr, 0, nullptr, nullptr, nullptr, nullptr) == kCompileUnclosed)
                tokens[record->count++] = kTokenClose;
        }
    }
    for (uint32_t i = 0; i < gCalc.count; ++i) FreeCellLayout(&gCalc.cells[i]);
    if (gCalc.cells) FreeMemory(gCalc.cells);
    FreeParentArray(&gCalc.displayParents);
    gCalc = CalcEditorState{};
}

// ---- Queries

bool CalcEditorIdle() {
    if (!gCalc.active) return false;
    if (!HasSelection() && DeadlinePassed(gCalc.blinkDeadline)) {
        gCalc.caretVisible = !gCalc.caretVisible;
        SetDeadline(&gCalc.blinkDeadline, kBlinkMs);
    }
    if (gCalc.form == kFormCalculation && gCalc.displayParents.count && DeadlinePassed(gCalc.checkDeadline)) {
        SetDeadline(&gCalc.checkDeadline, kCheckMs);
        const uint32_t sum = GenerationSum(gCalc.displayParents);
        if (sum != gCalc.generationSum) gCalc.displayChanged = true;
    }
    return gCalc.displayChanged;
}

bool CalcEditorCaretShown() { return gCalc.active && gCalc.caretVisible; }

void UpdateCalcKeyStates(bool force) {
    bool keys[kKeyGroupCount] = {};
    bool operands = false;
    bool noMemory = false;
    if (force && gCalc.active) {
        uint32_t errorPosition = 0;
        const int32_t status = CheckTokens(gCalc.count, nullptr, 0, &errorPosition, &noMemory);
        gCalc.status = status;
        gCalc.errorPosition = errorPosition;
        if (!noMemory) {
            keys[kKeyValid] = status == kCompileOK || status == kCompileUnclosed;
            keys[kKeyHasBefore] = gCalc.caret > 0;
            if ((status == kCompileUnmatchedClose || status == kCompileSyntax) && errorPosition < gCalc.caret) {
                for (int32_t g = kKeyDigits; g <= kKeyUnits; ++g) keys[g] = true;
            } else if (status == kCompileNoMemory) {
                keys[kKeyValid] = false;
            } else {
                keys[kKeyDigits] = ProbeAccepts(0, &noMemory);
                keys[kKeyDecimalPoint] = !noMemory && ProbeAccepts(kTokenDecimalPoint, &noMemory);
                keys[kKeyOperators] = !noMemory && ProbeAccepts(kTokenPlus, &noMemory);
                keys[kKeyMinus] = keys[kKeyOperators] || (!noMemory && ProbeAccepts(kTokenMinusOp, &noMemory));
                keys[kKeyOperands] = !noMemory && ProbeAccepts(kTokenPi, &noMemory);
                keys[kKeyClose] = !noMemory && ProbeAccepts(kTokenClose, &noMemory);
                keys[kKeyUnits] = !noMemory && ProbeAccepts(kUnitRadians, &noMemory);
                operands = keys[kKeyOperands];
            }
        }
        if (noMemory) {
            for (bool& k : keys) k = false;
            operands = false;
        }
    }
    for (int32_t g = 0; g < kKeyGroupCount; ++g)
        if (keys[g] != gCalc.keys[g]) gCalc.keysChanged = true;
    if (operands != gCalc.operands) gCalc.keysChanged = true;
    std::memcpy(gCalc.keys, keys, sizeof keys);
    gCalc.operands = operands;
}

bool GetCalcKeyStates(bool flags[kKeyGroupCount], bool* operands) {
    std::memcpy(flags, gCalc.keys, sizeof gCalc.keys);
    if (operands) *operands = gCalc.operands;
    const bool changed = gCalc.keysChanged;
    gCalc.keysChanged = false;
    return changed;
}

bool CalcEditorStatus(int32_t* status) {
    *status = gCalc.active ? gCalc.status : kStatusEmpty;
    return gCalc.displayChanged;
}

int32_t CalcEditorForm() { return gCalc.form; }

uint32_t CalcEditorTokens(ExpressionToken* out, uint32_t room) {
    for (uint32_t i = 0; i < gCalc.count && i < room; ++i) out[i] = gCalc.cells[i].token;
    return gCalc.count;
}

void CalcEditorSelection(uint32_t* caret, uint32_t* anchor) {
    *caret = gCalc.caret;
    *anchor = gCalc.anchor;
}

// ---- The live display

LayoutNode* BuildCalcDisplay() {
    if (!gCalc.active) return nullptr;
    gCalc.displayChanged = false;
    const bool function = IsFunctionForm(gCalc.form);
    if (gCalc.count == 0) return function ? HeadOnly() : nullptr;
    CompiledExpression code{};
    ParentArray used{};
    uint32_t n = gCalc.count;
    int32_t rc = CompileForDisplay(n, kMaxDisplayClosings, &code, &used);
    while (rc >= kCompileUnclosed && rc <= kCompileSyntax && n > 1) {
        --n;
        rc = CompileForDisplay(n, kMaxDisplayClosings, &code, &used);
    }
    LayoutNode* display = nullptr;
    if (rc == kCompileOK) {
        display = BuildExpressionLayout(gCalc.form, used.items, used.count, &code,
                                        gCalc.hasHeading ? gCalc.heading : nullptr, nullptr);
        if (display && !function && gCalc.status == kCompileOK && n == gCalc.count)
            display = RowOf(display, ValueLayout(code, used.items, used.count));
        FreeCompiledExpression(&code);
        FreeParentArray(&gCalc.displayParents);
        gCalc.displayParents = used;
        gCalc.generationSum = GenerationSum(used);
        SetDeadline(&gCalc.checkDeadline, kCheckMs);
    } else {
        FreeParentArray(&used);
        if (function) display = HeadOnly();
    }
    if (gCalc.status == kCompileUnmatchedClose || gCalc.status == kCompileIncomplete ||
        gCalc.status == kCompileSyntax) {
        LayoutNode* mark = IncompleteMark();
        display = display ? RowOf(display, mark) : mark;
    }
    return display;
}

// ---- Drawing, caret and mouse

void DrawCalcEditor(LayoutDrawState* port, const ScreenRect* frame) {
    if (!gCalc.active) return;
    if (frame) gCalc.frame = *frame;
    if (!port) {
        LayOutCells(nullptr);
        return;
    }
    PortBeginDraw(port);
    LayOutCells(port);
    PortEraseRect(port, &gCalc.frame);
    const int32_t lastVisible = gCalc.firstLine + gCalc.visibleLines;
    for (uint32_t i = 0; i < gCalc.count; ++i) {
        CalcCell& c = gCalc.cells[i];
        if (c.line < gCalc.firstLine || c.line >= lastVisible || !c.layout) continue;
        const ScreenRect box{c.x, c.y, int16_t(c.x + CellWidth(c)), int16_t(c.y + gCalc.lineHeight)};
        if (TokenClass(c.token) == kClassParentValue) {
            DrawLayoutOnSelection(port, c.layout, &box, false);
        } else {
            LayoutDrawState at = *port;
            at.x = c.x;
            at.y = int16_t(c.y + gCalc.baseline);
            DrawLayout(c.layout, &at);
        }
        if (i >= SelectionStart() && i < SelectionEnd()) PortInvertRect(port, &box);
    }
    if (!HasSelection() && gCalc.caretVisible) {
        const ScreenPoint p = CaretPoint();
        const ScreenRect caret{p.x, p.y, int16_t(p.x + 1), int16_t(p.y + gCalc.lineHeight)};
        PortInvertRect(port, &caret);
    }
    PortEndDraw(port);
}

void CalcEditorMoveCaret(int32_t command, bool extend, LayoutDrawState* port) {
    if (!gCalc.active) return;
    const bool vertical = command == kCaretUp || command == kCaretDown;
    if (!vertical) gCalc.goalX = -1;
    switch (command) {
    case kCaretLeft:
        if (HasSelection() && !extend) gCalc.caret = SelectionStart();
        else if (gCalc.caret > 0) --gCalc.caret;
        break;
    case kCaretRight:
        if (HasSelection() && !extend) gCalc.caret = SelectionEnd();
        else if (gCalc.caret < gCalc.count) ++gCalc.caret;
        break;
    case kCaretUp:
    case kCaretDown:
        MoveVertically(command == kCaretUp);
        break;
    case kCaretBackspace:
    case kCaretDelete:
        DeleteAtCaret(command == kCaretBackspace);
        extend = false;
        break;
    case kCaretSelectAll:
        gCalc.anchor = 0;
        gCalc.caret = gCalc.count;
        extend = true;
        break;
    case kCaretHome:
        gCalc.caret = 0;
        break;
    case kCaretEnd:
        gCalc.caret = gCalc.count;
        break;
    default:
        return;
    }
    if (!extend) gCalc.anchor = gCalc.caret;
    if (command != kCaretBackspace && command != kCaretDelete) NoteMove();
    gCalc.prefixLength = 0;
    UpdateCalcKeyStates(true);
    Redraw(port);
}

void CalcEditorInsertAndDraw(ExpressionToken token, LayoutDrawState* port) {
    if (!gCalc.active) return;
    if (!InsertCalcToken(token)) UpdateCalcKeyStates(false);
    Redraw(port);
}

void CalcEditorMouseDown(ScreenPoint point, bool extend, LayoutDrawState* port) {
    if (!gCalc.active) return;
    NoteMove();
    gCalc.goalX = -1;
    const bool second = gCalc.clickArmed && !DeadlinePassed(gCalc.clickDeadline) && !HasSelection() &&
                        std::abs(point.x - gCalc.clickPoint.x) <= kDoubleClickSlop &&
                        std::abs(point.y - gCalc.clickPoint.y) <= kDoubleClickSlop;
    gCalc.clickArmed = false;
    if (second) {
        SelectNumberAtCaret();
        UpdateCalcKeyStates(true);
        Redraw(port);
        return;
    }
    gCalc.caret = HitTest(point);
    if (!extend) gCalc.anchor = gCalc.caret;
    UpdateCalcKeyStates(true);
    Redraw(port);
    uint32_t dragDeadline;
    SetDeadline(&dragDeadline, kDragDelayMs);
    bool dragging = false;
    ScreenPoint at = point;
    while (CalcMouseStillDown(&at)) {
        if (!dragging && !DeadlinePassed(dragDeadline)) continue;
        dragging = true;
        const uint32_t caret = HitTest(at);
        if (caret != gCalc.caret) {
            gCalc.caret = caret;
            UpdateCalcKeyStates(true);
            Redraw(port);
        }
        if (gCalc.idle) gCalc.idle();
    }
    if (!dragging) {
        gCalc.clickArmed = true;
        gCalc.clickPoint = point;
        SetDeadline(&gCalc.clickDeadline, kDoubleClickMs);
    }
}

bool CalcEditorTypeLetter(char character, LayoutDrawState* port, bool* consumed) {
    *consumed = false;
    if (!gCalc.active) return false;
    const char c = char(std::tolower(static_cast<unsigned char>(character)));
    if (gCalc.prefixLength >= kPrefixRoom) gCalc.prefixLength = 0;
    gCalc.prefix[gCalc.prefixLength++] = c;
    gCalc.prefix[gCalc.prefixLength] = 0;
    char variables[8];
    GetGroupString(kGroupCalculator, kItemVariables, variables, sizeof variables);
    const bool variableLetter = IsFunctionForm(gCalc.form) && c == variables[gCalc.form];
    auto insert = [&](ExpressionToken t) {
        const bool done = InsertCalcToken(t);
        if (!done) UpdateCalcKeyStates(false);
        Redraw(port);
        return done;
    };
    if (gCalc.prefixLength == 1 && gCalc.keys[kKeyOperands] && variableLetter) return insert(kTokenVariable);

    // Names starting with the prefix, compared without case.
    uint32_t matches = 0;
    ExpressionToken match = 0;
    auto consider = [&](const char* name, ExpressionToken t) {
        for (uint32_t i = 0; i < gCalc.prefixLength; ++i)
            if (!name[i] || std::tolower(static_cast<unsigned char>(name[i])) != gCalc.prefix[i]) return;
        ++matches;
        match = t;
    };
    if (gCalc.keys[kKeyOperands]) {
        char name[32];
        for (uint16_t f = 0; f < kFunctionCount; ++f) {
            GetGroupString(kGroupCalculator, f, name, sizeof name);
            consider(name, kClassFunction | f);
        }
        for (uint32_t i = 0; i < ParentCount(); ++i) {
            SketchObject* p = ParentItems()[i];
            if (!KindIsA(p->objectKind, kKindFunction)) continue;
            char label[kLabelBufferSize];
            uint32_t length = 0;
            consider(GetObjectLabel(p, 0, label, &length), ExpressionToken(kClassFunctionCall | i));
        }
    }
    if (gCalc.keys[kKeyUnits]) {
        consider("cm", kUnitCm);
        consider("inches", kUnitInches);
        consider("radians", kUnitRadians);
        consider("degrees", kUnitDegrees);
    }
    if (matches == 1) return insert(match);
    if (matches > 1) {
        *consumed = true;
        return false;
    }

    // No name: the letter starts a new prefix, and may still be the variable or a key.
    gCalc.prefix[0] = c;
    gCalc.prefix[1] = 0;
    gCalc.prefixLength = 1;
    if (gCalc.keys[kKeyOperands] && variableLetter) return insert(kTokenVariable);
    int32_t index = 0;
    if (GroupStringIndexOf(c, kGroupCalculator, kItemKeys, &index)) {
        const ExpressionToken t = ExpressionToken(index);
        int32_t group = kKeyOperands;
        if (t <= 9) group = kKeyDigits;
        else if (t == kTokenDecimalPoint) group = kKeyDecimalPoint;
        else if (t == kTokenClose) group = kKeyClose;
        return gCalc.keys[group] ? insert(t) : false;
    }
    if (GroupStringIndexOf(c, kGroupCalculator, kItemOperators, &index)) {
        const ExpressionToken t = ExpressionToken(kClassOperator | index);
        const bool enabled = index == kOpSubtract ? gCalc.keys[kKeyMinus] : gCalc.keys[kKeyOperators];
        return enabled ? insert(t) : false;
    }
    return false;
}

// ---- Pop-up menus

namespace {

bool AddItem(PopupMenu* menu, int32_t which, uint16_t code, LayoutNode* layout, bool checked, uint32_t* counter) {
    if (!layout) return false;
    uint32_t id = 0;
    if (!AppendPopupItem(menu, kPopupCommand, nullptr, checked, true, counter, &id)) {
        FreeLayoutNode(layout);
        return false;
    }
    gPopup.push_back(PopupItem{id, which, code, layout});
    return true;
}

bool Separator(PopupMenu* menu, uint32_t* counter) {
    return AppendPopupItem(menu, kPopupSeparator, nullptr, false, false, counter, nullptr);
}

const PopupItem* FindItem(uint32_t key) {
    for (const PopupItem& item : gPopup)
        if (item.key == key) return &item;
    return nullptr;
}

}  // namespace

bool BuildCalcPopupMenu(PopupMenu* menu, int32_t which, uint32_t* counter) {
    if (!gCalc.active) return false;
    bool ok = true;
    bool groupShown = false;  // a separator goes before each group after the first
    auto startGroup = [&]() {
        if (groupShown) ok = ok && Separator(menu, counter);
        groupShown = true;
    };
    auto add = [&](uint16_t code, LayoutNode* layout, bool checked) {
        if (ok) ok = AddItem(menu, which, code, layout, checked, counter);
        else if (layout) FreeLayoutNode(layout);
    };
    switch (which) {
    case kCalcMenuValues: {
        if (IsFunctionForm(gCalc.form)) {
            startGroup();
            add(kTokenVariable, TokenLayout(kTokenVariable, gCalc.form), false);
        }
        bool first = true;
        for (uint32_t i = 0; i < ParentCount() && ok; ++i) {
            SketchObject* p = ParentItems()[i];
            if (!KindIsA(p->objectKind, kKindCalculation)) continue;
            if (first) startGroup();
            first = false;
            // A value without a title of its own shows its name.
            LayoutNode* title = BuildObjectTitleLayout(p);
            add(ExpressionToken(kClassParentValue | i), title ? title : NameLayout(p), false);
        }
        startGroup();
        char text[64];
        GetGroupString(kGroupCalculator, kItemNewParameter, text, sizeof text);
        add(kMenuAction, TextNode(text), false);
        startGroup();
        add(kTokenPi, TokenLayout(kTokenPi, gCalc.form), false);
        add(kTokenE, TokenLayout(kTokenE, gCalc.form), false);
        break;
    }
    case kCalcMenuFunctions: {
        bool first = true;
        for (uint32_t i = 0; i < ParentCount() && ok; ++i) {
            SketchObject* p = ParentItems()[i];
            if (!KindIsA(p->objectKind, kKindFunction)) continue;
            if (first) startGroup();
            first = false;
            add(ExpressionToken(kClassFunctionCall | i), NameLayout(p), false);
        }
        startGroup();
        for (uint16_t f = 0; f < kFunctionCount && ok; ++f) {
            add(kClassFunction | f, TokenLayout(kClassFunction | f, gCalc.form), false);
            if (f == kFnArctan) ok = ok && Separator(menu, counter);
        }
        break;
    }
    case kCalcMenuUnits:
        for (ExpressionToken t : {ExpressionToken(kTokenDistanceUnit), kUnitCm, kUnitInches}) add(t, TokenLayout(t, 0), false);
        ok = ok && Separator(menu, counter);
        for (ExpressionToken t : {kUnitRadians, kUnitDegrees}) add(t, TokenLayout(t, 0), false);
        break;
    case kCalcMenuForms:
        for (int32_t form = kFormYofX; form <= kFormThetaOfR && ok; ++form) {
            add(uint16_t(kMenuAction | form), ParsedItem(kItemFormNames + form), form == gCalc.form);
            if (form == kFormXofY) ok = ok && Separator(menu, counter);
        }
        break;
    default:
        return false;
    }
    return ok;
}

bool DoCalcMenuItem(uint32_t key) {
    const PopupItem* item = FindItem(key);
    if (!item || !gCalc.active) return false;
    if (item->menu == kCalcMenuForms) {
        const int32_t form = item->code & ~kMenuAction;
        if (form == gCalc.form) return false;
        gCalc.form = form;
        // The variable reads differently in the new form.
        for (uint32_t i = 0; i < gCalc.count; ++i)
            if (gCalc.cells[i].token == kTokenVariable) FreeCellLayout(&gCalc.cells[i]);
        gCalc.displayChanged = true;
        UpdateCalcKeyStates(true);
        return true;
    }
    ExpressionToken token = item->code;
    if (item->code == kMenuAction) {
        token = NewParameterForCalculator(gCalc.parents);
        if (!token) return false;
    }
    if (!InsertCalcToken(token)) {
        UpdateCalcKeyStates(false);
        return false;
    }
    return true;
}

SketchObject* CalcMenuItemObject(uint32_t key) {
    const PopupItem* item = FindItem(key);
    if (!item || item->code == kMenuAction || item->menu == kCalcMenuForms) return nullptr;
    const ExpressionToken cls = TokenClass(item->code);
    return cls == kClassParentValue || cls == kClassFunctionCall ? ParentAt(TokenIndex(item->code)) : nullptr;
}

LayoutNode* CalcMenuItemLayout(uint32_t key) {
    const PopupItem* item = FindItem(key);
    return item ? item->layout : nullptr;
}

void FreeCalcPopupMenu() {
    for (PopupItem& item : gPopup)
        if (item.layout) FreeLayoutNode(item.layout);
    gPopup.clear();
}
