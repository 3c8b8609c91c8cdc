// One drag frame of a free point at the root of N dependent objects (segments, midpoints,
// circles and intersections), against a plain loop doing the same arithmetic over a
// contiguous array in the same iteration, writing every output the frame writes (each
// object's geometry, exists flag and bounds, and the dirty rectangle). The analysis runs once, as when a drag starts;
// each frame moves the point and recomputes the move list in order.
//
// BM_DragGesture drags the same construction's free point through the mouse road: a
// button-down on it, 60 hovers each followed by the sketch's frame tick (the test clock
// moved one frame), the button-up; the gesture's time over 60 is compared with one
// frame of the bare recompute loop taken in the same iteration.
//
// BM_MotionTurnover starts N motions, lets half of them run out in one frame and stops a
// selected part of the rest.
//
// BM_DragStart times the start of that drag through the mouse, and the analysis alone.
//
// BM_AnimationFrame animates N points along a few circles and segments (half each, every
// point with a segment that hangs on it) and times one AnimationStep against a plain loop
// that moves the same points and recomputes the same segments in the same iteration,
// writing what the frame writes (existence, bounds and the dirty rectangle); it
// also counts the engine allocations made per frame, and tells how long starting the N
// motions took (once per scene).
//
// Figures come from a Release build, pinned to one core and repeated, e.g.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target drag_frame_bench
//   taskset -c 5 build/release/bench/drag_frame_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "bench/bench_sketch.h"
#include "bench/unit_chain.h"
#include "engine/core/drag_analysis.h"
#include "engine/core/frame_tick.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/undo.h"
#include "engine/interact/drag.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "support/clock_double.h"

namespace {

struct DragScene {
    Sketch*           sketch = nullptr;
    Sketch*           previous = nullptr;
    SketchObject*     root = nullptr;
    DragPlanEntry*    plan = nullptr;
    ObjectFlagsEntry* moves = nullptr;
    int32_t           moveCount = 0;
    double            analysisMs = 0;
    bool              built = false;  // false when the engine refused part of the chain

    explicit DragScene(int32_t n) {
        sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, &previous);
        root = Free(10, 10);
        built = BuildUnitChain(root, { 10, 10 }, n, MakeUnitChainFixtures()) != nullptr;
        root->tempLink = nullptr;
        const DragRequest request = { root, kDragTranslate, &plan, &moves };
        const auto start = std::chrono::steady_clock::now();
        AnalyzeDragSet(&request);
        analysisMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        for (const ObjectFlagsEntry* e = moves; e && e->object; ++e) ++moveCount;
    }

    ~DragScene() {
        FreeMemory(plan);
        FreeMemory(moves);
        FreeSketch(sketch);
        SetCurrentSketch(previous, nullptr);
    }

    void Frame(double x, double y) {
        ClassData<PointData>(root)->position = { x, y };
        root->bounds = PointBoundsAt({ x, y }, 2);
        ScreenRect dirty = sketch->dirtyRect;
        // The loop of the engine's frame (RecomputeMovedObjects), less the root.
        ForEachListedWithLookahead(moves, [&](const ObjectFlagsEntry& e) {
            if (e.object != root) RecomputeObject(e.object, &dirty, true);
        });
        sketch->dirtyRect = dirty;
    }
};

bool ConstructionsAreBuilt() {
    for (int32_t type : { kTypeMidpoint, kTypeSegment, kTypeCircleByPoint, kTypeIntersectStraights }) {
        if (ConstructionTypeTable[type].update == nullptr) return false;
    }
    return true;
}

// Percentage of the move list's steps that go back in memory: each one is a likely
// cache miss that the plain loop never has.
double BackwardSteps(const ObjectFlagsEntry* moves) {
    int32_t steps = 0, backward = 0;
    for (const ObjectFlagsEntry* e = moves; e->object && e[1].object; ++e, ++steps) {
        backward += reinterpret_cast<uintptr_t>(e[1].object) < reinterpret_cast<uintptr_t>(e->object);
    }
    return steps ? 100.0 * backward / steps : 0;
}

using Clock = std::chrono::steady_clock;

