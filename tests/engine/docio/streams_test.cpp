#include "engine/docio/streams.h"

#include <gtest/gtest.h>

#include "stream_bytes.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "tests/support/scratch_folder.h"

namespace {

class Streams : public ::testing::Test {
protected:
    void SetUp() override {
        FreeStreamTable();
        ASSERT_TRUE(InitStreamTable());
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeStreamTable();
    }
    std::string TempPath(const char* name) { return scratch_.Path(name); }

    void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    std::vector<uint8_t> Take(StreamHandle h) {
        return TakeStreamVector(h);
    }

    ScratchFolder scratch_;
};

std::vector<uint8_t> Header(uint32_t length, uint32_t tag) {
    std::vector<uint8_t> b(8);
    for (int i = 0; i < 4; ++i) {
        b[i] = uint8_t(length >> (8 * i));
        b[4 + i] = uint8_t(tag >> (8 * i));
    }
    return b;
}

TEST_F(Streams, MemoryStreamGrowsByChunksSizedFromWhatItHolds) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    std::vector<uint8_t> data(2049);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7);
    uint64_t before = AllocRequestCount();
    ASSERT_EQ(StreamWrite(h, data.data(), 2049), kResultOK);
    EXPECT_EQ(AllocRequestCount() - before, 1u);  // one chunk
    // The chunk holds 1,024 bytes: 1,023 more fit, the next byte needs another chunk.
    std::vector<uint8_t> more(1023, 0x5a);
    before = AllocRequestCount();
    ASSERT_EQ(StreamWrite(h, more.data(), 1023), kResultOK);
    EXPECT_EQ(AllocRequestCount(), before);
    ASSERT_EQ(StreamWrite(h, more.data(), 1), kResultOK);
    EXPECT_EQ(AllocRequestCount() - before, 1u);

    uint8_t b = 0;
    ASSERT_EQ(StreamSeek(h, 2048, 0), kResultOK);
    ASSERT_EQ(StreamRead(h, &b, 1), kResultOK);
    EXPECT_EQ(b, data[2048]);
    EXPECT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> all = Take(h);
    ASSERT_EQ(all.size(), 2049u + 1024u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), all.begin()));
    EXPECT_EQ(StreamKindOf(h), kStreamFree);
}

TEST_F(Streams, LargeMemoryStreamKeepsEveryByte) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(16, &h), kResultOK);
    uint64_t before = AllocRequestCount();
    for (uint32_t i = 0; i < 100000; ++i) {
        uint8_t v = uint8_t(i ^ (i >> 8));
        ASSERT_EQ(StreamWrite(h, &v, 1), kResultOK);
    }
    EXPECT_LT(AllocRequestCount() - before, 80u);  // logarithmic growth
    std::vector<uint8_t> all = Take(h);
    ASSERT_EQ(all.size(), 100000u);
    for (uint32_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], uint8_t(i ^ (i >> 8))) << i;
}

TEST_F(Streams, FirstErrorSticksAndThePositionStays) {
    uint8_t block[10];
    StreamHandle h;
    ASSERT_EQ(OpenViewStream(block, sizeof block, &h), kResultOK);
    const uint8_t bytes[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    ASSERT_EQ(StreamWrite(h, bytes, 8), kResultOK);
    EXPECT_EQ(StreamWrite(h, bytes, 4), kResultBlockFull);
    uint8_t b;
    uint32_t pos = 0;
    EXPECT_EQ(StreamWrite(h, bytes, 1), kResultBlockFull);
    EXPECT_EQ(StreamRead(h, &b, 1), kResultBlockFull);
    EXPECT_EQ(StreamSeek(h, 0, 0), kResultBlockFull);
    EXPECT_EQ(StreamTell(h, &pos), kResultBlockFull);
    EXPECT_EQ(StreamError(h), kResultBlockFull);
    EXPECT_EQ(CloseStream(h), kResultBlockFull);
    DiscardStream(h);
}

TEST_F(Streams, FailedChunkAllocationLeavesThePositionAndAnswers100) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(4, &h), kResultOK);
    ASSERT_EQ(StreamWrite(h, "abcd", 4), kResultOK);
    SetAllocFailureAfter(1);
    EXPECT_EQ(StreamWrite(h, "efgh", 4), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    StreamStats stats{};
    EXPECT_EQ(CloseStream(h, &stats), kResultOutOfMemory);
    EXPECT_EQ(stats.size, 4u);
    uint32_t n = 99;
    EXPECT_EQ(TakeStreamBytes(h, &n), nullptr);
    EXPECT_EQ(n, 0u);
}

