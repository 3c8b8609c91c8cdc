// Loci in documents: record 2306 written and read back with the page, damaged records,
// a stored range that is no pair of numbers, partial sketches and carried records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "codec_checks.h"
#include "engine/core/locus.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/sketch_records.h"
#include "engine/docio/streams.h"
#include "seed_files.h"
#include "stream_bytes.h"

namespace {

constexpr uint32_t kTagLocusData = uint32_t(kTagClassDataBase) + uint32_t(kClassLocus);

class LocusRecordsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
        sketch->windowRect = { 0, 0, 640, 480 };
    }

    std::vector<uint8_t> Write(Sketch* s, bool page = true) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketch(h, s, page, false), kResultOK);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    }
    ResultCode Read(const std::vector<uint8_t>& bytes, Sketch** out, const FormatInfo& f = FormatInfo{ 1, 4, 4 }) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        const ResultCode rc = ReadSketch(h, out, nullptr, f);
        DiscardStream(h);
        return rc;
    }
    static size_t Find(const std::vector<uint8_t>& bytes, uint32_t tag) {
        for (size_t at = 0; at + 8 <= bytes.size(); at += 8 + GetLE32(bytes.data() + at))
            if (GetLE32(bytes.data() + at + 4) == tag) return at;
        return std::string::npos;
    }
    static SketchObject* LastLocus(Sketch* s) {
        SketchObject* found = nullptr;
        for (SketchObject* o = s->firstObject; o; o = o->nextInSketch)
            if (o->objectClass == kClassLocus) found = o;
        return found;
    }
};

TEST_F(LocusRecordsTest, APageWithALocusReadsBackAsItWasWritten) {
    const MidpointLocusParts m = MidpointLocus();
    LocusData* L = LocusDataOf(m.locus);
    ASSERT_TRUE(SetLocusSampleCount(m.locus, 300));
    L->drawOption = 1;
    std::vector<uint8_t> bytes = Write(sketch);
    SaveFuzzSeed("sketch_body_fuzz", "locus_page", bytes);
    const size_t at = Find(bytes, kTagLocusData);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(GetLE32(bytes.data() + at), kLocusRecordBytes);
    const uint8_t* record = bytes.data() + at + 8;
    EXPECT_EQ(GetLEReal(record), 0);
    EXPECT_EQ(GetLEReal(record + 8), L->hi);
    EXPECT_EQ(GetLE32(record + 16), 300u);
    EXPECT_EQ(GetLE16(record + 20), kLocusTraceForm);
    EXPECT_EQ(GetLE16(record + 22), 0);  // closed
    EXPECT_EQ(GetLE16(record + 24), 1);
    // The record target's first byte picks its subject: 13 is the locus.
    std::vector<uint8_t> seed = { 13 };
    seed.insert(seed.end(), record, record + kLocusRecordBytes);
    SaveFuzzSeed("geometry_records_fuzz", "locus_data", seed);

    Sketch* back = nullptr;
    ASSERT_EQ(Read(bytes, &back), kResultOK);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    RecomputeSketch(false);
    SketchObject* locus = LastLocus(back);
    ASSERT_NE(locus, nullptr);
    const LocusData* R = LocusDataOf(locus);
    EXPECT_EQ(R->sampleCount, 300);
    EXPECT_EQ(R->drawOption, 1);
    EXPECT_EQ(R->hi, L->hi);
    EXPECT_EQ(R->tracedClass, kClassPoint);
    ASSERT_NE(R->samples, nullptr);
    EXPECT_EQ(locus->exists, 1);
    EXPECT_EQ(LocusSamplePoint(locus, 0).x, LocusSamplePoint(m.locus, 0).x);
    EXPECT_EQ(Write(back), bytes);
    SetCurrentSketch(before, nullptr);
    FreeSketch(back);
}