// The scene of N objects, or null when it cannot be measured (the benchmark is skipped).
std::unique_ptr<DragScene> MakeScene(benchmark::State& state) {
    if (!ConstructionsAreBuilt()) {
        state.SkipWithError("the construction types' update routines are not built");
        return nullptr;
    }
    auto scene = std::make_unique<DragScene>(static_cast<int32_t>(state.range(0)));
    if (!scene->built) {
        state.SkipWithError("the engine refused a construction of the chain");
        return nullptr;
    }
    if (scene->moves == nullptr) {
        state.SkipWithError("drag analysis failed");
        return nullptr;
    }
    return scene;
}

// Each iteration runs one drag frame and one frame of the plain loop over the same
// number of objects, timed apart, so that the ratio compares two figures taken at the
// same moment on the same core. The reported time is the drag frame's.
void BM_DragFrame(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    std::unique_ptr<DragScene> made = MakeScene(state);
    if (!made) return;
    DragScene& scene = *made;
    std::vector<PlainUnit> units = PlainUnits(n, { 10, 10 });
    int16_t plainDirty[4] = { 0, 0, 0, 0 };
    double t = 0;
    double dragSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        t += 0.01;
        const double x = 10 + 5 * std::cos(t), y = 10 + 5 * std::sin(t);
        const Clock::time_point start = Clock::now();
        scene.Frame(x, y);
        benchmark::DoNotOptimize(scene.sketch->dirtyRect);
        const Clock::time_point middle = Clock::now();
        PlainFrame(units, x, y, plainDirty);
        benchmark::DoNotOptimize(units.data());
        benchmark::DoNotOptimize(plainDirty);
        benchmark::ClobberMemory();
        const Clock::time_point end = Clock::now();
        const double drag = std::chrono::duration<double>(middle - start).count();
        dragSeconds += drag;
        plainSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(drag);
    }
    int32_t existing = 0;
    for (const ObjectFlagsEntry* e = scene.moves; e->object; ++e) existing += e->object->exists == 1;
    const double frames = static_cast<double>(state.iterations());
    state.counters["objects"] = scene.moveCount;
    state.counters["existing"] = existing;
    state.counters["analysis_ms"] = scene.analysisMs;
    state.counters["backward_pct"] = BackwardSteps(scene.moves);
    state.counters["drag_ns_per_object"] = 1e9 * dragSeconds / (frames * n);
    state.counters["plain_ns_per_object"] = 1e9 * plainSeconds / (frames * n);
    state.counters["ratio"] = plainSeconds > 0 ? dragSeconds / plainSeconds : 0;
}

ScreenPoint ScreenAt(const SketchObject* p) {
    const RealPoint at = ClassData<PointData>(p)->position;
    return { static_cast<int16_t>(std::lround(at.x)), static_cast<int16_t>(std::lround(at.y)) };
}

// One drag of the root through the mouse: out 30 pixels and back.
void Gesture(DragScene& scene) {
    const ScreenPoint from = ScreenAt(scene.root);
    SketchMouseDown(0, from);
    for (int16_t k = 1; k <= 60; ++k) {
        const int16_t d = static_cast<int16_t>(k <= 30 ? k : 60 - k);
        SketchMouseHover(0, { static_cast<int16_t>(from.x + d), static_cast<int16_t>(from.y + (k & 1)) }, 0);
        AdvanceTestTickCount(kFrameMs);
        // The idle loop's pass: the frame tick runs once the drag has started it.
        RunIdleTasks();
    }
    SketchMouseUp(0, { from.x, static_cast<int16_t>(from.y + 1) });
}

// Bare frames timed after each gesture: their mean is the gesture's baseline.
constexpr int32_t kBaselineFrames = 10;

