#include "tests/support/colors_double.h"

#include "engine/core/color_list.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"

namespace {
CustomColorBlock* gInstalled = nullptr;
int32_t gInstallCount = 0;
}  // namespace

int32_t CustomColorInstallCount() { return gInstallCount; }

CustomColorBlock* NewDefaultCustomColors() {
    auto* block = static_cast<CustomColorBlock*>(AllocMemory(sizeof(CustomColorBlock), kAllocZero));
    if (block == nullptr) return nullptr;
    block->count = kMaxCustomColors;
    for (int32_t i = 0; i < kMaxCustomColors; ++i) block->colors[i] = 0x00FFFFFF;
    return block;
}

void SetCustomColors(CustomColorBlock* block) {
    FreeMemory(gInstalled);
    gInstalled = block;
    ++gInstallCount;
}

const CustomColorBlock* GetCustomColors() { return gInstalled; }

// A white window: the last three slots are black.
void InitDefaultPalette(uint32_t palette[12]) {
    const uint32_t colors[12] = {
        0x0000FF, 0x800000, 0x008000, 0x00FFFF, 0x800080, 0x000080,
        0xFF00FF, 0xFFFFFF, 0xC0C0C0, 0x000000, 0x000000, 0x000000,
    };
    for (int32_t i = 0; i < 12; ++i) palette[i] = colors[i];
}
