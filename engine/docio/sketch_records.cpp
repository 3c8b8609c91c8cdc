#include "engine/docio/sketch_records.h"

#include <cstring>

#include "engine/docio/transfer_context.h"

ResultCode EncodeSketchHeader(uint8_t* out, const SketchHeaderFields& f, int32_t formatVersion) {
    ResultCode rc = kResultOK;
    std::memset(out, 0, kSketchHeaderBytes);
    PutLE16(out + 4, static_cast<uint16_t>(f.left));
    PutLE16(out + 6, static_cast<uint16_t>(f.top));
    if (formatVersion == 1) {
        PutLE16(out + 8, static_cast<uint16_t>(f.right));
        PutLE16(out + 10, static_cast<uint16_t>(f.bottom));
    } else {
        PutLE16(out + 8, f.pageId);
        PutLE16(out + 10, f.flags);
    }
    uint16_t angle = f.angleUnit, distance = f.distanceUnit;
    if (angle > 2) {
        angle = 0;
        rc = kResultUnitDefaulted;
    }
    if (distance > 2) {
        distance = 1;
        rc = kResultUnitDefaulted;
    }
    PutLE16(out + 16, angle);
    PutLE16(out + 18, distance);
    PutLE16(out + 20, static_cast<uint16_t>(f.redrawLevel > 0 ? 0 : f.redrawLevel));
    PutLE32(out + 24, f.objectCount);
    return rc;
}

ResultCode DecodeSketchHeader(const uint8_t* p, uint32_t length, int32_t formatVersion, SketchHeaderFields* f) {
    std::memset(f, 0, sizeof *f);
    if (length < kSketchHeaderBytes) return kResultDamaged;
    f->left = static_cast<int16_t>(GetLE16(p + 4));
    f->top = static_cast<int16_t>(GetLE16(p + 6));
    if (formatVersion == 1) {
        f->right = static_cast<int16_t>(GetLE16(p + 8));
        f->bottom = static_cast<int16_t>(GetLE16(p + 10));
    } else {
        f->pageId = GetLE16(p + 8);
        f->flags = GetLE16(p + 10);
    }
    f->angleUnit = GetLE16(p + 16);
    f->distanceUnit = GetLE16(p + 18);
    if (f->angleUnit > 2) f->angleUnit = 0;
    if (f->distanceUnit > 2) f->distanceUnit = 1;
    f->redrawLevel = static_cast<int16_t>(GetLE16(p + 20));
    f->objectCount = GetLE32(p + 24);
    return kResultOK;
}

ResultCode CheckCountedNumbers(const uint8_t* payload, uint32_t length, uint32_t maxBytes, uint32_t* count) {
    *count = 0;
    if (length < 4 || (length & 3) || (maxBytes && length > maxBytes)) return kResultDamaged;
    uint32_t n = GetLE32(payload);
    if (n > (length - 4) / 4) return kResultDamaged;
    *count = n;
    return length > 4 + 4 * n ? kResultLongerRecord : kResultOK;
}

uint32_t FontRecordBytes(uint32_t faceLength) { return (faceLength + 5 + 1) & ~1u; }

void EncodeFontRecord(uint8_t* out, uint16_t traits, const char* face, uint32_t faceLength) {
    std::memset(out, 0, FontRecordBytes(faceLength));
    PutLE16(out, traits);
    std::memcpy(out + 2, face, faceLength);
}

ResultCode DecodeFontRecord(const uint8_t* payload, uint32_t length, uint16_t* traits, const char** face) {
    if (length < 3 || BoundedTextLength(payload + 2, length - 2) < 0) return kResultDamaged;
    *traits = GetLE16(payload);
    *face = reinterpret_cast<const char*>(payload + 2);
    return kResultOK;
}

void EncodeStyleRecord(uint8_t* out, const uint16_t fields[10]) {
    for (int i = 0; i < 10; ++i) PutLE16(out + 2 * i, fields[i]);
}

ResultCode DecodeStyleRecord(const uint8_t* payload, uint32_t length, uint16_t fields[10]) {
    if (length < kFileStyleBytes) return kResultDamaged;
    for (int i = 0; i < 10; ++i) fields[i] = GetLE16(payload + 2 * i);
    return length > kFileStyleBytes ? kResultLongerRecord : kResultOK;
}

uint32_t TextRecordBytes(uint32_t textLength) { return (textLength + 1 + 1) & ~1u; }

ResultCode DecodeTextRecord(const uint8_t* payload, uint32_t length, const char** text, uint32_t* textLength) {
    int32_t n = payload ? BoundedTextLength(payload, length) : -1;
    if (n < 0) return kResultDamaged;
    *text = reinterpret_cast<const char*>(payload);
    *textLength = static_cast<uint32_t>(n);
    return kResultOK;
}
