#include "engine/core/iterations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_stack.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/points.h"
#include "engine/core/random.h"
#include "engine/core/services/iteration_tables.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/tables.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"

namespace {

// Raises the depth of nested evaluations for the life of the scope, lowering it again on
// every way out.
class NestedEvaluationScope {
public:
    NestedEvaluationScope() { ++NestedEvaluationDepth; }
    ~NestedEvaluationScope() { --NestedEvaluationDepth; }
    NestedEvaluationScope(const NestedEvaluationScope&) = delete;
    NestedEvaluationScope& operator=(const NestedEvaluationScope&) = delete;
};

constexpr int32_t kTypeIterationTable = 92;
// A stored record or object that cannot be right (the document format's code).
constexpr ResultCode kResultDamaged = 35;

SketchObject* const* ParentItems(const SketchObject* object, int32_t* count) {
    *count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(object->parents, count));
}

SketchObject* const* ChildItems(const SketchObject* object, int32_t* count) {
    *count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(object->children, count));
}

bool IsImageOf(const SketchObject* child, const SketchObject* iteration) {
    return child->objectClass == kClassIteratedImage && IterationOf(child) == iteration;
}

bool IsTableOf(const SketchObject* child, const SketchObject* iteration) {
    return child->constructionType == kTypeIterationTable && IterationOf(child) == iteration;
}

// One saved state of a seed or destination: its exists flag, and a point's position or a
// value's defined flag and value.
struct SavedState {
    int32_t exists;
    int32_t defined;
    double  a;
    double  b;
};
static_assert(sizeof(SavedState) == 24);

void SaveState(const SketchObject* object, SavedState* state) {
    state->exists = object->exists;
    state->defined = 0;
    state->a = state->b = 0;
    if (object->objectClass == kClassPoint) {
        const RealPoint p = PointPosition(object);
        state->a = p.x;
        state->b = p.y;
    } else {
        GetValueState(object, &state->defined, &state->a);
    }
}

void RestoreState(SketchObject* object, const SavedState& state) {
    object->exists = state.exists;
    if (object->objectClass == kClassPoint) {
        ClassData<PointData>(object)->position = { state.a, state.b };
    } else {
        SetValueState(object, state.defined, state.a);
    }
}

bool IsPointOnPath(const SketchObject* object) {
    if (object->constructionType != kTypePointOnPath) return false;
    const auto* path = static_cast<const SketchObject*>(PtrListItem(object->parents, 0));
    return path && PathMethodsOf(path);
}

int32_t InitialDepth(int32_t depth, int32_t maps) {
    const int32_t budget = IterationBudget();
    if (depth < 0) depth = 0;
    if (maps < 2) return std::min(depth, budget);
    depth = std::min(depth, kMaxMultiMapDepth);
    while (depth > 1 && CountIterationImages(depth, maps) > uint32_t(budget)) --depth;
    return depth;
}

// ---- One update

struct IterationRun {
    SketchObject* iteration;
    int32_t       n, m, depth;
    int32_t       base;        // first seed
    int32_t       chainBase;
    int32_t       parentCount;
    SavedState*   stack;
    int32_t       imageCounter;
    bool          randomPlaces;
};

SketchObject* ParentAt(const IterationRun& r, int32_t index) {
    return static_cast<SketchObject*>(PtrListItem(r.iteration->parents, index));
}
SketchObject* Seed(const IterationRun& r, int32_t i) { return ParentAt(r, r.base + i); }
// Map k (1-based), seed i.
SketchObject* Destination(const IterationRun& r, int32_t k, int32_t i) { return ParentAt(r, r.base + k * r.n + i); }

void RecomputeChain(const IterationRun& r) {
    for (int32_t i = r.chainBase; i < r.parentCount; ++i) RecomputeObject(ParentAt(r, i), nullptr, false);
}

void MoveSeedsToMap(IterationRun& r, int32_t k) {
    // A destination that is a seed listed before the seed it serves would already have
    // moved: the map's states are copied out first.
    bool throughCopy = false;
    for (int32_t i = 1; i < r.n && !throughCopy; ++i) {
        SketchObject* d = Destination(r, k, i);
        for (int32_t j = 0; j < i && !throughCopy; ++j) throughCopy = d == Seed(r, j);
    }
    if (throughCopy) {
        for (int32_t i = 0; i < r.n; ++i) SaveState(Destination(r, k, i), &r.stack[r.n + i]);
        for (int32_t i = 0; i < r.n; ++i) RestoreState(Seed(r, i), r.stack[r.n + i]);
        return;
    }
    for (int32_t i = 0; i < r.n; ++i) {
        SavedState s;
        SaveState(Destination(r, k, i), &s);
        RestoreState(Seed(r, i), s);
    }
}

