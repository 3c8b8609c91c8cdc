#include "engine/interact/command_state.h"

#include "engine/core/memory.h"
#include "engine/interact/motion.h"
#include "engine/interact/command_table.h"
#include "engine/interact/mouse.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/selection_census.h"

namespace {

struct CommandStateRegistry {
    CommandStateItem* pool;   // heap array; slots stay put when it grows
    uint32_t size;
    uint16_t freeHead;        // 1-based, 0 = none free
    uint16_t groupHeads[kCommandGroupCount];
    uint16_t dirtyMask;       // bit g = group g is stale
    IdleTask refreshTask;
};

CommandStateRegistry gRegistry{};
// The sketch that was current before the outermost group refresh; a refresh of one
// item may run inside another group's refresh, and only the outermost restores.
Sketch* gPreviousSketch = nullptr;
int32_t gRefreshDepth = 0;

// Chains hold 16-bit numbers, so the pool never grows past this.
constexpr uint32_t kMaxPoolItems = 0xffff;

CommandStateItem* ItemAt(uint32_t slot) {
    if (slot >= gRegistry.size) return nullptr;
    CommandStateItem* item = &gRegistry.pool[slot];
    return item->row == kCmdStateFreeRow ? nullptr : item;
}

// Stores a new state in the item, pushing to its element only what really changed:
// marks and noun texts (variant not 0) are rebuilt every time, a plain item only when
// its text or enabled state moved.
void StoreItemState(uint32_t slot, CommandStateItem* item, int32_t enabled, uint16_t text,
                    uint16_t variant, uint16_t executor, int32_t argument) {
    if (variant != 0 || item->variant != 0 || text != item->text) {
        UpdateCommandElement(slot, text, variant, item->variant, enabled != 0, true);
    } else if (enabled != item->enabled) {
        UpdateCommandElement(slot, text, variant, item->variant, enabled != 0, false);
    }
    item->enabled = enabled;
    item->text = text;
    item->variant = variant;
    item->executor = executor;
    item->argument = argument;
}

void RefreshItem(uint32_t slot) {
    CommandStateItem* item = ItemAt(slot);
    if (!item) return;
    const CommandRow* row = CommandRowAt(item->row);
    if (!row) return;
    uint16_t text = 0, variant = 0, executor = 0;
    int32_t argument = 0;
    const bool enabled = RunCommandStateQuery(row->stateQuery, slot, row->stateWord, &text, &variant,
                                              &executor, &argument);
    StoreItemState(slot, item, enabled ? 1 : 0, text, variant, executor, argument);
}

// One pass of the idle task: the lowest dirty group, then stay queued while others
// are dirty.
int32_t RefreshTask(IdleTask*, int32_t) {
    if (gRegistry.dirtyMask == 0) return 0;
    uint32_t group = 0;
    while (!(gRegistry.dirtyMask & (1u << group))) ++group;
    gRegistry.dirtyMask = uint16_t(gRegistry.dirtyMask & ~(1u << group));
    if (gRegistry.groupHeads[group] != 0) {
        CmdGroupPreRefresh(group);
        for (uint16_t n = gRegistry.groupHeads[group]; n != 0;) {
            const uint16_t next = gRegistry.pool[n - 1].next;
            RefreshItem(n - 1u);
            n = next;
        }
        CmdGroupPostRefresh(group);
    }
    return gRegistry.dirtyMask != 0;
}

}  // namespace

