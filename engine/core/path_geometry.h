// The geometry behind the path rows of segments, rays, lines, circles and polygon
// perimeters, on plain data: where a parameter lies, projection onto the path,
// random positions, parameter ranges and sampling. paths.h puts these behind the
// PathMethodTable.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"

// Path classes: the pathClass column of the kind table and the row of the
// PathMethodTable.
constexpr int32_t kPathSegment = 0;
constexpr int32_t kPathRay     = 1;
constexpr int32_t kPathLine    = 2;
constexpr int32_t kPathPolygon = 3;
constexpr int32_t kPathCircle  = 4;
constexpr int32_t kPathLocus   = 5;
constexpr int32_t kPathArc     = 6;
constexpr int32_t kPathClassCount = 7;
constexpr int32_t kNotAPathClass = 8;

// How a path ends (pathFlags).
constexpr int32_t kPathClosed  = 0;
constexpr int32_t kPathTwoEnds = 1;
constexpr int32_t kPathOneEnd  = 2;
constexpr int32_t kPathNoEnd   = 3;

// The stored form of a position on a path, as a point keeps it in its construction
// data: up to four 4-byte words, in memory order. Straight objects, loci and arcs
// keep one 8-byte real (the parameter value); circles the cosine and the sine of the
// angle; polygon perimeters the fraction along one edge, then the u16 edge index and
// 6 bytes of padding.
struct alignas(8) PathParameterBlock {
    uint32_t words[4];
};

double   PathBlockReal(const PathParameterBlock& block, int32_t index);  // index 0 or 1
void     SetPathBlockReal(PathParameterBlock* block, int32_t index, double value);
uint16_t PathBlockEdge(const PathParameterBlock& block);
// Also clears the padding after the edge index.
void     SetPathBlockEdge(PathParameterBlock* block, uint16_t edge);

// Receives one sample of a path: (user value, parameter value, point, exists).
using PathSampleFn = int32_t (*)(void* user, double parameter, RealPoint point, int32_t exists);

// ---- Straight rows (segment, ray, line) over the path's LineForm.
RealPoint StraightPointAt(const LineForm& form, double t);
// Bounded below for rays and segments and above for segments.
double    StraightProjection(const LineForm& form, int32_t pathClass, RealPoint p,
                             RealPoint* nearest);
// Rays: the visible part from 0, else (0, 2). Lines: the visible part, else (-1, 2).
// Segments: (0, 1). visible may be null.
void      StraightParameterRange(const LineForm& form, int32_t pathClass, bool exists,
                                 const ScreenRect* visible, double* lo, double* hi);
// With the avoid flag a segment keeps to [0.1, 0.4] and [0.6, 0.9] and rays and
// lines stay 0.1 away from their defining points, so a dropped point does not sit
// where midpoints and defining points tend to be. Draws from NextRandom.
double    StraightRandomParameter(const LineForm& form, int32_t pathClass, bool exists,
                                  const ScreenRect& bounds, bool avoid,
                                  const ScreenRect* visible, RealPoint* point);
int32_t   StraightSample(const LineForm& form, int32_t count, double lo, double hi,
                         PathSampleFn callback, void* user);
double    StraightLengthBetween(const LineForm& form, double t1, double t2);

// ---- Circle row. Angles count counter-clockwise on the screen, from +x towards -y.
RealPoint CirclePointAt(RealPoint centre, double radius, double angle);
RealPoint CirclePointAtCosSin(RealPoint centre, double radius, double cosine, double sine);
// Answers the angle in [0, 2 pi); a point within 0.02 of the centre gives angle 0.
double    CircleProjection(RealPoint centre, double radius, RealPoint p, RealPoint* nearest,
                           double* cosine, double* sine);
void      CircleRandomParameter(RealPoint centre, double radius, bool exists,
                                const ScreenRect& bounds, bool avoid,
                                const ScreenRect* visible, double* cosine, double* sine,
                                RealPoint* point);
int32_t   CircleSample(RealPoint centre, double radius, int32_t count, PathSampleFn callback,
                       void* user);
// The shorter way round; the range is the whole turn.
void      CircleWayBetween(double radius, double a, double b, double* lo, double* hi,
                           double* length, int32_t* forward);

// ---- Polygon perimeter row, over the polygon's vertices and its edge cache.
// Edge i runs from vertex i to vertex i + 1, the last back to vertex 0; its cumulative
// fraction is the perimeter share of edges 0..i, the last exactly 1.
struct PolygonEdge {
    double length;
    double cumulative;
};

struct PolygonPerimeter {
    const RealPoint*   vertices;
    int32_t            count;
    const PolygonEdge* edges;
    double             perimeter;
};

// Parameters outside [0, 1] are taken at the nearer end.
RealPoint PolygonPointAt(const PolygonPerimeter& polygon, double t);
RealPoint PolygonPlace(const PolygonPerimeter& polygon, double fraction, uint16_t edge);
// A polygon that does not exist gets (0.79, edge 1).
void      PolygonSetParameter(const PolygonPerimeter& polygon, bool exists, double t,
                              double* fraction, uint16_t* edge);
double    PolygonProjection(const PolygonPerimeter& polygon, RealPoint p, RealPoint* nearest,
                            double* fraction, uint16_t* edge);
// Answers whether a point was written (not for a polygon that does not exist).
bool      PolygonRandomParameter(const PolygonPerimeter& polygon, bool exists,
                                 const ScreenRect& bounds, bool avoid,
                                 const ScreenRect* visible, double* fraction, uint16_t* edge,
                                 RealPoint* point);
int32_t   PolygonSample(const PolygonPerimeter& polygon, int32_t count, PathSampleFn callback,
                        void* user);
