// Coordinates and equations measured on a coordinate system: the form chosen from the
// shape, the numbers shown, and when the layout is built again.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/units.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/value_slots.h"

namespace {

class CoordinateMeasurementTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->windowRect = { 0, 0, 200, 200 };  // the origin at (100, 100)
        sketch->settings.distanceUnit = kDistancePixels;
        sketch->settings.angleUnit = kAngleDegrees;
        sketch->settings.precision[1] = 1;
        sketch->settings.precision[2] = 1;
    }
    // Units of 10 pixels; the rectangular form leaves the vertical unit point free.
    SketchObject* System(int32_t form) {
        SketchObject* s = CreateCoordSystem(0, 0, 0, form);
        EXPECT_NE(s, nullptr);
        return s;
    }
    // A point at grid coordinates (x, y) of a system with 10-pixel units.
    SketchObject* GridPoint(double x, double y) { return PointAt(100 + 10 * x, 100 - 10 * y); }
    SketchObject* Measure(int32_t type, SketchObject* measured, SketchObject* system) {
        SketchObject* m = Build(type, { measured, system });
        EXPECT_NE(m, nullptr);
        return m;
    }
    static LayoutNode* Alternatives(SketchObject* m) { return ValueSlotNode(CaptionDataOf(m)->valueSlots, 0); }
    static int32_t ShownForm(SketchObject* m) {
        int32_t index = 0;
        ShownAlternative(Alternatives(m), &index);
        return index;
    }
    // The shown text without the object's name.
    static std::string Text(SketchObject* m) {
        LayoutWriteContext w{ nullptr, nullptr, kWritePlainText | kWriteShownAlternativeOnly, nullptr };
        LayoutNode* root = CaptionDataOf(m)->layout;
        std::string text(size_t(SerializeLayout(root, nullptr, &w)), '\0');
        SerializeLayout(root, text.data(), &w);
        const size_t colon = text.find(": ");
        return colon == std::string::npos ? text : text.substr(colon + 2);
    }
};

TEST_F(CoordinateMeasurementTest, PointsShowTheirCoordinatesAndPolarCoordinates) {
    SketchObject* system = System(kGridSquare);
    SketchObject* p = GridPoint(3, -4);
    SketchObject* xy = Measure(53, p, system);
    SketchObject* polar = Measure(78, p, system);
    EXPECT_EQ(Text(xy), "(3.0, -4.0)");
    EXPECT_EQ(Text(polar).substr(0, 11), "(5.0, -53.1");
    SketchObject* origin = Measure(78, GridPoint(0, 0), system);
    EXPECT_EQ(Text(origin).substr(0, 9), "(0.0, 0.0");
}

TEST_F(CoordinateMeasurementTest, StraightObjectsShowTheFormOfTheirDirection) {
    SketchObject* system = System(kGridSquare);
    SketchObject* a = GridPoint(0, 1);
    SketchObject* b = GridPoint(2, 5);
    SketchObject* line = Build(kTypeLine, { a, b });
    SketchObject* m = Measure(54, line, system);
    EXPECT_EQ(ShownForm(m), 1);
    EXPECT_EQ(Text(m), "y = 2.0x+1.0");
    LayoutNode* group = Alternatives(m);
    struct Case { double bx, by; int32_t alternative; const char* text; };
    const Case cases[] = {
        { 0, 5, 2, "x = 0.0" },    // vertical
        { 2, 1, 3, "y = 1.0" },    // horizontal
        { 2, -3, 1, "y = -2.0x+1.0" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetPointPosition(b, 100 + 10 * c.bx, 100 - 10 * c.by, 1, nullptr, true);
        RecomputeSketch(false);
        EXPECT_EQ(ShownForm(m), c.alternative);
        EXPECT_EQ(Text(m), c.text);
        EXPECT_EQ(Alternatives(m), group);  // the same group: only another alternative
    }
}

TEST_F(CoordinateMeasurementTest, CirclesChooseTheFormFromTheirCentreAndTheUnits) {
    SketchObject* system = System(kGridRectangular);
    SketchObject* centre = GridPoint(0, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, GridPoint(2, 0) });
    SketchObject* m = Measure(55, circle, system);
    EXPECT_EQ(ShownForm(m), 4);  // centred on the origin
    EXPECT_EQ(Text(m), "(x^2)+(y^2) = (2.0^2)");
    struct Case { double cx, cy; int32_t alternative; };
    const Case cases[] = { { 1, 1, 1 }, { 0, -1, 2 }, { 3, 0, 3 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alternative);
        SetPointPosition(centre, 100 + 10 * c.cx, 100 - 10 * c.cy, 1, nullptr, true);
        RecomputeSketch(false);
        EXPECT_EQ(ShownForm(m), c.alternative);
    }
    // The vertical unit alone rescaled: the circle is an ellipse in coordinates.
    SketchObject* axisY = Parents(system)[1];
    SketchObject* unitY = Parents(axisY)[1];
    ASSERT_EQ(unitY->constructionType, 59);
    SetPointPosition(unitY, 100, 80, 1, nullptr, true);
    RecomputeSketch(false);
    EXPECT_EQ(ShownForm(m), 5);
}

TEST_F(CoordinateMeasurementTest, ANewAngleUnitRebuildsPolarCoordinatesOnly) {
    SketchObject* system = System(kGridSquare);
    SketchObject* p = GridPoint(0, 2);
    SketchObject* xy = Measure(53, p, system);
    SketchObject* polar = Measure(78, p, system);
    LayoutNode* plainLayout = Alternatives(xy);
    LayoutNode* polarLayout = Alternatives(polar);
    RecomputeSketch(false);
    EXPECT_EQ(Alternatives(polar), polarLayout);
    sketch->settings.angleUnit = kAngleRadians;
    RecomputeSketch(false);
    EXPECT_EQ(Alternatives(xy), plainLayout);
    EXPECT_NE(Alternatives(polar), polarLayout);
    EXPECT_EQ(Text(polar).substr(0, 9), "(2.0, 0.5");  // half of pi
}

// Building an equation's layout names the axes, the horizontal one after the slope's
// slot; that new name renames the system (named after its axes), whose measurements are
// then shown again. None may be built again inside the build in progress: the outer
// build would fill its slope into a freed or cleared slot.
TEST_F(CoordinateMeasurementTest, ALabelMadeWhileBuildingWaitsForTheBuildToEnd) {
    SketchObject* system = System(kGridSquare);
    SketchObject* axisX = Parents(system)[0];
    SketchObject* point = Measure(53, GridPoint(1, 1), system);
    SketchObject* line = Build(kTypeLine, { GridPoint(0, 1), GridPoint(2, 5) });
    SketchObject* m = Measure(54, line, system);
    // As a document opens: the axis numbered only, the system named after its parents.
    StoreLabelText(axisX, "#1", false);
    axisX->label.level = kLabelNumbered;
    system->label.level = kLabelDerived;
    for (SketchObject* e : { point, m }) ClearValueSlots(e);
    RecomputeAndRedrawObject(m);
    EXPECT_EQ(Text(m), "y = 2.0x+1.0");
    RecomputeSketch(false);
    EXPECT_EQ(Text(point), "(1.0, 1.0)");
    EXPECT_EQ(Text(m), "y = 2.0x+1.0");
}

}  // namespace
