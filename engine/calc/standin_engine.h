// What the calculation code needs of the engine: the real headers, and stand-ins for
// the few pieces still being built elsewhere (each goes when its real one lands).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/arc_objects.h"

#include "engine/core/circles.h"
#include "engine/core/geometry.h"
#include "engine/core/points.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/screen_types.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_objects.h"
#include "engine/core/units.h"
#include "engine/core/services/number_locale.h"
#include "engine/text/string_groups.h"

// The parents of an object: the items of its list handle in the current arena.
inline uint32_t ParentCountOf(const SketchObject* object) {
    int32_t count = 0;
    if (object) PtrListItems(object->parents, &count);
    return count > 0 ? uint32_t(count) : 0;
}
inline SketchObject* const* ParentItemsOf(const SketchObject* object) {
    int32_t count = 0;
    return object ? reinterpret_cast<SketchObject* const*>(PtrListItems(object->parents, &count)) : nullptr;
}

// Stand-in: the coordinate system data of class 8.
struct CoordinateSystemData {
    RealPoint origin;
    double unitX;
    double unitY;
};

#include "engine/core/services/object_labels.h"

// Stand-in: the layout builders from engine data and the caption code; these make
// plain text runs where the real ones build the full layouts.
struct LayoutNode;
struct LayoutParseContext;
// Parent names and the other description placeholders ("%1", "%2x12", "%2x+0", ...).
int32_t ExpandObjectPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                SketchObject* object);
LayoutNode* BuildObjectLabelLayout(SketchObject* object, LayoutNode* parent);
LayoutNode* BuildUnitLayout(int32_t angleExponent, int32_t distanceExponent, bool piForm, LayoutNode* parent);
bool CanSkipValueText(const SketchObject* object);
void RelayoutObjectText(SketchObject* object);
struct CaptionInit;
// The caption text data: an init with an empty-slot layout; installing an init (null
// object: freeing its tree); freeing the object's slots and layout.
bool InitCaptionData(CaptionInit* init);
bool SetObjectTextLayout(SketchObject* object, CaptionInit* init);
void FreeCaptionData(SketchObject* object);
// The caption's value slot list, made with its slots empty when missing.
bool AllocCaptionSlots(SketchObject* object);
void ClearValueSlots(SketchObject* object);

