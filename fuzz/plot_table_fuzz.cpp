// Plots every table of every page of a fuzzed document with the later release's forms,
// the dialog answered from the input (any columns, either form, Plot or Cancel) and the
// window sized from it: nothing may crash or leak, every plotted coordinate is finite, and
// the document must still write and read back.
// Input: one byte n, n bytes that steer the dialog and the window, then the document.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document_round_trip.h"
#include "engine/core/construction_data.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "release2/engine/engine_forms.h"
#include "release2/engine/plot_table_data.h"
#include "release2/later_text_source.h"
#include "support/dialogs_double.h"

namespace {

using fuzz_round_trip::Steer;

void CheckPlottedPoints(Sketch* sketch) {
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->constructionType != 71 && o->constructionType != 72) continue;
        double v[2] = { 0, 0 };
        if (ReadConstructionData(o, v, sizeof v) && (!std::isfinite(v[0]) || !std::isfinite(v[1])))
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Steer steer{};
    EngineDocument* document = fuzz_round_trip::OpenSteered(data, size, &steer);
    if (!document) return 0;
    {
        LaterTextsInstalled texts;
        LaterReleaseForms forms = LaterForms();
        AddEngineForms(&forms);
        InstallLaterForms(forms);
        fuzz_round_trip::ForEachPage(document, [&steer](Sketch* sketch) {
            sketch->windowRect = { 0, 0, int16_t(steer.Next() * 4), int16_t(steer.Next() * 3) };
            std::vector<SketchObject*> tables;
            for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
                if (o->objectClass == kClassTable) tables.push_back(o);
            for (SketchObject* table : tables) {
                DialogScript script;
                script.ok = (steer.Next() & 3) != 0;
                script.edits.push_back([&steer](void* record) {
                    auto* r = static_cast<PlotTableDialogRecord*>(record);
                    const int32_t span = r->firstColumn.upper + 1;
                    r->firstColumn.value.integer = steer.Next() % span;
                    r->secondColumn.value.integer = steer.Next() % span;
                    r->polar.value.integer = steer.Next() & 1;
                });
                ScriptDialogs({ script });
                DeselectAll();
                SelectSketchObject(table);
                PlotTableData();
                ResetDialogDoubles();
            }
            CheckPlottedPoints(sketch);
        });
    }
    fuzz_round_trip::CheckContentsSurvive(document);
    FreeEngineDocument(document);
    return 0;
}
