// One update of a locus of 10,000 samples: a driver point on a circle and about 100
// objects between it and the traced point (segments, midpoints, circles and
// intersections, all existing), against a plain loop that computes, for the same 10,000
// driver positions, only what the traced point depends on (each unit's first segment and
// its midpoint: geometry and exists flags, no bounds, since a locus draws none of them)
// over a contiguous array, in the same iteration.
// Targets: the update costs at most 3 times the plain loop, and fits a 16 ms frame.
//
// figlate keeps the samples as floats: the same update with its forms installed, timed
// in the same iteration (float_ratio), and a point dragged along the locus, each drag
// step reprojecting it onto the samples, in both programs (BM_PointDraggedOnLocus).
// Target: figlate's float samples cost at most 1.2 times figmantle's in both.
//
// Figures come from a Release build, pinned to one core and repeated:
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target locus_bench
//   taskset -c 5 build/release/bench/locus_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "bench/bench_sketch.h"
#include "bench/unit_chain.h"
#include "engine/core/angle_constants.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/services/preferences.h"
#include "engine/core/shape_families.h"
#include "engine/core/point_objects.h"
#include "engine/core/sketch.h"
#include "release2/engine/float_samples.h"

namespace {

constexpr int32_t kSamples = 10000;
constexpr int32_t kChainObjects = 100;
constexpr double kCentreX = 300, kCentreY = 300, kRadius = 120;

struct LocusScene {
    Sketch* sketch = nullptr;
    Sketch* previous = nullptr;
    SketchObject* locus = nullptr;
    int32_t chainLength = 0;

    explicit LocusScene(int32_t chainObjects = kChainObjects) {
        sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, &previous);
        ThePreferences().maxSamples = kSamples;
        // What the chain uses but does not move comes before the driver.
        const UnitChainFixtures fixtures = MakeUnitChainFixtures();
        SketchObject* centre = Free(kCentreX, kCentreY);
        SketchObject* circle = Make(kTypeCircleByPoint, { centre, Free(kCentreX + kRadius, kCentreY) });
        PtrList at = 0;
        const int32_t words = static_cast<int32_t>(16 / sizeof(void*));
        AllocPtrList(words, words, &at);
        const double block[2] = { 1, 0 };  // cosine and sine of the angle 0
        std::memcpy(PtrListData(at), block, sizeof block);
        SketchObject* driver = ConstructObject(kTypePointOnPath, nullptr, List({ circle }), at, true, false, nullptr);
        RecomputeObject(driver, nullptr, true);
        SketchObject* traced = BuildUnitChain(driver, { kCentreX + kRadius, kCentreY }, chainObjects, fixtures);
        if (traced == nullptr) return;
        // Every construction after the driver, up to the traced point, in sketch order: about
        // 100 objects, of which the traced point depends on 40 (the command would list only
        // those; a locus read from an older document may list more).
        PtrList parents = List({ traced, circle, driver });
        for (SketchObject* o = driver->nextInSketch; o; o = o->nextInSketch) {
            if (o->constructionType == kTypeFree) continue;
            PtrListAppend(&parents, o);
            ++chainLength;
            if (o == traced) break;
        }
        locus = ConstructObject(kTypeLocus, nullptr, parents, 0, true, false, nullptr);
        if (locus) SetLocusSampleCount(locus, kSamples);
    }
    ~LocusScene() {
        FreeSketch(sketch);
        SetCurrentSketch(previous, nullptr);
    }
};

// What the traced point depends on, per unit: the segment from the previous midpoint to
// the anchor (its geometry: the two ends, their differences, slope and hit term, as the
// engine keeps them for its children) and its midpoint.
struct PlainAncestors {
    double ax, ay;
    double s0x, s0y, s1x, s1y, dx, dy, slope, hitTerm;
    double mx, my;
    uint8_t exists[2];
};

RealPoint PlainAncestorChain(std::vector<PlainAncestors>& units, double x, double y) {
    for (PlainAncestors& u : units) {
        u.s0x = x; u.s0y = y; u.s1x = u.ax; u.s1y = u.ay;
        u.dx = u.s1x - u.s0x;
        u.dy = u.s1y - u.s0y;
        u.exists[0] = u.dx != 0 || u.dy != 0;
        u.slope = u.dx != 0 ? u.dy / u.dx : (u.dy > 0 ? HUGE_VAL : -HUGE_VAL);
        u.hitTerm = 16 * (u.dx * u.dx + u.dy * u.dy);
        u.mx = (u.s0x + u.s1x) / 2;
        u.my = (u.s0y + u.s1y) / 2;
        u.exists[1] = 1;
        x = u.mx;
        y = u.my;
    }
    return { x, y };
}

std::vector<PlainAncestors> PlainAncestorUnits() {
    const std::vector<PlainUnit> full = PlainUnits(kChainObjects, { kCentreX + kRadius, kCentreY });
    std::vector<PlainAncestors> units(full.size());
    for (size_t k = 0; k < full.size(); ++k) units[k] = { full[k].ax, full[k].ay, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, { 0, 0 } };
    return units;
}

// The plain loop: the same driver positions (the circle's samples), the ancestors over
// the array, the traced point rounded into a contiguous sample array.
struct PlainSample {
    int16_t x, y;
    double parameter;
    uint32_t state;
};

