#include "engine/core/locus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "engine/core/angle_constants.h"
#include "engine/core/copy_map.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/points.h"
#include "engine/core/print_state.h"
#include "engine/core/random.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch.h"
#include "engine/core/units.h"

namespace SR = SampleRecord;

// A stored locus whose parents make no locus: damaged data, as the document code says.
constexpr ResultCode kResultLocusDamaged = 35;

namespace {

// The handle size has no position of its own among the drawing metrics: an end that
// carries a handle reserves this much room around its sample, the size handles are drawn.
constexpr int32_t kLocusHandleRoom = 8;

// A jump between samples: more than this many pixels against the previous step.
constexpr int32_t kJumpPixels = 30;
constexpr int32_t kMaxRefineSteps = 50;
constexpr int32_t kMaxTangentHalvings = 9;
// Loci of the locus path row are evaluated this many at a time between put-backs.
constexpr int32_t kPathBatch = 15;
// No sample array may come near the address space of the 32-bit program.
constexpr uint64_t kMaxSampleBytes = uint64_t(1) << 28;


uint64_t ReadLE(const uint8_t* p, int32_t bytes) {
    uint64_t v = 0;
    for (int32_t i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}
void WriteLE(uint8_t* p, uint64_t v, int32_t bytes) {
    for (int32_t i = 0; i < bytes; ++i) p[i] = uint8_t(v >> (8 * i));
}
double RealFrom(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}
uint64_t BitsOf(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return bits;
}

SketchObject* ParentAt(const SketchObject* o, int32_t i) {
    return static_cast<SketchObject*>(PtrListItem(o->parents, i));
}

// The parents of a traced locus: traced object, path, driver, then the chain after the
// driver up to the traced object.
struct TraceChain {
    SketchObject* const* parents;
    int32_t count;
    SketchObject* traced;
    SketchObject* path;
    SketchObject* driver;
};

bool ChainOf(SketchObject* locus, TraceChain* c) {
    int32_t n = 0;
    void** items = PtrListItems(locus->parents, &n);
    if (n < 4 || !items) return false;
    c->parents = reinterpret_cast<SketchObject* const*>(items);
    c->count = n;
    c->traced = c->parents[0];
    c->path = c->parents[1];
    c->driver = c->parents[2];
    return c->driver->objectClass == kClassPoint && PathMethodsOf(c->path) != nullptr;
}

void RecomputeChain(const TraceChain& c) {
    RecomputeObjectRun(c.parents + 3, c.count - 3);
}

// The part of the chain the traced object depends on, in chain order, the traced object
// last: a sample needs no other object's geometry, and the full chain is recomputed once
// when the driver is put back. *plain tells that every one is a point, straight or
// circle, so that a sample can leave the screen extents of all but the traced one
// alone. Answers an AllocMemory block of *count objects, or null (no memory, or nothing
// to leave out) when the whole chain is to be run.
SketchObject** TracedAncestors(const TraceChain& c, int32_t* count, bool* plain) {
    const int32_t n = c.count - 3;
    SketchObject* const* chain = c.parents + 3;
    *count = 0;
    *plain = false;
    if (n <= 1) return nullptr;
    struct Slot {
        const SketchObject* object;
        int32_t index;
    };
    const size_t bytes = size_t(n) * (sizeof(Slot) + sizeof(SketchObject*) + 1);
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(bytes, 0));
    if (!block) return nullptr;
    SketchObject** run = reinterpret_cast<SketchObject**>(block);
    Slot* slots = reinterpret_cast<Slot*>(block + size_t(n) * sizeof(SketchObject*));
    uint8_t* needed = block + size_t(n) * (sizeof(SketchObject*) + sizeof(Slot));
    for (int32_t i = 0; i < n; ++i) slots[i] = { chain[i], i };
    const auto before = [](const Slot& a, const Slot& b) { return std::less<const SketchObject*>()(a.object, b.object); };
    std::sort(slots, slots + n, before);
    const auto indexOf = [&](const SketchObject* o) {
        const Slot* at = std::lower_bound(slots, slots + n, Slot{ o, 0 }, before);
        return at != slots + n && at->object == o ? at->index : -1;
    };
    std::memset(needed, 0, size_t(n));
    const int32_t tracedAt = indexOf(c.traced);
    if (tracedAt < 0) {
        FreeMemory(block);
        return nullptr;
    }
    needed[tracedAt] = 1;
    for (int32_t i = tracedAt; i >= 0; --i) {
        if (!needed[i]) continue;
        int32_t parentCount = 0;
        void** parents = PtrListItems(chain[i]->parents, &parentCount);
        for (int32_t k = 0; k < parentCount; ++k) {
            const int32_t j = indexOf(static_cast<const SketchObject*>(parents[k]));
            if (j >= 0) needed[j] = 1;
        }
    }
    // The traced object too must be of these classes: their updates read only the
    // geometry of their parents, never the extents left alone.
    int32_t kept = 0;
    bool simple = true;
    for (int32_t i = 0; i <= tracedAt; ++i) {
        if (!needed[i]) continue;
        run[kept++] = chain[i];
        const int32_t cls = chain[i]->objectClass;
        simple = simple && (cls == kClassPoint || cls == kClassStraight || cls == kClassCircle);
    }
    if (kept == n && !simple) {
        FreeMemory(block);
        return nullptr;
    }
    *count = kept;
    *plain = simple;
    return run;
}

struct SavedDriver {
    RealPoint position;
    int32_t exists;
};
SavedDriver SaveDriver(SketchObject* driver) { return { PointPosition(driver), driver->exists }; }
void PutDriverBack(const TraceChain& c, const SavedDriver& saved) {
    ClassData<PointData>(c.driver)->position = saved.position;
    c.driver->exists = saved.exists;
    RecomputeChain(c);
}

RealPoint Printed(RealPoint p) {
    double scale, ox, oy;
    PrintPageMap(&scale, &ox, &oy);
    return { (p.x + ox) * scale, (p.y + oy) * scale };
}

bool IsPlot(const SketchObject* locus) { return locus->constructionType == kTypeFunctionPlot; }

int32_t FamilyOfClass(int32_t objectClass) {
    return objectClass >= 0 && objectClass < kClassCount ? ObjectClassTable[objectClass].shapeFamily : 6;
}

uint8_t* SampleAt(const SketchObject* locus, int32_t i) {
    const LocusData* L = LocusDataOf(locus);
    return L->samples + size_t(i) * L->sampleSize;
}

void SetSampleState(SketchObject* locus, int32_t i, uint32_t state) { SetRecordField(SampleAt(locus, i), SR::kLocusState, state); }
bool SampleExists(const SketchObject* locus, int32_t i) { return LocusSampleState(locus, i) != kSampleMissing; }

void GrowToPoint(ScreenRect* r, ScreenPoint p) {
    ScreenRectUnion({ p.x, p.y, int16_t(std::min(p.x + 1, 32767)), int16_t(std::min(p.y + 1, 32767)) }, r);
}

// A plot's point for a function value at an argument (both in internal units: radians
// for the angle of the polar forms), in screen space; false when it is not a number.
bool PlotPoint(int32_t form, double argument, double value, RealPoint o, double sx, double sy, RealPoint* out) {
    double x, y;
    switch (form) {
    case kPlotXofY: x = value; y = argument; break;
    case kPlotROfTheta:
        x = value * std::cos(argument);
        y = value * std::sin(argument);
        break;
    case kPlotThetaOfR: {
        double a = value;
        AngleToRadians(&a, CurrentSketchAngleUnit());
        x = argument * std::cos(a);
        y = argument * std::sin(a);
        break;
    }
    default: x = argument; y = value; break;
    }
    *out = { o.x + sx * x, o.y - sy * y };
    return std::isfinite(out->x) && std::isfinite(out->y);
}

// Radians to the sketch's angle unit keeping the sign: the polar form's angles may be
// negative, and an undirected unit would plot f(|theta|).
double ToAngleUnitsSigned(double radians) { return RadiansToAngleUnits(&radians, true); }

bool FunctionPoint(SketchObject* plot, double argument, RealPoint* out) {
    SketchObject* function = ParentAt(plot, 0);
    SketchObject* system = ParentAt(plot, 1);
    if (!function || !system) return false;
    RealPoint o;
    double sx, sy;
    if (!CoordinateFrame(system, &o, &sx, &sy)) return false;
    const int32_t form = LocusDataOf(plot)->form;
    const double given = form == kPlotROfTheta ? ToAngleUnitsSigned(argument) : argument;
    double value;
    if (!FunctionValueAt(function, given, &value) || !std::isfinite(value)) return false;
    if (!PlotPoint(form, argument, value, o, sx, sy, out)) return false;
    if (PrintPassRunning()) *out = Printed(*out);
    return true;
}

}  // namespace

