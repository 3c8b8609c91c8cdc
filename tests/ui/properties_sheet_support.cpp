#include "tests/ui/properties_sheet_support.h"

#include "engine/calc/value_objects.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/sketch.h"
#include "engine/interact/action_buttons.h"

namespace {
Sketch* gPrevious = nullptr;
}

Sketch* BeginPropertiesSketch() {
    Sketch* sketch = CreateSketch(0, nullptr);
    if (sketch) SetCurrentSketch(sketch, &gPrevious);
    return sketch;
}

void EndPropertiesSketch(Sketch* sketch) {
    if (sketch) FreeSketch(sketch);
    SetCurrentSketch(gPrevious, nullptr);
}

SketchObject* PropertiesTestPoint(double x, double y) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (!p) return nullptr;
    RecomputeObject(p, nullptr, true);
    SetPointPosition(p, x, y, 1, nullptr, false);
    return p;
}

SketchObject* PropertiesTestValue(double value) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassMeasurement, 0, 46, 0 };
    SketchObject* m = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (!m) return nullptr;
    RecomputeObject(m, nullptr, true);
    ValueDisplayOf(m)->value = value;
    ValueDisplayOf(m)->defined = 1;
    return m;
}

void SetValueDisplayMode(SketchObject* value, int32_t mode) { ValueDisplayOf(value)->displayMode = mode; }
int32_t ValueDisplayMode(SketchObject* value) { return ValueDisplayOf(value)->displayMode; }

SketchObject* PropertiesTestButton(int32_t type, SketchObject* first, SketchObject* second) {
    first->tempLink = second;
    if (second) second->tempLink = nullptr;
    ResultCode rc = 0;
    return MakeActionButton(type, first, false, &rc);
}

void SetObjectHiddenForTest(SketchObject* object, bool hidden) { object->hidden = hidden ? kHiddenByUser : kShown; }
bool ObjectHiddenForTest(const SketchObject* object) { return object->hidden != kShown; }
