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

#include "engine/core/services/coord_systems.h"

#include "engine/core/services/object_labels.h"


#include "engine/text/captions.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
