// Pictures stored in documents as record 8002: a device-independent bitmap wrapped in
// a chunk whose three header words are big-endian:
//   u32 0x20424944, u32 version 2, u32 n, then the packed DIB (n bytes): its 40-byte
//   header, the colour table (4 bytes a colour) and the pixel rows.
#pragma once
#include <cstdint>

#include "engine/docio/byte_streams.h"
#include "engine/docio/streams.h"

constexpr uint32_t kDibChunkMagic   = 0x20424944;
constexpr uint32_t kDibChunkVersion = 2;
constexpr uint32_t kDibChunkHeadBytes = 12;
constexpr uint32_t kDibHeaderBytes  = 40;
constexpr uint32_t kPictureDibTag   = 8002;

// A packed DIB in engine memory (the platform layer turns it into a system block).
// Owns its bytes; copying makes a new block; allocation failure throws std::bad_alloc.
class GlobalBlock {
public:
    GlobalBlock() = default;
    explicit GlobalBlock(uint32_t size);
    GlobalBlock(const GlobalBlock& other);
    GlobalBlock& operator=(const GlobalBlock& other);
    GlobalBlock(GlobalBlock&& other) noexcept : bytes_(other.bytes_), size_(other.size_) {
        other.bytes_ = nullptr;
        other.size_ = 0;
    }
    GlobalBlock& operator=(GlobalBlock&& other) noexcept;
    ~GlobalBlock();
    void     Resize(uint32_t size);
    // Hands the block to the caller (an AllocMemory block) and leaves this one empty.
    uint8_t* Take(uint32_t* size);
    uint8_t* Bytes() const { return bytes_; }
    uint32_t Size() const { return size_; }
    bool     Empty() const { return bytes_ == nullptr; }

private:
    uint8_t* bytes_ = nullptr;
    uint32_t size_ = 0;
};

// What the header of a packed DIB says of it. A core header (12 bytes) has 16-bit sizes
// and 3-byte colours, 2^bits of them up to 8 bits a pixel; a longer header 4-byte
// colours, biClrUsed of them or else 2^bits up to 8 bits, and with bit fields (3) behind a
// 40-byte header three 4-byte masks. Compressed rows (RLE) count biSizeImage bytes.
struct PackedDibLayout {
    uint32_t headerBytes;
    int32_t  width;
    int32_t  height;        // negative: top-down rows
    uint32_t bitsPerPixel;
    uint32_t compression;   // 0 plain rows, 1 and 2 run-length, 3 bit fields
    uint32_t bitsOffset;    // header, colours and masks
    uint32_t totalBytes;    // bitsOffset and the rows
};
constexpr uint32_t kDibCoreHeaderBytes = 12;

// True when the header is a sound one and everything it describes lies within the
// `available` bytes: a header no shorter than its kind, a positive width and non-zero
// height, a known depth and compression that suit each other, and sizes below 2^31.
bool ParsePackedDib(const uint8_t* dib, uint32_t available, PackedDibLayout* layout);
// The byte count n that a packed DIB's header describes (header, colour table, masks,
// rows), or 0 when the header is not sound (ParsePackedDib with no limit but `available`
// for the header itself).
uint32_t PackedDibBytes(const uint8_t* dib, uint32_t available);
// The record length for a DIB: n + 12, or 0 for an unsound header.
uint32_t DibRecordLength(const GlobalBlock& dib);

// Writes the chunk; throws vmz_XPlatformError(8) when the block is smaller than n.
void WriteDibChunk(TypedWriter& writer, const GlobalBlock& dib);
// Reads a chunk; a chunk with another magic, a later version or no data is skipped and
// answers an empty block. A count beyond what the stream holds, or a DIB header that
// describes more bytes than the count, throws vmz_XPlatformError.
GlobalBlock ReadDibChunk(TypedReader& reader);

// Writes record 8002. Any failure puts the stream back where the record began and
// answers 101.
ResultCode WriteDibRecord(StreamHandle stream, const GlobalBlock& dib);
// With the stream at the payload of a record of `recordLength` bytes: reads the chunk
// (never past the record) and leaves the stream after the record. Any failure gives
// warning 4 and no image.
ResultCode ReadDibRecord(StreamHandle stream, uint32_t recordLength, GlobalBlock* dib);
