#include "engine/docio/sketch_io.h"

#include <gtest/gtest.h>

#include "stream_bytes.h"

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/arc_data.h"
#include "engine/core/iterations.h"
#include "engine/core/memory.h"
#include "engine/core/picture_objects.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/units.h"
#include "engine/calc/value_objects.h"
#include "engine/docio/construction_data_codec.h"
#include "engine/docio/object_header_codec.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/sketch_records.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_text.h"
#include "codec_checks.h"
#include "seed_files.h"
#include "support/pictures_double.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

class SketchIoTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
    }

    SketchObject* FreeCaption(int16_t left, int16_t top) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        if (c) {
            c->bounds = { left, top, left, top };
            RelayoutObjectText(c, false);
        }
        return c;
    }

    std::vector<uint8_t> Write(Sketch* s, bool page, bool handheld, ResultCode expected = kResultOK) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketch(h, s, page, handheld), expected);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    }

    ResultCode Read(const std::vector<uint8_t>& bytes, Sketch** out, const FormatInfo& f) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        ResultCode rc = ReadSketch(h, out, nullptr, f);
        DiscardStream(h);
        return rc;
    }

    static std::vector<SketchObject*> Order(const Sketch* s) {
        std::vector<SketchObject*> order;
        for (SketchObject* o = s->firstObject; o; o = o->nextInSketch) order.push_back(o);
        return order;
    }

    static size_t Find(const std::vector<uint8_t>& bytes, uint32_t tag, size_t nth = 0) {
        for (size_t at = 0; at + 8 <= bytes.size(); at += 8 + GetLE32(bytes.data() + at))
            if (GetLE32(bytes.data() + at + 4) == tag && nth-- == 0) return at;
        return std::string::npos;
    }

    // Points a, b, the segment ab, its midpoint and a caption; the segment and a are
    // selected, b is in mark slot 20.
    void BuildPage() {
        a = FreePoint();
        b = FreePoint();
        ab = Build(kTypeSegment, { a, b });
        mid = Build(kTypeMidpoint, { ab });
        caption = FreeCaption(30, 40);
        ASSERT_TRUE(a && b && ab && mid && caption);
        TextStyle style = caption->textStyle;
        style.field[kStyleSize] = 14;
        style.field[kStyleFont] = 3;
        SetCaptionStyle(caption, &style);
        RelayoutObjectText(caption, false);
        caption->selectable = 0;
        sketch->windowRect = { 5, 6, 405, 306 };
        sketch->settings.angleUnit = 1;
        sketch->settings.distanceUnit = 2;
        SelectSketchObject(ab);
        SelectSketchObject(a);
        sketch->marks[20] = { { b }, kMarkSet };
        ASSERT_EQ(SetSketchTitle(sketch, "Page one"), kResultOK);
    }

    // The bytes with a record put in front of the nth record of a tag.
    static std::vector<uint8_t> WithRecord(std::vector<uint8_t> bytes, uint32_t before, size_t nth, uint32_t tag,
                                           const std::vector<uint8_t>& payload) {
        const size_t at = Find(bytes, before, nth);
        std::vector<uint8_t> record(8);
        PutLE32(record.data(), uint32_t(payload.size()));
        PutLE32(record.data() + 4, tag);
        record.insert(record.end(), payload.begin(), payload.end());
        bytes.insert(bytes.begin() + std::ptrdiff_t(at), record.begin(), record.end());
        return bytes;
    }

    SketchObject *a = nullptr, *b = nullptr, *ab = nullptr, *mid = nullptr, *caption = nullptr;
};

TEST_F(SketchIoTest, PageRoundTripsThroughTheTypeTablesCodecs) {
    BuildPage();
    std::vector<uint8_t> bytes = Write(sketch, true, false);
    SaveFuzzSeed("sketch_body_fuzz", "real_page", bytes);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    ASSERT_NE(back, nullptr);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    std::vector<SketchObject*> order = Order(back);
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(order[2]->constructionType, kTypeSegment);
    EXPECT_EQ(PtrListItem(order[2]->parents, 1), order[1]);
    EXPECT_EQ(PtrListItem(order[3]->parents, 0), order[2]);
    EXPECT_EQ(order[3]->objectKind, mid->objectKind);
    EXPECT_EQ(order[4]->objectClass, kClassCaption);
    EXPECT_EQ(order[4]->textStyle.field[kStyleSize], 14);
    EXPECT_EQ(order[4]->textStyle.field[kStyleFont], 3);
    EXPECT_EQ(order[4]->selectable, 0);
    EXPECT_EQ(back->marks[20].object, order[1]);
    EXPECT_EQ(back->marks[20].state, kMarkSet);
    EXPECT_TRUE(IsSelected(order[2]));
    EXPECT_TRUE(IsSelected(order[0]));
    EXPECT_FALSE(IsSelected(order[1]));
    EXPECT_EQ(back->windowRect.left, 5);
    EXPECT_EQ(back->settings.distanceUnit, 2);
    // Children lists are rebuilt from the parents.
    EXPECT_EQ(PtrListItem(order[0]->children, 0), order[2]);
    // Each object read sits once in its layer ring, and every ring closes.
    size_t inRings = 0;
    for (SketchObject* head : back->layerHeads) {
        if (!head) continue;
        SketchObject* o = head;
        do {
            ASSERT_EQ(o->nextInLayer->prevInLayer, o);
            o = o->nextInLayer;
            ASSERT_LE(++inRings, order.size());
        } while (o != head);
    }
    EXPECT_EQ(inRings, order.size());
    SetCurrentSketch(before, nullptr);
    EXPECT_EQ(Write(back, true, false), bytes);
    FreeSketch(back);
}