TEST_F(Streams, OpeningWithoutMemoryAnswers100AndNoHandle) {
    StreamHandle h = 5;
    SetAllocFailureAfter(1);
    EXPECT_EQ(OpenMemoryStream(0, &h), kResultOutOfMemory);
    EXPECT_EQ(h, 0);
    // A file stream needs its slot and its block; whichever fails, nothing stays open.
    const std::string path = TempPath("no-memory.bin");
    WriteFileBytes(path, { 1, 2, 3 });
    for (int write = 0; write < 2; ++write) {
        for (uint32_t n = 1;; ++n) {
            SCOPED_TRACE(n);
            FreeStreamTable();
            ASSERT_TRUE(InitStreamTable());
            h = 5;
            SetAllocFailureAfter(n);
            const ResultCode rc = write ? OpenFileStreamForWrite(path.c_str(), &h) : OpenFileStreamForRead(path.c_str(), &h);
            SetAllocFailureAfter(0);
            if (rc == kResultOK) {
                EXPECT_EQ(CloseStream(h), kResultOK);
                break;
            }
            EXPECT_EQ(rc, kResultOutOfMemory);
            EXPECT_EQ(h, 0);
            EXPECT_EQ(StreamKindOf(1), kStreamFree);
        }
    }
    EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
}

TEST_F(Streams, HandlesAreReusedLowestFirst) {
    StreamHandle a, b, c, d;
    ASSERT_EQ(OpenCountingStream(&a), kResultOK);
    ASSERT_EQ(OpenCountingStream(&b), kResultOK);
    ASSERT_EQ(OpenCountingStream(&c), kResultOK);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    DiscardStream(b);
    ASSERT_EQ(OpenCountingStream(&d), kResultOK);
    EXPECT_EQ(d, 2);
    // Many streams at once: the table grows past its first chunks.
    std::vector<StreamHandle> many;
    for (int i = 0; i < 40; ++i) {
        StreamHandle x;
        ASSERT_EQ(OpenCountingStream(&x), kResultOK);
        many.push_back(x);
    }
    EXPECT_EQ(many.back(), 43);
    for (StreamHandle x : many) DiscardStream(x);
    DiscardStream(a);
    DiscardStream(c);
    DiscardStream(d);
}

TEST_F(Streams, CountingStreamMeasuresRecords) {
    StreamHandle h;
    ASSERT_EQ(OpenCountingStream(&h), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 6, 1000, "abcdef"), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 0, 1001, nullptr), kResultOK);
    StreamStats stats{};
    EXPECT_EQ(CloseStream(h, &stats), kResultOK);
    EXPECT_EQ(stats.size, 22u);
    EXPECT_EQ(stats.largestRecord, 6u);
    DiscardStream(h);
}

TEST_F(Streams, EmptyMemoryStreamHandsOverAnEmptyBlock) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    uint32_t n = 7;
    void* p = TakeStreamBytes(h, &n);
    EXPECT_NE(p, nullptr);
    EXPECT_EQ(n, 0u);
    FreeMemory(p);
}

TEST_F(Streams, RecordsRoundTripThroughMemory) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 4, 2000, "wxyz"), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 0, 2007, nullptr), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> bytes = Take(h);
    std::vector<uint8_t> want = Header(4, 2000);
    want.insert(want.end(), { 'w', 'x', 'y', 'z' });
    std::vector<uint8_t> end = Header(0, 2007);
    want.insert(want.end(), end.begin(), end.end());
    EXPECT_EQ(bytes, want);

    ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    EXPECT_EQ(StreamPeekRecordTag(h), 2000u);
    uint32_t tag = 0, len = 0;
    const uint8_t* payload = nullptr;
    ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
    EXPECT_EQ(tag, 2000u);
    ASSERT_EQ(len, 4u);
    EXPECT_EQ(std::memcmp(payload, "wxyz", 4), 0);
    ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
    EXPECT_EQ(tag, 2007u);
    EXPECT_EQ(payload, nullptr);
    // At the end a peek answers 0 and leaves the stream usable.
    EXPECT_EQ(StreamPeekRecordTag(h), 0u);
    EXPECT_EQ(StreamError(h), kResultOK);
    EXPECT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultEndOfData);
    EXPECT_EQ(CloseStream(h), kResultOK);  // end of data counts as success
    DiscardStream(h);
}

