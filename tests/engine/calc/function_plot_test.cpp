// Plots of functions: default ranges by form, gaps at poles, the polar form's signed
// angles, and calculator changes of form through the undo entries of plot ranges.
#include "engine/core/locus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "calc_fixture.h"
#include "edit_record.h"
#include "engine/core/angle_constants.h"
#include "engine/core/services/preferences.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/units.h"
#include "engine/core/services/object_labels.h"
#include "engine/text/object_labels.h"

using namespace calc_test;

namespace {

class FunctionPlotTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->windowRect = { 0, 0, 640, 480 };
        sketch->settings.angleUnit = kAngleRadians;
    }

    SketchObject* Function(int32_t form, std::vector<ExpressionToken> tokens) {
        CalculationEditRecord r = EditRecord(form, tokens);
        SketchObject* f = ConstructObject(kTypeFunction, &r, 0, 0, true, false, nullptr);
        ReleaseCalculationEditRecord(&r);
        EXPECT_NE(f, nullptr);
        if (f) RecomputeObject(f, nullptr, true);
        return f;
    }

    // A coordinate system with its origin at (320, 240) and 20 pixels per unit.
    SketchObject* System(double unit = 20) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCoordinateSystem, 1, kKindCoordinateSystem, 0 };
        SketchObject* s = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(s, nullptr);
        const double frame[4] = { 320, 240, unit, unit };
        std::memcpy(ClassData<char>(s), frame, sizeof frame);
        s->exists = 1;
        return s;
    }

    SketchObject* Plot(SketchObject* function, SketchObject* system) {
        SketchObject* plot = ConstructObject(kTypeFunctionPlot, nullptr, List({ function, system }), 0, true, false, nullptr);
        EXPECT_NE(plot, nullptr);
        if (plot) RecomputeObject(plot, nullptr, true);
        return plot;
    }

    static void SetRange(SketchObject* plot, double lo, double hi) {
        LocusDataOf(plot)->lo = lo;
        LocusDataOf(plot)->hi = hi;
        RecomputeObject(plot, nullptr, true);
    }
};

TEST_F(FunctionPlotTest, NewPlotsSpanTheVisibleRangeOfTheirForm) {
    SketchObject* system = System();
    struct Case { int32_t form; double lo, hi; };
    const Case cases[] = {
        { kFormYofX, -16, 16 },       // (0 - 320) / 20 .. (640 - 320) / 20
        { kFormXofY, -12, 12 },       // the rows, upwards, ordered by the update
        { kFormRofTheta, 0, kTwoPi },
        { kFormThetaOfR, 0, 16 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        SketchObject* plot = Plot(Function(c.form, { kX }), system);
        ASSERT_NE(plot, nullptr);
        const LocusData* L = LocusDataOf(plot);
        EXPECT_NEAR(L->lo, c.lo, 1e-9);
        EXPECT_NEAR(L->hi, c.hi, 1e-9);
        EXPECT_EQ(L->form, c.form);
        EXPECT_EQ(L->ends, 3);
        EXPECT_EQ(L->sampleCount, ThePreferences().plotSamples);
        EXPECT_EQ(plot->color, sketch->settings.palette[kColorSlotPlots]);
        EXPECT_EQ(plot->exists, 1);
    }
    // Without a system in view the range is the fallback, put in order at the update.
    sketch->windowRect = { 0, 0, 640, 480 };
    system->exists = 0;
    SketchObject* plot = Plot(Function(kFormYofX, { kX, kPlus, 1 }), system);
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(LocusDataOf(plot)->lo, 10);
    EXPECT_EQ(LocusDataOf(plot)->hi, -10);
}

TEST_F(FunctionPlotTest, OneOverXIsNotJoinedAcrossItsPole) {
    SketchObject* plot = Plot(Function(kFormYofX, { 1, kOver, kX }), System());
    ASSERT_NE(plot, nullptr);
    SetRange(plot, -10, 10);
    ASSERT_EQ(plot->exists, 1);
    const int32_t n = LocusDataOf(plot)->sampleCount;
    int32_t joinedLeft = 0, joinedRight = 0;
    for (int32_t i = 1; i < n; ++i) {
        const ScreenPoint a = LocusSamplePoint(plot, i - 1), b = LocusSamplePoint(plot, i);
        const bool joined = LocusSampleState(plot, i) == kSampleRunGoes && LocusSampleState(plot, i - 1) != kSampleMissing;
        EXPECT_FALSE(joined && a.x < 320 && b.x > 320) << i;
        if (joined && b.x < 320) ++joinedLeft;
        if (joined && a.x > 320) ++joinedRight;
    }
    EXPECT_GT(joinedLeft, n / 3);
    EXPECT_GT(joinedRight, n / 3);
    // Both ends go on beyond the range: each carries a handle direction.
    EXPECT_EQ(LocusDataOf(plot)->startKind, kLocusEndGoesOn);
    EXPECT_EQ(LocusDataOf(plot)->endKind, kLocusEndGoesOn);
}

TEST_F(FunctionPlotTest, PolarAnglesKeepTheirSignInDegrees) {
    sketch->settings.angleUnit = kAngleDegrees;
    // r = theta, theta in degrees: over (-pi, 0) the radius is negative.
    SketchObject* plot = Plot(Function(kFormRofTheta, { kX }), System(1));
    ASSERT_NE(plot, nullptr);
    ASSERT_TRUE(SetLocusSampleCount(plot, 11));
    SetRange(plot, -kPi, 0);
    // Sample 5 is at theta = -90 degrees, r = -90: (0, 90) from the origin, y upwards.
    const ScreenPoint p = LocusSamplePoint(plot, 5);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 240 - 90);
    EXPECT_NEAR(LocusSampleParameter(plot, 5), -kPi / 2, 1e-12);
    // The last sample takes exactly the end of the range.
    EXPECT_EQ(LocusSampleParameter(plot, 10), 0);
}