// ---- The stored record

void LocusFieldsFromRecord(const uint8_t* record, LocusData* L) {
    L->lo = RealFrom(ReadLE(record, 8));
    L->hi = RealFrom(ReadLE(record + 8, 8));
    L->sampleCount = int32_t(uint32_t(ReadLE(record + 16, 4)));
    L->form = int32_t(ReadLE(record + 20, 2));
    L->ends = int32_t(ReadLE(record + 22, 2));
    L->drawOption = ReadLE(record + 24, 2) != 0 ? 1 : 0;
}

void LocusFieldsToRecord(const LocusData* L, uint8_t* record) {
    std::memset(record, 0, kLocusRecordBytes);
    WriteLE(record, BitsOf(L->lo), 8);
    WriteLE(record + 8, BitsOf(L->hi), 8);
    WriteLE(record + 16, uint32_t(L->sampleCount), 4);
    WriteLE(record + 20, uint16_t(L->form), 2);
    WriteLE(record + 22, uint16_t(L->ends), 2);
    WriteLE(record + 24, L->drawOption != 0 ? 1 : 0, 2);
}

// ---- Samples

ScreenPoint LocusSamplePoint(const SketchObject* locus, int32_t index) { return LocusRecordPoint(SampleAt(locus, index)); }
RealPoint LocusSamplePosition(const SketchObject* locus, int32_t index) {
    return LocusRecordPosition(SampleAt(locus, index));
}
double LocusSampleParameter(const SketchObject* locus, int32_t index) {
    return RecordField<double>(SampleAt(locus, index), SR::kLocusParameter);
}
uint32_t LocusSampleState(const SketchObject* locus, int32_t index) {
    return RecordField<uint32_t>(SampleAt(locus, index), SR::kLocusState);
}

// ---- Class routines

int32_t DefaultLocusSamples(int32_t shapeFamily, int32_t kind) {
    const Preferences& prefs = ThePreferences();
    if (shapeFamily == kFamilyPoint) return kind == kKindFunctionPlot ? prefs.plotSamples : prefs.locusSamples;
    if (shapeFamily < 0 || shapeFamily >= kShapeFamilyCount) return prefs.locusSamples;
    const ShapeFamilyRow& row = ShapeFamilyOps[shapeFamily];
    int32_t samples = row.weight * prefs.locusSamples / 16;
    if (KindIsA(kind, row.interiorKind)) samples /= 4;
    return samples;
}

int32_t ClampLocusSampleCount(int32_t count) {
    const int32_t most = std::max(ThePreferences().maxSamples, kMinLocusSamples);
    return count <= kMinLocusSamples ? kMinLocusSamples : std::min(count, most);
}

