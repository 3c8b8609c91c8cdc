#include "engine/docio/legacy_document.h"

#include <gtest/gtest.h>

#include "engine/core/action_button_data.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "document_fixture.h"
#include "legacy_writer.h"
#include "seed_files.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/construction_data.h"
#include "engine/core/locus.h"
#include "engine/core/object_creation.h"
#include "engine/core/point_objects.h"
#include "engine/calc/value_objects.h"
#include "engine/core/points.h"
#include "engine/text/captions.h"
#include "engine/text/code_tables.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "tests/support/number_locale_double.h"

namespace {

class LegacyDocument : public DocumentTest {
protected:
    // Reads the bytes as a document; its one page, or null.
    Sketch* Open(const std::vector<uint8_t>& bytes, ResultCode expected) {
        SaveSeed(bytes);
        ReadResult r = Read(bytes);
        EXPECT_EQ(r.code, expected);
        if (!r.document || DocumentPageCount(r.document) == 0) return nullptr;
        EXPECT_TRUE(r.openAsCopy);
        return DocumentPageAt(r.document, 0);
    }
    // Every document of these tests seeds the fuzz target of this reader.
    static void SaveSeed(const std::vector<uint8_t>& bytes) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        static int serial = 0;
        SaveFuzzSeed("legacy_document_fuzz", std::string(test->name()).substr(0, 40) + "_" + std::to_string(++serial), bytes);
    }
    static std::vector<SketchObject*> Objects(const Sketch* s) {
        std::vector<SketchObject*> out;
        for (SketchObject* o = s->firstObject; o; o = o->nextInSketch) out.push_back(o);
        return out;
    }
    // Lists live in the arena of the current sketch.
    static std::vector<SketchObject*> ParentsOf(Sketch* page, const SketchObject* o) {
        Sketch* previous = nullptr;
        SetCurrentSketch(page, &previous);
        int32_t n = 0;
        void** items = PtrListItems(o->parents, &n);
        std::vector<SketchObject*> out;
        for (int32_t i = 0; i < n; ++i) out.push_back(static_cast<SketchObject*>(items[i]));
        SetCurrentSketch(previous, nullptr);
        return out;
    }
    static LegacyObjectSpec Point(const LegacyWriter& w, int32_t x, int32_t y, const std::string& label = "") {
        return LegacyPoint(w, x, y, label);
    }
    // An old straight object of code 2 on two points; `form` 0 line, 1 ray, 2 segment.
    static LegacyObjectSpec Straight(uint16_t a, uint16_t b, uint8_t form, uint8_t color = 0) {
        LegacyObjectSpec o;
        o.oldClass = 2;
        o.kind = 9;
        o.code = 2;
        o.color = color;
        o.data.assign(30, 0);
        o.data[29] = form;
        o.parents = { a, b };
        return o;
    }
    // An old unit point (code 54) on an old origin, 50 pixels along.
    static LegacyObjectSpec UnitPoint(const LegacyWriter& w, uint16_t origin) { return LegacyUnitPoint(w, origin); }
    // An old coordinate system of form 50 (origin and unit point) on its listed objects.
    static LegacyObjectSpec OldSystem(const LegacyWriter& w, const std::vector<uint16_t>& listed) {
        return LegacySystem(w, listed);
    }
    // Free points A and B, the circle about A through B, a point D on it, the segment DB
    // and its midpoint M: old objects 1 to 6, M depending on D through the segment.
    static void AddTracedMidpoint(LegacyWriter& w) {
        for (int32_t x : { 100, 160 }) w.Add(Point(w, x, 100));
        LegacyObjectSpec circle;
        circle.oldClass = 3;
        circle.kind = 24;
        circle.code = 8;
        circle.data.assign(20, 0);
        circle.parents = { 1, 2 };
        w.Add(circle);
        LegacyObjectSpec onCircle;
        onCircle.code = 9;
        onCircle.data.assign(12, 0);
        onCircle.parents = { 3 };
        w.Add(onCircle);
        w.Add(Straight(2, 4, 2));
        LegacyObjectSpec midpoint;
        midpoint.kind = 7;
        midpoint.code = 1;
        midpoint.data.assign(12, 0);
        midpoint.parents = { 5 };
        w.Add(midpoint);
    }
    // An old locus (old class 14) on its old list {path, driver, ..., traced}.
    static LegacyObjectSpec OldLocus(const LegacyWriter& w, std::vector<uint16_t> parents, uint16_t samples,
                                     uint8_t connected) {
        LegacyObjectSpec o;
        o.oldClass = 14;
        o.kind = 39;
        o.code = 63;
        w.U16(o.data, 0);
        w.U16(o.data, samples);
        o.data.push_back(0);
        o.data.push_back(connected);
        o.parents = std::move(parents);
        return o;
    }
    // An old animate button (old class 7, button type 3) moving one old object.
    static LegacyObjectSpec AnimateButton(const LegacyWriter& w, uint32_t target) {
        LegacyObjectSpec o;
        o.oldClass = 7;
        o.kind = 18;
        o.code = 28;
        w.U32(o.data, 10 + 16);
        o.data.push_back(3);
        o.data.resize(o.data.size() + 9, 0);
        w.U32(o.data, target);
        o.data.resize(o.data.size() + 12, 0);
        return o;
    }
    // An old measurement (old class 6) of code `measure`.
    static LegacyObjectSpec Measurement(const LegacyWriter& w, uint8_t measure, std::vector<uint16_t> parents,
                                        const std::string& shown = "") {
        return LegacyMeasurement(w, measure, std::move(parents), shown);
    }
    static LegacyObjectSpec OldCalculation(const LegacyWriter& w, std::vector<uint16_t> parents,
                                           const std::vector<uint16_t>& words) {
        return LegacyCalculation(w, std::move(parents), words);
    }
};

