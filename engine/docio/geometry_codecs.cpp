// Record codecs of points, straight objects, axes and circles, and the construction
// data of points on paths, unit points and plotted points. Each routine reads,
// measures, writes and swaps through the one transfer context.
#include <cstddef>
#include <cstring>

#include "engine/core/circle_objects.h"
#include "engine/core/construction_data.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_object_ops.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/transfer_context.h"

namespace {

// Class data starts right after the header.
constexpr uint32_t kClassDataOffset = sizeof(SketchObject);

TransferSide* ObjectSide(TransferContext* context) {
    return context->source.kind == kSideRecord ? &context->destination : &context->source;
}

SketchObject* CodecObject(TransferContext* context) {
    return static_cast<SketchObject*>(ObjectSide(context)->object);
}

// The object's fields changed under it: after reading a record or an undo swap.
bool FieldsReplaced(const TransferContext* context) {
    return IsReadingRecord(context) || context->op == kTransferSwap;
}

// A fixed block of reals at the start of the class data: shorter records are
// damaged (35), longer ones are read with warning 4.
ResultCode TransferClassReals(TransferContext* context, uint32_t count) {
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 8 * count, 8 * count)) return rc;
    double scratch[4];
    return KeepWorstError(rc, RecordTransfer(context, scratch, kClassDataOffset, 8 * count,
                                             8 * count, ConvertRealFields));
}

// An i32 flag stored as u16, read back as 1 when nonzero.
ResultCode ConvertFlagField(TransferContext* context, void* objectBlock, uint8_t* recordBlock,
                            int32_t recordLength) {
    int32_t* flag = static_cast<int32_t*>(objectBlock);
    if (recordLength < 2) return kResultOK;
    if (context->destination.kind == kSideRecord) PutLE16(recordBlock, static_cast<uint16_t>(*flag));
    else *flag = GetLE16(recordBlock) != 0 ? 1 : 0;
    return kResultOK;
}

// Runs one field step against a block of the caller's instead of the object: the
// construction data lives in the pointer-list arena, not at an offset of the object.
ResultCode TransferThroughBlock(TransferContext* context, void* block, uint32_t memoryLength,
                                uint32_t recordLength, FieldConvertFn convert) {
    TransferSide* side = ObjectSide(context);
    void* savedObject = side->object;
    const int32_t savedKind = side->kind;
    side->object = block;
    side->kind = kSideBlock;
    uint8_t scratch[16];
    const ResultCode rc = RecordTransfer(context, scratch, 0, memoryLength, recordLength, convert);
    side->object = savedObject;
    side->kind = savedKind;
    return rc;
}

// The identifier word in front of a construction-data block: the object's stored
// construction code, and with withParentKind the stored kind code of its first parent.
ResultCode TransferIdentifierWord(TransferContext* context, uint32_t blockBytes, bool withParentKind,
                                  ConstructionCodeWord* word) {
    SketchObject* object = CodecObject(context);
    uint8_t head[4] = { 0, 0, 0, 0 };
    if (IsWritingRecord(context) || context->op == kTransferMeasure) {
        word->code = ConstructionTypeTable[object->constructionType].storedCode;
        word->parentKind = 0;
        if (withParentKind) {
            const SketchObject* parent = static_cast<SketchObject*>(PtrListItem(object->parents, 0));
            if (parent) word->parentKind = static_cast<uint16_t>(ObjectKindTable[parent->objectKind].storedCode);
        }
        PutConstructionCodeWord(head, *word, IsCompactForm(&context->destination), 4 + blockBytes);
    }
    ResultCode rc = TransferThroughBlock(context, head, 4, 4, nullptr);
    if (IsReadingRecord(context)) {
        if (rc == kResultShorterRecord) return kResultDamaged;
        rc = GetConstructionCodeWord(head, 4, IsCompactForm(&context->source), word);
    }
    return rc;
}

// A block of reals kept in the construction data, after its identifier word.
ResultCode TransferConstructionReals(TransferContext* context, uint32_t count, bool withParentKind) {
    if (context->op == kTransferSwap) return kResultOK;  // undo keeps construction data apart
    ConstructionCodeWord word{};
    ResultCode rc = TransferIdentifierWord(context, 8 * count, withParentKind, &word);
    if (IsFatalResult(rc)) return rc;
    double values[2] = { 0, 0 };
    SketchObject* object = CodecObject(context);
    if (IsWritingRecord(context)) ReadConstructionData(object, values, 8 * count);
    if (IsReadingRecord(context) && RecordBytesLeft(&context->source) < 8 * count) return kResultDamaged;
    if (IsReadingRecord(context) && RecordBytesLeft(&context->source) > 8 * count)
        rc = KeepWorstError(rc, kResultLongerRecord);
    rc = KeepWorstError(rc, TransferThroughBlock(context, values, 8 * count, 8 * count, ConvertRealFields));
    if (IsReadingRecord(context) && !WriteConstructionData(object, values, 8 * count))
        return kResultOutOfMemory;
    return rc;
}

