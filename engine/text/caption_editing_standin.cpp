// Stand-in: see caption_editing_standin.h.
#include "engine/text/caption_editing_standin.h"

#include "engine/core/sketch.h"

namespace {
constexpr ResultCode kNoEditSession = 101;
}

ResultCode BeginCaptionEditing(SketchObject* object, bool isNew) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !object || isNew) return kNoEditSession;
    sketch->editedCaption = object;
    return kResultOK;
}
