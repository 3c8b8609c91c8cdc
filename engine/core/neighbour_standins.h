// Stand-in: engine services of coordinate systems and custom-tool playback that the
// sketch record, object creation and the marks call, until those are built.
#pragma once
#include <cstdint>

#include "engine/core/sketch.h"

// Whether a custom tool's playback lets a matched given leave mark category 26.
bool ToolPlaybackObjectGone(SketchObject* object, int32_t change);

// Coordinate systems: whether the axes are shown, showing them (with undo), making a
// new system (null: none can be made yet), and the flag that remembers that a system
// was marked before it left the sketch.
bool          CoordSystemAxesVisible(const SketchObject* system);
void          ShowCoordSystem(SketchObject* system);
SketchObject* CreateCoordSystem(int32_t x, int32_t y, int32_t form, int32_t flags);
bool          CoordSystemWasMarked(const SketchObject* system);
void          SetCoordSystemWasMarked(SketchObject* system, bool marked);