void PlaceDestinationsRandomly(const IterationRun& r) {
    for (int32_t at = r.base + r.n; at < r.chainBase; ++at) {
        SketchObject* d = ParentAt(r, at);
        if (d->constructionType != kTypePointOnPath) continue;
        auto* path = static_cast<SketchObject*>(PtrListItem(d->parents, 0));
        const PathMethods* row = path ? PathMethodsOf(path) : nullptr;
        if (!row) continue;
        PathParameterBlock block{};
        RealPoint p;
        row->randomParameter(path, false, nullptr, &block, &p);
        WritePathParameter(d, block, row->parameterWords);
        RecomputeObject(d, nullptr, false);
    }
}

void RecordImages(IterationRun& r, int32_t level) {
    int32_t count = 0;
    SketchObject* const* children = ChildItems(r.iteration, &count);
    for (int32_t c = 0; c < count; ++c) {
        SketchObject* child = children[c];
        if (IsImageOf(child, r.iteration)) {
            IteratedImageData* d = IteratedImageDataOf(child);
            SketchObject* object = static_cast<SketchObject*>(PtrListItem(child->parents, 0));
            if (object->exists == 1) {
                d->anyImage = 1;
                ScreenRectUnion(object->bounds, &d->accumulated);
                if (ObjectClassTable[object->objectClass].usesCoreExtent)
                    ScreenRectUnion(object->coreBounds, &d->accumulatedCore);
            }
            // A record is written for every image, shown or not, so that the records of
            // one level stay where the final-only walk looks for them.
            if (d->cursor && d->writer && d->cursor + d->recordSize <= d->images + size_t(d->imageCount) * d->recordSize) {
                uint8_t* next = d->writer(object, nullptr, d->cursor);
                if (d->perSampleColour) std::memcpy(next, &object->color, 4);
                d->cursor += d->recordSize;
            }
        } else if (IsTableOf(child, r.iteration) && NestedEvaluationDepth < 2) {
            FillIterationTableRows(child, r.imageCounter + 1, level + 1);
        }
    }
}

void StepToMap(IterationRun& r, int32_t k, int32_t level) {
    MoveSeedsToMap(r, k);
    if (r.randomPlaces) PlaceDestinationsRandomly(r);
    RecomputeChain(r);
    RecordImages(r, level);
    ++r.imageCounter;
}

void IterateLevel(IterationRun& r, int32_t level) {
    const int32_t first = (level * (r.m - 1) + 2) * r.n;
    // The first map's turn changes the other maps' destinations: keep them for their turns.
    for (int32_t k = 2; k <= r.m; ++k)
        for (int32_t i = 0; i < r.n; ++i) SaveState(Destination(r, k, i), &r.stack[first + (k - 2) * r.n + i]);
    for (int32_t k = 1; k <= r.m; ++k) {
        if (k > 1)
            for (int32_t i = 0; i < r.n; ++i) RestoreState(Destination(r, k, i), r.stack[first + (k - 2) * r.n + i]);
        StepToMap(r, k, level);
        if (level < r.depth - 1) IterateLevel(r, level + 1);
    }
}

void PrepareImages(SketchObject* iteration) {
    int32_t count = 0;
    SketchObject* const* children = ChildItems(iteration, &count);
    for (int32_t c = 0; c < count; ++c) {
        if (!IsImageOf(children[c], iteration)) continue;
        IteratedImageData* d = IteratedImageDataOf(children[c]);
        d->cursor = d->images;
        d->fresh = 1;
        d->accumulated = kEmptyScreenRect;
        d->accumulatedCore = kEmptyScreenRect;
        d->anyImage = 0;
    }
}

// The destinations on paths, counted; their blocks saved into (or put back from) the
// path state.
int32_t PathDestinationCount(const IterationRun& r) {
    int32_t count = 0;
    for (int32_t at = r.base + r.n; at < r.chainBase; ++at)
        if (IsPointOnPath(ParentAt(r, at))) ++count;
    return count;
}

