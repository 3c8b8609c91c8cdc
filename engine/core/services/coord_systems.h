// Coordinate systems (class 8) as the type tables, points, marks and the record codecs
// reach them. The class data is laid out here because the geometry of plotted points
// and snapping read it; the routines are the calculation code's (engine/calc).
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/sketch_object.h"

struct GraphicsPort;
struct OutputScale;

// Grid forms, stored as u16.
constexpr int32_t kGridPolar       = 0;
constexpr int32_t kGridSquare      = 1;
constexpr int32_t kGridRectangular = 2;

// The hidden state of a vertical unit point that the square form ties to the horizontal
// one: Show All Hidden (which counts hidden state 1) leaves it alone.
constexpr int32_t kHiddenTiedUnit = 4;

// Class data of a coordinate system, behind the object header.
struct CoordSystemData {
    RealPoint origin;     // the axes' common origin, sketch pixels
    double    unitX;      // pixels per unit along the horizontal axis
    double    unitY;      // and along the vertical one
    double    tickX;      // grid spacing in pixels, from the units and the form
    double    tickY;
    int32_t   gridForm;   // kGridPolar .. kGridRectangular
    int32_t   wasMarked;  // it held the marked-system slot when it left the sketch
    int32_t   lastExists; // existence at the previous update
};

// Coordinate systems are drawn and hit-tested everywhere.
constexpr ScreenRect kCoordSystemBounds = { -20000, -20000, 20000, 20000 };

inline CoordSystemData* CoordSystemOf(SketchObject* system) { return ClassData<CoordSystemData>(system); }
inline const CoordSystemData* CoordSystemOf(const SketchObject* system) {
    return ClassData<CoordSystemData>(system);
}

// Class routines of class 8 and the update of construction type 65.
void    UpdateCoordSystem(SketchObject* system, SketchObject* const* parents);
bool    CoordSystemHitTest(ScreenPoint point, SketchObject* system);
void    DrawCoordSystemForPrint(GraphicsPort* port, SketchObject* system, const OutputScale* scale);
int32_t InitCoordSystemData(SketchObject* system, void* record);

// The grid spacing from the units and the form (1-2-5 steps into the metrics' band).
void ComputeTickSpacing(SketchObject* system);
// One axis of a square or rectangular grid: up until at least `lower`, then down while
// above `upper`. A spacing that is not a positive finite number is left alone.
void ScaleTickIntoRange(double* spacing, double lower, double upper);

// Moves a point (sketch pixels) to the nearest grid point, counted in whole units.
void SnapToGrid(RealPoint* point, const SketchObject* system);

// The coordinate system an object belongs to (itself, or one hanging on it directly or
// through an axis); null when there is none or two different ones.
SketchObject* OwningCoordSystem(const SketchObject* object);

// Whether the system, or else both its axes, are shown.
bool CoordSystemAxesVisible(const SketchObject* system);
// Shows or hides the system with its axes and the origin and unit points that serve
// only it, as one undo step.
void ShowCoordSystem(SketchObject* system, bool show);
// Every child of the object is an axis, hidden, or a unit point.
bool OnlyServesGrid(const SketchObject* object);
// Builds a coordinate system from nothing or from the selection (flag bits: 1 origin
// point, 2 unit object, 4 vertical unit object, 8 unit circle, 16 unit point); the
// system, marked, or null.
SketchObject* CreateCoordSystem(int32_t flags, int32_t context, int32_t namedUndo, int32_t gridForm);
// The largest absolute x and y of data a new system is made for.
struct CoordSystemExtents {
    double maxX;
    double maxY;
};
// CreateCoordSystem for data: a new rectangular system built from nothing (flags 0) in a
// sketch with a window may take units fitted to the extents (the later release's form).
SketchObject* CreateCoordSystemFor(int32_t flags, int32_t context, int32_t namedUndo, int32_t gridForm,
                                   const CoordSystemExtents* extents);

bool CoordSystemWasMarked(const SketchObject* system);
void SetCoordSystemWasMarked(SketchObject* system, bool marked);
