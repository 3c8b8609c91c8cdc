// Class data of measurements (class 7) and calculations, parameters and functions
// (class 11): both start with the value display, class 11 adds the expression.
#pragma once
#include <cstdint>

#include "engine/calc/expression_tokens.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/text_objects.h"
#include "engine/text/text_style.h"

struct LayoutNode;
struct LayoutParseContext;

enum ValueDisplayMode : int32_t {
    kDisplayOriginalName = 0, kDisplayNoName = 1, kDisplayCustomName = 2, kDisplayCurrentLabel = 3,
};

struct ValueDisplay {
    CaptionData caption;
    int32_t busy;          // set while the value layout is rebuilt
    int32_t defined;       // 1 when value holds a defined value
    int32_t precision;     // decimals, 0..5
    int32_t displayMode;   // ValueDisplayMode
    LayoutNode* customLayout;  // owned; only in display mode 2
    int32_t cachedDistanceUnit;
    int32_t cachedAngleUnit;
    int32_t piForm;        // a pure angle shown in radians as a multiple of pi
    uint16_t captionTemplate;  // item of string group 6 used in display mode 0
    double value;          // in the sketch's units
};

// Change settings of a parameter, in radians or pixels for angle or distance ones.
struct ParameterChange {
    uint16_t flags;
    double min;
    double max;
    double rate;
    double seconds;
    double step;
};

// Class data of class 11: the value display, then the expression.
struct CalculationData {
    ValueDisplay display;
    int32_t form;              // ExpressionForm
    uint32_t infixCount;
    ExpressionToken* infixTokens;  // owned; value and call tokens index the parent list
    CompiledExpression compiled;
    // One-entry memo of a function object's calls, invalidated by every recompute.
    double callMemoResult;
    double callMemoArgument;
    int32_t callMemoDefined;
    int32_t callMemoValid;
    ParameterChange change;
};

static_assert(sizeof(ValueDisplay) <= kMeasurementDataBytes, "the type tables reserve too little");
static_assert(sizeof(CalculationData) <= kCalculationDataBytes, "the type tables reserve too little");

constexpr int32_t kMeasurementClass = 7;   // kClassMeasurement of the type tables
constexpr int32_t kCalculationClass = 11;  // kClassCalculation

inline bool HasValueDisplay(const SketchObject* o) {
    return o && (o->objectClass == kMeasurementClass || o->objectClass == kCalculationClass);
}
// The value display is the class data of class 7 and leads that of class 11.
inline ValueDisplay* ValueDisplayOf(SketchObject* o) { return ClassData<ValueDisplay>(o); }
inline const ValueDisplay* ValueDisplayOf(const SketchObject* o) { return ClassData<ValueDisplay>(o); }
// Null for objects of any other class.
inline CalculationData* CalculationDataOf(SketchObject* o) {
    return o && o->objectClass == kCalculationClass ? ClassData<CalculationData>(o) : nullptr;
}
inline const CalculationData* CalculationDataOf(const SketchObject* o) {
    return o && o->objectClass == kCalculationClass ? ClassData<CalculationData>(o) : nullptr;
}
// A calculation of the calculation form (a free one is a parameter).
inline bool IsParameterForm(const SketchObject* o) {
    const CalculationData* c = CalculationDataOf(o);
    return c && c->form == kFormCalculation;
}
