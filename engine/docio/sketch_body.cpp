#include "engine/docio/sketch_body.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/core/memory.h"

namespace {

// A small growable array of fixed-size entries in engine memory.
template <typename T>
struct Growable {
    T*       items = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;

    bool Append(const T& item) {
        if (count == capacity) {
            uint32_t next = capacity ? capacity * 2 : 16;
            void* p = items;
            if (!ReallocMemory(&p, sizeof(T) * next, true)) return false;
            items = static_cast<T*>(p);
            capacity = next;
        }
        items[count++] = item;
        return true;
    }
    void Free() {
        FreeMemory(items);
        items = nullptr;
        count = capacity = 0;
    }
};

struct StyleEntry {
    int16_t fields[11];
};

bool IsSketchLevelTag(uint32_t tag) {
    switch (tag) {
        case kTagComment: case kTagOldComment: case kTagBuildStamp: case kTagScreenResolution:
        case kTagFont: case kTagTextStyle: case kTagLabelStateV1: case kTagSelection: case kTagPageId:
        case kTagMarkedObject: case kTagOldColors: case kTagToolText:
            return true;
        default:
            break;
    }
    return (tag >= kTagLabelSequence18 && tag <= kTagLabelStateLast) ||
           (tag >= kTagPreferenceFirst && tag <= kTagPreferenceLast) || tag >= 8000;
}

// ---------------------------------------------------------------- reading

enum ReadPhase { kBeforeObjects = 0, kBetweenObjects = 1, kAfterObjects = 2 };

struct ReadState {
    StreamHandle             stream;
    void*                    model;
    const SketchBodyReadOps* ops;
    FormatInfo               format;
    uint32_t                 objectCount = 0;
    // By number, for numbers up to tableSize; null: not (yet) read. The table grows
    // as objects are read, so that a count no stream could hold costs nothing.
    void**                   objects = nullptr;
    int32_t*                 types = nullptr;
    uint32_t                 tableSize = 0;
    int                      phase = kBeforeObjects;
    Growable<int16_t>        fonts;
    Growable<StyleEntry>     styles;
    int32_t                  defaultFont = -1;  // looked up when first needed
    ResultCode               worst = kResultOK;
    // The tag of the next record, once asked for: the reader asks several times before
    // it reads, and a peek answers the same until the stream moves.
    uint32_t                 nextTag = 0;
    bool                     nextTagKnown = false;

