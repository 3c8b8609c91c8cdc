#include "engine/docio/transfer_context.h"

#include <cstring>

#include "engine/docio/packed_values.h"

namespace {

bool IsRecordSide(const TransferSide* side) { return side->kind == kSideRecord; }

void MoveCursor(TransferSide* side, uint32_t recordLength, uint32_t memoryLength) {
    if (!side->cursor) return;
    if (IsRecordSide(side)) {
        uint32_t left = RecordBytesLeft(side);
        side->cursor += recordLength < left ? recordLength : left;
    } else if (side->kind == kSideAbsolute || side->kind == kSideAbsolute2) {
        side->cursor += memoryLength;
    }
    // Object and block sides address every field by its offset and do not move.
}

void InitSide(TransferSide* side, int32_t kind, uint8_t* cursor, void* object, int32_t length,
              const FormatInfo* format) {
    std::memset(side, 0, sizeof *side);
    side->kind = kind;
    side->cursor = cursor;
    side->object = object;
    side->length = length;
    if (format) {
        side->sketchKind = format->sketchKind;
        side->formatVersion = format->formatVersion;
        side->settingsVersion = format->settingsVersion;
    }
}

}  // namespace

void BeginReadContext(TransferContext* context, const uint8_t* record, uint32_t length,
                      void* object, const FormatInfo& format) {
    context->op = kTransferCopy;
    context->advance = 1;
    uint8_t* r = const_cast<uint8_t*>(record);
    InitSide(&context->source, kSideRecord, r, r, static_cast<int32_t>(length), &format);
    InitSide(&context->destination, kSideObject, static_cast<uint8_t*>(object), object, -1, nullptr);
}

void BeginWriteContext(TransferContext* context, uint8_t* record, uint32_t room,
                       void* object, const FormatInfo& format) {
    context->op = kTransferCopy;
    context->advance = 1;
    InitSide(&context->source, kSideObject, static_cast<uint8_t*>(object), object, -1, nullptr);
    InitSide(&context->destination, kSideRecord, record, record, static_cast<int32_t>(room), &format);
}

void BeginMeasureContext(TransferContext* context, void* object, const FormatInfo& format) {
    context->op = kTransferMeasure;
    context->advance = 1;
    InitSide(&context->source, kSideObject, static_cast<uint8_t*>(object), object, -1, nullptr);
    InitSide(&context->destination, kSideRecord, nullptr, nullptr, 0, &format);
}

void BeginSwapContext(TransferContext* context, void* object, void* savedCopy) {
    context->op = kTransferSwap;
    context->advance = 0;
    InitSide(&context->source, kSideObject, static_cast<uint8_t*>(object), object, -1, nullptr);
    InitSide(&context->destination, kSideBlock, static_cast<uint8_t*>(savedCopy), savedCopy, -1, nullptr);
}

bool IsReadingRecord(const TransferContext* context) {
    return context->op == kTransferCopy && context->source.kind == kSideRecord;
}

bool IsWritingRecord(const TransferContext* context) {
    return context->op == kTransferCopy && context->destination.kind == kSideRecord;
}

uint8_t* FieldAddress(const TransferSide* side, uint32_t offset) {
    if (side->kind == kSideObject || side->kind == kSideBlock) return static_cast<uint8_t*>(side->object) + offset;
    return side->cursor;
}

uint32_t RecordBytesLeft(const TransferSide* side) {
    if (!IsRecordSide(side) || !side->cursor || side->length < 0) return 0;
    const uint8_t* base = static_cast<const uint8_t*>(side->object);
    const uint8_t* end = base + side->length;
    return side->cursor >= end ? 0 : static_cast<uint32_t>(end - side->cursor);
}

ResultCode RecordTransfer(TransferContext* context, void* scratch, uint32_t objectOffset,
                          uint32_t memoryLength, uint32_t recordLength, FieldConvertFn convert) {
    TransferSide* src = &context->source;
    TransferSide* dst = &context->destination;
    ResultCode rc = kResultOK;
    switch (context->op) {
        case kTransferMeasure:
            if (dst->length < 0) dst->length = 0;
            dst->length += static_cast<int32_t>(IsRecordSide(dst) ? recordLength : memoryLength);
            break;
        case kTransferSwap: {
            uint8_t* a = FieldAddress(src, objectOffset);
            uint8_t* b = FieldAddress(dst, objectOffset);
            std::memcpy(scratch, a, memoryLength);
            std::memcpy(a, b, memoryLength);
            std::memcpy(b, scratch, memoryLength);
            break;
        }
        default:
            if (IsRecordSide(dst)) {
                // The buffer was sized by measuring; a codec that writes more than it
                // measured is stopped here rather than writing past the buffer.
                if (RecordBytesLeft(dst) < recordLength) return kResultCodecOverrun;
                uint8_t* mem = FieldAddress(src, objectOffset);
                std::memset(dst->cursor, 0, recordLength);  // undefined bytes are written as 0
                if (convert) rc = convert(context, mem, dst->cursor, static_cast<int32_t>(recordLength));
                else std::memcpy(dst->cursor, mem, memoryLength < recordLength ? memoryLength : recordLength);
            } else if (IsRecordSide(src)) {
                uint32_t left  = RecordBytesLeft(src);
                uint32_t avail = left < recordLength ? left : recordLength;
                uint8_t* mem = FieldAddress(dst, objectOffset);
                if (avail < recordLength || (!convert && memoryLength > avail)) std::memset(mem, 0, memoryLength);
                if (convert) rc = convert(context, mem, src->cursor, static_cast<int32_t>(avail));
                else std::memcpy(mem, src->cursor, memoryLength < avail ? memoryLength : avail);
                if (left < recordLength) rc = KeepWorstError(rc, kResultShorterRecord);
                else if (!context->advance && left > recordLength) rc = KeepWorstError(rc, kResultLongerRecord);
            } else {
                std::memcpy(FieldAddress(dst, objectOffset), FieldAddress(src, objectOffset), memoryLength);
            }
    }
    if (context->advance) {
        MoveCursor(src, recordLength, memoryLength);
        if (context->op != kTransferMeasure) MoveCursor(dst, recordLength, memoryLength);
    }
    return rc;
}

