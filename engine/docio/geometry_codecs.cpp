// Record codecs of points, straight objects, axes, circles, arcs and polygons, and the construction
// data of points on paths, unit points and plotted points. Each routine reads,
// measures, writes and swaps through the one transfer context.
#include <cstddef>
#include <cstring>

#include "engine/core/arc_objects.h"
#include "engine/core/circle_objects.h"
#include "engine/core/construction_data.h"
#include "engine/core/iterations.h"
#include "engine/core/object_tables.h"
#include "engine/core/parametric_color.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_object_ops.h"
#include "engine/docio/construction_data_codec.h"
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

namespace {

// The orientation: an i32 stored as a signed i16, read back as its sign.
ResultCode ConvertOrientationField(TransferContext* context, void* objectBlock, uint8_t* recordBlock,
                                   int32_t recordLength) {
    int32_t* orientation = static_cast<int32_t*>(objectBlock);
    if (recordLength < 2) return kResultOK;
    if (context->destination.kind == kSideRecord) {
        PutLE16(recordBlock, static_cast<uint16_t>(static_cast<int16_t>(*orientation)));
    } else {
        const int16_t v = static_cast<int16_t>(GetLE16(recordBlock));
        *orientation = v > 0 ? 1 : (v < 0 ? -1 : 0);
    }
    return kResultOK;
}

}  // namespace

ResultCode TransferArcGeometry(TransferContext* context) {
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 42, 42)) return rc;
    double scratch[5];
    rc = KeepWorstError(rc, RecordTransfer(context, scratch, kClassDataOffset, 40, 40, ConvertRealFields));
    rc = KeepWorstError(rc, RecordTransfer(context, scratch, kClassDataOffset + offsetof(ArcData, orientation),
                                           sizeof(int32_t), 2, ConvertOrientationField));
    if (FieldsReplaced(context) && !IsFatalResult(rc)) {
        // The record holds no end points: a free arc takes them off its geometry, a
        // constructed one gets them from its parents at the recompute that follows.
        SketchObject* arc = CodecObject(context);
        arc->exists = 1;
        FinishArc(arc, arc->constructionType == kTypeFree);
    }
    return rc;
}

namespace {

// The memory form of a polygon's geometry (undo, motion): an 8-byte head with the
// vertex count as u16, then the vertices.
constexpr uint32_t kPolygonCopyHead = 8;

ResultCode TransferPolygonCopy(TransferContext* context, SketchObject* polygon) {
    PolygonData* p = ClassData<PolygonData>(polygon);
    const bool fromObject = context->source.kind == kSideObject;
    TransferSide* blockSide = fromObject ? &context->destination : &context->source;
    uint8_t* block = static_cast<uint8_t*>(blockSide->object);
    const uint32_t bytes = 16u * p->vertexCount;
    if (context->op == kTransferCopy && fromObject) {
        std::memset(block, 0, kPolygonCopyHead);
        std::memcpy(block, &p->vertexCount, sizeof p->vertexCount);
        if (bytes) std::memcpy(block + kPolygonCopyHead, p->vertices, bytes);
        return kResultOK;
    }
    // The arrays were sized at creation: a copy of another count would run past them.
    uint16_t count;
    std::memcpy(&count, block, sizeof count);
    if (count != p->vertexCount) return kResultDamaged;
    uint8_t* saved = block + kPolygonCopyHead;
    for (uint32_t i = 0; i < p->vertexCount; ++i) {
        RealPoint v;
        std::memcpy(&v, saved + 16 * i, 16);
        if (context->op == kTransferSwap) std::memcpy(saved + 16 * i, &p->vertices[i], 16);
        p->vertices[i] = v;
    }
    FinishPolygon(polygon);
    return kResultOK;
}

}  // namespace

