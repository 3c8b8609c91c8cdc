// The rule programs, assembled at compile time into one block. Programs follow one
// another in the order of their offsets; the assembler records each row's start so
// that the compile-time checks below hold the block to the offsets the rows' state
// words name.
#include <array>
#include <initializer_list>

#include "engine/interact/command_table.h"
#include "engine/interact/menu_rules.h"
#include "engine/interact/menu_texts.h"

namespace {

using namespace menu_text;

struct CountTest {
    uint8_t kind;
    uint8_t value;  // below 0x80: equal; with 0x80: at least value - 0x80
};
constexpr CountTest Is(uint8_t kind, uint8_t n) { return {kind, n}; }
constexpr CountTest AtLeast(uint8_t kind, uint8_t n) { return {kind, uint8_t(0x80 | n)}; }

class RuleAssembler {
public:
    std::array<uint8_t, kMenuRulesSize> bytes{};
    std::array<MenuRuleProgramStart, kMenuRuleProgramRows> starts{};
    size_t size = 0;
    size_t startCount = 0;

    constexpr RuleAssembler& Program(std::initializer_list<uint8_t> rows) {
        for (uint8_t r : rows) starts[startCount++] = {r, uint16_t(size)};
        return *this;
    }
    constexpr RuleAssembler& Counts(std::initializer_list<CountTest> tests) {
        Put(kRuleCounts);
        Put(uint8_t(tests.size()));
        for (const CountTest& t : tests) { Put(t.kind); Put(t.value); }
        return *this;
    }
    constexpr RuleAssembler& Sum(uint8_t a, uint8_t b, uint8_t d) {
        Put(kRuleCountSum); Put(a); Put(b); Put(d);
        return *this;
    }
    constexpr RuleAssembler& SumOf(uint8_t a, std::initializer_list<uint8_t> kinds) {
        Put(kRuleCountOfSum); Put(a); Put(uint8_t(kinds.size()));
        for (uint8_t k : kinds) Put(k);
        return *this;
    }
    constexpr RuleAssembler& Flag(uint8_t f)      { Put(kRuleFlagSet); Put(f); return *this; }
    constexpr RuleAssembler& NoFlag(uint8_t f)    { Put(kRuleFlagClear); Put(f); return *this; }
    constexpr RuleAssembler& Crossings(uint8_t n) { Put(kRuleCrossings); Put(n); return *this; }
    constexpr RuleAssembler& Pred(uint8_t p)      { Put(kRulePredicate); Put(p); return *this; }
    constexpr RuleAssembler& NotPred(uint8_t p)   { Put(kRuleNotPredicate); Put(p); return *this; }

    constexpr RuleAssembler& Then(uint8_t text, uint8_t exec = 0, uint16_t arg = 0) {
        return Result(text, 0, 1, exec, arg);
    }
    constexpr RuleAssembler& ThenV(uint8_t text, uint8_t variant, uint8_t exec, uint16_t arg = 0) {
        return Result(text, variant, 1, exec, arg);
    }
    constexpr RuleAssembler& Off(uint8_t text, uint8_t exec = 0, uint16_t arg = 0) {
        return Result(text, 0, 0, exec, arg);
    }
    constexpr RuleAssembler& LineStyle(uint8_t s) {
        Put(kRuleLineStyle); Put(s);
        return Close();
    }

private:
    bool open_ = false;
    size_t ruleStart_ = 0;

