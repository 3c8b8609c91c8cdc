#include "engine/docio/record_codecs.h"

#include <cmath>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/geometry_codecs.h"

namespace {

// Records of up to this size are built in one shared buffer rather than a new block.
constexpr uint32_t kSharedRecordBytes = 1024;
alignas(8) uint8_t gSharedRecord[kSharedRecordBytes];
bool gSharedRecordBusy = false;

constexpr double kPi = 3.1415926535898;
constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace

uint32_t MeasureCodecRecord(RecordCodecFn codec, void* object, const FormatInfo& format) {
    TransferContext context;
    BeginMeasureContext(&context, object, format);
    codec(&context);
    return context.destination.length < 0 ? 0 : static_cast<uint32_t>(context.destination.length);
}

ResultCode WriteCodecRecord(RecordCodecFn codec, void* object, StreamHandle stream, uint32_t tag,
                            const FormatInfo& format) {
    uint32_t measured = MeasureCodecRecord(codec, object, format);
    uint32_t length = (measured + 1) & ~1u;  // every payload has an even length
    uint8_t* buffer = gSharedRecord;
    bool shared = length <= kSharedRecordBytes && !gSharedRecordBusy;
    if (!shared) {
        buffer = static_cast<uint8_t*>(AllocMemory(length ? length : 1, kAllocZero));
        if (!buffer) return kResultOutOfMemory;
    } else {
        gSharedRecordBusy = true;
    }
    std::memset(buffer, 0, length);
    TransferContext context;
    BeginWriteContext(&context, buffer, measured, object, format);
    ResultCode rc = codec(&context);
    // A codec that writes other than it measured would leave undefined or missing bytes;
    // one that cannot store its object in this form writes nothing and says so, and the
    // object is left out.
    if (!IsFatalError(rc) && rc != kResultObjectDropped && context.advance &&
        context.destination.cursor != buffer + measured)
        rc = kResultCodecOverrun;
    if (!IsFatalError(rc) && rc != kResultObjectDropped) {
        ResultCode wrc = StreamWriteRecord(stream, length, tag, buffer);
        rc = IsFatalError(wrc) ? wrc : KeepWorstError(rc, wrc);
    }
    if (shared) gSharedRecordBusy = false;
    else FreeMemory(buffer);
    return rc;
}

ResultCode ReadCodecRecord(RecordCodecFn codec, void* object, const uint8_t* payload, uint32_t length,
                           const FormatInfo& format) {
    TransferContext context;
    BeginReadContext(&context, payload, length, object, format);
    return codec(&context);
}

ResultCode SwapCodecFields(RecordCodecFn codec, void* object, void* savedCopy) {
    TransferContext context;
    BeginSwapContext(&context, object, savedCopy);
    return codec(&context);
}

ResultCode SaveCodecBlock(RecordCodecFn codec, void* object, uint8_t** bytes, uint32_t* length) {
    *bytes = nullptr;
    *length = 0;
    const uint32_t measured = MeasureCodecRecord(codec, object, kCurrentPageFormat);
    if (measured == 0) return kResultOK;
    auto* buffer = static_cast<uint8_t*>(AllocMemory(measured, kAllocZero));
    if (!buffer) return kResultOutOfMemory;
    TransferContext context;
    BeginWriteContext(&context, buffer, measured, object, kCurrentPageFormat);
    ResultCode rc = codec(&context);
    if (!IsFatalError(rc) && context.advance && context.destination.cursor != buffer + measured)
        rc = kResultCodecOverrun;
    if (IsFatalError(rc)) {
        FreeMemory(buffer);
        return rc;
    }
    *bytes = buffer;
    *length = measured;
    return kResultOK;
}

ResultCode CopyCodecBlock(RecordCodecFn codec, void* source, void* target) {
    uint8_t* bytes = nullptr;
    uint32_t length = 0;
    ResultCode rc = SaveCodecBlock(codec, source, &bytes, &length);
    if (rc != kResultOK || !bytes) return rc;
    rc = ReadCodecRecord(codec, target, bytes, length, kCurrentPageFormat);
    FreeMemory(bytes);
    return IsFatalError(rc) ? rc : kResultOK;
}

namespace {

// In-memory sizes of the entries, in the order angle, ratio, distance, vertical.
constexpr uint32_t kAngleEntryBytes    = 32;  // sin, cos, angle, unit, spare
constexpr uint32_t kRatioEntryBytes    = 8;
constexpr uint32_t kDistanceEntryBytes = 24;  // pixels, value, unit, spare

uint32_t StoredAngleBytes(bool compact) { return compact ? 16 : 28; }
uint32_t StoredDistanceBytes(bool compact) { return compact ? 8 : 20; }

double SaneResolution(double ppi) { return ppi > 0 && ppi < 1e6 ? ppi : 96.0; }

double UnitFactor(int32_t unit, double ppi) {
    if (unit == 1) return ppi / 2.54;
    if (unit == 2) return ppi;
    return 1.0;
}

double GetHostReal(const uint8_t* p) { double v; std::memcpy(&v, p, 8); return v; }
void PutHostReal(uint8_t* p, double v) { std::memcpy(p, &v, 8); }
int32_t GetHostI32(const uint8_t* p) { int32_t v; std::memcpy(&v, p, 4); return v; }
void PutHostI32(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }

void ConvertAngle(uint8_t* mem, uint8_t* st, bool compact, bool reading, const KindDataUnits& units) {
    if (!reading) {
        PutLEReal(st, GetHostReal(mem));
        PutLEReal(st + 8, GetHostReal(mem + 8));
        if (!compact) {
            PutLEReal(st + 16, GetHostReal(mem + 16));
            PutLE32(st + 24, static_cast<uint32_t>(GetHostI32(mem + 24)));
        }
        return;
    }
    double first = GetLEReal(st), second = GetLEReal(st + 8);
    PutHostReal(mem, first);
    PutHostReal(mem + 8, second);
    if (!compact) {
        PutHostReal(mem + 16, GetLEReal(st + 16));
        int32_t unit = static_cast<int32_t>(GetLE32(st + 24));
        PutHostI32(mem + 24, unit >= 0 && unit <= 2 ? unit : 0);
        return;
    }
    double angle = -std::atan(first / second);
    if (second < 0) angle += first > 0 ? -kPi : kPi;
    int32_t unit = units.angleUnit >= 0 && units.angleUnit <= 2 ? units.angleUnit : 0;
    if (unit != 0) angle *= kDegreesPerRadian;
    PutHostReal(mem + 16, angle);
    PutHostI32(mem + 24, unit);
}

void ConvertDistance(uint8_t* mem, uint8_t* st, bool compact, bool reading, bool negated,
                     const KindDataUnits& units) {
    double ppi = SaneResolution(units.pixelsPerInch);
    if (!reading) {
        if (compact) {
            double v = GetHostReal(mem) * 96.0 / ppi;
            PutLEReal(st, negated ? -v : v);
        } else {
            PutLEReal(st, GetHostReal(mem));
            PutLEReal(st + 8, GetHostReal(mem + 8));
            PutLE32(st + 16, static_cast<uint32_t>(GetHostI32(mem + 16)));
        }
        return;
    }
    if (compact) {
        double v = GetLEReal(st);
        double pixels = (negated ? -v : v) * ppi / 96.0;
        int32_t unit = units.distanceUnit >= 0 && units.distanceUnit <= 2 ? units.distanceUnit : 0;
        PutHostReal(mem, pixels);
        PutHostReal(mem + 8, pixels / UnitFactor(unit, ppi));
        PutHostI32(mem + 16, unit);
    } else {
        double stored = GetLEReal(st);
        double value = GetLEReal(st + 8);
        int32_t unit = static_cast<int32_t>(GetLE32(st + 16));
        if (unit < 0 || unit > 2) unit = 0;
        // The pixel length follows from the value as the user gave it (another screen
        // resolution gives another length); within rounding the stored one is kept, so
        // that what is read writes the same bytes again.
        double pixels = value * UnitFactor(unit, ppi);
        if (std::fabs(stored - pixels) <= 1e-9 * std::fabs(pixels)) pixels = stored;
        PutHostReal(mem, pixels);
        PutHostReal(mem + 8, value);
        PutHostI32(mem + 16, unit);
    }
}

}  // namespace

uint32_t KindDataStoredBytes(int32_t layout, bool compact) {
    if (layout < 0 || layout >= kTransformOpCount) return 0;
    const TransformOpRecord& row = TransformOpTable[layout];
    return 4u * (compact ? row.compactWords : row.fixedWords);
}

uint32_t KindDataGroupBytes(int32_t layout, bool compact) {
    if (layout < 0 || layout >= kTransformOpCount) return 0;
    uint32_t flags = TransformOpTable[layout].sources, n = 0;
    if (flags & kSourceFixedAngle) n += StoredAngleBytes(compact);
    if (flags & kSourceFixedRatio) n += 8;
    if (flags & kSourceFixedDistance) n += StoredDistanceBytes(compact);
    if (flags & kSourceFixedVertical) n += StoredDistanceBytes(compact);
    return n;
}

void ConvertKindDataFields(uint8_t* memory, uint8_t* stored, int32_t layout, bool compact, bool reading,
                           const KindDataUnits& units) {
    if (layout < 0 || layout >= kTransformOpCount) return;
    uint32_t flags = TransformOpTable[layout].sources;
    uint8_t* mem = memory;
    uint8_t* st = stored;
    if (flags & kSourceFixedAngle) {
        ConvertAngle(mem, st, compact, reading, units);
        mem += kAngleEntryBytes;
        st += StoredAngleBytes(compact);
    }
    if (flags & kSourceFixedRatio) {
        if (reading) PutHostReal(mem, GetLEReal(st));
        else PutLEReal(st, GetHostReal(mem));
        mem += kRatioEntryBytes;
        st += 8;
    }
    if (flags & kSourceFixedDistance) {
        ConvertDistance(mem, st, compact, reading, false, units);
        mem += kDistanceEntryBytes;
        st += StoredDistanceBytes(compact);
    }
    if (flags & kSourceFixedVertical) ConvertDistance(mem, st, compact, reading, true, units);
}

void PutConstructionCodeWord(uint8_t* out, const ConstructionCodeWord& word, bool compact, uint32_t blockSize) {
    if (compact) {
        out[0] = static_cast<uint8_t>(word.code);
        out[1] = static_cast<uint8_t>(blockSize > 255 ? 255 : blockSize);
        out[2] = static_cast<uint8_t>(word.parentKind);
        out[3] = 0;
    } else {
        PutLE16(out, word.code);
        PutLE16(out + 2, word.parentKind);
    }
}

ResultCode GetConstructionCodeWord(const uint8_t* payload, uint32_t length, bool compact, ConstructionCodeWord* word) {
    if (length < 4) return kResultDamaged;
    if (compact) {
        word->code = payload[0];
        word->parentKind = payload[2];
    } else {
        word->code = GetLE16(payload);
        word->parentKind = GetLE16(payload + 2);
    }
    return kResultOK;
}

ResultCode TransferKindDataBlock(TransferContext* context, int32_t layout, ConstructionCodeWord* word,
                                 const KindDataUnits& units) {
    if (layout < 0 || layout >= kTransformOpCount) return kResultDamaged;
    uint32_t memoryBytes = 4u * TransformOpTable[layout].fixedWords;
    TransferSide* src = &context->source;
    TransferSide* dst = &context->destination;
    switch (context->op) {
        case kTransferMeasure: {
            uint32_t stored = KindDataStoredBytes(layout, IsCompactForm(dst));
            if (dst->length < 0) dst->length = 0;
            dst->length += static_cast<int32_t>(4 + stored);
            return kResultOK;
        }
        case kTransferSwap: {
            uint8_t scratch[64];
            return RecordTransfer(context, scratch, 0, memoryBytes, memoryBytes, nullptr);
        }
        default:
            break;
    }
    if (IsWritingRecord(context)) {
        bool compact = IsCompactForm(dst);
        uint32_t stored = KindDataStoredBytes(layout, compact);
        if (RecordBytesLeft(dst) < 4 + stored) return kResultCodecOverrun;
        std::memset(dst->cursor, 0, 4 + stored);
        PutConstructionCodeWord(dst->cursor, *word, compact, 4 + stored);
        ConvertKindDataFields(FieldAddress(src, 0), dst->cursor + 4, layout, compact, false, units);
        dst->cursor += 4 + stored;
        return kResultOK;
    }
    if (!IsReadingRecord(context)) return kResultOK;
    bool compact = IsCompactForm(src);
    uint32_t stored = KindDataStoredBytes(layout, compact);
    uint32_t needed = compact ? stored : KindDataGroupBytes(layout, false);
    ResultCode rc = kResultOK;
    uint32_t left = RecordBytesLeft(src);
    if (left < 4 + needed) return kResultDamaged;
    if (left > 4 + stored) rc = kResultLongerRecord;
    ResultCode wrc = GetConstructionCodeWord(src->cursor, left, compact, word);
    if (wrc != kResultOK) return wrc;
    // Full-form data may stop after its groups: the rest is padding.
    uint8_t area[4 * 16] = {};
    uint32_t take = left - 4 < stored ? left - 4 : stored;
    std::memcpy(area, src->cursor + 4, take);
    uint8_t* mem = FieldAddress(dst, 0);
    std::memset(mem, 0, memoryBytes);
    ConvertKindDataFields(mem, area, layout, compact, true, units);
    src->cursor += take + 4;
    return rc;
}
