// What function plots ask of their function: its plot form and its value at an argument.
#include <cmath>

#include "engine/calc/standin_engine.h"
#include "engine/calc/value_objects.h"
#include "engine/core/locus.h"
#include "engine/text/layout_builders.h"

int32_t FunctionPlotFormOf(const SketchObject* function) {
    const CalculationData* f = CalculationDataOf(function);
    return f && IsFunctionForm(f->form) ? f->form : -1;
}

bool FunctionValueAt(SketchObject* function, double argument, double* value) {
    CalculationData* f = CalculationDataOf(function);
    // Constant 0 of a function's pool is its variable.
    if (!f || !IsFunctionForm(f->form) || !f->compiled.pool || f->compiled.constantCount == 0) return false;
    if (std::isnan(argument)) return false;
    f->compiled.pool[0] = argument;
    return EvaluateExpression(&f->compiled, ParentItemsOf(function), ParentCountOf(function), value) != 0;
}

int32_t FunctionPlotForm(const SketchObject* plot) {
    return plot && plot->objectClass == kClassLocus ? LocusDataOf(plot)->form : 0;
}
