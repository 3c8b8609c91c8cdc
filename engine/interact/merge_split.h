// Merging a free point onto another point or onto a path, and splitting what was
// merged: a shared free point into several, a constructed point from its parents. Each
// is one undo step whose entries the undo machinery replays through the handlers here.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/interact/undo.h"

struct SketchObject;

// The menu row of the command for the selection: text item, caret-code selector,
// executor slot (14 split, 15 merge) and argument; false when no case applies.
bool MergeSplitState(uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument);

// The number of independent groups the point's children fall into: the number of points
// a split makes. Children are stamped with their group (traversal stamps above *base).
int32_t CountSplitGroups(SketchObject* point, uint32_t* base);

// 0: split a merged point; 1: split a point from its parents.
ResultCode SplitCommand(int32_t argument);
// 0: merge the selected free point onto the selected point; 1: onto the selected path.
ResultCode MergeCommand(int32_t argument);

// Moves the point to the target in 25 steps of 20 ms, recomputing what depends on it.
void AnimateMerge(SketchObject* point, RealPoint target);

// Handlers of entry types 3, 4, 6, 7, 24 and 27, and the releases of discarded records.
ResultCode ApplyRebindUndo(const UndoEntry& entry, int32_t direction);
ResultCode ApplyPointOnPathUndo(const UndoEntry& entry, int32_t direction);
ResultCode ApplyMergeUndo(const UndoEntry& entry, int32_t direction);
ResultCode ApplySplitUndo(const UndoEntry& entry, int32_t direction);
ResultCode ApplyNewParentsUndo(const UndoEntry& entry, int32_t direction);
ResultCode ApplyReverseUndo(const UndoEntry& entry, int32_t direction);
void ReleaseMergeUndoLists(const UndoEntry& entry);
void ReleaseSplitUndoObjects(const UndoEntry& entry);
void ReleaseReverseUndo(const UndoEntry& entry);
void ReleaseRebindUndo(const UndoEntry& entry);
