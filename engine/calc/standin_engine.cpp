// Stand-in: definitions behind standin_engine.h until the preference and label code
// lands; each goes when its real one arrives.
#include "engine/calc/standin_engine.h"

#include <cmath>
#include <cstring>

#include "engine/core/object_tables.h"

int32_t CurrentPrecision(int32_t which) { return which == 0 ? 2 : which == 1 ? 2 : 1; }


