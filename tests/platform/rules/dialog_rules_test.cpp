#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/rules/dialog_rules.h"

namespace {

TEST(DialogPlacement, CentredAndOneThirdDownTheMainWindow) {
    struct Case { DialogRect dialog, main; DialogCorner corner; };
    const Case cases[] = {
        { { 0, 0, 200, 100 }, { 0, 0, 800, 600 }, { 300, 166 } },
        { { 50, 50, 250, 150 }, { 100, 40, 900, 640 }, { 400, 193 } },
        // Truncating toward zero, as stored positions always were.
        { { 0, 0, 301, 100 }, { -300, -200, 0, 0 }, { -300, -100 } },
        { { 0, 0, 1000, 900 }, { 0, 0, 800, 600 }, { -100, -100 } },
    };
    for (const Case& c : cases) {
        const DialogCorner got = FirstDialogCorner(c.dialog, c.main);
        EXPECT_EQ(got, c.corner) << got.x << "," << got.y;
    }
}

TEST(DialogPlacement, KeptOnTheDesktopLeftAndTopWinning) {
    const DialogRect desktop{ 0, 0, 1024, 768 };
    struct Case { DialogCorner in; int32_t w, h; DialogCorner out; };
    const Case cases[] = {
        { { 100, 100 }, 200, 100, { 100, 100 } },
        { { -30, 700 }, 200, 100, { 0, 668 } },      // off the left and the bottom
        { { 900, -5 }, 200, 100, { 824, 0 } },       // off the right and the top
        { { 900, 900 }, 2000, 1000, { 0, 0 } },      // larger than the desktop
        { { 824, 668 }, 200, 100, { 824, 668 } },    // touching the edges exactly
    };
    for (const Case& c : cases) {
        const DialogCorner got = KeepCornerOnDesktop(c.in, c.w, c.h, desktop);
        EXPECT_EQ(got, c.out) << c.in.x << "," << c.in.y << " -> " << got.x << "," << got.y;
    }
}

TEST(DialogPlacement, RememberedPositionIsEmptyUntilSaved) {
    RememberedPosition position{};
    DialogCorner corner{ 7, 8 };
    EXPECT_FALSE(ExchangePosition(&position, false, &corner));
    corner = { 40, -20 };
    EXPECT_TRUE(ExchangePosition(&position, true, &corner));
    DialogCorner back{};
    EXPECT_TRUE(ExchangePosition(&position, false, &back));
    EXPECT_EQ(back, (DialogCorner{ 40, -20 }));
}

// A list of group A with a minimum height above a list of group B, and an OK button
// following the bottom-right corner. Group A's row comes last: the group met last takes
// the change, the other what is left.
struct AnchorFixture {
    ControlAnchor rows[4] = {
        { 100, kAnchorStretchX | kAnchorStretchY | kAnchorGroupB, 0 },
        { 101, kAnchorStretchX | kAnchorStretchY | kAnchorGroupA, 100 },
        { 1, kAnchorMoveX | kAnchorMoveY, 0 },
        { 0, 0, 0 },
    };
    DialogRect rects[3] = { { 10, 160, 290, 300 }, { 10, 10, 290, 150 }, { 230, 270, 290, 290 } };
    bool exists[3] = { true, true, true };
    int32_t width = 300, height = 300;

