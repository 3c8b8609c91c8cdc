#include <gtest/gtest.h>

#include "engine/core/services/preferences.h"

// One record holds the screen resolution, and the unit factors every conversion reads
// follow from it.
TEST(Preferences, DefaultsDeriveTheUnitFactorsFromOneResolution) {
    Preferences p;
    PreferencesDefaults(&p);
    EXPECT_EQ(p.resolution, 100);
    EXPECT_DOUBLE_EQ(p.unitFactor[0], 1.0);
    EXPECT_DOUBLE_EQ(p.unitFactor[1], 100 / 2.54);
    EXPECT_DOUBLE_EQ(p.unitFactor[2], 100.0);
    EXPECT_EQ(p.sketchSettings.distanceUnit, 1);
    EXPECT_EQ(p.slowBackgroundMotion, 1);
    EXPECT_EQ(p.newLineStyle, 1);

    p.resolution = 120;
    PreferencesDerive(&p);
    EXPECT_DOUBLE_EQ(p.unitFactor[1], 120 / 2.54);
    EXPECT_DOUBLE_EQ(p.unitFactor[2], 120.0);
}

TEST(Preferences, DeriveKeepsTheSampleCountsWithinTheLargest) {
    struct Case { int32_t locus, plot, max; int32_t locusOut, plotOut, maxOut; };
    const Case cases[] = {
        { 250, 500, 10000, 250, 500, 10000 },
        { 250, 500, 300, 250, 300, 300 },
        { 5, 500, 3, 12, 12, 12 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max);
        Preferences p;
        PreferencesDefaults(&p);
        p.locusSamples = c.locus;
        p.plotSamples = c.plot;
        p.maxSamples = c.max;
        PreferencesDerive(&p);
        EXPECT_EQ(p.locusSamples, c.locusOut);
        EXPECT_EQ(p.plotSamples, c.plotOut);
        EXPECT_EQ(p.maxSamples, c.maxOut);
    }
}
