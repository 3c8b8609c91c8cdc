#include "engine/docio/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/core/chunked_array.h"
#include "engine/core/memory.h"
#include "engine/core/services/files.h"

namespace {

// A chunk of a growable memory stream; its bytes follow the head.
struct MemoryChunk {
    uint32_t     size;
    MemoryChunk* next;
};

uint8_t* ChunkBytes(MemoryChunk* c) { return reinterpret_cast<uint8_t*>(c + 1); }

// How a file stream meets the C library: through a window of the file read ahead
// (reading), or through a block of bytes not yet handed on (writing). Operations against
// the stream's direction go straight to the C library, which refuses them.
enum FileBuffering : uint32_t { kFileReadWindow = 1, kFileWriteBlock = 2 };

// Files up to this size are read whole by the first read; larger ones a window at a time.
constexpr uint32_t kFileWindowBytes = 1u << 20;
constexpr uint32_t kFileWindowUnknownSize = 4096;
constexpr uint32_t kFileWriteBlockBytes = 64u << 10;

struct StreamSlot {
    uint32_t    kind;
    void*       target;            // FILE*, first memory block, or the caller's block
    uint32_t    capacity;          // caller's block (views)
    uint8_t*    recordBuffer;
    uint32_t    recordBufferCapacity;
    uint32_t    position;
    uint32_t    largestRecord;
    uint32_t    size;              // high-water mark, or the file's length when opened to read
    ResultCode  sticky;
    uint32_t    reserved;
    MemoryChunk* chain;
    uint32_t    firstBlockSize;
    // File streams: the window (reading: the file's bytes from bufferStart on) or the
    // write block (writing: bytes that belong at bufferStart, not yet in the file; the
    // position is then always bufferStart + bufferLength).
    uint32_t    buffering;
    uint8_t*    fileBuffer;
    uint32_t    fileBufferCapacity;
    uint32_t    bufferStart;
    uint32_t    bufferLength;
    // A hold (StreamHold): where it began and the size then. A file stream keeps every
    // byte written since in its write block, so that they can still be taken back.
    uint32_t    holding;
    uint32_t    holdStart;
    uint32_t    holdSize;
    // Keeping (StreamKeep, file streams only): every byte from keepStart on stays in
    // the write block, so that bytes can still be put in front of them.
    uint32_t    keeping;
    uint32_t    keepStart;
};

// Slots live in a chunked array so that their addresses stay fixed while streams open
// and close; element 0 is never used.
ChunkedArray* gSlots        = nullptr;
int16_t       gFreeSlotHint = 1;
// The slot of the handle used last: a run of calls on one stream finds it at once.
// Slots never move and a released slot reads as free, so the entry stays safe until
// the table itself is freed.
StreamHandle  gLastHandle   = 0;
StreamSlot*   gLastSlot     = nullptr;

StreamSlot* SlotAt(int index, bool grow) {
    if (!gSlots) return nullptr;
    if (!grow && index > ChunkedArrayLastIndex(gSlots)) return nullptr;
    return static_cast<StreamSlot*>(ChunkedArrayAt(gSlots, index));
}

StreamSlot* Slot(StreamHandle h) {
    if (h == gLastHandle && gLastSlot) return gLastSlot->kind != kStreamFree ? gLastSlot : nullptr;
    if (h <= 0 || !gSlots) return nullptr;
    StreamSlot* s = SlotAt(h, false);
    if (!s || s->kind == kStreamFree) return nullptr;
    gLastHandle = h;
    gLastSlot = s;
    return s;
}

FILE* FileOf(StreamSlot* s) { return static_cast<FILE*>(s->target); }

ResultCode MapOpenError(int err) {
    ResultCode rc = MapCrtError(err);
    return rc == kResultInvalidArg ? kResultInvalidName : rc;
}

// Hands the first n bytes of the write block on to the file; the rest moves to the
// block's front. The bytes are dropped when that fails (the stream's first error then
// stands for them).
ResultCode FlushWriteBlockPart(StreamSlot* s, uint32_t n) {
    if (n == 0) return kResultOK;
    const uint32_t rest = s->bufferLength - n;
    errno = 0;
    const bool written = std::fwrite(s->fileBuffer, 1, n, FileOf(s)) == n;
    const int err = errno;
    s->bufferStart += n;
    if (rest) std::memmove(s->fileBuffer, s->fileBuffer + n, rest);
    s->bufferLength = rest;
    return written ? kResultOK : MapCrtError(err);
}

// Hands the whole write block on to the file; what a hold or a keep kept goes with it.
ResultCode FlushWriteBlock(StreamSlot* s) {
    if (s->buffering != kFileWriteBlock) return kResultOK;
    s->holding = 0;
    s->keeping = 0;
    return FlushWriteBlockPart(s, s->bufferLength);
}

// Room in the write block for n more bytes, the block at least doubling each time so
// that a long hold or keep copies what it holds about once in all.
bool GrowWriteBlock(StreamSlot* s, uint32_t n) {
    if (n <= s->fileBufferCapacity - s->bufferLength) return true;
    const uint64_t need = uint64_t{s->bufferLength} + n;
    const uint64_t want = std::max<uint64_t>(need, uint64_t{s->fileBufferCapacity} * 2);
    if (need > 0x7FFFFFFFu) return false;
    void* block = s->fileBuffer;
    const uint64_t size = std::min<uint64_t>(want, 0x7FFFFFFFu);
    if (!ReallocMemory(&block, static_cast<size_t>(size), true)) return false;
    s->fileBuffer = static_cast<uint8_t*>(block);
    s->fileBufferCapacity = static_cast<uint32_t>(size);
    return true;
}

// Puts the stream at `pos` regardless of its sticky error (for the layer's own undo of
// a failed record). Bytes of the write block from `pos` on are dropped.
void ForcePosition(StreamSlot* s, uint32_t pos) {
    s->position = pos;
    if (s->kind != kStreamFile || s->buffering == kFileReadWindow) return;
    if (s->buffering == kFileWriteBlock) {
        if (pos >= s->bufferStart && pos - s->bufferStart <= s->bufferLength) {
            s->bufferLength = pos - s->bufferStart;
            return;
        }
        FlushWriteBlock(s);
        s->bufferStart = pos;
    }
    std::fseek(FileOf(s), static_cast<long>(pos), SEEK_SET);
}

// Reads n bytes at `pos` of a file read through its window; the position does not move.
// A short read answers 22 at the end of the file, else the mapped error.
ResultCode WindowRead(StreamSlot* s, uint32_t pos, uint8_t* out, uint32_t n) {
    if (n == 0) return kResultOK;
    if (pos >= s->bufferStart && pos - s->bufferStart <= s->bufferLength &&
        n <= s->bufferLength - (pos - s->bufferStart)) {
        std::memcpy(out, s->fileBuffer + (pos - s->bufferStart), n);
        return kResultOK;
    }
    FILE* f = FileOf(s);
    errno = 0;
    if (std::fseek(f, static_cast<long>(pos), SEEK_SET) != 0) return MapCrtError(errno);
    if (n >= s->fileBufferCapacity) {
        // More than the window holds: straight into the caller's buffer.
        if (std::fread(out, 1, n, f) != n) return std::feof(f) ? kResultEndOfData : MapCrtError(errno);
        return kResultOK;
    }
    s->bufferStart = pos;
    s->bufferLength = static_cast<uint32_t>(std::fread(s->fileBuffer, 1, s->fileBufferCapacity, f));
    const uint32_t got = s->bufferLength < n ? s->bufferLength : n;
    std::memcpy(out, s->fileBuffer, got);
    if (got < n) return std::feof(f) ? kResultEndOfData : MapCrtError(errno);
    return kResultOK;
}

// The window or write block of a newly opened file stream; without memory for it the
// stream is closed again and its slot given back.
ResultCode GiveFileBuffer(StreamHandle h, StreamSlot* s, uint32_t buffering, uint32_t capacity) {
    s->fileBuffer = static_cast<uint8_t*>(AllocMemory(capacity, 0));
    if (!s->fileBuffer) {
        std::fclose(FileOf(s));
        ReleaseStreamSlot(h);
        return kResultOutOfMemory;
    }
    s->buffering = buffering;
    s->fileBufferCapacity = capacity;
    return kResultOK;
}

void FreeChain(StreamSlot* s) {
    MemoryChunk* c = s->chain;
    while (c) {
        MemoryChunk* next = c->next;
        FreeMemory(c);
        c = next;
    }
    s->chain = nullptr;
}

uint32_t ChunkFactor(uint32_t size) {
    if (size < 4096) return 2;
    uint32_t factor = 4;
    for (uint32_t s = size >> 12; s > 3; s /= 4) factor *= 2;
    return factor;
}

// Appends a chunk sized from what the stream already holds (`held`), at least `need`.
ResultCode AddMemoryChunk(StreamSlot* s, uint32_t held, uint32_t need) {
    uint32_t size = held / ChunkFactor(held);
    if (size < need) size = need;
    if (size > 0xFFFFFFFFu - sizeof(MemoryChunk)) return kResultOutOfMemory;
    MemoryChunk* c = static_cast<MemoryChunk*>(AllocMemory(sizeof(MemoryChunk) + size, kAllocZero));
    if (!c) return kResultOutOfMemory;
    c->size = size;
    c->next = nullptr;
    MemoryChunk** link = &s->chain;
    while (*link) link = &(*link)->next;
    *link = c;
    return kResultOK;
}

// Copies between the caller and a memory stream's address space at `pos`. When
// `writing`, chunks are appended as needed; reading past the last chunk gives 22.
ResultCode MemoryTransfer(StreamSlot* s, uint32_t pos, uint8_t* bytes, uint32_t n, bool writing) {
    MemoryChunk* chunk = nullptr;  // null: the first block
    uint8_t* block   = static_cast<uint8_t*>(s->target);
    uint32_t blockSz = s->firstBlockSize;
    uint32_t base    = 0;  // stream address of `block`'s first byte
    while (n > 0) {
        if (pos < base + blockSz) {
            uint32_t off  = pos - base;
            uint32_t take = blockSz - off < n ? blockSz - off : n;
            if (writing) std::memcpy(block + off, bytes, take);
            else         std::memcpy(bytes, block + off, take);
            bytes += take;
            pos   += take;
            n     -= take;
            continue;
        }
        base += blockSz;
        MemoryChunk* next = chunk ? chunk->next : s->chain;
        if (!next) {
            if (!writing) return kResultEndOfData;
            uint64_t need = static_cast<uint64_t>(pos) + n - base;
            if (need > 0xFFFFFFFFu) return kResultOutOfMemory;
            // The chunk is sized from what the stream holds at this point of the write.
            uint32_t held = s->size > base ? s->size : base;
            ResultCode rc = AddMemoryChunk(s, held, static_cast<uint32_t>(need));
            if (rc != kResultOK) return rc;
            next = chunk ? chunk->next : s->chain;
        }
        chunk   = next;
        block   = ChunkBytes(chunk);
        blockSz = chunk->size;
    }
    return kResultOK;
}

bool EnsureRecordBuffer(StreamSlot* s, uint32_t n, uint32_t firstMinimum) {
    if (s->recordBuffer && s->recordBufferCapacity >= n) return true;
    uint32_t want = n;
    if (!s->recordBuffer && want < firstMinimum) want = firstMinimum;
    if (want == 0) want = 1;
    void* block = s->recordBuffer;
    if (block) {
        if (!ReallocMemory(&block, want, true)) return false;
    } else {
        block = AllocMemory(want, 0);
        if (!block) return false;
    }
    s->recordBuffer = static_cast<uint8_t*>(block);
    s->recordBufferCapacity = want;
    return true;
}

uint32_t ReadU32LE(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void WriteU32LE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

ResultCode OpenSlot(StreamHandle* out, StreamSlot** slot) {
    *out = AllocStreamSlot();
    if (*out == 0) return kResultOutOfMemory;
    *slot = SlotAt(*out, false);
    return kResultOK;
}

}  // namespace

bool InitStreamTable() {
    if (gSlots) return true;
    gFreeSlotHint = 1;
    gSlots = CreateChunkedArray(static_cast<int32_t>(sizeof(StreamSlot)), 24, 8, 0);
    return gSlots != nullptr;
}

void FreeStreamTable() {
    FreeChunkedArray(gSlots);
    gSlots = nullptr;
    gFreeSlotHint = 1;
    gLastHandle = 0;
    gLastSlot = nullptr;
}

StreamHandle AllocStreamSlot() {
    if (!gSlots && !InitStreamTable()) return 0;
    for (int h = gFreeSlotHint < 1 ? 1 : gFreeSlotHint; h <= 0x7FFF; ++h) {
        StreamSlot* s = SlotAt(h, true);
        if (!s) return 0;
        if (s->kind == kStreamFree) {
            std::memset(s, 0, sizeof *s);
            gFreeSlotHint = static_cast<int16_t>(h < 0x7FFF ? h + 1 : h);
            return static_cast<StreamHandle>(h);
        }
    }
    return 0;
}

void ReleaseStreamSlot(StreamHandle h) {
    if (h <= 0 || !gSlots) return;
    StreamSlot* s = SlotAt(h, false);
    if (!s) return;
    std::memset(s, 0, sizeof *s);
    if (h < gFreeSlotHint) gFreeSlotHint = h;
}

ResultCode MapCrtError(int err) {
    switch (err) {
        case ENOENT: return kResultFileNotFound;
        case EBADF:  return kResultBadFileHandle;
        case EACCES: return kResultAccessDenied;
        case EEXIST: return kResultFileExists;
        case EINVAL: return kResultInvalidArg;
        case EMFILE: return kResultTooManyFiles;
        case ENOSPC: return kResultDiskFull;
        default:     return kResultIOError;
    }
}

StreamKind StreamKindOf(StreamHandle h) {
    StreamSlot* s = Slot(h);
    return s ? static_cast<StreamKind>(s->kind) : kStreamFree;
}

// ---- opening and closing

namespace {

// A slot for an open file; the file is closed when no slot can be had.
ResultCode OpenFileSlot(FILE* f, StreamHandle* out, StreamSlot** slot) {
    if (OpenSlot(out, slot) != kResultOK) {
        std::fclose(f);
        return kResultOutOfMemory;
    }
    (*slot)->kind = kStreamFile;
    (*slot)->target = f;
    return kResultOK;
}

}  // namespace

ResultCode OpenFileStreamForRead(const char* path, StreamHandle* out) {
    *out = 0;
    errno = 0;
    FILE* f = std::fopen(path, "rb");
    if (!f) return MapOpenError(errno);
    StreamSlot* s;
    if (OpenFileSlot(f, out, &s) != kResultOK) return kResultOutOfMemory;
    long size = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        size = std::ftell(f);
        if (size < 0) size = 0;
    }
    std::fseek(f, 0, SEEK_SET);
    s->size = static_cast<uint32_t>(size);
    s->position = 0;
    uint32_t window = s->size == 0 ? kFileWindowUnknownSize : s->size;
    ResultCode rc = GiveFileBuffer(*out, s, kFileReadWindow, window < kFileWindowBytes ? window : kFileWindowBytes);
    if (rc != kResultOK) *out = 0;
    return rc;
}

