// Feeds outside bytes as the payload of every label and text record (an object's label,
// the label states of one sequence and of the handheld block, a caption's text, also as
// the text of a merged and a pegged text whose references are then built, a value
// display's, a calculation's, a table's grid) in every format version, into real objects
// of a real sketch. Every path must end in a result code; whatever reads back must measure and write again to
// exactly the measured length.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/calc/tables.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/text_record_codecs.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_labels.h"

namespace {

struct Objects {
    Sketch* sketch = nullptr;
    SketchObject* point = nullptr;
    SketchObject* caption = nullptr;
    SketchObject* measurement = nullptr;
    SketchObject* calculation = nullptr;
    SketchObject* merged = nullptr;
    SketchObject* pegged = nullptr;
    SketchObject* table = nullptr;
};

SketchObject* Free(int32_t objectClass, int32_t kind) {
    const ObjectTemplate t = { kTypeFree, 0, 0, objectClass, 1, kind, 0 };
    return ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
}

Objects& Made() {
    static Objects o;
    if (o.sketch) return o;
    o.sketch = CreateSketch(0, nullptr);
    if (!o.sketch) __builtin_trap();
    SetCurrentSketch(o.sketch, nullptr);
    o.point = Free(kClassPoint, kKindPoint);
    SketchObject* other = Free(kClassPoint, kKindPoint);
    o.caption = Free(kClassCaption, kKindCaption);
    PtrList ends = 0, segment = 0;
    if (!PtrListAppend(&ends, o.point) || !PtrListAppend(&ends, other)) __builtin_trap();
    SketchObject* ab = ConstructObject(kTypeSegment, nullptr, ends, 0, true, false, nullptr);
    if (!ab || !PtrListAppend(&segment, ab)) __builtin_trap();
    o.measurement = ConstructObject(40, nullptr, segment, 0, true, false, nullptr);
    o.calculation = Free(kClassCalculation, kKindPlainCalculation);
    PtrList values = 0;
    if (!PtrListAppend(&values, o.measurement)) __builtin_trap();
    o.table = ConstructObject(kTypeMeasurementTable, nullptr, values, 0, true, false, nullptr);
    if (!o.point || !o.caption || !o.measurement || !o.calculation || !o.table) __builtin_trap();
    RecomputeObject(o.point, nullptr, true);
    RecomputeObject(o.caption, nullptr, true);
    RecomputeObject(o.measurement, nullptr, true);
    // Three parents for the merged text, so that references to parent numbers past them
    // are read too; the pegged text shows the measurement at the point.
    PtrList shown = 0, pegged = 0;
    if (!PtrListAppend(&shown, o.caption) || !PtrListAppend(&shown, o.measurement) || !PtrListAppend(&shown, o.point) ||
        !PtrListAppend(&pegged, o.point) || !PtrListAppend(&pegged, o.measurement))
        __builtin_trap();
    const ObjectTemplate merged = { kTypeMergedText, 0, 0, kClassCaption, 1, kKindMergedText, 0 };
    const ObjectTemplate peggedText = { kTypePeggedText, 0, 0, kClassCaption, 1, kKindMergedText, 0 };
    o.merged = ConstructObjectEx(&merged, nullptr, shown, 0, nullptr, nullptr, false);
    o.pegged = ConstructObjectEx(&peggedText, nullptr, pegged, 0, nullptr, nullptr, false);
    if (!o.merged || !o.pegged) __builtin_trap();
    return o;
}

// Reads the payload; when it is taken, the object must write back to what it measures.
void Check(RecordCodecFn codec, void* object, const uint8_t* data, uint32_t size, const FormatInfo& f) {
    if (IsFatalResult(ReadCodecRecord(codec, object, data, size, f))) return;
    const uint32_t measured = MeasureCodecRecord(codec, object, f);
    uint8_t* buffer = static_cast<uint8_t*>(AllocMemory(measured + 1, 0));
    if (!buffer) return;
    TransferContext context;
    BeginWriteContext(&context, buffer, measured, object, f);
    const ResultCode rc = codec(&context);
    if (IsFatalResult(rc) && rc != kResultOutOfMemory) __builtin_trap();
    if (!IsFatalResult(rc) && context.destination.cursor != buffer + measured) __builtin_trap();
    FreeMemory(buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) return 0;
    Objects& o = Made();
    const uint32_t n = static_cast<uint32_t>(size);
    for (int32_t version = 1; version <= 4; ++version) {
        const FormatInfo f{ 1, version, version };
        Check(TransferLabelRecord, o.point, data, n, f);
        Check(TransferCaptionData, o.caption, data, n, f);
        // References read from outside name any parent and part: the refresh builds
        // only what the parents offer, and the text still writes to its measure.
        for (SketchObject* text : { o.merged, o.pegged }) {
            if (IsFatalResult(ReadCodecRecord(TransferCaptionData, text, data, n, f))) continue;
            RecomputeObject(text, nullptr, true);
            DropChangedParts(text);
            UpdateReferences(text, true);
            Check(TransferCaptionData, text, data, n, f);
        }
        Check(TransferMeasurementData, o.measurement, data, n, f);
        // A calculation's expression read must compile or be refused, never crash.
        if (!IsFatalResult(ReadCodecRecord(TransferCalculationData, o.calculation, data, n, f)))
            FinishReadCalculation(o.calculation, false);
        Check(TransferCalculationData, o.calculation, data, n, f);
        // A table's grid read must fit the table's parents or be refused; the table
        // then writes what it holds.
        if (!IsFatalResult(ReadCodecRecord(TransferTableData, o.table, data, n, f))) {
            if (!FinishTableFromRecord(o.table) && !InitTableData(o.table, nullptr)) __builtin_trap();
            RecomputeObject(o.table, nullptr, true);
        }
        Check(TransferTableData, o.table, data, n, f);
        LabelSequenceTarget one{ o.sketch, &o.sketch->labelSequences[1] };
        Check(TransferLabelSequenceState, &one, data, n, f);
        LabelSequenceTarget all{ o.sketch, nullptr };
        Check(TransferLabelSequences, &all, data, n, f);
    }
    // Labels and sequence states read from anywhere still name new objects.
    char text[kLabelBufferSize];
    for (int32_t s = 0; s < kLabelSequenceCount; ++s) NextAutoLabel(s, text);
    GetObjectLabel(o.point, kLabelSequence, text, nullptr);
    return 0;
}
