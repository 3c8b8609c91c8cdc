// The measurement function table and the compute routine of every measurement type.
//
// Distances are computed in pixels and areas in square pixels, then converted to the
// sketch's distance unit; angles in radians, then converted to its angle unit with the
// signed flag clear. A value that the geometry makes impossible clears `defined` and
// leaves the previous value in place.
#include "engine/calc/measurements.h"

#include "engine/core/paths.h"
#include "engine/calc/value_display.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/preferences.h"

#include <cmath>

namespace {

// The engine's rounded constants, not the nearest doubles. (angle_constants.h holds the
// same values but clashes with units.h over the degree factor.)
constexpr double kRoundedPi = 3.1415926535898;
constexpr double kRoundedTwoPi = 6.2831853071796;

constexpr double kAngleTolerance = 0.0004;  // on the raw products, as the line relation


SketchObject* Parent(const SketchObject* object, SketchObject* const* parents, uint32_t i) {
    return parents && i < ParentCountOf(object) ? parents[i] : nullptr;
}

bool IsClass(const SketchObject* o, int32_t c) { return o && o->objectClass == c; }
bool IsStraight(const SketchObject* o) { return IsClass(o, kClassStraight) || IsClass(o, kClassAxis); }
bool IsCircle(const SketchObject* o) { return IsClass(o, kClassCircle) || IsClass(o, kClassCircleInterior); }
bool IsArc(const SketchObject* o) { return IsClass(o, kClassArc) || IsClass(o, kClassArcInterior); }

const RealPoint& PointOf(const SketchObject* o) { return ClassData<PointData>(o)->position; }
const LineForm& LineOf(const SketchObject* o) { return ClassData<StraightData>(o)->form; }
const CircleData& CircleOf(const SketchObject* o) { return *ClassData<CircleData>(o); }
const ArcData& ArcOf(const SketchObject* o) { return *ClassData<ArcData>(o); }
const CoordSystemData& FrameOf(const SketchObject* o) { return *ClassData<CoordSystemData>(o); }

// The conversions rewrite their argument: always hand them a copy.
double InDistanceUnits(double pixels) { return ToDistanceUnits(&pixels); }

// As for calculations, only NaN is undefined: infinities are values.
void SetValue(SketchObject* object, double v) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (std::isnan(v)) {
        d->defined = 0;
        return;
    }
    d->value = v;
    d->defined = 1;
}
void SetUndefined(SketchObject* object) { ValueDisplayOf(object)->defined = 0; }

void SetDistance(SketchObject* object, double pixels) { SetValue(object, InDistanceUnits(pixels)); }
void SetAngle(SketchObject* object, double radians) { SetValue(object, RadiansToAngleUnits(&radians, false)); }

// The angle from o->a to o->p in (-pi, pi], screen orientation; false when a lies on o or
// both products vanish.
bool AngleAt(const RealPoint& a, const RealPoint& o, const RealPoint& p, double* angle) {
    return PointLineRelation(a, o, p, angle, nullptr, nullptr, nullptr, nullptr);
}

int Sign(double v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Arc angle at a circle's centre through two or three points on it, before the negation
// that turns it to the user's orientation; false when undefined.
bool ArcAngleThroughPoints(const SketchObject* object, SketchObject* const* parents, double* out) {
    const SketchObject* circle = Parent(object, parents, 0);
    const SketchObject* p1 = Parent(object, parents, 1);
    const SketchObject* p2 = Parent(object, parents, 2);
    const SketchObject* p3 = ParentCountOf(object) >= 4 ? Parent(object, parents, 3) : nullptr;
    if (!IsCircle(circle) || !IsClass(p1, kClassPoint) || !IsClass(p2, kClassPoint)) return false;
    const RealPoint& c = CircleOf(circle).centre;
    double a2;
    if (!AngleAt(PointOf(p1), c, PointOf(p2), &a2)) return false;
    if (!p3) {
        *out = a2;
        return true;
    }
    if (!IsClass(p3, kClassPoint)) return false;
    double a3;
    if (!AngleAt(PointOf(p1), c, PointOf(p3), &a3)) return false;
    const int s2 = Sign(a2), s3 = Sign(a3);
    if (s2 == -1 && s3 == -1) *out = a3 >= a2 ? a3 + kRoundedTwoPi : a3;
    else if (s2 == 1 && s3 == 1) *out = a3 > a2 ? a3 : a3 - kRoundedTwoPi;
    else *out = s3 == -1 ? a3 + kRoundedTwoPi : a3 - kRoundedTwoPi;
    return true;
}

double SquaredLength(const LineForm& f) { return f.dx * f.dx + f.dy * f.dy; }

}  // namespace

