// The toolbox and the custom-tool library as the sketch and document code reach them:
// start-up and shutdown steps, tool sketches that change or go away, and the document's
// tool list. The custom-tool code (engine/interact) defines them.
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
// Refreshes the stored name of the tool sketch shown in the tool list.
void UpdateToolSketchName(Sketch* toolSketch);
// Refreshes the tool status display after a tool sketch's title changed.
void ShowToolStatus(Sketch* sketch, void* unused);

// Appends a custom tool to a document's list, which may move. False without memory.
bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value);
// A list is being freed: the current custom tool is dropped when it belongs to it.
void CustomToolCancelDelete(ToolList* list);
// Selects the custom-tools item of the toolbox; answers the new current item when it
// changed, else -1.
int32_t ToolboxSelectCustomTool();
// Whether the toolbox's current tool is one of the list's custom tools.
bool ToolboxHasToolOf(const ToolList* list);

// The current sketch's clone mode: 0 none, 3 a tool sketch built from a selection,
// 4 a tool being made, 5 custom-tool playback.
int32_t CurrentCloneMode();
constexpr int32_t kCloneToolFromSelection = 3;
constexpr int32_t kClonePlayback = 5;
// Objects of the current sketch numbered for a custom tool being built or played
// (0 when none).
int32_t NumberedObjectCount();