ResultCode OpenFileStreamForWrite(const char* path, StreamHandle* out) {
    *out = 0;
    errno = 0;
    FILE* f = std::fopen(path, "wb");
    if (!f) return MapOpenError(errno);
    StreamSlot* s;
    if (OpenFileSlot(f, out, &s) != kResultOK) return kResultOutOfMemory;
    ResultCode rc = GiveFileBuffer(*out, s, kFileWriteBlock, kFileWriteBlockBytes);
    if (rc != kResultOK) *out = 0;
    return rc;
}

ResultCode OpenTempFileStreamForWrite(const char* targetPath, char* tempPath, StreamHandle* out) {
    *out = 0;
    ResultCode rc = MakeTempFileNameBeside(targetPath, tempPath);
    if (rc != kResultOK) return rc;
    return OpenFileStreamForWrite(tempPath, out);
}

ResultCode OpenMemoryStream(uint32_t firstBlockSize, StreamHandle* out) {
    *out = 0;
    if (firstBlockSize == 0) firstBlockSize = kDefaultFirstBlockSize;
    void* block = AllocMemory(firstBlockSize, kAllocZero);
    if (!block) return kResultOutOfMemory;
    StreamSlot* s;
    if (OpenSlot(out, &s) != kResultOK) {
        FreeMemory(block);
        return kResultOutOfMemory;
    }
    s->kind = kStreamMemory;
    s->target = block;
    s->firstBlockSize = firstBlockSize;
    return kResultOK;
}

