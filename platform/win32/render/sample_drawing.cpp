// Drawing the samples of loci and iterated images: a locus of a point as polylines over
// its runs (or as dots), other point images as dots, straight images as their visible
// pieces, circles in their boxes, polygons, and arcs, sectors and segments of circles;
// and their selection highlights.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/core/angle_constants.h"
#include "engine/core/services/later_release.h"
#include "engine/core/iterations.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/shape_families.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"

namespace {

namespace SR = SampleRecord;

// Points gathered for one Polyline call; a longer run is drawn in pieces joined at
// their ends.
constexpr int32_t kCurveBatch = 400;
// Side of a highlighted dot.
constexpr int32_t kSelectionDot = 3;
// intMetricsA positions: the side (less one) of a sample dot by line style, and of the
// square that marks where a locus ends (normal and thick).
constexpr int32_t kMetricDotSmall      = 5;   // 1 on screen
constexpr int32_t kMetricDotNormal     = 6;   // 3
constexpr int32_t kMetricDotLarge      = 7;   // 5
constexpr int32_t kMetricEndSquare     = 10;  // 3
constexpr int32_t kMetricThickEndSquare = 11; // 5
// Polygons of up to this many vertices are drawn without borrowing memory.
constexpr int32_t kPolygonVertexBuffer = 64;

template <typename T>
T Field(const uint8_t* record, uint32_t offset) {
    T v;
    std::memcpy(&v, record + offset, sizeof v);
    return v;
}

bool IsLocus(const SketchObject* object) { return object->objectClass == kClassLocus; }

// Whether a point record is shown, and its state (iteration records: 1 or 0).
uint32_t PointState(const SketchObject* object, const uint8_t* record) {
    return IsLocus(object) ? Field<uint32_t>(record, SR::kLocusState) : (Field<uint32_t>(record, 4) ? 1u : 0u);
}

// The colour stored after each record of a parametrically coloured locus or image; -1
// when the object keeps one colour.
int32_t SampleColorOffset(const SketchObject* object) {
    if (IsLocus(object)) {
        const LocusData* L = LocusDataOf(object);
        return L->perSampleColour && L->sampleSize >= 4 ? int32_t(L->sampleSize) - 4 : -1;
    }
    if (object->objectClass == kClassIteratedImage) {
        const IteratedImageData* d = ClassData<IteratedImageData>(object);
        return d->perSampleColour && d->recordSize >= 4 ? int32_t(d->recordSize) - 4 : -1;
    }
    return -1;
}

// A sample's own colour, dimmed like its object.
COLORREF SampleColor(const SketchObject* object, const uint8_t* record, int32_t offset) {
    COLORREF color = Field<uint32_t>(record, uint32_t(offset)) & 0xFFFFFF;
    ApplyObjectDimming(&color, object->markFlags);
    return color;
}

// Outcode of a point against the area a curve is kept in: 1 left, 2 right, 4 above, 8 below.
uint32_t Outcode(const RECT& area, int32_t x, int32_t y) {
    return (x < area.left ? 1u : 0u) | (x > area.right ? 2u : 0u) | (y < area.top ? 4u : 0u) |
           (y > area.bottom ? 8u : 0u);
}

struct CurveContext {
    GraphicsPort* port;
    const SketchObject* object;
    RECT area;             // the paint rectangle grown by 5
    POINT points[kCurveBatch];
    float exact[2 * kCurveBatch];  // the same points as the samples keep them (x, y pairs)
    int32_t count;
    uint32_t lastCode;     // outcode of points[count - 1]
    bool highlight;
    bool pushEnds;         // a locus with marked ends: its highlight reaches over the marks
    int32_t offset;        // of the two highlight strokes
    int32_t colorOffset;   // per-sample colours; -1 for none
    int32_t penStyle, penWidth;
};

// Two strokes parallel to the run, `offset` apart: each segment moves its points across
// its main direction by half the offset, rounded up on one side and down on the other;
// a point at a join moves by both neighbours, and a closed run's ends move alike. An
// open run of a locus with marked ends reaches `offset` further at each end.
void DrawSampleCurve(CurveContext* c) {
    const int32_t n = c->count;
    if (n < 2) return;
    const int32_t up = (c->offset + 1) / 2, down = c->offset / 2;
    const bool closed = c->points[0].x == c->points[n - 1].x && c->points[0].y == c->points[n - 1].y;
    POINT sides[2][kCurveBatch];
    for (int32_t i = 0; i < n; ++i) {
        int32_t dx = 0, dy = 0;
        auto addSegment = [&](const POINT& a, const POINT& b) {
            if (std::abs(b.x - a.x) >= std::abs(b.y - a.y)) dy = 1;  // flatter than 45 degrees
            else dx = 1;
        };
        if (i > 0) addSegment(c->points[i - 1], c->points[i]);
        if (i + 1 < n) addSegment(c->points[i], c->points[i + 1]);
        if (closed && (i == 0 || i == n - 1)) {
            addSegment(c->points[n - 2], c->points[n - 1]);
            addSegment(c->points[0], c->points[1]);
        }
        sides[0][i] = { c->points[i].x - dx * up, c->points[i].y - dy * up };
        sides[1][i] = { c->points[i].x + dx * down, c->points[i].y + dy * down };
    }
    if (c->pushEnds && !closed) {
        // Outward along each end segment's main direction.
        auto push = [&](int32_t end, int32_t inner) {
            const int32_t ox = c->points[end].x - c->points[inner].x, oy = c->points[end].y - c->points[inner].y;
            int32_t px = 0, py = 0;
            if (std::abs(ox) >= std::abs(oy)) px = ox > 0 ? c->offset : -c->offset;
            else py = oy > 0 ? c->offset : -c->offset;
            for (POINT* side : { sides[0], sides[1] }) {
                side[end].x += px;
                side[end].y += py;
            }
        };
        push(0, 1);
        push(n - 1, n - 2);
    }
    DrawPolylineCompact(c->port->dc, sides[0], n);
    DrawPolylineCompact(c->port->dc, sides[1], n);
}

void DrawCurveRun(CurveContext* c) {
    if (c->colorOffset >= 0 && !c->highlight) return;  // segments went out one by one
    if (auto antiAliased = LaterForms().drawing.strokePolyline)
        if (c->count >= 2 && antiAliased(c->port, c->exact, c->count, c->highlight)) return;
    if (c->highlight) DrawSampleCurve(c);
    else DrawPolylineCompact(c->port->dc, c->points, c->count);
}

void SetCurvePoint(CurveContext* c, int32_t i, RealPoint p) {
    c->points[i] = { RoundToScreen(p.x), RoundToScreen(p.y) };
    c->exact[2 * i] = float(p.x);
    c->exact[2 * i + 1] = float(p.y);
}

void AppendCurvePoint(CurveContext* c, RealPoint p, const uint8_t* record) {
    if (c->count > 0 && c->exact[2 * c->count - 2] == float(p.x) && c->exact[2 * c->count - 1] == float(p.y)) return;
    if (c->count == kCurveBatch) {
        DrawCurveRun(c);
        c->points[0] = c->points[kCurveBatch - 1];
        c->exact[0] = c->exact[2 * kCurveBatch - 2];
        c->exact[1] = c->exact[2 * kCurveBatch - 1];
        c->count = 1;
    }
    const int32_t x = RoundToScreen(p.x), y = RoundToScreen(p.y);
    if (c->colorOffset >= 0 && !c->highlight && c->count > 0) {
        HDC dc = c->port->dc;
        const COLORREF color = SampleColor(c->object, record, c->colorOffset);
        const LaterDrawingForms& later = LaterForms().drawing;
        if (later.rememberPen && later.strokeLine) {
            later.rememberPen(c->penWidth > 0 ? float(c->penWidth) : 1.0f, color, c->penStyle != PS_SOLID);
            if (later.strokeLine(c->port, c->exact[2 * c->count - 2], c->exact[2 * c->count - 1], p.x, p.y)) {
                SetCurvePoint(c, c->count++, p);
                return;
            }
        }
        HPEN pen = CreatePen(c->penStyle, c->penWidth, color);
        HGDIOBJ previous = pen ? SelectObject(dc, pen) : nullptr;
        const POINT segment[2] = { c->points[c->count - 1], { x, y } };
        DrawPolylineCompact(dc, segment, 2);
        if (previous) SelectObject(dc, previous);
        if (pen) DeleteObject(pen);
    }
    SetCurvePoint(c, c->count++, p);
}

void EndCurveRun(CurveContext* c) {
    DrawCurveRun(c);
    c->count = 0;
}

bool CollectCurveSample(void* state, uint8_t* record, int32_t) {
    auto* c = static_cast<CurveContext*>(state);
    const uint32_t marker = Field<uint32_t>(record, SR::kLocusState);
    if (marker == kSampleMissing) {
        EndCurveRun(c);
        return true;
    }
    if (marker == kSampleRunStart) EndCurveRun(c);
    const RealPoint p = LocusRecordPosition(record);
    const uint32_t code = Outcode(c->area, RoundToScreen(p.x), RoundToScreen(p.y));
    if (c->count > 0 && code != 0 && (c->lastCode & code) != 0) {
        // Still outside on the same side: only the newest point matters.
        SetCurvePoint(c, c->count - 1, p);
        c->lastCode = code;
        return true;
    }
    AppendCurvePoint(c, p, record);
    c->lastCode = code;
    if (code != 0) {
        // Leaving the area: the run ends here and the next one starts from this point.
        EndCurveRun(c);
        SetCurvePoint(c, 0, p);
        c->count = 1;
    }
    return true;
}

struct DotContext {
    HDC dc;
    const SketchObject* object;
    int32_t size;
    int32_t every;  // draw every so many shown records (1: all)
    int32_t seen;
    int32_t colorOffset;
    bool    framed;  // a pen outlines the squares
    GraphicsPort* port = nullptr;
    bool selection = false;  // the highlight pass's dots
    uint32_t fill = kRememberedColor;  // of the squares drawn anti-aliased
};

// Highlight dots drawn anti-aliased are this large.
constexpr double kAntiAliasedSelectionDot = 9;

bool DrawSampleDot(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<DotContext*>(state);
    if (PointState(w->object, record) == kSampleMissing) return true;
    // A closed locus walks its first record again at the end.
    if (index == 0 && w->seen > 0) return true;
    if (w->seen++ % w->every != 0) return true;
    const RealPoint p = IsLocus(w->object) ? LocusRecordPosition(record)
                                           : RealPoint{ double(Field<int16_t>(record, 0)), double(Field<int16_t>(record, 2)) };
    const int32_t x = RoundToScreen(p.x), y = RoundToScreen(p.y);
    if (auto square = LaterForms().drawing.fillSquare) {
        const double side = w->selection ? kAntiAliasedSelectionDot : w->size + 1;
        const uint32_t color = w->colorOffset >= 0 ? SampleColor(w->object, record, w->colorOffset) : w->fill;
        if (w->port && square(w->port, p.x, p.y, side, color)) return true;
    }
    const int32_t half = w->size / 2;
    // Without a pen Rectangle leaves the right and bottom edge unfilled.
    const int32_t side = w->size + (w->framed ? 1 : 2);
    HBRUSH own = w->colorOffset >= 0 ? CreateSolidBrush(SampleColor(w->object, record, w->colorOffset)) : nullptr;
    HGDIOBJ previous = own ? SelectObject(w->dc, own) : nullptr;
    Rectangle(w->dc, x - half, y - half, x - half + side, y - half + side);
    if (previous) SelectObject(w->dc, previous);
    if (own) DeleteObject(own);
    return true;
}

// A filled square or an arrowhead where an open locus ends, drawn with the DC's pen.
void DrawSampleEndMark(GraphicsPort* port, const uint8_t* record, int32_t markType, double angle, COLORREF color,
                       bool thick) {
    if (!record || Field<uint32_t>(record, SR::kLocusState) == kSampleMissing) return;
    const RealPoint exact = LocusRecordPosition(record);
    const ScreenPoint p = { RoundToScreen(exact.x), RoundToScreen(exact.y) };
    const LaterDrawingForms& later = LaterForms().drawing;
    if (markType == kLocusEndGoesOn) {
        if (later.fillPolygon) {
            // Tip, a barb, the notch at the back, the other barb; a thick line's head is
            // half as large again and reaches half a size further.
            const double size = DrawingMetrics.intMetricsA[kMetricArrowSize] * (thick ? 1.5 : 1.0);
            const double ux = std::cos(angle), uy = std::sin(angle);
            const double tipX = exact.x + (thick ? ux * size / 2 : 0), tipY = exact.y + (thick ? uy * size / 2 : 0);
            // As long as the stroked head, half as wide, the notch a third of the way in.
            const double backX = tipX - size * ux, backY = tipY - size * uy, half = size / 2;
            const float head[8] = { float(tipX), float(tipY),
                                    float(backX - half * uy), float(backY + half * ux),
                                    float(tipX - 0.7 * size * ux), float(tipY - 0.7 * size * uy),
                                    float(backX + half * uy), float(backY - half * ux) };
            if (later.fillPolygon(port, head, 4, color)) return;
        }
        DrawArrowHead(port, p, angle);
        return;
    }
    if (markType != kLocusEndAtSample) return;
    const int32_t side = DrawingMetrics.intMetricsA[thick ? kMetricThickEndSquare : kMetricEndSquare];
    if (later.fillSquare && later.fillSquare(port, exact.x, exact.y, side, color)) return;
    RECT square = { p.x - side / 2, p.y - side / 2, p.x - side / 2 + side, p.y - side / 2 + side };
    HBRUSH brush = CreateSolidBrush(color);
    if (brush) {
        FillRect(port->dc, &square, brush);
        DeleteObject(brush);
    }
}

// The point family's work: dots, or for a locus drawn as a curve its runs, with its end
// marks unless highlighting.
void DrawSampleSet(GraphicsPort* port, SketchObject* object, SampleEnumeratorFn walk, void* user, bool highlight,
                   int32_t offset) {
    HDC dc = port->dc;
    const int32_t style = object->lineStyle;
    const int32_t dotSize = DrawingMetrics.intMetricsA[style == kLineDashed ? kMetricDotSmall
                                                       : style == kLineThick ? kMetricDotLarge
                                                                             : kMetricDotNormal];
    SetSamplePenStyle(style == kLineDashed ? PS_DOT : PS_SOLID);
    SetSamplePenWidth(style == kLineThick ? 3 : 0);
    const bool perSample = UpdatePerSampleColorMode(object) && !highlight;
    const int32_t colorOffset = perSample ? SampleColorOffset(object) : -1;
    const bool traceStyle = (object->markFlags & kMarkTraceStyle) != 0;
    if (!IsLocus(object) || !LocusDrawnAsCurve(object)) {
        COLORREF color = ObjectDisplayColor(object);
        if (traceStyle && IsLocus(object) && object->constructionType != kTypeKeepsTraceColor)
            BlendTowardBackground(&color, 128, false);
        DCSelection selection(dc);
        selection.Brush(CreateSolidBrush(color));
        const bool framed = (object->markFlags & kMarkHighlighted) != 0;
        if (framed) selection.Pen(CreatePen(PS_SOLID, 0, port->selectionColor));
        else selection.StockPen(NULL_PEN);
        DotContext w{ dc, object, dotSize, 1, 0, colorOffset, framed, port, false, color };
        walk(user, DrawSampleDot, &w);
        return;
    }
    CurveContext context;
    CurveContext* c = &context;
    c->port = port;
    c->object = object;
    c->area = PortDrawArea(port);
    InflateRect(&c->area, 5, 5);
    c->count = 0;
    c->lastCode = 0;
    c->highlight = highlight;
    c->pushEnds = highlight && IsLocus(object) && LocusHasMarkedEnds(object);
    c->offset = offset;
    c->colorOffset = colorOffset;
    c->penStyle = GetSamplePenStyle();
    c->penWidth = GetSamplePenWidth();
    walk(user, CollectCurveSample, c);
    EndCurveRun(c);
    if (highlight || traceStyle) return;
    const LocusData* L = LocusDataOf(object);
    if (!L->samples || L->sampleCount <= 0) return;
    const uint8_t* first = L->samples;
    const uint8_t* last = L->samples + size_t(L->sampleCount - 1) * L->sampleSize;
    const bool thick = style == kLineThick;
    const COLORREF color = ObjectDisplayColor(object);
    DrawSampleEndMark(port, first, L->startKind, L->startDirection, color, thick);
    DrawSampleEndMark(port, last, L->endKind, L->endDirection, color, thick);
}

void DrawPoints(GraphicsPort* port, SketchObject* object, SampleEnumeratorFn walk, void* user, bool highlight) {
    FpuMaskDuringPrint fpu;
    HDC dc = port->dc;
    DCSelection selection(dc);
    selection.Rop(R2_COPYPEN);
    ObjectDimmingScope dimming(object);
    const bool curve = IsLocus(object) && LocusDrawnAsCurve(object);
    if (!highlight) {
        // The pen dims the colour by the mark word itself.
        selection.Pen(CreateObjectPen(port, object->color & 0xFFFFFF, object->markFlags, object->lineStyle,
                                      object->constructionType != kTypeKeepsTraceColor));
        DrawSampleSet(port, object, walk, user, false, 0);
    } else if (curve) {
        selection.Pen(CreateObjectPen(port, CurrentHighlight(), 0, kLineNormal, true));
        DrawSampleSet(port, object, walk, user, true, object->lineStyle == kLineThick ? 3 : 2);
    } else {
        // The layer's feedback pen and brush are the DC's now.
        int32_t every = 1;
        if (IsLocus(object)) {
            const LocusData* L = LocusDataOf(object);
            int32_t f = 10;
            const int32_t w = object->bounds.right - object->bounds.left, h = object->bounds.bottom - object->bounds.top;
            while (f > 2 && w < 4 * f && h < 4 * f) f /= 2;
            // With marked ends the last sample is left out, so the dots run from the
            // first sample to the last.
            const int32_t spaced = L->sampleCount - (LocusHasMarkedEnds(object) ? 1 : 0);
            every = std::max(1, spaced / f);
        }
        DotContext w{ dc, object, kSelectionDot - 1, every, 0, -1, true, port, true };
        walk(user, DrawSampleDot, &w);
    }
}

// Highlights of a locus's shapes go on every so many samples, all of an image's.
int32_t HighlightEvery(const SketchObject* object, bool highlight) {
    if (!highlight || !IsLocus(object)) return 1;
    const int32_t every = LocusDataOf(object)->sampleCount / 16;
    return every > 0 ? every : 1;
}

// The pen (outlines) or brush and pen (interiors) of one sample in its own colour,
// selected for the sample only; nothing when the object keeps one colour.
class SampleLook {
public:
    SampleLook(HDC dc, const SketchObject* object, const uint8_t* record, int32_t colorOffset, bool interior)
        : selection_(dc) {
        if (colorOffset < 0) return;
        const COLORREF color = SampleColor(object, record, colorOffset);
        if (interior) {
            selection_.Brush(CreateSolidBrush(color));
            selection_.Pen(CreatePen(PS_SOLID, 0, color));
        } else {
            selection_.Pen(CreatePen(GetSamplePenStyle(), GetSamplePenWidth(), color));
        }
    }

private:
    DCSelection selection_;
};

struct SegmentWalk {
    GraphicsPort* port;
    const SketchObject* object;
    int32_t every;
    int32_t seen;
    int32_t colorOffset;
    int32_t strokeOffset;  // of the highlight strokes; 0 when not highlighting
};

bool DrawStraightSample(void* state, uint8_t* record, int32_t) {
    auto* w = static_cast<SegmentWalk*>(state);
    if (!Field<uint32_t>(record, 8)) return true;
    if (w->seen++ % w->every != 0) return true;
    const ScreenRect segment = { Field<int16_t>(record, 0), Field<int16_t>(record, 2), Field<int16_t>(record, 4),
                                 Field<int16_t>(record, 6) };
    if (w->strokeOffset) {
        StrokeSelectionSegment(w->port, w->strokeOffset, segment);
        return true;
    }
    SampleLook look(w->port->dc, w->object, record, w->colorOffset, false);
    DrawClippedSegment(w->port, segment);
    return true;
}

// The pen style and width of samples drawn in their own colours.
void SetSamplePens(const SketchObject* object) {
    SetSamplePenStyle(object->lineStyle == kLineDashed ? PS_DOT : PS_SOLID);
    SetSamplePenWidth(object->lineStyle == kLineThick ? 3 : 0);
}

void DrawSegments(GraphicsPort* port, SketchObject* object, SampleEnumeratorFn walk, void* user, bool highlight) {
    FpuMaskDuringPrint fpu;
    ObjectDimmingScope dimming(object);
    HDC dc = port->dc;
    DCSelection selection(dc);
    selection.Rop(R2_COPYPEN);
    const bool traceBlend = object->constructionType != kTypeKeepsTraceColor;
    selection.Pen(CreateObjectPen(port, object->color & 0xFFFFFF, highlight ? 0 : object->markFlags,
                                  highlight ? kLineNormal : object->lineStyle, traceBlend));
    SetSamplePens(object);
    const int32_t colorOffset = !highlight && UpdatePerSampleColorMode(object) ? SampleColorOffset(object) : -1;
    const int32_t offset = highlight ? (object->lineStyle == kLineThick ? 3 : 2) : 0;
    SegmentWalk w{ port, object, HighlightEvery(object, highlight), 0, colorOffset, offset };
    walk(user, DrawStraightSample, &w);
}

// The pen and brush of a family's shapes: outlines with the object's pen and no brush,
// interiors filled in their dimmed colour in the port's mix mode (in the mask pass with
// the DC's own); highlights of interiors hatched, of outlines with the draw layer's
// feedback pen that the DC holds.
void SelectShapeLook(DCSelection* selection, GraphicsPort* port, SketchObject* object, bool interior,
                     bool highlight, HBRUSH* hatch, int* previousRop) {
    COLORREF color = ObjectDisplayColor(object);
    if (highlight && interior) {
        SelectSelectionHatch(port->dc, color, hatch, previousRop);
        selection->Brush(*hatch);
        *hatch = nullptr;  // the selection deletes it
        selection->StockPen(NULL_PEN);
        return;
    }
    if (highlight) {
        selection->StockBrush(NULL_BRUSH);
        return;
    }
    if (!interior) {
        selection->StockBrush(NULL_BRUSH);
        selection->Pen(CreateObjectPen(port, object->color & 0xFFFFFF, object->markFlags, object->lineStyle,
                                       object->constructionType != kTypeKeepsTraceColor));
        return;
    }
    selection->Rop(port->ropMode);
    if (port->ropMode == R2_COPYPEN) return;  // the mask pass stamps with the DC's pen and brush
    ApplyObjectDimming(&color, object->markFlags);
    selection->Brush(CreateSolidBrush(color));
    if (object->markFlags & kMarkHighlighted) selection->Pen(CreatePen(PS_SOLID, 2, port->selectionColor));
    else selection->Pen(CreatePen(PS_SOLID, 0, color));
}

struct ShapeWalk {
    GraphicsPort* port;
    const SketchObject* object;
    bool interior;
    uint32_t family;  // the family's value: the kind of an arc, the vertex count of a polygon
    int32_t every;
    int32_t seen;
    int32_t colorOffset;
};

bool Take(ShapeWalk* w, int32_t index) {
    // A closed locus walks its first record again at the end.
    if (index == 0 && w->seen > 0) return false;
    return w->seen++ % w->every == 0;
}

// An anti-aliased outline sample strokes in the sample's own colour where it has one.
void RememberSamplePen(const ShapeWalk* w, const uint8_t* record) {
    const auto remember = LaterForms().drawing.rememberPen;
    if (w->colorOffset < 0 || !remember) return;
    const int32_t penWidth = GetSamplePenWidth();
    remember(penWidth > 0 ? float(penWidth) : 1.0f, SampleColor(w->object, record, w->colorOffset),
             GetSamplePenStyle() != PS_SOLID);
}

// An outline sample through the anti-aliased ellipse (an arc of `sweep` from `start`);
// false when it is left to GDI.
bool AntiAliasedOutline(const ShapeWalk* w, const uint8_t* record, double x, double y, double width, double height,
                        double start, double sweep) {
    const auto ellipse = LaterForms().drawing.strokeEllipse;
    if (!ellipse || w->interior) return false;
    RememberSamplePen(w, record);
    return ellipse(w->port, x, y, width, height, start, sweep);
}

bool CircleRecord(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<ShapeWalk*>(state);
    if (!Field<uint32_t>(record, 8) || !Take(w, index)) return true;
    const RECT box = { Field<int16_t>(record, 0), Field<int16_t>(record, 2), Field<int16_t>(record, 4),
                       Field<int16_t>(record, 6) };
    if (AntiAliasedOutline(w, record, box.left, box.top, box.right - box.left, box.bottom - box.top, 0, kTwoPi))
        return true;
    SampleLook look(w->port->dc, w->object, record, w->colorOffset, w->interior);
    DrawEllipseInBox(w->port->dc, box, w->interior);
    return true;
}

bool PolygonRecord(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<ShapeWalk*>(state);
    if (!Field<uint32_t>(record, 0) || !Take(w, index)) return true;
    const int32_t count = int32_t(w->family);
    if (count <= 0) return true;
    // The vertices are copied out of the record, which has no alignment of its own.
    ScreenPoint fixed[kPolygonVertexBuffer];
    ScreenPoint* vertices = count <= kPolygonVertexBuffer
                                ? fixed
                                : static_cast<ScreenPoint*>(AllocMemory(sizeof(ScreenPoint) * size_t(count), 0));
    if (!vertices) return true;
    std::memcpy(vertices, record + SR::kPolygonHead, 4u * uint32_t(count));
    {
        SampleLook look(w->port->dc, w->object, record, w->colorOffset, true);
        FillPolygonPoints(w->port, count, vertices, false);
    }
    if (vertices != fixed) FreeMemory(vertices);
    return true;
}

bool ArcRecord(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<ShapeWalk*>(state);
    if (!Field<uint32_t>(record, SR::kArcVisible) || !Take(w, index)) return true;
    HDC dc = w->port->dc;
    SampleLook look(dc, w->object, record, w->colorOffset, w->interior);
    const ScreenPoint start = { Field<int16_t>(record, SR::kArcStart), Field<int16_t>(record, SR::kArcStart + 2) };
    const ScreenPoint end = { Field<int16_t>(record, SR::kArcEnd), Field<int16_t>(record, SR::kArcEnd + 2) };
    if (Field<int8_t>(record, SR::kArcOrientation) == 0) {
        if (const auto line = LaterForms().drawing.strokeLine; line && !w->interior) {
            RememberSamplePen(w, record);
            const ArcSampleGeometry g = ArcRecordGeometry(record);
            if (line(w->port, g.centre.x, g.centre.y, g.radius, g.startAngle)) return true;
        }
        DrawClippedSegment(w->port, ScreenRect{ start.x, start.y, end.x, end.y });
        return true;
    }
    const ScreenPoint centre = { Field<int16_t>(record, SR::kArcCentre), Field<int16_t>(record, SR::kArcCentre + 2) };
    const int32_t radius = Field<int16_t>(record, SR::kArcRadius);
    if (w->family != kKindArcSector && w->family != kKindArcSegment) {
        // Clockwise on the screen from the start point to the end point, as GDI draws it.
        const ArcSampleGeometry g = ArcRecordGeometry(record);
        double sweep = g.endAngle - g.startAngle;
        if (sweep < 0) sweep += kTwoPi;
        if (AntiAliasedOutline(w, record, g.centre.x - g.radius, g.centre.y - g.radius, 2.0 * g.radius,
                               2.0 * g.radius, g.startAngle, sweep))
            return true;
    }
    if (w->family == kKindArcSector) DrawPieSafe(dc, centre, radius, start, end);
    else if (w->family == kKindArcSegment) DrawChordSafe(dc, centre, radius, start, end);
    else DrawArcSafe(dc, centre, radius, start, end);
    return true;
}

void DrawShapes(GraphicsPort* port, SketchObject* object, const void* familyData, SampleEnumeratorFn walk,
                void* user, bool highlight, SampleCallbackFn record, bool interior) {
    FpuMaskDuringPrint fpu;
    ObjectDimmingScope dimming(object);
    DCSelection selection(port->dc);
    selection.Rop(R2_COPYPEN);
    HBRUSH hatch = nullptr;
    int previousRop = 0;
    SelectShapeLook(&selection, port, object, interior, highlight, &hatch, &previousRop);
    uint32_t family = 0;
    if (familyData) std::memcpy(&family, familyData, record == PolygonRecord ? 2 : 4);
    SetSamplePens(object);
    // Samples in their own colours, except in the mask pass and in highlights.
    const bool ownColors = !highlight && !(interior && port->ropMode == R2_COPYPEN) && UpdatePerSampleColorMode(object);
    // Highlights thin out only a locus's outlines and arcs; hatched circles and polygons
    // show on every sample.
    const bool thinned = record == ArcRecord || (record == CircleRecord && !interior);
    ShapeWalk w{ port, object, interior, family, thinned ? HighlightEvery(object, highlight) : 1, 0,
                 ownColors ? SampleColorOffset(object) : -1 };
    walk(user, record, &w);
}

bool IsArcInterior(const void* familyData) {
    uint32_t kind = 0;
    if (familyData) std::memcpy(&kind, familyData, 4);
    return kind == kKindArcSector || kind == kKindArcSegment;
}
bool IsCircleInterior(const void* familyData) {
    uint32_t flag = 0;
    if (familyData) std::memcpy(&flag, familyData, 4);
    return flag != 0;
}

}  // namespace

