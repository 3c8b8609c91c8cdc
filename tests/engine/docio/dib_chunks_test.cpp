#include "engine/docio/dib_chunks.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_folder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <new>
#include <cstdio>
#include <vector>

#include "engine/core/memory.h"
#include "seed_files.h"

namespace {

void PutLE(uint8_t* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = uint8_t(v >> (8 * i));
}

GlobalBlock MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t extra = 0) {
    uint32_t n = 40 + (bits <= 8 ? (4u << bits) : 0) +
                 ((uint32_t(width) * bits + 31) / 32) * 4 * uint32_t(height < 0 ? -height : height);
    GlobalBlock dib(n + extra);
    uint8_t* b = dib.Bytes();
    PutLE(b, 40, 4);
    PutLE(b + 4, uint32_t(width), 4);
    PutLE(b + 8, uint32_t(height), 4);
    PutLE(b + 12, 1, 2);
    PutLE(b + 14, bits, 2);
    for (uint32_t i = 40; i < n; ++i) b[i] = uint8_t(i * 13);
    return dib;
}

class DibChunks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitStreamTable()); }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeStreamTable();
    }
};

TEST_F(DibChunks, RecordLengthOfA10By10ByteImage) {
    GlobalBlock dib = MakeDib(10, 10, 8);
    EXPECT_EQ(PackedDibBytes(dib.Bytes(), dib.Size()), 1184u);
    EXPECT_EQ(DibRecordLength(dib), 1196u);
    GlobalBlock upside = MakeDib(10, -10, 8);
    EXPECT_EQ(DibRecordLength(upside), 1196u);
    EXPECT_EQ(DibRecordLength(MakeDib(3, 2, 24)), 12u + 40u + 12u * 2);
}

