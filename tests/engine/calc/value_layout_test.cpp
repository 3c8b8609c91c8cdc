// The value display's text: name, " = ", value and units, rebuilt as values and units
// change.
#include <string>

#include "engine/calc/calc_fixture.h"
#include "engine/text/layout.h"
#include "engine/text/value_slots.h"

using namespace calc_test;

namespace {

std::string PlainText(LayoutNode* node) {
    LayoutWriteContext context{};
    context.options = kWritePlainText | kWriteShownAlternativeOnly;
    int32_t n = SerializeLayout(node, nullptr, &context);
    std::string text(size_t(n), '\0');
    SerializeLayout(node, text.data(), &context);
    return text;
}

std::string Shown(SketchObject* m) {
    UpdateMeasurement(m, ParentItemsOf(m));
    return PlainText(ValueDisplayOf(m)->caption.layout);
}

}  // namespace

// A measurement made as the Measure menu makes it: defaults, then a first update.
SketchObject* Made(Construction& k, int32_t type, std::initializer_list<SketchObject*> parents,
                   int32_t precision = 2) {
    SketchObject* m = k.Measurement(type, parents);
    EXPECT_EQ(InitMeasurementData(m, nullptr), 1);
    ValueDisplayOf(m)->precision = precision;
    return m;
}

TEST(ValueLayout, NameValueAndUnits) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(30, 40);
    Construction::SetLabel(a, "A");
    Construction::SetLabel(b, "B");
    SketchObject* m = Made(k, 41, {a, b});
    EXPECT_EQ(Shown(m), "AB = 50.00 pixels");
    // Moving a parent rewrites the value in place.
    ClassData<PointData>(b)->position = {0, 12};
    EXPECT_EQ(Shown(m), "AB = 12.00 pixels");
    // Slopes and ratios have no unit to show.
    SketchObject* s = k.Segment(a, k.Point(10, -20));
    Construction::SetLabel(s, "s");
    EXPECT_EQ(Shown(Made(k, 49, {s})), "Slope s = 2.00");
}

TEST(ValueLayout, UndefinedHidesTheUnits) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(0, 0);
    SketchObject* c = k.Point(10, 0);
    Construction::SetLabel(a, "A");
    Construction::SetLabel(b, "B");
    Construction::SetLabel(c, "C");
    SketchObject* angle = Made(k, 45, {a, b, c}, 0);
    EXPECT_EQ(Shown(angle), "mAngle ABC = undefined");
    ClassData<PointData>(a)->position = {0, -10};
    // The degree sign is the Symbol glyph, written by its name in plain text.
    EXPECT_EQ(Shown(angle), "mAngle ABC = 90deg");
    ClassData<PointData>(a)->position = {0, 0};
    EXPECT_EQ(Shown(angle), "mAngle ABC = undefined");
}

TEST(ValueLayout, DisplayModes) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(3, 4);
    Construction::SetLabel(a, "A");
    Construction::SetLabel(b, "B");
    SketchObject* m = Made(k, 41, {a, b}, 1);
    Construction::SetLabel(m, "d");
    ValueDisplay* d = ValueDisplayOf(m);
    d->displayMode = kDisplayNoName;
    ClearValueSlots(m);
    EXPECT_EQ(Shown(m), "5.0 pixels");
    d->displayMode = kDisplayCurrentLabel;
    ClearValueSlots(m);
    EXPECT_EQ(Shown(m), "d = 5.0 pixels");
    ASSERT_EQ(ParseLayoutString(&d->customLayout, "<T'side'>", nullptr), kLayoutParseOK);
    d->displayMode = kDisplayCustomName;
    ClearValueSlots(m);
    EXPECT_EQ(Shown(m), "side = 5.0 pixels");
    // A given of a custom tool always shows its label.
    m->givenIndex = 0;
    ClearValueSlots(m);
    EXPECT_EQ(Shown(m), "d = 5.0 pixels");
    m->givenIndex = -1;

    // A mode out of range is a layout error: the old text stays as it was.
    LayoutNode* before = d->caption.layout;
    d->displayMode = 7;
    EXPECT_EQ(BuildValueLayout(m), kLayoutParseSyntax);
    EXPECT_EQ(d->caption.layout, before);
    EXPECT_EQ(d->busy, 0);
    EXPECT_EQ(ValueSlotNode(d->caption.valueSlots, kSlotName), nullptr);
}