// Polygons are made before their parents are read: a constructed one gets arrays for
// its parents, a free one for the count of its record; a free arc gets its end points.
TEST_F(SketchIoTest, PolygonsAndArcsReadBack) {
    SketchObject* p = PointAt(0, 0);
    SketchObject* q = PointAt(40, 0);
    SketchObject* r = PointAt(0, 30);
    ASSERT_NE(Build(kTypePolygonInterior, { p, q, r, p }), nullptr);
    uint32_t three = 3;
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPolygonInterior, 1, kKindPolygonInterior, 0 };
    SketchObject* free = ConstructObjectEx(&t, &three, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(free, nullptr);
    const RealPoint corners[3] = { { 100, 100 }, { 150, 100 }, { 100, 160 } };
    std::memcpy(ClassData<PolygonData>(free)->vertices, corners, sizeof corners);
    RecomputeObject(free, nullptr, true);
    const ObjectTemplate arcTemplate = { kTypeFree, 0, 0, kClassArc, 1, kKindArc, 0 };
    SketchObject* arc = ConstructObjectEx(&arcTemplate, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(arc, nullptr);
    ArcData& data = *ClassData<ArcData>(arc);
    data.centre = { 50, 50 };
    data.radius = 20;
    data.startAngle = 0;
    data.endAngle = 1.5;
    data.orientation = 1;
    RecomputeObject(arc, nullptr, true);
    std::vector<uint8_t> bytes = Write(sketch, true, false);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    RecomputeSketch(false);
    std::vector<SketchObject*> order = Order(back);
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(ClassData<PolygonData>(order[3])->vertexCount, 4);
    EXPECT_EQ(order[3]->objectKind, 47);
    EXPECT_EQ(order[3]->exists, 1);
    EXPECT_EQ(ClassData<PolygonData>(order[4])->vertexCount, 3);
    EXPECT_EQ(ClassData<PolygonData>(order[4])->vertices[2].y, 160);
    EXPECT_EQ(order[4]->exists, 1);
    EXPECT_NEAR(ClassData<ArcData>(order[5])->startPoint.x, 70, 1e-9);
    EXPECT_EQ(order[5]->exists, 1);
    EXPECT_EQ(Write(back, true, false), bytes);
    SetCurrentSketch(before, nullptr);
    FreeSketch(back);
}

TEST_F(SketchIoTest, HandheldAndPartialForms) {
    BuildPage();
    for (bool handheld : { false, true }) {
        SCOPED_TRACE(handheld);
        std::vector<uint8_t> bytes = Write(sketch, true, handheld);
        Sketch* back = nullptr;
        FormatInfo f = handheld ? FormatInfo{ 1, 1, 1 } : FormatInfo{ 1, 4, 4 };
        ASSERT_EQ(Read(bytes, &back, f), kResultOK);
        // The page's name rides in record 1100, right after the header.
        EXPECT_EQ(Find(bytes, kTagComment), Find(bytes, kTagPageHeader) + 8 + kSketchHeaderBytes);
        ASSERT_NE(back->title, nullptr);
        EXPECT_STREQ(back->title, "Page one");
        EXPECT_EQ(Write(back, true, handheld), bytes);
        FreeSketch(back);
    }
    // A tool keeps its name and its text through a write and a read, byte for byte.
    sketch->toolText = static_cast<char*>(AllocMemory(sizeof "Draw the segment first.", 0));
    ASSERT_NE(sketch->toolText, nullptr);
    std::memcpy(sketch->toolText, "Draw the segment first.", sizeof "Draw the segment first.");
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, a));
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, b));
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, caption));
    std::vector<uint8_t> tool = Write(sketch, false, false);
    SaveFuzzSeed("sketch_body_fuzz", "real_tool", tool);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(tool, &back, FormatInfo{ 2, 4, 4 }), kResultOK);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    int32_t givens = 0;
    PtrListSize(back->givenList, &givens);
    EXPECT_EQ(givens, 3);
    ASSERT_NE(back->title, nullptr);
    EXPECT_STREQ(back->title, "Page one");
    ASSERT_NE(back->toolText, nullptr);
    EXPECT_STREQ(back->toolText, "Draw the segment first.");
    SetCurrentSketch(before, nullptr);
    EXPECT_EQ(Write(back, false, false), tool);
    FreeSketch(back);
}

