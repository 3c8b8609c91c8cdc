// Draw slots whose drawing is not built yet: the selection of text objects, pictures and
// the samples of loci and iterated images. Text objects and tables draw themselves
// through the port.
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

#define NO_SAMPLES(name) \
    void name(GraphicsPort*, SketchObject*, const void*, SampleEnumeratorFn, void*) {}
NO_SAMPLES(DrawPointSamples)
NO_SAMPLES(DrawPointSamplesSelection)
NO_SAMPLES(DrawStraightSamples)
NO_SAMPLES(DrawStraightSamplesSelection)
NO_SAMPLES(DrawCircleSamples)
NO_SAMPLES(DrawCircleSamplesSelection)
NO_SAMPLES(DrawPolygonSamples)
NO_SAMPLES(DrawPolygonSamplesSelection)
NO_SAMPLES(DrawArcSamples)
NO_SAMPLES(DrawArcSamplesSelection)
#undef NO_SAMPLES