TEST_F(LegacyDocument, BothVariantsAreRecognisedAndRefusedByTheirHeaders) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode code;
    };
    LegacyWriter pc(false), mac(true);
    LegacyWriter pcSize(false);
    pcSize.headerSize = 325;
    LegacyWriter pcVersion(false, 13), macCount(true);
    macCount.countOverride = 0x4000;
    const std::vector<uint8_t> pcBytes = pc.Bytes();
    const Case cases[] = {
        { "pc", pc.Bytes(), kResultOlderFormat },
        { "mac", mac.Bytes(), kResultOlderFormat },
        { "not a document", { 1, 2, 3, 4, 5, 6 }, kResultNotADocument },
        { "top bits of byte 2", { 0, 0, 0x40, 0, 0, 11 }, kResultNotADocument },
        { "mac version 9", { 0, 0, 0, 0, 0, 9 }, kResultVersionTooOld },
        { "mac version 13", { 0, 0, 0, 0, 0, 13 }, kResultOtherVersion },
        { "older tool document", { 'Y', 'R', 'N', 'c', 0, 0 }, kResultOtherVersion },
        { "pc header size not 326", pcSize.Bytes(), kResultOtherVersion },
        { "pc version 13", pcVersion.Bytes(), kResultOtherVersion },
        // Recognition already refuses it: the count's top bits are the ones it looks at.
        { "mac count 0x4000", macCount.Bytes(), kResultNotADocument },
        { "pc cut in its header", std::vector<uint8_t>(pcBytes.begin(), pcBytes.begin() + 100), kResultDamaged },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadResult r = Read(c.bytes);
        EXPECT_EQ(r.code, c.code);
        if (c.code == kResultOlderFormat) {
            ASSERT_NE(r.document, nullptr);
            EXPECT_EQ(DocumentPageCount(r.document), 1);
            EXPECT_TRUE(r.openAsCopy);
        }
    }
    // The reader refuses such a count itself, for a file that reaches it directly.
    const std::vector<uint8_t> bytes = macCount.Bytes();
    StreamHandle h = 0;
    ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    LegacyHeader header;
    EXPECT_EQ(ReadLegacyHeader(h, &header), kResultOtherVersion);
    DiscardStream(h);
}

TEST_F(LegacyDocument, HeaderGivesWindowUnitsPrecisionsAndAWhiteBackground) {
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        w.angleUnit = 2;     // radians
        w.distanceUnit = 1;  // cm
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->windowRect.left, 10);
        EXPECT_EQ(page->windowRect.top, 20);
        EXPECT_EQ(page->windowRect.right, 410);
        EXPECT_EQ(page->windowRect.bottom, 320);
        EXPECT_EQ(page->settings.angleUnit, 0);
        EXPECT_EQ(page->settings.distanceUnit, 1);
        // The file's order is angle, distance, number; the sketch's distance, angle, number.
        EXPECT_EQ(page->settings.precision[0], 2);
        EXPECT_EQ(page->settings.precision[1], 1);
        EXPECT_EQ(page->settings.precision[2], 3);
        EXPECT_EQ(page->settings.palette[kColorSlotBackground], 0xffffffu);
    }
    struct Units { uint8_t angle, distance; int32_t sketchAngle, sketchDistance; };
    for (const Units u : { Units{ 0, 0, 1, 2 }, Units{ 1, 2, 2, 0 }, Units{ 7, 9, 1, 2 } }) {
        LegacyWriter w(false);
        w.angleUnit = u.angle;
        w.distanceUnit = u.distance;
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->settings.angleUnit, u.sketchAngle);
        EXPECT_EQ(page->settings.distanceUnit, u.sketchDistance);
    }
}

TEST_F(LegacyDocument, PointsStraightsAndLabelsOfBothVariants) {
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        w.Add(Point(w, 30, 40, "A"));
        w.Add(Point(w, 130, 90, "B"));
        w.Add(Straight(1, 2, 0));
        w.Add(Straight(1, 2, 1));
        w.Add(Straight(1, 2, 2, 5));
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> objects = Objects(page);
        ASSERT_EQ(objects.size(), 5u);
        EXPECT_EQ(PointPosition(objects[0]).x, 30);
        EXPECT_EQ(PointPosition(objects[1]).y, 90);
        char label[kLabelBufferSize];
        EXPECT_STREQ(GetObjectLabel(objects[1], 0, label, nullptr), "B");
        EXPECT_EQ(objects[1]->label.level, kLabelGiven);
        EXPECT_EQ(objects[2]->constructionType, kTypeLine);
        EXPECT_EQ(objects[3]->constructionType, kTypeRay);
        EXPECT_EQ(objects[4]->constructionType, kTypeSegment);
        // Old code 2 has its parents reversed.
        EXPECT_EQ(ParentsOf(page, objects[4]), (std::vector<SketchObject*>{ objects[1], objects[0] }));
        EXPECT_EQ(objects[4]->color, 0xc00000u);  // index 5 is kept as its hue's first shade
    }
}

// A free object keeps the kind its old record gives when that kind fits its class:
// an old free origin point stays an origin point.
TEST_F(LegacyDocument, FreeObjectsKeepAConvertedKindOfTheirClass) {
    LegacyWriter w(false);
    LegacyObjectSpec origin = Point(w, 30, 40);
    origin.kind = 37;  // origin point
    w.Add(origin);
    w.Add(Point(w, 130, 90));  // old kind 3: a plain point
    LegacyObjectSpec odd = Point(w, 60, 60);
    odd.kind = 9;  // a straight object's kind on a point: not a point kind
    w.Add(odd);
    Sketch* page = Open(w.Bytes(), kResultOlderFormat);
    ASSERT_NE(page, nullptr);
    const std::vector<SketchObject*> objects = Objects(page);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]->objectKind, 36);
    EXPECT_EQ(objects[1]->objectKind, kKindPoint);
    EXPECT_EQ(objects[2]->objectKind, kKindPoint);
}

TEST_F(LegacyDocument, ColoursFollowTheRulesOfEachClass) {
    struct Case { const char* name; uint8_t oldClass; uint8_t index; uint8_t trace; uint32_t color; };
    const Case cases[] = {
        { "point, black, untraced: white", 1, 0, 0, 0xffffff },
        { "point, black, traced", 1, 0, 1, 0x000000 },
        { "point, light red: first shade", 1, 14, 0, 0x0000c0 },
        { "point, grey 3 to 0x1c mask: black... then white", 1, 3, 0, 0xffffff },
        { "caption: black", 0, 21, 0, 0x000000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LegacyWriter w(false);
        LegacyObjectSpec o = c.oldClass == 1 ? Point(w, 1, 1) : LegacyObjectSpec{};
        o.oldClass = c.oldClass;
        o.color = c.index;
        o.trace = c.trace;
        if (c.oldClass == 0) {
            o.kind = 15;
            o.data.clear();
            w.U16(o.data, 0);
            w.U16(o.data, 0);
            w.U16(o.data, 2);
            o.data.push_back('h');
            o.data.push_back('i');
        }
        w.Add(o);
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(Objects(page).size(), 1u);
        EXPECT_EQ(Objects(page)[0]->color, c.color);
    }
    // A polygon interior keeps its own index.
    LegacyWriter w(false, 10);
    for (int i = 0; i < 3; ++i) w.Add(Point(w, 10 * i, 5 * i * i));
    LegacyObjectSpec polygon;
    polygon.oldClass = 5;
    polygon.kind = 11;
    polygon.code = 18;
    polygon.color = 14;
    w.U16(polygon.data, 3);
    polygon.data.resize(polygon.data.size() + 24, 0);
    polygon.parents = { 1, 2, 3 };
    w.Add(polygon);
    Sketch* page = Open(w.Bytes(), kResultOlderFormat);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(Objects(page).size(), 4u);
    EXPECT_EQ(Objects(page)[3]->objectClass, kClassPolygonInterior);
    EXPECT_EQ(Objects(page)[3]->color, 0x6060ffu);
}

TEST_F(LegacyDocument, ADistanceBetweenBAndAIsBuiltWithItsParentsReversed) {
    LegacyWriter w(false);
    w.Add(Point(w, 0, 0, "A"));
    w.Add(Point(w, 30, 40, "B"));
    w.Add(Measurement(w, 1, { 2, 1 }, "AB ="));
    Sketch* page = Open(w.Bytes(), kResultOlderFormat);
    ASSERT_NE(page, nullptr);
    const std::vector<SketchObject*> objects = Objects(page);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[2]->constructionType, 41);
    EXPECT_EQ(objects[2]->objectClass, kClassMeasurement);
    EXPECT_EQ(ParentsOf(page, objects[2]), (std::vector<SketchObject*>{ objects[0], objects[1] }));
    EXPECT_EQ(ValueDisplayOf(objects[2])->displayMode, kDisplayCurrentLabel);
    char label[kLabelBufferSize];
    EXPECT_STREQ(GetObjectLabel(objects[2], 0, label, nullptr), "AB");  // blanks and "=" gone
}

