#include "engine/docio/sketch_io.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/core/action_button_data.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/iterations.h"
#include "engine/core/object_tables.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/fonts.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/pictures.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/tables.h"
#include "engine/core/tool_givens.h"
#include "engine/calc/calculation_objects.h"
#include "engine/calc/value_objects.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/construction_data_codec.h"
#include "engine/docio/object_header_codec.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/sketch_body.h"
#include "engine/docio/text_record_codecs.h"
#include "engine/calc/value_display.h"
#include "engine/text/captions.h"
#include "engine/text/code_tables.h"
#include "engine/text/merged_texts.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"

namespace {

constexpr int32_t kMarkSlotOfFile = 20;
// The expression form that value givens (class 11) of tool bodies up to format
// version 4 are read with.
constexpr int32_t kStoredValueGivenForm = 3;

// One answer of the parent-kind checks for a construction type, a count and parents of
// these kinds (the first kMaxKeyedParents; more parents are not kept).
constexpr uint32_t kMaxKeyedParents = 4;
constexpr uint32_t kParentKindAnswers = 32;
struct ParentKindAnswer {
    int32_t    type = -1;
    uint32_t   count = 0;
    int32_t    kinds[kMaxKeyedParents] = {};
    ResultCode result = kResultOK;
};

// Everything one read or write of a sketch keeps besides the sketch itself.
struct SketchIo {
    Sketch*        sketch;
    // Reading: the object whose records are being read, before it joins the sketch.
    SketchObject*  pending = nullptr;
    bool           partial = false;
    FormatInfo     format = kCurrentPageFormat;  // of the sketch being read, from its header
    // The object being read comes from a page in the current format: its stored kind stays.
    bool           currentPage = false;
    // Writing: the largest number an object was given, and the selection.
    uint32_t       largestNumber = 0;
    SketchObject** selection = nullptr;
    uint32_t       selectionCount = 0;
    // Reading: the default text style of each class as the page's colours give it, once
    // asked for; bit c of defaultStyleKnown says class c's is here. Records that change
    // the page's colours forget them.
    uint32_t       defaultStyleKnown = 0;
    TextStyle      defaultStyles[kClassCount];
    // Reading a page: each object is recomputed as soon as it is read, while it and its
    // parents are at hand, instead of in a walk over the page at its end. The page order
    // is the dependency order, so each finds its parents as that walk would. An
    // iteration computes from its images, which follow it: from there on the objects
    // wait for the page's end (firstWaiting). A record among the objects that changes
    // the page's settings or colours makes the whole page wait: the objects read before
    // it may compute otherwise now.
    bool           recomputeAsRead = false;
    bool           settingsAmongObjects = false;
    bool           objectsBegun = false;
    bool           recomputeFailed = false;  // memory failed in a recompute as read
    SketchObject*  firstWaiting = nullptr;
    // Reading: the answers of the parent-kind checks, which depend on the construction
    // type, the count and the parents' kinds alone; a page repeats few of them.
    ParentKindAnswer parentKindAnswers[kParentKindAnswers];
};
static_assert(kClassCount <= 32);

SketchIo* Io(void* model) { return static_cast<SketchIo*>(model); }
SketchObject* Obj(void* object) { return static_cast<SketchObject*>(object); }

ResultCode RunReadCodec(TransferFn codec, SketchObject* object, const uint8_t* p, uint32_t n, const FormatInfo& f) {
    if (!codec) return kResultOK;
    return ReadCodecRecord(codec, object, p, n, f);
}

// ---- reading

ResultCode ReadHeader(void* model, const SketchHeaderFields& h, const FormatInfo& f) {
    Io(model)->format = f;
    Sketch* s = Io(model)->sketch;
    EngineDocument* d = s->document;
    s->windowRect.left = h.left;
    s->windowRect.top = h.top;
    if (f.formatVersion == 1) {
        s->windowRect.right = h.right;
        s->windowRect.bottom = h.bottom;
        // The handheld form keeps the page window's size in each page, not the file.
        if (d && d->windowWidth == 0 && d->windowHeight == 0) {
            d->windowWidth = static_cast<int16_t>(h.right - h.left);
            d->windowHeight = static_cast<int16_t>(h.bottom - h.top);
        }
    } else {
        // The document's page window size; a sketch without one (a tool's body, a page
        // of a document that stored none) keeps the size it was made with.
        int16_t width = static_cast<int16_t>(s->windowRect.right - s->windowRect.left);
        int16_t height = static_cast<int16_t>(s->windowRect.bottom - s->windowRect.top);
        if (d && (d->windowWidth != 0 || d->windowHeight != 0)) {
            width = d->windowWidth;
            height = d->windowHeight;
        }
        s->windowRect.right = static_cast<int16_t>(h.left + width);
        s->windowRect.bottom = static_cast<int16_t>(h.top + height);
        s->pageId = h.pageId;
        s->pageFlags = h.flags;
    }
    s->redrawLevel = h.redrawLevel;
    s->settings.angleUnit = h.angleUnit;
    s->settings.distanceUnit = h.distanceUnit;
    Io(model)->partial = f.sketchKind == 2;
    return kResultOK;
}

// Room in the arena for the objects' parent and child lists, so that it need not grow
// (and move) again and again while they are read: a list of one or two items takes
// three words, and most objects have both.
constexpr uint32_t kListWordsPerObject = 6;

void ExpectObjects(void*, uint32_t count) {
    // A failure leaves the arena to grow as the lists come, as it always may.
    ReservePtrListArena(count > UINT32_MAX / kListWordsPerObject ? UINT32_MAX : count * kListWordsPerObject);
}

// Record 1100 carries the sketch's title: a page's name, a custom tool's name.
ResultCode ReadTitle(void* model, const char* text, uint32_t) { return SetSketchTitle(Io(model)->sketch, text); }

ResultCode ReadToolText(void* model, const char* text, uint32_t length) {
    Sketch* s = Io(model)->sketch;
    char* copy = static_cast<char*>(AllocMemory(length + 1, 0));
    if (!copy) return kResultOutOfMemory;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    FreeMemory(s->toolText);
    s->toolText = copy;
    return kResultOK;
}

// The sequence a label state record of a page holds (2399 the numbered labels' format,
// 2400 + k the class of stored code k), or null for a code without a class.
LabelSequence* SequenceOfTag(Sketch* s, uint32_t tag) {
    if (tag == kTagLabelSequence18) return &s->labelSequences[kNumberedLabelSequence];
    const int32_t c = ObjectClassFromCode(tag - kTagLabelStateBase);
    return c >= 0 && c < kLabelSequenceCount ? &s->labelSequences[c] : nullptr;
}

// The page's label states, and its own settings as preference records (10001-19999).
// A record of the page's settings or colours read after the first object.
void SettingsChangedAmongObjects(SketchIo* io) {
    if (!io->objectsBegun) return;
    io->recomputeAsRead = false;
    io->settingsAmongObjects = true;
}

ResultCode ReadSketchRecord(void* model, uint32_t tag, const uint8_t* p, uint32_t length, const FormatInfo& f) {
    Sketch* s = Io(model)->sketch;
    Io(model)->defaultStyleKnown = 0;
    SettingsChangedAmongObjects(Io(model));
    if (tag == kTagLabelStateV1) {
        LabelSequenceTarget all{ s, nullptr };
        return ReadCodecRecord(TransferLabelSequences, &all, p, length, f);
    }
    if (tag >= kTagLabelSequence18 && tag <= kTagLabelStateLast) {
        LabelSequenceTarget one{ s, SequenceOfTag(s, tag) };
        return ReadCodecRecord(TransferLabelSequenceState, &one, p, length, f);
    }
    if (tag >= kTagPreferenceFirst && tag <= kTagPreferenceLast)
        return PreferencesStoreGroup1(&s->settings, tag, p, length);
    return length ? kResultLongerRecord : kResultOK;
}
// Record 9001 of the handheld form.
ResultCode ReadPageId(void* model, uint16_t id) {
    Io(model)->sketch->pageId = id;
    return kResultOK;
}

int16_t FindFont(void*, uint16_t, const char* face) {
    int16_t font = 1;
    // The face follows the traits word of the stored description.
    FindFontNumber(&font, face ? reinterpret_cast<const uint8_t*>(face) - 2 : nullptr);
    return font;
}

ResultCode SelectObject(void*, void* object) {
    if (!IsSelected(Obj(object))) SelectSketchObject(Obj(object));
    return kResultOK;
}

// The page's marked coordinate system.
ResultCode MarkObject(void* model, void* object) {
    SketchObject* o = Obj(object);
    MarkSlot& slot = Io(model)->sketch->marks[kMarkSlotOfFile];
    slot.object = o;
    slot.state = kMarkSet;
    o->markFlags |= kMarkedObject;
    return kResultOK;
}

ResultCode OldColor(void* model, uint16_t slot, uint8_t r, uint8_t g, uint8_t b) {
    Io(model)->defaultStyleKnown = 0;
    SettingsChangedAmongObjects(Io(model));
    Io(model)->sketch->settings.palette[slot] = uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
    return kResultOK;
}

ResultCode ToolGivens(void* model, void* const* givens, uint32_t count, const FormatInfo& f) {
    Sketch* s = Io(model)->sketch;
    for (uint32_t i = 0; i < count; ++i)
        if (!PtrListAppend(&s->givenList, givens[i])) return kResultOutOfMemory;
    SortToolGivens(s);
    if (f.formatVersion <= 4) {
        for (uint32_t i = 0; i < count; ++i)
            if (CalculationData* c = CalculationDataOf(Obj(givens[i]))) c->form = kStoredValueGivenForm;
    }
    return kResultOK;
}

// Whether an object of the class can be a path of the kind's path class: the path
// routines of each class of paths read the class data of their own classes only.
bool PathKindFitsClass(int32_t kind, int32_t objectClass) {
    if (kind < 0 || kind >= kObjectKindCount) return true;
    switch (ObjectKindTable[kind].pathClass) {
        case 0: case 1: case 2: return objectClass == kClassStraight || objectClass == kClassAxis;
        case 3: return objectClass == kClassPolygonInterior;
        case 4: return objectClass == kClassCircle || objectClass == kClassCircleInterior;
        case 5: return objectClass == kClassLocus;
        case 6: return objectClass == kClassArc || objectClass == kClassArcInterior;
        default: return true;
    }
}

// A value given of an older tool body, stored as a free point of a value kind.
bool IsStoredValueGiven(const ObjectTemplate& t, const FormatInfo& f) {
    return f.sketchKind == 2 && f.formatVersion == 4 && t.constructionType == kTypeFree &&
           t.objectClass == kClassPoint && t.objectKind >= 0 && t.objectKind < kObjectKindCount &&
           KindIsA(t.objectKind, kKindCalculation);
}

// The class data of an object being read: texts start empty at the origin (their record
// places them), so that reading never searches for a free place.
bool InitReadObject(SketchObject* object) {
    const ObjectClassRecord& row = ObjectClassTable[object->objectClass];
    if (!row.initExtra) return true;
    if (object->objectClass == kClassCaption) {
        CaptionInit init{};
        if (!InitCaptionData(&init, &object->textStyle, 0, 0)) return false;
        if (row.initExtra(object, &init)) return true;
        SetObjectTextLayout(nullptr, &init);
        return false;
    }
    if (object->objectClass == kClassMeasurement) {
        ValueDisplayInit record{};
        if (!InitCaptionData(&record.caption, &object->textStyle, 0, 0)) return false;
        if (row.initExtra(object, &record)) return true;
        row.initExtra(nullptr, &record);
        return false;
    }
    if (object->objectClass == kClassCalculation) {
        // The expression comes with the class record and is compiled once the parents are
        // known.
        CalculationEditRecord record{};
        record.form = kFormCalculation;
        if (!InitCaptionData(&record.display.caption, &object->textStyle, 0, 0)) return false;
        if (row.initExtra(object, &record)) return true;
        row.initExtra(nullptr, &record);
        return false;
    }
    // A locus is set up from its class record once its parents are known.
    if (object->objectClass == kClassLocus) return true;
    // A table is sized by its parents and its record: both are known when it is made.
    if (object->objectClass == kClassTable) return true;
    return row.initExtra(object, nullptr) != 0;
}

// The class's default text style, as ApplyDefaultTextStyle sets it, looked up once per
// class and page: a page holds many objects of few classes.
void ApplyReadDefaultStyle(SketchIo* io, SketchObject* object) {
    const int32_t c = object->objectClass;
    // The texts' own data takes the style too; they are few.
    if (CaptionDataOf(object)) {
        ApplyDefaultTextStyle(object);
        return;
    }
    const uint32_t bit = 1u << c;
    if (!(io->defaultStyleKnown & bit)) {
        if (!DefaultTextStyle(c, &io->defaultStyles[c])) io->defaultStyles[c] = object->textStyle;
        io->defaultStyleKnown |= bit;
    }
    object->textStyle = io->defaultStyles[c];
}

ResultCode BeginObject(void* model, const uint8_t* p, uint32_t n, const FormatInfo& f, ObjectHeaderInfo* info) {
    SketchIo* io = Io(model);
    ObjectTemplate t{};
    ResultCode rc = DecodeObjectHeader(p, n, f.formatVersion, &t);
    *info = { t.constructionType, t.objectClass, t.objectKind, false };
    if (IsFatalError(rc) || rc == kResultSkippedObject) return rc;
    if (IsStoredValueGiven(t, f)) {
        // Made as an empty calculation; the point geometry stored after it means nothing.
        t.objectClass = kClassCalculation;
        info->dropGeometry = true;
    }
    if (t.objectClass < 0 || t.objectClass >= kClassCount) return kResultSkippedObject;
    if (t.constructionType < 0 || t.constructionType >= kConstructionTypeCount) return rc;
    // A construction type makes objects of one class (or of its first parent's image
    // class, checked with the parents): with any other class its update routine would
    // write into class data of another layout.
    const int32_t typeClass = ConstructionTypeTable[t.constructionType].objectClass;
    if (t.constructionType != kTypeFree && typeClass != kClassOfImage && typeClass != t.objectClass)
        return kResultDamaged;
    // A kind that is a path of another shape would have the path routines read this
    // object's class data in that shape's layout.
    if (!PathKindFitsClass(t.objectKind, t.objectClass)) return kResultDamaged;
    // The object is made first, so that the class and construction codecs read into it.
    SketchObject* object = AllocObject(t.objectClass, &t);
    if (!object) return kResultOutOfMemory;
    object->objectKind = t.objectKind;
    const ObjectClassRecord& row = ObjectClassTable[t.objectClass];
    if (row.textFamily != 7) ApplyReadDefaultStyle(io, object);
    if (!InitReadObject(object)) {
        FreeMemory(object);
        return kResultOutOfMemory;
    }
    if (info->dropGeometry) CalculationDataOf(object)->form = kFormCalculation;
    io->pending = object;
    io->objectsBegun = true;
    if (t.objectClass == kClassIteration) io->recomputeAsRead = false;
    io->currentPage = f.sketchKind == kCurrentPageFormat.sketchKind && f.formatVersion == kCurrentPageFormat.formatVersion;
    return rc;
}

bool ClassHasData(int32_t c) { return c >= 0 && c < kClassCount && ObjectClassTable[c].transferClassData; }
bool ClassHasGeometry(int32_t c) { return c >= 0 && c < kClassCount && ObjectClassTable[c].transferGeometry; }

ResultCode CheckParents(void* model, const ObjectHeaderInfo& info, void* const* items, uint32_t count) {
    const int32_t type = info.constructionType;
    auto* parents = reinterpret_cast<SketchObject* const*>(items);
    // A tool's given may stand for another kind than its own: it is asked each time.
    bool keyed = count <= kMaxKeyedParents;
    for (uint32_t i = 0; keyed && i < count; ++i) keyed = parents[i]->givenIndex < 0;
    ResultCode rc = kResultOK;
    if (!keyed) {
        rc = CheckStoredParentKinds(type, parents, count);
    } else {
        ParentKindAnswer& answer = Io(model)->parentKindAnswers[static_cast<uint32_t>(type) % kParentKindAnswers];
        bool same = answer.type == type && answer.count == count;
        for (uint32_t i = 0; same && i < count; ++i) same = answer.kinds[i] == parents[i]->objectKind;
        if (!same) {
            answer.type = type;
            answer.count = count;
            for (uint32_t i = 0; i < count; ++i) answer.kinds[i] = parents[i]->objectKind;
            answer.result = CheckStoredParentKinds(type, parents, count);
        }
        rc = answer.result;
    }
    if (rc != kResultOK) return rc;
    if (count && !CheckParentsDistinct(type, parents, static_cast<int32_t>(count))) return kResultDamaged;
    return kResultOK;
}

ResultCode ReadObjectRecord(void* model, void* object, uint32_t tag, const uint8_t* p, uint32_t n,
                            const FormatInfo& f) {
    SketchObject* o = object ? Obj(object) : Io(model)->pending;
    if (!o) return kResultDamaged;
    if (tag == kTagConstructionData) return RunReadCodec(TransferConstructionData, o, p, n, f);
    if (tag == kTagLabel) return RunReadCodec(TransferLabelRecord, o, p, n, f);
    if (tag >= kTagGeometryBase && tag < kTagClassDataBase)
        return RunReadCodec(ObjectClassTable[o->objectClass].transferGeometry, o, p, n, f);
    return RunReadCodec(ObjectClassTable[o->objectClass].transferClassData, o, p, n, f);
}

void DropPending(void* model);

ResultCode CreateObject(void* model, void* const* parents, uint32_t count, void** made) {
    SketchIo* io = Io(model);
    SketchObject* o = io->pending;
    *made = nullptr;
    if (!o) return kResultDamaged;
    // A point on a path is placed by its stored parameter block; on a page one without
    // it would stand off its path. A tool's steps carry none: playback computes them.
    if (o->constructionType == kTypePointOnPath && !o->constructionData && !io->partial) return kResultDamaged;
    if (o->constructionType != kTypeFree && ConstructionTypeTable[o->constructionType].objectClass == kClassOfImage) {
        const SketchObject* first = count ? static_cast<const SketchObject*>(parents[0]) : nullptr;
        if (!first || ObjectClassTable[first->objectClass].imageClass != o->objectClass) return kResultDamaged;
    }
    // Pressing takes a Move or Scroll button's targets as points and a presentation's
    // members as buttons.
    if (!ButtonParentsFit(o, reinterpret_cast<SketchObject* const*>(parents), count)) return kResultDamaged;
    PtrList list = 0;
    if (count) {
        if (!AllocPtrList(static_cast<int32_t>(count), static_cast<int32_t>(count), &list)) return kResultOutOfMemory;
        void** items = PtrListData(list);
        for (uint32_t i = 0; i < count; ++i) items[i] = parents[i];
    }
    if (!SetObjectParents(o, list)) return kResultOutOfMemory;
    if (const CalculationData* c = CalculationDataOf(o)) {
        // A value given of a tool body stands for what the user picks: it has no expression.
        if (c->infixTokens) {
            if (const ResultCode code = FinishReadCalculation(o, io->currentPage)) return code;
        } else if (!(io->partial && o->constructionType == kTypeFree)) {
            return kResultDamaged;
        }
    }
    if (o->objectClass == kClassLocus) {
        if (const ResultCode code = FinishReadLocus(o, io->partial)) return code;
    }
    // A polygon was made before its parents were known; its arrays are sized for them.
    if (o->objectClass == kClassPolygonInterior && !SizePolygonFromParents(o)) return kResultOutOfMemory;
    // So was a merged or pegged text's text: its references name parents by number.
    if (IsMergedOrPeggedText(o) && !AllocCaptionSlots(o)) return kResultOutOfMemory;
    // A table whose grid does not fit its parents is left out.
    if (o->objectClass == kClassTable) {
        const ResultCode code = FinishTableFromRecord(o);
        static_assert(kResultGridDoesNotFit == kResultSkippedObject);
        if (code == kResultGridDoesNotFit) DropPending(model);
        if (code != kResultOK) return code;
    }
    // An iteration's stored counts must fit its parents, or its update would read past them.
    if (o->objectClass == kClassIteration) {
        if (const ResultCode code = FinishReadIteration(o)) return code;
    }
    LinkObjectIntoSketch(o, kNotLinked);  // links it into its layer ring too
    io->pending = nullptr;
    *made = o;
    return kResultOK;
}

ResultCode ObjectStyle(void*, void* object, const int16_t style[11]) {
    std::memcpy(&Obj(object)->textStyle, style, sizeof(TextStyle));
    return kResultOK;
}

// Only a picture holds an image; a picture record behind any other object is passed over
// (the body reader moves past it) with the warning of a record not understood.
ResultCode ReadPicture(void* model, void* object, uint32_t tag, StreamHandle stream, uint32_t length) {
    if (Obj(object)->objectClass != kClassPicture) return kResultLongerRecord;
    PictureReadContext context = { stream, Obj(object), &Io(model)->format, tag, length };
    return ReadPictureRecord(&context);
}

void SetUnselectable(void*, void* object) { Obj(object)->selectable = 0; }

// A free polygon takes its vertices from its geometry record; one read without it has
// none, and would be written as a record that no reader takes back: damage. A text takes
// the style read for it and is laid out again.
ResultCode FinishObject(void*, void* object, bool) {
    SketchObject* o = Obj(object);
    if (o->objectClass == kClassPolygonInterior && o->constructionType == kTypeFree &&
        ClassData<PolygonData>(o)->vertexCount == 0)
        return kResultDamaged;
    const int32_t family = ObjectClassTable[o->objectClass].textFamily;
    if (CaptionData* d = CaptionDataOf(o); d && (family == 1 || family == 2)) {
        // The text was measured in the style it was made with; the read one may differ.
        d->style = o->textStyle;
        if (d->layout) MarkLayoutSubtreeDirty(d->layout);
    }
    // A hidden value's displayed text stays empty until the object is shown again (its
    // text is not rebuilt while hidden): it keeps the box it was written with.
    const ScreenRect written = o->bounds;
    if (family >= 0 && family <= 4) RelayoutObjectText(o, false);
    if (family == 2 && o->hidden != kShown) o->bounds = written;
    return kResultOK;
}

// What the recompute could not make for want of memory (a value's text, a label) would
// be missing from the page and from its next save: the page did not open whole.
void ObjectRead(void* model, void* object) {
    SketchIo* io = Io(model);
    if (!io->recomputeAsRead) {
        if (!io->firstWaiting) io->firstWaiting = Obj(object);
        return;
    }
    const uint64_t failed = FailedAllocCount();
    RecomputeObject(Obj(object), &io->sketch->dirtyRect, true);
    if (FailedAllocCount() != failed) io->recomputeFailed = true;
}

void DropPending(void* model) {
    SketchIo* io = Io(model);
    if (io->pending) DestroyObject(io->pending, false, true);
    io->pending = nullptr;
}

void FreeObject(void*, void* object) { DestroyObject(Obj(object), true, true); }

const SketchBodyReadOps kSketchReadOps = {
    .header = ReadHeader,
    .comment = ReadTitle,
    .sketchRecord = ReadSketchRecord,
    .findFont = FindFont,
    .selectObject = SelectObject,
    .pageId = ReadPageId,
    .markObject = MarkObject,
    .oldColor = OldColor,
    .toolText = ReadToolText,
    .toolGivens = ToolGivens,
    .expectObjects = ExpectObjects,
    .beginObject = BeginObject,
    .classHasData = ClassHasData,
    .classHasGeometry = ClassHasGeometry,
    .checkParents = CheckParents,
    .readRecord = ReadObjectRecord,
    .createObject = CreateObject,
    .objectStyle = ObjectStyle,
    .readPicture = ReadPicture,
    .setUnselectable = SetUnselectable,
    .finishObject = FinishObject,
    .objectRead = ObjectRead,
    .dropPending = DropPending,
    .freeObject = FreeObject,
    .progress = nullptr,
};

// ---- writing

void WriteHeader(void* model, SketchHeaderFields* h) {
    const Sketch* s = Io(model)->sketch;
    *h = SketchHeaderFields{};
    h->flags = s->pageFlags;
    h->redrawLevel = s->redrawLevel;
    h->left = s->windowRect.left;
    h->top = s->windowRect.top;
    h->right = s->windowRect.right;
    h->bottom = s->windowRect.bottom;
    h->angleUnit = static_cast<uint16_t>(s->settings.angleUnit);
    h->distanceUnit = static_cast<uint16_t>(s->settings.distanceUnit);
    h->pageId = s->pageId;
}

const char* Text(const char* text, uint32_t* length) {
    *length = text ? static_cast<uint32_t>(std::strlen(text)) : 0;
    return text;
}
const char* WriteTitle(void* model, uint32_t* length) { return Text(Io(model)->sketch->title, length); }
const char* WriteToolText(void* model, uint32_t* length) { return Text(Io(model)->sketch->toolText, length); }

// The screen resolution of the writing machine, as the preferences know it.
uint32_t ScreenResolution(void*) { return static_cast<uint32_t>(PreferencesUnitFactor(2) + 0.5); }

ResultCode WriteSketchRecord(void* model, uint32_t tag, StreamHandle stream, const FormatInfo& f) {
    Sketch* s = Io(model)->sketch;
    if (tag == kTagLabelStateV1) {
        LabelSequenceTarget all{ s, nullptr };
        return WriteCodecRecord(TransferLabelSequences, &all, stream, tag, f);
    }
    LabelSequenceTarget one{ s, SequenceOfTag(s, tag) };
    return WriteCodecRecord(TransferLabelSequenceState, &one, stream, tag, f);
}

ResultCode WritePreferences(void* model, StreamHandle stream, const FormatInfo&) {
    return PreferencesWriteGroup1(stream, &Io(model)->sketch->settings);
}

void* FirstObject(void* model) { return Io(model)->sketch->firstObject; }
// The writer asks for the next object before it writes the current one: the next one's
// fields are fetched meanwhile, which a walk along the sketch order cannot otherwise do
// (it learns each address only from the object before).
void* NextObject(void*, void* object) {
    SketchObject* next = Obj(object)->nextInSketch;
    if (next) {
        __builtin_prefetch(&next->constructionType);
        __builtin_prefetch(&next->nextInSketch);
        __builtin_prefetch(&next->traversalStamp);
        __builtin_prefetch(&next->label);
        __builtin_prefetch(reinterpret_cast<const char*>(next) + sizeof(SketchObject));
    }
    return next;
}

// Texts of the text-like classes, and labels of geometric objects made with a style.
bool HasCaptionStyle(const SketchObject* o) {
    const int32_t family = o->objectClass >= 0 && o->objectClass < kClassCount ? ObjectClassTable[o->objectClass].textFamily : 7;
    return (family >= 1 && family <= 4) || (family == 0 && o->label.level >= 3);
}

void Facts(void*, void* object, ObjectWriteFacts* f) {
    const SketchObject* o = Obj(object);
    int32_t count = 0;
    f->parents = PtrListItems(o->parents, &count);
    f->constructionType = o->constructionType;
    f->objectClass = o->objectClass;
    f->parentCount = static_cast<uint32_t>(count);
    bool known = o->objectClass >= 0 && o->objectClass < kClassCount;
    bool typed = o->constructionType >= 0 && o->constructionType < kConstructionTypeCount;
    const ObjectClassRecord* row = known ? &ObjectClassTable[o->objectClass] : nullptr;
    f->hasConstructionData = typed && ConstructionTypeTable[o->constructionType].streamExtra && o->constructionData;
    f->hasClassData = row && row->transferClassData;
    // A label derived from the parents (level 2) is kept too when it was read so: left
    // out, the next open would take a new name from the sequence.
    f->hasLabelRecord = o->label.level >= kLabelFromParents;
    f->hasCaptionStyle = HasCaptionStyle(o);
    f->hasGeometry = row && row->transferGeometry;
    f->selectable = o->selectable != 0;
}

// The objects with a caption style record are those whose style enters the table.
bool ContributesStyle(void*, void* object) { return HasCaptionStyle(Obj(object)); }

void* ParentAt(void*, void* object, uint32_t i) {
    int32_t count = 0;
    void** parents = PtrListItems(Obj(object)->parents, &count);
    return i < static_cast<uint32_t>(count) ? parents[i] : nullptr;
}

// While the sketch is written each object keeps its number in its traversal stamp, as
// NumberSketchObjects keeps positions there; the writer raises the sketch's traversal
// generation past every number afterwards, so that no stamp reads as reached.
void SetNumber(void* model, void* object, uint32_t number) {
    Obj(object)->traversalStamp = number;
    if (number > Io(model)->largestNumber) Io(model)->largestNumber = number;
}

uint32_t Number(void*, void* object) { return Obj(object)->traversalStamp; }

void Style(void*, void* object, int16_t style[11]) { std::memcpy(style, &Obj(object)->textStyle, sizeof(TextStyle)); }

// The fonts that style nodes inside the object's text (and a value display's custom
// name) use, so that the file lists them.
uint32_t TextFonts(void*, void* object, int16_t* fonts, uint32_t room) {
    SketchObject* o = Obj(object);
    const CaptionData* d = CaptionDataOf(o);
    if (!d) return 0;
    uint32_t n = 0;
    auto walk = [&](LayoutNode* root) {
        for (LayoutNode* node = root; node && n < room;) {
            if (node->kind == kLayoutStyle) {
                const int16_t font = static_cast<StyleNode*>(node)->style.field[kStyleFont];
                bool known = font == 0;
                for (uint32_t i = 0; i < n && !known; ++i) known = fonts[i] == font;
                if (!known) fonts[n++] = font;
            }
            if (node->firstChild) {
                node = node->firstChild;
                continue;
            }
            while (node != root && !node->nextSibling) node = node->parent;
            node = node == root ? nullptr : node->nextSibling;
        }
    };
    walk(d->layout);
    if (HasValueDisplay(o)) walk(ValueDisplayOf(o)->customLayout);
    return n;
}

uint32_t FontSpec(void*, int16_t font, uint8_t* out) { return GetFontSpec(out, font); }

// Every object has a header, of a fixed size: converted once, with no measuring.
ResultCode ObjectHeader(void*, void* object, const FormatInfo& f, uint8_t* record, uint32_t* length) {
    static_assert(kObjectHeaderRecordSize <= kMaxObjectHeaderBytes);
    const ObjectTemplate header = ObjectTemplateOf(Obj(object));
    *length = ObjectHeaderBytes(f.formatVersion);
    return EncodeObjectHeader(&header, f.formatVersion, record);
}

ResultCode WriteObjectRecord(void*, void* object, uint32_t tag, StreamHandle stream, const FormatInfo& f) {
    SketchObject* o = Obj(object);
    TransferFn codec = nullptr;
    if (tag == kTagLabel) codec = TransferLabelRecord;
    else if (tag == kTagConstructionData && ConstructionTypeTable[o->constructionType].streamExtra)
        codec = TransferConstructionData;
    else if (tag >= kTagGeometryBase && tag < kTagClassDataBase) codec = ObjectClassTable[o->objectClass].transferGeometry;
    else if (tag >= kTagClassDataBase && tag <= kTagClassDataBase + kMaxStoredClass)
        codec = ObjectClassTable[o->objectClass].transferClassData;
    if (tag == kTagPictureMetafile) return WritePictureRecords(stream, o, &f);
    if (!codec) return kResultOK;
    return WriteCodecRecord(codec, o, stream, tag, f);
}

uint32_t SelectionCount(void* model) { return Io(model)->selectionCount; }
void* SelectedAt(void* model, uint32_t i) { return Io(model)->selection[i]; }
uint16_t PageIdentity(void* model) { return Io(model)->sketch->pageId; }
void* Marked(void* model) {
    const MarkSlot& slot = Io(model)->sketch->marks[kMarkSlotOfFile];
    return slot.state == kMarkSet ? slot.object : nullptr;
}

uint32_t GivenCount(void* model) {
    int32_t count = 0;
    PtrListSize(Io(model)->sketch->givenList, &count);
    return static_cast<uint32_t>(count);
}

void* GivenAt(void* model, uint32_t i) { return PtrListItem(Io(model)->sketch->givenList, static_cast<int32_t>(i)); }

const SketchBodyWriteOps kSketchWriteOps = {
    .header = WriteHeader,
    .comment = WriteTitle,
    .screenResolution = ScreenResolution,
    .writeSketchRecord = WriteSketchRecord,
    .writePreferences = WritePreferences,
    .firstObject = FirstObject,
    .nextObject = NextObject,
    .facts = Facts,
    .contributesStyle = ContributesStyle,
    .parentAt = ParentAt,
    .setNumber = SetNumber,
    .number = Number,
    .style = Style,
    .textFonts = TextFonts,
    .fontSpec = FontSpec,
    .objectHeader = ObjectHeader,
    .writeObjectRecord = WriteObjectRecord,
    .selectionCount = SelectionCount,
    .selectedAt = SelectedAt,
    .pageIdentity = PageIdentity,
    .markedObject = Marked,
    .givenCount = GivenCount,
    .givenAt = GivenAt,
    .toolText = WriteToolText,
    .progress = nullptr,
};

bool PrepareWrite(SketchIo* io) {
    int32_t n = 0;
    PtrList list = 0;
    if (!CollectSelection(&n, &list, 0)) return false;
    io->selection = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * (n + 1), 0));
    if (io->selection) {
        for (int32_t k = 0; k < n; ++k) io->selection[k] = static_cast<SketchObject*>(PtrListItem(list, k));
        io->selectionCount = static_cast<uint32_t>(n);
    }
    FreePtrList(&list);
    return io->selection != nullptr;
}