void BM_DragGesture(benchmark::State& state) {
    std::unique_ptr<DragScene> made = MakeScene(state);
    if (!made) return;
    DragScene& scene = *made;
    MakeCurrentSketchFront();
    SetTestTickCount(1000);
    ResetMouseState();
    double gestureSeconds = 0, frameSeconds = 0;
    double t = 0;
    const uint32_t framesBefore = scene.sketch->motion.frameCount;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Gesture(scene);
        benchmark::DoNotOptimize(scene.sketch->dirtyRect);
        const Clock::time_point middle = Clock::now();
        const RealPoint at = ClassData<PointData>(scene.root)->position;
        for (int32_t k = 0; k < kBaselineFrames; ++k) {
            t += 0.01;
            scene.Frame(at.x + 0.5 * std::cos(t), at.y);
            benchmark::DoNotOptimize(scene.sketch->dirtyRect);
        }
        const Clock::time_point end = Clock::now();
        const double gesture = std::chrono::duration<double>(middle - start).count();
        gestureSeconds += gesture;
        frameSeconds += std::chrono::duration<double>(end - middle).count() / kBaselineFrames;
        state.SetIterationTime(gesture);
        // The undo history would grow by one record per gesture.
        UndoTrimHistory(scene.sketch, 0);
    }
    const double gestures = static_cast<double>(state.iterations());
    state.counters["frames_per_gesture"] = (scene.sketch->motion.frameCount - framesBefore) / gestures;
    state.counters["per_move_us"] = 1e6 * gestureSeconds / (60 * gestures);
    state.counters["frame_us"] = 1e6 * frameSeconds / gestures;
    state.counters["ratio"] = frameSeconds > 0 ? gestureSeconds / 60 / frameSeconds : 0;
}

// The start of a drag as the user meets it: the button goes down on the root and the
// pointer moves far enough for the drag to begin (the analysis, the moving set, the saved
// geometry and the undo record). The analysis alone is timed apart in each iteration.
void BM_DragStart(benchmark::State& state) {
    std::unique_ptr<DragScene> made = MakeScene(state);
    if (!made) return;
    DragScene& scene = *made;
    MakeCurrentSketchFront();
    SetTestTickCount(1000);
    ResetMouseState();
    double analysisSeconds = 0;
    for (auto _ : state) {
        const Clock::time_point before = Clock::now();
        DragPlanEntry* plan = nullptr;
        ObjectFlagsEntry* moves = nullptr;
        scene.root->tempLink = nullptr;
        const DragRequest request = { scene.root, kDragTranslate, &plan, &moves };
        AnalyzeDragSet(&request);
        const Clock::time_point analysed = Clock::now();
        FreeMemory(plan);
        FreeMemory(moves);
        const ScreenPoint from = ScreenAt(scene.root);
        const Clock::time_point start = Clock::now();
        SketchMouseDown(0, from);
        SketchMouseHover(0, { static_cast<int16_t>(from.x + 8), from.y }, 0);
        const Clock::time_point end = Clock::now();
        if (!DragInProgress(scene.sketch)) {
            state.SkipWithError("the drag did not start");
            return;
        }
        SketchMouseUp(0, { from.x, from.y });
        UndoTrimHistory(scene.sketch, 0);
        analysisSeconds += std::chrono::duration<double>(analysed - before).count();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["analysis_ms"] = 1e3 * analysisSeconds / static_cast<double>(state.iterations());
}

// N points animated along 8 circles and 8 segments, each with a segment from its path's
// first point to it; every motion runs at medium speed.
struct AnimationScene {
    Sketch* sketch = nullptr;
    Sketch* previous = nullptr;
    int32_t motions = 0;
    double  startMs = 0;  // starting every motion

    explicit AnimationScene(int32_t n) {
        sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, &previous);
        sketch->windowRect = { 0, 0, 1000, 800 };
        SketchObject* anchors[16];
        SketchObject* paths[16];
        for (int32_t k = 0; k < 8; ++k) {
            anchors[k] = Free(100 + 100 * k, 200);
            paths[k] = Make(kTypeCircleByPoint, { anchors[k], Free(140 + 100 * k, 200) });
            anchors[8 + k] = Free(50 + 100 * k, 500);
            paths[8 + k] = Make(kTypeSegment, { anchors[8 + k], Free(120 + 100 * k, 650) });
        }
        std::vector<SketchObject*> points;
        for (int32_t i = 0; i < n; ++i) {
            const int32_t k = i % 16;
            SketchObject* p = Make(kTypePointOnPath, { paths[k] });
            if (!p) break;
            SetPointPosition(p, 100.0 + 100 * (k % 8) + (i % 7), k < 8 ? 160 : 600, 1, nullptr, false);
            Make(kTypeSegment, { anchors[k], p });
            points.push_back(p);
        }
        MakeCurrentSketchFront();
        SetTestTickCount(1000);
        const auto start = std::chrono::steady_clock::now();
        for (SketchObject* p : points) {
            SketchObject* path = static_cast<SketchObject*>(PtrListItem(p->parents, 0));
            const bool closed = PathMethodsOf(path)->pathFlags(path) == kPathClosed;
            Motion* m = CreateMotion(p, path, kMotionAlongPath, closed ? kEndWrap : kEndBounce, 1, SpeedUnit() * 3);
            if (m && StartMotion(m, nullptr, nullptr) == kResultOK) ++motions;
        }
        startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        AnimationStep();  // builds the moving set once
    }
    ~AnimationScene() {
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        FreeSketch(sketch);
        SetCurrentSketch(previous, nullptr);
    }
};