TEST_F(Streams, ReadRecordIntoFixedBuffers) {
    std::vector<uint8_t> bytes = Header(6, 9001);
    bytes.insert(bytes.end(), { 1, 2, 3, 4, 5, 6 });
    std::vector<uint8_t> second = Header(2, 9002);
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.insert(bytes.end(), { 7, 8 });

    struct Case { uint32_t capacity; ResultCode rc; };
    const Case cases[] = { { 6, kResultOK }, { 10, kResultRecordShort }, { 4, kResultRecordLong } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        uint8_t buf[10] = {};
        uint32_t tag = 0, len = 0;
        EXPECT_EQ(StreamReadRecordInto(h, &tag, &len, buf, c.capacity), c.rc);
        EXPECT_EQ(tag, 9001u);
        EXPECT_EQ(len, 6u);
        EXPECT_EQ(buf[0], 1);
        EXPECT_EQ(buf[3], 4);
        // Always positioned after the record.
        EXPECT_EQ(StreamReadRecordInto(h, &tag, &len, buf, 2), kResultOK);
        EXPECT_EQ(tag, 9002u);
        DiscardStream(h);
    }
}

TEST_F(Streams, ReadRecordIntoRestoresThePositionOnATruncatedRecord) {
    std::vector<uint8_t> bytes = Header(6, 9001);
    bytes.insert(bytes.end(), { 1, 2 });
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    uint8_t buf[8];
    uint32_t tag = 0, len = 0;
    EXPECT_EQ(StreamReadRecordInto(h, &tag, &len, buf, sizeof buf), kResultEndOfData);
    EXPECT_EQ(tag, 0u);
    DiscardStream(h);
}

TEST_F(Streams, HugeLengthBeyondTheEndGives22WithoutAllocating) {
    std::vector<uint8_t> bytes = Header(0x7FFFFFF0u, 2000);
    bytes.resize(40, 0);
    for (int onFile = 0; onFile < 2; ++onFile) {
        SCOPED_TRACE(onFile);
        StreamHandle h;
        std::string path = TempPath("huge.bin");
        if (onFile) {
            WriteFileBytes(path, bytes);
            ASSERT_EQ(OpenFileStreamForRead(path.c_str(), &h), kResultOK);
        } else {
            ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        }
        uint64_t before = AllocRequestCount();
        uint32_t tag, len;
        const uint8_t* payload;
        EXPECT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultEndOfData);
        EXPECT_EQ(AllocRequestCount(), before);
        EXPECT_EQ(CloseStream(h), kResultOK);
        DiscardStream(h);
    }
}

TEST_F(Streams, FileRoundTripAndTruncatedRecord) {
    std::string path = TempPath("records.bin");
    StreamHandle h;
    ASSERT_EQ(OpenFileStreamForWrite(path.c_str(), &h), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 3, 1100, "ab"), kResultOK);  // odd: padded on files
    ASSERT_EQ(StreamWriteRecord(h, 4, 2000, "wxyz"), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    EXPECT_EQ(StreamKindOf(h), kStreamFree);

    ASSERT_EQ(OpenFileStreamForRead(path.c_str(), &h), kResultOK);
    uint32_t size = 0;
    ASSERT_EQ(StreamSize(h, &size), kResultOK);
    EXPECT_EQ(size, 8u + 4u + 8u + 4u);
    uint32_t tag, len;
    const uint8_t* payload;
    ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
    EXPECT_EQ(len, 4u);
    EXPECT_EQ(payload[3], 0);
    ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
    EXPECT_EQ(tag, 2000u);
    EXPECT_EQ(CloseStream(h), kResultOK);

    // A file that ends inside a record.
    std::vector<uint8_t> cut = Header(10, 2000);
    cut.insert(cut.end(), { 1, 2, 3 });
    WriteFileBytes(path, cut);
    ASSERT_EQ(OpenFileStreamForRead(path.c_str(), &h), kResultOK);
    EXPECT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultEndOfData);
    EXPECT_EQ(StreamRead(h, &tag, 1), kResultEndOfData);
    EXPECT_EQ(CloseStream(h), kResultOK);
    EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
}

