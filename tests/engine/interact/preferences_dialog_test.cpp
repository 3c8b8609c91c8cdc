// The Preferences sheet's model with scripted sheets: where OK sends the edited
// settings, what each page loads and stores, the System page's units, the reset, the
// deferred opening and memory failing while the pages are made.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/color_list.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/later_release.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/units.h"
#include "engine/interact/preferences.h"
#include "engine/interact/preferences_dialog.h"
#include "tests/support/alerts_double.h"
#include "tests/support/colors_double.h"
#include "tests/support/dialogs_double.h"
#include "tests/support/scoped_preferences.h"

namespace {

PreferencePageSet& Set(void* record) { return *static_cast<PreferencePageSet*>(record); }
DialogField* Page(void* record, int32_t page) { return Set(record).pages[page]; }

// What a page does when the sheet saves it: its Apply To pair sets the mode.
auto SaveApplyTo(bool thisSketch, bool newSketches) {
    return [=](void*) {
        PreferencesApplyMode() = thisSketch && newSketches ? kApplyBoth : thisSketch ? kApplyThisSketch : kApplyNewSketches;
    };
}

class PreferencesDialogTest : public SketchTest {
protected:
    ScopedPreferences scoped;
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
        ResetAlertDoubles();
        SetCustomColors(NewDefaultCustomColors());
        PreferencesLastPage() = 0;
        sketch->settings = ThePreferences().sketchSettings;
        sketch->settings.distanceUnit = kDistanceCentimetres;
    }
    void TearDown() override {
        ResetDialogDoubles();
        ResetAlertDoubles();
        SketchTest::TearDown();
    }
    std::vector<int32_t> AlertCodes() const {
        std::vector<int32_t> codes;
        for (const ShownAlert& a : ShownAlerts()) codes.push_back(a.code);
        return codes;
    }
    // Runs the command over one scripted sheet.
    void Run(int32_t argument, std::vector<std::function<void(void*)>> edits, bool ok = true) {
        ScriptDialogs({ { std::move(edits), ok } });
        EXPECT_EQ(PreferencesCommand(argument), kResultOK);
    }
};

TEST_F(PreferencesDialogTest, ApplyToDecidesWhereTheUnitsGo) {
    struct Case { bool thisSketch, newSketches, ok; int32_t sketchUnit, newUnit; };
    const Case cases[] = {
        { true, false, true, kDistanceInches, kDistanceCentimetres },
        { false, true, true, kDistanceCentimetres, kDistanceInches },
        { true, true, true, kDistanceInches, kDistanceInches },
        { true, true, false, kDistanceCentimetres, kDistanceCentimetres },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.thisSketch) + std::to_string(c.newSketches) + std::to_string(c.ok));
        sketch->settings.distanceUnit = kDistanceCentimetres;
        ThePreferences().sketchSettings.distanceUnit = kDistanceCentimetres;
        Run(0, { [](void* r) { Page(r, kPrefPageUnits)[0].value.integer = kDistanceInches; },
                 SaveApplyTo(c.thisSketch, c.newSketches) }, c.ok);
        EXPECT_EQ(sketch->settings.distanceUnit, c.sketchUnit);
        EXPECT_EQ(ThePreferences().sketchSettings.distanceUnit, c.newUnit);
    }
    ASSERT_EQ(RanDialogs().size(), 4u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogPreferences);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 20);
}

TEST_F(PreferencesDialogTest, AdvancedRunForThisSketchKeepsTheDefaultsHead) {
    const int32_t unitBefore = ThePreferences().sketchSettings.distanceUnit;
    Run(1, { [](void* r) {
        Page(r, kPrefPageUnits)[0].value.integer = kDistancePixels;
        Page(r, kPrefPageSampling)[3].value.integer = 777;
        Page(r, kPrefPageExport)[1].value.integer = 2;
    } });
    EXPECT_EQ(sketch->settings.distanceUnit, kDistancePixels);
    EXPECT_EQ(ThePreferences().sketchSettings.distanceUnit, unitBefore);
    EXPECT_EQ(ThePreferences().iterationSamples, 777);
    EXPECT_EQ(ThePreferences().exportQuality, 10);
}

