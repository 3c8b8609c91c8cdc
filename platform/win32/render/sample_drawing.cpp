// Drawing the samples of loci and iterated images: a locus of a point as polylines over
// its runs (or as dots), other point images as dots, straight images as their visible
// pieces, circles in their boxes, polygons, and arcs, sectors and segments of circles;
// and their selection highlights.
#include <windows.h>

#include <cstring>

#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/shape_families.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"

namespace {

namespace SR = SampleRecord;

// Points gathered for one Polyline call; a longer run is drawn in pieces joined at
// their ends.
constexpr int32_t kPolylineBatch = 512;
// Side of a dot (less one) and of a highlighted dot.
constexpr int32_t kDotSize = 2;
constexpr int32_t kSelectionDot = 3;
// Every so many samples of a locus drawn as dots carries a highlight.
constexpr int32_t kHighlightSpacing = 10;
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

struct CurveWalk {
    HDC dc;
    POINT points[kPolylineBatch];
    int32_t count;
};

void Flush(CurveWalk* w) {
    if (w->count > 1) Polyline(w->dc, w->points, w->count);
    else if (w->count == 1) {
        const POINT p = w->points[0];
        MoveToEx(w->dc, p.x, p.y, nullptr);
        LineTo(w->dc, p.x + 1, p.y);
    }
    w->count = 0;
}

bool CurveRecord(void* state, uint8_t* record, int32_t) {
    auto* w = static_cast<CurveWalk*>(state);
    const uint32_t s = Field<uint32_t>(record, SR::kLocusState);
    if (s == kSampleMissing) {
        Flush(w);
        return true;
    }
    if (s == kSampleRunStart) Flush(w);
    if (w->count == kPolylineBatch) {
        const POINT last = w->points[kPolylineBatch - 1];
        Flush(w);
        w->points[w->count++] = last;
    }
    w->points[w->count++] = { Field<int16_t>(record, 0), Field<int16_t>(record, 2) };
    return true;
}

struct DotWalk {
    HDC dc;
    const SketchObject* object;
    int32_t size;
    int32_t every;  // draw every so many shown records (1: all)
    int32_t seen;
};

bool DotRecord(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<DotWalk*>(state);
    if (PointState(w->object, record) == kSampleMissing) return true;
    // A closed locus walks its first record again at the end.
    if (index == 0 && w->seen > 0) return true;
    if (w->seen++ % w->every != 0) return true;
    const int32_t x = Field<int16_t>(record, 0), y = Field<int16_t>(record, 2);
    const int32_t half = w->size / 2;
    Rectangle(w->dc, x - half, y - half, x - half + w->size + 1, y - half + w->size + 1);
    return true;
}

void DrawPoints(GraphicsPort* port, SketchObject* object, SampleEnumeratorFn walk, void* user, bool highlight) {
    HDC dc = port->dc;
    const COLORREF color = highlight ? port->selectionColor : ObjectDisplayColor(object);
    DCSelection selection(dc);
    selection.Rop(R2_COPYPEN);
    if (IsLocus(object) && LocusDrawnAsCurve(object)) {
        const int32_t width = highlight ? 3 : 0;
        selection.Pen(highlight ? CreatePen(PS_SOLID, width, color)
                                : CreateObjectPen(port, color, object->markFlags, object->lineStyle, false));
        CurveWalk w{};
        w.dc = dc;
        walk(user, CurveRecord, &w);
        Flush(&w);
        return;
    }
    selection.StockPen(NULL_PEN);
    selection.Brush(CreateSolidBrush(color));
    DotWalk w{ dc, object, highlight ? kSelectionDot : kDotSize, highlight && IsLocus(object) ? kHighlightSpacing : 1, 0 };
    walk(user, DotRecord, &w);
}

struct SegmentWalk {
    HDC dc;
    int32_t every;
    int32_t seen;
};

bool SegmentRecord(void* state, uint8_t* record, int32_t) {
    auto* w = static_cast<SegmentWalk*>(state);
    if (!Field<uint32_t>(record, 8)) return true;
    if (w->seen++ % w->every != 0) return true;
    MoveToEx(w->dc, Field<int16_t>(record, 0), Field<int16_t>(record, 2), nullptr);
    LineTo(w->dc, Field<int16_t>(record, 4), Field<int16_t>(record, 6));
    return true;
}

void DrawSegments(GraphicsPort* port, SketchObject* object, SampleEnumeratorFn walk, void* user, bool highlight) {
    HDC dc = port->dc;
    DCSelection selection(dc);
    selection.Rop(R2_COPYPEN);
    const COLORREF color = highlight ? port->selectionColor : ObjectDisplayColor(object);
    selection.Pen(highlight ? CreatePen(PS_SOLID, 3, color)
                            : CreateObjectPen(port, color, object->markFlags, object->lineStyle, false));
    int32_t every = 1;
    if (highlight && IsLocus(object)) every = LocusDataOf(object)->sampleCount / 16 > 0 ? LocusDataOf(object)->sampleCount / 16 : 1;
    SegmentWalk w{ dc, every, 0 };
    walk(user, SegmentRecord, &w);
}

// Highlights of a locus's shapes go on every so many samples, all of an image's.
int32_t HighlightEvery(const SketchObject* object, bool highlight) {
    if (!highlight || !IsLocus(object)) return 1;
    const int32_t every = LocusDataOf(object)->sampleCount / 16;
    return every > 0 ? every : 1;
}

// The pen and brush of a family's shapes: outlines with the object's pen and no brush,
// interiors filled in their dimmed colour in the port's mix mode; highlights in the
// selection colour (interiors hatched).
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
        selection->Pen(CreatePen(PS_SOLID, 3, port->selectionColor));
        return;
    }
    if (!interior) {
        selection->StockBrush(NULL_BRUSH);
        selection->Pen(CreateObjectPen(port, color, object->markFlags, object->lineStyle, false));
        return;
    }
    ApplyObjectDimming(&color, object->markFlags);
    selection->Brush(CreateSolidBrush(color));
    selection->Pen(CreatePen(PS_SOLID, 0, color));
    selection->Rop(port->ropMode);
}

