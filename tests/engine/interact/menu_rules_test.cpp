#include <cmath>
#include <limits>
#include <vector>

#include "command_fixture.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/menu_texts.h"

using namespace menu_text;

namespace {
void ExpectState(const RowState& s, uint16_t text, uint16_t variant, bool enabled,
                 uint16_t executor, int32_t argument) {
    EXPECT_EQ(s.text, text);
    EXPECT_EQ(s.variant, variant);
    EXPECT_EQ(s.enabled, enabled);
    EXPECT_EQ(s.executor, executor);
    EXPECT_EQ(s.argument, argument);
}
}  // namespace

using MenuRulesTest = CommandFixture;

TEST_F(MenuRulesTest, MidpointsOfSegments) {
    SketchObject& s1 = Segment({0, 0}, {10, 0});
    SketchObject& s2 = Segment({0, 5}, {10, 5});
    Select(s1);
    ExpectState(Eval(1), kTextMidpoint, 0, true, 0, 10);
    Select(s2);
    ExpectState(Eval(1), kTextMidpoints, 0, true, 0, 10);
    Select(Point(1, 1));
    ExpectState(Eval(1), kTextMidpoint, 0, false, 0, 0);
}

TEST_F(MenuRulesTest, SegmentAndPoint) {
    Select(Segment({0, 0}, {10, 0}), Point(3, 4));
    ExpectState(Eval(4), kTextParallelLine, 0, true, 0, 25);
    ExpectState(Eval(5), kTextPerpendicularLine, 0, true, 0, 0);
    ExpectState(Eval(33), kTextDistance, 0, true, 0, 47);
    ExpectState(Eval(79), kTextDistance, 0, true, 0, 47);
    ExpectState(Eval(1), kTextMidpoint, 0, false, 0, 0);
    ExpectState(Eval(20), kTextHideNoun, 1, true, 10, 0);
    EXPECT_STREQ(CurrentSelectionCensus().noun, "Objects");
    // Two points and a segment: perpendiculars through both points.
    Select(Point(5, 5));
    ExpectState(Eval(5), kTextPerpendicularLines, 0, true, 0, 5);
}

TEST_F(MenuRulesTest, NoSketchShowsUnconditionalTextsDisabled) {
    Select(Segment({0, 0}, {10, 0}));
    SetCurrentSketch(nullptr, nullptr);
    ExpectState(Eval(1), kTextMidpoint, 0, false, 0, 0);
    ExpectState(Eval(43), kTextCalculateEllipsis, 0, false, 39, int32_t(0x80000000u));
    ExpectState(Eval(59), kTextPlotNewFunctionEllipsis, 0, false, 39, int32_t(0x80000005u));
    RowState ls = Eval(82);
    EXPECT_FALSE(ls.enabled);
    // Show Motion Controller is enabled without a sketch.
    ExpectState(Eval(91), kTextShowMotionController, 0, true, 48, 1);
    RecordedMotionBar().motionControllerVisible = 1;
    ExpectState(Eval(91), kTextHideMotionController, 0, true, 48, 0);
}

TEST_F(MenuRulesTest, AngleBisectorRefusesAMiddlePointBetweenTheOthers) {
    struct Case { RealPoint first, second, third; bool enabled; };
    const Case cases[] = {
        {{0, 0}, {5, 0}, {10, 0}, false},   // the middle-selected point lies between
        {{5, 0}, {0, 0}, {10, 0}, true},    // collinear, another order
        {{0, 0}, {5, 5}, {10, 0}, true},    // a real angle
        {{0, 0}, {5, 0.00003}, {10, 0}, false},  // within the tolerance
        {{0, 0}, {5, 0.0001}, {10, 0}, true},
    };
    for (const Case& c : cases) {
        DeselectAll();
        Select(Point(c.first.x, c.first.y), Point(c.second.x, c.second.y), Point(c.third.x, c.third.y));
        RowState s = Eval(6);
        EXPECT_EQ(s.enabled, c.enabled) << c.second.x << "," << c.second.y;
        EXPECT_EQ(s.argument, c.enabled ? 35 : 0);
    }
    // Arc through 3 points wants them not collinear; Mark Ratio wants them collinear.
    DeselectAll();
    Select(Point(0, 0), Point(5, 0), Point(10, 0));
    EXPECT_FALSE(Eval(102).enabled);
    ExpectState(Eval(14), kTextMarkRatio, 0, true, 5, 15);
    DeselectAll();
    Select(Point(0, 0), Point(5, 5), Point(10, 0));
    ExpectState(Eval(102), kTextArcThrough3Points, 0, true, 0, 121);
    ExpectState(Eval(14), kTextMarkAngle, 0, true, 5, 6);
}

