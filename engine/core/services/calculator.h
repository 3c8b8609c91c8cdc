// What the calculator's editing model asks of the platform and the user interface (its
// modal dialog, the pointer while a drag selects, owner-drawn cells and pop-up items),
// and of the calculator commands (a new parameter made from the Values menu).
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct LayoutDrawState;
struct LayoutNode;
struct ParentArray;

// Calculator modes of the dialog.
constexpr int32_t kCalcModeNewCalculation = 31;
constexpr int32_t kCalcModeEditCalculation = 32;
constexpr int32_t kCalcModeNewFunction = 33;
constexpr int32_t kCalcModeEditFunction = 34;
constexpr int32_t kCalcModeEditParameter = 35;

// Runs the modal calculator over the engine's editing model; `titleItem` is an item of
// the motion-text group. True on OK, false on Cancel.
bool RunCalculatorDialog(int32_t mode, int32_t titleItem);

// While the calculator tracks a drag: whether the button is still down, and where the
// pointer is in the expression area's coordinates.
bool CalcMouseStillDown(ScreenPoint* point);

// Fills the box with the selection colour of the system and draws the layout in it
// (value cells of the calculator).
void DrawLayoutOnSelection(LayoutDrawState* state, LayoutNode* tree, const ScreenRect* box, bool selected);

// A pop-up menu of the platform, opaque to the engine.
struct PopupMenu;
constexpr int32_t kPopupSeparator = 0;
constexpr int32_t kPopupCommand = 3;
// Appends a separator, or an item with the next identifier of `counter` (out `id`).
bool AppendPopupItem(PopupMenu* menu, int32_t kind, const char* text, bool checked, bool ownerDrawn,
                     uint32_t* counter, uint32_t* id);

// The "New Parameter..." item: asks for the parameter, makes it and appends it to the
// calculator's parent list; its value token, or 0 when the user cancelled or it failed.
uint16_t NewParameterForCalculator(ParentArray* parents);