    bool Page() const { return format.sketchKind != 2; }
    bool V2() const { return format.formatVersion >= 2; }
    void Keep(ResultCode rc) { worst = KeepWorstError(worst, rc); }
};

// The body being read or written now, for the font maps of the record codecs.
ReadState* gReading = nullptr;

// A number beyond the file's font table names no font of this file: kept, it would
// stand for whatever installed font has that number, and be written back as a font
// record of its own. It becomes the default font, with the warning of a record not
// understood.
int16_t MapFileFont(ReadState& st, uint32_t fileNumber) {
    if (fileNumber < st.fonts.count) return st.fonts.items[fileNumber];
    if (st.defaultFont < 0) st.defaultFont = st.ops->findFont(st.model, 0, nullptr);
    st.Keep(kResultLongerRecord);
    return static_cast<int16_t>(st.defaultFont);
}

// Numbers from a file: 0 when outside 1..count.
void* ObjectByNumber(const ReadState& st, uint32_t number, bool* inRange) {
    *inRange = number >= 1 && number <= st.objectCount;
    // Numbers beyond the table (or before it exists) name objects not read yet.
    return *inRange && number <= st.tableSize ? st.objects[number] : nullptr;
}

// Room in the object table for numbers up to `number` (at most the header's count).
bool MakeTableRoom(ReadState& st, uint32_t number) {
    number = std::min(number, st.objectCount);
    if (number <= st.tableSize && st.objects) return true;
    uint32_t size = st.tableSize;
    while (size < number) size = size > st.objectCount / 2 ? st.objectCount : std::max<uint32_t>(size * 2, 16);
    if (size > st.objectCount) size = st.objectCount;
    if (uint64_t(size) + 1 > SIZE_MAX / sizeof(void*)) return false;
    void* objects = st.objects;
    void* types = st.types;
    if (!ReallocMemory(&objects, sizeof(void*) * (size + 1), true)) return false;
    st.objects = static_cast<void**>(objects);
    if (!ReallocMemory(&types, sizeof(int32_t) * (size + 1), true)) return false;
    st.types = static_cast<int32_t*>(types);
    for (uint32_t i = st.tableSize + (st.tableSize ? 1 : 0); i <= size; ++i) {
        st.objects[i] = nullptr;
        st.types[i] = 0;
    }
    st.tableSize = size;
    return true;
}

// Fewer bytes left than a record header needs: the sketch ends early here.
bool NoRecordLeft(const ReadState& st) {
    uint32_t size = 0, pos = 0;
    if (StreamError(st.stream) != kResultOK || StreamSize(st.stream, &size) != kResultOK ||
        StreamTell(st.stream, &pos) != kResultOK)
        return false;
    return pos >= size || size - pos < 8;
}

uint32_t PeekTag(ReadState& st) {
    if (!st.nextTagKnown) {
        st.nextTag = StreamPeekRecordTag(st.stream);
        st.nextTagKnown = true;
    }
    return st.nextTag;
}

// The next record; the tag of the one after it comes along when the stream has it at
// hand, sparing the peek.
ResultCode ReadNext(ReadState& st, uint32_t* tag, uint32_t* length, const uint8_t** payload) {
    const ResultCode rc = StreamReadRecordAndPeek(st.stream, tag, length, payload, &st.nextTag);
    st.nextTagKnown = rc == kResultOK && st.nextTag != 0;
    return rc;
}

ResultCode ReadSelection(ReadState& st, const uint8_t* p, uint32_t n) {
    if (!st.Page()) return kResultOK;
    if (st.phase != kAfterObjects) return kResultLongerRecord;
    if (n & 3) return kResultLongerRecord;
    ResultCode rc = kResultOK;
    for (uint32_t i = 0; i < n / 4; ++i) {
        bool inRange;
        void* object = ObjectByNumber(st, UncountedNumberAt(p, i), &inRange);
        if (!inRange) {
            rc = KeepWorstError(rc, kResultLongerRecord);
            continue;
        }
        if (object) rc = KeepWorstError(rc, st.ops->selectObject(st.model, object));
    }
    return rc;
}

ResultCode ReadSketchLevelRecord(ReadState& st, uint32_t tag, const uint8_t* p, uint32_t n) {
    const SketchBodyReadOps& ops = *st.ops;
    switch (tag) {
        case kTagComment: {
            const char* text;
            uint32_t length;
            if (DecodeTextRecord(p, n, &text, &length) != kResultOK) return kResultLongerRecord;
            return ops.comment(st.model, text, length);
        }
        case kTagOldComment: case kTagBuildStamp: case kTagScreenResolution:
            return kResultOK;
        case kTagFont: {
            if (st.phase != kBeforeObjects) return kResultLongerRecord;
            if (st.fonts.count == 0 && st.format.formatVersion <= 2 &&
                !st.fonts.Append(ops.findFont(st.model, 0, nullptr)))
                return kResultOutOfMemory;
            uint16_t traits = 0;
            const char* face = nullptr;
            // A damaged entry still takes its place, so that later numbers stay right.
            ResultCode rc = DecodeFontRecord(p, n, &traits, &face) == kResultOK ? kResultOK : kResultLongerRecord;
            if (!st.fonts.Append(ops.findFont(st.model, traits, face))) return kResultOutOfMemory;
            return rc;
        }
        case kTagTextStyle: {
            if (st.phase != kBeforeObjects) return kResultLongerRecord;
            uint16_t fields[10] = {};
            ResultCode rc = DecodeStyleRecord(p, n, fields);
            StyleEntry e{};
            if (!IsFatalError(rc)) {
                for (int i = 0; i < 10; ++i) e.fields[i] = static_cast<int16_t>(fields[i]);
                e.fields[0] = MapFileFont(st, fields[0]);
            } else {
                rc = kResultLongerRecord;
            }
            if (!st.styles.Append(e)) return kResultOutOfMemory;
            return rc;
        }
        case kTagLabelStateV1:
            if (st.format.formatVersion != 1) return kResultDamaged;
            return ops.sketchRecord(st.model, tag, p, n, st.format);
        case kTagSelection:
            return ReadSelection(st, p, n);
        case kTagPageId:
            if (!st.Page()) return kResultOK;
            if (n < 2) return kResultLongerRecord;
            return ops.pageId(st.model, static_cast<uint16_t>(GetLE16(p) | 0x8000));
        case kTagMarkedObject: {
            if (!st.Page()) return kResultOK;
            if (n != 4) return kResultDamaged;
            bool inRange;
            void* object = ObjectByNumber(st, GetLE32(p), &inRange);
            if (!inRange) return kResultDamaged;
            return object ? ops.markObject(st.model, object) : kResultOK;
        }
        case kTagOldColors:
            if (n < 6) return kResultLongerRecord;
            if (GetLE16(p) < 9) return ops.oldColor(st.model, GetLE16(p), p[2], p[3], p[4]);
            return kResultOK;
        case kTagToolText: {
            if (st.Page()) return kResultOK;
            const char* text;
            uint32_t length;
            if (DecodeTextRecord(p, n, &text, &length) != kResultOK) return kResultLongerRecord;
            return ops.toolText(st.model, text, length);
        }
        default:
            break;
    }
    if ((tag >= kTagLabelSequence18 && tag <= kTagLabelStateLast) ||
        (tag >= kTagPreferenceFirst && tag <= kTagPreferenceLast))
        return ops.sketchRecord(st.model, tag, p, n, st.format);
    // Unknown tags: those of a later version below 9000 are worth a warning.
    return tag < 9000 ? kResultLongerRecord : kResultOK;
}

// Reads sketch-level records until one that is not (a tag below 8000 that is not one).
ResultCode ReadSketchLevel(ReadState& st) {
    for (;;) {
        uint32_t next = PeekTag(st);
        if (!IsSketchLevelTag(next)) return kResultOK;
        uint32_t tag, n;
        const uint8_t* p;
        ResultCode rc = ReadNext(st, &tag, &n, &p);
        if (rc != kResultOK) return rc;
        st.Keep(ReadSketchLevelRecord(st, tag, p, n));
        if (IsFatalError(st.worst)) return st.worst;
    }
}

// After code 9: the rest of the object's records are passed over.
ResultCode SkipObjectRecords(ReadState& st) {
    for (;;) {
        uint32_t next = PeekTag(st);
        if (!st.V2() && (next == kTagObjectHeader || next == kTagPageEnd || next == kTagPartialEnd ||
                         next >= 8000 || next == 0))
            return kResultOK;
        uint32_t tag, n;
        const uint8_t* p;
        ResultCode rc = ReadNext(st, &tag, &n, &p);
        if (rc != kResultOK) return rc;
        if (tag == kTagObjectEnd) return kResultOK;
    }
}

ResultCode ReadObjectStyle(ReadState& st, void* object, uint32_t tag, const uint8_t* p, uint32_t n) {
    int16_t style[11] = {};
    if (tag == kTagStyleIndex) {
        if (n < 2) return kResultLongerRecord;
        uint16_t index = GetLE16(p);
        if (index >= st.styles.count) return kResultLongerRecord;  // no such style: keep the default
        std::memcpy(style, st.styles.items[index].fields, sizeof style);
    } else {
        if (n < 6) return kResultLongerRecord;
        uint16_t face = GetLE16(p), size = GetLE16(p + 2), font = GetLE16(p + 4);
        style[0] = font ? MapFileFont(st, font - 1u) : 0;
        style[1] = static_cast<int16_t>(size);
        style[2] = (face & 1) ? 2 : 1;
        style[3] = (face & 2) ? 2 : 1;
        style[4] = (face & 4) ? 2 : 1;
    }
    return st.ops->objectStyle(st.model, object, style);
}

// Reads one object's records; 9 leaves the object out.
ResultCode ReadObjectRecords(ReadState& st, uint32_t number) {
    const SketchBodyReadOps& ops = *st.ops;
    uint32_t tag, n;
    const uint8_t* p;
    ResultCode rc = ReadNext(st, &tag, &n, &p);
    if (rc != kResultOK) return rc;
    if (tag != kTagObjectHeader) return kResultDamaged;
    ObjectHeaderInfo info{};
    ResultCode worst = ops.beginObject(st.model, p, n, st.format, &info);
    if (worst == kResultShorterRecord && st.format.formatVersion >= 4) worst = kResultDamaged;
    if (worst == kResultOK || worst == kResultShorterRecord || worst == kResultLongerRecord) {
        if (info.constructionType < 0 || info.constructionType > kMaxStoredConstructionType) worst = kResultDamaged;
        else if (info.objectClass < 0 || info.objectClass > kMaxStoredClass) worst = kResultSkippedObject;
    }

    // Room for the parents of all but the largest constructions.
    void* fewParents[32];
    void** parents = nullptr;
    uint32_t parentCount = 0;
    void* object = nullptr;
    bool styleRead = false;
    auto keep = [&](ResultCode code) { worst = KeepWorstError(worst, code); };
    auto stop = [&]() { return IsFatalError(worst) || worst == kResultSkippedObject; };

    if (!stop() && info.constructionType != 0 && PeekTag(st) != kTagParents &&
        NoRecordLeft(st))
        keep(kResultEndOfData);  // cut before the parents: the object is lost with the rest
    if (!stop() && info.constructionType != 0 && PeekTag(st) == kTagParents) {
        rc = ReadNext(st, &tag, &n, &p);
        if (rc != kResultOK) {
            keep(rc);
        } else {
            keep(CheckCountedNumbers(p, n, kMaxParentsRecordBytes, &parentCount));
            if (!stop() && parentCount) {
                parents = parentCount <= std::size(fewParents)
                              ? fewParents
                              : static_cast<void**>(AllocMemory(sizeof(void*) * parentCount, 0));
                if (!parents) keep(kResultOutOfMemory);
            }
            for (uint32_t i = 0; !stop() && i < parentCount; ++i) {
                bool inRange;
                parents[i] = ObjectByNumber(st, CountedNumberAt(p, i), &inRange);
                if (!inRange) keep(kResultDamaged);
                else if (!parents[i]) keep(kResultSkippedObject);  // its parent was left out
            }
        }
    }
    if (!stop()) keep(ops.checkParents(st.model, info, parents, parentCount));
    if (!stop() && info.constructionType != 0 && PeekTag(st) == kTagConstructionData) {
        rc = ReadNext(st, &tag, &n, &p);
        keep(rc == kResultOK ? ops.readRecord(st.model, nullptr, tag, p, n, st.format) : rc);
    }
    if (!stop() && ops.classHasData(info.objectClass)) {
        uint32_t next = PeekTag(st);
        if (next == kTagClassDataBase + static_cast<uint32_t>(info.objectClass)) {
            rc = ReadNext(st, &tag, &n, &p);
            keep(rc == kResultOK ? ops.readRecord(st.model, nullptr, tag, p, n, st.format) : rc);
        } else if (next >= kTagClassDataBase && next <= kTagClassDataBase + kMaxStoredClass) {
            keep(kResultSkippedObject);
        } else {
            keep(NoRecordLeft(st) ? kResultEndOfData : kResultDamaged);
        }
    }
    if (!stop() && PeekTag(st) == kTagLabel) {
        rc = ReadNext(st, &tag, &n, &p);
        keep(rc == kResultOK ? ops.readRecord(st.model, nullptr, tag, p, n, st.format) : rc);
    }
    if (!stop()) {
        rc = ops.createObject(st.model, parents, parentCount, &object);
        keep(rc);
        if (!object && !stop()) keep(kResultOutOfMemory);
    } else {
        ops.dropPending(st.model);
    }
    if (parents != fewParents) FreeMemory(parents);
    parents = nullptr;

    while (!stop()) {
        uint32_t next = PeekTag(st);
        if (next != kTagStyleIndex && next != kTagOldStyle) break;
        rc = ReadNext(st, &tag, &n, &p);
        if (rc != kResultOK) {
            keep(rc);
            break;
        }
        keep(ReadObjectStyle(st, object, tag, p, n));
        styleRead = true;
    }
    if (!stop() && info.constructionType == 0 &&
        PeekTag(st) == kTagGeometryBase + static_cast<uint32_t>(info.objectClass)) {
        rc = ReadNext(st, &tag, &n, &p);
        if (rc != kResultOK) keep(rc);
        else if (!info.dropGeometry) keep(ops.readRecord(st.model, object, tag, p, n, st.format));
    }
    while (!stop() && st.V2()) {
        uint32_t next = PeekTag(st);
        if (next < 8000) break;
        st.nextTagKnown = false;  // the stream moves below without ReadNext
        uint32_t start = 0;
        rc = StreamTell(st.stream, &start);
        if (rc == kResultOK) rc = StreamReadRecordHeader(st.stream, &tag, &n);
        if (rc != kResultOK) {
            keep(rc);
            break;
        }
        if (tag >= kTagPictureMetafile && tag <= kTagPictureDib) {
            keep(ops.readPicture(st.model, object, tag, st.stream, n));
            // Whatever the picture reader did, the next record starts after this one.
            uint64_t end = static_cast<uint64_t>(start) + 8 + n;
            uint32_t pos = 0;
            if (StreamError(st.stream) == kResultOK && StreamTell(st.stream, &pos) == kResultOK && pos != end)
                keep(end > 0x7FFFFFFF ? kResultEndOfData : StreamSeek(st.stream, static_cast<int32_t>(end), 0));
            continue;
        }
        const uint8_t* skipped;
        rc = StreamReadPayload(st.stream, n, &skipped);
        if (rc != kResultOK) {
            keep(rc);
            break;
        }
        if (tag == kTagNotSelectable) ops.setUnselectable(st.model, object);
        else if (tag < 9000) keep(kResultLongerRecord);
    }
    if (!stop()) keep(ops.finishObject(st.model, object, styleRead));
    if (!stop() && st.V2()) {
        rc = ReadNext(st, &tag, &n, &p);
        keep(rc != kResultOK ? rc : tag == kTagObjectEnd ? kResultOK : kResultDamaged);
    }

    if (stop()) {
        if (object) ops.freeObject(st.model, object);
        if (worst == kResultSkippedObject) {
            ResultCode src = SkipObjectRecords(st);
            if (src != kResultOK) return src;
        }
        return worst;
    }
    if (ops.objectRead) ops.objectRead(st.model, object);
    st.objects[number] = object;
    st.types[number] = info.constructionType;
    return worst;
}

ResultCode ReadToolGivens(ReadState& st) {
    uint32_t tag, n;
    const uint8_t* p;
    ResultCode rc = ReadNext(st, &tag, &n, &p);
    if (rc != kResultOK) return rc;
    if (tag != kTagToolGivens) return kResultDamaged;
    uint32_t count = 0;
    ResultCode worst = CheckCountedNumbers(p, n, 0, &count);
    if (IsFatalError(worst)) return worst;
    uint32_t freeObjects = 0;
    for (uint32_t i = 1; i <= st.tableSize; ++i)
        if (st.objects[i] && st.types[i] == 0) ++freeObjects;
    if (freeObjects == 0 || count < freeObjects) return kResultDamaged;
    void** givens = static_cast<void**>(AllocMemory(sizeof(void*) * freeObjects, 0));
    uint8_t* seen = static_cast<uint8_t*>(AllocMemory(st.tableSize + 1, kAllocZero));
    if (!givens || !seen) {
        FreeMemory(givens);
        FreeMemory(seen);
        return kResultOutOfMemory;
    }
    uint32_t found = 0;
    for (uint32_t i = 0; i < count && !IsFatalError(worst); ++i) {
        uint32_t number = CountedNumberAt(p, i);
        bool inRange;
        void* object = ObjectByNumber(st, number, &inRange);
        if (!inRange || (object && (st.types[number] != 0 || seen[number]))) {
            worst = kResultDamaged;
        } else if (object) {
            seen[number] = 1;
            givens[found++] = object;
        }
    }
    if (!IsFatalError(worst) && found != freeObjects) worst = kResultDamaged;
    if (!IsFatalError(worst)) worst = KeepWorstError(worst, st.ops->toolGivens(st.model, givens, found, st.format));
    FreeMemory(givens);
    FreeMemory(seen);
    return worst;
}

ResultCode ReadSketchBodyRecords(ReadState& st) {
    uint32_t tag, n;
    const uint8_t* p;
    ResultCode rc = ReadNext(st, &tag, &n, &p);
    if (rc != kResultOK) return rc;
    if (tag != (st.Page() ? kTagPageHeader : kTagPartialHeader)) return kResultDamaged;
    SketchHeaderFields header;
    rc = DecodeSketchHeader(p, n, st.format.formatVersion, &header);
    if (rc != kResultOK) return rc;
    // The count is the file's word: the table starts with room for what the rest of
    // the stream can hold and grows only as objects are really read, so a page whose
    // count outruns its bytes reads as one that ends early.
    uint32_t size = 0, pos = 0;
    rc = StreamSize(st.stream, &size);
    if (rc == kResultOK) rc = StreamTell(st.stream, &pos);
    if (rc != kResultOK) return rc;
    st.objectCount = header.objectCount;
    st.Keep(st.ops->header(st.model, header, st.format));
    if (IsFatalError(st.worst)) return st.worst;

    rc = ReadSketchLevel(st);
    if (rc != kResultOK) return rc;
    const uint32_t room = size > pos ? (size - pos) / kMinObjectBytes : 0;
    if (!MakeTableRoom(st, std::min(st.objectCount, room))) return kResultOutOfMemory;
    if (st.ops->expectObjects) st.ops->expectObjects(st.model, std::min(st.objectCount, room));
    for (uint32_t i = 1; i <= st.objectCount; ++i) {
        if (st.ops->progress && !st.ops->progress(st.model, i - 1)) return kResultCancelled;
        if (!MakeTableRoom(st, i)) return kResultOutOfMemory;
        st.Keep(ReadObjectRecords(st, i));
        if (IsFatalError(st.worst)) return st.worst;
        st.phase = i < st.objectCount ? kBetweenObjects : kAfterObjects;
        rc = ReadSketchLevel(st);
        if (rc != kResultOK) return rc;
    }
    st.phase = kAfterObjects;
    rc = ReadSketchLevel(st);
    if (rc != kResultOK) return rc;
    if (!st.Page()) {
        st.Keep(ReadToolGivens(st));
        if (IsFatalError(st.worst)) return st.worst;
        rc = ReadSketchLevel(st);
        if (rc != kResultOK) return rc;
    }
    rc = ReadNext(st, &tag, &n, &p);
    if (rc != kResultOK) return rc;
    if (tag != (st.Page() ? kTagPageEnd : kTagPartialEnd)) return kResultDamaged;
    return st.worst;
}

}  // namespace

