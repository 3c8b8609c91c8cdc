// Hidden helper objects that figlate makes while it converts an older document: a
// parameter holding a number, and a point plotted from one value with its translation.
#pragma once
#include <cstdint>

struct SketchObject;

// The kind that a helper parameter of an older document is given: a plain parameter.
constexpr int32_t kHelperParameterKind = 62;  // kKindPlainParameter

// A free parameter (a calculation) of `kind` whose expression is the number `value`,
// with the default parameter motion, linked into the current sketch; null without
// memory.
SketchObject* CreateHelperParameter(int32_t kind, double value);

// For a value and a coordinate system: the point plotted at (value, 0) with `flag`, else
// at (0, value), into made[0], and its translation into made[1] by 100 pixels across the
// value's axis (up with `flag`, else to the right); both hidden as consumed. The zero
// coordinate is *shared, made on the first call of an import. 0, or 100 without memory
// (then nothing made here is left).
int32_t CreateLegacyHelperObjects(SketchObject* first, SketchObject* second, bool flag, SketchObject** shared,
                                  SketchObject** made);