ResultCode OpenMemoryStreamOnBuffer(void* block, uint32_t length, StreamHandle* out) {
    *out = 0;
    StreamSlot* s;
    if (OpenSlot(out, &s) != kResultOK) return kResultOutOfMemory;
    s->kind = kStreamMemory;
    s->target = block;
    s->firstBlockSize = block ? length : 0;
    s->size = s->firstBlockSize;
    return kResultOK;
}

ResultCode OpenMemoryStreamCopy(const void* data, uint32_t length, StreamHandle* out) {
    *out = 0;
    void* block = AllocMemory(length ? length : 1, 0);
    if (!block) return kResultOutOfMemory;
    if (length) std::memcpy(block, data, length);
    ResultCode rc = OpenMemoryStreamOnBuffer(block, length, out);
    if (rc != kResultOK) FreeMemory(block);
    return rc;
}

ResultCode OpenViewStream(void* block, uint32_t capacity, StreamHandle* out) {
    *out = 0;
    StreamSlot* s;
    if (OpenSlot(out, &s) != kResultOK) return kResultOutOfMemory;
    s->kind = kStreamView;
    s->target = block;
    s->capacity = capacity;
    return kResultOK;
}

ResultCode OpenCountingStream(StreamHandle* out) {
    *out = 0;
    StreamSlot* s;
    if (OpenSlot(out, &s) != kResultOK) return kResultOutOfMemory;
    s->kind = kStreamCounting;
    return kResultOK;
}