TEST_F(LegacyDocument, OldCalculationBecomesACalculationOfItsParent) {
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        w.distanceUnit = 1;
        w.Add(Point(w, 0, 0, "A"));
        w.Add(Point(w, 30, 40, "B"));
        w.Add(Measurement(w, 1, { 1, 2 }));
        w.Add(OldCalculation(w, { 3 }, { 0xff9c, 0xfffd, 2 }));  // m1 * 2
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> objects = Objects(page);
        ASSERT_EQ(objects.size(), 4u);
        ASSERT_EQ(objects[3]->objectClass, kClassCalculation);
        EXPECT_EQ(ParentsOf(page, objects[3]), (std::vector<SketchObject*>{ objects[2] }));
        EXPECT_TRUE(ValueDisplayOf(objects[3])->defined);
        EXPECT_NEAR(ValueDisplayOf(objects[3])->value, 2 * ValueDisplayOf(objects[2])->value, 1e-9);
    }
}

TEST_F(LegacyDocument, LeftOutObjectsTakeEverythingBuiltOnThemWithThem) {
    LegacyWriter w(false);
    w.Add(Point(w, 0, 0));
    LegacyObjectSpec none = Point(w, 5, 5);
    none.code = 17;  // a construction with no counterpart
    none.parents = { 1 };
    w.Add(none);
    w.Add(Straight(1, 2, 2));
    w.Add(Point(w, 9, 9));
    // A text whose old construction makes points: it cannot become either.
    LegacyObjectSpec text;
    text.oldClass = 0;
    text.kind = 15;
    text.code = 1;
    text.parents = { 1 };
    w.U16(text.data, 0);
    w.U16(text.data, 0);
    w.U16(text.data, 1);
    text.data.push_back('t');
    w.Add(text);
    // A free (code 0) polygon on parents: free objects have none.
    LegacyObjectSpec polygon;
    polygon.oldClass = 5;
    polygon.kind = 11;
    w.U16(polygon.data, 0);
    polygon.data.resize(10, 0);
    polygon.parents = { 1, 1, 1 };
    w.Add(polygon);
    // A polygon whose parents are all "none" has nothing to be built on.
    polygon.code = 18;
    polygon.parents = { 0xffff, 0xffff, 0xffff };
    w.Add(polygon);
    Sketch* page = Open(w.Bytes(), kResultSkippedObject);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Objects(page).size(), 2u);
}

TEST_F(LegacyDocument, DamagedLengthsAndNumbersAreRefusedWithoutReadingBackwards) {
    struct Case {
        const char* name;
        LegacyObjectSpec object;
    };
    LegacyWriter w(false);
    LegacyObjectSpec negativeSkip;   // an unknown class whose total is below its own record
    negativeSkip.oldClass = 8;
    negativeSkip.kind = 0;
    negativeSkip.total = 50;
    LegacyObjectSpec pastTheEnd = negativeSkip;
    pastTheEnd.total = 100000;
    LegacyObjectSpec zeroTotal = negativeSkip;
    zeroTotal.total = 0;
    w.U16(zeroTotal.data, 4);
    w.U16(zeroTotal.data, 1);  // must be 0
    zeroTotal.data.resize(zeroTotal.data.size() + 4);
    LegacyObjectSpec laterParent = Straight(1, 7, 2);
    LegacyObjectSpec parentZero = Straight(1, 0, 2);
    LegacyObjectSpec longText;
    longText.oldClass = 0;
    longText.kind = 15;
    w.U16(longText.data, 0);
    w.U16(longText.data, 0);
    w.U16(longText.data, 60000);
    LegacyObjectSpec system;  // an old coordinate system listing a later object
    system.oldClass = 12;
    system.kind = 0;
    system.data.assign(14, 0);
    w.U16(system.data, 1);
    w.U16(system.data, 9);
    system.parents = { 1 };
    const LegacyObjectSpec animate = AnimateButton(w, 5);  // its target comes later
    LegacyObjectSpec tableBlock;  // a table block longer than the file
    tableBlock.oldClass = 4;
    tableBlock.kind = 0;
    w.U32(tableBlock.data, 5000);
    const Case cases[] = {
        { "negative skip", negativeSkip }, { "skip past the end", pastTheEnd }, { "zero total, nonzero word", zeroTotal },
        { "parent not read yet", laterParent }, { "parent number 0", parentZero }, { "text longer than the file", longText },
        { "coordinate system list", system }, { "animate target", animate }, { "table block", tableBlock },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LegacyWriter file(false);
        file.Add(Point(file, 1, 2));
        file.Add(c.object);
        file.Add(Point(file, 3, 4));
        SaveSeed(file.Bytes());
        ReadResult r = Read(file.Bytes());
        EXPECT_EQ(r.code, kResultDamaged);
    }
}

TEST_F(LegacyDocument, UnknownClassesAreSkippedByTheirLengthWithWarning9) {
    LegacyWriter w(false);
    w.Add(Point(w, 1, 2));
    LegacyObjectSpec unknown;
    unknown.oldClass = 8;
    unknown.kind = 0;
    unknown.parents = { 1 };
    unknown.total = 116 + 2 + 6;
    unknown.data.assign(6, 0xee);
    w.Add(unknown);
    LegacyObjectSpec zeroTotal;
    zeroTotal.oldClass = 9;
    zeroTotal.kind = 0;
    w.U16(zeroTotal.data, 3);
    w.U16(zeroTotal.data, 0);
    zeroTotal.data.insert(zeroTotal.data.end(), { 1, 2, 3 });
    w.Add(zeroTotal);
    w.Add(Point(w, 3, 4));
    Sketch* page = Open(w.Bytes(), kResultSkippedObject);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(Objects(page).size(), 2u);
    EXPECT_EQ(PointPosition(Objects(page)[1]).x, 3);
}