namespace {

bool AllocateSamples(SketchObject* locus) {
    LocusData* L = LocusDataOf(locus);
    const uint64_t bytes = uint64_t(uint32_t(L->sampleCount)) * L->sampleSize;
    if (bytes == 0 || bytes > kMaxSampleBytes) return false;
    L->samples = static_cast<uint8_t*>(AllocMemory(size_t(bytes), kAllocZero));
    return L->samples != nullptr;
}

// 0, 35 when the parents cannot make a locus, 100 without memory.
ResultCode SetUpLocus(SketchObject* locus, const uint8_t* record, bool allocate) {
    LocusData* L = LocusDataOf(locus);
    L->samples = nullptr;
    if (record) LocusFieldsFromRecord(record, L);
    // A range that is not a pair of numbers (a damaged record) is made afresh.
    const bool rangeGiven = record && std::isfinite(L->lo) && std::isfinite(L->hi);
    const bool playback = CurrentCloneMode() == kClonePlayback;
    Sketch* sketch = CurrentSketch();
    int32_t tracedKind = kKindPoint;
    if (IsPlot(locus)) {
        SketchObject* function = ParentAt(locus, 0);
        if (!function || !ParentAt(locus, 1)) return kResultLocusDamaged;
        if (sketch) locus->color = sketch->settings.palette[kColorSlotPlots];
        const int32_t functionForm = FunctionPlotFormOf(function);
        if (!rangeGiven || (playback && functionForm != kPlotROfTheta)) {
            DefaultPlotRange(locus, functionForm < 0 ? kPlotYofX : functionForm);
            L->ends = kPathNoEnd;
        }
        L->tracedClass = kClassPoint;
        L->perSampleColour = 0;
        tracedKind = kKindFunctionPlot;
    } else {
        TraceChain c;
        if (!ChainOf(locus, &c)) return kResultLocusDamaged;
        L->perSampleColour = c.traced->constructionType == kTypeParametricColor ? 1 : 0;
        L->tracedClass = c.traced->objectClass;
        tracedKind = c.traced->objectKind;
        if (FamilyOfClass(L->tracedClass) >= kShapeFamilyCount) return kResultLocusDamaged;
        if (!rangeGiven) {
            const PathMethods* row = PathMethodsOf(c.path);
            if (!record) {
                L->ends = row->pathFlags(c.path);
                L->form = kLocusTraceForm;
            }
            const bool hasView = sketch && UpdateSketchVisibleRect(sketch) != 0;
            row->parameterRange(c.path, hasView ? &sketch->windowRect : nullptr, &L->lo, &L->hi);
        }
    }
    if (!record) L->drawOption = 0;
    if (L->ends < kPathClosed || L->ends > kPathNoEnd) L->ends = kPathNoEnd;
    const int32_t family = FamilyOfClass(L->tracedClass);
    if (record && !playback) L->sampleCount = ClampLocusSampleCount(L->sampleCount);
    else L->sampleCount = ClampLocusSampleCount(DefaultLocusSamples(family, tracedKind));
    uint32_t dataSize = 0, recordSize = 0;
    SketchObject* traced = IsPlot(locus) ? nullptr : ParentAt(locus, 0);
    if (traced) {
        ShapeFamilyOps[family].sampleLayout(traced, kSampleForLocus, &dataSize, &recordSize);
        ShapeFamilyOps[family].sampleWriter(traced, kSampleForLocus, L->familyData);
    } else {
        recordSize = SR::kLocusPointBytes;
    }
    if (recordSize + 4 > 0xffff) return kResultLocusDamaged;
    L->sampleSize = uint16_t(recordSize + (L->perSampleColour ? 4 : 0));
    L->drawCode = L->tracedClass;
    MapLocusClassCode(&L->drawCode);
    L->startKind = L->endKind = kLocusEndNone;
    if (!allocate) return kResultOK;
    return AllocateSamples(locus) ? kResultOK : kResultOutOfMemory;
}

struct LocusEnumeration {
    SketchObject* locus;
};

bool EnumerateSamples(void* user, SampleCallbackFn callback, void* state) {
    SketchObject* locus = static_cast<SketchObject*>(user);
    const LocusData* L = LocusDataOf(locus);
    if (!L->samples) return false;
    for (int32_t i = 0; i < L->sampleCount; ++i)
        if (!callback(state, SampleAt(locus, i), i)) return true;
    if (L->ends == kPathClosed && L->sampleCount > 0 && !callback(state, L->samples, 0)) return true;
    return false;
}

const ShapeFamilyRow* RowOf(const SketchObject* locus) {
    const int32_t family = FamilyOfClass(LocusDataOf(locus)->tracedClass);
    return family < kShapeFamilyCount ? &ShapeFamilyOps[family] : nullptr;
}

}  // namespace

int32_t LocusInitExtra(SketchObject* locus, void* parameter) {
    if (!locus) return 1;  // the parameter is the caller's
    return SetUpLocus(locus, static_cast<const uint8_t*>(parameter), true) == kResultOK ? 1 : 0;
}

ResultCode FinishReadLocus(SketchObject* locus, bool partialSketch) {
    uint8_t record[kLocusRecordBytes];
    LocusFieldsToRecord(LocusDataOf(locus), record);
    return SetUpLocus(locus, record, !partialSketch);
}

void LocusFreeExtra(SketchObject* locus) {
    LocusData* L = LocusDataOf(locus);
    FreeMemory(L->samples);
    L->samples = nullptr;
}

bool LocusHasOwnLabel(const SketchObject* locus) { return LocusDataOf(locus)->tracedClass == kClassPoint; }

bool LocusDrawnAsCurve(const SketchObject* locus) {
    return locus->objectClass == kClassLocus && LocusDataOf(locus)->drawOption == 0;
}

bool LocusHasMarkedEnds(const SketchObject* locus) {
    if (locus->objectClass != kClassLocus) return false;
    const LocusData* L = LocusDataOf(locus);
    return L->ends != kPathClosed && (L->startKind != kLocusEndNone || L->endKind != kLocusEndNone);
}

int32_t LocusDrawLayer(const SketchObject* locus) {
    const int32_t traced = LocusDataOf(locus)->tracedClass;
    if (traced < 0 || traced >= kClassCount || traced == kClassLocus) return ObjectClassTable[kClassPoint].drawLayer;
    const int32_t layer = ObjectClassTable[traced].drawLayer;
    return layer < kDrawLayerCount ? layer : ObjectClassTable[kClassStraight].drawLayer;
}

void DrawLocus(GraphicsPort* port, SketchObject* locus) {
    const ShapeFamilyRow* row = RowOf(locus);
    if (row && LocusDataOf(locus)->samples)
        row->draw(port, locus, LocusDataOf(locus)->familyData, EnumerateSamples, locus);
}

void DrawLocusSelected(GraphicsPort* port, SketchObject* locus) {
    const ShapeFamilyRow* row = RowOf(locus);
    if (row && LocusDataOf(locus)->samples)
        row->drawSelected(port, locus, LocusDataOf(locus)->familyData, EnumerateSamples, locus);
}

