// Record codecs of labels and texts: an object's label (2005), the automatic label
// sequences of a page (2399, 2400 + class code, and the handheld block 1200), a
// caption's text (2300) and a value display's (2307).
#include "engine/docio/text_record_codecs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/parameters.h"
#include "engine/calc/tables.h"
#include "engine/calc/value_display.h"
#include "engine/core/copy_map.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/sketch_body.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"

namespace {

constexpr uint32_t kLabelFixedBytes = 22;
constexpr uint32_t kSequenceStateBytes = 6;
constexpr uint32_t kHandheldSequenceEntries = 13;
constexpr uint32_t kHandheldNumberedEntry = 11;
constexpr int32_t kHandheldMaxPosition = 512;
constexpr int32_t kHandheldMaxRound = 32768;
constexpr uint32_t kCaptionTag = 2300;
constexpr uint32_t kCaptionHeaderBytes = 4;

uint32_t RoundUp4(uint32_t n) { return (n + 3) & ~3u; }

TransferSide* RecordSide(TransferContext* c) { return c->source.kind == kSideRecord ? &c->source : &c->destination; }
void* ModelObject(TransferContext* c) {
    return (c->source.kind == kSideRecord ? c->destination : c->source).object;
}

// Writes n bytes of the record (zero bytes for a null `bytes`), or counts them when
// measuring; 101 when the buffer holds fewer than measured.
ResultCode PutBytes(TransferContext* c, const void* bytes, uint32_t n) {
    TransferSide* d = &c->destination;
    if (c->op == kTransferMeasure) {
        if (d->length < 0) d->length = 0;
        d->length += static_cast<int32_t>(n);
        return kResultOK;
    }
    if (RecordBytesLeft(d) < n) return kResultCodecOverrun;
    if (bytes) std::memcpy(d->cursor, bytes, n);
    else std::memset(d->cursor, 0, n);
    d->cursor += n;
    return kResultOK;
}

// The whole payload of the record being read.
const uint8_t* Payload(TransferContext* c, uint32_t* length) {
    *length = c->source.length < 0 ? 0 : static_cast<uint32_t>(c->source.length);
    return static_cast<const uint8_t*>(c->source.object);
}

// Reading consumes the record whole.
void ConsumeAll(TransferContext* c) {
    uint32_t n = 0;
    const uint8_t* p = Payload(c, &n);
    c->source.cursor = const_cast<uint8_t*>(p) + n;
}

// ---- The layout text of a caption record

// Font numbers inside texts go through the document's font map, except in a tool
// sketch made from a selection and during custom-tool playback, whose texts keep the
// numbers of the running program.
bool MapsFonts() {
    const int32_t mode = CurrentCloneMode();
    return mode != kCloneToolFromSelection && mode != kClonePlayback;
}
int32_t FileFontOf(int32_t font, void*) { return SketchBodyFileFont(font); }
int32_t FontOfFileFont(int32_t file, void*) { return SketchBodyFontOfFile(file); }

// The text of a tree for a record: the layout language, or plain text below version 3.
char* SerializeForRecord(LayoutNode* tree, int32_t formatVersion, uint32_t* length) {
    LayoutWriteContext w{ MapsFonts() ? FileFontOf : nullptr, nullptr, formatVersion < 3 ? kWritePlainText : 0u,
                          nullptr };
    const int32_t n = tree ? SerializeLayout(tree, nullptr, &w) : 0;
    char* text = static_cast<char*>(AllocMemory(static_cast<size_t>(n) + 1, 0));
    if (!text) return nullptr;
    if (tree) SerializeLayout(tree, text, &w);
    text[n] = 0;
    *length = static_cast<uint32_t>(n);
    return text;
}

// Bytes of the caption part: the normal form with its sub-record head and position, the
// handheld form with the position alone; rounded up to a multiple of 4.
uint32_t CaptionPartBytes(uint32_t textLength, bool handheld) {
    const uint32_t counted = CountedStringSize(textLength);
    return RoundUp4((handheld ? kCaptionHeaderBytes : kSubRecordHeadBytes + kCaptionHeaderBytes) + counted);
}

ResultCode PutCaptionPart(TransferContext* c, int16_t left, int16_t top, const char* text, uint32_t length,
                          bool handheld) {
    const uint32_t counted = CountedStringSize(length);
    const uint32_t total = CaptionPartBytes(length, handheld);
    uint8_t head[kSubRecordHeadBytes + kCaptionHeaderBytes];
    uint8_t* at = head;
    if (!handheld) {
        BeginSubRecord(&at, sizeof head, kCaptionTag, kCaptionHeaderBytes + counted + kSubRecordHeadBytes,
                       kCaptionHeaderBytes);
    }
    PutLE16(at, static_cast<uint16_t>(left));
    PutLE16(at + 2, static_cast<uint16_t>(top));
    at += 4;
    const uint32_t headBytes = static_cast<uint32_t>(at - head);
    ResultCode rc = PutBytes(c, head, headBytes);
    if (rc != kResultOK) return rc;
    if (c->op == kTransferMeasure) return PutBytes(c, nullptr, total - headBytes);
    if (RecordBytesLeft(&c->destination) < total - headBytes) return kResultCodecOverrun;
    std::memset(c->destination.cursor, 0, total - headBytes);
    PackCountedString(c->destination.cursor, text, length);
    c->destination.cursor += total - headBytes;
    return kResultOK;
}

struct CaptionPart {
    int16_t     left, top;
    const char* text;    // within the record; not NUL-terminated
    uint32_t    length;
    uint32_t    bytes;   // what the part occupies, rounded up to 4 when the record holds it
};

// Finds the caption part at the start of a payload. A text count running past the
// payload makes the object unreadable (9), as a text that does not parse does.
ResultCode GetCaptionPart(const uint8_t* p, uint32_t n, bool handheld, CaptionPart* out) {
    const uint8_t* header = p;
    uint32_t headerLength = n;
    const uint8_t* body = nullptr;
    uint32_t bodyLength = 0;
    if (!handheld) {
        ResultCode rc = FindSubRecord(p, n, kCaptionTag, &header, &headerLength, &body, &bodyLength);
        if (rc != kResultOK) return rc;
        if (headerLength < kCaptionHeaderBytes) return kResultDamaged;
    } else {
        if (n < kCaptionHeaderBytes) return kResultDamaged;
        body = p + kCaptionHeaderBytes;
        bodyLength = n - kCaptionHeaderBytes;
    }
    out->left = static_cast<int16_t>(GetLE16(header));
    out->top = static_cast<int16_t>(GetLE16(header + 2));
    if (bodyLength < 2) return kResultDamaged;
    uint32_t length = 0, packed = 0;
    if (!CheckCountedString(body, bodyLength, &length, &packed)) return kResultSkippedObject;
    out->text = reinterpret_cast<const char*>(body + 2);
    out->length = length;
    const uint32_t used = static_cast<uint32_t>(body - p) + packed;
    out->bytes = RoundUp4(used) <= n ? RoundUp4(used) : n;
    return kResultOK;
}

// Parses a stored text: the layout language, or from version 2 and below plain text
// with its line breaks kept. 9 for a text that does not parse, 100 without memory.
ResultCode ParseStoredText(const char* text, uint32_t length, int32_t formatVersion, LayoutNode** tree) {
    *tree = nullptr;
    if (formatVersion <= 2) {
        *tree = LayoutFromPlainText(text, static_cast<int32_t>(length), 1);
        return *tree ? kResultOK : kResultOutOfMemory;
    }
    LayoutParseContext context{ MapsFonts() ? FontOfFileFont : nullptr, nullptr, nullptr, 0 };
    const ResultCode rc = ParseLayoutString(tree, text, length, &context);
    if (rc == kLayoutParseNoMemory || (rc == kLayoutParseOK && !*tree)) {
        if (*tree) FreeLayoutNode(*tree);
        *tree = nullptr;
        return kResultOutOfMemory;
    }
    if (rc >= kLayoutParseSyntax) {
        if (*tree) FreeLayoutNode(*tree);
        *tree = nullptr;
        return kResultSkippedObject;
    }
    return kResultOK;
}

bool Handheld(TransferContext* c) { return RecordSide(c)->formatVersion == 1; }
int32_t Version(TransferContext* c) { return RecordSide(c)->formatVersion; }

}  // namespace

