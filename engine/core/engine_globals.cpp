// The process-wide current and front sketch. Kept apart from the sketch code so that
// readers of the current sketch's settings link without it.
#include "engine/core/sketch.h"

EngineGlobals gEngine = {};