void TransferPathState(const IterationRun& r, bool save) {
    IterationData* d = IterationDataOf(r.iteration);
    int32_t slot = 0;
    for (int32_t at = r.base + r.n; at < r.chainBase; ++at) {
        SketchObject* point = ParentAt(r, at);
        if (!IsPointOnPath(point)) continue;
        if (save) {
            ReadPathParameter(point, &d->pathState[slot]);
        } else {
            const PathMethods* row = PathMethodsOf(static_cast<SketchObject*>(PtrListItem(point->parents, 0)));
            WritePathParameter(point, d->pathState[slot], row->parameterWords);
        }
        ++slot;
    }
}

bool CountsAgree(const SketchObject* iteration, int32_t parentCount) {
    const IterationParameters& p = IterationDataOf(iteration)->parameters;
    const int64_t needed = int64_t(IterationSeedBase(iteration)) + int64_t(p.seedCount) * (int64_t(p.mapCount) + 1);
    return p.seedCount >= 1 && p.mapCount >= 1 && needed <= parentCount;
}

}  // namespace

// ---- Counts and depths

uint32_t CountIterationImages(int32_t depth, int32_t mapCount) {
    if (depth <= 0 || mapCount <= 0) return 0;
    if (mapCount == 1) return uint32_t(depth);
    constexpr uint64_t kMost = 0xffffffffu;
    uint64_t total = 0, power = 1;
    for (int32_t level = 1; level <= depth; ++level) {
        power *= uint64_t(mapCount);
        total += power;
        if (power > kMost || total > kMost) return uint32_t(kMost);
    }
    return uint32_t(total);
}

int32_t IterationBudget() { return std::max(1, ThePreferences().iterationSamples); }

int32_t DepthFromValue(const SketchObject* value, int32_t mapCount) {
    if (!value || value->exists != 1) return 0;
    double v = 0;
    if (!ParentValue(value, &v) || std::isnan(v) || std::isinf(v) || v < 0) return 0;
    // Capped before it is truncated: a value beyond the integers must not overflow.
    double most = IterationBudget();
    if (mapCount >= 2) most = std::min(most, double(kMaxMultiMapDepth));
    return int32_t(std::min(v, most));
}

int32_t IterationSeedBase(const SketchObject* iteration) {
    return iteration->constructionType == kTypeIterationRuleDepth ? 1 : 0;
}

int32_t IterationChainBase(const SketchObject* iteration) {
    const IterationParameters& p = IterationDataOf(iteration)->parameters;
    // Stored counts are read before they are checked against the parents: 65535 seeds
    // of 65535 maps must not overflow.
    const int64_t base = IterationSeedBase(iteration) + int64_t(p.seedCount) * (int64_t(p.mapCount) + 1);
    return int32_t(std::min<int64_t>(base, INT32_MAX));
}

SketchObject* IterationOf(const SketchObject* object) {
    if (!object) return nullptr;
    int32_t index;
    if (object->objectClass == kClassIteratedImage) index = 1;
    else if (object->constructionType == kTypeIterationTable) index = 0;
    else return nullptr;
    auto* iteration = static_cast<SketchObject*>(PtrListItem(object->parents, index));
    return iteration && iteration->objectClass == kClassIteration ? iteration : nullptr;
}

bool IsSingleMapPointImage(const SketchObject* object) {
    if (!object || object->objectClass != kClassIteratedImage) return false;
    const SketchObject* iteration = IterationOf(object);
    const auto* traced = static_cast<SketchObject*>(PtrListItem(object->parents, 0));
    return iteration && traced && traced->objectClass == kClassPoint &&
           IterationDataOf(iteration)->parameters.mapCount == 1;
}

bool FinalIteratedPoint(const SketchObject* image, RealPoint* point) {
    if (!IsSingleMapPointImage(image)) return false;
    const IteratedImageData* d = IteratedImageDataOf(image);
    if (d->finalExists != 1) return false;
    *point = d->finalPoint;
    return true;
}

// ---- Class routines

namespace {
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void Put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v) { Put16(p, uint16_t(v)); Put16(p + 2, uint16_t(v >> 16)); }
}  // namespace

void EncodeIterationRecord(const IterationParameters& p, uint8_t* record) {
    std::memset(record, 0, kIterationRecordBytes);
    Put16(record + 2, p.randomOnPaths ? 1 : 0);
    Put16(record + 4, p.finalOnly ? 1 : 0);
    Put16(record + 6, p.seedCount);
    Put16(record + 8, p.mapCount);
    Put32(record + 12, uint32_t(p.seed));
    Put32(record + 16, uint32_t(p.depth));
}

