// Stand-in: what the keys of the front sketch reach in code not built yet: the text
// style of one object. Keys that reach it are taken and do nothing more.
#include "engine/interact/sketch_keys.h"

#include "engine/core/sketch_object.h"
#include "engine/text/text_style.h"

void ApplyTextStyleToObject(SketchObject* object, const TextStyle& style, uint32_t) {
    OverrideTextStyle(&object->textStyle, &style);
}