ResultCode CloseStream(StreamHandle h, StreamStats* stats) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    FreeMemory(s->recordBuffer);
    s->recordBuffer = nullptr;
    s->recordBufferCapacity = 0;
    if (stats) *stats = StreamStats{s->sticky, s->reserved, s->size, s->largestRecord};
    ResultCode rc = s->sticky == kResultEndOfData ? kResultOK : s->sticky;
    if (s->kind == kStreamFile) {
        // Handing on the write block is part of closing, and so is the C library's own
        // flush, asked for apart: some C libraries close without reporting its failure.
        ResultCode flushed = FlushWriteBlock(s);
        errno = 0;
        if (flushed == kResultOK && s->buffering == kFileWriteBlock && std::fflush(FileOf(s)) != 0)
            flushed = MapCrtError(errno);
        errno = 0;
        int closed = std::fclose(FileOf(s));
        if (rc == kResultOK) rc = flushed != kResultOK ? flushed : closed != 0 ? MapCrtError(errno) : kResultOK;
        FreeMemory(s->fileBuffer);
        ReleaseStreamSlot(h);
        return rc;
    }
    // A real error stays: marking the stream closed must not make TakeStreamBytes hand
    // out the data of a failed write as if it were whole.
    if (rc == kResultOK) s->sticky = kResultStreamClosed;
    return rc;
}

ResultCode DiscardStream(StreamHandle h) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultOK;
    if (s->kind == kStreamMemory) {
        FreeMemory(s->target);
        FreeChain(s);
    } else if (s->kind == kStreamFile) {
        FlushWriteBlock(s);
        std::fclose(FileOf(s));
        FreeMemory(s->fileBuffer);
    }
    FreeMemory(s->recordBuffer);
    ReleaseStreamSlot(h);
    return kResultOK;
}

void* TakeStreamBytes(StreamHandle h, uint32_t* length) {
    *length = 0;
    StreamSlot* s = Slot(h);
    if (!s) return nullptr;
    if (s->sticky == kResultStreamClosed) s->sticky = kResultOK;
    if (s->kind == kStreamFile) return nullptr;
    void* result = nullptr;
    if (s->sticky == kResultOK) {
        if (s->kind == kStreamMemory && !s->chain && s->target) {
            result = s->target;
            if (s->size > 0 && s->size < s->firstBlockSize) ReallocMemory(&result, s->size, true);
            s->target = nullptr;  // handed over: the discard below must not free it
            *length = s->size;
        } else {
            result = AllocMemory(s->size ? s->size : 1, 0);
            if (result && s->size) {
                uint32_t size = s->size;
                ResultCode rc = kResultOK;
                if (s->kind == kStreamMemory)
                    rc = MemoryTransfer(s, 0, static_cast<uint8_t*>(result), size, false);
                else if (s->kind == kStreamView)
                    std::memcpy(result, s->target, size);
                else
                    std::memset(result, 0, size);
                if (rc != kResultOK) {
                    FreeMemory(result);
                    result = nullptr;
                }
            }
            if (result) *length = s->size;
        }
    }
    DiscardStream(h);
    return result;
}

ResultCode StreamError(StreamHandle h) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky == kResultStreamClosed) s->sticky = kResultOK;
    return s->sticky;
}

ResultCode RemovePath(const char* path) {
    errno = 0;
    if (std::remove(path) == 0) return kResultOK;
    return MapOpenError(errno);
}

ResultCode DeleteStreamFile(const char* path) { return RemovePath(path); }

// ---- bytes
//
// The public calls find the slot once and work on it through the routines below.