void DrawLocusScaled(GraphicsPort* port, SketchObject* locus, const OutputScale*) {
    const ShapeFamilyRow* row = RowOf(locus);
    LocusData* L = LocusDataOf(locus);
    if (!row || !L->samples) return;
    if (!PrintPassRunning()) {
        row->draw(port, locus, L->familyData, EnumerateSamples, locus);
        return;
    }
    const int32_t oldCount = L->sampleCount;
    const int32_t multiplier = ThePreferences().exportQuality;
    bool resampled = false;
    if (L->tracedClass == kClassPoint && multiplier > 1) {
        const int64_t wanted = int64_t(oldCount) * multiplier;
        resampled = wanted <= INT32_MAX && ResizeLocusSamples(locus, int32_t(wanted));
    }
    if (!resampled) RecomputeObject(locus, nullptr, false);
    row->drawScaled(port, locus, L->familyData, EnumerateSamples, locus);
    // The screen's samples come back with the print pass switched off for the rebuild.
    EnginePrintState& print = PrintState();
    const int32_t printing = print.printing;
    print.printing = 0;
    if (!resampled || !ResizeLocusSamples(locus, oldCount)) RecomputeObject(locus, nullptr, false);
    print.printing = printing;
}

bool LocusHitTest(ScreenPoint point, SketchObject* locus) {
    const ShapeFamilyRow* row = RowOf(locus);
    if (!row || !LocusDataOf(locus)->samples) return false;
    return row->hitTest(point, locus, LocusDataOf(locus)->familyData, EnumerateSamples, locus);
}

bool LocusHitTestRect(const ScreenRect* rect, SketchObject* locus) {
    const ShapeFamilyRow* row = RowOf(locus);
    if (!row || !LocusDataOf(locus)->samples) return false;
    if (!row->hitTestRect) return InRectByBounds(rect, locus);
    return row->hitTestRect(rect, locus, LocusDataOf(locus)->familyData, EnumerateSamples, locus);
}

// ---- Evaluation

double LocusNormalizeParameter(double parameter, const SketchObject* locus) {
    const LocusData* L = LocusDataOf(locus);
    // A collapsed range has every parameter at its one point.
    return L->hi != L->lo ? (parameter - L->lo) / (L->hi - L->lo) : 0.0;
}

void LocusEvaluateAt(SketchObject* locus, double parameter, RealPoint* point, int32_t* exists) {
    *exists = 0;
    if (IsPlot(locus)) {
        *exists = FunctionPoint(locus, parameter, point) ? 1 : 0;
        return;
    }
    TraceChain c;
    if (!ChainOf(locus, &c)) return;
    RealPoint at{};
    int32_t there = 0;
    PathMethodsOf(c.path)->pointAtParameter(c.path, parameter, &at, &there);
    if (!there) return;
    ClassData<PointData>(c.driver)->position = at;
    c.driver->exists = 1;
    RecomputeChain(c);
    *exists = c.traced->exists == 1 ? 1 : 0;
    *point = *ClassData<RealPoint>(c.traced);
    if (PrintPassRunning()) *point = Printed(*point);
}

void LocusPointAt(SketchObject* locus, double t, RealPoint* point, int32_t* exists) {
    const LocusData* L = LocusDataOf(locus);
    const double parameter = L->lo + t * (L->hi - L->lo);
    if (IsPlot(locus)) {
        LocusEvaluateAt(locus, parameter, point, exists);
        return;
    }
    TraceChain c;
    *exists = 0;
    if (!ChainOf(locus, &c)) return;
    const SavedDriver saved = SaveDriver(c.driver);
    ++NestedEvaluationDepth;
    LocusEvaluateAt(locus, parameter, point, exists);
    PutDriverBack(c, saved);
    --NestedEvaluationDepth;
}

// ---- Joining samples

bool SharpTurn(int32_t a, int32_t b, int32_t c, int32_t d) {
    const int64_t A = a, B = b, C = c, D = d;
    if ((A != 0 && 10 * std::llabs(A) < std::llabs(C)) || (B != 0 && 10 * std::llabs(B) < std::llabs(D)) ||
        (A == 0 && B == 0))
        return true;
    const int64_t dot = A * C + B * D;
    if (dot < 0) return true;
    return 5 * dot < 3 * std::llabs(A * D - B * C);
}

namespace {

bool IsJump(int32_t dx, int32_t dy, int32_t pdx, int32_t pdy) {
    const bool xJump = std::abs(dx) > kJumpPixels && ((dx > 0 && pdx <= 0) || (dx < 0 && pdx >= 0));
    const bool yJump = std::abs(dy) > kJumpPixels && ((dy > 0 && pdy <= 0) || (dy < 0 && pdy >= 0));
    return xJump || yJump;
}

// Refines the edge between samples `sample` and `previous`, reading `sample`'s parameter
// shifted by `shift` (the closed wrap reads the first sample one period on).
void RefineEdge(SketchObject* locus, int32_t sample, int32_t previous, double shift, ScreenRect* bounds) {
    const bool sampleExists = SampleExists(locus, sample);
    if (sampleExists == SampleExists(locus, previous)) return;
    const int32_t e = sampleExists ? sample : previous;
    const int32_t n = sampleExists ? previous : sample;
    double pe = LocusSampleParameter(locus, e) + (e == sample ? shift : 0.0);
    double pn = LocusSampleParameter(locus, n) + (n == sample ? shift : 0.0);
    RealPoint good = LocusSamplePosition(locus, e);
    ++NestedEvaluationDepth;
    for (int32_t k = 0; k < kMaxRefineSteps; ++k) {
        const double mid = (pe + pn) / 2;
        RealPoint p{};
        int32_t exists = 0;
        LocusEvaluateAt(locus, mid, &p, &exists);
        if (exists) {
            pe = mid;
            const double move = (p.x - good.x) * (p.x - good.x) + (p.y - good.y) * (p.y - good.y);
            good = p;
            if (move <= 0.0001 || move >= 10000) break;
        } else {
            pn = mid;
        }
    }
    --NestedEvaluationDepth;
    uint8_t* r = SampleAt(locus, e);
    PutLocusRecordPosition(r, good);
    SetRecordField(r, SR::kLocusParameter, pe - (e == sample ? shift : 0.0));
    GrowToPoint(bounds, { RoundToScreen(good.x), RoundToScreen(good.y) });
}

// Joins `i` to the existing sample before it, q, by the jump rule; `before` tells whether
// the sample before q exists (for the retroactive join of q).
void JoinStep(SketchObject* locus, int32_t i, int32_t q, bool qIsRunStart, bool before, int32_t* pdx, int32_t* pdy) {
    const ScreenPoint a = LocusSamplePoint(locus, q), b = LocusSamplePoint(locus, i);
    const int32_t dx = b.x - a.x, dy = b.y - a.y;
    if (!(IsJump(dx, dy, *pdx, *pdy) && SharpTurn(*pdx, *pdy, dx, dy))) {
        SetSampleState(locus, i, kSampleRunGoes);
        if (qIsRunStart && before && !SharpTurn(dx, dy, *pdx, *pdy)) SetSampleState(locus, q, kSampleRunGoes);
    }
    *pdx = dx;
    *pdy = dy;
}

}  // namespace

