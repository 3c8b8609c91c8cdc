// The intersection routines run for every intersection point at every recompute, and
// the arc stepper for every arc drawn; both are meant to stay free of per-call
// trigonometry.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/core/arc_stepper.h"
#include "engine/core/geometry.h"
#include "engine/core/random.h"

namespace {

struct Case {
    LineForm line;
    CurveForm first;
    CurveForm second;
};

std::vector<Case> MakeCases() {
    SetRandomSeed(7);
    auto coord = [] { return (NextRandom() - 16384) / 100.0; };
    std::vector<Case> cases(1024);
    for (Case& c : cases) {
        c.line = MakeLineForm({ coord(), coord() }, { coord(), coord() });
        c.first = { { coord(), coord() }, 50 + NextRandom() / 200.0, false, 1, 0, 0 };
        c.second = { { coord(), coord() }, 50 + NextRandom() / 200.0, true, 1, 1, 5 };
    }
    return cases;
}

void BM_IntersectLineCurve(benchmark::State& state) {
    const std::vector<Case> cases = MakeCases();
    size_t i = 0;
    RealPoint p;
    for (auto _ : state) {
        const Case& c = cases[i++ & 1023];
        benchmark::DoNotOptimize(IntersectLineCurve(c.line, kShapeSegment, c.second, 1, &p));
    }
}
BENCHMARK(BM_IntersectLineCurve);

void BM_IntersectCurves(benchmark::State& state) {
    const std::vector<Case> cases = MakeCases();
    size_t i = 0;
    RealPoint p;
    for (auto _ : state) {
        const Case& c = cases[i++ & 1023];
        benchmark::DoNotOptimize(IntersectCurves(c.first, c.second, -1, &p));
    }
}
BENCHMARK(BM_IntersectCurves);

void BM_ArcStepperFullCircle(benchmark::State& state) {
    for (auto _ : state) {
        ArcStepper s{};
        s.centre = { 100, 100 };
        s.startAngle = 0;
        s.endAngle = 6.2831853071796;
        s.radiusX = s.radiusY = static_cast<double>(state.range(0));
        BeginArcSteps(&s);
        double sum = 0;
        while (!ArcStepsDone(&s)) {
            sum += s.current.x;
            NextArcStep(&s);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ArcStepperFullCircle)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
