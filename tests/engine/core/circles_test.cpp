#include "engine/core/circles.h"

#include <gtest/gtest.h>

TEST(CircleHitTests, RimBandOfFourPixels) {
    struct Case { int16_t r, dx, dy; bool hit; };
    const Case cases[] = {
        { 20, 16, 0, true },  { 20, 24, 0, true },  { 20, 15, 0, false }, { 20, 25, 0, false },
        { 20, 0, -16, true }, { 20, 14, 14, true }, { 20, 17, 17, false }, { 20, 11, 11, false },
        { 2, 3, 0, true },    { 2, 0, 0, false },   { 2, 1, 0, false },   { 2, 6, 0, true },
        { 2, 7, 0, false },   { 0, 4, 0, true },    { 0, 3, 0, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "r " << c.r << " at " << c.dx << "," << c.dy);
        const ScreenPoint p = { static_cast<int16_t>(100 + c.dx), static_cast<int16_t>(-50 + c.dy) };
        EXPECT_EQ(CircleRimHit(p, 100, -50, c.r), c.hit);
    }
    // 60000 pixels apart: a difference wrapped to 16 bits (5536) would hit.
    EXPECT_FALSE(CircleRimHit({ 30000, 0 }, -30000, 0, 5536));
    EXPECT_TRUE(CircleRimHit({ 0, 0 }, -30000, 0, 30000));
}

TEST(CircleHitTests, DiscIsStrictlyInside) {
    EXPECT_TRUE(DiscHit({ 3, 4 }, 0, 0, 6));
    EXPECT_FALSE(DiscHit({ 3, 4 }, 0, 0, 5));
    EXPECT_TRUE(DiscHit({ 0, 0 }, 0, 0, 1));
    EXPECT_FALSE(DiscHit({ 0, 0 }, 0, 0, 0));
}

TEST(CircleHitTests, MarqueeSelection) {
    struct Case { ScreenRect rect; bool outline, disc; };
    const Case cases[] = {
        { { -10, -10, 10, 10 }, false, true },      // inside the circle: only the interior
        { { 90, -5, 110, 5 }, true, true },         // across the rim
        { { -200, -200, 200, 200 }, true, true },   // around the whole circle
        { { 200, 200, 210, 210 }, false, false },   // far away
        { { 71, 71, 80, 80 }, false, false },       // near corner just outside (71^2 * 2 > 100^2)
        { { 70, 70, 80, 80 }, true, true },         // near corner just inside
        { { -5, 100, 5, 120 }, false, false },      // touches the rim at one point: not closer than r
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top);
        EXPECT_EQ(CircleMeetsRect(c.rect, 100, 0, 0, true), c.outline);
        EXPECT_EQ(CircleMeetsRect(c.rect, 100, 0, 0, false), c.disc);
    }
}

TEST(CircleScreenForm, RoundedValuesAndBounds) {
    CircleData c{ { 10.4, -20.6 }, 5.5, 0, 0, 0 };
    ScreenRect bounds{};
    ComputeCircleScreen(&c, &bounds);
    EXPECT_EQ(c.screenCentreX, 10);
    EXPECT_EQ(c.screenCentreY, -21);
    EXPECT_EQ(c.screenRadius, 6);
    EXPECT_EQ(bounds.left, 4); EXPECT_EQ(bounds.top, -27);
    EXPECT_EQ(bounds.right, 17); EXPECT_EQ(bounds.bottom, -14);
}
