// One drag frame of N shown distance measurements whose values change: each is
// recomputed, its value written into its slots, its text measured again and its bounds
// set, against a plain loop formatting the same values with snprintf("%.2f") in the same
// iteration.
//
// Figures come from a Release build, pinned to one core and repeated, e.g.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target value_display_bench
//   taskset -c 5 build/release/bench/value_display_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/calc/value_display.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"

namespace {

constexpr int32_t kTypeDistance = 41;

SketchObject* Free(double x, double y) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ClassData<PointData>(p)->position = { x, y };
    RecomputeObject(p, nullptr, true);
    return p;
}

struct Scene {
    Sketch* sketch = nullptr;
    Sketch* previous = nullptr;
    std::vector<SketchObject*> moving;        // the point each measurement measures to
    std::vector<SketchObject*> measurements;  // shown, each in display mode 0

    explicit Scene(int32_t n) {
        sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, &previous);
        for (int32_t i = 0; i < n; ++i) {
            SketchObject* a = Free(10 + i % 100, 10 + i / 100);
            SketchObject* b = Free(40 + i % 100, 10 + i / 100);
            PtrList parents = 0;
            PtrListAppend(&parents, a);
            PtrListAppend(&parents, b);
            SketchObject* m = ConstructObject(kTypeDistance, nullptr, parents, 0, true, false, nullptr);
            if (!m) break;
            RecomputeObject(m, nullptr, true);
            moving.push_back(b);
            measurements.push_back(m);
        }
    }

    ~Scene() {
        FreeSketch(sketch);
        SetCurrentSketch(previous, nullptr);
    }

    // Every value changes: each moving point steps along, then its measurement is
    // recomputed (value, slots, measuring, bounds).
    void Frame(double step) {
        ScreenRect dirty = sketch->dirtyRect;
        for (size_t i = 0; i < measurements.size(); ++i) {
            ClassData<PointData>(moving[i])->position.x += step;
            RecomputeObject(measurements[i], &dirty, true);
        }
        sketch->dirtyRect = dirty;
    }
};

using Clock = std::chrono::steady_clock;

void BM_ValueDisplayFrame(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    Scene scene(n);
    if (static_cast<int32_t>(scene.measurements.size()) != n) {
        state.SkipWithError("measurements could not be made");
        return;
    }
    std::vector<double> values(static_cast<size_t>(n));
    char text[64];
    double displaySeconds = 0, plainSeconds = 0;
    double step = 0.01;
    for (auto _ : state) {
        step = -step;
        const Clock::time_point start = Clock::now();
        scene.Frame(step);
        benchmark::DoNotOptimize(scene.sketch->dirtyRect);
        const Clock::time_point middle = Clock::now();
        for (int32_t i = 0; i < n; ++i) {
            values[static_cast<size_t>(i)] += step;
            std::snprintf(text, sizeof text, "%.2f", values[static_cast<size_t>(i)] + 30.0);
            benchmark::DoNotOptimize(text);
        }
        benchmark::ClobberMemory();
        const Clock::time_point end = Clock::now();
        const double display = std::chrono::duration<double>(middle - start).count();
        displaySeconds += display;
        plainSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(display);
    }
    const double frames = static_cast<double>(state.iterations());
    int32_t shown = 0;
    for (SketchObject* m : scene.measurements) shown += ValueDisplayOf(m)->defined && m->bounds.right > m->bounds.left;
    state.counters["shown"] = shown;
    state.counters["display_ns_per_object"] = 1e9 * displaySeconds / (frames * n);
    state.counters["plain_ns_per_object"] = 1e9 * plainSeconds / (frames * n);
    state.counters["ratio"] = plainSeconds > 0 ? displaySeconds / plainSeconds : 0;
}

}  // namespace

BENCHMARK(BM_ValueDisplayFrame)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
