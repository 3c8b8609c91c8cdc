#include "tests/support/object_drawing_double.h"

#include "engine/core/services/object_drawing.h"

namespace {
std::vector<RecordedDraw> gDraws;
void Record(DrawCall call, SketchObject* object, int32_t layer = -1) {
    gDraws.push_back({ call, object, layer });
}
}  // namespace

std::vector<RecordedDraw>& RecordedDraws() { return gDraws; }
void ResetRecordedDraws() { gDraws.clear(); }

void DrawPointObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawPointSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawStraightObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawStraightSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawCircleObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawCircleSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawTextObjectBody(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawTextObjectSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }
void DrawPictureObject(GraphicsPort*, SketchObject* o) { Record(DrawCall::kDraw, o); }
void DrawPictureSelection(GraphicsPort*, SketchObject* o) { Record(DrawCall::kSelection, o); }

void SetFeedbackPen(GraphicsPort*, int32_t layer, int32_t on) {
    Record(on ? DrawCall::kPenOn : DrawCall::kPenOff, nullptr, layer);
}
void DrawObjectTrace(GraphicsPort*, SketchObject* o) { Record(DrawCall::kTrace, o); }
void BeginMetafileGroup(GraphicsPort*, SketchObject* o, const ScreenRect*) { Record(DrawCall::kGroupBegin, o); }
void EndMetafileGroup(GraphicsPort*, SketchObject* o, const ScreenRect*) { Record(DrawCall::kGroupEnd, o); }
