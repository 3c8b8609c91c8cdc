// Compiling and evaluating expressions: postfix code, values, undefined results.
#include <cmath>
#include <limits>

#include "engine/calc/calc_fixture.h"

using namespace calc_test;

namespace {

struct ValueCase {
    const char* what;
    std::vector<ExpressionToken> tokens;
    double expected;  // NaN: undefined
};

void ExpectValues(const std::vector<ValueCase>& cases) {
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        Construction k;
        SketchObject* calc = k.Calc({}, {});
        // Rebuild with the case's tokens (initializer lists cannot be made from vectors).
        CalculationData* co = CalculationDataOf(calc);
        FreeCompiledExpression(&co->compiled);
        FreeMemory(co->infixTokens);
        co->infixTokens = static_cast<ExpressionToken*>(AllocMemory(c.tokens.size() * 2 + 2, 0));
        std::copy(c.tokens.begin(), c.tokens.end(), co->infixTokens);
        co->infixCount = uint32_t(c.tokens.size());
        InfixExpression infix{kFormCalculation, co->infixCount, co->infixTokens};
        ASSERT_EQ(CompileExpression(&infix, nullptr, 0, nullptr, &co->compiled, nullptr, nullptr), kCompileOK);
        double v = Eval(calc);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(v)) << v;
        } else if (std::isinf(c.expected)) {
            EXPECT_EQ(v, c.expected);
        } else {
            EXPECT_NEAR(v, c.expected, 1e-9);
        }
    }
}

}  // namespace

TEST(Expressions, PrecedenceAssociativityAndNegation) {
    ExpectValues({
        {"2^3^2", {2, kPow, 3, kPow, 2}, 512},
        {"-2^2", {kMinus, 2, kPow, 2}, -4},
        {"(-2)^2", {kOpen, kMinus, 2, kClose, kPow, 2}, 4},
        {"2*-3", {2, kTimes, kMinus, 3}, -6},
        {"2^-1", {2, kPow, kMinus, 1}, 0.5},
        {"-2*3", {kMinus, 2, kTimes, 3}, -6},
        {"7-2-1", {7, kMinus, 2, kMinus, 1}, 4},
        {"8/4/2", {8, kOver, 4, kOver, 2}, 1},
        {"1+2*3", {1, kPlus, 2, kTimes, 3}, 7},
        {"2.5", {2, kDot, 5}, 2.5},
        {".5", {kDot, 5}, 0.5},
        {"2(1+1)", {2, kOpen, 1, kPlus, 1, kClose}, 4},
        {"2pi", {2, kTokenPi}, 2 * 3.1415926535898},
        {"2e", {2, kTokenE}, 2 * 2.7182818284591},
        {"negation literal ¬2^2", {kNeg, 2, kPow, 2}, 4},
    });
}

TEST(Expressions, PowersOfNegativeBases) {
    ExpectValues({
        {"(-8)^(1/3)", {kOpen, kMinus, 8, kClose, kPow, kOpen, 1, kOver, 3, kClose}, -2},
        {"(-8)^(2/3)", {kOpen, kMinus, 8, kClose, kPow, kOpen, 2, kOver, 3, kClose}, 4},
        {"(-8)^(1/2)", {kOpen, kMinus, 8, kClose, kPow, kOpen, 1, kOver, 2, kClose}, NAN},
        {"(-8)^0.25", {kOpen, kMinus, 8, kClose, kPow, 0, kDot, 2, 5}, NAN},
        {"(-32)^(1/5)", {kOpen, kMinus, 3, 2, kClose, kPow, kOpen, 1, kOver, 5, kClose}, -2},
        {"(-2)^3", {kOpen, kMinus, 2, kClose, kPow, 3}, -8},
    });
}

TEST(Expressions, FunctionsAndUndefinedResults) {
    const double inf = std::numeric_limits<double>::infinity();
    ExpectValues({
        {"sqrt(-1)", {Fn(kFnSqrt), kMinus, 1, kClose}, NAN},
        {"ln(-1)", {Fn(kFnLn), kMinus, 1, kClose}, NAN},
        {"log(-0.5)", {Fn(kFnLog), kMinus, 0, kDot, 5, kClose}, NAN},
        {"ln(0)", {Fn(kFnLn), 0, kClose}, -inf},
        {"1/0", {1, kOver, 0}, inf},
        {"0/0", {0, kOver, 0}, NAN},
        {"1/(1/0)", {1, kOver, kOpen, 1, kOver, 0, kClose}, 0},
        {"sgn(0)", {Fn(kFnSgn), 0, kClose}, 0},
        {"sgn(-3)", {Fn(kFnSgn), kMinus, 3, kClose}, -1},
        {"round(-2.5)", {Fn(kFnRound), kMinus, 2, kDot, 5, kClose}, -2},
        {"trunc(-2.5)", {Fn(kFnTrunc), kMinus, 2, kDot, 5, kClose}, -2},
        {"abs(-3)", {Fn(kFnAbs), kMinus, 3, kClose}, 3},
        {"log(1000)", {Fn(kFnLog), 1, 0, 0, 0, kClose}, 3},
        {"Arcsin(2)", {Fn(kFnArcsin), 2, kClose}, NAN},
        {"2sqrt(9)", {2, Fn(kFnSqrt), 9, kClose}, 6},
    });
}

