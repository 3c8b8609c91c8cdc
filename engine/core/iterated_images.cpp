// Iterated images (class 15): the records one iteration wrote of one dependent object,
// drawn and hit through the object's shape family.
#include <algorithm>
#include <cstring>

#include "engine/core/copy_map.h"
#include "engine/core/iterations.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch.h"

namespace {

SketchObject* IteratedObject(const SketchObject* image) {
    return static_cast<SketchObject*>(PtrListItem(image->parents, 0));
}

const ShapeFamilyRow* FamilyRow(const SketchObject* image) {
    const SketchObject* object = IteratedObject(image);
    if (!object) return nullptr;
    const int32_t family = ObjectClassTable[object->objectClass].shapeFamily;
    return family >= 0 && family < kShapeFamilyCount ? &ShapeFamilyOps[family] : nullptr;
}

// The record layout is the object's: known once the image has its parents (a stored
// image gets them after its class data is made).
void EnsureLayout(SketchObject* image) {
    IteratedImageData* d = IteratedImageDataOf(image);
    if (d->recordSize != 0) return;
    SketchObject* object = IteratedObject(image);
    const ShapeFamilyRow* row = FamilyRow(image);
    if (!row) return;
    d->perSampleColour = object->constructionType == kTypeParametricColor ? 1 : 0;
    uint32_t dataSize = 0, recordSize = 0;
    row->sampleLayout(object, kSampleForIteration, &dataSize, &recordSize);
    d->familyData = 0;
    d->writer = row->sampleWriter(object, kSampleForIteration, &d->familyData);
    d->recordSize = recordSize + (d->perSampleColour ? 4 : 0);
}

bool Enumerate(void* user, SampleCallbackFn callback, void* state) {
    return EnumerateIteratedImages(static_cast<SketchObject*>(user), callback, state);
}

// The records of the last level lie at the leaves of the depth-first order: walk the
// order and visit the leaves only.
struct LeafWalk {
    const IteratedImageData* d;
    int32_t m, depth;
    int32_t index;
    SampleCallbackFn callback;
    void* state;
};

bool WalkLevel(LeafWalk& w, int32_t level) {
    for (int32_t k = 0; k < w.m; ++k) {
        const int32_t at = w.index++;
        if (at >= w.d->imageCount) return false;
        if (level == w.depth - 1) {
            if (!w.callback(w.state, w.d->images + size_t(at) * w.d->recordSize, at)) return true;
        } else if (WalkLevel(w, level + 1)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool AllocateImageArray(SketchObject* image, int32_t count) {
    EnsureLayout(image);
    IteratedImageData* d = IteratedImageDataOf(image);
    if (d->recordSize == 0) return true;  // an object no family draws has no records
    if (d->images && d->imageCount == count) return true;
    FreeMemory(d->images);
    d->images = nullptr;
    d->cursor = nullptr;
    d->imageCount = 0;
    if (count <= 0) return true;
    const uint64_t bytes = uint64_t(d->recordSize) * uint64_t(count) + 1;
    if (bytes > 0x7fffffffu) return false;
    // Zeroed: a record the next update has not written yet shows nothing.
    d->images = static_cast<uint8_t*>(AllocMemory(size_t(bytes), kAllocZero));
    if (!d->images) return false;
    d->imageCount = count;
    return true;
}

int32_t InitIteratedImage(SketchObject* image, void*) {
    if (!image) return 1;
    IteratedImageData* d = IteratedImageDataOf(image);
    *d = IteratedImageData{};
    d->accumulated = d->accumulatedCore = kEmptyScreenRect;
    const SketchObject* iteration = IterationOf(image);
    if (!iteration) return 1;  // read from a document: sized at the first update
    EnsureLayout(image);
    const int32_t mode = CurrentCloneMode();
    if (mode >= 2 && mode <= 4) return 1;
    return AllocateImageArray(image, IterationDataOf(iteration)->imageCount) ? 1 : 0;
}

void FreeIteratedImage(SketchObject* image) {
    IteratedImageData* d = IteratedImageDataOf(image);
    FreeMemory(d->images);
    d->images = nullptr;
    d->cursor = nullptr;
    d->imageCount = 0;
}

void UpdateIteratedImage(SketchObject* image, SketchObject* const*) {
    IteratedImageData* d = IteratedImageDataOf(image);
    image->exists = d->anyImage ? 1 : 0;
    image->bounds = d->accumulated;
    image->coreBounds = d->accumulatedCore;
    d->fresh = 0;
}

bool EnumerateIteratedImages(SketchObject* image, SampleCallbackFn callback, void* state) {
    const IteratedImageData* d = IteratedImageDataOf(image);
    const SketchObject* iteration = IterationOf(image);
    if (!d->images || d->recordSize == 0 || !iteration) return false;
    const IterationParameters& p = IterationDataOf(iteration)->parameters;
    if (!p.finalOnly) {
        for (int32_t i = 0; i < d->imageCount; ++i)
            if (!callback(state, d->images + size_t(i) * d->recordSize, i)) return true;
        return false;
    }
    if (p.mapCount <= 1) {
        const int32_t last = std::min(d->imageCount, p.depth) - 1;
        if (last < 0) return false;
        return !callback(state, d->images + size_t(last) * d->recordSize, last);
    }
    LeafWalk walk{ d, p.mapCount, p.depth, 0, callback, state };
    return p.depth > 0 && WalkLevel(walk, 0);
}

void DrawIteratedImage(GraphicsPort* port, SketchObject* image) {
    IteratedImageData* d = IteratedImageDataOf(image);
    d->fresh = 0;
    if (const ShapeFamilyRow* row = FamilyRow(image); row && d->images)
        row->draw(port, image, &d->familyData, Enumerate, image);
}

void DrawIteratedImageSelected(GraphicsPort* port, SketchObject* image) {
    IteratedImageData* d = IteratedImageDataOf(image);
    d->fresh = 0;
    if (const ShapeFamilyRow* row = FamilyRow(image); row && d->images)
        row->drawSelected(port, image, &d->familyData, Enumerate, image);
}

void DrawIteratedImageScaled(GraphicsPort* port, SketchObject* image, const OutputScale*) {
    // The records are captured again under the output scale, drawn, and captured once
    // more at the screen's metrics for the sketch.
    SketchObject* iteration = IterationOf(image);
    if (iteration) {
        RecomputeObject(iteration, nullptr, false);
        RecomputeObject(image, nullptr, false);
    }
    IteratedImageData* d = IteratedImageDataOf(image);
    if (const ShapeFamilyRow* row = FamilyRow(image); row && d->images)
        row->drawScaled(port, image, &d->familyData, Enumerate, image);
    const DrawingMetricsRecord saved = DrawingMetrics;
    InitDrawingMetrics();
    if (iteration) RecomputeObject(iteration, nullptr, false);
    DrawingMetrics = saved;
}

bool HitTestIteratedImage(ScreenPoint point, SketchObject* image) {
    IteratedImageData* d = IteratedImageDataOf(image);
    if (d->fresh || !d->images) return false;
    const ShapeFamilyRow* row = FamilyRow(image);
    return row && row->hitTest(point, image, &d->familyData, Enumerate, image);
}

bool HitTestIteratedImageRect(const ScreenRect* rect, SketchObject* image) {
    IteratedImageData* d = IteratedImageDataOf(image);
    const ShapeFamilyRow* row = FamilyRow(image);
    if (row && row->hitTestRect) return d->images && row->hitTestRect(rect, image, &d->familyData, Enumerate, image);
    return InRectByBounds(rect, image);
}