TEST_F(LegacyDocument, CoordinateSystemsAxesAndButtons) {
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        w.Add(Point(w, 0, 0));
        w.Add(UnitPoint(w, 1));
        w.Add(Point(w, 25, 25));
        LegacyObjectSpec system = OldSystem(w, { 1, 2 });  // on its origin 1 and unit point 2
        system.hidden = 1;
        w.Add(system);
        LegacyObjectSpec axis = Straight(1, 2, 2);  // old object 5: the horizontal axis
        axis.oldClass = 13;
        axis.code = 4;
        w.Add(axis);
        LegacyObjectSpec show;
        show.oldClass = 7;
        show.kind = 18;
        show.code = 28;
        w.U32(show.data, 14);
        show.data.push_back(1);
        show.data.resize(show.data.size() + 9 + 4, 0);
        show.parents = { 2 };
        w.Add(show);
        LegacyObjectSpec animate = AnimateButton(w, 3);
        animate.parents = { 3 };
        w.Add(animate);
        w.Add(OldLocus(w, { 1, 2, 3 }, 0, 0));
        LegacyObjectSpec arc;
        arc.oldClass = 10;
        arc.kind = 24;
        arc.code = 32;
        arc.data.assign(mac ? 58 : 41, 0);
        arc.parents = { 1, 3, 2 };
        w.Add(arc);
        LegacyObjectSpec onAxis = Point(w, 0, 0);  // a point on old object 5
        onAxis.code = 9;
        onAxis.parents = { 5 };
        w.Add(onAxis);
        w.Add(Point(w, 7, 8));
        Sketch* page = Open(w.Bytes(), kResultSkippedObject);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> objects = Objects(page);
        // The three points, the system's axes, tied unit point and the system itself, the
        // two buttons, the arc, the point on the axis and the last point; the locus is left
        // out, as its traced point does not depend on its driver.
        ASSERT_EQ(objects.size(), 12u);
        SketchObject* made = nullptr;
        for (SketchObject* o : objects)
            if (o->objectClass == kClassCoordinateSystem) made = o;
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->hidden, kHiddenByUser);
        const std::vector<SketchObject*> axes = ParentsOf(page, made);
        ASSERT_EQ(axes.size(), 2u);
        EXPECT_EQ(ParentsOf(page, axes[0])[0], objects[0]);  // the listed origin
        // Old type 1 is Show, old type 3 Animate (moving at the default speed).
        ASSERT_NE(ActionButtonOf(objects[7]), nullptr);
        EXPECT_EQ(ActionButtonOf(objects[7])->buttonType, kButtonShow);
        EXPECT_EQ(ParentsOf(page, objects[7]), (std::vector<SketchObject*>{ objects[1] }));
        ASSERT_NE(ActionButtonOf(objects[8]), nullptr);
        EXPECT_EQ(ActionButtonOf(objects[8])->buttonType, kButtonAnimate);
        EXPECT_EQ(objects[8]->objectKind, kKindActionButton);
        char caption[kLabelBufferSize] = "";
        GetObjectLabelText(objects[7], caption, sizeof caption);
        EXPECT_STREQ(caption, "Show Unit Point");
        EXPECT_GT(objects[8]->bounds.right, objects[8]->bounds.left);
        EXPECT_EQ(objects[9]->constructionType, kTypeArcThroughPoints);
        EXPECT_EQ(ParentsOf(page, objects[10]), (std::vector<SketchObject*>{ axes[0] }));
        EXPECT_EQ(PointPosition(objects[11]).x, 7);
    }
}

TEST_F(LegacyDocument, AnOldSystemListingItsOriginTwiceIsBuiltOnItsOriginAndUnitAndReadsBack) {
    // Listed as origin, unit point, origin: the repeat must not turn the order round
    // and make the origin the unit (a plain point cannot carry the tied vertical unit).
    LegacyWriter w(false);
    w.Add(Point(w, 0, 0));
    w.Add(UnitPoint(w, 1));
    w.Add(OldSystem(w, { 1, 2, 1 }));
    const ReadResult r = Read(w.Bytes());
    ASSERT_EQ(r.code, kResultOlderFormat);
    Sketch* page = DocumentPageAt(r.document, 0);
    const std::vector<SketchObject*> objects = Objects(page);
    SketchObject* made = nullptr;
    for (SketchObject* o : objects)
        if (o->objectClass == kClassCoordinateSystem) made = o;
    ASSERT_NE(made, nullptr);
    const SketchObject* axisX = ParentsOf(page, made)[0];
    EXPECT_EQ(ParentsOf(page, axisX), (std::vector<SketchObject*>{ objects[0], objects[1] }));
    const ReadResult again = Read(Write(r.document));
    ASSERT_EQ(again.code, kResultOK);
    EXPECT_EQ(Objects(DocumentPageAt(again.document, 0)).size(), objects.size());
}

TEST_F(LegacyDocument, AnOldLocusIsRebuiltOnItsChainAndRecomputes) {
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        AddTracedMidpoint(w);
        w.Add(OldLocus(w, { 3, 4, 6 }, 40, 1));
        w.Add(OldLocus(w, { 3, 4, 5, 6 }, 3, 0));  // the whole chain listed; too few samples
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> o = Objects(page);
        ASSERT_EQ(o.size(), 8u);
        for (int32_t i : { 6, 7 }) {
            SketchObject* locus = o[size_t(i)];
            ASSERT_EQ(locus->objectClass, kClassLocus);
            EXPECT_EQ(locus->constructionType, kTypeLocus);
            EXPECT_EQ(locus->objectKind, kKindPointLocus);
            // Traced, path, then the chain from the driver to the traced object.
            EXPECT_EQ(ParentsOf(page, locus), (std::vector<SketchObject*>{ o[5], o[2], o[3], o[4], o[5] }));
            EXPECT_EQ(locus->exists, 1);
        }
        EXPECT_EQ(LocusDataOf(o[6])->sampleCount, 40);
        EXPECT_EQ(LocusDataOf(o[6])->drawOption, 0);
        EXPECT_EQ(LocusDataOf(o[7])->sampleCount, 10);
        EXPECT_EQ(LocusDataOf(o[7])->drawOption, 1);
        // The midpoints of B and the circle's points: a circle about (130, 100).
        Sketch* previous = nullptr;
        SetCurrentSketch(page, &previous);
        // Only where D meets B is there no segment and no midpoint.
        auto samplesSpan = [&] {
            int32_t lo = 1 << 20, hi = -(1 << 20), missing = 0;
            for (int32_t k = 0; k < LocusDataOf(o[6])->sampleCount; ++k) {
                if (LocusSampleState(o[6], k) == 0) {
                    ++missing;
                    continue;
                }
                lo = std::min<int32_t>(lo, LocusSamplePoint(o[6], k).x);
                hi = std::max<int32_t>(hi, LocusSamplePoint(o[6], k).x);
            }
            EXPECT_LE(missing, 1);
            return std::pair<int32_t, int32_t>{ lo, hi };
        };
        EXPECT_NEAR(samplesSpan().first, 100, 2);
        EXPECT_NEAR(samplesSpan().second, 160, 2);
        // Moving the centre moves the traced curve with it.
        SetPointPosition(o[0], 40, 100, 1, nullptr, false);
        RecomputeSketch(false);
        EXPECT_NEAR(samplesSpan().first, 40, 2);
        EXPECT_NEAR(samplesSpan().second, 160, 2);
        SetCurrentSketch(previous, nullptr);
    }
}

