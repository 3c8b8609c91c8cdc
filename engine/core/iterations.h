// Iterations: a rule object (class 14, types 16 and 17) that maps n seeds (points or
// values) by m maps, each giving every seed a destination that depends on the seeds, and
// repeats the construction to a depth along every sequence of maps. The results live in
// iterated images (class 15, type 18), one per dependent object, each an array of image
// records of its object's shape family, and optionally in a table of iterated values.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/result_codes.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch_object.h"

struct PathParameterBlock;
struct TransferContext;

// The parameter record given at construction: the first 20 bytes of the class data.
struct IterationParameters {
    uint16_t seedCount;      // n
    uint16_t mapCount;       // m
    int32_t  depth;
    int32_t  finalOnly;      // draw only the last level of images
    int32_t  randomOnPaths;  // destinations on paths take new random places at each step
    int32_t  seed;           // the generator's seed for those places
};
static_assert(sizeof(IterationParameters) == 20);

struct IterationData {
    IterationParameters parameters;
    int32_t             imageCount;  // m + m^2 + ... + m^depth (depth when m = 1)
    // The saved path parameters of the destinations that are points on paths; null
    // when no destination is one.
    PathParameterBlock* pathState;
    int32_t             pathStateBytes;
};

struct IteratedImageData {
    int32_t        perSampleColour;  // the object is parametrically coloured: a colour after each record
    int32_t        anyImage;         // some image existed in the last iteration
    ScreenRect     accumulated;      // bounds of all images
    ScreenRect     accumulatedCore;
    int32_t        fresh;            // the iteration has rebuilt the records since the image's update
    int32_t        finalExists;      // one map and a point: the point at the end of the last iteration
    RealPoint      finalPoint;
    int32_t        imageCount;       // records the array holds
    uint8_t*       images;
    uint32_t       recordSize;       // with the colour when perSampleColour is set
    uint32_t       familyData;
    SampleWriterFn writer;
    uint8_t*       cursor;           // where the iteration writes the next record; null = none
};

inline IterationData* IterationDataOf(SketchObject* iteration) { return ClassData<IterationData>(iteration); }
inline const IterationData* IterationDataOf(const SketchObject* iteration) {
    return ClassData<IterationData>(iteration);
}
inline IteratedImageData* IteratedImageDataOf(SketchObject* image) { return ClassData<IteratedImageData>(image); }
inline const IteratedImageData* IteratedImageDataOf(const SketchObject* image) {
    return ClassData<IteratedImageData>(image);
}

// The most levels of an iteration with two maps or more.
constexpr int32_t kMaxMultiMapDepth = 20;

// m + m^2 + ... + m^depth (depth when m = 1; 0 for a depth or m below 1), saturating at
// the largest u32 rather than wrapping.
uint32_t CountIterationImages(int32_t depth, int32_t mapCount);
// The preferences' budget of iteration images (at least 1).
int32_t IterationBudget();
// The depth a value gives: 0 when it does not exist or is undefined, infinite, negative
// or not a number; else capped at the budget (and 20 with two maps or more), then
// truncated.
int32_t DepthFromValue(const SketchObject* value, int32_t mapCount);

// Where the seeds, destinations and dependent chain start in the parent list.
int32_t IterationSeedBase(const SketchObject* iteration);
int32_t IterationChainBase(const SketchObject* iteration);

// The class record of an iteration (record 2314), little-endian: u16 0 (an older depth),
// u16 randomOnPaths, u16 finalOnly, u16 n, u16 m, u16 0, i32 seed, i32 depth, i32 0. It is
// also the parameter of InitIterationData.
constexpr uint32_t kIterationRecordBytes = 24;
void       EncodeIterationRecord(const IterationParameters& parameters, uint8_t* record);
// 35 when the record is shorter than 24 bytes; the flags become 0 or 1, and a depth of 0
// is taken from the first word.
ResultCode DecodeIterationRecord(const uint8_t* record, uint32_t length, IterationParameters* parameters);

