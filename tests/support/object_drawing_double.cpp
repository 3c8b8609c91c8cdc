#include "tests/support/object_drawing_double.h"

#include "engine/core/services/object_drawing.h"

#include "engine/core/arc_data.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/sketch_object.h"

namespace {
std::vector<RecordedDraw> gDraws;
std::vector<SeenGeometry> gSeen;
void SeeArc(SketchObject* o) {
    const ArcData* a = ClassData<ArcData>(o);
    gSeen.push_back({ a->screenCentreX, a->screenCentreY, a->screenRadius });
}
void SeePolygon(SketchObject* o) {
    const PolygonData* p = ClassData<PolygonData>(o);
    if (p->vertexCount) gSeen.push_back({ p->screenVertices[0].x, p->screenVertices[0].y, p->vertexCount });
}
int32_t gWalked = 0;
bool CountRecord(void* state, uint8_t*, int32_t) {
    ++*static_cast<int32_t*>(state);
    return true;
}
void Record(DrawCall call, SketchObject* object, int32_t layer = -1) {
    gDraws.push_back({ call, object, layer });
}
}  // namespace

std::vector<RecordedDraw>& RecordedDraws() { return gDraws; }
std::vector<SeenGeometry>& SeenGeometries() { return gSeen; }
int32_t LastSampleWalkCount() { return gWalked; }
void ResetRecordedDraws() {
    gDraws.clear();
    gSeen.clear();
}

void DrawPointObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawPointSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawStraightObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawCoordinateGrid(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawCoordinateGridSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawStraightSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawCircleObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawCircleSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawCircleInterior(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawCircleInteriorSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawAxisObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawAxisSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawPolygonInterior(GraphicsPort*, SketchObject* o) { SeePolygon(o); Record(DrawCall::kDraw, o); }
void DrawPolygonSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawArcObject(GraphicsPort*, SketchObject* o) { SeeArc(o); Record(DrawCall::kDraw, o); }
void DrawArcSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawArcInterior(GraphicsPort*, SketchObject* o) { SeeArc(o); Record(DrawCall::kDraw, o); }
void DrawArcInteriorSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawTextObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawTextObjectBody(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawTextObjectSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawPictureObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawPictureSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawTableSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawActionButton(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawActionButtonSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawTableObject(GraphicsPort*, SketchObject* o) {
    gSeen.push_back({ o->bounds.left, o->bounds.top, o->bounds.right - o->bounds.left });
    Record(DrawCall::kDraw, o);
}

void SetFeedbackPen(GraphicsPort*, int32_t layer, int32_t on) {
    Record(on ? DrawCall::kPenOn : DrawCall::kPenOff, nullptr, layer);
}
void DrawObjectTrace(GraphicsPort*, SketchObject* o) { Record(DrawCall::kTrace, o); }
void DrawSelectionMarquee(GraphicsPort*, const ScreenRect&) {}
void BeginMetafileGroup(GraphicsPort*, SketchObject* o, const ScreenRect*) { Record(DrawCall::kGroupBegin, o); }
void EndMetafileGroup(GraphicsPort*, SketchObject* o, const ScreenRect*) { Record(DrawCall::kGroupEnd, o); }

#define SAMPLE_DRAW(name, call)                                                                  \
    void name(GraphicsPort*, SketchObject* o, const void*, SampleEnumeratorFn walk, void* user) { \
        gWalked = 0;                                                                             \
        if (walk) walk(user, CountRecord, &gWalked);                                              \
        Record(call, o);                                                                         \
    }
SAMPLE_DRAW(DrawPointSamples, DrawCall::kSamples)
SAMPLE_DRAW(DrawPointSamplesSelection, DrawCall::kSamplesSelection)
SAMPLE_DRAW(DrawStraightSamples, DrawCall::kSamples)
SAMPLE_DRAW(DrawStraightSamplesSelection, DrawCall::kSamplesSelection)
SAMPLE_DRAW(DrawCircleSamples, DrawCall::kSamples)
SAMPLE_DRAW(DrawCircleSamplesSelection, DrawCall::kSamplesSelection)
SAMPLE_DRAW(DrawPolygonSamples, DrawCall::kSamples)
SAMPLE_DRAW(DrawPolygonSamplesSelection, DrawCall::kSamplesSelection)
SAMPLE_DRAW(DrawArcSamples, DrawCall::kSamples)
SAMPLE_DRAW(DrawArcSamplesSelection, DrawCall::kSamplesSelection)
#undef SAMPLE_DRAW