TEST_F(LegacyDocument, ALocusWhoseObjectsMakeNoneIsLeftOutWithWhatIsBuiltOnIt) {
    struct Case {
        const char* name;
        std::vector<uint16_t> parents;
    };
    const Case cases[] = {
        { "traced object does not depend on the driver", { 3, 4, 1 } },
        { "path depends on the driver", { 5, 4, 6 } },
        { "driver is the traced object", { 3, 4 } },
        { "driver is not a point", { 3, 5, 6 } },
        { "path is not a path", { 4, 4, 6 } },
        { "too few parents", { 6 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LegacyWriter w(false);
        AddTracedMidpoint(w);
        w.Add(OldLocus(w, c.parents, 40, 1));
        LegacyObjectSpec onLocus;  // a point on the locus (old object 7)
        onLocus.code = 9;
        onLocus.data.assign(12, 0);
        onLocus.parents = { 7 };
        w.Add(onLocus);
        LegacyObjectSpec after;
        w.U32(after.data, 7);
        w.U32(after.data, 8);
        after.data.resize(12, 0);
        w.Add(after);
        Sketch* page = Open(w.Bytes(), kResultSkippedObject);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> o = Objects(page);
        ASSERT_EQ(o.size(), 7u);
        EXPECT_EQ(PointPosition(o[6]).x, 7);
    }
}

TEST_F(LegacyDocument, CoordinatesInOldCalculationsBecomeCoordinateMeasurements) {
    // x(P) + y(P), and y(P) alone.
    const std::vector<uint16_t> sum = { 0xfed3, 0xff9c, 0xffff, 0xfed2, 0xff9c };
    const std::vector<uint16_t> ordinate = { 0xfed2, 0xff9c };
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        w.Add(Point(w, 0, 0));
        w.Add(UnitPoint(w, 1));
        w.Add(Point(w, 100, -50, "P"));
        w.Add(OldSystem(w, { 1, 2 }));
        w.Add(OldCalculation(w, { 3 }, sum));
        w.Add(OldCalculation(w, { 3, 1 }, ordinate));  // an unused parent goes
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        std::vector<SketchObject*> calcs, measures;
        SketchObject* coordSystem = nullptr;
        for (SketchObject* o : Objects(page)) {
            if (o->objectClass == kClassCalculation) calcs.push_back(o);
            if (o->constructionType == 69 || o->constructionType == 70) measures.push_back(o);
            if (o->objectClass == kClassCoordinateSystem) coordSystem = o;
        }
        ASSERT_EQ(calcs.size(), 2u);
        ASSERT_EQ(measures.size(), 2u);  // the second calculation finds the ordinate made for the first
        SketchObject* x = measures[0]->constructionType == 69 ? measures[0] : measures[1];
        SketchObject* y = x == measures[0] ? measures[1] : measures[0];
        const SketchObject* p = Objects(page)[2];
        for (SketchObject* m : measures) {
            EXPECT_EQ(m->hidden, kHiddenByUser);
            EXPECT_EQ(ParentsOf(page, m), (std::vector<SketchObject*>{ const_cast<SketchObject*>(p), coordSystem }));
        }
        EXPECT_EQ(ParentsOf(page, calcs[0]), (std::vector<SketchObject*>{ x, y }));
        EXPECT_EQ(ParentsOf(page, calcs[1]), (std::vector<SketchObject*>{ y }));
        EXPECT_NEAR(ValueDisplayOf(x)->value, 2, 1e-9);
        EXPECT_NEAR(ValueDisplayOf(y)->value, 1, 1e-9);
        EXPECT_NEAR(ValueDisplayOf(calcs[0])->value, 3, 1e-9);
        EXPECT_NEAR(ValueDisplayOf(calcs[1])->value, 1, 1e-9);
    }
    // Without a converted system, or of something that is not a point, there is no
    // coordinate to measure: the calculation is left out.
    struct Case {
        const char* name;
        std::vector<uint16_t> parents;
    };
    for (const Case& c : { Case{ "no system", { 1 } }, Case{ "not a point", { 3 } } }) {
        SCOPED_TRACE(c.name);
        LegacyWriter w(false);
        w.Add(Point(w, 0, 0));
        w.Add(Point(w, 10, 0));
        w.Add(Measurement(w, 1, { 1, 2 }));
        w.Add(OldCalculation(w, c.parents, ordinate));
        Sketch* page = Open(w.Bytes(), kResultSkippedObject);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Objects(page).size(), 3u);
    }
}

TEST_F(LegacyDocument, TablesKeepTheirParentsButNotTheirRecordedRows) {
    // Two points, their distance, and an old table of it whose first block is `block`.
    auto tableOfADistance = [this](LegacyWriter& w, std::vector<uint8_t> block) {
        w.Add(Point(w, 0, 0));
        w.Add(Point(w, 30, 40));
        w.Add(Measurement(w, 1, { 1, 2 }));
        LegacyObjectSpec table;
        table.oldClass = 4;
        table.kind = 0;
        table.code = 27;
        table.x = 70;
        table.y = 80;
        table.data = std::move(block);
        table.parents = { 3 };
        w.Add(table);
        return table;
    };
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        std::vector<uint8_t> block;
        w.U32(block, 12);
        w.U32(block, 0);
        w.U32(block, 6);  // the PC's second block
        block.resize(block.size() + 4 + (mac ? 0 : 6), 0);
        LegacyObjectSpec oversized = tableOfADistance(w, block);  // then one above 64000 bytes
        oversized.data.clear();
        w.U32(oversized.data, 64001);
        oversized.data.resize(oversized.data.size() + 64001, 0);
        w.Add(oversized);
        w.Add(Point(w, 7, 8));
        Sketch* page = Open(w.Bytes(), kResultSkippedObject);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> objects = Objects(page);
        ASSERT_EQ(objects.size(), 5u);
        EXPECT_EQ(objects[3]->objectClass, kClassTable);
        EXPECT_EQ(ParentsOf(page, objects[3]), (std::vector<SketchObject*>{ objects[2] }));
        EXPECT_EQ(objects[3]->bounds.left, 70);
        EXPECT_EQ(PointPosition(objects[4]).x, 7);
    }
    LegacyWriter one(false);
    tableOfADistance(one, { 0, 0, 0, 0 });
    EXPECT_NE(Open(one.Bytes(), kResultLongerRecord), nullptr);  // its rows could not be kept
}

