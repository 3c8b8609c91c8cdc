// Coordinate systems: the tick ladder, the grid hit test, snapping, the update from the
// axes and the scaled drawing for print.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/core/marks.h"
#include "engine/core/object_tables.h"
#include "engine/core/print_state.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch_fixture.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDegree = 3.1415926535898 / 180;

// A coordinate system made in place, without parents: enough for the class routines.
struct SystemBlock {
    alignas(8) unsigned char bytes[sizeof(SketchObject) + sizeof(CoordSystemData)] = {};
    SketchObject* object() { return reinterpret_cast<SketchObject*>(bytes); }
    CoordSystemData* data() { return CoordSystemOf(object()); }
    SystemBlock(int32_t form, double unitX, double unitY, RealPoint origin = { 0, 0 }) {
        object()->objectClass = kClassCoordinateSystem;
        *data() = CoordSystemData{ origin, unitX, unitY, 0, 0, form, 0, 1 };
        ComputeTickSpacing(object());
    }
};

TEST(CoordSystemTicks, SquareAndRectangularAxesClimbTheLadderIntoTheBand) {
    struct Case { double unit; double tick; };
    const Case cases[] = {
        { 1, 50 }, { 7, 35 }, { 30, 60 }, { 1000, 50 }, { 35, 35 }, { 87.5, 87.5 }, { 88, 44 },
        { 0.001, 50 }, { 1e6, 50 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        SystemBlock square(kGridSquare, c.unit, c.unit);
        EXPECT_NEAR(square.data()->tickX, c.tick, 1e-9 * c.tick);
        EXPECT_NEAR(square.data()->tickY, c.tick, 1e-9 * c.tick);
        SystemBlock rect(kGridRectangular, c.unit, 30);  // each axis on its own
        EXPECT_NEAR(rect.data()->tickX, c.tick, 1e-9 * c.tick);
        EXPECT_DOUBLE_EQ(rect.data()->tickY, 60);
    }
}

TEST(CoordSystemTicks, PolarGridsScaleBothSpacingsTogether) {
    // A walk up after a walk down goes on from the rung the walk down reached, so the
    // spacings stay 1, 2 or 5 times a power of ten of the units.
    struct Case { double ux, uy, tx, ty; };
    const Case cases[] = {
        { 10, 20, 20, 40 },     // a cell of 200 is too small: one step up
        { 30, 30, 30, 30 },     // 900: kept
        { 100, 100, 50, 50 },   // down to 20 x 20 (400), then up from there to 50 x 50
        { 1, 100, 20, 2000 },   // up until the smaller one reaches 15
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ux);
        SystemBlock polar(kGridPolar, c.ux, c.uy);
        EXPECT_DOUBLE_EQ(polar.data()->tickX, c.tx);
        EXPECT_DOUBLE_EQ(polar.data()->tickY, c.ty);
    }
    SystemBlock polar(kGridPolar, 10, 20);
    EXPECT_DOUBLE_EQ(polar.data()->tickX, 20);
    EXPECT_DOUBLE_EQ(polar.data()->tickY, 40);
    EXPECT_EQ(polar.object()->bounds.left, -20000);
    EXPECT_EQ(polar.object()->bounds.bottom, 20000);
}

// A unit a document can give through its unit points must not hang the ladder.
TEST(CoordSystemTicks, TheLadderEndsForUnitsThatAreNoPositiveNumber) {
    const double units[] = { kInf, kNaN, 0, -40, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min() };
    for (int32_t form : { kGridPolar, kGridSquare, kGridRectangular }) {
        for (double u : units) {
            SCOPED_TRACE(u);
            SystemBlock s(form, u, 20);
            const double x = s.data()->tickX;
            if (!(u > 0) || !std::isfinite(u)) {
                EXPECT_TRUE(x == u || (std::isnan(x) && std::isnan(u)));  // left as it is
            }
        }
    }
    double spacing = 10;
    ScaleTickIntoRange(&spacing, -5, 10);  // a band below zero would halve forever
    EXPECT_EQ(spacing, 10);
}

