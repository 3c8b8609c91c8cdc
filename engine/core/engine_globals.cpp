// The process-wide current and front sketch, and the depth of nested evaluations. Kept
// apart from the sketch code so that readers of the current sketch's settings link
// without it.
#include "engine/core/nested_evaluation.h"
#include "engine/core/sketch.h"

EngineGlobals gEngine = {};
int16_t NestedEvaluationDepth = 0;