// What the converter makes is saved and opened again unchanged: a measurement placed
// beyond the screen limit is brought within it, and a table keeps its typed label.
TEST_F(LegacyDocument, AConvertedDocumentSavesAndOpensAsConverted) {
    LegacyWriter w(false);
    w.Add(Point(w, 0, 0));
    w.Add(Point(w, 30, 40));
    LegacyObjectSpec far = Measurement(w, 1, { 1, 2 });
    far.x = 31000;
    far.y = -31000;
    w.Add(far);
    LegacyObjectSpec table;
    table.oldClass = 4;
    table.kind = 0;
    table.code = 27;
    table.x = 70;
    table.y = 80;
    w.U32(table.data, 12);
    w.U32(table.data, 0);
    w.U32(table.data, 6);
    table.data.resize(table.data.size() + 10, 0);
    table.parents = { 3 };
    table.label = "T1";
    w.Add(table);
    SaveSeed(w.Bytes());
    ReadResult converted = Read(w.Bytes());
    ASSERT_NE(converted.document, nullptr);
    std::vector<SketchObject*> objects = Objects(DocumentPageAt(converted.document, 0));
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[2]->bounds.left, 30000);
    EXPECT_EQ(objects[2]->bounds.top, -30000);
    EXPECT_EQ(objects[3]->label.level, kLabelGiven);
    const std::vector<uint8_t> first = Write(converted.document);
    ReadResult again = Read(first);
    ASSERT_NE(again.document, nullptr);
    objects = Objects(DocumentPageAt(again.document, 0));
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[3]->label.level, kLabelGiven);
    char label[kLabelBufferSize];
    GetObjectLabelText(objects[3], label, sizeof label);
    EXPECT_STREQ(label, "T1");
    EXPECT_TRUE(Write(again.document) == first) << "the second save differs";
}

TEST_F(LegacyDocument, TheTrailingFontTableRemapsTextFonts) {
    auto caption = [](const LegacyWriter& w, uint16_t font) {
        LegacyObjectSpec o;
        o.oldClass = 0;
        o.kind = 15;
        o.font = font;
        w.U16(o.data, 0);
        w.U16(o.data, 0);
        w.U16(o.data, 1);
        o.data.push_back('t');
        return o;
    };
    auto entry = [](std::vector<uint8_t>& b, uint16_t font, const char* face) {
        PutU16(b, font);
        char name[32] = {};
        std::strncpy(name, face, sizeof name - 1);
        b.insert(b.end(), name, name + 32);
    };
    struct Case { const char* name; bool damaged; int16_t first, second; ResultCode code; };
    for (const Case c : { Case{ "table", false, 4, 1, kResultOlderFormat },
                          Case{ "table longer than the file", true, 1, 1, kResultLongerRecord } }) {
        SCOPED_TRACE(c.name);
        LegacyWriter w(false);
        w.Add(caption(w, 7));
        w.Add(caption(w, 9));  // not in the table
        std::vector<uint8_t> fonts;
        entry(fonts, 2, "Symbol");
        entry(fonts, 7, "Times New Roman");
        PutU16(w.trailer, 2001);
        PutU32(w.trailer, c.damaged ? 5000 : uint32_t(fonts.size()));
        w.trailer.insert(w.trailer.end(), fonts.begin(), fonts.end());
        Sketch* page = Open(w.Bytes(), c.code);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> objects = Objects(page);
        ASSERT_EQ(objects.size(), 2u);
        EXPECT_EQ(objects[0]->textStyle.field[kStyleFont], c.first);
        EXPECT_EQ(objects[1]->textStyle.field[kStyleFont], c.second);
    }
}

TEST_F(LegacyDocument, AnInvalidRecordEndsTheObjectsWithWarning9) {
    LegacyWriter w(false);
    w.Add(Point(w, 1, 2));
    LegacyObjectSpec bad = Point(w, 3, 3);
    bad.trace = 4;
    w.Add(bad);
    w.Add(Point(w, 5, 6));
    Sketch* page = Open(w.Bytes(), kResultSkippedObject);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Objects(page).size(), 1u);
}

TEST_F(LegacyDocument, CaptionsTakeTheirTextStyleAndMacText) {
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        LegacyWriter w(mac);
        const std::string body = mac ? std::string("r\x8e") + "sum\r" + char(185) : "plain";
        const LegacyObjectSpec text = LegacyCaption(w, mac, body, 40, 50, mac ? 14 : 9);
        w.Add(text);
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(Objects(page).size(), 1u);
        SketchObject* caption = Objects(page)[0];
        EXPECT_EQ(caption->objectClass, kClassCaption);
        EXPECT_EQ(caption->textStyle.field[kStyleWeight], 2);
        EXPECT_EQ(caption->textStyle.field[kStyleUnderline], 2);
        if (mac) {
            // "résum", CR, pi: the CR gains its LF, byte 185 becomes "pi".
            LayoutWriteContext plain{ nullptr, nullptr, kWritePlainText, nullptr };
            char written[64] = {};
            const int32_t n = SerializeLayout(CaptionDataOf(caption)->layout, nullptr, &plain);
            ASSERT_LT(n, 64);
            SerializeLayout(CaptionDataOf(caption)->layout, written, &plain);
            EXPECT_EQ(std::string(written, size_t(n)), "r\xe9sum\r\npi");
        }
        // PC sizes are points at 72 per inch: (96 x 9 + 36) / 72 = 12 pixels; Mac sizes are kept.
        EXPECT_EQ(caption->textStyle.field[kStyleSize], mac ? 14 : 12);
    }
}

TEST_F(LegacyDocument, ReadingUnderMemoryFailureNeverLeaksOrHalfBuilds) {
    LegacyWriter w(true);
    w.Add(Point(w, 0, 0, "A"));
    w.Add(Point(w, 30, 40, "Bee and more"));
    w.Add(Straight(1, 2, 2));
    w.Add(Measurement(w, 1, { 1, 2 }, "AB ="));
    w.Add(OldCalculation(w, { 4 }, { 0xff9c, 0xfffd, 2 }));
    // A locus rebuilt on its chain, a coordinate system and a coordinate in a calculation.
    LegacyWriter more(false);
    AddTracedMidpoint(more);
    more.Add(OldLocus(more, { 3, 4, 6 }, 40, 1));
    more.Add(UnitPoint(more, 1));
    more.Add(OldSystem(more, { 1, 8 }));
    more.Add(OldCalculation(more, { 6 }, { 0xfed3, 0xff9c }));
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        size_t objects;
    };
    // The locus document: its six objects, the locus, the unit point, the axes, the tied
    // unit point and the system, the abscissa and the calculation.
    for (const Case& c : { Case{ "measurements", w.Bytes(), 5 }, Case{ "locus and coordinates", more.Bytes(), 14 } }) {
        SCOPED_TRACE(c.name);
        bool succeeded = false;
        for (uint32_t n = 1; n < 2000 && !succeeded; ++n) {
            SCOPED_TRACE(n);
            EngineDocument* r = nullptr;
            const ResultCode rc = ReadFailingAt(c.file, n, &r);
            if (rc == kResultOlderFormat) {
                succeeded = true;
                EXPECT_GT(n, 8u);  // the failures really hit the reading
                ASSERT_EQ(DocumentPageCount(r), 1);
                EXPECT_EQ(Objects(DocumentPageAt(r, 0)).size(), c.objects);
            } else {
                EXPECT_EQ(rc, kResultOutOfMemory);
                EXPECT_EQ(r, nullptr);
            }
            FreeEngineDocument(r);
        }
        EXPECT_TRUE(succeeded);
    }
}

