#include "engine/interact/preferences_dialog.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/color_list.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/core/units.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/edit_commands.h"
#include "engine/interact/preferences.h"

const PreferencePageRow PreferencePageTable[kPreferencePageCount] = {
    //  fields  template  topic
    {   5,      175,      21 },  // Units
    {   12,     191,      22 },  // Color
    {   3,      174,      23 },  // Text
    {   3,      239,      24 },  // Export
    {   4,      238,      25 },  // Sampling
    {   6,      225,      26 },  // System
};

namespace {

constexpr int32_t kPreferencesHelpTopic = 20;
constexpr int32_t kPreferencesLaterPriority = 5;
constexpr int32_t kPageLoad = 0, kPageStore = 1, kPageCancel = 2;

constexpr ResultCode kAlertResolutionRestart = 137;
constexpr ResultCode kAlertSymbolFontRestart = 138;
constexpr ResultCode kAlertNoSymbolFont      = 139;

// A speed unit of 1 moves 187.5 pixels a second at normal speed.
constexpr double kSpeedPixelsPerSecond = 187.5;
constexpr double kInchesPerCentimetre = 0.39370078740157477;
constexpr double kCentimetresPerInch = 2.54;
// The preferences file keeps the resolution in 16 bits.
constexpr double kMaxResolution = 65535;

constexpr int32_t kExportQualities[] = { 1, 5, 10 };
constexpr int32_t kClipboardScales[] = { 1, 2, 4, 8 };

constexpr int32_t kUnitLabelItem = 20;        // + distance unit: "pix/sec" ...
constexpr int32_t kResolutionLabelItem = 22;  // + 1 cm, + 2 inch

// Kind, upper, lower of each field as the page's template gives it, before a load. Every
// field starts shown and enabled: the sheet hides and greys a control whose field lacks
// those bits.
constexpr uint32_t kShown = kFieldEnabled | kFieldVisible;
const DialogField kUnitsTemplate[5] = {
    { kFieldListChoice, kShown, {}, 2, 0 }, { kFieldListChoice, kShown, {}, 5, 0 },
    { kFieldListChoice, kShown, {}, 2, 0 }, { kFieldListChoice, kShown, {}, 5, 0 },
    { kFieldListChoice, kShown, {}, 5, 0 },
};
const DialogField kColorTemplate[12] = {
    { kFieldFlag, kShown, {}, 1, 0 },  { kFieldInteger, kShown, {}, 15, 0 }, { kFieldFlag, kShown, {}, 1, 0 },
    { kFieldColor, kShown, {}, 0, 0 }, { kFieldColor, kShown, {}, 0, 0 },    { kFieldColor, kShown, {}, 0, 0 },
    { kFieldColor, kShown, {}, 0, 0 }, { kFieldColor, kShown, {}, 0, 0 },    { kFieldColor, kShown, {}, 0, 0 },
    { kFieldColor, kShown, {}, 0, 0 }, { kFieldColor, kShown, {}, 0, 0 },    { kFieldColor, kShown, {}, 0, 0 },
};
const DialogField kTextTemplate[3] = {
    { kFieldFlag, kShown, {}, 1, 0 }, { kFieldFlag, kShown, {}, 1, 0 }, { kFieldFlag, kShown, {}, 1, 0 },
};
const DialogField kExportTemplate[3] = {
    { kFieldFlag, kShown, {}, 1, 0 }, { kFieldListChoice, kShown, {}, 2, 0 }, { kFieldListChoice, kShown, {}, 3, 0 },
};
const DialogField kSamplingTemplate[4] = {
    { kFieldInteger, kShown, {}, kMaxSampleSetting, kMinSamples },
    { kFieldInteger, kShown, {}, kMaxSampleSetting, kMinSamples },
    { kFieldInteger, kShown, {}, kMaxSampleSetting, kMinSamples },
    { kFieldInteger, kShown, {}, kMaxIterationSetting, kMinSamples },
};
constexpr int32_t kLabelBytes = 32;
constexpr int32_t kFontNameBytes = 256;
// The seventh field, the anti-aliasing choice, exists only where the later release can
// change that choice (PreferencePageFieldCount).
const DialogField kSystemTemplate[7] = {
    { kFieldNumber, kShown, {}, 0, 0 }, { kFieldText, kShown, {}, kLabelBytes, 0 },
    { kFieldNumber, kShown, {}, 0, 0 }, { kFieldText, kShown, {}, kLabelBytes, 0 },
    { kFieldText, kShown, {}, kFontNameBytes, 0 }, { kFieldColorBlock, kShown, {}, 0, 0 },
    { kFieldListChoice, kShown, {}, kAntiAliasAlways, 0 },
};
constexpr int32_t kAntiAliasField = 6;
const DialogField* const kPageTemplates[kPreferencePageCount] = {
    kUnitsTemplate, kColorTemplate, kTextTemplate, kExportTemplate, kSamplingTemplate, kSystemTemplate,
};

struct Model {
    Preferences working;
    int32_t applyMode = kApplyThisSketch;
    int32_t lastPage = 0;
    // While the System page is loaded: the distance unit its values are in.
    int32_t systemUnit = 0;
    char speedLabel[kLabelBytes];
    char resolutionLabel[kLabelBytes];
    char fontName[kFontNameBytes];
};
Model gModel;
PreferencePageSet gPageSet;

struct LaterTask {
    IdleTask task;
    int32_t flag = -1;
};
LaterTask gLater;

// Pixels count as inches for the resolution.
int32_t EffectiveUnit(int32_t unit) { return unit == kDistanceCentimetres ? kDistanceCentimetres : kDistanceInches; }

int32_t PositionIn(const int32_t* list, int32_t count, int32_t value) {
    for (int32_t i = 0; i < count; ++i)
        if (list[i] == value) return i;
    return 0;
}
int32_t EntryAt(const int32_t* list, int32_t count, int32_t position) {
    if (position < 0) position = 0;
    return list[position < count ? position : count - 1];
}

void CopyText(char* to, const char* from, size_t bytes) {
    const size_t n = strnlen(from, bytes - 1);
    std::memmove(to, from, n);
    to[n] = '\0';
}

void SetUnitLabels(int32_t unit) {
    CopyText(gModel.speedLabel, GroupText(kGroupMotionTexts, kUnitLabelItem + unit), kLabelBytes);
    CopyText(gModel.resolutionLabel,
             GroupText(kGroupMotionTexts, kResolutionLabelItem + EffectiveUnit(unit)), kLabelBytes);
}

CustomColorBlock* CopyColorBlock(const CustomColorBlock* source) {
    if (!source) return nullptr;
    auto* copy = static_cast<CustomColorBlock*>(AllocMemory(sizeof(CustomColorBlock), 0));
    if (copy) std::memcpy(copy, source, sizeof *copy);
    return copy;
}

void ExchangeUnits(DialogField* f, int32_t op) {
    SketchSettings& s = gModel.working.sketchSettings;
    if (op == kPageLoad) {
        f[0].value.integer = s.distanceUnit;
        f[1].value.integer = s.precision[0];
        f[2].value.integer = s.angleUnit;
        f[3].value.integer = s.precision[1];
        f[4].value.integer = s.precision[2];
    } else if (op == kPageStore) {
        s.distanceUnit = f[0].value.integer;
        s.precision[0] = f[1].value.integer;
        s.angleUnit = f[2].value.integer;
        s.precision[1] = f[3].value.integer;
        s.precision[2] = f[4].value.integer;
    }
}

void ExchangeColor(DialogField* f, int32_t op) {
    SketchSettings& s = gModel.working.sketchSettings;
    if (op == kPageLoad) {
        f[0].value.integer = s.traceFade > 0;
        f[1].value.integer = s.traceFade == 0 ? 9 : 16 - std::abs(s.traceFade);
        f[2].value.integer = s.autoUpdateColors;
        for (int32_t k = 0; k < 9; ++k) f[3 + k].value.integer = static_cast<int32_t>(s.palette[k]);
    } else if (op == kPageStore) {
        // Off keeps the last speed, negated, for when fading is switched on again.
        s.traceFade = f[0].value.integer ? 16 - f[1].value.integer : -std::abs(s.traceFade);
        s.autoUpdateColors = f[2].value.integer != 0;
        for (int32_t k = 0; k < 9; ++k) s.palette[k] = static_cast<uint32_t>(f[3 + k].value.integer);
    }
}

void ExchangeText(DialogField* f, int32_t op) {
    SketchSettings& s = gModel.working.sketchSettings;
    if (op == kPageLoad) {
        f[0].value.integer = s.labelMeasuredObjects;
        f[1].value.integer = s.labelNewPoints;
        f[2].value.integer = s.captionTextPalette == 1;
    } else if (op == kPageStore) {
        s.labelMeasuredObjects = f[0].value.integer != 0;
        s.labelNewPoints = f[1].value.integer != 0;
        s.captionTextPalette = f[2].value.integer != 0;
    }
}

void ExchangeExport(DialogField* f, int32_t op) {
    Preferences& p = gModel.working;
    if (op == kPageLoad) {
        f[0].value.integer = p.exportArrowheads;
        f[1].value.integer = PositionIn(kExportQualities, 3, p.exportQuality);
        f[2].value.integer = PositionIn(kClipboardScales, 4, p.clipboardScale);
    } else if (op == kPageStore) {
        p.exportArrowheads = f[0].value.integer != 0;
        p.exportQuality = EntryAt(kExportQualities, 3, f[1].value.integer);
        p.clipboardScale = EntryAt(kClipboardScales, 4, f[2].value.integer);
    }
}

void ExchangeSampling(DialogField* f, int32_t op) {
    Preferences& p = gModel.working;
    if (op == kPageLoad) {
        f[0].value.integer = p.locusSamples;
        f[1].value.integer = p.plotSamples;
        f[2].value.integer = p.maxSamples;
        f[3].value.integer = p.iterationSamples;
        f[0].upper = f[1].upper = p.maxSamples;
    } else if (op == kPageStore) {
        p.locusSamples = f[0].value.integer;
        p.plotSamples = f[1].value.integer;
        p.maxSamples = f[2].value.integer;
        p.iterationSamples = f[3].value.integer;
    }
}

void StoreResolution(double shown) {
    Preferences& p = gModel.working;
    const double d = EffectiveUnit(gModel.systemUnit) == kDistanceCentimetres ? shown * kCentimetresPerInch : shown;
    // Only a real number of pixels is a resolution: 0 or less would stop every distance
    // from showing, and the next start would refuse it anyway.
    if (!std::isfinite(d) || d < 0.5 || d >= kMaxResolution + 0.5) return;
    if (std::fabs(d - p.resolution) > 1 || std::fabs(d - p.savedResolution) > 1) {
        p.savedResolution = static_cast<int32_t>(std::floor(d + 0.5));
        ShowAlertByCode(kAlertResolutionRestart, 0);
    }
}

void ExchangeSystem(DialogField* f, int32_t op) {
    Preferences& p = gModel.working;
    if (op == kPageLoad) {
        gModel.systemUnit = p.sketchSettings.distanceUnit;
        double speed = p.speedUnit * kSpeedPixelsPerSecond;
        f[0].value.real = ToDistanceUnitsOf(&speed, gModel.systemUnit);
        SetUnitLabels(gModel.systemUnit);
        f[1].value.text = gModel.speedLabel;
        f[2].value.real = EffectiveUnit(gModel.systemUnit) == kDistanceCentimetres
                              ? p.savedResolution * kInchesPerCentimetre
                              : p.savedResolution;
        f[3].value.text = gModel.resolutionLabel;
        CopyText(gModel.fontName, p.mathSymbolFont, kFontNameBytes);
        f[4].value.text = gModel.fontName;
        FreeMemory(f[5].value.colors);
        f[5].value.colors = CopyColorBlock(GetCustomColors());
        if (PreferencePageFieldCount(kPrefPageSystem) > kAntiAliasField)
            f[kAntiAliasField].value.integer = p.antiAliasPreference;
    } else if (op == kPageStore) {
        double speed = f[0].value.real;
        // A speed of 0 or below would stop or reverse every motion; keep the old one.
        if (std::isfinite(speed) && speed > 0) {
            const double pixels = FromDistanceUnits(&speed, gModel.systemUnit) * (1 / kSpeedPixelsPerSecond);
            if (std::isfinite(pixels) && pixels > 0) p.speedUnit = pixels;
        }
        StoreResolution(f[2].value.real);
        if (std::strcmp(gModel.fontName, p.mathSymbolFont) != 0) {
            ShowAlertByCode(kAlertSymbolFontRestart, 0);
            CopyText(p.mathSymbolFont, gModel.fontName, sizeof p.mathSymbolFont);
        }
        if (f[5].value.colors) SetCustomColors(f[5].value.colors);
        f[5].value.colors = nullptr;
        // The open documents are redrawn with a new choice before it is kept; a choice
        // that cannot be drawn (no GDI+) is refused and the old one stays.
        const auto change = LaterForms().drawing.changeAntiAliasing;
        if (change && PreferencePageFieldCount(kPrefPageSystem) > kAntiAliasField) {
            const int32_t chosen = f[kAntiAliasField].value.integer;
            if (chosen >= kAntiAliasNever && chosen <= kAntiAliasAlways && chosen != p.antiAliasPreference &&
                change(static_cast<uint16_t>(chosen)))
                p.antiAliasPreference = static_cast<uint16_t>(chosen);
        }
    } else {
        FreeMemory(f[5].value.colors);
        f[5].value.colors = nullptr;
    }
}

void ExchangePage(int32_t page, int32_t op) {
    DialogField* f = gPageSet.pages[page];
    if (!f) return;
    switch (page) {
    case kPrefPageUnits: ExchangeUnits(f, op); break;
    case kPrefPageColor: ExchangeColor(f, op); break;
    case kPrefPageText: ExchangeText(f, op); break;
    case kPrefPageExport: ExchangeExport(f, op); break;
    case kPrefPageSampling: ExchangeSampling(f, op); break;
    case kPrefPageSystem: ExchangeSystem(f, op); break;
    default: break;
    }
}

void FreePage(int32_t page) {
    if (page == kPrefPageSystem && gPageSet.pages[page]) FreeMemory(gPageSet.pages[page][5].value.colors);
    FreeMemory(gPageSet.pages[page]);
    gPageSet.pages[page] = nullptr;
}

// Copies the edited settings into the current sketch and brings it up to date.
void ApplyToCurrentSketch() {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    const SketchSettings& edited = gModel.working.sketchSettings;
    const bool fadingOn = edited.traceFade != sketch->settings.traceFade && sketch->settings.traceFade <= 0;
    bool changed[9];
    for (int32_t k = 0; k < 9; ++k) changed[k] = edited.palette[k] != sketch->settings.palette[k];
    sketch->settings = edited;
    for (int32_t k = 0; k < 9; ++k)
        if (changed[k]) RefreshSelectionColor(k);
    RecomputeSketch(false);
    UnionDirtyRect(nullptr);
    if (fadingOn) RestartTraceTicks();
    if (gEngine.currentDocument) SetDocumentModified(gEngine.currentDocument, true);
}

int32_t PreferencesLaterTask(IdleTask* task, int32_t) {
    Sketch* front = gEngine.frontSketch;
    if (!front) return 1;
    const int32_t flag = gLater.flag;
    RemoveIdleTask(task);
    gLater.flag = -1;
    Sketch* previous = nullptr;
    SetCurrentSketch(front, &previous);
    if (flag == 1) ShowAlertByCode(kAlertNoSymbolFont, 0);
    gPageSet.deferredFlag = flag;
    PreferencesCommand(2);
    gPageSet.deferredFlag = 0;
    SetCurrentSketch(previous, nullptr);
    return 0;
}

}  // namespace

