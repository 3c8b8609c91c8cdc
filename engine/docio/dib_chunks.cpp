#include "engine/docio/dib_chunks.h"

#include <cstring>
#include <new>
#include <utility>

#include "engine/core/memory.h"

GlobalBlock::GlobalBlock(uint32_t size) { Resize(size); }

GlobalBlock::GlobalBlock(const GlobalBlock& other) {
    if (!other.Empty()) {
        Resize(other.size_);
        std::memcpy(bytes_, other.bytes_, size_);
    }
}

GlobalBlock& GlobalBlock::operator=(const GlobalBlock& other) {
    if (this != &other) {
        GlobalBlock copy(other);
        std::swap(bytes_, copy.bytes_);
        std::swap(size_, copy.size_);
    }
    return *this;
}

GlobalBlock& GlobalBlock::operator=(GlobalBlock&& other) noexcept {
    if (this != &other) {
        FreeMemory(bytes_);
        bytes_ = other.bytes_;
        size_ = other.size_;
        other.bytes_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

GlobalBlock::~GlobalBlock() { FreeMemory(bytes_); }

void GlobalBlock::Resize(uint32_t size) {
    if (!bytes_) {
        bytes_ = static_cast<uint8_t*>(AllocMemory(size ? size : 1, kAllocZero));
        if (!bytes_) throw std::bad_alloc();
    } else {
        void* p = bytes_;
        if (!ReallocMemory(&p, size ? size : 1, true)) throw std::bad_alloc();
        bytes_ = static_cast<uint8_t*>(p);
    }
    size_ = size;
}

uint8_t* GlobalBlock::Take(uint32_t* size) {
    uint8_t* b = bytes_;
    if (size) *size = size_;
    bytes_ = nullptr;
    size_ = 0;
    return b;
}

namespace {

uint32_t LE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t LE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

namespace {

constexpr uint32_t kDibLimit = 0x7FFFFFFFu - kDibChunkHeadBytes;
constexpr uint32_t kRle8 = 1, kRle4 = 2, kBitFields = 3;

// The layout the header describes; the header itself must lie within `available`.
bool DescribeDib(const uint8_t* dib, uint32_t available, PackedDibLayout* out) {
    *out = PackedDibLayout{};
    if (!dib || available < 4) return false;
    const uint32_t headerBytes = LE32(dib);
    uint64_t colors = 0, colorBytes = 0, masks = 0, rowsBytes = 0;
    int64_t width = 0, height = 0;
    uint32_t depth = 0, compression = 0;
    if (headerBytes == kDibCoreHeaderBytes) {
        if (available < kDibCoreHeaderBytes || LE16(dib + 8) != 1) return false;
        width = LE16(dib + 4);
        height = LE16(dib + 6);
        depth = LE16(dib + 10);
        colors = depth <= 8 ? (1u << depth) : 0;
        colorBytes = colors * 3;
    } else {
        if (headerBytes < kDibHeaderBytes || headerBytes > available) return false;
        width = int32_t(LE32(dib + 4));
        height = int32_t(LE32(dib + 8));
        const uint32_t planes = LE16(dib + 12);
        if (planes == 0) return false;
        depth = uint32_t(LE16(dib + 14)) * planes;
        compression = LE32(dib + 16);
        const uint32_t used = LE32(dib + 32);
        colors = used ? used : (depth <= 8 ? (1u << depth) : 0);
        colorBytes = colors * 4;
        if (compression == kBitFields && headerBytes == kDibHeaderBytes) masks = 12;
        if (compression == kRle8 || compression == kRle4) rowsBytes = LE32(dib + 20);
    }
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    switch (compression) {
    case 0: break;
    case kRle8: if (depth != 8 || height < 0 || rowsBytes == 0) return false; break;
    case kRle4: if (depth != 4 || height < 0 || rowsBytes == 0) return false; break;
    case kBitFields: if (depth != 16 && depth != 32) return false; break;
    default: return false;
    }
    if (!rowsBytes) {
        const uint64_t rowBytes = ((uint64_t(width) * depth + 31) / 32) * 4;
        rowsBytes = rowBytes * uint64_t(height < 0 ? -height : height);
    }
    const uint64_t offset = headerBytes + colorBytes + masks;
    const uint64_t total = offset + rowsBytes;
    if (total > kDibLimit) return false;
    *out = { headerBytes, int32_t(width), int32_t(height), depth, compression, uint32_t(offset), uint32_t(total) };
    return true;
}

}  // namespace

bool ParsePackedDib(const uint8_t* dib, uint32_t available, PackedDibLayout* layout) {
    return DescribeDib(dib, available, layout) && layout->totalBytes <= available;
}

uint32_t PackedDibBytes(const uint8_t* dib, uint32_t available) {
    PackedDibLayout layout;
    return DescribeDib(dib, available, &layout) ? layout.totalBytes : 0;
}

uint32_t DibRecordLength(const GlobalBlock& dib) {
    uint32_t n = PackedDibBytes(dib.Bytes(), dib.Size());
    return n ? n + kDibChunkHeadBytes : 0;
}

void WriteDibChunk(TypedWriter& writer, const GlobalBlock& dib) {
    uint32_t n = PackedDibBytes(dib.Bytes(), dib.Size());
    writer.WriteU32(kDibChunkMagic);
    writer.WriteU32(kDibChunkVersion);
    writer.WriteU32(n);
    if (n == 0 || dib.Size() < n) throw vmz_XPlatformError(8);
    writer.WriteBytes(dib.Bytes(), static_cast<int32_t>(n));
}

GlobalBlock ReadDibChunk(TypedReader& reader) {
    uint32_t magic = reader.ReadU32();
    uint32_t version = reader.ReadU32();
    uint32_t n = reader.ReadU32();
    if (magic != kDibChunkMagic || version > kDibChunkVersion || n == 0) {
        reader.Skip(static_cast<int32_t>(n > 0x7FFFFFFFu ? 0x7FFFFFFFu : n));
        return GlobalBlock();
    }
    // The count must lie within what the stream (the record) still holds, so a damaged
    // count never makes us allocate for bytes that are not there.
    if (n > static_cast<uint32_t>(reader.Stream().BytesAvailable())) throw vmz_XPlatformError(13);
    GlobalBlock dib(n);
    reader.ReadBytes(dib.Bytes(), static_cast<int32_t>(n));
    // The header must describe no more than the bytes that came with it.
    uint32_t described = PackedDibBytes(dib.Bytes(), n);
    if (described == 0 || described > n) throw vmz_XPlatformError(13);
    return dib;
}

ResultCode WriteDibRecord(StreamHandle stream, const GlobalBlock& dib) {
    uint32_t start = 0;
    if (StreamTell(stream, &start) != kResultOK) return kResultBadStreamKind;
    try {
        uint32_t length = DibRecordLength(dib);
        if (length == 0) throw vmz_XPlatformError(8);
        ResultCode rc = StreamBeginRecord(stream, length, nullptr, kPictureDibTag);
        if (rc != kResultOK) throw static_cast<YrnErrTag>(rc);
        StreamHandleByteStream bytes(stream);
        TypedWriter writer(bytes, true);
        WriteDibChunk(writer, dib);
        return kResultOK;
    } catch (...) {
        StreamSeek(stream, static_cast<int32_t>(start), 0);
        return kResultBadStreamKind;
    }
}

ResultCode ReadDibRecord(StreamHandle stream, uint32_t recordLength, GlobalBlock* dib) {
    *dib = GlobalBlock();
    uint32_t start = 0;
    if (StreamTell(stream, &start) != kResultOK) return kResultRecordLong;
    ResultCode rc = kResultOK;
    try {
        StreamHandleByteStream bytes(stream);
        vmz_CLimitingReadSink record(bytes, static_cast<int32_t>(recordLength > 0x7FFFFFFFu ? 0x7FFFFFFFu : recordLength));
        TypedReader reader(record, true);
        *dib = ReadDibChunk(reader);
    } catch (const std::bad_alloc&) {
        // Not an unreadable picture: without memory the document cannot open whole.
        *dib = GlobalBlock();
        rc = kResultOutOfMemory;
    } catch (...) {
        *dib = GlobalBlock();
        rc = kResultRecordLong;
    }
    // Whatever the chunk held, the next record starts after this one.
    if (StreamError(stream) == kResultOK) {
        uint64_t end = static_cast<uint64_t>(start) + recordLength;
        uint32_t pos = 0;
        if (StreamTell(stream, &pos) == kResultOK && pos != end && end <= 0x7FFFFFFFu)
            StreamSeek(stream, static_cast<int32_t>(end), 0);
    }
    return rc;
}
