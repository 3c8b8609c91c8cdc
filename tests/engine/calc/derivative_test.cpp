// Derivatives by rewriting, checked against their tokens where the text matters and
// against independently worked values; the rewriter's bounds, cancel and memory failure.
#include "engine/calc/derivative.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "calc_fixture.h"
#include "edit_record.h"
#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/core/sketch_fixture.h"

using namespace calc_test;

namespace {

// The rules differentiate trigonometric functions of radians.
class DerivativeTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->settings.angleUnit = kAngleRadians;
    }

    SketchObject* Function(std::vector<ExpressionToken> tokens, std::initializer_list<SketchObject*> parents = {}) {
        CalculationEditRecord r = EditRecord(kFormYofX, tokens);
        SketchObject* f = ConstructObject(kTypeFunction, &r, parents.size() ? List(parents) : 0, 0, true, false, nullptr);
        ReleaseCalculationEditRecord(&r);
        EXPECT_NE(f, nullptr);
        return f;
    }

    // A parameter of value 4.
    SketchObject* FunctionParameter() {
        CalculationEditRecord r;
        EXPECT_TRUE(InitFunctionEditRecord(&r, kFormCalculation));
        r.tokens[0] = 4;
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0 };
        SketchObject* p = ConstructObjectEx(&t, &r, 0, 0, nullptr, nullptr, false);
        ReleaseCalculationEditRecord(&r);
        if (p) RecomputeObject(p, nullptr, true);
        return p;
    }

    struct Derived {
        ResultCode rc = kResultOK;
        std::vector<ExpressionToken> tokens;
        ParentArray parents{};
        ParentArray used{};  // what the compiled code names, in order of first use
        CompiledExpression code{};
        ~Derived() {
            FreeParentArray(&parents);
            FreeParentArray(&used);
            FreeCompiledExpression(&code);
        }
        double At(double x) {
            code.pool[0] = x;
            double y = NAN;
            return EvaluateExpression(&code, used.items, used.count, &y) ? y : NAN;
        }
    };
    static void Derive(SketchObject* f, bool exact, Derived* d, const DeriveBusy* busy = nullptr) {
        InfixExpression out{};
        d->rc = BuildDerivativeExpression(&out, &d->parents, f, exact, busy);
        if (d->rc != kResultOK) return;
        d->tokens.assign(out.tokens, out.tokens + out.count);
        ASSERT_EQ(CompileExpression(&out, d->parents.items, d->parents.count, nullptr, &d->code, &d->used, nullptr),
                  kCompileOK);
        FreeMemory(out.tokens);
    }
};

