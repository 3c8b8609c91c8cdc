// The context handed to every record codec: one routine per record payload reads,
// measures, writes and (for undo) swaps through it, walking the payload field by field
// with RecordTransfer, which decides from the context what each field step does.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/core/result_codes.h"

enum TransferOp : int32_t {
    kTransferCopy    = 0,  // copy each field from the source side to the destination side
    kTransferMeasure = 1,  // add each field's size to the destination side's length
    kTransferSwap    = 2,  // exchange the object's fields with the saved copy (undo)
};

// Side kinds: 0 and 1 fields addressed from an object or a plain block, 2 a stored
// record, 5 and 7 fields at absolute addresses.
enum TransferSideKind : int32_t {
    kSideObject    = 0,
    kSideBlock     = 1,
    kSideRecord    = 2,
    kSideAbsolute  = 5,
    kSideAbsolute2 = 7,
};

// On an object or block side fields are addressed by their offset from `object`; on a
// record side `cursor` is the next byte of the record, `object` is the record's first
// byte and `length` its size (the room of the buffer when writing), so that no field
// step can leave the record. At absolute sides `cursor` is the field's own address.
struct TransferSide {
    int32_t  kind;
    int32_t  length;           // bytes; -1 = not yet known (measure mode fills it in)
    uint8_t* cursor;
    void*    object;
    // Only meaningful on the side that is a stored record.
    int32_t  sketchKind;       // 1 page, 2 partial sketch
    int32_t  formatVersion;    // 4; 1 for the handheld form
    int32_t  settingsVersion;  // 4; 1 for the handheld form
};

struct TransferContext {
    int32_t      op;       // TransferOp
    int32_t      advance;  // nonzero: both cursors move past each field
    TransferSide source;
    TransferSide destination;
};

// Codes met while reading and writing records.
constexpr ResultCode kResultShorterRecord  = 3;
constexpr ResultCode kResultLongerRecord   = 4;
constexpr ResultCode kResultUnitDefaulted  = 5;
constexpr ResultCode kResultSkippedObject  = 9;
constexpr ResultCode kResultObjectDropped  = 10;
constexpr ResultCode kResultDamaged        = 35;
// A codec wrote more than it measured: an internal fault, reported like a failed write.
constexpr ResultCode kResultCodecOverrun    = 101;

// The sketch kind, format version and settings version of one sketch's stored data.
struct FormatInfo {
    int32_t sketchKind;       // 1 page, 2 partial sketch
    int32_t formatVersion;    // 4; 1 for the handheld form
    int32_t settingsVersion;
    // The character set the texts were written in; the format stores none, so 3 (the
    // program's own) unless the reader knows better.
    int32_t charset = 3;
};
constexpr FormatInfo kCurrentPageFormat    = { 1, 4, 4 };
constexpr FormatInfo kCurrentPartialFormat = { 2, 4, 4 };

inline bool IsFatalError(ResultCode code) { return IsFatalResult(code); }

// Converts one field between its memory form (objectBlock) and its stored form
// (recordBlock, recordLength bytes available) in the direction the context says:
// towards the record when the destination side is a record.
using FieldConvertFn = ResultCode (*)(TransferContext* context, void* objectBlock,
                                      uint8_t* recordBlock, int32_t recordLength);

// Contexts for the four directions. A record being read or written is given with its
// length (a write buffer with its room); `object` is the object or block.
void BeginReadContext(TransferContext* context, const uint8_t* record, uint32_t length,
                      void* object, const FormatInfo& format);
void BeginWriteContext(TransferContext* context, uint8_t* record, uint32_t room,
                       void* object, const FormatInfo& format);
void BeginMeasureContext(TransferContext* context, void* object, const FormatInfo& format);
void BeginSwapContext(TransferContext* context, void* object, void* savedCopy);

bool IsReadingRecord(const TransferContext* context);
bool IsWritingRecord(const TransferContext* context);

// The address a side designates for a field at `offset` of the object.
uint8_t* FieldAddress(const TransferSide* side, uint32_t offset);

// One field step. `scratch` (memoryLength bytes or more) is used when swapping.
ResultCode RecordTransfer(TransferContext* context, void* scratch, uint32_t objectOffset,
                          uint32_t memoryLength, uint32_t recordLength, FieldConvertFn convert);

// Only while reading a record: shorter than `minimum` accumulates 35 and answers true
// (the codec stops); longer than `expected` (when not 0) accumulates warning 4.
bool RecordCheckLength(TransferContext* context, ResultCode* code, uint32_t minimum, uint32_t expected);

// Bytes of the record still unread (reading) or unwritten (writing); 0 on other sides.
uint32_t RecordBytesLeft(const TransferSide* side);

// Field converters between host values and little-endian record fields. Each converts
// as many whole elements as both forms hold.
ResultCode ConvertU16Fields(TransferContext* context, void* objectBlock, uint8_t* recordBlock, int32_t recordLength);
ResultCode ConvertU32Fields(TransferContext* context, void* objectBlock, uint8_t* recordBlock, int32_t recordLength);
ResultCode ConvertRealFields(TransferContext* context, void* objectBlock, uint8_t* recordBlock, int32_t recordLength);

// Little-endian field access for the record codecs.
inline uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t GetLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutLE16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void PutLE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
double GetLEReal(const uint8_t* p);
void   PutLEReal(uint8_t* p, double v);

// ---- Sub-records inside a class payload: {u32 tag, u32 total length with the head,
// u32 length of the sub-record's own header}, then that header, then the body.
constexpr uint32_t kSubRecordHeadBytes = 12;

// Writes the head at *cursor (room bytes available) and moves past it; false when it
// does not fit.
bool BeginSubRecord(uint8_t** cursor, uint32_t room, uint32_t tag, uint32_t totalLength, uint32_t headerLength);
// Checks that `block` (length bytes) starts with a sub-record of `tag` whose total length
// covers its head and header and lies within the block; 35 otherwise.
ResultCode FindSubRecord(const uint8_t* block, uint32_t length, uint32_t tag,
                         const uint8_t** header, uint32_t* headerLength,
                         const uint8_t** body, uint32_t* bodyLength);

// Checks an 8-byte record head against the expected tag; 0 and the length, or 35.
ResultCode MatchRecordTag(const uint8_t* head, uint32_t expectedTag, uint32_t* length);

// The next counted string of a packed list (each padded to an even address) after
// `string`, or null at the end of the block or when the next one would not end inside it.
const uint8_t* NextPackedString(const uint8_t* string, const uint8_t* end);
// The first string of a packed list, or null when it does not lie within the block.
const uint8_t* FirstPackedString(const uint8_t* block, const uint8_t* end);

// A NUL-terminated text at the start of a payload: its length, or -1 when the NUL does
// not lie within the payload.
int32_t BoundedTextLength(const uint8_t* payload, uint32_t length);
