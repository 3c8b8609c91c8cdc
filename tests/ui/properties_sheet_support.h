// Sketch objects for the Properties sheet's tests, made in a file without the Windows
// headers (some engine names clash with theirs).
#pragma once

struct Sketch;
struct SketchObject;

// A new current sketch (the previous one is given back by the end call).
Sketch* BeginPropertiesSketch();
void EndPropertiesSketch(Sketch* sketch);
SketchObject* PropertiesTestPoint(double x, double y);
// A free measurement: its sheet has a Value page besides the Object and Label pages.
SketchObject* PropertiesTestValue(double value);