TEST_F(PreferencesDialogTest, PagesShownAndStartPageByArgumentAndLastPage) {
    struct Case { int32_t argument, lastPage, start; };
    const Case cases[] = {
        { 0, 1, 1 }, { 0, 5, 0 }, { 1, 1, 3 }, { 1, 4, 4 }, { 2, 0, 5 }, { 2, 3, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.argument) + " after " + std::to_string(c.lastPage));
        PreferencesLastPage() = c.lastPage;
        int32_t start = -1, shown = 0, hidden = 0;
        Run(c.argument, { [&](void* r) {
            start = Set(r).startPage;
            for (int32_t p = 0; p < kPreferencePageCount; ++p) {
                const DialogField* page = Set(r).pages[p];
                shown += page != nullptr;
                // The sheet hides and greys the control of a field without these bits.
                for (int32_t i = 0; page && i < PreferencePageFieldCount(p); ++i)
                    hidden += page[i].state != (kFieldEnabled | kFieldVisible);
            }
        } }, false);
        EXPECT_EQ(hidden, 0);
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(shown, c.argument == 0 ? 3 : 6);
        EXPECT_EQ(PreferencesLastPage(), c.start);  // the page the sheet closed on
    }
}

TEST_F(PreferencesDialogTest, FadeCheckAndSlider) {
    struct Case { int32_t fade; bool loadChecked; int32_t loadSlider; bool check; int32_t slider; int32_t stored; };
    const Case cases[] = {
        { 0, false, 9, true, 9, 7 },     // never faded: the slider's middle
        { 12, true, 4, false, 4, -12 },  // switched off keeps the speed, negated
        { -5, false, 11, true, 11, 5 },  // switched on again at the kept speed
        { -5, false, 11, false, 2, -5 },
        { 3, true, 13, true, 15, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fade);
        sketch->settings.traceFade = c.fade;
        bool checked = false;
        int32_t slider = -1;
        Run(0, { [&](void* r) {
            DialogField* color = Page(r, kPrefPageColor);
            checked = color[0].value.integer != 0;
            slider = color[1].value.integer;
            color[0].value.integer = c.check;
            color[1].value.integer = c.slider;
        }, SaveApplyTo(true, true) });
        EXPECT_EQ(checked, c.loadChecked);
        EXPECT_EQ(slider, c.loadSlider);
        EXPECT_EQ(sketch->settings.traceFade, c.stored);
        EXPECT_EQ(ThePreferences().sketchSettings.traceFade, c.stored);
    }
}

TEST_F(PreferencesDialogTest, PaletteTextAndExportFieldsRoundTrip) {
    sketch->settings.captionTextPalette = 5;  // only 1 shows as checked
    ThePreferences().exportQuality = 7;       // not in the list: the first entry
    ThePreferences().clipboardScale = 4;
    int32_t quality = -1, scale = -1, palette = -1, colorSix = 0;
    Run(1, { [&](void* r) {
        quality = Page(r, kPrefPageExport)[1].value.integer;
        scale = Page(r, kPrefPageExport)[2].value.integer;
        palette = Page(r, kPrefPageText)[2].value.integer;
        colorSix = Page(r, kPrefPageColor)[3 + 6].value.integer;
        Page(r, kPrefPageColor)[3 + 8].value.integer = 0x123456;
        Page(r, kPrefPageExport)[2].value.integer = 9;  // past the end: the last entry
    }, SaveApplyTo(true, true) });
    EXPECT_EQ(quality, 0);
    EXPECT_EQ(scale, 2);
    EXPECT_EQ(palette, 0);
    EXPECT_EQ(uint32_t(colorSix), sketch->settings.palette[6]);
    EXPECT_EQ(sketch->settings.palette[8], 0x123456u);
    EXPECT_EQ(sketch->settings.captionTextPalette, 0);
    EXPECT_EQ(ThePreferences().exportQuality, 1);
    EXPECT_EQ(ThePreferences().clipboardScale, 8);
}

