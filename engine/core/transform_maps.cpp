#include "engine/core/transform_maps.h"

#include <cmath>
#include <cstring>

#include "engine/core/angle_constants.h"
#include "engine/core/construction_data.h"
#include "engine/core/geometry.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/measurements.h"
#include "engine/core/straight_objects.h"
#include "engine/core/units.h"

const TransformOpRecord TransformOpTable[kTransformOpCount] = {
    //  op             sources   parents fixed compact
    { kMapTranslate, 0x0400,  3,  0, 0, 0 },  //  0 type 20: by the marked vector
    { kMapTranslate, 0x6000,  1, 12, 4, 0 },  //  1 type 21: both components fixed
    { kMapTranslate, 0x2100,  2,  6, 2, 0 },  //  2 type 22: fixed horizontal, measured vertical
    { kMapTranslate, 0x4080,  2,  6, 2, 0 },  //  3 type 23: measured horizontal, fixed vertical
    { kMapTranslate, 0x0180,  3,  0, 0, 0 },  //  4 type 24: both measured
    { kMapTranslate, 0xA800,  1, 14, 6, 0 },  //  5 type 25: polar, fixed angle and distance
    { kMapTranslate, 0xA008,  4,  6, 2, 0 },  //  6 type 26: polar, three-point angle, fixed distance
    { kMapTranslate, 0xA004,  2,  6, 2, 0 },  //  7 type 27: polar, measured angle, fixed distance
    { kMapTranslate, 0x8880,  2,  8, 4, 0 },  //  8 type 28: polar, fixed angle, measured distance
    { kMapTranslate, 0x8088,  5,  0, 0, 0 },  //  9 type 29: polar, three-point angle, measured distance
    { kMapTranslate, 0x8084,  3,  0, 0, 0 },  // 10 type 30: polar, measured angle and distance
    { kMapRotate,    0x0801,  2,  8, 4, 0 },  // 11 type 31: fixed angle
    { kMapRotate,    0x0009,  5,  0, 0, 0 },  // 12 type 32: three-point angle
    { kMapRotate,    0x0005,  3,  0, 0, 0 },  // 13 type 33: measured angle
    { kMapDilate,    0x1001,  2,  2, 2, 0 },  // 14 type 34: fixed ratio
    { kMapDilate,    0x0041,  4,  0, 0, 0 },  // 15 type 35: ratio of two straight objects
    { kMapDilate,    0x0021,  5,  0, 0, 0 },  // 16 type 36: ratio of three points
    { kMapDilate,    0x0011,  3,  0, 0, 0 },  // 17 type 37: measured ratio
    { kMapReflect,   0x0002,  2,  0, 0, 0 },  // 18 type 38: across a mirror
    { kMapRotate,   0x10000,  0,  2, 2, 0 },  // 19 type 58: quarter turn
    { kMapCopy,      0x0000,  0,  0, 0, 0 },  // 20 type 79: identity
};

namespace {

RealPoint* Points(void* p) { return static_cast<RealPoint*>(p); }
const RealPoint* Points(const void* p) { return static_cast<const RealPoint*>(p); }
double& Scalar(void* p) { return *static_cast<double*>(p); }
double Scalar(const void* p) { return *static_cast<const double*>(p); }

}  // namespace

double NormalizeDirection(double angle) {
    if (angle > kPi) return angle - kTwoPi;
    if (angle <= -kPi) return angle + kTwoPi;
    return angle;
}