// Types whose parent kinds are given by a rule ("every parent a point") while their
// update routines read a fixed number of parents: the least a stored object must have.
// From the constructions' definitions: type, parents.
struct MinimumParentsRow {
    int16_t type;
    int16_t parents;
};
const MinimumParentsRow kMinimumParents[] = {
    { 2, 2 },   // segment: two points
    { 3, 2 },   // circle by centre and point
    { 7, 3 },   // angle bisector: three points
    { 8, 3 },   // polygon interior: its vertices
    { 41, 2 },  // distance between points
    { 45, 3 },  // angle of three points
    { 47, 1 },  // arc angle: an arc, or a circle and points
    { 48, 1 },  // arc length
    { 51, 2 },  // ratio: two segments, or points
    { 62, 2 },  // axis by centre and unit point
    { 67, 2 },  // line through two points
    { 68, 2 },  // ray
    { 79, 2 },  // parametrically coloured image: a source and a value
    { 81, 3 },  // arc on a circle: the circle and two points
    { 82, 3 },  // arc by centre and points
    { 83, 3 },  // arc through three points
    { 87, 2 },  // picture between points
};

uint32_t MinimumParents(int32_t type) {
    uint16_t op = ConstructionTypeTable[type].transformOp;
    if (op < kTransformOpCount && TransformOpTable[op].parentCount) return TransformOpTable[op].parentCount;
    for (const MinimumParentsRow& row : kMinimumParents)
        if (row.type == type) return static_cast<uint32_t>(row.parents);
    return 0;
}

