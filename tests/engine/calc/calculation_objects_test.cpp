// Class 11 objects made through the engine's construction: merged parents, the pinned
// source of derived functions, parameters with their settings, values and tokens.
#include "engine/calc/calculation_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "calc_fixture.h"
#include "edit_record.h"
#include "engine/calc/parameters.h"
#include "engine/core/iterations.h"
#include "engine/core/sketch_fixture.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"

using namespace calc_test;

namespace {

class CalculationObjectTest : public SketchTest {
protected:
    SketchObject* Make(int32_t type, std::vector<ExpressionToken> tokens, std::initializer_list<SketchObject*> parents,
                       int32_t form = kFormCalculation) {
        CalculationEditRecord r = EditRecord(form, tokens);
        SketchObject* o = ConstructObject(type, &r, parents.size() ? List(parents) : 0, 0, true, false, nullptr);
        ReleaseCalculationEditRecord(&r);
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    }
    static SketchObject* Number(double value, int32_t kind = kKindPlainParameter) { return NewParameter(value, kind); }
    static std::vector<ExpressionToken> Infix(const SketchObject* o) {
        const CalculationData* c = CalculationDataOf(o);
        return {c->infixTokens, c->infixTokens + c->infixCount};
    }
};

TEST_F(CalculationObjectTest, RepeatedParentsAreMergedAndTheTokensFollow) {
    SketchObject* a = Number(2);
    SketchObject* b = Number(5);
    ASSERT_TRUE(a && b);
    SketchObject* sum = Make(kTypeCalculation, {calc_test::Value(0), kPlus, calc_test::Value(1), kPlus, calc_test::Value(2)}, {a, b, a});
    ASSERT_NE(sum, nullptr);
    ASSERT_EQ(ParentCountOf(sum), 2u);
    EXPECT_EQ(ParentItemsOf(sum)[0], a);
    EXPECT_EQ(ParentItemsOf(sum)[1], b);
    EXPECT_EQ(Infix(sum), (std::vector<ExpressionToken>{calc_test::Value(0), kPlus, calc_test::Value(1), kPlus, calc_test::Value(0)}));
    EXPECT_DOUBLE_EQ(CalculationValue(sum), 9);
    // Each parent lists the calculation once.
    int32_t children = 0;
    PtrListSize(a->children, &children);
    EXPECT_EQ(children, 1);
    EXPECT_EQ(sum->objectKind, kKindPlainCalculation);
}

TEST_F(CalculationObjectTest, DerivedFunctionKeepsItsSourceFirst) {
    SketchObject* f = Make(kTypeFunction, {kX, kPow, 2}, {}, kFormYofX);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->objectKind, kKindFunction);
    // The derivative of x^2 written back no longer names f.
    SketchObject* d = Make(kTypeDerivative, {2, kTimes, kX}, {f}, kFormYofX);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(ParentCountOf(d), 1u);
    EXPECT_EQ(ParentItemsOf(d)[0], f);
}

TEST_F(CalculationObjectTest, AnExpressionThatDoesNotCompileMakesNoObject) {
    EXPECT_EQ(Make(kTypeCalculation, {1, kPlus}, {}), nullptr);
    EXPECT_EQ(sketch->firstObject, nullptr);
}

TEST_F(CalculationObjectTest, FunctionsLayOutOnceUntilTheirSlotsAreCleared) {
    SketchObject* f = Make(kTypeFunction, {kX, kPlus, 1}, {}, kFormYofX);
    ASSERT_NE(f, nullptr);
    CaptionData& caption = ValueDisplayOf(f)->caption;
    ASSERT_NE(caption.layout, nullptr);
    LayoutNode* first = caption.layout;
    RecomputeObject(f, nullptr, true);
    EXPECT_EQ(caption.layout, first);
    ClearValueSlots(f);
    RecomputeObject(f, nullptr, true);
    EXPECT_NE(caption.layout, nullptr);
    EXPECT_NE(PtrListItem(caption.valueSlots, 0), nullptr);
    // Function display parts: the layout itself, and the name owned by the caller.
    const DisplayPartsOps* ops = CalculationDisplayPartsOf(f);
    EXPECT_EQ(ops->partCount(f), 3);
    int32_t flatten, join, wrap, owned;
    TextStyle style;
    EXPECT_EQ(ops->buildPart(f, 1, &flatten, &join, &wrap, &style, &owned), caption.layout);
    EXPECT_EQ(owned, 0);
    LayoutNode* name = ops->buildPart(f, 2, &flatten, &join, &wrap, &style, &owned);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(owned, 1);
    FreeLayoutNode(name);
}