void TranslatePoints(const void* source, void* target, int32_t count, const TransformMap* map) {
    if (count <= 0) {
        Scalar(target) = Scalar(source);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        Points(target)[i] = { Points(source)[i].x + map->dx, Points(source)[i].y + map->dy };
}

// Quarter and half turns are taken on the exact values, so that they involve no
// rounding: a typed 90 degrees gives sin -1.0 exactly.
void RotatePoints(const void* source, void* target, int32_t count, const TransformMap* map) {
    const double s = map->sin, c = map->cos;
    if (count < 0) {
        double phi = Scalar(source);
        if (c == 1.0) {
        } else if (s == 1.0) {
            phi += kHalfPi;
        } else if (s == -1.0) {
            phi -= kHalfPi;
        } else if (c == -1.0) {
            phi += kPi;
        } else {
            phi += std::atan(s / c);
            if (c < 0) phi += kPi;
        }
        Scalar(target) = NormalizeDirection(phi);
        return;
    }
    if (count == 0) {
        Scalar(target) = Scalar(source);
        return;
    }
    const RealPoint o = map->center;
    for (int32_t i = 0; i < count; ++i) {
        const RealPoint p = Points(source)[i];
        const double dx = p.x - o.x, dy = p.y - o.y;
        RealPoint q;
        if (c == 1.0) q = p;
        else if (s == 1.0) q = { o.x - dy, o.y + dx };
        else if (s == -1.0) q = { o.x + dy, o.y - dx };
        else if (c == -1.0) q = { 2 * o.x - p.x, 2 * o.y - p.y };
        else q = { o.x + c * dx - s * dy, o.y + s * dx + c * dy };
        Points(target)[i] = q;
    }
}

void DilatePoints(const void* source, void* target, int32_t count, const TransformMap* map) {
    if (count < 0) {
        // A negative ratio is a half turn as well: a direction turns round with it.
        const double phi = Scalar(source);
        Scalar(target) = map->ratio < 0 ? NormalizeDirection(phi + kPi) : phi;
        return;
    }
    if (count == 0) {
        Scalar(target) = map->ratio * Scalar(source);
        return;
    }
    const RealPoint o = map->center;
    for (int32_t i = 0; i < count; ++i) {
        const RealPoint p = Points(source)[i];
        Points(target)[i] = { o.x + map->ratio * (p.x - o.x), o.y + map->ratio * (p.y - o.y) };
    }
}

void ReflectPoints(const void* source, void* target, int32_t count, const TransformMap* map) {
    const RealPoint a = map->mirrorA;
    const double ex = map->mirrorB.x - a.x, ey = map->mirrorB.y - a.y;
    if (count < 0) {
        const double phi = Scalar(source);
        const RealPoint p = { a.x + 100 * std::cos(phi), a.y + 100 * std::sin(phi) };
        double psi = 0;
        PointLineRelation(p, a, map->mirrorB, &psi, nullptr, nullptr, nullptr, nullptr);
        Scalar(target) = NormalizeDirection(phi + 2 * psi);
        return;
    }
    if (count == 0) {
        Scalar(target) = Scalar(source);
        return;
    }
    const double ee = ex * ex + ey * ey;
    for (int32_t i = 0; i < count; ++i) {
        const RealPoint p = Points(source)[i];
        const double t = ee != 0 ? ((p.x - a.x) * ex + (p.y - a.y) * ey) / ee : 0;
        Points(target)[i] = { 2 * (a.x + t * ex) - p.x, 2 * (a.y + t * ey) - p.y };
    }
}

void CopyPoints(const void* source, void* target, int32_t count, const TransformMap*) {
    if (count <= 0) {
        Scalar(target) = Scalar(source);
        return;
    }
    std::memmove(target, source, sizeof(RealPoint) * static_cast<size_t>(count));
}

const PointMapOp PointMapOps[5] = {
    TranslatePoints, RotatePoints, DilatePoints, ReflectPoints, CopyPoints,
};

const TransformOpRecord* TransformRowOf(const SketchObject* object) {
    const int32_t type = object->constructionType;
    if (type < 0 || type >= kConstructionTypeCount) return nullptr;
    const uint16_t op = ConstructionTypeTable[type].transformOp;
    return op < kTransformOpCount ? &TransformOpTable[op] : nullptr;
}

namespace {

// A measured value counts only when it is defined and finite.
bool DefinedValue(const SketchObject* object, double* value) {
    return object && ParentValue(object, value) && std::isfinite(*value);
}

bool IsStraight(const SketchObject* o) {
    return o && (o->objectClass == kClassStraight || o->objectClass == kClassAxis);
}

// The two defining points of a straight object or axis.
void DefiningPoints(const SketchObject* straight, RealPoint* first, RealPoint* second) {
    const LineForm& f = ClassData<StraightData>(straight)->form;
    *first = f.first;
    *second = f.second;
}

// Reads the parents after the pre-image one after another. A parent of the wrong class
// (a damaged document) or one past the end fails the map, which is then read from the
// origin.
struct ParentCursor {
    SketchObject* const* parents;
    int32_t count;
    int32_t next;
    bool* ok;
    const SketchObject* Take() {
        const SketchObject* o = next < count ? parents[next++] : nullptr;
        if (!o) *ok = false;
        return o;
    }
    RealPoint TakePoint() {
        const SketchObject* o = Take();
        if (o && o->objectClass == kClassPoint) return PointPosition(o);
        *ok = false;
        return { 0, 0 };
    }
    const SketchObject* TakeStraight() {
        const SketchObject* o = Take();
        if (IsStraight(o)) return o;
        *ok = false;
        return nullptr;
    }
};

int32_t ParentCountOf(const SketchObject* object) {
    int32_t n = 0;
    PtrListSize(object->parents, &n);
    return n;
}

}  // namespace

bool BuildTransformMap(const SketchObject* object, SketchObject* const* parents, TransformMap* map) {
    const TransformOpRecord* row = TransformRowOf(object);
    if (!row) return false;
    const uint32_t bits = row->sources;
    bool ok = true;
    // A polar row's angle goes into a pair of its own; dx then holds the distance.
    double polarSin = 0, polarCos = 1;
    double* sinOut = (bits & kSourcePolar) ? &polarSin : &map->sin;
    double* cosOut = (bits & kSourcePolar) ? &polarCos : &map->cos;
    const bool imageIsPoint = object->objectClass == kClassPoint;
    ParentCursor in = { parents, ParentCountOf(object), 1, &ok };
    double v;

    if (bits & kSourceQuarterTurn) {
        const SketchObject* first = in.count > 0 ? parents[0] : nullptr;
        const SketchObject* origin =
            first ? static_cast<const SketchObject*>(PtrListItem(first->parents, 0)) : nullptr;
        if (origin && origin->objectClass == kClassPoint) map->center = PointPosition(origin);
        else ok = false;
        map->cos = 0;
        map->sin = first && first->constructionType == 56 ? -1 : 1;
    }
    if (bits & kSourceCenterPoint) map->center = in.TakePoint();
    if (bits & kSourceMirrorStraight) {
        if (const SketchObject* m = in.TakeStraight()) DefiningPoints(m, &map->mirrorA, &map->mirrorB);
    }
    if (bits & kSourceAngleValue) {
        if (DefinedValue(in.Take(), &v)) {
            const double a = AngleToRadians(&v, CurrentSketchAngleUnit());
            *sinOut = -std::sin(a);
            *cosOut = std::cos(a);
        } else {
            ok = false;
        }
    }
    if (bits & kSourceAnglePoints) {
        const RealPoint p = in.TakePoint();
        const RealPoint vertex = in.TakePoint();
        const RealPoint q = in.TakePoint();
        if (!PointLineRelation(p, vertex, q, nullptr, nullptr, cosOut, sinOut, nullptr))
            ok = false;
    }
    // Only a point may be dilated onto the centre: every other image would collapse.
    auto takeRatio = [&](double ratio) {
        map->ratio = ratio;
        if (ratio == 0 && !imageIsPoint) ok = false;
    };
    if (bits & kSourceRatioValue) {
        if (DefinedValue(in.Take(), &v)) takeRatio(v);
        else ok = false;
    }
    if (bits & kSourceRatioPoints) {
        const RealPoint o = in.TakePoint();
        const RealPoint u = in.TakePoint();
        const RealPoint r = in.TakePoint();
        double ratio = 0;
        if (PointLineRelation(u, o, r, nullptr, &ratio, nullptr, nullptr, nullptr))
            takeRatio(ratio);
        else
            ok = false;
    }
    if (bits & kSourceRatioSegments) {
        const SketchObject* n = in.TakeStraight();
        const SketchObject* d = in.TakeStraight();
        if (n && d) {
            RealPoint a, b;
            DefiningPoints(n, &a, &b);
            const double nn = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
            DefiningPoints(d, &a, &b);
            const double dd = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
            if (dd == 0) ok = false;
            else takeRatio(std::sqrt(nn / dd));
        }
    }
    if (bits & kSourceDistanceValue) {
        if (DefinedValue(in.Take(), &v)) map->dx = FromDistanceUnits(&v, CurrentSketchDistanceUnit());
        else ok = false;
    }
    if (bits & kSourceVerticalValue) {
        if (DefinedValue(in.Take(), &v)) map->dy = -FromDistanceUnits(&v, CurrentSketchDistanceUnit());
        else ok = false;
    }
    if (bits & kSourceVectorPoints) {
        const RealPoint t = in.TakePoint();
        const RealPoint h = in.TakePoint();
        map->dx = h.x - t.x;
        map->dy = h.y - t.y;
    }

    // The fixed entries follow one another in the order angle, ratio, distance,
    // vertical: a row with only a vertical entry keeps it first.
    const uint32_t fixedBits = kSourceFixedAngle | kSourceFixedRatio | kSourceFixedDistance | kSourceFixedVertical;
    if (bits & fixedBits) {
        alignas(8) uint8_t data[64] = {};
        const uint32_t bytes = 4u * row->fixedWords;
        if (bytes > sizeof data || !ReadConstructionData(object, data, bytes)) return false;
        uint32_t at = 0;
        if (bits & kSourceFixedAngle) {
            FixedAngleEntry e;
            std::memcpy(&e, data + at, sizeof e);
            at += sizeof e;
            *sinOut = e.sin;
            *cosOut = e.cos;
            if (!std::isfinite(e.sin) || !std::isfinite(e.cos)) ok = false;
        }
        if (bits & kSourceFixedRatio) {
            double ratio;
            std::memcpy(&ratio, data + at, 8);
            at += 8;
            takeRatio(ratio);
            if (!std::isfinite(ratio)) ok = false;
        }
        if (bits & kSourceFixedDistance) {
            FixedDistanceEntry e;
            std::memcpy(&e, data + at, sizeof e);
            at += sizeof e;
            map->dx = e.pixels;
            if (!std::isfinite(e.pixels)) ok = false;
        }
        if (bits & kSourceFixedVertical) {
            FixedDistanceEntry e;
            std::memcpy(&e, data + at, sizeof e);
            map->dy = -e.pixels;
            if (!std::isfinite(e.pixels)) ok = false;
        }
    }
    if (bits & kSourcePolar) {
        const double r = map->dx;
        map->dx = r * polarCos;
        map->dy = r * polarSin;
    }
    return ok;
}

void UpdateTransformedImage(SketchObject* image, SketchObject* const* parents) {
    TransformMap map;
    const TransformOpRecord* row = TransformRowOf(image);
    TransformFn transform = ObjectClassTable[image->objectClass].transform;
    // The class routine reads the pre-image as data of the image's class.
    const SketchObject* pre = parents[0];
    const bool classFits = pre && ObjectClassTable[pre->objectClass].imageClass == image->objectClass;
    if (!row || !transform || !classFits || !BuildTransformMap(image, parents, &map)) {
        image->exists = 0;
        return;
    }
    transform(parents[0], image, &map, PointMapOps[row->pointMapOp]);
}

void InverseTransformPoint(int32_t kind, SketchObject* object, SketchObject* const* parents,
                           TransformMap* dragMap) {
    TransformMap map;
    const TransformOpRecord* row = TransformRowOf(object);
    if (!row || !BuildTransformMap(object, parents, &map)) {
        object->exists = 0;
        return;
    }
    if (kind < 0 || kind > 2) return;
    const double ratio = map.ratio == 0 ? 1 : map.ratio;
    if (kind == 0) {
        // The drag vector goes through the linear part of the inverse only.
        const RealPoint d = { dragMap->dx, dragMap->dy };
        RealPoint out = d;
        switch (row->pointMapOp) {
        case kMapRotate:
            out = { map.cos * d.x + map.sin * d.y, -map.sin * d.x + map.cos * d.y };
            break;
        case kMapDilate:
            out = { d.x / ratio, d.y / ratio };
            break;
        case kMapReflect: {
            TransformMap through = map;
            through.mirrorA = { 0, 0 };
            through.mirrorB = { map.mirrorB.x - map.mirrorA.x, map.mirrorB.y - map.mirrorA.y };
            ReflectPoints(&d, &out, 1, &through);
            break;
        }
        default:
            break;
        }
        dragMap->dx = out.x;
        dragMap->dy = out.y;
        return;
    }
    RealPoint c = dragMap->center;
    switch (row->pointMapOp) {
    case kMapTranslate:
        c = { c.x - map.dx, c.y - map.dy };
        break;
    case kMapRotate: {
        TransformMap back = map;
        back.sin = -map.sin;
        RotatePoints(&c, &c, 1, &back);
        break;
    }
    case kMapDilate: {
        TransformMap back = map;
        back.ratio = 1 / ratio;
        DilatePoints(&c, &c, 1, &back);
        break;
    }
    case kMapReflect:
        ReflectPoints(&c, &c, 1, &map);
        dragMap->sin = -dragMap->sin;
        break;
    default:
        break;
    }
    dragMap->center = c;
}
