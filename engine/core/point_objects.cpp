// Points: the one mover, re-projection, grid snapping, the class routines and the
// update rules of the point construction types.
#include "engine/core/point_objects.h"
#include "engine/core/services/coord_systems.h"

#include <cmath>

#include "engine/core/construction_data.h"
#include "engine/core/object_creation.h"
#include "engine/core/geometry_metrics.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/iterations.h"
#include "engine/core/object_geometry.h"
#include "engine/core/paths.h"
#include "engine/core/print_state.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_objects.h"

namespace {

RealPoint& PositionOf(SketchObject* point) { return ClassData<PointData>(point)->position; }
RealPoint PositionOf(const SketchObject* point) { return ClassData<PointData>(point)->position; }

SketchObject* FirstParent(const SketchObject* object) {
    return static_cast<SketchObject*>(PtrListItem(object->parents, 0));
}

uint32_t TypeFlags(const SketchObject* object) {
    const int32_t type = object->constructionType;
    if (type < 0 || type >= kConstructionTypeCount) return 0;
    return ConstructionTypeTable[type].flags;
}

bool ReadStoredReal(const SketchObject* point, double* value) {
    return ReadConstructionData(point, value, sizeof *value);
}

void StoreReal(SketchObject* point, double value) {
    // A failure to grow the block keeps the old value; the position is still right.
    WriteConstructionData(point, &value, sizeof value);
}

// The origin a unit point is measured from: the origin point of types 56 and 57, the
// origin of the unit point a type 58 or 59 follows, the origin of the axis of 60, 61.
RealPoint UnitPointOrigin(const SketchObject* unit, int32_t depth = 0) {
    const SketchObject* parent = FirstParent(unit);
    if (!parent) return PositionOf(unit);
    switch (unit->constructionType) {
        case 58: case 59:
            if (depth < 8) return UnitPointOrigin(parent, depth + 1);
            return PositionOf(parent);
        case 60: case 61:
            return ClassData<AxisData>(parent)->origin;
        default:
            return PositionOf(parent);
    }
}

// Places a unit point d from O along x (horizontal) or upwards (vertical).
RealPoint UnitPlace(RealPoint o, double d, bool horizontal) {
    return horizontal ? RealPoint{ o.x + d, o.y } : RealPoint{ o.x, o.y - d };
}

}  // namespace

void UpdatePointBounds(SketchObject* point) {
    if (gSkipScreenExtents) return;
    point->bounds = PointBoundsAt(PositionOf(point), GeometryMetrics.pointRadius);
}

int32_t SetPointPosition(SketchObject* point, double x, double y, int32_t exists,
                         const double* parameter, bool relayout) {
    PositionOf(point) = { x, y };
    point->exists = exists;
    if (point->constructionType == 15) {
        SketchObject* path = FirstParent(point);
        const PathMethods* row = path ? PathMethodsOf(path) : nullptr;
        if (!path || !path->exists) point->exists = 0;
        if (row) {
            PathParameterBlock block{};
            if (parameter) {
                // The given coordinates stay as given.
                row->setParameter(path, *parameter, &block);
                WritePathParameter(point, block, row->parameterWords);
            } else if (point->exists) {
                RealPoint nearest;
                row->parameterOfPoint(path, PositionOf(point), &nearest, nullptr, &block);
                PositionOf(point) = nearest;
                WritePathParameter(point, block, row->parameterWords);
            }
        }
    } else if (TypeFlags(point) & kTypeValuePositioned) {
        ReprojectPoint(point);
    }
    if (point->exists) {
        UpdatePointBounds(point);
        if (relayout && point->label.shown) RelayoutObjectLabel(point);
    }
    return 0;
}

void ReprojectPoint(SketchObject* point) {
    SketchObject* p = FirstParent(point);
    if (!p || !p->exists) {
        point->exists = 0;
        return;
    }
    RealPoint& pos = PositionOf(point);
    RealPoint origin;
    bool horizontal;
    switch (point->constructionType) {
        case 15: {
            const PathMethods* row = PathMethodsOf(p);
            if (!row) return;
            PathParameterBlock block{};
            RealPoint nearest;
            row->parameterOfPoint(p, pos, &nearest, nullptr, &block);
            pos = nearest;
            WritePathParameter(point, block, row->parameterWords);
            return;
        }
        case 56: origin = PositionOf(p); horizontal = true; break;
        case 57: origin = PositionOf(p); horizontal = false; break;
        case 59: origin = UnitPointOrigin(p); horizontal = p->constructionType == 57; break;
        case 61: {
            const AxisData* axis = ClassData<AxisData>(p);
            origin = axis->origin;
            horizontal = axis->horizontal == 0;  // the unit point belongs to the other axis
            break;
        }
        default:
            return;
    }
    // Unit points never reach or cross their origin.
    double d = horizontal ? pos.x - origin.x : origin.y - pos.y;
    if (!(d >= kMinUnitDistance)) d = kMinUnitDistance;
    pos = UnitPlace(origin, d, horizontal);
    StoreReal(point, d);
}

