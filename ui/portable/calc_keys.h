// The calculator dialog's rules that need no Windows call: what each keypad button asks
// of the editing model, how far the splitter between the display and the expression
// area may move, and the size of an owner-drawn pop-up item.
#pragma once
#include <cstdint>

namespace calc_keys {

constexpr int32_t kFirstKey = 1080;        // the "0" key; the digits run to 1089
constexpr int32_t kPointKey = 1090;
constexpr int32_t kCloseKey = 1092;
constexpr int32_t kFirstOperatorKey = 1093;  // "+", "-", "*", "/", "^" to 1097
constexpr int32_t kLastOperatorKey = 1097;
constexpr int32_t kDeleteKey = 1098;
constexpr int32_t kVariableKey = 1099;
constexpr int32_t kCalculationForm = 4;
constexpr int32_t kBackspaceCaret = 6;
constexpr uint16_t kVariableToken = 15;
constexpr uint16_t kFirstOperatorToken = 4096;

enum class KeypadAction { kNone, kMoveCaret, kInsert };
struct KeypadStep {
    KeypadAction action;
    int32_t code;   // the caret command or the token
};
// The step of a keypad button for the expression's form; kNone for anything else (and
// for the variable key of a plain calculation, which has no variable).
KeypadStep KeypadStepFor(int32_t controlId, int32_t form);

// The smallest height either side of the splitter keeps.
constexpr int32_t kMinPaneHeight = 36;
// The move of the splitter that keeps the display frame (frameTop..frameBottom) and
// the expression area (areaTop..areaBottom) at least kMinPaneHeight high; an area
// already lower than that (after a resize) moves the splitter up by the shortfall. When
// both cannot hold, the display keeps its height.
int32_t ClampSplitterMove(int32_t dy, int32_t frameTop, int32_t frameBottom, int32_t areaTop, int32_t areaBottom);

struct MenuItemSize {
    int32_t width;
    int32_t height;
};
// An owner-drawn item of the calculator's pop-up menus: the check-mark column, the
// layout and 4 pixels; as high as the layout.
MenuItemSize CalcMenuItemSize(int32_t checkWidth, int32_t layoutWidth, int32_t ascent, int32_t descent);
// Where an item's layout is drawn: its left edge and its baseline.
constexpr int32_t kMenuLayoutGap = 3;

}  // namespace calc_keys