void DrawPointSamples(GraphicsPort* port, SketchObject* object, const void*, SampleEnumeratorFn walk, void* user) {
    DrawPoints(port, object, walk, user, false);
}
void DrawPointSamplesSelection(GraphicsPort* port, SketchObject* object, const void*, SampleEnumeratorFn walk,
                               void* user) {
    DrawPoints(port, object, walk, user, true);
}
void DrawStraightSamples(GraphicsPort* port, SketchObject* object, const void*, SampleEnumeratorFn walk, void* user) {
    DrawSegments(port, object, walk, user, false);
}
void DrawStraightSamplesSelection(GraphicsPort* port, SketchObject* object, const void*, SampleEnumeratorFn walk,
                                  void* user) {
    DrawSegments(port, object, walk, user, true);
}
void DrawCircleSamples(GraphicsPort* port, SketchObject* object, const void* familyData, SampleEnumeratorFn walk,
                       void* user) {
    DrawShapes(port, object, familyData, walk, user, false, CircleRecord, IsCircleInterior(familyData));
}
void DrawCircleSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                SampleEnumeratorFn walk, void* user) {
    DrawShapes(port, object, familyData, walk, user, true, CircleRecord, IsCircleInterior(familyData));
}
void DrawPolygonSamples(GraphicsPort* port, SketchObject* object, const void* familyData, SampleEnumeratorFn walk,
                        void* user) {
    DrawShapes(port, object, familyData, walk, user, false, PolygonRecord, true);
}
void DrawPolygonSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                 SampleEnumeratorFn walk, void* user) {
    DrawShapes(port, object, familyData, walk, user, true, PolygonRecord, true);
}
void DrawArcSamples(GraphicsPort* port, SketchObject* object, const void* familyData, SampleEnumeratorFn walk,
                    void* user) {
    DrawShapes(port, object, familyData, walk, user, false, ArcRecord, IsArcInterior(familyData));
}
void DrawArcSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                             SampleEnumeratorFn walk, void* user) {
    DrawShapes(port, object, familyData, walk, user, true, ArcRecord, IsArcInterior(familyData));
}