// Where the bits begin and how many bytes the header describes, for each kind of header;
// a header, colour table, mask set or row block running past the block is unsound.
TEST_F(DibChunks, LayoutsOfEachHeaderKindAndTruncations) {
    struct Case {
        const char* name;
        uint32_t header;  // header bytes
        int32_t width, height;
        uint16_t bits;
        uint32_t compression, colorsUsed, imageSize;
        uint32_t offset, total;  // expected; total 0: unsound
    };
    const Case cases[] = {
        { "core 8-bit", 12, 4, 2, 8, 0, 0, 0, 12 + 256 * 3, 12 + 768 + 8 },
        { "core 24-bit", 12, 3, 2, 24, 0, 0, 0, 12, 12 + 24 },
        { "info 8-bit, 16 colours used", 40, 4, 2, 8, 0, 16, 0, 40 + 64, 40 + 64 + 8 },
        { "info 32-bit bit fields", 40, 2, -2, 32, 3, 0, 0, 52, 52 + 16 },
        { "v5 32-bit bit fields: masks inside", 124, 2, -2, 32, 3, 0, 0, 124, 124 + 16 },
        { "RLE8", 40, 4, 2, 8, 1, 0, 10, 40 + 1024, 40 + 1024 + 10 },
        { "RLE8 top-down", 40, 4, -2, 8, 1, 0, 10, 0, 0 },
        { "RLE8 of 24 bits", 40, 4, 2, 24, 1, 0, 10, 0, 0 },
        { "RLE8 without size", 40, 4, 2, 8, 1, 0, 0, 0, 0 },
        { "bit fields of 24 bits", 40, 4, 2, 24, 3, 0, 0, 0, 0 },
        { "JPEG", 40, 4, 2, 24, 4, 0, 0, 0, 0 },
        { "header of 20", 20, 4, 2, 24, 0, 0, 0, 0, 0 },
        { "zero width", 40, 0, 2, 24, 0, 0, 0, 0, 0 },
        { "2 bits", 40, 4, 2, 2, 0, 0, 0, 0, 0 },
        { "colours past 2^31", 40, 4, 2, 8, 0, 0x40000000, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> b(std::max<uint32_t>(c.total, std::max<uint32_t>(c.header, 40) + 4), 0);
        PutLE(b.data(), c.header, 4);
        if (c.header == 12) {
            PutLE(b.data() + 4, uint32_t(c.width), 2);
            PutLE(b.data() + 6, uint32_t(c.height), 2);
            PutLE(b.data() + 8, 1, 2);
            PutLE(b.data() + 10, c.bits, 2);
        } else {
            PutLE(b.data() + 4, uint32_t(c.width), 4);
            PutLE(b.data() + 8, uint32_t(c.height), 4);
            PutLE(b.data() + 12, 1, 2);
            PutLE(b.data() + 14, c.bits, 2);
            PutLE(b.data() + 16, c.compression, 4);
            PutLE(b.data() + 20, c.imageSize, 4);
            PutLE(b.data() + 32, c.colorsUsed, 4);
        }
        PackedDibLayout layout{};
        EXPECT_EQ(ParsePackedDib(b.data(), uint32_t(b.size()), &layout), c.total != 0);
        EXPECT_EQ(PackedDibBytes(b.data(), uint32_t(b.size())), c.total);
        if (!c.total) continue;
        EXPECT_EQ(layout.bitsOffset, c.offset);
        EXPECT_EQ(layout.totalBytes, c.total);
        // One byte short anywhere: the header, the colours or masks, or the rows.
        for (uint32_t cut : { c.header - 1, c.offset - 1, c.total - 1 })
            EXPECT_FALSE(ParsePackedDib(b.data(), cut, &layout)) << cut;
    }
}

TEST_F(DibChunks, WritesBigEndianChunkAndReadsItBack) {
    GlobalBlock dib = MakeDib(10, 10, 8);
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(WriteDibRecord(h, dib), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 0, 2007, nullptr), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    uint32_t n = 0;
    uint8_t* bytes = static_cast<uint8_t*>(TakeStreamBytes(h, &n));
    ASSERT_EQ(n, 8u + 1196u + 8u);
    SaveFuzzSeed("codecs_fuzz", "picture", bytes, n);
    const uint8_t head[16] = { 0xac, 0x04, 0, 0, 0x42, 0x1f, 0, 0, 0x20, 0x42, 0x49, 0x44, 0, 0, 0, 2 };
    EXPECT_EQ(std::memcmp(bytes, head, 16), 0);

    ASSERT_EQ(OpenMemoryStreamOnBuffer(bytes, n, &h), kResultOK);
    uint32_t tag, length;
    ASSERT_EQ(StreamReadRecordHeader(h, &tag, &length), kResultOK);
    GlobalBlock back;
    EXPECT_EQ(ReadDibRecord(h, length, &back), kResultOK);
    ASSERT_EQ(back.Size(), 1184u);
    EXPECT_EQ(std::memcmp(back.Bytes(), dib.Bytes(), 1184), 0);
    EXPECT_EQ(StreamPeekRecordTag(h), 2007u);
    DiscardStream(h);
}

// Builds a record 8002 around a chunk head and body.
std::vector<uint8_t> ChunkRecord(uint32_t magic, uint32_t version, uint32_t count, const std::vector<uint8_t>& body,
                                 uint32_t recordLength = 0) {
    std::vector<uint8_t> r(8 + 12 + body.size() + 8, 0);
    uint32_t len = recordLength ? recordLength : uint32_t(12 + body.size());
    PutLE(r.data(), len, 4);
    PutLE(r.data() + 4, 8002, 4);
    for (int i = 0; i < 4; ++i) {
        r[8 + i] = uint8_t(magic >> (24 - 8 * i));
        r[12 + i] = uint8_t(version >> (24 - 8 * i));
        r[16 + i] = uint8_t(count >> (24 - 8 * i));
    }
    std::copy(body.begin(), body.end(), r.begin() + 20);
    PutLE(r.data() + 20 + body.size() + 4, 2007, 4);  // an empty 2007 after it
    return r;
}

TEST_F(DibChunks, UnreadableChunksGiveNoImageAndKeepTheStreamInStep) {
    GlobalBlock dib = MakeDib(4, 4, 8);
    std::vector<uint8_t> body(dib.Bytes(), dib.Bytes() + dib.Size());
    std::vector<uint8_t> shortHeader = body;
    PutLE(shortHeader.data() + 8, 400, 4);  // 400 rows claimed in a block of 4
    struct Case { const char* name; std::vector<uint8_t> record; ResultCode rc; };
    const Case cases[] = {
        { "version 3", ChunkRecord(kDibChunkMagic, 3, uint32_t(body.size()), body), kResultOK },
        { "other magic", ChunkRecord(0x12345678, 2, uint32_t(body.size()), body), kResultOK },
        { "no data", ChunkRecord(kDibChunkMagic, 2, 0, {}), kResultOK },
        { "count past the record", ChunkRecord(kDibChunkMagic, 2, 0x7ffffff0, body), kResultRecordLong },
        { "count past the record, small", ChunkRecord(kDibChunkMagic, 2, uint32_t(body.size() + 2), body),
          kResultRecordLong },
        { "header larger than count", ChunkRecord(kDibChunkMagic, 2, uint32_t(body.size()), shortHeader),
          kResultRecordLong },
        { "record shorter than chunk head", ChunkRecord(kDibChunkMagic, 2, 0, {}, 6), kResultRecordLong },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStreamCopy(c.record.data(), uint32_t(c.record.size()), &h), kResultOK);
        uint32_t tag, length;
        ASSERT_EQ(StreamReadRecordHeader(h, &tag, &length), kResultOK);
        GlobalBlock back = MakeDib(1, 1, 8);
        uint64_t before = AllocRequestCount();
        EXPECT_EQ(ReadDibRecord(h, length, &back), c.rc);
        EXPECT_TRUE(back.Empty());
        if (std::string(c.name) == "count past the record") {
            EXPECT_EQ(AllocRequestCount(), before);
        }
        if (std::string(c.name) != "record shorter than chunk head") {
            EXPECT_EQ(StreamPeekRecordTag(h), 2007u);
        }
        DiscardStream(h);
    }
}