ResultCode DecodeIterationRecord(const uint8_t* record, uint32_t length, IterationParameters* p) {
    if (length < kIterationRecordBytes) return kResultDamaged;
    p->randomOnPaths = Le16(record + 2) != 0 ? 1 : 0;
    p->finalOnly = Le16(record + 4) != 0 ? 1 : 0;
    p->seedCount = Le16(record + 6);
    p->mapCount = Le16(record + 8);
    p->seed = int32_t(Le32(record + 12));
    p->depth = int32_t(Le32(record + 16));
    // Older writers kept the depth in the first word.
    if (p->depth == 0) p->depth = Le16(record);
    return kResultOK;
}

int32_t InitIterationData(SketchObject* iteration, void* parameters) {
    if (!iteration) return 1;
    IterationData* d = IterationDataOf(iteration);
    *d = IterationData{};
    // The parameter is the class record: built by BuildIteration, or saved from the
    // original when an iteration is copied.
    if (parameters && DecodeIterationRecord(static_cast<const uint8_t*>(parameters), kIterationRecordBytes,
                                            &d->parameters) != kResultOK)
        return 0;
    d->parameters.depth = InitialDepth(d->parameters.depth, d->parameters.mapCount);
    d->imageCount = int32_t(std::min<uint32_t>(CountIterationImages(d->parameters.depth, d->parameters.mapCount),
                                               0x7fffffff));
    return 1;
}

void FreeIterationData(SketchObject* iteration) {
    IterationData* d = IterationDataOf(iteration);
    FreeMemory(d->pathState);
    d->pathState = nullptr;
    d->pathStateBytes = 0;
}

ResultCode FinishReadIteration(SketchObject* iteration) {
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(iteration, &count);
    if (!CountsAgree(iteration, count)) return kResultDamaged;
    IterationParameters& p = IterationDataOf(iteration)->parameters;
    const int32_t base = IterationSeedBase(iteration);
    if (base == 1 && !KindIsA(EffectiveKind(parents[0]), kKindCalculation)) return kResultDamaged;
    // Every destination is of the kind of the seed it serves.
    for (int32_t k = 1; k <= p.mapCount; ++k) {
        for (int32_t i = 0; i < p.seedCount; ++i) {
            const SketchObject* seed = parents[base + i];
            const SketchObject* d = parents[base + k * p.seedCount + i];
            const bool seedPoint = seed->objectClass == kClassPoint, destinationPoint = d->objectClass == kClassPoint;
            if (seedPoint != destinationPoint) return kResultDamaged;
            if (!seedPoint && (!KindIsA(EffectiveKind(seed), kKindCalculation) ||
                               !KindIsA(EffectiveKind(d), kKindCalculation)))
                return kResultDamaged;
        }
    }
    p.finalOnly = p.finalOnly ? 1 : 0;
    p.randomOnPaths = p.randomOnPaths ? 1 : 0;
    p.depth = InitialDepth(p.depth, p.mapCount);
    IterationData* d = IterationDataOf(iteration);
    d->imageCount = int32_t(std::min<uint32_t>(CountIterationImages(p.depth, p.mapCount), 0x7fffffff));
    return kResultOK;
}

void FitIterationDepth(SketchObject* iteration, int32_t depth) {
    IterationData* d = IterationDataOf(iteration);
    const int32_t m = d->parameters.mapCount;
    const uint32_t budget = uint32_t(IterationBudget());
    // The budget bounds the depth of one map, and no budget lets two maps go past 20:
    // capped first, the loop below lowers a few levels at most.
    depth = std::clamp(depth, 0, m < 2 ? int32_t(budget) : kMaxMultiMapDepth);
    int32_t failures = 0;
    for (;;) {
        while (CountIterationImages(depth, m) > budget && depth > 1) --depth;
        const int32_t images = int32_t(std::min<uint32_t>(CountIterationImages(depth, m), 0x7fffffff));
        bool failed = false;
        if (iteration->givenIndex == -1) {
            int32_t count = 0;
            SketchObject* const* children = ChildItems(iteration, &count);
            for (int32_t c = 0; c < count && !failed; ++c) {
                SketchObject* child = children[c];
                if (IsImageOf(child, iteration)) failed = !AllocateImageArray(child, images);
                else if (IsTableOf(child, iteration) && NestedEvaluationDepth < 2)
                    failed = !SetTableRowsForIteration(child, images + 1);
            }
        }
        if (failed && depth > 1) {
            ++failures;
            depth = failures >= 2 && depth > 2 ? 2 : depth - 1;
            continue;
        }
        d->imageCount = images;
        d->parameters.depth = depth;
        return;
    }
}

