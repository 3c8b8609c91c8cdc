// The command-state registry: every visible element that stands for a command (a
// menu item, a context-menu entry, the text palette) is one item here, with the
// state of its last refresh. Items are grouped by their row's CommandGroup; code that
// changes what a group depends on only marks the group dirty, and an idle task of
// priority 20 refreshes the lowest dirty group, one group per pass.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/command_states.h"

constexpr uint32_t kCmdStateNoSlot = 0xffffffffu;

// Who shows the item.
enum CommandOwnerKind : uint32_t {
    kOwnerMenuItem = 0,
    kOwnerTextPalette = 1,
    kOwnerFontPopup = 2,
};

struct CommandStateOwner {
    uint32_t ownerKind;
    uint32_t handle;    // the menu holding a menu item, else 0
    uint32_t position;  // the item's position in that menu
};

// One pool element, addressed by its 0-based slot; chains use 1-based numbers, 0 ends.
struct CommandStateItem {
    uint32_t ownerKind;
    uint32_t handle;
    uint32_t position;
    int32_t argument;   // of the last refresh
    uint32_t row;       // CommandRow number; kCmdStateFreeRow while on the free list
    uint16_t next;      // next item of the group chain or of the free list
    uint16_t executor;
    uint16_t variant;   // 0xFFFF after registration: the first refresh always updates
    uint16_t text;      // string group 1
    int32_t enabled;
};
constexpr uint32_t kCmdStateFreeRow = 0xffffffffu;

// Makes sure n items are free, growing the pool; false when memory runs out (the
// pool is then as it was).
bool CmdStateReserveItems(uint32_t n);
// Registers an element for a row. Answers kCmdStateNoSlot when no item is free or the
// row does not exist: the caller then leaves the element out.
uint32_t CmdStateAddItem(const CommandStateOwner& owner, uint32_t row);
void CmdStateRemoveItem(uint32_t slot);
void CmdStateSetItem(uint32_t slot, int32_t enabled, uint16_t text, uint16_t variant,
                     uint16_t executor, int32_t argument);
bool CmdStateGetItem(uint32_t slot, uint16_t* text, uint16_t* variant, int32_t* enabled,
                     int32_t* argument);
uint32_t CmdStateItemRow(uint32_t slot);
bool CmdStateFindItem(uint32_t row, uint32_t* slot);
void CmdStateRefreshNow();
void CmdStateRefreshItemNow(uint32_t slot);
ResultCode CmdStateExecuteItem(uint32_t slot);
bool CmdRowIsAvailable(uint32_t row);
bool CmdItemFitsContextMenu(uint32_t slot, bool overEmptySpace, bool overObject);
void CmdGroupPreRefresh(uint32_t group);
void CmdGroupPostRefresh(uint32_t group);

// For tests and diagnostics: the dirty mask, the free count and an item's record.
uint16_t CmdStateDirtyMask();
uint32_t CmdStateFreeCount();
const CommandStateItem* CmdStateItemAt(uint32_t slot);
