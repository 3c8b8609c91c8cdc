// Stand-in: definitions behind standin_engine.h until the sketch engine, the unit
// conversions and the string groups land; each goes when its real one arrives.
#include "engine/calc/standin_engine.h"

#include <cmath>
#include <cstring>

namespace {

int32_t gDistanceUnit = 0;
int32_t gAngleUnit = 1;

// Pixels per unit: pixels, centimetres and inches at 72 dots per inch.
const double kUnitFactor[3] = {1.0, 72.0 / 2.54, 72.0};

struct GroupText {
    int32_t group;
    int32_t item;
    const char* text;
};

const GroupText kTexts[] = {
    {7, 1, "undefined"},
    {7, 8, " pixels"}, {7, 9, " cm"}, {7, 10, " in."},
    {7, 11, " radians"}, {7, 12, "\xB0"}, {7, 13, "\xB0"},
    {14, 0, "sin"}, {14, 1, "cos"}, {14, 2, "tan"}, {14, 3, "Arcsin"}, {14, 4, "Arccos"},
    {14, 5, "Arctan"}, {14, 6, "abs"}, {14, 7, "sqrt"}, {14, 8, "ln"}, {14, 9, "log"},
    {14, 10, "sgn"}, {14, 11, "round"}, {14, 12, "trunc"},
    {14, 26, "0123456789.()pe"}, {14, 27, "Pi"}, {14, 29, "+-*/^-"},
    {14, 46, "= d/dx "}, {14, 34, "x"}, {14, 35, "y"}, {14, 36, "theta"}, {14, 37, "r"},
};

}  // namespace

void ArcCacheLengths(SketchObject* object) {
    ArcData* arc = ClassData<ArcData>(object);
    if (arc->orientation == 0) {
        double chord = std::hypot(arc->startAngle - arc->centre.y, arc->radius - arc->centre.x);
        arc->sweep = 0;
        arc->straightPart = 0;
        arc->arcLength = arc->totalLength = chord;
        return;
    }
    double sweep = arc->endAngle - arc->startAngle;
    if (sweep < 0) sweep += 6.2831853071796;
    arc->sweep = sweep;
    arc->arcLength = sweep * arc->radius;
    double straight = 0;
    if (object->objectClass == 13) {
        if (object->objectKind == 27) {
            straight = std::hypot(arc->endPoint.x - arc->startPoint.x, arc->endPoint.y - arc->startPoint.y) / 2;
        } else {
            straight = arc->radius;
        }
    }
    arc->straightPart = straight;
    arc->totalLength = arc->arcLength + 2 * straight;
}

void PolygonCachePerimeter(SketchObject* object) {
    PolygonData* poly = ClassData<PolygonData>(object);
    double sum = 0;
    for (uint32_t i = 0; i < poly->vertexCount; ++i) {
        const RealPoint& a = poly->vertices[i];
        const RealPoint& b = poly->vertices[(i + 1) % poly->vertexCount];
        sum += std::hypot(b.x - a.x, b.y - a.y);
    }
    poly->perimeter = sum;
}

int32_t CurrentSketchDistanceUnit() { return gDistanceUnit; }
int32_t CurrentSketchAngleUnit() { return gAngleUnit; }
void SetStandInSketchUnits(int32_t angleUnit, int32_t distanceUnit) {
    gDistanceUnit = distanceUnit;
    gAngleUnit = angleUnit;
}
int32_t CurrentPrecision(int32_t which) { return which == 0 ? 2 : which == 1 ? 2 : 1; }

double AngleToRadians(double* value, int32_t unit) {
    if (unit == 1 || unit == 2) *value *= 0.017453292519943334;
    else if (unit != 0) *value = 0;
    return *value;
}

double RadiansToAngleUnits(double* value, bool directed) {
    int32_t unit = gAngleUnit;
    if (directed && unit == 1) unit = 2;
    if (unit == 1) *value = std::fabs(*value * 57.295779513082195);
    else if (unit == 2) *value *= 57.295779513082195;
    else if (unit != 0) *value = 0;
    return *value;
}

double ToDistanceUnits(double* value) {
    if (gDistanceUnit > 0 && gDistanceUnit <= 2) *value /= kUnitFactor[gDistanceUnit];
    return *value;
}

double FromDistanceUnits(double* value, int32_t unit) {
    if (unit > 0 && unit <= 2) *value *= kUnitFactor[unit];
    return *value;
}

bool KindIsA(int32_t kind, int32_t ancestor) { return kind == ancestor; }

void GetGroupString(int32_t group, int32_t item, char* buffer, uint32_t size) {
    if (size == 0) return;
    std::memset(buffer, 0, size);
    for (const GroupText& t : kTexts) {
        if (t.group == group && t.item == item) {
            std::strncpy(buffer, t.text, size - 1);
            break;
        }
    }
    buffer[size - 1] = 0;
}

char DecimalSeparator() { return '.'; }

void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size) {
    if (size == 0) return;
    const char* text = object && object->labelText ? object->labelText : "";
    std::strncpy(buffer, text, size - 1);
    buffer[size - 1] = 0;
}