ResultCode ReadSketchBody(StreamHandle stream, void* model, const SketchBodyReadOps& ops, const FormatInfo& format) {
    ReadState st;
    st.stream = stream;
    st.model = model;
    st.ops = &ops;
    st.format = format;
    ReadState* outer = gReading;
    gReading = &st;
    ResultCode rc = ReadSketchBodyRecords(st);
    gReading = outer;
    if (rc == kResultEndOfData || st.worst == kResultEndOfData) {
        // A body that ends early was cut short: opening what it got would pass the loss
        // off as a document of another version.
        rc = KeepWorstError(st.worst == kResultEndOfData ? kResultOK : st.worst, kResultDamaged);
    } else if (!IsFatalError(rc)) {
        rc = KeepWorstError(st.worst, rc);
    }
    FreeMemory(st.objects);
    FreeMemory(st.types);
    st.fonts.Free();
    st.styles.Free();
    return rc;
}

// ---------------------------------------------------------------- writing

namespace {

// Past this many bytes of objects written ahead of their style tables, the tables are
// settled by a walk over the objects still to come (see WriteSketchBodyRecords).
constexpr uint32_t kObjectsAheadOfTablesLimit = 8u << 20;

struct WriteState {
    StreamHandle              stream;
    void*                     model;
    const SketchBodyWriteOps* ops;
    FormatInfo                format;
    Growable<int16_t>         fonts;      // file font index -> font
    Growable<StyleEntry>      styles;
    // The style index of each object whose style enters the table, in sketch order from
    // the object where the maps were built, and the next one to take.
    Growable<uint16_t>        styleOf;
    uint32_t                  nextStyle = 0;
    Growable<void*>           written;    // by number - 1
    // Objects are being written ahead of the font and style records, which go at
    // tablesAt once it is known what they hold.
    bool                      tablesLater = false;
    uint32_t                  tablesAt = 0;

