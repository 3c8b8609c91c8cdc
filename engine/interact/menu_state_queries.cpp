#include "engine/interact/menu_state_queries.h"

#include "engine/core/clipboard_availability.h"
#include "engine/core/geometry.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/document_windows.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_state.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/graph_commands.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/merge_split.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/selection_census.h"
#include "engine/text/layout_edit_session.h"

using namespace menu_text;

namespace {

constexpr uint32_t kStopAnimationRow = 66;

void SetOut(uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument,
            uint16_t t, uint16_t v, uint16_t e, int32_t a) {
    *text = t;
    *variant = v;
    *executor = e;
    *argument = a;
}

bool ShiftHeld() { return CensusShiftState() != 0; }

// The sketch's defined coordinate system while it exists.
SketchObject* DefinedSystem() {
    SketchObject* m = MarkedObject(kMarkSlotCoordSystem);
    return m && m->exists == 1 ? m : nullptr;
}

bool EditingCaption() {
    const Sketch* f = GetFrontSketch();
    return f && f->editSession != nullptr;
}

}  // namespace

// Text and executor come from the row's state word; the argument is the row number,
// which the host commands use to tell the rows apart.
FIG_STATE_QUERY(FixedMenuState) {
    SetOut(text, variant, executor, argument, uint16_t(stateWord >> 8), kVariantPlain,
           uint16_t(stateWord & 0xff), int32_t(CmdStateItemRow(item)));
    return true;
}

FIG_STATE_QUERY(FixedIfSketchMenuState) {
    FixedMenuState(item, stateWord, text, variant, executor, argument);
    return CurrentSketch() != nullptr;
}

FIG_STATE_QUERY(UndoRedoMenuState) {
    (void)item;
    const bool redo = (stateWord & 1) != 0;
    const Sketch* s = CurrentSketch();
    SetOut(text, variant, executor, argument, redo ? kTextRedo : kTextUndo, kVariantPlain, 13,
           stateWord);
    if (EditingCaption()) {
        return CanUndoEditorChange(GetFrontSketch()->editSession, redo ? 1 : 0);
    }
    const bool hasRecord = s && (redo ? s->redoPosition : s->undoPosition) != nullptr;
    if (ShiftHeld()) {
        *text = redo ? kTextRedoAll : kTextUndoAll;
        *argument = stateWord | 0x200;
    } else if (hasRecord) {
        *text = redo ? kTextRedoRecord : kTextUndoRecord;
        *variant = kVariantUndoText;
    }
    return hasRecord;
}

FIG_STATE_QUERY(SplitMergeMenuState) {
    (void)item;
    (void)stateWord;
    const SelectionCensus& c = CurrentSelectionCensus();
    SetOut(text, variant, executor, argument, kTextSplitMerge, kVariantPlain, 14, 0);
    if (c.noSketch || c.selectedCount == 0) return false;
    if (ShiftHeld() && c.counts[17] == 1 && c.counts[4] == 1 && c.selectedCount == 2) {
        SetOut(text, variant, executor, argument, kTextMergeTextToPoint, kVariantPlain, 17, 1);
        return true;
    }
    if (c.counts[56] == 1 && c.selectedCount == 1) {
        SetOut(text, variant, executor, argument, kTextSplitMergedText, kVariantPlain, 16, 0);
        return true;
    }
    if (c.selectedCount >= 2 && c.counts[19] > 0 && c.flags[kFlagAllShowText]) {
        SetOut(text, variant, executor, argument, kTextMergeText, kVariantPlain, 17, 0);
        return true;
    }
    uint16_t t = kTextSplitMerge, v = kVariantPlain, e = 14;
    int32_t a = 0;
    if (!MergeSplitState(&t, &v, &e, &a)) return false;
    SetOut(text, variant, executor, argument, t, v, e, a);
    return true;
}

FIG_STATE_QUERY(StopAllMenuState) {
    FixedMenuState(item, stateWord, text, variant, executor, argument);
    const SelectionCensus& c = CurrentSelectionCensus();
    if (CmdStateItemRow(item) == kStopAnimationRow && ShiftHeld()) {
        *text = kTextStopAllSketches;
        *executor = 44;
        return c.flags[kFlagAnySketchAnimating] != 0;
    }
    return c.flags[kFlagAnimating] && !c.flags[kFlagPaused];
}

FIG_STATE_QUERY(ToolboxMenuState) {
    (void)item;
    (void)stateWord;
    const bool shown = IsToolboxVisible();
    SetOut(text, variant, executor, argument, shown ? kTextHideToolbox : kTextShowToolbox,
           kVariantPlain, 37, shown ? 0 : 1);
    return true;
}