TEST_F(PreferencesDialogTest, SamplingBoundsFollowTheEditedMaximum) {
    int32_t upper = 0;
    Run(1, { [&](void* r) {
        EXPECT_EQ(Page(r, kPrefPageSampling)[0].upper, ThePreferences().maxSamples);
        EXPECT_EQ(Page(r, kPrefPageSampling)[0].lower, 10);
        Page(r, kPrefPageSampling)[2].value.integer = 40000;
    }, [&](void* r) { upper = Page(r, kPrefPageSampling)[1].upper; } });
    EXPECT_EQ(upper, 40000);
    EXPECT_EQ(ThePreferences().maxSamples, 40000);
}

TEST_F(PreferencesDialogTest, SystemPageFollowsAUnitChange) {
    scoped.SetResolution(96);
    ThePreferences().savedResolution = 96;
    ThePreferences().speedUnit = 1.0;
    double resolution = 0, speed = 0, speedBefore = 0;
    std::string label, speedLabel;
    Run(2, { [&](void* r) {
        DialogField* system = Page(r, kPrefPageSystem);
        EXPECT_STREQ(system[1].value.text, "cm/sec");
        EXPECT_STREQ(system[3].value.text, "pix/cm");
        speedBefore = system[0].value.real;
        system[2].value.real = 40;
        Page(r, kPrefPageUnits)[0].value.integer = kDistanceInches;
    }, [&](void* r) {
        DialogField* system = Page(r, kPrefPageSystem);
        resolution = system[2].value.real;
        speed = system[0].value.real;
        label = system[3].value.text;
        speedLabel = system[1].value.text;
    } }, false);
    EXPECT_NEAR(speedBefore, 187.5 / (96 / 2.54), 1e-9);
    EXPECT_NEAR(resolution, 101.6, 1e-9);
    EXPECT_NEAR(speed, 187.5 / 96, 1e-9);
    EXPECT_EQ(label, "pix/inch");
    EXPECT_EQ(speedLabel, "inches/sec");
    // Pixels count as inches: no change to the resolution.
    Run(2, { [&](void* r) {
        Page(r, kPrefPageUnits)[0].value.integer = kDistanceInches;
    }, [&](void* r) {
        resolution = Page(r, kPrefPageSystem)[2].value.real;
        Page(r, kPrefPageUnits)[0].value.integer = kDistancePixels;
    }, [&](void* r) { EXPECT_EQ(Page(r, kPrefPageSystem)[2].value.real, resolution); } }, false);
    EXPECT_NEAR(resolution, 96, 1e-9);
}

TEST_F(PreferencesDialogTest, ResolutionAndSpeedStores) {
    struct Case { double typed; int32_t saved; bool alert; };
    const Case cases[] = {
        { 96.0 / 2.54, 96, false },          // unchanged
        { 96.9 / 2.54, 96, false },          // within 1
        { 40, 102, true },                   // 101.6 pix/inch
        { 0, 96, false }, { -40, 96, false },  // not a resolution: kept
        { NAN, 96, false }, { 1e9, 96, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        scoped.SetResolution(96);
        ThePreferences().savedResolution = 96;
        ResetAlertDoubles();
        Run(2, { [&](void* r) { Page(r, kPrefPageSystem)[2].value.real = c.typed; } });
        EXPECT_EQ(ThePreferences().savedResolution, c.saved);
        EXPECT_EQ(AlertCodes(), c.alert ? std::vector<int32_t>{ 137 } : std::vector<int32_t>{});
    }
    for (double speed : { 0.0, -3.0, double(NAN), double(INFINITY) }) {
        SCOPED_TRACE(speed);
        ThePreferences().speedUnit = 0.6;
        Run(2, { [&](void* r) { Page(r, kPrefPageSystem)[0].value.real = speed; } });
        EXPECT_EQ(ThePreferences().speedUnit, 0.6);
    }
    sketch->settings.distanceUnit = kDistancePixels;
    Run(2, { [&](void* r) { Page(r, kPrefPageSystem)[0].value.real = 375; } });
    EXPECT_DOUBLE_EQ(ThePreferences().speedUnit, 2.0);
}

TEST_F(PreferencesDialogTest, SymbolFontChangeAlertsAndIsCut) {
    std::strcpy(ThePreferences().mathSymbolFont, "Alpha");
    Run(2, { [](void* r) { std::strcpy(Page(r, kPrefPageSystem)[4].value.text, "Alpha"); } });
    EXPECT_TRUE(AlertCodes().empty());
    const std::string longName(300, 'f');
    Run(2, { [&](void* r) {
        DialogField& font = Page(r, kPrefPageSystem)[4];
        EXPECT_EQ(font.upper, 256);
        std::memcpy(font.value.text, longName.data(), 255);
        font.value.text[255] = '\0';
    } });
    EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 138 });
    EXPECT_EQ(std::string(ThePreferences().mathSymbolFont), longName.substr(0, 255));
}

