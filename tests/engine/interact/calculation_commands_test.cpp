// The calculator commands, with the calculator, the parameter dialog and questions
// scripted: picking, parameters made in the calculator, the units warning, derivatives
// re-derived with their function, and the trigonometry question.
#include "engine/interact/calculation_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/calc/calc_editor.h"
#include "engine/calc/expression_compiler.h"
#include "engine/calc/derivative.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/core/marks.h"
#include "engine/core/services/calculator.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/status_text.h"
#include "engine/text/object_labels.h"
#include "engine/interact/command_executors.h"
#include "tests/support/alerts_double.h"
#include "tests/support/calculator_double.h"
#include "tests/support/dialogs_double.h"

namespace {

constexpr ExpressionToken kPlus = kClassOperator | kOpAdd;
constexpr ExpressionToken kTimes = kClassOperator | kOpMultiply;
constexpr ExpressionToken kOver = kClassOperator | kOpDivide;
constexpr ExpressionToken kPow = kClassOperator | kOpPower;
constexpr int32_t kNewCalculation = 0;
constexpr int32_t kNewFunction = kCalcCommandFunction;
constexpr int32_t kEditCalculation = kCalcCommandEdit;
constexpr int32_t kEditFunction = kCalcCommandEdit | kCalcCommandFunction;

using Step = std::function<void()>;

Step Insert(std::vector<ExpressionToken> tokens) {
    return [tokens] {
        for (ExpressionToken t : tokens) CalcEditorInsertAndDraw(t, nullptr);
    };
}
Step Type(const char* letters) {
    return [letters] {
        bool consumed = false;
        for (const char* c = letters; *c; ++c) CalcEditorTypeLetter(*c, nullptr, &consumed);
    };
}
Step ReplaceAll() {
    return [] {
        CalcEditorMoveCaret(kCaretSelectAll, false, nullptr);
        CalcEditorMoveCaret(kCaretDelete, false, nullptr);
    };
}
Step Pick(SketchObject* o) {
    return [o] { PickSessionClick(o); };
}
// "New Parameter..." of the Values menu: the item before the group of pi and e.
Step NewParameter() {
    return [] {
        uint32_t counter = 1000;
        RecordedPopupEntries().clear();
        if (BuildCalcPopupMenu(RecordingPopupMenu(), kCalcMenuValues, &counter)) {
            const std::vector<PopupEntry>& entries = RecordedPopupEntries();
            size_t separator = entries.size();
            while (separator > 0 && entries[separator - 1].kind != 0) --separator;
            if (separator >= 2) DoCalcMenuItem(entries[separator - 2].id);
        }
        FreeCalcPopupMenu();
    };
}

class CalculationCommandsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetCalculatorDoubles();
        ResetDialogDoubles();
        ResetAlertDoubles();
    }
    void TearDown() override {
        ResetCalculatorDoubles();
        ResetDialogDoubles();
        SketchTest::TearDown();
    }
    // A distance parameter made by New Parameter.
    SketchObject* DistanceParameter(double value) {
        DialogScript answer;
        answer.edits.push_back([value](void* record) {
            auto* r = static_cast<ParameterDialogRecord*>(record);
            r->value.value.real = value;
            r->units.value.integer = 2;
        });
        ScriptDialogs({answer});
        EXPECT_EQ(NewParameterCommand(0), kResultOK);
        return Newest();
    }
    static void Calculator(std::vector<Step> steps, bool ok = true) { ScriptCalculator({{std::move(steps), ok}}); }
    SketchObject* Run(int32_t flags, std::vector<Step> steps, bool ok = true) {
        Calculator(std::move(steps), ok);
        EXPECT_EQ(EditCalculationCommand(flags), kResultOK);
        return Newest();
    }
    SketchObject* Newest() const {
        SketchObject* last = nullptr;
        for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            if (CalculationDataOf(o)) last = o;
        return last;
    }
    int32_t Calculations() const {
        int32_t n = 0;
        for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            n += CalculationDataOf(o) ? 1 : 0;
        return n;
    }
    void Edit(SketchObject* o) {
        DeselectAll();
        SelectSketchObject(o);
    }
    static double At(SketchObject* f, double x) {
        CalculationData* c = CalculationDataOf(f);
        c->compiled.pool[0] = x;
        double v = 0;
        EXPECT_EQ(EvaluateExpression(&c->compiled, ParentItemsOf(f), ParentCountOf(f), &v), 1);
        return v;
    }
    static int32_t AlertsOf(int32_t code) {
        int32_t n = 0;
        for (const ShownAlert& a : ShownAlerts()) n += a.code == code;
        return n;
    }
};

