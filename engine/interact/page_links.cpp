#include "engine/interact/page_links.h"

#include <cstring>

#include "engine/core/action_button_data.h"
#include "engine/core/memory.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"

namespace {
int16_t* gStash = nullptr;
int32_t gStashCount = 0;

int32_t CountLinks(Sketch* page) {
    int32_t n = 0;
    for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) n += LinkToPageTarget(o) != nullptr;
    return n;
}
}  // namespace

bool LinkButtonTargetExists(const EngineDocument* document, const SketchObject* button) {
    const ActionButtonData* b = ActionButtonOf(button);
    if (!b || b->buttonType != kButtonLinkToPage) return true;
    int32_t index = -1;
    Sketch* page = FindPageById(document, static_cast<uint16_t>(b->buttonOptions), &index);
    if (!page) return false;
    // The link's parameter names a button to press on arrival; 0 names none.
    const uint32_t wanted = static_cast<uint32_t>(b->buttonParam) & 0xffffu;
    if (wanted == 0) return true;
    for (SketchObject* o = page->firstObject; o; o = o->nextInSketch)
        if (ActionButtonId(o) == wanted) return true;
    return false;
}

ResultCode StashLinkTargets(Sketch* page, int32_t save) {
    if (save) {
        if (!page) return kResultOK;
        FreeMemory(gStash);
        gStash = nullptr;
        gStashCount = CountLinks(page);
        if (gStashCount == 0) return kResultOK;
        gStash = static_cast<int16_t*>(AllocMemory(sizeof(int16_t) * size_t(gStashCount), 0));
        if (!gStash) {
            gStashCount = 0;
            return kResultOutOfMemory;
        }
        int32_t k = 0;
        for (SketchObject* o = page->firstObject; o; o = o->nextInSketch)
            if (int16_t* word = LinkToPageTarget(o)) gStash[k++] = *word;
        return kResultOK;
    }
    int32_t k = 0;
    for (SketchObject* o = page ? page->firstObject : nullptr; o && k < gStashCount; o = o->nextInSketch)
        if (int16_t* word = LinkToPageTarget(o)) *word = gStash[k++];
    FreeMemory(gStash);
    gStash = nullptr;
    gStashCount = 0;
    return kResultOK;
}
