// The stream layer: every document, preferences file, clipboard payload and tool body
// is read and written through a 16-bit StreamHandle into one process-wide table.
// Each stream keeps the first error it met; after that every operation on it answers
// that error at once, so writers issue a run of writes and test the result once.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/document_io.h"

using StreamHandle = int16_t;  // 1-based; 0 means no stream

enum StreamKind : uint32_t {
    kStreamFree     = 0,
    kStreamFile     = 1,
    kStreamMemory   = 3,  // growable: a first block and a chain of chunks
    kStreamView     = 4,  // fixed block owned by the caller
    kStreamCounting = 5,  // writes nothing, only counts
};

// Result codes of the stream layer.
constexpr ResultCode kResultRecordShort    = 3;   // record shorter than the caller's buffer
constexpr ResultCode kResultRecordLong     = 4;   // record longer than expected (warning)
constexpr ResultCode kResultAccessDenied   = 19;
constexpr ResultCode kResultFileNotFound   = 21;
constexpr ResultCode kResultEndOfData      = 22;
constexpr ResultCode kResultBadFileHandle  = 23;
constexpr ResultCode kResultDiskFull       = 24;
constexpr ResultCode kResultTooManyFiles   = 25;
constexpr ResultCode kResultFileExists     = 26;
constexpr ResultCode kResultInvalidArg     = 27;
constexpr ResultCode kResultIOError        = 28;
constexpr ResultCode kResultInvalidName    = 29;
constexpr ResultCode kResultStreamClosed   = 30;  // memory stream closed, data still held
constexpr ResultCode kResultBlockFull      = 31;
constexpr ResultCode kResultBadStreamKind  = 101;

constexpr uint32_t kDefaultFirstBlockSize = 2048;
constexpr uint32_t kRecordHeaderBytes     = 8;
// Payloads longer than this are checked against the stream's size before any buffer
// is made for them, so a damaged length field cannot ask for a huge allocation.
constexpr uint32_t kLargePayloadBytes     = 65535;

// Bytes 0-3 payload length, bytes 4-7 tag; little-endian in front of every record.
struct RecordHeader {
    uint32_t length;
    uint32_t tag;
};

struct StreamStats {
    ResultCode stickyError;
    uint32_t   reserved;
    uint32_t   size;
    uint32_t   largestRecord;
};

// InitStreamTable and FreeStreamTable: engine/core/services/document_io.h.

StreamHandle AllocStreamSlot();
void         ReleaseStreamSlot(StreamHandle h);
ResultCode   MapCrtError(int err);

ResultCode OpenFileStreamForRead(const char* path, StreamHandle* out);
ResultCode OpenFileStreamForWrite(const char* path, StreamHandle* out);
// tempPath receives the temporary file's name (260 bytes).
ResultCode OpenTempFileStreamForWrite(const char* targetPath, char* tempPath, StreamHandle* out);
ResultCode OpenMemoryStream(uint32_t firstBlockSize, StreamHandle* out);
// Takes over `block` (allocated with AllocMemory); the stream frees it.
ResultCode OpenMemoryStreamOnBuffer(void* block, uint32_t length, StreamHandle* out);
ResultCode OpenMemoryStreamCopy(const void* data, uint32_t length, StreamHandle* out);
// A view over the caller's block: writes fail with 31 past capacity; reads see only
// what was written through the view.
ResultCode OpenViewStream(void* block, uint32_t capacity, StreamHandle* out);
ResultCode OpenCountingStream(StreamHandle* out);

ResultCode CloseStream(StreamHandle h, StreamStats* stats = nullptr);
ResultCode DiscardStream(StreamHandle h);
// The whole content as one AllocMemory block the caller frees (null on error, and for
// an empty stream a block may still be answered with length 0). Discards a memory stream.
void*      TakeStreamBytes(StreamHandle h, uint32_t* length);
ResultCode StreamError(StreamHandle h);
ResultCode RemovePath(const char* path);
ResultCode DeleteStreamFile(const char* path);

