#include "engine/core/units.h"

#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kHalfPi = 1.5707963267949;

// A current sketch whose units each case sets.
class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        sketch_ = CreateSketch(0, nullptr);
        ASSERT_NE(sketch_, nullptr);
        SetCurrentSketch(sketch_, &previous_);
    }
    void TearDown() override {
        FreeSketch(sketch_);
        SetCurrentSketch(previous_, nullptr);
    }
    void SetSketchUnits(int32_t angleUnit, int32_t distanceUnit) {
        sketch_->settings.angleUnit = angleUnit;
        sketch_->settings.distanceUnit = distanceUnit;
    }

    Sketch* sketch_ = nullptr;
    Sketch* previous_ = nullptr;
};

TEST_F(UnitsTest, RadiansToTheSketchAngleUnitWithItsSignRule) {
    struct Case { int32_t unit; bool directed; double in, out; };
    const Case cases[] = {
        { kAngleRadians, false, -kHalfPi, -kHalfPi },
        { kAngleDegrees, false, -kHalfPi, 90.0 },          // undirected: no sign
        { kAngleDegrees, false, -0.0, 0.0 },                // not even on zero
        { kAngleDirectedDegrees, false, -0.0, -0.0 },
        { kAngleDegrees, true, -kHalfPi, -90.0 },          // asked for the sign
        { kAngleDirectedDegrees, false, -kHalfPi, -90.0 },
        { 7, false, 1.0, 0.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit * 10 + c.directed);
        SetSketchUnits(c.unit, kDistancePixels);
        double value = c.in;
        EXPECT_NEAR(RadiansToAngleUnits(&value, c.directed), c.out, 1e-9);
        EXPECT_NEAR(value, c.out, 1e-9);
        EXPECT_EQ(std::signbit(value), std::signbit(c.out));
    }
}

TEST_F(UnitsTest, AnglesToRadians) {
    struct Case { int32_t unit; double in, out; };
    const Case cases[] = {
        { kAngleRadians, 2.5, 2.5 },
        { kAngleDegrees, 180.0, 3.1415926535898 },
        { kAngleDirectedDegrees, -90.0, -kHalfPi },
        { -1, 45.0, 0.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        double value = c.in;
        EXPECT_NEAR(AngleToRadians(&value, c.unit), c.out, 1e-12);
        EXPECT_NEAR(value, c.out, 1e-12);
    }
}

TEST_F(UnitsTest, DistancesGoThroughTheUnitFactors) {
    for (int32_t unit : { kDistancePixels, kDistanceCentimetres, kDistanceInches }) {
        SCOPED_TRACE(unit);
        const double factor = unit == kDistancePixels ? 1.0 : PreferencesUnitFactor(unit);
        double value = 120.0;
        EXPECT_DOUBLE_EQ(ToDistanceUnitsOf(&value, unit), 120.0 / factor);
        EXPECT_DOUBLE_EQ(FromDistanceUnits(&value, unit), 120.0);
        SetSketchUnits(kAngleDegrees, unit);
        value = 120.0;
        EXPECT_DOUBLE_EQ(ToDistanceUnits(&value), 120.0 / factor);
    }
    EXPECT_DOUBLE_EQ(PreferencesUnitFactor(kDistanceCentimetres) * 2.54,
                     PreferencesUnitFactor(kDistanceInches));
    double value = 5.0;
    EXPECT_DOUBLE_EQ(ToDistanceUnitsOf(&value, 9), 5.0);  // unknown unit: pixels
}

TEST_F(UnitsTest, WithNoSketchCurrentValuesStayInTheEngineUnits) {
    SetSketchUnits(kAngleDegrees, kDistanceInches);
    SetCurrentSketch(nullptr, nullptr);
    double angle = -1.25, distance = 300.0;
    EXPECT_EQ(RadiansToAngleUnits(&angle, false), -1.25);
    EXPECT_EQ(ToDistanceUnits(&distance), 300.0);
    SetCurrentSketch(sketch_, nullptr);
    EXPECT_EQ(ToDistanceUnits(&distance), 300.0 / PreferencesUnitFactor(kDistanceInches));
}

}  // namespace
