// The hand-written state queries of CommandStateQueries (every slot but 1, which is
// EvalMenuRules). Each answers the enabled state and fills text (string group 1),
// display variant, executor slot and argument.
#pragma once
#include <cstdint>

#define FIG_STATE_QUERY(name)                                                        \
    bool name(uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant, \
              uint16_t* executor, int32_t* argument)

FIG_STATE_QUERY(FixedMenuState);
FIG_STATE_QUERY(UndoRedoMenuState);
FIG_STATE_QUERY(SplitMergeMenuState);
FIG_STATE_QUERY(StopAllMenuState);
FIG_STATE_QUERY(ToolboxMenuState);
FIG_STATE_QUERY(SelectAllMenuState);
FIG_STATE_QUERY(GridFormMenuState);
FIG_STATE_QUERY(GridMenuState);
FIG_STATE_QUERY(ShowAllHiddenMenuState);
FIG_STATE_QUERY(EraseTracesMenuState);
FIG_STATE_QUERY(SnapToGridMenuState);
FIG_STATE_QUERY(TextPaletteMenuState);
FIG_STATE_QUERY(FixedIfSketchMenuState);
FIG_STATE_QUERY(SaveMenuState);
FIG_STATE_QUERY(CloseMenuState);
FIG_STATE_QUERY(PreferencesMenuState);
FIG_STATE_QUERY(PasteMenuState);

// Display variants of a state (how the item update shows the text).
enum MenuVariant : uint16_t {
    kVariantPlain = 0, kVariantNoun = 1, kVariantNounChecked = 2, kVariantNounPartly = 3,
    kVariantUndoText = 4, kVariantParentNouns = 5, kVariantPointAndOthers = 6,
    kVariantPolygonNoun = 7, kVariantChecked = 8, kVariantMixed = 9,
    kVariantFontPopup = 10, kVariantArcInteriorPopup = 11,
};