TEST_F(PreferencesDialogTest, ColourBlockAdoptedOnOkFreedOnCancel) {
    const int32_t installs = CustomColorInstallCount();
    Run(2, { [](void* r) { Page(r, kPrefPageSystem)[5].value.colors->colors[0] = 0xABCDEF; } }, false);
    EXPECT_EQ(CustomColorInstallCount(), installs);
    EXPECT_NE(GetCustomColors()->colors[0], 0xABCDEFu);
    Run(2, { [](void* r) { Page(r, kPrefPageSystem)[5].value.colors->colors[0] = 0xABCDEF; } });
    EXPECT_EQ(CustomColorInstallCount(), installs + 1);
    EXPECT_EQ(GetCustomColors()->colors[0], 0xABCDEFu);
}

TEST_F(PreferencesDialogTest, ResetAllThenOkResetsBothAndTheColourMenu) {
    Preferences defaults;
    PreferencesDefaults(&defaults);
    ThePreferences().maxSamples = 30000;
    ThePreferences().sketchSettings.labelNewPoints = 1;
    sketch->settings.palette[0] = 0x010203;
    sketch->settings.distanceUnit = kDistancePixels;
    Run(2, { [](void* r) {
        Page(r, kPrefPageSystem)[5].value.colors->colors[0] = 0xABCDEF;
        Page(r, kPrefPageSampling)[2].value.integer = 50000;
        EXPECT_EQ(PreferencesSystemDefaults(r), 1);
    } });
    EXPECT_EQ(ThePreferences().maxSamples, defaults.maxSamples);
    EXPECT_EQ(ThePreferences().sketchSettings.labelNewPoints, defaults.sketchSettings.labelNewPoints);
    EXPECT_EQ(std::memcmp(&sketch->settings, &defaults.sketchSettings, sizeof defaults.sketchSettings), 0);
    CustomColorBlock* fresh = NewDefaultCustomColors();
    EXPECT_EQ(std::memcmp(GetCustomColors(), fresh, sizeof *fresh), 0);
    FreeMemory(fresh);
}

TEST_F(PreferencesDialogTest, NoPageArrayMeansNoSheet) {
    const Preferences before = ThePreferences();
    const SketchSettings settings = sketch->settings;
    // Every allocation of the preparation fails in turn: the advanced run makes six
    // arrays and a colour block.
    for (uint32_t n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        ResetAlertDoubles();
        ScriptDialogs({ { { [](void*) {} }, true } });
        SetAllocFailureAfter(n);
        const ResultCode rc = PreferencesCommand(1);
        SetAllocFailureAfter(0);
        EXPECT_EQ(rc, kResultOutOfMemory);
        EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 100 });
        EXPECT_TRUE(SamePreferences(ThePreferences(), before));
        EXPECT_EQ(std::memcmp(&sketch->settings, &settings, sizeof settings), 0);
        for (DialogField* page : ThePreferencePageSet().pages) EXPECT_EQ(page, nullptr);
    }
    EXPECT_TRUE(RanDialogs().empty());
    ResetDialogDoubles();
}

