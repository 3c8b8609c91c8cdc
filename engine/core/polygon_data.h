// Class data of polygon interiors (class 4), apart from their routines: the drawing
// code reads it beside the platform's own headers, whose Polygon function the engine's
// Polygon namespace would hide.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct PolygonEdge;

// Class data of a polygon interior. The three arrays are owned by the polygon and
// sized once, at creation, for vertexCount entries (null while the count is 0).
struct PolygonData {
    uint16_t     vertexCount;
    RealPoint*   vertices;
    ScreenPoint* screenVertices;
    int32_t      cacheStamp;  // the generation the edge cache was made for
    PolygonEdge* edges;
    double       perimeter;
};