const MeasurementFunctionRecord MeasurementFunctionTable[kMeasurementFunctionRows] = {
    //  dist  angle  caption  compute
    {   1,    0,     0,       MeasureSegmentLength },       //  0 type 40 length
    {   1,    0,     1,       MeasureDistance },            //  1 type 41 distance
    {   1,    0,     2,       MeasureDistance },            //  2 type 42 distance to a straight
    {   1,    0,     3,       MeasurePerimeter },           //  3 type 43
    {   1,    0,     4,       MeasureCircumference },       //  4 type 44
    {   0,    1,     5,       MeasureAngle },               //  5 type 45
    {   2,    0,     6,       MeasureArea },                //  6 type 46
    {   0,    1,     30,      MeasureArcAngle },            //  7 type 47
    {   1,    0,     30,      MeasureArcLength },           //  8 type 48
    {   0,    0,     13,      MeasureSlope },               //  9 type 49
    {   1,    0,     14,      MeasureRadius },              // 10 type 50
    {   0,    0,     30,      MeasureRatio },               // 11 type 51
    {   0,    0,     29,      EvaluateCalculation },        // 12 type 52 calculation
    {   0,    0,     27,      MeasureAbscissa },            // 13 type 69
    {   0,    0,     28,      MeasureOrdinate },            // 14 type 70
    {   0,    0,     31,      nullptr },                    // 15 types 75, 80 functions
    {   0,    0,     1,       MeasureCoordinateDistance },  // 16 type 88
    {   0,    0,     13,      MeasureCoordinateSlope },     // 17 type 89
};

const MeasurementCaptionRow MeasurementCaptionByParentCount[8] = {
    // type  parents  caption
    {  47,   1,       7 },  {  47,  3,  8 },  {  47,  4,  9 },
    {  48,   1,       10 }, {  48,  3,  11 }, {  48,  4,  12 },
    {  51,   2,       15 }, {  51,  3,  16 },
};

uint32_t MeasureFunctionOfType(int32_t type) {
    if (type < 0 || type >= kConstructionTypeCount) return kNoMeasureFunction;
    return ConstructionTypeTable[type].measureFunction;
}

uint16_t MeasurementCaptionTemplate(int32_t type, uint32_t parentCount) {
    uint32_t row = MeasureFunctionOfType(type);
    if (row >= kMeasurementFunctionRows) return kCaptionNone;
    uint16_t caption = MeasurementFunctionTable[row].captionTemplate;
    if (caption != kCaptionByParentCount) return caption;
    for (const MeasurementCaptionRow& r : MeasurementCaptionByParentCount)
        if (r.constructionType == type && uint32_t(r.parentCount) == parentCount) return r.captionTemplate;
    return kCaptionNone;
}

void MeasureSegmentLength(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* s = Parent(object, parents, 0);
    if (IsStraight(s) && s->exists) {
        SetDistance(object, std::sqrt(SquaredLength(LineOf(s))));
        return;
    }
    // A segment whose end points both exist but coincide has length 0, not no length.
    SketchObject* const* ends = ParentItemsOf(s);
    if (s && s->constructionType == kTypeSegment && ParentCountOf(s) >= 2 && ends && ends[0] && ends[1] &&
        ends[0]->exists && ends[1]->exists) {
        SetValue(object, 0);
        return;
    }
    object->exists = 0;
}

void MeasureDistance(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* p = Parent(object, parents, 0);
    const SketchObject* q = Parent(object, parents, 1);
    if (!IsClass(p, kClassPoint)) return SetUndefined(object);
    const RealPoint& a = PointOf(p);
    if (IsClass(q, kClassPoint)) {
        const RealPoint& b = PointOf(q);
        return SetDistance(object, std::hypot(a.x - b.x, a.y - b.y));
    }
    if (IsStraight(q)) {
        const LineForm& f = LineOf(q);
        double d;
        if (f.dx != 0) d = std::fabs((a.x - f.first.x) * f.slope + (f.first.y - a.y)) / std::sqrt(f.slope * f.slope + 1);
        else d = std::fabs(f.first.x - a.x);
        return SetDistance(object, d);
    }
    SetUndefined(object);
}

