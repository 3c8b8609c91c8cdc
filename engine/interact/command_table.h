// The engine's constant command table: one row per command that a menu item, a key
// or a button can run, the executors that carry commands out and the state queries
// that work out an item's text, marks, enabled state, executor and argument.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/command_groups.h"
#include "engine/interact/menu_texts.h"

// Bits of CommandRow::flags.
enum CommandRowFlag : uint8_t {
    RowRunsWhenMemoryShort  = 0x01,  // may run although the large reserve is missing
    RowInObjectContextMenu  = 0x02,  // offered by the context menu over an object
    RowInSketchContextMenu  = 0x04,  // offered by the context menu over empty space
    RowContextFromArgument  = 0x08,  // 0x02/0x04 come from argument bits 30/31 instead
    RowRunsWhileMouseHeld   = 0x10,  // may run while the sketch tracks a held button
    RowKeepsCaptionEditing  = 0x20,  // does not end caption editing before it runs
};

// Six bytes per row. stateWord means what the row's state query makes of it: the
// offset of the row's rule program for EvalMenuRules, (text item << 8 | executor
// slot) for the fixed queries, 0 or 1 (undo, redo) for UndoRedoMenuState.
struct CommandRow {
    uint16_t stateWord;
    CommandGroup group;
    uint8_t  stateQuery;  // slot in CommandStateQueries
    uint8_t  flags;       // CommandRowFlag bits
    uint8_t  reserved;
};

constexpr uint32_t kCommandRowCount = 112;
constexpr uint32_t kMenuCodeCount = 115;
constexpr uint8_t  kMenuCodeNoRow = 112;
constexpr uint32_t kCommandExecutorCount = 63;
constexpr uint32_t kCommandStateQueryCount = 18;

// Slots of CommandStateQueries.
enum CommandStateQuerySlot : uint8_t {
    kQueryFixed = 0, kQueryMenuRules = 1, kQueryUndoRedo = 2, kQuerySplitMerge = 3,
    kQueryStopAll = 4, kQueryToolbox = 5, kQuerySelectAll = 6, kQueryGridForm = 7,
    kQueryGrid = 8, kQueryShowAllHidden = 9, kQueryEraseTraces = 10, kQuerySnapToGrid = 11,
    kQueryTextPalette = 12, kQueryFixedIfSketch = 13, kQuerySave = 14, kQueryClose = 15,
    kQueryPreferences = 16, kQueryPaste = 17,
};

// State word of the fixed queries: text item in the high byte, executor slot in the low.
constexpr uint16_t FixedStateWord(uint8_t text, uint8_t executor) {
    return uint16_t(text << 8 | executor);
}

