#include "release2/commands/auto_label.h"

#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/text/object_labels.h"

SketchObject* AutoLabelNewObject(SketchObject* object) {
    const Sketch* sketch = CurrentSketch();
    if (object && sketch && sketch->settings.labelNewPoints && object->objectClass == kClassPoint &&
        object->hidden == kShown)
        SetLabelShown(object, true, nullptr, true);
    return object;
}
