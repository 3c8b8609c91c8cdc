#include "engine/interact/toolbox.h"

#include <cstring>
#include <iterator>

#include "engine/core/memory.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/sketch.h"
#include "engine/interact/current_tool.h"

namespace {

// Header, top-level group of six; the arrows, point, compass, the straight objects,
// text and the custom-tool button. The default entry is the translate arrow.
const ToolboxEntry kDefaultLayout[] = {
    { kToolboxHeader, 3, 0, 0 },
    { kToolboxGroup,  6, 0, 0 },
    { kToolboxGroup,  3, 0, 0 },
    { kToolboxTool,   kToolTranslateArrow, 0, 0 },
    { kToolboxTool,   kToolRotateArrow, 0, 0 },
    { kToolboxTool,   kToolDilateArrow, 0, 0 },
    { kToolboxTool,   kToolPoint, 0, 0 },
    { kToolboxTool,   kToolCompass, 0, 0 },
    { kToolboxGroup,  3, 0, 0 },
    { kToolboxTool,   kToolSegment, 0, 0 },
    { kToolboxTool,   kToolRay, 0, 0 },
    { kToolboxTool,   kToolLine, 0, 0 },
    { kToolboxTool,   kToolText, 0, 0 },
    { kToolboxTool,   kToolCustomButton, 0, 0 },
};
static_assert(sizeof kDefaultLayout == 112);

constexpr int32_t kTopGroup = 1;
constexpr uint16_t kMinGroupMembers = 2;
constexpr uint16_t kMaxGroupMembers = 100;

ToolboxEntry* gLayout = nullptr;
// ChooseCurrentTool selects with fall-back; a tool that cannot start never sends it back
// into itself.
bool gChoosing = false;

// Validates the group at `at`; answers the index after its last member, or -1 when the
// layout is damaged. *unavailable is set for an entry that cannot be shown.
int32_t ValidateGroup(ToolboxEntry* layout, int32_t at, bool* unavailable) {
    ToolboxEntry& group = layout[at];
    if (group.type != kToolboxGroup || group.b < kMinGroupMembers || group.b > kMaxGroupMembers)
        return -1;
    group.c = 0;
    group.d = 1;
    int32_t next = at + 1;
    for (uint16_t m = 0; m < group.b; ++m) {
        ToolboxEntry& e = layout[next];
        switch (e.type) {
        case kToolboxTool:
            e.c = IsToolAvailable(e.b) ? e.b : 0;
            ++next;
            break;
        case kToolboxGroup:
            // A nested group counts when it shows a member; the walk goes on after its
            // last member either way.
            next = ValidateGroup(layout, next, unavailable);
            if (next < 0) return -1;
            break;
        case kToolboxCustomTools:
            e.c = ToolboxAllowsCustomTools(e.b, nullptr) ? 1 : 0;
            ++next;
            break;
        default:
            return -1;
        }
        if (e.c != 0) ++group.c;
        else *unavailable = true;
    }
    return next;
}

// The index after the entry and, for a group, all its members.
int32_t SkipEntry(const ToolboxEntry* layout, int32_t at) {
    if (layout[at].type != kToolboxGroup) return at + 1;
    int32_t next = at + 1;
    for (uint16_t m = 0; m < layout[at].b; ++m) next = SkipEntry(layout, next);
    return next;
}

// The n-th (1-based) visible direct member of the group at `group`; -1 for none.
int32_t VisibleMember(const ToolboxEntry* layout, int32_t group, int32_t n) {
    if (n < 1) return -1;
    int32_t at = group + 1;
    for (uint16_t m = 0; m < layout[group].b; ++m) {
        if (layout[at].c != 0 && --n == 0) return at;
        at = SkipEntry(layout, at);
    }
    return -1;
}

// The entry of (item, member); member kToolboxNone is the item itself.
int32_t EntryOf(int32_t item, int32_t member) {
    if (!gLayout || item == kToolboxNone) return -1;
    const int32_t at = VisibleMember(gLayout, kTopGroup, item);
    if (at < 0 || member == kToolboxNone) return at;
    if (gLayout[at].type != kToolboxGroup) return -1;
    return VisibleMember(gLayout, at, member);
}

int32_t ToolOfEntry(int32_t at) {
    const ToolboxEntry& e = gLayout[at];
    switch (e.type) {
    case kToolboxTool: return e.c;
    case kToolboxCustomTools: return kToolCustom;
    case kToolboxGroup: {
        const int32_t member = VisibleMember(gLayout, at, e.d);
        return member < 0 ? 0 : ToolOfEntry(member);
    }
    default: return 0;
    }
}

}  // namespace