    bool Partial() const { return format.sketchKind == 2; }
    bool Handheld() const { return format.formatVersion == 1; }
    // For format versions up to 2 the reader's font map starts with the default font.
    uint32_t FileFont(uint32_t index) const { return format.formatVersion <= 2 ? index + 1 : index; }
};

const WriteState* gWriting = nullptr;

bool EnterFont(WriteState& st, int16_t font, uint32_t* index) {
    for (uint32_t i = 0; i < st.fonts.count; ++i)
        if (st.fonts.items[i] == font) {
            if (index) *index = i;
            return true;
        }
    if (index) *index = st.fonts.count;
    return st.fonts.Append(font);
}

// The object's number in the file, 0 when it was not (or not yet) written. The number
// kept in the object counts only when the object written under that number is this one,
// so that objects need not be cleared of numbers they kept from before.
uint32_t NumberOf(const WriteState& st, void* object) {
    const uint32_t number = st.ops->number(st.model, object);
    return number >= 1 && number <= st.written.count && st.written.items[number - 1] == object ? number : 0;
}

// The walk for the style tables, from `from` to the last object: the text style of each
// object that has one enters the maps. It reads as little of each object as it can.
ResultCode BuildStyleMaps(WriteState& st, void* from, uint32_t* count) {
    const SketchBodyWriteOps& ops = *st.ops;
    *count = 0;
    for (void* object = from; object; object = ops.nextObject(st.model, object)) {
        ++*count;
        if (!ops.contributesStyle(st.model, object)) continue;
        StyleEntry e{};
        ops.style(st.model, object, e.fields);
        uint32_t found = st.styles.count;
        for (uint32_t s = 0; s < st.styles.count; ++s)
            if (std::memcmp(st.styles.items[s].fields, e.fields, sizeof e.fields) == 0) found = s;
        if (found == st.styles.count) {
            if (!EnterFont(st, e.fields[0], nullptr) || !st.styles.Append(e)) return kResultOutOfMemory;
        }
        if (!st.styleOf.Append(static_cast<uint16_t>(found > 0xFFFF ? 0xFFFF : found))) return kResultOutOfMemory;
        int16_t used[64];
        uint32_t n = ops.textFonts(st.model, object, used, 64);
        for (uint32_t f = 0; f < n && f < 64; ++f)
            if (!EnterFont(st, used[f], nullptr)) return kResultOutOfMemory;
    }
    return kResultOK;
}

ResultCode WriteTextRecord(StreamHandle stream, uint32_t tag, const char* text, uint32_t length) {
    uint32_t bytes = TextRecordBytes(length);
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(bytes, kAllocZero));
    if (!block) return kResultOutOfMemory;
    std::memcpy(block, text, length);
    ResultCode rc = StreamWriteRecord(stream, bytes, tag, block);
    FreeMemory(block);
    return rc;
}

