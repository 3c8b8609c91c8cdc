// Parameters: calculations whose definition is a single number that the user sets
// directly, their change settings for motions, and the tokens of a number.
#pragma once
#include <cstdint>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/parameter_dialog_record.h"
#include "engine/core/services/dialogs.h"

constexpr double kMotionLimit = 1000000;
constexpr double kMotionRateLimit = 500000;
constexpr double kMotionSecondsMin = 0.001;
constexpr double kMotionSecondsMax = 3600;
constexpr uint16_t kChangeDirectionMask = 0x3;
constexpr uint16_t kChangeNoModeFlag = 0x4;  // set when the mode flag is 0

struct ParameterMotion {
    double min;
    double max;
    double rate;
    double seconds;
    double step;
    int32_t modeFlag;
    int32_t direction;
};

// Puts settings in order: min and max ordered and kept within +-1000000 (a range of one
// value becomes one unit wide), a negative rate turned positive with the direction
// reversed, rate, seconds and step within their limits; values that are not finite
// take the nearest limit or the default. Used for settings given and settings read.
void NormalizeParameterMotion(ParameterMotion* m);

// In the sketch's units unless `raw`.
void GetParameterMotion(const SketchObject* parameter, ParameterMotion* out, bool raw);
void SetParameterMotion(SketchObject* parameter, ParameterMotion settings);
void SetDefaultParameterMotion(SketchObject* parameter);

// The unit of a parameter as the New Parameter dialog and the Parameter page offer it.
enum ParameterUnits : int32_t { kUnitsNone = 0, kUnitsAngle = 1, kUnitsDistance = 2 };
ParameterUnits ParameterUnitKind(const SketchObject* parameter);

// After an edit: the kind from the first compiled token's class; default settings when
// new, forced or the kind changed; a new parameter shown by its label.
void ReKindParameter(SketchObject* parameter, bool isNew, bool force);

// The tokens of `value` for a parameter of `kind` ("%#.9g", trailing zeros dropped, the
// exponent as "*10^"), into a new array given to the record (form 4). False when the
// tokens would need more than `capacity` or memory runs out.
bool NumberToExpressionTokens(CalculationEditRecord* record, uint32_t capacity, double value, int32_t kind);

// Edits an existing parameter (its name, and its value with undo), or with a null
// parameter fills `record` with the new parameter's tokens and `name` with a changed
// name (capacity bytes, the given name proposed). True on OK.
bool RunParameterDialog(SketchObject* parameter, CalculationEditRecord* record, char* name, uint32_t capacity);

// Sets a parameter's value. Without undo: a new expression, its kind again and its value
// slots cleared (the caller recomputes). A value that is not finite is refused.
bool SetParameterValue(SketchObject* parameter, double value, bool undo);
