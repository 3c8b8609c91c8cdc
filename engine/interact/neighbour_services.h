// What the command table, the census and the command-state registry need of the
// sketch engine, the calculations, the motion engine and the shell, beyond what those
// already offer (sketch records, type tables, geometry, text styles, string groups).
//
// Stand-in: the declarations below name operations and records that the code owning
// them does not offer yet, with the least of each that the command state reads; the
// definitions live in engine/interact/standin/. When the owner offers one, its
// declaration here goes and the owner's header is included in its place.
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

bool ObjectListIsEmpty(PtrList list);

// ---- Motion engine and shell -------------------------------------------------------


// Custom-tool playback matches the selection again at every census.
void ToolPlaybackRematchSelection();
