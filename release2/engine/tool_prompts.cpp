#include "release2/engine/tool_prompts.h"

#include <cstdio>

#include "engine/core/memory.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/tool_playback.h"
#include "engine/text/object_labels.h"
#include "release2/text/typed_caret_args.h"

namespace {

constexpr uint32_t kPromptBytes = 512;
constexpr int32_t kItemMatch = 0;

// Givens matched automatically carry the flag and come first; numbering starts again
// where the sort changes.
bool MatchedAutomatically(const SketchObject* given) { return given->label.useInTools != 0; }

int32_t GivenOrdinal(SketchObject* const* givens, int32_t given) {
    int32_t ordinal = 0;
    for (int32_t i = 0; i <= given; ++i) {
        const bool restart = i > 0 && MatchedAutomatically(givens[i]) != MatchedAutomatically(givens[i - 1]);
        ordinal = restart ? 1 : ordinal + 1;
    }
    return ordinal;
}

// The index among the tool's objects of the step whose object is highlighted, -1 none.
int32_t gHighlighted = -1;

void SetHot(SketchObject* object, Sketch* sketch, bool hot) {
    CurrentSketchScope scope(sketch);
    if (hot) object->stateFlags |= kObjectHot;
    else object->stateFlags &= static_cast<uint8_t>(~kObjectHot);
    AddObjectToDirtyRect(object);
    FlushPendingRedraw(1);
}

}  // namespace

char* ToolMatchPromptText(int32_t item, int32_t nounKind, SketchObject* const* givens, int32_t givenCount,
                          int32_t given) {
    char* text = static_cast<char*>(AllocMemory(kPromptBytes, 0));
    if (!text) return nullptr;
    const bool known = givens && given >= 0 && given < givenCount && givens[given];
    char ordinal[16] = "";
    if (known) std::snprintf(ordinal, sizeof ordinal, "%d", int(GivenOrdinal(givens, given)));
    CaretArg args[2] = {
        { kCaretArgKindNoun, nounKind, 0, nullptr, nullptr },
        { kCaretArgText, 0, 0, ordinal, nullptr },
    };
    char label[kLabelBufferSize] = "";
    if (known) GetObjectLabelText(givens[given], label, sizeof label);
    if (item == kItemMatch && label[0])
        args[0] = { kCaretArgNounLabel, 0, kLabelNone, nullptr, givens[given] };
    SubstituteCaretArgs(GroupText(kGroupToolMatching, item), text, args, 2, kPromptBytes);
    return text;
}

bool HighlightStepObject(int32_t row) {
    const int32_t index = PlaybackMode() == kPlaybackStepping ? ToolStepIndexOfRow(row) : -1;
    Sketch* target = nullptr;
    SketchObject* next = index >= 0 ? SteppedObject(index, &target) : nullptr;
    if (gHighlighted >= 0) {
        Sketch* sketch = nullptr;
        SketchObject* previous = SteppedObject(gHighlighted, &sketch);
        if (previous && previous == next) return true;
        if (previous) SetHot(previous, sketch, false);
        gHighlighted = -1;
    }
    if (!next) return false;
    SetHot(next, target, true);
    gHighlighted = index;
    return true;
}