void LocusRefineEdge(SketchObject* locus, int32_t sample, int32_t previous, ScreenRect* bounds) {
    RefineEdge(locus, sample, previous, 0.0, bounds);
}

void LocusJoinSamples(SketchObject* locus, int32_t first, int32_t last, ScreenRect* bounds) {
    LocusData* L = LocusDataOf(locus);
    if (!L->samples || last < first) return;
    const bool closed = L->ends == kPathClosed;
    int32_t pdx = 0, pdy = 0;
    if (closed) {
        const ScreenPoint a = LocusSamplePoint(locus, first), b = LocusSamplePoint(locus, last);
        pdx = a.x - b.x;
        pdy = a.y - b.y;
    }
    int32_t q = -1;
    for (int32_t i = first; i <= last; ++i) {
        if (i > first) RefineEdge(locus, i, i - 1, 0.0, bounds);
        if (!SampleExists(locus, i)) {
            pdx = pdy = 0;
            q = -1;
            continue;
        }
        if (q >= 0) {
            const bool runStart = q == i - 1 && LocusSampleState(locus, q) == kSampleRunStart;
            const bool before = q - 1 >= first && SampleExists(locus, q - 1);
            JoinStep(locus, i, q, runStart, before, &pdx, &pdy);
        }
        q = i;
    }
    if (closed && last > first) {
        RefineEdge(locus, first, last, L->hi - L->lo, bounds);
        if (SampleExists(locus, first) && SampleExists(locus, last)) {
            const bool runStart = LocusSampleState(locus, last) == kSampleRunStart;
            const bool before = SampleExists(locus, last - 1);
            const ScreenPoint a = LocusSamplePoint(locus, last), b = LocusSamplePoint(locus, first);
            const int32_t dx = b.x - a.x, dy = b.y - a.y;
            if (!(IsJump(dx, dy, pdx, pdy) && SharpTurn(pdx, pdy, dx, dy))) {
                SetSampleState(locus, first, kSampleRunGoes);
                if (runStart && before && !SharpTurn(dx, dy, pdx, pdy)) SetSampleState(locus, last, kSampleRunGoes);
            }
        }
    }
    if (closed) {
        L->startKind = L->endKind = kLocusEndNone;
        return;
    }
    const int32_t firstKind = SampleExists(locus, first) ? kLocusEndAtSample : kLocusEndNone;
    const int32_t lastKind = SampleExists(locus, last) ? kLocusEndAtSample : kLocusEndNone;
    if (L->ends == kPathTwoEnds) {
        L->startKind = firstKind;
        L->endKind = lastKind;
        return;
    }
    const double step = (L->hi - L->lo) / (2.0 * L->sampleCount);
    if (L->ends == kPathNoEnd || L->lo != 0) LocusEndDirection(locus, true, step, bounds);
    else L->startKind = firstKind;
    LocusEndDirection(locus, false, step, bounds);
}

bool LocusTangentAt(SketchObject* locus, int32_t sample, double step, RealPoint* after, RealPoint* before,
                    bool normalized) {
    const double parameter = LocusSampleParameter(locus, sample);
    for (int32_t k = 0; k <= kMaxTangentHalvings; ++k, step /= 2) {
        int32_t e1 = 0, e2 = 0;
        if (normalized) {
            LocusPointAt(locus, LocusNormalizeParameter(parameter - step, locus), before, &e1);
            LocusPointAt(locus, LocusNormalizeParameter(parameter + step, locus), after, &e2);
        } else {
            LocusEvaluateAt(locus, parameter - step, before, &e1);
            LocusEvaluateAt(locus, parameter + step, after, &e2);
        }
        if (e1 && e2 && std::fabs(after->x - before->x) < 10 && std::fabs(after->y - before->y) < 10) return true;
    }
    return false;
}

void LocusEndDirection(SketchObject* locus, bool start, double step, ScreenRect* bounds) {
    LocusData* L = LocusDataOf(locus);
    const int32_t sample = start ? 0 : L->sampleCount - 1;
    int32_t& kind = start ? L->startKind : L->endKind;
    double& direction = start ? L->startDirection : L->endDirection;
    kind = kLocusEndNone;
    if (!SampleExists(locus, sample)) return;
    RealPoint after{}, before{};
    if (!LocusTangentAt(locus, sample, step, &after, &before, false)) return;
    const RealPoint inner = start ? after : before;
    const RealPoint outer = start ? before : after;
    // Points that coincide (a collapsed range) leave the direction at 0.
    double angle = 0;
    PointLineRelation({ inner.x + 1, inner.y }, inner, outer, &angle, nullptr, nullptr, nullptr, nullptr);
    direction = angle;
    kind = kLocusEndGoesOn;
    const ScreenPoint p = LocusSamplePoint(locus, sample);
    ScreenRectUnion({ int16_t(std::max(p.x - kLocusHandleRoom, -32768)), int16_t(std::max(p.y - kLocusHandleRoom, -32768)),
                      int16_t(std::min(p.x + kLocusHandleRoom, 32767)), int16_t(std::min(p.y + kLocusHandleRoom, 32767)) },
                    bounds);
}

// ---- Updates

