// The Derivative command: one undoable step, the exact definition when the rewrite
// succeeds, the approximate one with alert 134 when the user cancels.
#include "engine/interact/derivative_command.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/derivative.h"
#include "engine/calc/edit_record.h"
#include "engine/core/copy_map.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/command_executors.h"
#include "tests/support/alerts_double.h"
#include "tests/support/document_services_double.h"

namespace {

constexpr ExpressionToken kPow = kClassOperator | kOpPower;
constexpr ExpressionToken kTimes = kClassOperator | kOpMultiply;

class DerivativeCommandTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetAlertDoubles();
        ResetDocumentServices();
    }
    void TearDown() override {
        ResetDocumentServices();
        SketchTest::TearDown();
    }
    SketchObject* Cube() {
        CalculationEditRecord r = EditRecord(kFormYofX, {kTokenVariable, kPow, 3});
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindFunction, 0 };
        SketchObject* f = ConstructObjectEx(&t, &r, 0, 0, nullptr, nullptr, false);
        ReleaseCalculationEditRecord(&r);
        return f;
    }
    std::vector<SketchObject*> Derived() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            if (o->constructionType == kTypeDerivative) out.push_back(o);
        return out;
    }
    static std::vector<ExpressionToken> Infix(const SketchObject* o) {
        const CalculationData* c = CalculationDataOf(o);
        return {c->infixTokens, c->infixTokens + c->infixCount};
    }
};

TEST_F(DerivativeCommandTest, DerivesExactlyInOneUndoStep) {
    SketchObject* f = Cube();
    ASSERT_NE(f, nullptr);
    SelectSketchObject(f);
    const int32_t depth = UndoDepth();
    ASSERT_EQ(DerivativeCommand(0), kResultOK);
    const std::vector<SketchObject*> made = Derived();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(made[0]->objectKind, kKindExactDerivative);
    EXPECT_EQ(ParentItemsOf(made[0])[0], f);
    EXPECT_EQ(Infix(made[0]), (std::vector<ExpressionToken>{3, kTimes, kTokenVariable, kPow, 2}));
    EXPECT_TRUE(ShownAlerts().empty());
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(Derived().empty());
}

TEST_F(DerivativeCommandTest, CancellingKeepsTheApproximateDefinition) {
    SketchObject* f = Cube();
    ASSERT_NE(f, nullptr);
    SelectSketchObject(f);
    RecordedDocumentServices().stopAtUpdate = 3;
    ASSERT_EQ(DerivativeCommand(0), kResultOK);
    const std::vector<SketchObject*> made = Derived();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0]->objectKind, kKindApproximateDerivative);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, kDeriveInterrupted);
    // (f(x+0.005)-f(x-0.005))/0.01 of x^3 at 2.
    CalculationData* c = CalculationDataOf(made[0]);
    c->compiled.pool[0] = 2;
    double y = 0;
    ASSERT_EQ(EvaluateExpression(&c->compiled, ParentItemsOf(made[0]), ParentCountOf(made[0]), &y), 1);
    EXPECT_NEAR(y, 12.000025, 1e-9);
}

// A derived function copied by a tool run is defined approximately on its copied
// function alone and derived exactly when the run is done; paste keeps what it copied.
TEST_F(DerivativeCommandTest, CopiedDerivativesAreRebuiltOnTheirCopiedFunction) {
    SketchObject* f = Cube();
    ASSERT_NE(f, nullptr);
    SelectSketchObject(f);
    ASSERT_EQ(DerivativeCommand(0), kResultOK);
    ASSERT_EQ(Derived().size(), 1u);
    SketchObject* d = Derived()[0];
    ASSERT_EQ(d->objectKind, kKindExactDerivative);
    DeselectAll();

    for (int32_t mode : { int32_t(kClonePlayback), int32_t(kClonePaste) }) {
        SCOPED_TRACE(mode);
        Sketch* target = CreateSketch(0, nullptr);
        ASSERT_NE(target, nullptr);
        CopyMap map{};
        ASSERT_TRUE(SetupCopyMap(&map, sketch, false));
        SetCurrentSketch(target, nullptr);
        target->cloneMode = mode;
        for (int32_t i = 0; i < map.objectCount; ++i) {
            SketchObject* copy = nullptr;
            ASSERT_EQ(CloneObjectIntoSketch(&map, map.sources[i], &copy), kResultOK);
        }
        target->cloneMode = kCloneNone;
        SketchObject* fc = map.entries[f->givenIndex].copy;
        SketchObject* dc = map.entries[d->givenIndex].copy;
        ASSERT_TRUE(fc && dc);
        EXPECT_EQ(fc->objectKind, f->objectKind);  // a copied function stays a function
        ASSERT_EQ(ParentCountOf(dc), 1u);
        EXPECT_EQ(ParentItemsOf(dc)[0], fc);
        int32_t extras = 0;
        PtrListSize(map.extra, &extras);
        if (mode == kClonePlayback) {
            EXPECT_EQ(dc->objectKind, kKindApproximateDerivative);
            EXPECT_EQ(extras, 1);
            EXPECT_EQ(RebuildCopiedDerivatives(&map), kResultOK);
        } else {
            EXPECT_EQ(extras, 0);
        }
        EXPECT_EQ(dc->objectKind, kKindExactDerivative);
        EXPECT_EQ(Infix(dc), Infix(d));
        FreeCopyMap(&map, false);
        SetCurrentSketch(sketch, nullptr);
        FreeSketch(target);
    }
}

}  // namespace
