// The toolbox and the custom-tool library as the sketch and document code reach them:
// start-up and shutdown steps, tool sketches that change or go away, and the document's
// tool list. The custom-tool code (engine/interact) defines them.
#pragma once
#include <cstdint>

struct Sketch;
struct SketchObject;
struct ToolList;
struct ToolListNewEntry;

// Start-up step of the custom-tool library; answers true.
bool InitCustomToolLibrary();
// Frees the tool-folder list at shutdown.
void FreeToolFolderList();
// A sketch is about to be freed: the script view lets go of it when it shows it as a
// tool, and stepping a tool into it ends.
void DetachToolSketch(Sketch* sketch);
// Refreshes the stored name of the tool sketch shown in the tool list.
void UpdateToolSketchName(Sketch* toolSketch);
// Refreshes the tool status display after a tool sketch's title changed.
void ShowToolStatus(Sketch* sketch, void* unused);

// Appends a custom tool to a document's list, which may move. False without memory.
bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value);
// A list is being freed: the current custom tool is dropped when it belongs to it.
void CustomToolCancelDelete(ToolList* list);
// The document's custom tools are freed or replaced: when the toolbox's custom-tool
// button is selected the toolbox chooses its tool again. Answers the selected item, or
// 0 when the toolbox has no custom-tool button.
int32_t ToolboxSelectCustomTool();
// Whether the toolbox's current tool is one of the list's custom tools.
bool ToolboxHasToolOf(const ToolList* list);

// Custom-tool playback hears of an object of mark category 26 leaving the sketch: 0
// deleted, 1 taken out by undo or redo (stepping stops), 2 a created object taken out
// (stepping goes back to its step), 3 the next step. Answers whether the mark may go.
bool ToolPlaybackObjectGone(SketchObject* object, int32_t change);

// Objects of the current sketch numbered for a custom tool being built or played
// (0 when none).
int32_t NumberedObjectCount();