namespace {

struct TraceRun {
    SketchObject* locus;
    LocusData* L;
    TraceChain chain;
    SketchObject* const* ancestors;  // what each sample recomputes; null: the whole chain
    int32_t ancestorCount;
    bool plainAncestors;             // all but the traced object keep their screen extents
    SampleWriterFn writer;
    uint8_t* cursor;
    int32_t index;
    bool useCore;
    ScreenRect bounds;
    ScreenRect core;
};

int32_t TraceSample(void* user, double parameter, RealPoint point, int32_t exists) {
    TraceRun* run = static_cast<TraceRun*>(user);
    if (run->index >= run->L->sampleCount) return 0;
    SketchObject* driver = run->chain.driver;
    ClassData<PointData>(driver)->position = point;
    driver->exists = exists;
    if (!run->ancestors) {
        RecomputeChain(run->chain);
    } else if (run->plainAncestors) {
        RecomputeGeometryRun(run->ancestors, run->ancestorCount - 1);
        RecomputeObjectRun(run->ancestors + run->ancestorCount - 1, 1);
    } else {
        RecomputeObjectRun(run->ancestors, run->ancestorCount);
    }
    SketchObject* traced = run->chain.traced;
    const SampleWriteContext context{ parameter };
    uint8_t* start = run->cursor;
    run->writer(traced, &context, start);
    if (run->L->perSampleColour) SetRecordField<uint32_t>(start, run->L->sampleSize - 4, traced->color);
    run->cursor = start + run->L->sampleSize;
    if (traced->exists == 1) {
        ScreenRectUnion(traced->bounds, &run->bounds);
        if (run->useCore) ScreenRectUnion(traced->coreBounds, &run->core);
    }
    ++run->index;
    return 1;
}

}  // namespace

void UpdatePointLocus(SketchObject* locus, SketchObject* const*) {
    LocusData* L = LocusDataOf(locus);
    TraceRun run{};
    run.locus = locus;
    run.L = L;
    if (!L->samples || !ChainOf(locus, &run.chain) || run.chain.path->exists != 1) {
        locus->exists = 0;
        return;
    }
    const TraceChain& c = run.chain;
    const PathMethods* path = PathMethodsOf(c.path);
    const SavedDriver saved = SaveDriver(c.driver);
    if (c.driver->exists == 1 && c.driver->constructionType == kTypePointOnPath && ParentAt(c.driver, 0) == c.path &&
        (L->ends == kPathOneEnd || L->ends == kPathNoEnd)) {
        RealPoint nearest{};
        double t = 0;
        path->parameterOfPoint(c.path, saved.position, &nearest, &t, nullptr);
        if (t < L->lo) L->lo = t;
        if (t > L->hi) L->hi = t;
    }
    ++NestedEvaluationDepth;
    const int32_t family = FamilyOfClass(L->tracedClass);
    run.writer = family < kShapeFamilyCount ? ShapeFamilyOps[family].sampleWriter(c.traced, kSampleForLocus, L->familyData)
                                            : nullptr;
    run.useCore = ObjectClassTable[c.traced->objectClass].usesCoreExtent != 0;
    run.bounds = run.core = kEmptyScreenRect;
    run.cursor = L->samples;
    if (run.writer) {
        SketchObject** ancestors = TracedAncestors(c, &run.ancestorCount, &run.plainAncestors);
        run.ancestors = ancestors;
        std::memset(L->samples, 0, size_t(L->sampleCount) * L->sampleSize);
        path->sampleParameters(c.path, L->sampleCount, L->lo, L->hi, TraceSample, &run);
        FreeMemory(ancestors);
        if (L->tracedClass == kClassPoint) LocusJoinSamples(locus, 0, L->sampleCount - 1, &run.bounds);
    }
    if (!run.useCore) run.core = run.bounds;
    PutDriverBack(c, saved);
    --NestedEvaluationDepth;
    if (!PrintPassRunning()) {
        locus->bounds = run.bounds;
        locus->coreBounds = run.core;
    }
    locus->exists = ScreenRectIsEmpty(run.bounds) ? 0 : 1;
}

void GrowPlotBounds(ScreenRect* bounds) {
    // Edges already beyond these would leave the 16-bit range; they stay.
    if (bounds->left >= -32763) bounds->left = int16_t(bounds->left - 5);
    if (bounds->top >= -32763) bounds->top = int16_t(bounds->top - 5);
    if (bounds->right <= 32762) bounds->right = int16_t(bounds->right + 5);
    if (bounds->bottom <= 32762) bounds->bottom = int16_t(bounds->bottom + 5);
}

void UpdateFunctionPlot(SketchObject* plot, SketchObject* const* parents) {
    LocusData* L = LocusDataOf(plot);
    SketchObject* function = parents[0];
    SketchObject* system = parents[1];
    RealPoint o;
    double sx, sy;
    if (!L->samples || !CoordinateFrame(system, &o, &sx, &sy)) {
        plot->exists = 0;
        return;
    }
    const int32_t form = FunctionPlotFormOf(function);
    L->form = form < 0 ? kPlotYofX : form;
    if (L->lo > L->hi) std::swap(L->lo, L->hi);
    const int32_t n = L->sampleCount;
    const double step = (L->hi - L->lo) / (n - 1);
    const bool polar = L->form == kPlotROfTheta;
    // The polar form's angle turns by the step's rotation rather than by a sine and a
    // cosine per sample; its argument goes to the function in the sketch's unit.
    const double unitFactor = polar ? ToAngleUnitsSigned(1.0) : 1.0;
    const double stepCos = std::cos(step), stepSin = std::sin(step);
    double cosA = std::cos(L->lo), sinA = std::sin(L->lo);
    const bool printing = PrintPassRunning();
    ScreenRect bounds = kEmptyScreenRect;
    for (int32_t i = 0; i < n; ++i) {
        const double argument = i == n - 1 ? L->hi : L->lo + i * step;
        uint8_t* r = SampleAt(plot, i);
        SetRecordField(r, SR::kLocusParameter, argument);
        double value;
        bool shown = false;
        RealPoint p{};
        if (FunctionValueAt(function, polar ? argument * unitFactor : argument, &value) && std::isfinite(value)) {
            if (polar) {
                p = { o.x + sx * value * cosA, o.y - sy * value * sinA };
                shown = std::isfinite(p.x) && std::isfinite(p.y);
            } else {
                shown = PlotPoint(L->form, argument, value, o, sx, sy, &p);
            }
            if (shown && printing) p = Printed(p);
            shown = shown && p.x >= -32768 && p.x <= 32767 && p.y >= -32768 && p.y <= 32767;
        }
        if (shown) {
            PutLocusRecordPosition(r, p);
            SetRecordField<uint32_t>(r, SR::kLocusState, kSampleRunStart);
            GrowToPoint(&bounds, { RoundToScreen(p.x), RoundToScreen(p.y) });
        } else {
            PutLocusRecordPosition(r, { 0, 0 });
            SetRecordField<uint32_t>(r, SR::kLocusState, kSampleMissing);
        }
        if (polar) {
            const double c = cosA * stepCos - sinA * stepSin;
            sinA = sinA * stepCos + cosA * stepSin;
            cosA = c;
        }
    }
    plot->exists = ScreenRectIsEmpty(bounds) ? 0 : 1;
    if (plot->exists) LocusJoinSamples(plot, 0, n - 1, &bounds);
    if (printing) return;
    GrowPlotBounds(&bounds);
    plot->bounds = plot->coreBounds = bounds;
}

