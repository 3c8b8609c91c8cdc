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
};

struct RecordedDraw {
    DrawCall      call;
    SketchObject* object;
    int32_t       layer;
    bool operator==(const RecordedDraw&) const = default;
};

std::vector<RecordedDraw>& RecordedDraws();
void ResetRecordedDraws();
