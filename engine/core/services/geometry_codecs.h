// The record codecs that fill the transfer columns of the type tables: each moves one
// block of an object between memory and a document record through a transfer context
// (reading, writing, swapping for undo). The document code (engine/docio) defines them.
#pragma once
#include "engine/core/result_codes.h"

struct TransferContext;

// Geometry records (2200 + class). Points (2201): x then y as 8-byte reals.
ResultCode TransferPointGeometry(TransferContext* context);
ResultCode TransferStraightGeometry(TransferContext* context);
ResultCode TransferCircleGeometry(TransferContext* context);
// Arcs and arc interiors (2212, 2213): centre x, centre y, radius, start and end angle
// as 8-byte reals, then the orientation as i16.
ResultCode TransferArcGeometry(TransferContext* context);
// Polygon interiors (2204): u32 vertex count, then each vertex as two 8-byte reals.
ResultCode TransferPolygonGeometry(TransferContext* context);
// Text-like objects: their bounds.
ResultCode TransferRectGeometry(TransferContext* context);
// Class data of coordinate systems (2308): the grid form as u16, at most 2.
ResultCode TransferCoordSystemData(TransferContext* context);
// Class data of axes (2309).
ResultCode TransferAxisData(TransferContext* context);
// Class data of iterations (2314): the 24-byte class record (iterations.h).
ResultCode TransferIterationData(TransferContext* context);
// Class data of loci (2306): lo, hi (reals), sample count (i32), form, ends, drawing
// option (u16), 6 reserved bytes.
ResultCode TransferLocusData(TransferContext* context);
// Class data of pictures (2316): width, height, natural width, natural height as i32.
ResultCode TransferPictureData(TransferContext* context);

// Construction data (2003). Unit points: one 8-byte real, the unit distance (types
// 56-61); plotted points by fixed values: two 8-byte reals (types 71, 72).
ResultCode TransferUnitDistance(TransferContext* context);
ResultCode TransferPlottedValues(TransferContext* context);
// Images coloured by values (type 79): the mode word (u32), then From and To as 8-byte
// reals, 20 bytes; shorter is damaged (35), longer warns (4).
ResultCode TransferParametricColorData(TransferContext* context);
// Transformed images with fixed values: the block laid out by the type's row of
// TransformOpTable (its fixed angle, ratio, distance and vertical entries).
ResultCode TransferTransformData(TransferContext* context);
// A point on a path: its identifier word (the point's construction code and the stored
// kind of its path), then the path's stored block. A stored kind that is no path gives 10.
ResultCode TransferPathParameter(TransferContext* context);
// An action button's motion records (MotionParams, one per target): 32 bytes each, or in
// formats 3 and older one word each (the top flag bits and the nearest speed preset;
// writing that form for a target that is no point gives 10).
ResultCode TransferMotionParams(TransferContext* context);
// Class data of action buttons (2310): type, options, param, id and position as u16, then
// for a link to a target address its text, padded to 4. A type above 7 gives 9.
ResultCode TransferActionButtonData(TransferContext* context);

// Class data of captions (2300): position and text; of measurements (2307): the caption
// part (a custom name or an empty text), then the display mode and precision.
ResultCode TransferCaptionData(TransferContext* context);
ResultCode TransferMeasurementData(TransferContext* context);
ResultCode TransferCalculationData(TransferContext* context);
// Copying one block of an object through its codec, as a stored record of the current
// format would carry it: measured, then written into a new block (*bytes, freed with
// FreeMemory; null when the codec writes nothing).
ResultCode SaveCodecBlock(ResultCode (*codec)(TransferContext*), void* object, uint8_t** bytes, uint32_t* length);
// Measured, written and read back into the target: the target's block becomes the
// source's.
ResultCode CopyCodecBlock(ResultCode (*codec)(TransferContext*), void* source, void* target);