bool RecordCheckLength(TransferContext* context, ResultCode* code, uint32_t minimum, uint32_t expected) {
    if (!IsReadingRecord(context)) return false;
    uint32_t length = context->source.length < 0 ? 0 : static_cast<uint32_t>(context->source.length);
    if (length < minimum) {
        *code = KeepWorstError(*code, kResultDamaged);
        return true;
    }
    if (expected && length > expected) *code = KeepWorstError(*code, kResultLongerRecord);
    return false;
}

namespace {

bool TowardsRecord(const TransferContext* context) { return context->destination.kind == kSideRecord; }

}  // namespace

ResultCode ConvertU16Fields(TransferContext* context, void* objectBlock, uint8_t* recordBlock, int32_t recordLength) {
    uint16_t* mem = static_cast<uint16_t*>(objectBlock);
    for (int32_t i = 0; i + 2 <= recordLength; i += 2) {
        if (TowardsRecord(context)) PutLE16(recordBlock + i, mem[i / 2]);
        else mem[i / 2] = GetLE16(recordBlock + i);
    }
    return kResultOK;
}

ResultCode ConvertU32Fields(TransferContext* context, void* objectBlock, uint8_t* recordBlock, int32_t recordLength) {
    uint32_t* mem = static_cast<uint32_t*>(objectBlock);
    for (int32_t i = 0; i + 4 <= recordLength; i += 4) {
        if (TowardsRecord(context)) PutLE32(recordBlock + i, mem[i / 4]);
        else mem[i / 4] = GetLE32(recordBlock + i);
    }
    return kResultOK;
}

ResultCode ConvertRealFields(TransferContext* context, void* objectBlock, uint8_t* recordBlock, int32_t recordLength) {
    double* mem = static_cast<double*>(objectBlock);
    uint16_t count = static_cast<uint16_t>(recordLength / 8);
    if (TowardsRecord(context)) RealsToFileOrder(recordBlock, mem, count);
    else RealsFromFileOrder(mem, recordBlock, count);
    return kResultOK;
}

double GetLEReal(const uint8_t* p) {
    double v;
    RealsFromFileOrder(&v, p, 1);
    return v;
}

void PutLEReal(uint8_t* p, double v) { RealsToFileOrder(p, &v, 1); }

bool BeginSubRecord(uint8_t** cursor, uint32_t room, uint32_t tag, uint32_t totalLength, uint32_t headerLength) {
    if (room < kSubRecordHeadBytes) return false;
    PutLE32(*cursor, tag);
    PutLE32(*cursor + 4, totalLength);
    PutLE32(*cursor + 8, headerLength);
    *cursor += kSubRecordHeadBytes;
    return true;
}

ResultCode FindSubRecord(const uint8_t* block, uint32_t length, uint32_t tag,
                         const uint8_t** header, uint32_t* headerLength,
                         const uint8_t** body, uint32_t* bodyLength) {
    if (!block || length < kSubRecordHeadBytes) return kResultDamaged;
    uint32_t t = GetLE32(block), total = GetLE32(block + 4), hl = GetLE32(block + 8);
    if (t != tag || total > length || hl > total - kSubRecordHeadBytes || total < kSubRecordHeadBytes)
        return kResultDamaged;
    if (header) *header = block + kSubRecordHeadBytes;
    if (headerLength) *headerLength = hl;
    if (body) *body = block + kSubRecordHeadBytes + hl;
    if (bodyLength) *bodyLength = total - kSubRecordHeadBytes - hl;
    return kResultOK;
}

ResultCode MatchRecordTag(const uint8_t* head, uint32_t expectedTag, uint32_t* length) {
    if (GetLE32(head + 4) != expectedTag) return kResultDamaged;
    if (length) *length = GetLE32(head);
    return kResultOK;
}

const uint8_t* FirstPackedString(const uint8_t* block, const uint8_t* end) {
    if (!block || block >= end) return nullptr;
    return CheckCountedString(block, static_cast<uint32_t>(end - block), nullptr, nullptr) ? block : nullptr;
}

const uint8_t* NextPackedString(const uint8_t* string, const uint8_t* end) {
    if (!string || string >= end) return nullptr;
    uint32_t size = 0;
    if (!CheckCountedString(string, static_cast<uint32_t>(end - string), nullptr, &size)) return nullptr;
    return FirstPackedString(string + size, end);
}

int32_t BoundedTextLength(const uint8_t* payload, uint32_t length) {
    const void* nul = payload ? std::memchr(payload, 0, length) : nullptr;
    return nul ? static_cast<int32_t>(static_cast<const uint8_t*>(nul) - payload) : -1;
}