// An undefined value must never come out defined, whatever it is combined with.
TEST(Expressions, UndefinedNeverTurnsDefined) {
    ExpectValues({
        {"sgn(0/0)", {Fn(kFnSgn), 0, kOver, 0, kClose}, NAN},
        {"(0/0)^0", {kOpen, 0, kOver, 0, kClose, kPow, 0}, NAN},
        {"1^(0/0)", {1, kPow, kOpen, 0, kOver, 0, kClose}, NAN},
        {"(0/0)*0", {kOpen, 0, kOver, 0, kClose, kTimes, 0}, NAN},
        {"abs(0/0)", {Fn(kFnAbs), 0, kOver, 0, kClose}, NAN},
    });
    Construction k;
    SketchObject* undefinedMeasure = k.Given(5, 41, false);
    EXPECT_TRUE(std::isnan(Eval(k.Calc({Value(0), kTimes, 0}, {undefinedMeasure}))));
    EXPECT_TRUE(std::isnan(Eval(k.Calc({Value(0), kPow, 0}, {undefinedMeasure}))));
    EXPECT_TRUE(std::isnan(Eval(k.Calc({Fn(kFnSgn), Value(0), kClose}, {undefinedMeasure}))));
    // A constant function of an undefined argument is undefined too.
    SketchObject* three = k.Calc({3}, {}, kFormYofX, "f");
    EXPECT_TRUE(std::isnan(Eval(k.Calc({Call(0), 0, kOver, 0, kClose}, {three}))));
}

TEST(Expressions, AngleUnitsOfFunctionsAndConstants) {
    {
        SketchUnits units(0, 1);
        ExpectValues({
            {"sin(90)", {Fn(kFnSin), 9, 0, kClose}, 1},
            {"Arcsin(1)", {Fn(kFnArcsin), 1, kClose}, 90},
            {"cos(90) exact", {Fn(kFnCos), 9, 0, kClose}, 0},
            {"180 degrees", {1, 8, 0, kDegrees}, 180},
            {"Arctan(-1) is signed", {Fn(kFnArctan), kMinus, 1, kClose}, -45},
        });
        // Quarter turns are exact, not merely close.
        Construction k;
        EXPECT_EQ(Eval(k.Calc({Fn(kFnCos), 9, 0, kClose})), 0.0);
        EXPECT_EQ(Eval(k.Calc({Fn(kFnCos), 1, 8, 0, kClose})), -1.0);
    }
    {
        SketchUnits units(0, 2);
        ExpectValues({{"Arctan(-1) directed", {Fn(kFnArctan), kMinus, 1, kClose}, -45}});
    }
    {
        SketchUnits units(0, 0);
        ExpectValues({
            {"Arcsin(1) radians", {Fn(kFnArcsin), 1, kClose}, 1.5707963267948966},
            {"180 degrees in a radian sketch", {1, 8, 0, kDegrees}, 3.1415926535898},
        });
    }
    {
        SketchUnits units(1, 1);
        ExpectValues({{"1 cm in a cm sketch", {1, kCm}, 1}});
    }
}

TEST(Expressions, FunctionCallsAreMemoised) {
    Construction k;
    SketchObject* f = k.Calc({2, kTimes, kX}, {}, kFormYofX, "f");
    SketchObject* g = k.Calc({Call(0), 3, kClose, kPlus, Call(0), 3, kClose}, {f});
    ASSERT_EQ(k.LastResult(), kCompileOK);
    CalculationData* fc = CalculationDataOf(f);
    // Poison the code after the first call: a second evaluation would give garbage.
    EXPECT_EQ(Eval(g), 12);
    EXPECT_EQ(fc->callMemoArgument, 3);
    fc->callMemoResult = 100;
    EXPECT_EQ(Eval(g), 200);  // both calls answered from the memo
    fc->callMemoValid = 0;    // what the function's recompute does
    EXPECT_EQ(Eval(g), 12);
}

TEST(Expressions, OddRootOfNegative) {
    double r = 0;
    EXPECT_EQ(OddRootOfNegative(-8, 1.0 / 3, &r), 1);
    EXPECT_NEAR(r, -2, 1e-12);
    EXPECT_EQ(OddRootOfNegative(-8, 2.0 / 3, &r), 1);
    EXPECT_NEAR(r, 4, 1e-12);
    EXPECT_EQ(OddRootOfNegative(-8, 0.5, &r), 0);
    EXPECT_EQ(OddRootOfNegative(-2, 1.0 / 13, &r), 0);  // only odd roots up to 11
}