TEST_F(LocusRecordsTest, DamagedAndOddRecords) {
    const MidpointLocusParts m = MidpointLocus();
    const std::vector<uint8_t> bytes = Write(sketch);
    const size_t at = Find(bytes, kTagLocusData);
    ASSERT_NE(at, std::string::npos);

    // Shorter than 32 bytes: damaged.
    std::vector<uint8_t> cut(bytes);
    PutLE32(cut.data() + at, kLocusRecordBytes - 2);
    cut.erase(cut.begin() + std::ptrdiff_t(at + 8 + kLocusRecordBytes - 2), cut.begin() + std::ptrdiff_t(at + 8 + kLocusRecordBytes));
    SaveFuzzSeed("sketch_body_fuzz", "locus_short_record", cut);
    Sketch* back = nullptr;
    EXPECT_EQ(Read(cut, &back), 35);
    EXPECT_EQ(back, nullptr);

    // A range that is no number, a count far beyond the maximum and ends out of range:
    // the locus is made with a fresh range, the largest count and no ends.
    std::vector<uint8_t> odd(bytes);
    uint8_t* record = odd.data() + at + 8;
    PutLEReal(record, std::numeric_limits<double>::quiet_NaN());
    PutLE32(record + 16, 0x7fffffff);
    PutLE16(record + 22, 9);
    PutLE16(record + 24, 7);
    SaveFuzzSeed("sketch_body_fuzz", "locus_odd_record", odd);
    ASSERT_EQ(Read(odd, &back), kResultOK);
    ASSERT_NE(back, nullptr);
    Sketch* before = nullptr;
    SetCurrentSketch(back, &before);
    RecomputeSketch(false);
    const LocusData* L = LocusDataOf(LastLocus(back));
    EXPECT_TRUE(std::isfinite(L->lo) && std::isfinite(L->hi));
    EXPECT_EQ(L->sampleCount, ThePreferences().maxSamples);
    EXPECT_EQ(L->ends, 3);
    EXPECT_EQ(L->drawOption, 1);
    SetCurrentSketch(before, nullptr);
    FreeSketch(back);

    // A partial sketch's locus has no samples.
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, m.centre));
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, m.rim));
    const std::vector<uint8_t> tool = Write(sketch, false);
    SaveFuzzSeed("sketch_body_fuzz", "locus_tool", tool);
    ASSERT_EQ(Read(tool, &back, FormatInfo{ 2, 4, 4 }), kResultOK);
    SetCurrentSketch(back, &before);
    RecomputeSketch(false);
    SketchObject* locus = LastLocus(back);
    ASSERT_NE(locus, nullptr);
    EXPECT_EQ(LocusDataOf(locus)->samples, nullptr);
    EXPECT_EQ(locus->exists, 0);
    SetCurrentSketch(before, nullptr);
    FreeSketch(back);
}

TEST_F(LocusRecordsTest, ARecordReadIntoALiveLocusRefitsItsSamples) {
    const MidpointLocusParts m = MidpointLocus();
    uint8_t record[kLocusRecordBytes] = {};
    PutLEReal(record, 0);
    PutLEReal(record + 8, 3);
    PutLE32(record + 16, 4000);
    PutLE16(record + 20, kLocusTraceForm);
    EXPECT_EQ(ReadCodecRecord(TransferLocusData, m.locus, record, sizeof record, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(LocusDataOf(m.locus)->sampleCount, 4000);
    RecomputeSketch(false);
    EXPECT_EQ(m.locus->exists, 1);
}

TEST_F(LocusRecordsTest, CarriedRecordsKeepToWhatEachFormCanHold) {
    struct Case { uint16_t form, ends; int32_t fromSettings; ResultCode rc; uint16_t written; };
    const Case cases[] = {
        { 4, 1, 4, kResultOK, 4 },
        { 6, 1, 1, 10, 6 },  // read from handheld data, beyond what it holds
        { 5, 1, 1, kResultOK, 4 },
        { 5, 1, 4, 9, 5 },
        { 4, 4, 4, 9, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.form << " " << c.ends << " " << c.fromSettings);
        uint8_t from[kLocusRecordBytes] = {}, to[kLocusRecordBytes] = {};
        PutLE16(from + 20, c.form);
        PutLE16(from + 22, c.ends);
        TransferContext context{};
        context.op = kTransferCopy;
        context.source = { kSideRecord, int32_t(sizeof from), from, from, 1, c.fromSettings, c.fromSettings };
        context.destination = { kSideRecord, int32_t(sizeof to), to, to, 1, 4, 4 };
        EXPECT_EQ(TransferLocusData(&context), c.rc);
        EXPECT_EQ(GetLE16(to + 20), c.written);
    }
}

}  // namespace
