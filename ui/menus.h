// The run-time menus: the menu bar merged from a menu description into the document
// menu, its key letters and accelerators, the item updates pushed by the command-state
// registry, the context menu of a sketch, and the helpers that build the custom-tool
// and symbol menus. Menu items of commands carry 0x9000 + their command-state slot.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/result_codes.h"

class CWnd;

constexpr UINT kFirstColorSwatchCommand = 32859;  // 16 colour swatches
constexpr int  kColorSwatchCount = 16;
constexpr UINT kArcSegmentCommand = 33896;

// Make the inserted-item list at start-up; free both lists, the colour pop-ups and the
// arc-interior pop-up at shutdown.
void CreateMenuLists();
void DestroyMenuLists();

// The document menu bar (menu resource 129) into which the builds merge; loaded on first
// use and kept for the process.
HMENU RuntimeMenuBar();
// The accelerator table that each build replaces with one holding the key letters (the
// main frame's). Null: the builds make no accelerators.
void SetMenuAcceleratorTable(HACCEL* table);

// Pushes a command-state item's new state into its menu item (owner kind 0) or the font
// pop-up's remembered enabled state (owner kind 2).
void UpdateMenuCommandItem(uint32_t slot, uint16_t text, uint16_t variant, uint16_t oldVariant,
                           bool enabled, bool full);
// Enables or greys the font pop-up by the Text Style state last pushed (menu opening).
void UpdateFontPopupItem();
// Gives every command item the key text of the Shift state now recorded (menu opening):
// a change of Shift refreshes only the rows whose rules read it, but every key text
// reads "Shift+" while Shift is held.
void RefreshMenuKeyTexts();
// The arc-interior pop-up's segment item: runs its command with the segment program.
void RunArcSegmentCommand(HWND frame);
// Runs the arc-interior command (the pop-up's, else the Interior row's) with the sector
// or the segment program.
void RunArcInteriorCommand(HWND frame, bool sector);

// Slot of an engine command identifier (0x9000..0xAFFF).
bool MenuIdToSlot(UINT id, uint32_t* slot);
// The copy of the colour pop-up with the 16 swatches (null before the first build).
HMENU GetColorPopupCopy();

// Appends an item whose text is shown as it stands (every '&' doubled; at most 255
// characters).
bool AppendMenuTextItem(HMENU menu, UINT flags, UINT_PTR id, const char* text);
// kind 0 a separator, 1 and 2 a greyed text, 3 an item with the next identifier of the
// counter (owner-drawn items carry the identifier as their data).
bool AppendPopupItem(HMENU menu, int kind, const char* text, bool checked, bool ownerDrawn,
                     UINT* idCounter, UINT* id);
bool AppendSubmenu(HMENU menu, HMENU* popup, const char* title);

// The custom-tool menu at a screen point; true when a tool or command was chosen.
bool ShowCustomToolPopup(int x, int y, UINT flags, HWND window);

// The context menu of a sketch, built without showing it: the copied commands, the total
// height and the offset that puts Preferences or Properties under the pointer.
struct ContextMenuLayout {
    HMENU menu = nullptr;
    int items = 0;          // copies made (not counting separators)
    int height = 0;
    int offset = 0;
    int itemHeight = 0;
};
ContextMenuLayout BuildContextMenu(bool overEmptySpace, bool overObject);
// Where the menu opens for a pointer and the work area.
POINT ContextMenuPlace(POINT pointer, const ContextMenuLayout& layout, const RECT& workArea);
// Removes the context menu's command-state items and destroys it.
void FreeContextMenu(ContextMenuLayout* layout);