// ---- 2005

ResultCode TransferLabelRecord(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    SketchObject* o = static_cast<SketchObject*>(ModelObject(context));
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        ConsumeAll(context);
        if (n < kLabelFixedBytes + 4) return kResultDamaged;
        const uint16_t level = GetLE16(p);
        if (level > kLabelDeriving) return kResultSkippedObject;
        uint32_t length = 0, packed = 0;
        if (!CheckCountedString(p + kLabelFixedBytes, n - kLabelFixedBytes, &length, &packed)) return kResultDamaged;
        // A label is never longer than a typed one may be.
        char text[kLabelBufferSize];
        const uint32_t kept = length < kMaxLabelLength ? length : kMaxLabelLength;
        std::memcpy(text, p + kLabelFixedBytes + 2, kept);
        text[kept] = 0;
        o->label.shown = 0;
        // Without its text the label would be lost, the document opening as if whole.
        if (StoreLabelText(o, text, false) != 0) return kResultOutOfMemory;
        o->label.level = level;
        o->label.shown = GetLE16(p + 2) ? 1 : 0;
        o->label.useInTools = GetLE16(p + 4) ? 1 : 0;
        o->label.offsetX = static_cast<int16_t>(GetLE16(p + 6));
        o->label.offsetY = static_cast<int16_t>(GetLE16(p + 8));
        const double t = GetLEReal(p + 14);
        o->label.pathParameter = std::isfinite(t) ? t : kLabelNotPlaced;
        return kLabelFixedBytes + packed < n ? kResultLongerRecord : kResultOK;
    }
    char text[kLabelBufferSize];
    uint32_t length = 0;
    GetObjectLabel(o, kLabelNone, text, &length);
    uint8_t fixed[kLabelFixedBytes] = {};
    PutLE16(fixed, static_cast<uint16_t>(o->label.level));
    PutLE16(fixed + 2, static_cast<uint16_t>(o->label.shown ? 1 : 0));
    PutLE16(fixed + 4, static_cast<uint16_t>(o->label.useInTools ? 1 : 0));
    PutLE16(fixed + 6, static_cast<uint16_t>(o->label.offsetX));
    PutLE16(fixed + 8, static_cast<uint16_t>(o->label.offsetY));
    PutLEReal(fixed + 14, o->label.pathParameter);
    ResultCode rc = PutBytes(context, fixed, sizeof fixed);
    if (rc != kResultOK) return rc;
    uint8_t counted[kLabelBufferSize + 4] = {};  // the pad byte after the text is 0
    const uint32_t size = PackCountedString(counted, text, length);
    return PutBytes(context, counted, size);
}

