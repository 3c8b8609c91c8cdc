#include "engine/core/shape_families.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/arc_data.h"
#include "engine/core/circles.h"
#include "engine/core/geometry.h"
#include "engine/core/geometry_metrics.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/print_state.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_object_ops.h"

namespace SR = SampleRecord;

void PutLocusRecordPosition(uint8_t* record, RealPoint position) {
    if (auto form = LaterForms().locus.putSamplePosition) return form(record, position);
    SetRecordField(record, 0, RoundToScreen(position.x));
    SetRecordField(record, 2, RoundToScreen(position.y));
}

RealPoint LocusRecordPosition(const uint8_t* record) {
    if (auto form = LaterForms().locus.samplePosition) return form(record);
    return { double(RecordField<int16_t>(record, 0)), double(RecordField<int16_t>(record, 2)) };
}

ScreenPoint LocusRecordPoint(const uint8_t* record) {
    if (auto form = LaterForms().locus.samplePosition) {
        const RealPoint p = form(record);
        return { RoundToScreen(p.x), RoundToScreen(p.y) };
    }
    return { RecordField<int16_t>(record, 0), RecordField<int16_t>(record, 2) };
}

namespace {
ScreenPoint RecordPoint(const uint8_t* record, uint32_t offset) {
    return { RecordField<int16_t>(record, offset), RecordField<int16_t>(record, offset + 2) };
}
}  // namespace

ArcSampleGeometry ArcRecordGeometry(const uint8_t* record) {
    if (auto form = LaterForms().locus.arcSampleGeometry) {
        double g[5];
        form(record, g);
        return { { g[0], g[1] }, g[2], g[3], g[4] };
    }
    const ScreenPoint start = RecordPoint(record, SR::kArcStart), end = RecordPoint(record, SR::kArcEnd);
    if (RecordField<int8_t>(record, SR::kArcOrientation) == 0)
        return { { double(start.x), double(start.y) }, double(end.x), double(end.y), 0.0 };
    const ScreenPoint c = RecordPoint(record, SR::kArcCentre);
    return { { double(c.x), double(c.y) }, double(RecordField<int16_t>(record, SR::kArcRadius)),
             std::atan2(double(start.y - c.y), double(start.x - c.x)),
             std::atan2(double(end.y - c.y), double(end.x - c.x)) };
}

bool ScreenSegmentHit(ScreenPoint a, ScreenPoint b, ScreenPoint p) {
    if (p.x < std::min(a.x, b.x) - 2 || p.x > std::max(a.x, b.x) + 2 || p.y < std::min(a.y, b.y) - 2 ||
        p.y > std::max(a.y, b.y) + 2)
        return false;
    const int64_t dx = b.x - a.x, dy = b.y - a.y;
    const int64_t cross = dx * (p.y - a.y) - dy * (p.x - a.x);
    return 16 * (dx * dx + dy * dy) > cross * cross;
}

