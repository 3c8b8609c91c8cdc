// Document Options: the dialog edits the live document (its pages and custom tools) while
// it runs, so the views follow at once; the model keeps a snapshot of both from before
// the dialog, and at its end either confirms the changes (asking before pages are lost
// or link buttons break) or puts the document back as the snapshot holds it.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct EngineDocument;
struct Sketch;

// The longest page or tool name the dialog shows and takes.
constexpr int32_t kPageNameChars = 80;
constexpr int32_t kToolNameBytes = 81;

// What the dialog is handed: the document and the view to open on (0 pages, 1 tools).
struct DocOptionsRecord {
    EngineDocument* document;
    int32_t         view;
};

// Marks on the document's tool-list entries while the dialog runs.
constexpr uint8_t kToolMarkAdded   = 32 | 1;  // copied in during this dialog
constexpr uint8_t kToolMarkRemoved = 64;
constexpr uint8_t kToolMarkRenamed = 128;
constexpr uint8_t kToolMarkChanged = 4;       // name or position changed by the confirmation

// Executor 41: the dialog on its pages view.
ResultCode DocumentOptionsCommand(int32_t argument);
// flag 1 opens on the pages view, 0 on the tools view. 0 when the snapshots could not
// be had (no dialog); else whether the tool changes were all made.
int32_t DocOptionsRun(int32_t flag);

// Snapshots and the end of a run; the dialog runs between them.
bool    DocOptionsSnapshotPages(EngineDocument* document);
bool    DocOptionsSnapshotTools(EngineDocument* document);
void    DocOptionsFinishPages(bool accepted);
int32_t DocOptionsFinishTools(bool accepted);

// Pages. A page name fills `buffer` (kPageNameChars + 1 bytes): the page's name, or
// its 1-based number when it has none (then false).
bool       DocOptionsPageName(EngineDocument* document, int32_t index, char* buffer);
ResultCode DocOptionsRenamePage(EngineDocument* document, int32_t index, const char* text);
void       MoveListEntry(EngineDocument* document, int32_t from, int32_t to);
void       DocOptionsDeletePage(EngineDocument* document, int32_t index);
// Appends a copy of the page to the document; the document is left as it was on failure.
ResultCode DocOptionsCopyPage(EngineDocument* document, Sketch* source, void* owner, void* busyTask);
// The page's link-to-page buttons whose target is gone; with select, those become the
// selection (hidden ones shown, with undo).
int32_t    DocOptionsLinkButtons(EngineDocument* document, Sketch* page, bool select);

// Tools, by position in the snapshot.
int32_t CustomToolCount();
// The name's length + 1; with a null buffer only the length + 1.
int32_t CustomToolName(int32_t n, char* buffer, int32_t size);
void    CustomToolRename(int32_t n, const char* text);
void    DocOptionsMoveTool(int32_t from, int32_t to);
void    DocOptionsDeleteTool(int32_t n);
// After Copy Tool appended a tool to the document's list: 1, or 0 when the snapshot
// could not take it.
int32_t DocOptionsAddTool();
