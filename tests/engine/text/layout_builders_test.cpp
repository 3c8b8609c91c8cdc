#include "engine/text/layout_builders.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/calc/expression_layout.h"
#include "engine/calc/value_display.h"
#include "engine/core/iterations.h"
#include "engine/core/memory.h"
#include "named_objects.h"
#include "engine/core/units.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"

namespace {

class BuilderTest : public NamedObjectsTest {
protected:


    // The tree in the layout language; frees it.
    static std::string Take(LayoutNode* node) {
        EXPECT_NE(node, nullptr);
        if (!node) return "";
        LayoutWriteContext w{ nullptr, nullptr, 0, nullptr };
        std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
        SerializeLayout(node, text.data(), &w);
        FreeLayoutNode(node);
        return text;
    }

    // Postfix code over a pool.
    struct Code {
        std::vector<ExpressionToken> tokens;
        std::vector<double> pool;
        CompiledExpression compiled() {
            return { tokens.data(), pool.data(), uint32_t(tokens.size()), uint32_t(pool.size()), 0, 0, 0 };
        }
    };
};

ExpressionToken Op(uint16_t op) { return ExpressionToken(kClassOperator | op); }
ExpressionToken Parent(uint16_t i) { return ExpressionToken(kClassParentValue | i); }

TEST_F(BuilderTest, NamesAreDecoratedByHowTheyWereMade) {
    SketchObject* a = Named("A");
    SketchObject* b = Named("B");
    SketchObject* ab = Build(kTypeSegment, { a, b });
    // (Text runs are written with their length in hexadecimal: "<T2xAB>".)
    EXPECT_EQ(Take(BuildObjectLabelLayout(ab, nullptr, false, false)), "<SO2<T2xAB>>");
    // The kind is told by the bar: no noun.
    EXPECT_EQ(Take(BuildObjectLabelLayout(ab, nullptr, true, false)), "<SO2<T2xAB>>");
    EXPECT_EQ(Take(BuildObjectLabelLayout(a, nullptr, true, false)), "<T7xPoint A>");
    ASSERT_EQ(SetObjectLabel(ab, "s", false), 0);
    EXPECT_EQ(Take(BuildObjectLabelLayout(ab, nullptr, false, false)), "<T1xs>");

    // Subscripts of both points inside the line's overmark.
    SketchObject* p = Named("P[1]");
    SketchObject* q = Named("Q[2]");
    SketchObject* line = Build(kTypeLine, { p, q });
    EXPECT_EQ(Take(BuildObjectLabelLayout(line, nullptr, false, false)),
              "<SO4<H<-<T1xP><T1x1>><-<T1xQ><T1x2>>>>");

    // A derivative shows the function's name and a separate prime.
    SketchObject* f = Raw(kTypeFunction, kClassCalculation, kKindFunction, {});
    ASSERT_EQ(SetObjectLabel(f, "f[1]", false), 0);
    SketchObject* derivative = Raw(kTypeDerivative, kClassCalculation, 59, { f });
    EXPECT_EQ(Take(BuildObjectLabelLayout(derivative, nullptr, false, false)), "<H<-<T1xf><T1x1>><T1x'>>");
}

// A subscripted name built while memory runs out at each request in turn: nothing is
// touched after it is freed, and the result is whole or null. A text longer than a
// label keeps to the label's length, even with a subscript past it.
TEST(LabelWithSubscript, MemoryFailuresAndOverlongTexts) {
    bool built = false;
    for (uint32_t n = 1; !built && n < 50; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        LayoutNode* node = BuildLabelWithSubscript("P[12]", 5, -1, nullptr);
        SetAllocFailureAfter(0);
        if (!node) continue;
        built = true;
        LayoutWriteContext w{ nullptr, nullptr, 0, nullptr };
        std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
        SerializeLayout(node, text.data(), &w);
        EXPECT_EQ(text, "<-<T1xP><T2x12>>");
        FreeLayoutNode(node);
    }
    EXPECT_TRUE(built);

    const std::string longName = std::string(300, 'a') + "[1]";
    LayoutNode* node = BuildLabelWithSubscript(longName.c_str(), uint32_t(longName.size()), -1, nullptr);
    ASSERT_NE(node, nullptr);
    LayoutWriteContext w{ nullptr, nullptr, kWritePlainText, nullptr };
    std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
    SerializeLayout(node, text.data(), &w);
    EXPECT_EQ(text, std::string(kMaxLabelLength, 'a'));
    FreeLayoutNode(node);
}

TEST_F(BuilderTest, UnitsByExponentsAndSketchUnits) {
    struct Case {
        int32_t angle, distance;
        int32_t angleUnit, distanceUnit;
        bool pi;
        const char* layout;
    };
    const Case cases[] = {
        { 2, 0, 0, 1, false, "<H<T1x ><+<T3xrad><T1x2>>>" },
        { 1, -1, 0, 1, false, "<H<T1x ><S+2</<T3xrad><T2xcm>>>>" },
        { 1, 0, 1, 1, false, "<!B0>" },
        { 1, 0, 0, 1, true, "<H<!70><T8x radians>>" },
        { 0, 1, 0, 1, false, "<T3x cm>" },
        { 0, 2, 0, 1, false, "<H<T1x ><+<T2xcm><T1x2>>>" },
        { 0, 0, 0, 1, false, "<0>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        sketch->settings.angleUnit = c.angleUnit;
        sketch->settings.distanceUnit = c.distanceUnit;
        EXPECT_EQ(Take(BuildUnitLayout(c.angle, c.distance, c.pi, nullptr)), c.layout);
    }
    // A unit with its power, built while memory runs out at each request in turn.
    sketch->settings.angleUnit = 0;
    for (uint32_t n = 1; n < 50; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        LayoutNode* unit = BuildUnitLayout(2, 0, false, nullptr);
        SetAllocFailureAfter(0);
        if (!unit) continue;
        EXPECT_EQ(Take(unit), "<H<T1x ><+<T3xrad><T1x2>>>");
        break;
    }
}

TEST_F(BuilderTest, ExpressionsParenthesizeOnlyWhereNeeded) {
    SketchObject* a = Named("a");
    SketchObject* b = Named("b");
    SketchObject* c = Named("c");
    SketchObject* const parents[] = { a, b, c };
    struct Case {
        std::vector<ExpressionToken> tokens;
        int32_t depth;  // DescriptionDepth
        const char* layout;
    };
    const Case cases[] = {
        // a / (b + c): a fraction outside descriptions, one line with text parentheses inside.
        { { Parent(0), Parent(1), Parent(2), Op(kOpAdd), Op(kOpDivide) }, 0, "</<T1xa><T3xb+c>>" },
        { { Parent(0), Parent(1), Parent(2), Op(kOpAdd), Op(kOpDivide) }, 1, "<T7xa/(b+c)>" },
        // (a + b)^c: the base in parentheses.
        { { Parent(0), Parent(1), Op(kOpAdd), Parent(2), Op(kOpPower) }, 0, "<+<(<T3xa+b>><T1xc>>" },
        // a - (b - c) keeps its parentheses; a - b - c has none.
        { { Parent(0), Parent(1), Parent(2), Op(kOpSubtract), Op(kOpSubtract) }, 0, "<H<T2xa-><(<T3xb-c>>>" },
        { { Parent(0), Parent(1), Op(kOpSubtract), Parent(2), Op(kOpSubtract) }, 0, "<T5xa-b-c>" },
        { { Parent(0), Parent(1), Parent(2), Op(kOpAdd), Op(kOpSubtract) }, 1, "<T7xa-(b+c)>" },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.layout);
        Code code{ k.tokens, {} };
        CompiledExpression compiled = code.compiled();
        DescriptionDepth = k.depth;
        LayoutNode* tree = BuildExpressionLayout(kFormCalculation, parents, 3, &compiled, nullptr, nullptr);
        DescriptionDepth = 0;
        EXPECT_EQ(Take(tree), k.layout);
    }
}

TEST_F(BuilderTest, DescriptionLayoutsAndTheirPlaceholders) {
    SketchObject* p[8];
    const char* names[8] = { "A", "B", "C", "D", "E", "F", "G", "H" };
    for (int i = 0; i < 8; ++i) p[i] = Named(names[i]);
    SketchObject* rule = Raw(kTypeActionButton, kClassActionButton, kKindActionButton,
                             { p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7] });
    DescriptionContext d{ rule, 0, 0, nullptr };
    LayoutNode* list = nullptr;
    DescriptionDepth = 1;
    ASSERT_EQ(ExpandObjectPlaceholder(&list, "@1", 2, nullptr, &d), kLayoutParseOK);
    DescriptionDepth = 0;
    EXPECT_EQ(Take(list), "<H<T1xA><T2x, ><T1xB><T2x, ><T1xC><T2x, ><T1xD><T2x, ><T1xE><T2x, ><T1xF><T5x, ...>>");
    // A digit beyond the parents, and "@" digits without a list, do not fit the template.
    SketchObject* m = Build(kTypeMidpoint, { Build(kTypeSegment, { p[0], p[1] }) });
    DescriptionContext md{ m, 0, 0, nullptr };
    LayoutNode* none = nullptr;
    EXPECT_EQ(ExpandObjectPlaceholder(&none, "2", 1, nullptr, &md), kLayoutParseSyntax);
    EXPECT_EQ(ExpandObjectPlaceholder(&none, "@9", 2, nullptr, &md), kLayoutParseSyntax);
    EXPECT_EQ(none, nullptr);

