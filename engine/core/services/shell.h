// The shell's services that the engine calls for dialogs, input polling and a few
// platform answers. Each does nothing (false, no effect) while there is no main window.
#pragma once
#include <cstdint>

// The dialog RunCommandDialog runs. Kinds 3 and 8, and kinds above 15, have no dialog.
enum CommandDialogKind : int32_t {
    kDialogTranslate        = 0,
    kDialogRotate           = 1,
    kDialogDilate           = 2,
    kDialogProperties       = 4,
    kDialogPreferences      = 5,
    kDialogTextStyle        = 6,
    kDialogPlotPoints       = 7,
    kDialogNewParameter     = 9,
    kDialogParamColor       = 10,
    kDialogParamColorRgb    = 11,
    kDialogDocumentOptions  = 12,
    kDialogIterate          = 13,
    kDialogAddTableData     = 14,
    kDialogRemoveTableData  = 15,
};

// Called by a dialog after each edit of its record.
using DialogApplyCallback = void (*)(void* record);

// Runs the dialog of the kind modally over `record`, which stays the caller's; true
// when it ended with OK (the record then holds the user's values).
bool RunCommandDialog(int32_t kind, void* record, DialogApplyCallback apply, int32_t helpTopic,
                      bool sketchInteractive);

// What PollUserAbort looks for; several may be combined.
enum AbortPollFlag : uint32_t {
    kAbortOnKey    = 1,  // any key going down
    kAbortOnClick  = 2,  // the left button going down
    kAbortOnEscape = 4,  // the Escape key only
};
// True when an interruption was waiting; it is taken from the queue with its release.
bool PollUserAbort(uint32_t flags);

// The system beep for a refused edit or command.
void RefusalBeep();
// True while an arrow key is held; *dx and *dy are -1, 0 or 1.
bool ReadArrowKeyNudge(int32_t unused, int16_t* dx, int16_t* dy);

bool IsFiniteReal(double value);
// True for a signalling or a quiet NaN; infinities are not NaN.
bool IsNanReal(double value);
// Rewrites locus class code 10 as 6 and 6 as 3; answers the code it was given.
int32_t MapLocusClassCode(int32_t* code);