TEST_F(DerivativeTest, TextsOfSimpleDerivatives) {
    struct Case {
        const char* name;
        std::vector<ExpressionToken> f;
        std::vector<ExpressionToken> derivative;
    };
    const Case cases[] = {
        {"x^3", {kX, kPow, 3}, {3, kTimes, kX, kPow, 2}},
        {"sin(2*x)", {Fn(kFnSin), 2, kTimes, kX, kClose}, {2, kTimes, Fn(kFnCos), 2, kTimes, kX, kClose}},
        {"1/x", {1, kOver, kX}, {kNeg, 1, kOver, kX, kPow, 2}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Derived d;
        Derive(Function(k.f), true, &d);
        ASSERT_EQ(d.rc, kResultOK);
        EXPECT_EQ(d.tokens, k.derivative);
    }
}

// The rule lists are tried in their order, with the replacements as they stand: the
// final result is sorted, so one step at the top node shows what the rules build.
TEST_F(DerivativeTest, OneStepAppliesTheFirstRuleOfTheList) {
    struct Case {
        const char* name;
        std::vector<ExpressionToken> f;
        std::vector<ExpressionToken> step;  // written right operand first for "+" and "*"
    };
    const Case cases[] = {
        {"x*(x+1) distributes as 1*x + x*x", {kX, kTimes, kOpen, kX, kPlus, 1, kClose}, {kX, kTimes, kX, kPlus, kX, kTimes, 1}},
        {"(x+2)*x distributes as 2*x + x*x", {kOpen, kX, kPlus, 2, kClose, kTimes, kX}, {kX, kTimes, kX, kPlus, kX, kTimes, 2}},
        {"x*2*0 folds the constants before it is zero", {kX, kTimes, 2, kTimes, 0}, {0, kTimes, kX}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        InfixExpression out{};
        ASSERT_EQ(RewriteFirstRule(Function(k.f), &out), kResultOK);
        EXPECT_EQ(std::vector<ExpressionToken>(out.tokens, out.tokens + out.count), k.step);
        FreeMemory(out.tokens);
    }
}

TEST_F(DerivativeTest, ValuesAgreeWithWorkedDerivatives) {
    struct Case {
        const char* name;
        std::vector<ExpressionToken> f;
        std::function<double(double)> expected;
    };
    const Case cases[] = {
        {"(x+1)^3", {kOpen, kX, kPlus, 1, kClose, kPow, 3}, [](double x) { return 3 * (x + 1) * (x + 1); }},
        {"(x+1)^20", {kOpen, kX, kPlus, 1, kClose, kPow, 2, 0}, [](double x) { return 20 * std::pow(x + 1, 19); }},
        // (x^2)^(1/2) is |x|: its slope is the sign of x, not 1.
        {"sqrt(x^2)", {Fn(kFnSqrt), kX, kPow, 2, kClose}, [](double x) { return x > 0 ? 1.0 : -1.0; }},
        {"x*ln(x)", {kX, kTimes, Fn(kFnLn), kX, kClose}, [](double x) { return std::log(x) + 1; }},
        {"tan(x)/x", {Fn(kFnTan), kX, kClose, kOver, kX},
         [](double x) { return (x / std::pow(std::cos(x), 2) - std::tan(x)) / (x * x); }},
        {"e^(x^2)", {kTokenE, kPow, kOpen, kX, kPow, 2, kClose}, [](double x) { return 2 * x * std::exp(x * x); }},
        {"x^x", {kX, kPow, kX}, [](double x) { return std::pow(x, x) * (std::log(x) + 1); }},
        {"Arctan(3*x)-x", {Fn(kFnArctan), 3, kTimes, kX, kClose, kMinus, kX},
         [](double x) { return 3 / (1 + 9 * x * x) - 1; }},
        {"sqrt(1-x^2)", {Fn(kFnSqrt), 1, kMinus, kX, kPow, 2, kClose},
         [](double x) { return -x / std::sqrt(1 - x * x); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Derived d;
        Derive(Function(k.f), true, &d);
        ASSERT_EQ(d.rc, kResultOK);
        for (double x : {-0.7, 0.3, 0.9}) {
            if (std::string(k.name) == "x*ln(x)" || std::string(k.name) == "x^x") x = std::fabs(x);
            const double want = k.expected(x);
            EXPECT_NEAR(d.At(x), want, 1e-6 * std::max(1.0, std::fabs(want))) << "at " << x;
        }
    }
    // (x+1)^3 is expanded first: its derivative is a sum of powers of x; (x+1)^20 keeps
    // its power.
    Derived small, large;
    Derive(Function({kOpen, kX, kPlus, 1, kClose, kPow, 3}), true, &small);
    Derive(Function({kOpen, kX, kPlus, 1, kClose, kPow, 2, 0}), true, &large);
    auto has = [](const std::vector<ExpressionToken>& t, std::vector<ExpressionToken> run) {
        return std::search(t.begin(), t.end(), run.begin(), run.end()) != t.end();
    };
    EXPECT_FALSE(has(small.tokens, {kX, kPlus, 1}));
    EXPECT_TRUE(has(large.tokens, {kPow, 1, 9}));
}

TEST_F(DerivativeTest, InADegreeSketchTrigonometricSlopesCarryTheUnit) {
    sketch->settings.angleUnit = kAngleDegrees;
    const double k = std::acos(-1.0) / 180;
    struct Case {
        const char* name;
        std::vector<ExpressionToken> f;
        std::function<double(double)> expected;
    };
    const Case cases[] = {
        {"sin(x)", {Fn(kFnSin), kX, kClose}, [=](double x) { return std::cos(x * k) * k; }},
        {"tan(2*x)", {Fn(kFnTan), 2, kTimes, kX, kClose}, [=](double x) { return 2 * k / std::pow(std::cos(2 * x * k), 2); }},
        {"Arcsin(x)", {Fn(kFnArcsin), kX, kClose}, [=](double x) { return 1 / (k * std::sqrt(1 - x * x)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Derived d;
        Derive(Function(c.f), true, &d);
        ASSERT_EQ(d.rc, kResultOK);
        for (double x : {-0.5, 0.25}) EXPECT_NEAR(d.At(x), c.expected(x), 1e-9 * std::max(1.0, std::fabs(c.expected(x))));
    }
}

TEST_F(DerivativeTest, CallsAreInlinedWithTheirParents) {
    SketchObject* a = FunctionParameter();
    SketchObject* g = Function({calc_test::Value(0), kTimes, kX, kPow, 2}, {a});
    SketchObject* f = Function({Call(0), kX, kClose, kPlus, kX}, {g});
    Derived d;
    Derive(f, true, &d);
    ASSERT_EQ(d.rc, kResultOK);
    ASSERT_EQ(d.parents.count, 3u);
    EXPECT_EQ(d.parents.items[0], f);
    EXPECT_EQ(d.parents.items[2], a);
    EXPECT_NEAR(d.At(1.5), 2 * 4 * 1.5 + 1, 1e-9);  // a = 4
}

TEST_F(DerivativeTest, TheApproximateDefinitionIsACentralDifference) {
    SketchObject* f = Function({kX, kPow, 3});
    Derived d;
    Derive(f, false, &d);
    ASSERT_EQ(d.rc, kResultOK);
    const std::vector<ExpressionToken> text = {kOpen, Call(0), kX, kPlus, 0, kDot, 0, 0, 5, kClose, kMinus, Call(0), kX,
                                               kMinus, 0, kDot, 0, 0, 5, kClose, kClose, kOver, 0, kDot, 0, 1};
    EXPECT_EQ(d.tokens, text);
    EXPECT_NEAR(d.At(2), 12.000025, 1e-9);
}

TEST_F(DerivativeTest, CancelAndMemoryFailureEndTheRewrite) {
    SketchObject* f = Function({Fn(kFnSin), kX, kClose, kTimes, kOpen, kX, kPlus, 1, kClose, kPow, 5});
    int polls = 0;
    DeriveBusy busy{[](void* user) { return ++*static_cast<int*>(user) >= 7; }, &polls};
    Derived cancelled;
    Derive(f, true, &cancelled, &busy);
    EXPECT_EQ(cancelled.rc, kDeriveInterrupted);
    // Every allocation of the rewrite fails in turn: an answer each time, nothing leaks.
    for (int n = 1;; ++n) {
        SetAllocFailureAfter(n);
        Derived d;
        Derive(f, true, &d);
        SetAllocFailureAfter(0);
        if (d.rc == kResultOK) break;
        ASSERT_EQ(d.rc, kResultOutOfMemory) << "allocation " << n;
        ASSERT_LT(n, 10000);
    }
}

TEST_F(DerivativeTest, GrowthBeyondTheBoundsIsTooComplex) {
    // Each level doubles the derivative's size: the bounds stop it, however deep.
    std::vector<ExpressionToken> tokens = {kX};
    for (int k = 0; k < 12; ++k) {
        std::vector<ExpressionToken> next = {kOpen};
        next.insert(next.end(), tokens.begin(), tokens.end());
        next.insert(next.end(), {kClose, kPow, kOpen});
        next.insert(next.end(), tokens.begin(), tokens.end());
        next.push_back(kClose);
        tokens = next;
        if (tokens.size() > 3000) break;
    }
    SketchObject* f = Function(tokens);
    Derived d;
    Derive(f, true, &d);
    EXPECT_EQ(d.rc, kDeriveTooComplex);
}

TEST(SubexpressionLengthTest, CountsOperandsBackwards) {
    // 2 x * sin 1 +
    const ExpressionToken code[] = {kClassConstant | 1, kClassConstant | 0, kTimes, Fn(kFnSin), kClassConstant | 2, kPlus};
    EXPECT_EQ(SubexpressionLength(code, 5), 6u);
    EXPECT_EQ(SubexpressionLength(code, 3), 4u);
    EXPECT_EQ(SubexpressionLength(code, 4), 1u);
    EXPECT_EQ(SubexpressionLength(code, 2), 3u);
}

}  // namespace
