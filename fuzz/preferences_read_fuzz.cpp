// Feeds outside bytes to the preferences file reader from a memory stream, over the
// defaults. Whatever it takes must be a record the program can write: written out and
// read again over the defaults it comes back equal, with the same custom colours.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/color_list.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"
#include "engine/docio/streams.h"
#include "engine/interact/preferences.h"
#include "tests/support/scoped_preferences.h"

namespace {

Preferences ReadOverDefaults(const void* data, uint32_t size) {
    Preferences p;
    PreferencesDefaults(&p);
    StreamHandle h = 0;
    if (OpenMemoryStreamCopy(data, size, &h) != kResultOK) std::abort();
    PreferencesReadStream(h, &p);
    DiscardStream(h);
    return p;
}

bool SameColors(const CustomColorBlock* a, const CustomColorBlock* b) {
    if (!a || !b) return a == b;
    return a->count == b->count && std::memcmp(a->colors, b->colors, sizeof(uint32_t) * size_t(a->count)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    SetCustomColors(nullptr);
    const Preferences first = ReadOverDefaults(data, static_cast<uint32_t>(size));
    CustomColorBlock colors{};
    const bool hasColors = GetCustomColors() != nullptr;
    if (hasColors) colors = *GetCustomColors();

    StreamHandle h = 0;
    if (OpenMemoryStream(0, &h) != kResultOK) std::abort();
    if (PreferencesWriteStream(h, &first) != kResultOK) std::abort();
    uint32_t length = 0;
    if (CloseStream(h) != kResultOK) std::abort();
    void* bytes = TakeStreamBytes(h, &length);
    if (!bytes) std::abort();
    SetCustomColors(nullptr);
    const Preferences second = ReadOverDefaults(bytes, length);
    FreeMemory(bytes);
    if (!SamePreferences(first, second)) std::abort();
    if (!SameColors(hasColors ? &colors : nullptr, GetCustomColors())) std::abort();
    SetCustomColors(nullptr);
    return 0;
}
