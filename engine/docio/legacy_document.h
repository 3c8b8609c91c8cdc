// Documents of the previous generation of the program (format versions 10 to 12, one
// page each), converted into a sketch of the current object model. Two variants: the
// PC one starts with "YRNk" and stores little-endian numbers; the Mac one has no magic,
// stores big-endian numbers, lays its records out differently and keeps its text in
// the Mac character set. Nothing here writes these formats.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

struct BusyTask;

// Byte-order descriptor: pairs {count, width} ended by a count of 0. Width 1 skips
// count bytes; any other width reverses the bytes of count fields of that width.
// Fields that would run past `size` are left as they are.
void ApplyFieldLayout(const uint8_t* layout, uint8_t* data, uint32_t size);
// Applies the layout only to numbers stored in the other byte order (Mac files).
void SwapRecordIfForeign(bool foreignOrder, const uint8_t* layout, uint8_t* data, uint32_t size);

// A row {Mac offset, PC offset, length} of a Mac-to-PC record map; a length of 0 ends
// the map. A positive length copies bytes; a negative length -n copies a counted
// string (first byte its length) of at most n - 1 characters as a NUL-terminated
// string; a PC offset of -1 drops the field into a scratch value.
struct MacLayoutRow {
    int16_t macOffset;
    int16_t pcOffset;
    int16_t length;
};
// Clears the PC record and copies every field of the Mac record into it; a field
// outside either record is passed over. `scratch` (4 bytes) takes dropped fields.
void MapMacRecord(const MacLayoutRow* map, const uint8_t* mac, uint32_t macSize, uint8_t* pc, uint32_t pcSize,
                  uint8_t* scratch);
// Reads a Mac record of macSize bytes from the stream and maps it.
ResultCode ReadMacRecord(StreamHandle stream, const MacLayoutRow* map, uint32_t macSize, uint8_t* pc,
                         uint32_t pcSize, uint8_t* scratch);

// The older document's header, in the units of this program.
struct LegacyHeader {
    bool     foreignOrder;   // a Mac document
    uint32_t objectCount;
    int32_t  version;        // 10..12
    int16_t  windowLeft, windowTop, windowWidth, windowHeight;
    int32_t  precision[3];   // angle, distance, number
    int32_t  angleUnit;      // this program's: 0 radians, 1 degrees, 2 directed degrees
    int32_t  distanceUnit;   // 0 pixels, 1 cm, 2 inches
    int32_t  snapToGrid;
    int32_t  polarGrid;
};
// Reads the header from the start of the stream (the magic included). 34 for a header
// that is not one of an older document this reader takes, 22 when the data ends.
ResultCode ReadLegacyHeader(StreamHandle stream, LegacyHeader* header);

// Mac text to Windows text in place: a CR not followed by LF gains an LF, byte 185
// becomes "pi", other bytes from 128 up are mapped to code page 1252. The text grows by
// one byte per inserted character but never past `capacity` bytes (NUL included);
// *size is its length before and after. 100 when it would not fit.
ResultCode ConvertMacText(char* text, uint32_t* size, uint32_t capacity);

// What old calculator words are converted against.
struct LegacyTokenContext {
    bool    foreignOrder;    // Mac pixels are 1/72 inch, PC pixels 1/96
    int32_t angleUnit;       // of the sketch
    int32_t distanceUnit;
};
// The x or y coordinate of a point (old words 0xfed3, 0xfed2 before the point's parent
// reference): the parent token at `token` names the point, and is to name the point's
// coordinate measurement (type 69 x, 70 y) on the converted coordinate system instead.
struct LegacyCoordinateRef {
    uint32_t token;
    int32_t  type;
};
// Each takes two words of an old expression, which has at most 40.
constexpr uint32_t kMaxLegacyCoordinateRefs = 20;
struct LegacyCoordinateRefs {
    uint32_t count;
    LegacyCoordinateRef item[kMaxLegacyCoordinateRefs];
};

// Old calculator words to expression tokens (appended to a heap array of *count tokens
// that grows as needed). Parent references become value tokens. 9 for a word that has
// no counterpart (a coordinate word too when `coordinates` is null, or when no parent
// reference follows it), 35 for a constant cut off by the end of the words, 100 without
// memory (the array is then freed and null).
ResultCode ConvertLegacyTokens(const uint16_t* words, uint32_t wordCount, const LegacyTokenContext& context,
                               uint16_t** tokens, uint32_t* count, LegacyCoordinateRefs* coordinates = nullptr);

// Reads an older document into `sketch` (already current and owned by `document`).
// Objects that cannot be converted are left out with warning 9, and so is everything
// built on them.
ResultCode ReadLegacyDocument(StreamHandle stream, Sketch* sketch, EngineDocument* document, BusyTask* progress);