// The rows, by row number. Rule rows give the offset of their program in MenuRules;
// rows with another query give the text and executor of their default state
// (which FixedMenuState, FixedIfSketchMenuState and GridFormMenuState read).
inline constexpr CommandRow CommandRowTable[kCommandRowCount] = {
    // stateWord, group, stateQuery, flags, reserved
    {   492, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 0
    {   120, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 1
    {   424, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 2
    {   290, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 3
    {    60, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 4
    {     0, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 5
    {   266, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 6
    {   158, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 7
    {   176, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 8
    {   324, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 9
    {   530, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 10
    {   548, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 11
    {   566, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 12
    {   584, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 13
    {   602, kCommandGroupSelection, kQueryMenuRules, 0x03, 0 },  // 14
    { FixedStateWord(menu_text::kTextQuit, 6), kCommandGroupFixed, kQueryFixed, 0x01, 0 },  // 15
    { FixedStateWord(menu_text::kTextOpenEllipsis, 7), kCommandGroupFixed, kQueryFixed, 0x00, 0 },  // 16
    { FixedStateWord(menu_text::kTextSave, 8), kCommandGroupSaveAndClose, kQuerySave, 0x05, 0 },  // 17
    { FixedStateWord(menu_text::kTextSaveAsEllipsis, 8), kCommandGroupDocument, kQueryFixedIfSketch, 0x01, 0 },  // 18
    {   734, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 19
    {   780, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 20
    { FixedStateWord(menu_text::kTextShowAllHidden, 11), kCommandGroupGridAndHidden, kQueryShowAllHidden, 0x04, 0 },  // 21
    { FixedStateWord(menu_text::kTextNewSketch, 12), kCommandGroupFixed, kQueryFixed, 0x00, 0 },  // 22
    { 0, kCommandGroupUndo, kQueryUndoRedo, 0x25, 0 },  // 23
    { 1, kCommandGroupUndo, kQueryUndoRedo, 0x25, 0 },  // 24
    { FixedStateWord(menu_text::kTextSplitMerge, 14), kCommandGroupSelectionMotion, kQuerySplitMerge, 0x02, 0 },  // 25
    {   800, kCommandGroupSelectionMotion, kQueryMenuRules, 0x08, 0 },  // 26
    {   844, kCommandGroupSelection, kQueryMenuRules, 0x13, 0 },  // 27
    {  2514, kCommandGroupMotion, kQueryMenuRules, 0x19, 0 },  // 28
    {  2550, kCommandGroupMotion, kQueryMenuRules, 0x19, 0 },  // 29
    {   928, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 30
    { FixedStateWord(menu_text::kTextAboutVelmoraEllipsis, 22), kCommandGroupFixed, kQueryFixed, 0x25, 0 },  // 31
    {   948, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 32
    {   972, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 33
    {  1010, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 34
    {  1035, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 35
    {  1060, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 36
    {  1082, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 37
    {  1108, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 38
    {  1168, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 39
    {  1228, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 40
    {  1252, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 41
    {  1278, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 42
    {  1316, kCommandGroupSelection, kQueryMenuRules, 0x08, 0 },  // 43
    {  1324, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 44
    {  1366, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 45
    { FixedStateWord(menu_text::kTextSelectAll, 23), kCommandGroupSelectAll, kQuerySelectAll, 0x25, 0 },  // 46
    {  1408, kCommandGroupSelection, kQueryMenuRules, 0x03, 0 },  // 47
    {  1426, kCommandGroupSelection, kQueryMenuRules, 0x03, 0 },  // 48
    {  1444, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 49
    {  1464, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 50
    {  1506, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 51
    { FixedStateWord(menu_text::kTextLinkEllipsis, 25), kCommandGroupDocument, kQueryFixedIfSketch, 0x00, 0 },  // 52
    {  1532, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 53
    {  1556, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 54
    {  1684, kCommandGroupSelection, kQueryMenuRules, 0x03, 0 },  // 55
    { FixedStateWord(menu_text::kTextShowGrid, 27), kCommandGroupGridAndHidden, kQueryGrid, 0x04, 0 },  // 56
    { FixedStateWord(menu_text::kTextSnapPoints, 28), kCommandGroupGraphForm, kQuerySnapToGrid, 0x15, 0 },  // 57
    {  1713, kCommandGroupSelection, kQueryMenuRules, 0x08, 0 },  // 58
    {  1755, kCommandGroupSelection, kQueryMenuRules, 0x08, 0 },  // 59
    { FixedStateWord(menu_text::kTextPolarGrid, 30), kCommandGroupGraphForm, kQueryGridForm, 0x04, 0 },  // 60
    { FixedStateWord(menu_text::kTextSquareGrid, 30), kCommandGroupGraphForm, kQueryGridForm, 0x04, 0 },  // 61
    { FixedStateWord(menu_text::kTextRectangularGrid, 30), kCommandGroupGraphForm, kQueryGridForm, 0x04, 0 },  // 62
    {  1805, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 63
    {  1839, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 64
    { FixedStateWord(menu_text::kTextEraseTraces, 31), kCommandGroupTraces, kQueryEraseTraces, 0x15, 0 },  // 65
    {  2586, kCommandGroupSelectionMotion, kQueryMenuRules, 0x19, 0 },  // 66
    {  1873, kCommandGroupSelection, kQueryMenuRules, 0x12, 0 },  // 67
    {  1933, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 68
    {  1953, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 69
    {  1973, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 70
    {  2007, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 71
    {  2057, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 72
    {  2079, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 73
    { FixedStateWord(menu_text::kTextPreferencesEllipsis, 35), kCommandGroupPreferences, kQueryPreferences, 0x04, 0 },  // 74
    {  2147, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 75
    { FixedStateWord(menu_text::kTextShowToolbox, 37), kCommandGroupToolbox, kQueryToolbox, 0x35, 0 },  // 76
    {  2099, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 77
    {  2123, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 78
    {  2207, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 79
    {  2315, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 80
    {  2414, kCommandGroupSelectionMotion, kQueryMenuRules, 0x03, 0 },  // 81
    {  2414, kCommandGroupSelectionMotion, kQueryMenuRules, 0x03, 0 },  // 82
    {  2414, kCommandGroupSelectionMotion, kQueryMenuRules, 0x03, 0 },  // 83
    {  2167, kCommandGroupTextEditing, kQueryMenuRules, 0x22, 0 },  // 84
    { FixedStateWord(menu_text::kTextShowTextPalette, 43), kCommandGroupTextPalette, kQueryTextPalette, 0x35, 0 },  // 85
    {  2356, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 86
    { FixedStateWord(menu_text::kTextClose, 45), kCommandGroupSaveAndClose, kQueryClose, 0x05, 0 },  // 87
    {  1482, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 88
    {  2422, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 89
    {  2462, kCommandGroupSelectionMotion, kQueryMenuRules, 0x22, 0 },  // 90
    {  2634, kCommandGroupMotion, kQueryMenuRules, 0x05, 0 },  // 91
    {  2506, kCommandGroupSelection, kQueryMenuRules, 0x08, 0 },  // 92
    { FixedStateWord(menu_text::kTextDocumentOptionsEllipsis, 41), kCommandGroupDocument, kQueryFixedIfSketch, 0x04, 0 },  // 93
    { FixedStateWord(menu_text::kTextPageSetupEllipsis, 58), kCommandGroupDocument, kQueryFixedIfSketch, 0x00, 0 },  // 94
    { FixedStateWord(menu_text::kTextPrintPreviewEllipsis, 57), kCommandGroupDocument, kQueryFixedIfSketch, 0x00, 0 },  // 95
    { FixedStateWord(menu_text::kTextPrintEllipsis, 56), kCommandGroupDocument, kQueryFixedIfSketch, 0x04, 0 },  // 96
    {  2684, kCommandGroupTextEditing, kQueryMenuRules, 0x20, 0 },  // 97
    {  2714, kCommandGroupTextEditing, kQueryMenuRules, 0x20, 0 },  // 98
    { FixedStateWord(menu_text::kTextPaste, 54), kCommandGroupPaste, kQueryPaste, 0x24, 0 },  // 99
    {  2654, kCommandGroupTextEditing, kQueryMenuRules, 0x20, 0 },  // 100
    {  2782, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 101
    {  2824, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 102
    {  2744, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 103
    {  2992, kCommandGroupSelectionMotion, kQueryMenuRules, 0x00, 0 },  // 104
    {  2848, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 105
    {  2946, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 106
    {  2968, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 107
    { FixedStateWord(menu_text::kTextNewParameterEllipsis, 59), kCommandGroupDocument, kQueryFixedIfSketch, 0x04, 0 },  // 108
    {  3072, kCommandGroupSelection, kQueryMenuRules, 0x00, 0 },  // 109
    {  3098, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 110
    {  3120, kCommandGroupSelection, kQueryMenuRules, 0x02, 0 },  // 111
};

// Menu descriptions name rows by a 7-bit menu code; kMenuCodeNoRow marks codes
// that name no row.
extern const uint8_t MenuCodeToRowMap[kMenuCodeCount];

// True when the code names a row; *row is then set.
bool MenuCodeToCommandRow(uint32_t code, uint32_t* row);

// The row in effect: figlate's own where it has one (in place of a shared row or past
// the shared table), else the shared row; null for a row that is none.
const CommandRow* CommandRowAt(uint32_t row);

// An executor takes the argument that the row's state query produced at the item's
// last refresh and answers a result code (0 success).
using CommandExecutor = ResultCode (*)(int32_t argument);
extern const CommandExecutor CommandExecutors[kCommandExecutorCount];

// A state query answers the enabled state and fills the item's text (string group 1),
// display variant, executor slot and argument. `item` is the registered item's slot.
using CommandStateQuery = bool (*)(uint32_t item, uint16_t stateWord, uint16_t* text,
                                   uint16_t* variant, uint16_t* executor, int32_t* argument);
extern const CommandStateQuery CommandStateQueries[kCommandStateQueryCount];

// Executor and state-query slots, figlate's past the shared tables; an executor slot
// that is none answers 0 and does nothing, a query slot that is none answers disabled.
ResultCode RunCommandExecutor(uint32_t executor, int32_t argument);
bool RunCommandStateQuery(uint32_t query, uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                          uint16_t* executor, int32_t* argument);

// Writes the key text of a row (a tab, then "Ctrl+M", "Shift+Ctrl+F", "Alt+=" or
// "Del") into buffer, NUL-terminated and cut to size; an empty text when the row has
// no key. `shiftHeld` adds "Shift+" to the keys of capital letters. Answers the length.
size_t FormatCommandKeyText(uint32_t row, bool shiftHeld, char* buffer, size_t size);