TEST_F(MenuRulesTest, LineStylesWithAndWithoutShift) {
    SketchObject& a = Segment({0, 0}, {10, 0});
    SketchObject& b = Segment({0, 5}, {10, 5});
    a.lineStyle = b.lineStyle = 2;
    Select(a, b);
    ExpectState(Eval(83), kTextThick, kVariantChecked, true, 38, 2);
    ExpectState(Eval(81), kTextDashed, kVariantPlain, true, 38, 0);
    SetShiftState(1);
    ExpectState(Eval(83), kTextThick, kVariantChecked, true, 38, 0x82);
    SetShiftState(0);
    b.lineStyle = 1;
    ExpectState(Eval(83), kTextThick, kVariantMixed, true, 38, 2);
    ExpectState(Eval(82), kTextThin, kVariantMixed, true, 38, 1);
    // Only coordinate systems: the dashed item reads "&Dotted".
    DeselectAll();
    Select(CoordSystem(2));
    ExpectState(Eval(81), kTextDotted, kVariantPlain, true, 38, 0);
    // Nothing with a line style: disabled.
    DeselectAll();
    Select(Point(0, 0));
    EXPECT_FALSE(Eval(82).enabled);
}

TEST_F(MenuRulesTest, CoordinateSystemRows) {
    SketchObject& system = CoordSystem(2);
    Select(system);
    ExpectState(Eval(55), kTextMarkCoordinateSystem, 0, true, 5, 20);
    DeselectAll();
    SketchObject& p = Point(1, 2);
    Select(p);
    ExpectState(Eval(44), kTextCoordinates, 0, true, 0, 97);
    sketch.marks[kMarkSlotCoordSystem] = { { &system }, kMarkSet };
    CoordSystemOf(&system)->gridForm = 0;  // polar
    ExpectState(Eval(44), kTextCoordinates, 0, true, 0, 107);
    ExpectState(Eval(55), kTextMarkCoordinateSystem, 0, false, 0, 0);
    ASSERT_TRUE(PtrListAppend(&p.children, &system));
    EXPECT_TRUE(Eval(55).enabled);
    ExpectState(Eval(54), kTextDefineOrigin, 0, true, 26, 1);
    DeselectAll();
    ExpectState(Eval(54), kTextDefineCoordinateSystem, 0, false, 26, 0);
    sketch.marks[kMarkSlotCoordSystem] = { { nullptr }, kMarkEmpty };
    ExpectState(Eval(54), kTextDefineCoordinateSystem, 0, true, 26, 0);

    // A point belongs to a system through an axis it defines; two different systems
    // leave it without one.
    DeselectAll();
    SketchObject& unit = Point(3, 4);
    SketchObject& axis = Make(kClassAxis, 15, 0);
    ASSERT_TRUE(PtrListAppend(&unit.children, &axis));
    ASSERT_TRUE(PtrListAppend(&axis.children, &system));
    Select(unit);
    EXPECT_TRUE(Eval(55).enabled);
    ASSERT_TRUE(PtrListAppend(&unit.children, &system));
    EXPECT_TRUE(Eval(55).enabled);
    ASSERT_TRUE(PtrListAppend(&unit.children, &CoordSystem(1)));
    EXPECT_FALSE(Eval(55).enabled);
}

TEST_F(MenuRulesTest, MeasurementValuesThatCannotBeUsed) {
    struct Case { double value; bool hasValue; bool enabled; };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {12.5, true, true}, {inf, true, false}, {-inf, true, false},
        {std::nan(""), true, true}, {0, false, false},
    };
    for (const Case& c : cases) {
        DeselectAll();
        SketchObject& m = Measurement(43, c.value);
        ValueDisplayOf(&m)->defined = c.hasValue ? 1 : 0;
        Select(m);
        RowState s = Eval(72);
        EXPECT_EQ(s.enabled, c.enabled) << c.value;
        EXPECT_EQ(s.text, kTextMarkDistance);
    }
}

