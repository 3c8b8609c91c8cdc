// Circles, arcs, ellipses and every interior: GDI's ellipse primitives where they can
// take the shape, polylines and fans of polygons from the engine's arc stepper where
// they cannot (a radius of 1000 or more, a box reaching +-30000, or an arc whose ends
// fall on one pixel, which GDI would draw as a whole ellipse).
#include <windows.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/core/services/later_release.h"
#include "engine/core/arc_data.h"
#include "engine/core/circles.h"
#include "engine/core/geometry.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/polygon_data.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch_object.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"

namespace {

constexpr double kShortestDrawnArc = 1.6;  // pixels
constexpr int32_t kPolygonBuffer = 400;     // vertices drawn without engine memory

POINT ScreenOf(RealPoint p) { return { RoundToScreen(p.x), RoundToScreen(p.y) }; }

bool SameSpot(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// Collects the stepper's points in batches; `flush` draws a full batch, and the batch
// then starts again from the points `restart` keeps.
template <typename Flush>
void StepArc(const EllipseSpec& source, POINT* points, int32_t* count, Flush flush) {
    EllipseSpec ellipse = source;
    BeginArcSteps(&ellipse);
    while (!ArcStepsDone(&ellipse)) {
        points[(*count)++] = ScreenOf(ellipse.current);
        if (*count == kFlattenBatch) flush();
        NextArcStep(&ellipse);
    }
}

// The null brush, a solid pen of `width` in `color` and R2_COPYPEN: the outline drawn
// over a filled shape.
void SelectOutline(DCSelection* selection, int32_t width, COLORREF color) {
    selection->StockBrush(NULL_BRUSH);
    selection->Pen(CreatePen(PS_SOLID, width, color));
    selection->Rop(R2_COPYPEN);
}

const CircleData& CircleOf(const SketchObject* o) { return *ClassData<CircleData>(o); }
const ArcData& ArcOf(const SketchObject* o) { return *ClassData<ArcData>(o); }
bool IsTrueArc(const ArcData& a) { return a.orientation != 0; }
ScreenRect ChordOf(const ArcData& a) { return { a.screenStart.x, a.screenStart.y, a.screenEnd.x, a.screenEnd.y }; }

}  // namespace

EllipseSpec FullTurnSpec(RealPoint centre, double rx, double ry) {
    EllipseSpec ellipse{};
    ellipse.centre = centre;
    ellipse.startAngle = 0;
    ellipse.endAngle = kFullTurn;
    ellipse.radiusX = rx;
    ellipse.radiusY = ry;
    return ellipse;
}

namespace {
bool IsFullTurn(const EllipseSpec& ellipse) { return ellipse.endAngle - ellipse.startAngle == kFullTurn; }
}  // namespace

bool EllipseSpecToBox(const EllipseSpec& ellipse, RECT* box, POINT* start, POINT* end) {
    const double cx = ellipse.centre.x, cy = ellipse.centre.y, rx = ellipse.radiusX, ry = ellipse.radiusY;
    // Written so that a NaN answers false too.
    if (!(rx < kGdiRadiusLimit && ry < kGdiRadiusLimit && cx - rx > -kScreenLimit &&
          cx + rx < kScreenLimit && cy - ry > -kScreenLimit && cy + ry < kScreenLimit))
        return false;
    box->left = static_cast<LONG>(std::floor(cx - rx + 0.5));
    box->top = static_cast<LONG>(std::floor(cy - ry + 0.5));
    box->right = static_cast<LONG>(std::floor(cx + rx + 0.5));
    box->bottom = static_cast<LONG>(std::floor(cy + ry + 0.5));
    *start = ScreenOf({ cx + rx * std::cos(ellipse.startAngle), cy + ry * std::sin(ellipse.startAngle) });
    *end = ScreenOf({ cx + rx * std::cos(ellipse.endAngle), cy + ry * std::sin(ellipse.endAngle) });
    return IsFullTurn(ellipse) || !SameSpot(*start, *end);
}

void DrawFlattenedArc(HDC dc, const EllipseSpec& ellipse, bool fill) {
    POINT points[kFlattenBatch];
    int32_t n = 0;
    auto draw = [&] {
        if (fill) {
            Polygon(dc, points, n);
        } else {
            Polyline(dc, points, n);
        }
    };
    StepArc(ellipse, points, &n, [&] {
        draw();
        points[0] = points[n - 1];
        n = 1;
    });
    if (n >= 2) draw();
}

void DrawEllipseInBox(HDC dc, const RECT& box, bool fill) {
    const double halfWidth = (box.right - box.left) / 2.0, halfHeight = (box.bottom - box.top) / 2.0;
    if (halfWidth >= kGdiRadiusLimit || halfHeight >= kGdiRadiusLimit) {
        const RealPoint centre{ (box.left + box.right) / 2.0, (box.top + box.bottom) / 2.0 };
        DrawFlattenedArc(dc, FullTurnSpec(centre, halfWidth, halfHeight), fill);
        return;
    }
    Ellipse(dc, box.left, box.top, box.right + 1, box.bottom + 1);
}

void DrawEllipseSpecOutline(GraphicsPort* port, const EllipseSpec& ellipse, COLORREF color,
                            uint32_t markWord, int32_t lineStyle, bool traceBlend) {
    HPEN pen = SharedObjectPen(port, color, markWord, lineStyle, traceBlend);
    if (!pen) return;
    if (auto antiAliased = LaterForms().drawing.strokeEllipse) {
        const double rx = ellipse.radiusX, ry = ellipse.radiusY;
        // Clockwise on the screen from the start angle to the end angle.
        double sweep = ellipse.endAngle - ellipse.startAngle;
        if (!IsFullTurn(ellipse) && sweep < 0) sweep += kTwoPi;
        if (antiAliased(port, ellipse.centre.x - rx, ellipse.centre.y - ry, 2 * rx, 2 * ry, ellipse.startAngle,
                        IsFullTurn(ellipse) ? kTwoPi : sweep))
            return;
    }
    HDC dc = port->dc;
    DCSelection selection(dc);
    selection.StockBrush(NULL_BRUSH);
    selection.Shared(pen);
    RECT box;
    POINT start, end;
    if (!EllipseSpecToBox(ellipse, &box, &start, &end)) {
        DrawFlattenedArc(dc, ellipse, false);
    } else if (IsFullTurn(ellipse)) {
        Ellipse(dc, box.left, box.top, box.right + 1, box.bottom + 1);
    } else {
        // GDI turns counter-clockwise as seen; the arc grows clockwise from its start.
        Arc(dc, box.left, box.top, box.right + 1, box.bottom + 1, end.x, end.y, start.x, start.y);
    }
}

void DrawCircleOutline(GraphicsPort* port, RealPoint centre, double radius, COLORREF color,
                       uint32_t markWord, int32_t lineStyle, bool traceBlend) {
    DrawEllipseSpecOutline(port, FullTurnSpec(centre, radius, radius), color, markWord, lineStyle,
                           traceBlend);
}

EllipseSpec ArcToEllipseSpec(const SketchObject* arc, double radiusOffset) {
    const ArcData& a = ArcOf(arc);
    EllipseSpec ellipse{};
    ellipse.centre = a.centre;
    ellipse.startAngle = a.startAngle;
    ellipse.endAngle = a.endAngle;
    ellipse.radiusX = ellipse.radiusY = a.radius + radiusOffset;
    return ellipse;
}

void FillCircleSafe(GraphicsPort* port, RealPoint centre, double radius) {
    const int32_t left = RoundToScreen(centre.x - radius), right = RoundToScreen(centre.x + radius);
    const int32_t top = RoundToScreen(centre.y - radius), bottom = RoundToScreen(centre.y + radius);
    if (radius < kGdiRadiusLimit && left > -kScreenLimit && right < kScreenLimit && top > -kScreenLimit &&
        bottom < kScreenLimit) {
        Ellipse(port->dc, left, top, right + 1, bottom + 1);
        return;
    }
    FillFlattenedArc(port->dc, port->selectionColor, FullTurnSpec(centre, radius, radius), false, false);
}

void OutlineFlattenedBatch(HDC dc, COLORREF color, const POINT* points, int32_t count,
                           bool includeFirst, bool close) {
    POINT line[kFlattenBatch + 1];
    if (count <= 0 || count > kFlattenBatch) return;
    std::memcpy(line, points, sizeof(POINT) * static_cast<size_t>(count));
    int32_t n = count;
    if (close) line[n++] = points[0];
    const int32_t from = includeFirst ? 0 : 1;
    if (n - from < 2) return;
    DCSelection selection(dc);
    SelectOutline(&selection, 7, color);
    Polyline(dc, line + from, n - from);
}

void FillFlattenedArc(HDC dc, COLORREF outlineColor, const EllipseSpec& ellipse, bool fromCentre,
                      bool outline) {
    POINT points[kFlattenBatch];
    int32_t n = 0;
    bool firstBatch = true;
    if (fromCentre) points[n++] = ScreenOf(ellipse.centre);
    // Each batch after the first fans from the first point (the centre or the first arc
    // point) over the last point of the batch before, so the pieces leave no gap.
    StepArc(ellipse, points, &n, [&] {
        Polygon(dc, points, n);
        if (outline) OutlineFlattenedBatch(dc, outlineColor, points, n, firstBatch, false);
        firstBatch = false;
        points[1] = points[n - 1];
        n = 2;
    });
    if (n > 1) {
        Polygon(dc, points, n);
        if (outline) OutlineFlattenedBatch(dc, outlineColor, points, n, firstBatch, true);
    }
}

void DrawChordOrPie(HDC dc, COLORREF outlineColor, const RECT& box, POINT start, POINT end,
                    bool pie, bool outline) {
    auto shape = [&] {
        if (pie) {
            Pie(dc, box.left, box.top, box.right + 1, box.bottom + 1, end.x, end.y, start.x, start.y);
        } else {
            Chord(dc, box.left, box.top, box.right + 1, box.bottom + 1, end.x, end.y, start.x, start.y);
        }
    };
    shape();
    if (!outline) return;
    DCSelection selection(dc);
    SelectOutline(&selection, 7, outlineColor);
    shape();
}

namespace {

enum class CirclePiece { kChord, kArc, kPie };

void DrawCirclePieceSafe(HDC dc, ScreenPoint c, int32_t r, ScreenPoint p1, ScreenPoint p2,
                         CirclePiece piece) {
    const int16_t left = static_cast<int16_t>(c.x - r), top = static_cast<int16_t>(c.y - r);
    const int16_t right = static_cast<int16_t>(c.x + r), bottom = static_cast<int16_t>(c.y + r);
    if (r >= kGdiRadiusLimit || left <= -kScreenLimit || right >= kScreenLimit || top <= -kScreenLimit ||
        bottom >= kScreenLimit) {
        EllipseSpec ellipse{};
        ellipse.centre = { double(c.x), double(c.y) };
        ellipse.startAngle = std::atan2(double(p1.y - c.y), double(p1.x - c.x));
        ellipse.endAngle = std::atan2(double(p2.y - c.y), double(p2.x - c.x));
        ellipse.radiusX = ellipse.radiusY = r;
        if (piece == CirclePiece::kArc) {
            DrawFlattenedArc(dc, ellipse, false);
        } else {
            FillFlattenedArc(dc, 0, ellipse, piece == CirclePiece::kPie, false);
        }
        return;
    }
    switch (piece) {
    case CirclePiece::kChord: Chord(dc, left, top, right + 1, bottom + 1, p2.x, p2.y, p1.x, p1.y); break;
    case CirclePiece::kArc:   Arc(dc, left, top, right + 1, bottom + 1, p2.x, p2.y, p1.x, p1.y); break;
    case CirclePiece::kPie:   Pie(dc, left, top, right + 1, bottom + 1, p2.x, p2.y, p1.x, p1.y); break;
    }
}

// The hatch of a selected interior, its origin moving with the object, and the
// highlight-pass mark for the duration.
class SelectedInteriorLook {
public:
    SelectedInteriorLook(GraphicsPort* port, SketchObject* object, ScreenPoint origin)
        : selection_(port->dc), dc_(port->dc), object_(object) {
        HBRUSH hatch;
        int previousRop;
        SelectSelectionHatch(port->dc, ObjectDisplayColor(object), &hatch, &previousRop);
        selection_.Brush(hatch);
        SetBrushOrgEx(port->dc, origin.x - port->scrollX, origin.y - port->scrollY, &oldOrigin_);
        object->markFlags |= kMarkHighlightPass;
    }
    ~SelectedInteriorLook() {
        object_->markFlags &= ~kMarkHighlightPass;
        SetBrushOrgEx(dc_, oldOrigin_.x, oldOrigin_.y, nullptr);
    }
    DCSelection& selection() { return selection_; }
private:
    DCSelection   selection_;
    HDC           dc_;
    SketchObject* object_;
    POINT         oldOrigin_{};
};

// The fill of an interior: its dimmed colour as brush and width-0 pen, in the port's mix mode.
void SelectInteriorFill(DCSelection* selection, GraphicsPort* port, COLORREF color) {
    selection->Brush(CreateSolidBrush(color));
    selection->Pen(CreatePen(PS_SOLID, 0, color));
    selection->Rop(port->ropMode);
}

void ArcInteriorShape(GraphicsPort* port, SketchObject* interior, bool outline) {
    const EllipseSpec ellipse = ArcToEllipseSpec(interior, 0);
    const bool sector = interior->objectKind == kKindArcSector;
    RECT box;
    POINT start, end;
    if (EllipseSpecToBox(ellipse, &box, &start, &end)) {
        DrawChordOrPie(port->dc, port->selectionColor, box, start, end, sector, outline);
    } else {
        FillFlattenedArc(port->dc, port->selectionColor, ellipse, sector, outline);
    }
}

}  // namespace

void DrawChordSafe(HDC dc, ScreenPoint centre, int32_t radius, ScreenPoint p1, ScreenPoint p2) {
    DrawCirclePieceSafe(dc, centre, radius, p1, p2, CirclePiece::kChord);
}
void DrawArcSafe(HDC dc, ScreenPoint centre, int32_t radius, ScreenPoint p1, ScreenPoint p2) {
    DrawCirclePieceSafe(dc, centre, radius, p1, p2, CirclePiece::kArc);
}
void DrawPieSafe(HDC dc, ScreenPoint centre, int32_t radius, ScreenPoint p1, ScreenPoint p2) {
    DrawCirclePieceSafe(dc, centre, radius, p1, p2, CirclePiece::kPie);
}

// ---- Circles and circle interiors

void DrawCircleObject(GraphicsPort* port, SketchObject* circle) {
    FpuMaskDuringPrint fpu;
    const CircleData& c = CircleOf(circle);
    DrawCircleOutline(port, c.centre, c.radius, ObjectDisplayColor(circle), circle->markFlags,
                      circle->lineStyle, circle->constructionType != kTypeKeepsTraceColor);
}

void DrawCircleSelection(GraphicsPort* port, SketchObject* circle) {
    FpuMaskDuringPrint fpu;
    const CircleData& c = CircleOf(circle);
    const double d = circle->lineStyle == kLineThick ? 3 : 2;
    for (double r : { c.radius - d, c.radius + d })
        DrawCircleOutline(port, c.centre, r, CurrentHighlight(), 0, kLineNormal, true);
}

void DrawCircleInteriorShape(GraphicsPort* port, SketchObject* interior) {
    const CircleData& c = CircleOf(interior);
    FillCircleSafe(port, c.centre, c.radius);
    if (!(interior->markFlags & kMarkHighlighted)) return;
    DCSelection selection(port->dc);
    SelectOutline(&selection, 5, port->selectionColor);
    FillCircleSafe(port, c.centre, c.radius);
}

void DrawCircleInterior(GraphicsPort* port, SketchObject* interior) {
    FpuMaskDuringPrint fpu;
    if (port->ropMode == R2_COPYPEN) {  // the mask pass: the bare shape
        DrawCircleInteriorShape(port, interior);
        return;
    }
    COLORREF color = ObjectDisplayColor(interior);
    ApplyObjectDimming(&color, interior->markFlags);
    DCSelection selection(port->dc);
    SelectInteriorFill(&selection, port, color);
    DrawCircleInteriorShape(port, interior);
}

void DrawCircleInteriorSelection(GraphicsPort* port, SketchObject* interior) {
    FpuMaskDuringPrint fpu;
    const CircleData& c = CircleOf(interior);
    SelectedInteriorLook look(port, interior, { c.screenCentreX, c.screenCentreY });
    look.selection().Pen(CreatePen(PS_SOLID, 0, ObjectDisplayColor(interior)));
    DrawCircleInteriorShape(port, interior);
}

// ---- Arcs and arc interiors

void DrawArcObject(GraphicsPort* port, SketchObject* arc) {
    FpuMaskDuringPrint fpu;
    const ArcData& a = ArcOf(arc);
    const bool traceBlend = arc->constructionType != kTypeKeepsTraceColor;
    if (IsTrueArc(a)) {
        if (a.arcLength > kShortestDrawnArc)
            DrawEllipseSpecOutline(port, ArcToEllipseSpec(arc, 0), ObjectDisplayColor(arc), arc->markFlags,
                                   arc->lineStyle, traceBlend);
        return;
    }
    HPEN pen = CreateObjectPen(port, ObjectDisplayColor(arc), arc->markFlags, arc->lineStyle, traceBlend);
    if (!pen) return;
    DCSelection selection(port->dc);
    selection.Pen(pen);
    DrawClippedSegment(port, ChordOf(a));
}

void DrawArcSelection(GraphicsPort* port, SketchObject* arc) {
    FpuMaskDuringPrint fpu;
    const ArcData& a = ArcOf(arc);
    const int32_t d = arc->lineStyle == kLineThick ? 3 : 2;
    if (!IsTrueArc(a)) {
        StrokeSelectionSegment(port, d, ChordOf(a));
        return;
    }
    if (a.arcLength <= kShortestDrawnArc) return;
    for (int32_t offset : { d, -d })
        DrawEllipseSpecOutline(port, ArcToEllipseSpec(arc, offset), CurrentHighlight(), 0, kLineNormal, true);
}

void DrawArcInterior(GraphicsPort* port, SketchObject* interior) {
    FpuMaskDuringPrint fpu;
    if (!IsTrueArc(ArcOf(interior))) return;  // three points in a line enclose nothing
    if (port->ropMode == R2_COPYPEN) {
        ArcInteriorShape(port, interior, false);
        return;
    }
    COLORREF color = ObjectDisplayColor(interior);
    ApplyObjectDimming(&color, interior->markFlags);
    DCSelection selection(port->dc);
    SelectInteriorFill(&selection, port, color);
    ArcInteriorShape(port, interior, (interior->markFlags & kMarkHighlighted) != 0);
}

void DrawArcInteriorSelection(GraphicsPort* port, SketchObject* interior) {
    FpuMaskDuringPrint fpu;
    const ArcData& a = ArcOf(interior);
    if (!IsTrueArc(a)) return;
    SelectedInteriorLook look(port, interior, { a.screenCentreX, a.screenCentreY });
    look.selection().StockPen(NULL_PEN);
    ArcInteriorShape(port, interior, (interior->markFlags & kMarkHighlighted) != 0);
}

// ---- Polygon interiors

void FillPolygonPoints(GraphicsPort* port, int32_t count, const ScreenPoint* points, bool outline) {
    if (count <= 0) return;
    POINT fixed[kPolygonBuffer];
    POINT* vertices = fixed;
    // A document may hold a polygon of any size: the larger ones borrow engine memory
    // (and are not drawn without it).
    if (count > kPolygonBuffer) {
        vertices = static_cast<POINT*>(AllocMemory(sizeof(POINT) * static_cast<size_t>(count), 0));
        if (!vertices) return;
    }
    for (int32_t i = 0; i < count; ++i) vertices[i] = { points[i].x, points[i].y };
    HDC dc = port->dc;
    const int previousMode = SetPolyFillMode(dc, ALTERNATE);
    Polygon(dc, vertices, count);
    if (outline) {
        DCSelection selection(dc);
        SelectOutline(&selection, 3, port->selectionColor);
        Polygon(dc, vertices, count);
    }
    SetPolyFillMode(dc, previousMode);
    if (vertices != fixed) FreeMemory(vertices);
}

void DrawPolygonInterior(GraphicsPort* port, SketchObject* polygon) {
    FpuMaskDuringPrint fpu;
    const PolygonData* p = ClassData<PolygonData>(polygon);
    if (p->vertexCount == 0 || p->screenVertices == nullptr) return;
    if (port->ropMode == R2_COPYPEN) {
        FillPolygonPoints(port, p->vertexCount, p->screenVertices, false);
        return;
    }
    COLORREF color = polygon->color & 0xFFFFFF;
    ApplyObjectDimming(&color, polygon->markFlags);
    DCSelection selection(port->dc);
    SelectInteriorFill(&selection, port, color);
    FillPolygonPoints(port, p->vertexCount, p->screenVertices, (polygon->markFlags & kMarkHighlighted) != 0);
}

void DrawPolygonSelection(GraphicsPort* port, SketchObject* polygon) {
    FpuMaskDuringPrint fpu;
    const PolygonData* p = ClassData<PolygonData>(polygon);
    if (p->vertexCount == 0 || p->screenVertices == nullptr) return;
    SelectedInteriorLook look(port, polygon, p->screenVertices[0]);
    look.selection().StockPen(NULL_PEN);
    FillPolygonPoints(port, p->vertexCount, p->screenVertices, (polygon->markFlags & kMarkHighlighted) != 0);
}

// ---- Picture groups

namespace {
constexpr uint32_t kGroupCommentTag = 0x43494447;  // "GDIC"
constexpr uint32_t kBeginGroup = 2;
constexpr uint32_t kEndGroup = 3;

void PutU32(BYTE* at, uint32_t v) { std::memcpy(at, &v, 4); }
}  // namespace

void BeginMetafileGroup(GraphicsPort* port, SketchObject*, const ScreenRect* rect) {
    BYTE record[28];
    PutU32(record, kGroupCommentTag);
    PutU32(record + 4, kBeginGroup);
    const int32_t bounds[4] = { rect->left, rect->top, rect->right, rect->bottom };
    for (int i = 0; i < 4; ++i) PutU32(record + 8 + 4 * i, static_cast<uint32_t>(bounds[i]));
    PutU32(record + 24, 0);  // no description
    GdiComment(port->dc, sizeof record, record);
}

void EndMetafileGroup(GraphicsPort* port, SketchObject*, const ScreenRect*) {
    BYTE record[8];
    PutU32(record, kGroupCommentTag);
    PutU32(record + 4, kEndGroup);
    GdiComment(port->dc, sizeof record, record);
}
