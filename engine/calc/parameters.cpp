// Parameters: their change settings, their kinds and the tokens of their numbers.
#include "engine/calc/parameters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/measurements.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/measurements.h"
#include "engine/core/units.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/captions.h"
#include "engine/text/object_labels.h"

namespace {

constexpr uint32_t kValueTokenRoom = 40;

bool IsAngleParameter(const SketchObject* p) { return KindIsA(p->objectKind, kKindAngleParameter); }
bool IsDistanceParameter(const SketchObject* p) { return KindIsA(p->objectKind, kKindDistanceParameter); }

// Sketch units to radians or pixels (or back), for the parameter's kind.
double ToStored(const SketchObject* p, double v) {
    if (IsAngleParameter(p)) return AngleToRadians(&v, CurrentSketchAngleUnit());
    if (IsDistanceParameter(p)) return FromDistanceUnits(&v, CurrentSketchDistanceUnit());
    return v;
}
double FromStored(const SketchObject* p, double v) {
    if (IsAngleParameter(p)) return RadiansToAngleUnits(&v, true);
    if (IsDistanceParameter(p)) return ToDistanceUnits(&v);
    return v;
}

}  // namespace

void NormalizeParameterMotion(ParameterMotion* m) {
    if (std::isnan(m->min) || m->min < -kMotionLimit) m->min = -kMotionLimit;
    if (std::isnan(m->max) || m->max > kMotionLimit) m->max = kMotionLimit;
    if (m->min > kMotionLimit) m->min = kMotionLimit;
    if (m->max < -kMotionLimit) m->max = -kMotionLimit;
    // Ordered after clamping, so that no clamp can leave min above max.
    if (m->min > m->max) std::swap(m->min, m->max);
    // A range of one value is made one unit wide, downwards unless that leaves the limits.
    if (m->min == m->max) {
        if (m->max - 1 >= -kMotionLimit) m->min = m->max - 1;
        else m->max = m->min + 1;
    }
    if (std::isnan(m->rate)) m->rate = 1;
    if (m->rate < 0) {
        m->rate = -m->rate;
        if (m->direction == 0) m->direction = 1;
        else if (m->direction == 1) m->direction = 0;
    }
    if (m->rate > kMotionRateLimit) m->rate = kMotionRateLimit;
    if (m->rate == 0) m->rate = 1;
    if (!(m->seconds >= kMotionSecondsMin)) m->seconds = kMotionSecondsMin;
    if (m->seconds > kMotionSecondsMax) m->seconds = kMotionSecondsMax;
    if (!std::isfinite(m->step) || m->step == 0) m->step = 1;
    m->step = std::fabs(m->step);
    if (m->direction < 0 || m->direction > 2) m->direction = 2;
}

void GetParameterMotion(const SketchObject* parameter, ParameterMotion* out, bool raw) {
    const CalculationData* c = CalculationDataOf(parameter);
    *out = ParameterMotion{};
    if (!c) return;
    out->min = c->change.min;
    out->max = c->change.max;
    out->rate = c->change.rate;
    out->seconds = c->change.seconds;
    out->step = c->change.step;
    out->modeFlag = (c->change.flags & kChangeNoModeFlag) ? 0 : 1;
    out->direction = c->change.flags & kChangeDirectionMask;
    if (raw) return;
    out->min = FromStored(parameter, out->min);
    out->max = FromStored(parameter, out->max);
    out->rate = FromStored(parameter, out->rate);
    out->step = FromStored(parameter, out->step);
}

void SetParameterMotion(SketchObject* parameter, ParameterMotion m) {
    CalculationData* c = CalculationDataOf(parameter);
    if (!c) return;
    NormalizeParameterMotion(&m);
    c->change.min = ToStored(parameter, m.min);
    c->change.max = ToStored(parameter, m.max);
    c->change.rate = ToStored(parameter, m.rate);
    c->change.seconds = m.seconds;
    c->change.step = std::fabs(ToStored(parameter, m.step));
    uint16_t flags = uint16_t(c->change.flags & ~(kChangeNoModeFlag | kChangeDirectionMask));
    if (m.modeFlag == 0) flags |= kChangeNoModeFlag;
    c->change.flags = uint16_t(flags | uint16_t(m.direction));
}

