#include "engine/docio/construction_data_codec.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/core/construction_data.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/record_codecs.h"

namespace {

constexpr uint32_t kMaxKindDataBytes = 64;

TransferSide* ObjectSide(TransferContext* context) {
    return context->source.kind == kSideRecord ? &context->destination : &context->source;
}

// The block's bytes live in the list's items, as many as fit.
void CopyFromList(PtrList list, uint8_t* out, uint32_t bytes) {
    std::memset(out, 0, bytes);
    int32_t count = 0;
    void** items = PtrListItems(list, &count);
    uint32_t held = static_cast<uint32_t>(count) * sizeof(void*);
    if (items) std::memcpy(out, items, held < bytes ? held : bytes);
}

bool CopyToList(PtrList* list, const uint8_t* in, uint32_t bytes) {
    int32_t items = static_cast<int32_t>((bytes + sizeof(void*) - 1) / sizeof(void*));
    int32_t count = 0;
    if (*list == 0 || PtrListSize(*list, &count) < items) {
        PtrList fresh = 0;
        if (items && !AllocPtrList(items, items, &fresh)) return false;
        FreePtrList(list);
        *list = fresh;
    } else {
        PtrListSetCount(*list, items);
    }
    if (items) {
        std::memset(PtrListData(*list), 0, static_cast<size_t>(items) * sizeof(void*));
        std::memcpy(PtrListData(*list), in, bytes);
    }
    return true;
}

KindDataUnits CurrentUnits() {
    const Sketch* s = CurrentSketch();
    return { s ? s->settings.angleUnit : 0, s ? s->settings.distanceUnit : 0, PreferencesUnitFactor(2) };
}

}  // namespace

ResultCode TransferKindData(TransferContext* context, int32_t layout) {
    if (layout < 0 || layout >= kTransformOpCount) return kResultDamaged;
    TransferSide* side = ObjectSide(context);
    auto* object = static_cast<SketchObject*>(side->object);
    const uint32_t bytes = 4u * TransformOpTable[layout].fixedWords;
    if (bytes > kMaxKindDataBytes) return kResultDamaged;
    alignas(8) uint8_t block[kMaxKindDataBytes];
    ConstructionCodeWord word{};
    if (context->op == kTransferSwap) {
        // The saved copy is a block of the same words.
        alignas(8) uint8_t saved[kMaxKindDataBytes];
        uint8_t* other = static_cast<uint8_t*>(context->destination.object);
        CopyFromList(object->constructionData, block, bytes);
        std::memcpy(saved, other, bytes);
        std::memcpy(other, block, bytes);
        return CopyToList(&object->constructionData, saved, bytes) ? kResultOK : kResultOutOfMemory;
    }
    if (!IsReadingRecord(context)) CopyFromList(object->constructionData, block, bytes);
    if (object->constructionType >= 0 && object->constructionType < kConstructionTypeCount)
        word.code = ConstructionTypeTable[object->constructionType].storedCode;
    side->object = block;
    ResultCode rc = TransferKindDataBlock(context, layout, &word, CurrentUnits());
    side->object = object;
    if (!IsReadingRecord(context) || IsFatalError(rc)) return rc;
    if (ConstructionTypeFromCode(word.code) == kNoConstructionType) return kResultSkippedObject;
    return CopyToList(&object->constructionData, block, bytes) ? rc : kResultOutOfMemory;
}

ResultCode TransferTransformData(TransferContext* context) {
    auto* object = static_cast<SketchObject*>(ObjectSide(context)->object);
    if (object->constructionType < 0 || object->constructionType >= kConstructionTypeCount)
        return kResultSkippedObject;
    return TransferKindData(context, ConstructionTypeTable[object->constructionType].transformOp);
}