namespace {

// ---- Field access at byte offsets

ScreenPoint GetPoint(const uint8_t* r, uint32_t offset) { return { RecordField<int16_t>(r, offset), RecordField<int16_t>(r, offset + 2) }; }
void PutPoint(uint8_t* r, uint32_t offset, ScreenPoint p) {
    SetRecordField(r, offset, p.x);
    SetRecordField(r, offset + 2, p.y);
}
ScreenRect GetRect(const uint8_t* r) {
    return { RecordField<int16_t>(r, 0), RecordField<int16_t>(r, 2), RecordField<int16_t>(r, 4), RecordField<int16_t>(r, 6) };
}
void PutRect(uint8_t* r, const ScreenRect& b) {
    SetRecordField(r, 0, b.left);
    SetRecordField(r, 2, b.top);
    SetRecordField(r, 4, b.right);
    SetRecordField(r, 6, b.bottom);
}

uint32_t FamilyValue(const void* familyData) { return familyData ? RecordField<uint32_t>(static_cast<const uint8_t*>(familyData), 0) : 0; }

RealPoint Printed(RealPoint p) {
    double scale, ox, oy;
    PrintPageMap(&scale, &ox, &oy);
    return { (p.x + ox) * scale, (p.y + oy) * scale };
}

// ---- Points

void PointLayout(const SketchObject*, int32_t use, uint32_t* dataSize, uint32_t* recordSize) {
    *dataSize = 0;
    *recordSize = use == kSampleForLocus ? SR::kLocusPointBytes : SR::kPointBytes;
}

uint8_t* WriteLocusPoint(SketchObject* object, const SampleWriteContext* context, uint8_t* record) {
    RealPoint& position = ClassData<PointData>(object)->position;
    // The locus driving the capture puts the point back afterwards.
    if (PrintPassRunning()) position = Printed(position);
    PutLocusRecordPosition(record, position);
    SetRecordField(record, SR::kLocusParameter, context ? context->parameter : 0.0);
    const bool shown = object->exists && position.x > -kScreenLimit && position.x < kScreenLimit &&
                       position.y > -kScreenLimit && position.y < kScreenLimit;
    SetRecordField<uint32_t>(record, SR::kLocusState, shown ? kSampleRunStart : kSampleMissing);
    return record + SR::kLocusPointBytes;
}

uint8_t* WriteImagePoint(SketchObject* object, const SampleWriteContext*, uint8_t* record) {
    RealPoint position = ClassData<PointData>(object)->position;
    if (PrintPassRunning()) position = Printed(position);
    PutPoint(record, 0, { RoundToScreen(position.x), RoundToScreen(position.y) });
    SetRecordField<uint32_t>(record, 4, object->exists ? 1 : 0);
    return record + SR::kPointBytes;
}

SampleWriterFn PointWriter(const SketchObject*, int32_t use, void*) {
    if (use == kSampleForLocus) return WriteLocusPoint;
    if (use == kSampleForIteration) return WriteImagePoint;
    return nullptr;
}

int32_t PointUse(const SketchObject* object) {
    return object->objectClass == kClassLocus ? kSampleForLocus : kSampleForIteration;
}

bool DrawnAsCurve(const SketchObject* object) {
    return object->objectClass == kClassLocus && LocusDrawnAsCurve(object);
}

struct PointHitState {
    ScreenPoint q;
    int32_t use;
    bool curve;
    bool havePrevious;
    ScreenPoint previous;
    const ScreenRect* rect;
};

bool PointShown(const uint8_t* r, int32_t use) {
    return use == kSampleForLocus ? RecordField<uint32_t>(r, SR::kLocusState) != kSampleMissing : RecordField<uint32_t>(r, 4) != 0;
}

bool PointDotHit(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<PointHitState*>(state);
    if (!PointShown(r, s->use)) return true;
    const ScreenPoint p = s->use == kSampleForLocus ? LocusRecordPoint(r) : GetPoint(r, 0);
    const int32_t R = GeometryMetrics.pointRadius;
    const bool hit = s->q.x >= p.x - R && s->q.x <= p.x + R + 1 && s->q.y >= p.y - R && s->q.y <= p.y + R + 1;
    return !hit;
}

bool PointCurveHit(void* state, uint8_t* r, int32_t) {
    auto* s = static_cast<PointHitState*>(state);
    const uint32_t st = RecordField<uint32_t>(r, SR::kLocusState);
    const ScreenPoint p = LocusRecordPoint(r);
    const int32_t R = GeometryMetrics.pointRadius;
    bool hit = false;
    if (st == kSampleMissing) {
        s->havePrevious = false;
        return true;
    }
    if (st == kSampleRunStart || !s->havePrevious) {
        hit = std::abs(s->q.x - p.x) <= R && std::abs(s->q.y - p.y) <= R;
    } else if (s->previous.x != p.x || s->previous.y != p.y) {
        hit = ScreenSegmentHit(s->previous, p, s->q);
    }
    s->previous = p;
    s->havePrevious = true;
    return !hit;
}

bool PointDotInRect(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<PointHitState*>(state);
    if (!PointShown(r, s->use)) return true;
    return !ScreenPointInRect(s->use == kSampleForLocus ? LocusRecordPoint(r) : GetPoint(r, 0), *s->rect);
}

bool PointCurveInRect(void* state, uint8_t* r, int32_t) {
    auto* s = static_cast<PointHitState*>(state);
    const uint32_t st = RecordField<uint32_t>(r, SR::kLocusState);
    const ScreenPoint p = LocusRecordPoint(r);
    bool hit = false;
    if (st == kSampleMissing) {
        s->havePrevious = false;
        return true;
    }
    if (st == kSampleRunStart || !s->havePrevious) hit = ScreenPointInRect(p, *s->rect);
    else hit = SegmentMeetsRect(*s->rect, s->previous, p);
    s->previous = p;
    s->havePrevious = true;
    return !hit;
}

bool PointRowHit(ScreenPoint q, SketchObject* object, const void*, SampleEnumeratorFn enumerator, void* user) {
    return PointSamplesHit(q, PointUse(object), DrawnAsCurve(object), enumerator, user);
}

bool PointRowInRect(const ScreenRect* rect, SketchObject* object, const void*, SampleEnumeratorFn enumerator,
                    void* user) {
    return PointSamplesInRect(*rect, PointUse(object), DrawnAsCurve(object), enumerator, user);
}

// Records of points and straight objects captured while printing are in print
// coordinates already.
void DrawPointSamplesScaled(GraphicsPort* port, SketchObject* object, const void* familyData,
                            SampleEnumeratorFn enumerator, void* user) {
    DrawPointSamples(port, object, familyData, enumerator, user);
}

// ---- Straight objects

void StraightLayout(const SketchObject*, int32_t, uint32_t* dataSize, uint32_t* recordSize) {
    *dataSize = 4;
    *recordSize = SR::kStraightBytes;
}

uint8_t* WriteStraight(SketchObject* object, const SampleWriteContext*, uint8_t* record) {
    StraightData* s = ClassData<StraightData>(object);
    if (PrintPassRunning()) {
        // The locus driving the capture puts the object back afterwards.
        s->form.first = Printed(s->form.first);
        s->form.second = Printed(s->form.second);
        UpdateStraightForm(object);
    }
    PutPoint(record, 0, s->visiblePiece[0]);
    PutPoint(record, 4, s->visiblePiece[1]);
    SetRecordField<uint32_t>(record, 8, object->exists ? 1 : 0);
    return record + SR::kStraightBytes;
}

SampleWriterFn KindWriter(const SketchObject* object, void* familyData, SampleWriterFn writer) {
    if (familyData) SetRecordField<uint32_t>(static_cast<uint8_t*>(familyData), 0, static_cast<uint32_t>(object->objectKind));
    return writer;
}

SampleWriterFn StraightWriter(const SketchObject* object, int32_t, void* familyData) {
    return KindWriter(object, familyData, WriteStraight);
}

struct ShapeHitState {
    ScreenPoint q;
    const ScreenRect* rect;
    uint32_t family;
};

bool StraightHit(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<ShapeHitState*>(state);
    return !(RecordField<uint32_t>(r, 8) && ScreenSegmentHit(GetPoint(r, 0), GetPoint(r, 4), s->q));
}

bool StraightInRect(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<ShapeHitState*>(state);
    return !(RecordField<uint32_t>(r, 8) && SegmentMeetsRect(*s->rect, GetPoint(r, 0), GetPoint(r, 4)));
}

template <SampleCallbackFn Callback>
bool ShapeRowHit(ScreenPoint q, SketchObject*, const void* familyData, SampleEnumeratorFn enumerator, void* user) {
    ShapeHitState state{ q, nullptr, FamilyValue(familyData) };
    return enumerator(user, Callback, &state);
}

bool StraightRowInRect(const ScreenRect* rect, SketchObject*, const void* familyData, SampleEnumeratorFn enumerator,
                       void* user) {
    ShapeHitState state{ { 0, 0 }, rect, FamilyValue(familyData) };
    return enumerator(user, StraightInRect, &state);
}

void DrawStraightSamplesScaled(GraphicsPort* port, SketchObject* object, const void* familyData,
                               SampleEnumeratorFn enumerator, void* user) {
    DrawStraightSamples(port, object, familyData, enumerator, user);
}

// ---- Circles

void CircleLayout(const SketchObject*, int32_t, uint32_t* dataSize, uint32_t* recordSize) {
    *dataSize = 4;
    *recordSize = SR::kCircleBytes;
}

uint8_t* WriteCircle(SketchObject* object, const SampleWriteContext*, uint8_t* record) {
    PutRect(record, object->bounds);
    SetRecordField<uint32_t>(record, 8, object->exists ? 1 : 0);
    return record + SR::kCircleBytes;
}

SampleWriterFn CircleWriter(const SketchObject* object, int32_t, void* familyData) {
    if (familyData)
        SetRecordField<uint32_t>(static_cast<uint8_t*>(familyData), 0, object->objectClass == kClassCircleInterior ? 1 : 0);
    return WriteCircle;
}

bool CircleHit(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<ShapeHitState*>(state);
    if (!RecordField<uint32_t>(r, 8)) return true;
    const ScreenRect b = GetRect(r);
    const ScreenPoint q = s->q;
    if (!(q.x > b.left - 4 && q.x < b.right + 4 && q.y > b.top - 4 && q.y < b.bottom + 4)) return true;
    const int64_t cx = (int32_t{ b.left } + b.right) >> 1, cy = (int32_t{ b.top } + b.bottom) >> 1;
    const int64_t radius = (int32_t{ b.right } - b.left) >> 1;
    const int64_t d2 = (q.x - cx) * (q.x - cx) + (q.y - cy) * (q.y - cy);
    if (!(d2 < (radius + 4) * (radius + 4))) return true;
    const bool interior = s->family == 1;
    return !(interior || d2 > (radius - 4) * (radius - 4));
}

// ---- Polygons

void PolygonLayout(const SketchObject* object, int32_t, uint32_t* dataSize, uint32_t* recordSize) {
    *dataSize = 2;
    *recordSize = SR::kPolygonHead + 4u * ClassData<PolygonData>(object)->vertexCount;
}

uint8_t* WritePolygon(SketchObject* object, const SampleWriteContext*, uint8_t* record) {
    const PolygonData* p = ClassData<PolygonData>(object);
    SetRecordField<uint32_t>(record, 0, object->exists ? 1 : 0);
    if (object->exists) {
        for (uint32_t i = 0; i < p->vertexCount; ++i) PutPoint(record, SR::kPolygonHead + 4 * i, p->screenVertices[i]);
    }
    return record + SR::kPolygonHead + 4u * p->vertexCount;
}

SampleWriterFn PolygonWriter(const SketchObject* object, int32_t, void* familyData) {
    if (familyData) SetRecordField<uint16_t>(static_cast<uint8_t*>(familyData), 0, ClassData<PolygonData>(object)->vertexCount);
    return WritePolygon;
}

uint16_t VertexCountOf(const void* familyData) {
    return familyData ? RecordField<uint16_t>(static_cast<const uint8_t*>(familyData), 0) : 0;
}

struct PolygonHitState {
    ScreenPoint q;
    uint16_t count;
    ScreenPoint* scratch;
};

bool PolygonHit(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<PolygonHitState*>(state);
    if (!RecordField<uint32_t>(r, 0)) return true;
    // The vertices are read out of the record: it has no alignment of its own.
    std::memcpy(s->scratch, r + SR::kPolygonHead, 4u * s->count);
    return !PointInPolygon(s->q, s->scratch, s->count);
}

bool PolygonRowHit(ScreenPoint q, SketchObject*, const void* familyData, SampleEnumeratorFn enumerator, void* user) {
    const uint16_t count = VertexCountOf(familyData);
    if (count == 0) return false;
    auto* scratch = static_cast<ScreenPoint*>(AllocMemory(4u * count, 0));
    if (!scratch) return false;
    PolygonHitState state{ q, count, scratch };
    const bool hit = enumerator(user, PolygonHit, &state);
    FreeMemory(scratch);
    return hit;
}

// ---- Arcs

uint32_t ArcRecordBytes() {
    if (auto form = LaterForms().locus.arcSampleBytes) return form();
    return SR::kArcBytes;
}

void ArcLayout(const SketchObject*, int32_t, uint32_t* dataSize, uint32_t* recordSize) {
    *dataSize = 4;
    *recordSize = ArcRecordBytes();
}

uint8_t* WriteArc(SketchObject* object, const SampleWriteContext*, uint8_t* record) {
    const ArcData& a = *ClassData<ArcData>(object);
    const uint32_t bytes = ArcRecordBytes();
    if (auto form = LaterForms().locus.putArcSample) form(object, record);
    std::memset(record, 0, SR::kArcBytes);
    if (a.orientation != 0) PutRect(record, object->bounds);
    PutPoint(record, SR::kArcStart, a.screenStart);
    PutPoint(record, SR::kArcEnd, a.screenEnd);
    PutPoint(record, SR::kArcCentre, { a.screenCentreX, a.screenCentreY });
    SetRecordField(record, SR::kArcRadius, a.screenRadius);
    SetRecordField(record, SR::kArcStartPseudo, a.startPseudo);
    SetRecordField(record, SR::kArcEndPseudo, a.endPseudo);
    const bool endsDiffer = a.screenStart.x != a.screenEnd.x || a.screenStart.y != a.screenEnd.y;
    const bool visible = object->exists &&
                         (endsDiffer || (a.orientation != 0 && a.endPseudo - a.startPseudo > 0.1));
    SetRecordField<uint32_t>(record, SR::kArcVisible, visible ? 1 : 0);
    SetRecordField(record, SR::kArcOrientation, static_cast<int8_t>(a.orientation));
    return record + bytes;
}

SampleWriterFn ArcWriter(const SketchObject* object, int32_t, void* familyData) {
    return KindWriter(object, familyData, WriteArc);
}

bool ArcRecordHit(void* state, uint8_t* r, int32_t) {
    const auto* s = static_cast<ShapeHitState*>(state);
    if (!RecordField<uint32_t>(r, SR::kArcVisible)) return true;
    const ScreenPoint q = s->q;
    if (RecordField<int8_t>(r, SR::kArcOrientation) == 0)
        return !ScreenSegmentHit(GetPoint(r, SR::kArcStart), GetPoint(r, SR::kArcEnd), q);
    const ScreenRect b = GetRect(r);
    if (!(q.x > b.left - 4 && q.x < b.right + 4 && q.y > b.top - 4 && q.y < b.bottom + 4)) return true;
    const ScreenPoint c = GetPoint(r, SR::kArcCentre);
    const int64_t radius = RecordField<int16_t>(r, SR::kArcRadius);
    const int64_t d2 = int64_t{ q.x - c.x } * (q.x - c.x) + int64_t{ q.y - c.y } * (q.y - c.y);
    if (!(d2 < (radius + 4) * (radius + 4))) return true;
    if (s->family == kKindArc && !(d2 > (radius - 4) * (radius - 4))) return true;
    if (s->family == kKindArcSegment) {
        int32_t side = 0;
        const ScreenPoint start = GetPoint(r, SR::kArcStart), end = GetPoint(r, SR::kArcEnd);
        PointLineRelation({ double(start.x), double(start.y) }, { double(end.x), double(end.y) },
                          { double(q.x), double(q.y) }, nullptr, nullptr, nullptr, nullptr, &side);
        return side != 1;
    }
    if (q.x == c.x && q.y == c.y) return true;
    double pseudo = PseudoAngle({ double(c.x), double(c.y) }, { double(q.x), double(q.y) });
    const double start = RecordField<double>(r, SR::kArcStartPseudo), end = RecordField<double>(r, SR::kArcEndPseudo);
    if (pseudo < start) pseudo += 8;
    return !(pseudo <= end);
}

// ---- Scaled drawing of circles, polygons and arcs: the records are mapped in place.

// Index 0 is scaled once per pass: a closed locus visits its first record again at
// the end. Each row keeps its own flag.
bool gCircleOnce = false, gPolygonOnce = false, gArcOnce = false;

struct ScaleState {
    bool* once;
    double scale, ox, oy;
    uint16_t vertexCount;
};

bool FirstVisit(ScaleState* s, int32_t index) {
    if (index != 0) return true;
    if (*s->once) return false;
    *s->once = true;
    return true;
}

int16_t MapX(const ScaleState* s, int16_t v) { return RoundToScreen((v + s->ox) * s->scale); }
int16_t MapY(const ScaleState* s, int16_t v) { return RoundToScreen((v + s->oy) * s->scale); }

void MapPoint(const ScaleState* s, uint8_t* r, uint32_t offset) {
    const ScreenPoint p = GetPoint(r, offset);
    PutPoint(r, offset, { MapX(s, p.x), MapY(s, p.y) });
}

void MapBounds(const ScaleState* s, uint8_t* r) {
    const ScreenRect b = GetRect(r);
    PutRect(r, { MapX(s, b.left), MapY(s, b.top), MapX(s, b.right), MapY(s, b.bottom) });
}

bool ScaleCircleRecord(void* state, uint8_t* r, int32_t index) {
    auto* s = static_cast<ScaleState*>(state);
    if (!RecordField<uint32_t>(r, 8) || !FirstVisit(s, index)) return true;
    MapBounds(s, r);
    return true;
}

bool ScalePolygonRecord(void* state, uint8_t* r, int32_t index) {
    auto* s = static_cast<ScaleState*>(state);
    if (!RecordField<uint32_t>(r, 0) || !FirstVisit(s, index)) return true;
    for (uint32_t i = 0; i < s->vertexCount; ++i) MapPoint(s, r, SR::kPolygonHead + 4 * i);
    return true;
}

bool ScaleArcRecord(void* state, uint8_t* r, int32_t index) {
    auto* s = static_cast<ScaleState*>(state);
    if (!RecordField<uint32_t>(r, SR::kArcVisible) || !FirstVisit(s, index)) return true;
    MapBounds(s, r);
    MapPoint(s, r, SR::kArcStart);
    MapPoint(s, r, SR::kArcEnd);
    MapPoint(s, r, SR::kArcCentre);
    SetRecordField(r, SR::kArcRadius, RoundToScreen(RecordField<int16_t>(r, SR::kArcRadius) * s->scale));
    return true;
}

template <bool* Once, SampleCallbackFn Scale, SampleDrawFn Draw>
void DrawRecordsScaled(GraphicsPort* port, SketchObject* object, const void* familyData,
                       SampleEnumeratorFn enumerator, void* user) {
    *Once = false;
    ScaleState state{ Once, 1, 0, 0, 0 };
    PrintPageMap(&state.scale, &state.ox, &state.oy);
    if (Scale == ScalePolygonRecord) state.vertexCount = VertexCountOf(familyData);
    enumerator(user, Scale, &state);
    Draw(port, object, familyData, enumerator, user);
}

}  // namespace