ResultCode WriteFontAndStyleRecords(WriteState& st) {
    ResultCode rc = kResultOK;
    for (uint32_t i = 0; i < st.fonts.count && !IsFatalError(rc); ++i) {
        uint32_t need = st.ops->fontSpec(st.model, st.fonts.items[i], nullptr);
        uint32_t bytes = need >= 5 ? (need + 1) & ~1u : 6;
        uint8_t* block = static_cast<uint8_t*>(AllocMemory(bytes, kAllocZero));
        if (!block) return kResultOutOfMemory;
        if (need >= 5) st.ops->fontSpec(st.model, st.fonts.items[i], block);
        rc = StreamWriteRecord(st.stream, bytes, kTagFont, block);
        FreeMemory(block);
    }
    if (st.Handheld()) return rc;
    for (uint32_t i = 0; i < st.styles.count && !IsFatalError(rc); ++i) {
        uint16_t fields[10];
        for (int f = 0; f < 10; ++f) fields[f] = static_cast<uint16_t>(st.styles.items[i].fields[f]);
        uint32_t index = 0;
        EnterFont(st, st.styles.items[i].fields[0], &index);
        fields[0] = static_cast<uint16_t>(st.FileFont(index));
        uint8_t record[kFileStyleBytes];
        EncodeStyleRecord(record, fields);
        rc = StreamWriteRecord(st.stream, kFileStyleBytes, kTagTextStyle, record);
    }
    return rc;
}

// The records the writer makes itself (headers, parents, style indexes, ends), gathered
// so that the stream takes many of them in one write; flushed before each record a codec
// writes. Their payloads all have even lengths, so that they read the same on every
// kind of stream. The run is framed in the stream's own block where it has room, so that
// its bytes are not copied again; elsewhere in a block of its own. One run serves a
// whole sketch: objects that need no codec go into it one after another with no call on
// the stream, and one that cannot be stored is taken back by rewinding the run to where
// the object began.
struct RecordRun {
    static constexpr uint32_t kRoom = 8192;
    StreamHandle out;
    uint8_t*     bytes = nullptr;  // null until the first record
    bool         inPlace = false;
    uint32_t     length = 0;
    uint32_t     largest = 0;
    uint8_t      local[kRoom];

    // Where an object began, to rewind to.
    struct Mark {
        uint32_t length;
        uint32_t largest;
    };