void SnapPointToGridOf(SketchObject* point, const SketchObject* system, double tolerance) {
    if (!system || !system->exists || point->constructionType != 0 ||
        point->objectKind == kKindUnitPoint)
        return;
    RealPoint grid = PositionOf(point);
    SnapToGrid(&grid, system);
    RealPoint& pos = PositionOf(point);
    if (std::fabs(grid.x - pos.x) < tolerance && std::fabs(grid.y - pos.y) < tolerance) {
        pos = grid;
        UpdatePointBounds(point);
    }
}

void SnapPointToGrid(SketchObject* point, double tolerance) {
    SnapPointToGridOf(point, MarkedCoordinateSystem(), tolerance);
}

void CopyPointGeometry(const SketchObject* source, SketchObject* target) {
    target->exists = source->exists;
    if (source->exists == 1) PositionOf(target) = PositionOf(source);
}

void TransformPoint(const SketchObject* source, SketchObject* target, const TransformMap* map,
                    PointMapOp op) {
    RealPoint p = PositionOf(source);
    op(&p, &p, 1, map);
    PositionOf(target) = p;
    if (TypeFlags(target) & kTypeValuePositioned) ReprojectPoint(target);
    if (target->exists) UpdatePointBounds(target);
}

void DrawPointScaled(GraphicsPort* port, SketchObject* point, const OutputScale* scale) {
    const RealPoint saved = PositionOf(point);
    const ScreenRect savedBounds = point->bounds;
    double factor, offsetX, offsetY;
    PrintPageMap(&factor, &offsetX, &offsetY);
    PositionOf(point) = { (saved.x + offsetX) * factor, (saved.y + offsetY) * factor };
    UpdatePointBounds(point);
    if (DrawFn draw = ObjectClassTable[kClassPoint].draw) draw(port, point);
    (void)scale;
    PositionOf(point) = saved;
    point->bounds = savedBounds;
}

// ---- Update rules

void UpdateMidpoint(SketchObject* point, SketchObject* const* parents) {
    LineForm scratch;
    const LineForm* form = ReadLineForm(parents[0], &scratch, nullptr);
    if (!form) {
        point->exists = 0;
        return;
    }
    PositionOf(point) = { (form->first.x + form->second.x) / 2, (form->first.y + form->second.y) / 2 };
    UpdatePointBounds(point);
}

void UpdateIntersectStraights(SketchObject* point, SketchObject* const* parents) {
    LineForm scratch1, scratch2;
    int32_t k1 = 0, k2 = 0;
    RealPoint p;
    const LineForm* f1 = ReadLineForm(parents[0], &scratch1, &k1);
    const LineForm* f2 = f1 ? ReadLineForm(parents[1], &scratch2, &k2) : nullptr;
    const bool meets = f2 && IntersectLines(*f1, k1, *f2, k2, &p);
    point->exists = meets;
    if (!meets) return;
    PositionOf(point) = p;
    UpdatePointBounds(point);
}

void UpdateIntersectStraightCircle(SketchObject* point, SketchObject* const* parents) {
    const int32_t s = point->constructionType == 11 ? 1 : -1;
    LineForm form, other;
    int32_t kind = 0, otherKind = 0;
    RealPoint p;
    bool meets = false;
    if (GetLineForm(parents[0], &form, &kind, nullptr)) {
        const SketchObject* curve = parents[1];
        if (curve->objectClass != kClassCircle &&
            GetLineForm(curve, &other, &otherKind, nullptr)) {
            // A straight arc is intersected as its chord.
            meets = IntersectLines(other, otherKind, form, kind, &p);
        } else {
            // When only one crossing lies on the piece or arc, both points sit on it.
            meets = IntersectLineCircle(form, kind, curve, s, &p) ||
                    IntersectLineCircle(form, kind, curve, -s, &p);
        }
    }
    point->exists = meets;
    if (!meets) return;
    PositionOf(point) = p;
    UpdatePointBounds(point);
}

