// Building a sketch of N objects through the engine's construction calls (the chain the
// drag benchmark moves), timed per object: building is linear when the figure stays
// flat from 10^4 to 10^6. Freeing the sketch is timed apart (free_ns_per_object).
//
//   cmake --build build/release --target sketch_build_bench
//   taskset -c 5 build/release/bench/sketch_build_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/bench_sketch.h"
#include "bench/unit_chain.h"
#include "engine/core/sketch.h"

namespace {

void BM_BuildChain(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    double seconds = 0, freeSeconds = 0;
    bool refused = false;
    for (auto _ : state) {
        Sketch* previous = nullptr;
        Sketch* sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, &previous);
        const auto start = std::chrono::steady_clock::now();
        SketchObject* root = Free(10, 10);
        refused = BuildUnitChain(root, { 10, 10 }, n, MakeUnitChainFixtures()) == nullptr;
        const double built = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        seconds += built;
        state.SetIterationTime(built);
        const auto freeing = std::chrono::steady_clock::now();
        FreeSketch(sketch);
        freeSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - freeing).count();
        SetCurrentSketch(previous, nullptr);
        if (refused) break;
    }
    if (refused) {
        state.SkipWithError("the engine refused a construction of the chain");
        return;
    }
    const double objects = static_cast<double>(state.iterations()) * n;
    state.counters["ns_per_object"] = 1e9 * seconds / objects;
    state.counters["free_ns_per_object"] = 1e9 * freeSeconds / objects;
}
BENCHMARK(BM_BuildChain)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildChain)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
