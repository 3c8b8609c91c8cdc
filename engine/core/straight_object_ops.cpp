#include "engine/core/straight_object_ops.h"

#include "engine/core/services/object_labels.h"

#include <cmath>
#include <cstring>

#include "engine/core/circles.h"
#include "engine/core/geometry_metrics.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_geometry.h"
#include "engine/core/points.h"
#include "engine/core/print_state.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch_object.h"

namespace {

StraightData* StraightOf(SketchObject* object) { return ClassData<StraightData>(object); }
RealPoint PositionOf(const SketchObject* point) { return ClassData<PointData>(point)->position; }

void SetDefiningPoints(SketchObject* object, RealPoint first, RealPoint second) {
    StraightOf(object)->form.first = first;
    StraightOf(object)->form.second = second;
}

}  // namespace

void UpdateStraightForm(SketchObject* object) {
    if (gSkipScreenExtents && object->objectClass == kClassStraight) {
        if (!ComputeStraightLineForm(StraightOf(object))) object->exists = 0;
        return;
    }
    const int32_t shapeKind = ObjectKindTable[object->objectKind].shapeKind;
    ScreenRect bounds, core;
    if (!ComputeStraightForm(StraightOf(object), shapeKind, &bounds, &core)) {
        object->exists = 0;
        return;
    }
    object->bounds = bounds;
    object->coreBounds = core;
    if (object->objectClass == kClassAxis)
        FinishAxisForm(ClassData<AxisData>(object), &object->bounds);
    else
        ScreenRectInset(&object->bounds, -2, -2);
}

bool StraightHitTest(ScreenPoint point, SketchObject* object) {
    const LineForm& f = StraightOf(object)->form;
    return ScreenPointInRect(point, object->bounds) && ScreenPointNearLine(point, f.first, f.second);
}

bool StraightHitTestRect(const ScreenRect* rect, SketchObject* object) {
    const ScreenPoint* piece = StraightOf(object)->visiblePiece;
    return SegmentMeetsRect(*rect, piece[0], piece[1]);
}

void TransformStraight(const SketchObject* source, SketchObject* target,
                       const TransformMap* map, PointMapOp op) {
    const LineForm& f = ClassData<StraightData>(source)->form;
    RealPoint ends[2] = { f.first, f.second };
    op(ends, ends, 2, map);
    SetDefiningPoints(target, ends[0], ends[1]);
    UpdateStraightForm(target);
}

namespace {

RealPoint Scaled(RealPoint p, double factor, double offsetX, double offsetY) {
    return { (p.x + offsetX) * factor, (p.y + offsetY) * factor };
}

}  // namespace

void DrawStraightScaled(GraphicsPort* port, SketchObject* object, const OutputScale*) {
    StraightData* d = StraightOf(object);
    const StraightData saved = *d;
    const ScreenRect savedBounds = object->bounds, savedCore = object->coreBounds;
    double factor, ox, oy;
    PrintPageMap(&factor, &ox, &oy);
    SetDefiningPoints(object, Scaled(saved.form.first, factor, ox, oy),
                      Scaled(saved.form.second, factor, ox, oy));
    UpdateStraightForm(object);
    if (DrawFn draw = ObjectClassTable[kClassStraight].draw) draw(port, object);
    *d = saved;
    object->bounds = savedBounds;
    object->coreBounds = savedCore;
    UpdateStraightForm(object);
}

void DrawAxisScaled(GraphicsPort* port, SketchObject* object, const OutputScale*) {
    AxisData* a = ClassData<AxisData>(object);
    const AxisData saved = *a;
    const ScreenRect savedBounds = object->bounds, savedCore = object->coreBounds;
    double factor, ox, oy;
    PrintPageMap(&factor, &ox, &oy);
    SetDefiningPoints(object, Scaled(saved.straight.form.first, factor, ox, oy),
                      Scaled(saved.straight.form.second, factor, ox, oy));
    a->origin = Scaled(saved.origin, factor, ox, oy);
    a->unitDistance = saved.unitDistance * factor;
    UpdateStraightForm(object);
    if (DrawFn draw = ObjectClassTable[kClassAxis].draw) draw(port, object);
    *a = saved;
    object->bounds = savedBounds;
    object->coreBounds = savedCore;
}

