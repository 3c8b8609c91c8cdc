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

using SelectionCensusTest = CommandFixture;
using MenuRulesTest = CommandFixture;

TEST_F(SelectionCensusTest, EmptySelection) {
    TakeSelectionCensus();
    const SelectionCensus& c = CurrentSelectionCensus();
    for (uint16_t n : c.counts) EXPECT_EQ(n, 0);
    EXPECT_STREQ(c.noun, "");
    EXPECT_EQ(c.commonKind, 0);
    EXPECT_EQ(c.flags[kFlagAllShowText], 0);
    EXPECT_EQ(c.flags[kFlagAllMovingFast], 1);
    EXPECT_EQ(c.flags[kFlagAllFreePointsOrParameters], 0);
    EXPECT_EQ(c.noSketch, 0);
    ExpectState(Eval(20), kTextHideObjects, 0, false, 0, 0);
}

TEST_F(SelectionCensusTest, CountsSumUpTheKindLatticeAndNameTheCommonKind) {
    SketchObject& a = Point(0, 0);
    SketchObject& mid = Make(1, 11, 1);  // a midpoint
    SketchObject& s = Segment({0, 0}, {10, 0});
    Select(a, mid);
    TakeSelectionCensus();
    const SelectionCensus& c = CurrentSelectionCensus();
    EXPECT_EQ(c.counts[4], 2);
    EXPECT_EQ(c.counts[11], 1);
    EXPECT_EQ(c.counts[1], 2);
    EXPECT_EQ(c.commonKind, 4);
    EXPECT_STREQ(c.noun, "Points");

    Select(s);
    TakeSelectionCensus();
    EXPECT_EQ(c.counts[14], 1);
    EXPECT_EQ(c.counts[7], 1);
    EXPECT_EQ(c.counts[5], 1);
    EXPECT_EQ(c.counts[2], 3);
    EXPECT_EQ(c.counts[1], 3);
    EXPECT_EQ(c.commonKind, 2);
    EXPECT_EQ(c.flags[kFlagTransformable], 1);
    EXPECT_EQ(c.flags[kFlagHasParents], 1);
    EXPECT_EQ(c.flags[kFlagGeometricOrParameter], 1);

    DeselectAll();
    Select(s);
    TakeSelectionCensus();
    EXPECT_STREQ(c.noun, "Segment");
}

TEST_F(SelectionCensusTest, TextStyleFlagsAndLineStyles) {
    SketchObject& caption = Make(0, 19, 0);
    caption.textStyle.field[0] = 3;
    caption.textStyle.field[1] = 12;
    SketchObject& point = Point(1, 1);
    point.label.shown = 1;
    point.textStyle.field[0] = 3;
    point.textStyle.field[1] = 14;
    Select(caption, point);
    TakeSelectionCensus();
    const SelectionCensus& c = CurrentSelectionCensus();
    EXPECT_EQ(c.flags[kFlagAllShowText], 1);
    EXPECT_EQ(c.flags[kFlagSomeLabelFollows], 1);
    EXPECT_EQ(c.flags[kFlagAllLabelsShown], 1);
    TextStyle style{};
    ASSERT_TRUE(GetSelectionTextStyle(&style));
    EXPECT_EQ(style.field[0], 3);
    EXPECT_EQ(style.field[1], 0);  // differing fields inherit

    point.label.shown = 0;
    TakeSelectionCensus();
    EXPECT_EQ(c.flags[kFlagAllShowText], 0);
    EXPECT_EQ(c.flags[kFlagAllLabelsShown], 0);

    SketchObject& thick = Segment({0, 0}, {5, 5});
    thick.lineStyle = 2;
    Select(thick);
    TakeSelectionCensus();
    EXPECT_EQ(c.lineStylePresent[2], 1);
    EXPECT_EQ(c.lineStylePresent[1], 0);
    EXPECT_EQ(c.gridsOnly, 0);
}

TEST_F(SelectionCensusTest, ShiftStateDirtiesItsGroupsOnlyWhenItChanges) {
    while (RunIdleTasks()) {}
    ASSERT_EQ(CmdStateDirtyMask(), 0);
    SetShiftState(1);
    EXPECT_EQ(CmdStateDirtyMask(), (1u << 3) | (1u << 6) | (1u << 7) | (1u << 12));
    while (RunIdleTasks()) {}
    SetShiftState(1);
    EXPECT_EQ(CmdStateDirtyMask(), 0);
    TakeSelectionCensus();
    EXPECT_EQ(CensusShiftState(), 1);
}

