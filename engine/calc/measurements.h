// Measurements: the measurement function table, the compute routine of every
// measurement construction type, and the units of measured values.
#pragma once
#include <cstdint>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/value_objects.h"
#include "engine/core/services/measurements.h"

using MeasurementComputeFn = void (*)(SketchObject* object, SketchObject* const* parents);

// One row per measurement kind, indexed by the construction type's measureFunction.
struct MeasurementFunctionRecord {
    int16_t distanceExponent;
    int16_t angleExponent;
    uint16_t captionTemplate;  // item of string group 6; 30 by parent count, 31 none
    MeasurementComputeFn compute;         // null in the row of function objects
};

constexpr uint32_t kMeasurementFunctionRows = 18;
constexpr uint16_t kCaptionByParentCount = 30;
constexpr uint16_t kCaptionNone = 31;
constexpr int32_t kStringGroupCaptions = 6;

extern const MeasurementFunctionRecord MeasurementFunctionTable[kMeasurementFunctionRows];

struct MeasurementCaptionRow {
    int16_t constructionType;
    int16_t parentCount;
    uint16_t captionTemplate;
};
extern const MeasurementCaptionRow MeasurementCaptionByParentCount[8];

// The construction type's row of the measurement function table (18 none, 19 type 0).
uint32_t MeasureFunctionOfType(int32_t constructionType);

// The caption template a measurement of this type and parent count starts with.
uint16_t MeasurementCaptionTemplate(int32_t constructionType, uint32_t parentCount);

void MeasureSegmentLength(SketchObject* object, SketchObject* const* parents);
void MeasureDistance(SketchObject* object, SketchObject* const* parents);
void MeasurePerimeter(SketchObject* object, SketchObject* const* parents);
void MeasureCircumference(SketchObject* object, SketchObject* const* parents);
void MeasureAngle(SketchObject* object, SketchObject* const* parents);
void MeasureArea(SketchObject* object, SketchObject* const* parents);
void MeasureArcAngle(SketchObject* object, SketchObject* const* parents);
void MeasureArcLength(SketchObject* object, SketchObject* const* parents);
void MeasureSlope(SketchObject* object, SketchObject* const* parents);
void MeasureRadius(SketchObject* object, SketchObject* const* parents);
void MeasureRatio(SketchObject* object, SketchObject* const* parents);
void EvaluateCalculation(SketchObject* object, SketchObject* const* parents);
void MeasureAbscissa(SketchObject* object, SketchObject* const* parents);
void MeasureOrdinate(SketchObject* object, SketchObject* const* parents);
void MeasureCoordinateDistance(SketchObject* object, SketchObject* const* parents);
void MeasureCoordinateSlope(SketchObject* object, SketchObject* const* parents);


// Units of a measured or calculated value: the row's exponents, or for calculations
// those of the compiled expression.
ExpressionUnitsInfo MeasurementUnits(const SketchObject* object);

int32_t DefaultPrecision(bool distance, bool angle, bool forceNumber);

// Parameters: calculations whose definition is a single number.
// Kinds given to calculations by their units (rows of the object kind table).
constexpr int32_t kKindPlainCalculation = 46;
constexpr int32_t kKindDistanceMeasurement = 43;
constexpr int32_t kKindAngleMeasurement = 44;
constexpr int32_t kKindAreaMeasurement = 45;

bool IsParameterExpression(const SketchObject* object);
bool IsParameter(const SketchObject* object);
double CalculationValue(const SketchObject* calculation);
