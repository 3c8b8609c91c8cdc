// Opens Properties on every object of every page of a fuzzed document and edits the
// pages' fields from the input within their bounds, then stores or cancels: nothing may
// crash or leak, and the document must still write and read back.
// Input: one byte n, n bytes that steer the edits, then the document.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "document_round_trip.h"
#include "engine/core/sketch.h"
#include "engine/interact/object_properties.h"
#include "engine/text/object_labels.h"
#include "support/dialogs_double.h"

namespace {

struct Steer {
    const uint8_t* bytes;
    size_t         size;
    size_t         at;
    uint8_t Next() { return size == 0 ? 0 : bytes[at++ % size]; }
};

int32_t Within(int32_t lower, int32_t upper, uint8_t b) {
    if (upper < lower) return lower;
    const int64_t span = int64_t(upper) - lower + 1;
    return int32_t(lower + int64_t(b) % span);
}

void EditField(DialogField& f, Steer& s) {
    if (!(f.state & kFieldEnabled)) return;
    switch (f.kind) {
    case kFieldChoice: case kFieldFlag: case kFieldListChoice: case kFieldInteger:
        f.value.integer = Within(f.lower, f.kind == kFieldFlag ? 1 : f.upper, s.Next());
        break;
    case kFieldNumber: {
        static const double kReals[] = { 0, -1, 1, 0.5, 512, -1e6, 1e300, NAN, INFINITY, 3.14159 };
        f.value.real = kReals[s.Next() % std::size(kReals)];
        break;
    }
    case kFieldText:
        if (f.value.text && f.upper > 0) {
            static const char* const kTexts[] = { "", "  ", "P", "len[1]", "AAAAAAAAAAAAAAAAAAAAAAAA" };
            std::strncpy(f.value.text, kTexts[s.Next() % std::size(kTexts)], size_t(f.upper) - 1);
        }
        break;
    default: break;
    }
}

void EditPages(Steer& s) {
    for (int32_t p = 0; p < kPropertyPageCount; ++p) {
        DialogField* fields = PropertiesPageSet.pages[p];
        if (!fields) continue;
        for (int32_t i = 0; i < PropertyPageFieldCount(p); ++i) EditField(fields[i], s);
    }
    PropertiesApplyLive(&PropertiesPageSet);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const size_t n = data[0];
    if (size < 1 + n) return 0;
    Steer steer{ data + 1, n, 0 };
    InitStreamTable();
    ResultCode code = 0;
    EngineDocument* document = fuzz_round_trip::Open(data + 1 + n, uint32_t(size - 1 - n), false, &code);
    if (!document) return 0;
    for (int32_t page = 0; page < DocumentPageCount(document); ++page) {
        Sketch* sketch = DocumentPageAt(document, page);
        Sketch* previous = nullptr;
        SetCurrentSketch(sketch, &previous);
        std::vector<SketchObject*> objects;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) objects.push_back(o);
        for (SketchObject* o : objects) {
            DialogScript script;
            script.ok = (steer.Next() & 1) != 0;
            script.edits.push_back([&steer](void*) { EditPages(steer); });
            ScriptDialogs({ script });
            PropertiesOpenForObject(o, steer.Next() % kPropertyPageCount, nullptr);
        }
        ResetDialogDoubles();
        SetCurrentSketch(previous, nullptr);
    }
    // Written and read back, the document holds what it held, and writes the same bytes.
    if (DocumentPageCount(document) > 0) {
        uint32_t length = 0;
        if (void* bytes = fuzz_round_trip::Save(document, &length)) {
            ResultCode again = 0;
            EngineDocument* reread = fuzz_round_trip::Open(bytes, length, false, &again);
            if (!reread && again != kResultOutOfMemory) __builtin_trap();
            if (reread && !fuzz_round_trip::SameContents(document, reread)) __builtin_trap();
            if (reread) {
                uint32_t second = 0;
                void* rewritten = fuzz_round_trip::Save(reread, &second);
                if (rewritten && (second != length || std::memcmp(rewritten, bytes, length) != 0)) __builtin_trap();
                FreeMemory(rewritten);
            }
            FreeEngineDocument(reread);
            FreeMemory(bytes);
        }
    }
    FreeEngineDocument(document);
    return 0;
}