// Records of every size, some larger than a file stream's read window and write block,
// written to a file with a header rewritten in place, then read back with peeks and
// seeks back and forth across the window's edges.
TEST_F(Streams, LargeFilesKeepEveryByteThroughPeeksAndSeeks) {
    const std::string path = TempPath("large.bin");
    std::vector<uint32_t> lengths;
    for (uint32_t n = 0; n < 3000; ++n) lengths.push_back((n * 7919u) % 1500u * 2u);
    lengths.insert(lengths.begin() + 1000, 300000);  // larger than the write block
    lengths.push_back(3000000);                      // larger than the read window
    auto byteOf = [](uint32_t record, uint32_t i) { return uint8_t(record * 31u + i * 7u); };

    StreamHandle h;
    ASSERT_EQ(OpenFileStreamForWrite(path.c_str(), &h), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 4, 1000, "head"), kResultOK);
    std::vector<uint32_t> starts;
    for (uint32_t r = 0; r < lengths.size(); ++r) {
        std::vector<uint8_t> payload(lengths[r]);
        for (uint32_t i = 0; i < lengths[r]; ++i) payload[i] = byteOf(r, i);
        uint32_t at = 0;
        ASSERT_EQ(StreamTell(h, &at), kResultOK);
        starts.push_back(at);
        ASSERT_EQ(StreamWriteRecord(h, lengths[r], 2000 + r, payload.data()), kResultOK);
    }
    uint32_t end = 0;
    ASSERT_EQ(StreamTell(h, &end), kResultOK);
    ASSERT_EQ(StreamSeek(h, 0, 0), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 4, 1000, "HEAD"), kResultOK);
    ASSERT_EQ(StreamSeek(h, static_cast<int32_t>(end), 0), kResultOK);
    ASSERT_EQ(StreamWriteRecord(h, 0, 1001, nullptr), kResultOK);
    uint32_t size = 0;
    ASSERT_EQ(StreamSize(h, &size), kResultOK);
    EXPECT_EQ(size, end + 8);
    ASSERT_EQ(CloseStream(h), kResultOK);

    ASSERT_EQ(OpenFileStreamForRead(path.c_str(), &h), kResultOK);
    uint32_t tag = 0, len = 0;
    const uint8_t* payload = nullptr;
    ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
    EXPECT_EQ(std::memcmp(payload, "HEAD", 4), 0);
    // Forwards, then every third record again from the end backwards.
    std::vector<uint32_t> visit;
    for (uint32_t r = 0; r < lengths.size(); ++r) visit.push_back(r);
    for (uint32_t r = uint32_t(lengths.size()); r-- > 0;) {
        if (r % 3 == 0) visit.push_back(r);
    }
    for (uint32_t r : visit) {
        SCOPED_TRACE(r);
        ASSERT_EQ(StreamSeek(h, static_cast<int32_t>(starts[r]), 0), kResultOK);
        ASSERT_EQ(StreamPeekRecordTag(h), 2000 + r);
        ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
        ASSERT_EQ(tag, 2000 + r);
        ASSERT_EQ(len, lengths[r]);
        for (uint32_t i = 0; i < len; i += 997) ASSERT_EQ(payload[i], byteOf(r, i));
        if (len) {
            ASSERT_EQ(payload[len - 1], byteOf(r, len - 1));
        }
    }
    ASSERT_EQ(StreamSeek(h, static_cast<int32_t>(end), 0), kResultOK);
    EXPECT_EQ(StreamPeekRecordTag(h), 1001u);
    ASSERT_EQ(StreamReadRecord(h, &tag, &len, &payload), kResultOK);
    EXPECT_EQ(StreamPeekRecordTag(h), 0u);
    EXPECT_EQ(StreamError(h), kResultOK);
    EXPECT_EQ(StreamRead(h, &tag, 1), kResultEndOfData);
    EXPECT_EQ(CloseStream(h), kResultOK);
    EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
}

