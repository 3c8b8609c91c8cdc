#include "engine/text/caption_data.h"

#include "engine/core/object_tables.h"
#include "engine/core/services/text_data.h"

TextStyle* TextDataStyleOf(SketchObject* object) {
    switch (object->objectClass) {
    case kClassCaption:
    case kClassMeasurement:
    case kClassCalculation: return &ClassData<CaptionData>(object)->style;
    default: return nullptr;
    }
}