void UpdateIterationByValue(SketchObject* iteration, SketchObject* const* parents) {
    IterationData* d = IterationDataOf(iteration);
    d->parameters.depth = DepthFromValue(parents[0], d->parameters.mapCount);
    UpdateIteration(iteration, parents);
}

void UpdateIteration(SketchObject* iteration, SketchObject* const*) {
    // Lowered again on every way out, or every text display would stop rebuilding.
    NestedEvaluationScope nested;
    IterationData* d = IterationDataOf(iteration);
    FitIterationDepth(iteration, d->parameters.depth);
    iteration->bounds = kEmptyScreenRect;
    iteration->exists = 0;

    IterationRun r{};
    r.iteration = iteration;
    r.n = d->parameters.seedCount;
    r.m = d->parameters.mapCount;
    r.depth = d->parameters.depth;
    r.base = IterationSeedBase(iteration);
    r.chainBase = IterationChainBase(iteration);
    ParentItems(iteration, &r.parentCount);
    // A rule whose counts do not fit its parents (only a damaged store makes one) does
    // nothing.
    if (!CountsAgree(iteration, r.parentCount)) return;
    r.chainBase = std::min(r.chainBase, r.parentCount);

    int32_t childCount = 0;
    ChildItems(iteration, &childCount);
    if (childCount == 0) {
        RecomputeChain(r);
        return;
    }

    const int32_t onPaths = PathDestinationCount(r);
    const int32_t pathBytes = onPaths * int32_t(sizeof(PathParameterBlock));
    if (pathBytes != d->pathStateBytes) {
        if (pathBytes == 0 || !ReallocMemoryOf(&d->pathState, size_t(pathBytes), false)) {
            FreeMemory(d->pathState);
            d->pathState = nullptr;
            d->pathStateBytes = 0;
        } else {
            d->pathStateBytes = pathBytes;
        }
    }

    const uint64_t slots = uint64_t(r.n) * (uint64_t(r.m - 1) * uint64_t(r.depth) + 2);
    if (slots * sizeof(SavedState) > 0x7fffffffu) {
        RecomputeChain(r);
        return;
    }
    r.stack = static_cast<SavedState*>(AllocMemory(size_t(slots) * sizeof(SavedState), 0));
    if (!r.stack) {
        // The images of the previous update stay; the chain is left as the seeds make it.
        RecomputeChain(r);
        return;
    }

    uint32_t savedSeed = 0;
    if (d->pathState) {
        savedSeed = GetRandomSeed();
        SetRandomSeed(uint32_t(d->parameters.seed));
        TransferPathState(r, true);
    }
    r.randomPlaces = d->pathState && d->parameters.randomOnPaths;
    PrepareImages(iteration);
    for (int32_t i = 0; i < r.n; ++i) SaveState(Seed(r, i), &r.stack[i]);
    {
        int32_t count = 0;
        SketchObject* const* children = ChildItems(iteration, &count);
        for (int32_t c = 0; c < count; ++c)
            if (IsTableOf(children[c], iteration) && NestedEvaluationDepth < 2) FillIterationTableRows(children[c], 0, 0);
    }

    if (r.depth > 0) {
        if (r.m == 1) {
            for (int32_t level = 0; level < r.depth; ++level) StepToMap(r, 1, level);
        } else {
            IterateLevel(r, 0);
        }
    }
    if (r.m == 1) {
        int32_t count = 0;
        SketchObject* const* children = ChildItems(iteration, &count);
        for (int32_t c = 0; c < count; ++c) {
            if (!IsImageOf(children[c], iteration)) continue;
            const auto* object = static_cast<SketchObject*>(PtrListItem(children[c]->parents, 0));
            if (object->objectClass != kClassPoint) continue;
            IteratedImageData* image = IteratedImageDataOf(children[c]);
            image->finalExists = r.depth > 0 ? object->exists : 0;
            image->finalPoint = PointPosition(object);
        }
    }

    for (int32_t i = 0; i < r.n; ++i) RestoreState(Seed(r, i), r.stack[i]);
    {
        int32_t count = 0;
        SketchObject* const* children = ChildItems(iteration, &count);
        for (int32_t c = 0; c < count; ++c) {
            if (!IsImageOf(children[c], iteration)) continue;
            const auto* object = static_cast<SketchObject*>(PtrListItem(children[c]->parents, 0));
            IteratedImageData* image = IteratedImageDataOf(children[c]);
            if (!ObjectClassTable[object->objectClass].usesCoreExtent) image->accumulatedCore = image->accumulated;
        }
    }
    FreeMemory(r.stack);
    if (d->pathState) {
        TransferPathState(r, false);
        SetRandomSeed(savedSeed);
    }
    RecomputeChain(r);
}

