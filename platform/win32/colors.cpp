// The custom colours of the colour menu and the colour dialog, and the highlight colour
// of the drawing ports.
#include <windows.h>

#include "engine/core/color_list.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "platform/rules/colors.h"
#include "platform/win32/custom_colors.h"
#include "platform/win32/render/graphics_port.h"

namespace {
CustomColorBlock* gCurrent = nullptr;
COLORREF gCustomColorArray[kMaxCustomColors];
uint32_t gCustomColors[kMaxCustomColors];
}  // namespace

CustomColorBlock* NewDefaultCustomColors() {
    auto* block = static_cast<CustomColorBlock*>(AllocMemory(sizeof(CustomColorBlock), kAllocZero));
    if (block) FillDefaultCustomColors(block);
    return block;
}

void SetCustomColors(CustomColorBlock* block) {
    if (block != gCurrent) FreeMemory(gCurrent);
    if (block) {
        CopyCustomColors(block->colors, gCustomColors, block->count);
        for (int32_t i = 0; i < kMaxCustomColors; ++i) gCustomColorArray[i] = gCustomColors[i];
    }
    gCurrent = block;
}

const CustomColorBlock* GetCustomColors() { return gCurrent; }
COLORREF* CustomColorArray() { return gCustomColorArray; }

void InitDefaultPalette(uint32_t palette[12]) { DefaultPaletteFor(GetSysColor(COLOR_WINDOW), palette); }

void RefreshSelectionColor(int32_t changeKind) {
    if (changeKind != 6 && changeKind != 7) return;
    // Only a sketch shown in a document's view has a port.
    Sketch* sketch = CurrentSketch();
    GraphicsPort* port = sketch ? SketchViewPort(sketch) : nullptr;
    if (!port) return;
    ChooseSelectionColor(port);
    // Rebuilding redraws every view with the new colours; a new background also needs
    // its traces layer made again, which the rebuild does.
    RebuildSketchViews(0);
}
