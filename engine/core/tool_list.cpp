#include "engine/core/tool_list.h"

#include "engine/core/memory.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"

#include <cstring>

namespace {

constexpr int32_t kToolListGrowth = 5;
// Items of the miscellany group: "Construction" and "(Unavailable)".
constexpr int32_t kUntitledToolNameItem = 1;
constexpr int32_t kMissingToolNameItem = 2;

size_t ToolListBytes(int32_t capacity) {
    return sizeof(ToolList) + static_cast<size_t>(capacity) * sizeof(ToolListEntry);
}

// The entry at `index`, or null for a null list or an index outside the count.
ToolListEntry* EntryAt(ToolList* list, int32_t index) {
    if (list == nullptr || index < 0 || index >= list->count) return nullptr;
    return &ToolListEntries(list)[index];
}

void ReleaseToolSketch(ToolListEntry* entry) {
    if (entry->sketch == nullptr) return;
    DetachToolSketch(entry->sketch);
    FreeSketch(entry->sketch);
    entry->sketch = nullptr;
}

void CopyCut(char* buffer, uint32_t size, const char* text) {
    if (buffer == nullptr || size == 0) return;
    size_t n = std::strlen(text);
    if (n > size - 1) n = size - 1;
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
}

}  // namespace

ToolList* CreateToolList(int32_t capacity, uint32_t ownerData) {
    if (capacity <= 0) capacity = kToolListGrowth;
    auto* list = static_cast<ToolList*>(AllocMemory(ToolListBytes(capacity), kAllocZero));
    if (list == nullptr) return nullptr;
    list->count = 0;
    list->capacity = capacity;
    list->ownerData = ownerData;
    return list;
}

void FreeToolList(ToolList* list) {
    if (list == nullptr) return;
    for (int32_t i = 0; i < list->count; ++i) ReleaseToolSketch(&ToolListEntries(list)[i]);
    FreeMemory(list);
}

bool ToolListAdd(ToolList** list, const ToolListNewEntry* entry, uint32_t value) {
    if (*list == nullptr) return false;
    if ((*list)->count >= (*list)->capacity) {
        const int32_t capacity = (*list)->capacity + kToolListGrowth;
        if (!ReallocMemoryOf(list, ToolListBytes(capacity), true)) return false;
        (*list)->capacity = capacity;
    }
    ToolListEntry& slot = ToolListEntries(*list)[(*list)->count++];
    slot.sketch = entry != nullptr ? entry->sketch : nullptr;
    slot.value = value;
    slot.useCount = 0;
    slot.flags = entry != nullptr ? entry->flags : 0;
    return true;
}

void ToolListRemove(ToolList* list, int32_t index, bool freeSketch) {
    ToolListEntry* entry = EntryAt(list, index);
    if (entry == nullptr) return;
    if (freeSketch) ReleaseToolSketch(entry);
    std::memmove(entry, entry + 1, static_cast<size_t>(list->count - 1 - index) * sizeof(ToolListEntry));
    --list->count;
}

int32_t ToolListCount(const ToolList* list) {
    return list != nullptr ? list->count : 0;
}

bool ToolListName(ToolList* list, int32_t index, char* buffer, uint32_t size) {
    ToolListEntry* entry = EntryAt(list, index);
    if (entry == nullptr || entry->sketch == nullptr) {
        CopyCut(buffer, size, GroupText(kGroupMiscellany, kMissingToolNameItem));
        return false;
    }
    const char* title = entry->sketch->title;
    CopyCut(buffer, size, title != nullptr && title[0] != '\0'
                                ? title
                                : GroupText(kGroupMiscellany, kUntitledToolNameItem));
    return true;
}

bool ToolListSetName(ToolList* list, int32_t index, const char* text) {
    ToolListEntry* entry = EntryAt(list, index);
    if (entry == nullptr || entry->sketch == nullptr) return false;
    return SetSketchTitle(entry->sketch, text) == kResultOK;
}

ResultCode ToolListAcquire(ToolList* list, int32_t index, Sketch** sketch) {
    *sketch = nullptr;
    ToolListEntry* entry = EntryAt(list, index);
    if (entry == nullptr || entry->sketch == nullptr) return kResultToolUnavailable;
    ++entry->useCount;
    *sketch = entry->sketch;
    return kResultOK;
}

void ToolListRelease(ToolList* list, int32_t index) {
    ToolListEntry* entry = EntryAt(list, index);
    if (entry != nullptr && entry->useCount > 0) --entry->useCount;
}

uint32_t ToolListValue(ToolList* list, int32_t index) {
    ToolListEntry* entry = EntryAt(list, index);
    return entry != nullptr ? entry->value : 0;
}

void ToolListSetValue(ToolList* list, int32_t index, uint32_t value) {
    if (ToolListEntry* entry = EntryAt(list, index)) entry->value = value;
}

void ToolListSetFlags(ToolList* list, int32_t index, uint8_t mask) {
    if (ToolListEntry* entry = EntryAt(list, index)) entry->flags |= mask;
}

void ToolListClearFlags(ToolList* list, int32_t index, uint8_t mask) {
    if (ToolListEntry* entry = EntryAt(list, index)) entry->flags &= static_cast<uint8_t>(~mask);
}

bool ToolListTestFlags(ToolList* list, int32_t index, uint8_t mask) {
    ToolListEntry* entry = EntryAt(list, index);
    return entry != nullptr && (entry->flags & mask) != 0;
}

void ToolListSwap(ToolList* list, int32_t i, int32_t j) {
    ToolListEntry* a = EntryAt(list, i);
    ToolListEntry* b = EntryAt(list, j);
    if (a == nullptr || b == nullptr) return;
    const ToolListEntry t = *a;
    *a = *b;
    *b = t;
}

uint32_t ToolListUserData(const ToolList* list) {
    return list != nullptr ? list->ownerData : 0;
}

void SetToolListUserData(ToolList* list, uint32_t data) {
    if (list != nullptr) list->ownerData = data;
}
