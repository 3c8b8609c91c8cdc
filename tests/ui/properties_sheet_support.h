// Sketch objects for the Properties sheet's tests, made in a file without the Windows
// headers (some engine names clash with theirs).
#pragma once
#include <cstdint>

struct Sketch;
struct SketchObject;

// A new current sketch (the previous one is given back by the end call).
Sketch* BeginPropertiesSketch();
void EndPropertiesSketch(Sketch* sketch);
SketchObject* PropertiesTestPoint(double x, double y);
// A free measurement: its sheet has a Value page besides the Object and Label pages.
SketchObject* PropertiesTestValue(double value);
// The display mode of a measurement's value (0 original name .. 3 current label).
void SetValueDisplayMode(SketchObject* value, int32_t mode);
int32_t ValueDisplayMode(SketchObject* value);
// An action button of the type over the targets (engine defaults, no undo).
SketchObject* PropertiesTestButton(int32_t type, SketchObject* first, SketchObject* second);
void SetObjectHiddenForTest(SketchObject* object, bool hidden);
bool ObjectHiddenForTest(const SketchObject* object);