TEST_F(DibChunks, FailedWriteLeavesTheStreamWhereTheRecordBegan) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 2, 2007, "xx"), kResultOK);
    // A header that claims more rows than the block holds.
    GlobalBlock dib = MakeDib(4, 4, 8);
    PutLE(dib.Bytes() + 8, 40, 4);
    EXPECT_EQ(WriteDibRecord(h, dib), kResultBadStreamKind);
    uint32_t pos = 0;
    EXPECT_EQ(StreamTell(h, &pos), kResultOK);
    EXPECT_EQ(pos, 10u);
    DiscardStream(h);
    // A stream that runs out of room mid-chunk.
    uint8_t small[64];
    ASSERT_EQ(OpenViewStream(small, sizeof small, &h), kResultOK);
    EXPECT_EQ(WriteDibRecord(h, MakeDib(10, 10, 8)), kResultBadStreamKind);
    DiscardStream(h);
}

TEST_F(DibChunks, LimitingSinkStopsAtItsLimit) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStreamCopy("abcdefghij", 10, &h), kResultOK);
    {
        StreamHandleByteStream bytes(h);
        EXPECT_EQ(bytes.BytesAvailable(), 10);
        {
            vmz_CLimitingReadSink sink(bytes, 4);
            EXPECT_EQ(sink.BytesAvailable(), 4);
            EXPECT_EQ(sink.Size(), 4);
            char buf[8] = {};
            try {
                sink.Read(buf, 6);
                ADD_FAILURE() << "no underflow";
            } catch (const std::underflow_error& e) {
                EXPECT_STREQ(e.what(), "vmz_CLimitingReadSink - underflow");
            }
            EXPECT_EQ(std::memcmp(buf, "abcd", 4), 0);
            EXPECT_THROW(sink.Write(buf, 1), std::overflow_error);
        }
        {
            vmz_CLimitingReadSink sink(bytes, 3);
            char c;
            sink.Read(&c, 1);
            EXPECT_EQ(c, 'e');
        }  // the rest of the limit is dropped
        TypedReader reader(bytes, false);
        EXPECT_EQ(reader.ReadU8(), 'h');
        EXPECT_THROW(reader.ReadU32(), YrnErrTag);
    }
    DiscardStream(h);
}

