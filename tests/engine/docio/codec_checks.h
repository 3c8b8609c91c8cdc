// The properties every record codec must have, for the tests of each class's codecs:
// measuring equals the bytes written, what is written reads back and writes the same
// bytes again, and swapping twice restores both sides.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/docio/record_codecs.h"

// Writes `object` through the codec into a buffer of exactly the measured length.
inline std::vector<uint8_t> WriteThroughCodec(RecordCodecFn codec, void* object, const FormatInfo& format) {
    uint32_t measured = MeasureCodecRecord(codec, object, format);
    std::vector<uint8_t> bytes(measured + 1, 0xA5);  // one guard byte
    TransferContext context;
    BeginWriteContext(&context, bytes.data(), measured, object, format);
    EXPECT_FALSE(IsFatalError(codec(&context)));
    EXPECT_EQ(context.destination.cursor, bytes.data() + measured) << "measured and written lengths differ";
    EXPECT_EQ(bytes[measured], 0xA5);
    bytes.resize(measured);
    return bytes;
}

// `object` and `blank` are two objects of the same kind and size; `blank` receives the
// read-back and the swap. Both are left as they were given only when the codec swaps
// every field it stores.
inline void ExpectCodecRoundTrip(RecordCodecFn codec, void* object, void* blank, size_t objectSize,
                                 const FormatInfo& format) {
    std::vector<uint8_t> first = WriteThroughCodec(codec, object, format);
    TransferContext read;
    BeginReadContext(&read, first.data(), uint32_t(first.size()), blank, format);
    EXPECT_FALSE(IsFatalError(codec(&read)));
    EXPECT_EQ(WriteThroughCodec(codec, blank, format), first) << "write, read, write gives other bytes";

    // A first pair of swaps brings state that codecs derive after a swap (bounds, screen
    // values) in line with the fields; the second pair must then change nothing.
    EXPECT_FALSE(IsFatalError(SwapCodecFields(codec, object, blank)));
    EXPECT_FALSE(IsFatalError(SwapCodecFields(codec, object, blank)));
    std::vector<uint8_t> a(static_cast<uint8_t*>(object), static_cast<uint8_t*>(object) + objectSize);
    std::vector<uint8_t> b(static_cast<uint8_t*>(blank), static_cast<uint8_t*>(blank) + objectSize);
    EXPECT_FALSE(IsFatalError(SwapCodecFields(codec, object, blank)));
    EXPECT_FALSE(IsFatalError(SwapCodecFields(codec, object, blank)));
    EXPECT_EQ(std::memcmp(object, a.data(), objectSize), 0) << "swapping twice does not restore";
    EXPECT_EQ(std::memcmp(blank, b.data(), objectSize), 0);
}