// A full disk is reported whether it shows at a write or only when the stream closes.
TEST_F(Streams, FullDiskIsReportedAtTheWriteOrTheClose) {
    // Only where a device refuses every write for want of space.
    FILE* probe = std::fopen("/dev/full", "wb");
    const bool refuses = probe && (std::fputc('x', probe), std::fflush(probe) != 0);
    if (probe) std::fclose(probe);
    if (!refuses) GTEST_SKIP() << "no full device here";
    StreamHandle h;
    ASSERT_EQ(OpenFileStreamForWrite("/dev/full", &h), kResultOK);
    EXPECT_EQ(StreamWriteRecord(h, 4, 2000, "wxyz"), kResultOK);
    EXPECT_EQ(CloseStream(h), kResultDiskFull);

    ASSERT_EQ(OpenFileStreamForWrite("/dev/full", &h), kResultOK);
    std::vector<uint8_t> big(200000, 1);
    ResultCode rc = kResultOK;
    for (int i = 0; i < 4 && rc == kResultOK; ++i) rc = StreamWrite(h, big.data(), uint32_t(big.size()));
    EXPECT_EQ(rc, kResultDiskFull);
    EXPECT_EQ(StreamWrite(h, "x", 1), kResultDiskFull);
    EXPECT_EQ(CloseStream(h), kResultDiskFull);
}

// What is written after a hold can be taken back without a trace, or kept, on every kind
// of stream; a file stream keeps the held bytes back even when they outgrow its block.
TEST_F(Streams, HeldBytesAreTakenBackOrKept) {
    const std::string path = TempPath("held.bin");
    auto bytes = [](uint32_t n, uint8_t seed) {
        std::vector<uint8_t> v(n);
        for (uint32_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 13u);
        return v;
    };
    const std::vector<uint8_t> before = bytes(60000, 1), dropped = bytes(150000, 2), kept = bytes(70000, 3),
                               after = bytes(10, 4);
    enum Kind { kMemory, kView, kFile };
    for (Kind kind : { kMemory, kView, kFile }) {
        SCOPED_TRACE(kind);
        std::vector<uint8_t> view(400000);
        StreamHandle h = 0;
        const ResultCode opened = kind == kMemory ? OpenMemoryStream(0, &h)
                                  : kind == kView ? OpenViewStream(view.data(), uint32_t(view.size()), &h)
                                                  : OpenFileStreamForWrite(path.c_str(), &h);
        ASSERT_EQ(opened, kResultOK);
        EXPECT_EQ(StreamTakeBack(h), kResultInvalidArg);  // nothing held
        ASSERT_EQ(StreamWrite(h, before.data(), uint32_t(before.size())), kResultOK);
        ASSERT_EQ(StreamHold(h), kResultOK);
        for (size_t at = 0; at < dropped.size(); at += 5000)
            ASSERT_EQ(StreamWrite(h, &dropped[at], 5000), kResultOK);
        uint32_t size = 0;  // measuring keeps the hold
        ASSERT_EQ(StreamSize(h, &size), kResultOK);
        EXPECT_EQ(size, before.size() + dropped.size());
        ASSERT_EQ(StreamTakeBack(h), kResultOK);
        uint32_t pos = 0;
        ASSERT_EQ(StreamTell(h, &pos), kResultOK);
        EXPECT_EQ(pos, before.size());
        ASSERT_EQ(StreamHold(h), kResultOK);
        ASSERT_EQ(StreamWrite(h, kept.data(), uint32_t(kept.size())), kResultOK);
        StreamRelease(h);
        ASSERT_EQ(StreamWrite(h, after.data(), uint32_t(after.size())), kResultOK);
        StreamStats stats{};
        ASSERT_EQ(CloseStream(h, &stats), kResultOK);
        std::vector<uint8_t> got;
        if (kind == kFile) {
            FILE* f = std::fopen(path.c_str(), "rb");
            ASSERT_NE(f, nullptr);
            got.resize(before.size() + kept.size() + after.size() + 1);
            got.resize(std::fread(got.data(), 1, got.size(), f));
            std::fclose(f);
        } else {
            EXPECT_EQ(stats.size, before.size() + kept.size() + after.size());
            got = Take(h);
        }
        std::vector<uint8_t> want = before;
        want.insert(want.end(), kept.begin(), kept.end());
        want.insert(want.end(), after.begin(), after.end());
        EXPECT_TRUE(got == want);
    }
    StreamHandle h;
    ASSERT_EQ(OpenFileStreamForRead(path.c_str(), &h), kResultOK);
    EXPECT_EQ(StreamHold(h), kResultInvalidArg);
    EXPECT_EQ(CloseStream(h), kResultOK);
    EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
}