void UpdateIntersectCircles(SketchObject* point, SketchObject* const* parents) {
    int32_t s = point->constructionType == 13 ? 1 : -1;
    LineForm f[2];
    int32_t k[2] = { 0, 0 };
    bool straight[2];
    for (int i = 0; i < 2; ++i)
        straight[i] = parents[i]->objectClass != kClassCircle &&
                      GetLineForm(parents[i], &f[i], &k[i], nullptr);
    RealPoint p;
    bool meets;
    if (straight[0] && straight[1]) {
        meets = IntersectLines(f[0], k[0], f[1], k[1], &p);
    } else if (straight[0] || straight[1]) {
        const int i = straight[0] ? 0 : 1;
        if (i == 0) s = -s;
        const SketchObject* curve = parents[1 - i];
        meets = IntersectLineCircle(f[i], k[i], curve, -s, &p) ||
                IntersectLineCircle(f[i], k[i], curve, s, &p);
    } else {
        meets = IntersectCircles(parents[0], parents[1], s, &p) ||
                IntersectCircles(parents[0], parents[1], -s, &p);
    }
    point->exists = meets;
    if (!meets) return;
    PositionOf(point) = p;
    UpdatePointBounds(point);
}

void UpdatePointOnPath(SketchObject* point, SketchObject* const* parents) {
    SketchObject* path = parents[0];
    const PathMethods* row = PathMethodsOf(path);
    point->exists = 1;
    if (!row) {
        point->exists = 0;
        return;
    }
    row->placePoint(path, point);
    if (point->exists) UpdatePointBounds(point);
}

void UpdateFinalIteratedPoint(SketchObject* point, SketchObject* const* parents) {
    RealPoint p;
    point->exists = FinalIteratedPoint(parents[0], &p);
    if (!point->exists) return;
    PositionOf(point) = p;
    UpdatePointBounds(point);
}

void UpdateAxisUnitPoint(SketchObject* point, SketchObject* const* parents) {
    const RealPoint origin = PositionOf(parents[0]);
    const bool horizontal = point->constructionType == 56;
    double d;
    if (!ReadStoredReal(point, &d)) {
        const RealPoint pos = PositionOf(point);
        d = horizontal ? pos.x - origin.x : origin.y - pos.y;
        if (!(d >= kMinUnitDistance)) d = kMinUnitDistance;
    }
    PositionOf(point) = UnitPlace(origin, d, horizontal);
    UpdatePointBounds(point);
}

void UpdateOtherAxisUnitPoint(SketchObject* point, SketchObject* const* parents) {
    const SketchObject* p = parents[0];
    const int32_t type = point->constructionType;
    RealPoint origin;
    bool horizontal;
    double d = 0;
    if (type == 58 || type == 59) {
        // A unit point of the other axis: the result lies on this point's own axis.
        origin = UnitPointOrigin(p);
        horizontal = p->constructionType == 57;
        const RealPoint u = PositionOf(p);
        d = horizontal ? origin.y - u.y : u.x - origin.x;
    } else {
        const AxisData* axis = ClassData<AxisData>(p);
        origin = axis->origin;
        horizontal = axis->horizontal == 0;
        d = axis->unitDistance;
    }
    if (type == 59 || type == 61) {
        double stored;
        if (ReadStoredReal(point, &stored)) d = stored;
    }
    PositionOf(point) = UnitPlace(origin, d, horizontal);
    UpdatePointBounds(point);
}

void UpdatePlottedPoint(SketchObject* point, SketchObject* const* parents) {
    const int32_t type = point->constructionType;
    const bool measured = type == 73 || type == 74;
    const SketchObject* system = measured ? parents[2] : parents[0];
    double v[2] = { 0, 0 };
    if (measured) {
        if (!ParentValue(parents[0], &v[0]) || !ParentValue(parents[1], &v[1]) ||
            !std::isfinite(v[0]) || !std::isfinite(v[1])) {
            point->exists = 0;
            return;
        }
        if (type == 74) v[1] = AngleFromSketchUnits(v[1]);
    } else if (!ReadConstructionData(point, v, sizeof v)) {
        point->exists = 0;
        return;
    }
    RealPoint o;
    double ux, uy;
    if (!CoordinateFrame(system, &o, &ux, &uy)) {
        point->exists = 0;
        return;
    }
    // y values grow upwards, so they are subtracted.
    if (type == 71 || type == 73)
        PositionOf(point) = { o.x + ux * v[0], o.y - uy * v[1] };
    else
        PositionOf(point) = { o.x + ux * v[0] * std::cos(v[1]), o.y - uy * v[0] * std::sin(v[1]) };
    point->exists = 1;
    UpdatePointBounds(point);
}
