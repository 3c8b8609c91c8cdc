// Feeds outside bytes to the sketch-body reader as a page, a partial sketch and a
// handheld page, over the test model (whatever reads back is written again and must
// read back once more without complaint) and into a real sketch.
#include <cstddef>
#include <cstdint>

#include "engine/core/memory.h"
#include "engine/docio/sketch_body.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/docio/fake_sketch_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    const FormatInfo formats[] = { { 1, 4, 4 }, { 2, 4, 4 }, { 1, 1, 1 } };
    for (const FormatInfo& f : formats) {
        StreamHandle h;
        if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return 0;
        FakeSketch sketch;
        ResultCode rc = ReadSketchBody(h, &sketch, kFakeReadOps, f);
        DiscardStream(h);
        if (IsFatalResult(rc)) continue;
        // What was read must write and read again.
        if (f.sketchKind == 2 && sketch.givens.empty()) continue;
        if (OpenMemoryStream(0, &h) != kResultOK) return 0;
        ResultCode wrc = WriteSketchBody(h, &sketch, kFakeWriteOps, f);
        if (IsFatalResult(wrc)) __builtin_trap();
        CloseStream(h);
        uint32_t n = 0;
        uint8_t* bytes = static_cast<uint8_t*>(TakeStreamBytes(h, &n));
        if (!bytes) __builtin_trap();
        StreamHandle again;
        if (OpenMemoryStreamOnBuffer(bytes, n, &again) != kResultOK) __builtin_trap();
        FakeSketch second;
        ResultCode rrc = ReadSketchBody(again, &second, kFakeReadOps, f);
        DiscardStream(again);
        if (IsFatalResult(rrc) || second.objects.size() != sketch.objects.size()) __builtin_trap();
    }
    // The same bytes into a real sketch, through the type tables' codecs.
    for (const FormatInfo& f : formats) {
        StreamHandle h;
        if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return 0;
        Sketch* sketch = nullptr;
        ResultCode rc = ReadSketch(h, &sketch, nullptr, f);
        DiscardStream(h);
        if (IsFatalResult(rc) != (sketch == nullptr)) __builtin_trap();
        if (!sketch) continue;
        if (OpenMemoryStream(0, &h) == kResultOK) {
            WriteSketch(h, sketch, f.sketchKind == 1, f.formatVersion == 1);
            DiscardStream(h);
        }
        FreeSketch(sketch);
    }
    return 0;
}