void SetDefaultParameterMotion(SketchObject* parameter) {
    ParameterMotion m{-100, 100, 1, 1, 1, 1, 2};
    if (IsDistanceParameter(parameter)) {
        m.min = 0;
    } else if (IsAngleParameter(parameter)) {
        if (CurrentSketchAngleUnit() == kAngleRadians) m = {0, 6.2831853071796, 0.78539816339745, 1, 0.08726646259971667, 1, 0};
        else m = {0, 360, 45, 1, 5, 1, 0};
    }
    SetParameterMotion(parameter, m);
}

void ReKindParameter(SketchObject* parameter, bool isNew, bool force) {
    CalculationData* c = CalculationDataOf(parameter);
    if (!c || !c->compiled.tokens || c->compiled.tokenCount == 0) return;
    const int32_t old = parameter->objectKind;
    switch (TokenClass(c->compiled.tokens[0])) {
        case kClassDistanceConst: parameter->objectKind = kKindDistanceParameter; break;
        case kClassAngleConst: parameter->objectKind = kKindAngleParameter; break;
        default: parameter->objectKind = kKindPlainParameter; break;
    }
    if (isNew || force || old != parameter->objectKind) SetDefaultParameterMotion(parameter);
    if (isNew) {
        GenerateObjectLabel(parameter, kLabelAutomatic, nullptr, false, false);
        if (c->display.displayMode == kDisplayOriginalName) c->display.displayMode = kDisplayCurrentLabel;
    }
}

bool NumberToExpressionTokens(CalculationEditRecord* record, uint32_t capacity, double value, int32_t kind) {
    char text[64];
    std::snprintf(text, sizeof text, "%#.9g", value);
    char mantissa[64];
    char exponent[16] = "";
    std::strcpy(mantissa, text);
    if (std::strchr(mantissa, '.')) {
        if (char* e = std::strchr(mantissa, 'e')) {
            const char* digits = e + 1;
            const bool negative = *digits == '-';
            if (*digits == '+' || *digits == '-') ++digits;
            while (*digits == '0' && digits[1]) ++digits;
            std::snprintf(exponent, sizeof exponent, "%s%s", negative ? "-" : "", digits);
            *e = 0;
        }
        size_t n = std::strlen(mantissa);
        while (n > 0 && mantissa[n - 1] == '0') mantissa[--n] = 0;
        if (n > 0 && mantissa[n - 1] == '.') mantissa[--n] = 0;
    }
    if (capacity < std::strlen(text) + 5) return false;
    ExpressionToken tokens[64];
    uint32_t count = 0;
    auto put = [&](const char* s) {
        for (; *s; ++s) {
            if (*s == '-') tokens[count++] = kClassOperator | kOpNegate;
            else if (*s == '.') tokens[count++] = kTokenDecimalPoint;
            else if (*s >= '0' && *s <= '9') tokens[count++] = ExpressionToken(*s - '0');
        }
    };
    put(mantissa);
    if (kind == kKindAngleParameter) tokens[count++] = ExpressionToken(kTokenAngleUnit + CurrentSketchAngleUnit());
    else if (kind == kKindDistanceParameter) tokens[count++] = ExpressionToken(kTokenDistanceUnit + CurrentSketchDistanceUnit());
    if (exponent[0]) {
        tokens[count++] = kClassOperator | kOpMultiply;
        tokens[count++] = 1;
        tokens[count++] = 0;
        tokens[count++] = kClassOperator | kOpPower;
        put(exponent);
    }
    if (count > capacity) return false;
    auto* owned = static_cast<ExpressionToken*>(AllocMemory(count * sizeof(ExpressionToken), 0));
    if (!owned) return false;
    std::memcpy(owned, tokens, count * sizeof(ExpressionToken));
    if (record->tokens) FreeMemory(record->tokens);
    record->tokens = owned;
    record->count = count;
    record->form = kFormCalculation;
    return true;
}

