// The object header record (document record 2000), the rectangle routines shared by the
// text-like classes and the field helper of class codecs.
#include "engine/docio/object_header_codec.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "engine/core/arc_objects.h"
#include "engine/core/object_tables.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/services/measurements.h"
#include "engine/core/sketch.h"
#include "engine/docio/transfer_context.h"

namespace {

bool IsReading(const TransferContext* context) { return context->source.kind == kSideRecord; }

}  // namespace

ResultCode TransferObjectField(TransferContext* context, uint32_t objectOffset,
                               int32_t storedSize, int32_t currentSize, FieldConvertFn convert) {
    if (context->op == kTransferSwap) {
        // Undo exchanges the fields with the saved copy, which has the object's layout.
        uint8_t* a = FieldAddress(&context->source, objectOffset);
        uint8_t* b = FieldAddress(&context->destination, objectOffset);
        for (int32_t i = 0; i < currentSize; ++i) std::swap(a[i], b[i]);
        return kResultOK;
    }
    return RecordTransfer(context, nullptr, objectOffset, static_cast<uint32_t>(currentSize),
                          static_cast<uint32_t>(storedSize), convert);
}

ResultCode EncodeObjectHeader(const ObjectTemplate* header, int32_t formatVersion, uint8_t* record) {
    const int32_t type = header->constructionType;
    const int32_t kind = header->objectKind;
    const int32_t objectClass = header->objectClass;
    if (type < 0 || type >= kConstructionTypeCount || kind < 0 || kind >= kObjectKindCount ||
        objectClass < 0 || objectClass >= kClassCount) {
        return kResultCannotStore;
    }
    const uint32_t typeCode = ConstructionTypeTable[type].storedCode;
    const uint32_t kindCode = static_cast<uint32_t>(ObjectKindTable[kind].storedCode);
    const uint32_t classCode = static_cast<uint32_t>(objectClass);
    const bool handheld = formatVersion == kHandheldFormatVersion;
    ResultCode result = kResultOK;
    uint32_t hidden = static_cast<uint32_t>(header->hidden);
    uint32_t lineStyle = static_cast<uint32_t>(header->lineStyle);
    if (handheld) {
        if (typeCode > 74 || kindCode > 63 || classCode > 11) return kResultCannotStore;
        if (lineStyle > 2) {
            lineStyle = 1;
            result = KeepWorstError(result, kResultValueClampedOnWrite);
        }
        if (hidden > 4) {
            hidden = kHiddenByUser;
            result = KeepWorstError(result, kResultValueClampedOnWrite);
        }
    }
    PutLE16(record + 0, typeCode);
    PutLE16(record + 2, hidden);
    PutLE16(record + 4, static_cast<uint32_t>(header->traced));
    PutLE16(record + 6, classCode);
    PutLE16(record + 8, kindCode);
    PutLE16(record + 10, lineStyle);
    if (!handheld) {
        record[12] = static_cast<uint8_t>(header->color);
        record[13] = static_cast<uint8_t>(header->color >> 8);
        record[14] = static_cast<uint8_t>(header->color >> 16);
        record[15] = 0;
    }
    return result;
}

