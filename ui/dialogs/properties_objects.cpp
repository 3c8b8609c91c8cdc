#include "ui/dialogs/properties_objects.h"

#include "engine/calc/expression_tokens.h"
#include "engine/calc/measurements.h"
#include "engine/core/locus.h"
#include "engine/core/object_tables.h"

bool PlotHasAngleDomain(const SketchObject* plot) {
    return plot && plot->objectKind == kKindFunctionPlot && LocusDataOf(plot)->form == kFormRofTheta;
}

bool ObjectIsParameter(const SketchObject* object) { return object && IsParameter(object); }
