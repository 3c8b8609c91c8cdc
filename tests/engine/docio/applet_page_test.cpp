#include "engine/docio/applet_page.h"

#include <gtest/gtest.h>

#include "engine/core/services/motions.h"
#include "engine/docio/packed_values.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "document_fixture.h"
#include "engine/calc/calculation_objects.h"
#include "engine/calc/value_objects.h"
#include "engine/core/action_button_data.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "tests/support/number_locale_double.h"

namespace {

// The fixed parts of every page, around its construction lines.
std::string Head(const std::string& title, int width = 400, int height = 300, const std::string& units = "") {
    return "<!-- This page was made with Velmora. -->\r\n"
           "<HTML>\r\n<TITLE>" + title + "</TITLE></HEAD><BODY>\r\n"
           "<P ALIGN=CENTER><HR SIZE=\"4\">This construction is shown by the <A HREF=\"zvt/\">Vantrope</A> applet "
           "from a sketch drawn in Velmora.\r\n<HR SIZE=\"4\"></P>\r\n"
           "<H4 ALIGN=CENTER><APPLET CODE=\"YRN.class\"  ARCHIVE=\"zvt4.jar\" CODEBASE=\"zvt\" WIDTH=" +
           std::to_string(width) + " HEIGHT=" + std::to_string(height) + " ALIGN=CENTER>" + units +
           "<PARAM NAME=BackRed VALUE=255>\r\n<PARAM NAME=BackGreen VALUE=255>\r\n<PARAM NAME=BackBlue VALUE=255>\r\n"
           "<PARAM NAME=Construction VALUE=\"\r\n";
}
std::string Tail(const std::string& title) {
    return "\">\r\nSorry, this page requires a Java-compatible web browser.</APPLET>\r\n<P ALIGN=CENTER>" + title +
           "</P></H4>\r\n</BODY>\r\n</HTML>\r\n";
}
const char* const kDegrees = "<PARAM NAME=MeasureInDegrees VALUE=1><PARAM NAME=DirectedAngles VALUE=0>\r\n";

class AppletPage : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        document = NewDocument();
        page = AddPage(document);
        page->windowRect = { 10, 20, 410, 320 };
        page->settings.palette[kColorSlotBackground] = 0xffffff;
        page->settings.angleUnit = 0;
        SetCurrentSketch(page, &previous);
    }
    void TearDown() override {
        SetCurrentSketch(previous, nullptr);
        DocumentTest::TearDown();
    }

    SketchObject* Point(double x, double y) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(p, nullptr);
        SetPointPosition(p, x, y, 1, nullptr, false);
        return p;
    }
    SketchObject* Build(int32_t type, std::initializer_list<SketchObject*> parents, void* extra = nullptr) {
        PtrList list = 0;
        for (SketchObject* o : parents) EXPECT_TRUE(PtrListAppend(&list, o));
        SketchObject* o = ConstructObject(type, extra, list, 0, true, false, nullptr);
        EXPECT_NE(o, nullptr);
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    }
    SketchObject* Caption(const std::string& text, int16_t x, int16_t y, bool rows = false) {
        CaptionInit init{};
        EXPECT_TRUE(InitCaptionData(&init, nullptr, x, y));
        SetObjectTextLayout(nullptr, &init);
        init.layout = LayoutFromPlainText(text.c_str(), int32_t(text.size()), rows ? 1 : 0);
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, &init, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(c, nullptr);
        c->bounds = { x, y, x, y };
        RelayoutObjectText(c, false);
        return c;
    }

    // Writes the page into memory; the text and the code.
    std::string Export(const char* fileName, ResultCode expected) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        // The document's front page is written whatever sketch is current, and the
        // caller's current sketch is back afterwards.
        SetCurrentSketch(nullptr, nullptr);
        EXPECT_EQ(WriteAppletPage(h, document, fileName), expected);
        EXPECT_EQ(CurrentSketch(), nullptr);
        SetCurrentSketch(page, nullptr);
        EXPECT_EQ(CloseStream(h), kResultOK);
        const std::vector<uint8_t> bytes = TakeStreamVector(h);
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<SketchObject*> Selection() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = page->selectionHead; o; o = o->nextSelected) out.push_back(o);
        return out;
    }

    EngineDocument* document = nullptr;
    Sketch* page = nullptr;
    Sketch* previous = nullptr;
};