FIG_STATE_QUERY(SelectAllMenuState) {
    (void)item;
    (void)stateWord;
    const BuiltInToolRecord& tool = BuiltInTool(CurrentToolId());
    SetOut(text, variant, executor, argument, tool.selectAllText, kVariantPlain, 23, tool.selectAllCategory);
    return GetFrontSketch() != nullptr;
}

// The three grid-form rows keep their own text in the state word; the form each
// sets is its text's distance from "&Polar Grid".
FIG_STATE_QUERY(GridFormMenuState) {
    (void)item;
    const uint16_t t = uint16_t(stateWord >> 8);
    const int32_t form = t - kTextPolarGrid;
    SketchObject* m = DefinedSystem();
    SetOut(text, variant, executor, argument, t,
           m && CoordSystemOf(m)->gridForm == form ? kVariantChecked : kVariantPlain,
           uint16_t(stateWord & 0xff), form);
    if (!CurrentSketch()) return false;
    return !m || ChangeGridForm(m, form, true);
}

FIG_STATE_QUERY(GridMenuState) {
    (void)item;
    (void)stateWord;
    const SketchObject* m = DefinedSystem();
    const bool shift = ShiftHeld();
    const bool hide = m && (shift ? CoordSystemAxesVisible(m) : m->hidden == kShown);
    uint16_t t = shift ? (hide ? kTextHideCoordinateSystem : kTextShowCoordinateSystem)
                       : (hide ? kTextHideGrid : kTextShowGrid);
    SetOut(text, variant, executor, argument, t, kVariantPlain, 27,
           (hide ? 1 : 0) | (shift ? 2 : 0));
    return CurrentSketch() != nullptr;
}

FIG_STATE_QUERY(ShowAllHiddenMenuState) {
    (void)item;
    (void)stateWord;
    SetOut(text, variant, executor, argument, kTextShowAllHidden, kVariantPlain, 11, 0);
    const Sketch* s = CurrentSketch();
    return s && s->hiddenCount > 0;
}

FIG_STATE_QUERY(EraseTracesMenuState) {
    (void)item;
    (void)stateWord;
    SetOut(text, variant, executor, argument, kTextEraseTraces, kVariantPlain, 31, 0);
    const Sketch* s = CurrentSketch();
    return s && !ScreenRectIsEmpty(s->tracedArea);
}

FIG_STATE_QUERY(SnapToGridMenuState) {
    (void)item;
    (void)stateWord;
    const Sketch* s = CurrentSketch();
    const SketchObject* m = DefinedSystem();
    SetOut(text, variant, executor, argument, kTextSnapPoints,
           s && m && (s->pageFlags & 1) ? kVariantChecked : kVariantPlain, 28, 0);
    return m != nullptr;
}

FIG_STATE_QUERY(TextPaletteMenuState) {
    (void)item;
    (void)stateWord;
    const bool shown = IsTextPaletteVisible();
    SetOut(text, variant, executor, argument, shown ? kTextHideTextPalette : kTextShowTextPalette,
           kVariantPlain, 43, shown ? 0 : 1);
    return true;
}

// The active document is the one whose sketch is in front.
FIG_STATE_QUERY(SaveMenuState) {
    (void)item;
    (void)stateWord;
    const EngineDocument* active = gEngine.frontDocument;
    SetOut(text, variant, executor, argument, active && DocumentHasOwnFile(active) ? kTextSave : kTextSaveEllipsis,
           kVariantPlain, 8, 17);
    return active && IsDocumentModified(active);
}

FIG_STATE_QUERY(CloseMenuState) {
    (void)item;
    (void)stateWord;
    const EngineDocument* active = gEngine.frontDocument;
    SetOut(text, variant, executor, argument,
           active && IsDocumentModified(active) ? kTextCloseEllipsis : kTextClose, kVariantPlain, 45, 0);
    return active != nullptr;
}

FIG_STATE_QUERY(PreferencesMenuState) {
    (void)item;
    (void)stateWord;
    const bool shift = ShiftHeld();
    SetOut(text, variant, executor, argument,
           shift ? kTextAdvancedPreferencesEllipsis : kTextPreferencesEllipsis, kVariantPlain, 35,
           shift ? 1 : 0);
    return gEngine.frontDocument != nullptr;
}

FIG_STATE_QUERY(PasteMenuState) {
    (void)item;
    (void)stateWord;
    const Sketch* front = gEngine.frontSketch;
    const ClipboardAvailability a = CurrentClipboardAvailability();
    uint16_t shown = kTextPaste;
    bool enabled = false;
    if (front && front->editSession) {
        enabled = a.formattedText || a.plainText;
        if (enabled) shown = kTextPasteText;
    } else if (front) {
        enabled = a.sketchObjects || a.picture;
        if (!a.sketchObjects && a.picture) shown = kTextPastePicture;
    }
    SetOut(text, variant, executor, argument, shown, kVariantPlain, 54, 0);
    return enabled;
}
