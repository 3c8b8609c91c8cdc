// Paths: every object a point can slide along. One constant row of routines per path
// class (the pathClass column of the object's kind): 0 segment, 1 ray, 2 line,
// 3 polygon perimeter, 4 circle, 5 locus, 6 arc. Callers check that the kind's
// pathClass is not 8 before indexing the table.
#pragma once
#include <cstdint>

#include "engine/core/path_geometry.h"
#include "engine/core/result_codes.h"

struct SketchObject;
struct TransferContext;

// The stored block of a point on a path as a document holds it: the block's words as
// 8-byte reals (straight objects, loci, arcs: one; circles: two), or the polygon form
// (the fraction as an 8-byte real, the edge as u16, 6 bytes of padding).
enum PathBlockLayout : int32_t { kPathBlockReals = 0, kPathBlockPolygon = 1 };

struct PathMethods {
    // Size of the stored parameter block in 4-byte words.
    int32_t parameterWords;
    // The point at a parameter value; exists is set to 1 by the straight, polygon and
    // circle rows.
    void (*pointAtParameter)(SketchObject* path, double parameter, RealPoint* point,
                             int32_t* exists);
    // Puts a point on the path at its stored parameter block.
    void (*placePoint)(SketchObject* path, SketchObject* point);
    // A random position (block and point); block may be null. With a visible rectangle
    // it prefers positions inside it; with the avoid flag it keeps away from places
    // where other constructed points tend to sit.
    void (*randomParameter)(SketchObject* path, bool avoid, const ScreenRect* visible,
                            PathParameterBlock* block, RealPoint* point);
    // Projection of any point onto the path; parameter and block may be null.
    void (*parameterOfPoint)(SketchObject* path, RealPoint p, RealPoint* nearest,
                             double* parameter, PathParameterBlock* block);
    // The interval of parameter values worth using; visible may be null.
    void (*parameterRange)(SketchObject* path, const ScreenRect* visible, double* lo,
                           double* hi);
    // Calls back for count positions of the range; answers the callback's result.
    int32_t (*sampleParameters)(SketchObject* path, int32_t count, double lo, double hi,
                                PathSampleFn callback, void* user);
    // How the stored block is laid out in a document (inside record 2003).
    PathBlockLayout storedLayout;
    // kPathClosed, kPathTwoEnds, kPathOneEnd or kPathNoEnd.
    int32_t (*pathFlags)(const SketchObject* path);
    // The path length between two parameter values, with the sign as given.
    void (*lengthBetween)(SketchObject* path, double a, double b, double* length);
    void (*setParameter)(SketchObject* path, double parameter, PathParameterBlock* block);
    // The way from a to b: the full range of the path, the length and whether it runs
    // forward. Closed paths go the shorter way round. Answers 1.
    int32_t (*wayBetween)(SketchObject* path, double a, double b, double* lo, double* hi,
                          double* length, int32_t* forward);
};

extern const PathMethods PathMethodTable[kPathClassCount];

// The path class of an object (kNotAPathClass when it is none).
int32_t PathClassOf(const SketchObject* object);
// The row of an object that is a path, else null.
const PathMethods* PathMethodsOf(const SketchObject* object);

// The point's stored block read as a parameter value and placed by pointAtParameter,
// writing the point's coordinates and exists.
void PlacePointByStoredValue(SketchObject* path, SketchObject* point);
// The generic wayBetween of the straight and polygon rows.
int32_t WayBetweenByLength(SketchObject* path, double a, double b, double* lo, double* hi,
                           double* length, int32_t* forward);

// The stored block of a point on a path, in its construction data.
bool ReadPathParameter(const SketchObject* point, PathParameterBlock* block);
bool WritePathParameter(SketchObject* point, const PathParameterBlock& block, int32_t words);
// Puts a point on a path (its first parent) at a random place, within the current sketch's
// window when it has one.
void PlaceOnPathAtRandom(SketchObject* point);