bool CmdStateReserveItems(uint32_t n) {
    CommandStateRegistry& r = gRegistry;
    if (!r.pool) {
        if (n == 0 || n > kMaxPoolItems) return n == 0;
        auto* pool = static_cast<CommandStateItem*>(AllocMemory(n * sizeof(CommandStateItem), kAllocZero));
        if (!pool) return false;
        r.pool = pool;
        r.size = n;
        for (uint32_t i = 0; i < n; ++i) {
            pool[i].row = kCmdStateFreeRow;
            pool[i].next = uint16_t(i + 1 < n ? i + 2 : 0);
        }
        r.freeHead = 1;
        for (uint16_t& head : r.groupHeads) head = 0;
        return true;
    }
    const uint32_t free = CmdStateFreeCount();
    if (free >= n) return true;
    const uint32_t missing = n - free;
    if (r.size + missing > kMaxPoolItems) return false;
    if (!ReallocMemoryOf(&r.pool, (r.size + missing) * sizeof(CommandStateItem), true)) return false;
    // The new items go in front of the old free list.
    for (uint32_t i = r.size; i < r.size + missing; ++i) {
        r.pool[i] = CommandStateItem{};
        r.pool[i].row = kCmdStateFreeRow;
        r.pool[i].next = uint16_t(i + 1 < r.size + missing ? i + 2 : r.freeHead);
    }
    r.freeHead = uint16_t(r.size + 1);
    r.size += missing;
    return true;
}

uint32_t CmdStateAddItem(const CommandStateOwner& owner, uint32_t row) {
    CommandStateRegistry& r = gRegistry;
    // The context menu adds its entries without reserving: an exhausted pool must
    // refuse here rather than hand out an item that is in use.
    const CommandRow* rowEntry = CommandRowAt(row);
    if (r.freeHead == 0 || !rowEntry) return kCmdStateNoSlot;
    const uint32_t slot = r.freeHead - 1u;
    CommandStateItem& item = r.pool[slot];
    r.freeHead = item.next;
    const uint32_t group = rowEntry->group;
    item = CommandStateItem{};
    item.ownerKind = owner.ownerKind;
    item.handle = owner.handle;
    item.position = owner.position;
    item.row = row;
    item.variant = 0xffff;
    item.next = r.groupHeads[group];
    r.groupHeads[group] = uint16_t(slot + 1);
    CmdStateInvalidate(group);
    return slot;
}

void CmdStateRemoveItem(uint32_t slot) {
    CommandStateItem* item = ItemAt(slot);
    if (!item) return;  // unknown or already free: removing twice must not loop the list
    CommandStateRegistry& r = gRegistry;
    const CommandRow* row = CommandRowAt(item->row);
    uint16_t* link = &r.groupHeads[row ? row->group : 0];
    while (*link != 0 && *link != slot + 1) link = &r.pool[*link - 1].next;
    if (*link == slot + 1) *link = item->next;
    item->row = kCmdStateFreeRow;
    item->next = r.freeHead;
    r.freeHead = uint16_t(slot + 1);
}

void CmdStateSetItem(uint32_t slot, int32_t enabled, uint16_t text, uint16_t variant,
                     uint16_t executor, int32_t argument) {
    if (CommandStateItem* item = ItemAt(slot))
        StoreItemState(slot, item, enabled, text, variant, executor, argument);
}

bool CmdStateGetItem(uint32_t slot, uint16_t* text, uint16_t* variant, int32_t* enabled,
                     int32_t* argument) {
    const CommandStateItem* item = ItemAt(slot);
    if (!item) return false;
    if (text) *text = item->text;
    if (variant) *variant = item->variant;
    if (enabled) *enabled = item->enabled;
    if (argument) *argument = item->argument;
    return true;
}

uint32_t CmdStateItemRow(uint32_t slot) {
    const CommandStateItem* item = ItemAt(slot);
    return item ? item->row : kCmdStateFreeRow;
}

bool CmdStateFindItem(uint32_t row, uint32_t* slot) {
    const CommandRow* rowEntry = CommandRowAt(row);
    if (!rowEntry || !gRegistry.pool) return false;
    for (uint16_t n = gRegistry.groupHeads[rowEntry->group]; n != 0;
         n = gRegistry.pool[n - 1].next) {
        if (gRegistry.pool[n - 1].row == row) {
            *slot = n - 1u;
            return true;
        }
    }
    return false;
}

bool CmdStateInvalidate(uint32_t group) {
    if (group >= kCommandGroupCount) return true;
    const uint16_t bit = uint16_t(1u << group);
    const bool wasDirty = (gRegistry.dirtyMask & bit) != 0;
    gRegistry.dirtyMask = uint16_t(gRegistry.dirtyMask | bit);
    if (!wasDirty && !gRegistry.refreshTask.queued)
        AddIdleTask(&gRegistry.refreshTask, RefreshTask, kIdleCommandStateRefresh);
    return wasDirty;
}