// ---- 2399, 2400 + k

ResultCode TransferLabelSequenceState(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    auto* target = static_cast<LabelSequenceTarget*>(ModelObject(context));
    LabelSequence* q = target->sequence;
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        ConsumeAll(context);
        if (n < kSequenceStateBytes) return kResultDamaged;
        if (q) *q = { GetLE16(p), GetLE16(p + 2), 1 };
        return n > kSequenceStateBytes ? kResultLongerRecord : kResultOK;
    }
    uint8_t bytes[kSequenceStateBytes] = {};
    if (q) {
        PutLE16(bytes, static_cast<uint16_t>(q->position < 0 ? 0 : q->position > 0xffff ? 0xffff : q->position));
        PutLE16(bytes + 2, static_cast<uint16_t>(q->round < 0 ? 0 : q->round > 0xffff ? 0xffff : q->round));
    }
    return PutBytes(context, bytes, sizeof bytes);
}

// ---- 1200

namespace {

// The sequence of entry e of the handheld block, or -1 when its code has no class.
int32_t HandheldEntrySequence(uint32_t e) {
    if (e == kHandheldNumberedEntry) return kNumberedLabelSequence;
    const int32_t c = ObjectClassFromCode(e);
    return c >= 0 && c < kClassCount ? c : -1;
}

}  // namespace

