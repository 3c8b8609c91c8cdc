#include "ui/portable/script_page_layout.h"

int32_t PlaceScriptSteps(const ScriptPageSpace& space, int32_t y, int32_t first, int32_t count,
                         ScriptStepHeightFn height, ScriptStepPlaceFn place, void* context) {
    bool placedText = false;
    int32_t step = first < 1 ? 1 : first;
    for (; step <= count; ++step) {
        const int32_t h = height(context, step);
        if (h < 0) {
            y += space.emptyStepGap;
            continue;
        }
        const int32_t top = y;
        y += h + space.stepGap;
        if (y > space.bottom && placedText) break;
        if (place) place(context, step, top);
        placedText = true;
        if (y > space.bottom) {
            ++step;
            break;
        }
    }
    return step;
}
