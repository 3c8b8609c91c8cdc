// The engine's side of the Properties sheet: which pages apply to an object, one record
// of dialog fields per page filled from the object (load), written back on OK (store) or
// undone on Cancel (cancel), switching the sheet to another object picked in the sketch,
// and the pages applied while the sheet is still open.
#pragma once
#include <cstdint>

#include "engine/core/services/dialogs.h"

struct SketchObject;

enum PropertyPage : int32_t {
    kPageObject = 0, kPageLabel = 1, kPagePlot = 2, kPageValue = 3, kPageAnimate = 4,
    kPageHideShow = 5, kPageMove = 6, kPageScroll = 7, kPageLink = 8, kPagePresentation = 9,
    kPageIteration = 10, kPageParameter = 11, kPageTable = 12,
};
constexpr int32_t kPropertyPageCount = 13;

// What a page's io does with its fields.
enum PropertyPageOp : int32_t { kPageLoad = 0, kPageStore = 1, kPageCancel = 2 };

using PropertyPageIoFn       = void (*)(int32_t op, SketchObject* object, DialogField* fields);
using PropertyPageTemplateFn = void (*)(DialogField* fields);

// One row per page, in page order: field count, io, template, then the dialog
// templates of the sheet (the second only for function plots).
struct PropertyPageRow {
    int32_t                fieldCount;
    PropertyPageIoFn       io;
    PropertyPageTemplateFn makeTemplate;
    int32_t                dialogTemplate;
    int32_t                plotTemplate;
};
extern const PropertyPageRow PropertyPageModel[kPropertyPageCount];

// The sheet's record: one field array per shown page (null: not shown), owned by the
// engine from the opening of the sheet to its end, and the page to start on (written
// back with the page active when the sheet closed).
struct PropertiesPages {
    DialogField* pages[kPropertyPageCount];
    int32_t      startPage;
};
extern PropertiesPages PropertiesPageSet;

constexpr int32_t kPropertiesHelpTopic = 6;

int32_t PropertyPageFieldCount(int32_t page);
// The page of an action button's type.
int32_t PropertyPageForButton(const SketchObject* button);
bool    PropertyPageApplies(SketchObject* object, int32_t page);

// PropertiesCommand (command_executors.h) opens the sheet for the first selected object
// on the page shown last; OpenObjectProperties and OpenLabelProperties
// (interaction_services.h) on the Object and Label pages.
// The whole run of the sheet: 1 on OK, 0 when cancelled or not shown. *cancelled (may
// be null) is set when the sheet did not end with OK.
int32_t PropertiesOpenForObject(SketchObject* object, int32_t startPage, bool* cancelled);
// After a pick: stores the pages into the current object and prepares them for the
// picked one. 1 done; 0 when the picked object's pages cannot be prepared: the old
// object then keeps what was stored, every array is null, and the sheet ends as cancelled.
int32_t PropertiesRetarget();
// False when memory for a page fails; the pages already loaded are cancelled and every
// array is freed, so the sketch is as before.
bool PropertiesPreparePages(SketchObject* object, int32_t startPage);
void PropertiesFinishPages(bool accepted);
void PropertiesFreePages();
// Called by the sheet whenever a page saves its controls while the sheet stays open.
int32_t PropertiesApplyLive(void* record);
