// Restoring the dependency order after the root of a chain of N objects (each the parent
// of the next) gets a parent behind the whole chain, so that every level moves; against
// numbering the same sketch, one plain walk along its order.
#include <benchmark/benchmark.h>

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"

namespace {

SketchObject* Free() {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    return ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
}

bool SetParent(SketchObject* object, SketchObject* parent) {
    PtrList list = 0;
    return PtrListAppend(&list, parent) && SetObjectParents(object, list);
}

struct ChainScene {
    Sketch*       sketch = nullptr;
    Sketch*       previous = nullptr;
    SketchObject* first = nullptr;
    SketchObject* anchor = nullptr;
    bool          made = false;

    explicit ChainScene(int32_t n) {
        sketch = CreateSketch(0, nullptr);
        if (!sketch) return;
        SetCurrentSketch(sketch, &previous);
        SketchObject* last = first = Free();
        for (int32_t i = 1; i < n && last; ++i) {
            SketchObject* o = Free();
            if (!o || !SetParent(o, last)) return;
            last = o;
        }
        anchor = Free();
        made = last && anchor && SetParent(first, anchor);
    }
    ~ChainScene() {
        if (!sketch) return;
        FreeSketch(sketch);
        SetCurrentSketch(previous, nullptr);
    }

    // The anchor goes to the end again, behind the chain.
    void MoveAnchorLast() {
        UnlinkObjectFromSketch(anchor);
        LinkObjectIntoSketch(anchor, kNotLinked);
    }
};

// Each iteration puts the anchor last again, then runs `step` on the scene.
template <typename Step>
void RunOnChain(benchmark::State& state, Step step) {
    ChainScene scene(static_cast<int32_t>(state.range(0)));
    if (!scene.made) {
        state.SkipWithError("the chain could not be made");
        return;
    }
    for (auto _ : state) {
        scene.MoveAnchorLast();
        step(scene);
        benchmark::DoNotOptimize(scene.sketch->traversalGeneration);
    }
    state.counters["ns_per_object"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_RestoreChainOrder(benchmark::State& state) {
    RunOnChain(state, [](ChainScene& scene) { RestoreDependencyOrder(scene.first, true, false); });
}

void BM_NumberChainBaseline(benchmark::State& state) {
    RunOnChain(state, [](ChainScene&) { NumberSketchObjects(); });
}

}  // namespace

BENCHMARK(BM_NumberChainBaseline)->Arg(1000)->Arg(40000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RestoreChainOrder)->Arg(1000)->Arg(40000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