TEST_F(CalculationObjectTest, NumbersBecomeTokensThatCompileToParameters) {
    SketchUnits units(kDistancePixels, kAngleDegrees);
    struct Case {
        double value;
        int32_t kind;
        std::vector<ExpressionToken> tokens;
    };
    const Case cases[] = {
        {1234567890, kKindPlainParameter, {1, kDot, 2, 3, 4, 5, 6, 7, 8, 9, kTimes, 1, 0, kPow, 9}},
        {0.000012, kKindPlainParameter, {1, kDot, 2, kTimes, 1, 0, kPow, kNeg, 5}},
        {2.5, kKindAngleParameter, {2, kDot, 5, kDegrees}},
        {-5, kKindPlainParameter, {kNeg, 5}},
        {3, kKindDistanceParameter, {3, kTokenDistanceUnit + kDistancePixels}},
        // Equal constants share pool slots: the scientific form is still known.
        {9e9, kKindPlainParameter, {9, kTimes, 1, 0, kPow, 9}},
        {1e10, kKindPlainParameter, {1, kTimes, 1, 0, kPow, 1, 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.value);
        SketchObject* p = Number(k.value, k.kind);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Infix(p), k.tokens);
        EXPECT_TRUE(IsParameterExpression(p));
        EXPECT_EQ(p->objectKind, k.kind);
        EXPECT_NEAR(CalculationValue(p), k.value, std::fabs(k.value) * 1e-12);
    }
    CalculationEditRecord r{};
    EXPECT_FALSE(NumberToExpressionTokens(&r, 10, 1234567890, kKindPlainParameter));
    EXPECT_EQ(r.tokens, nullptr);
    SketchObject* sum = Make(kTypeCalculation, {2, kPlus, 3}, {});
    ASSERT_NE(sum, nullptr);
    EXPECT_FALSE(IsParameter(sum));
}

TEST_F(CalculationObjectTest, ParameterValuesAreSetAndNonFiniteOnesRefused) {
    SketchObject* p = Number(4);
    ASSERT_NE(p, nullptr);
    const uint32_t generation = p->generation;
    ASSERT_TRUE(SetParameterValue(p, -0.25, false));
    RecomputeObject(p, nullptr, true);
    EXPECT_DOUBLE_EQ(CalculationValue(p), -0.25);
    EXPECT_GT(p->generation, generation);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_FALSE(SetParameterValue(p, bad, false));
        RecomputeObject(p, nullptr, true);
        EXPECT_DOUBLE_EQ(CalculationValue(p), -0.25);
    }
}

TEST_F(CalculationObjectTest, ParametersStartWithTheDefaultsOfTheirKind) {
    {
        SketchUnits units(kDistancePixels, kAngleDegrees);
        SketchObject* angle = Number(30, kKindAngleParameter);
        ASSERT_NE(angle, nullptr);
        ParameterMotion m;
        GetParameterMotion(angle, &m, false);
        EXPECT_NEAR(m.min, 0, 1e-9);
        EXPECT_NEAR(m.max, 360, 1e-9);
        EXPECT_NEAR(m.rate, 45, 1e-9);
        EXPECT_NEAR(m.step, 5, 1e-9);
        EXPECT_EQ(m.direction, 0);
        EXPECT_EQ(m.modeFlag, 1);
        GetParameterMotion(angle, &m, true);
        EXPECT_NEAR(m.max, 6.283185307179586, 1e-9);
    }
    SketchUnits units(kDistancePixels, kAngleRadians);
    SketchObject* angle = Number(1, kKindAngleParameter);
    ASSERT_NE(angle, nullptr);
    ParameterMotion m;
    GetParameterMotion(angle, &m, false);
    EXPECT_NEAR(m.max, 6.2831853071796, 1e-12);
    EXPECT_NEAR(m.rate, 0.78539816339745, 1e-12);
    SketchObject* plain = Number(1);
    GetParameterMotion(plain, &m, false);
    EXPECT_EQ(m.min, -100);
    EXPECT_EQ(m.max, 100);
    EXPECT_EQ(m.direction, 2);
}