    void Resize(int32_t w, int32_t h) { LayoutAnchoredRects(rows, 4, rects, exists, &width, &height, w, h); }
};

TEST(DialogAnchors, GroupAShrinksToItsMinimumThenGroupBGivesTheRest) {
    AnchorFixture f;   // list A is 140 high, its minimum 100
    f.Resize(300, 280);
    EXPECT_EQ(f.rects[1].Height(), 120);   // A takes the whole change
    EXPECT_EQ(f.rects[0].Height(), 140);
    f.Resize(300, 230);
    EXPECT_EQ(f.rects[1].Height(), 100);   // down to its minimum
    EXPECT_EQ(f.rects[0].Height(), 110);   // B gives the other 30
    EXPECT_EQ(f.rects[0].top, f.rects[1].bottom + 10);
    EXPECT_EQ(f.rects[2], (DialogRect{ 230, 200, 290, 220 }));
    EXPECT_EQ(f.height, 230);
    f.Resize(320, 330);                    // growing: A takes it all back
    EXPECT_EQ(f.rects[1].Height(), 200);
    EXPECT_EQ(f.rects[0].Height(), 110);
    EXPECT_EQ(f.rects[0].right, 310);
    EXPECT_EQ(f.rects[2], (DialogRect{ 250, 300, 310, 320 }));
}

TEST(DialogAnchors, MissingControlsAndCentredOnes) {
    const ControlAnchor rows[] = {
        { 5, kAnchorCentreX | kAnchorCentreY, 0 },
        { 6, kAnchorStretchY, 0 },
        { 0, 0, 0 },
    };
    DialogRect rects[2] = { { 40, 40, 60, 50 }, { 0, 0, 10, 10 } };
    const bool exists[2] = { true, false };
    int32_t w = 101, h = 100;
    // +5 to an even width: the half pixel is added, and taken back on the way down, so
    // a centred control does not creep over many resizes.
    LayoutAnchoredRects(rows, 3, rects, exists, &w, &h, 106, 110);
    EXPECT_EQ(rects[0], (DialogRect{ 43, 45, 63, 55 }));
    EXPECT_EQ(rects[1], (DialogRect{ 0, 0, 10, 10 }));   // not there: left alone
    LayoutAnchoredRects(rows, 3, rects, exists, &w, &h, 101, 105);
    EXPECT_EQ(rects[0].left, 40);
    EXPECT_EQ(rects[0].top, 42);
}

TEST(DialogAnchors, SizeGripIsTheScrollBarSquareStrictlyInside) {
    const DialogRect grip = SizeGripRect({ 0, 0, 200, 100 }, 16);
    EXPECT_EQ(grip, (DialogRect{ 182, 82, 200, 100 }));
    EXPECT_FALSE(PointOnSizeGrip(grip, 182, 90));
    EXPECT_FALSE(PointOnSizeGrip(grip, 190, 82));
    EXPECT_TRUE(PointOnSizeGrip(grip, 183, 83));
}

TEST(IntegerField, ReadingsByText) {
    struct Case { const char* text; IntegerEntry entry; int32_t value; };
    const Case cases[] = {
        { "", IntegerEntry::kEmpty, 7 },          { "   ", IntegerEntry::kEmpty, 7 },
        { "37", IntegerEntry::kAccepted, 37 },    { " 12 ", IntegerEntry::kAccepted, 12 },
        { "10", IntegerEntry::kAccepted, 10 },    { "50", IntegerEntry::kAccepted, 50 },
        { "3.7", IntegerEntry::kNotNumber, 7 },   { "abc", IntegerEntry::kNotNumber, 7 },
        { "-5", IntegerEntry::kNotNumber, 7 },    { "1 2", IntegerEntry::kNotNumber, 7 },
        { "9", IntegerEntry::kOutOfRange, 10 },   { "51", IntegerEntry::kOutOfRange, 50 },
        // Past 32 bits: above the bound, not wrapped round to a small number.
        { "4294967306", IntegerEntry::kOutOfRange, 50 },
        { "99999999999999999999999", IntegerEntry::kOutOfRange, 50 },
    };
    for (const Case& c : cases) {
        const IntegerReading r = ReadIntegerField(c.text, 10, 50, 7);
        EXPECT_EQ(r.entry, c.entry) << '"' << c.text << '"';
        EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(ReadIntegerField("2147483647", 0, INT32_MAX, 0).value, INT32_MAX);
}

TEST(NumberField, TypedCharactersAreFiltered) {
    char allowed[32];
    DefaultNumberFieldCharacters(',', false, allowed, sizeof allowed);
    EXPECT_STREQ(allowed, ",01234567890.+-*/^()p");
    DefaultNumberFieldCharacters('.', true, allowed, sizeof allowed);
    EXPECT_EQ(std::string(allowed).find('^'), std::string::npos);
    EXPECT_NE(std::string(allowed).find(kSymbolCaret), std::string::npos);

    struct Case { const char* in; const char* allowed; const char* out; bool removed; };
    const Case cases[] = {
        { "3.7", "0123456789", "37", true },
        { "2*pi", ".01234567890.+-*/^()p", "2*p", true },
        { "(1+2)/3", ".01234567890.+-*/^()p", "(1+2)/3", false },
        { "", "0123456789", "", false },
    };
    for (const Case& c : cases) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", c.in);
        EXPECT_EQ(FilterTypedCharacters(text, c.allowed), c.removed) << c.in;
        EXPECT_STREQ(text, c.out);
    }
    EXPECT_EQ(NumberFieldTypedCharacter('.', ',', false), ',');
    EXPECT_EQ(NumberFieldTypedCharacter('^', '.', true), kSymbolCaret);
    EXPECT_EQ(NumberFieldTypedCharacter('^', '.', false), '^');
}

TEST(NumberField, EnterStaysOnlyAfterAnExpressionBecameItsValue) {
    struct Case { const char* typed; const char* shown; char sep; bool stays; };
    const Case cases[] = {
        { "2*p", "2p", '.', true },    { "1-2", "-1", '.', true },   { "(3)", "3", '.', true },
        { "3.50", "3.5", '.', false }, { "-2", "-2.0", '.', false }, { "p", "p", '.', false },
        { "3,50", "3,5", ',', false }, { "3.50", "3,5", ',', true },  { "2*p", "2*p", '.', false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnterStaysInField(c.typed, c.shown, c.sep), c.stays) << c.typed << " -> " << c.shown;
}

TEST(NumberField, ValueTextOfIntegerAndRealFields) {
    char text[64];
    NumberFieldValueText(2.5, false, '.', text, sizeof text);
    EXPECT_STREQ(text, "2");
    NumberFieldValueText(0.25, false, '.', text, sizeof text);
    EXPECT_STREQ(text, "0");
    NumberFieldValueText(2.5, true, '.', text, sizeof text);
    EXPECT_STREQ(text, "2.5");
    // Pi shows as the "p" the field accepts, so the text reads back unchanged.
    NumberFieldValueText(2 * 3.14159265358979, true, '.', text, sizeof text);
    char filtered[64];
    std::snprintf(filtered, sizeof filtered, "%s", text);
    EXPECT_FALSE(FilterTypedCharacters(filtered, ".01234567890.+-*/^()p")) << text;
}

// Template 171 at 1.5 pixels per dialog unit across, 1.625 down.
AlertGeometry Template171() {
    AlertGeometry g{};
    g.window = { 100, 100, 100 + 345, 100 + 100 };
    g.message = { 10, 11, 328, 27 };
    g.ok = g.yes = { 276, 42, 328, 65 };
    g.cancel = g.no = { 142, 42, 195, 65 };
    g.help = { 10, 42, 63, 65 };
    return g;
}

TEST(AlertDialog, FitsItsMessage) {
    const AlertGeometry t = Template171();
    // One word: narrower, no taller; Help keeps its left position.
    AlertGeometry g = FitAlertToMessage(t, 40, 16);
    EXPECT_EQ(g.window.Width(), t.window.Width() - 278);
    EXPECT_EQ(g.window.Height(), t.window.Height());
    EXPECT_EQ(g.ok.left, t.ok.left - 278);
    EXPECT_EQ(g.cancel.left, t.cancel.left - 139);
    EXPECT_EQ(g.help, t.help);
    // Three lines as wide as the field: taller, every button lower.
    g = FitAlertToMessage(t, 318, 48);
    EXPECT_EQ(g.window.Height(), t.window.Height() + 32);
    EXPECT_EQ(g.window.Width(), t.window.Width());
    EXPECT_EQ(g.ok.top, t.ok.top + 32);
    EXPECT_EQ(g.help.top, t.help.top + 32);
    EXPECT_EQ(g.message.bottom, t.message.bottom + 32);
    // A full single line keeps the template's size.
    g = FitAlertToMessage(t, 318, 16);
    EXPECT_EQ(g.window, t.window);
}

TEST(AlertDialog, ButtonsShownByFlags) {
    AlertGeometry g = Template171();
    AlertButtonsShown s = AlertButtons(&g, kAlertCancel, 0);
    EXPECT_TRUE(s.cancel);
    EXPECT_FALSE(s.ok || s.yes || s.no || s.help);
    EXPECT_EQ(g.cancel, Template171().ok);   // a lone Cancel stands where OK would

    g = Template171();
    s = AlertButtons(&g, kAlertOk | kAlertCancel, 12);
    EXPECT_TRUE(s.ok && s.cancel && s.help);
    EXPECT_EQ(g.cancel, Template171().cancel);

    s = AlertButtons(&g, kAlertYes | kAlertNo, 0);
    EXPECT_TRUE(s.yes && s.no);
    EXPECT_FALSE(s.ok || s.cancel || s.help);
}

}  // namespace
