// Loci (class 6): a traced object sampled while its driver point runs along a path
// (type 39), or the plot of a function through a coordinate system (type 76). Both keep
// an array of image records of the traced object's shape family (shape_families.h) and
// are drawn and hit through that family. A locus of a point is itself a path.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/path_geometry.h"
#include "engine/core/result_codes.h"
#include "engine/core/sketch_object.h"

struct GraphicsPort;
struct OutputScale;
struct TransferContext;

// Plot forms of type 76 (the function's form); type 39 keeps kLocusTraceForm.
constexpr int32_t kPlotYofX       = 0;
constexpr int32_t kPlotXofY       = 1;
constexpr int32_t kPlotROfTheta   = 2;
constexpr int32_t kPlotThetaOfR   = 3;
constexpr int32_t kLocusTraceForm = 4;

// End kinds: the curve ends at an existing sample, has no end mark, or continues beyond
// the sample (the direction is valid and the end carries a range handle).
constexpr int32_t kLocusEndAtSample = 0;
constexpr int32_t kLocusEndNone     = 1;
constexpr int32_t kLocusEndGoesOn   = 2;

constexpr int32_t kMinLocusSamples = 10;

struct LocusData {
    double   lo, hi;          // driver path parameters (39), or function arguments (76; radians for r = f(theta))
    int32_t  form;
    int32_t  sampleCount;
    int32_t  ends;            // the driver path's pathFlags; 3 for a plot
    int32_t  drawOption;      // 1: drawn as dots, 0: a connected curve
    uint8_t* samples;         // owned; sampleCount x sampleSize; null in a partial sketch
    int32_t  startKind, endKind;
    double   startDirection, endDirection;  // screen angles (radians) the curve leaves its ends in
    int32_t  drawCode;
    uint16_t sampleSize;      // bytes per sample, with the colour word when perSampleColour
    int32_t  tracedClass;
    int32_t  perSampleColour; // each record is followed by the traced object's colour (u32)
    uint8_t  familyData[8];
};

// The stored class record (2306) and the block a new locus may be made from: lo, hi
// (reals), sampleCount (i32), form, ends, drawOption (u16), 6 reserved bytes, little-endian.
constexpr uint32_t kLocusRecordBytes = 32;
// The record's fields into the class data (a non-zero drawing option reads as 1), and
// the class data's into a record.
void LocusFieldsFromRecord(const uint8_t* record, LocusData* data);
void LocusFieldsToRecord(const LocusData* data, uint8_t* record);

inline LocusData* LocusDataOf(SketchObject* locus) { return ClassData<LocusData>(locus); }
inline const LocusData* LocusDataOf(const SketchObject* locus) { return ClassData<LocusData>(locus); }

// ---- Class routines of class 6

// The parameter is a stored record (kLocusRecordBytes) or null. False without memory.
int32_t LocusInitExtra(SketchObject* locus, void* parameter);
void    LocusFreeExtra(SketchObject* locus);
// The set-up of a locus read from a document, once its parents are known: its class
// record was read into the class data. A partial sketch's locus gets no sample array.
// 35 when its parents make no locus, 100 without memory.
ResultCode FinishReadLocus(SketchObject* locus, bool partialSketch);
bool    LocusHasOwnLabel(const SketchObject* locus);
void    DrawLocus(GraphicsPort* port, SketchObject* locus);
void    DrawLocusSelected(GraphicsPort* port, SketchObject* locus);
void    DrawLocusScaled(GraphicsPort* port, SketchObject* locus, const OutputScale* scale);
bool    LocusHitTest(ScreenPoint point, SketchObject* locus);
bool    LocusHitTestRect(const ScreenRect* rect, SketchObject* locus);
// The draw layer of a locus: that of its traced class.
int32_t LocusDrawLayer(const SketchObject* locus);
// Whether the locus is drawn as a connected curve.
bool    LocusDrawnAsCurve(const SketchObject* locus);
// Whether the locus has marked ends: its path is not closed and a square or an
// arrowhead shows at one of its ends at least. Its highlight then reaches over the marks
// and its highlight dots are spaced from the first sample to the last.
bool    LocusHasMarkedEnds(const SketchObject* locus);

// ---- Updates (types 39 and 76)

void UpdatePointLocus(SketchObject* locus, SketchObject* const* parents);
void UpdateFunctionPlot(SketchObject* plot, SketchObject* const* parents);
// A plot's bounds take five pixels more on each side, short of the 16-bit limits.
void GrowPlotBounds(ScreenRect* bounds);

// ---- Evaluation at one parameter

