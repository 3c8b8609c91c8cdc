// A small sketch for the command-state tests: objects are made in place with the
// fields the census reads, and the selection is built newest first as users do.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "engine/calc/value_objects.h"
#include "engine/core/circles.h"
#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/straight_objects.h"
#include "engine/interact/command_state.h"
#include "engine/interact/motion.h"
#include "engine/interact/command_table.h"
#include "engine/interact/menu_rules.h"
#include "engine/interact/neighbour_services.h"
#include "tests/support/document_services_double.h"
#include "engine/interact/selection_census.h"
#include "tests/support/command_elements_double.h"
#include "tests/support/command_executors_double.h"

struct RowState {
    uint16_t text;
    uint16_t variant;
    uint16_t executor;
    int32_t argument;
    bool enabled;
};

// The front sketch is the active view's; the tests choose it directly.
inline void SetFrontSketch(Sketch* sketch) {
    gEngine.frontSketch = sketch;
    gEngine.currentIsFront = sketch != nullptr && sketch == gEngine.currentSketch;
}

class CommandFixture : public ::testing::Test {
protected:
    struct ObjectBlock {
        alignas(8) unsigned char bytes[sizeof(SketchObject) + 512];  // room for any class's data
    };
    Sketch sketch{};
    std::deque<ObjectBlock> objects;
    PtrListArena* arena = nullptr;

    void SetUp() override {
        SetAllocFailureAfter(0);
        ASSERT_TRUE(CreatePtrListArena(&arena, 1024));
        sketch.arena = arena;  // made current with the sketch
        ActivityWord() = 0;
        CmdStateFreeItems();
        SetCurrentSketch(&sketch, nullptr);
        SetFrontSketch(&sketch);
        SetShiftState(0);
        while (RunIdleTasks()) {}
        RecordedMotionBar() = MotionBarRecord{};
        ResetElementUpdates();
        ResetExecutorLog();
    }
    void TearDown() override {
        // The hand-made sketch is never freed by FreeSketch: its moving set goes here.
        SetCurrentSketch(&sketch, nullptr);
        StopMotions(0);
        FreeMemory(sketch.motion.movedList);
        sketch.motion = MotionState{};
        CmdStateFreeItems();
        while (RunIdleTasks()) {}
        SetShiftState(0);
        while (RunIdleTasks()) {}
        SetCurrentSketch(nullptr, nullptr);
        SetFrontSketch(nullptr);
        SetAllocFailureAfter(0);
        FreeMemoryReserves();
        SetCurrentPtrListArena(sketch.arena);  // where it is after any growth
        FreeCurrentPtrListArena();
    }

    SketchObject& Make(int32_t objectClass, int32_t kind, int32_t type) {
        ObjectBlock& block = objects.emplace_back();
        std::memset(block.bytes, 0, sizeof block.bytes);
        SketchObject& o = *reinterpret_cast<SketchObject*>(block.bytes);
        o.prevInSketch = o.nextInSketch = o.nextSelected = kNotLinked;
        o.prevInLayer = o.nextInLayer = kNotLinked;
        o.givenIndex = -1;
        o.objectClass = objectClass;
        o.objectKind = kind;
        o.constructionType = type;
        o.exists = 1;
        o.lineStyle = 1;
        return o;
    }
    SketchObject& Point(double x, double y) {
        SketchObject& o = Make(1, 4, 0);
        ClassData<PointData>(&o)->position = {x, y};
        return o;
    }
    SketchObject& Straight(int32_t kind, RealPoint a, RealPoint b) {
        SketchObject& o = Make(2, kind, kind == 14 ? 2 : kind == 12 ? 67 : 68);
        ClassData<StraightData>(&o)->form = MakeLineForm(a, b);
        WithParents(o);
        return o;
    }
    SketchObject& Segment(RealPoint a, RealPoint b) { return Straight(14, a, b); }
    SketchObject& Circle(RealPoint c, double r) {
        SketchObject& o = Make(3, 22, 3);
        ClassData<CircleData>(&o)->centre = c;
        ClassData<CircleData>(&o)->radius = r;
        WithParents(o);
        return o;
    }
    SketchObject& Measurement(int32_t kind, double value) {
        SketchObject& o = Make(7, kind, 40);
        ValueDisplayOf(&o)->value = value;
        ValueDisplayOf(&o)->defined = 1;
        WithParents(o);
        return o;
    }
    SketchObject& CoordSystem(int32_t form) {
        SketchObject& o = Make(8, 34, 65);
        CoordSystemOf(&o)->gridForm = form;
        return o;
    }
    void WithParents(SketchObject& o) { ASSERT_TRUE(AllocPtrList(2, 2, &o.parents)); }

    void Select(SketchObject& o) { SelectSketchObject(&o); }
    template <typename... T>
    void Select(SketchObject& first, T&... rest) {
        Select(first);
        Select(rest...);
    }

    // The row's state as its query gives it after a fresh census.
    RowState Eval(uint32_t row) {
        TakeSelectionCensus();
        RowState s{};
        const CommandRow& r = CommandRowTable[row];
        EXPECT_EQ(r.stateQuery, kQueryMenuRules) << "row " << row;
        s.enabled = EvalMenuRulesForRow(row, r.stateWord, &s.text, &s.variant, &s.executor, &s.argument);
        return s;
    }
};
