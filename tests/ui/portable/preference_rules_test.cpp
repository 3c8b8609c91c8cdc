// The Preferences sheet's rules without windows: the field-to-control table, the Apply
// To pair, and the math symbol face the System page selects.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/rules/font_list.h"
#include "ui/portable/preference_rules.h"

TEST(PreferenceControls, EveryPageFieldAndNoMore) {
    struct Case { int32_t page; std::vector<int32_t> ids; };
    const Case cases[] = {
        { 0, { 1110, 1108, 1111, 1112, 1115 } }, { 1, { 1159, 1166, 1261 } }, { 2, { 1105, 1106, 1159 } },
        { 3, { 1159, 1279, 1280 } },             { 4, { 1256, 1257, 1258, 1259 } },
        // Field 5, the colour menu's block, has no control; field 6 is the later release's
        // anti-aliasing choice.
        { 5, { 1252, 1254, 1253, 1255, 1280, 0, 1281 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        for (size_t i = 0; i < c.ids.size(); ++i) EXPECT_EQ(PreferenceControlIdOf(c.page, int32_t(i)), c.ids[i]);
        // The colour buttons and the colour menu's block have no control of their own.
        for (int32_t i = int32_t(c.ids.size()); i < 12; ++i) EXPECT_EQ(PreferenceControlIdOf(c.page, i), 0);
    }
    EXPECT_EQ(PreferenceControlIdOf(6, 0), 0);
    EXPECT_EQ(PreferenceControlIdOf(-1, 0), 0);
    EXPECT_EQ(PreferenceControlIdOf(0, -1), 0);
}

TEST(PreferenceApplyTo, ModesChecksAndTheLastCheckedBox) {
    for (int32_t mode : { 0, 1, 2 }) {
        SCOPED_TRACE(mode);
        const ApplyToChecks checks = ApplyToChecksOf(mode);
        EXPECT_EQ(checks.thisSketch, mode != 1);
        EXPECT_EQ(checks.newSketches, mode != 0);
        EXPECT_EQ(ApplyModeOf(checks), mode);
    }
    // Neither box checked saves as new sketches only (the sheet never lets it stay so).
    EXPECT_EQ(ApplyModeOf({ false, false }), 1);

    struct Case { ApplyToChecks after; int32_t clicked; ApplyToChecks result; };
    const Case cases[] = {
        { { false, false }, kApplyThisSketchBox, { false, true } },   // unchecking This Sketch alone
        { { false, false }, kApplyNewSketchesBox, { true, false } },  // unchecking New Sketches alone
        { { true, false }, kApplyNewSketchesBox, { true, false } },
        { { false, true }, kApplyThisSketchBox, { false, true } },
        { { true, true }, kApplyThisSketchBox, { true, true } },
    };
    for (const Case& c : cases) {
        const ApplyToChecks r = ApplyToAfterClick(c.after, c.clicked);
        EXPECT_EQ(r.thisSketch, c.result.thisSketch);
        EXPECT_EQ(r.newSketches, c.result.newSketches);
    }
}

TEST(PreferenceMathFont, SymbolThenTheNamedFaceThenAnySymbolFaceThenTheFirst) {
    auto face = [](const char* name, uint8_t charset) {
        InstalledFont f{};
        CopyFaceName(f.faceName, name);
        f.charset = charset;
        return f;
    };
    struct Case { std::vector<InstalledFont> faces; const char* preferred; int32_t chosen; };
    const Case cases[] = {
        // "Symbol" with the symbol set wins over the face the preferences name.
        { { face("Arial", 0), face("Marlett", 2), face("Symbol", 2) }, "Marlett", 2 },
        { { face("Arial", 0), face("Marlett", 2), face("symbol", 2) }, "Arial", 2 },
        // A "Symbol" face that is not a symbol font does not count.
        { { face("Arial", 0), face("Marlett", 2), face("Symbol", 0) }, "Arial", 0 },
        { { face("Arial", 0), face("Marlett", 2), face("Symbol", 0) }, "wingbats", 1 },
        { { face("Arial", 0), face("Tahoma", 0) }, "", 0 },
        { { face("Arial", 0), face("Tahoma", 0) }, nullptr, 0 },
        { {}, "Symbol", -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preferred ? c.preferred : "(none)");
        EXPECT_EQ(PreselectMathFont(c.faces.data(), int32_t(c.faces.size()), c.preferred), c.chosen);
    }
}