// Class routines of iterations (class 14).
int32_t InitIterationData(SketchObject* iteration, void* parameters);
void    FreeIterationData(SketchObject* iteration);
// Update routines of types 16 and 17.
void UpdateIteration(SketchObject* iteration, SketchObject* const* parents);
void UpdateIterationByValue(SketchObject* iteration, SketchObject* const* parents);
// Lowers the depth until the images fit the budget and memory, sizes the image arrays and
// tables, and stores the depth and image count.
void FitIterationDepth(SketchObject* iteration, int32_t depth);
// A stored iteration once its parents are known: its seed and map counts must agree with
// them (35 otherwise), and its depth is fitted to the budget.
ResultCode FinishReadIteration(SketchObject* iteration);

// Class routines of iterated images (class 15).
int32_t InitIteratedImage(SketchObject* image, void* parameters);
void    FreeIteratedImage(SketchObject* image);
void    UpdateIteratedImage(SketchObject* image, SketchObject* const* parents);
void    DrawIteratedImage(GraphicsPort* port, SketchObject* image);
void    DrawIteratedImageSelected(GraphicsPort* port, SketchObject* image);
void    DrawIteratedImageScaled(GraphicsPort* port, SketchObject* image, const OutputScale* scale);
bool    HitTestIteratedImage(ScreenPoint point, SketchObject* image);
bool    HitTestIteratedImageRect(const ScreenRect* rect, SketchObject* image);
// Gives the image room for `count` records (reallocated when it has an array); false when
// memory runs out (the image then has no array).
bool AllocateImageArray(SketchObject* image, int32_t count);
// The records the drawing visits, in order: all of them, or with finalOnly only the last
// level. The callback answers false to stop; answers whether it was stopped.
bool EnumerateIteratedImages(SketchObject* image, SampleCallbackFn callback, void* state);

// The iteration of an iterated image or of a table of iterated values, else null.
SketchObject* IterationOf(const SketchObject* object);
// An iterated image of a point whose iteration has one map.
bool IsSingleMapPointImage(const SketchObject* object);
// The point at the end of a single-map iteration of a point; false when it has none.
bool FinalIteratedPoint(const SketchObject* image, RealPoint* point);

// Everything that depends on the seeds (a tempLink chain through `seeds` in order), in
// sketch order: the chain's head, or null when nothing depends on them. A seed that
// depends on an earlier-stamped seed is a conflict: *conflict names it and null is
// answered.
SketchObject* IterationDependents(SketchObject* const* seeds, int32_t count, SketchObject** conflict);

struct IterationBuild {
    SketchObject* const* entries;  // n x (m + 1): the seeds, then each map's destinations
    SketchObject*        depthValue;  // type 17, else null
    int32_t              seedCount;
    int32_t              mapCount;
    int32_t              depth;
    int32_t              finalOnly;
    int32_t              nonPointImagesOnly;
    int32_t              tabulate;
    int32_t              randomOnPaths;
    int32_t              preview;
    // Out: what the build made or found.
    int32_t              hasNonPointImages;
    int32_t              hasPointImages;
    int32_t              hasTable;
};
// Builds an iteration with its images (and table); a final build is trimmed and recorded
// as one undo step. Null when nothing could be made or memory ran out (nothing is left).
SketchObject* BuildIteration(IterationBuild* build);
// Destroys an iteration with every object built on it.
void DestroyIterationObjects(SketchObject* iteration);

// Properties of the properties sheet and the keys.
enum IterationProperty : int32_t {
    kIterationDepth         = 0,
    kIterationFinalOnly     = 1,
    kIterationSeed          = 2,
    kIterationRandomOnPaths = 3,
    kIterationBeginBatch    = 4,
    kIterationEndBatch      = 5,
};
void SetIterationProperty(SketchObject* iteration, int32_t property, int32_t value);
// "+" and "-" (property 0, delta +1 / -1) and "!" (property 2) on the selected iterated
// images and iteration tables; answers whether something was set.
bool IterationKeyStep(int32_t property, int32_t delta);
// A seed of two 15-bit draws of the generator, as new iterations take.
int32_t DrawIterationSeed();
