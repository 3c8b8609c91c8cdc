// The Transform menu's commands: Translate, Rotate and Dilate through their dialogs
// (with a live preview and picking of marks in the sketch), Reflect without one, and
// the Mark commands. The executors TransformCommand (slot 4) and MarkCommand (slot 5)
// are declared with the others in command_executors.h.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/core/transform_settings.h"

struct LayoutNode;
struct UndoRecord;

// The live preview while a dialog is open, reached through one process-wide pointer.
struct TransformPreview {
    int32_t     active;          // preview images exist
    PtrList     selection;       // the selection before the preview
    int32_t     selectionCount;
    UndoRecord* undoPosition;    // the newest undo record before the preview was built
};

// Runs one of the three dialogs (dialog kind 0..2, the settings' kind the same) with
// preview and picking, then builds the images. Answers 0.
int32_t TransformDialogCommand(int32_t dialog, int32_t kind);
// The dialog's change routine: removes the previous preview and, while the preview
// entry is 1, builds a new one. Answers 0.
int32_t RefreshTransformPreview(void* settings);

// The picking routines handed to the pick session while a dialog is open.
bool    TransformPickFilter(SketchObject* object, void* settings);
void    TransformPickAccept(SketchObject* object, void* settings, int32_t (**apply)(void*));
int32_t TransformPickApply(void* settings);

// Dialog captions of marked items: 0 and 1 the vector's head and tail, 2 the angle, 3 the
// ratio, 4 and 5 the distances, 6 the centre, 7 a value display around the object that
// `record` points at. Null when the item is not marked; the caller frees the tree.
LayoutNode* TransformDialogCaption(int32_t field, void* record);
