// Draw slots whose drawing is not built yet: the selection of text objects, pictures and
// the samples of circles, polygons and arcs in loci and iterated images (samples of
// points and straight objects: sample_drawing.cpp). Text objects themselves draw their
// text.
//
// Stand-in: each slot below the first draws nothing until the drawing of its class exists.
#include "engine/core/services/object_drawing.h"
#include "engine/text/captions.h"

void DrawTextObjectBody(GraphicsPort* port, SketchObject* object) { DrawCaption(port, object); }
void DrawTextObjectSelection(GraphicsPort*, SketchObject*) {}
void DrawPictureObject(GraphicsPort*, SketchObject*) {}
void DrawPictureSelection(GraphicsPort*, SketchObject*) {}

#define NO_SAMPLES(name) \
    void name(GraphicsPort*, SketchObject*, const void*, SampleEnumeratorFn, void*) {}
NO_SAMPLES(DrawCircleSamples)
NO_SAMPLES(DrawCircleSamplesSelection)
NO_SAMPLES(DrawPolygonSamples)
NO_SAMPLES(DrawPolygonSamplesSelection)
NO_SAMPLES(DrawArcSamples)
NO_SAMPLES(DrawArcSamplesSelection)
#undef NO_SAMPLES