PreferencePageSet& ThePreferencePageSet() { return gPageSet; }
int32_t& PreferencesApplyMode() { return gModel.applyMode; }
Preferences& PreferencesWorkingCopy() { return gModel.working; }
int32_t& PreferencesLastPage() { return gModel.lastPage; }

int32_t PreferencePageFieldCount(int32_t page) {
    if (page == kPrefPageSystem && LaterForms().drawing.changeAntiAliasing) return kAntiAliasField + 1;
    return page >= 0 && page < kPreferencePageCount ? PreferencePageTable[page].fieldCount : 0;
}

bool PreferencesPreparePages(int32_t mode) {
    for (int32_t page = 0; page < kPreferencePageCount; ++page) {
        const bool shown = page <= kPrefPageText || mode > 0;
        if (!shown) {
            FreePage(page);
            continue;
        }
        const int32_t count = PreferencePageFieldCount(page);
        if (!gPageSet.pages[page]) {
            gPageSet.pages[page] = static_cast<DialogField*>(AllocMemory(sizeof(DialogField) * size_t(count), kAllocZero));
            if (!gPageSet.pages[page]) {
                PreferencesFreePages();
                return false;
            }
        } else if (page == kPrefPageSystem) {
            FreeMemory(gPageSet.pages[page][5].value.colors);
        }
        std::memcpy(static_cast<void*>(gPageSet.pages[page]), kPageTemplates[page], sizeof(DialogField) * size_t(count));
        ExchangePage(page, kPageLoad);
    }
    const int32_t last = gModel.lastPage;
    if (mode == 0) gPageSet.startPage = last > kPrefPageText ? 0 : last;
    else if (mode == 1) gPageSet.startPage = last <= kPrefPageText ? kPrefPageExport : last;
    else gPageSet.startPage = kPrefPageSystem;
    return true;
}