// What the parent checks of a construction type ask of the count, worked out once for
// every type instead of once for every object read.
struct StoredParentRule {
    uint32_t minimum;  // the least count the update routine reads
    uint32_t plain;    // kinds listed one by one: the least count the list asks for
    bool     kinds;    // the type lists its parents' kinds
    bool     ruled;    // the list ends in a rule that covers any further parents
};

const StoredParentRule& StoredParentRuleOf(int32_t type) {
    static const std::array<StoredParentRule, kConstructionTypeCount> rules = [] {
        std::array<StoredParentRule, kConstructionTypeCount> found{};
        for (int32_t t = 0; t < kConstructionTypeCount; ++t) {
            StoredParentRule& r = found[static_cast<size_t>(t)];
            r.minimum = MinimumParents(t);
            const uint32_t at = ConstructionTypeTable[t].parentKindsIndex;
            r.kinds = at != kParentKindsNone && at != kParentKindsByObject && at < ParentKindProgramSize;
            if (!r.kinds) continue;
            // A list of plain kinds says how many parents there are at least; a list with
            // a rule (every remaining parent, alternatives by count) covers any count.
            const uint32_t end = ParentKindListEnd(t);
            for (uint32_t w = at; w < end; ++w) {
                const uint8_t word = ParentKindProgram[w];
                if (word == kParentKindRestAre || word == kParentKindToolRule81) {
                    r.ruled = true;
                    break;
                }
                if (word == kParentKindToolRule83) w += 2;
                ++r.plain;
            }
        }
        return found;
    }();
    return rules[static_cast<size_t>(type)];
}

}  // namespace

