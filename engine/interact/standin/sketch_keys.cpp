// Stand-in: what the keys of the front sketch reach in code not built yet: the caption
// editor's typing, iteration seeds and depths, tables' rows and
// the text style of one object. Keys that reach them are taken and do nothing more.
#include "engine/interact/sketch_keys.h"

#include "engine/interact/neighbour_services.h"
#include "engine/text/text_style.h"

void CaptionEditorChar(uint32_t) {}
void CaptionEditorKey(uint16_t, uint16_t) {}
bool NewIterationSeed() { return false; }
void ChangeIterationDepth(int32_t) {}
bool TableEntryRemovable(const SketchObject* table) { return StandinData(table)->tableRows > 0; }

void ApplyTextStyleToObject(SketchObject* object, const TextStyle& style, uint32_t) {
    OverrideTextStyle(&object->textStyle, &style);
}
