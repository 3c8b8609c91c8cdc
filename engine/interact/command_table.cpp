#include "engine/interact/command_table.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/core/services/later_release.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/menu_rules.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/neighbour_services.h"

// Codes 0..83 name rows 0..83; codes 84..86 were retired and name nothing; the later
// codes were handed out as commands were added, hence the jumps.
const uint8_t MenuCodeToRowMap[kMenuCodeCount] = {
      0,   1,   2,   3,   4,   5,   6,   7,   8,   9,  10,  11,  12,  13,  14,  15,
     16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,
     32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,
     48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,
     64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,
     80,  81,  82,  83, 112, 112, 112,  84,  86,  87,  88,  89,  91,  92,  93,  94,
     95,  96,  97,  98,  99, 100, 101, 102, 103, 104,  90, 105,  85, 106, 107, 108,
    109, 110, 111,
};

bool MenuCodeToCommandRow(uint32_t code, uint32_t* row) {
    if (code >= kMenuCodeCount || MenuCodeToRowMap[code] == kMenuCodeNoRow) {
        if (auto form = LaterForms().commands.menuCodeToRow) return form(code, row);
        return false;
    }
    *row = MenuCodeToRowMap[code];
    return true;
}

const CommandRow* CommandRowAt(uint32_t row) {
    if (auto form = LaterForms().commands.row) {
        if (const CommandRow* own = form(row)) return own;
    }
    return row < kCommandRowCount ? &CommandRowTable[row] : nullptr;
}

ResultCode RunCommandExecutor(uint32_t executor, int32_t argument) {
    if (executor < kCommandExecutorCount) return CommandExecutors[executor](argument);
    if (auto form = LaterForms().commands.execute) return form(executor, argument);
    return kResultOK;
}

bool RunCommandStateQuery(uint32_t query, uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                          uint16_t* executor, int32_t* argument) {
    if (query < kCommandStateQueryCount)
        return CommandStateQueries[query](item, stateWord, text, variant, executor, argument);
    if (auto form = LaterForms().commands.queryState)
        return form(query, item, stateWord, text, variant, executor, argument);
    return false;
}

const CommandExecutor CommandExecutors[kCommandExecutorCount] = {
    ConstructByProgramCommand,       //  0 construction program offset
    ConstructBetweenPointsCommand,   //  1 construction type of the straight object
    ConstructIntersectionsCommand,   //  2
    ConstructPointsOnObjectsCommand, //  3
    TransformCommand,                //  4 0 translate, 1 rotate, 2 dilate, 3 reflect
    MarkCommand,                     //  5 what to mark
    QuitCommand,                     //  6 row
    HostOpenDocument,                //  7 row
    HostSaveDocument,                //  8 17 = Save, else Save As
    ConstructLocusCommand,           //  9
    HideObjectsCommand,              // 10
    ShowAllHiddenCommand,            // 11
    HostNewDocument,                 // 12 row
    UndoRedoCommand,                 // 13 bit 0 redo, bit 9 all
    SplitCommand,                    // 14
    MergeCommand,                    // 15
    SplitTextCommand,                // 16
    MergeTextCommand,                // 17 0 captions, 1 text to point
    AnimateCommand,                  // 18
    TraceCommand,                    // 19
    ChangeSpeedCommand,              // 20 speed step code
    DeleteCommand,                   // 21
    HostNoOp,                        // 22 row
    SelectAllCommand,                // 23 object category
    SelectRelativesCommand,          // 24 0 parents, 1 children
    ActionButtonCommand,             // 25 button type
    DefineCoordSystemCommand,        // 26 how the system is defined
    ShowHideGridCommand,             // 27 bit 0 hide, bit 1 whole system
    ToggleSnapToGridCommand,         // 28
    PlotPointsCommand,               // 29 0 new, 1 edit plotted point
    GridFormCommand,                 // 30 0 polar, 1 square, 2 rectangular
    RebuildSketchViews,              // 31 erases traces
    StopMotions,                     // 32 motion selector
    PauseAnimationCommand,           // 33 0 pause, 1 resume
    ShowLabelsCommand,               // 34 1 show, 0 hide
    PreferencesCommand,              // 35 1 advanced
    PropertiesCommand,               // 36
    ShowToolboxCommand,              // 37 1 show, 0 hide
    LineStyleCommand,                // 38 style index, bit 7 with Shift
    EditCalculationCommand,          // 39 what to create or edit
    EquationCommand,                 // 40
    DocumentOptionsCommand,          // 41
    TextStyleCommand,                // 42 1 with Shift
    ShowTextPaletteCommand,          // 43 1 show, 0 hide
    StopAllSketchesMotions,          // 44
    CloseActiveWindow,               // 45
    ParametricColorCommand,          // 46 0 one value, 1 three values
    OtherColorCommand,               // 47 1 with Shift
    ShowMotionControllerCommand,     // 48 1 show, 0 hide
    ConstructFromFunctionsCommand,   // 49
    DerivativeCommand,               // 50
    RunCommandVariantProgram,        // 51 arc interiors
    CutCommand,                      // 52
    CopyCommand,                     // 53
    PasteCommand,                    // 54
    ClearCommand,                    // 55
    HostPrint,                       // 56
    HostPrintPreview,                // 57
    HostPrintSetup,                  // 58
    NewParameterCommand,             // 59
    IterateCommand,                  // 60 0 iterate, 0x100 to depth
    AddTableEntryCommand,            // 61
    RemoveTableEntryCommand,         // 62
};
static_assert(std::size(CommandExecutors) == kCommandExecutorCount);

