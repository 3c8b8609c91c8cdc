// Stand-in: see neighbour_standins.h.
#include "engine/core/neighbour_standins.h"

#include <cstring>

#include "engine/core/object_creation.h"

namespace {
// Past the frame fields the geometry reads and the class data the menu states read.
constexpr uint32_t kWasMarkedOffset = 64;
}  // namespace

bool ToolPlaybackObjectGone(SketchObject*, int32_t) { return true; }

bool CoordSystemAxesVisible(const SketchObject* system) { return system->hidden == kShown; }

void ShowCoordSystem(SketchObject* system) { ChangeObjectHidden(system, kShown, true); }

SketchObject* CreateCoordSystem(int32_t, int32_t, int32_t, int32_t) { return nullptr; }

bool CoordSystemWasMarked(const SketchObject* system) {
    int32_t flag;
    std::memcpy(&flag, ClassData<char>(system) + kWasMarkedOffset, 4);
    return flag != 0;
}

void SetCoordSystemWasMarked(SketchObject* system, bool marked) {
    const int32_t flag = marked ? 1 : 0;
    std::memcpy(ClassData<char>(system) + kWasMarkedOffset, &flag, 4);
}