ResultCode TransferLabelSequences(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    Sketch* sketch = static_cast<LabelSequenceTarget*>(ModelObject(context))->sketch;
    constexpr uint32_t kBlock = kHandheldSequenceEntries * kSequenceStateBytes;
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        ConsumeAll(context);
        if (n < kBlock) return kResultDamaged;
        for (uint32_t e = 0; e < kHandheldSequenceEntries; ++e) {
            if (GetLE16(p + 6 * e) > kHandheldMaxPosition || GetLE16(p + 6 * e + 2) > kHandheldMaxRound)
                return n > kBlock ? kResultLongerRecord : kResultOK;  // the block is ignored
        }
        for (uint32_t e = 0; e < kHandheldSequenceEntries; ++e) {
            const int32_t s = HandheldEntrySequence(e);
            if (s >= 0 && sketch) sketch->labelSequences[s] = { GetLE16(p + 6 * e), GetLE16(p + 6 * e + 2), 1 };
        }
        return n > kBlock ? kResultLongerRecord : kResultOK;
    }
    uint8_t bytes[kBlock] = {};
    for (uint32_t e = 0; e < kHandheldSequenceEntries && sketch; ++e) {
        const int32_t s = HandheldEntrySequence(e);
        if (s < 0) continue;
        const LabelSequence& q = sketch->labelSequences[s];
        PutLE16(bytes + 6 * e, static_cast<uint16_t>(q.position < 0 ? 0 : q.position > kHandheldMaxPosition ? kHandheldMaxPosition : q.position));
        PutLE16(bytes + 6 * e + 2, static_cast<uint16_t>(q.round < 0 ? 0 : q.round > kHandheldMaxRound ? kHandheldMaxRound : q.round));
    }
    return PutBytes(context, bytes, sizeof bytes);
}

// ---- 2300

ResultCode TransferCaptionData(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    SketchObject* o = static_cast<SketchObject*>(ModelObject(context));
    CaptionData* d = CaptionDataOf(o);
    if (!d) return kResultDamaged;
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        ConsumeAll(context);
        CaptionPart part{};
        ResultCode rc = GetCaptionPart(p, n, Handheld(context), &part);
        if (rc != kResultOK) return rc;
        LayoutNode* tree = nullptr;
        rc = ParseStoredText(part.text, part.length, Version(context), &tree);
        if (rc != kResultOK) return rc;
        // Read captions take the default style of new ones, which the object has now.
        CaptionInit init{ tree, o->textStyle, part.left, part.top };
        if (!SetObjectTextLayout(o, &init)) {
            SetObjectTextLayout(nullptr, &init);
            return kResultOutOfMemory;
        }
        return part.bytes < n ? kResultLongerRecord : kResultOK;
    }
    uint32_t length = 0;
    char* text = SerializeForRecord(d->layout, Version(context), &length);
    if (!text) return kResultOutOfMemory;
    ResultCode rc = PutCaptionPart(context, o->bounds.left, o->bounds.top, text, length, Handheld(context));
    FreeMemory(text);
    return rc;
}

uint32_t MeasureCaptionRecord(uint32_t textLength, bool handheld) { return CaptionPartBytes(textLength, handheld); }

// ---- 2307

