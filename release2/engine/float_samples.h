// figlate keeps the samples of a locus of a point at sub-pixel precision: a sample's
// position is two floats in device pixels where figmantle keeps rounded 16-bit values,
// and the locus's nearest-point and length routines read the floats. The anti-aliased
// curves draw from them.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/later_release.h"

struct SketchObject;

// The position in the first 8 bytes of a point sample: float x, float y, clamped to the
// screen limits (a coordinate that is not a number is kept as 0).
void      PutFloatSamplePosition(uint8_t* record, RealPoint position);
RealPoint FloatSamplePosition(const uint8_t* record);

// The nearest point of the locus's joined pieces to `point`, not rounded: each piece
// offers the projection of the point onto it, a sample that starts a run offers itself.
// Candidates are compared by their squared distance rounded to an integer; among equal
// ones a projection inside its piece beats one that lands on a sample, else the first
// wins. Answers the sample nearer to the winner along its piece (-1 when no sample
// exists) and the parameter interpolated along the piece.
int32_t FloatNearestLocusSample(const SketchObject* locus, RealPoint point, double* parameter);
// The length of the joined pieces between two parameter values: a piece that the range
// cuts counts with the share of its parameter interval that lies inside.
double FloatLocusSpanForRange(const SketchObject* locus, double from, double to);

// An arc sample keeps, past the shared fields, its centre, radius and start and end angle
// as floats (a straight arc: its two ends in the first four), and whether it changed from
// what the record held before: it exists and it moved (box or centre), was resized, or
// its angle span changed by more than 0.1.
uint32_t FloatArcSampleBytes();
void     PutFloatArcSample(const SketchObject* arc, uint8_t* record);
void     FloatArcSampleGeometry(const uint8_t* record, double* geometry);
bool     FloatArcSampleChanged(const uint8_t* record);

// Sets the locus entries of forms (the rest is left as it is).
void AddLocusForms(LaterReleaseForms* forms);
