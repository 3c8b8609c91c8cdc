// The modal command dialogs and the flashing feedback of marks, shown by the platform.
// A command dialog edits a record of field entries in place; the engine reads the
// record back when the dialog closes with OK.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct CustomColorBlock;
struct GraphicsPort;
struct SketchObject;

// Field kinds of a dialog record, by the control that shows the field.
constexpr int32_t kFieldChoice     = 0;   // radio buttons from the given id on; upper = count - 1
constexpr int32_t kFieldFlag       = 1;   // check box
constexpr int32_t kFieldSelection  = 2;   // list or combo box: the selected index; on a push button only the state
constexpr int32_t kFieldButton     = 3;   // push button: the state only
constexpr int32_t kFieldText       = 4;   // static or edit: text in a caller's buffer of upper bytes
constexpr int32_t kFieldInteger    = 5;   // edit or slider: an integer within lower..upper
constexpr int32_t kFieldNumber     = 6;   // number field: a real
constexpr int32_t kFieldColor      = 7;   // COLORREF in integer; drawn by the page, no exchange
constexpr int32_t kFieldColorBlock = 8;   // a custom-colour block in colors; no control
constexpr int32_t kFieldObject     = 9;   // an object the record refers to (value.pointer); no control
constexpr int32_t kFieldListChoice = 10;  // combo box: the selected index
constexpr int32_t kFieldObjectList = 11;  // a list the record refers to (value.pointer); no control
constexpr int32_t kFieldOwnedText  = 13;  // edit: a text of the engine's memory blocks

// Bits of a field's state.
constexpr uint32_t kFieldEnabled = 1;
constexpr uint32_t kFieldVisible = 2;

// A field's value, read by its kind: reals (kFieldNumber) in real, texts (kFieldText,
// kFieldOwnedText) through text, references (kFieldObject, kFieldObjectList) through
// pointer, a colour block (kFieldColorBlock) through colors, every other kind a whole
// number in integer.
union DialogValue {
    double  real;
    int32_t integer;
    char*   text;
    CustomColorBlock* colors;
    void*   pointer;
};
static_assert(sizeof(DialogValue) == 8);

// One field entry of a dialog record.
struct DialogField {
    int32_t     kind;
    uint32_t    state;   // kFieldEnabled, kFieldVisible; models may keep bits of their own above
    DialogValue value;
    int32_t     upper;   // maximum, last radio index or text capacity
    int32_t     lower;   // minimum
};
static_assert(sizeof(DialogField) == 24);

// Dialog kinds. Kinds 3 and 8, and kinds above 15 but figlate's 16 and 17, have no dialog.
constexpr int32_t kDialogTranslate       = 0;
constexpr int32_t kDialogRotate          = 1;
constexpr int32_t kDialogDilate          = 2;
constexpr int32_t kDialogProperties      = 4;
constexpr int32_t kDialogPreferences     = 5;
constexpr int32_t kDialogTextStyle       = 6;
constexpr int32_t kDialogPlotPoints      = 7;
constexpr int32_t kDialogNewParameter    = 9;
constexpr int32_t kDialogParamColor      = 10;
constexpr int32_t kDialogParamColorRgb   = 11;
constexpr int32_t kDialogDocumentOptions = 12;
constexpr int32_t kDialogIterate         = 13;
constexpr int32_t kDialogAddTableData    = 14;
constexpr int32_t kDialogRemoveTableData = 15;
constexpr int32_t kDialogPlotTableData   = 16;  // figlate only
constexpr int32_t kDialogLabelMultiple   = 17;  // figlate only

struct LayoutNode;

// What the Label Multiple Objects dialog edits. The dialog runs the change routine after
// every edit of the label; the example is built by the engine's routine and then belongs
// to the dialog.
struct LabelMultipleRecord {
    uint16_t enableBits;   // bit 0 OK enabled; bit 1 always set
    char*    firstLabel;   // kLabelRecordTextSize bytes: the label typed
    uint16_t checkFlags;   // bit 1 the check box is shown, bit 0 it is enabled
    int32_t  showLabels;   // "Show Labels for All Selected Objects"
    char     remembered[76];  // the label as the change routine last saw it
    LayoutNode* (*buildSample)(const char* typed);
};
constexpr uint32_t kLabelRecordTextSize = 256;
constexpr uint32_t kLabelTypedLength = 75;  // what the sequence and the example read of it

// What the Plot Points dialog edits. The dialog calls the engine back after the user
// switches the input form or asks to plot without closing it.
struct PlotPointsRecord {
    int32_t       one;             // 1
    int32_t       form;            // 1 rectangular (x, y), 0 polar (r, theta)
    double        first;           // x or r
    int32_t       firstDecimals;   // 6
    double        second;          // y or theta, in the sketch's angle unit
    int32_t       secondDecimals;  // 6
    int32_t       previousForm;    // the form at the last conversion
    int32_t       alsoOne;         // 1
    int32_t       plotNow;         // set by the dialog: plot and stay open
    int32_t       nine;            // 9
    SketchObject* edited;          // the plotted point being edited, or null
};

// Called with the record after each edit the user makes.
using DialogChangeFn = int32_t (*)(void* record);

// Runs a dialog over the record; true when it closed with OK (the record then holds
// the user's values). False at once for a kind without a dialog, or while there is no
// main window.
bool RunCommandDialog(int32_t dialogKind, void* record, DialogChangeFn change, int32_t helpTopic,
                      int32_t mode);

// Draws up to three marked objects (null entries are skipped) in XOR for a few frames;
// step is the mark slot whose group was completed (0..19), or 20.
void FlashScriptStep(SketchObject* const objects[3], int32_t step);

// A cell of a dialog's owner-drawn grid: drawing is clipped to the cell, which is first
// painted as a raised (or pressed) button face when asked; the clip stays on the cell's
// inner rectangle until EndDialogCellFrame.
void DrawDialogCellFrame(GraphicsPort* port, const ScreenRect& cell, bool buttonFace, bool pressed);
void EndDialogCellFrame(GraphicsPort* port);

// The system's colour picker, starting from *color (COLORREF); true with the chosen
// colour in *color when it was accepted.
bool OpenColorPicker(uint32_t* color);