TEST_F(MenuRulesTest, TraceVariants) {
    SketchObject& pt = Point(0, 0);
    SketchObject& caption = Make(0, 19, 0);
    SketchObject& seg = Segment({0, 0}, {1, 1});
    Select(pt, caption);
    ExpectState(Eval(27), kTextTrace, 0, true, 19, 0);
    pt.traced = 1;
    ExpectState(Eval(27), kTextTrace, kVariantChecked, true, 19, 0);
    Select(seg);
    ExpectState(Eval(27), kTextTrace, kVariantMixed, true, 19, 0);
    DeselectAll();
    Select(pt, seg);
    ExpectState(Eval(27), kTextTraceNoun, kVariantNounPartly, true, 19, 0);
    seg.traced = 1;
    ExpectState(Eval(27), kTextTraceNoun, kVariantNounChecked, true, 19, 0);
    DeselectAll();
    Select(caption);
    ExpectState(Eval(27), kTextTrace, 0, false, 0, 0);
}

TEST_F(MenuRulesTest, IterateToDepthWithShift) {
    SketchObject& m = Measurement(46, 3);
    SketchObject& p = Point(1, 1);
    Select(p, m);
    SetShiftState(1);
    ExpectState(Eval(104), kTextIterateToDepthEllipsis, 0, true, 60, 0x100);
    DeselectAll();
    Select(Segment({0, 0}, {1, 0}));
    ExpectState(Eval(104), kTextIterateToDepthEllipsis, 0, false, 0, 0);
    SetShiftState(0);
    DeselectAll();
    Select(p);
    ExpectState(Eval(104), kTextIterateEllipsis, 0, true, 60, 0);
}

TEST_F(MenuRulesTest, ContextBitsMoveToTheTopOfTheArgument) {
    ExpectState(Eval(59), kTextPlotNewFunctionEllipsis, 0, true, 39, int32_t(0x80000005u));
    Select(Point(0, 0));
    ExpectState(Eval(26), kTextAnimateNoun, kVariantNoun, true, 18, 0x40000000);
    ActivityWord() = kActivityAnimating | kActivityPaused;
    ExpectState(Eval(26), kTextResumeAnimation, 0, true, 33, int32_t(0x80000001u));
}

TEST_F(MenuRulesTest, IntersectionsAndInteriors) {
    SketchObject& a = Segment({0, 0}, {10, 0});
    SketchObject& apart = Segment({0, 5}, {10, 6});
    Select(a, apart);
    ExpectState(Eval(2), kTextIntersection, 0, false, 0, 0);
    DeselectAll();
    SketchObject& cross = Segment({5, -5}, {5, 5});
    Select(a, cross);
    ExpectState(Eval(2), kTextIntersection, 0, true, 0, 39);
    DeselectAll();
    Select(a, Circle({5, 0}, 2));
    ExpectState(Eval(2), kTextIntersections, 0, true, 2, 0);
    DeselectAll();
    Select(a, Circle({5, 4}, 4));  // tangent from above
    EXPECT_EQ(Eval(2).enabled, true);

    DeselectAll();
    Select(Point(0, 0), Point(4, 0), Point(0, 3));
    ExpectState(Eval(9), kTextNounInterior, kVariantPolygonNoun, true, 0, 37);
    DeselectAll();
    SketchObject& arc = Make(12, 24, 81);
    Select(arc);
    ExpectState(Eval(9), kTextArcInterior, kVariantArcInteriorPopup, true, 51, 0);
}

TEST_F(MenuRulesTest, CircleRowsCheckPointsOnTheCircle) {
    SketchObject& c = Circle({0, 0}, 10);
    Select(c, Point(10, 0), Point(0, 10));
    ExpectState(Eval(101), kTextArcOnCircle, 0, true, 0, 115);
    ExpectState(Eval(38), kTextArcAngle, 0, true, 0, 65);
    DeselectAll();
    Select(c, Point(10, 0), Point(0, 11));
    EXPECT_FALSE(Eval(101).enabled);
    // Without a circle: the earliest point is the centre, the second gives the radius.
    DeselectAll();
    Select(Point(0, 0), Point(10, 0), Point(0, 10));
    ExpectState(Eval(101), kTextArcOnCircle, 0, true, 0, 119);
    DeselectAll();
    Select(Point(0, 0), Point(10, 0), Point(0, 9));
    EXPECT_FALSE(Eval(101).enabled);
}

