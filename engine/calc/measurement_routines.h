// The routines of measurements and calculations that the engine's type tables name.
// Kept free of the calculation headers so that the tables need nothing else.
#pragma once
#include <cstdint>

struct SketchObject;

// Update routine of every measurement construction type and of calculations.
void UpdateMeasurement(SketchObject* object, SketchObject* const* parents);
// initExtra and freeExtra of measurements (and the value part of calculations).
int32_t InitMeasurementData(SketchObject* object, void* record);
void FreeMeasurementData(SketchObject* object);
