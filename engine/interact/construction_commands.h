// The commands that build objects from the selection: the construction programs and
// their interpreter, segments between points, intersections, points on objects and
// equations. The executors themselves are declared with the command table's
// (command_executors.h).
#pragma once
#include <cstdint>

// Constant construction programs, one after another; a command's argument is a byte
// offset into the block. Operations: 0 type (one object from the whole list, stop);
// 1 class (move the first listed object of the class to the front); 2 class, type and
// 3 kind, type (one object per matching object, stop); 4 (append the current coordinate
// system); any byte above 4 is skipped.
constexpr uint32_t kConstructionProgramBytes = 142;
extern const uint8_t ConstructionProgram[kConstructionProgramBytes];

struct SketchObject;

// After a new object is built: the automatic labels the sketch's settings ask for.
void ApplyAutomaticLabels(SketchObject* object);
// A new point shows its label when the sketch labels new points and the point is shown;
// answers the object.
SketchObject* AutoLabelNewObject(SketchObject* object);
