// Draw slots whose drawing is not built yet: the selection of text objects and pictures.
// Text objects and tables draw themselves through the port.
//
// Stand-in: each slot below the first two draws nothing until the drawing of its class
// exists.
#include "engine/core/services/object_drawing.h"
#include "engine/calc/tables.h"
#include "engine/text/captions.h"

namespace {
// Tables on the screen are drawn down to the limit of sketch coordinates.
constexpr int32_t kTableDrawLimit = 30000;
}  // namespace

void DrawTextObjectBody(GraphicsPort* port, SketchObject* object) { DrawCaption(port, object); }
void DrawTableObject(GraphicsPort* port, SketchObject* object) { DrawTable(port, object, kTableDrawLimit); }
void DrawTextObjectSelection(GraphicsPort*, SketchObject*) {}
void DrawPictureObject(GraphicsPort*, SketchObject*) {}
void DrawPictureSelection(GraphicsPort*, SketchObject*) {}
