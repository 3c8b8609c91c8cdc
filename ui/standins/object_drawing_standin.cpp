// Stand-in: the object drawing is being built with the graphics port; until it is,
// points, straight objects and circles are drawn plainly in their colours and every
// other class, highlight and trace draws nothing.
#include "engine/core/services/object_drawing.h"

#include "engine/core/circles.h"
#include "engine/core/points.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/graphics_port.h"
#include "ui/view/view_math.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace {
constexpr int kPointRadius = 3;

struct PenScope {
    HDC dc;
    HGDIOBJ oldPen;
    HGDIOBJ oldBrush;
    PenScope(HDC d, COLORREF color, int width, bool fill) : dc(d) {
        oldPen = SelectObject(dc, CreatePen(PS_SOLID, width, color));
        oldBrush = SelectObject(dc, fill ? CreateSolidBrush(color) : GetStockObject(NULL_BRUSH));
    }
    ~PenScope() {
        DeleteObject(SelectObject(dc, oldPen));
        HGDIOBJ brush = SelectObject(dc, oldBrush);
        if (brush != GetStockObject(NULL_BRUSH)) DeleteObject(brush);
    }
};
COLORREF ColorOf(const SketchObject* o) { return o->color & 0xFFFFFF; }
int WidthOf(const SketchObject* o) { return o->lineStyle == 2 ? 3 : 1; }
}  // namespace

void DrawPointObject(GraphicsPort* port, SketchObject* object) {
    if (!port->dc || !object->exists) return;
    const RealPoint p = PointPosition(object);
    const int x = RoundClamp(p.x);
    const int y = RoundClamp(p.y);
    PenScope pen(port->dc, ColorOf(object), 1, true);
    Ellipse(port->dc, x - kPointRadius, y - kPointRadius, x + kPointRadius + 1, y + kPointRadius + 1);
}

void DrawStraightObject(GraphicsPort* port, SketchObject* object) {
    if (!port->dc || !object->exists) return;
    const StraightData* s = ClassData<StraightData>(object);
    PenScope pen(port->dc, ColorOf(object), WidthOf(object), false);
    MoveToEx(port->dc, s->visiblePiece[0].x, s->visiblePiece[0].y, nullptr);
    LineTo(port->dc, s->visiblePiece[1].x, s->visiblePiece[1].y);
}

void DrawCircleObject(GraphicsPort* port, SketchObject* object) {
    if (!port->dc || !object->exists) return;
    const CircleData* c = ClassData<CircleData>(object);
    PenScope pen(port->dc, ColorOf(object), WidthOf(object), false);
    Ellipse(port->dc, c->screenCentreX - c->screenRadius, c->screenCentreY - c->screenRadius,
            c->screenCentreX + c->screenRadius + 1, c->screenCentreY + c->screenRadius + 1);
}

void DrawPointSelection(GraphicsPort* port, SketchObject* object) {}
void DrawStraightSelection(GraphicsPort* port, SketchObject* object) {}
void DrawCircleSelection(GraphicsPort* port, SketchObject* object) {}
void DrawPolygonInterior(GraphicsPort* port, SketchObject* object) {}
void DrawPolygonSelection(GraphicsPort* port, SketchObject* object) {}
void DrawArcObject(GraphicsPort* port, SketchObject* object) {}
void DrawArcSelection(GraphicsPort* port, SketchObject* object) {}
void DrawArcInterior(GraphicsPort* port, SketchObject* object) {}
void DrawArcInteriorSelection(GraphicsPort* port, SketchObject* object) {}
void DrawTextObjectBody(GraphicsPort* port, SketchObject* object) {}
void DrawTextObjectSelection(GraphicsPort* port, SketchObject* object) {}
void DrawPictureObject(GraphicsPort* port, SketchObject* object) {}
void DrawPictureSelection(GraphicsPort* port, SketchObject* object) {}
void DrawPointSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                      SampleEnumeratorFn enumerator, void* user) {}
void DrawPointSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                               SampleEnumeratorFn enumerator, void* user) {}
void DrawStraightSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                         SampleEnumeratorFn enumerator, void* user) {}
void DrawStraightSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                  SampleEnumeratorFn enumerator, void* user) {}
void DrawCircleSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                       SampleEnumeratorFn enumerator, void* user) {}
void DrawCircleSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                SampleEnumeratorFn enumerator, void* user) {}
void DrawPolygonSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                        SampleEnumeratorFn enumerator, void* user) {}
void DrawPolygonSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                 SampleEnumeratorFn enumerator, void* user) {}
void DrawArcSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                    SampleEnumeratorFn enumerator, void* user) {}
void DrawArcSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                             SampleEnumeratorFn enumerator, void* user) {}
void SetFeedbackPen(GraphicsPort* port, int32_t layer, int32_t on) {}
void DrawObjectTrace(GraphicsPort* port, SketchObject* object) {}
void BeginMetafileGroup(GraphicsPort* port, SketchObject* object, const ScreenRect* rect) {}
void EndMetafileGroup(GraphicsPort* port, SketchObject* object, const ScreenRect* rect) {}