namespace {

ResultCode WriteFileBytes(StreamSlot* s, const void* data, uint32_t n) {
    if (s->buffering != kFileWriteBlock) {
        errno = 0;
        if (n && std::fwrite(data, 1, n, FileOf(s)) != n) return MapCrtError(errno);
        return kResultOK;
    }
    if (n <= s->fileBufferCapacity - s->bufferLength) {
        if (n) std::memcpy(s->fileBuffer + s->bufferLength, data, n);
        s->bufferLength += n;
        return kResultOK;
    }
    if (s->holding || s->keeping) {
        // Only what lies before the hold and the keep goes to the file; the block grows
        // for the rest.
        uint32_t kept = s->holding ? s->holdStart : s->keepStart;
        if (s->holding && s->keeping) kept = std::min(s->holdStart, s->keepStart);
        ResultCode rc = FlushWriteBlockPart(s, kept - s->bufferStart);
        if (rc != kResultOK) return rc;
        if (!GrowWriteBlock(s, n)) return kResultOutOfMemory;
        std::memcpy(s->fileBuffer + s->bufferLength, data, n);
        s->bufferLength += n;
        return kResultOK;
    }
    ResultCode rc = FlushWriteBlock(s);
    if (rc != kResultOK) return rc;
    if (n < s->fileBufferCapacity) {
        std::memcpy(s->fileBuffer, data, n);
        s->bufferLength = n;
        return kResultOK;
    }
    errno = 0;
    if (std::fwrite(data, 1, n, FileOf(s)) != n) return MapCrtError(errno);
    s->bufferStart += n;
    return kResultOK;
}

ResultCode WriteBytes(StreamSlot* s, const void* data, uint32_t n) {
    if (s->sticky) return s->sticky;
    uint32_t before = s->position;
    ResultCode rc = kResultOK;
    if (static_cast<uint64_t>(before) + n > 0x7FFFFFFFu) {
        rc = s->kind == kStreamView ? kResultBlockFull : kResultInvalidArg;
    } else {
        switch (s->kind) {
            case kStreamFile:
                rc = WriteFileBytes(s, data, n);
                break;
            case kStreamMemory:
                rc = MemoryTransfer(s, before, const_cast<uint8_t*>(static_cast<const uint8_t*>(data)),
                                    n, true);
                break;
            case kStreamView:
                if (static_cast<uint64_t>(before) + n > s->capacity) rc = kResultBlockFull;
                else if (n) std::memcpy(static_cast<uint8_t*>(s->target) + before, data, n);
                break;
            case kStreamCounting:
                break;
            default:
                rc = kResultBadStreamKind;
        }
    }
    if (rc != kResultOK) {
        s->sticky = rc;
        ForcePosition(s, before);
        return rc;
    }
    s->position = before + n;
    if (s->kind != kStreamFile && s->position > s->size) s->size = s->position;
    return kResultOK;
}

// n bytes at the position, without moving it or touching the sticky error.
ResultCode ReadBytesAt(StreamSlot* s, uint8_t* buffer, uint32_t n) {
    switch (s->kind) {
        case kStreamFile:
            if (s->buffering == kFileReadWindow) return WindowRead(s, s->position, buffer, n);
            errno = 0;
            if (n && std::fread(buffer, 1, n, FileOf(s)) != n)
                return std::feof(FileOf(s)) ? kResultEndOfData : MapCrtError(errno);
            return kResultOK;
        case kStreamMemory:
            // Only what was written (or handed in) can be read back.
            if (static_cast<uint64_t>(s->position) + n > s->size) return kResultEndOfData;
            return MemoryTransfer(s, s->position, buffer, n, false);
        case kStreamView:
            if (static_cast<uint64_t>(s->position) + n > s->size) return kResultEndOfData;
            if (n) std::memcpy(buffer, static_cast<uint8_t*>(s->target) + s->position, n);
            return kResultOK;
        case kStreamCounting:
            return kResultOK;
        default:
            return kResultBadStreamKind;
    }
}

ResultCode ReadBytes(StreamSlot* s, void* buffer, uint32_t n) {
    if (s->sticky) return s->sticky;
    ResultCode rc = ReadBytesAt(s, static_cast<uint8_t*>(buffer), n);
    if (rc == kResultOK) s->position += n;
    s->sticky = rc;
    return rc;
}

ResultCode SeekStream(StreamSlot* s, int32_t offset, int mode) {
    if (s->sticky) return s->sticky;
    int64_t target = mode == 0 ? offset : static_cast<int64_t>(s->position) + offset;
    ResultCode rc = kResultOK;
    if (s->kind == kStreamFile && mode == 2) {
        rc = FlushWriteBlock(s);
        errno = 0;
        if (rc == kResultOK && std::fseek(FileOf(s), offset, SEEK_END) != 0) rc = MapCrtError(errno);
        if (rc == kResultOK) {
            s->position = static_cast<uint32_t>(std::ftell(FileOf(s)));
            if (s->buffering == kFileWriteBlock) s->bufferStart = s->position;
        }
    } else if (target < 0 || target > 0x7FFFFFFF) {
        rc = kResultInvalidArg;
    } else {
        const bool moves = static_cast<uint32_t>(target) != s->position;
        s->position = static_cast<uint32_t>(target);
        if (s->size != 0 && s->position > s->size) {
            rc = kResultEndOfData;
        } else if (s->kind == kStreamFile && moves && s->buffering != kFileReadWindow) {
            // A read window seeks when it next reads; a write block goes to the file first.
            rc = FlushWriteBlock(s);
            errno = 0;
            if (rc == kResultOK && std::fseek(FileOf(s), static_cast<long>(s->position), SEEK_SET) != 0)
                rc = MapCrtError(errno);
            if (s->buffering == kFileWriteBlock) s->bufferStart = s->position;
        }
    }
    s->sticky = rc;
    return rc;
}

ResultCode StreamSizeOf(StreamSlot* s, uint32_t* size) {
    *size = 0;
    if (s->sticky) return s->sticky;
    if (s->kind != kStreamFile) {
        *size = s->size;
        return kResultOK;
    }
    FILE* f = FileOf(s);
    errno = 0;
    long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return s->sticky = MapCrtError(errno);
    long end = std::ftell(f);
    if (std::fseek(f, here, SEEK_SET) != 0 || end < 0) return s->sticky = MapCrtError(errno);
    *size = static_cast<uint32_t>(end);
    // The write block's bytes count as written (the block stays, and so does a hold).
    if (s->buffering == kFileWriteBlock && s->bufferStart + s->bufferLength > *size)
        *size = s->bufferStart + s->bufferLength;
    return kResultOK;
}

ResultCode ReadHeaderBytes(StreamSlot* s, uint32_t* tag, uint32_t* length) {
    uint8_t head[kRecordHeaderBytes];
    ResultCode rc = ReadBytes(s, head, sizeof head);
    if (rc != kResultOK) return rc;
    if (length) *length = ReadU32LE(head);
    if (tag) *tag = ReadU32LE(head + 4);
    return kResultOK;
}

// n bytes into the record buffer, made or grown first (a first buffer of at least
// `firstMinimum` bytes).
ResultCode ReadIntoRecordBuffer(StreamSlot* s, uint32_t n, uint32_t firstMinimum, const uint8_t** out) {
    if (!EnsureRecordBuffer(s, n, firstMinimum)) {
        s->sticky = kResultOutOfMemory;
        return kResultOutOfMemory;
    }
    ResultCode rc = ReadBytes(s, s->recordBuffer, n);
    if (rc == kResultOK) *out = s->recordBuffer;
    return rc;
}

ResultCode ReadPayloadBytes(StreamSlot* s, uint32_t n, const uint8_t** out) {
    *out = nullptr;
    if (s->sticky) return s->sticky;
    if (n == 0) return kResultOK;
    if (n > kLargePayloadBytes) {
        uint32_t size = 0;
        if (StreamSizeOf(s, &size) == kResultOK && static_cast<uint64_t>(s->position) + n > size) {
            SeekStream(s, static_cast<int32_t>(size), 0);
            s->sticky = kResultEndOfData;
            return kResultEndOfData;
        }
        if (s->sticky) return s->sticky;
    }
    return ReadIntoRecordBuffer(s, n, 0, out);
}

// The n bytes at `pos` where they already lie in memory (a file's window, a memory
// stream's first block, a view), else null: then they are read the long way.
// The stream's bytes that lie in memory: `length` of them from stream position `start`
// on, at `base`; false when none do.
bool WindowInPlace(const StreamSlot* s, const uint8_t** base, uint32_t* start, uint32_t* length) {
    switch (s->kind) {
        case kStreamFile:
            if (s->buffering != kFileReadWindow) return false;
            *base = s->fileBuffer;
            *start = s->bufferStart;
            *length = s->bufferLength;
            return true;
        case kStreamMemory:
            *base = static_cast<const uint8_t*>(s->target);
            *start = 0;
            *length = s->size < s->firstBlockSize ? s->size : s->firstBlockSize;
            return true;
        case kStreamView:
            *base = static_cast<const uint8_t*>(s->target);
            *start = 0;
            *length = s->size;
            return true;
        default:
            return false;
    }
}

const uint8_t* BytesInPlace(const StreamSlot* s, uint32_t pos, uint32_t n) {
    const uint8_t* base = nullptr;
    uint32_t start = 0, length = 0;
    if (!WindowInPlace(s, &base, &start, &length) || pos < start || pos - start > length ||
        n > length - (pos - start))
        return nullptr;
    return base + (pos - start);
}

// Where n bytes written at the position go when they fit in memory the stream already
// has (a file's write block, a memory stream's first block, a view), else null.
uint8_t* RoomInPlace(StreamSlot* s, uint32_t n) {
    if (static_cast<uint64_t>(s->position) + n > 0x7FFFFFFFu) return nullptr;
    switch (s->kind) {
        case kStreamFile:
            if (s->buffering != kFileWriteBlock || n > s->fileBufferCapacity - s->bufferLength) return nullptr;
            return s->fileBuffer + s->bufferLength;
        case kStreamMemory:
            if (s->position > s->firstBlockSize || n > s->firstBlockSize - s->position) return nullptr;
            return static_cast<uint8_t*>(s->target) + s->position;
        case kStreamView:
            if (s->position > s->capacity || n > s->capacity - s->position) return nullptr;
            return static_cast<uint8_t*>(s->target) + s->position;
        default:
            return nullptr;
    }
}

ResultCode WriteRecordHeader(StreamSlot* s, uint32_t payloadLength, uint32_t tag) {
    uint32_t stored = payloadLength;
    if (s->kind == kStreamFile && (stored & 1u) && stored != 0xFFFFFFFFu) ++stored;
    uint8_t head[kRecordHeaderBytes];
    WriteU32LE(head, stored);
    WriteU32LE(head + 4, tag);
    return WriteBytes(s, head, sizeof head);
}

}  // namespace

