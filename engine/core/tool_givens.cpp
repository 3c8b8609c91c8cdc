#include "engine/core/tool_givens.h"

#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"

namespace {

bool IsAssumed(const void* given) {
    return given && static_cast<const SketchObject*>(given)->label.useInTools != 0;
}

}  // namespace

void SortToolGivens(Sketch* sketch) {
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);  // the list lives in the sketch's arena
    int32_t count = 0;
    PtrListSize(sketch->givenList, &count);
    void** givens = count > 1 ? PtrListData(sketch->givenList) : nullptr;
    // Bubble passes: only neighbours of different groups swap, so each group keeps its
    // order; tools have a handful of givens.
    for (bool swapped = givens != nullptr; swapped;) {
        swapped = false;
        for (int32_t i = 1; i < count; ++i) {
            if (IsAssumed(givens[i]) && !IsAssumed(givens[i - 1])) {
                void* first = givens[i - 1];
                givens[i - 1] = givens[i];
                givens[i] = first;
                swapped = true;
            }
        }
    }
    SetCurrentSketch(previous, nullptr);
}
