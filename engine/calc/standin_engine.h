// What the calculation code needs of the sketch engine and the text subsystem while
// those pieces are being built elsewhere. The names are those of the real headers, so
// that when each lands its part here is deleted and the include moves to it.
#pragma once
#include <cstddef>
#include <cstdint>

// Stand-in: engine/core/screen_types.h.
struct RealPoint {
    double x;
    double y;
};

// Stand-in: engine/core/geometry.h.
struct LineForm {
    RealPoint first;
    RealPoint second;
    double dx;
    double dy;
    double slope;
};

// Stand-in: engine/core/sketch_object.h. Only the fields the calculation code reads;
// the parents are a plain array here in place of the arena list handle.
struct alignas(8) SketchObject {
    int32_t constructionType;
    int32_t objectClass;
    int32_t objectKind;
    int32_t exists;
    uint32_t generation;
    int32_t givenIndex;
    SketchObject** parentItems;
    uint32_t parentCount;
    const char* labelText;  // Stand-in: the label block of the object labels
};

// Stand-in: engine/core/sketch_object.h. Class data starts right after the header.
template <typename T>
inline T* ClassData(SketchObject* object) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(object) + sizeof(SketchObject));
}
template <typename T>
inline const T* ClassData(const SketchObject* object) {
    return reinterpret_cast<const T*>(reinterpret_cast<const char*>(object) + sizeof(SketchObject));
}

// Stand-in: the parents of an object, read through its list handle once the pointer
// lists are in.
inline uint32_t ParentCountOf(const SketchObject* object) { return object ? object->parentCount : 0; }
inline SketchObject* const* ParentItemsOf(const SketchObject* object) {
    return object ? object->parentItems : nullptr;
}

// Stand-in: engine/core/points.h, straight_objects.h, circles.h (the leading fields).
struct PointData {
    RealPoint position;
};
struct StraightData {  // classes 2 and 9 begin alike
    LineForm form;
};
struct CircleData {  // classes 3 and 5
    RealPoint centre;
    double radius;
};

// Stand-in: the arc data of classes 12 and 13 (centre, radius, angles, orientation, end
// points and the length cache).
struct ArcData {
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

// Stand-in: the polygon data of class 4.
struct PolygonData {
    uint16_t vertexCount;
    RealPoint* vertices;
    double perimeter;
};

// Stand-in: the coordinate system data of class 8.
struct CoordinateSystemData {
    RealPoint origin;
    double unitX;
    double unitY;
};

// Stand-in: Arc::CacheLengths and Polygon::CachePerimeter of the arc and polygon code.
void ArcCacheLengths(SketchObject* arc);
void PolygonCachePerimeter(SketchObject* polygon);

#include "engine/core/sketch_units.h"
#include "engine/core/units.h"

// Stand-in: the preferences' default precisions (0 number, 1 distance, 2 angle).
int32_t CurrentPrecision(int32_t which);

// Stand-in: the kind lattice test of the type tables.
bool KindIsA(int32_t kind, int32_t ancestor);

#include "engine/core/services/number_locale.h"
#include "engine/text/string_groups.h"

// Stand-in: the object labels' plain text of an object's label.
void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size);
