// Payloads of the sketch-level records of a page or partial sketch (header, references,
// selection, givens, fonts, styles), each built field by field and checked against its
// record when read: a count or number from a file is trusted only once checked.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

// Record tags of a sketch body.
enum SketchRecordTag : uint32_t {
    kTagPageHeader      = 1000,
    kTagPageEnd         = 1001,
    kTagPartialHeader   = 1002,
    kTagPartialEnd      = 1003,
    kTagComment         = 1100,
    kTagOldComment      = 1101,
    kTagLabelStateV1    = 1200,
    kTagFont            = 1201,
    kTagTextStyle       = 1203,
    kTagToolGivens      = 1204,
    kTagObjectHeader    = 2000,
    kTagParents         = 2002,
    kTagConstructionData = 2003,
    kTagLabel           = 2005,
    kTagOldStyle        = 2006,
    kTagObjectEnd       = 2007,
    kTagStyleIndex      = 2008,
    kTagGeometryBase    = 2200,  // + class
    kTagClassDataBase   = 2300,  // + class
    kTagLabelSequence18 = 2399,
    kTagLabelStateBase  = 2400,  // + stored class code
    kTagLabelStateLast  = 2490,
    kTagPictureMetafile = 8000,
    kTagPictureDib      = 8002,
    kTagSelection       = 9000,
    kTagPageId          = 9001,
    kTagOldColors       = 9003,
    kTagBuildStamp      = 9004,
    kTagMarkedObject    = 9005,
    kTagNotSelectable   = 9006,
    kTagToolText        = 9007,
    kTagScreenResolution = 9008,
    kTagPreferenceFirst = 10001,
    kTagPreferenceLast  = 19999,
};

constexpr char kBuildStamp[] = "YRN4_W_0488/Oct 31 2001";

constexpr uint32_t kSketchHeaderBytes = 36;
// The least a stored object takes: its 2000 record with the shortest header payload.
constexpr uint32_t kMinObjectBytes = 8 + 12;
// A parents record is at most this long.
constexpr uint32_t kMaxParentsRecordBytes = 262140;
constexpr uint32_t kFileStyleBytes = 20;

struct SketchHeaderFields {
    int16_t  left;
    int16_t  top;
    int16_t  right;        // format version 1 only
    int16_t  bottom;
    uint16_t pageId;       // format version 2 and later
    uint16_t flags;        // bit 0: snap to grid
    uint16_t angleUnit;    // 0 radians, 1 degrees, 2 directed degrees
    uint16_t distanceUnit; // 0 pixels, 1 cm, 2 inches
    int16_t  redrawLevel;  // only zero or negative levels are stored
    uint32_t objectCount;
};

// Writes the 36 bytes; a unit out of range is stored in its default form with warning 5.
ResultCode EncodeSketchHeader(uint8_t* out, const SketchHeaderFields& fields, int32_t formatVersion);
// 35 when shorter than 36 bytes; units out of range read as their defaults.
ResultCode DecodeSketchHeader(const uint8_t* payload, uint32_t length, int32_t formatVersion,
                              SketchHeaderFields* fields);

// A list of object numbers {u32 count, count u32} (records 2002 and 1204): the payload
// must be a multiple of 4 and cover its count (else 35); a longer one gives warning 4.
// `maxBytes` bounds the payload (0: no bound). The numbers are not yet range-checked.
ResultCode CheckCountedNumbers(const uint8_t* payload, uint32_t length, uint32_t maxBytes, uint32_t* count);
inline uint32_t CountedNumberAt(const uint8_t* payload, uint32_t index) {
    const uint8_t* p = payload + 4 + 4 * index;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
// Record 9000: object numbers with no count; the length must be a multiple of 4.
inline uint32_t UncountedNumberAt(const uint8_t* payload, uint32_t index) { return CountedNumberAt(payload - 4, index); }

// Record 1201: u16 font traits, the face name NUL-terminated; the payload is the name
// length + 5 rounded up to even. Decoding checks that the NUL lies inside the payload.
uint32_t   FontRecordBytes(uint32_t faceLength);
void       EncodeFontRecord(uint8_t* out, uint16_t traits, const char* face, uint32_t faceLength);
ResultCode DecodeFontRecord(const uint8_t* payload, uint32_t length, uint16_t* traits, const char** face);

// Record 1203: ten u16 style fields in the order P#WSUOTRGL, the font as the file's number.
void       EncodeStyleRecord(uint8_t* out, const uint16_t fields[10]);
ResultCode DecodeStyleRecord(const uint8_t* payload, uint32_t length, uint16_t fields[10]);

// A NUL-terminated text record (1100, 9007): bytes needed with its NUL and pad, and the
// check that the NUL lies inside the payload (35 otherwise).
uint32_t   TextRecordBytes(uint32_t textLength);
ResultCode DecodeTextRecord(const uint8_t* payload, uint32_t length, const char** text, uint32_t* textLength);
