#include "engine/interact/action_buttons.h"

#include "engine/core/services/motions.h"
#include "engine/core/sketch_object.h"
#include "engine/text/string_groups.h"

#include <cstdio>

// A link to page keeps its page word in buttonOptions (which the type has no other use
// for), so that record 2310 carries the target through saving and reopening.
int16_t* LinkToPageTarget(SketchObject* object) {
    ActionButtonData* b = ActionButtonOf(object);
    return b != nullptr && b->buttonType == kButtonLinkToPage ? &b->buttonOptions : nullptr;
}

uint32_t ActionButtonId(const SketchObject* object) {
    const ActionButtonData* b = ActionButtonOf(object);
    return b != nullptr ? static_cast<uint32_t>(b->buttonId) & 0xffffu : 0;
}

// Stand-in: button actions and the buttons that act on other objects come with the
// motion and button machinery.
void PressActionButton(SketchObject*) {}
void ActionButtonStop(SketchObject*) {}
void ActionButtonsOfObject(SketchObject*) {}
// Stand-in: presentations have nothing to run until presentation buttons are built.
void ResumePendingPresentations() {}

// Stand-in: button captions come from the button types and their targets' names, and
// the frame from the caption's size; until buttons are built a button is captioned by
// its kind's noun and keeps its bounds.
void ActionButtonCaption(SketchObject* button, char* text, uint32_t size, int32_t* level) {
    if (size == 0) return;
    std::snprintf(text, size, "%s", KindNoun(button->objectKind, kNounSingular));
    *level = 6;
}
void ActionButtonFrameMetrics(SketchObject*) {}