namespace {

// The fields of a stored header of recordLength bytes (at most the stored size).
ResultCode DecodeHeaderFields(const uint8_t* record, int32_t recordLength, int32_t formatVersion,
                              ObjectTemplate* header) {
    if (recordLength < kObjectHeaderRecordSizeV1) return kResultDamagedRecord;
    ResultCode result = kResultOK;
    if (recordLength > kObjectHeaderRecordSize) {
        result = KeepWorstError(result, kResultValueClampedOnRead);
    }
    const int32_t type = ConstructionTypeFromCode(GetLE16(record + 0));
    const int32_t objectClass = ObjectClassFromCode(GetLE16(record + 6));
    int32_t kind = ObjectKindFromCode(GetLE16(record + 8));
    if (kind == kNoKind && type != kNoConstructionType &&
        ConstructionTypeTable[type].objectKind < kFirstUnionKind) {
        kind = ConstructionTypeTable[type].objectKind;
    }
    if (type == kNoConstructionType || kind == kNoKind || objectClass == kNoClass) {
        return kResultSkipObject;
    }
    int32_t hidden = GetLE16(record + 2);
    int32_t lineStyle = GetLE16(record + 10);
    if (hidden >= 5) {
        hidden = kHiddenByUser;
        result = KeepWorstError(result, kResultValueClampedOnRead);
    }
    if (lineStyle >= 3) {
        lineStyle = 1;
        result = KeepWorstError(result, kResultValueClampedOnRead);
    }
    header->constructionType = type;
    header->hidden = hidden;
    header->traced = GetLE16(record + 4);
    header->objectClass = objectClass;
    header->objectKind = kind;
    header->lineStyle = lineStyle;
    if (formatVersion != kHandheldFormatVersion &&
        recordLength >= kObjectHeaderRecordSize) {
        header->color = record[12] | (record[13] << 8) | (record[14] << 16);
    } else {
        const Sketch* sketch = CurrentSketch();
        header->color =
            sketch ? sketch->settings.palette[ObjectClassTable[objectClass].colorSlot] : 0;
    }
    return result;
}

}  // namespace

ResultCode DecodeObjectHeader(const uint8_t* record, uint32_t length, int32_t formatVersion, ObjectTemplate* header) {
    if (length < kObjectHeaderRecordSizeV1) return kResultDamagedRecord;
    ResultCode result = length > kObjectHeaderRecordSize ? kResultValueClampedOnRead : kResultOK;
    const uint32_t stored = ObjectHeaderBytes(formatVersion);
    const uint32_t taken = length < stored ? length : stored;
    if (taken < stored) *header = ObjectTemplate{};
    result = KeepWorstError(result, DecodeHeaderFields(record, static_cast<int32_t>(taken), formatVersion, header));
    return length < stored ? KeepWorstError(result, kResultShorterRecord) : result;
}

// The object side of this codec is an ObjectTemplate: the first seven header words,
// which are also the first seven words of every SketchObject.
ResultCode ConvertObjectHeader(TransferContext* context, void* objectBlock,
                               uint8_t* record, int32_t recordLength) {
    auto* header = static_cast<ObjectTemplate*>(objectBlock);
    if (IsReading(context)) return DecodeHeaderFields(record, recordLength, context->source.formatVersion, header);
    return EncodeObjectHeader(header, context->destination.formatVersion, record);
}

ResultCode TransferObjectHeader(TransferContext* context) {
    const bool reading = IsReadingRecord(context);
    const TransferSide& recordSide = reading ? context->source : context->destination;
    const int32_t storedSize = (recordSide.formatVersion == kHandheldFormatVersion)
                                   ? kObjectHeaderRecordSizeV1 : kObjectHeaderRecordSize;
    ResultCode code = kResultOK;
    if (reading && RecordCheckLength(context, &code, kObjectHeaderRecordSizeV1, kObjectHeaderRecordSize)) {
        return code;
    }
    if (IsWritingRecord(context)) {
        // Converted once, straight into the record; nothing is written, and the cursor
        // does not move, for an object the target form cannot hold.
        TransferSide& record = context->destination;
        if (RecordBytesLeft(&record) < static_cast<uint32_t>(storedSize)) return kResultCodecOverrun;
        const ResultCode rc = EncodeObjectHeader(
            reinterpret_cast<const ObjectTemplate*>(FieldAddress(&context->source, 0)), record.formatVersion,
            record.cursor);
        if (rc != kResultCannotStore && context->advance) record.cursor += storedSize;
        return rc;
    }
    return KeepWorstError(code, TransferObjectField(context, 0, storedSize, sizeof(ObjectTemplate),
                                                    ConvertObjectHeader));
}