void MeasurePerimeter(SketchObject* object, SketchObject* const* parents) {
    SketchObject* s = Parent(object, parents, 0);
    if (IsClass(s, kClassPolygonInterior)) {
        return SetDistance(object, PolygonPerimeterOf(s).perimeter);
    }
    if (IsClass(s, kClassArcInterior)) {
        Arc::CacheLengths(s);
        return SetDistance(object, ArcOf(s).totalLength);
    }
    SetUndefined(object);
}

void MeasureCircumference(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* c = Parent(object, parents, 0);
    if (!IsCircle(c)) return SetUndefined(object);
    SetDistance(object, kRoundedTwoPi * CircleOf(c).radius);
}

void MeasureAngle(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* a = Parent(object, parents, 0);
    const SketchObject* b = Parent(object, parents, 1);
    const SketchObject* c = Parent(object, parents, 2);
    double angle;
    if (!IsClass(a, kClassPoint) || !IsClass(b, kClassPoint) || !IsClass(c, kClassPoint) ||
        !AngleAt(PointOf(a), PointOf(b), PointOf(c), &angle))
        return SetUndefined(object);
    SetAngle(object, -angle);  // counter-clockwise on screen is positive
}

void MeasureArea(SketchObject* object, SketchObject* const* parents) {
    SketchObject* s = Parent(object, parents, 0);
    if (IsCircle(s)) {
        double r = InDistanceUnits(CircleOf(s).radius);
        return SetValue(object, kRoundedPi * r * r);
    }
    if (IsClass(s, kClassPolygonInterior)) {
        const PolygonPerimeter poly = PolygonPerimeterOf(s);
        double sum = 0;
        for (int32_t i = 0; i < poly.count; ++i) {
            const RealPoint& v = poly.vertices[i];
            const RealPoint& w = poly.vertices[(i + 1) % poly.count];
            sum += w.y * v.x - w.x * v.y;
        }
        double f = InDistanceUnits(1);
        return SetValue(object, f * f * std::fabs(sum) / 2);
    }
    if (IsClass(s, kClassArcInterior)) {
        const ArcData& arc = ArcOf(s);
        double r = InDistanceUnits(arc.radius);
        double sweep = arc.endAngle - arc.startAngle;
        if (sweep < 0) sweep += kRoundedTwoPi;
        double sector = r * r * sweep;
        return SetValue(object, s->objectKind == kKindArcSegment ? (sector - r * r * std::sin(sweep)) / 2 : sector / 2);
    }
    SetUndefined(object);
}

void MeasureArcAngle(SketchObject* object, SketchObject* const* parents) {
    SketchObject* s = Parent(object, parents, 0);
    if (IsArc(s)) {
        Arc::CacheLengths(s);
        return SetAngle(object, ArcOf(s).sweep);
    }
    double angle;
    if (!ArcAngleThroughPoints(object, parents, &angle)) return SetUndefined(object);
    SetAngle(object, -angle);
}

void MeasureArcLength(SketchObject* object, SketchObject* const* parents) {
    SketchObject* s = Parent(object, parents, 0);
    if (IsArc(s)) {
        Arc::CacheLengths(s);
        return SetDistance(object, ArcOf(s).arcLength);
    }
    double angle;
    if (!ArcAngleThroughPoints(object, parents, &angle)) return SetUndefined(object);
    SetDistance(object, std::fabs(CircleOf(s).radius * angle));
}

void MeasureSlope(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* s = Parent(object, parents, 0);
    if (!IsStraight(s) || LineOf(s).dx == 0) return SetUndefined(object);
    SetValue(object, -LineOf(s).slope);
}

void MeasureRadius(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* s = Parent(object, parents, 0);
    if (IsCircle(s)) return SetDistance(object, CircleOf(s).radius);
    if (IsArc(s)) {
        const ArcData& arc = ArcOf(s);
        return SetDistance(object, arc.orientation == 0 ? INFINITY : arc.radius);
    }
    SetUndefined(object);
}

