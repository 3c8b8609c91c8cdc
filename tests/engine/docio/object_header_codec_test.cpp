#include "engine/docio/object_header_codec.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/object_tables.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/transfer_context.h"

namespace {

TransferContext ReadContext(uint8_t* record, int32_t length, ObjectTemplate* out, int32_t version = 4) {
    TransferContext c;
    BeginReadContext(&c, record, static_cast<uint32_t>(length), out, FormatInfo{ 1, version, version });
    return c;
}

TransferContext WriteContext(ObjectTemplate* in, uint8_t* record, int32_t version = 4) {
    TransferContext c;
    BeginWriteContext(&c, record, kObjectHeaderRecordSize, in, FormatInfo{ 1, version, version });
    return c;
}

struct Header { uint16_t code, hidden, traced, cls, kind, lineStyle; uint8_t r, g, b; };

void Encode(const Header& h, uint8_t* out) {
    const uint16_t words[6] = { h.code, h.hidden, h.traced, h.cls, h.kind, h.lineStyle };
    for (int i = 0; i < 6; ++i) {
        out[2 * i] = static_cast<uint8_t>(words[i]);
        out[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
    }
    out[12] = h.r; out[13] = h.g; out[14] = h.b; out[15] = 0;
}

}  // namespace

TEST(ObjectHeaderCodec, WritesAndReadsBack) {
    ObjectTemplate in = { 38, 1, 1, kClassStraight, 2, 14, 0x00332211 };  // reflection, code 34
    uint8_t record[20] = {};
    TransferContext w = WriteContext(&in, record);
    ASSERT_EQ(TransferObjectHeader(&w), kResultOK);
    EXPECT_EQ(w.destination.cursor, record + 16);
    EXPECT_EQ(record[0], 34);
    EXPECT_EQ(record[12], 0x11);
    EXPECT_EQ(record[14], 0x33);

    ObjectTemplate out{};
    TransferContext r = ReadContext(record, 16, &out);
    ASSERT_EQ(TransferObjectHeader(&r), kResultOK);
    EXPECT_EQ(0, memcmp(&in, &out, sizeof in));
}

TEST(ObjectHeaderCodec, MeasuresWhatItWrites) {
    ObjectTemplate in = { 0, 0, 0, kClassPoint, 1, 4, 0 };
    TransferContext m;
    BeginMeasureContext(&m, &in, kCurrentPageFormat);
    EXPECT_EQ(TransferObjectHeader(&m), kResultOK);
    EXPECT_EQ(m.destination.length, 16);
    BeginMeasureContext(&m, &in, FormatInfo{ 1, 1, 1 });
    TransferObjectHeader(&m);
    EXPECT_EQ(m.destination.length, 12);
}

TEST(ObjectHeaderCodec, SwapsWithTheSavedCopy) {
    ObjectTemplate object = { 1, 0, 0, kClassPoint, 1, 11, 0xff };
    ObjectTemplate saved = { 1, 1, 1, kClassPoint, 2, 11, 0x00 };
    TransferContext s;
    BeginSwapContext(&s, &object, &saved);
    EXPECT_EQ(TransferObjectHeader(&s), kResultOK);
    EXPECT_EQ(object.hidden, 1);
    EXPECT_EQ(object.lineStyle, 2);
    EXPECT_EQ(saved.color, 0xffu);
}

TEST(ObjectHeaderCodec, VersionOneTakesTheColourOfTheClassSlot) {
    Sketch* sketch = CreateSketch(0, nullptr);
    ASSERT_NE(sketch, nullptr);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    sketch->settings.palette[ObjectClassTable[kClassCircle].colorSlot] = 0x00abcdef;
    uint8_t record[16];
    Encode({ 3, 0, 0, 3, 22, 1, 0x11, 0x22, 0x33 }, record);  // a circle, no colour bytes
    ObjectTemplate out{};
    TransferContext r = ReadContext(record, 12, &out, kHandheldFormatVersion);
    EXPECT_EQ(TransferObjectHeader(&r), kResultOK);
    EXPECT_EQ(out.color, 0x00abcdefu);
    SetCurrentSketch(previous, nullptr);
    FreeSketch(sketch);
}

TEST(ObjectHeaderCodec, ReadingCases) {
    struct Case { const char* what; Header h; int32_t length; ResultCode code; int32_t type, kind, hidden, lineStyle; };
    const Case cases[] = {
        { "table kind from its type", { 92, 0, 0, 17, 84, 0, 0, 0, 0 }, 16, 0, 92, 67, 0, 0 },
        { "table kind, unknown type", { 93, 0, 0, 17, 84, 0, 0, 0, 0 }, 16, 9, 0, 0, 0, 0 },
        { "unknown class",            { 1, 0, 0, 18, 11, 0, 0, 0, 0 }, 16, 9, 0, 0, 0, 0 },
        { "hidden clamped",           { 1, 7, 0, 1, 11, 1, 0, 0, 0 }, 16, 4, 1, 11, 1, 1 },
        { "line style clamped",       { 1, 4, 0, 1, 11, 3, 0, 0, 0 }, 16, 4, 1, 11, 4, 1 },
        { "longer record",            { 1, 0, 0, 1, 11, 2, 0, 0, 0 }, 18, 4, 1, 11, 0, 2 },
        { "too short",                { 1, 0, 0, 1, 11, 2, 0, 0, 0 }, 11, 35, 0, 0, 0, 0 },
        { "stored code maps",         { 35, 0, 0, 6, 42, 1, 0, 0, 0 }, 16, 0, 39, 37, 0, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint8_t record[20] = {};
        Encode(c.h, record);
        ObjectTemplate out{};
        TransferContext r = ReadContext(record, c.length, &out);
        EXPECT_EQ(TransferObjectHeader(&r), c.code);
        if (c.code == 9 || c.code == 35) continue;
        EXPECT_EQ(out.constructionType, c.type);
        EXPECT_EQ(out.objectKind, c.kind);
        EXPECT_EQ(out.hidden, c.hidden);
        EXPECT_EQ(out.lineStyle, c.lineStyle);
    }
}

TEST(ObjectHeaderCodec, HandheldFormRefusesAndClamps) {
    uint8_t record[16];
    memset(record, 0xee, sizeof record);
    ObjectTemplate button = { kTypeActionButton, 0, 0, kClassActionButton, 0, 20, 0 };  // code 62
    TransferContext w = WriteContext(&button, record, kHandheldFormatVersion);
    EXPECT_EQ(TransferObjectHeader(&w), kResultOK);

    ObjectTemplate derivative = { kTypeDerivative, 0, 0, kClassCalculation, 0, 59, 0 };  // code 78
    w = WriteContext(&derivative, record, kHandheldFormatVersion);
    memset(record, 0xee, sizeof record);
    EXPECT_EQ(TransferObjectHeader(&w), kResultCannotStore);
    EXPECT_EQ(w.destination.cursor, record);  // nothing written, nothing advanced
    EXPECT_EQ(record[0], 0xee);

    ObjectTemplate table = { 91, 0, 0, kClassTable, 0, 66, 0 };  // class code 17
    w = WriteContext(&table, record, kHandheldFormatVersion);
    EXPECT_EQ(TransferObjectHeader(&w), kResultCannotStore);

    ObjectTemplate odd = { kTypeSegment, 0, 6, kClassStraight, 5, 14, 0x123456 };
    memset(record, 0xee, sizeof record);
    w = WriteContext(&odd, record, kHandheldFormatVersion);
    EXPECT_EQ(TransferObjectHeader(&w), 5);
    EXPECT_EQ(record[2], 1);   // hidden written as 1
    EXPECT_EQ(record[10], 1);  // line style written as 1
    EXPECT_EQ(record[12], 0xee);  // no colour in the handheld form

    ObjectTemplate nowhere = { 94, 0, 0, kClassPoint, 0, 4, 0 };
    w = WriteContext(&nowhere, record);
    EXPECT_EQ(TransferObjectHeader(&w), kResultCannotStore);
}

TEST(ObjectHeaderCodec, RectGeometryRoundTrip) {
    SketchObject caption{};
    caption.objectClass = kClassCaption;
    caption.bounds = { -5, 10, 300, -30000 };
    EXPECT_EQ(GeometryRecordSize(&caption), 8);
    uint8_t record[8];
    TransferContext w;
    BeginWriteContext(&w, record, sizeof record, &caption, kCurrentPageFormat);
    ASSERT_EQ(TransferRectGeometry(&w), kResultOK);
    SketchObject copy{};
    TransferContext r;
    BeginReadContext(&r, record, 8, &copy, kCurrentPageFormat);
    ASSERT_EQ(TransferRectGeometry(&r), kResultOK);
    EXPECT_EQ(copy.bounds.left, -5);
    EXPECT_EQ(copy.bounds.bottom, -30000);
    BeginReadContext(&r, record, 6, &copy, kCurrentPageFormat);
    EXPECT_EQ(TransferRectGeometry(&r), 35);
}

TEST(ObjectHeaderCodec, TransformRectMovesByTheMappedCentre) {
    SketchObject source{}, target{};
    source.bounds = { 0, 0, 10, 20 };        // centre (5, 10)
    target.bounds = { 100, 100, 110, 120 };  // centre (105, 110)
    TransformMap shift{};
    shift.dx = 29990.4;
    shift.dy = -0.6;
    TransformRectGeometry(&source, &target, &shift, TranslatePoints);
    // Mapped centre (29995.4, 9.4): the target moves by (29890, -101), clamped.
    EXPECT_EQ(target.bounds.left, 29990);
    EXPECT_EQ(target.bounds.right, 30000);
    EXPECT_EQ(target.bounds.top, -1);
    EXPECT_EQ(target.bounds.bottom, 19);
}

// The reader decodes headers without a transfer context; it must answer as the codec
// does, field for field, for every length and form.
TEST(ObjectHeaderCodec, DirectDecodingAnswersAsTheCodec) {
    struct Case { Header h; uint32_t length; int32_t version; };
    const Case cases[] = {
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 16, 4 },
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 12, 4 },   // shorter: colour from the sketch
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 14, 4 },
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 20, 4 },   // longer
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 11, 4 },   // damaged
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 16, 1 },   // handheld takes 12
        { { 34, 1, 1, 2, 14, 2, 0x11, 0x22, 0x33 }, 12, 1 },
        { { 34, 9, 1, 2, 14, 7, 0x11, 0x22, 0x33 }, 16, 4 },   // clamped hidden and line style
        { { 0xfff0, 0, 0, 1, 4, 1, 0, 0, 0 }, 16, 4 },         // no such type: skipped
        { { 0, 0, 0, 1, 0xfff0, 1, 0, 0, 0 }, 16, 4 },         // no such kind
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h.code << " " << c.length << " v" << c.version);
        uint8_t record[20] = {};
        Encode(c.h, record);
        ObjectTemplate byCodec{}, direct{};
        std::memset(&byCodec, 0x5a, sizeof byCodec);
        std::memset(&direct, 0x5a, sizeof direct);
        TransferContext r = ReadContext(record, int32_t(c.length), &byCodec, c.version);
        EXPECT_EQ(DecodeObjectHeader(record, c.length, c.version, &direct), TransferObjectHeader(&r));
        EXPECT_EQ(0, memcmp(&byCodec, &direct, sizeof direct));
    }
}