ResultCode CheckStoredParents(int32_t type, SketchObject* const* parents, uint32_t count) {
    const ResultCode rc = CheckStoredParentKinds(type, parents, count);
    if (rc != kResultOK) return rc;
    if (count && !CheckParentsDistinct(type, parents, static_cast<int32_t>(count))) return kResultDamaged;
    return kResultOK;
}

ResultCode CheckStoredParentKinds(int32_t type, SketchObject* const* parents, uint32_t count) {
    if (type < 0 || type >= kConstructionTypeCount) return kResultDamaged;
    if (type == kTypeFree) return count == 0 ? kResultOK : kResultDamaged;
    const StoredParentRule& rule = StoredParentRuleOf(type);
    if (count < rule.minimum) return kResultDamaged;
    if (rule.kinds) {
        if (count < rule.plain) return kResultDamaged;
        const uint32_t checked = rule.ruled ? count : std::min(count, rule.plain);
        for (uint32_t i = 0; i < checked; ++i) {
            int32_t kind = RequiredParentKind(type, static_cast<int32_t>(i), static_cast<int32_t>(count), parents[i]);
            if (kind > kKindNone && kind < kObjectKindCount && !KindIsA(EffectiveKind(parents[i]), kind))
                return kResultDamaged;
        }
    }
    return kResultOK;
}

