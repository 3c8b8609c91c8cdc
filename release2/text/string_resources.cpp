#include "release2/text/string_resources.h"

#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"

namespace {

constexpr uint32_t kKeptIdLimit = kResourceIdLimit;
constexpr int32_t kLoadBufferSize = kLongestResourceText + 1;

StringResourceSource gSource = {};
char* gKept[kKeptIdLimit] = {};

void ForgetKept() {
    for (char*& text : gKept) {
        FreeMemory(text);
        text = nullptr;
    }
}

}  // namespace

void SetStringResourceSource(const StringResourceSource& source) {
    ForgetKept();
    gSource = source;
}

uint32_t GroupStringId(int32_t group, int32_t item) {
    if (!gSource.groupTable || gSource.groupTableWords < 1 || group < 0 || item < 0) return 0;
    const uint32_t count = gSource.groupTable[0];
    if (static_cast<uint32_t>(group) >= count || 2u + 2u * static_cast<uint32_t>(group) >= gSource.groupTableWords) {
        return 0;
    }
    const uint32_t first = gSource.groupTable[1 + 2 * group];
    const uint32_t last = gSource.groupTable[2 + 2 * group];
    const uint32_t id = first + static_cast<uint32_t>(item);
    return id <= last ? id : 0;
}

const char* ResourceString(uint32_t id) {
    if (id == 0 || id >= kKeptIdLimit || !gSource.loadString) return "";
    if (gKept[id]) return gKept[id];
    static char buffer[kLoadBufferSize];
    int32_t n = gSource.loadString(id, buffer, kLoadBufferSize);
    if (n <= 0) return "";
    if (n > kLongestResourceText) n = kLongestResourceText;
    char* kept = static_cast<char*>(AllocMemory(static_cast<size_t>(n) + 1, 0));
    if (!kept) return "";
    std::memcpy(kept, buffer, static_cast<size_t>(n));
    kept[n] = '\0';
    gKept[id] = kept;
    return kept;
}

const char* ResourceGroupString(int32_t group, int32_t item) {
    return ResourceString(GroupStringId(group, item));
}

uint32_t CopyResourceGroupString(int32_t group, int32_t item, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    const uint32_t id = GroupStringId(group, item);
    // A text not kept yet is read straight into the buffer: copying needs no memory.
    if (id != 0 && id < kKeptIdLimit && !gKept[id]) {
        if (!gSource.loadString || size > uint32_t(INT32_MAX)) return 0;
        const int32_t n = gSource.loadString(id, buffer, int32_t(size));
        return n > 0 ? uint32_t(n) : 0;
    }
    const char* text = ResourceString(id);
    uint32_t n = 0;
    while (n + 1 < size && text[n]) {
        buffer[n] = text[n];
        ++n;
    }
    buffer[n] = '\0';
    return n;
}