TEST(CoordSystemHit, SquareGridsHitNearGridPointsOnly) {
    SystemBlock s(kGridSquare, 50, 50, { 100, 100 });
    struct Case { int16_t x, y; bool hit; };
    const Case cases[] = {
        { 100, 100, true }, { 150, 100, true }, { 152, 48, true }, { 50, 153, false },
        { 125, 100, false }, { 149, 151, true }, { 146, 150, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(CoordSystemHitTest({ c.x, c.y }, s.object()), c.hit);
    }
}

TEST(CoordSystemHit, PolarGridsHitOnCirclesAtFifteenDegreeSteps) {
    SystemBlock s(kGridPolar, 40, 40, { 0, 0 });
    ASSERT_DOUBLE_EQ(s.data()->tickY, 40);
    const auto at = [](double r, double degrees) {
        return ScreenPoint{ int16_t(std::lround(r * std::cos(degrees * kDegree))),
                            int16_t(std::lround(-r * std::sin(degrees * kDegree))) };
    };
    EXPECT_TRUE(CoordSystemHitTest({ 0, 0 }, s.object()));
    EXPECT_TRUE(CoordSystemHitTest(at(80, 15), s.object()));
    EXPECT_TRUE(CoordSystemHitTest(at(80, 105), s.object()));
    EXPECT_TRUE(CoordSystemHitTest(at(120, 225), s.object()));
    EXPECT_FALSE(CoordSystemHitTest(at(80, 7.5), s.object()));  // between spokes
    EXPECT_FALSE(CoordSystemHitTest(at(60, 0), s.object()));    // between circles
    // Unequal units: the circles are ellipses in pixels, and the tolerance grows with them.
    SystemBlock e(kGridPolar, 20, 40, { 0, 0 });
    ASSERT_DOUBLE_EQ(e.data()->tickX, 20);
    EXPECT_TRUE(CoordSystemHitTest({ 20, 0 }, e.object()));
    EXPECT_TRUE(CoordSystemHitTest({ 0, 40 }, e.object()));
    EXPECT_FALSE(CoordSystemHitTest({ 30, 0 }, e.object()));  // 60 in the scaled distance
}

TEST(CoordSystemSnap, PointsGoToWholeUnitsOrPolarGridPoints) {
    SystemBlock polar(kGridPolar, 10, 10, { 100, 100 });
    RealPoint p = { 100 + 24 * std::cos(8 * kDegree), 100 - 24 * std::sin(8 * kDegree) };
    SnapToGrid(&p, polar.object());
    EXPECT_NEAR(p.x, 100 + 20 * std::cos(15 * kDegree), 1e-9);
    EXPECT_NEAR(p.y, 100 - 20 * std::sin(15 * kDegree), 1e-9);
    p = { 103, 97.5 };  // 0.4 units: the origin
    SnapToGrid(&p, polar.object());
    EXPECT_DOUBLE_EQ(p.x, 100);
    EXPECT_DOUBLE_EQ(p.y, 100);

    SystemBlock rect(kGridRectangular, 10, 40, { 100, 100 });
    p = { 114.9, 59 };
    SnapToGrid(&p, rect.object());
    EXPECT_DOUBLE_EQ(p.x, 110);
    EXPECT_DOUBLE_EQ(p.y, 60);
    p = { 100, 100 };
    SnapToGrid(&p, rect.object());
    EXPECT_DOUBLE_EQ(p.x, 100);

    SystemBlock broken(kGridSquare, 0, 10);
    p = { 3, 4 };
    SnapToGrid(&p, broken.object());  // no grid to snap to
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 4);
}

class CoordSystemUpdateTest : public SketchTest {
protected:
    SketchObject* Axis(int32_t type, SketchObject* a, SketchObject* b, bool horizontal) {
        const uint8_t flag[2] = { uint8_t(horizontal), 0 };
        SketchObject* axis = ConstructObject(type, const_cast<uint8_t*>(flag), List({ a, b }), 0, true, false, nullptr);
        if (axis) RecomputeObject(axis, nullptr, true);
        return axis;
    }
};

TEST_F(CoordSystemUpdateTest, TheSystemFollowsItsAxesAndTheirExistence) {
    SketchObject* origin = PointAt(100, 200);
    SketchObject* ux = Build(56, { origin }, nullptr, Reals(20, 0));
    SketchObject* uy = Build(59, { ux }, nullptr, Reals(30, 0));
    SketchObject* ax = Axis(62, origin, ux, true);
    SketchObject* ay = Axis(62, origin, uy, false);
    ASSERT_TRUE(ax && ay);
    const uint8_t form[2] = { kGridRectangular, 0 };
    // The vertical axis first: the horizontal flag decides which unit is x.
    SketchObject* system = ConstructObject(65, const_cast<uint8_t*>(form), List({ ay, ax }), 0, true, false, nullptr);
    ASSERT_NE(system, nullptr);
    RecomputeObject(system, nullptr, true);
    const CoordSystemData* d = CoordSystemOf(system);
    EXPECT_EQ(system->exists, 1);
    EXPECT_EQ(d->gridForm, kGridRectangular);
    EXPECT_DOUBLE_EQ(d->origin.x, 100);
    EXPECT_DOUBLE_EQ(d->unitX, 20);
    EXPECT_DOUBLE_EQ(d->unitY, 30);
    EXPECT_DOUBLE_EQ(d->tickX, 40);
    EXPECT_DOUBLE_EQ(d->tickY, 60);
    EXPECT_EQ(d->lastExists, 1);
    ay->exists = 0;
    UpdateCoordSystem(system, reinterpret_cast<SketchObject* const*>(PtrListData(system->parents)));
    EXPECT_EQ(system->exists, 0);
    EXPECT_EQ(d->lastExists, 0);
}

TEST_F(CoordSystemUpdateTest, PrintScalingDrawsScaledAndRestoresEveryField) {
    SystemBlock s(kGridSquare, 10, 10, { 30, 40 });
    SketchObject* o = s.object();
    o->bounds = { 1, 2, 3, 4 };
    const CoordSystemData before = *s.data();
    PrintState().scale = 4;
    PrintState().pageOffsetX = 5;
    PrintState().pageOffsetY = -10;
    DrawCoordSystemForPrint(nullptr, o, nullptr);  // no grid drawing in the tests
    ResetPrintState();
    EXPECT_EQ(std::memcmp(s.data(), &before, sizeof before), 0);
    EXPECT_EQ(o->bounds.left, 1);
    EXPECT_EQ(o->bounds.bottom, 4);
}

}  // namespace