TEST(ValueLayout, RadiansAsMultiplesOfPi) {
    Construction k;
    SketchUnits radians(0, 0);
    SketchObject* v = k.Point(0, 0);
    Construction::SetLabel(v, "V");
    SketchObject* right = Made(k, 45, {k.Point(10, 0), v, k.Point(0, -10)}, 1);
    // The unlabelled points take the first point letters.
    EXPECT_EQ(Shown(right), "mAngle AVB = 0.5pi radians");
    EXPECT_EQ(ValueDisplayOf(right)->piForm, 1);
    // Inside captions and tables the same value is a plain number of radians.
    ValueDisplayOf(right)->precision = 2;
    LayoutNode* part = BuildMeasurementValuePart(right);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(PlainText(part), "1.57 radians");
    FreeLayoutNode(part);
}

TEST(ValueLayout, UnitChangeRebuildsOnTheNextUpdate) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    double oneCm = 1;
    FromDistanceUnits(&oneCm, 1);
    SketchObject* b = k.Point(2 * oneCm, 0);
    Construction::SetLabel(a, "A");
    Construction::SetLabel(b, "B");
    SketchObject* m = Made(k, 41, {a, b});
    Shown(m);
    SketchUnits cm(1, 1);
    EXPECT_EQ(Shown(m), "AB = 2.00 cm");
    EXPECT_EQ(ValueDisplayOf(m)->cachedDistanceUnit, 1);
}

TEST(ValueLayout, CalculationsShowTheirExpressionAndUnits) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(30, 40);
    SketchObject* length = Made(k, 41, {a, b});
    Construction::SetLabel(length, "AB");
    Shown(length);
    SketchObject* twice = k.Calc({Value(0), kTimes, 2}, {length});
    ASSERT_EQ(InitMeasurementData(twice, nullptr), 1);
    ValueDisplayOf(twice)->precision = 1;
    EXPECT_EQ(Shown(twice), "AB*2 = 100.0 pixels");
    // A units mismatch shows the number alone.
    SketchObject* mixed = k.Calc({Value(0), kPlus, 9, 0, kDegrees}, {length});
    ASSERT_EQ(InitMeasurementData(mixed, nullptr), 1);
    ValueDisplayOf(mixed)->precision = 0;
    // The name is the expression laid out, its degree sign the Symbol glyph.
    EXPECT_EQ(Shown(mixed), "AB+90deg = 140");
}

TEST(ValueLayout, DisplayPartsAndModeChanges) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(3, 4);
    Construction::SetLabel(a, "A");
    Construction::SetLabel(b, "B");
    SketchObject* m = Made(k, 41, {a, b}, 1);
    Construction::SetLabel(m, "d");
    EXPECT_EQ(Shown(m), "AB = 5.0 pixels");

    int32_t flatten, join, wrap, owned;
    TextStyle style;
    struct Case {
        int32_t part;
        const char* text;
        int32_t owned;
    };
    for (const Case& c : {Case{0, "5.0 pixels", 1}, Case{1, "AB = 5.0 pixels", 0}, Case{2, "AB", 1}, Case{3, "d", 1}}) {
        SCOPED_TRACE(c.part);
        LayoutNode* part = BuildMeasurementPart(m, c.part, &flatten, &join, &wrap, &style, &owned);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(PlainText(part), c.text);
        EXPECT_EQ(owned, c.owned);
        if (owned) FreeLayoutNode(part);
    }

    // The name for captions leaves the display's own name slot alone.
    LayoutNode* own = ValueSlotNode(ValueDisplayOf(m)->caption.valueSlots, kSlotName);
    LayoutNode* name = MeasurementNameLayout(m, nullptr);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(PlainText(name), "AB");
    EXPECT_EQ(ValueSlotNode(ValueDisplayOf(m)->caption.valueSlots, kSlotName), own);
    FreeLayoutNode(name);

    DisplayWithNoName(m);
    EXPECT_EQ(PlainText(ValueDisplayOf(m)->caption.layout), "5.0 pixels");
    name = MeasurementNameLayout(m, nullptr);
    EXPECT_EQ(PlainText(name), "d");
    FreeLayoutNode(name);
    DisplayWithCurrentLabel(m);
    EXPECT_EQ(PlainText(ValueDisplayOf(m)->caption.layout), "d = 5.0 pixels");
    LayoutNode* custom = nullptr;
    ASSERT_EQ(ParseLayoutString(&custom, "<T'side'>", nullptr), kLayoutParseOK);
    SetValueDisplayMode(m, kDisplayCustomName, custom);
    EXPECT_EQ(PlainText(ValueDisplayOf(m)->caption.layout), "side = 5.0 pixels");
    DisplayWithOriginalName(m);  // the custom name is released
    EXPECT_EQ(ValueDisplayOf(m)->customLayout, nullptr);
    EXPECT_EQ(PlainText(ValueDisplayOf(m)->caption.layout), "AB = 5.0 pixels");
}