void CmdStateRefreshNow() {
    if (gRegistry.dirtyMask != 0 && gRegistry.refreshTask.queued)
        RunIdleTaskToEnd(&gRegistry.refreshTask);
}

void CmdStateRefreshItemNow(uint32_t slot) {
    const CommandStateItem* item = ItemAt(slot);
    if (!item) return;
    const CommandRow* row = CommandRowAt(item->row);
    if (!row) return;
    const uint32_t group = row->group;
    CmdGroupPreRefresh(group);
    RefreshItem(slot);
    CmdGroupPostRefresh(group);
}

ResultCode CmdStateExecuteItem(uint32_t slot) {
    const CommandStateItem* item = ItemAt(slot);
    if (!item) return kResultOK;
    const CommandRow* row = CommandRowAt(item->row);
    if (!row) return kResultOK;
    if (!(row->flags & RowKeepsCaptionEditing)) {
        const Sketch* front = GetFrontSketch();
        if (front && (ActivityWord() & kActivityCaptionEditing))
            EndSketchActivity(kActivityCaptionEditing);
    }
    // Ending caption editing may have changed the registry; read the item again.
    item = ItemAt(slot);
    if (!item || !CmdRowIsAvailable(item->row)) return kResultOK;
    return RunCommandExecutor(item->executor, item->argument);
}

void CmdStateFreeItems() {
    FreeMemory(gRegistry.pool);
    gRegistry.pool = nullptr;
    gRegistry.size = 0;
    gRegistry.freeHead = 0;
    for (uint16_t& head : gRegistry.groupHeads) head = 0;
}

bool CmdRowIsAvailable(uint32_t row) {
    const CommandRow* rowEntry = CommandRowAt(row);
    if (!rowEntry) return false;
    const uint8_t flags = rowEntry->flags;
    if (!(flags & RowRunsWhenMemoryShort) && CheckMemoryReserve()) return false;
    if (!(flags & RowRunsWhileMouseHeld) && GetMouseState() != 0) return false;
    return true;
}

bool CmdItemFitsContextMenu(uint32_t slot, bool overEmptySpace, bool overObject) {
    const CommandStateItem* item = ItemAt(slot);
    if (!item || !item->enabled) return false;
    const CommandRow* row = CommandRowAt(item->row);
    if (!row) return false;
    const uint8_t flags = row->flags;
    bool objectOk, spaceOk;
    if (flags & RowContextFromArgument) {
        objectOk = (uint32_t(item->argument) & 0x40000000u) != 0;
        spaceOk = (uint32_t(item->argument) & 0x80000000u) != 0;
    } else {
        objectOk = (flags & RowInObjectContextMenu) != 0;
        spaceOk = (flags & RowInSketchContextMenu) != 0;
    }
    return (overObject && objectOk) || (overEmptySpace && spaceOk);
}

void CmdGroupPreRefresh(uint32_t group) {
    Sketch* previous = nullptr;
    SetCurrentSketch(GetFrontSketch(), &previous);
    if (gRefreshDepth++ == 0) gPreviousSketch = previous;
    const Sketch* front = GetFrontSketch();
    const bool editingCaption = front && front->editSession != nullptr;
    if (group == kCommandGroupSelection || group == kCommandGroupSelectionMotion ||
        group == kCommandGroupMotion || (group == kCommandGroupTextEditing && !editingCaption))
        TakeSelectionCensus();
}

void CmdGroupPostRefresh(uint32_t) {
    if (gRefreshDepth == 0 || --gRefreshDepth != 0) return;
    SetCurrentSketch(gPreviousSketch, nullptr);
    gPreviousSketch = nullptr;
}

uint16_t CmdStateDirtyMask() { return gRegistry.dirtyMask; }

uint32_t CmdStateFreeCount() {
    uint32_t n = 0;
    for (uint16_t i = gRegistry.freeHead; i != 0; i = gRegistry.pool[i - 1].next) ++n;
    return n;
}

const CommandStateItem* CmdStateItemAt(uint32_t slot) { return ItemAt(slot); }