// The handheld form holds classes up to 11: a free arc (class 12) on a page saved in it
// is left out with warning 10, and what depends on it goes with it.
TEST_F(SketchIoTest, HandheldFormLeavesOutClassesItCannotHold) {
    SketchObject* p = PointAt(10, 10);
    const ObjectTemplate arcTemplate = { kTypeFree, 0, 0, kClassArc, 1, kKindArc, 0 };
    SketchObject* arc = ConstructObjectEx(&arcTemplate, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_TRUE(p && arc);
    ClassData<ArcData>(arc)->radius = 20;
    ClassData<ArcData>(arc)->endAngle = 1.5;
    ClassData<ArcData>(arc)->orientation = 1;
    RecomputeObject(arc, nullptr, true);
    ASSERT_NE(Build(kTypePointOnPath, { arc }, nullptr, Reals(0.5, 0.0)), nullptr);
    SketchObject* q = PointAt(30, 10);
    ASSERT_NE(q, nullptr);
    std::vector<uint8_t> bytes = Write(sketch, true, true, kResultObjectDropped);
    // The header counts the two points stored; nothing of the arc is left.
    EXPECT_EQ(GetLE32(bytes.data() + Find(bytes, kTagPageHeader) + 8 + 24), 2u);
    EXPECT_EQ(Find(bytes, kTagObjectHeader, 2), std::string::npos);
    EXPECT_EQ(Find(bytes, uint32_t(kTagGeometryBase) + kClassArc), std::string::npos);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 1, 1 }), kResultOK);
    EXPECT_EQ(Order(back).size(), 2u);
    FreeSketch(back);
}

// The bytes without the nth record of a tag.
std::vector<uint8_t> WithoutRecord(std::vector<uint8_t> bytes, uint32_t tag, size_t nth = 0) {
    size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8 + GetLE32(bytes.data() + at))
        if (GetLE32(bytes.data() + at + 4) == tag && nth-- == 0) break;
    EXPECT_LT(at, bytes.size());
    bytes.erase(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + 8 + GetLE32(bytes.data() + at)));
    return bytes;
}

TEST_F(SketchIoTest, PointOnAPathWithoutItsParameterBlock) {
    SketchObject* centre = FreePoint();
    SketchObject* rim = FreePoint();
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, rim });
    ASSERT_NE(Build(kTypePointOnPath, { circle }, nullptr, Reals(1.0, 0.0)), nullptr);
    // On a page it would stand off its path: the page is damaged.
    const std::vector<uint8_t> page = WithoutRecord(Write(sketch, true, false), kTagConstructionData);
    SaveFuzzSeed("sketch_body_fuzz", "point_on_path_without_block", page);
    Sketch* back = nullptr;
    EXPECT_EQ(Read(page, &back, FormatInfo{ 1, 4, 4 }), kResultDamaged);
    EXPECT_EQ(back, nullptr);
    // A tool's steps carry none: playback computes it.
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, centre));
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, rim));
    const std::vector<uint8_t> tool = WithoutRecord(Write(sketch, false, false), kTagConstructionData);
    ASSERT_EQ(Read(tool, &back, FormatInfo{ 2, 4, 4 }), kResultOK);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Order(back).back()->constructionType, kTypePointOnPath);
    EXPECT_EQ(Order(back).back()->constructionData, 0);
    FreeSketch(back);
}

// A free polygon has no vertices but those of its geometry record: read without it, it
// would be written back as a record no reader takes, so the page is damaged.
TEST_F(SketchIoTest, FreePolygonWithoutItsGeometryRecord) {
    uint32_t three = 3;
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPolygonInterior, 1, kKindPolygonInterior, 0 };
    ASSERT_NE(ConstructObjectEx(&t, &three, 0, 0, nullptr, nullptr, false), nullptr);
    const std::vector<uint8_t> page =
        WithoutRecord(Write(sketch, true, false), uint32_t(kTagGeometryBase) + kClassPolygonInterior);
    Sketch* back = nullptr;
    EXPECT_EQ(Read(page, &back, FormatInfo{ 1, 4, 4 }), kResultDamaged);
    EXPECT_EQ(back, nullptr);
}

// A picture record behind an object that is not a picture is passed over with warning 4;
// the object is kept and no picture data is read into it.
TEST_F(SketchIoTest, PictureRecordBehindAnotherObject) {
    FreePoint();
    const std::vector<uint8_t> page =
        WithRecord(Write(sketch, true, false), kTagObjectEnd, 0, 8002, std::vector<uint8_t>(48, 0x5A));
    Sketch* back = nullptr;
    EXPECT_EQ(Read(page, &back, FormatInfo{ 1, 4, 4 }), kResultLongerRecord);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Order(back).size(), 1u);
    FreeSketch(back);
}

