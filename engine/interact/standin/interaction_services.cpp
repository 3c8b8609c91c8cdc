// Stand-in: the least of the action
// buttons, dialogs and bars that the mouse and the object commands call
// (see interaction_services.h). Each goes when its owner is built.
#include "engine/interact/interaction_services.h"

#include "engine/core/geometry.h"
#include "engine/core/sketch.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/neighbour_services.h"


bool HitTestActionButton(ScreenPoint point, SketchObject* button) {
    return ScreenPointInRect(point, button->bounds);
}
bool IsButtonRunning(const SketchObject*) { return false; }
int32_t ActionButtonCreate(int32_t type, SketchObject* targets, bool) {
    ResultCode rc = kResultOK;
    SketchObject* button = MakeActionButton(type, targets, true, &rc);
    if (button != nullptr) {
        DeselectAll();
        SelectSketchObject(button);
    }
    return rc;
}
int32_t ActionButtonType(const SketchObject* button) {
    return ClassData<ActionButtonData>(button)->buttonType;
}
void OpenLabelProperties(SketchObject*) {}
void OpenObjectProperties(SketchObject*) {}
bool RunTextStyleDialog(TextStyle*) { return false; }
void ShowTextPalette(bool show) { ShellStandin().textPaletteVisible = show ? 1 : 0; }
