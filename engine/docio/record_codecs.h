// Running record codecs against streams, and the construction-data block codecs
// (record 2003) of the construction types that keep fixed geometric values.
#pragma once
#include <cstdint>

#include "engine/core/transform_maps.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

// One routine per record payload; the object is the object side of the context.
using RecordCodecFn = ResultCode (*)(TransferContext* context);

// Measures the payload, writes it into a shared 1,024-byte buffer (or a new block when
// longer) and writes the record. The payload is padded with zero to an even length.
// A codec that writes a different number of bytes than it measured gives 101.
ResultCode WriteCodecRecord(RecordCodecFn codec, void* object, StreamHandle stream, uint32_t tag,
                            const FormatInfo& format);
// Runs the codec over a payload already read; answers the codec's code.
ResultCode ReadCodecRecord(RecordCodecFn codec, void* object, const uint8_t* payload, uint32_t length,
                           const FormatInfo& format);
// The payload length the codec measures for the object.
uint32_t   MeasureCodecRecord(RecordCodecFn codec, void* object, const FormatInfo& format);
// Exchanges the object's fields with a saved copy of the same layout (undo).
ResultCode SwapCodecFields(RecordCodecFn codec, void* object, void* savedCopy);

// ---- Construction data laid out by the transformation rows

// A layout is a row of TransformOpTable: its sources (of which the fixed bits 0x800,
// 0x1000, 0x2000 and 0x4000 are converted), fixedWords and compactWords columns.

// The units a reader of the compact form rebuilds the values in, and the resolution
// the compact lengths (1/96 inch) are converted with.
struct KindDataUnits {
    int32_t angleUnit;      // 0 radians, 1 degrees, 2 directed degrees
    int32_t distanceUnit;   // 0 pixels, 1 cm, 2 inches
    double  pixelsPerInch;
};

// Bytes of the stored data area of a layout (without the 4-byte code word).
uint32_t KindDataStoredBytes(int32_t layout, bool compact);
// Bytes that the converted groups occupy in the full form (the rest is padding).
uint32_t KindDataGroupBytes(int32_t layout, bool compact);

// Converts between the in-memory block (fixedWords words) and the stored data area
// (KindDataStoredBytes bytes), in the direction `reading` says.
void ConvertKindDataFields(uint8_t* memory, uint8_t* stored, int32_t layout, bool compact, bool reading,
                           const KindDataUnits& units);

// The 4-byte code word in front of a construction-data block.
struct ConstructionCodeWord {
    uint16_t code;        // stored construction code
    uint16_t parentKind;  // stored kind code of the first parent (when asked for)
};
void       PutConstructionCodeWord(uint8_t* out, const ConstructionCodeWord& word, bool compact, uint32_t blockSize);
ResultCode GetConstructionCodeWord(const uint8_t* payload, uint32_t length, bool compact, ConstructionCodeWord* word);

// The codec of a construction-data block laid out by `layout`: the context's object is
// the in-memory block (fixedWords words); `word` is written in front of it, and read back.
ResultCode TransferKindDataBlock(TransferContext* context, int32_t layout, ConstructionCodeWord* word,
                                 const KindDataUnits& units);

// Reading and writing of the compact form is the handheld form (format version 1).
inline bool IsCompactForm(const TransferSide* recordSide) { return recordSide->formatVersion == 1; }