// Tool bodies of this format stored value givens as free points of a value kind: they
// read as calculations, and every value given takes expression form 3.
TEST_F(SketchIoTest, ValueGivensOfToolBodies) {
    SketchObject* point = FreePoint();
    SketchObject* value = FreePoint();
    value->objectKind = kKindCalculation;
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, point));
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, value));
    const std::vector<uint8_t> tool = Write(sketch, false, false);
    SaveFuzzSeed("sketch_body_fuzz", "value_given", tool);
    ASSERT_NE(Find(tool, uint32_t(kTagGeometryBase) + kClassPoint, 1), std::string::npos);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(tool, &back, FormatInfo{ 2, 4, 4 }), kResultOK);
    std::vector<SketchObject*> order = Order(back);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0]->objectClass, kClassPoint);
    EXPECT_EQ(order[1]->objectClass, kClassCalculation);
    EXPECT_EQ(order[1]->objectKind, kKindCalculation);
    ASSERT_NE(CalculationDataOf(order[1]), nullptr);
    EXPECT_EQ(CalculationDataOf(order[1])->form, 3);
    // Written again, the value given is a calculation without an expression: it reads
    // back as one.
    const std::vector<uint8_t> again = Write(back, false, false);
    FreeSketch(back);
    ASSERT_EQ(Read(again, &back, FormatInfo{ 2, 4, 4 }), kResultOK);
    ASSERT_EQ(Order(back).size(), 2u);
    EXPECT_EQ(Order(back)[1]->objectClass, kClassCalculation);
    EXPECT_TRUE(Write(back, false, false) == again);
    FreeSketch(back);
    // On a page the same object is a point.
    ASSERT_EQ(Read(Write(sketch, true, false), &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    EXPECT_EQ(Order(back)[1]->objectClass, kClassPoint);
    FreeSketch(back);
}

TEST_F(SketchIoTest, LabelStatesAndLabelsAreKept) {
    BuildPage();
    const std::vector<uint8_t> good = Write(sketch, true, false);
    std::vector<uint8_t> label = { 3, 0, 1, 0, 0, 0, 4, 0, 5, 0, 0, 0, 0, 0 };
    label.resize(22, 0);
    label.insert(label.end(), { 1, 0, 'A', 0 });
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode rc;
    };
    const Case cases[] = {
        { "as written", good, kResultOK },
        { "label state of a class", WithRecord(good, kTagObjectHeader, 0, kTagLabelStateBase + 1, { 2, 0, 0, 0, 0, 0 }),
          kResultOK },
        { "label state of sequence 18", WithRecord(good, kTagObjectHeader, 0, kTagLabelSequence18, { 1, 0, 1, 0, 0, 0 }),
          kResultOK },
        // Before the first point's geometry: its label block.
        { "object label", WithRecord(good, uint32_t(kTagGeometryBase) + kClassPoint, 0, kTagLabel, label), kResultOK },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sketch* back = nullptr;
        EXPECT_EQ(Read(c.bytes, &back, FormatInfo{ 1, 4, 4 }), c.rc);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(Order(back).size(), 5u);
        FreeSketch(back);
    }
    Sketch* back = nullptr;
    ASSERT_EQ(Read(cases[1].bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    EXPECT_EQ(back->labelSequences[1].position, 2);
    EXPECT_EQ(back->labelSequences[1].number, 1);
    FreeSketch(back);
    ASSERT_EQ(Read(cases[3].bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    EXPECT_EQ(back->firstObject->label.shown, 1);
    EXPECT_EQ(back->firstObject->label.offsetX, 4);
    FreeSketch(back);
}

// A page keeps its own settings as preference records, written before its objects.
TEST_F(SketchIoTest, PageSettingsSurviveARoundTrip) {
    BuildPage();
    SketchSettings& s = sketch->settings;
    s.labelMeasuredObjects = 0;
    s.labelNewPoints = 1;
    s.captionTextPalette = 0;
    for (int32_t i = 0; i < kColorSlotCount; ++i) s.palette[i] = 0x010203u * uint32_t(i + 1);
    s.traceFade = 9;
    s.autoUpdateColors = 0;
    s.precision[0] = 0, s.precision[1] = 4, s.precision[2] = 5;
    s.angleUnit = 0;
    const std::vector<uint8_t> bytes = Write(sketch, true, false);
    SaveFuzzSeed("sketch_body_fuzz", "page_settings", bytes);
    const size_t first = Find(bytes, kTagPreferenceFirst + 1);
    ASSERT_NE(first, std::string::npos);
    EXPECT_LT(first, Find(bytes, kTagObjectHeader));
    EXPECT_EQ(Find(Write(sketch, false, false), kTagPreferenceFirst + 1), std::string::npos);

    // A record of a later version inside the range is passed over.
    for (const std::vector<uint8_t>& stored : { bytes, WithRecord(bytes, kTagObjectHeader, 0, 15000, { 7, 0 }) }) {
        Sketch* back = nullptr;
        ASSERT_EQ(Read(stored, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
        EXPECT_EQ(std::memcmp(&back->settings, &s, sizeof s), 0);
        FreeSketch(back);
    }
}

TEST_F(SketchIoTest, StoredParentsMustSuitTheirConstruction) {
    BuildPage();
    const std::vector<uint8_t> good = Write(sketch, true, false);
    struct Case { const char* name; size_t nth; uint32_t count; uint32_t first; };
    const Case cases[] = {
        { "midpoint of a point", 1, 1, 1 },      // the midpoint's parent must be a straight object
        { "midpoint of nothing", 1, 0, 0 },
        { "segment from a point to itself", 0, 2, 1 },
        { "segment of one point", 0, 1, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        size_t at = Find(bytes, kTagParents, c.nth);
        ASSERT_NE(at, std::string::npos);
        PutLE32(bytes.data() + at + 8, c.count);
        if (c.count) PutLE32(bytes.data() + at + 12, c.first);
        if (std::string(c.name) == "segment from a point to itself") PutLE32(bytes.data() + at + 16, c.first);
        Sketch* back = nullptr;
        EXPECT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultDamaged);
        EXPECT_EQ(back, nullptr);
        if (back) FreeSketch(back);
        SaveFuzzSeed("sketch_body_fuzz", std::string("real_bad_parents_") + std::to_string(&c - cases), bytes);
    }
}

// The answers of the kind checks are kept per page by construction type, count and the
// parents' kinds: a second midpoint whose parent is a point is refused after a first
// whose parent is a segment was taken.
TEST_F(SketchIoTest, KeptParentKindAnswersFollowTheParentsKinds) {
    SketchObject* p = FreePoint();
    SketchObject* q = PointAt(40, 0);
    SketchObject* pq = Build(kTypeSegment, { p, q });
    ASSERT_NE(Build(kTypeMidpoint, { pq }), nullptr);
    SketchObject* qr = Build(kTypeSegment, { q, PointAt(40, 30) });
    ASSERT_NE(Build(kTypeMidpoint, { qr }), nullptr);
    const std::vector<uint8_t> good = Write(sketch, true, false);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(good, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    FreeSketch(back);
    std::vector<uint8_t> bytes = good;
    const size_t at = Find(bytes, kTagParents, 3);  // the second midpoint's
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(GetLE32(bytes.data() + at + 8), 1u);
    PutLE32(bytes.data() + at + 12, 1);
    back = nullptr;
    EXPECT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultDamaged);
    EXPECT_EQ(back, nullptr);
    if (back) FreeSketch(back);
}

TEST_F(SketchIoTest, FailedReadsLeaveNothingBehind) {
    BuildPage();
    const std::vector<uint8_t> good = Write(sketch, true, false);
    for (uint32_t n = 1; n < 60; ++n) {
        SCOPED_TRACE(n);
        Sketch* back = nullptr;
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStreamCopy(good.data(), uint32_t(good.size()), &h), kResultOK);
        SetAllocFailureAfter(n);
        ResultCode rc = ReadSketch(h, &back, nullptr, FormatInfo{ 1, 4, 4 });
        SetAllocFailureAfter(0);
        DiscardStream(h);
        EXPECT_TRUE(rc == kResultOK || rc == kResultOutOfMemory) << rc;
        EXPECT_EQ(back != nullptr, rc == kResultOK);
        if (back) FreeSketch(back);
    }
}

// Every geometry routine of the class table, and the object header, on a free object of
// each class: measure equals written, write-read-write gives the same bytes, swapping
// twice restores.
TEST_F(SketchIoTest, EveryClassGeometryCodecRoundTrips) {
    for (int32_t c = 0; c < kClassCount; ++c) {
        SCOPED_TRACE(c);
        // Polygons keep their vertices in arrays of their own, and their saved copies
        // are vertex blocks, not object layouts: their codec is tested with polygons.
        if (c == kClassPolygonInterior) continue;
        const ObjectClassRecord& row = ObjectClassTable[c];
        const ObjectTemplate t = { kTypeFree, 0, 0, c, 1, kKindObject, 0x123456 };
        SketchObject* object = AllocObject(c, &t);
        SketchObject* blank = AllocObject(c, &t);
        ASSERT_TRUE(object && blank);
        // Recognisable values wherever a block of reals might be kept.
        auto* data = reinterpret_cast<double*>(reinterpret_cast<char*>(object) + sizeof(SketchObject));
        const uint32_t reals = (row.objectSize - uint32_t(sizeof(SketchObject))) / 8;
        for (uint32_t i = 0; i < reals && i < 16; ++i) data[i] = 1.25 * (i + 1);
        object->bounds = { 10, 20, 110, 70 };
        for (FormatInfo f : { FormatInfo{ 1, 4, 4 }, FormatInfo{ 1, 1, 1 } }) {
            if (row.transferGeometry) ExpectCodecRoundTrip(row.transferGeometry, object, blank, row.objectSize, f);
        }
        ExpectCodecRoundTrip(TransferObjectHeader, object, blank, sizeof(ObjectTemplate), FormatInfo{ 1, 4, 4 });
        FreeMemory(object);
        FreeMemory(blank);
    }
}

ResultCode TransferFixedTranslation(TransferContext* context) { return TransferConstructionData(context); }

TEST_F(SketchIoTest, EveryTransformationWithFixedValuesKeepsThemInItsRecord) {
    SketchObject* image = FreePoint();
    ASSERT_NE(image, nullptr);
    for (int32_t type = 20; type <= 38; ++type) {
        SCOPED_TRACE(type);
        const TransformOpRecord& row = TransformOpTable[ConstructionTypeTable[type].transformOp];
        image->constructionType = type;
        FreePtrList(&image->constructionData);
        if (row.fixedWords) {
            const int32_t items = int32_t(4 * row.fixedWords / sizeof(void*));
            ASSERT_TRUE(AllocPtrList(items, items, &image->constructionData));
            std::memset(PtrListData(image->constructionData), 0, 4 * row.fixedWords);
        }
        const uint32_t measured = MeasureCodecRecord(TransferConstructionData, image, FormatInfo{ 1, 4, 4 });
        EXPECT_EQ(measured, row.fixedWords ? 4 + 4u * row.fixedWords : 0u);
    }
    FreePtrList(&image->constructionData);
}

TEST_F(SketchIoTest, FixedValuesOfATranslationInBothForms) {
    SketchObject* image = FreePoint();
    ASSERT_NE(image, nullptr);
    image->constructionType = 21;  // translation by a fixed horizontal and vertical
    sketch->settings.distanceUnit = 0;
    const double words[6] = { 50.0, 50.0, 0.0, -20.0, -20.0, 0.0 };  // two length entries
    uint8_t block[48] = {};
    std::memcpy(block, words, 16);
    std::memcpy(block + 24, words + 3, 16);
    int32_t items = int32_t(48 / sizeof(void*));
    ASSERT_TRUE(AllocPtrList(items, items, &image->constructionData));
    std::memcpy(PtrListData(image->constructionData), block, 48);

    for (FormatInfo f : { FormatInfo{ 1, 4, 4 }, FormatInfo{ 1, 1, 1 } }) {
        SCOPED_TRACE(f.formatVersion);
        uint32_t measured = MeasureCodecRecord(TransferFixedTranslation, image, f);
        EXPECT_EQ(measured, f.formatVersion == 1 ? 20u : 52u);
        std::vector<uint8_t> record(measured);
        TransferContext c;
        BeginWriteContext(&c, record.data(), measured, image, f);
        ASSERT_EQ(TransferFixedTranslation(&c), kResultOK);
        EXPECT_EQ(f.formatVersion == 1 ? record[0] : GetLE16(record.data()), 17);

        SketchObject* copy = FreePoint();
        copy->constructionType = 21;
        ASSERT_EQ(ReadCodecRecord(TransferFixedTranslation, copy, record.data(), measured, f), kResultOK);
        double back[6];
        std::memcpy(back, PtrListData(copy->constructionData), 16);
        std::memcpy(back + 3, reinterpret_cast<uint8_t*>(PtrListData(copy->constructionData)) + 24, 16);
        EXPECT_DOUBLE_EQ(back[0], 50.0);
        EXPECT_DOUBLE_EQ(back[3], -20.0);  // the compact form stores it negated and back
        EXPECT_DOUBLE_EQ(back[4], -20.0);

        // An unknown construction code leaves the object out.
        if (f.formatVersion == 1) record[0] = 250;
        else PutLE16(record.data(), 999);
        EXPECT_EQ(ReadCodecRecord(TransferFixedTranslation, copy, record.data(), measured, f), kResultSkippedObject);
    }
}

ResultCode TransferTwoReals(TransferContext* context) { return TransferCountedBlock(context, 16, 16, 0, ConvertRealFields); }
ResultCode TransferTwoRealsWithKind(TransferContext* context) {
    return TransferCountedBlock(context, 16, 16, 1, ConvertRealFields);
}

TEST_F(SketchIoTest, CountedAndRawBlocks) {
    SketchObject* p = FreePoint();
    ASSERT_NE(p, nullptr);
    p->constructionType = 71;  // plotted point by fixed values: two reals
    p->constructionData = Reals(3.5, -2.0);
    std::vector<uint8_t> bytes(MeasureCodecRecord(TransferTwoReals, p, FormatInfo{ 1, 4, 4 }));
    ASSERT_EQ(bytes.size(), 20u);
    TransferContext c;
    BeginWriteContext(&c, bytes.data(), 20, p, FormatInfo{ 1, 4, 4 });
    ASSERT_EQ(TransferTwoReals(&c), kResultOK);
    EXPECT_EQ(GetLE16(bytes.data()), ConstructionTypeTable[71].storedCode);
    EXPECT_EQ(GetLEReal(bytes.data() + 12), -2.0);

    SketchObject* q = FreePoint();
    q->constructionType = 71;
    ASSERT_EQ(ReadCodecRecord(TransferTwoReals, q, bytes.data(), 20, FormatInfo{ 1, 4, 4 }), kResultOK);
    double back[2];
    std::memcpy(back, PtrListData(q->constructionData), 16);
    EXPECT_EQ(back[0], 3.5);
    EXPECT_EQ(back[1], -2.0);
    EXPECT_EQ(ReadCodecRecord(TransferTwoReals, q, bytes.data(), 12, FormatInfo{ 1, 4, 4 }), kResultShorterRecord);
    std::memcpy(back, PtrListData(q->constructionData), 16);
    EXPECT_EQ(back[1], 0.0);
    std::vector<uint8_t> longer = bytes;
    longer.resize(28, 0);
    EXPECT_EQ(ReadCodecRecord(TransferTwoReals, q, longer.data(), 28, FormatInfo{ 1, 4, 4 }), kResultRecordLong);
    PutLE16(bytes.data(), 999);
    EXPECT_EQ(ReadCodecRecord(TransferTwoReals, q, bytes.data(), 20, FormatInfo{ 1, 4, 4 }), kResultSkippedObject);
    // With the first parent's kind in the code word; an unknown kind leaves the object out.
    std::vector<uint8_t> kinds(20);
    BeginWriteContext(&c, kinds.data(), 20, p, FormatInfo{ 1, 4, 4 });
    ASSERT_EQ(TransferTwoRealsWithKind(&c), kResultOK);
    PutLE16(kinds.data() + 2, 999);
    EXPECT_EQ(ReadCodecRecord(TransferTwoRealsWithKind, q, kinds.data(), 20, FormatInfo{ 1, 4, 4 }), kResultSkippedObject);

    // Raw words, one in each list item.
    FreePtrList(&p->constructionData);
    for (uintptr_t w : { uintptr_t(1), uintptr_t(2), uintptr_t(0xDEADBEEF) })
        ASSERT_TRUE(PtrListAppend(&p->constructionData, reinterpret_cast<void*>(w)));
    std::vector<uint8_t> raw(MeasureCodecRecord(TransferRawBlock, p, FormatInfo{ 1, 4, 4 }));
    ASSERT_EQ(raw.size(), 16u);
    BeginWriteContext(&c, raw.data(), 16, p, FormatInfo{ 1, 4, 4 });
    ASSERT_EQ(TransferRawBlock(&c), kResultOK);
    EXPECT_EQ(GetLE32(raw.data() + 12), 0xDEADBEEFu);
    ASSERT_EQ(ReadCodecRecord(TransferRawBlock, q, raw.data(), 16, FormatInfo{ 1, 4, 4 }), kResultOK);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(PtrListItem(q->constructionData, 2)), uintptr_t(0xDEADBEEF));
    EXPECT_EQ(ReadCodecRecord(TransferRawBlock, q, raw.data(), 3, FormatInfo{ 1, 4, 4 }), kResultDamaged);
    PtrList pl = p->constructionData, ql = q->constructionData;
    ASSERT_EQ(SwapCodecFields(TransferRawBlock, p, q), kResultOK);
    EXPECT_EQ(p->constructionData, ql);
    ASSERT_EQ(SwapCodecFields(TransferRawBlock, p, q), kResultOK);
    EXPECT_EQ(p->constructionData, pl);
}

}  // namespace

namespace {

// A picture keeps its sizes (record 2316) and its image (record 8002) through a page.
TEST_F(SketchIoTest, PictureSizesAndImageRoundTrip) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPicture, 1, kKindPicture, 0 };
    SketchObject* picture = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(picture, nullptr);
    picture->bounds = { 10, 20, 10, 20 };
    SetClipboardPicture(MakeTestDib(7, -5));
    PictureHandles handles{};
    ASSERT_TRUE(GetPictureFromClipboard(&handles));
    AttachPictureHandles(picture, &handles);
    SetClipboardPicture(GlobalBlock());
    picture->bounds.right = 90;  // resized: the natural size stays
    SyncPictureSize(picture);
    const std::vector<uint8_t> bytes = Write(sketch, true, false);
    EXPECT_NE(Find(bytes, kTagPictureDib), std::string::npos);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    SketchObject* read = back->firstObject;
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->objectClass, kClassPicture);
    const PictureData* d = PictureDataOf(read);
    EXPECT_EQ(d->width, 80);
    EXPECT_EQ(d->height, 5);
    EXPECT_EQ(d->naturalWidth, 7);
    EXPECT_EQ(d->naturalHeight, 5);
    ASSERT_NE(PictureDib(read), nullptr);
    EXPECT_EQ(PictureDib(read)->Size(), PictureDib(picture)->Size());
    FreeSketch(back);
    SetCurrentSketch(sketch, nullptr);
}

}  // namespace

