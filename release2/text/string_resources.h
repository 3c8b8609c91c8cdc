// figlate keeps its texts as string resources: (group, item) finds its string id through
// the group table (the RCDATA resource 128), and each id is loaded once and kept for the
// process, so a text's pointer stays valid however many others are asked for after it.
#pragma once
#include <cstdint>

// Group table resource: 16-bit words, the group count, then first and last id per group.
constexpr uint16_t kGroupTableResource = 128;

// Where the texts come from: the program's resources on Windows (release2/win32), the
// same texts built in memory in the native tests.
struct StringResourceSource {
    const uint16_t* groupTable;  // null: no table, every group text is ""
    uint32_t        groupTableWords;
    // Copies string id into buffer, cut to size - 1 characters, NUL-terminated; answers
    // the length copied, 0 for a missing id.
    int32_t (*loadString)(uint32_t id, char* buffer, int32_t size);
};

// String ids stay below this (a larger one reads as ""); the build refuses a larger one.
constexpr uint32_t kResourceIdLimit = 8192;
// The longest text the program loads whole; the build refuses a longer one.
constexpr int32_t kLongestResourceText = 4095;

// Sets the source and forgets every text kept from the one before.
void SetStringResourceSource(const StringResourceSource& source);

// String id of (group, item), or 0 when the group is unknown or the item lies past the
// group's last id (another group's texts start there).
uint32_t GroupStringId(int32_t group, int32_t item);

// The kept text of a string id; "" for a missing id (and, without memory, until a later
// call can keep it).
const char* ResourceString(uint32_t id);

// The kept text of (group, item); "" outside the group.
const char* ResourceGroupString(int32_t group, int32_t item);

// Copies the text of (group, item) into buffer, cut to size - 1 characters with a NUL;
// answers the length copied. Needs no memory: a text not kept is read, not kept.
uint32_t CopyResourceGroupString(int32_t group, int32_t item, char* buffer, uint32_t size);

// Numbered texts outside the groups.
enum ResourceStringId : uint32_t {
    kStringCtrlKey  = 1366,
    kStringAltKey   = 1368,
    kStringShiftKey = 1369,
    kStringDelKey   = 1370,
};
