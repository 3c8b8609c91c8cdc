// Picking sketch objects while a modal dialog is open: the object under the pointer that
// the filter accepts is made hot, and a click on it hands it to the accept routine,
// whose apply routine the dialog runs afterwards.
// Stand-in: the dialogs that pick (calculator, transformation, iteration) are not built,
// so no pointer reaches a session; PickSessionHover and PickSessionClick stand for the
// pointer moving over an object (null: over nothing) and clicking it, and the click
// runs the apply routine as the dialog will.
#pragma once
#include <cstdint>

struct SketchObject;

using PickFilterFn  = bool (*)(SketchObject* object, void* user);
using PickApplyFn   = int32_t (*)(void* user);
using PickAcceptFn  = void (*)(SketchObject* object, void* user, PickApplyFn* apply);
using PickRefusedFn = void (*)(SketchObject* object, void* user, PickApplyFn* apply);

// Stores the routines and asks the filter once about no object; answers that answer.
bool PickSessionBegin(PickFilterFn filter, PickAcceptFn accept, PickRefusedFn refused, void* user);
// Clears the hot object, asks the filter once about no object, ends the session.
void PickSessionEnd();
bool PickSessionActive();

bool    PickSessionHover(SketchObject* object);
// The apply routine's answer; 0 when nothing was applied.
int32_t PickSessionClick(SketchObject* object);
