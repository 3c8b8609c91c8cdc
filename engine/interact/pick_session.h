// Picking sketch objects while a modal dialog is open: the object under the pointer that
// the filter accepts is made hot, and a click on it hands it to the accept routine,
// whose apply routine the dialog runs afterwards.
// The dialogs that pick pass the pointer on: PickSessionHover for a move over an object
// (null: over nothing), PickSessionClick for a click on it.
// Stand-in: the click runs the accept routine's apply routine itself, where the dialog
// that picks will run it after the click.
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
