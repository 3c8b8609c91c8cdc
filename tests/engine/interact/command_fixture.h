// A small sketch for the command-state tests: objects are made in place with the
// fields the census reads, and the selection is built newest first as users do.
#pragma once
#include <gtest/gtest.h>

#include <deque>

#include "engine/core/memory.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/menu_rules.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/standin/element_log.h"
#include "engine/interact/standin/executor_log.h"

struct RowState {
    uint16_t text;
    uint16_t variant;
    uint16_t executor;
    int32_t argument;
    bool enabled;
};

class CommandFixture : public ::testing::Test {
protected:
    Sketch sketch{};
    std::deque<SketchObject> objects;

    void SetUp() override {
        SetAllocFailureAfter(0);
        CmdStateFreeItems();
        SetCurrentSketch(&sketch, nullptr);
        SetFrontSketch(&sketch);
        SetShiftState(0);
        while (RunIdleTasks()) {}
        ShellStandin() = ShellStateStandin{};
        ResetElementUpdates();
        ResetExecutorLog();
    }
    void TearDown() override {
        CmdStateFreeItems();
        while (RunIdleTasks()) {}
        SetShiftState(0);
        while (RunIdleTasks()) {}
        SetCurrentSketch(nullptr, nullptr);
        SetFrontSketch(nullptr);
        SetAllocFailureAfter(0);
    }

    SketchObject& Make(int32_t objectClass, int32_t kind, int32_t type) {
        SketchObject& o = objects.emplace_back();
        o.objectClass = objectClass;
        o.objectKind = kind;
        o.constructionType = type;
        o.exists = 1;
        o.lineStyle = 1;
        return o;
    }
    SketchObject& Point(double x, double y) {
        SketchObject& o = Make(1, 4, 0);
        o.p1 = {x, y};
        return o;
    }
    SketchObject& Straight(int32_t kind, RealPoint a, RealPoint b) {
        SketchObject& o = Make(2, kind, kind == 14 ? 2 : kind == 12 ? 67 : 68);
        o.p1 = a;
        o.p2 = b;
        o.straightKind = kind == 14 ? 0 : kind == 13 ? 1 : 2;
        o.parentCount = 2;
        return o;
    }
    SketchObject& Segment(RealPoint a, RealPoint b) { return Straight(14, a, b); }
    SketchObject& Circle(RealPoint c, double r) {
        SketchObject& o = Make(3, 22, 3);
        o.center = c;
        o.radius = r;
        o.parentCount = 2;
        return o;
    }
    SketchObject& Measurement(int32_t kind, double value) {
        SketchObject& o = Make(7, kind, 40);
        o.value = value;
        o.hasValue = 1;
        o.parentCount = 1;
        return o;
    }
    SketchObject& CoordSystem(int32_t form) {
        SketchObject& o = Make(8, 34, 53);
        o.gridForm = form;
        o.visible = 1;
        return o;
    }

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