TEST(MacText, ConvertsLineEndsPiAndTheUpperHalf) {
    struct Case { std::string in, out; };
    const Case cases[] = {
        { std::string("word\r") + char(185), "word\r\npi" },
        { "a\r\nb", "a\r\nb" },
        { "\r\r", "\r\n\r\n" },
        { std::string("\x80\x8e\xa5\xd2\xd3"), std::string("\xc4\xe9\x95\x93\x94") },
        { std::string("\xad\xf0"), std::string("\xad\xf0") },  // no counterpart: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        char buffer[64] = {};
        std::memcpy(buffer, c.in.data(), c.in.size());
        uint32_t size = uint32_t(c.in.size());
        EXPECT_EQ(ConvertMacText(buffer, &size, sizeof buffer), kResultOK);
        EXPECT_EQ(std::string(buffer, size), c.out);
        EXPECT_EQ(buffer[size], '\0');
    }
}

TEST(MacText, NeverWritesPastItsBuffer) {
    // Every byte grows: the text would need twice its room.
    char buffer[10] = {};
    std::memset(buffer, 185, 6);
    char guard[8];
    std::memset(guard, 0x5a, sizeof guard);
    uint32_t size = 6;
    EXPECT_EQ(ConvertMacText(buffer, &size, sizeof buffer), kResultOutOfMemory);
    EXPECT_LT(size, sizeof buffer);
    for (char g : guard) EXPECT_EQ(g, 0x5a);
}

TEST(MacText, AgreesWithTheDocumentCodeTable) {
    // Every byte, and a text mixing line ends, pi and accents: the import of older
    // documents and the conversion of documents in the Mac set give the same text.
    std::vector<std::string> texts;
    for (int32_t b = 1; b < 256; ++b) texts.push_back(std::string(1, char(b)));
    texts.push_back(std::string("Gr\x9a\xa7" "e\r2\xb9r\r\xdb\xfb"));
    for (const std::string& in : texts) {
        SCOPED_TRACE(int(uint8_t(in[0])));
        char buffer[64] = {};
        std::memcpy(buffer, in.data(), in.size());
        uint32_t size = uint32_t(in.size());
        ASSERT_EQ(ConvertMacText(buffer, &size, sizeof buffer), kResultOK);
        bool changed = false;
        std::string mapped(2 * in.size(), '\0');
        mapped.resize(MapTextWithCodeTable(mapped.data(), kCharsetWindows, in.data(), uint32_t(in.size()),
                                           kCharsetMac, &changed));
        EXPECT_EQ(std::string(buffer, size), mapped);
    }
}

std::vector<uint16_t> Tokens(const std::vector<uint16_t>& words, LegacyTokenContext context, ResultCode expected) {
    uint16_t* tokens = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(ConvertLegacyTokens(words.data(), uint32_t(words.size()), context, &tokens, &count), expected);
    std::vector<uint16_t> out(tokens, tokens + count);
    FreeMemory(tokens);
    return out;
}

TEST(LegacyTokens, ADistanceOf2Point5CmTimes3) {
    // Stored in pixels: 1/96 inch on the PC, 1/72 on the Mac.
    for (bool mac : { false, true }) {
        SCOPED_TRACE(mac);
        const LegacyWriter w(mac);
        std::vector<uint16_t> words = { 0xffe6 };
        w.OldFloat(words, float(2.5 / 2.54 * (mac ? 72 : 96)));
        words.push_back(0xfffd);
        words.push_back(3);
        const std::vector<uint16_t> expected = { 2, 10, 5, 513, 0x1002, 3 };
        EXPECT_EQ(Tokens(words, { mac, 1, 1 }, kResultOK), expected);
        // The decimal separator of the user's locale never reaches the tokens.
        ScopedDecimalSeparator comma(',');
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        const std::string saved = previous ? previous : "C";
        for (const char* name : { "de_DE.UTF-8", "de_DE", "fr_FR.UTF-8", "German" })
            if (std::setlocale(LC_NUMERIC, name)) break;
        EXPECT_EQ(Tokens(words, { mac, 1, 1 }, kResultOK), expected);
        std::setlocale(LC_NUMERIC, saved.c_str());
    }
}

TEST(LegacyTokens, WordsOfEachKind) {
    struct Case {
        const char* name;
        std::vector<uint16_t> words;
        std::vector<uint16_t> tokens;
        ResultCode code;
    };
    const LegacyWriter pc(false);
    std::vector<uint16_t> angle = { 0xffe7 };
    pc.OldFloat(angle, 0.5f);
    std::vector<uint16_t> number = { 0xffe8 };
    pc.OldFloat(number, -1.5e-9f);
    std::vector<uint16_t> cut = { 0xffe8, 0 };
    const Case cases[] = {
        { "integer", { 1234 }, { 1, 2, 3, 4 }, kResultOK },
        { "parents", { 0xff9c, 0xffff, 0xff9b }, { 0x6000, 0x1000, 0x6001 }, kResultOK },
        { "functions and brackets", { 0xff38, 0xfff7, 0xfff8, 0xfff6 }, { 0x2000, 11, 13, 12 }, kResultOK },
        { "negation, e, sgn", { 0xfffb, 0xffe5, 0xff2c }, { 0x1005, 14, 0x200a }, kResultOK },
        { "angle into degrees", angle, { 2, 8, 10, 6, 4, 7, 8, 9, 257 }, kResultOK },
        { "number with an exponent", number,
          { 11, 0x1005, 1, 10, 5, 0x1002, 1, 0, 0x1004, 0x1005, 0, 9, 12 }, kResultOK },
        { "pi in cm", { 0xffe4, 0xfff8, 1 }, { 13, 513 }, kResultOK },
        { "e in radians", { 0xffe4, 0xfff5, 130 }, { 14, 256 }, kResultOK },
        { "unit word out of range", { 0xffe4, 0xfff8, 3 }, {}, kResultSkippedObject },
        { "unknown word", { 0xfe00 }, {}, kResultSkippedObject },
        { "constant cut off", cut, {}, kResultDamaged },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Tokens(c.words, { false, 1, 1 }, c.code), c.tokens);
    }
}

