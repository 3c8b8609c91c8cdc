#include "ui/portable/calc_keys.h"

#include <gtest/gtest.h>

using namespace calc_keys;

namespace {

TEST(CalcKeypad, EachButtonsStep) {
    struct Case { int32_t id; int32_t form; KeypadAction action; int32_t code; };
    const Case cases[] = {
        { 1080, 4, KeypadAction::kInsert, 0 },       { 1089, 4, KeypadAction::kInsert, 9 },
        { 1090, 4, KeypadAction::kInsert, 10 },      { 1091, 4, KeypadAction::kInsert, 11 },
        { 1092, 0, KeypadAction::kInsert, 12 },      { 1093, 4, KeypadAction::kInsert, 4096 },
        { 1094, 4, KeypadAction::kInsert, 4097 },    { 1097, 2, KeypadAction::kInsert, 4100 },
        { 1098, 4, KeypadAction::kMoveCaret, 6 },    { 1099, 0, KeypadAction::kInsert, 15 },
        { 1099, 3, KeypadAction::kInsert, 15 },      { 1099, 4, KeypadAction::kNone, 0 },
        { 1079, 4, KeypadAction::kNone, 0 },         { 1100, 0, KeypadAction::kNone, 0 },
    };
    for (const Case& c : cases) {
        const KeypadStep step = KeypadStepFor(c.id, c.form);
        EXPECT_EQ(step.action, c.action) << c.id << " form " << c.form;
        EXPECT_EQ(step.code, c.code) << c.id << " form " << c.form;
    }
}

TEST(CalcSplitter, BothPanesKeep36Pixels) {
    // Display frame 10..60 (50 high), expression area 70..130 (60 high).
    struct Case { int32_t dy, applied; };
    const Case cases[] = {
        { 0, 0 }, { -14, -14 }, { -15, -14 }, { -500, -14 }, { 24, 24 }, { 25, 24 }, { 500, 24 },
    };
    for (const Case& c : cases) EXPECT_EQ(ClampSplitterMove(c.dy, 10, 60, 70, 130), c.applied) << c.dy;
    // An area already lower than 36 (after a resize) takes the shortfall from the display.
    EXPECT_EQ(ClampSplitterMove(0, 10, 100, 110, 130), -16);
}

TEST(CalcMenuItems, CheckColumnLayoutAndFourPixels) {
    const MenuItemSize size = CalcMenuItemSize(13, 40, 11, 3);
    EXPECT_EQ(size.width, 57);
    EXPECT_EQ(size.height, 14);
}

}  // namespace
