// Stand-in: the mouse handling, the toolbox model and the character commands of the
// interaction code, until it offers them. The mouse does nothing in a sketch, every
// hover shows the arrow, and the toolbox layout is an empty record that installs.
#include "ui/engine_calls.h"

#include <new>

struct ToolboxLayout {
    int32_t entries;
};

void SketchMouseDown(uint32_t, ScreenPoint) {}
void SketchMouseHover(uint32_t, ScreenPoint, int32_t) {}
void SketchMouseUp(uint32_t, ScreenPoint) {}
void SketchDoubleClick(uint32_t, ScreenPoint) {}
int32_t MouseCursorKind() { return 0; }
void ToolIdle() {}
void HandleSketchChar(uint32_t) {}

ToolboxLayout* CopyDefaultToolboxLayout() { return new (std::nothrow) ToolboxLayout{ 1 }; }
int32_t InstallToolbox(ToolboxLayout* layout, ToolboxLayout** previous) {
    static ToolboxLayout* installed = nullptr;
    if (previous) *previous = installed;
    installed = layout;
    return 0;
}
void FreeToolboxLayout(ToolboxLayout* layout) { delete layout; }