const CommandStateQuery CommandStateQueries[kCommandStateQueryCount] = {
    FixedMenuState,          //  0 rows 15, 16, 22, 31
    EvalMenuRules,           //  1 the rule rows
    UndoRedoMenuState,       //  2 rows 23, 24
    SplitMergeMenuState,     //  3 row 25
    StopAllMenuState,        //  4 no row
    ToolboxMenuState,        //  5 row 76
    SelectAllMenuState,      //  6 row 46
    GridFormMenuState,       //  7 rows 60-62
    GridMenuState,           //  8 row 56
    ShowAllHiddenMenuState,  //  9 row 21
    EraseTracesMenuState,    // 10 row 65
    SnapToGridMenuState,     // 11 row 57
    TextPaletteMenuState,    // 12 row 85
    FixedIfSketchMenuState,  // 13 rows 18, 52, 93-96, 108
    SaveMenuState,           // 14 row 17
    CloseMenuState,          // 15 row 87
    PreferencesMenuState,    // 16 row 74
    PasteMenuState,          // 17 row 99
};
static_assert(std::size(CommandStateQueries) == kCommandStateQueryCount);

size_t FormatCommandKeyText(uint32_t row, bool shiftHeld, char* buffer, size_t size) {
    if (auto form = LaterForms().text.formatCommandKeyText) return form(row, shiftHeld, buffer, size);
    if (size == 0) return 0;
    buffer[0] = '\0';
    // The key letters are one text of string group 3 indexed by row; a blank is no key.
    char keys[256];
    GetGroupString(kGroupMiscellany, 0, keys, sizeof keys);
    if (row >= std::strlen(keys)) return 0;
    const char key = keys[row];

    char text[24];
    if (key >= 'A' && key <= 'Z') {
        std::strcpy(text, shiftHeld ? "\tShift+Ctrl+?" : "\tCtrl+?");
        text[std::strlen(text) - 1] = key;
    } else if (key >= 'a' && key <= 'z') {
        std::strcpy(text, "\tShift+Ctrl+?");
        text[std::strlen(text) - 1] = char(key - 'a' + 'A');
    } else if (key != '\0' && std::strchr("+-=?[]`", key) != nullptr) {
        std::strcpy(text, "\tAlt+?");
        text[std::strlen(text) - 1] = key;
    } else if (key == '8') {
        std::strcpy(text, "\tDel");
    } else {
        return 0;
    }
    const size_t n = std::min(std::strlen(text), size - 1);
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return n;
}