TEST_F(AppletPage, FreePointsAreWrittenAtTheirWindowPositions) {
    Point(50, 60);
    SketchObject* fixed = Point(110.5, 21);
    fixed->selectable = 0;
    fixed->traced = 1;
    page->settings.angleUnit = 1;
    EXPECT_EQ(Export("points.htm", kResultAppletWritten),
              Head("points", 400, 300, kDegrees) +
              "{1} Point(40,40);\r\n"
              "{2} FixedPoint(100.5,1)[traced];\r\n" +
              Tail("points"));
}

TEST_F(AppletPage, ABlueSegmentIsWrittenWithItsPointsReversed) {
    SketchObject* a = Point(10, 20);
    SketchObject* b = Point(110, 20);
    SetObjectLabel(a, "A", false);
    a->label.shown = 1;
    SketchObject* s = Build(kTypeSegment, { a, b });
    s->color = 0xff0000;  // blue, red in the low byte
    s->lineStyle = 2;
    page->settings.angleUnit = 2;
    ASSERT_EQ(SetSketchTitle(page, "Seg & <ment>"), kResultOK);
    EXPECT_EQ(Export("ignored.htm", kResultAppletWritten),
              Head("Seg  ment", 400, 300, "<PARAM NAME=MeasureInDegrees VALUE=1>\r\n") +
              "{1} Point(0,0)[label('A')];\r\n"
              "{2} Point(100,0);\r\n"
              "{3} Segment(2,1)[color(0,0,255),thick];\r\n" +
              Tail("Seg  ment"));
}

TEST_F(AppletPage, ACalculationOfTwoParentsWritesItsPostfixExpression) {
    SketchObject* a = Point(10, 20);
    SketchObject* b = Point(40, 60);
    SketchObject* c = Point(70, 20);
    SketchObject* ab = Build(41, { a, b });
    SketchObject* bc = Build(41, { b, c });
    CalculationEditRecord record{};
    ASSERT_TRUE(InitFunctionEditRecord(&record, kFormCalculation));
    FreeMemory(record.tokens);
    record.tokens = static_cast<ExpressionToken*>(AllocMemory(3 * sizeof(ExpressionToken), 0));
    record.tokens[0] = 0x6000;
    record.tokens[1] = 0x1000;
    record.tokens[2] = 0x6001;
    record.count = 3;
    SketchObject* sum = Build(kTypeCalculation, { ab, bc }, &record);
    ASSERT_NE(sum, nullptr);
    ASSERT_TRUE(ValueDisplayOf(sum)->defined);
    // Values stand where new ones go, measured in the platform's fonts: their position is
    // the left edge and the baseline of the first line, inside the value margins.
    auto at = [](SketchObject* o) {
        const int32_t x = o->bounds.left + DrawingMetrics.intMetricsB[kMetricValueMarginX] - 10;
        const int32_t y = o->bounds.top + CaptionDataOf(o)->layout->ascent +
                          DrawingMetrics.intMetricsB[kMetricValueMarginY] - 20;
        return std::to_string(x) + "," + std::to_string(y);
    };
    // Their text is cut after its "="; the expression is postfix: the two parents, then
    // the sum.
    EXPECT_EQ(Export("calc.htm", kResultAppletWritten),
              Head("calc") +
              "{1} Point(0,0);\r\n"
              "{2} Point(30,40);\r\n"
              "{3} Point(60,0);\r\n"
              "{4} Distance(2,1," + at(ab) + ",'AB = ')[color(0,0,0)];\r\n"
              "{5} Distance(3,2," + at(bc) + ",'BC = ')[color(0,0,0)];\r\n"
              "{6} Calculate(" + at(sum) + ",'m[1] = ','AB+')(4,5)[color(0,0,0)];\r\n" +
              Tail("calc"));
}

