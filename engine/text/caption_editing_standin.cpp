// Stand-in: see caption_editing_standin.h.
#include "engine/text/caption_editing_standin.h"

#include "engine/core/sketch.h"

ResultCode BeginCaptionEditing(SketchObject* object, bool) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !object) return kResultOutOfMemory;
    sketch->editedCaption = object;
    return kResultOK;
}