TEST_F(CalculationCommandsTest, NewCalculationFromAPickedValue) {
    SketchObject* m = DistanceParameter(5);
    const int32_t depth = UndoDepth();
    SketchObject* c = Run(kNewCalculation, {Pick(m), Insert({kTimes, 2})});
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(RanCalculators().size(), 1u);
    EXPECT_EQ(RanCalculators()[0].mode, kCalcModeNewCalculation);
    EXPECT_EQ(RanCalculators()[0].titleItem, 35);
    EXPECT_EQ(Parents(c), std::vector<SketchObject*>{m});
    EXPECT_DOUBLE_EQ(CalculationValue(c), 10);
    EXPECT_EQ(c->objectKind, kKindDistanceMeasure);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(MarkSlotState(kMarkCategoryCalculator), 0);  // the offer ends with the command
    // Cancel and an expression that does not compile build nothing.
    Run(kNewCalculation, {Insert({1, kPlus, 2})}, false);
    Run(kNewCalculation, {Insert({1, kPlus})});
    EXPECT_EQ(Calculations(), 2);
    EXPECT_EQ(UndoDepth(), depth + 1);
}

// A calculation without parents is no parameter: it counts and letters with the
// measurements, and leaves the caption and parameter sequence alone.
TEST_F(CalculationCommandsTest, ParentlessCalculationsTakeTheMeasurementSequence) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(40, 50);
    SketchObject* m = ConstructObject(41, nullptr, List({a, b}), 0, true, false, nullptr);  // distance
    ASSERT_NE(m, nullptr);
    RecomputeObject(m, nullptr, true);
    const LabelSequence captions = sketch->labelSequences[0];
    SketchObject* sum = Run(kNewCalculation, {Insert({1, kPlus, 2})});
    ASSERT_NE(sum, nullptr);
    ASSERT_NE(sum, m);
    EXPECT_FALSE(IsParameter(sum));
    char text[kLabelBufferSize];
    GetObjectLabelText(m, text, sizeof text);
    EXPECT_STREQ(text, "#1");
    GetObjectLabelText(sum, text, sizeof text);
    EXPECT_STREQ(text, "m[1]");
    EXPECT_EQ(sketch->labelSequences[7].number, 3);  // "#1" and "#2" came from one counter
    EXPECT_STREQ(GetObjectLabel(m, kLabelAutomatic, text, nullptr), "m[2]");
    EXPECT_EQ(sketch->labelSequences[0].position, captions.position);
    EXPECT_EQ(sketch->labelSequences[0].round, captions.round);
    EXPECT_EQ(sketch->labelSequences[0].number, captions.number);
}

TEST_F(CalculationCommandsTest, ParametersMadeInTheCalculatorGoWithItsAnswer) {
    ScriptDialogs({{{}, true}, {{}, true}});
    Run(kNewCalculation, {NewParameter(), Insert({kPlus}), NewParameter()}, false);
    EXPECT_EQ(RanDialogs().size(), 2u);
    EXPECT_EQ(sketch->firstObject, nullptr);  // both parameters gone with Cancel

    const int32_t depth = UndoDepth();
    ScriptDialogs({{{}, true}, {{}, true}});
    SketchObject* sum = Run(kNewCalculation, {NewParameter(), Insert({kPlus}), NewParameter()});
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(Calculations(), 3);
    EXPECT_DOUBLE_EQ(CalculationValue(sum), 2);
    for (SketchObject* p : Parents(sum)) {
        EXPECT_TRUE(IsParameter(p));
        EXPECT_FALSE(HasMarkCategory(kMarkCategoryCalculator2, p));
    }
    EXPECT_EQ(UndoDepth(), depth + 1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    int32_t linked = 0;
    for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch) ++linked;
    EXPECT_EQ(linked, 0);
}

TEST_F(CalculationCommandsTest, UnitsWarningOnlyWhenTheEditIsFirstApplied) {
    SketchObject* m = DistanceParameter(5);
    SketchObject* c = Run(kNewCalculation, {Pick(m)});
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->objectKind, kKindDistanceMeasure);
    // A circle takes c as its radius: its construction consumes the value.
    ASSERT_NE(Build(4, {PointAt(0, 0), c}), nullptr);
    Edit(c);
    Run(kEditCalculation, {Insert({kOver, kClassParentValue | 0})});
    EXPECT_NE(c->objectKind, kKindDistanceMeasure);
    EXPECT_EQ(AlertsOf(126), 1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(c->objectKind, kKindDistanceMeasure);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(AlertsOf(126), 1);
    // An edit that keeps the units says nothing.
    Edit(c);
    Run(kEditCalculation, {Insert({kTimes, 3})});
    EXPECT_EQ(AlertsOf(126), 1);
}

