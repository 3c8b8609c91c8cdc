#include "tests/support/sketch_hooks_double.h"

#include "engine/core/services/sketch_hooks.h"

namespace {
int gSketchesFreed = 0;
}

void NotifySketchFreed() { ++gSketchesFreed; }
int SketchesFreedCount() { return gSketchesFreed; }