// Bytes put in front of what a file stream keeps land there, across a hold that was
// taken back and a keep that outgrew the write block; the stream's record statistics
// take the inserted record.
TEST_F(Streams, KeptBytesTakeInsertionsInFront) {
    const std::string path = TempPath("kept.bin");
    std::vector<uint8_t> head(100, 1), body(200000), inserted = Header(300, 77);
    for (size_t i = 0; i < body.size(); ++i) body[i] = uint8_t(i * 7u);
    inserted.resize(8 + 300, 5);
    StreamHandle h = 0;
    ASSERT_EQ(OpenFileStreamForWrite(path.c_str(), &h), kResultOK);
    ASSERT_TRUE(StreamCanKeep(h));
    ASSERT_EQ(StreamWrite(h, head.data(), uint32_t(head.size())), kResultOK);
    ASSERT_EQ(StreamKeep(h), kResultOK);
    ASSERT_EQ(StreamHold(h), kResultOK);
    ASSERT_EQ(StreamWrite(h, body.data(), 1000), kResultOK);
    EXPECT_EQ(StreamInsertKept(h, 100, inserted.data(), 8, 0), kResultInvalidArg);  // under a hold
    ASSERT_EQ(StreamTakeBack(h), kResultOK);
    for (size_t at = 0; at < body.size(); at += 10000)
        ASSERT_EQ(StreamWrite(h, &body[at], 10000), kResultOK);
    EXPECT_EQ(StreamKeptBytes(h), body.size());
    EXPECT_EQ(StreamInsertKept(h, 99, inserted.data(), 8, 0), kResultInvalidArg);  // before the keep
    ASSERT_EQ(StreamInsertKept(h, 100, inserted.data(), uint32_t(inserted.size()), 300), kResultOK);
    StreamEndKeep(h);
    EXPECT_EQ(StreamKeptBytes(h), 0u);
    uint32_t pos = 0;
    ASSERT_EQ(StreamTell(h, &pos), kResultOK);
    EXPECT_EQ(pos, head.size() + inserted.size() + body.size());
    StreamStats stats{};
    ASSERT_EQ(CloseStream(h, &stats), kResultOK);
    EXPECT_EQ(stats.largestRecord, 300u);
    std::vector<uint8_t> got(pos + 1);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    got.resize(std::fread(got.data(), 1, got.size(), f));
    std::fclose(f);
    std::vector<uint8_t> want = head;
    want.insert(want.end(), inserted.begin(), inserted.end());
    want.insert(want.end(), body.begin(), body.end());
    EXPECT_TRUE(got == want);
    EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
    // Only a file written through its block keeps.
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    EXPECT_FALSE(StreamCanKeep(h));
    EXPECT_EQ(StreamKeep(h), kResultInvalidArg);
    DiscardStream(h);
}

