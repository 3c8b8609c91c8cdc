#include "engine/interact/custom_tools.h"

#include "engine/core/tool_list.h"

// Stand-in: no library, no tool folder and no script view exist yet.
bool InitCustomToolLibrary() { return true; }
void FreeToolFolderList() {}
void DetachToolSketch(Sketch*) {}

// Stand-in: no current custom tool exists, so there is nothing to keep valid or drop.
bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value) {
    return ToolListAdd(list, entry, value);
}
void CustomToolCancelDelete(ToolList*) {}
int32_t ToolboxSelectCustomTool() { return -1; }
bool ToolboxHasToolOf(const ToolList*) { return false; }