// What the plain loop keeps of one animated point and its segment.
struct PlainMover {
    double t, velocity, low, high;
    double cx, cy, r;        // circle (r > 0) ...
    double ax, ay, bx, by;   // ... or segment from a to b
    double x, y;
    double segment[4];
    int32_t closed;
    // What a frame also writes of the point and the segment: existence and screen bounds,
    // all of them united into the frame's dirty rectangle.
    uint8_t exists[2];
    int16_t bounds[2][4];
};

void PlainAnimationFrame(std::vector<PlainMover>& movers, int16_t* dirty) {
    for (PlainMover& m : movers) {
        double n = m.t + m.velocity;
        if (m.closed) {
            if (n > m.high) n -= m.high - m.low;
            m.x = m.cx + m.r * std::cos(n);
            m.y = m.cy - m.r * std::sin(n);
        } else {
            if (n > m.high || n < m.low) {
                const double bound = n > m.high ? m.high : m.low;
                n = 2 * bound - n;
                m.velocity = -m.velocity;
            }
            m.x = m.ax + n * (m.bx - m.ax);
            m.y = m.ay + n * (m.by - m.ay);
        }
        m.t = n;
        m.segment[0] = m.closed ? m.cx : m.ax;
        m.segment[1] = m.closed ? m.cy : m.ay;
        m.segment[2] = m.x;
        m.segment[3] = m.y;
        int16_t* p = m.bounds[0];
        p[0] = PlainRound(m.x) - 2; p[1] = PlainRound(m.y) - 2; p[2] = PlainRound(m.x) + 3; p[3] = PlainRound(m.y) + 3;
        m.exists[0] = 1;
        PlainUnite(dirty, p);
        int16_t* s = m.bounds[1];
        s[0] = PlainRound(std::min(m.segment[0], m.x)); s[1] = PlainRound(std::min(m.segment[1], m.y));
        s[2] = PlainRound(std::max(m.segment[0], m.x)) + 1; s[3] = PlainRound(std::max(m.segment[1], m.y)) + 1;
        m.exists[1] = 1;
        PlainUnite(dirty, s);
    }
}

std::vector<PlainMover> PlainMovers(int32_t n) {
    std::vector<PlainMover> movers(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        PlainMover& m = movers[static_cast<size_t>(i)];
        const int32_t k = i % 16;
        m.closed = k < 8;
        m.cx = 100 + 100 * (k % 8);
        m.cy = 200;
        m.r = 40;
        m.ax = 50 + 100 * (k % 8);
        m.ay = 500;
        m.bx = m.ax + 70;
        m.by = 650;
        m.low = 0;
        m.high = m.closed ? 6.283185307179586 : 1;
        m.velocity = m.closed ? 1.8 / 40 : 1.8 / std::hypot(70.0, 150.0);
        m.t = 0.1 * (i % 7);
    }
    return movers;
}

