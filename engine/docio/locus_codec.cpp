// The class record of loci (2306): the range, the sample count, the form, the ends and
// the drawing option.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/core/locus.h"
#include "engine/core/path_geometry.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/transfer_context.h"

namespace {

constexpr uint32_t kLocusFieldsOffset = sizeof(SketchObject) + offsetof(LocusData, lo);
// lo, hi, form, sampleCount, ends, drawOption: the leading fields of the class data.
constexpr uint32_t kLocusFieldsBytes = offsetof(LocusData, samples);
static_assert(offsetof(LocusData, drawOption) + 4 == kLocusFieldsBytes);

// Largest form and ends value a handheld record may carry.
constexpr uint16_t kHandheldFormLimit = 5;
constexpr uint16_t kEndsLimit = 3;
constexpr int32_t kHandheldSettings = 1;

// A record carried to another form as it stands: only the form and ends words are
// checked against what the two sides can hold.
ResultCode CarryRecord(TransferContext* context, int32_t length) {
    const TransferSide& from = context->source;
    TransferSide& to = context->destination;
    std::memcpy(to.cursor, from.cursor, size_t(length));
    if (length < int32_t(kLocusRecordBytes)) return kResultDamaged;
    uint16_t form = GetLE16(from.cursor + 20);
    const uint16_t ends = GetLE16(from.cursor + 22);
    const bool fromHandheld = from.settingsVersion == kHandheldSettings;
    if (fromHandheld && (form > kHandheldFormLimit || ends > kEndsLimit)) return kResultObjectDropped;
    if (ends > kEndsLimit) return kResultSkippedObject;
    if (form >= kHandheldFormLimit) {
        if (!fromHandheld) return kResultSkippedObject;
        form = kLocusTraceForm;
        PutLE16(to.cursor + 20, form);
    }
    return kResultOK;
}

ResultCode LocusFieldsConverter(TransferContext* context, void* objectBlock, uint8_t* record, int32_t length) {
    if (context->source.kind == kSideRecord && context->destination.kind == kSideRecord)
        return CarryRecord(context, length);
    if (length < int32_t(kLocusRecordBytes)) return kResultDamaged;
    auto* L = static_cast<LocusData*>(objectBlock);
    if (IsReadingRecord(context)) LocusFieldsFromRecord(record, L);
    else LocusFieldsToRecord(L, record);
    return kResultOK;
}

}  // namespace

ResultCode TransferLocusData(TransferContext* context) {
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, kLocusRecordBytes, kLocusRecordBytes)) return rc;
    // Reading into an object, or an undo exchanging its fields with a saved copy.
    SketchObject* locus = nullptr;
    if (context->op == kTransferSwap) locus = static_cast<SketchObject*>(context->source.object);
    else if (IsReadingRecord(context) && context->destination.kind != kSideRecord)
        locus = static_cast<SketchObject*>(context->destination.object);
    const int32_t oldCount = locus ? LocusDataOf(locus)->sampleCount : 0;
    uint8_t scratch[kLocusFieldsBytes];
    rc = KeepWorstError(rc, RecordTransfer(context, scratch, kLocusFieldsOffset, kLocusFieldsBytes,
                                           kLocusRecordBytes, LocusFieldsConverter));
    if (!locus) return rc;
    // A locus being read is set up from these fields once its parents are known; one
    // that has its samples already must keep its array as long as its count says.
    LocusData* L = LocusDataOf(locus);
    if (L->ends < kPathClosed || L->ends > kPathNoEnd) L->ends = kPathNoEnd;
    if (!L->samples || (context->op == kTransferSwap && L->sampleCount == oldCount)) return rc;
    const int32_t wanted = ClampLocusSampleCount(L->sampleCount);
    L->sampleCount = oldCount;
    if (!ResizeLocusSamples(locus, wanted)) rc = KeepWorstError(rc, kResultOutOfMemory);
    return rc;
}