TEST_F(MenuRulesTest, MotionControllerItemsFollowTheAnimation) {
    RecordedMotionBar().motionControllerVisible = 1;
    // Two motions: a point along a segment at medium speed (reversible) and a free point
    // at a third of it, so the range reads 1/3 to 1.
    SketchObject& p = Point(0, 0);
    SketchObject& q = Point(5, 5);
    SketchObject& path = Segment({0, 0}, {10, 0});
    ASSERT_EQ(StartMotion(CreateMotion(&p, &path, kMotionAlongPath, kEndBounce, 1, SpeedUnit() * 3), nullptr, nullptr), 0);
    ASSERT_EQ(StartMotion(CreateMotion(&q, nullptr, kMotionRandomFree, 0, 1, SpeedUnit()), nullptr, nullptr), 0);
    auto items = [] {
        const int32_t* s = RecordedMotionBar().motionBarItems;
        return std::vector<int32_t>(s, s + 8);
    };
    // Without a sketch every item is off; the bar shows only changes from there on.
    for (int32_t& state : RecordedMotionBar().motionBarItems) state = 2;
    SetCurrentSketch(nullptr, nullptr);
    Eval(91);
    SetCurrentSketch(&sketch, nullptr);

    // Items: Animate, Stop, Pause, faster, slower, speed box, target, Reverse.
    EXPECT_EQ(ActivityWord(), kActivityAnimating);
    ExpectState(Eval(91), kTextHideMotionController, 0, true, 48, 0);
    EXPECT_EQ(items(), (std::vector<int32_t>{2, 0, 0, 0, 0, 0, 1, 0}));

    PauseAnimationCommand(0);
    EXPECT_EQ(ActivityWord(), kActivityAnimating | kActivityPaused);
    Eval(91);
    EXPECT_EQ(items(), (std::vector<int32_t>{2, 0, 1, 2, 2, 2, 1, 2}));

    // A moving point selected: the target button is the selection.
    PauseAnimationCommand(0);
    p.motionRole = 2;
    Select(p);
    Eval(91);
    EXPECT_EQ(items(), (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 0}));

    // Nothing animating, no sketch: everything off.
    SetCurrentSketch(nullptr, nullptr);
    Eval(91);
    EXPECT_EQ(items(), (std::vector<int32_t>{2, 2, 2, 2, 2, 2, 2, 2}));
    const int32_t refreshes = RecordedMotionBar().motionBarRefreshes;
    Eval(91);
    EXPECT_EQ(RecordedMotionBar().motionBarRefreshes, refreshes);  // only changes are shown
    SetCurrentSketch(&sketch, nullptr);
    StopMotions(0);
    EXPECT_EQ(ActivityWord(), 0u);
}

TEST_F(MenuRulesTest, UnknownOpcodesAndDamagedProgramsOfOtherBlocks) {
    Select(Point(0, 0));
    TakeSelectionCensus();
    RowState s{};
    // Opcode 12 takes no operands and decides nothing: "#1=1, 12 => text 7".
    const uint8_t unknown[] = {13, 1, 1, 1, 1, 12, 0, 7, 0, 1, 0, 0, 5, 8, 0, 3, 0, 0, 0, 0, 0};
    EXPECT_TRUE(EvalMenuRuleProgram(unknown, sizeof unknown, 1, 0, &s.text, &s.variant, &s.executor, &s.argument));
    EXPECT_EQ(s.text, 7);
    EXPECT_EQ(s.argument, 5);
    // A failing test moves on to the next rule.
    const uint8_t second[] = {9, 3, 11, 0, 7, 0, 1, 0, 0, 8, 0, 9, 0, 1, 4, 0, 2};
    EXPECT_TRUE(EvalMenuRuleProgram(second, sizeof second, 1, 0, &s.text, &s.variant, &s.executor, &s.argument));
    EXPECT_EQ(s.text, 9);
    EXPECT_EQ(s.executor, 4);
    EXPECT_EQ(s.argument, 2);
    // Rules that claim more bytes than the block holds, a zero length, operands cut off
    // and counts of kinds beyond the census all end disabled without reading past.
    const uint8_t tooLong[] = {40, 0, 7, 0, 1, 0, 0, 1};
    const uint8_t zero[] = {0, 0, 7, 0, 1, 0, 0, 1};
    const uint8_t cut[] = {4, 1, 3, 1};
    const uint8_t badKind[] = {12, 1, 1, 200, 0x80, 0, 7, 0, 1, 0, 0, 1};
    for (const auto& block : {std::vector<uint8_t>(tooLong, tooLong + sizeof tooLong),
                              std::vector<uint8_t>(zero, zero + sizeof zero),
                              std::vector<uint8_t>(cut, cut + sizeof cut),
                              std::vector<uint8_t>(badKind, badKind + sizeof badKind)}) {
        EXPECT_FALSE(EvalMenuRuleProgram(block.data(), block.size(), 1, 0, &s.text, &s.variant,
                                         &s.executor, &s.argument));
    }
}

