// Stand-in: what the keys of the front sketch reach in code not built yet: loci's sample
// counts, tables' rows and the text style of one object. Keys that reach them are taken
// and do nothing more.
#include "engine/interact/sketch_keys.h"

#include "engine/interact/neighbour_services.h"
#include "engine/text/text_style.h"

bool StepLocusSamples(SketchObject*, int32_t) { return true; }
bool TableEntryRemovable(const SketchObject* table) { return StandinData(table)->tableRows > 0; }

void ApplyTextStyleToObject(SketchObject* object, const TextStyle& style, uint32_t) {
    OverrideTextStyle(&object->textStyle, &style);
}