TEST_F(PreferencesDialogTest, DeferredOpeningWaitsForAFrontSketch) {
    gEngine.frontSketch = nullptr;
    PreferencesApplyLater(1);
    EXPECT_EQ(PendingPreferencesCheck(), 1);
    RunIdleTaskPass();
    EXPECT_TRUE(RanDialogs().empty());
    EXPECT_EQ(PendingPreferencesCheck(), 1);

    Sketch* other = CreateSketch(0, nullptr);
    ASSERT_NE(other, nullptr);
    gEngine.frontSketch = other;
    Sketch* during = nullptr;
    int32_t start = -1, pages = 0, flag = -1;
    ScriptDialogs({ { { [&](void* r) {
        during = CurrentSketch();
        start = Set(r).startPage;
        flag = Set(r).deferredFlag;
        for (DialogField* page : Set(r).pages) pages += page != nullptr;
    } }, false } });
    while (RunIdleTaskPass()) {}
    gEngine.frontSketch = nullptr;
    EXPECT_EQ(during, other);
    EXPECT_EQ(CurrentSketch(), sketch);
    EXPECT_EQ(start, kPrefPageSystem);
    EXPECT_EQ(pages, 6);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 139 });
    EXPECT_EQ(PendingPreferencesCheck(), -1);

    // Flag 0: the user asked for it, no alert.
    gEngine.frontSketch = sketch;
    PreferencesApplyLater(0);
    while (RunIdleTaskPass()) {}
    gEngine.frontSketch = nullptr;
    EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 139 });
    EXPECT_EQ(RanDialogs().size(), 2u);
    FreeSketch(other);
}

}  // namespace

namespace {
// The later release's change of the anti-aliasing choice: records the value asked for
// and refuses a drawn choice while GDI+ cannot be had.
std::vector<uint16_t> gAskedAntiAlias;
bool gGdiPlusPresent = true;
bool ChangeAntiAliasing(uint16_t value) {
    gAskedAntiAlias.push_back(value);
    return gGdiPlusPresent || value == kAntiAliasNever;
}
}  // namespace

TEST_F(PreferencesDialogTest, AntiAliasChoiceIsTheSystemPagesSeventhFieldInTheLaterReleaseOnly) {
    ThePreferences().antiAliasPreference = kAntiAliasNever;
    int32_t fields = 0;
    Run(2, { [&](void*) { fields = PreferencePageFieldCount(kPrefPageSystem); } });
    EXPECT_EQ(fields, 6);

    LaterReleaseForms forms = {};
    forms.drawing.changeAntiAliasing = ChangeAntiAliasing;
    InstallLaterForms(forms);
    struct Case {
        bool gdiPlus;
        int32_t chosen;
        uint16_t kept;
        std::vector<uint16_t> asked;
    };
    const Case cases[] = {
        { true, kAntiAliasAlways, kAntiAliasAlways, { kAntiAliasAlways } },
        { true, kAntiAliasAlways, kAntiAliasAlways, {} },  // unchanged: no redraw
        { false, kAntiAliasWhenSpeedPermits, kAntiAliasAlways, { kAntiAliasWhenSpeedPermits } },  // refused
        { false, kAntiAliasNever, kAntiAliasNever, { kAntiAliasNever } },
        { true, 7, kAntiAliasNever, {} },  // not a choice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        gGdiPlusPresent = c.gdiPlus;
        gAskedAntiAlias.clear();
        const uint16_t before = ThePreferences().antiAliasPreference;
        Run(2, { [&](void* r) {
            fields = PreferencePageFieldCount(kPrefPageSystem);
            DialogField& choice = Page(r, kPrefPageSystem)[6];
            EXPECT_EQ(choice.kind, kFieldListChoice);
            EXPECT_EQ(choice.value.integer, before);
            choice.value.integer = c.chosen;
        } });
        EXPECT_EQ(fields, 7);
        EXPECT_EQ(ThePreferences().antiAliasPreference, c.kept);
        EXPECT_EQ(gAskedAntiAlias, c.asked);
    }
    ResetLaterForms();
}