// One row per (selection, row): the rule programs' results across the menus.
TEST_F(MenuRulesTest, SelectionsToRowStates) {
    auto pt = [this] { return &Point(double(objects.size()) * 7, double(objects.size()) * 3); };
    auto seg = [this] { return &Segment({0, 0}, {double(objects.size()) + 5, 1}); };
    auto line = [this] { return &Straight(12, {0, 0}, {3, 4}); };
    auto circle = [this] { return &Circle({0, 0}, 10); };
    auto measure = [this](int32_t kind) { return &Measurement(kind, 2.5); };
    auto make = [this](int32_t cls, int32_t kind, int32_t type) { return &Make(cls, kind, type); };
    enum Sel { kNone, kPt, kPt2, kTri, kSeg, kSeg2, kPtSeg, kLine, kLineCircle, kCircle, kPoly,
               kDisc, kArc, kOnPath, kMeas2, kFunction, kParam, kButton, kTable, kTable3,
               kMeasPt, kLabelled, kParent, kSegCircle };
    auto build = [&](Sel sel) {
        switch (sel) {
        case kNone: break;
        case kPt: Select(*pt()); break;
        case kPt2: Select(*pt(), *pt()); break;
        case kTri: Select(Point(0, 0), Point(5, 5), Point(10, 0)); break;
        case kSeg: Select(*seg()); break;
        case kSeg2: Select(*seg(), *seg()); break;
        case kPtSeg: Select(*pt(), *seg()); break;
        case kLine: Select(*line()); break;
        case kLineCircle: Select(*line(), *circle()); break;
        case kCircle: Select(*circle()); break;
        case kPoly: Select(*make(kClassPolygonInterior, 15, 8)); break;
        case kDisc: Select(*make(kClassCircleInterior, 16, 10)); break;
        case kArc: Select(*make(kClassArc, 24, 81)); break;
        case kOnPath: Select(*make(kClassPoint, 10, 15), *pt()); break;
        case kMeas2: Select(*measure(46), *measure(46)); break;
        case kFunction: Select(*make(kClassCalculation, 54, 75)); break;
        case kParam: {
            SketchObject* p = make(kClassCalculation, 62, 0);
            CalculationDataOf(p)->form = kFormCalculation;
            Select(*p);
            break;
        }
        case kButton: Select(*make(kClassActionButton, 20, 66)); break;
        case kTable:
        case kTable3: {
            SketchObject* t = make(kClassTable, 66, 91);
            TableDataOf(t)->rowCount = sel == kTable ? 5 : 3;
            Select(*t);
            break;
        }
        case kMeasPt: Select(*measure(43), *pt()); break;
        case kLabelled: { SketchObject* p = pt(); p->label.shown = 1; Select(*p); break; }
        case kParent: { SketchObject* p = pt(); ASSERT_TRUE(AllocPtrList(1, 1, &p->children)); Select(*p); break; }
        case kSegCircle: Select(*seg(), *circle()); break;
        }
    };
    struct Case { Sel sel; uint32_t row; uint16_t text; uint16_t variant; bool enabled; uint16_t exec; int32_t arg; };
    const Case cases[] = {
        {kSeg, 0, kTextPointOnNoun, kVariantNoun, true, 3, 0},
        {kSegCircle, 0, kTextPointsOnNoun, kVariantNoun, true, 3, 0},
        {kPt2, 3, kTextSegment, 0, true, 1, 2},
        {kTri, 3, kTextSegments, 0, true, 1, 2},
        {kPt2, 7, kTextCircleByCenterPoint, 0, true, 0, 13},
        {kPtSeg, 8, kTextCircleByCenterRadius, 0, true, 0, 15},
        {kSeg, 10, kTextTranslateEllipsis, 0, true, 4, 0},
        {kButton, 10, kTextTranslateEllipsis, 0, false, 0, 0},
        {kPt, 13, kTextReflect, 0, true, 4, 3},
        {kOnPath, 19, kTextLocus, 0, true, 9, 0},
        {kPt2, 19, kTextLocus, 0, false, 0, 0},
        {kPt, 20, kTextHideNoun, kVariantNoun, true, 10, 0},
        {kPt, 30, kTextDeleteNoun, kVariantNoun, true, 21, 0},
        {kSeg, 32, kTextLength, 0, true, 0, 44},
        {kPoly, 34, kTextPerimeter, 0, true, 0, 51},
        {kCircle, 35, kTextCircumference, 0, true, 0, 54},
        {kTri, 36, kTextAngle, 0, true, 0, 57},
        {kDisc, 37, kTextArea, 0, true, 0, 59},
        {kArc, 38, kTextArcAngle, 0, true, 0, 62},
        {kArc, 39, kTextArcLength, 0, true, 0, 69},
        {kLine, 40, kTextGeometricSlope, 0, true, 0, 76},
        {kCircle, 41, kTextRadius, 0, true, 0, 79},
        {kSeg2, 42, kTextRatio, 0, true, 0, 82},
        {kLine, 45, kTextEquation, 0, true, 40, 0},
        {kLineCircle, 45, kTextEquations, 0, true, 40, 0},
        {kSeg, 47, kTextSelectParents, 0, true, 24, 0},
        {kPt, 47, kTextSelectParents, 0, false, 0, 0},
        {kParent, 48, kTextSelectChildren, 0, true, 24, 1},
        {kPt, 49, kTextHideShow, 0, true, 25, 0},
        {kPt, 50, kTextAnimationEllipsis, 0, true, 25, 2},
        {kPt2, 51, kTextMovementEllipsis, 0, true, 25, 3},
        {kPt, 53, kTextScrollEllipsis, 0, true, 25, 4},
        {kMeas2, 58, kTextPlotAsXY, 0, true, 0, 101},
        {kPt, 58, kTextPlotPointsEllipsis, 0, true, 29, int32_t(0x80000000u)},
        {kFunction, 59, kTextPlotFunction, 0, true, 49, 0x40000000},
        {kPt2, 63, kTextLine, 0, true, 1, 67},
        {kPt2, 64, kTextRay, 0, true, 1, 68},
        {kLabelled, 67, kTextHideLabel, 0, true, 34, 0},
        {kPt, 67, kTextShowLabel, 0, true, 34, 1},
        {kPt, 68, kTextMarkCenter, 0, true, 5, 0},
        {kSeg, 69, kTextMarkMirror, 0, true, 5, 1},
        {kPt2, 73, kTextMarkVector, 0, true, 5, 3},
        {kPt, 75, kTextPropertiesEllipsis, 0, true, 36, 0},
        {kPt2, 75, kTextPropertiesEllipsis, 0, false, 0, 0},
        {kPt, 77, kTextAbscissaX, 0, true, 0, 84},
        {kPt, 78, kTextOrdinateY, 0, true, 0, 89},
        {kPoly, 80, kTextPerimeter, 0, true, 0, 51},
        {kCircle, 80, kTextCircumference, 0, true, 0, 54},
        {kTri, 86, kTextAngle, 0, true, 0, 57},
        {kButton, 88, kTextPresentationEllipsis, 0, true, 25, 7},
        {kMeasPt, 89, kTextParametricEllipsis, 0, true, 46, 0},
        {kPt, 90, kTextOtherEllipsis, 0, true, 47, 0},
        {kNone, 92, kTextNewFunctionEllipsis, 0, true, 39, int32_t(0x80000001u)},
        {kPt, 97, kTextCut, 0, true, 52, 0},
        {kNone, 97, kTextCut, 0, false, 0, 0},
        {kPt, 98, kTextCopy, 0, true, 53, 0},
        {kPt, 100, kTextClearNoun, kVariantNoun, true, 21, 0},
        {kFunction, 103, kTextDerivative, 0, true, 50, 0x4000},
        {kParam, 105, kTextEditParameterEllipsis, 0, true, 39, 0x400a},
        {kFunction, 105, kTextEditFunctionEllipsis, 0, true, 39, 0x4003},
        {kPt2, 106, kTextCoordinateDistance, 0, true, 0, 129},
        {kSeg, 107, kTextSlope, 0, true, 0, 132},
        {kMeasPt, 109, kTextTabulate, 0, false, 0, 0},
        {kTable, 110, kTextAddTableDataEllipsis, 0, true, 61, 0},
        {kTable, 111, kTextRemoveTableDataEllipsis, 0, true, 62, 0},
        {kTable3, 111, kTextRemoveTableDataEllipsis, 0, false, 0, 0},
        {kParam, 104, kTextIterateEllipsis, 0, true, 60, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << ", selection " << int(c.sel));
        DeselectAll();
        build(c.sel);
        ExpectState(Eval(c.row), c.text, c.variant, c.enabled, c.exec, c.arg);
    }
}
