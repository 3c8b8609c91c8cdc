#include <gtest/gtest.h>

#include "ui/dialogs/transform_dialogs.h"

namespace {

const TranslateVisibilityRow* RowOf(int32_t id) {
    for (const TranslateVisibilityRow& row : TranslateVisibility)
        if (row.controlId == id) return &row;
    return nullptr;
}

struct ShapeCase {
    const char* what;
    uint8_t mode;
    uint8_t states;
    int32_t control;
    bool shown;
    bool enabled;
};

// States: fixed distance 1, marked 2; fixed angle 4, marked 8; fixed vertical 0x10, marked 0x20.
const ShapeCase kCases[] = {
    {"polar, fixed: the distance edit", 1, 0x15, 1019, true, true},
    {"polar, fixed: the Marked Distance radio stays shown, disabled", 1, 0x15, 1042, true, false},
    {"polar, marked distance: the edit hides", 1, 0x16, 1019, false, false},
    {"polar, marked distance: Fixed Distance stays enabled", 1, 0x16, 1041, true, true},
    {"polar, marked distance: its caption button", 1, 0x16, 1023, true, true},
    {"polar: the group reads By:", 1, 0x15, 1056, true, true},
    {"polar: no Horizontal: group", 1, 0x15, 1055, false, false},
    {"polar: no vertical edit", 1, 0x15, 1030, false, false},
    {"polar, fixed angle: the angle edit", 1, 0x15, 1032, true, true},
    {"polar, marked angle: the angle edit hides", 1, 0x19, 1032, false, false},
    {"rectangular: the Horizontal: group", 2, 0x15, 1055, true, true},
    {"rectangular: the vertical edit", 2, 0x15, 1030, true, true},
    {"rectangular: no angle edit", 2, 0x15, 1032, false, false},
    {"rectangular, marked vertical: Fixed Distance (vertical) stays enabled", 2, 0x25, 1043, true, true},
    {"rectangular, marked vertical: its caption button", 2, 0x25, 1031, true, true},
    {"marked vector: the tail", 4, 0x15, 1029, true, true},
    {"marked vector: no distance radio", 4, 0x15, 1041, false, false},
};

TEST(TranslateVisibility, EachRowByModeAndState) {
    for (const ShapeCase& c : kCases) {
        const TranslateVisibilityRow* row = RowOf(c.control);
        ASSERT_NE(row, nullptr) << c.what;
        const ControlShape shape = TranslateControlShape(*row, c.mode, c.states);
        EXPECT_EQ(shape.shown, c.shown) << c.what;
        EXPECT_EQ(shape.enabled, c.enabled) << c.what;
    }
}

}  // namespace