TEST_F(SelectionCensusTest, IntersectionCounts) {
    SketchObject& across = Segment({-10, 0}, {10, 0});
    SketchObject& short1 = Segment({20, -5}, {20, 5});
    SketchObject& up = Segment({0, -5}, {0, 5});
    SketchObject& circle = Circle({0, 0}, 5);
    SketchObject& far = Circle({100, 0}, 5);
    SketchObject& touching = Circle({8, 0}, 5);
    SketchObject& flatArc = Make(12, 24, 82);
    StandinData(&flatArc)->arcIsFlat = 1;
    StandinData(&flatArc)->flatFirst = {-3, -3};
    StandinData(&flatArc)->flatSecond = {-3, 3};
    struct Case { const SketchObject* a; const SketchObject* b; int32_t n; };
    const Case cases[] = {
        {&across, &up, 1}, {&across, &short1, 0}, {&across, &circle, 2}, {&circle, &up, 2},
        {&circle, &far, 0}, {&circle, &touching, 2}, {&across, &flatArc, 2}, {&far, &flatArc, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CountSelectionIntersections(c.a, c.b), c.n);
}

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
    ShellStandin().motionControllerVisible = 1;
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
    sketch.markSlots[kMarkSlotCoordSystem] = &system;
    StandinData(&system)->gridForm = 0;  // polar
    ExpectState(Eval(44), kTextCoordinates, 0, true, 0, 107);
    ExpectState(Eval(55), kTextMarkCoordinateSystem, 0, false, 0, 0);
    StandinData(&p)->ownerSystem = &system;
    EXPECT_TRUE(Eval(55).enabled);
    ExpectState(Eval(54), kTextDefineOrigin, 0, true, 26, 1);
    DeselectAll();
    ExpectState(Eval(54), kTextDefineCoordinateSystem, 0, false, 26, 0);
    sketch.markSlots[kMarkSlotCoordSystem] = nullptr;
    ExpectState(Eval(54), kTextDefineCoordinateSystem, 0, true, 26, 0);
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
        StandinData(&m)->hasValue = c.hasValue;
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
    Inputs().activityWord = kActivityAnimating | kActivityPaused;
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
    ShellStandin().motionControllerVisible = 1;
    ShellStandin().hasSpeedRange = 1;
    ShellStandin().speedLow = 1;
    ShellStandin().speedHigh = 3;
    ShellStandin().speedReversible = 1;
    auto items = [] {
        const int32_t* s = ShellStandin().motionBarItems;
        return std::vector<int32_t>(s, s + 8);
    };
    // Without a sketch every item is off; the bar shows only changes from there on.
    for (int32_t& state : ShellStandin().motionBarItems) state = 2;
    SetCurrentSketch(nullptr, nullptr);
    Eval(91);
    SetCurrentSketch(&sketch, nullptr);

    // Items: Animate, Stop, Pause, faster, slower, speed box, target, Reverse.
    Inputs().activityWord = kActivityAnimating;
    ExpectState(Eval(91), kTextHideMotionController, 0, true, 48, 0);
    EXPECT_EQ(items(), (std::vector<int32_t>{2, 0, 0, 0, 0, 0, 1, 0}));

    Inputs().activityWord = kActivityAnimating | kActivityPaused;
    Eval(91);
    EXPECT_EQ(items(), (std::vector<int32_t>{2, 0, 1, 2, 2, 2, 1, 2}));

    // A moving point selected: the target button is the selection.
    Inputs().activityWord = kActivityAnimating;
    SketchObject& p = Point(0, 0);
    p.motionRole = 2;
    Select(p);
    Eval(91);
    EXPECT_EQ(items(), (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 0}));

    // Nothing animating, no sketch: everything off.
    SetCurrentSketch(nullptr, nullptr);
    Eval(91);
    EXPECT_EQ(items(), (std::vector<int32_t>{2, 2, 2, 2, 2, 2, 2, 2}));
    const int32_t refreshes = ShellStandin().motionBarRefreshes;
    Eval(91);
    EXPECT_EQ(ShellStandin().motionBarRefreshes, refreshes);  // only changes are shown
}