ResultCode StreamWrite(StreamHandle h, const void* data, uint32_t n) {
    StreamSlot* s = Slot(h);
    return s ? WriteBytes(s, data, n) : kResultBadFileHandle;
}

ResultCode StreamRead(StreamHandle h, void* buffer, uint32_t n) {
    StreamSlot* s = Slot(h);
    return s ? ReadBytes(s, buffer, n) : kResultBadFileHandle;
}

ResultCode StreamReadCounted(StreamHandle h, const uint8_t** out, uint32_t n) {
    *out = nullptr;
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    if (s->size != 0 && (s->position > s->size || n > s->size - s->position)) {
        s->sticky = kResultEndOfData;
        return kResultEndOfData;
    }
    return ReadIntoRecordBuffer(s, n, 256, out);
}

ResultCode StreamReadAlloc(StreamHandle h, void** block, uint32_t n, uint32_t allocFlags) {
    *block = nullptr;
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    // Never allocate for bytes the stream cannot hold.
    if (s->size != 0 && (s->position > s->size || n > s->size - s->position)) {
        s->sticky = kResultEndOfData;
        return kResultEndOfData;
    }
    void* b = AllocMemory(n ? n : 1, allocFlags);
    if (!b) {
        s->sticky = kResultOutOfMemory;
        return kResultOutOfMemory;
    }
    ResultCode rc = ReadBytes(s, b, n);
    if (rc != kResultOK) {
        FreeMemory(b);
        return rc;
    }
    *block = b;
    return kResultOK;
}

