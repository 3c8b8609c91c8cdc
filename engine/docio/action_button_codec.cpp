// Record 2310: the class data of action buttons.
#include <cstring>
#include <utility>

#include "engine/core/action_button_data.h"
#include "engine/core/memory.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/transfer_context.h"

namespace {

uint32_t RoundUp4(uint32_t n) { return (n + 3) & ~3u; }

// The bytes of the record: the fixed part, and a link target's text when the type has one.
uint32_t RecordBytes(const ActionButtonData* b) {
    if (b->buttonType != kButtonLinkToTarget) return kActionButtonRecordBytes;
    const uint32_t n = b->linkTarget ? StringLength(b->linkTarget) : 0;
    return RoundUp4(kActionButtonRecordBytes + CountedStringSize(n > 0xffff ? 0xffff : n));
}

ResultCode WriteButton(TransferContext* context, ActionButtonData* b, SketchObject* object) {
    const uint32_t total = RecordBytes(b);
    TransferSide* d = &context->destination;
    if (context->op == kTransferMeasure) {
        if (d->length < 0) d->length = 0;
        d->length += static_cast<int32_t>(total);
        return kResultOK;
    }
    if (RecordBytesLeft(d) < total) return kResultCodecOverrun;
    uint8_t* p = d->cursor;
    std::memset(p, 0, total);
    // The position is written as the button stands now.
    b->storedX = static_cast<int16_t>(object->bounds.left);
    b->storedY = static_cast<int16_t>(object->bounds.top);
    PutLE16(p, static_cast<uint16_t>(b->buttonType));
    PutLE16(p + 2, static_cast<uint16_t>(b->buttonOptions));
    PutLE16(p + 4, static_cast<uint16_t>(b->buttonParam));
    PutLE16(p + 6, static_cast<uint16_t>(b->buttonId));
    PutLE16(p + 8, static_cast<uint16_t>(b->storedX));
    PutLE16(p + 10, static_cast<uint16_t>(b->storedY));
    if (b->buttonType == kButtonLinkToTarget) {
        const uint32_t n = b->linkTarget ? StringLength(b->linkTarget) : 0;
        PackCountedString(p + kActionButtonRecordBytes, b->linkTarget ? b->linkTarget : "", n > 0xffff ? 0xffff : n);
    }
    d->cursor += total;
    return kResultOK;
}

ResultCode ReadButton(TransferContext* context, ActionButtonData* b) {
    const uint32_t n = context->source.length < 0 ? 0 : static_cast<uint32_t>(context->source.length);
    const uint8_t* p = static_cast<const uint8_t*>(context->source.object);
    context->source.cursor = const_cast<uint8_t*>(p) + n;
    if (n < kActionButtonRecordBytes) return kResultDamaged;
    const int32_t type = GetLE16(p);
    if (type > kLastButtonType) return kResultSkippedObject;
    ResultCode rc = kResultOK;
    uint32_t used = kActionButtonRecordBytes;
    char* text = nullptr;
    if (type == kButtonLinkToTarget && n > kActionButtonRecordBytes) {
        uint32_t length = 0, packed = 0;
        if (!CheckCountedString(p + used, n - used, &length, &packed)) return kResultDamaged;
        // An empty text is kept as none, as it is written.
        if (length > 0) text = static_cast<char*>(AllocMemory(length + 1, 0));
        if (length > 0 && text == nullptr) return kResultOutOfMemory;
        if (text != nullptr) UnpackCountedString(text, p + used);
        // The text ends at its first NUL, as it is used and written again.
        if (text != nullptr && text[0] == 0) {
            FreeMemory(text);
            text = nullptr;
        }
        used = RoundUp4(used + packed);
    }
    if (n > used) rc = kResultLongerRecord;
    b->buttonType = type;
    b->buttonOptions = static_cast<int16_t>(GetLE16(p + 2));
    b->buttonParam = static_cast<int16_t>(GetLE16(p + 4));
    b->buttonId = GetLE16(p + 6);
    b->storedX = static_cast<int16_t>(GetLE16(p + 8));
    b->storedY = static_cast<int16_t>(GetLE16(p + 10));
    // Older documents mark a link without a page so; it reads as the first page.
    if (type == kButtonLinkToPage && context->source.formatVersion < 4 && GetLE16(p + 2) == 0xffff)
        b->buttonOptions = 0;
    FreeMemory(b->linkTarget);
    b->linkTarget = text;
    return rc;
}

}  // namespace

ResultCode TransferActionButtonData(TransferContext* context) {
    if (context->op == kTransferSwap) {
        ActionButtonData* a = ActionButtonOf(static_cast<SketchObject*>(context->source.object));
        ActionButtonData* b = ActionButtonOf(static_cast<SketchObject*>(context->destination.object));
        if (a == nullptr || b == nullptr) return kResultDamaged;
        std::swap(a->buttonType, b->buttonType);
        std::swap(a->buttonId, b->buttonId);
        std::swap(a->buttonOptions, b->buttonOptions);
        std::swap(a->buttonParam, b->buttonParam);
        std::swap(a->linkTarget, b->linkTarget);
        return kResultOK;
    }
    const bool reading = IsReadingRecord(context);
    auto* object = static_cast<SketchObject*>(reading ? context->destination.object : context->source.object);
    ActionButtonData* b = ActionButtonOf(object);
    if (b == nullptr) return kResultDamaged;
    if (!reading) return WriteButton(context, b, object);
    const ResultCode rc = ReadButton(context, b);
    // The button stands where it was written; its frame is laid out when its text is.
    if (!IsFatalResult(rc)) object->bounds = ScreenRect{ b->storedX, b->storedY, b->storedX, b->storedY };
    return rc;
}