ResultCode TransferConstructionData(TransferContext* context) {
    auto* object = static_cast<SketchObject*>(ObjectSide(context)->object);
    if (IsReadingRecord(context)) {
        ResultCode rc = kResultOK;
        if (RecordCheckLength(context, &rc, 4, 0)) return rc;
        const uint8_t* p = context->source.cursor;
        uint16_t code = IsCompactForm(&context->source) ? p[0] : GetLE16(p);
        if (ConstructionTypeFromCode(code) == kNoConstructionType) return kResultSkippedObject;
    }
    if (object->constructionType < 0 || object->constructionType >= kConstructionTypeCount)
        return kResultSkippedObject;
    TransferFn routine = ConstructionTypeTable[object->constructionType].streamExtra;
    return routine ? routine(context) : kResultOK;
}

namespace {

void PutCodeWord(TransferContext* context, uint8_t* out, const SketchObject* object, int32_t idMode, uint32_t size) {
    ConstructionCodeWord word{};
    word.code = ConstructionTypeTable[object->constructionType].storedCode;
    if (idMode == 1) {
        auto* first = static_cast<SketchObject*>(PtrListItem(object->parents, 0));
        if (first && first->objectKind >= 0 && first->objectKind < kObjectKindCount)
            word.parentKind = static_cast<uint16_t>(ObjectKindTable[first->objectKind].storedCode);
    }
    PutConstructionCodeWord(out, word, IsCompactForm(&context->destination), size);
}

ResultCode CheckCodeWord(TransferContext* context, int32_t idMode) {
    ConstructionCodeWord word{};
    ResultCode rc = GetConstructionCodeWord(context->source.cursor, RecordBytesLeft(&context->source),
                                            IsCompactForm(&context->source), &word);
    if (rc != kResultOK) return rc;
    if (ConstructionTypeFromCode(word.code) == kNoConstructionType) return kResultSkippedObject;
    if (idMode == 1 && ObjectKindFromCode(word.parentKind) == kNoKind) return kResultSkippedObject;
    return kResultOK;
}

bool ObjectIsValid(const SketchObject* object) {
    return object->constructionType >= 0 && object->constructionType < kConstructionTypeCount;
}

}  // namespace

ResultCode TransferCountedBlock(TransferContext* context, uint32_t byteCount, uint32_t blockSize, int32_t idMode,
                                FieldConvertFn convert) {
    TransferSide* side = ObjectSide(context);
    auto* object = static_cast<SketchObject*>(side->object);
    if (!ObjectIsValid(object) || blockSize > 0xFFFF || byteCount > 0xFFFF) return kResultDamaged;
    if (context->op == kTransferMeasure) {
        if (context->destination.length < 0) context->destination.length = 0;
        context->destination.length += static_cast<int32_t>(byteCount + 4);
        return kResultOK;
    }
    if (context->op == kTransferSwap) {
        uint8_t scratch[sizeof(PtrList)];
        return RecordTransfer(context, scratch, offsetof(SketchObject, constructionData), sizeof(PtrList),
                              sizeof(PtrList), nullptr);
    }
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(blockSize > byteCount ? blockSize : (byteCount ? byteCount : 1), kAllocZero));
    if (!block) return kResultOutOfMemory;
    ResultCode rc = kResultOK;
    if (IsWritingRecord(context)) {
        TransferSide* dst = &context->destination;
        if (RecordBytesLeft(dst) < byteCount + 4) {
            FreeMemory(block);
            return kResultCodecOverrun;
        }
        CopyFromList(object->constructionData, block, blockSize > byteCount ? blockSize : byteCount);
        std::memset(dst->cursor, 0, byteCount + 4);
        PutCodeWord(context, dst->cursor, object, idMode, byteCount + 4);
        dst->cursor += 4;
        side->object = block;
        rc = RecordTransfer(context, nullptr, 0, byteCount, byteCount, convert);
        side->object = object;
    } else if (IsReadingRecord(context)) {
        rc = CheckCodeWord(context, idMode);
        if (rc == kResultOK) {
            TransferSide* src = &context->source;
            src->cursor += 4;
            uint32_t left = RecordBytesLeft(src);
            side->object = block;
            rc = RecordTransfer(context, nullptr, 0, blockSize, left < blockSize ? left : blockSize, convert);
            side->object = object;
            if (left > blockSize) rc = KeepWorstError(rc, kResultRecordLong);
            else if (left < blockSize) rc = KeepWorstError(rc, kResultShorterRecord);
            if (!IsFatalError(rc) && !CopyToList(&object->constructionData, block, blockSize)) rc = kResultOutOfMemory;
        }
    }
    FreeMemory(block);
    return rc;
}

