// Stand-in: engine services of custom-tool playback that the sketch record, object
// creation and the marks call, until it is built.
#pragma once
#include <cstdint>

#include "engine/core/sketch.h"

// Whether a custom tool's playback lets a matched given leave mark category 26.
bool ToolPlaybackObjectGone(SketchObject* object, int32_t change);
