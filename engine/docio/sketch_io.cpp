// Stand-in: see sketch_io.h. The header payload has the sketch header's size with
// the page id in its place; the title travels in a text record.
#include "engine/docio/sketch_io.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/packed_values.h"

namespace {

constexpr uint32_t kStandinHeaderBytes = 36;
constexpr uint32_t kStandinPageIdAt = 8;
constexpr uint32_t kTagStandinTitle = 9007;
constexpr uint32_t kPageBegin = 1000, kPageEnd = 1001, kPartialBegin = 1002, kPartialEnd = 1003;

ResultCode WriteSketchRecords(StreamHandle stream, Sketch* sketch, uint32_t begin, uint32_t end) {
    uint8_t header[kStandinHeaderBytes] = {};
    header[kStandinPageIdAt] = static_cast<uint8_t>(sketch->pageId);
    header[kStandinPageIdAt + 1] = static_cast<uint8_t>(sketch->pageId >> 8);
    ResultCode rc = StreamWriteRecord(stream, sizeof header, begin, header);
    if (rc == kResultOK && sketch->title != nullptr) {
        const uint32_t length = static_cast<uint32_t>(std::strlen(sketch->title));
        const uint32_t padded = (length + 2) & ~1u;
        auto* text = static_cast<uint8_t*>(AllocMemory(padded, kAllocZero));
        if (text == nullptr) return kResultOutOfMemory;
        std::memcpy(text, sketch->title, length);
        rc = StreamWriteRecord(stream, padded, kTagStandinTitle, text);
        FreeMemory(text);
    }
    if (rc == kResultOK) rc = StreamWriteRecord(stream, 0, end, nullptr);
    return rc;
}

}  // namespace

ResultCode WritePageSketch(StreamHandle stream, Sketch* page, bool) {
    return WriteSketchRecords(stream, page, kPageBegin, kPageEnd);
}

ResultCode WriteToolSketch(StreamHandle stream, Sketch* sketch) {
    return WriteSketchRecords(stream, sketch, kPartialBegin, kPartialEnd);
}

ResultCode ReadSketch(StreamHandle stream, Sketch** out, EngineDocument* document, const FormatInfo& format) {
    *out = nullptr;
    const bool page = format.sketchKind == 1;
    uint32_t tag = 0, length = 0;
    const uint8_t* payload = nullptr;
    ResultCode rc = StreamReadRecord(stream, &tag, &length, &payload);
    if (rc != kResultOK) return rc;
    if (tag != (page ? kPageBegin : kPartialBegin) || length < kStandinHeaderBytes) return kResultDamaged;
    const uint16_t pageId = static_cast<uint16_t>(payload[kStandinPageIdAt] | payload[kStandinPageIdAt + 1] << 8);
    Sketch* sketch = CreateSketch(0, document);
    if (sketch == nullptr) return kResultOutOfMemory;
    sketch->pageId = pageId;
    const uint32_t end = page ? kPageEnd : kPartialEnd;
    for (;;) {
        rc = StreamReadRecord(stream, &tag, &length, &payload);
        if (rc != kResultOK) break;
        if (tag == end) break;
        if (tag == kTagStandinTitle) {
            const void* nul = length ? std::memchr(payload, 0, length) : nullptr;
            if (nul == nullptr) {
                rc = kResultDamaged;
                break;
            }
            rc = SetSketchTitle(sketch, reinterpret_cast<const char*>(payload));
            if (rc != kResultOK) break;
        }
    }
    if (rc != kResultOK) {
        FreeSketch(sketch);
        return rc;
    }
    *out = sketch;
    return kResultOK;
}
