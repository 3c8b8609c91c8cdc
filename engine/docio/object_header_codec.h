// The codec of the object header record (document record 2000) and the field helper with
// which class codecs move one block of fields.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/transfer_context.h"

// Result codes of the header codec.
constexpr ResultCode kResultValueClampedOnRead  = kResultLongerRecord;  // 4
constexpr ResultCode kResultValueClampedOnWrite = 5;
constexpr ResultCode kResultSkipObject          = kResultSkippedObject;  // 9: no table row
constexpr ResultCode kResultCannotStore         = kResultObjectDropped;  // 10: not in this form
constexpr ResultCode kResultDamagedRecord       = kResultDamaged;        // 35

constexpr int32_t kObjectHeaderRecordSize   = 16;
constexpr int32_t kObjectHeaderRecordSizeV1 = 12;  // format version 1: no colour

// The handheld form is format version 1.
constexpr int32_t kHandheldFormatVersion = 1;

// Moves one block of fields: in measure mode it adds the stored size (writing) or the
// current size (reading) to the destination's length; when swapping it exchanges the
// block with the saved copy; otherwise it runs `convert` on the object block at
// `objectOffset` and the record cursor.
ResultCode TransferObjectField(TransferContext* context, uint32_t objectOffset,
                               int32_t storedSize, int32_t currentSize, FieldConvertFn convert);

// The stored header of an object in the given format version: 16 bytes (12 in the
// handheld form), every one of them written; 10 and nothing written when the form cannot
// hold the object, 5 when a value was stored in its default form.
ResultCode EncodeObjectHeader(const ObjectTemplate* header, int32_t formatVersion, uint8_t* record);
// The fields of a stored header of `length` bytes, as the codec reads them: 35 below 12
// bytes, 9 for a type, class or kind this system does not have, warnings 3 (shorter than
// the form's size) and 4 (longer than 16 bytes, or a value out of range).
ResultCode DecodeObjectHeader(const uint8_t* record, uint32_t length, int32_t formatVersion, ObjectTemplate* header);
inline uint32_t ObjectHeaderBytes(int32_t formatVersion) {
    return formatVersion == kHandheldFormatVersion ? kObjectHeaderRecordSizeV1 : kObjectHeaderRecordSize;
}

ResultCode ConvertObjectHeader(TransferContext* context, void* objectBlock,
                               uint8_t* recordBlock, int32_t recordLength);
ResultCode TransferObjectHeader(TransferContext* context);

// Size of the object's geometric state block, measured through its class's codec.
int32_t GeometryRecordSize(SketchObject* object);