bool SetParameterValue(SketchObject* parameter, double value, bool undo) {
    CalculationData* c = CalculationDataOf(parameter);
    if (!c || !std::isfinite(value)) return false;
    CalculationEditRecord record{};
    if (!NumberToExpressionTokens(&record, kValueTokenRoom, value, parameter->objectKind)) return false;
    if (undo) return ApplyEditedExpressionTokens(parameter, kFormCalculation, record.tokens, record.count) == kResultOK;
    const int32_t result = InstallCalculationExpression(parameter, kFormCalculation, record.tokens, record.count,
                                                        nullptr, 0, nullptr);
    if (result != kCompileOK) {
        FreeMemory(record.tokens);
        return false;
    }
    ++parameter->generation;
    SetCalculationKind(parameter);
    ClearValueSlots(parameter);
    return true;
}

namespace {

constexpr int32_t kGroupCommandTitles = 17;
constexpr int32_t kItemNewParameter = 40;
constexpr int32_t kItemEditParameterValue = 41;
}  // namespace

ParameterUnits ParameterUnitKind(const SketchObject* parameter) {
    if (KindIsA(parameter->objectKind, kKindAngleParameter)) return kUnitsAngle;
    if (KindIsA(parameter->objectKind, kKindDistanceParameter)) return kUnitsDistance;
    return kUnitsNone;
}

bool RunParameterDialog(SketchObject* parameter, CalculationEditRecord* record, char* name, uint32_t capacity) {
    ParameterDialogRecord dialog{};
    // The title is only shown; the field's text type has no const.
    dialog.title = {kFieldText, kFieldVisible, {}, 0, 0};
    dialog.title.value.text = const_cast<char*>(GroupText(kGroupCommandTitles,
                                                          parameter ? kItemEditParameterValue : kItemNewParameter));
    if (parameter) GetObjectLabelText(parameter, dialog.nameText, sizeof dialog.nameText);
    else if (name) std::snprintf(dialog.nameText, sizeof dialog.nameText, "%s", name);
    dialog.name = {kFieldText, kFieldEnabled | kFieldVisible, {}, int32_t(kParameterNameRoom), 0};
    dialog.name.value.text = dialog.nameText;
    dialog.value = {kFieldNumber, kFieldEnabled | kFieldVisible, {}, 0, 0};
    dialog.value.value.real = parameter ? CalculationValue(parameter) : 1;
    const int32_t units = parameter ? ParameterUnitKind(parameter) : kUnitsNone;
    // An existing parameter keeps its unit: the dialog leaves the group out.
    dialog.units = {kFieldChoice, parameter ? 0u : kFieldEnabled | kFieldVisible, {}, kUnitsDistance, kUnitsNone};
    dialog.units.value.integer = units;
    char proposed[kParameterNameRoom];
    std::memcpy(proposed, dialog.nameText, sizeof proposed);
    const double value = dialog.value.value.real;
    if (!RunCommandDialog(kDialogNewParameter, &dialog, nullptr, 0, 0)) return false;
    dialog.nameText[kParameterNameRoom - 1] = 0;
    const bool renamed = std::strcmp(dialog.nameText, proposed) != 0;
    if (parameter) {
        // The unit choice does not change an existing parameter.
        if (renamed) SetObjectLabel(parameter, dialog.nameText, false);
        if (dialog.value.value.real != value && !SetParameterValue(parameter, dialog.value.value.real, true)) return false;
        return true;
    }
    const int32_t choice = dialog.units.value.integer;
    const int32_t kind = choice == kUnitsAngle ? kKindAngleParameter
                         : choice == kUnitsDistance ? kKindDistanceParameter : kKindPlainParameter;
    if (!std::isfinite(dialog.value.value.real) ||
        !NumberToExpressionTokens(record, 40, dialog.value.value.real, kind))
        return false;
    if (renamed && name && capacity) std::snprintf(name, capacity, "%s", dialog.nameText);
    return true;
}
