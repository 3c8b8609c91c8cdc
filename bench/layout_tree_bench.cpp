// Reading, normalising, measuring and writing one long row of layout items, for rows of
// growing length: the times should grow linearly (benchmark's complexity fit says so).
// Hostile texts of this shape are what a damaged or crafted caption holds. And measuring
// blocks of rows with figlate's layout forms installed against the shared ones (the first
// argument): a whole block measured, and one row of it edited and measured again.
//
// Figures come from a Release build, pinned to one core and repeated, e.g.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target layout_tree_bench
//   taskset -c 5 build/release/bench/layout_tree_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <string>

#include "engine/core/services/later_release.h"
#include "engine/text/layout_test_util.h"
#include "release2/text/layout_forms.h"
#include "release2/text/wrap_width.h"

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

// figlate's layout forms for the life of a benchmark when `later` is set.
struct LayoutForms {
    explicit LayoutForms(bool later) {
        if (!later) return;
        LaterReleaseForms forms{};
        AddLayoutForms(&forms);
        InstallLaterForms(forms);
    }
    ~LayoutForms() { ResetLaterForms(); }
};

std::string BlockOfRows(int64_t rows) {
    std::string text = "<VL";
    for (int64_t i = 0; i < rows; ++i) text += "<H<T'one two three'><SW2<T'four'>><T' five six'>>";
    return text + ">";
}

// Parsed, normalised and measured whole: the block is not wrapped.
void BlockMeasured(benchmark::State& state) {
    const LayoutForms forms(state.range(0) != 0);
    const std::string text = BlockOfRows(state.range(1));
    const LayoutDrawState draw = TestDrawState();
    for (auto _ : state) {
        LayoutPtr tree = ParseLayout(text);
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        MeasureLayout(tree.get(), &draw);
        benchmark::DoNotOptimize(tree->width);
    }
    state.SetComplexityN(state.range(1));
}
BENCHMARK(BlockMeasured)->ArgsProduct({ { 0, 1 }, { 100, 1000 } });

// One row's text changed and the tree measured again, as each key typed in a caption does;
// with figlate's forms also a block wrapped to 150 pixels (third argument).
void BlockRowEdited(benchmark::State& state) {
    const LayoutForms forms(state.range(0) != 0);
    const LayoutDrawState draw = TestDrawState();
    LayoutPtr tree = ParseLayout(BlockOfRows(state.range(1)));
    tree.reset(NormalizeLayout(tree.release(), nullptr));
    if (state.range(2) != 0) {
        LayoutNode* root = tree.release();
        SetLayoutWrapWidth(&root, 150, 1);
        tree.reset(root);
    }
    MeasureLayout(tree.get(), &draw);
    LayoutNode* block = FindRowsNode(tree.get());
    LayoutNode* row = block ? block->firstChild : tree.get();
    for (int64_t i = 0; row && row->nextSibling && i < state.range(1) / 2; ++i) row = row->nextSibling;
    LayoutNode* leaf = row;
    while (leaf->firstChild) leaf = leaf->firstChild;
    for (auto _ : state) {
        MarkLayoutDirty(leaf);
        MeasureLayout(tree.get(), &draw);
        benchmark::DoNotOptimize(tree->width);
    }
}
BENCHMARK(BlockRowEdited)->Args({ 0, 1000, 0 })->Args({ 1, 1000, 0 })->Args({ 1, 1000, 1 });

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
