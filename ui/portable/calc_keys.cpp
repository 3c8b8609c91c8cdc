#include "ui/portable/calc_keys.h"

namespace calc_keys {

KeypadStep KeypadStepFor(int32_t controlId, int32_t form) {
    if (controlId == kDeleteKey) return { KeypadAction::kMoveCaret, kBackspaceCaret };
    if (controlId == kVariableKey) {
        if (form == kCalculationForm) return { KeypadAction::kNone, 0 };
        return { KeypadAction::kInsert, kVariableToken };
    }
    if (controlId >= kFirstKey && controlId <= kCloseKey) return { KeypadAction::kInsert, controlId - kFirstKey };
    if (controlId >= kFirstOperatorKey && controlId <= kLastOperatorKey)
        return { KeypadAction::kInsert, kFirstOperatorToken + (controlId - kFirstOperatorKey) };
    return { KeypadAction::kNone, 0 };
}

int32_t ClampSplitterMove(int32_t dy, int32_t frameTop, int32_t frameBottom, int32_t areaTop, int32_t areaBottom) {
    const int32_t lowest = frameTop + kMinPaneHeight - frameBottom;   // the display keeps its minimum
    const int32_t highest = areaBottom - areaTop - kMinPaneHeight;    // the area keeps its minimum
    if (dy > highest) dy = highest;
    if (dy < lowest) dy = lowest;
    return dy;
}

MenuItemSize CalcMenuItemSize(int32_t checkWidth, int32_t layoutWidth, int32_t ascent, int32_t descent) {
    return { checkWidth + layoutWidth + 4, ascent + descent };
}

}  // namespace calc_keys