    constexpr void Put(uint8_t b) {
        if (!open_) {
            open_ = true;
            ruleStart_ = size;
            bytes[size++] = 0;  // the rule's length, filled in by Close
        }
        bytes[size++] = b;
    }
    constexpr RuleAssembler& Result(uint8_t text, uint8_t variant, uint8_t enabled,
                                    uint8_t exec, uint16_t arg) {
        Put(kRuleResult); Put(text); Put(variant); Put(enabled); Put(exec);
        Put(uint8_t(arg >> 8)); Put(uint8_t(arg & 0xff));
        return Close();
    }
    constexpr RuleAssembler& Close() {
        bytes[ruleStart_] = uint8_t(size - ruleStart_);
        open_ = false;
        return *this;
    }
};

constexpr RuleAssembler AssembleMenuRules() {
    RuleAssembler a;
    a.Program({5})
        .Counts({Is(1, 2), Is(4, 1), Is(7, 1)}).Then(kTextPerpendicularLine, 0, 0)
        .Counts({Is(4, 1), AtLeast(7, 1)}).Sum(1, 7, 1).Then(kTextPerpendicularLines, 0, 0)
        .Counts({AtLeast(4, 1), Is(7, 1)}).Sum(1, 4, 1).Then(kTextPerpendicularLines, 0, 5)
        .Off(kTextPerpendicularLine);
    a.Program({4})
        .Counts({Is(1, 2), Is(4, 1), Is(7, 1)}).Then(kTextParallelLine, 0, 25)
        .Counts({Is(4, 1), AtLeast(7, 1)}).Sum(1, 7, 1).Then(kTextParallelLines, 0, 25)
        .Counts({AtLeast(4, 1), Is(7, 1)}).Sum(1, 4, 1).Then(kTextParallelLines, 0, 30)
        .Off(kTextParallelLine);
    a.Program({1})
        .Counts({Is(1, 1), Is(14, 1)}).Then(kTextMidpoint, 0, 10)
        .Counts({AtLeast(14, 1)}).Sum(1, 14, 0).Then(kTextMidpoints, 0, 10)
        .Off(kTextMidpoint);
    a.Program({7})
        .Flag(5).Then(kTextCircleByCenterPoint, 0, 13)
        .Off(kTextCircleByCenterPoint);
    a.Program({8})
        .Counts({Is(1, 2), Is(4, 1)}).SumOf(1, {4, 14, 43}).Flag(8).Then(kTextCircleByCenterRadius, 0, 15)
        .Counts({AtLeast(1, 2), Is(4, 1)}).SumOf(1, {4, 14, 43}).Flag(8).Then(kTextCirclesByCenterRadii, 0, 15)
        .Counts({AtLeast(4, 1), Is(14, 1)}).Sum(1, 4, 1).Then(kTextCirclesByCentersRadius, 0, 20)
        .Counts({AtLeast(4, 1), Is(43, 1)}).Sum(1, 4, 1).Flag(8).Then(kTextCirclesByCentersRadius, 0, 20)
        .Off(kTextCircleByCenterRadius);
    a.Program({6})
        .Counts({Is(1, 3), Is(4, 3)}).NotPred(3).Then(kTextAngleBisector, 0, 35)
        .Off(kTextAngleBisector);
    a.Program({3})
        .Flag(5).Then(kTextSegment, 1, 2)
        .Counts({AtLeast(4, 3)}).Sum(1, 4, 0).Then(kTextSegments, 1, 2)
        .Off(kTextSegment);
    a.Program({9})
        .Sum(1, 4, 0).Counts({AtLeast(4, 7)}).Then(kTextPolygonInterior, 0, 37)
        .Sum(1, 4, 0).Counts({AtLeast(4, 3)}).ThenV(kTextNounInterior, 7, 0, 37)
        .Counts({Is(22, 1), Is(1, 1)}).Then(kTextCircleInterior, 0, 41)
        .Sum(1, 22, 0).Counts({AtLeast(22, 2)}).Then(kTextCircleInteriors, 0, 41)
        .Counts({Is(24, 1), Is(1, 1)}).ThenV(kTextArcInterior, 11, 51)
        .Sum(1, 24, 0).Counts({AtLeast(24, 2)}).ThenV(kTextArcInteriors, 11, 51)
        .Off(kTextInterior);
    a.Program({2})
        .Counts({Is(1, 2), Is(7, 2)}).Pred(4).Then(kTextIntersection, 0, 39)
        .Counts({Is(1, 2), AtLeast(8, 1)}).SumOf(1, {7, 22, 24}).Crossings(1).Then(kTextIntersection, 2)
        .Counts({Is(1, 2), AtLeast(8, 1)}).SumOf(1, {7, 22, 24}).Crossings(2).Then(kTextIntersections, 2)
        .Off(kTextIntersection);
    a.Program({0})
        .Counts({Is(1, 1), Is(5, 1)}).ThenV(kTextPointOnNoun, 1, 3)
        .Counts({AtLeast(5, 2)}).Sum(1, 5, 0).ThenV(kTextPointsOnNoun, 1, 3)
        .Off(kTextPointOnObject);
    a.Program({10}).Flag(14).Then(kTextTranslateEllipsis, 4, 0).Off(kTextTranslateEllipsis);
    a.Program({11}).Flag(14).Then(kTextRotateEllipsis, 4, 1).Off(kTextRotateEllipsis);
    a.Program({12}).Flag(14).Then(kTextDilateEllipsis, 4, 2).Off(kTextDilateEllipsis);
    a.Program({13}).Flag(14).Then(kTextReflect, 4, 3).Off(kTextReflect);
    a.Program({14})
        .Counts({Is(1, 2), Is(4, 2)}).Then(kTextMarkVector, 5, 3)
        .Counts({Is(1, 2), Is(14, 2)}).Then(kTextMarkSegmentRatio, 5, 12)
        .Counts({Is(4, 3), Is(1, 3)}).Pred(1).Then(kTextMarkRatio, 5, 15)
        .Counts({Is(4, 3), Is(1, 3)}).Then(kTextMarkAngle, 5, 6)
        .Counts({AtLeast(4, 1)}).Then(kTextMarkCenter, 5, 0)
        .Counts({AtLeast(7, 1)}).Then(kTextMarkMirror, 5, 1)
        .Counts({Is(46, 1)}).Flag(8).Then(kTextMarkScaleFactor, 5, 10)
        .Counts({Is(43, 1)}).Flag(8).Then(kTextMarkDistance, 5, 19)
        .Counts({Is(44, 1)}).Flag(8).Then(kTextMarkAngle, 5, 9)
        .Off(kTextMark);
    a.Program({19})
        .Counts({Is(1, 2), Is(2, 2), AtLeast(10, 1)}).Pred(0).Then(kTextLocus, 9)
        .Counts({Is(1, 3), Is(2, 3), AtLeast(4, 1), AtLeast(5, 1)}).Pred(0).Then(kTextLocus, 9)
        .Off(kTextLocus);
    a.Program({20})
        .Counts({AtLeast(1, 1)}).ThenV(kTextHideNoun, 1, 10)
        .Off(kTextHideObjects);
    a.Program({26})
        .Flag(7).Then(kTextResumeAnimation, 33, 0x8001)
        .Flag(6).Counts({Is(1, 0)}).Then(kTextPauseAnimation, 33, 0x8000)
        .Flag(18).NoFlag(17).ThenV(kTextAnimateNoun, 1, 18, 0x4000)
        .Off(kTextAnimate);
    a.Program({27})
        .NoFlag(22).Off(kTextTrace)
        .Flag(23).NoFlag(2).Then(kTextTrace, 19)
        .Flag(23).NoFlag(1).ThenV(kTextTrace, 9, 19)
        .Flag(23).ThenV(kTextTrace, 8, 19)
        .NoFlag(2).ThenV(kTextTraceNoun, 1, 19)
        .NoFlag(1).ThenV(kTextTraceNoun, 3, 19)
        .Counts({AtLeast(2, 1)}).ThenV(kTextTraceNoun, 2, 19)
        .Off(kTextTrace);
    a.Program({30})
        .Counts({AtLeast(1, 1)}).ThenV(kTextDeleteNoun, 1, 21)
        .Off(kTextDelete);
    a.Program({32})
        .Counts({AtLeast(14, 1)}).Sum(1, 14, 0).Then(kTextLength, 0, 44)
        .Off(kTextLength);
    a.Program({33})
        .Counts({Is(1, 2), Is(4, 2)}).Then(kTextDistance, 0, 95)
        .Counts({Is(1, 2), Is(4, 1), Is(7, 1)}).Then(kTextDistance, 0, 47)
        .Off(kTextDistance);
    a.Program({34})
        .Counts({AtLeast(1, 1)}).SumOf(1, {15, 25}).Then(kTextPerimeter, 0, 51)
        .Off(kTextPerimeter);
    a.Program({35})
        .Counts({AtLeast(1, 1)}).SumOf(1, {22, 16}).Then(kTextCircumference, 0, 54)
        .Off(kTextCircumference);
    a.Program({36})
        .Counts({Is(1, 3), Is(4, 3)}).Then(kTextAngle, 0, 57)
        .Off(kTextAngle);
    a.Program({37})
        .Counts({AtLeast(1, 1)}).SumOf(1, {9, 25, 22}).Then(kTextArea, 0, 59)
        .Off(kTextArea);
    a.Program({38})
        .Counts({AtLeast(23, 1)}).Sum(1, 23, 0).Then(kTextArcAngle, 0, 62)
        .Counts({Is(1, 3), Is(22, 1), Is(4, 2)}).Pred(2).Then(kTextArcAngle, 0, 65)
        .Counts({Is(1, 4), Is(22, 1), Is(4, 3)}).Pred(2).Then(kTextArcAngle, 0, 65)
        .Off(kTextArcAngle);
    a.Program({39})
        .Counts({AtLeast(23, 1)}).Sum(1, 23, 0).Then(kTextArcLength, 0, 69)
        .Counts({Is(1, 3), Is(22, 1), Is(4, 2)}).Pred(2).Then(kTextArcLength, 0, 72)
        .Counts({Is(1, 4), Is(22, 1), Is(4, 3)}).Pred(2).Then(kTextArcLength, 0, 72)
        .Off(kTextArcLength);
    a.Program({40})
        .Counts({AtLeast(7, 1)}).Sum(1, 7, 0).Then(kTextGeometricSlope, 0, 76)
        .Off(kTextGeometricSlope);
    a.Program({41})
        .Counts({AtLeast(1, 1)}).SumOf(1, {22, 16, 23}).Then(kTextRadius, 0, 79)
        .Off(kTextRadius);
    a.Program({42})
        .Counts({Is(1, 2), Is(14, 2)}).Then(kTextRatio, 0, 82)
        .Counts({Is(1, 3), Is(4, 3)}).Pred(1).Then(kTextRatio, 0, 82)
        .Off(kTextRatio);
    a.Program({43}).Then(kTextCalculateEllipsis, 39, 0x8000);
    a.Program({44})
        .Counts({AtLeast(4, 1)}).Sum(1, 4, 0).Pred(5).Then(kTextCoordinates, 0, 97)
        .Counts({AtLeast(4, 1)}).Sum(1, 4, 0).Then(kTextCoordinates, 0, 107)
        .Off(kTextCoordinates);
    a.Program({45})
        .Counts({Is(1, 1)}).SumOf(1, {12, 22}).Then(kTextEquation, 40)
        .Counts({AtLeast(1, 2)}).SumOf(1, {12, 22}).Then(kTextEquations, 40)
        .Off(kTextEquation);
    a.Program({47}).Flag(9).Then(kTextSelectParents, 24, 0).Off(kTextSelectParents);
    a.Program({48}).Flag(10).Then(kTextSelectChildren, 24, 1).Off(kTextSelectChildren);
    a.Program({49}).Counts({AtLeast(1, 1)}).Then(kTextHideShow, 25, 0).Off(kTextHideShow);
    a.Program({50}).Flag(18).Then(kTextAnimationEllipsis, 25, 2).Off(kTextAnimationEllipsis);
    a.Program({88})
        .Counts({AtLeast(20, 1)}).Sum(1, 20, 0).Then(kTextPresentationEllipsis, 25, 7)
        .Off(kTextPresentationEllipsis);
    a.Program({51})
        .Sum(1, 4, 0).Counts({AtLeast(4, 2)}).Pred(7).Then(kTextMovementEllipsis, 25, 3)
        .Off(kTextMovementEllipsis);
    a.Program({53})
        .Sum(1, 4, 0).Counts({Is(4, 1)}).Then(kTextScrollEllipsis, 25, 4)
        .Off(kTextScrollEllipsis);
    a.Program({54})
        .Counts({Is(4, 1), Is(1, 1)}).Then(kTextDefineOrigin, 26, 1)
        .Counts({Is(1, 1), Is(22, 1)}).Then(kTextDefineUnitCircle, 26, 8)
        .Counts({Is(1, 1)}).SumOf(1, {14, 43}).Flag(8).Then(kTextDefineUnitDistance, 26, 2)
        .Counts({Is(1, 2), Is(4, 1)}).SumOf(1, {14, 43, 4}).Flag(8).Then(kTextDefineUnitDistance, 26, 3)
        .Counts({Is(1, 2)}).SumOf(1, {14, 43}).Flag(8).Then(kTextDefineUnitDistances, 26, 6)
        .Counts({Is(1, 3), Is(4, 1)}).SumOf(1, {14, 43, 4}).Flag(8).Then(kTextDefineUnitDistances, 26, 7)
        .NotPred(11).Then(kTextDefineCoordinateSystem, 26, 0)
        .Off(kTextDefineCoordinateSystem, 26);
    a.Program({55})
        .Counts({Is(1, 1)}).SumOf(1, {33, 4, 34, 22}).Pred(12).Then(kTextMarkCoordinateSystem, 5, 20)
        .Off(kTextMarkCoordinateSystem);
    a.Program({58})
        .Counts({Is(28, 2), Is(1, 2)}).Pred(5).Flag(8).Then(kTextPlotAsXY, 0, 101)
        .Counts({Is(28, 2), Is(1, 2)}).Flag(8).Then(kTextPlotAsRTheta, 0, 104)
        .Then(kTextPlotPointsEllipsis, 29, 0x8000);
    a.Program({59})
        .Counts({Is(54, 1), Is(1, 1)}).Then(kTextPlotFunction, 49, 0x4000)
        .Counts({AtLeast(54, 2)}).Sum(1, 54, 0).Then(kTextPlotFunctions, 49, 0x4000)
        .Counts({Is(54, 0)}).Then(kTextPlotNewFunctionEllipsis, 39, 0x8005)
        .Off(kTextPlotNewFunctionEllipsis, 39, 0x8005);
    a.Program({63})
        .Flag(5).Then(kTextLine, 1, 67)
        .Counts({AtLeast(4, 3)}).Sum(1, 4, 0).Then(kTextLines, 1, 67)
        .Off(kTextLine);
    a.Program({64})
        .Flag(5).Then(kTextRay, 1, 68)
        .Counts({AtLeast(4, 3)}).Sum(1, 4, 0).Then(kTextRays, 1, 68)
        .Off(kTextRay);
    a.Program({67})
        .Flag(4).Flag(3).Counts({AtLeast(2, 2)}).Then(kTextHideLabels, 34, 0)
        .Flag(4).Flag(3).Then(kTextHideLabel, 34, 0)
        .Flag(4).Counts({AtLeast(2, 2)}).Then(kTextShowLabels, 34, 1)
        .Flag(4).Then(kTextShowLabel, 34, 1)
        .Off(kTextShowLabels);
    a.Program({68}).Counts({AtLeast(4, 1)}).Then(kTextMarkCenter, 5, 0).Off(kTextMarkCenter);
    a.Program({69}).Counts({AtLeast(7, 1)}).Then(kTextMarkMirror, 5, 1).Off(kTextMarkMirror);
    a.Program({70})
        .Counts({AtLeast(4, 3)}).Then(kTextMarkAngle, 5, 6)
        .Counts({AtLeast(44, 1)}).Flag(8).Then(kTextMarkAngle, 5, 9)
        .Off(kTextMarkAngle);
    a.Program({71})
        .Counts({AtLeast(14, 2)}).Then(kTextMarkSegmentRatio, 5, 12)
        .Counts({Is(4, 3), Is(1, 3)}).Pred(1).Then(kTextMarkRatio, 5, 15)
        .Counts({AtLeast(46, 1)}).Flag(8).Then(kTextMarkScaleFactor, 5, 10)
        .Off(kTextMarkRatio);
    a.Program({72}).Counts({AtLeast(43, 1)}).Flag(8).Then(kTextMarkDistance, 5, 19).Off(kTextMarkDistance);
    a.Program({73}).Counts({AtLeast(4, 2)}).Then(kTextMarkVector, 5, 3).Off(kTextMarkVector);
    a.Program({77})
        .Counts({AtLeast(4, 1)}).Sum(1, 4, 0).Then(kTextAbscissaX, 0, 84)
        .Off(kTextAbscissaX);
    a.Program({78})
        .Counts({AtLeast(4, 1)}).Sum(1, 4, 0).Then(kTextOrdinateY, 0, 89)
        .Off(kTextOrdinateY);
    a.Program({75}).Counts({Is(1, 1)}).Then(kTextPropertiesEllipsis, 36).Off(kTextPropertiesEllipsis);
    a.Program({84})
        .Flag(0).Flag(13).ThenV(kTextTextStyleEllipsis, 10, 42, 1)
        .Flag(13).ThenV(kTextTextStyleEllipsis, 10, 42)
        .Pred(9).ThenV(kTextTextStyleEllipsis, 10, 42)
        .Off(kTextTextStyleEllipsis);
    a.Program({79})
        .Counts({Is(1, 2), Is(4, 2)}).Then(kTextDistance, 0, 95)
        .Counts({Is(1, 2), Is(4, 1), Is(7, 1)}).Then(kTextDistance, 0, 47)
        .Counts({AtLeast(14, 1)}).Sum(1, 14, 0).Then(kTextLength, 0, 44)
        .Counts({AtLeast(1, 1)}).SumOf(1, {22, 16, 23}).Then(kTextRadius, 0, 79)
        .Counts({Is(1, 3), Is(22, 1), Is(4, 2)}).Pred(2).Then(kTextArcLength, 0, 72)
        .Counts({Is(1, 4), Is(22, 1), Is(4, 3)}).Pred(2).Then(kTextArcLength, 0, 72)
        .Off(kTextLengthDistance);
    a.Program({80})
        .Counts({AtLeast(15, 1)}).Sum(1, 15, 0).Then(kTextPerimeter, 0, 51)
        .Counts({AtLeast(1, 1)}).SumOf(1, {22, 16}).Then(kTextCircumference, 0, 54)
        .Off(kTextPerimeter);
    a.Program({86})
        .Counts({Is(1, 3), Is(4, 3)}).Then(kTextAngle, 0, 57)
        .Counts({Is(1, 3), Is(22, 1), Is(4, 2)}).Pred(2).Then(kTextArcAngle, 0, 65)
        .Counts({Is(1, 4), Is(22, 1), Is(4, 3)}).Pred(2).Then(kTextArcAngle, 0, 65)
        .Off(kTextAngle);
    a.Program({81, 82, 83})
        .Flag(0).LineStyle(1)
        .LineStyle(0);
    a.Program({89})
        .Counts({Is(28, 1), Is(17, 1)}).Flag(15).Then(kTextParametricEllipsis, 46, 0)
        .Counts({Is(28, 3), Is(17, 3)}).Flag(15).Then(kTextParametricEllipsis, 46, 1)
        .Off(kTextParametricEllipsis);
    a.Program({90})
        .Flag(0).Counts({AtLeast(1, 1)}).Then(kTextOtherEllipsis, 47, 1)
        .Counts({AtLeast(1, 1)}).Then(kTextOtherEllipsis, 47, 0)
        .Pred(9).Then(kTextOtherEllipsis, 47, 1)
        .Off(kTextOtherEllipsis);
    a.Program({92}).Then(kTextNewFunctionEllipsis, 39, 0x8001);
    a.Program({28})
        .NoFlag(7).Flag(16).Then(kTextIncreaseSpeed, 20, 0x4003)
        .NoFlag(7).Flag(6).Counts({Is(1, 0)}).Then(kTextIncreaseAllSpeeds, 20, 0x8002)
        .Off(kTextIncreaseSpeed);
    a.Program({29})
        .NoFlag(7).Flag(16).Then(kTextDecreaseSpeed, 20, 0x4001)
        .NoFlag(7).Flag(6).Counts({Is(1, 0)}).Then(kTextDecreaseAllSpeeds, 20, 0x8000)
        .Off(kTextDecreaseSpeed);
    a.Program({66})
        .Flag(0).Flag(19).Then(kTextStopAllSketches, 44)
        .NoFlag(7).Flag(16).Then(kTextStopAnimation, 32, 0x4002)
        .NoFlag(7).Flag(6).Counts({Is(1, 0)}).Then(kTextStopAllMotions, 32, 0x8000)
        .Off(kTextStopAnimation);
    a.Program({91})
        .Flag(20).Pred(8).Then(kTextHideMotionController, 48, 0)
        .Then(kTextShowMotionController, 48, 1);
    a.Program({100})
        .Counts({AtLeast(1, 1)}).ThenV(kTextClearNoun, 1, 21)
        .Pred(10).Then(kTextClear, 21)
        .Off(kTextClear);
    a.Program({97})
        .Counts({AtLeast(1, 1)}).Then(kTextCut, 52)
        .Pred(10).Then(kTextCut, 52)
        .Off(kTextCut);
    a.Program({98})
        .Counts({AtLeast(1, 1)}).Then(kTextCopy, 53)
        .Pred(10).Then(kTextCopy, 53)
        .Off(kTextCopy);
    a.Program({103})
        .Counts({Is(54, 1), Is(1, 1)}).Then(kTextDerivative, 50, 0x4000)
        .Counts({AtLeast(54, 2)}).Sum(1, 54, 0).Then(kTextDerivatives, 50, 0x4000)
        .Off(kTextDerivative);
    a.Program({101})
        .Counts({Is(22, 1), Is(4, 2), Is(1, 3)}).Pred(2).Then(kTextArcOnCircle, 0, 115)
        .Counts({Is(4, 3), Is(1, 3)}).Pred(2).Then(kTextArcOnCircle, 0, 119)
        .Off(kTextArcOnCircle);
    a.Program({102})
        .Counts({Is(4, 3), Is(1, 3)}).NotPred(1).Then(kTextArcThrough3Points, 0, 121)
        .Off(kTextArcThrough3Points);
    a.Program({105})
        .Counts({Is(62, 1)}).Flag(11).Then(kTextEditParameterEllipsis, 39, 0x400a)
        .Counts({Is(64, 1)}).Flag(11).Then(kTextEditParameterEllipsis, 39, 0x400a)
        .Counts({Is(63, 1)}).Flag(11).Then(kTextEditParameterEllipsis, 39, 0x400a)
        .Counts({Is(28, 1), Is(1, 1)}).Flag(11).Then(kTextEditCalculationEllipsis, 39, 0x4002)
        .Counts({Is(54, 1), Is(1, 1), Is(57, 0)}).Then(kTextEditFunctionEllipsis, 39, 0x4003)
        .Counts({Is(53, 1), Is(1, 1)}).Pred(6).Then(kTextEditPlottedPointEllipsis, 29, 0x4001)
        .Off(kTextEditDefinitionEllipsis);
    a.Program({106})
        .Counts({Is(1, 2), Is(4, 2)}).Then(kTextCoordinateDistance, 0, 129)
        .Off(kTextCoordinateDistance);
    a.Program({107})
        .Counts({AtLeast(7, 1)}).Sum(1, 7, 0).Then(kTextSlope, 0, 132)
        .Off(kTextSlope);
    a.Program({104})
        .Flag(0).Counts({AtLeast(28, 1), AtLeast(1, 2)}).Pred(14).Then(kTextIterateToDepthEllipsis, 60, 0x100)
        .Flag(21).Then(kTextIterateEllipsis, 60, 0)
        .Counts({Is(52, 1), Is(1, 1)}).Pred(13).Then(kTextTerminalPoint, 0, 136)
        .Counts({AtLeast(52, 1)}).Sum(1, 52, 0).Pred(13).Then(kTextTerminalPoints, 0, 136)
        .Flag(0).Off(kTextIterateToDepthEllipsis)
        .Off(kTextIterateEllipsis);
    a.Program({109})
        .Counts({AtLeast(1, 1)}).SumOf(1, {28, 21, 56}).Then(kTextTabulate, 0, 139)
        .Off(kTextTabulate);
    a.Program({110})
        .Counts({Is(66, 1), Is(1, 1)}).Then(kTextAddTableDataEllipsis, 61)
        .Off(kTextAddTableDataEllipsis);
    a.Program({111})
        .Counts({Is(66, 1), Is(1, 1)}).Pred(15).Then(kTextRemoveTableDataEllipsis, 62)
        .Off(kTextRemoveTableDataEllipsis);
    return a;
}

constexpr RuleAssembler kAssembled = AssembleMenuRules();

static_assert(kAssembled.size == kMenuRulesSize, "the rule block has its fixed length");
static_assert(kAssembled.startCount == kMenuRuleProgramRows);

// Every program starts where its row's state word says, and only rule rows have one.
constexpr bool ProgramsMatchRows() {
    for (size_t i = 0; i < kAssembled.startCount; ++i) {
        const MenuRuleProgramStart& s = kAssembled.starts[i];
        if (s.row >= kCommandRowCount) return false;
        const CommandRow& row = CommandRowTable[s.row];
        if (row.stateQuery != kQueryMenuRules || row.stateWord != s.offset) return false;
    }
    return true;
}
static_assert(ProgramsMatchRows());

}  // namespace

const std::array<uint8_t, kMenuRulesSize> MenuRules = kAssembled.bytes;
const std::array<MenuRuleProgramStart, kMenuRuleProgramRows> MenuRuleProgramStarts = kAssembled.starts;