bool PointSamplesHit(ScreenPoint point, int32_t use, bool curve, SampleEnumeratorFn enumerator, void* user) {
    PointHitState state{ point, use, curve, false, { 0, 0 }, nullptr };
    return enumerator(user, curve ? PointCurveHit : PointDotHit, &state);
}

bool PointSamplesInRect(const ScreenRect& rect, int32_t use, bool curve, SampleEnumeratorFn enumerator, void* user) {
    PointHitState state{ { 0, 0 }, use, curve, false, { 0, 0 }, &rect };
    return enumerator(user, curve ? PointCurveInRect : PointDotInRect, &state);
}

// One row per shape family:
//   layout, writer, finisher, draw, drawSelected, drawScaled, hitTest, hitTestRect,
//   weight, interiorKind (59 for rows whose kinds are never interiors: no kind is one).
const ShapeFamilyRow ShapeFamilyOps[kShapeFamilyCount] = {
    { PointLayout, PointWriter, nullptr, DrawPointSamples, DrawPointSamplesSelection, DrawPointSamplesScaled,
      PointRowHit, PointRowInRect, 16, 59 },
    { StraightLayout, StraightWriter, nullptr, DrawStraightSamples, DrawStraightSamplesSelection,
      DrawStraightSamplesScaled, ShapeRowHit<StraightHit>, StraightRowInRect, 8, 59 },
    { CircleLayout, CircleWriter, nullptr, DrawCircleSamples, DrawCircleSamplesSelection,
      DrawRecordsScaled<&gCircleOnce, ScaleCircleRecord, DrawCircleSamples>, ShapeRowHit<CircleHit>, nullptr,
      8, kKindCircleInterior },
    { PolygonLayout, PolygonWriter, nullptr, DrawPolygonSamples, DrawPolygonSamplesSelection,
      DrawRecordsScaled<&gPolygonOnce, ScalePolygonRecord, DrawPolygonSamples>, PolygonRowHit, nullptr, 4, 59 },
    { ArcLayout, ArcWriter, nullptr, DrawArcSamples, DrawArcSamplesSelection,
      DrawRecordsScaled<&gArcOnce, ScaleArcRecord, DrawArcSamples>, ShapeRowHit<ArcRecordHit>, nullptr, 8, 25 },
};