void PlainLocus(std::vector<PlainAncestors>& units, std::vector<PlainSample>& samples) {
    const int32_t n = static_cast<int32_t>(samples.size());
    const double step = kTwoPi / n;
    const double cs = std::cos(step), sn = std::sin(step);
    double c = 1, s = 0;
    for (int32_t i = 0; i < n; ++i) {
        const RealPoint p = PlainAncestorChain(units, kCentreX + kRadius * c, kCentreY - kRadius * s);
        samples[i] = { PlainRound(p.x), PlainRound(p.y), i * step, 1 };
        const double nc = c * cs - s * sn;
        s = s * cs + c * sn;
        c = nc;
    }
}

using Clock = std::chrono::steady_clock;

// figlate's locus forms for as long as it lives.
struct FloatSamples {
    FloatSamples() {
        LaterReleaseForms forms = {};
        AddLocusForms(&forms);
        InstallLaterForms(forms);
    }
    ~FloatSamples() { ResetLaterForms(); }
};

double SecondsOf(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

void BM_LocusUpdate(benchmark::State& state) {
    LocusScene scene;
    if (!scene.locus || LocusDataOf(scene.locus)->sampleCount != kSamples) {
        state.SkipWithError("the locus could not be made");
        return;
    }
    std::vector<PlainAncestors> units = PlainAncestorUnits();
    std::vector<PlainSample> plain(kSamples);
    double locusSeconds = 0, plainSeconds = 0, floatSeconds = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        RecomputeObject(scene.locus, nullptr, true);
        benchmark::DoNotOptimize(scene.locus->bounds);
        const Clock::time_point middle = Clock::now();
        PlainLocus(units, plain);
        benchmark::DoNotOptimize(plain.data());
        benchmark::ClobberMemory();
        const Clock::time_point end = Clock::now();
        {
            FloatSamples figlate;
            const Clock::time_point floatStart = Clock::now();
            RecomputeObject(scene.locus, nullptr, true);
            benchmark::DoNotOptimize(scene.locus->bounds);
            floatSeconds += SecondsOf(floatStart, Clock::now());
        }
        const double update = SecondsOf(start, middle);
        locusSeconds += update;
        plainSeconds += SecondsOf(middle, end);
        state.SetIterationTime(update);
    }
    int32_t existing = 0;
    for (int32_t i = 0; i < kSamples; ++i) existing += LocusSampleState(scene.locus, i) != kSampleMissing;
    const double updates = static_cast<double>(state.iterations());
    state.counters["chain"] = scene.chainLength;
    state.counters["existing_samples"] = existing;
    state.counters["update_ms"] = 1e3 * locusSeconds / updates;
    state.counters["plain_ms"] = 1e3 * plainSeconds / updates;
    state.counters["ratio"] = plainSeconds > 0 ? locusSeconds / plainSeconds : 0;
    state.counters["float_update_ms"] = 1e3 * floatSeconds / updates;
    state.counters["float_ratio"] = locusSeconds > 0 ? floatSeconds / locusSeconds : 0;
}
BENCHMARK(BM_LocusUpdate)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A point on a locus dragged past 200 of its samples, a little off the curve: each step
// sets the point where the pointer is and the locus takes it back onto itself (the
// nearest point over the samples, then the locus evaluated at that parameter). The
// samples are rebuilt in each program's form before its steps, untimed. The locus is
// one a user drags along: the midpoint of the second unit (width about 60 pixels), with
// the most samples; the update's traced point, 20 units on, stays within a few pixels,
// where every piece is as near as the next one.
constexpr int32_t kDragSteps = 200;
constexpr int32_t kDragChainObjects = 10;

double DragAlong(SketchObject* locus, SketchObject* point) {
    std::vector<RealPoint> targets(kDragSteps);
    for (int32_t k = 0; k < kDragSteps; ++k) {
        const RealPoint p = LocusSamplePosition(locus, k * (kSamples / kDragSteps) + 7);
        targets[k] = { p.x + 2.3, p.y - 1.7 };
    }
    const Clock::time_point start = Clock::now();
    for (const RealPoint& p : targets) SetPointPosition(point, p.x, p.y, 1, nullptr, false);
    benchmark::DoNotOptimize(ClassData<PointData>(point)->position);
    return SecondsOf(start, Clock::now());
}

void BM_PointDraggedOnLocus(benchmark::State& state) {
    LocusScene scene(kDragChainObjects);
    SketchObject* point = nullptr;
    if (scene.locus) {
        PtrList at = 0;
        const int32_t words = static_cast<int32_t>(16 / sizeof(void*));
        AllocPtrList(words, words, &at);
        const double block[2] = { 0.5, 0 };
        std::memcpy(PtrListData(at), block, sizeof block);
        point = ConstructObject(kTypePointOnPath, nullptr, List({ scene.locus }), at, true, false, nullptr);
        if (point) RecomputeObject(point, nullptr, true);
    }
    if (!point || point->exists != 1) {
        state.SkipWithError("the point on the locus could not be made");
        return;
    }
    double sharedSeconds = 0, floatSeconds = 0;
    for (auto _ : state) {
        RecomputeObject(scene.locus, nullptr, true);
        const double shared = DragAlong(scene.locus, point);
        {
            FloatSamples figlate;
            RecomputeObject(scene.locus, nullptr, true);
            floatSeconds += DragAlong(scene.locus, point);
        }
        sharedSeconds += shared;
        state.SetIterationTime(shared);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["step_us"] = 1e6 * sharedSeconds / (iterations * kDragSteps);
    state.counters["float_step_us"] = 1e6 * floatSeconds / (iterations * kDragSteps);
    state.counters["float_ratio"] = sharedSeconds > 0 ? floatSeconds / sharedSeconds : 0;
    state.counters["width"] = scene.locus->bounds.right - scene.locus->bounds.left;
}
BENCHMARK(BM_PointDraggedOnLocus)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