ResultCode StreamSeek(StreamHandle h, int32_t offset, int mode) {
    StreamSlot* s = Slot(h);
    return s ? SeekStream(s, offset, mode) : kResultBadFileHandle;
}

ResultCode StreamSize(StreamHandle h, uint32_t* size) {
    *size = 0;
    StreamSlot* s = Slot(h);
    return s ? StreamSizeOf(s, size) : kResultBadFileHandle;
}

ResultCode StreamTell(StreamHandle h, uint32_t* position) {
    *position = 0;
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    // File streams keep their position too (every read, write and seek moves it, and
    // any failure sticks), so no call into the C library is needed here.
    *position = s->position;
    return kResultOK;
}

// ---- records

ResultCode StreamBeginRecord(StreamHandle h, uint32_t payloadLength, uint32_t* writtenLength, uint32_t tag) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (writtenLength) *writtenLength = payloadLength;
    return WriteRecordHeader(s, payloadLength, tag);
}

ResultCode StreamWriteRecord(StreamHandle h, uint32_t payloadLength, uint32_t tag, const void* payload) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    // A record that fits where the stream keeps its bytes is put there in one step.
    const uint32_t pad = s->kind == kStreamFile ? (payloadLength & 1u) : 0;
    if (payloadLength <= 0x7FFFFFFFu) {
        const uint32_t total = kRecordHeaderBytes + payloadLength + pad;
        if (uint8_t* at = RoomInPlace(s, total)) {
            WriteU32LE(at, payloadLength + pad);
            WriteU32LE(at + 4, tag);
            if (payloadLength) std::memcpy(at + kRecordHeaderBytes, payload, payloadLength);
            if (pad) at[kRecordHeaderBytes + payloadLength] = 0;
            s->position += total;
            if (s->kind == kStreamFile) s->bufferLength += total;
            else if (s->position > s->size) s->size = s->position;
            if (payloadLength > s->largestRecord) s->largestRecord = payloadLength;
            return kResultOK;
        }
    }
    uint32_t start = s->position;
    ResultCode rc = WriteRecordHeader(s, payloadLength, tag);
    if (rc == kResultOK && payloadLength) rc = WriteBytes(s, payload, payloadLength);
    if (rc == kResultOK && s->kind == kStreamFile && (payloadLength & 1u)) {
        const uint8_t pad = 0;  // the length field was rounded up to even on files
        rc = WriteBytes(s, &pad, 1);
    }
    if (rc != kResultOK) {
        ForcePosition(s, start);
        return rc;
    }
    if (payloadLength > s->largestRecord) s->largestRecord = payloadLength;
    return kResultOK;
}

ResultCode StreamWriteRecords(StreamHandle h, const void* records, uint32_t n, uint32_t largestPayload) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    const ResultCode rc = WriteBytes(s, records, n);
    if (rc == kResultOK && largestPayload > s->largestRecord) s->largestRecord = largestPayload;
    return rc;
}

uint8_t* StreamRecordRoom(StreamHandle h, uint32_t n) {
    StreamSlot* s = Slot(h);
    if (!s || s->sticky) return nullptr;
    if (uint8_t* at = RoomInPlace(s, n)) return at;
    // A file's write block makes room as WriteFileBytes would: what lies before a hold
    // and a keep goes to the file, and the block grows for the rest.
    if (s->kind != kStreamFile || s->buffering != kFileWriteBlock || n >= s->fileBufferCapacity) return nullptr;
    ResultCode rc = kResultOK;
    if (s->holding || s->keeping) {
        uint32_t kept = s->holding ? s->holdStart : s->keepStart;
        if (s->holding && s->keeping) kept = std::min(s->holdStart, s->keepStart);
        rc = FlushWriteBlockPart(s, kept - s->bufferStart);
        if (rc == kResultOK && !GrowWriteBlock(s, n)) return nullptr;
    } else {
        rc = FlushWriteBlock(s);
    }
    if (rc != kResultOK) {
        s->sticky = rc;
        return nullptr;
    }
    return RoomInPlace(s, n);
}

void StreamCommitRecords(StreamHandle h, uint32_t used, uint32_t largestPayload) {
    StreamSlot* s = Slot(h);
    if (!s) return;
    s->position += used;
    if (s->kind == kStreamFile) s->bufferLength += used;
    else if (s->position > s->size) s->size = s->position;
    if (largestPayload > s->largestRecord) s->largestRecord = largestPayload;
}

ResultCode StreamReadRecordHeader(StreamHandle h, uint32_t* tag, uint32_t* length) {
    StreamSlot* s = Slot(h);
    return s ? ReadHeaderBytes(s, tag, length) : kResultBadFileHandle;
}

ResultCode StreamReadPayload(StreamHandle h, uint32_t n, const uint8_t** out) {
    *out = nullptr;
    StreamSlot* s = Slot(h);
    return s ? ReadPayloadBytes(s, n, out) : kResultBadFileHandle;
}

ResultCode StreamReadRecord(StreamHandle h, uint32_t* tag, uint32_t* length, const uint8_t** payload) {
    return StreamReadRecordAndPeek(h, tag, length, payload, nullptr);
}

