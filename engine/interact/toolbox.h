// The toolbox as the engine keeps it: a layout of 8-byte entries that says which tools
// the toolbox shows, how they are grouped into pop-out groups, which item and member are
// selected and which entry is the default. The toolbox bar draws and operates it; the
// selection here turns into the current tool.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

// Entry types and the meaning of their words:
//   header (first entry): b = index of the default entry (from the header), c = selected
//       item, d = selected member (kToolboxNone for none);
//   tool: b = tool id, c = the tool id when available, else 0 (set by validation);
//   group: b = member entries that follow (2..100), c = visible members (validation),
//       d = remembered member (1-based);
//   custom tools: b = argument, c = 1 when available, else 0.
// The entry after the header is the top-level group; a nested group's members follow it.
// Items and members are numbered from 1 among the visible entries.
enum ToolboxEntryType : int16_t {
    kToolboxHeader      = 0,
    kToolboxTool        = 1,
    kToolboxGroup       = 2,
    kToolboxCustomTools = 3,
};

struct ToolboxEntry {
    int16_t  type;
    uint16_t b;
    uint16_t c;
    uint16_t d;
};
static_assert(sizeof(ToolboxEntry) == 8);

constexpr uint16_t kToolboxNone = 0xFFFF;

constexpr ResultCode kResultBadToolbox          = 35;
constexpr ResultCode kResultNoToolAvailable     = 300;
constexpr ResultCode kResultSomeToolsUnavailable = 301;

// Tools 1 to 11 except 9.
bool     IsToolAvailable(int32_t tool);
// Custom-tool entries of this kind are never offered.
bool     ToolboxAllowsCustomTools(uint16_t argument, const void* data);
uint32_t DefaultToolboxLayoutSize();
// A new heap copy of the default layout; null without memory.
ToolboxEntry* CopyDefaultToolboxLayout();

// Validates and installs a layout (null: no toolbox), handing back the one installed
// before; the caller owns both. The arrow becomes current, then the toolbox chooses its
// tool. 35 (damaged) and 300 (nothing available) install nothing and hand back null;
// 301 installs a layout some of whose entries are hidden.
ResultCode InstallToolbox(ToolboxEntry* layout, ToolboxEntry** previous);
const ToolboxEntry* InstalledToolbox();

// Field c of the n-th visible top-level item (a group's visible members, a tool's id);
// 0 when there is no such item.
uint16_t ToolboxItemField(int32_t item);
// The tool of an item or of a member of a group item (member kToolboxNone: the item
// itself), whether that is the current selection, whether it is a group with more than
// one visible member, and a custom-tools entry's argument. False for no such entry.
bool     ToolboxItemInfo(int32_t item, int32_t member, int32_t* tool, bool* isCurrent,
                         bool* hasMembers, int32_t* customArgument);
void     GetToolboxSelection(int32_t* item, int32_t* member);
// Visible top-level items (item kToolboxNone) or visible members of a group item; 0 when
// there is no toolbox or the item is no group.
int32_t  ToolboxVisibleCount(int32_t item);
// Searches the visible items and the members of visible groups.
bool     ToolboxFindTool(int32_t tool, int32_t* item, int32_t* member);

// Selects an entry (item kToolboxNone: none, the translate arrow current). A tool that
// cannot start gives none with fallBack, else the toolbox chooses again.
void     SelectToolboxEntry(int32_t item, int32_t member, bool fallBack);
// The same with the front sketch made current.
void     SelectToolboxItem(int32_t item, int32_t member);
// Selects the default entry when it is visible, else the first available tool, else
// nothing (the translate arrow current, also without a toolbox); true when the selection
// or the current tool changed.
bool     ChooseCurrentTool();