struct ShapeWalk {
    GraphicsPort* port;
    bool interior;
    uint32_t family;  // the family's value: the kind of an arc, the vertex count of a polygon
    int32_t every;
    int32_t seen;
};

bool Take(ShapeWalk* w, int32_t index) {
    // A closed locus walks its first record again at the end.
    if (index == 0 && w->seen > 0) return false;
    return w->seen++ % w->every == 0;
}

bool CircleRecord(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<ShapeWalk*>(state);
    if (!Field<uint32_t>(record, 8) || !Take(w, index)) return true;
    const RECT box = { Field<int16_t>(record, 0), Field<int16_t>(record, 2), Field<int16_t>(record, 4),
                       Field<int16_t>(record, 6) };
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
    FillPolygonPoints(w->port, count, vertices, false);
    if (vertices != fixed) FreeMemory(vertices);
    return true;
}

bool ArcRecord(void* state, uint8_t* record, int32_t index) {
    auto* w = static_cast<ShapeWalk*>(state);
    if (!Field<uint32_t>(record, SR::kArcVisible) || !Take(w, index)) return true;
    HDC dc = w->port->dc;
    const ScreenPoint start = { Field<int16_t>(record, SR::kArcStart), Field<int16_t>(record, SR::kArcStart + 2) };
    const ScreenPoint end = { Field<int16_t>(record, SR::kArcEnd), Field<int16_t>(record, SR::kArcEnd + 2) };
    if (Field<int8_t>(record, SR::kArcOrientation) == 0) {
        MoveToEx(dc, start.x, start.y, nullptr);
        LineTo(dc, end.x, end.y);
        return true;
    }
    const ScreenPoint centre = { Field<int16_t>(record, SR::kArcCentre), Field<int16_t>(record, SR::kArcCentre + 2) };
    const int32_t radius = Field<int16_t>(record, SR::kArcRadius);
    if (w->family == kKindArcSector) DrawPieSafe(dc, centre, radius, start, end);
    else if (w->family == kKindArcSegment) DrawChordSafe(dc, centre, radius, start, end);
    else DrawArcSafe(dc, centre, radius, start, end);
    return true;
}

void DrawShapes(GraphicsPort* port, SketchObject* object, const void* familyData, SampleEnumeratorFn walk,
                void* user, bool highlight, SampleCallbackFn record, bool interior) {
    FpuMaskDuringPrint fpu;
    DCSelection selection(port->dc);
    selection.Rop(R2_COPYPEN);
    HBRUSH hatch = nullptr;
    int previousRop = 0;
    SelectShapeLook(&selection, port, object, interior, highlight, &hatch, &previousRop);
    uint32_t family = 0;
    if (familyData) std::memcpy(&family, familyData, record == PolygonRecord ? 2 : 4);
    ShapeWalk w{ port, interior, family, HighlightEvery(object, highlight), 0 };
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
