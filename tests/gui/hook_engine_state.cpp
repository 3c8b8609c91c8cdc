#include "gui/hook_engine_state.h"

#include <cstdio>
#include <sstream>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"

std::string HookValues() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    int i = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch, ++i) {
        if (o->objectClass != kClassMeasurement && o->objectClass != kClassCalculation) continue;
        char line[80];
        std::snprintf(line, sizeof line, "%d %.6f\n", i, CalculationValue(o));
        out << line;
    }
    return out.str();
}

std::string HookBuildParameter(double value) {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    // As New Parameter makes one: its kind, label and change settings from its number.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    std::string result = "failed";
    if (p && SetParameterValue(p, value, false)) {
        ReKindParameter(p, true, false);
        RecomputeObject(p, nullptr, true);
        result = "ok";
    }
    SetCurrentSketch(previous, nullptr);
    return result;
}
