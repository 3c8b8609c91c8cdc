// Pasting a picture from the clipboard, and resizing a picture by its grips with one undo
// step per resize.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"

struct SketchObject;
struct UndoEntry;

// Undo name of a resize (item of string group 8) and the noun of a pasted picture (item
// of string group 0: three noun items per object kind).
constexpr uint16_t kUndoNameResizePicture = 19;
constexpr int32_t  kUndoNounPicture = 180;

// 0 when the clipboard gave no picture or the picture could not be made; else 1. With
// one selected point the picture is pinned by its top-left corner to it; with exactly
// two selected points it spans them; otherwise it is free, at the default position.
int32_t PastePicture();
// The create routine of the paste's batch; userData is the anchor array (null-ended).
SketchObject* BuildPastedPicture(int32_t index, void* userData, uint16_t* outFlags);

// Undo entry 19: the picture, then its top-left and bottom-right corners; the picture's
// corners and the entry's exchange places, so the same entry serves undo and redo.
ResultCode ApplyPictureResizeUndo(const UndoEntry& entry, int32_t direction);
