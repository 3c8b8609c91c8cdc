// What point, straight and circle constructions ask of neighbouring parts of the
// engine: measured values, unit conversion, coordinate systems and marks; the bodies
// are in geometry_neighbours.cpp.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/measurements.h"

struct SketchObject;

// A distance in the current sketch's distance unit to pixels, and an angle in its
// angle unit to radians.
double DistanceFromSketchUnits(double value);
double AngleFromSketchUnits(double value);

// The origin and unit lengths (pixels per unit along x and y) of a coordinate system.
bool CoordinateFrame(const SketchObject* system, RealPoint* origin, double* unitX,
                     double* unitY);

// The current sketch's marked coordinate system when it exists, else null.
SketchObject* MarkedCoordinateSystem();

// Places a shown label again after its object moved.
void RelayoutObjectLabel(SketchObject* object);