// ---- Building

SketchObject* IterationDependents(SketchObject* const* seeds, int32_t count, SketchObject** conflict) {
    *conflict = nullptr;
    Sketch* sketch = CurrentSketch();
    if (!sketch || count <= 0) return nullptr;
    sketch->traversalGeneration += 2;
    const uint32_t g = sketch->traversalGeneration - 1;
    for (int32_t i = 0; i < count; ++i) seeds[i]->traversalStamp = g;
    SketchObject* head = nullptr;
    SketchObject* tail = nullptr;
    for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch) {
        int32_t n = 0;
        SketchObject* const* parents = ParentItems(o, &n);
        bool depends = false;
        for (int32_t i = 0; i < n && !depends; ++i)
            depends = parents[i]->traversalStamp == g || parents[i]->traversalStamp == g + 1;
        if (!depends) continue;
        if (o->traversalStamp == g) {
            *conflict = o;
            return nullptr;
        }
        o->traversalStamp = g + 1;
        o->tempLink = nullptr;
        if (tail) tail->tempLink = o;
        else head = o;
        tail = o;
    }
    return head;
}

int32_t DrawIterationSeed() {
    const uint32_t high = uint32_t(NextRandom());
    const uint32_t low = uint32_t(NextRandom());
    return int32_t(high << 16 | (low & 0xffff));
}

void DestroyIterationObjects(SketchObject* iteration) {
    if (!iteration) return;
    // Children first, from the newest: each one's own dependants go with it.
    for (;;) {
        int32_t count = 0;
        SketchObject* const* children = ChildItems(iteration, &count);
        if (count == 0) break;
        SketchObject* child = children[count - 1];
        for (;;) {
            int32_t n = 0;
            SketchObject* const* grand = ChildItems(child, &n);
            if (n == 0) break;
            child = grand[n - 1];
        }
        AddObjectToDirtyRect(child);
        DestroyObject(child, IsLinkedIntoSketch(child), true);
    }
    DestroyObject(iteration, IsLinkedIntoSketch(iteration), true);
}

namespace {

bool AppendParent(PtrList* list, SketchObject* object) { return PtrListAppend(list, object); }

bool IsGeometric(const SketchObject* object) {
    return ObjectClassTable[object->objectClass].shapeFamily < kShapeFamilyCount;
}

// Stamps everything the destinations and the iterated objects need; the chain keeps only
// that.
void TrimChain(SketchObject* iteration) {
    Sketch* sketch = CurrentSketch();
    const uint32_t g = ++sketch->traversalGeneration;
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(iteration, &count);
    const int32_t chainBase = std::min(IterationChainBase(iteration), count);
    SketchObject** stack = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * 64, 0));
    int32_t depth = 0, room = stack ? 64 : 0;
    auto push = [&](SketchObject* o) {
        if (o->traversalStamp == g) return true;
        o->traversalStamp = g;
        if (depth == room) {
            room = room ? room * 2 : 64;
            if (!ReallocMemoryOf(&stack, sizeof(SketchObject*) * size_t(room), false)) return false;
        }
        stack[depth++] = o;
        return true;
    };
    bool ok = stack != nullptr;
    for (int32_t i = IterationSeedBase(iteration); i < chainBase && ok; ++i) ok = push(parents[i]);
    int32_t childCount = 0;
    SketchObject* const* children = ChildItems(iteration, &childCount);
    for (int32_t c = 0; c < childCount && ok; ++c) {
        SketchObject* child = children[c];
        int32_t n = 0;
        SketchObject* const* own = ParentItems(child, &n);
        for (int32_t i = 0; i < n && ok; ++i)
            if (own[i] != iteration) ok = push(own[i]);
    }
    while (ok && depth > 0) {
        SketchObject* o = stack[--depth];
        int32_t n = 0;
        SketchObject* const* own = ParentItems(o, &n);
        for (int32_t i = 0; i < n && ok; ++i) ok = push(own[i]);
    }
    FreeMemory(stack);
    // Without memory for the walk the whole chain stays: it is only slower.
    if (!ok) return;
    PtrList list = iteration->parents;
    for (int32_t i = count - 1; i >= chainBase; --i) {
        auto* o = static_cast<SketchObject*>(PtrListItem(list, i));
        if (o->traversalStamp == g) continue;
        void** items = PtrListData(list);
        std::memmove(items + i, items + i + 1, sizeof(void*) * size_t(count - 1 - i));
        --count;
        PtrListSetCount(list, count);
        PtrListRemove(o->children, iteration, true);
    }
}

}  // namespace