ResultCode TransferPolygonGeometry(TransferContext* context) {
    SketchObject* polygon = CodecObject(context);
    const bool recordSide = context->source.kind == kSideRecord || context->destination.kind == kSideRecord;
    if (!recordSide) return TransferPolygonCopy(context, polygon);
    PolygonData* p = ClassData<PolygonData>(polygon);
    ResultCode rc = kResultOK;
    uint32_t count = p->vertexCount;
    if (IsReadingRecord(context)) {
        const uint32_t left = RecordBytesLeft(&context->source);
        if (left < 4) return kResultDamaged;
        count = GetLE32(context->source.cursor) & 0xffff;
        if (left - 4 < 16 * count) return kResultDamaged;
        if (left - 4 > 16 * count) rc = kResultLongerRecord;
        // Only a free polygon takes its count from the record; every other has its
        // arrays sized for its parents. No vertex 0 means no polygon.
        if (count == 0) return kResultDamaged;
        if (polygon->constructionType == kTypeFree) {
            if (!ResizeFreePolygon(polygon, count)) return kResultOutOfMemory;
        } else if (count != p->vertexCount) {
            return kResultDamaged;
        }
    }
    rc = KeepWorstError(rc, TransferThroughBlock(context, &count, 4, 4, ConvertU32Fields));
    if (p->vertexCount)
        rc = KeepWorstError(rc, TransferThroughBlock(context, p->vertices, 16u * p->vertexCount,
                                                     16u * p->vertexCount, ConvertRealFields));
    if (IsReadingRecord(context) && !IsFatalResult(rc)) FinishPolygon(polygon);
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

// A form that no grid has is damage: drawing and snapping know only these three.
ResultCode ConvertGridForm(TransferContext* context, void* objectBlock, uint8_t* recordBlock,
                           int32_t recordLength) {
    int32_t* form = static_cast<int32_t*>(objectBlock);
    if (recordLength < 2) return kResultOK;
    if (context->destination.kind == kSideRecord) {
        PutLE16(recordBlock, static_cast<uint16_t>(*form));
        return kResultOK;
    }
    const uint16_t stored = GetLE16(recordBlock);
    if (stored > kGridRectangular) return kResultSkippedObject;
    *form = stored;
    return kResultOK;
}

ResultCode TransferCoordSystemData(TransferContext* context) {
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, 2, 2)) return rc;
    int32_t scratch;
    return KeepWorstError(rc, RecordTransfer(context, &scratch, kClassDataOffset + offsetof(CoordSystemData, gridForm),
                                             sizeof(int32_t), 2, ConvertGridForm));
}

ResultCode TransferIterationData(TransferContext* context) {
    // Undo never swaps an iteration's class data: its properties are not undone.
    if (context->op == kTransferSwap) return kResultOK;
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, kIterationRecordBytes, kIterationRecordBytes)) return rc;
    SketchObject* iteration = CodecObject(context);
    IterationParameters& parameters = IterationDataOf(iteration)->parameters;
    uint8_t record[kIterationRecordBytes];
    if (!IsReadingRecord(context)) EncodeIterationRecord(parameters, record);
    rc = KeepWorstError(rc, TransferThroughBlock(context, record, kIterationRecordBytes, kIterationRecordBytes, nullptr));
    if (IsReadingRecord(context) && !IsFatalResult(rc))
        rc = KeepWorstError(rc, DecodeIterationRecord(record, kIterationRecordBytes, &parameters));
    return rc;
}

ResultCode TransferUnitDistance(TransferContext* context) {
    return TransferConstructionReals(context, 1, false);
}

ResultCode TransferPlottedValues(TransferContext* context) {
    return TransferConstructionReals(context, 2, false);
}

namespace {

// The colour range's block: the mode word, then From and To, each converted as far as
// the record holds it.
ResultCode ConvertParametricColorFields(TransferContext* context, void* objectBlock, uint8_t* recordBlock,
                                        int32_t recordLength) {
    auto* block = static_cast<uint8_t*>(objectBlock);
    const bool toRecord = IsWritingRecord(context);
    if (recordLength >= 4) {
        uint32_t word;
        if (toRecord) {
            std::memcpy(&word, block, 4);
            PutLE32(recordBlock, word);
        } else {
            word = GetLE32(recordBlock);
            std::memcpy(block, &word, 4);
        }
    }
    for (int32_t at = 4; at + 8 <= recordLength && at + 8 <= int32_t(kParametricColorDataBytes); at += 8) {
        double v;
        if (toRecord) {
            std::memcpy(&v, block + at, 8);
            PutLEReal(recordBlock + at, v);
        } else {
            v = GetLEReal(recordBlock + at);
            std::memcpy(block + at, &v, 8);
        }
    }
    return kResultOK;
}

}  // namespace

ResultCode TransferParametricColorData(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;  // undo keeps construction data apart
    ResultCode rc = kResultOK;
    // The code word and the 20 bytes: a shorter record has no range to colour by.
    if (RecordCheckLength(context, &rc, 4 + kParametricColorDataBytes, 0)) return rc;
    return KeepWorstError(rc, TransferCountedBlock(context, kParametricColorDataBytes, kParametricColorDataBytes, 0,
                                                   ConvertParametricColorFields));
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