void MeasureRatio(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* a = Parent(object, parents, 0);
    const SketchObject* b = Parent(object, parents, 1);
    if (ParentCountOf(object) == 2 && IsStraight(a) && IsStraight(b)) {
        const LineForm& s1 = LineOf(a);
        double l1 = SquaredLength(s1), l2 = SquaredLength(LineOf(b));
        if (l2 != 0) return SetValue(object, std::sqrt(l1 / l2));
        if (s1.dx != 0 || s1.dy != 0) return SetValue(object, INFINITY);
        return SetUndefined(object);
    }
    const SketchObject* c = Parent(object, parents, 2);
    if (ParentCountOf(object) == 3 && IsClass(a, kClassPoint) && IsClass(b, kClassPoint) && IsClass(c, kClassPoint)) {
        const RealPoint& p0 = PointOf(a);
        const RealPoint& p1 = PointOf(b);
        const RealPoint& p2 = PointOf(c);
        double ux = p1.x - p0.x, uy = p1.y - p0.y;
        double len2 = ux * ux + uy * uy;
        if (std::fabs(len2) >= kAngleTolerance)
            return SetValue(object, (ux * (p2.x - p0.x) + uy * (p2.y - p0.y)) / len2);
        bool p0OnP1 = p0.x == p1.x && p0.y == p1.y;
        bool p1OnP2 = p1.x == p2.x && p1.y == p2.y;
        if (p0OnP1 && !p1OnP2) return SetValue(object, INFINITY);
    }
    SetUndefined(object);
}

void EvaluateCalculation(SketchObject* object, SketchObject* const* parents) {
    CalculationData* c = CalculationDataOf(object);
    if (!c) return;
    double v;
    c->display.defined = EvaluateExpression(&c->compiled, parents, ParentCountOf(object), &v);
    if (c->display.defined) c->display.value = v;
}

void MeasureAbscissa(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* p = Parent(object, parents, 0);
    const SketchObject* c = Parent(object, parents, 1);
    if (!IsClass(p, kClassPoint) || !IsClass(c, kClassCoordinateSystem)) return SetUndefined(object);
    SetValue(object, (PointOf(p).x - FrameOf(c).origin.x) / FrameOf(c).unitX);
}

void MeasureOrdinate(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* p = Parent(object, parents, 0);
    const SketchObject* c = Parent(object, parents, 1);
    if (!IsClass(p, kClassPoint) || !IsClass(c, kClassCoordinateSystem)) return SetUndefined(object);
    SetValue(object, -(PointOf(p).y - FrameOf(c).origin.y) / FrameOf(c).unitY);
}

void MeasureCoordinateDistance(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* p = Parent(object, parents, 0);
    const SketchObject* q = Parent(object, parents, 1);
    const SketchObject* c = Parent(object, parents, 2);
    if (!IsClass(p, kClassPoint) || !IsClass(q, kClassPoint) || !IsClass(c, kClassCoordinateSystem))
        return SetUndefined(object);
    const CoordSystemData& f = FrameOf(c);
    double dy = (PointOf(p).y - PointOf(q).y) / f.unitY;
    double dx = (PointOf(p).x - PointOf(q).x) / f.unitX;
    SetValue(object, std::sqrt(dy * dy + dx * dx));
}

void MeasureCoordinateSlope(SketchObject* object, SketchObject* const* parents) {
    const SketchObject* s = Parent(object, parents, 0);
    const SketchObject* c = Parent(object, parents, 1);
    if (!IsStraight(s) || !IsClass(c, kClassCoordinateSystem) || LineOf(s).dx == 0) return SetUndefined(object);
    SetValue(object, -LineOf(s).slope * FrameOf(c).unitX / FrameOf(c).unitY);
}

void UpdateMeasurement(SketchObject* object, SketchObject* const* parents) {
    if (!HasValueDisplay(object) || ValueDisplayOf(object)->busy) return;
    uint32_t row = MeasureFunctionOfType(object->constructionType);
    if (row < kMeasurementFunctionRows && MeasurementFunctionTable[row].compute)
        MeasurementFunctionTable[row].compute(object, parents);
    if (!CanSkipValueText(object)) RelayoutValueDisplay(object);
}

ExpressionUnitsInfo MeasurementUnits(const SketchObject* object) {
    if (!object) return {0, 0, 0};
    // Parameters are free calculations (type 0): every class-11 value has its own units.
    if (object->objectClass == kClassCalculation) return ExpressionUnits(object);
    uint32_t row = MeasureFunctionOfType(object->constructionType);
    if (row >= kMeasurementFunctionRows) return {0, 0, 0};
    return {MeasurementFunctionTable[row].distanceExponent, MeasurementFunctionTable[row].angleExponent, 0};
}

int32_t DefaultPrecision(bool distance, bool angle, bool forceNumber) {
    // The settings order them distances, angles, other values.
    const Sketch* sketch = CurrentSketch();
    const SketchSettings& s = sketch ? sketch->settings : ThePreferences().sketchSettings;
    if (forceNumber || distance == angle) return s.precision[2];
    return s.precision[distance ? 0 : 1];
}
