// What every object that shows text shares: the relayout by text family, applying a text
// style (with the ladder of font sizes), the default place of new text-like objects, and
// the small predicates of text refresh.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/text_style.h"

struct LayoutNode;
struct SketchObject;

// Relayout routines indexed by a class's text family: 0 label, 1 caption, 2 value
// display, 3 action button, 4 table.
using TextRelayoutFn = int32_t (*)(SketchObject* object);
extern const TextRelayoutFn TextFamilyTable[5];
// Re-lays out the object's text; with `markDirty` the old and new areas are redrawn.
int32_t RelayoutObjectText(SketchObject* object, bool markDirty);

// The font sizes a size step moves along.
extern const int16_t TextSizeSteps[12];
// The size one step up (+1) or down (-1) the ladder from `size`.
int32_t SteppedTextSize(int32_t size, int32_t step);
// Applies a style's non-zero fields to the object's text; a non-zero step moves the
// size one rung up or down.
void ApplyTextStyleToObject(SketchObject* object, const TextStyle* style, int32_t step);

// The routine that tells which kind each parent must have, for the constructions whose
// parents' kinds depend on the object itself (iteration rules, action buttons); else null.
using ParentKindRuleFn = int32_t (*)(SketchObject* object, int32_t parentIndex);
ParentKindRuleFn GetParentKindRule(const SketchObject* object);

// Placement groups: where new text-like objects of a class go.
struct PlacementRecord {
    int32_t defaultX, defaultY;  // default offset from the visible area's top-left
    int32_t gap;                 // below the previous object
    int32_t width, height;       // the candidate rectangle
};
extern const PlacementRecord PlacementRecords[2];
void DefaultObjectPosition(ScreenPoint* point, int32_t objectClass);
bool FindPlacementBelow(ScreenPoint* point, const PlacementRecord& record, const ScreenRect& visible);

// Whether a caption's or measurement's value text may be left stale now.
bool CanSkipValueText(const SketchObject* object);
// Whether some visible child shows the object's text (or has such a child itself).
bool HasTextDependent(const SketchObject* object);
bool IsIntersectable(const SketchObject* object);
// Reverses a chain linked through tempLink; the head becomes the old last object.
void ReverseTempList(SketchObject** head);

// The display mode of a measurement's or calculation's value (the calculation code).
int32_t ValueDisplayModeOf(const SketchObject* object);

// An object's name as a layout: its label with subscript, decorated by how it was made.
LayoutNode* BuildObjectLabelLayout(SketchObject* object, LayoutNode* parent, bool noun, bool inDescription);