int32_t GeometryRecordSize(SketchObject* object) {
    const TransferFn transfer = ObjectClassTable[object->objectClass].transferGeometry;
    if (!transfer) return 0;
    TransferContext context;
    BeginMeasureContext(&context, object, kCurrentPageFormat);
    transfer(&context);
    return context.destination.length;
}

// ---- Rectangle routines of the text-like classes ------------------------------------

bool HitByBounds(ScreenPoint, SketchObject*) { return true; }
bool InRectByBounds(const ScreenRect*, SketchObject*) { return true; }
bool NeverHit(ScreenPoint, SketchObject*) { return false; }
bool LabelDoesNotFollow(const SketchObject*) { return false; }
bool LabelFollows(const SketchObject*) { return true; }
void DrawNothing(GraphicsPort*, SketchObject*) {}
void UpdateNothing(SketchObject*, SketchObject* const*) {}

void UpdateFreeObject(SketchObject* object, SketchObject* const* parents) {
    (void)parents;
    if (object->objectClass == kClassCalculation) return UpdateFreeCalculation(object);
    // The recompute has just said the object exists: arcs and polygons decide that
    // from their own geometry.
    if (object->objectClass == kClassPolygonInterior) FinishPolygon(object);
    else if (object->objectClass == kClassArc || object->objectClass == kClassArcInterior) FinishArc(object, true);
}

namespace {

constexpr int32_t kRectRecordSize = 8;

ResultCode ConvertRectGeometry(TransferContext* context, void* objectBlock, uint8_t* record,
                               int32_t recordLength) {
    auto* bounds = static_cast<ScreenRect*>(objectBlock);
    if (IsReading(context)) {
        if (recordLength < kRectRecordSize) return kResultDamagedRecord;
        bounds->left = static_cast<int16_t>(GetLE16(record + 0));
        bounds->top = static_cast<int16_t>(GetLE16(record + 2));
        bounds->right = static_cast<int16_t>(GetLE16(record + 4));
        bounds->bottom = static_cast<int16_t>(GetLE16(record + 6));
        return recordLength > kRectRecordSize ? kResultValueClampedOnRead : kResultOK;
    }
    PutLE16(record + 0, static_cast<uint16_t>(bounds->left));
    PutLE16(record + 2, static_cast<uint16_t>(bounds->top));
    PutLE16(record + 4, static_cast<uint16_t>(bounds->right));
    PutLE16(record + 6, static_cast<uint16_t>(bounds->bottom));
    return kResultOK;
}

}  // namespace

ResultCode TransferRectGeometry(TransferContext* context) {
    ResultCode code = kResultOK;
    if (RecordCheckLength(context, &code, kRectRecordSize, kRectRecordSize)) return code;
    return KeepWorstError(code, TransferObjectField(context, offsetof(SketchObject, bounds),
                                                    kRectRecordSize, sizeof(ScreenRect),
                                                    ConvertRectGeometry));
}

void TransformRectGeometry(const SketchObject* source, SketchObject* target,
                           const TransformMap* map, PointMapOp op) {
    RealPoint centre = { (source->bounds.left + source->bounds.right) / 2.0,
                         (source->bounds.top + source->bounds.bottom) / 2.0 };
    op(&centre, &centre, 1, map);
    const double targetX = (target->bounds.left + target->bounds.right) / 2.0;
    const double targetY = (target->bounds.top + target->bounds.bottom) / 2.0;
    const int32_t dx = RoundToScreen(centre.x - targetX);
    const int32_t dy = RoundToScreen(centre.y - targetY);
    target->bounds.left = RoundToScreen(target->bounds.left + dx);
    target->bounds.right = RoundToScreen(target->bounds.right + dx);
    target->bounds.top = RoundToScreen(target->bounds.top + dy);
    target->bounds.bottom = RoundToScreen(target->bounds.bottom + dy);
}