ResultCode TransferRawBlock(TransferContext* context) {
    TransferSide* side = ObjectSide(context);
    auto* object = static_cast<SketchObject*>(side->object);
    if (!ObjectIsValid(object)) return kResultDamaged;
    int32_t count = 0;
    if (context->op == kTransferMeasure) {
        PtrListSize(object->constructionData, &count);
        if (context->destination.length < 0) context->destination.length = 0;
        context->destination.length += 4 + 4 * count;
        return kResultOK;
    }
    if (context->op == kTransferSwap) {
        uint8_t scratch[sizeof(PtrList)];
        return RecordTransfer(context, scratch, offsetof(SketchObject, constructionData), sizeof(PtrList),
                              sizeof(PtrList), nullptr);
    }
    if (IsWritingRecord(context)) {
        TransferSide* dst = &context->destination;
        void** items = PtrListItems(object->constructionData, &count);
        uint32_t bytes = 4 + 4 * static_cast<uint32_t>(count);
        if (RecordBytesLeft(dst) < bytes) return kResultCodecOverrun;
        std::memset(dst->cursor, 0, bytes);
        PutCodeWord(context, dst->cursor, object, 0, bytes);
        for (int32_t i = 0; i < count; ++i)
            PutLE32(dst->cursor + 4 + 4 * i, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(items[i])));
        dst->cursor += bytes;
        return kResultOK;
    }
    if (!IsReadingRecord(context)) return kResultOK;
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 4, 0)) return rc;
    rc = CheckCodeWord(context, 0);
    if (rc != kResultOK) return rc;
    TransferSide* src = &context->source;
    uint32_t left = RecordBytesLeft(src) - 4;
    if (left & 3) rc = kResultRecordLong;
    int32_t words = static_cast<int32_t>(left / 4);
    if (words > kMaxPtrListCapacity) return kResultDamaged;
    PtrList list = 0;
    if (words && !AllocPtrList(words, words, &list)) return kResultOutOfMemory;
    for (int32_t i = 0; i < words; ++i)
        PtrListData(list)[i] = reinterpret_cast<void*>(static_cast<uintptr_t>(GetLE32(src->cursor + 4 + 4 * i)));
    FreePtrList(&object->constructionData);
    object->constructionData = list;
    src->cursor += 4 + left;
    return rc;
}

namespace {

constexpr double kMotionPresetSpeeds[3] = { 1, 3, 5 };
constexpr double kOneWordSeconds = 0.01;

// The preset nearest a speed; a tie goes to the lower index.
uint32_t NearestMotionPreset(double speed) {
    uint32_t best = 1;
    double bestGap = 0;
    for (uint32_t i = 0; i < 3; ++i) {
        const double gap = std::fabs(speed - kMotionPresetSpeeds[i]);
        if (i == 0 || gap < bestGap) {
            best = i;
            bestGap = gap;
        }
    }
    return std::isfinite(speed) ? best : 1;
}

MotionParams MotionParamsFromWord(uint32_t word) {
    MotionParams p{};
    const uint32_t preset = word & ~kMotionWordFlags;
    p.motionFlags = word & kMotionWordFlags;
    p.speed = PackReal32(kMotionPresetSpeeds[preset < 3 ? preset : 1]);
    p.seconds = PackReal32(kOneWordSeconds);
    p.rangeLow = PackReal32(0);
    p.rangeHigh = PackReal32(100);
    return p;
}

bool OneWordForm(const TransferSide* recordSide) { return recordSide->formatVersion <= kMotionFormatOneWord; }

}  // namespace

