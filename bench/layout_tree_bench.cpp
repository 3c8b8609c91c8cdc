// Reading, normalising, measuring and writing one long row of layout items, for rows of
// growing length: the times should grow linearly (benchmark's complexity fit says so).
// Hostile texts of this shape are what a damaged or crafted caption holds.
//
// Figures come from a Release build, pinned to one core and repeated, e.g.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target layout_tree_bench
//   taskset -c 5 build/release/bench/layout_tree_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <string>

#include "engine/text/layout_test_util.h"

namespace {

const char* const kItems[] = { "<T'a'>", "<0>", "<SW2<T'a'>>", "<H<T'a'>>" };

void LongRow(benchmark::State& state) {
    const char* item = kItems[state.range(0)];
    std::string text = "<H<T'x'>";
    for (int64_t i = 0; i < state.range(1); ++i) text += item;
    text += ">";
    const LayoutDrawState draw = TestDrawState();
    for (auto _ : state) {
        LayoutPtr tree = ParseLayout(text);
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        MeasureLayout(tree.get(), &draw);
        benchmark::DoNotOptimize(WriteLayout(tree.get()));
    }
    state.SetComplexityN(state.range(1));
}
BENCHMARK(LongRow)->ArgsProduct({ { 0, 1, 2, 3 }, { 5000, 20000, 50000 } })->Complexity(benchmark::oN);

void LongAlternatives(benchmark::State& state) {
    std::string text = "<?1";
    for (int64_t i = 0; i < state.range(0); ++i) text += "<0>";
    text += ">";
    for (auto _ : state) benchmark::DoNotOptimize(ParseLayout(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(LongAlternatives)->Arg(5000)->Arg(20000)->Arg(50000)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