    ASSERT_EQ(SetObjectLabel(m, "M", false), 0);
    EXPECT_EQ(Take(BuildObjectDescriptionLayout(3, m)),
              "<H<H<T3x3. ><T4xLet ><SW2<T1xM>><T3x = >><TCxmidpoint of ><SO2<T2xAB>><0><T1x.>>");
}

TEST(ScriptLevelSizes, StepDownTheLadder) {
    struct Case { int16_t size, level; int32_t pixels; };
    const Case cases[] = { { 12, 1, 10 }, { 12, 2, 9 }, { 12, 3, 8 }, { 100, 1, 80 }, { 8, 4, 6 }, { 12, 0, 12 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size * 100 + c.level);
        TextStyle s{};
        s.field[kStyleSize] = c.size;
        s.field[kStyleScriptLevel] = c.level;
        EXPECT_EQ(ScriptLevelFontSize(&s), c.pixels);
    }
}

}  // namespace

TEST_F(BuilderTest, IterationListsPairSeedsWithTheirImages) {
    SketchObject* p[7];
    const char* names[7] = { "A", "B", "C", "D", "E", "F", "G" };
    for (int i = 0; i < 7; ++i) p[i] = Named(names[i]);
    // Seeds A, B; map 1 sends them to C, D and map 2 to E, F; G is the chain.
    SketchObject* rule = Raw(kTypeIterationRule, kClassIteration, 51, { p[0], p[1], p[2], p[3], p[4], p[5], p[6] });
    IterationDataOf(rule)->parameters.seedCount = 2;
    IterationDataOf(rule)->parameters.mapCount = 2;
    DescriptionContext d{ rule, 0, 0, nullptr };
    struct Case { const char* code; const char* layout; };
    const Case cases[] = {
        { "@3", "<H<H<T1xA><T1x ><!DE><T1x ><T1xC>><T5x and ><H<T1xB><T1x ><!DE><T1x ><T1xD>>>" },
        { "@4", "<H<T1xA><T5x and ><T1xB>>" },
        { "@5", "<H<[<H<T1xC><T2x, ><T1xD>>><T5x and ><[<H<T1xE><T2x, ><T1xF>>>>" },
    };
    DescriptionDepth = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        LayoutNode* list = nullptr;
        ASSERT_EQ(ExpandObjectPlaceholder(&list, c.code, 2, nullptr, &d), kLayoutParseOK);
        EXPECT_EQ(Take(list), c.layout);
    }
    // Counts the parents cannot hold give no list.
    IterationDataOf(rule)->parameters.mapCount = 3;
    LayoutNode* none = nullptr;
    EXPECT_EQ(ExpandObjectPlaceholder(&none, "@5", 2, nullptr, &d), kLayoutParseSyntax);
    DescriptionDepth = 0;
}