namespace {

std::string PlainText(SketchObject* o) { return WriteLayout(CaptionDataOf(o)->layout, kWritePlainText); }

}  // namespace

// Merged and pegged texts find their references again when read: the records follow the
// parents read with them, and the first refresh shows the parts.
TEST_F(SketchIoTest, MergedAndPeggedTextsReadBackLive) {
    SketchObject* p = PointAt(40, 50);
    SketchObject* c = FreeCaption(10, 10);
    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<T'Name'>>", nullptr), kLayoutParseOK);
    CaptionInit init{ tree, CaptionDataOf(c)->style, 10, 10 };
    ASSERT_TRUE(SetObjectTextLayout(c, &init));
    RecomputeObject(c, nullptr, true);
    DeselectAll();
    SelectSketchObject(c);
    SelectSketchObject(p);
    ASSERT_EQ(MergeTextCommand(1), kResultOK);
    DeselectAll();
    SelectSketchObject(c);
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    std::vector<SketchObject*> order = Order(sketch);
    ASSERT_EQ(order.size(), 4u);
    const std::string pegged = PlainText(order[2]);
    const std::string merged = PlainText(order[3]);
    EXPECT_EQ(pegged, "Name");
    EXPECT_EQ(merged, "Name");
    std::vector<uint8_t> bytes = Write(sketch, true, false);
    SaveFuzzSeed("sketch_body_fuzz", "merged_texts", bytes);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    order = Order(back);
    ASSERT_EQ(order.size(), 4u);
    RecomputeSketch(false);
    EXPECT_EQ(order[2]->constructionType, kTypePeggedText);
    EXPECT_EQ(order[3]->constructionType, kTypeMergedText);
    for (SketchObject* o : { order[2], order[3] }) {
        int32_t slots = 0;
        PtrListSize(CaptionDataOf(o)->valueSlots, &slots);
        EXPECT_EQ(slots, kSlotsPerReference);
        EXPECT_EQ(PtrListItem(CaptionDataOf(o)->valueSlots, 0), order[1]);
    }
    EXPECT_EQ(PlainText(order[2]), pegged);
    EXPECT_EQ(PlainText(order[3]), merged);
    SetCurrentSketch(before, nullptr);
    FreeSketch(back);
}