void BM_AnimationFrame(benchmark::State& state) {
    if (!ConstructionsAreBuilt()) {
        state.SkipWithError("the construction types' update routines are not built");
        return;
    }
    const int32_t n = static_cast<int32_t>(state.range(0));
    // Building and starting N motions takes a while, so each scene is made once and kept
    // for the runs that follow.
    static std::map<int32_t, std::unique_ptr<AnimationScene>> scenes;
    std::unique_ptr<AnimationScene>& kept = scenes[n];
    if (!kept) kept = std::make_unique<AnimationScene>(n);
    AnimationScene& scene = *kept;
    SetCurrentSketch(scene.sketch, nullptr);
    MakeCurrentSketchFront();
    if (scene.motions != n) {
        state.SkipWithError("not every motion started");
        return;
    }
    std::vector<PlainMover> movers = PlainMovers(n);
    int16_t plainDirty[4] = { 0, 0, 0, 0 };
    double stepSeconds = 0, plainSeconds = 0;
    const uint64_t allocsBefore = AllocRequestCount();
    for (auto _ : state) {
        AdvanceTestTickCount(kFrameMs);
        const Clock::time_point start = Clock::now();
        AnimationStep();
        benchmark::DoNotOptimize(scene.sketch->dirtyRect);
        const Clock::time_point middle = Clock::now();
        PlainAnimationFrame(movers, plainDirty);
        benchmark::DoNotOptimize(movers.data());
        benchmark::DoNotOptimize(plainDirty);
        benchmark::ClobberMemory();
        const Clock::time_point end = Clock::now();
        const double step = std::chrono::duration<double>(middle - start).count();
        stepSeconds += step;
        plainSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(step);
        scene.sketch->dirtyRect = kEmptyScreenRect;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["motions"] = scene.motions;
    state.counters["start_ms"] = scene.startMs;
    state.counters["ns_per_motion"] = 1e9 * stepSeconds / (frames * n);
    state.counters["plain_ns_per_motion"] = 1e9 * plainSeconds / (frames * n);
    state.counters["ratio"] = plainSeconds > 0 ? stepSeconds / plainSeconds : 0;
    state.counters["allocs_per_frame"] = static_cast<double>(AllocRequestCount() - allocsBefore) / frames;
}

// Motions coming and going in numbers: N free points start moving at random, every other
// motion runs out of time within one frame, and the selected half of the rest is stopped.
// Each of the three is timed; none should grow faster than N.
void BM_MotionTurnover(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    Sketch* previous = nullptr;
    Sketch* sketch = CreateSketch(0, nullptr);
    SetCurrentSketch(sketch, &previous);
    sketch->windowRect = { 0, 0, 1000, 800 };
    std::vector<SketchObject*> points;
    for (int32_t i = 0; i < n; ++i) points.push_back(Free(10 + i % 900, 10 + (i / 900) % 700));
    MakeCurrentSketchFront();
    SetTestTickCount(1000);
    double startSeconds = 0, finishSeconds = 0, stopSeconds = 0;
    int32_t running = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        for (SketchObject* p : points) StartMotion(CreateMotion(p, nullptr, kMotionRandomFree, 0, 0, SpeedUnit()), nullptr, nullptr);
        const Clock::time_point started = Clock::now();
        int32_t k = 0;
        for (Motion* m = sketch->motion.motionsHead; m; m = m->next, ++k) {
            if (k % 2) continue;
            m->hasTimeLimit = 1;
            SetDeadline(&m->timeLimit, 0);
        }
        AdvanceTestTickCount(kFrameMs);
        const Clock::time_point before = Clock::now();
        AnimationStep();
        const Clock::time_point finished = Clock::now();
        for (size_t i = 0; i < points.size(); i += 4) SelectSketchObject(points[i]);
        const Clock::time_point beforeStop = Clock::now();
        StopMotions(2);
        const Clock::time_point stopped = Clock::now();
        running = RunningMotionCount();
        DeselectAll();
        StopMotions(0);
        startSeconds += std::chrono::duration<double>(started - start).count();
        finishSeconds += std::chrono::duration<double>(finished - before).count();
        stopSeconds += std::chrono::duration<double>(stopped - beforeStop).count();
        state.SetIterationTime(std::chrono::duration<double>(started - start).count() +
                               std::chrono::duration<double>(finished - before).count() +
                               std::chrono::duration<double>(stopped - beforeStop).count());
    }
    const double turns = static_cast<double>(state.iterations());
    state.counters["start_ms"] = 1e3 * startSeconds / turns;
    state.counters["frame_ms"] = 1e3 * finishSeconds / turns;
    state.counters["stop_ms"] = 1e3 * stopSeconds / turns;
    state.counters["left_running"] = running;
    RemoveIdleTask(&sketch->ticker.task);
    FreeSketch(sketch);
    SetCurrentSketch(previous, nullptr);
}

}  // namespace

BENCHMARK(BM_MotionTurnover)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimationFrame)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStart)->Arg(10000)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragGesture)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragFrame)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
