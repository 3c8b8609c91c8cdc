// Draw slots whose drawing is not built yet: the selection of text objects and pictures.
// Text objects themselves draw their text.
//
// Stand-in: each slot below the first draws nothing until the drawing of its class exists.
#include "engine/core/services/object_drawing.h"
#include "engine/text/captions.h"

void DrawTextObjectBody(GraphicsPort* port, SketchObject* object) { DrawCaption(port, object); }
void DrawTextObjectSelection(GraphicsPort*, SketchObject*) {}
void DrawPictureObject(GraphicsPort*, SketchObject*) {}
void DrawPictureSelection(GraphicsPort*, SketchObject*) {}