TEST_F(DibChunks, TypedValuesInBothByteOrders) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    {
        StreamHandleByteStream bytes(h);
        TypedWriter big(bytes, true), little(bytes, false);
        big.WriteU32(0x01020304);
        little.WriteU32(0x01020304);
        big.WriteI16(-2);
        big.WriteDouble(1.5);
        const uint16_t words[2] = { 0x0102, 0x0304 };
        big.WriteArray16(words, 2);
        little.WriteFloat(2.5f);
    }
    ASSERT_EQ(StreamSeek(h, 0, 0), kResultOK);
    {
        StreamHandleByteStream bytes(h);
        EXPECT_EQ(bytes.BytesAvailable(), 4 + 4 + 2 + 8 + 4 + 4);
        TypedReader big(bytes, true), little(bytes, false);
        uint8_t first;
        big.ReadBytes(&first, 1);
        EXPECT_EQ(first, 1);
        big.Skip(3);
        EXPECT_EQ(little.ReadU32(), 0x01020304u);
        EXPECT_EQ(big.ReadI16(), -2);
        EXPECT_EQ(big.ReadDouble(), 1.5);
        uint16_t words[2];
        big.ReadArray16(words, 2);
        EXPECT_EQ(words[1], 0x0304);
        EXPECT_EQ(little.ReadFloat(), 2.5f);
        EXPECT_FALSE(bytes.HasData());
    }
    DiscardStream(h);
}

TEST_F(DibChunks, StdioByteStreamReadsWhatItWrote) {
    ScratchFolder scratch;
    std::string path = scratch.Path("stdio_bytes.bin");
    FILE* f = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(f, nullptr);
    {
        StdioByteStream bytes(f);
        EXPECT_EQ(bytes.Room(), kUnlimitedRoom);
        TypedWriter writer(bytes, true);
        writer.WriteU32(kDibChunkMagic);
        writer.WriteI16(-7);
        bytes.Flush();
        EXPECT_EQ(bytes.Size(), 6);
        bytes.Rewind();
        EXPECT_EQ(bytes.BytesAvailable(), 6);
        TypedReader reader(bytes, true);
        EXPECT_EQ(reader.ReadU32(), kDibChunkMagic);
        EXPECT_EQ(reader.ReadI16(), -7);
        EXPECT_FALSE(bytes.HasData());
        EXPECT_THROW(reader.ReadU8(), YrnErrTag);
    }
    std::fclose(f);
    std::remove(path.c_str());
}

TEST_F(DibChunks, GlobalBlocksCopyAndHandOver) {
    GlobalBlock a = MakeDib(2, 2, 8);
    GlobalBlock b(a);
    ASSERT_EQ(b.Size(), a.Size());
    EXPECT_NE(b.Bytes(), a.Bytes());
    EXPECT_EQ(std::memcmp(a.Bytes(), b.Bytes(), a.Size()), 0);
    b.Resize(8);
    EXPECT_EQ(b.Size(), 8u);
    uint32_t n = 0;
    uint8_t* taken = b.Take(&n);
    EXPECT_EQ(n, 8u);
    EXPECT_TRUE(b.Empty());
    FreeMemory(taken);
    SetAllocFailureAfter(1);
    EXPECT_THROW(GlobalBlock(16), std::bad_alloc);
}

// Memory failure is not an unreadable picture: the reader answers out of memory, so that
// the document is not opened without its picture as if nothing were wrong.
TEST_F(DibChunks, AllocationFailureWhileReadingGivesOutOfMemory) {
    GlobalBlock dib = MakeDib(4, 4, 8);
    std::vector<uint8_t> body(dib.Bytes(), dib.Bytes() + dib.Size());
    std::vector<uint8_t> rec = ChunkRecord(kDibChunkMagic, 2, uint32_t(body.size()), body);
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStreamCopy(rec.data(), uint32_t(rec.size()), &h), kResultOK);
    uint32_t tag, length;
    ASSERT_EQ(StreamReadRecordHeader(h, &tag, &length), kResultOK);
    GlobalBlock back;
    SetAllocFailureAfter(1);
    EXPECT_EQ(ReadDibRecord(h, length, &back), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_TRUE(back.Empty());
    EXPECT_EQ(StreamPeekRecordTag(h), 2007u);
    DiscardStream(h);
}

}  // namespace
