// Draw slots whose drawing is not built yet: pictures.
//
// Stand-in: pictures draw nothing, selected or not, until the platform's pictures exist.
#include "engine/core/services/object_drawing.h"

void DrawPictureObject(GraphicsPort*, SketchObject*) {}
void DrawPictureSelection(GraphicsPort*, SketchObject*) {}