namespace {

// The value display's part of records 2307 and 2311; `used` (when reading) the bytes it
// takes of the payload, padding included.
ResultCode TransferValueDisplayPart(TransferContext* context, uint32_t* used) {
    SketchObject* o = static_cast<SketchObject*>(ModelObject(context));
    if (!HasValueDisplay(o)) return kResultDamaged;
    ValueDisplay* d = ValueDisplayOf(o);
    const int32_t version = Version(context);
    const bool handheld = Handheld(context);
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        ConsumeAll(context);
        CaptionPart part{};
        ResultCode rc = GetCaptionPart(p, n, handheld, &part);
        if (rc != kResultOK) return rc;
        ValueDisplayTail tail{};
        rc = ReadValueDisplayTail(p + part.bytes, n - part.bytes, version, part.text, part.length, &tail);
        if (rc != kResultOK) return rc;
        const uint32_t taken = RoundUp4(part.bytes + ValueDisplayTailLength(handheld ? 1 : version));
        *used = taken < n ? taken : n;
        LayoutNode* custom = nullptr;
        if (tail.displayMode == kDisplayCustomName) {
            const uint32_t take = version <= 2 ? tail.customLength : part.length;
            rc = ParseStoredText(part.text, take, version, &custom);
            if (rc != kResultOK) return rc;
        }
        // The displayed layout starts empty and is rebuilt by the next recompute.
        LayoutNode* empty = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
        if (!empty) {
            if (custom) FreeLayoutNode(custom);
            return kResultOutOfMemory;
        }
        CaptionInit init{ empty, d->caption.style, part.left, part.top };
        if (!SetObjectTextLayout(o, &init)) {
            SetObjectTextLayout(nullptr, &init);
            if (custom) FreeLayoutNode(custom);
            return kResultOutOfMemory;
        }
        if (d->customLayout) FreeLayoutNode(d->customLayout);
        d->customLayout = custom;
        d->displayMode = tail.displayMode;
        d->precision = tail.precision;
        return kResultOK;
    }
    // The stored text is the custom name in display mode 2 and an empty layout otherwise;
    // the handheld form keeps no custom name.
    const bool custom = !handheld && d->displayMode == kDisplayCustomName && d->customLayout;
    LayoutNode* empty = custom ? nullptr : CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
    if (!custom && !empty) return kResultOutOfMemory;
    uint32_t length = 0;
    char* text = SerializeForRecord(custom ? d->customLayout : empty, version, &length);
    if (empty) FreeLayoutNode(empty);
    if (!text) return kResultOutOfMemory;
    uint8_t tail[10] = {};
    uint32_t tailLength = ValueDisplayTailLength(handheld ? 1 : 3);
    uint32_t captionLength = length;
    if (version == 2) {
        // The older form keeps a custom name at the front of the caption text, its
        // length in the tail ("name = " is cut back to the name when read).
        tailLength = ValueDisplayTailLength(2);
        const bool named = d->displayMode == kDisplayCustomName && custom;
        const bool noName = d->displayMode == kDisplayNoName;
        PutLE16(tail, static_cast<uint16_t>(tailLength));
        PutLE16(tail + 2, static_cast<uint16_t>(named ? length : 0));
        PutLE16(tail + 6, static_cast<uint16_t>(named || noName ? 0 : 1));
        PutLE16(tail + 8, static_cast<uint16_t>(d->precision));
        if (named) {
            char* longer = static_cast<char*>(AllocMemory(length + 3, 0));
            if (!longer) {
                FreeMemory(text);
                return kResultOutOfMemory;
            }
            std::memcpy(longer, text, length);
            std::memcpy(longer + length, " =", 3);
            FreeMemory(text);
            text = longer;
            captionLength = length + 2;
        }
    } else {
        WriteValueDisplayTail(tail, handheld ? 1 : 3, d->displayMode, d->precision);
    }
    length = captionLength;
    ResultCode rc = PutCaptionPart(context, o->bounds.left, o->bounds.top, text, length, handheld);
    FreeMemory(text);
    if (rc != kResultOK) return rc;
    rc = PutBytes(context, tail, tailLength);
    if (rc != kResultOK) return rc;
    // The payload is padded to a multiple of 4.
    const uint32_t written = CaptionPartBytes(length, handheld) + tailLength;
    return PutBytes(context, nullptr, RoundUp4(written) - written);
}

}  // namespace

ResultCode TransferMeasurementData(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    uint32_t used = 0;
    return TransferValueDisplayPart(context, &used);
}

// ---- 2311

