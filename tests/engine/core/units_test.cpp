#include "engine/core/units.h"

#include "engine/core/services/preferences.h"
#include "engine/core/sketch_units.h"

#include <gtest/gtest.h>

namespace {

constexpr double kHalfPi = 1.5707963267949;

class UnitsTest : public ::testing::Test {
protected:
    void TearDown() override { SetStandInSketchUnits(kAngleDegrees, kDistanceCentimetres); }
};

TEST_F(UnitsTest, RadiansToTheSketchAngleUnitWithItsSignRule) {
    struct Case { int32_t unit; bool directed; double in, out; };
    const Case cases[] = {
        { kAngleRadians, false, -kHalfPi, -kHalfPi },
        { kAngleDegrees, false, -kHalfPi, 90.0 },          // undirected: no sign
        { kAngleDegrees, true, -kHalfPi, -90.0 },          // asked for the sign
        { kAngleDirectedDegrees, false, -kHalfPi, -90.0 },
        { 7, false, 1.0, 0.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit * 10 + c.directed);
        SetStandInSketchUnits(c.unit, kDistancePixels);
        double value = c.in;
        EXPECT_NEAR(RadiansToAngleUnits(&value, c.directed), c.out, 1e-9);
        EXPECT_NEAR(value, c.out, 1e-9);
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
        SetStandInSketchUnits(kAngleDegrees, unit);
        value = 120.0;
        EXPECT_DOUBLE_EQ(ToDistanceUnits(&value), 120.0 / factor);
    }
    EXPECT_DOUBLE_EQ(PreferencesUnitFactor(kDistanceCentimetres) * 2.54,
                     PreferencesUnitFactor(kDistanceInches));
    double value = 5.0;
    EXPECT_DOUBLE_EQ(ToDistanceUnitsOf(&value, 9), 5.0);  // unknown unit: pixels
}

}  // namespace
