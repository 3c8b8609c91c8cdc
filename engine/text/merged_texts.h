// Merged and pegged texts: captions whose tree shows other objects live. Each shown
// object is a reference node in the tree, an alternatives node whose value is the
// parent number (1-based) | part index << 16 and whose one alternative is the part as
// the parent builds it (its DisplayPartsOps). The caption's valueSlots hold one
// TextReference of four slots per reference, in tree order, so that a refresh rebuilds
// only what changed. A merged text (type 77) shows the objects it merged; a pegged text
// (type 90) shows its second parent centred on its first, a point.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/text_style.h"

struct LayoutNode;
struct SketchObject;

// Whether the object is a merged (type 77) or pegged (type 90) text.
bool IsMergedOrPeggedText(const SketchObject* object);

// Items of valueSlots per reference: {parent, part index, reference node, refresh stamp
// (the parent's generation when the part was last built)}.
constexpr int32_t kSlotsPerReference = 4;

// A reference node showing nothing yet; null without memory.
LayoutNode* CreateReferenceNode(int32_t parentNumber, int32_t part);
// Whether the node is a reference to one of `parentCount` parents.
bool IsReferenceNode(const LayoutNode* node, int32_t parentCount);

// Four slots per reference node of the tree (tree order, alternatives not entered).
int32_t CountReferences(const SketchObject* object);
// Fills the records in tree order with stamp 0 and drops every reference's shown part,
// so that the next update builds them all.
void AssignReferences(SketchObject* object);
// Builds the parts that have none yet and, with onlyChanged, those whose parent changed.
void UpdateReferences(SketchObject* object, bool onlyChanged);
// Drops the shown parts that their parents want dropped when the text is refreshed.
void DropChangedParts(SketchObject* object);
// Update routines of construction types 77 and 90.
void RefreshMergedText(SketchObject* object, SketchObject* const* parents);
void FollowPeggedPoint(SketchObject* object, SketchObject* const* parents);

// The objects a custom template may name, numbered from 1. SerializeMergedText sets
// `named` for each one a reference text names; with renumber, `number` gives each named
// object its number among the named ones (0 for the others).
struct MergedTextParents {
    SketchObject* const* objects;
    int32_t              count;
    uint8_t*             named;
    int32_t*             number;
};
// Without parents: the tree's plain text. With parents: the tree in the layout language
// with every reference text ("{n}", "{n.p}") naming one of them turned into a reference
// node and a leading "=" dropped. *text is a NUL-terminated block of the caller's.
// 0, or 2 without memory.
ResultCode SerializeMergedText(LayoutNode* tree, char** text, bool renumber, MergedTextParents* parents,
                               int32_t* length);

// Whether the merged text shows anything besides its references (a custom template).
bool HasOwnText(const SketchObject* object);
// The one value or function a merged or pegged text shows, looking through one merged
// text it shows when it shows none directly.
bool FindMergedTextSubject(SketchObject* object, SketchObject** subject);

// A row of one reference per object (part 0), placed and styled as the first caption
// among them, else where new captions go in the default style. Null without memory.
LayoutNode* BuildMergedLayout(SketchObject* const* objects, int32_t count, ScreenPoint* position, TextStyle* style);
constexpr int32_t kTemplateMade = 0;
constexpr int32_t kNotATemplate = 1;
constexpr int32_t kTemplateFailed = 2;
// When objects[0] is a caption written as "=" and text naming "{1}": the tree of the
// template, the caption's style, and the objects cut down to those the text names
// (renumbered in that order).
int32_t TryCustomTemplate(SketchObject** objects, int32_t* count, LayoutNode** tree, TextStyle* style);

// Executor 17: "Merge Text" (0) and "Merge Text To Point" (1). Refusals beep.
ResultCode MergeTextCommand(int32_t toPoint);
// The pegged text showing `shown` at `point`, with its creation undo; null on failure.
SketchObject* MakePeggedText(SketchObject* shown, SketchObject* point);
// Executor 16: "Split Merged Text" on the selected merged text.
ResultCode SplitTextCommand(int32_t argument);
// A click on a merged text: asks whether to split it, and splits it.
void SplitTextFromClick(SketchObject* object);
// Shows the parts again and deletes the text (hides it when objects depend on it or it
// is hidden), as one undoable step; false when that could not be done.
bool SplitText(SketchObject* object);

// Installs the edited tree in exchange for the object's, as the undoable "Edit Caption".
// The tree is the callee's in every case; false when the step could not be made.
bool RecordCaptionEditUndo(SketchObject* object, LayoutNode* tree);

// Undo entries 5 and 8: pairs {object, hidden state} (pointer, i32). Each object whose
// state differs takes the entry's and the entry keeps the previous one; objects that
// then show are selected.
uint32_t HiddenStatePairBytes(int32_t count);
void PutHiddenStatePair(uint8_t** cursor, SketchObject* object, int32_t state);
ResultCode ReplayHiddenStates(uint8_t* pairs, uint32_t size);
// Undo entry 15: {object, held tree} (two pointers). Swapping exchanges the held tree and
// the object's; freeing the record frees the held tree.
constexpr uint32_t kCaptionEditEntryBytes = 2 * sizeof(void*);
ResultCode SwapCaptionLayout(uint8_t* entry, uint32_t size);
void FreeHeldLayout(uint8_t* entry, uint32_t size);