void PreferencesFinishPages(bool accepted) {
    if (gPageSet.startPage >= 0 && gPageSet.startPage < kPreferencePageCount) gModel.lastPage = gPageSet.startPage;
    for (int32_t page = kPreferencePageCount - 1; page >= 0; --page)
        ExchangePage(page, accepted ? kPageStore : kPageCancel);
}

void PreferencesFreePages() {
    for (int32_t page = 0; page < kPreferencePageCount; ++page) FreePage(page);
}

int32_t PreferencesSheetApply(void*) {
    if (DialogField* sampling = gPageSet.pages[kPrefPageSampling])
        sampling[0].upper = sampling[1].upper = sampling[2].value.integer;
    DialogField* system = gPageSet.pages[kPrefPageSystem];
    const DialogField* units = gPageSet.pages[kPrefPageUnits];
    if (system && units && units[0].value.integer != gModel.systemUnit) {
        const int32_t unit = units[0].value.integer;
        double speed = system[0].value.real;
        FromDistanceUnits(&speed, gModel.systemUnit);
        system[0].value.real = ToDistanceUnitsOf(&speed, unit);
        const int32_t was = EffectiveUnit(gModel.systemUnit), now = EffectiveUnit(unit);
        if (was != now)
            system[2].value.real *= now == kDistanceInches ? kCentimetresPerInch : kInchesPerCentimetre;
        gModel.systemUnit = unit;
        SetUnitLabels(unit);
    }
    return 0;
}

