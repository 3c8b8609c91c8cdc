// What the command table, the census and the command-state registry read of the sketch
// engine, the calculations, the motion engine and the shell, gathered in one include.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/calc/tables.h"
#include "engine/core/geometry.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/iterations.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/object_geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/result_codes.h"
#include "engine/core/services/bars.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/user_interface.h"
#include "engine/text/object_labels.h"
#include "engine/core/sketch.h"
#include "engine/core/status_text.h"
#include "engine/text/string_groups.h"
#include "engine/text/text_style.h"

// ---- Sketch engine ---------------------------------------------------------------

inline Sketch* GetFrontSketch() { return gEngine.frontSketch; }

constexpr int32_t kMarkSlotCoordSystem = 20;

