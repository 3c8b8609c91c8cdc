// The PathMethodTable and the rows of segments, rays, lines, circles and polygon
// perimeters; the arc row's routines are in arc_path.cpp.
#include "engine/core/paths.h"

#include <cmath>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_objects.h"
#include "engine/core/circles.h"
#include "engine/core/construction_data.h"
#include "engine/core/locus.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_objects.h"

int32_t PathClassOf(const SketchObject* object) {
    const int32_t kind = object->objectKind;
    if (kind < 0 || kind >= kObjectKindCount) return kNotAPathClass;
    const int32_t pathClass = ObjectKindTable[kind].pathClass;
    return pathClass >= 0 && pathClass < kPathClassCount ? pathClass : kNotAPathClass;
}

const PathMethods* PathMethodsOf(const SketchObject* object) {
    const int32_t pathClass = PathClassOf(object);
    return pathClass == kNotAPathClass ? nullptr : &PathMethodTable[pathClass];
}

bool ReadPathParameter(const SketchObject* point, PathParameterBlock* block) {
    *block = {};
    int32_t words = 4;
    while (words > 0 && !ReadConstructionData(point, block, words * 4)) words -= 2;
    return words > 0;
}

bool WritePathParameter(SketchObject* point, const PathParameterBlock& block, int32_t words) {
    return WriteConstructionData(point, &block, static_cast<uint32_t>(words) * 4);
}

namespace {

RealPoint& PositionOf(SketchObject* point) { return ClassData<PointData>(point)->position; }

// ---- Straight rows: the path class of the object tells segment, ray and line apart.

const LineForm& FormOf(const SketchObject* path) { return ClassData<StraightData>(path)->form; }

void StraightPointAtParameter(SketchObject* path, double t, RealPoint* point, int32_t* exists) {
    *point = StraightPointAt(FormOf(path), t);
    *exists = 1;
}

void StraightRandom(SketchObject* path, bool avoid, const ScreenRect* visible,
                    PathParameterBlock* block, RealPoint* point) {
    const double t = StraightRandomParameter(FormOf(path), PathClassOf(path), path->exists != 0,
                                             path->bounds, avoid, visible, point);
    if (block) SetPathBlockReal(block, 0, t);
}

void StraightParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest,
                              double* parameter, PathParameterBlock* block) {
    const double t = StraightProjection(FormOf(path), PathClassOf(path), p, nearest);
    if (parameter) *parameter = t;
    if (block) SetPathBlockReal(block, 0, t);
}

void StraightRange(SketchObject* path, const ScreenRect* visible, double* lo, double* hi) {
    StraightParameterRange(FormOf(path), PathClassOf(path), path->exists != 0, visible, lo, hi);
}

int32_t StraightSampleRow(SketchObject* path, int32_t count, double lo, double hi,
                          PathSampleFn callback, void* user) {
    return StraightSample(FormOf(path), count, lo, hi, callback, user);
}

void StraightLength(SketchObject* path, double a, double b, double* length) {
    *length = StraightLengthBetween(FormOf(path), a, b);
}

void CopyParameter(SketchObject*, double parameter, PathParameterBlock* block) {
    SetPathBlockReal(block, 0, parameter);
}

int32_t ClosedFlags(const SketchObject*) { return kPathClosed; }
int32_t SegmentFlags(const SketchObject*) { return kPathTwoEnds; }
int32_t RayFlags(const SketchObject*) { return kPathOneEnd; }
int32_t LineFlags(const SketchObject*) { return kPathNoEnd; }

// ---- Circle row (circles and circle interiors).

const CircleData* CircleOf(const SketchObject* path) { return ClassData<CircleData>(path); }

void CirclePointAtParameter(SketchObject* path, double angle, RealPoint* point, int32_t* exists) {
    *point = CirclePointAt(CircleOf(path)->centre, CircleOf(path)->radius, angle);
    *exists = 1;
}

void CirclePlacePoint(SketchObject* path, SketchObject* point) {
    PathParameterBlock block;
    if (!ReadPathParameter(point, &block)) return;
    PositionOf(point) = CirclePointAtCosSin(CircleOf(path)->centre, CircleOf(path)->radius,
                                            PathBlockReal(block, 0), PathBlockReal(block, 1));
}

