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

using fuzz_round_trip::Steer;

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
    Steer steer{};
    EngineDocument* document = fuzz_round_trip::OpenSteered(data, size, &steer);
    if (!document) return 0;
    fuzz_round_trip::ForEachPage(document, [&steer](Sketch* sketch) {
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
    });
    fuzz_round_trip::CheckContentsSurvive(document);
    FreeEngineDocument(document);
    return 0;
}
