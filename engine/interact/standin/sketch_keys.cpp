// Stand-in: what the keys of the front sketch reach in code not built yet: loci's sample
// counts and the text style of one object. Keys that reach them are taken and do
// nothing more.
#include "engine/interact/sketch_keys.h"

#include "engine/interact/neighbour_services.h"
#include "engine/text/text_style.h"

bool StepLocusSamples(SketchObject*, int32_t) { return true; }

void ApplyTextStyleToObject(SketchObject* object, const TextStyle& style, uint32_t) {
    OverrideTextStyle(&object->textStyle, &style);
}