bool IsToolAvailable(int32_t tool) { return tool >= 1 && tool <= 11 && tool != 9; }

bool ToolboxAllowsCustomTools(uint16_t, const void*) { return false; }

uint32_t DefaultToolboxLayoutSize() { return sizeof kDefaultLayout; }

ToolboxEntry* CopyDefaultToolboxLayout() {
    auto* copy = static_cast<ToolboxEntry*>(AllocMemory(sizeof kDefaultLayout, 0));
    if (copy) std::memcpy(copy, kDefaultLayout, sizeof kDefaultLayout);
    return copy;
}

const ToolboxEntry* InstalledToolbox() { return gLayout; }

ResultCode InstallToolbox(ToolboxEntry* layout, ToolboxEntry** previous) {
    *previous = nullptr;
    bool unavailable = false;
    if (layout) {
        if (layout[0].type != kToolboxHeader || ValidateGroup(layout, kTopGroup, &unavailable) < 0)
            return kResultBadToolbox;
        if (layout[kTopGroup].c == 0) return kResultNoToolAvailable;
    }
    *previous = gLayout;
    gLayout = nullptr;
    SetCurrentTool(kToolTranslateArrow);
    gLayout = layout;
    if (layout) {
        layout[0].c = kToolboxNone;
        layout[0].d = kToolboxNone;
        ChooseCurrentTool();
    }
    RefreshToolboxBar();
    return unavailable ? kResultSomeToolsUnavailable : kResultOK;
}

uint16_t ToolboxItemField(int32_t item) {
    const int32_t at = EntryOf(item, kToolboxNone);
    return at < 0 ? 0 : gLayout[at].c;
}

bool ToolboxItemInfo(int32_t item, int32_t member, int32_t* tool, bool* isCurrent,
                     bool* hasMembers, int32_t* customArgument) {
    const int32_t at = EntryOf(item, member);
    if (at < 0) return false;
    const ToolboxEntry& e = gLayout[at];
    if (tool) *tool = ToolOfEntry(at);
    if (customArgument) *customArgument = e.type == kToolboxCustomTools ? e.b : 0;
    if (hasMembers) *hasMembers = e.type == kToolboxGroup && e.c > 1;
    if (isCurrent) {
        *isCurrent = gLayout[0].c == item &&
                     (member == kToolboxNone || gLayout[0].d == member);
    }
    return true;
}

void GetToolboxSelection(int32_t* item, int32_t* member) {
    *item = gLayout ? gLayout[0].c : kToolboxNone;
    *member = gLayout ? gLayout[0].d : kToolboxNone;
}

int32_t ToolboxVisibleCount(int32_t item) {
    if (!gLayout) return 0;
    const int32_t at = item == kToolboxNone ? kTopGroup : EntryOf(item, kToolboxNone);
    if (at < 0 || gLayout[at].type != kToolboxGroup) return 0;
    int32_t n = 0;
    while (VisibleMember(gLayout, at, n + 1) >= 0) ++n;
    return n;
}