TEST_F(FunctionPlotTest, AFormChangeRecordsEachPlotsNewRange) {
    SketchObject* function = Function(kFormYofX, { kX });
    SketchObject* plot = Plot(function, System());
    ASSERT_NE(plot, nullptr);
    uint32_t bytes = 0;
    EXPECT_EQ(SampleLociOfObject(function, kFormRofTheta, nullptr, &bytes), 1);
    EXPECT_EQ(bytes, kLocusRangeEntryBytes);
    uint8_t entry[4 + kLocusRangeEntryBytes] = {};
    uint8_t* cursor = entry;
    EXPECT_EQ(SampleLociOfObject(function, kFormRofTheta, &cursor, nullptr), 1);
    EXPECT_EQ(cursor, entry + sizeof entry);
    SketchObject* recorded = nullptr;
    double lo, hi;
    std::memcpy(&recorded, entry + 4, sizeof recorded);
    std::memcpy(&lo, entry + 12, 8);
    std::memcpy(&hi, entry + 20, 8);
    EXPECT_EQ(recorded, plot);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, kTwoPi);
    // The plot keeps its range until the entry is applied.
    EXPECT_NEAR(LocusDataOf(plot)->lo, -16, 1e-9);
}

}  // namespace

namespace {

TEST_F(FunctionPlotTest, ThePlotsLabelNamesValueFunctionAndArgument) {
    SketchObject* system = System();
    struct Case { int32_t form; const char* text; };
    const Case cases[] = {
        { kFormYofX, "y=f(x)" }, { kFormXofY, "x=f(y)" }, { kFormRofTheta, "r=f(theta)" }, { kFormThetaOfR, "theta=f(r)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        SketchObject* function = Function(c.form, { kX, kPlus, uint16_t(c.form + 1) });
        SetObjectLabel(function, "f", false);
        SketchObject* plot = Plot(function, system);
        ASSERT_NE(plot, nullptr);
        char text[64] = "";
        EXPECT_EQ(LocusLabelText(text, sizeof text, plot), std::strlen(c.text));
        EXPECT_STREQ(text, c.text);
    }
    // A system with parents names the value and the argument after them; appended to
    // what the buffer holds, and cut to its size.
    SketchObject* h = PointAt(0, 0);
    SketchObject* v = PointAt(0, 1);
    SetObjectLabel(h, "h", false);
    SetObjectLabel(v, "v", false);
    SketchObject* named = System();
    ASSERT_TRUE(SetObjectParents(named, List({ h, v })));
    SketchObject* function = Function(kFormYofX, { kX, kTimes, 2 });
    SetObjectLabel(function, "g", false);
    SketchObject* plot = Plot(function, named);
    char text[64] = "> ";
    EXPECT_EQ(LocusLabelText(text, sizeof text, plot), 6u);
    EXPECT_STREQ(text, "> v=g(h)");
    char small[5] = "";
    LocusLabelText(small, sizeof small, plot);
    EXPECT_STREQ(small, "v=g(");
}

}  // namespace