// Records framed in a file's write block: room asked for under a hold on a full block
// hands what lies before the hold to the file, a run taken back leaves nothing, and a
// committed run counts as written, its largest record too.
TEST_F(Streams, RecordRoomInTheWriteBlock) {
    const std::string path = TempPath("room.bin");
    std::vector<uint8_t> head(65000), run(512);
    for (size_t i = 0; i < head.size(); ++i) head[i] = uint8_t(i * 3u);
    for (size_t i = 0; i < run.size(); ++i) run[i] = uint8_t(200 - i);
    StreamHandle h = 0;
    ASSERT_EQ(OpenFileStreamForWrite(path.c_str(), &h), kResultOK);
    ASSERT_EQ(StreamWrite(h, head.data(), uint32_t(head.size())), kResultOK);
    ASSERT_EQ(StreamHold(h), kResultOK);
    uint8_t* room = StreamRecordRoom(h, 512);
    ASSERT_NE(room, nullptr);
    std::memcpy(room, run.data(), 300);
    StreamCommitRecords(h, 300, 292);
    ASSERT_EQ(StreamTakeBack(h), kResultOK);
    ASSERT_EQ(StreamHold(h), kResultOK);
    room = StreamRecordRoom(h, 512);
    ASSERT_NE(room, nullptr);
    std::memcpy(room, run.data() + 100, 200);
    StreamCommitRecords(h, 200, 40);
    StreamRelease(h);
    uint32_t pos = 0;
    ASSERT_EQ(StreamTell(h, &pos), kResultOK);
    EXPECT_EQ(pos, head.size() + 200);
    StreamStats stats{};
    ASSERT_EQ(CloseStream(h, &stats), kResultOK);
    EXPECT_EQ(stats.largestRecord, 292u);  // taking back does not lower it, as with any record
    std::vector<uint8_t> got(pos + 1);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    got.resize(std::fread(got.data(), 1, got.size(), f));
    std::fclose(f);
    std::vector<uint8_t> want = head;
    want.insert(want.end(), run.begin() + 100, run.begin() + 300);
    EXPECT_TRUE(got == want);
    EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
}

TEST_F(Streams, FileErrorsAreMapped) {
    StreamHandle h = 3;
    EXPECT_EQ(OpenFileStreamForRead(TempPath("no-such-file.bin").c_str(), &h), kResultFileNotFound);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(DeleteStreamFile(TempPath("no-such-file.bin").c_str()), kResultFileNotFound);
    EXPECT_EQ(MapCrtError(ENOSPC), kResultDiskFull);
    EXPECT_EQ(MapCrtError(EACCES), kResultAccessDenied);
    EXPECT_EQ(MapCrtError(12345), kResultIOError);
}

TEST_F(Streams, TempFileBesideTheTarget) {
    char temp[260];
    StreamHandle h;
    std::string target = TempPath("doc.fig");
    ASSERT_EQ(OpenTempFileStreamForWrite(target.c_str(), temp, &h), kResultOK);
    EXPECT_EQ(std::string(temp).rfind(scratch_.Folder().string(), 0), 0u);
    ASSERT_EQ(StreamWrite(h, "x", 1), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    EXPECT_EQ(DeleteStreamFile(temp), kResultOK);
    EXPECT_EQ(OpenTempFileStreamForWrite("/locked/doc.fig", temp, &h), kResultAccessDenied);
}

TEST_F(Streams, SeekPastTheEndOfKnownDataGives22) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStreamCopy("abcd", 4, &h), kResultOK);
    EXPECT_EQ(StreamSeek(h, 2, 0), kResultOK);
    EXPECT_EQ(StreamSeek(h, 3, 1), kResultEndOfData);
    EXPECT_EQ(StreamError(h), kResultEndOfData);
    DiscardStream(h);
    ASSERT_EQ(OpenMemoryStreamCopy("abcd", 4, &h), kResultOK);
    EXPECT_EQ(StreamSeek(h, -1, 0), kResultInvalidArg);
    DiscardStream(h);
}

TEST_F(Streams, ReadAllocRefusesMoreThanTheStreamHolds) {
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStreamCopy("abcd", 4, &h), kResultOK);
    void* block = reinterpret_cast<void*>(1);
    uint64_t before = AllocRequestCount();
    EXPECT_EQ(StreamReadAlloc(h, &block, 1000000, 0), kResultEndOfData);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(AllocRequestCount(), before);
    DiscardStream(h);
    ASSERT_EQ(OpenMemoryStreamCopy("abcd", 4, &h), kResultOK);
    ASSERT_EQ(StreamReadAlloc(h, &block, 4, 0), kResultOK);
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
    FreeMemory(block);
    DiscardStream(h);
}

}  // namespace
