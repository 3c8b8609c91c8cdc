// Record 2311 of calculations, parameters and functions: its full and compact forms, the
// headers of other lengths and damaged sub-records, and a page saved and read again.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "codec_checks.h"
#include "engine/calc/edit_record.h"
#include "seed_files.h"
#include "stream_bytes.h"
#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"

namespace {

constexpr FormatInfo kHandheld{ 1, 1, 1 };
constexpr ExpressionToken kPlus = kClassOperator | kOpAdd;
constexpr ExpressionToken kTimes = kClassOperator | kOpMultiply;
constexpr ExpressionToken kNeg = kClassOperator | kOpNegate;

class CalculationRecordTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
    }

    SketchObject* Make(int32_t type, std::vector<ExpressionToken> tokens, std::initializer_list<SketchObject*> parents) {
        CalculationEditRecord r = EditRecord(kFormCalculation, tokens);
        SketchObject* o = nullptr;
        if (type == kTypeFree) {
            const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainCalculation, 0 };
            o = ConstructObjectEx(&t, &r, 0, 0, nullptr, nullptr, false);
        } else {
            o = ConstructObject(type, &r, List(parents), 0, true, false, nullptr);
        }
        ReleaseCalculationEditRecord(&r);
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    }

    static ResultCode Read(SketchObject* o, const std::vector<uint8_t>& bytes, const FormatInfo& f) {
        return ReadCodecRecord(TransferCalculationData, o, bytes.data(), uint32_t(bytes.size()), f);
    }

    // The value display's part of the object's record, then a sub-record 2311 with the
    // given header and tokens.
    static std::vector<uint8_t> Record(SketchObject* o, std::vector<uint8_t> header, uint32_t count,
                                       std::vector<ExpressionToken> tokens, int32_t claimedTotal = -1) {
        std::vector<uint8_t> bytes = WriteThroughCodec(TransferMeasurementData, o, kCurrentPageFormat);
        const uint32_t total = uint32_t(12 + header.size() + 2 * tokens.size());
        std::vector<uint8_t> head(12);
        PutLE32(head.data(), 2311);
        PutLE32(head.data() + 4, claimedTotal >= 0 ? uint32_t(claimedTotal) : total);
        PutLE32(head.data() + 8, uint32_t(header.size()));
        if (header.size() >= 4) {
            PutLE16(header.data(), uint16_t(count));
        }
        bytes.insert(bytes.end(), head.begin(), head.end());
        bytes.insert(bytes.end(), header.begin(), header.end());
        for (ExpressionToken t : tokens) {
            bytes.push_back(uint8_t(t));
            bytes.push_back(uint8_t(t >> 8));
        }
        return bytes;
    }

    static std::vector<uint8_t> Header(uint32_t length, uint16_t form, double step, double min, double max,
                                       double rate, double seconds, uint16_t flags = 2) {
        std::vector<uint8_t> h(length, 0);
        if (length >= 4) PutLE16(h.data() + 2, form);
        if (length >= 48) {
            PutLE16(h.data() + 4, flags);
            PutLEReal(h.data() + 8, step);
            PutLEReal(h.data() + 16, min);
            PutLEReal(h.data() + 24, max);
            PutLEReal(h.data() + 32, rate);
            PutLEReal(h.data() + 40, seconds);
        }
        return h;
    }
};

TEST_F(CalculationRecordTest, RecordsMeasureAndRoundTripInBothForms) {
    SketchObject* c = Make(kTypeFree, {2, kPlus, 3, kTimes, 4}, {});
    ASSERT_NE(c, nullptr);
    EXPECT_DOUBLE_EQ(CalculationValue(c), 14);
    for (const FormatInfo& f : { kCurrentPageFormat, kHandheld }) {
        const bool handheld = f.formatVersion == 1;
        SCOPED_TRACE(handheld);
        const uint32_t valuePart = MeasureCodecRecord(TransferMeasurementData, c, f);
        std::vector<uint8_t> bytes = WriteThroughCodec(TransferCalculationData, c, f);
        EXPECT_EQ(bytes.size(), valuePart + (handheld ? 14u : 70u));
        SaveFuzzSeed("text_records_fuzz", handheld ? "calculation_handheld" : "calculation", bytes);
        SketchObject* back = Make(kTypeFree, {0}, {});
        ASSERT_EQ(Read(back, bytes, f), kResultOK);
        ASSERT_EQ(FinishReadCalculation(back, false), kResultOK);
        RecomputeObject(back, nullptr, true);
        EXPECT_DOUBLE_EQ(CalculationValue(back), 14);
        EXPECT_EQ(WriteThroughCodec(TransferCalculationData, back, f), bytes);
    }
    // Measured for a creation record: the record's own size on every host.
    TransferContext context;
    BeginMeasureContext(&context, c, kCurrentPageFormat);
    context.destination.kind = kSideObject;
    EXPECT_EQ(TransferCalculationData(&context), kResultOK);
    EXPECT_EQ(context.destination.length, 112);
}

