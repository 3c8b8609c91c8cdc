// Feeds outside bytes to the reader of older documents: through the document reader
// (which sends "YRNk" files and big-endian headers of versions 10-12 to it) and straight
// into a page, where any bytes without the PC magic are taken for a Mac document. Every
// path must end in a result code without a crash, an endless loop, a read outside the
// input, an allocation sized by the file or a leak; a converted document must save and
// open again unchanged (see document_round_trip.h). Each input is read by figmantle's
// forms and then by figlate's, which wrap captions and build helpers of their own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "document_round_trip.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/legacy_document.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "release2/engine/engine_forms.h"
#include "release2/text/caption_width.h"
#include "release2/text/layout_forms.h"

namespace {

void ReadOnce(const uint8_t* data, size_t size) {
    InitStreamTable();
    ResultCode code = 0;
    EngineDocument* document = fuzz_round_trip::Open(data, static_cast<uint32_t>(size), false, &code);
    // What was converted is a document like any other.
    if (document) fuzz_round_trip::CheckRoundTrip(document, code);
    FreeEngineDocument(document);

    StreamHandle h = 0;
    if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return;
    Sketch* sketch = CreateSketch(0, nullptr);
    if (sketch) {
        Sketch* previous = nullptr;
        SetCurrentSketch(sketch, &previous);
        const bool read = !IsFatalResult(ReadLegacyDocument(h, sketch, nullptr, nullptr));
        if (read) RecomputeSketch(false);
        SetCurrentSketch(previous, nullptr);
        // The converted page saves, and the saved page opens.
        StreamHandle out = 0;
        if (read && OpenMemoryStream(0, &out) == kResultOK) {
            const ResultCode written = WriteSketch(out, sketch, true, false);
            CloseStream(out);
            uint32_t length = 0;
            void* bytes = TakeStreamBytes(out, &length);
            if (IsFatalResult(written) && written != kResultOutOfMemory) std::abort();
            StreamHandle in = 0;
            if (!IsFatalResult(written) && bytes && OpenMemoryStreamCopy(bytes, length, &in) == kResultOK) {
                Sketch* back = nullptr;
                const ResultCode again = ReadSketch(in, &back, nullptr, kCurrentPageFormat);
                DiscardStream(in);
                if (IsFatalResult(again) && again != kResultOutOfMemory) std::abort();
                if (back) FreeSketch(back);
            }
            FreeMemory(bytes);
        }
        FreeSketch(sketch);
    }
    DiscardStream(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    ReadOnce(data, size);
    LaterReleaseForms forms{};
    AddLayoutForms(&forms);
    AddEngineForms(&forms);
    AddCaptionForms(&forms);
    InstallLaterForms(forms);
    ReadOnce(data, size);
    ResetLaterForms();
    return 0;
}
