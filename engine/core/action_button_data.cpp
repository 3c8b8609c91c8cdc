#include "engine/core/action_button_data.h"

#include "engine/core/memory.h"

int32_t InitActionButton(SketchObject* object, void* parameter) {
    auto* init = static_cast<ActionButtonInit*>(parameter);
    if (object == nullptr) {
        if (init != nullptr) {
            FreeMemory(init->linkTarget);
            init->linkTarget = nullptr;
        }
        return 1;
    }
    ActionButtonData* b = ActionButtonOf(object);
    *b = ActionButtonData{};
    b->pendingNext = kNotPending;
    // A button stands whether or not its targets do.
    object->exists = 1;
    if (init != nullptr) {
        b->buttonType = init->buttonType;
        b->buttonId = init->buttonId;
        b->buttonOptions = init->buttonOptions;
        b->buttonParam = init->buttonParam;
        b->storedX = init->x;
        b->storedY = init->y;
        // A new button stands at its given place until its frame is laid out.
        object->bounds = ScreenRect{ init->x, init->y, init->x, init->y };
        b->linkTarget = init->linkTarget;
        init->linkTarget = nullptr;
    }
    return 1;
}

void FreeActionButton(SketchObject* object) {
    ActionButtonData* b = ActionButtonOf(object);
    if (b == nullptr) return;
    FreeMemory(b->linkTarget);
    b->linkTarget = nullptr;
}

bool ActionButtonParentsFit(int32_t type, const SketchObject* const* parents, uint32_t count) {
    int32_t wanted = -1;
    if (type == kButtonMove || type == kButtonScroll) wanted = 1;
    else if (type == kButtonPresentation) wanted = 10;
    if (wanted < 0) return true;
    // A Move button's unpaired last parent has no part in the moves.
    if (type == kButtonMove && count > 1 && (count & 1) != 0) --count;
    for (uint32_t i = 0; i < count; ++i)
        if (parents[i] == nullptr || parents[i]->objectClass != wanted) return false;
    return true;
}

bool ButtonParentsFit(const SketchObject* button, const SketchObject* const* parents, uint32_t count) {
    const ActionButtonData* b = ActionButtonOf(button);
    return b == nullptr || ActionButtonParentsFit(b->buttonType, parents, count);
}
