// Stand-in: see properties_needs.h.
#include "engine/interact/standin/properties_needs.h"

#include <cstring>

#include "engine/core/action_button_data.h"
#include "engine/core/alerts.h"

// Stand-in: no link is opened yet; a help address reports the missing help folder and
// any other address a failed link.
ResultCode OpenLinkTarget(const char* target) {
    if (target == nullptr || *target == '\0') return kResultCancelled;
    return std::strncmp(target, "help://", 7) == 0 ? ResultCode(408) : ResultCode(403);
}

// Stand-in: the tool's view is not refreshed yet.
void GivenPropertiesChanged(SketchObject*, bool) {}

// Stand-in: tool bodies are not shown for editing yet.
bool InToolBodyMode() { return false; }

// Stand-in: only the type changes; the caption follows when the button code does it.
void ActionButtonSetShowMode(SketchObject* button, bool show) {
    if (ActionButtonData* b = ActionButtonOf(button)) b->buttonType = show ? kButtonShow : kButtonHide;
}

// Stand-in: the mode is left as it is.
void UpdateToggleButton(SketchObject*) {}

// Stand-in: the caption is left as it is.
void RegenerateButtonCaption(SketchObject*) {}