namespace {

constexpr uint32_t kTagCalculationPart = 2311;
constexpr uint32_t kCalculationHeaderBytes = 48;
constexpr uint32_t kCompactHeaderBytes = 4;
constexpr uint32_t kFormCount = 5;

// The change settings as read: put right the way settings given are, except that
// settings never set (step 0) stay unset for the defaults.
void NormalizeReadSettings(CalculationData* c) {
    if (c->change.step == 0) return;
    ParameterMotion m{c->change.min, c->change.max, c->change.rate, c->change.seconds, c->change.step, 1,
                      c->change.flags & kChangeDirectionMask};
    NormalizeParameterMotion(&m);
    c->change.min = m.min;
    c->change.max = m.max;
    c->change.rate = m.rate;
    c->change.seconds = m.seconds;
    c->change.step = m.step;
    c->change.flags = uint16_t((c->change.flags & ~kChangeDirectionMask) | uint16_t(m.direction));
}

ResultCode ReadCalculationPart(CalculationData* c, const uint8_t* p, uint32_t n, bool handheld) {
    uint32_t count = 0, form = 0;
    const uint8_t* body = nullptr;
    uint32_t bodyLength = 0;
    ResultCode code = kResultOK;
    c->change.flags = 0;
    c->change.step = c->change.min = c->change.max = c->change.rate = c->change.seconds = 0;
    if (handheld) {
        if (n < kCompactHeaderBytes) return kResultDamaged;
        form = GetLE16(p);
        count = GetLE16(p + 2);
        body = p + kCompactHeaderBytes;
        bodyLength = n - kCompactHeaderBytes;
    } else {
        const uint8_t* header = nullptr;
        uint32_t headerLength = 0;
        if (ResultCode rc = FindSubRecord(p, n, kTagCalculationPart, &header, &headerLength, &body, &bodyLength))
            return rc;
        if (headerLength < kCompactHeaderBytes) return kResultDamaged;
        count = GetLE16(header);
        form = GetLE16(header + 2);
        if (headerLength >= kCalculationHeaderBytes) {
            c->change.flags = GetLE16(header + 4);
            c->change.step = GetLEReal(header + 8);
            c->change.min = GetLEReal(header + 16);
            c->change.max = GetLEReal(header + 24);
            c->change.rate = GetLEReal(header + 32);
            c->change.seconds = GetLEReal(header + 40);
            if (headerLength > kCalculationHeaderBytes) code = kResultShorterRecord;
        }
    }
    if (form >= kFormCount) return kResultSkippedObject;
    // The tokens lie within the sub-record, never beyond it.
    if (count > bodyLength / sizeof(ExpressionToken)) return kResultDamaged;
    // No tokens: a value given of a tool, which has no expression (the object's creation
    // refuses one anywhere else).
    ExpressionToken* tokens = nullptr;
    if (count > 0) {
        tokens = static_cast<ExpressionToken*>(AllocMemory(count * sizeof(ExpressionToken), 0));
        if (!tokens) return kResultOutOfMemory;
    }
    for (uint32_t i = 0; i < count; ++i) tokens[i] = GetLE16(body + 2 * i);
    if (c->infixTokens) FreeMemory(c->infixTokens);
    c->infixTokens = tokens;
    c->infixCount = count;
    c->form = int32_t(form);
    NormalizeReadSettings(c);
    return code;
}

}  // namespace

ResultCode TransferCalculationData(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    if (context->op == kTransferMeasure && context->destination.kind == kSideObject) {
        context->destination.length = int32_t(kCalculationEditRecordBytes);
        return kResultOK;
    }
    SketchObject* o = static_cast<SketchObject*>(ModelObject(context));
    CalculationData* c = CalculationDataOf(o);
    if (!c) return kResultDamaged;
    const bool handheld = Handheld(context);
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        uint32_t used = 0;
        ResultCode rc = TransferValueDisplayPart(context, &used);
        if (IsFatalError(rc)) return rc;
        const ResultCode part = ReadCalculationPart(c, p + used, n - used, handheld);
        return IsFatalError(part) || part == kResultSkippedObject ? part : KeepWorstError(rc, part);
    }
    uint32_t used = 0;
    if (ResultCode rc = TransferValueDisplayPart(context, &used)) return rc;
    const uint32_t count = c->infixCount;
    if (count > 0xffff) return kResultObjectDropped;
    if (handheld) {
        if (c->form > int32_t(kFormCount)) return kResultObjectDropped;
        uint8_t head[kCompactHeaderBytes];
        PutLE16(head, uint16_t(c->form));
        PutLE16(head + 2, uint16_t(count));
        if (ResultCode rc = PutBytes(context, head, sizeof head)) return rc;
    } else {
        uint8_t head[kSubRecordHeadBytes + kCalculationHeaderBytes] = {};
        PutLE32(head, kTagCalculationPart);
        PutLE32(head + 4, kSubRecordHeadBytes + kCalculationHeaderBytes + 2 * count);
        PutLE32(head + 8, kCalculationHeaderBytes);
        uint8_t* h = head + kSubRecordHeadBytes;
        PutLE16(h, uint16_t(count));
        PutLE16(h + 2, uint16_t(c->form));
        PutLE16(h + 4, c->change.flags);
        PutLEReal(h + 8, c->change.step);
        PutLEReal(h + 16, c->change.min);
        PutLEReal(h + 24, c->change.max);
        PutLEReal(h + 32, c->change.rate);
        PutLEReal(h + 40, c->change.seconds);
        if (ResultCode rc = PutBytes(context, head, sizeof head)) return rc;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t t[2];
        PutLE16(t, c->infixTokens[i]);
        if (ResultCode rc = PutBytes(context, t, 2)) return rc;
    }
    return kResultOK;
}

