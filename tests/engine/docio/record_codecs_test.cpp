#include "engine/docio/record_codecs.h"

#include <gtest/gtest.h>

#include "stream_bytes.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/core/memory.h"
#include "engine/docio/packed_values.h"
#include "codec_checks.h"
#include "seed_files.h"

namespace {

// A payload with fields of each width, as a class codec would move them.
struct Sample {
    uint32_t id;
    uint16_t flags;
    uint16_t spare;  // not stored
    double   values[2];
};

ResultCode TransferSample(TransferContext* context) {
    uint8_t scratch[16];
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 6, 22)) return rc;
    rc = KeepWorstError(rc, RecordTransfer(context, scratch, offsetof(Sample, id), 4, 4, ConvertU32Fields));
    rc = KeepWorstError(rc, RecordTransfer(context, scratch, offsetof(Sample, flags), 2, 2, ConvertU16Fields));
    rc = KeepWorstError(rc, RecordTransfer(context, scratch, offsetof(Sample, values), 16, 16, ConvertRealFields));
    return rc;
}

class RecordCodecs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitStreamTable()); }
    void TearDown() override { FreeStreamTable(); }

    std::vector<uint8_t> WriteToMemory(RecordCodecFn codec, void* object, uint32_t tag, const FormatInfo& f) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteCodecRecord(codec, object, h, tag, f), kResultOK);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    }
};

