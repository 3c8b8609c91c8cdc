#include "tests/support/colors_double.h"

#include "engine/core/color_list.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"
#include "platform/rules/colors.h"

namespace {
CustomColorBlock* gInstalled = nullptr;
int32_t gInstallCount = 0;
}  // namespace

int32_t CustomColorInstallCount() { return gInstallCount; }

CustomColorBlock* NewDefaultCustomColors() {
    auto* block = static_cast<CustomColorBlock*>(AllocMemory(sizeof(CustomColorBlock), kAllocZero));
    if (block == nullptr) return nullptr;
    FillDefaultCustomColors(block);
    return block;
}

void SetCustomColors(CustomColorBlock* block) {
    FreeMemory(gInstalled);
    gInstalled = block;
    ++gInstallCount;
}

const CustomColorBlock* GetCustomColors() { return gInstalled; }

// A white window: the last three slots are black.
void InitDefaultPalette(uint32_t palette[12]) { DefaultPaletteFor(RgbColor(255, 255, 255), palette); }