namespace {

// A coordinate system with its measurements reads back whole: the grid form from its
// record, the units from its axes, and the same bytes when written again.
TEST_F(SketchIoTest, ACoordinateSystemAndItsMeasurementsReadBack) {
    sketch->windowRect = { 0, 0, 200, 200 };
    sketch->settings.distanceUnit = kDistancePixels;
    SketchObject* system = CreateCoordSystem(0, 0, 0, kGridRectangular);
    ASSERT_NE(system, nullptr);
    SketchObject* p = PointAt(130, 60);
    ASSERT_NE(Build(53, { p, system }), nullptr);
    sketch->pageFlags = 1;
    const std::vector<uint8_t> bytes = Write(sketch, true, false);
    SaveFuzzSeed("sketch_body_fuzz", "coordinate_system_page", bytes);
    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    ASSERT_NE(back, nullptr);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    RecomputeSketch(false);
    SketchObject* read = nullptr;
    for (SketchObject* o : Order(back)) {
        if (o->objectClass == kClassCoordinateSystem) read = o;
    }
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(back->marks[20].object, read);
    EXPECT_EQ(CoordSystemOf(read)->gridForm, kGridRectangular);
    EXPECT_DOUBLE_EQ(CoordSystemOf(read)->unitX, 10);
    EXPECT_DOUBLE_EQ(CoordSystemOf(read)->unitY, 10);
    EXPECT_EQ(back->pageFlags, 1);
    SetCurrentSketch(before, nullptr);
    EXPECT_EQ(Write(back, true, false), bytes);
    FreeSketch(back);
}

// An iteration keeps its counts, depth, flags and seed (record 2314) through a page, and
// a stored map count that its parents cannot hold is refused.
TEST_F(SketchIoTest, IterationRoundTripsAndDisagreeingCountsAreRefused) {
    BuildPage();
    SketchObject* seeds[] = { a, mid };
    IterationBuild build{};
    build.entries = seeds;
    build.seedCount = 1;
    build.mapCount = 1;
    build.depth = 3;
    build.finalOnly = 1;
    build.preview = 1;
    SketchObject* iteration = BuildIteration(&build);
    ASSERT_NE(iteration, nullptr);
    RecomputeSketch(false);
    const IterationParameters stored = IterationDataOf(iteration)->parameters;
    const std::vector<uint8_t> bytes = Write(sketch, true, false);
    SaveFuzzSeed("sketch_body_fuzz", "iteration_page", bytes);
    const size_t at = Find(bytes, 2314);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(GetLE32(bytes.data() + at), 24u);
    // The geometry records target takes a subject byte (12: the iteration) before the payload.
    std::vector<uint8_t> record{ 12 };
    record.insert(record.end(), bytes.begin() + std::ptrdiff_t(at) + 8, bytes.begin() + std::ptrdiff_t(at) + 32);
    SaveFuzzSeed("geometry_records_fuzz", "iteration_record", record);

    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back, FormatInfo{ 1, 4, 4 }), kResultOK);
    SketchObject* read = nullptr;
    int32_t images = 0;
    for (SketchObject* o : Order(back)) {
        if (o->objectClass == kClassIteration) read = o;
        if (o->objectClass == kClassIteratedImage) ++images;
    }
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(images, 2);  // of the segment and of the midpoint
    const IterationParameters& p = IterationDataOf(read)->parameters;
    EXPECT_EQ(p.seedCount, stored.seedCount);
    EXPECT_EQ(p.mapCount, stored.mapCount);
    EXPECT_EQ(p.depth, 3);
    EXPECT_EQ(p.finalOnly, 1);
    EXPECT_EQ(p.seed, stored.seed);
    FreeSketch(back);
    SetCurrentSketch(sketch, nullptr);

    // 61,456 maps would wrap the image count; the parents hold one.
    std::vector<uint8_t> damaged = bytes;
    PutLE16(damaged.data() + at + 8 + 8, 61456);
    SaveFuzzSeed("sketch_body_fuzz", "iteration_counts_disagree", damaged);
    back = nullptr;
    EXPECT_EQ(Read(damaged, &back, FormatInfo{ 1, 4, 4 }), kResultDamaged);
    if (back) FreeSketch(back);
    SetCurrentSketch(sketch, nullptr);
}

}  // namespace