int32_t InitAxis(SketchObject* axis, void* parameter) {
    if (!axis) return 1;  // nothing to release: the record buffer stays the caller's
    uint16_t flag = 0;
    if (parameter) {
        const uint8_t* bytes = static_cast<const uint8_t*>(parameter);
        flag = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    }
    ClassData<AxisData>(axis)->horizontal = flag != 0 ? 1 : 0;
    // A new axis is named "x" or "y" as if typed, unless the user typed a name; one
    // being read (no parameter) takes its stored label.
    if (parameter && axis->label.level < 7) SetObjectLabel(axis, flag != 0 ? "x" : "y", false);
    return 1;
}

bool SnapToAxisGrid(const SketchObject* axis, ScreenPoint point, double* value, double* offset) {
    return SnapToAxisMarks(*ClassData<AxisData>(axis), axis->bounds.left, point, value, offset);
}

bool GetAxisUnitPoint(const SketchObject* object, SketchObject** unitPoint) {
    if (object->objectClass != kClassAxis || object->constructionType != 62) return false;
    SketchObject* unit = static_cast<SketchObject*>(PtrListItem(object->parents, 1));
    if (!unit) return false;
    switch (unit->constructionType) {
        case 56: case 57: case 58: case 59: case 61:
            *unitPoint = unit;
            return true;
        default:
            return false;
    }
}

// ---- Update rules

void UpdateStraightByPoints(SketchObject* object, SketchObject* const* parents) {
    SetDefiningPoints(object, PositionOf(parents[0]), PositionOf(parents[1]));
    UpdateStraightForm(object);
}

void UpdatePerpendicular(SketchObject* object, SketchObject* const* parents) {
    LineForm base;
    if (!GetLineForm(parents[1], &base, nullptr, nullptr)) {
        object->exists = 0;
        return;
    }
    RealPoint a, b;
    PerpendicularPoints(PositionOf(parents[0]), base.dx, base.dy, &a, &b);
    SetDefiningPoints(object, a, b);
    UpdateStraightForm(object);
}

void UpdateParallel(SketchObject* object, SketchObject* const* parents) {
    LineForm base;
    if (!GetLineForm(parents[1], &base, nullptr, nullptr)) {
        object->exists = 0;
        return;
    }
    RealPoint a, b;
    ParallelPoints(PositionOf(parents[0]), base.dx, base.dy, &a, &b);
    SetDefiningPoints(object, a, b);
    UpdateStraightForm(object);
}

void UpdateAngleBisector(SketchObject* object, SketchObject* const* parents) {
    const RealPoint vertex = PositionOf(parents[1]);
    RealPoint through;
    if (!BisectorThroughPoint(PositionOf(parents[0]), vertex, PositionOf(parents[2]), &through)) {
        object->exists = 0;
        return;
    }
    SetDefiningPoints(object, vertex, through);
    UpdateStraightForm(object);
}

void UpdateAxis(SketchObject* object, SketchObject* const* parents) {
    AxisData* axis = ClassData<AxisData>(object);
    const bool horizontal = axis->horizontal != 0;
    RealPoint origin;
    double unit;
    switch (object->constructionType) {
        case 62: {
            origin = PositionOf(parents[0]);
            const RealPoint u = PositionOf(parents[1]);
            unit = horizontal ? u.x - origin.x : origin.y - u.y;
            break;
        }
        case 63: {
            origin = PositionOf(parents[0]);
            LineForm f;
            if (parents[1]->objectClass == kClassStraight &&
                GetLineForm(parents[1], &f, nullptr, nullptr)) {
                unit = std::sqrt(f.dx * f.dx + f.dy * f.dy);
            } else {
                double v;
                if (!ParentValue(parents[1], &v) || !std::isfinite(v)) {
                    object->exists = 0;
                    return;
                }
                unit = DistanceFromSketchUnits(v);
            }
            break;
        }
        default: {  // 64: the axis of a unit circle
            const CircleData* c = ClassData<CircleData>(parents[0]);
            origin = c->centre;
            unit = c->radius;
            if (unit == 0) {
                object->exists = 0;
                return;
            }
            break;
        }
    }
    if (!(unit > 0)) {
        object->exists = 0;
        return;
    }
    axis->origin = origin;
    axis->unitDistance = unit;
    RealPoint a, b;
    AxisDefiningPoints(origin, horizontal, &a, &b);
    SetDefiningPoints(object, a, b);
    UpdateStraightForm(object);
}
