// Stand-in: the toolbox model and the character commands of the interaction code, until
// it offers them. Characters do nothing in a sketch, and the toolbox layout is an empty
// record that installs.
#include "ui/engine_calls.h"

#include <new>

struct ToolboxLayout {
    int32_t entries;
};

void HandleSketchChar(uint32_t) {}

ToolboxLayout* CopyDefaultToolboxLayout() { return new (std::nothrow) ToolboxLayout{ 1 }; }
int32_t InstallToolbox(ToolboxLayout* layout, ToolboxLayout** previous) {
    static ToolboxLayout* installed = nullptr;
    if (previous) *previous = installed;
    installed = layout;
    return 0;
}
void FreeToolboxLayout(ToolboxLayout* layout) { delete layout; }