// The traced (39) or plotted (76) point at a parameter; a type-39 driver is left there.
void   LocusEvaluateAt(SketchObject* locus, double parameter, RealPoint* point, int32_t* exists);
// At lo + t (hi - lo), the driver put back afterwards.
void   LocusPointAt(SketchObject* locus, double t, RealPoint* point, int32_t* exists);
double LocusNormalizeParameter(double parameter, const SketchObject* locus);

// ---- Sample arrays

// A previous step (a, b) and a new step (c, d) in whole pixels turn sharply.
bool SharpTurn(int32_t a, int32_t b, int32_t c, int32_t d);
// States of the point samples from gaps, jumps and the closed wrap; then the end kinds.
void LocusJoinSamples(SketchObject* locus, int32_t first, int32_t last, ScreenRect* bounds);
// Moves the existing one of two neighbouring samples towards the edge of existence.
void LocusRefineEdge(SketchObject* locus, int32_t sample, int32_t previous, ScreenRect* bounds);
void LocusEndDirection(SketchObject* locus, bool start, double step, ScreenRect* bounds);
// The points at the sample's parameter + step (after) and - step (before), the step
// halved until they lie within 10 pixels in x and y (at most 9 halvings).
bool LocusTangentAt(SketchObject* locus, int32_t sample, double step, RealPoint* after, RealPoint* before,
                    bool normalized);

// Sample record fields of a locus of a point: the position rounded to the screen, and as
// the program keeps it (sub-pixel in the later release).
ScreenPoint LocusSamplePoint(const SketchObject* locus, int32_t index);
RealPoint   LocusSamplePosition(const SketchObject* locus, int32_t index);
double      LocusSampleParameter(const SketchObject* locus, int32_t index);
uint32_t    LocusSampleState(const SketchObject* locus, int32_t index);

// ---- Sample counts and ranges

bool ResizeLocusSamples(SketchObject* locus, int32_t count);
// Clamped to 10 .. the preferences' maximum.
bool SetLocusSampleCount(SketchObject* locus, int32_t count);
// x 1.33 up or x 0.75 down, truncated, then clamped.
bool ScaleLocusSampleCount(SketchObject* locus, bool up);
int32_t ClampLocusSampleCount(int32_t count);
void DefaultPlotRange(SketchObject* plot, int32_t form);
// For each function plot among the object's children: counted (24 bytes each on the
// byte counter); with a cursor an undo entry 11 holding the range for the new form.
int32_t SampleLociOfObject(SketchObject* object, int32_t form, uint8_t** cursor, uint32_t* bytes);
// The undo entry of a locus range: the locus, a zero word, lo, hi.
constexpr uint32_t kLocusRangeEntryBytes = 24;
void PutLocusRangeEntry(uint8_t** cursor, SketchObject* locus, double lo, double hi);

// The sample count of a new locus of an object of the shape family and kind (a function
// plot: family 0 and the plot's kind), from the preferences' counts.
int32_t DefaultLocusSamples(int32_t shapeFamily, int32_t kind);

// The traced class of a locus (1 for a plot): loci of points follow their driver.
inline int32_t LocusTracedClass(const SketchObject* locus) { return LocusDataOf(locus)->tracedClass; }

// ---- Nearest point and length over the samples of a locus of a point

// The existing sample nearest to `point` (-1 when none) and, in *parameter, the
// parameter value (not normalised) of the nearest point of the joined pieces beside it.
int32_t UpdateNearestLocusSample(const SketchObject* locus, RealPoint point, double* parameter);
// The screen length of the joined pieces of a locus between two parameter values
// (from <= to); a closed locus's first piece comes from its last sample.
double FindLocusSpanForRange(const SketchObject* locus, double from, double to);

// ---- The locus row of the path table (t in 0..1 over the range)

void    LocusPathPointAt(SketchObject* path, double t, RealPoint* point, int32_t* exists);
void    LocusPlacePoint(SketchObject* path, SketchObject* point);
void    LocusRandomParameter(SketchObject* path, bool avoid, const ScreenRect* visible, PathParameterBlock* block,
                             RealPoint* point);
void    LocusParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest, double* parameter,
                              PathParameterBlock* block);
int32_t LocusSampleParameters(SketchObject* path, int32_t count, double lo, double hi,
                              PathSampleFn callback, void* user);
int32_t LocusPathFlags(const SketchObject* path);
void    LocusLengthBetween(SketchObject* path, double a, double b, double* length);
int32_t LocusWayBetween(SketchObject* path, double a, double b, double* lo, double* hi, double* length,
                        int32_t* forward);