// ---- Counts and ranges

bool ResizeLocusSamples(SketchObject* locus, int32_t count) {
    LocusData* L = LocusDataOf(locus);
    if (count == L->sampleCount && L->samples) return true;
    const uint64_t bytes = uint64_t(uint32_t(count)) * L->sampleSize;
    if (count <= 0 || bytes == 0 || bytes > kMaxSampleBytes) return false;
    if (!ReallocMemoryOf(&L->samples, size_t(bytes), true)) return false;
    L->sampleCount = count;
    Sketch* sketch = CurrentSketch();
    RecomputeObject(locus, sketch ? &sketch->dirtyRect : nullptr, true);
    return true;
}

bool SetLocusSampleCount(SketchObject* locus, int32_t count) {
    return ResizeLocusSamples(locus, ClampLocusSampleCount(count));
}

bool ScaleLocusSampleCount(SketchObject* locus, bool up) {
    const double scaled = LocusDataOf(locus)->sampleCount * (up ? 1.33 : 0.75);
    return SetLocusSampleCount(locus, int32_t(std::min(scaled, double(INT32_MAX))));
}

void DefaultPlotRange(SketchObject* plot, int32_t form) {
    LocusData* L = LocusDataOf(plot);
    L->form = form;
    if (form == kPlotROfTheta) {
        L->lo = 0;
        L->hi = kTwoPi;
        return;
    }
    SketchObject* system = ParentAt(plot, 1);
    Sketch* sketch = CurrentSketch();
    RealPoint o;
    double sx = 0, sy = 0;
    if (!system || system->exists != 1 || !sketch || !UpdateSketchVisibleRect(sketch) ||
        !CoordinateFrame(system, &o, &sx, &sy) || sx == 0 || sy == 0) {
        // Reversed on purpose: the next update puts the ends in order.
        L->lo = 10;
        L->hi = -10;
        return;
    }
    const ScreenRect& v = sketch->windowRect;
    switch (form) {
    case kPlotXofY:
        L->lo = -(v.top - o.y) / sy;
        L->hi = -(v.bottom - o.y) / sy;
        break;
    case kPlotThetaOfR:
        L->lo = 0;
        L->hi = (v.right - o.x) / sx;
        if (L->hi < 0) L->hi = double((int32_t(v.right) - v.left) >> 1) / sx;
        break;
    default:
        L->lo = (v.left - o.x) / sx;
        L->hi = (v.right - o.x) / sx;
        break;
    }
}

void PutLocusRangeEntry(uint8_t** cursor, SketchObject* locus, double lo, double hi) {
    UndoPutEntryHead(cursor, kUndoEntryLocusRange, kLocusRangeEntryBytes);
    // The locus sits in an 8-byte slot whatever the pointer size; the rest is zero.
    std::memset(*cursor, 0, 8);
    std::memcpy(*cursor, &locus, sizeof locus);
    std::memcpy(*cursor + 8, &lo, 8);
    std::memcpy(*cursor + 16, &hi, 8);
    *cursor += kLocusRangeEntryBytes;
}

int32_t SampleLociOfObject(SketchObject* object, int32_t form, uint8_t** cursor, uint32_t* bytes) {
    int32_t count = 0;
    int32_t n = 0;
    void** children = PtrListItems(object->children, &n);
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* plot = static_cast<SketchObject*>(children[i]);
        if (plot->constructionType != kTypeFunctionPlot) continue;
        ++count;
        if (bytes) *bytes += kLocusRangeEntryBytes;
        if (!cursor) continue;
        LocusData* L = LocusDataOf(plot);
        const double lo = L->lo, hi = L->hi;
        DefaultPlotRange(plot, form);
        PutLocusRangeEntry(cursor, plot, L->lo, L->hi);
        L->lo = lo;
        L->hi = hi;
    }
    return count;
}

// ---- The locus row of the path table

void LocusPathPointAt(SketchObject* path, double t, RealPoint* point, int32_t* exists) {
    LocusPointAt(path, t, point, exists);
}

void LocusPlacePoint(SketchObject* path, SketchObject* point) {
    PathParameterBlock block;
    if (!ReadPathParameter(point, &block)) return;
    RealPoint p = PointPosition(point);
    int32_t exists = 0;
    LocusPointAt(path, PathBlockReal(block, 0), &p, &exists);
    ClassData<PointData>(point)->position = p;
    point->exists = exists;
}

void LocusRandomParameter(SketchObject* path, bool avoid, const ScreenRect* visible, PathParameterBlock* block,
                          RealPoint* point) {
    double t = NextRandom() / 32767.0;
    if (path->exists == 1) {
        const int32_t draws = avoid && visible && ScreenRectsOverlap(path->bounds, *visible) ? 31 : 1;
        for (int32_t k = 0; k < draws; ++k) {
            if (k > 0) t = NextRandom() / 32767.0;
            RealPoint p{};
            int32_t exists = 0;
            LocusPointAt(path, t, &p, &exists);
            if (point) *point = p;
            if (visible && exists && ScreenPointInRect({ RoundToScreen(p.x), RoundToScreen(p.y) }, *visible)) break;
        }
    }
    if (block) SetPathBlockReal(block, 0, t);
}