SketchObject* BuildIteration(IterationBuild* b) {
    b->hasNonPointImages = b->hasPointImages = b->hasTable = 0;
    const int32_t n = b->seedCount, m = b->mapCount;
    if (n <= 0 || m <= 0) return nullptr;
    SketchObject* conflict = nullptr;
    for (int32_t i = 0; i < n; ++i) b->entries[i]->tempLink = nullptr;
    SketchObject* chain = IterationDependents(b->entries, n, &conflict);
    if (!chain) return nullptr;

    PtrList parents = 0;
    bool ok = true;
    if (b->depthValue) ok = AppendParent(&parents, b->depthValue);
    for (int32_t i = 0; i < n * (m + 1) && ok; ++i) ok = AppendParent(&parents, b->entries[i]);
    for (SketchObject* o = chain; o && ok; o = o->tempLink)
        if (!(ConstructionTypeTable[o->constructionType].flags & kTypeNotIterated)) ok = AppendParent(&parents, o);
    if (!ok) {
        FreePtrList(&parents);
        return nullptr;
    }

    IterationParameters p{};
    p.seedCount = uint16_t(n);
    p.mapCount = uint16_t(m);
    p.depth = b->depthValue ? DepthFromValue(b->depthValue, m) : b->depth;
    p.finalOnly = b->finalOnly ? 1 : 0;
    p.randomOnPaths = b->randomOnPaths ? 1 : 0;
    p.seed = DrawIterationSeed();
    const int32_t type = b->depthValue ? kTypeIterationRuleDepth : kTypeIterationRule;
    uint8_t record[kIterationRecordBytes];
    EncodeIterationRecord(p, record);
    SketchObject* iteration = ConstructObject(type, record, parents, 0, true, false, nullptr);
    if (!iteration) return nullptr;

    // The images: one for each shown geometric object of the chain that is not a seed.
    int32_t count = 0;
    ParentItems(iteration, &count);
    const int32_t chainBase = IterationChainBase(iteration);
    PtrList tableParents = 0;
    bool failed = false;
    bool anyMade = false;
    for (int32_t i = chainBase; i < count && !failed; ++i) {
        auto* o = static_cast<SketchObject*>(PtrListItem(iteration->parents, i));
        if (o->hidden != kShown) continue;
        if (IsGeometric(o)) {
            if (o->objectClass == kClassPoint) {
                b->hasPointImages = 1;
                if (b->nonPointImagesOnly) continue;
            } else {
                b->hasNonPointImages = 1;
            }
            PtrList imageParents = 0;
            if (!AppendParent(&imageParents, o) || !AppendParent(&imageParents, iteration)) {
                FreePtrList(&imageParents);
                failed = true;
                break;
            }
            SketchObject* image = ConstructObject(kTypeIteratedImage, nullptr, imageParents, 0, true, false, nullptr);
            if (!image) {
                failed = true;
                break;
            }
            image->hidden = o->hidden;
            if (b->preview) image->stateFlags |= kObjectPreview;
            anyMade = true;
        } else if (IsTabulatable(o)) {
            b->hasTable = 1;
            if (b->tabulate) {
                if (!tableParents && !AppendParent(&tableParents, iteration)) failed = true;
                else if (!AppendParent(&tableParents, o)) failed = true;
            }
        }
    }
    if (!failed && tableParents) {
        SketchObject* table = ConstructObject(kTypeIterationTable, nullptr, tableParents, 0, true, false, nullptr);
        tableParents = 0;
        if (!table) failed = true;
        else anyMade = true;
    }
    FreePtrList(&tableParents);
    if (failed || !anyMade) {
        DestroyIterationObjects(iteration);
        return nullptr;
    }
    FitIterationDepth(iteration, IterationDataOf(iteration)->parameters.depth);
    if (b->preview) return iteration;

    TrimChain(iteration);
    // One undo step: the children in order, then the iteration.
    int32_t childCount = 0;
    SketchObject* const* children = ChildItems(iteration, &childCount);
    SketchObject* head = nullptr;
    SketchObject* tail = nullptr;
    for (int32_t c = 0; c < childCount; ++c) {
        SketchObject* child = children[c];
        child->tempLink = nullptr;
        if (tail) tail->tempLink = child;
        else head = child;
        tail = child;
    }
    iteration->tempLink = nullptr;
    if (tail) tail->tempLink = iteration;
    else head = iteration;
    const UndoDescriptor descriptor{ kUndoNameConstruct, kUndoNounWorkedOut, 0, nullptr };
    if (UndoRecordObjectList(&descriptor, head, false) != kResultOK) {
        DestroyIterationObjects(iteration);
        return nullptr;
    }
    return iteration;
}