// The stored block of a point on a path: `words` words of block in memory, laid out in
// the record as the path class says.
ResultCode TransferPathBlock(TransferContext* context, int32_t words, PathBlockLayout layout) {
    const uint32_t recordBytes = layout == kPathBlockPolygon ? 16u : 4u * static_cast<uint32_t>(words);
    SketchObject* point = CodecObject(context);
    PathParameterBlock block{};
    ResultCode rc = kResultOK;
    if (IsWritingRecord(context)) ReadPathParameter(point, &block);
    if (IsReadingRecord(context)) {
        const uint32_t left = RecordBytesLeft(&context->source);
        if (left < recordBytes) return kResultDamaged;
        if (left > recordBytes) rc = kResultLongerRecord;
    }
    if (layout == kPathBlockPolygon) {
        double fraction = PathBlockReal(block, 0);
        uint16_t edge = PathBlockEdge(block);
        rc = KeepWorstError(rc, TransferThroughBlock(context, &fraction, 8, 8, ConvertRealFields));
        rc = KeepWorstError(rc, TransferThroughBlock(context, &edge, 2, 2, ConvertU16Fields));
        uint8_t padding[6] = {};
        rc = KeepWorstError(rc, TransferThroughBlock(context, padding, 0, 6, nullptr));
        SetPathBlockReal(&block, 0, fraction);
        SetPathBlockEdge(&block, edge);
    } else {
        rc = KeepWorstError(rc, TransferThroughBlock(context, &block, recordBytes, recordBytes,
                                                     ConvertRealFields));
    }
    if (IsReadingRecord(context) && !WritePathParameter(point, block, words)) return kResultOutOfMemory;
    return rc;
}

}  // namespace

ResultCode TransferPointGeometry(TransferContext* context) {
    const ResultCode rc = TransferClassReals(context, 2);
    if (FieldsReplaced(context) && !IsFatalResult(rc)) UpdatePointBounds(CodecObject(context));
    return rc;
}

ResultCode TransferStraightGeometry(TransferContext* context) {
    // The two defining points: the first four reals of the class data.
    const ResultCode rc = TransferClassReals(context, 4);
    if (FieldsReplaced(context) && !IsFatalResult(rc)) UpdateStraightForm(CodecObject(context));
    return rc;
}

ResultCode TransferCircleGeometry(TransferContext* context) {
    // Centre and radius.
    const ResultCode rc = TransferClassReals(context, 3);
    if (FieldsReplaced(context) && !IsFatalResult(rc)) UpdateCircleScreen(CodecObject(context));
    return rc;
}

ResultCode TransferAxisData(TransferContext* context) {
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 2, 2)) return rc;
    int32_t scratch;
    return KeepWorstError(rc, RecordTransfer(context, &scratch,
                                             kClassDataOffset + offsetof(AxisData, horizontal),
                                             sizeof(int32_t), 2, ConvertFlagField));
}

ResultCode TransferUnitDistance(TransferContext* context) {
    return TransferConstructionReals(context, 1, false);
}

ResultCode TransferPlottedValues(TransferContext* context) {
    return TransferConstructionReals(context, 2, false);
}

ResultCode TransferPathParameter(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;  // undo keeps construction data apart
    SketchObject* point = CodecObject(context);
    int32_t pathClass = kNotAPathClass;
    if (!IsReadingRecord(context)) {
        const SketchObject* path = static_cast<SketchObject*>(PtrListItem(point->parents, 0));
        if (path) pathClass = PathClassOf(path);
        if (pathClass == kNotAPathClass) return kResultObjectDropped;
    }
    const int32_t words = pathClass == kNotAPathClass ? 2 : PathMethodTable[pathClass].parameterWords;
    ConstructionCodeWord word{};
    ResultCode rc = TransferIdentifierWord(context, 4 * words, true, &word);
    if (IsFatalResult(rc)) return rc;
    if (IsReadingRecord(context)) {
        const int32_t kind = ObjectKindFromCode(word.parentKind);
        if (kind < 0 || kind >= kObjectKindCount) return kResultObjectDropped;
        pathClass = ObjectKindTable[kind].pathClass;
        if (pathClass < 0 || pathClass >= kPathClassCount) return kResultObjectDropped;
    }
    const PathMethods& row = PathMethodTable[pathClass];
    return KeepWorstError(rc, TransferPathBlock(context, row.parameterWords, row.storedLayout));
}
