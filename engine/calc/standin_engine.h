// What the calculation code needs of the sketch engine and the text subsystem while
// those pieces are being built elsewhere. Every declaration here is provisional: when the
// real header lands, this file shrinks and the includes move to it.
#pragma once
#include <cstddef>
#include <cstdint>

// Stand-in: RealPoint belongs to the geometry primitives.
struct RealPoint {
    double x;
    double y;
};

// Stand-in: the object header belongs to the sketch object records. Only the fields the
// calculation code reads are here; parents are a plain array in place of the arena list.
struct SketchObject {
    int32_t constructionType;
    int32_t objectClass;
    int32_t objectKind;
    int32_t exists;
    int32_t generation;
    int32_t givenIndex;
    SketchObject** parentItems;
    uint32_t parentCount;
    const char* labelText;  // Stand-in: the label block of the object labels
};

// Stand-in: class data of the geometric classes, in the field order of their records.
struct LineForm {
    RealPoint first;
    RealPoint second;
    double dx;
    double dy;
    double slope;
};

struct PointObject {
    SketchObject header;
    RealPoint position;
};

struct StraightObject {  // classes 2 and 9 begin alike
    SketchObject header;
    LineForm form;
};

struct CircleObject {  // classes 3 and 5
    SketchObject header;
    RealPoint centre;
    double radius;
};

struct ArcObject {  // classes 12 and 13
    SketchObject header;
    RealPoint centre;
    double radius;
    double startAngle;
    double endAngle;
    int32_t orientation;  // 0 for a straight arc, whose centre and radius hold the chord
    RealPoint startPoint;
    RealPoint endPoint;
    double sweep;
    double arcLength;
    double straightPart;
    double totalLength;
};

struct PolygonObject {
    SketchObject header;
    uint16_t vertexCount;
    RealPoint* vertices;
    double perimeter;
};

struct CoordinateSystemObject {
    SketchObject header;
    RealPoint origin;
    double unitX;
    double unitY;
};

// Stand-in: Arc::CacheLengths and Polygon::CachePerimeter of the arc and polygon code.
void ArcCacheLengths(SketchObject* arc);
void PolygonCachePerimeter(SketchObject* polygon);

// Stand-in: the current sketch's display units (0 pixels, 1 cm, 2 inches; 0 radians,
// 1 degrees, 2 directed degrees) and default precisions.
int32_t CurrentDistanceUnit();
int32_t CurrentAngleUnit();
void SetCurrentSketchUnits(int32_t distanceUnit, int32_t angleUnit);
int32_t CurrentPrecision(int32_t which);  // 0 number, 1 distance, 2 angle

// Stand-in: the unit conversions of the memory and units code.
double AngleToRadians(const double* value, int32_t unit);
double RadiansToAngleUnits(const double* value, bool directed);
double ToDistanceUnits(const double* value);
double FromDistanceUnits(const double* value, int32_t unit);

// Stand-in: the kind lattice test of the type tables.
bool KindIsA(int32_t kind, int32_t ancestor);

// Stand-in: the string groups.
void GetGroupString(int32_t group, int32_t item, char* buffer, uint32_t size);

// Stand-in: the number text code's decimal separator.
char DecimalSeparator();

// Stand-in: the object labels' plain text of an object's label.
void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size);