TEST_F(AppletPage, UnsupportedObjectsAndWhatIsBuiltOnThemAreLeftOutAndSelected) {
    SketchObject* a = Point(10, 20);
    SketchObject* b = Point(30, 20);
    // An animate button whose target is a free point, not a point on an object.
    const ObjectTemplate t = { kTypeActionButton, 0, 0, kClassActionButton, 1, kKindActionButton, 0 };
    PtrList targets = 0;
    ASSERT_TRUE(PtrListAppend(&targets, a));
    SketchObject* animate = ConstructObjectEx(&t, nullptr, targets, 0, nullptr, nullptr, false);
    ASSERT_NE(animate, nullptr);
    const int32_t animateType = 2;
    std::memcpy(ClassData<char>(animate), &animateType, sizeof animateType);
    // An undefined free value and a calculation on it.
    const ObjectTemplate v = { kTypeFree, 0, 0, kClassMeasurement, 0, 46, 0 };
    SketchObject* value = ConstructObjectEx(&v, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(value, nullptr);
    ValueDisplayOf(value)->defined = 0;
    CalculationEditRecord record{};
    ASSERT_TRUE(InitFunctionEditRecord(&record, kFormCalculation));
    record.tokens[0] = 0x6000;
    SketchObject* onValue = Build(kTypeCalculation, { value }, &record);
    ASSERT_NE(onValue, nullptr);
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SelectSketchObject(segment);
    const std::string text = Export("", kResultAppletPartial);
    EXPECT_EQ(text, Head("Java Sketch") +
                    "{1} Point(0,0);\r\n"
                    "{2} Point(20,0);\r\n"
                    "{3} Segment(2,1)[color(0,0,128)];\r\n" +
                    Tail("Java Sketch"));
    std::vector<SketchObject*> selected = Selection();
    std::sort(selected.begin(), selected.end());
    std::vector<SketchObject*> expected = { animate, value, onValue };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(selected, expected);
}

TEST_F(AppletPage, ACoordinateSystemIsWrittenWithItsTwoAxes) {
    ASSERT_NE(CreateCoordSystem(0, 0, 0, kGridSquare), nullptr);
    const std::string text = Export("grid.htm", kResultAppletWritten);
    // Origin, unit point, x axis, tied unit point, y axis, then the system on the axes.
    size_t at = 0;
    for (const char* line : { "{1} Point(", "{2} UnitPoint(1,", "{3} HorizontalAxis(1,2)", "{4} SquareUnitPoint(2)",
                              "{5} VerticalAxis(1,4)", "{6} CoordSysByAxes(3,5)" }) {
        SCOPED_TRACE(line);
        at = text.find(line, at);
        ASSERT_NE(at, std::string::npos) << text;
    }
}

TEST_F(AppletPage, TextsAreQuotedAndCutAfterTheirLastEquals) {
    struct Case { std::string text; bool rows; std::string quoted; };
    const Case cases[] = {
        { "He said \"x\" = it's", false, "'He said ''''x'''' = '" },
        { "a = b = c", false, "'a = b = '" },
        { "it's", false, "'i'" },
        { "'", false, "''''" },
        // Rows are joined by a blank: the line list keeps one line per object.
        { "x = 1\r\ny = 2\r\nz", true, "'x = 1 y = '" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SketchObject* caption = Caption(c.text, 30, 40, c.rows);
        const std::string text = Export("q.htm", kResultAppletWritten);
        const std::string start = "{1} FixedText(";
        const size_t at = text.find(start);
        ASSERT_NE(at, std::string::npos) << text;
        const size_t quote = text.find(",'", at) + 1;
        EXPECT_EQ(text.substr(quote, text.find(")[color", quote) - quote), c.quoted);
        DestroyObject(caption, true, true);
    }
}

TEST_F(AppletPage, NumbersAlwaysUseAPoint) {
    Point(50.25, 60.5);
    ScopedDecimalSeparator comma(',');
    const char* previousLocale = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previousLocale ? previousLocale : "C";
    for (const char* name : { "de_DE.UTF-8", "de_DE", "fr_FR.UTF-8", "German" })
        if (std::setlocale(LC_NUMERIC, name)) break;
    const std::string text = Export("n.htm", kResultAppletWritten);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_NE(text.find("{1} Point(40.25,40.5);\r\n"), std::string::npos) << text;
}

TEST_F(AppletPage, TitleRules) {
    struct Case { const char* title; const char* file; const char* shown; };
    const Case cases[] = {
        { nullptr, "my \"first\" <sketch>.v2.htm", "my first sketch.v2" },
        { nullptr, "noextension", "noextension" },
        { nullptr, "<&>.htm", "Java Sketch" },
        { "Page & one", "file.htm", "Page  one" },
        { nullptr, nullptr, "Java Sketch" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        ASSERT_EQ(SetSketchTitle(page, c.title), kResultOK);
        const std::string text = Export(c.file, kResultAppletWritten);
        EXPECT_EQ(text, Head(c.shown) + Tail(c.shown));
    }
}

TEST_F(AppletPage, AStreamErrorEndsTheExportWithItsCode) {
    Point(1, 2);
    uint8_t block[200];
    StreamHandle h = 0;
    ASSERT_EQ(OpenViewStream(block, sizeof block, &h), kResultOK);
    EXPECT_EQ(WriteAppletPage(h, document, "x.htm"), kResultBlockFull);
    DiscardStream(h);
    EXPECT_EQ(CurrentSketch(), page);
}

}  // namespace

namespace {

// A Move button exports the speed of its preset, not another word of its data.
TEST_F(AppletPage, AMoveButtonExportsItsSpeedPreset) {
    SketchObject* a = Point(10, 20);
    SketchObject* b = Point(30, 20);
    ActionButtonInit init{ kButtonMove, 9, 2, 0, 0, 0, nullptr };
    PtrList targets = 0;
    ASSERT_TRUE(PtrListAppend(&targets, a));
    ASSERT_TRUE(PtrListAppend(&targets, b));
    SketchObject* move = ConstructObject(kTypeActionButton, &init, targets, 0, true, false, nullptr);
    ASSERT_NE(move, nullptr);
    const std::string text = Export("", kResultAppletWritten);
    EXPECT_NE(text.find(",5,'Move Points')(2,1)"), std::string::npos) << text;
}

// An Animate button exports each target's record: its speed (at least 1), the once-only
// bit, and whether its path carries the applet's motion of the record's direction.
TEST_F(AppletPage, AnAnimateButtonExportsItsTargetsRecords) {
    SketchObject* a = Point(10, 20);
    SketchObject* b = Point(90, 20);
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SketchObject* centre = Point(200, 200);
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, Point(240, 200) });
    auto onPath = [&](SketchObject* path) {
        PtrList list = 0;
        EXPECT_TRUE(PtrListAppend(&list, path));
        const double at[2] = { 0.5, 0 };
        PtrList data = 0;
        EXPECT_TRUE(AllocPtrList(int32_t(16 / sizeof(void*)), int32_t(16 / sizeof(void*)), &data));
        std::memcpy(PtrListData(data), at, 16);
        SketchObject* o = ConstructObject(kTypePointOnPath, nullptr, list, data, true, false, nullptr);
        EXPECT_NE(o, nullptr);
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    };
    SketchObject* onSegment = onPath(segment);
    SketchObject* onCircle = onPath(circle);
    MotionParams records[2]{};
    records[0].motionFlags = kMotionFlagOnceOnly | (2u << kMotionDirectionShift);  // both ways
    records[0].speed = PackReal32(5);
    records[1].motionFlags = 0;
    records[1].speed = PackReal32(0.25);
    PtrList data = 0;
    ASSERT_TRUE(AllocPtrList(int32_t(sizeof(records) / (sizeof(void*))), int32_t(sizeof(records) / (sizeof(void*))), &data));
    std::memcpy(PtrListData(data), records, sizeof records);
    ActionButtonInit init{ kButtonAnimate, 0, 0, 0, 0, 0, nullptr };
    PtrList targets = 0;
    ASSERT_TRUE(PtrListAppend(&targets, onSegment));
    ASSERT_TRUE(PtrListAppend(&targets, onCircle));
    ASSERT_NE(ConstructObject(kTypeActionButton, &init, targets, data, true, false, nullptr), nullptr);
    const std::string text = Export("", kResultAppletWritten);
    const size_t at = text.find("AnimateButton(");
    ASSERT_NE(at, std::string::npos) << text;
    const std::string line = text.substr(at, text.find('\n', at) - at);
    EXPECT_NE(line.find(")(5,1)(1,0)(0,1)"), std::string::npos) << line;
}

}  // namespace