void CircleRandom(SketchObject* path, bool avoid, const ScreenRect* visible,
                  PathParameterBlock* block, RealPoint* point) {
    double c, s;
    CircleRandomParameter(CircleOf(path)->centre, CircleOf(path)->radius, path->exists != 0,
                          path->bounds, avoid, visible, &c, &s, point);
    if (block) {
        SetPathBlockReal(block, 0, c);
        SetPathBlockReal(block, 1, s);
    }
}

void CircleParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest,
                            double* parameter, PathParameterBlock* block) {
    double c, s;
    const double angle =
        CircleProjection(CircleOf(path)->centre, CircleOf(path)->radius, p, nearest, &c, &s);
    if (parameter) *parameter = angle;
    if (block) {
        SetPathBlockReal(block, 0, c);
        SetPathBlockReal(block, 1, s);
    }
}

void CircleRange(SketchObject*, const ScreenRect*, double* lo, double* hi) {
    *lo = 0;
    *hi = kTwoPi;
}

int32_t CircleSampleRow(SketchObject* path, int32_t count, double, double, PathSampleFn callback,
                        void* user) {
    return CircleSample(CircleOf(path)->centre, CircleOf(path)->radius, count, callback, user);
}

void CircleLength(SketchObject* path, double a, double b, double* length) {
    *length = (b - a) * CircleOf(path)->radius;
}

void CircleSetParameter(SketchObject*, double angle, PathParameterBlock* block) {
    SetPathBlockReal(block, 0, std::cos(angle));
    SetPathBlockReal(block, 1, std::sin(angle));
}

int32_t CircleWay(SketchObject* path, double a, double b, double* lo, double* hi, double* length,
                  int32_t* forward) {
    CircleWayBetween(CircleOf(path)->radius, a, b, lo, hi, length, forward);
    return 1;
}

// ---- Polygon perimeter row, over the polygon's own vertices: an image's parents are
// not its vertices.

void PolygonPointAtParameter(SketchObject* path, double t, RealPoint* point, int32_t* exists) {
    *point = PolygonPointAt(PolygonPerimeterOf(path), t);
    *exists = 1;
}

void PolygonPlacePoint(SketchObject* path, SketchObject* point) {
    PathParameterBlock block;
    if (!ReadPathParameter(point, &block)) return;
    PositionOf(point) = PolygonPlace(PolygonPerimeterOf(path), PathBlockReal(block, 0), PathBlockEdge(block));
}

void PolygonRandom(SketchObject* path, bool avoid, const ScreenRect* visible,
                   PathParameterBlock* block, RealPoint* point) {
    double fraction;
    uint16_t edge;
    RealPoint p;
    if (PolygonRandomParameter(PolygonPerimeterOf(path), path->exists != 0, path->bounds, avoid, visible,
                               &fraction, &edge, &p))
        *point = p;
    if (block) {
        SetPathBlockReal(block, 0, fraction);
        SetPathBlockEdge(block, edge);
    }
}

void PolygonParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest,
                             double* parameter, PathParameterBlock* block) {
    double fraction;
    uint16_t edge;
    const double t = PolygonProjection(PolygonPerimeterOf(path), p, nearest, &fraction, &edge);
    if (parameter) *parameter = t;
    if (block) {
        SetPathBlockReal(block, 0, fraction);
        SetPathBlockEdge(block, edge);
    }
}

void UnitRange(SketchObject*, const ScreenRect*, double* lo, double* hi) {
    *lo = 0;
    *hi = 1;
}

int32_t PolygonSampleRow(SketchObject* path, int32_t count, double, double, PathSampleFn callback,
                         void* user) {
    return PolygonSample(PolygonPerimeterOf(path), count, callback, user);
}

void PolygonLength(SketchObject* path, double a, double b, double* length) {
    *length = (b - a) * PolygonPerimeterOf(path).perimeter;
}

void PolygonSetParameterRow(SketchObject* path, double t, PathParameterBlock* block) {
    double fraction;
    uint16_t edge;
    PolygonSetParameter(PolygonPerimeterOf(path), path->exists != 0, t, &fraction, &edge);
    SetPathBlockReal(block, 0, fraction);
    SetPathBlockEdge(block, edge);
}

}  // namespace