ResultCode TransferMotionParams(TransferContext* context) {
    TransferSide* side = ObjectSide(context);
    auto* object = static_cast<SketchObject*>(side->object);
    if (!ObjectIsValid(object)) return kResultDamaged;
    if (context->op == kTransferSwap) {
        uint8_t scratch[sizeof(PtrList)];
        return RecordTransfer(context, scratch, offsetof(SketchObject, constructionData), sizeof(PtrList),
                              sizeof(PtrList), nullptr);
    }
    int32_t items = 0;
    void** list = PtrListItems(object->constructionData, &items);
    const uint32_t count = static_cast<uint32_t>(items) * sizeof(void*) / sizeof(MotionParams);
    if (context->op == kTransferMeasure) {
        if (context->destination.length < 0) context->destination.length = 0;
        context->destination.length += static_cast<int32_t>(4 + count * (OneWordForm(&context->destination) ? 4 : 32));
        return kResultOK;
    }
    if (IsWritingRecord(context)) {
        TransferSide* dst = &context->destination;
        const bool oneWord = OneWordForm(dst);
        const uint32_t bytes = 4 + count * (oneWord ? 4 : 32);
        if (RecordBytesLeft(dst) < bytes) return kResultCodecOverrun;
        int32_t targets = 0;
        void** parents = PtrListItems(object->parents, &targets);
        std::memset(dst->cursor, 0, bytes);
        PutCodeWord(context, dst->cursor, object, 0, bytes);
        uint8_t* out = dst->cursor + 4;
        for (uint32_t i = 0; i < count; ++i) {
            MotionParams p;
            std::memcpy(&p, reinterpret_cast<const uint8_t*>(list) + i * sizeof p, sizeof p);
            if (oneWord) {
                // The old form moves points only.
                const auto* target = i < static_cast<uint32_t>(targets) ? static_cast<SketchObject*>(parents[i]) : nullptr;
                if (!target || target->objectClass != kClassPoint) return kResultObjectDropped;
                PutLE32(out, (p.motionFlags & kMotionWordFlags) | NearestMotionPreset(UnpackReal32(p.speed)));
                out += 4;
                continue;
            }
            const uint32_t words[8] = { p.motionFlags, p.speed, p.seconds, p.rangeLow, p.rangeHigh,
                                        p.reserved[0], p.reserved[1], p.reserved[2] };
            for (const uint32_t w : words) {
                PutLE32(out, w);
                out += 4;
            }
        }
        dst->cursor += bytes;
        return kResultOK;
    }
    if (!IsReadingRecord(context)) return kResultOK;
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 4, 0)) return rc;
    rc = CheckCodeWord(context, 0);
    if (rc != kResultOK) return rc;
    TransferSide* src = &context->source;
    const uint32_t left = RecordBytesLeft(src) - 4;
    const bool oneWord = OneWordForm(src);
    const uint32_t unit = oneWord ? 4 : 32;
    const uint32_t n = left / unit;
    if (left % unit) rc = kResultLongerRecord;
    if (n > static_cast<uint32_t>(kMaxPtrListCapacity) / 8) return kResultDamaged;
    const uint8_t* in = src->cursor + 4;
    MotionParams* records = n ? static_cast<MotionParams*>(AllocMemory(n * sizeof(MotionParams), kAllocZero)) : nullptr;
    if (n && !records) return kResultOutOfMemory;
    for (uint32_t i = 0; i < n; ++i) {
        if (oneWord) {
            records[i] = MotionParamsFromWord(GetLE32(in + 4 * i));
            continue;
        }
        const uint8_t* at = in + 32 * i;
        MotionParams& p = records[i];
        p.motionFlags = GetLE32(at);
        p.speed = GetLE32(at + 4);
        p.seconds = GetLE32(at + 8);
        p.rangeLow = GetLE32(at + 12);
        p.rangeHigh = GetLE32(at + 16);
        for (int32_t k = 0; k < 3; ++k) p.reserved[k] = GetLE32(at + 20 + 4 * k);
    }
    PtrList made = 0;
    const bool ok = n == 0 || MakeConstructionData(records, n * sizeof(MotionParams), &made);
    FreeMemory(records);
    if (!ok) return kResultOutOfMemory;
    FreePtrList(&object->constructionData);
    object->constructionData = made;
    src->cursor += 4 + left;
    return rc;
}
