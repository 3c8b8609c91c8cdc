#include "engine/docio/construction_data_codec.h"

#include <cstring>

#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/record_codecs.h"
#include "engine/interact/preferences.h"

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
    if (layout < 0 || layout >= kKindDataLayoutCount) return kResultDamaged;
    TransferSide* side = ObjectSide(context);
    auto* object = static_cast<SketchObject*>(side->object);
    const uint32_t bytes = 4u * KindDataLayouts[layout].fixedWords;
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