TEST_F(CalculationObjectTest, MotionSettingsArePutInOrder) {
    struct Case {
        const char* name;
        ParameterMotion in, out;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"equal range", {10, 10, 1, 1, 1, 1, 2}, {9, 10, 1, 1, 1, 1, 2}},
        {"reversed range", {20, 10, 1, 1, 1, 1, 2}, {10, 20, 1, 1, 1, 1, 2}},
        {"negative rate", {0, 1, -2, 1, 1, 1, 0}, {0, 1, 2, 1, 1, 1, 1}},
        {"rate limits", {0, 1, 9e9, 1, 1, 1, 2}, {0, 1, 500000, 1, 1, 1, 2}},
        {"zero rate and step", {0, 1, 0, 1, 0, 0, 2}, {0, 1, 1, 1, 1, 0, 2}},
        {"seconds", {0, 1, 1, 9000, -3, 1, 2}, {0, 1, 1, 3600, 3, 1, 2}},
        {"not numbers", {nan, nan, nan, nan, nan, 1, 2}, {-1e6, 1e6, 1, 0.001, 1, 1, 2}},
        // Clamped first, then ordered: never a minimum above the maximum.
        {"both above the limit", {2e6, 3e6, 1, 1, 1, 1, 2}, {999999, 1e6, 1, 1, 1, 1, 2}},
        {"both below the limit", {-3e6, -2e6, 1, 1, 1, 1, 2}, {-1e6, -999999 + 0.0, 1, 1, 1, 1, 2}},
    };
    SketchObject* p = Number(1);
    ASSERT_NE(p, nullptr);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SetParameterMotion(p, k.in);
        ParameterMotion m;
        GetParameterMotion(p, &m, false);
        EXPECT_LE(m.min, m.max);
        EXPECT_DOUBLE_EQ(m.min, k.out.min);
        EXPECT_DOUBLE_EQ(m.max, k.out.max);
        EXPECT_DOUBLE_EQ(m.rate, k.out.rate);
        EXPECT_DOUBLE_EQ(m.seconds, k.out.seconds);
        EXPECT_DOUBLE_EQ(m.step, k.out.step);
        EXPECT_EQ(m.modeFlag, k.out.modeFlag);
        EXPECT_EQ(m.direction, k.out.direction);
    }
}

}  // namespace

// Values as seeds of an iteration: x goes to x + 1, and a circle of radius x + 1 shows
// each step; x and its calculation come back afterwards.
TEST_F(CalculationObjectTest, ValueSeedsMoveToTheirImagesAndComeBack) {
    sketch->settings.distanceUnit = 0;  // pixels
    SketchObject* x = Number(2);
    SketchObject* next = Make(kTypeCalculation, {calc_test::Value(0), kPlus, 1}, {x});
    ASSERT_NE(next, nullptr);
    SketchObject* circle = Build(kTypeCircleByRadius, {PointAt(100, 100), next});
    ASSERT_NE(circle, nullptr);
    SketchObject* entries[] = {x, next};
    IterationBuild build{};
    build.entries = entries;
    build.seedCount = 1;
    build.mapCount = 1;
    build.depth = 3;
    build.preview = 1;
    SketchObject* iteration = BuildIteration(&build);
    ASSERT_NE(iteration, nullptr);
    EXPECT_EQ(build.hasNonPointImages, 1);
    RecomputeSketch(false);
    SketchObject* image = nullptr;
    for (SketchObject* c : Children(iteration))
        if (c->objectClass == kClassIteratedImage) image = c;
    ASSERT_NE(image, nullptr);
    std::vector<int32_t> widths;
    EnumerateIteratedImages(
        image,
        [](void* state, uint8_t* record, int32_t) {
            int16_t left, right;
            std::memcpy(&left, record, 2);
            std::memcpy(&right, record + 4, 2);
            static_cast<std::vector<int32_t>*>(state)->push_back(right - left);
            return true;
        },
        &widths);
    EXPECT_EQ(widths, (std::vector<int32_t>{9, 11, 13}));  // radius 4, 5, 6: the bounds take 2 r + 1
    EXPECT_EQ(ValueDisplayOf(x)->value, 2);
    EXPECT_EQ(ValueDisplayOf(next)->value, 3);
}