    explicit RecordRun(StreamHandle stream) : out(stream) {}
    bool Fits(uint32_t n) const { return n <= kRoom - length && kRoom - length - n >= kRecordHeaderBytes; }
    // Room for a record of n payload bytes, its header written; null when it does not fit.
    uint8_t* Add(uint32_t tag, uint32_t n) {
        if (!Fits(n)) return nullptr;
        if (!bytes) {
            bytes = StreamRecordRoom(out, kRoom);
            inPlace = bytes != nullptr;
            if (!bytes) bytes = local;
        }
        uint8_t* at = bytes + length;
        PutLE32(at, n);
        PutLE32(at + 4, tag);
        length += kRecordHeaderBytes + n;
        if (n > largest) largest = n;
        return at + kRecordHeaderBytes;
    }
    // The record just added, `room` bytes long, takes only its first n.
    void Shorten(uint8_t* payload, uint32_t room, uint32_t n) {
        PutLE32(payload - kRecordHeaderBytes, n);
        length -= room - n;
        if (largest == room) largest = n;
    }
    Mark Here() const { return { length, largest }; }
    void Rewind(Mark m) {
        length = m.length;
        largest = m.largest;
    }
    // Forgets what the run holds, and its room: the stream was taken back under it.
    void Discard() {
        bytes = nullptr;
        length = largest = 0;
    }
    ResultCode Flush() {
        ResultCode rc = kResultOK;
        if (length && inPlace) StreamCommitRecords(out, length, largest);
        else if (length) rc = StreamWriteRecords(out, local, length, largest);
        bytes = nullptr;
        length = largest = 0;
        return rc;
    }
};

// Whether every record of the object is one the writer makes itself, so that the object
// can go into the run with no call on the stream.
bool WriterMakesEveryRecord(const ObjectWriteFacts& facts, const FormatInfo& f) {
    return !(facts.constructionType != 0 && facts.hasConstructionData) && !facts.hasClassData &&
           !facts.hasLabelRecord && !(facts.constructionType == 0 && facts.hasGeometry) &&
           !(facts.objectClass == kPictureClass && f.formatVersion >= 2);
}

// The most bytes the writer's own records of the object take in a run, headers included,
// with room for the header the run keeps free after its last record.
uint64_t WriterRecordBytes(const ObjectWriteFacts& facts) {
    uint64_t bytes = kRecordHeaderBytes + kMaxObjectHeaderBytes;
    if (facts.constructionType != 0 && facts.parentCount > 0) bytes += kRecordHeaderBytes + 4 + 4 * uint64_t{facts.parentCount};
    if (facts.hasCaptionStyle) bytes += kRecordHeaderBytes + 6;
    return bytes + 3 * kRecordHeaderBytes;  // not selectable, end, and the free header
}

// Writes one object's records through `run` (the run's stream takes what the codecs
// write); 10 when it cannot be stored. What the run holds is left for the caller to flush.
ResultCode WriteObjectRecords(WriteState& st, uint32_t style, void* object, const ObjectWriteFacts& facts,
                              RecordRun& run) {
    const SketchBodyWriteOps& ops = *st.ops;
    const FormatInfo& f = st.format;
    const StreamHandle out = run.out;
    if (facts.objectClass < 0 || facts.objectClass > kMaxStoredClass) return kResultObjectDropped;
    // The header is encoded where its record goes; a run taken back leaves nothing.
    uint8_t* header = run.Add(kTagObjectHeader, kMaxObjectHeaderBytes);
    uint32_t headerLength = 0;
    ResultCode worst = ops.objectHeader(st.model, object, f, header, &headerLength);
    auto keep = [&](ResultCode rc) { worst = KeepWorstError(worst, rc); };
    auto stop = [&]() { return IsFatalError(worst) || worst == kResultObjectDropped; };
    // A codec's record goes after what the run holds.
    auto codec = [&](uint32_t tag) {
        keep(run.Flush());
        if (!stop()) keep(ops.writeObjectRecord(st.model, object, tag, out, f));
    };
    if (stop()) return worst;
    run.Shorten(header, kMaxObjectHeaderBytes, headerLength);
    if (facts.constructionType != 0 && facts.parentCount > 0) {
        const uint64_t bytes = 4 + 4 * uint64_t{facts.parentCount};
        if (bytes > UINT32_MAX) return kResultOutOfMemory;
        uint8_t* record = run.Add(kTagParents, static_cast<uint32_t>(bytes));
        uint8_t* block = nullptr;
        if (!record) {
            keep(run.Flush());
            if (stop()) return worst;
            record = run.Add(kTagParents, static_cast<uint32_t>(bytes));
        }
        if (!record) {
            record = block = static_cast<uint8_t*>(AllocMemory(static_cast<uint32_t>(bytes), kAllocZero));
            if (!block) return kResultOutOfMemory;
        }
        PutLE32(record, facts.parentCount);
        for (uint32_t i = 0; i < facts.parentCount; ++i) {
            void* parent = facts.parents ? facts.parents[i] : ops.parentAt(st.model, object, i);
            uint32_t number = NumberOf(st, parent);
            if (number == 0) keep(kResultObjectDropped);  // a parent that was not saved
            PutLE32(record + 4 + 4 * i, number);
        }
        if (block && !stop()) keep(StreamWriteRecord(out, static_cast<uint32_t>(bytes), kTagParents, block));
        FreeMemory(block);
    }
    if (!stop() && facts.constructionType != 0 && facts.hasConstructionData) codec(kTagConstructionData);
    if (!stop() && facts.hasClassData) codec(kTagClassDataBase + uint32_t(facts.objectClass));
    if (!stop() && facts.hasLabelRecord) codec(kTagLabel);
    if (!stop() && facts.hasCaptionStyle) {
        // A run just flushed has room for these small records.
        if (f.formatVersion >= 3) {
            if (!run.Fits(2)) keep(run.Flush());
            if (uint8_t* record = stop() ? nullptr : run.Add(kTagStyleIndex, 2)) PutLE16(record, static_cast<uint16_t>(style));
        } else {
            int16_t fields[11] = {};
            ops.style(st.model, object, fields);
            uint32_t fontIndex = 0;
            EnterFont(st, fields[0], &fontIndex);
            if (!run.Fits(6)) keep(run.Flush());
            if (uint8_t* record = stop() ? nullptr : run.Add(kTagOldStyle, 6)) {
                PutLE16(record, uint16_t((fields[2] == 2 ? 1 : 0) | (fields[3] == 2 ? 2 : 0) | (fields[4] == 2 ? 4 : 0)));
                PutLE16(record + 2, static_cast<uint16_t>(fields[1]));
                PutLE16(record + 4, static_cast<uint16_t>(st.FileFont(fontIndex) + 1));
            }
        }
    }
    if (!stop() && facts.constructionType == 0 && facts.hasGeometry) codec(kTagGeometryBase + uint32_t(facts.objectClass));
    if (!stop() && facts.objectClass == kPictureClass && f.formatVersion >= 2) codec(kTagPictureMetafile);
    if (!stop() && f.formatVersion >= 2) {
        if (!run.Fits(kRecordHeaderBytes)) keep(run.Flush());  // room for two empty records
        if (!stop() && !facts.selectable) run.Add(kTagNotSelectable, 0);
        if (!stop()) run.Add(kTagObjectEnd, 0);
    }
    return worst;
}

