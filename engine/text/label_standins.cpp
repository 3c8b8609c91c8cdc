// Stand-in: see label_standins.h.
#include "engine/text/label_standins.h"

#include "engine/core/memory.h"

namespace {
int gPlaced = 0;
int gDrawn = 0;
}

void InitObjectLabel(SketchObject* object) {
    object->label.pathParameter = kLabelNotPlaced;
    object->labelPlace.width = -1;
}

void ClearObjectLabel(SketchObject* object) {
    if (object->label.heapLength != 0) FreeMemory(object->label.text.heapText);
    object->label.heapLength = 0;
    object->label.text.heapText = nullptr;
    object->label.shown = 0;
}

void PlaceObjectLabel(SketchObject*) { ++gPlaced; }
int PlaceObjectLabelCount() { return gPlaced; }

void DrawObjectLabel(GraphicsPort*, SketchObject*) { ++gDrawn; }
int DrawObjectLabelCount() { return gDrawn; }
