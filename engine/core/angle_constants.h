// The rounded constants the engine computes with. They are deliberately not the
// exact machine values: stored sketches and measured values were produced with
// these, so geometry, measurements and conversions must keep using them.
#pragma once

constexpr double kPi               = 3.1415926535898;
constexpr double kTwoPi            = 6.2831853071796;
constexpr double kHalfPi           = 1.5707963267949;
constexpr double kDegreesPerRadian = 57.295779513082195;