TEST_F(RecordCodecs, MeasureEqualsWrittenAndTheRecordReadsBack) {
    Sample s{ 0x01020304, 0xBEEF, 0x7777, { 1.5, -2.25 } };
    EXPECT_EQ(MeasureCodecRecord(TransferSample, &s, kCurrentPageFormat), 22u);
    std::vector<uint8_t> bytes = WriteToMemory(TransferSample, &s, 2300, kCurrentPageFormat);
    ASSERT_EQ(bytes.size(), 8u + 22u);
    SaveFuzzSeed("codecs_fuzz", "sample", bytes);
    EXPECT_EQ(GetLE32(bytes.data()), 22u);
    EXPECT_EQ(GetLE32(bytes.data() + 4), 2300u);
    EXPECT_EQ(bytes[8], 0x04);  // little-endian fields
    EXPECT_EQ(GetLE16(bytes.data() + 12), 0xBEEF);
    EXPECT_EQ(GetLEReal(bytes.data() + 22), -2.25);

    Sample back{};
    EXPECT_EQ(ReadCodecRecord(TransferSample, &back, bytes.data() + 8, 22, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(back.id, s.id);
    EXPECT_EQ(back.flags, s.flags);
    EXPECT_EQ(back.spare, 0);
    EXPECT_EQ(back.values[1], -2.25);
}

TEST_F(RecordCodecs, EveryCodecHereRoundTrips) {
    Sample s{ 11, 12, 0, { 13.5, -14 } }, blank{};
    ExpectCodecRoundTrip(TransferSample, &s, &blank, sizeof s, kCurrentPageFormat);
}

// A codec that measures one length and writes another is caught before anything is
// written.
ResultCode MismeasuringCodec(TransferContext* context) {
    uint8_t scratch[8];
    uint32_t id = 5;
    if (context->op == kTransferMeasure) return RecordTransfer(context, scratch, 0, 8, 8, nullptr);
    TransferSide* side = context->source.kind == kSideRecord ? &context->destination : &context->source;
    side->object = &id;
    return RecordTransfer(context, scratch, 0, 4, 4, ConvertU32Fields);
}

TEST_F(RecordCodecs, WrittenLengthMustEqualTheMeasuredOne) {
    uint32_t id = 5;
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    EXPECT_EQ(WriteCodecRecord(MismeasuringCodec, &id, h, 2300, kCurrentPageFormat), kResultCodecOverrun);
    uint32_t size = 1;
    EXPECT_EQ(StreamSize(h, &size), kResultOK);
    EXPECT_EQ(size, 0u);
    DiscardStream(h);
}

TEST_F(RecordCodecs, SwappingTwiceRestores) {
    Sample a{ 1, 2, 9, { 3, 4 } }, b{ 5, 6, 8, { 7, 8 } };
    const Sample a0 = a, b0 = b;
    EXPECT_EQ(SwapCodecFields(TransferSample, &a, &b), kResultOK);
    EXPECT_EQ(a.id, 5u);
    EXPECT_EQ(b.values[0], 3.0);
    EXPECT_EQ(a.spare, 9);  // fields the codec does not move stay
    EXPECT_EQ(SwapCodecFields(TransferSample, &a, &b), kResultOK);
    EXPECT_EQ(std::memcmp(&a, &a0, sizeof a), 0);
    EXPECT_EQ(std::memcmp(&b, &b0, sizeof b), 0);
}

TEST_F(RecordCodecs, ShortAndLongRecords) {
    Sample s{ 7, 8, 0, { 9, 10 } };
    std::vector<uint8_t> bytes = WriteToMemory(TransferSample, &s, 2300, kCurrentPageFormat);
    std::vector<uint8_t> payload(bytes.begin() + 8, bytes.end());

    struct Case { uint32_t length; ResultCode rc; };
    const Case cases[] = { { 4, kResultDamaged }, { 6, kResultShorterRecord }, { 14, kResultShorterRecord },
                           { 22, kResultOK }, { 30, kResultLongerRecord } };
    payload.resize(30, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        // Exactly `length` readable bytes, so a field step that left the record would be caught.
        std::vector<uint8_t> exact(payload.begin(), payload.begin() + c.length);
        Sample back{};
        EXPECT_EQ(ReadCodecRecord(TransferSample, &back, exact.data(), c.length, kCurrentPageFormat), c.rc);
        if (c.length >= 6) {
            EXPECT_EQ(back.flags, 8);
        }
        if (c.length == 14) {
            EXPECT_EQ(back.values[0], 9.0);  // whole values of a cut field are taken,
            EXPECT_EQ(back.values[1], 0.0);  // the missing ones read as zero
        }
    }
}

TEST_F(RecordCodecs, SubRecordsAreCheckedAgainstTheirBlock) {
    uint8_t block[32] = {};
    uint8_t* cursor = block;
    ASSERT_TRUE(BeginSubRecord(&cursor, sizeof block, 77, 24, 4));
    EXPECT_EQ(cursor, block + 12);
    {
        std::vector<uint8_t> rec(8);
        PutLE32(rec.data(), 32);
        PutLE32(rec.data() + 4, 77);
        rec.insert(rec.end(), block, block + 32);
        SaveFuzzSeed("codecs_fuzz", "subrecord", rec);
    }
    const uint8_t *header, *body;
    uint32_t hl, bl;
    EXPECT_EQ(FindSubRecord(block, 32, 77, &header, &hl, &body, &bl), kResultOK);
    EXPECT_EQ(hl, 4u);
    EXPECT_EQ(bl, 8u);
    EXPECT_EQ(body, block + 16);
    EXPECT_EQ(FindSubRecord(block, 32, 78, &header, &hl, &body, &bl), kResultDamaged);  // tag
    EXPECT_EQ(FindSubRecord(block, 20, 77, &header, &hl, &body, &bl), kResultDamaged);  // past the block
    PutLE32(block + 8, 13);
    EXPECT_EQ(FindSubRecord(block, 32, 77, &header, &hl, &body, &bl), kResultDamaged);  // header > total
    PutLE32(block + 4, 4);
    PutLE32(block + 8, 0);
    EXPECT_EQ(FindSubRecord(block, 32, 77, &header, &hl, &body, &bl), kResultDamaged);  // head not covered
    EXPECT_FALSE(BeginSubRecord(&cursor, 11, 1, 12, 0));
}

TEST_F(RecordCodecs, PackedStringListsStopAtDamage) {
    uint8_t block[32] = {};
    uint32_t n = PackCountedString(block, "ab", 0);
    n += PackCountedString(block + n, "xyz", 0);
    ASSERT_EQ(n, 12u);
    const uint8_t* end = block + n;
    const uint8_t* s = FirstPackedString(block, end);
    ASSERT_EQ(s, block);
    s = NextPackedString(s, end);
    ASSERT_EQ(s, block + 6);
    EXPECT_EQ(NextPackedString(s, end), nullptr);
    // A length that runs past the block ends the list.
    PutLE16(block + 6, 200);
    EXPECT_EQ(NextPackedString(block, end), nullptr);
    EXPECT_EQ(BoundedTextLength(reinterpret_cast<const uint8_t*>("abc\0"), 4), 3);
    EXPECT_EQ(BoundedTextLength(reinterpret_cast<const uint8_t*>("abcd"), 4), -1);
    uint8_t head[8];
    PutLE32(head, 12);
    PutLE32(head + 4, 1204);
    uint32_t len = 0;
    EXPECT_EQ(MatchRecordTag(head, 1204, &len), kResultOK);
    EXPECT_EQ(len, 12u);
    EXPECT_EQ(MatchRecordTag(head, 1003, &len), kResultDamaged);
}

// ---- construction data blocks

struct KindBlock {
    int32_t layout;
    ConstructionCodeWord word;
    KindDataUnits units;
    alignas(8) uint8_t memory[64];
};

ResultCode TransferKindBlock(TransferContext* context) {
    TransferSide* objectSide = context->source.kind == kSideRecord ? &context->destination : &context->source;
    KindBlock* k = static_cast<KindBlock*>(objectSide->object);
    // The codec sees the in-memory block as its object.
    objectSide->object = k->memory;
    if (context->op == kTransferSwap)
        context->destination.object = static_cast<KindBlock*>(context->destination.object)->memory;
    return TransferKindDataBlock(context, k->layout, &k->word, k->units);
}

void PutAngle(uint8_t* m, double radians, int32_t unit) {
    double v[3] = { -std::sin(radians), std::cos(radians), unit ? radians * 57.29577951308232 : radians };
    std::memcpy(m, v, 24);
    std::memcpy(m + 24, &unit, 4);
}

void PutDistance(uint8_t* m, double pixels, int32_t unit, double ppi) {
    double factor = unit == 1 ? ppi / 2.54 : unit == 2 ? ppi : 1.0;
    double v[2] = { pixels, pixels / factor };
    std::memcpy(m, v, 16);
    std::memcpy(m + 16, &unit, 4);
}

double Real(const uint8_t* m) { double v; std::memcpy(&v, m, 8); return v; }
int32_t Int(const uint8_t* m) { int32_t v; std::memcpy(&v, m, 4); return v; }

TEST_F(RecordCodecs, KindDataRoundTripsInBothForms) {
    const KindDataUnits units = { 1, 1, 96.0 };
    const int32_t layouts[] = { 1, 2, 3, 5, 6, 7, 8, 11, 14 };
    for (int32_t layout : layouts) {
        for (FormatInfo f : { kCurrentPageFormat, FormatInfo{ 1, 1, 1 } }) {
            SCOPED_TRACE(layout * 10 + f.formatVersion);
            KindBlock k{ layout, { uint16_t(16 + layout), 4 }, units, {} };
            uint32_t flags = TransformOpTable[layout].sources;
            uint8_t* m = k.memory;
            if (flags & kSourceFixedAngle) { PutAngle(m, 0.75, 1); m += 32; }
            if (flags & kSourceFixedRatio) { double r = 2.5; std::memcpy(m, &r, 8); m += 8; }
            if (flags & kSourceFixedDistance) { PutDistance(m, 120.0, 1, 96.0); m += 24; }
            if (flags & kSourceFixedVertical) { PutDistance(m, -30.0, 1, 96.0); }

            bool compact = f.formatVersion == 1;
            uint32_t measured = MeasureCodecRecord(TransferKindBlock, &k, f);
            EXPECT_EQ(measured, 4 + 4u * (compact ? TransformOpTable[layout].compactWords
                                                 : TransformOpTable[layout].fixedWords));
            std::vector<uint8_t> bytes = WriteToMemory(TransferKindBlock, &k, 2003, f);
            ASSERT_EQ(bytes.size(), 8 + measured);
            SaveFuzzSeed("codecs_fuzz", "kind" + std::to_string(layout) + "v" + std::to_string(f.formatVersion), bytes);
            if (compact) {
                EXPECT_EQ(bytes[9], measured);  // the block's size in the compact code word
            } else {
                EXPECT_EQ(GetLE16(bytes.data() + 8), 16 + layout);
            }

            KindBlock back{ layout, {}, units, {} };
            EXPECT_EQ(ReadCodecRecord(TransferKindBlock, &back, bytes.data() + 8, measured, f), kResultOK);
            EXPECT_EQ(back.word.code, 16 + layout);
            for (int i = 0; i < TransformOpTable[layout].fixedWords * 4; i += 4) {
                SCOPED_TRACE(i);
                // Words of doubles compare within rounding; unit words exactly.
                if (i % 8 == 0 && i + 8 <= TransformOpTable[layout].fixedWords * 4 &&
                    std::isfinite(Real(k.memory + i)) && std::fabs(Real(k.memory + i)) > 1e-300) {
                    EXPECT_NEAR(Real(back.memory + i), Real(k.memory + i), 1e-9 * (1 + std::fabs(Real(k.memory + i))));
                }
            }
            // Writing what was read gives the same bytes.
            EXPECT_EQ(WriteToMemory(TransferKindBlock, &back, 2003, f), bytes);
        }
    }
}

TEST_F(RecordCodecs, CompactFormRebuildsAnglesAndUnits) {
    // Layout 8: a fixed angle only; the compact form keeps sin and cos.
    const double angles[] = { 0.3, 2.5, -2.5, -0.4 };
    for (double a : angles) {
        SCOPED_TRACE(a);
        KindBlock k{ 8, { 24, 0 }, { 0, 0, 96 }, {} };
        PutAngle(k.memory, a, 0);
        FormatInfo handheld{ 1, 1, 1 };
        std::vector<uint8_t> bytes = WriteToMemory(TransferKindBlock, &k, 2003, handheld);
        KindBlock back{ 8, {}, { 0, 0, 96 }, {} };
        ASSERT_EQ(ReadCodecRecord(TransferKindBlock, &back, bytes.data() + 8, uint32_t(bytes.size() - 8), handheld),
                  kResultOK);
        // The stored angle is the rebuilt direction of (sin, cos) with sin already negated.
        double rebuilt = Real(back.memory + 16);
        EXPECT_NEAR(std::cos(rebuilt), std::cos(a), 1e-12);
        EXPECT_NEAR(std::sin(rebuilt), std::sin(a), 1e-12);
        EXPECT_EQ(Int(back.memory + 24), 0);
    }
    // The vertical length of layout 1 is stored negated in 1/96 inch.
    KindBlock k{ 1, { 17, 0 }, { 0, 2, 120 }, {} };
    PutDistance(k.memory, 60, 0, 120);
    PutDistance(k.memory + 24, 240, 0, 120);
    std::vector<uint8_t> bytes = WriteToMemory(TransferKindBlock, &k, 2003, FormatInfo{ 1, 1, 1 });
    EXPECT_EQ(GetLEReal(bytes.data() + 12), 48.0);
    EXPECT_EQ(GetLEReal(bytes.data() + 20), -192.0);
    KindBlock back{ 1, {}, { 0, 2, 120 }, {} };
    ASSERT_EQ(ReadCodecRecord(TransferKindBlock, &back, bytes.data() + 8, 20, FormatInfo{ 1, 1, 1 }), kResultOK);
    EXPECT_EQ(Real(back.memory + 24), 240.0);
    EXPECT_EQ(Real(back.memory + 32), 2.0);  // inches at 120 pixels per inch
    EXPECT_EQ(Int(back.memory + 40), 2);
}

TEST_F(RecordCodecs, FullFormLengthsFollowTheReadersResolution) {
    // 2 inches written at 96 pixels per inch read as 240 pixels at 120.
    KindBlock k{ 14 + 0, { 30, 0 }, { 0, 2, 96 }, {} };
    k.layout = 2;
    PutDistance(k.memory, 192, 2, 96);
    std::vector<uint8_t> bytes = WriteToMemory(TransferKindBlock, &k, 2003, kCurrentPageFormat);
    KindBlock back{ 2, {}, { 0, 2, 120 }, {} };
    ASSERT_EQ(ReadCodecRecord(TransferKindBlock, &back, bytes.data() + 8, uint32_t(bytes.size() - 8), kCurrentPageFormat),
              kResultOK);
    EXPECT_DOUBLE_EQ(Real(back.memory), 240.0);
    EXPECT_EQ(Real(back.memory + 8), 2.0);
}

TEST_F(RecordCodecs, DamagedKindDataBlocks) {
    uint8_t payload[60] = {};
    KindBlock back{ 5, {}, { 0, 0, 96 }, {} };
    // Full form of layout 5 needs its 48 bytes of groups after the code word.
    EXPECT_EQ(ReadCodecRecord(TransferKindBlock, &back, payload, 51, kCurrentPageFormat), kResultDamaged);
    EXPECT_EQ(ReadCodecRecord(TransferKindBlock, &back, payload, 52, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(ReadCodecRecord(TransferKindBlock, &back, payload, 60, kCurrentPageFormat), kResultOK);
    uint8_t more[80] = {};
    EXPECT_EQ(ReadCodecRecord(TransferKindBlock, &back, more, 80, kCurrentPageFormat), kResultLongerRecord);
    EXPECT_EQ(ReadCodecRecord(TransferKindBlock, &back, payload, 3, kCurrentPageFormat), kResultDamaged);
}

}  // namespace
