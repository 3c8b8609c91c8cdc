// The custom-tool library: the tools of every open document and of the tool folder's
// documents, the current custom tool, the custom-tool menu and what its items do.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct ChunkedArray;
struct EngineDocument;
struct PopupMenu;
struct Sketch;
struct ToolList;

constexpr ResultCode kResultDuplicateToolName = 205;

// The menu of the toolbox's custom-tool button (flag 0) or of the tools that can be copied
// into a document (flag 1, into `target`); after building, its items.
struct ToolMenuModel {
    int32_t         flag;
    ChunkedArray*   entries;  // ToolMenuEntry
    EngineDocument* target;   // flag 1: the document a chosen tool is copied into
};

// One item of a built menu: a tool {list, index}, or without a list a command: 0 "Create
// New Tool...", 1 "Tool Options...", 2 the script view shown or hidden.
struct ToolMenuEntry {
    uint32_t  id;
    ToolList* list;
    int32_t   index;
};

// Start-up step; nothing to prepare.
bool    InitCustomToolLibrary();
// The current custom tool; false (null, 0) when there is none.
bool    GetCurrentCustomTool(ToolList** list, int32_t* index);
// Makes a tool of a list current and starts it. 1 on success; on failure an alert (100,
// or 204 for a tool whose file is missing) and nothing is current.
int32_t ToolSelectFromLibrary(ToolList* list, int32_t index);
// "Create New Tool...": a tool from the front sketch's selection appended to the front
// document's tools and made current. 0, or the code that was shown.
ResultCode CreateNewToolCommand();
// 1 when no tool of the list has exactly that name.
bool    UniqueToolName(ToolList* list, const char* name);
// Removes a tool (its sketch freed); *wasCurrent tells whether it was the current one.
void    RemoveToolFromLibrary(ToolList* list, int32_t index, bool* wasCurrent);
// Whether any tool is on offer: the front document's (unless excluded), another open
// document's or the tool folder's.
bool    CustomToolsAvailable(bool excludeFront);

// Fills a pop-up from the counter's identifiers; 0 on failure, with no items kept.
int32_t BuildCustomToolMenu(PopupMenu* menu, ToolMenuModel* model, uint32_t* idCounter);
void    ChooseCustomToolFromMenu(uint32_t id, ToolMenuModel* model, bool showScriptView);
void    FreeToolMenuEntry(ToolMenuModel* model);

// One document file of the tool folder: its tools, when it has any, join the library.
void    CustomToolFolderScan(const char* path, const char* name);
// The tool folder's files with tools, in the order they were found.
int32_t   ToolFolderFileCount();
ToolList* ToolFolderFileTools(int32_t index, const char** name);
