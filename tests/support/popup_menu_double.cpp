#include <vector>

#include "engine/core/services/calculator.h"
#include "tests/support/calculator_double.h"

namespace {
std::vector<PopupEntry> gEntries;
}  // namespace

PopupMenu* RecordingPopupMenu() { return reinterpret_cast<PopupMenu*>(&gEntries); }
std::vector<PopupEntry>& RecordedPopupEntries() { return gEntries; }

bool AppendPopupItem(PopupMenu*, int32_t kind, const char*, bool checked, bool ownerDrawn, uint32_t* counter,
                     uint32_t* id) {
    uint32_t next = 0;
    if (kind != kPopupSeparator) next = (*counter)++;
    if (id) *id = next;
    gEntries.push_back({kind, checked, ownerDrawn, next});
    return true;
}
