// What the engine's document asks of the user interface: the menu bar built from a
// menu description, and the views told when the current page changes. The engine
// stores menu descriptions (MenuStream bytes) and hands them over unchanged.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct EngineDocument;

// Rebuilds the main menu bar from a menu description. 0 on success; a result above 2
// means the description cannot be used and the caller tries the next source.
ResultCode BuildMenuBarFromStream(const uint8_t* bytes, uint32_t length);

// The menu description loaded for the program (null when there is none) and the
// built-in default one.
const uint8_t* ProgramMenuStream(uint32_t* length);
const uint8_t* DefaultMenuStream(uint32_t* length);

// The user interface's chance to refuse a page change: 0 allows it.
int32_t NoPageHook(EngineDocument* document, int32_t newPageIndex);

// After the current page changed: the views follow (scrolling, extents, titles,
// colours, the selected page tab).
void ShowPageInViews(EngineDocument* document, int32_t oldPageIndex, int32_t newPageIndex);

// Shows the new state of a command-state item (registry slot) in its element: a menu item
// or the text palette. Called before the registry stores the state, so oldVariant is the
// variant the element shows now. `full` = text, marks and enabled state; else the enabled
// state only.
void UpdateCommandElement(uint32_t slot, uint16_t text, uint16_t variant, uint16_t oldVariant,
                          bool enabled, bool full);

// What PollUserAbort looks for; several may be combined.
constexpr uint32_t kAbortOnKey    = 1;  // any key going down
constexpr uint32_t kAbortOnClick  = 2;  // the left button going down
constexpr uint32_t kAbortOnEscape = 4;  // the Escape key only

// Whether the user asked to stop a long operation since the last poll; the press is
// taken from the queue with its release.
bool PollUserAbort(uint32_t flags);

// Opens the context menu of the front sketch at the pointer; the flags say whether the
// right button went down over empty space or over an object.
void ShowContextMenu(bool overEmptySpace, bool overObject);

// The toolbox bar shows the toolbox's items and selection again.
void RefreshToolboxBar();

// Whether the toolbox bar exists and is visible; hiding (true) or showing (false) it
// unless it is already so.
bool IsToolboxVisible();
void SetToolboxHidden(bool hidden);