// ---- 2317

namespace {

constexpr uint32_t kTableTag = 2317;
constexpr uint32_t kTableHeaderBytes = 16;
constexpr int32_t kTableRowsOfToolCopy = 2;  // the metric and header rows
constexpr char kEmptyCell = '0';

// Bytes of one cell's text: its layout in the layout language, or "0".
uint32_t CellTextLength(const TableCell& cell, LayoutWriteContext* w) {
    return cell.layout ? static_cast<uint32_t>(SerializeLayout(cell.layout, nullptr, w)) : 1;
}

// The rows and columns a table writes: only a type-91 table with cells writes its grid,
// and a tool sketch made from a selection keeps no entries.
void StoredGrid(SketchObject* o, int32_t* rows, int32_t* columns) {
    const TableData* d = TableDataOf(o);
    *rows = *columns = 0;
    if (o->constructionType != kTypeMeasurementTable || !d->cells || d->rowCount <= 0) return;
    *rows = d->rowCount;
    *columns = d->columnCount;
    if (CurrentCloneMode() == kCloneToolFromSelection) *rows = std::min(*rows, kTableRowsOfToolCopy);
    // The record counts in 16 bits; rows beyond them are not kept.
    *rows = std::min(*rows, int32_t(INT16_MAX));
    if (*columns > INT16_MAX) *rows = *columns = 0;
}

}  // namespace

ResultCode ParseTableCells(const uint8_t* text, uint32_t length, TableGridRecord* grid) {
    grid->cells = nullptr;
    // The counts are signed 16-bit: a negative one, or more cells than the text holds
    // bytes (every cell takes one at least), is damage, found before anything is
    // allocated.
    if (grid->rows < 0 || grid->columns < 0) return kResultDamaged;
    if (uint64_t(grid->rows) * uint64_t(grid->columns) > length) return kResultDamaged;
    ResultCode code = kResultOK;
    uint32_t used = 0;
    if (grid->rows > 0 && grid->columns > 0) {
        // Sizes in 64 bits: 32767 x 32767 cells do not fit a 32-bit size.
        const uint64_t perRow = uint64_t(grid->columns) * sizeof(TableCell);
        const uint64_t bytes = perRow * uint64_t(grid->rows);
        if (bytes <= SIZE_MAX / 2)
            grid->cells = static_cast<TableCell*>(AllocMemory(static_cast<size_t>(bytes), kAllocZero));
        if (!grid->cells && grid->rows > kTableRowsOfToolCopy) {
            // A table too large for memory keeps its headers.
            grid->rows = kTableRowsOfToolCopy;
            grid->cells = static_cast<TableCell*>(AllocMemory(static_cast<size_t>(perRow * kTableRowsOfToolCopy), kAllocZero));
        }
        if (!grid->cells) return kResultOutOfMemory;
        LayoutParseContext parse{ MapsFonts() ? FontOfFileFont : nullptr, nullptr, nullptr, 0 };
        LayoutTextCursor cursor{ reinterpret_cast<const char*>(text), reinterpret_cast<const char*>(text) + length, 0 };
        const size_t count = static_cast<size_t>(grid->rows) * static_cast<size_t>(grid->columns);
        for (size_t i = 0; i < count; ++i) {
            if (cursor.next >= cursor.end) code = kResultDamaged;
            else if (*cursor.next == kEmptyCell) ++cursor.next;
            else {
                LayoutNode* node = nullptr;
                cursor.depth = 0;
                const ResultCode rc = ParseLayoutElement(&node, &cursor, nullptr, &parse);
                if (rc == kLayoutParseNoMemory) code = kResultOutOfMemory;
                else if (rc >= kLayoutParseSyntax || !node) code = kResultDamaged;
                // Row 0 and column 0 hold metrics, never a text.
                else if (i < static_cast<size_t>(grid->columns) || i % static_cast<size_t>(grid->columns) == 0)
                    FreeLayoutNode(node);
                else grid->cells[i].layout = node;
                if (node && code != kResultOK) FreeLayoutNode(node);
            }
            if (code != kResultOK) {
                InitTableData(nullptr, grid);
                return code;
            }
        }
        used = static_cast<uint32_t>(reinterpret_cast<const uint8_t*>(cursor.next) - text);
    }
    return length - used > 3 ? kResultLongerRecord : kResultOK;
}