TEST_F(CalculationRecordTest, HeadersOfOtherLengthsAndDamage) {
    SketchObject* p = Make(kTypeFree, {7}, {});
    ASSERT_NE(p, nullptr);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode rc;
        double step, min, max, seconds;  // as read, before any defaults
    };
    const std::vector<ExpressionToken> five = {5};
    const Case cases[] = {
        { "full", Record(p, Header(48, 4, 2, -5, 5, 1, 2), 1, five), kResultOK, 2, -5, 5, 2 },
        // A shorter header keeps count and form; the settings are unset.
        { "40-byte header", Record(p, Header(40, 4, 0, 0, 0, 0, 0), 1, five), kResultOK, 0, 0, 0, 0 },
        { "longer header", Record(p, Header(56, 4, 2, -5, 5, 1, 2), 1, five), kResultShorterRecord, 2, -5, 5, 2 },
        { "2-byte header", Record(p, Header(2, 4, 0, 0, 0, 0, 0), 1, five), kResultDamaged, 0, 0, 0, 0 },
        { "form 5", Record(p, Header(48, 5, 2, -5, 5, 1, 2), 1, five), kResultSkippedObject, 0, 0, 0, 0 },
        // The count must fit the sub-record, never the bytes after it.
        { "count past the sub-record", Record(p, Header(48, 4, 2, -5, 5, 1, 2), 3, {5, kPlus, 5}, 12 + 48 + 2),
          kResultDamaged, 0, 0, 0, 0 },
        { "count past the record", Record(p, Header(48, 4, 2, -5, 5, 1, 2), 9, five), kResultDamaged, 0, 0, 0, 0 },
        { "total past the record", Record(p, Header(48, 4, 2, -5, 5, 1, 2), 1, five, 400), kResultDamaged, 0, 0, 0, 0 },
        // Settings read are put right as settings given are.
        { "settings out of range", Record(p, Header(48, 4, -3, nan, 2e6, nan, 0), 1, five), kResultOK, 3, -1e6, 1e6, 0.001 },
        { "reversed range", Record(p, Header(48, 4, 1, 9, 3, 1, 1e9), 1, five), kResultOK, 1, 3, 9, 3600 },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::string name = k.name;
        for (char& ch : name) if (ch == ' ') ch = '_';
        SaveFuzzSeed("text_records_fuzz", "calculation_" + name, k.bytes);
        SketchObject* back = Make(kTypeFree, {0}, {});
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(Read(back, k.bytes, kCurrentPageFormat), k.rc);
        if (IsFatalResult(k.rc) || k.rc == kResultSkippedObject) continue;
        const CalculationData* c = CalculationDataOf(back);
        EXPECT_EQ(c->change.step, k.step);
        EXPECT_EQ(c->change.min, k.min);
        EXPECT_EQ(c->change.max, k.max);
        EXPECT_EQ(c->change.seconds, k.seconds);
        ASSERT_EQ(c->infixCount, 1u);
        EXPECT_EQ(c->infixTokens[0], 5);
        // A parameter read without settings receives the defaults of its kind.
        ASSERT_EQ(FinishReadCalculation(back, false), kResultOK);
        EXPECT_TRUE(IsParameter(back));
        if (k.step == 0) {
            ParameterMotion m;
            GetParameterMotion(back, &m, false);
            EXPECT_EQ(m.min, -100);
            EXPECT_EQ(m.max, 100);
            EXPECT_EQ(m.step, 1);
        }
    }
}

TEST_F(CalculationRecordTest, APageKeepsMergedParentsAndStoredKinds) {
    SketchObject* a = Make(kTypeFree, {2}, {});
    SketchObject* b = Make(kTypeFree, {kNeg, 5}, {});
    ASSERT_TRUE(a && b);
    SketchObject* sum = Make(kTypeCalculation, {kClassParentValue | 0, kPlus, kClassParentValue | 1, kPlus,
                                                kClassParentValue | 2}, {a, b, a});
    ASSERT_NE(sum, nullptr);
    EXPECT_DOUBLE_EQ(CalculationValue(sum), -1);
    // A kind the document stored stays when a current page is read.
    sum->objectKind = kKindDistanceMeasurement;
    {
        const FormatInfo& f = kCurrentPageFormat;
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
        ASSERT_EQ(WriteSketch(h, sketch, true, false), kResultOK);
        ASSERT_EQ(CloseStream(h), kResultOK);
        std::vector<uint8_t> bytes = TakeStreamVector(h);
        SaveFuzzSeed("sketch_body_fuzz", "calculations", bytes);
        ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        Sketch* back = nullptr;
        ASSERT_EQ(ReadSketch(h, &back, nullptr, f), kResultOK);
        DiscardStream(h);
        Sketch* previous = nullptr;
        SetCurrentSketch(back, &previous);  // its parent lists live in its arena
        SketchObject* rsum = nullptr;
        for (SketchObject* o = back->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            RecomputeObject(o, nullptr, true);
        for (SketchObject* o = back->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            if (o->constructionType == kTypeCalculation) rsum = o;
        ASSERT_NE(rsum, nullptr);
        EXPECT_EQ(ParentCountOf(rsum), 2u);
        SketchObject* ra = ParentItemsOf(rsum)[0];
        SketchObject* rb = ParentItemsOf(rsum)[1];
        EXPECT_DOUBLE_EQ(CalculationValue(ra), 2);
        EXPECT_DOUBLE_EQ(CalculationValue(rb), -5);
        EXPECT_DOUBLE_EQ(CalculationValue(rsum), -1);
        EXPECT_TRUE(IsParameter(rb));
        EXPECT_EQ(rsum->objectKind, kKindDistanceMeasurement);
        SetCurrentSketch(previous, nullptr);
        FreeSketch(back);
    }
}

// The handheld form has no parameters: a page with one is saved without it.
TEST_F(CalculationRecordTest, AHandheldSaveLeavesOutWhatItCannotHold) {
    SketchObject* p = Make(kTypeFree, {2}, {});
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(IsParameter(p));
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    EXPECT_EQ(WriteSketch(h, sketch, true, true), kResultObjectDropped);
    ASSERT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> bytes = TakeStreamVector(h);
    ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    Sketch* back = nullptr;
    ASSERT_EQ(ReadSketch(h, &back, nullptr, kHandheld), kResultOK);
    DiscardStream(h);
    EXPECT_EQ(back->firstObject, nullptr);
    FreeSketch(back);
}

}  // namespace
