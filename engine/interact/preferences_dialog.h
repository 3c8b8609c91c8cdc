// The Preferences sheet's model: a working copy of the preferences, with the current
// sketch's settings over its head, edited page by page through field records, and on
// OK given to the current sketch, to the preferences (new sketches), or to both.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/preferences.h"

constexpr int32_t kPreferencePageCount = 6;
// Pages, by index (also the sheet's page position). The first three always show.
constexpr int32_t kPrefPageUnits    = 0;
constexpr int32_t kPrefPageColor    = 1;
constexpr int32_t kPrefPageText     = 2;
constexpr int32_t kPrefPageExport   = 3;
constexpr int32_t kPrefPageSampling = 4;
constexpr int32_t kPrefPageSystem   = 5;

// One row per page: field count, dialog template, help topic.
struct PreferencePageRow {
    int32_t fieldCount;
    int32_t dialogTemplate;
    int32_t helpTopic;
};
extern const PreferencePageRow PreferencePageTable[kPreferencePageCount];

// What the sheet is handed: the field arrays (null for a page that is not shown), the
// page to start on (the sheet writes back the page active when it closed) and the flag
// of the deferred opening.
struct PreferencePageSet {
    DialogField* pages[kPreferencePageCount];
    int32_t      startPage;
    int32_t      deferredFlag;
};
PreferencePageSet& ThePreferencePageSet();

// Where the edited sketch settings go on OK, as the Apply To pair shows it.
constexpr int32_t kApplyThisSketch  = 0;
constexpr int32_t kApplyNewSketches = 1;
constexpr int32_t kApplyBoth        = 2;
int32_t& PreferencesApplyMode();
// The record the pages edit.
Preferences& PreferencesWorkingCopy();
// The page last shown, kept between runs.
int32_t& PreferencesLastPage();

// Executor 35: 0 the basic pages, 1 all pages, 2 all pages opened on System.
ResultCode PreferencesCommand(int32_t argument);

// Fills (allocating where needed) and loads the pages the mode shows, frees the others
// and sets the start page. False when an array could not be had: then nothing is
// loaded and no array is left.
bool    PreferencesPreparePages(int32_t mode);
// Stores (accepted) or cancels every loaded page, last page first.
void    PreferencesFinishPages(bool accepted);
void    PreferencesFreePages();
int32_t PreferencePageFieldCount(int32_t page);

// The sheet's apply callback; 0: the controls need no reload.
int32_t PreferencesSheetApply(void* record);
// "Reset All Preferences": every page back to the defaults, to be applied to both the
// sketch and new sketches, with a fresh default colour block. Answers 1.
int32_t PreferencesSystemDefaults(void* record);

// Schedules the preferences sheet on the System page for when a document shows: 1 when
// no math symbol face was found at all (an alert says so first), 0 when the user chose
// to pick another one.
void PreferencesApplyLater(int32_t flag);
// The flag of the scheduled opening, -1 when none is scheduled.
int32_t PendingPreferencesCheck();
