// The compiler: postfix code, the constant pool, parent renumbering, result codes,
// damaged stored expressions, memory failure, units and kinds, and expression text.
#include <cmath>
#include <string>

#include "engine/calc/calc_fixture.h"

using namespace calc_test;

namespace {

constexpr ExpressionToken C(uint32_t k) { return ExpressionToken(kClassConstant | k); }
constexpr ExpressionToken A(uint32_t k) { return ExpressionToken(kClassAngleConst | k); }

struct Compiled {
    int32_t result;
    uint32_t position;
    std::vector<ExpressionToken> code;
    std::vector<double> pool;
};

Compiled CompileTokens(std::vector<ExpressionToken> tokens, int32_t form = kFormCalculation) {
    InfixExpression infix{form, uint32_t(tokens.size()), tokens.data()};
    CompiledExpression out{};
    Compiled r{};
    r.result = CompileExpression(&infix, nullptr, 0, nullptr, &out, nullptr, &r.position);
    if (r.result == kCompileOK) {
        r.code.assign(out.tokens, out.tokens + out.tokenCount);
        r.pool.assign(out.pool, out.pool + out.constantCount);
    }
    FreeCompiledExpression(&out);
    // The syntax check alone gives the same answer.
    uint32_t position = 0;
    EXPECT_EQ(CompileExpression(&infix, nullptr, 0, nullptr, nullptr, nullptr, &position), r.result);
    EXPECT_EQ(position, r.position);
    return r;
}

}  // namespace

TEST(Compiler, PostfixCodeAndPool) {
    struct Case {
        const char* what;
        std::vector<ExpressionToken> in;
        std::vector<ExpressionToken> code;
        std::vector<double> pool;
    };
    const Case cases[] = {
        {"-2^2", {kMinus, 2, kPow, 2}, {C(0), C(0), kPow, kNeg}, {2}},
        {"2^3^2", {2, kPow, 3, kPow, 2}, {C(0), C(1), C(0), kPow, kPow}, {2, 3}},
        {"(-2)*3", {kOpen, kMinus, 2, kClose, kTimes, 3}, {C(0), kNeg, C(1), kTimes}, {2, 3}},
        {"2sin(30)", {2, Fn(kFnSin), 3, 0, kClose}, {C(0), C(1), Fn(kFnSin), kTimes}, {2, 30}},
        {"2(1+2)", {2, kOpen, 1, kPlus, 2, kClose}, {C(0), C(1), C(0), kPlus, kTimes}, {2, 1}},
        {"¬5 literal", {kNeg, 5}, {C(0)}, {-5}},
        {"-0 literal keeps 0", {kNeg, 0}, {C(0)}, {0}},
        {"90 degrees", {9, 0, kDegrees}, {A(0)}, {90 * 0.017453292519943334}},
        {"1+2-3*4/5", {1, kPlus, 2, kMinus, 3, kTimes, 4, kOver, 5},
         {C(0), C(1), kPlus, C(2), C(3), kTimes, C(4), kOver, kMinus}, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Compiled r = CompileTokens(c.in);
        ASSERT_EQ(r.result, kCompileOK);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.pool, c.pool);
    }
}

TEST(Compiler, FunctionPoolKeepsTheVariableSlot) {
    Compiled unused = CompileTokens({3, kPlus, 3}, kFormYofX);
    ASSERT_EQ(unused.result, kCompileOK);
    EXPECT_EQ(unused.pool, (std::vector<double>{0, 3}));
    EXPECT_EQ(unused.code, (std::vector<ExpressionToken>{C(1), C(1), kPlus}));
    Compiled product = CompileTokens({2, kX}, kFormYofX);
    EXPECT_EQ(product.code, (std::vector<ExpressionToken>{C(1), C(0), kTimes}));
    // A literal 0 does not share the variable's slot.
    Compiled zero = CompileTokens({kX, kPlus, 0}, kFormYofX);
    EXPECT_EQ(zero.code, (std::vector<ExpressionToken>{C(0), C(1), kPlus}));
}

