// Measurements, calculations, parameters and functions as the type tables and the
// geometry reach them. Their class data and routines are the calculation code's
// (engine/calc); the tables only reserve the room and name the routines.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct SketchObject;

// Class data bytes of a measurement (class 7: its value display) and of a calculation
// (class 11: the value display, then the expression). The calculation code checks that
// its records fit.
constexpr uint32_t kMeasurementDataBytes = 88;
constexpr uint32_t kCalculationDataBytes = 216;

// Update routine of every measurement construction type and of calculations.
void UpdateMeasurement(SketchObject* object, SketchObject* const* parents);
// initExtra and freeExtra of measurements (and the value part of calculations).
int32_t InitMeasurementData(SketchObject* object, void* record);
void FreeMeasurementData(SketchObject* object);
// Class routines of calculations, parameters and functions (class 11).
int32_t InitCalculationData(SketchObject* object, void* record);
void FreeCalculationData(SketchObject* object);
void CopyCalculationValue(const SketchObject* source, SketchObject* target);
// The update routine of coordinates, polar coordinates and the equations of straight
// objects and circles (types 53, 54, 55 and 78).
void UpdateCoordinateMeasurement(SketchObject* object, SketchObject* const* parents);
// The update routine of functions and derived functions (types 75 and 80).
void UpdateFunctionLayout(SketchObject* object, SketchObject* const* parents);
// A calculation whose class record was read compiles its expression against its parents
// (`keepKind`: the stored kind stays); 35 when it does not compile, 100 without memory.
ResultCode FinishReadCalculation(SketchObject* object, bool keepKind);
// A derived function (type 80) takes the approximate definition of the derivative of
// its parent 0, with that function as its only parent and kind 59; a failure leaves it
// as it was.
ResultCode MakeApproximateDerivative(SketchObject* derived);
// A free calculation (a parameter) evaluates its own expression.
void UpdateFreeCalculation(SketchObject* object);

// The plot form (0..3) of a function object, -1 for any other object.
int32_t FunctionPlotFormOf(const SketchObject* function);
// The function's value at an argument in the sketch's units; false when it is undefined
// there or the object is no function.
bool FunctionValueAt(SketchObject* function, double argument, double* value);

// The value of a measurement, calculation or parameter parent, in the sketch's units;
// false when it is undefined or the object shows no value.
bool ParentValue(const SketchObject* object, double* value);
// The defined flag and value of a measurement or calculation, read and put back as they
// stand (an iteration moves its value seeds this way); false for an object that shows no
// value (nothing is written then).
bool GetValueState(const SketchObject* object, int32_t* defined, double* value);
bool SetValueState(SketchObject* object, int32_t defined, double value);

// The undoable edit of a calculation's expression (the interaction code's): `tokens`
// (form, count) compiled against the object's parents and put in effect as one undo
// step. The tokens pass to it in every case. 0, 100, or the compiler's code.
int32_t ApplyEditedExpressionTokens(SketchObject* object, int32_t form, uint16_t* tokens, uint32_t count);
