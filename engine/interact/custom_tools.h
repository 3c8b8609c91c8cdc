// Stand-in: the custom-tool machinery is not built yet; what the engine's core calls of it.
#pragma once

#include <cstdint>

struct Sketch;
struct ToolList;
struct ToolListNewEntry;

// Start-up step of the custom-tool library; answers true.
bool InitCustomToolLibrary();
// Frees the tool-folder list at shutdown.
void FreeToolFolderList();
// Detaches a tool sketch shown in the script view before it is freed.
void DetachToolSketch(Sketch* sketch);

// Appends a custom tool to a document's list, which may move. False without memory.
bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value);
// A list is being freed: the current custom tool is dropped when it belongs to it.
void CustomToolCancelDelete(ToolList* list);
// Selects the custom-tools item of the toolbox; answers the new current item when it
// changed, else -1.
int32_t ToolboxSelectCustomTool();
// Whether the toolbox's current tool is one of the list's custom tools.
bool ToolboxHasToolOf(const ToolList* list);