ResultCode StreamReadRecordAndPeek(StreamHandle h, uint32_t* tag, uint32_t* length, const uint8_t** payload,
                                   uint32_t* nextTag) {
    *payload = nullptr;
    if (nextTag) *nextTag = 0;
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    // A whole record that lies in memory is taken in one step, and the next one's tag
    // with it when its header lies there too.
    const uint8_t* base = nullptr;
    uint32_t start = 0, inMemory = 0;
    if (!s->sticky && WindowInPlace(s, &base, &start, &inMemory) && s->position >= start &&
        s->position - start <= inMemory && inMemory - (s->position - start) >= kRecordHeaderBytes) {
        const uint8_t* head = base + (s->position - start);
        const uint32_t left = inMemory - (s->position - start) - kRecordHeaderBytes;
        const uint32_t n = ReadU32LE(head);
        if (n <= kLargePayloadBytes && n <= left) {
            if (n) {
                if (!EnsureRecordBuffer(s, n, 0)) {
                    s->position += kRecordHeaderBytes;  // where the long way fails too
                    s->sticky = kResultOutOfMemory;
                    return kResultOutOfMemory;
                }
                std::memcpy(s->recordBuffer, head + kRecordHeaderBytes, n);
                *payload = s->recordBuffer;
            }
            s->position += kRecordHeaderBytes + n;
            if (n > s->largestRecord) s->largestRecord = n;
            *tag = ReadU32LE(head + 4);
            *length = n;
            if (nextTag && left - n >= kRecordHeaderBytes) *nextTag = ReadU32LE(head + kRecordHeaderBytes + n + 4);
            return kResultOK;
        }
    }
    uint32_t t = 0, n = 0;
    ResultCode rc = ReadHeaderBytes(s, &t, &n);
    if (rc != kResultOK) return rc;
    rc = ReadPayloadBytes(s, n, payload);
    if (rc != kResultOK) return rc;
    if (n > s->largestRecord) s->largestRecord = n;
    *tag = t;
    *length = n;
    return kResultOK;
}

ResultCode StreamReadRecordInto(StreamHandle h, uint32_t* tag, uint32_t* length, void* buffer, uint32_t capacity) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    uint32_t start = s->position;
    uint32_t t = 0, n = 0;
    ResultCode rc = ReadHeaderBytes(s, &t, &n);
    if (rc != kResultOK) {
        ForcePosition(s, start);
        return rc;
    }
    ResultCode result = kResultOK;
    if (n != 0) {
        if (capacity >= n) {
            rc = ReadBytes(s, buffer, n);
            result = capacity > n ? kResultRecordShort : kResultOK;
        } else {
            rc = ReadBytes(s, buffer, capacity);
            uint32_t rest = n - capacity;
            if (rc == kResultOK) {
                rc = rest > 0x7FFFFFFFu ? kResultEndOfData : SeekStream(s, static_cast<int32_t>(rest), 1);
                if (rc != kResultOK) s->sticky = rc;
            }
            result = kResultRecordLong;
        }
        if (rc != kResultOK) {
            ForcePosition(s, start);
            return rc;
        }
    }
    *tag = t;
    *length = n;
    if (n > s->largestRecord) s->largestRecord = n;
    return result;
}

uint32_t StreamPeekRecordTag(StreamHandle h) {
    StreamSlot* s = Slot(h);
    if (!s || s->sticky) return 0;
    if (const uint8_t* inPlace = BytesInPlace(s, s->position, kRecordHeaderBytes)) return ReadU32LE(inPlace + 4);
    // A peek consumes nothing, not even the end of data it may have met.
    uint8_t head[kRecordHeaderBytes] = {};
    const uint32_t start = s->position;
    const ResultCode rc = ReadBytesAt(s, head, sizeof head);
    if (s->kind == kStreamFile && s->buffering != kFileReadWindow) ForcePosition(s, start);
    return rc == kResultOK ? ReadU32LE(head + 4) : 0;
}

// ---- holds

ResultCode StreamHold(StreamHandle h) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    if (s->kind == kStreamFile && s->buffering != kFileWriteBlock) return kResultInvalidArg;
    s->holding = 1;
    s->holdStart = s->position;
    s->holdSize = s->size;
    return kResultOK;
}

ResultCode StreamTakeBack(StreamHandle h) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    if (!s->holding) return kResultInvalidArg;
    s->holding = 0;
    s->position = s->holdStart;
    if (s->kind == kStreamFile) s->bufferLength = s->holdStart - s->bufferStart;
    else s->size = s->holdSize;
    return kResultOK;
}

void StreamRelease(StreamHandle h) {
    if (StreamSlot* s = Slot(h)) s->holding = 0;
}

bool StreamCanKeep(StreamHandle h) {
    const StreamSlot* s = Slot(h);
    return s && s->kind == kStreamFile && s->buffering == kFileWriteBlock;
}

ResultCode StreamKeep(StreamHandle h) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    if (s->kind != kStreamFile || s->buffering != kFileWriteBlock) return kResultInvalidArg;
    s->keeping = 1;
    s->keepStart = s->position;
    return kResultOK;
}

uint32_t StreamKeptBytes(StreamHandle h) {
    const StreamSlot* s = Slot(h);
    return s && s->keeping ? s->position - s->keepStart : 0;
}

ResultCode StreamInsertKept(StreamHandle h, uint32_t at, const void* data, uint32_t n, uint32_t largestRecord) {
    StreamSlot* s = Slot(h);
    if (!s) return kResultBadFileHandle;
    if (s->sticky) return s->sticky;
    if (!s->keeping || s->holding || at < s->keepStart || at > s->position) return kResultInvalidArg;
    if (static_cast<uint64_t>(s->position) + n > 0x7FFFFFFFu) return kResultInvalidArg;
    if (!GrowWriteBlock(s, n)) {
        s->sticky = kResultOutOfMemory;
        return kResultOutOfMemory;
    }
    uint8_t* from = s->fileBuffer + (at - s->bufferStart);
    std::memmove(from + n, from, s->position - at);
    if (n) std::memcpy(from, data, n);
    s->bufferLength += n;
    s->position += n;
    if (largestRecord > s->largestRecord) s->largestRecord = largestRecord;
    return kResultOK;
}

void StreamEndKeep(StreamHandle h) {
    if (StreamSlot* s = Slot(h)) s->keeping = 0;
}
