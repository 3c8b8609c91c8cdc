#include "engine/interact/action_buttons.h"

#include "engine/core/services/motions.h"
#include "engine/core/sketch_object.h"
#include "engine/text/string_groups.h"

#include <cstdio>

int16_t* LinkToPageTarget(SketchObject* object) {
    if (object->objectClass != kActionButtonClass) return nullptr;
    auto* words = ClassData<ActionButtonWords>(object);
    return words->buttonKind == kLinkToPageButton ? &words->linkTarget : nullptr;
}

uint32_t ActionButtonId(const SketchObject* object) {
    if (object->objectClass != kActionButtonClass) return 0;
    return ClassData<ActionButtonWords>(object)->buttonId;
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