ResultCode WriteTrailingRecords(WriteState& st) {
    const SketchBodyWriteOps& ops = *st.ops;
    ResultCode rc = kResultOK;
    if (!st.Partial()) {
        Growable<uint32_t> selected;
        uint32_t n = ops.selectionCount(st.model);
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t number = NumberOf(st, ops.selectedAt(st.model, i));
            if (number && !selected.Append(number)) rc = kResultOutOfMemory;
        }
        if (rc == kResultOK && selected.count) {
            uint8_t* block = static_cast<uint8_t*>(AllocMemory(4 * selected.count, 0));
            if (!block) rc = kResultOutOfMemory;
            for (uint32_t i = 0; block && i < selected.count; ++i) PutLE32(block + 4 * i, selected.items[i]);
            if (block) rc = StreamWriteRecord(st.stream, 4 * selected.count, kTagSelection, block);
            FreeMemory(block);
        }
        selected.Free();
        if (IsFatalError(rc)) return rc;
        uint16_t id = ops.pageIdentity(st.model);
        if (st.Handheld() && id) {
            uint8_t record[2];
            PutLE16(record, id);
            rc = StreamWriteRecord(st.stream, 2, kTagPageId, record);
        }
        void* marked = ops.markedObject(st.model);
        uint32_t number = marked ? NumberOf(st, marked) : 0;
        if (rc == kResultOK && number) {
            uint8_t record[4];
            PutLE32(record, number);
            rc = StreamWriteRecord(st.stream, 4, kTagMarkedObject, record);
        }
        if (rc == kResultOK) rc = StreamWriteRecord(st.stream, 0, kTagPageEnd, nullptr);
        return rc;
    }
    Growable<uint32_t> givens;
    uint32_t n = ops.givenCount(st.model);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t number = NumberOf(st, ops.givenAt(st.model, i));
        if (number && !givens.Append(number)) rc = kResultOutOfMemory;
    }
    uint8_t* block = rc == kResultOK ? static_cast<uint8_t*>(AllocMemory(4 + 4 * givens.count, 0)) : nullptr;
    if (block) {
        PutLE32(block, givens.count);
        for (uint32_t i = 0; i < givens.count; ++i) PutLE32(block + 4 + 4 * i, givens.items[i]);
        rc = StreamWriteRecord(st.stream, 4 + 4 * givens.count, kTagToolGivens, block);
    } else {
        rc = kResultOutOfMemory;
    }
    FreeMemory(block);
    givens.Free();
    uint32_t length = 0;
    const char* text = rc == kResultOK ? ops.toolText(st.model, &length) : nullptr;
    if (text) rc = WriteTextRecord(st.stream, kTagToolText, text, length);
    if (rc == kResultOK) rc = StreamWriteRecord(st.stream, 0, kTagPartialEnd, nullptr);
    return rc;
}

ResultCode WriteHeaderRecord(WriteState& st, uint32_t objectCount) {
    SketchHeaderFields header{};
    st.ops->header(st.model, &header);
    header.objectCount = objectCount;
    uint8_t record[kSketchHeaderBytes];
    ResultCode warn = EncodeSketchHeader(record, header, st.format.formatVersion);
    ResultCode rc = StreamWriteRecord(st.stream, kSketchHeaderBytes,
                                      st.Partial() ? kTagPartialHeader : kTagPageHeader, record);
    return rc != kResultOK ? rc : warn;
}

// The font and style records of the objects from `from` on (none before it has a style)
// go where they belong, in front of the objects already written.
ResultCode PlaceStyleTables(WriteState& st, void* from) {
    st.tablesLater = false;
    uint32_t walked = 0;
    ResultCode rc = BuildStyleMaps(st, from, &walked);
    if (rc == kResultOK && (st.fonts.count || st.styles.count)) {
        const StreamHandle out = st.stream;
        StreamHandle tables = 0;
        rc = OpenMemoryStream(0, &tables);
        if (rc == kResultOK) {
            st.stream = tables;
            rc = WriteFontAndStyleRecords(st);
            st.stream = out;
            StreamStats stats{};
            rc = KeepWorstError(rc, CloseStream(tables, &stats));
            uint32_t length = 0;
            void* bytes = rc == kResultOK ? TakeStreamBytes(tables, &length) : nullptr;
            if (bytes) rc = StreamInsertKept(out, st.tablesAt, bytes, length, stats.largestRecord);
            else if (rc == kResultOK) rc = kResultOutOfMemory;
            if (bytes) FreeMemory(bytes);
            else DiscardStream(tables);
        }
    }
    StreamEndKeep(st.stream);
    return rc;
}