TEST(Compiler, ResultCodesAndPositions) {
    std::vector<ExpressionToken> open23(23, kOpen), open24(24, kOpen);
    open23.push_back(1);
    open23.insert(open23.end(), 23, kClose);
    open24.push_back(1);
    open24.insert(open24.end(), 24, kClose);
    struct Case {
        const char* what;
        std::vector<ExpressionToken> in;
        int32_t result;
        uint32_t position;
    };
    const Case cases[] = {
        {"empty", {}, kCompileEmpty, 0},
        {"(", {kOpen}, kCompileUnclosed, 1},
        {"(1+2", {kOpen, 1, kPlus, 2}, kCompileUnclosed, 4},
        {"1+2)", {1, kPlus, 2, kClose}, kCompileUnmatchedClose, 3},
        {"1+", {1, kPlus}, kCompileIncomplete, 2},
        {"+1", {kPlus, 1}, kCompileSyntax, 0},
        {"pi x", {kTokenPi, kX}, kCompileSyntax, 1},
        {"lone point at the end", {1, kPlus, kDot}, kCompileIncomplete, 2},
        {"lone point inside", {kDot, kPlus, 1}, kCompileSyntax, 0},
        {"two literals", {1, kDot, 2, kDot, 3}, kCompileSyntax, 3},
        {"()", {kOpen, kClose}, kCompileSyntax, 1},
        {"unit suffix alone", {kPlus, kDegrees}, kCompileSyntax, 0},
        {"23 nested", open23, kCompileOK, 0},
        {"24 nested", open24, kCompileTooDeep, 24},
        {"negation where an operator is due", {2, kNeg, 3}, kCompileSyntax, 1},
        {"stored end marker", {1, kClassOperator | kOpEnd, 2}, kCompileSyntax, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Compiled r = CompileTokens(c.in, c.what == std::string("pi x") ? kFormYofX : kFormCalculation);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.position, c.position);
    }
}

TEST(Compiler, ParentsRenumberedInOrderOfFirstUse) {
    Construction k;
    SketchObject* ab = k.Given(3);
    SketchObject* cd = k.Given(4);
    SketchObject* unused = k.Given(9);
    // The owner's list {unused, CD, AB, AB}: the expression AB + CD + AB uses entries 2, 1, 3.
    SketchObject* calc = k.Calc({Value(2), kPlus, Value(1), kPlus, Value(3)}, {unused, cd, ab, ab});
    ASSERT_EQ(k.LastResult(), kCompileOK);
    ASSERT_EQ(ParentCountOf(calc), 2u);
    EXPECT_EQ(ParentItemsOf(calc)[0], ab);
    EXPECT_EQ(ParentItemsOf(calc)[1], cd);
    const CalculationData* c = CalculationDataOf(calc);
    EXPECT_EQ(std::vector<ExpressionToken>(c->infixTokens, c->infixTokens + 5),
              (std::vector<ExpressionToken>{Value(0), kPlus, Value(1), kPlus, Value(0)}));
    EXPECT_EQ(c->compiled.tokens[0], Value(0));
    EXPECT_EQ(c->compiled.tokens[3], Value(0));
    EXPECT_EQ(Eval(calc), 10);
}

TEST(Compiler, PinnedFirstParentStaysFirst) {
    Construction k;
    SketchObject* source = k.Calc({kX}, {}, kFormYofX, "f");
    SketchObject* m = k.Given(2);
    std::vector<ExpressionToken> tokens{Value(0), kTimes, kX};
    SketchObject* parents[] = {m};
    InfixExpression infix{kFormYofX, 3, tokens.data()};
    CompiledExpression out{};
    ParentArray fresh{};
    ASSERT_EQ(CompileExpression(&infix, parents, 1, source, &out, &fresh, nullptr), kCompileOK);
    ASSERT_EQ(fresh.count, 2u);
    EXPECT_EQ(fresh.items[0], source);
    EXPECT_EQ(fresh.items[1], m);
    EXPECT_EQ(tokens[0], Value(1));
    FreeParentArray(&fresh);
    FreeCompiledExpression(&out);
}