int32_t PreferencesSystemDefaults(void*) {
    const int32_t mode = gPageSet.pages[kPrefPageSystem] ? 1 : 0;
    for (int32_t page = 0; page < kPreferencePageCount; ++page) ExchangePage(page, kPageCancel);
    PreferencesDefaults(&gModel.working);
    gModel.applyMode = kApplyBoth;
    const int32_t start = gPageSet.startPage;
    if (!PreferencesPreparePages(mode)) {
        ShowAlertByCode(kResultOutOfMemory, 0);
        return 1;
    }
    // The sheet stays on the page it shows.
    gPageSet.startPage = start;
    if (DialogField* system = gPageSet.pages[kPrefPageSystem]) {
        FreeMemory(system[5].value.colors);
        system[5].value.colors = NewDefaultCustomColors();
    }
    return 1;
}

ResultCode PreferencesCommand(int32_t argument) {
    gModel.working = ThePreferences();
    if (Sketch* sketch = CurrentSketch()) gModel.working.sketchSettings = sketch->settings;
    gModel.applyMode = kApplyThisSketch;
    if (!PreferencesPreparePages(argument)) {
        ShowAlertByCode(kResultOutOfMemory, 0);
        return kResultOutOfMemory;
    }
    const bool ok = RunCommandDialog(kDialogPreferences, &gPageSet, PreferencesSheetApply, kPreferencesHelpTopic, 0);
    PreferencesFinishPages(ok);
    if (ok) {
        const int32_t mode = gModel.applyMode;
        if (mode == kApplyNewSketches || mode == kApplyBoth) {
            ThePreferences() = gModel.working;
        } else if (argument != 0) {
            const SketchSettings head = ThePreferences().sketchSettings;
            ThePreferences() = gModel.working;
            ThePreferences().sketchSettings = head;
        }
        PreferencesDerive(&ThePreferences());
        if (mode != kApplyNewSketches) ApplyToCurrentSketch();
    }
    PreferencesFreePages();
    return kResultOK;
}

void PreferencesApplyLater(int32_t flag) {
    gLater.flag = flag;
    AddIdleTask(&gLater.task, PreferencesLaterTask, kPreferencesLaterPriority);
}

int32_t PendingPreferencesCheck() { return gLater.task.queued ? gLater.flag : -1; }