void PlacePointByStoredValue(SketchObject* path, SketchObject* point) {
    PathParameterBlock block;
    if (!ReadPathParameter(point, &block)) return;
    int32_t exists = 0;
    RealPoint p = PositionOf(point);
    PathMethodTable[PathClassOf(path)].pointAtParameter(path, PathBlockReal(block, 0), &p, &exists);
    PositionOf(point) = p;
    point->exists = exists;
}

int32_t WayBetweenByLength(SketchObject* path, double a, double b, double* lo, double* hi,
                           double* length, int32_t* forward) {
    const PathMethods& row = PathMethodTable[PathClassOf(path)];
    *forward = b > a ? 1 : 0;
    *lo = a < b ? a : b;
    *hi = a < b ? b : a;
    row.lengthBetween(path, *lo, *hi, length);
    const int32_t flags = row.pathFlags(path);
    if (flags == kPathClosed || flags == kPathTwoEnds) {
        *lo = 0;
        *hi = 1;
    } else if (flags == kPathOneEnd) {
        *lo = 0;
    }
    if (flags == kPathClosed) {
        double total;
        row.lengthBetween(path, 0, 1, &total);
        if (total - *length < *length) {
            *length = total - *length;
            *forward = !*forward;
        }
    }
    return 1;
}

// One row per path class:
//   words  pointAt  place  random  parameterOf  range  sample  storedLayout  flags  length  setParameter  way
const PathMethods PathMethodTable[kPathClassCount] = {
    { 2, StraightPointAtParameter, PlacePointByStoredValue, StraightRandom, StraightParameterOfPoint,
      StraightRange, StraightSampleRow, kPathBlockReals, SegmentFlags, StraightLength, CopyParameter,
      WayBetweenByLength },
    { 2, StraightPointAtParameter, PlacePointByStoredValue, StraightRandom, StraightParameterOfPoint,
      StraightRange, StraightSampleRow, kPathBlockReals, RayFlags, StraightLength, CopyParameter,
      WayBetweenByLength },
    { 2, StraightPointAtParameter, PlacePointByStoredValue, StraightRandom, StraightParameterOfPoint,
      StraightRange, StraightSampleRow, kPathBlockReals, LineFlags, StraightLength, CopyParameter,
      WayBetweenByLength },
    { 4, PolygonPointAtParameter, PolygonPlacePoint, PolygonRandom, PolygonParameterOfPoint,
      UnitRange, PolygonSampleRow, kPathBlockPolygon, ClosedFlags, PolygonLength,
      PolygonSetParameterRow, WayBetweenByLength },
    { 4, CirclePointAtParameter, CirclePlacePoint, CircleRandom, CircleParameterOfPoint,
      CircleRange, CircleSampleRow, kPathBlockReals, ClosedFlags, CircleLength,
      CircleSetParameter, CircleWay },
    { 2, LocusPathPointAt, LocusPlacePoint, LocusRandomParameter, LocusParameterOfPoint,
      UnitRange, LocusSampleParameters, kPathBlockReals, LocusPathFlags, LocusLengthBetween, CopyParameter,
      LocusWayBetween },
    { 2, ArcPointAtParameter, PlacePointByStoredValue, ArcRandomParameter, ArcParameterOfPoint,
      UnitRange, ArcSampleParameters, kPathBlockReals, ArcPathFlags, ArcLengthBetween,
      CopyParameter, ArcWayBetween },
};

void PlaceOnPathAtRandom(SketchObject* point) {
    auto* path = static_cast<SketchObject*>(PtrListItem(point->parents, 0));
    const PathMethods* row = path ? PathMethodsOf(path) : nullptr;
    if (!row) return;
    Sketch* sketch = CurrentSketch();
    const bool hasView = UpdateSketchVisibleRect(sketch) != 0;
    PathParameterBlock block{};
    RealPoint at;
    row->randomParameter(path, false, hasView ? &sketch->windowRect : nullptr, &block, &at);
    WritePathParameter(point, block, row->parameterWords);
}