ResultCode ReadSketch(StreamHandle stream, Sketch** out, EngineDocument* document, const FormatInfo& format) {
    *out = nullptr;
    Sketch* sketch = CreateSketch(0, document);
    if (!sketch) return kResultOutOfMemory;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    SketchIo io;
    io.sketch = sketch;
    // Texts converted at the page's end are recomputed after that.
    const auto convert = HasCodeTable(format.charset, kCharsetWindows) ? LaterForms().platform.convertDocumentTexts
                                                                       : nullptr;
    io.recomputeAsRead = format.sketchKind != 2 && !convert;
    io.settingsAmongObjects = convert != nullptr;
    ResultCode rc = ReadSketchBody(stream, &io, kSketchReadOps, format);
    if (io.pending) DropPending(&io);
    if (!IsFatalError(rc) && convert) convert(sketch, format.charset);
    if (!IsFatalError(rc) && format.sketchKind != 2) {
        const uint64_t failed = FailedAllocCount();
        if (io.settingsAmongObjects) RecomputeSketch(false);
        else if (io.firstWaiting) RecomputeSketchFrom(io.firstWaiting, false);
        if (io.recomputeFailed || FailedAllocCount() != failed) rc = kResultOutOfMemory;
    }
    SetCurrentSketch(previous, nullptr);
    if (IsFatalError(rc)) {
        FreeSketch(sketch);
        return rc;
    }
    *out = sketch;
    return rc;
}

ResultCode WriteSketch(StreamHandle stream, Sketch* sketch, bool page, bool handheld) {
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    SketchIo io;
    io.sketch = sketch;
    ResultCode rc = PrepareWrite(&io) ? kResultOK : kResultOutOfMemory;
    FormatInfo format = handheld ? FormatInfo{ 1, 1, 1 } : FormatInfo{ 1, 4, 4 };
    format.sketchKind = page ? 1 : 2;
    if (rc == kResultOK) rc = WriteSketchBody(stream, &io, kSketchWriteOps, format);
    if (sketch->traversalGeneration < io.largestNumber) sketch->traversalGeneration = io.largestNumber;
    FreeMemory(io.selection);
    SetCurrentSketch(previous, nullptr);
    return rc;
}

ResultCode WritePageSketch(StreamHandle stream, Sketch* page, bool handheld) {
    // The page's saved undo position is set by the document's save once every page is
    // written, so that a save that fails half way leaves every page modified.
    return WriteSketch(stream, page, true, handheld);
}

ResultCode WriteToolSketch(StreamHandle stream, Sketch* sketch) { return WriteSketch(stream, sketch, false, false); }