TEST(LegacyTokens, CoordinatesMarkTheNextParentReference) {
    struct Case {
        const char* name;
        std::vector<uint16_t> words;
        std::vector<uint16_t> tokens;
        std::vector<std::pair<uint32_t, int32_t>> refs;
        ResultCode code;
    };
    const Case cases[] = {
        { "x then y", { 0xfed3, 0xff9c, 0xffff, 0xfed2, 0xff9b }, { 0x6000, 0x1000, 0x6001 }, { { 0, 69 }, { 2, 70 } },
          kResultOK },
        { "after an operator", { 2, 0xfffd, 0xfed2, 0xfff7, 0xff9c, 0xfff6 }, { 2, 0x1002, 11, 0x6000, 12 },
          { { 3, 70 } }, kResultOK },
        { "no reference follows", { 0xff9c, 0xfffd, 0xfed3 }, {}, {}, kResultSkippedObject },
        { "two in a row", { 0xfed3, 0xfed2, 0xff9c }, {}, {}, kResultSkippedObject },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t* tokens = nullptr;
        uint32_t count = 0;
        LegacyCoordinateRefs refs{};
        EXPECT_EQ(ConvertLegacyTokens(c.words.data(), uint32_t(c.words.size()), { false, 1, 1 }, &tokens, &count, &refs),
                  c.code);
        EXPECT_EQ(std::vector<uint16_t>(tokens, tokens + count), c.tokens);
        std::vector<std::pair<uint32_t, int32_t>> got;
        for (uint32_t i = 0; i < refs.count; ++i) got.emplace_back(refs.item[i].token, refs.item[i].type);
        EXPECT_EQ(got, c.refs);
        FreeMemory(tokens);
    }
    // Without a place for them coordinates cannot be converted.
    EXPECT_EQ(Tokens({ 0xfed3, 0xff9c }, { false, 1, 1 }, kResultSkippedObject), std::vector<uint16_t>{});
}

TEST(FieldLayouts, SwapCountedFieldsAndSkipBytes) {
    uint8_t data[12] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    const uint8_t layout[] = { 1, 2, 1, 1, 2, 4, 0 };
    ApplyFieldLayout(layout, data, 8);  // the second u32 would run past 8 bytes: left alone
    const uint8_t expected[12] = { 2, 1, 3, 7, 6, 5, 4, 8, 9, 10, 11, 12 };
    EXPECT_EQ(std::memcmp(data, expected, sizeof data), 0);
    uint8_t same[4] = { 1, 2, 3, 4 };
    SwapRecordIfForeign(false, layout, same, 4);
    EXPECT_EQ(same[0], 1);
}

TEST(FieldLayouts, MacMapCopiesFieldsAndCountedStrings) {
    const MacLayoutRow map[] = { { 0, 2, 2 }, { 2, 4, -4 }, { 8, -1, 4 }, { 200, 0, 2 }, { 0, 0, 0 } };
    const uint8_t mac[12] = { 0xaa, 0xbb, 5, 'h', 'e', 'l', 'l', 'o', 1, 2, 3, 4 };
    uint8_t pc[10];
    std::memset(pc, 0xff, sizeof pc);
    uint8_t scratch[4] = {};
    MapMacRecord(map, mac, sizeof mac, pc, sizeof pc, scratch);
    const uint8_t expected[10] = { 0, 0, 0xaa, 0xbb, 'h', 'e', 'l', 0, 0, 0 };
    EXPECT_EQ(std::memcmp(pc, expected, sizeof pc), 0);
    EXPECT_EQ(scratch[3], 4);
}

// Old button types by the conversion table; a Move button keeps its speed byte, and the
// old types 5 and 6 have no counterpart.
TEST_F(LegacyDocument, OldButtonTypesMapToTheirNewTypes) {
    struct Case { uint8_t old; uint8_t flag; int32_t type; int16_t options; ResultCode rc; };
    const Case cases[] = {
        { 0, 2, kButtonMove, 2, kResultOlderFormat },
        { 0, 9, kButtonMove, 1, kResultOlderFormat },
        { 1, 1, kButtonShow, 1, kResultOlderFormat },
        { 2, 0, kButtonHide, 0, kResultOlderFormat },
        { 4, 1, -1, 0, kResultSkippedObject },  // a presentation of points
        { 5, 0, -1, 0, kResultSkippedObject },
        { 6, 0, -1, 0, kResultSkippedObject },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.old);
        LegacyWriter w(false);
        w.Add(Point(w, 0, 0));
        w.Add(Point(w, 40, 0));
        LegacyObjectSpec button;
        button.oldClass = 7;
        button.kind = 19;
        button.code = 28;
        w.U32(button.data, 12);
        button.data.push_back(c.old);
        button.data.push_back(c.flag);
        button.data.resize(button.data.size() + 8 + 2, 0);
        button.parents = { 1, 2 };
        w.Add(button);
        Sketch* page = Open(w.Bytes(), c.rc);
        ASSERT_NE(page, nullptr);
        const std::vector<SketchObject*> objects = Objects(page);
        if (c.type < 0) {
            EXPECT_EQ(objects.size(), 2u);
            continue;
        }
        ASSERT_EQ(objects.size(), 3u);
        const ActionButtonData* b = ActionButtonOf(objects[2]);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->buttonType, c.type);
        EXPECT_EQ(b->buttonOptions, c.options);
    }
}

// An old presentation of an old button: in sequence by its flag.
TEST_F(LegacyDocument, AnOldPresentationPresentsItsButtons) {
    LegacyWriter w(false);
    w.Add(Point(w, 0, 0));
    auto button = [&](uint8_t old, uint8_t flag, std::vector<uint16_t> parents) {
        LegacyObjectSpec b;
        b.oldClass = 7;
        b.kind = 19;
        b.code = 28;
        w.U32(b.data, 12);
        b.data.push_back(old);
        b.data.push_back(flag);
        b.data.resize(b.data.size() + 10, 0);
        b.parents = std::move(parents);
        return b;
    };
    w.Add(button(2, 0, { 1 }));
    w.Add(button(4, 1, { 2 }));
    Sketch* page = Open(w.Bytes(), kResultOlderFormat);
    ASSERT_NE(page, nullptr);
    const std::vector<SketchObject*> objects = Objects(page);
    ASSERT_EQ(objects.size(), 3u);
    const ActionButtonData* presentation = ActionButtonOf(objects[2]);
    ASSERT_NE(presentation, nullptr);
    EXPECT_EQ(presentation->buttonType, kButtonPresentation);
    EXPECT_EQ(presentation->buttonOptions, 1);
    EXPECT_EQ(ParentsOf(page, objects[2]), (std::vector<SketchObject*>{ objects[1] }));
}

}  // namespace
