#include "engine/core/services/object_labels.h"

#include "engine/core/memory.h"

#include "engine/core/sketch_object.h"

#include <cstring>

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

// Stand-in: labels are neither placed nor drawn until object labels and their
// automatic sequences are built.
void PlaceObjectLabel(SketchObject*) {}
void DrawObjectLabel(GraphicsPort*, SketchObject*) {}

// A label of up to four characters is kept inline and may fill all four bytes.
void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size) {
    if (size == 0) return;
    buffer[0] = 0;
    if (!object) return;
    const ObjectLabel& label = object->label;
    if (label.heapLength == 0) {
        uint32_t n = 0;
        while (n < 4 && label.text.inlineText[n]) ++n;
        if (n > size - 1) n = size - 1;
        std::memcpy(buffer, label.text.inlineText, n);
        buffer[n] = 0;
    } else if (label.text.heapText) {
        std::strncpy(buffer, label.text.heapText, size - 1);
        buffer[size - 1] = 0;
    }
}

// Stand-in: until automatic label texts are built, making a label again keeps its text
// and only takes the level.
void GetObjectLabel(SketchObject* object, int32_t level) { object->label.level = level; }