ResultCode StreamWrite(StreamHandle h, const void* data, uint32_t n);
ResultCode StreamRead(StreamHandle h, void* buffer, uint32_t n);
// Reads n bytes into the stream's record buffer; *out stays valid until the next record read.
ResultCode StreamReadCounted(StreamHandle h, const uint8_t** out, uint32_t n);
ResultCode StreamReadAlloc(StreamHandle h, void** block, uint32_t n, uint32_t allocFlags);
// mode 0 sets the position; any other mode adds the offset (files: 1 current, 2 end).
ResultCode StreamSeek(StreamHandle h, int32_t offset, int mode);
ResultCode StreamSize(StreamHandle h, uint32_t* size);
ResultCode StreamTell(StreamHandle h, uint32_t* position);

ResultCode StreamBeginRecord(StreamHandle h, uint32_t payloadLength, uint32_t* writtenLength, uint32_t tag);
ResultCode StreamWriteRecord(StreamHandle h, uint32_t payloadLength, uint32_t tag, const void* payload);
// A run of whole records the caller framed itself (n bytes, payloads of even length, as
// they read the same on every kind of stream), in one write; `largestPayload` raises the
// largest-record field as StreamWriteRecord would have.
ResultCode StreamWriteRecords(StreamHandle h, const void* records, uint32_t n, uint32_t largestPayload);
// Room for up to n bytes of such a run where the stream keeps its bytes (a file's write
// block, made room in as a write would; a memory stream's first block; a view), so that
// the run is framed in place: null when the stream has no such room (write the run with
// StreamWriteRecords then). Nothing is written until StreamCommitRecords takes the
// first `used` bytes; any other call on the stream in between ends the room.
uint8_t*   StreamRecordRoom(StreamHandle h, uint32_t n);
void       StreamCommitRecords(StreamHandle h, uint32_t used, uint32_t largestPayload);
ResultCode StreamReadRecordHeader(StreamHandle h, uint32_t* tag, uint32_t* length);
ResultCode StreamReadRecord(StreamHandle h, uint32_t* tag, uint32_t* length, const uint8_t** payload);
// StreamReadRecord, and the tag of the record after it when that record's header already
// lies in memory (what StreamPeekRecordTag would answer then); else *nextTag is 0 and
// the caller peeks when it needs to.
ResultCode StreamReadRecordAndPeek(StreamHandle h, uint32_t* tag, uint32_t* length, const uint8_t** payload,
                                   uint32_t* nextTag);
ResultCode StreamReadPayload(StreamHandle h, uint32_t n, const uint8_t** out);
ResultCode StreamReadRecordInto(StreamHandle h, uint32_t* tag, uint32_t* length, void* buffer, uint32_t capacity);
uint32_t   StreamPeekRecordTag(StreamHandle h);

// Taking back what was written: from StreamHold on, what is written to the stream stays
// in its hands (a file stream keeps it in its write block) until StreamRelease, so that
// StreamTakeBack can drop all of it and put the stream back where the hold began, as if
// none of it had been written. The held bytes must go at the end of what the stream
// holds. Seeking a file stream ends its hold; 27 for a file opened for reading, and for
// a take-back without a hold.
ResultCode StreamHold(StreamHandle h);
ResultCode StreamTakeBack(StreamHandle h);
void       StreamRelease(StreamHandle h);

// Putting bytes in front of what was written (file streams opened for writing): from
// StreamKeep on, every byte written stays in the stream's hands, as under a hold, and
// StreamInsertKept puts n bytes at `at` (from where the keep began up to the position),
// the bytes after it moving up and the position with them; `largestRecord` is the
// largest record payload among the inserted bytes, for the stream's statistics. No hold
// may be open while bytes are inserted. StreamEndKeep lets the bytes go to the file
// again; seeking ends a keep too. StreamCanKeep says whether the stream can keep (27
// from StreamKeep otherwise); StreamKeptBytes how many bytes it keeps now.
bool       StreamCanKeep(StreamHandle h);
ResultCode StreamKeep(StreamHandle h);
uint32_t   StreamKeptBytes(StreamHandle h);
ResultCode StreamInsertKept(StreamHandle h, uint32_t at, const void* data, uint32_t n, uint32_t largestRecord);
void       StreamEndKeep(StreamHandle h);

// The kind of an open stream, kStreamFree for a bad handle (for tests and asserts).
StreamKind StreamKindOf(StreamHandle h);
