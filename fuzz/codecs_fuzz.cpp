// Feeds outside bytes to the stream layer's record reader, the construction-data block
// codecs in both forms (on plain blocks and on a real object), an action button's motion
// records, a picture's class data
// (record 2316), sub-records, packed string lists and picture chunks. Every path
// must end in a result code: no crash, no read outside the input, no unbounded
// allocation.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/action_button_data.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch.h"
#include "engine/docio/construction_data_codec.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/picture_io.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

namespace {

struct KindBlock {
    int32_t layout;
    alignas(8) uint8_t memory[64];
};

ConstructionCodeWord gWord;
KindDataUnits gUnits = { 1, 1, 96.0 };
int32_t gLayout = 0;

ResultCode TransferKind(TransferContext* context) {
    TransferSide* side = context->source.kind == kSideRecord ? &context->destination : &context->source;
    KindBlock* k = static_cast<KindBlock*>(side->object);
    side->object = k->memory;
    return TransferKindDataBlock(context, k->layout, &gWord, gUnits);
}

void ReadPayload(const uint8_t* payload, uint32_t length, uint32_t tag) {
    // Construction data in every layout, full and compact; what reads back must write
    // and read again.
    for (int32_t layout = 0; layout < kTransformOpCount; ++layout) {
        for (int32_t version : { 1, 4 }) {
            FormatInfo f{ 1, version, version };
            KindBlock k{ layout, {} };
            ResultCode rc = ReadCodecRecord(TransferKind, &k, payload, length, f);
            if (IsFatalError(rc)) continue;
            uint32_t measured = MeasureCodecRecord(TransferKind, &k, f);
            uint8_t out[128];
            if (measured > sizeof out) __builtin_trap();
            TransferContext c;
            BeginWriteContext(&c, out, measured, &k, f);
            if (TransferKind(&c) != kResultOK) __builtin_trap();
            if (c.destination.cursor != out + measured) __builtin_trap();
        }
    }
    const uint8_t *header, *body;
    uint32_t hl, bl;
    if (FindSubRecord(payload, length, tag, &header, &hl, &body, &bl) == kResultOK) {
        if (body + bl > payload + length || header + hl > body) __builtin_trap();
    }
    const uint8_t* end = payload + length;
    for (const uint8_t* s = FirstPackedString(payload, end); s; s = NextPackedString(s, end)) {
        char text[65536 + 1];
        UnpackCountedString(text, s);
    }
    BoundedTextLength(payload, length);

    // The same payload as construction data of a real object.
    static Sketch* sketch = nullptr;
    if (!sketch) {
        sketch = CreateSketch(0, nullptr);
        if (!sketch) return;
        SetCurrentSketch(sketch, nullptr);
    }
    const ObjectTemplate t = { 21, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* object = AllocObject(kClassPoint, &t);
    if (!object) return;
    for (int32_t version : { 1, 4 }) {
        FormatInfo f{ 1, version, version };
        for (gLayout = 0; gLayout < kTransformOpCount; ++gLayout)
            ReadCodecRecord([](TransferContext* c) { return TransferKindData(c, gLayout); }, object, payload, length, f);
        // Through each transformation type's own record routine.
        for (int32_t type = 20; type <= 38; ++type) {
            object->constructionType = type;
            ReadCodecRecord(TransferConstructionData, object, payload, length, f);
        }
        object->constructionType = kTypeParametricColor;
        ReadCodecRecord(TransferConstructionData, object, payload, length, f);
        object->constructionType = 21;
        ReadCodecRecord([](TransferContext* c) { return TransferCountedBlock(c, 20, 20, 1, ConvertRealFields); },
                        object, payload, length, f);
        if (!IsFatalError(ReadCodecRecord(TransferRawBlock, object, payload, length, f))) {
            uint32_t n = MeasureCodecRecord(TransferRawBlock, object, f);
            StreamHandle out;
            if (OpenCountingStream(&out) == kResultOK) {
                if (IsFatalError(WriteCodecRecord(TransferRawBlock, object, out, 2003, f)) && n < 65536) __builtin_trap();
                DiscardStream(out);
            }
        }
    }
    FreePtrList(&object->constructionData);
    FreeMemory(object);

    // An action button's motion records, in the full and the one-word forms: what reads
    // measures and writes back (the one-word form needs point targets; this one has none).
    const ObjectTemplate bt = { 66, 0, 0, kClassActionButton, 1, ConstructionTypeTable[66].objectKind, 0 };
    SketchObject* button = AllocObject(kClassActionButton, &bt);
    if (!button) return;
    for (int32_t version : { 1, 3, 4 }) {
        FormatInfo f{ 1, version, version };
        if (IsFatalError(ReadCodecRecord(TransferConstructionData, button, payload, length, f))) continue;
        const uint32_t n = MeasureCodecRecord(TransferMotionParams, button, f);
        uint8_t* out = static_cast<uint8_t*>(AllocMemory(n ? n : 1, 0));
        if (!out) break;
        TransferContext c;
        BeginWriteContext(&c, out, n, button, f);
        const ResultCode written = TransferMotionParams(&c);
        const bool oneWord = version <= 3 && n > 4;
        if (written != (oneWord ? kResultObjectDropped : kResultOK)) __builtin_trap();
        if (!oneWord && c.destination.cursor != out + n) __builtin_trap();
        FreeMemory(out);
    }
    // The same payload as the button's class data: what reads writes back within its
    // measure and reads again to the same fields.
    InitActionButton(button, nullptr);
    for (int32_t version : { 1, 3, 4 }) {
        FormatInfo f{ 1, version, version };
        if (IsFatalError(ReadCodecRecord(TransferActionButtonData, button, payload, length, f))) continue;
        const uint32_t n = MeasureCodecRecord(TransferActionButtonData, button, f);
        uint8_t* out = static_cast<uint8_t*>(AllocMemory(n ? n : 1, 0));
        if (!out) break;
        TransferContext c;
        BeginWriteContext(&c, out, n, button, f);
        if (TransferActionButtonData(&c) != kResultOK || c.destination.cursor != out + n) __builtin_trap();
        const ActionButtonData before = *ActionButtonOf(button);
        const bool hadText = before.linkTarget != nullptr;
        const std::string text = hadText ? before.linkTarget : "";
        if (ReadCodecRecord(TransferActionButtonData, button, out, n, f) != kResultOK) __builtin_trap();
        const ActionButtonData* after = ActionButtonOf(button);
        if (after->buttonType != before.buttonType || after->buttonOptions != before.buttonOptions ||
            after->buttonParam != before.buttonParam || after->buttonId != before.buttonId) __builtin_trap();
        if (hadText != (after->linkTarget != nullptr) || (hadText && text != after->linkTarget)) __builtin_trap();
        FreeMemory(out);
    }
    FreeActionButton(button);
    FreePtrList(&button->constructionData);
    FreeMemory(button);

    // A picture's sizes: what reads writes back to the same 16 bytes, whatever was stored
    // above the low 16 bits of each field.
    const ObjectTemplate pt = { 0, 0, 0, kClassPicture, 1, kKindPicture, 0 };
    SketchObject* picture = AllocObject(kClassPicture, &pt);
    if (!picture) return;
    if (!IsFatalError(ReadCodecRecord(TransferPictureData, picture, payload, length, kCurrentPageFormat))) {
        uint8_t out[kPictureDataRecordBytes];
        if (MeasureCodecRecord(TransferPictureData, picture, kCurrentPageFormat) != sizeof out) __builtin_trap();
        TransferContext c;
        BeginWriteContext(&c, out, sizeof out, picture, kCurrentPageFormat);
        if (TransferPictureData(&c) != kResultOK) __builtin_trap();
        for (uint32_t i = 0; i < 4 && 4 * i + 4 <= length; ++i) {
            if (GetLE16(out + 4 * i) != GetLE16(payload + 4 * i)) __builtin_trap();
        }
    }
    FreeMemory(picture);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    StreamHandle h;
    if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return 0;
    for (int i = 0; i < 256; ++i) {
        uint32_t tag = StreamPeekRecordTag(h);
        if (tag == kPictureDibTag) {
            uint32_t t, length;
            if (StreamReadRecordHeader(h, &t, &length) != kResultOK) break;
            GlobalBlock dib;
            ReadDibRecord(h, length, &dib);
            if (!dib.Empty() && PackedDibBytes(dib.Bytes(), dib.Size()) > dib.Size()) __builtin_trap();
            continue;
        }
        if (tag & 1) {
            uint8_t buffer[48];
            uint32_t t, length;
            ResultCode rc = StreamReadRecordInto(h, &t, &length, buffer, sizeof buffer);
            if (IsFatalResult(rc)) break;
            continue;
        }
        uint32_t t, length;
        const uint8_t* payload;
        if (StreamReadRecord(h, &t, &length, &payload) != kResultOK) break;
        ReadPayload(payload, length, t);
    }
    DiscardStream(h);
    return 0;
}
