// Picking sketch objects while a dialog is open: the object under the pointer that the
// filter accepts is made hot (highlighted), and a click on it hands it to the accept
// routine, which names an apply routine for the dialog to run afterwards. One session at
// a time, program-wide.
// Also the object a dialog page is about (the dialog focus object) and the help glue that
// opens numbered help topics.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct SketchObject;

using PickFilterFn  = bool (*)(SketchObject* object, void* user);
using PickApplyFn   = int32_t (*)(void* user);
using PickAcceptFn  = void (*)(SketchObject* object, void* user, PickApplyFn* apply);
using PickRefusedFn = void (*)(SketchObject* object, void* user, PickApplyFn* apply);

// Stores the routines (refused may be null) and asks the filter once about no object;
// answers that answer.
bool PickSessionBegin(PickFilterFn filter, PickAcceptFn accept, PickRefusedFn refused, void* user);
// Drops the hot object, tells the filter, ends the session. The dialog calls it as it closes.
void PickSessionEnd();
bool PickSessionActive();
// The pointer left the sketch: nothing is hot any more.
void PickSessionCancelHot();

// A point of the current sketch: hit-tested, a label or an axis mark counting as nothing.
// True when an object is hot afterwards.
bool PickSessionHover(ScreenPoint point);
// Hovers first; with a hot object the accept routine runs, else the refused routine (when
// there is one) with the refused object or null. True when either ran; *apply is then the
// routine the dialog runs next (null for none).
bool PickSessionClick(ScreenPoint point, PickApplyFn* apply);

// The same for dialogs that find the object under the pointer themselves (null: nothing).
bool PickSessionHover(SketchObject* object);
bool PickSessionClick(SketchObject* object, PickApplyFn* apply);
// Runs the apply routine a click named with the session's user data; 0 for none.
int32_t PickSessionApply(PickApplyFn apply);
// Hover and click in one, then the named apply routine runs with the session's user
// data: answers its answer (0 when nothing was applied).
int32_t PickSessionClick(SketchObject* object);

// The object a dialog page is about (null: none): shown while it is the focus even when
// hidden, highlighted, and labelled when its label exists but is not shown. The previous
// focus gets back what it had.
void SetDialogFocusObject(SketchObject* object);
SketchObject* DialogFocusObject();

// Opens item n of the help topics (string group 21) through OpenLinkWithAlert.
void OpenHelpTopic(int32_t n);
// Opens a link and shows its result as an alert; 0 (opened) and 104 (nothing to say)
// are silent.
void OpenLinkWithAlert(const char* address);
