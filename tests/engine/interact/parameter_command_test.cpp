// New Parameter and the parameter dialog, scripted.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "engine/interact/interaction_services.h"
#include "tests/support/dialogs_double.h"

namespace {

class ParameterCommandTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
    }
    void TearDown() override {
        ResetDialogDoubles();
        SketchTest::TearDown();
    }
    static DialogScript Answer(double value, int32_t units, const char* name, bool ok = true) {
        DialogScript s;
        s.ok = ok;
        s.edits.push_back([=](void* record) {
            auto* r = static_cast<ParameterDialogRecord*>(record);
            r->value.value.real = value;
            r->units.value.integer = units;
            if (name) std::snprintf(r->nameText, sizeof r->nameText, "%s", name);
        });
        return s;
    }
};

TEST_F(ParameterCommandTest, NewParameterIsOneUndoStepWithItsUnitsAndName) {
    ScriptDialogs({Answer(2.5, 1, "speed")});
    const int32_t depth = UndoDepth();
    ASSERT_EQ(NewParameterCommand(0), kResultOK);
    SketchObject* p = sketch->firstObject;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(p->objectKind, kKindAngleParameter);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 2.5);
    char label[64];
    GetObjectLabelText(p, label, sizeof label);
    EXPECT_STREQ(label, "speed");
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogNewParameter);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
}

TEST_F(ParameterCommandTest, CancelBuildsNothingAndKeepsTheNextLetter) {
    const LabelSequence before = sketch->labelSequences[0];
    ScriptDialogs({Answer(3, 0, nullptr, false)});
    const int32_t depth = UndoDepth();
    ASSERT_EQ(NewParameterCommand(0), kResultOK);
    EXPECT_EQ(sketch->firstObject, nullptr);
    EXPECT_EQ(UndoDepth(), depth);
    EXPECT_EQ(sketch->labelSequences[0].position, before.position);
}

TEST_F(ParameterCommandTest, EditingAValueIsUndoableAndKeepsTheKind) {
    ScriptDialogs({Answer(4, 2, nullptr)});
    ASSERT_EQ(NewParameterCommand(0), kResultOK);
    SketchObject* p = sketch->firstObject;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->objectKind, kKindDistanceParameter);
    ScriptDialogs({Answer(9, 0, nullptr)});
    CalculationEditRecord unused{};
    ASSERT_TRUE(RunParameterDialog(p, &unused, nullptr, 0));
    RecomputeObject(p, nullptr, true);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 9);
    EXPECT_EQ(p->objectKind, kKindDistanceParameter);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 4);
}

TEST_F(ParameterCommandTest, DoubleClickEditsTheValueWithUndo) {
    ScriptDialogs({Answer(3, 2, nullptr)});
    ASSERT_EQ(NewParameterCommand(0), kResultOK);
    SketchObject* p = sketch->firstObject;
    ASSERT_NE(p, nullptr);
    ScriptDialogs({Answer(5, 2, nullptr)});
    RunParameterDialog(p);
    ASSERT_FALSE(RanDialogs().empty());
    EXPECT_EQ(RanDialogs().back().kind, kDialogNewParameter);
    RecomputeObject(p, nullptr, true);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 5);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 3);
}

// A double click on a parameter, whatever its unit, opens the parameter dialog (not the
// calculator): distance and angle parameters are kinds of measurement, not of parameter.
TEST_F(ParameterCommandTest, DoubleClickOnAParameterOfEachUnitOpensTheParameterDialog) {
    for (int32_t units : {0, 1, 2}) {
        SCOPED_TRACE(units);
        ScriptDialogs({Answer(3, units, nullptr)});
        ASSERT_EQ(NewParameterCommand(0), kResultOK);
        SketchObject* p = sketch->firstObject;
        while (p && p->nextInSketch) p = p->nextInSketch;
        ASSERT_NE(p, nullptr);
        RecomputeObject(p, nullptr, true);
        gEngine.frontSketch = sketch;
        ResetMouseState();
        SetCurrentTool(kToolTranslateArrow);
        DeselectAll();
        const ScreenRect r = p->bounds;
        const ScreenPoint inside = { static_cast<int16_t>((r.left + r.right) / 2),
                                     static_cast<int16_t>((r.top + r.bottom) / 2) };
        ScriptDialogs({Answer(5, units, nullptr)});
        SketchMouseDown(0, inside);
        SketchMouseUp(0, inside);
        SketchDoubleClick(0, inside);
        SketchMouseUp(0, inside);
        ASSERT_FALSE(RanDialogs().empty());
        EXPECT_EQ(RanDialogs().back().kind, kDialogNewParameter);
        RecomputeObject(p, nullptr, true);
        EXPECT_DOUBLE_EQ(CalculationValue(p), 5);
        ResetMouseState();
        gEngine.frontSketch = nullptr;
    }
}

}  // namespace