int32_t UpdateNearestLocusSample(const SketchObject* path, RealPoint p, double* parameter) {
    if (auto form = LaterForms().locus.nearestSample) return form(path, p, parameter);
    const LocusData* L = LocusDataOf(path);
    const ScreenPoint q = { RoundToScreen(p.x), RoundToScreen(p.y) };
    int32_t best = -1;
    int64_t bestD = 0;
    for (int32_t i = 0; L->samples && i < L->sampleCount; ++i) {
        if (!SampleExists(path, i)) continue;
        const ScreenPoint s = LocusSamplePoint(path, i);
        const int64_t d = int64_t(s.x - q.x) * (s.x - q.x) + int64_t(s.y - q.y) * (s.y - q.y);
        if (best < 0 || d < bestD) {
            best = i;
            bestD = d;
        }
    }
    if (best < 0) return -1;
    const int32_t n = L->sampleCount;
    double value = LocusSampleParameter(path, best);
    double nearD = double(bestD);
    // The pieces on either side of the nearest sample, when it is joined to them.
    const auto tryPiece = [&](int32_t from, double fromParameter, int32_t to, double toParameter) {
        const ScreenPoint a = LocusSamplePoint(path, from), b = LocusSamplePoint(path, to);
        const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        if (len2 <= 0) return;
        const double f = std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / len2, 0.0, 1.0);
        const double px = a.x + f * dx - q.x, py = a.y + f * dy - q.y;
        if (px * px + py * py < nearD) {
            nearD = px * px + py * py;
            value = fromParameter + f * (toParameter - fromParameter);
        }
    };
    if (LocusSampleState(path, best) == kSampleRunGoes) {
        if (best > 0) tryPiece(best - 1, LocusSampleParameter(path, best - 1), best, LocusSampleParameter(path, best));
        else tryPiece(n - 1, LocusSampleParameter(path, n - 1), 0, L->hi);
    }
    const int32_t next = best + 1 < n ? best + 1 : (L->ends == kPathClosed ? 0 : -1);
    if (next >= 0 && LocusSampleState(path, next) == kSampleRunGoes) {
        const double nextParameter = next == 0 ? L->hi : LocusSampleParameter(path, next);
        tryPiece(best, LocusSampleParameter(path, best), next, nextParameter);
    }
    *parameter = value;
    return best;
}

void LocusParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest, double* parameter,
                           PathParameterBlock* block) {
    double value = 0;
    const int32_t best = UpdateNearestLocusSample(path, p, &value);
    double t = 0;
    if (best < 0) {
        *nearest = p;
    } else {
        t = LocusNormalizeParameter(value, path);
        RealPoint at{};
        int32_t exists = 0;
        LocusPointAt(path, t, &at, &exists);
        if (exists) {
            *nearest = at;
        } else {
            t = LocusNormalizeParameter(LocusSampleParameter(path, best), path);
            *nearest = LocusSamplePosition(path, best);
        }
    }
    if (parameter) *parameter = t;
    if (block) SetPathBlockReal(block, 0, t);
}

int32_t LocusSampleParameters(SketchObject* path, int32_t count, double, double, PathSampleFn callback, void* user) {
    const LocusData* L = LocusDataOf(path);
    if (count <= 0) return 0;
    const int32_t steps = L->ends == kPathClosed ? count : std::max(count - 1, 1);
    TraceChain c{};
    const bool traced = !IsPlot(path) && ChainOf(path, &c);
    RealPoint points[kPathBatch];
    int32_t exists[kPathBatch];
    for (int32_t start = 0; start < count; start += kPathBatch) {
        const int32_t batch = std::min(kPathBatch, count - start);
        SavedDriver saved{};
        if (traced) saved = SaveDriver(c.driver);
        ++NestedEvaluationDepth;
        for (int32_t j = 0; j < batch; ++j) {
            const double t = double(start + j) / steps;
            points[j] = {};
            exists[j] = 0;
            LocusEvaluateAt(path, L->lo + t * (L->hi - L->lo), &points[j], &exists[j]);
        }
        if (traced) PutDriverBack(c, saved);
        --NestedEvaluationDepth;
        for (int32_t j = 0; j < batch; ++j) callback(user, double(start + j) / steps, points[j], exists[j]);
    }
    return count;
}

int32_t LocusPathFlags(const SketchObject* path) {
    return LocusDataOf(path)->ends == kPathClosed ? kPathClosed : kPathTwoEnds;
}

double FindLocusSpanForRange(const SketchObject* path, double from, double to) {
    if (auto form = LaterForms().locus.spanLength) return form(path, from, to);
    const LocusData* L = LocusDataOf(path);
    if (!L->samples) return 0;
    double sum = 0;
    for (int32_t i = 0; i < L->sampleCount; ++i) {
        if (LocusSampleState(path, i) != kSampleRunGoes) continue;
        const double parameter = LocusSampleParameter(path, i);
        if (parameter < from || parameter > to) continue;
        const int32_t previous = i > 0 ? i - 1 : L->sampleCount - 1;
        const ScreenPoint s = LocusSamplePoint(path, i), r = LocusSamplePoint(path, previous);
        sum += std::hypot(double(s.x - r.x), double(s.y - r.y));
    }
    return sum;
}

void LocusLengthBetween(SketchObject* path, double a, double b, double* length) {
    const LocusData* L = LocusDataOf(path);
    const double pa = L->lo + a * (L->hi - L->lo), pb = L->lo + b * (L->hi - L->lo);
    // A length, whichever way the range was given.
    *length = FindLocusSpanForRange(path, std::min(pa, pb), std::max(pa, pb));
}

int32_t LocusWayBetween(SketchObject* path, double a, double b, double* lo, double* hi, double* length,
                        int32_t* forward) {
    double inside = 0;
    LocusLengthBetween(path, std::min(a, b), std::max(a, b), &inside);
    *lo = 0;
    *hi = 1;
    if (LocusDataOf(path)->ends != kPathClosed) {
        *forward = a < b ? 1 : 0;
        *length = inside;
        return 1;
    }
    // Round a closed locus the way is the shorter arc, whichever end was named first.
    double total = 0;
    LocusLengthBetween(path, 0, 1, &total);
    const double outside = total - inside;
    *forward = outside > inside ? 1 : 0;
    *length = *forward ? inside : outside;
    return 1;
}
