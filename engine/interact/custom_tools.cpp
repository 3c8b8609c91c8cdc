#include "engine/core/services/custom_tools.h"

#include "engine/core/tool_list.h"

// Stand-in: no library, no tool folder, no tool list view and no script view exist yet.
bool InitCustomToolLibrary() { return true; }
void FreeToolFolderList() {}
void DetachToolSketch(Sketch*) {}
void UpdateToolSketchName(Sketch*) {}
void ShowToolStatus(Sketch*, void*) {}

// Stand-in: no current custom tool exists, so there is nothing to keep valid or drop.
bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value) {
    return ToolListAdd(list, entry, value);
}
void CustomToolCancelDelete(ToolList*) {}

// Stand-in: the numbered-object table belongs to custom-tool making and playback; until
// it is kept no sketch's objects are numbered.
int32_t NumberedObjectCount() { return 0; }