TEST_F(CalculationCommandsTest, EditingAFunctionRederivesItsDerivativesInTheSameStep) {
    SketchObject* f = Run(kNewFunction, {Type("x^3")});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(RanCalculators().back().mode, kCalcModeNewFunction);
    Edit(f);
    ASSERT_EQ(DerivativeCommand(0), kResultOK);
    SketchObject* d1 = Newest();
    Edit(d1);
    ASSERT_EQ(DerivativeCommand(0), kResultOK);
    SketchObject* d2 = Newest();
    ASSERT_NE(d2, d1);
    EXPECT_DOUBLE_EQ(At(d2, 2), 12);
    // A derivative is edited only through its function.
    Edit(d2);
    Run(kEditFunction, {});
    EXPECT_EQ(AlertsOf(135), 1);

    const int32_t depth = UndoDepth();
    Edit(f);
    Run(kEditFunction, {ReplaceAll(), Type("x^4")});
    EXPECT_EQ(RanCalculators().back().mode, kCalcModeEditFunction);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_DOUBLE_EQ(At(d1, 2), 32);
    EXPECT_DOUBLE_EQ(At(d2, 2), 48);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_NEAR(At(d2, 2), 12, 1e-3);
}

TEST_F(CalculationCommandsTest, TrigQuestionUntilDeclined) {
    sketch->settings.angleUnit = 1;  // degrees
    ScriptQuestionAnswers({false});
    ASSERT_NE(Run(kNewFunction, {Type("sin"), Type("x")}), nullptr);
    ASSERT_EQ(AskedQuestions().size(), 1u);
    EXPECT_EQ(AskedQuestions()[0].code, 143);
    Run(kNewFunction, {Type("cos"), Type("x")});
    EXPECT_EQ(AskedQuestions().size(), 1u);
    EXPECT_EQ(sketch->settings.angleUnit, 1);
}

TEST_F(CalculationCommandsTest, DependantsOfTheEditedObjectAreNotOffered) {
    SketchObject* m = DistanceParameter(5);
    SketchObject* c1 = Run(kNewCalculation, {Pick(m), Insert({kTimes, 2})});
    SketchObject* c2 = Run(kNewCalculation, {Pick(c1), Insert({kPlus, 1})});
    ASSERT_NE(c2, c1);
    DeselectAll();
    SelectSketchObject(c2);
    SelectSketchObject(c1);  // the edited one is the newest selection
    std::vector<SketchObject*> offered;
    bool c2Marked = true;
    Run(kEditCalculation,
        {[&] {
             uint32_t counter = 1;
             BuildCalcPopupMenu(RecordingPopupMenu(), kCalcMenuValues, &counter);
             for (uint32_t id = 1; id < counter; ++id)
                 if (SketchObject* o = CalcMenuItemObject(id)) offered.push_back(o);
             c2Marked = HasMarkCategory(kMarkCategoryCalculator, c2);
             // Picking c2 is refused.
             PickSessionClick(c2);
         }},
        false);
    EXPECT_EQ(offered, std::vector<SketchObject*>{m});
    EXPECT_FALSE(c2Marked);
}

TEST_F(CalculationCommandsTest, PickingTellsWhatAClickWouldInclude) {
    SketchObject* m = DistanceParameter(5);
    SketchObject* f = Run(kNewFunction, {Type("x")});
    SketchObject* point = PointAt(1, 1);
    InitStatusText();
    std::vector<std::string> shown;
    auto hover = [&](SketchObject* o) {
        return [&, o] {
            PickSessionHover(o);
            const char* text = nullptr;
            FetchStatusText(&text);
            shown.push_back(text ? text : "(none)");
        };
    };
    Run(kNewCalculation, {hover(m), hover(f), hover(point), hover(nullptr)}, false);
    FreeStatusText();
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Click to include this measurement's value in the expression",
                         "Click to include this function in the expression",
                         "Click measurements or functions in the sketch to include them in the edited expression",
                         "Click measurements or functions in the sketch to include them in the edited expression"}));
}

TEST_F(CalculationCommandsTest, OutOfMemoryLeavesAllOrNothing) {
    for (uint32_t n = 1; n < 2000; ++n) {
        SCOPED_TRACE(n);
        ScriptDialogs({{{}, true}, {{}, true}});
        Calculator({NewParameter(), Insert({kPlus}), NewParameter(), Insert({kTimes, 3})});
        SetAllocFailureAfter(n);
        EditCalculationCommand(kNewCalculation);
        SetAllocFailureAfter(0);
        const int32_t made = Calculations();
        ASSERT_TRUE(made == 0 || made == 3) << made;
        if (made == 3) break;
    }
    EXPECT_EQ(Calculations(), 3);
}

}  // namespace
