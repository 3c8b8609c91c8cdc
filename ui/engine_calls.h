// Engine entry points that the user interface calls and that the engine does not
// offer yet.
//
// Stand-in: the mouse handling, the toolbox model and the sketch's character commands
// belong to the interaction code; until it offers them, they are declared here and
// defined in ui/standins/engine_calls_standin.cpp. When it does, this header includes
// the engine's headers instead and the stand-in file goes.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

// Mouse flags the view passes: Shift sets both low bits, Alt adds 16, the right
// button is 4.
constexpr uint32_t kMouseFlagShift = 0x03;
constexpr uint32_t kMouseFlagRight = 0x04;
constexpr uint32_t kMouseFlagAlt   = 0x10;
constexpr int32_t  kMouseToolTracking = 9;

void    SketchMouseDown(uint32_t flags, ScreenPoint point);
void    SketchMouseHover(uint32_t flags, ScreenPoint point, int32_t unused);
void    SketchMouseUp(uint32_t flags, ScreenPoint point);
void    SketchDoubleClick(uint32_t flags, ScreenPoint point);
// The mouse state: 0 idle, 9 a construction tool tracks the mouse.
int32_t GetMouseState();
// The cursor kind of the last hover or button-down (0 to 17).
int32_t MouseCursorKind();
// A construction tool tracking the mouse while the pointer is outside every view.
void    ToolIdle();
// Printable characters for the front sketch.
void    HandleSketchChar(uint32_t character);

// The toolbox model: 0 on success, 300 for an empty layout, 35 for a bad one.
struct ToolboxLayout;
ToolboxLayout* CopyDefaultToolboxLayout();
int32_t        InstallToolbox(ToolboxLayout* layout, ToolboxLayout** previous);
void           FreeToolboxLayout(ToolboxLayout* layout);