namespace {
struct SampleRenderState {
    bool    perSampleColor;
    int32_t penWidth;
    int32_t penStyle;
};
SampleRenderState gSampleState{ false, 0, PS_SOLID };
}  // namespace

bool UpdatePerSampleColorMode(const SketchObject* object) {
    bool flag = false;
    if (IsLocus(object)) flag = LocusDataOf(object)->perSampleColour != 0;
    else if (object->objectClass == kClassIteratedImage) flag = ClassData<IteratedImageData>(object)->perSampleColour != 0;
    // A highlighted object is drawn in the selection colour, not in its gradient.
    if (object->markFlags & kMarkHighlighted) flag = false;
    gSampleState.perSampleColor = flag;
    return flag;
}
void SetPerSampleColorMode(bool on) { gSampleState.perSampleColor = on; }
bool GetPerSampleColorMode() { return gSampleState.perSampleColor; }
void SetSamplePenWidth(int32_t width) { gSampleState.penWidth = width; }
int32_t GetSamplePenWidth() { return gSampleState.penWidth; }
void SetSamplePenStyle(int32_t style) { gSampleState.penStyle = style; }
int32_t GetSamplePenStyle() { return gSampleState.penStyle; }

void DrawPolylineCompact(HDC dc, const POINT* points, int32_t count) {
    if (count < 2) return;
    bool horizontal = true, vertical = true;
    POINT lo = points[0], hi = points[0];
    for (int32_t i = 1; i < count; ++i) {
        horizontal = horizontal && points[i].y == points[0].y;
        vertical = vertical && points[i].x == points[0].x;
        if (points[i].x < lo.x || (points[i].x == lo.x && points[i].y < lo.y)) lo = points[i];
        if (points[i].x > hi.x || (points[i].x == hi.x && points[i].y > hi.y)) hi = points[i];
    }
    if (horizontal || vertical) {
        // One stroke from extreme to extreme, one pixel further so the end pixel shows.
        MoveToEx(dc, lo.x, lo.y, nullptr);
        LineTo(dc, hi.x + (horizontal ? 1 : 0), hi.y + (horizontal ? 0 : 1));
        return;
    }
    Polyline(dc, points, count);
}
