// Test double of the platform's object drawing: every call is recorded in order.
#pragma once
#include <cstdint>
#include <vector>

struct SketchObject;

enum class DrawCall : int32_t {
    kDraw,          // a class draw slot
    kSelection,     // a class drawSelected slot
    kPenOn,         // SetFeedbackPen on (object null, layer in `layer`)
    kPenOff,
    kTrace,
    kGroupBegin,
    kGroupEnd,
    kSamples,          // a draw column of the shape families
    kSamplesSelection, // a drawSelected column of the shape families
};

struct RecordedDraw {
    DrawCall      call;
    SketchObject* object;
    int32_t       layer;
    bool operator==(const RecordedDraw&) const = default;
};

std::vector<RecordedDraw>& RecordedDraws();
// What a draw slot saw of the object when it was called (arcs: the screen centre and
// radius; polygons: the first screen vertex; tables: the top-left corner and the width),
// for scaled drawing.
struct SeenGeometry {
    int32_t x, y, size;
};
std::vector<SeenGeometry>& SeenGeometries();
void ResetRecordedDraws();
// How many records the last drawing of a record array (a locus, an iterated image) walked.
int32_t LastSampleWalkCount();