ResultCode TransferTableData(TransferContext* context) {
    if (context->op == kTransferSwap) return kResultOK;
    SketchObject* o = static_cast<SketchObject*>(ModelObject(context));
    if (!o || o->objectClass != kClassTable) return kResultDamaged;
    TableData* d = TableDataOf(o);
    if (IsReadingRecord(context)) {
        uint32_t n = 0;
        const uint8_t* p = Payload(context, &n);
        ConsumeAll(context);
        if (n < kTableHeaderBytes) return kResultDamaged;
        const uint8_t* header = nullptr;
        const uint8_t* body = nullptr;
        uint32_t headerLength = 0, bodyLength = 0;
        if (ResultCode rc = FindSubRecord(p, n, kTableTag, &header, &headerLength, &body, &bodyLength)) return rc;
        if (headerLength < kTableHeaderBytes) return kResultDamaged;
        TableGridRecord read{};
        read.left = static_cast<int16_t>(GetLE16(header));
        read.top = static_cast<int16_t>(GetLE16(header + 2));
        read.rows = static_cast<int16_t>(GetLE16(header + 4));
        read.columns = static_cast<int16_t>(GetLE16(header + 6));
        read.track = GetLE16(header + 8) ? 1 : 0;
        const ResultCode rc = ParseTableCells(body, bodyLength, &read);
        if (IsFatalError(rc)) return rc;
        auto* grid = static_cast<TableGridRecord*>(AllocMemory(sizeof(TableGridRecord), 0));
        if (!grid) {
            InitTableData(nullptr, &read);
            return kResultOutOfMemory;
        }
        *grid = read;
        if (d->readRecord) {
            InitTableData(nullptr, d->readRecord);
            FreeMemory(d->readRecord);
        }
        d->readRecord = grid;
        return rc;
    }
    int32_t rows = 0, columns = 0;
    StoredGrid(o, &rows, &columns);
    LayoutWriteContext w{ MapsFonts() ? FileFontOf : nullptr, nullptr, 0, nullptr };
    uint64_t textLength = 0;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) textLength += CellTextLength(*TableCellAt(o, r, c), &w);
    const uint64_t padded = (textLength + 3) & ~uint64_t(3);
    const uint64_t total = kSubRecordHeadBytes + kTableHeaderBytes + padded;
    if (total > INT32_MAX) return kResultOutOfMemory;
    uint8_t head[kSubRecordHeadBytes + kTableHeaderBytes] = {};
    uint8_t* at = head;
    BeginSubRecord(&at, sizeof head, kTableTag, static_cast<uint32_t>(total), kTableHeaderBytes);
    PutLE16(at, static_cast<uint16_t>(o->bounds.left));
    PutLE16(at + 2, static_cast<uint16_t>(o->bounds.top));
    PutLE16(at + 4, static_cast<uint16_t>(rows));
    PutLE16(at + 6, static_cast<uint16_t>(columns));
    PutLE16(at + 8, static_cast<uint16_t>(d->trackLastRow ? 1 : 0));
    ResultCode rc = PutBytes(context, head, sizeof head);
    if (rc != kResultOK || context->op == kTransferMeasure) {
        return rc != kResultOK ? rc : PutBytes(context, nullptr, static_cast<uint32_t>(padded));
    }
    if (RecordBytesLeft(&context->destination) < padded) return kResultCodecOverrun;
    char* out = reinterpret_cast<char*>(context->destination.cursor);
    std::memset(out, 0, static_cast<size_t>(padded));
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            const TableCell& cell = *TableCellAt(o, r, c);
            if (cell.layout) out += SerializeLayout(cell.layout, out, &w);
            else *out++ = kEmptyCell;
        }
    }
    context->destination.cursor += padded;
    return kResultOK;
}