// Stored expressions are outside data: anything pointing beyond what they carry is a
// damaged record, and the edited list is left exactly as it was.
TEST(Compiler, RefusesDamagedStoredExpressions) {
    Construction k;
    SketchObject* m = k.Given(2);
    SketchObject* parents[] = {m};
    struct Case {
        const char* what;
        int32_t form;
        std::vector<ExpressionToken> in;
        uint32_t parentCount;
    };
    const Case cases[] = {
        {"value beyond the parent list", kFormCalculation, {Value(0), kPlus, Value(1)}, 1},
        {"call beyond the parent list", kFormCalculation, {Call(5), 1, kClose}, 1},
        {"value with no parents", kFormCalculation, {Value(0)}, 0},
        {"variable in a calculation", kFormCalculation, {kX, kPlus, 1}, 1},
        {"form out of range", 7, {1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ExpressionToken> tokens = c.in;
        InfixExpression infix{c.form, uint32_t(tokens.size()), tokens.data()};
        CompiledExpression out{};
        ParentArray fresh{};
        EXPECT_EQ(CompileExpression(&infix, parents, c.parentCount, nullptr, &out, &fresh, nullptr), kCompileDamaged);
        EXPECT_EQ(tokens, c.in);
        EXPECT_EQ(out.tokens, nullptr);
        EXPECT_EQ(fresh.items, nullptr);
    }

    // More distinct constants than a 12-bit index can address.
    std::vector<ExpressionToken> many;
    for (uint32_t v = 0; v <= kMaxExpressionIndex; ++v) {
        if (v) many.push_back(kPlus);
        for (char ch : std::to_string(v)) many.push_back(ExpressionToken(ch - '0'));
    }
    InfixExpression infix{kFormCalculation, uint32_t(many.size()), many.data()};
    CompiledExpression out{};
    EXPECT_EQ(CompileExpression(&infix, nullptr, 0, nullptr, &out, nullptr, nullptr), kCompileDamaged);
    many.resize(many.size() - 5);  // drop "+4096": exactly 4096 constants fit
    infix.count = uint32_t(many.size());
    ASSERT_EQ(CompileExpression(&infix, nullptr, 0, nullptr, &out, nullptr, nullptr), kCompileOK);
    EXPECT_EQ(out.constantCount, kMaxExpressionIndex);
    FreeCompiledExpression(&out);
}

// The evaluator itself never reads past what the code carries, whatever it is handed.
TEST(Compiler, EvaluatorStaysInBounds) {
    Construction k;
    SketchObject* m = k.Given(2);
    double pool[] = {1};
    SketchObject* noPool = k.Calc({1}, {}, kFormYofX, "f");
    CalculationDataOf(noPool)->compiled.constantCount = 0;  // a function with no variable slot
    SketchObject* parents[] = {m, noPool};
    struct Case {
        const char* what;
        std::vector<ExpressionToken> code;
    };
    const Case cases[] = {
        {"constant beyond the pool", {C(1)}},
        {"parent beyond the list", {Value(2)}},
        {"operator on an empty stack", {kPlus}},
        {"function on an empty stack", {Fn(kFnSin)}},
        {"call of a function without a pool", {C(0), Call(1)}},
        {"call of a measurement", {C(0), Call(0)}},
        {"unknown class", {0x8000}},
        {"stack overflow", std::vector<ExpressionToken>(kExpressionStackDepth + 1, C(0))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ExpressionToken> code = c.code;
        CompiledExpression e{code.data(), pool, uint32_t(code.size()), 1, 0, 0, 0};
        double v = 42;
        EXPECT_EQ(EvaluateExpression(&e, parents, 2, &v), 0);
        EXPECT_EQ(v, 42);
    }
}

TEST(Compiler, OutOfMemoryLeavesNothing) {
    Construction k;
    SketchObject* m = k.Given(2);
    SketchObject* parents[] = {m};
    for (uint32_t n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        std::vector<ExpressionToken> tokens{Value(0), kPlus, 1};
        InfixExpression infix{kFormCalculation, 3, tokens.data()};
        CompiledExpression out{};
        ParentArray fresh{};
        SetAllocFailureAfter(n);
        int32_t r = CompileExpression(&infix, parents, 1, nullptr, &out, &fresh, nullptr);
        SetAllocFailureAfter(0);
        if (r == kCompileOK) {  // the failure hit a trim, which may fail harmlessly
            EXPECT_EQ(tokens[0], Value(0));
            FreeParentArray(&fresh);
            FreeCompiledExpression(&out);
            continue;
        }
        EXPECT_EQ(r, kCompileNoMemory);
        EXPECT_EQ(out.tokens, nullptr);
        EXPECT_EQ(fresh.items, nullptr);
    }
}

TEST(Compiler, ImplicitProductsWrittenIntoTheList) {
    struct Case {
        const char* what;
        std::vector<ExpressionToken> in, out;
    };
    const Case cases[] = {
        {"2x+3(x)", {2, kX, kPlus, 3, kOpen, kX, kClose}, {2, kTimes, kX, kPlus, 3, kTimes, kOpen, kX, kClose}},
        {"2.5sin(", {2, kDot, 5, Fn(kFnSin), 1, kClose}, {2, kDot, 5, kTimes, Fn(kFnSin), 1, kClose}},
        {"pi x untouched", {kTokenPi, kX}, {kTokenPi, kX}},
        {"nothing to do", {1, kPlus, 2}, {1, kPlus, 2}},
        {"value after a unit", {3, kDegrees, Value(0)}, {3, kDegrees, kTimes, Value(0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpressionToken* tokens = static_cast<ExpressionToken*>(AllocMemory(c.in.size() * 2, 0));
        std::copy(c.in.begin(), c.in.end(), tokens);
        InfixExpression infix{kFormYofX, uint32_t(c.in.size()), tokens};
        ASSERT_TRUE(InsertImplicitProducts(&infix));
        EXPECT_EQ(std::vector<ExpressionToken>(infix.tokens, infix.tokens + infix.count), c.out);
        FreeMemory(infix.tokens);
    }
    ExpressionToken* tokens = static_cast<ExpressionToken*>(AllocMemory(4, 0));
    tokens[0] = 2;
    tokens[1] = kX;
    InfixExpression infix{kFormYofX, 2, tokens};
    SetAllocFailureAfter(1);
    EXPECT_FALSE(InsertImplicitProducts(&infix));
    SetAllocFailureAfter(0);
    EXPECT_EQ(infix.count, 2u);
    EXPECT_EQ(infix.tokens, tokens);
    FreeMemory(tokens);
}

TEST(Compiler, OperatorBindsTighter) {
    EXPECT_FALSE(OperatorBindsTighter(kTimes, kTimes));
    EXPECT_TRUE(OperatorBindsTighter(0, kPlus));
    EXPECT_FALSE(OperatorBindsTighter(kPlus, 0));
    EXPECT_TRUE(OperatorBindsTighter(kPlus, kTimes));   // "+" under "*" needs parentheses
    EXPECT_FALSE(OperatorBindsTighter(kTimes, kPlus));
    EXPECT_FALSE(OperatorBindsTighter(kPow, kNeg));
    EXPECT_TRUE(OperatorBindsTighter(kNeg, kPow));
}

TEST(Compiler, UnitsAndKinds) {
    Construction k;
    SketchObject* ab = k.Measurement(40, {});
    SketchObject* cd = k.Measurement(41, {});
    SketchObject* angle = k.Measurement(45, {});
    struct Case {
        const char* what;
        std::vector<ExpressionToken> in;
        int32_t distance, angle;
        uint32_t mismatch;
        int32_t kind;
    };
    const Case cases[] = {
        {"AB/CD", {Value(0), kOver, Value(1)}, 0, 0, 0, kKindPlainCalculation},
        {"AB*CD", {Value(0), kTimes, Value(1)}, 2, 0, 0, kKindAreaMeasurement},
        {"AB+angle", {Value(0), kPlus, Value(2)}, 1, 0, 1, kKindPlainCalculation},
        {"sqrt(AB*CD)", {Fn(kFnSqrt), Value(0), kTimes, Value(1), kClose}, 1, 0, 0, kKindDistanceMeasurement},
        {"sqrt(AB)", {Fn(kFnSqrt), Value(0), kClose}, 1, 0, 1, kKindPlainCalculation},
        {"AB^2", {Value(0), kPow, 2}, 2, 0, 0, kKindAreaMeasurement},
        {"AB^(-2)", {Value(0), kPow, kOpen, kMinus, 2, kClose}, 1, 0, 1, kKindPlainCalculation},
        {"AB^0.5", {Value(0), kPow, 0, kDot, 5}, 1, 0, 1, kKindPlainCalculation},
        {"sin(AB)", {Fn(kFnSin), Value(0), kClose}, 0, 0, 0, kKindPlainCalculation},
        {"Arcsin(0.5)", {Fn(kFnArcsin), 0, kDot, 5, kClose}, 0, 1, 0, kKindAngleMeasurement},
        {"ln(AB)", {Fn(kFnLn), Value(0), kClose}, 1, 0, 1, kKindPlainCalculation},
        {"2 AB - CD", {2, Value(0), kMinus, Value(1)}, 1, 0, 0, kKindDistanceMeasurement},
        {"angle/2", {Value(2), kOver, 2}, 0, 1, 0, kKindAngleMeasurement},
        {"3 cm", {3, kCm}, 1, 0, 0, kKindDistanceParameter},
        {"-45 degrees", {kMinus, 4, 5, kDegrees}, 0, 1, 0, kKindAngleParameter},
        {"-5", {kMinus, 5}, 0, 0, 0, kKindPlainParameter},
        {"2+3", {2, kPlus, 3}, 0, 0, 0, kKindPlainCalculation},
        {"(AB^999999999)^999999999", {kOpen, Value(0), kPow, 9, 9, 9, 9, 9, 9, 9, 9, 9, kClose, kPow, 9, 9, 9, 9, 9, 9, 9, 9, 9},
         999999999, 0, 1, kKindPlainCalculation},
        {"scientific 1.2*10^¬5", {1, kDot, 2, kTimes, 1, 0, kPow, kNeg, 5}, 0, 0, 0, kKindPlainParameter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SketchObject* calc = k.Calc({}, {});
        CalculationData* co = CalculationDataOf(calc);
        FreeCompiledExpression(&co->compiled);
        std::vector<ExpressionToken> tokens = c.in;
        InfixExpression infix{kFormCalculation, uint32_t(tokens.size()), tokens.data()};
        SketchObject* parents[] = {ab, cd, angle};
        ParentArray fresh{};
        ASSERT_EQ(CompileExpression(&infix, parents, 3, nullptr, &co->compiled, &fresh, nullptr), kCompileOK);
        // Units are inferred against the new parent list, so hand it to the object.
        k.SetParents(calc, std::vector<SketchObject*>(fresh.items, fresh.items + fresh.count));
        SetCalculationKind(calc);
        ExpressionUnitsInfo u = ExpressionUnits(calc);
        EXPECT_EQ(u.distanceExponent, c.distance);
        EXPECT_EQ(u.angleExponent, c.angle);
        EXPECT_EQ(u.mismatch, c.mismatch);
        EXPECT_EQ(calc->objectKind, c.kind);
        EXPECT_EQ(IsParameter(calc), c.kind >= kKindPlainParameter);
        FreeParentArray(&fresh);
    }
}

TEST(Compiler, UnitsThroughFunctionCalls) {
    Construction k;
    SketchObject* ab = k.Measurement(40, {});
    SketchObject* f = k.Calc({kX, kPow, 2}, {}, kFormYofX, "f");
    SketchObject* calc = k.Calc({Call(0), Value(1), kClose}, {f, ab});
    ASSERT_EQ(k.LastResult(), kCompileOK);
    EXPECT_EQ(ExpressionUnits(calc).distanceExponent, 2);
    EXPECT_EQ(calc->objectKind, kKindAreaMeasurement);
    EXPECT_EQ(ExpressionUnits(f).distanceExponent, 2);  // recorded for the function too
}

TEST(Compiler, ExpressionText) {
    Construction k;
    SketchObject* f = k.Calc({2, kTimes, kX}, {}, kFormYofX, "f");
    char text[64];
    EXPECT_EQ(ExpressionToText(f, sizeof text, text, false), std::strlen("f(x)=2*x") + 1);
    EXPECT_STREQ(text, "f(x)=2*x");
    ExpressionToText(f, sizeof text, text, true);
    EXPECT_STREQ(text, "2*x");

    SketchObject* spaced = k.Given(1);
    Construction::SetLabel(spaced, "m AB");
    SketchObject* plain = k.Given(1);
    Construction::SetLabel(plain, "CD");
    SketchObject* calc = k.Calc({Value(0), kPlus, Value(1), kTimes, Call(2), kTokenPi, kClose, kPlus,
                                 Fn(kFnSqrt), 2, kDot, 5, kClose, kMinus, 9, 0, kDegrees},
                                {spaced, plain, f});
    ASSERT_EQ(k.LastResult(), kCompileOK);
    uint32_t written = ExpressionToText(calc, sizeof text, text, false);
    EXPECT_EQ(written, std::strlen(text) + 1);
    EXPECT_STREQ(text, "(m AB)+CD*f(Pi)+sqrt(2.5)-90\xB0");

    // Measuring needs no buffer; a short buffer is cut, never overrun.
    uint32_t full = ExpressionToText(calc, 0, nullptr, false);
    EXPECT_EQ(full, std::strlen(text) + 1);
    char small[8];
    std::memset(small, 'z', sizeof small);
    EXPECT_EQ(ExpressionToText(calc, 6, small, false), full);
    EXPECT_STREQ(small, "(m AB");
    EXPECT_EQ(small[6], 'z');

    EXPECT_TRUE(NeedsParentheses("a b"));
    EXPECT_TRUE(NeedsParentheses("x^2"));
    EXPECT_FALSE(NeedsParentheses("AB"));
}

TEST(Compiler, StoredTokenCountMustFitTheRecord) {
    const uint8_t bytes[] = {0x02, 0x00, 0x02, 0x10, 0x03, 0x00};  // 2 * 3
    ExpressionToken* tokens = nullptr;
    ASSERT_EQ(ReadStoredExpressionTokens(bytes, sizeof bytes, 3, &tokens), kResultOK);
    EXPECT_EQ(std::vector<ExpressionToken>(tokens, tokens + 3), (std::vector<ExpressionToken>{2, kTimes, 3}));
    FreeMemory(tokens);
    EXPECT_EQ(ReadStoredExpressionTokens(bytes, sizeof bytes, 4, &tokens), kCompileDamaged);
    EXPECT_EQ(tokens, nullptr);
    EXPECT_EQ(ReadStoredExpressionTokens(bytes, 5, 3, &tokens), kCompileDamaged);
    EXPECT_EQ(ReadStoredExpressionTokens(bytes, sizeof bytes, 0xFFFFFFFFu, &tokens), kCompileDamaged);
    SetAllocFailureAfter(1);
    EXPECT_EQ(ReadStoredExpressionTokens(bytes, sizeof bytes, 3, &tokens), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(tokens, nullptr);
}
