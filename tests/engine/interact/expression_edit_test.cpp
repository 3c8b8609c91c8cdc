// Expression edits as one undo step: parameter values, an edited function with its
// derivatives of derivatives re-derived in the same step, and the all-or-nothing swap.
#include "engine/interact/expression_edit.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/derivative.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/edit_record.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/command_executors.h"
#include "tests/support/alerts_double.h"
#include "tests/support/document_services_double.h"

namespace {

constexpr ExpressionToken kPow = kClassOperator | kOpPower;
constexpr ExpressionToken kTimes = kClassOperator | kOpMultiply;
constexpr ExpressionToken kX = kTokenVariable;

class ExpressionEditTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetAlertDoubles();
        ResetDocumentServices();
    }
    static ExpressionToken* Tokens(std::vector<ExpressionToken> t) {
        auto* out = static_cast<ExpressionToken*>(AllocMemory(t.size() * sizeof(ExpressionToken), 0));
        std::copy(t.begin(), t.end(), out);
        return out;
    }
    SketchObject* Free(int32_t form, int32_t kind, std::vector<ExpressionToken> t) {
        CalculationEditRecord r = EditRecord(form, t);
        const ObjectTemplate tp = { kTypeFree, 0, 0, kClassCalculation, 1, kind, 0 };
        SketchObject* o = ConstructObjectEx(&tp, &r, 0, 0, nullptr, nullptr, false);
        ReleaseCalculationEditRecord(&r);
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    }
    SketchObject* DerivativeOf(SketchObject* f) {
        SelectSketchObject(f);
        EXPECT_EQ(DerivativeCommand(0), kResultOK);
        DeselectAll();
        for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            if (o->constructionType == kTypeDerivative && ParentItemsOf(o)[0] == f) return o;
        return nullptr;
    }
    static std::vector<ExpressionToken> Infix(const SketchObject* o) {
        const CalculationData* c = CalculationDataOf(o);
        return {c->infixTokens, c->infixTokens + c->infixCount};
    }
};

TEST_F(ExpressionEditTest, ParameterValuesSetWithUndo) {
    SketchObject* p = Free(kFormCalculation, kKindPlainParameter, {4});
    ASSERT_NE(p, nullptr);
    const int32_t depth = UndoDepth();
    ASSERT_TRUE(SetParameterValue(p, 7.5, true));
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 7.5);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 4);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_DOUBLE_EQ(CalculationValue(p), 7.5);
}

TEST_F(ExpressionEditTest, EditingAFunctionRederivesItsDerivativesInOneStep) {
    SketchObject* f = Free(kFormYofX, kKindFunction, {kX, kPow, 3});
    ASSERT_NE(f, nullptr);
    SketchObject* d1 = DerivativeOf(f);
    ASSERT_NE(d1, nullptr);
    SketchObject* d2 = DerivativeOf(d1);
    ASSERT_NE(d2, nullptr);
    EXPECT_EQ(Infix(d2), (std::vector<ExpressionToken>{6, kTimes, kX}));
    const int32_t depth = UndoDepth();
    ASSERT_EQ(ApplyEditedExpressionTokens(f, kFormYofX, Tokens({kX, kPow, 4}), 3), kResultOK);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(Infix(d1), (std::vector<ExpressionToken>{4, kTimes, kX, kPow, 3}));
    EXPECT_EQ(Infix(d2), (std::vector<ExpressionToken>{1, 2, kTimes, kX, kPow, 2}));
    EXPECT_EQ(d2->objectKind, kKindExactDerivative);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(Infix(f), (std::vector<ExpressionToken>{kX, kPow, 3}));
    EXPECT_EQ(Infix(d1), (std::vector<ExpressionToken>{3, kTimes, kX, kPow, 2}));
    EXPECT_EQ(Infix(d2), (std::vector<ExpressionToken>{6, kTimes, kX}));
}

TEST_F(ExpressionEditTest, SwapsAreAllOrNothingWhenMemoryRunsOut) {
    SketchObject* a = Free(kFormCalculation, kKindPlainParameter, {2});
    SketchObject* f = Free(kFormYofX, kKindFunction, {kX, kPow, 3});
    SketchObject* d1 = DerivativeOf(f);
    ASSERT_TRUE(a && f && d1);
    // f(x) = a * x^3: the function gains the parameter as parent.
    InfixExpression edit{kFormYofX, 5, Tokens({kClassParentValue | 0, kTimes, kX, kPow, 3})};
    CompiledExpression code{};
    ParentArray used{};
    ASSERT_EQ(CompileExpression(&edit, &a, 1, nullptr, &code, &used, nullptr), kCompileOK);
    ASSERT_EQ(ApplyEditedExpression(f, &used, &edit, &code), kResultOK);
    FreeParentArray(&used);
    EXPECT_EQ(ParentCountOf(f), 1u);
    const std::vector<ExpressionToken> edited = Infix(f), derivedEdited = Infix(d1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    const std::vector<ExpressionToken> original = Infix(f), derivedOriginal = Infix(d1);
    EXPECT_EQ(ParentCountOf(f), 0u);
    // Redo with every allocation failing in turn: the edit is in effect whole, or not at all.
    for (int n = 1; n < 200; ++n) {
        SetAllocFailureAfter(n);
        const ResultCode rc = UndoReplay(kUndoDirectionRedo);
        SetAllocFailureAfter(0);
        if (rc == kResultOK) {
            EXPECT_EQ(Infix(f), edited);
            EXPECT_EQ(Infix(d1), derivedEdited);
            EXPECT_EQ(ParentCountOf(f), 1u);
            break;
        }
        EXPECT_EQ(Infix(f), original);
        EXPECT_EQ(Infix(d1), derivedOriginal);
        EXPECT_EQ(ParentCountOf(f), 0u);
    }
}

}  // namespace