bool ToolboxFindTool(int32_t tool, int32_t* item, int32_t* member) {
    if (!gLayout) return false;
    for (int32_t i = 1;; ++i) {
        const int32_t at = VisibleMember(gLayout, kTopGroup, i);
        if (at < 0) return false;
        const ToolboxEntry& e = gLayout[at];
        if (e.type == kToolboxGroup) {
            for (int32_t m = 1;; ++m) {
                const int32_t in = VisibleMember(gLayout, at, m);
                if (in < 0) break;
                if (gLayout[in].type == kToolboxTool && gLayout[in].c == tool) {
                    *item = i;
                    *member = m;
                    return true;
                }
            }
        } else if (e.type == kToolboxTool && e.c == tool) {
            *item = i;
            *member = kToolboxNone;
            return true;
        }
    }
}

void SelectToolboxEntry(int32_t item, int32_t member, bool fallBack) {
    if (!gLayout) return;
    ToolboxEntry& header = gLayout[0];
    int32_t at = EntryOf(item, member);
    if (at < 0) item = member = kToolboxNone;
    if (at >= 0 && gLayout[at].type == kToolboxGroup && member == kToolboxNone) {
        member = gLayout[at].d;
        at = VisibleMember(gLayout, at, member);
        if (at < 0) item = member = kToolboxNone;
    } else if (at >= 0 && member != kToolboxNone && gLayout[at].type == kToolboxGroup) {
        item = member = kToolboxNone;  // groups in pop-out groups are not selectable
        at = -1;
    }
    const int32_t tool = at < 0 ? kToolTranslateArrow : ToolOfEntry(at);
    if (header.c == item && header.d == member && CurrentToolId() == tool) return;
    if (at < 0) {
        header.c = header.d = kToolboxNone;
        SetCurrentTool(kToolTranslateArrow);
    } else if (!SetCurrentTool(tool)) {
        if (fallBack) {
            header.c = header.d = kToolboxNone;
            SetCurrentTool(kToolTranslateArrow);
        } else {
            ChooseCurrentTool();
        }
        RefreshToolboxBar();
        return;
    } else {
        header.c = static_cast<uint16_t>(item);
        header.d = static_cast<uint16_t>(member);
        if (member != kToolboxNone) gLayout[EntryOf(item, kToolboxNone)].d = static_cast<uint16_t>(member);
    }
    RefreshToolboxBar();
}

void SelectToolboxItem(int32_t item, int32_t member) {
    Sketch* previous = nullptr;
    SetCurrentSketch(gEngine.frontSketch, &previous);
    SelectToolboxEntry(item, member, false);
    SetCurrentSketch(previous, nullptr);
}

bool ChooseCurrentTool() {
    if (gChoosing) return false;
    const int32_t toolBefore = CurrentToolId();
    if (!gLayout) {
        if (toolBefore == kToolTranslateArrow) return false;
        SetCurrentTool(kToolTranslateArrow);
        return true;
    }
    const uint16_t itemBefore = gLayout[0].c, memberBefore = gLayout[0].d;
    gChoosing = true;
    // Where the default entry shows, as item and member.
    int32_t item = kToolboxNone, member = kToolboxNone;
    const int32_t wanted = gLayout[0].b;
    for (int32_t i = 1; item == kToolboxNone; ++i) {
        const int32_t at = VisibleMember(gLayout, kTopGroup, i);
        if (at < 0) break;
        if (at == wanted) item = i;
        for (int32_t m = 1; item == kToolboxNone && gLayout[at].type == kToolboxGroup; ++m) {
            const int32_t in = VisibleMember(gLayout, at, m);
            if (in < 0) break;
            if (in == wanted) {
                item = i;
                member = m;
            }
        }
    }
    if (item == kToolboxNone && VisibleMember(gLayout, kTopGroup, 1) >= 0) item = 1;
    SelectToolboxEntry(item, member, true);
    gChoosing = false;
    return gLayout[0].c != itemBefore || gLayout[0].d != memberBefore || CurrentToolId() != toolBefore;
}

int32_t ToolboxSelectCustomTool() {
    int32_t item = 0, member = 0;
    if (!ToolboxFindTool(kToolCustomButton, &item, &member)) return 0;
    if (gLayout[0].c == item && (member == kToolboxNone || gLayout[0].d == member)) ChooseCurrentTool();
    return gLayout[0].c;
}
