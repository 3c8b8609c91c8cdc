// The calculator's editing model: the expression as a row of token cells with a caret
// and a selection, the insertion and deletion rules with automatic parentheses, names
// typed by prefix, the key groups the dialog enables, the live display with the value,
// mouse selection and the four pop-up menus. There is one editor per process, valid
// between CalcEditorBegin and CalcEditorEnd; the modal calculator dialog drives it.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

// Only declarations: the platform's dialog includes this beside the system headers.
using ExpressionToken = uint16_t;
struct InfixExpression;
struct ParentArray;
struct SketchObject;
struct LayoutDrawState;
struct LayoutNode;
struct PopupMenu;

// One token of the edited expression; its layout is built when the cell is first drawn.
struct CalcCell {
    LayoutNode* layout;
    ExpressionToken token;
    int16_t line;
    int16_t x;
    int16_t y;  // top of the cell's line in the frame
};

// Run while the mouse is tracked inside the calculator (the sketch keeps moving).
using CalcIdleFn = void (*)();

// Key groups: what may be inserted when the flag is set.
enum CalcKeyGroup : int32_t {
    kKeyDigits = 0,
    kKeyDecimalPoint = 1,
    kKeyOperators = 2,
    kKeyMinus = 3,
    kKeyClose = 4,
    kKeyOperands = 5,  // "(", pi, e, functions, values and calls
    kKeyUnits = 6,
    kKeyHasBefore = 7,  // something before the caret (delete)
    kKeyValid = 8,      // the expression is valid so far (OK)
    kKeyGroupCount = 9,
};

// Caret commands.
enum CalcCaretCommand : int32_t {
    kCaretLeft = 2,
    kCaretRight = 3,
    kCaretUp = 4,
    kCaretDown = 5,
    kCaretBackspace = 6,
    kCaretDelete = 7,
    kCaretSelectAll = 9,
    kCaretHome = 10,
    kCaretEnd = 11,
};

// Pop-up menus.
enum CalcMenu : int32_t { kCalcMenuValues = 0, kCalcMenuFunctions = 1, kCalcMenuUnits = 2, kCalcMenuForms = 3 };

// Starts editing a copy of the record's tokens; `parents` (what value and call tokens
// index) stays the caller's and may grow while the editor runs (picking, New Parameter).
// `heading` is the name shown before a function's "(x) = " (null for none). False when
// memory runs out.
bool CalcEditorBegin(const InfixExpression* record, ParentArray* parents, const char* heading, CalcIdleFn idle);
// Ends editing. With a record (OK) its tokens are replaced by the cells' tokens, open
// parentheses closed, and its form set; when memory runs out the record is left empty.
void CalcEditorEnd(InfixExpression* record);
bool CalcEditorActive();

// Blinks the caret and notices changed parent values; the display-changed flag.
bool CalcEditorIdle();
// Whether the blinking caret is in its shown phase (the dialog redraws when it flips).
bool CalcEditorCaretShown();
void DrawCalcEditor(LayoutDrawState* port, const ScreenRect* frame);
void UpdateCalcKeyStates(bool force);
// The nine flags and whether values may be picked; whether they changed since the last
// call.
bool GetCalcKeyStates(bool flags[kKeyGroupCount], bool* operands);
// The compile status of the whole expression; the display-changed flag.
bool CalcEditorStatus(int32_t* status);
int32_t CalcEditorForm();
// The live display: the longest valid prefix, closed, with the value of a whole valid
// calculation, or " ...?" for an incomplete one. Null for an empty calculation or when
// memory runs out. The caller frees it.
LayoutNode* BuildCalcDisplay();

void CalcEditorMouseDown(ScreenPoint point, bool extend, LayoutDrawState* port);
void CalcEditorMoveCaret(int32_t command, bool extend, LayoutDrawState* port);
void CalcEditorInsertAndDraw(ExpressionToken token, LayoutDrawState* port);
// Whether a token was inserted; *consumed when the letter waits in the name prefix.
bool CalcEditorTypeLetter(char character, LayoutDrawState* port, bool* consumed);

// The cells as they stand, and the caret (the moving end) and anchor of the selection.
uint32_t CalcEditorTokens(ExpressionToken* out, uint32_t room);
void CalcEditorSelection(uint32_t* caret, uint32_t* anchor);

bool BuildCalcPopupMenu(PopupMenu* menu, int32_t which, uint32_t* counter);
// Whether something changed.
bool DoCalcMenuItem(uint32_t key);
SketchObject* CalcMenuItemObject(uint32_t key);
LayoutNode* CalcMenuItemLayout(uint32_t key);
void FreeCalcPopupMenu();