// The style tables must come before any object, and building them takes a walk over
// every object. Written to a file, the objects go first instead, kept in the stream's
// hands; the object that first has a style, or a limit on what is kept, settles the
// tables from there on and puts them in front. A sketch whose objects have no style
// so needs one walk, not two; what is written is the same either way.
ResultCode WriteSketchBodyRecords(WriteState& st) {
    const SketchBodyWriteOps& ops = *st.ops;
    ResultCode worst = kResultOK;
    // The header is written again at the end when the count it was given is not the
    // number of objects stored (always, when the objects were not walked before).
    uint32_t headerCount = 0;
    st.tablesLater = StreamCanKeep(st.stream);
    if (!st.tablesLater) worst = BuildStyleMaps(st, ops.firstObject(st.model), &headerCount);
    if (IsFatalError(worst)) return worst;

    uint32_t headerAt = 0;
    ResultCode rc = StreamTell(st.stream, &headerAt);
    if (rc != kResultOK) return rc;
    worst = KeepWorstError(worst, WriteHeaderRecord(st, headerCount));
    if (IsFatalError(worst)) return worst;
    uint32_t length = 0;
    const char* comment = ops.comment(st.model, &length);
    if (comment) worst = KeepWorstError(worst, WriteTextRecord(st.stream, kTagComment, comment, length));
    if (!st.Partial() && !IsFatalError(worst)) {
        if (st.Handheld()) {
            worst = KeepWorstError(worst, ops.writeSketchRecord(st.model, kTagLabelStateV1, st.stream, st.format));
        } else {
            for (uint32_t k = 0; k <= kMaxStoredClass && !IsFatalError(worst); ++k)
                worst = KeepWorstError(worst, ops.writeSketchRecord(st.model, kTagLabelStateBase + k, st.stream, st.format));
            if (!IsFatalError(worst))
                worst = KeepWorstError(worst, ops.writeSketchRecord(st.model, kTagLabelSequence18, st.stream, st.format));
        }
        if (!IsFatalError(worst))
            worst = KeepWorstError(worst, WriteTextRecord(st.stream, kTagBuildStamp, kBuildStamp, sizeof kBuildStamp - 1));
        uint8_t dpi[4];
        PutLE32(dpi, ops.screenResolution(st.model));
        if (!IsFatalError(worst)) worst = KeepWorstError(worst, StreamWriteRecord(st.stream, 4, kTagScreenResolution, dpi));
    }
    if (st.tablesLater && !IsFatalError(worst)) {
        worst = KeepWorstError(worst, StreamTell(st.stream, &st.tablesAt));
        if (!IsFatalError(worst)) worst = KeepWorstError(worst, StreamKeep(st.stream));
    }
    if (!IsFatalError(worst)) worst = KeepWorstError(worst, WriteFontAndStyleRecords(st));
    if (!st.Partial() && st.format.settingsVersion >= 2 && !IsFatalError(worst))
        worst = KeepWorstError(worst, ops.writePreferences(st.model, st.stream, st.format));

    // An object whose records the writer makes itself goes into the run, which a drop
    // rewinds; any other is written under a hold on the stream, the run flushed first, so
    // that one that cannot be stored is taken back and leaves no bytes behind.
    RecordRun run(st.stream);
    uint32_t i = 0;
    for (void *object = ops.firstObject(st.model), *following; object && !IsFatalError(worst);
         object = following, ++i) {
        if (ops.progress && !ops.progress(st.model, i)) return kResultCancelled;
        following = ops.nextObject(st.model, object);  // asked early: see SketchBodyWriteOps
        ObjectWriteFacts facts{};
        ops.facts(st.model, object, &facts);
        const bool styled = facts.hasCaptionStyle;
        const uint64_t need = WriterMakesEveryRecord(facts, st.format) ? WriterRecordBytes(facts) : UINT64_MAX;
        const bool inRun = need <= RecordRun::kRoom;
        if (!inRun || need > RecordRun::kRoom - run.length) {
            rc = run.Flush();
            if (rc != kResultOK) return rc;
        }
        // What is kept is weighed each time the run starts afresh: its limit is only a
        // bound on the memory a keep takes.
        if (st.tablesLater && (styled || (run.length == 0 && StreamKeptBytes(st.stream) > kObjectsAheadOfTablesLimit))) {
            rc = run.Flush();
            if (rc == kResultOK) rc = PlaceStyleTables(st, object);
            if (rc != kResultOK) return rc;
        }
        const uint32_t style = styled && st.nextStyle < st.styleOf.count ? st.styleOf.items[st.nextStyle++] : 0;
        const RecordRun::Mark mark = run.Here();
        rc = inRun ? kResultOK : StreamHold(st.stream);
        if (rc == kResultOK) rc = WriteObjectRecords(st, style, object, facts, run);
        if (!inRun && !IsFatalError(rc) && rc != kResultObjectDropped) rc = KeepWorstError(rc, run.Flush());
        if (rc == kResultObjectDropped) {
            if (inRun) {
                run.Rewind(mark);
            } else {
                run.Discard();
                rc = StreamTakeBack(st.stream);
                if (rc != kResultOK) return rc;
            }
            worst = KeepWorstError(worst, kResultObjectDropped);
            ops.setNumber(st.model, object, 0);
            continue;
        }
        if (!inRun) StreamRelease(st.stream);
        if (IsFatalError(rc)) return rc;
        worst = KeepWorstError(worst, rc);
        if (!st.written.Append(object)) return kResultOutOfMemory;
        ops.setNumber(st.model, object, st.written.count);
    }
    if (IsFatalError(worst)) return worst;
    rc = run.Flush();
    if (rc != kResultOK) return rc;
    if (st.tablesLater) {
        // No object has a style: the tables stay empty.
        StreamEndKeep(st.stream);
        st.tablesLater = false;
    }
    const uint32_t stored = st.written.count;
    worst = KeepWorstError(worst, WriteTrailingRecords(st));
    if (IsFatalError(worst)) return worst;
    if (stored != headerCount) {
        uint32_t end = 0;
        rc = StreamTell(st.stream, &end);
        if (rc == kResultOK) rc = StreamSeek(st.stream, static_cast<int32_t>(headerAt), 0);
        if (rc == kResultOK) rc = WriteHeaderRecord(st, stored);
        if (rc == kResultOK || rc == kResultUnitDefaulted) rc = StreamSeek(st.stream, static_cast<int32_t>(end), 0);
        if (rc != kResultOK) return rc;
    }
    return worst;
}

}  // namespace

ResultCode WriteSketchBody(StreamHandle stream, void* model, const SketchBodyWriteOps& ops, const FormatInfo& format) {
    WriteState st;
    st.stream = stream;
    st.model = model;
    st.ops = &ops;
    st.format = format;
    const WriteState* outer = gWriting;
    gWriting = &st;
    ResultCode rc = WriteSketchBodyRecords(st);
    gWriting = outer;
    st.styleOf.Free();
    st.written.Free();
    st.fonts.Free();
    st.styles.Free();
    return rc;
}

int32_t SketchBodyFileFont(int32_t font) {
    if (!gWriting) return font;
    for (uint32_t i = 0; i < gWriting->fonts.count; ++i)
        if (gWriting->fonts.items[i] == font) return static_cast<int32_t>(gWriting->FileFont(i));
    return font;
}

int32_t SketchBodyFontOfFile(int32_t fileNumber) {
    if (!gReading || fileNumber < 0) return fileNumber;
    return MapFileFont(*gReading, static_cast<uint32_t>(fileNumber));
}