// ---- Properties and keys

namespace {

struct PropertyBatch {
    int32_t open;
    int32_t recompute;
    int32_t redraw;
    SketchObject* iteration;
};
PropertyBatch gBatch{};

void RedrawIterationChildren(SketchObject* iteration) {
    int32_t count = 0;
    SketchObject* const* children = ChildItems(iteration, &count);
    for (int32_t c = 0; c < count; ++c) AddObjectToDirtyRect(children[c]);
}

void RecomputeIterationAndDependents(SketchObject* iteration) {
    iteration->tempLink = nullptr;
    SketchObject* head = iteration;
    RedrawIterationChildren(iteration);
    CollectDependents(&head, true);
    RecomputeObjects(head, true, nullptr);
    RedrawIterationChildren(iteration);
}

void Apply(SketchObject* iteration, bool recompute, bool redraw) {
    if (gBatch.open) {
        gBatch.iteration = iteration;
        gBatch.recompute |= recompute;
        gBatch.redraw |= redraw;
        return;
    }
    if (recompute) RecomputeIterationAndDependents(iteration);
    else if (redraw) RedrawIterationChildren(iteration);
}

}  // namespace

void SetIterationProperty(SketchObject* iteration, int32_t property, int32_t value) {
    if (!iteration || iteration->objectClass != kClassIteration) return;
    IterationParameters& p = IterationDataOf(iteration)->parameters;
    const bool given = iteration->givenIndex != -1;
    const bool onPaths = IterationDataOf(iteration)->pathState != nullptr;
    switch (property) {
        case kIterationDepth:
            if (value == p.depth) return;
            if (given) {
                p.depth = value;
                return;
            }
            FitIterationDepth(iteration, value);
            Apply(iteration, true, false);
            return;
        case kIterationFinalOnly:
            if ((value != 0) == (p.finalOnly != 0)) return;
            p.finalOnly = value ? 1 : 0;
            if (!given) Apply(iteration, false, true);
            return;
        case kIterationSeed:
            if (value == 0) value = DrawIterationSeed();
            if (value == p.seed) return;
            p.seed = value;
            if (!given && p.randomOnPaths && onPaths) Apply(iteration, true, false);
            return;
        case kIterationRandomOnPaths:
            if ((value != 0) == (p.randomOnPaths != 0)) return;
            p.randomOnPaths = value ? 1 : 0;
            if (!given && onPaths) Apply(iteration, true, false);
            return;
        case kIterationBeginBatch:
            gBatch = PropertyBatch{ 1, 0, 0, nullptr };
            return;
        case kIterationEndBatch: {
            const PropertyBatch batch = gBatch;
            gBatch = PropertyBatch{};
            if (batch.iteration) Apply(batch.iteration, batch.recompute != 0, batch.redraw != 0);
            return;
        }
        default:
            return;
    }
}

bool IterationKeyStep(int32_t property, int32_t delta) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return false;
    bool changed = false;
    StampedVisits visits(&sketch->traversalGeneration);
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        SketchObject* iteration = IterationOf(o);
        if (!iteration || visits.Seen(iteration)) continue;
        if (!visits.Mark(iteration)) break;
        const IterationData* d = IterationDataOf(iteration);
        if (property == kIterationDepth) {
            const int32_t depth = d->parameters.depth + delta;
            if (depth <= 0) continue;
            SetIterationProperty(iteration, kIterationDepth, depth);
            changed = true;
        } else if (property == kIterationSeed) {
            if (!d->pathState) continue;
            if (d->parameters.randomOnPaths) SetIterationProperty(iteration, kIterationSeed, 0);
            else SetIterationProperty(iteration, kIterationRandomOnPaths, 1);
            changed = true;
        } else {
            SetIterationProperty(iteration, property, delta);
            changed = true;
        }
    }
    return changed;
}
